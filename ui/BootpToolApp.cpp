#include "ui/BootpToolApp.h"

#include "res/MessageBox.h"
#include "res/VersionInfo.h"
#include "ui/BootpToolDlg.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdlib>

CBootpToolApp::CBootpToolApp()
{
    // The application name stays the executable's, which captions every
    // message box.
    QCoreApplication::setApplicationVersion(QString::fromLatin1(version_info::FileVersion));
    QCoreApplication::setOrganizationName(QString::fromLatin1(version_info::CompanyName));
    // Lets the desktop match the window with its desktop entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("tarvikbootp"));
}

bool CBootpToolApp::InitInstance()
{
    if (!InitSocketLayer()) {
        ShowMessage(nullptr, StringId::SocketsInitFailed);
        exitStatus = EXIT_FAILURE;
        return false;
    }
    CBootpToolDlg dlg;
    dlg.DoModal();
    return false;
}

bool CBootpToolApp::InitSocketLayer()
{
    return socketLayer.Start();
}
