#include "res/AppIcon.h"

#include <QDir>

QIcon AppIcon()
{
    // One folder a size, named by its pixels, in the program's resources.
    const QDir sizes(QStringLiteral(":/icon"));
    QIcon icon;
    for (const QString& size : sizes.entryList(QDir::Dirs))
        icon.addFile(sizes.filePath(size + QStringLiteral("/tarvikbootp.png")));
    return icon;
}
