#include "res/AppIcon.h"

#include <QPixmap>

// The pictures are XPM, which is C source; Qt reads it without any plugin.
#include "res/icon/TarvikBootP-16.xpm"
#include "res/icon/TarvikBootP-32.xpm"

QIcon AppIcon()
{
    QIcon icon;
    icon.addPixmap(QPixmap(tarvikbootp_32_xpm));
    icon.addPixmap(QPixmap(tarvikbootp_16_xpm));
    return icon;
}
