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
    // The process's exit status after InitInstance: a failure when the
    // program could not start, so scripts and service managers can tell.
    int ExitStatus() const { return exitStatus; }

protected:
    // False when the sockets cannot be used.
    virtual bool InitSocketLayer();

private:
    SocketLayer socketLayer;
    int exitStatus = 0;
};
