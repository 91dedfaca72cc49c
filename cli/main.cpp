#include "cli/Commands.h"
#include "res/VersionInfo.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QString::fromLatin1(version_info::FileVersion));
    QCoreApplication::setOrganizationName(QString::fromLatin1(version_info::CompanyName));
    return RunCommandLine(QCoreApplication::arguments());
}
