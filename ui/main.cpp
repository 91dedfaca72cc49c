#include "ui/BootpToolApp.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    // The command line is not read: Qt sees the program's name alone, from
    // which it takes the application title.
    int programNameOnly = argc > 0 ? 1 : 0;
    QApplication qtApplication(programNameOnly, argv);
    CBootpToolApp app;
    app.InitInstance();
    return app.ExitStatus();
}
