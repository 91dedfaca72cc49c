#pragma once

#include "listener/SocketLayer.h"

// The application: starts the socket layer, then runs the main window as the
// program's only loop. The program ends when the window ends.
class CBootpToolApp {
public:
    // Gives the application its version metadata.
    CBootpToolApp();
    virtual ~CBootpToolApp() = default;

    // The whole run; always false, since nothing remains to run afterwards.
    bool InitInstance();

protected:
    // False when the sockets cannot be used.
    virtual bool InitSocketLayer();

private:
    SocketLayer socketLayer;
};
