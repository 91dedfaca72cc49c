#pragma once

#include <string>

// The platform's socket library, started before the first socket is made and
// released when the program ends. Only Windows needs this; elsewhere the
// sockets are always there.
class SocketLayer {
public:
    SocketLayer() = default;
    ~SocketLayer();
    SocketLayer(const SocketLayer&) = delete;
    SocketLayer& operator=(const SocketLayer&) = delete;

    // False when the library cannot be used.
    bool Start();

private:
    bool started = false;
};

// The system's words for why the last socket call on this thread failed;
// empty when it recorded no reason.
std::string LastSocketError();
