#include "listener/SocketLayer.h"

#ifdef _WIN32
#include <winsock2.h>
#else
#include <cerrno>
#include <cstring>
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

std::string LastSocketError()
{
#ifdef _WIN32
    const int code = WSAGetLastError();
    if (code == 0)
        return {};
    char text[256] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        static_cast<DWORD>(code), 0, text, sizeof text, nullptr);
    std::string message(text, length);
    // The system ends its messages with a full stop and a line break.
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.'))
        message.pop_back();
    return message;
#else
    return errno == 0 ? std::string() : std::string(std::strerror(errno));
#endif
}
