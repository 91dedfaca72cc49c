#include "listener/SocketLayer.h"

#ifdef _WIN32
#include <winsock2.h>
#endif

SocketLayer::~SocketLayer()
{
#ifdef _WIN32
    if (started)
        WSACleanup();
#endif
}

bool SocketLayer::Start()
{
#ifdef _WIN32
    WSADATA data;
    started = WSAStartup(MAKEWORD(1, 1), &data) == 0;
#else
    started = true;
#endif
    return started;
}
