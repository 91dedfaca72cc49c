#include "DialogDriving.h"

#include "IpAddressControl.h"

#include <QApplication>
#include <QTest>

#include <algorithm>

std::array<CIpAddressControl*, 3> AddressControls(QWidget* dialog)
{
    QList<CIpAddressControl*> controls = dialog->findChildren<CIpAddressControl*>();
    std::array<CIpAddressControl*, 3> topToBottom{};
    if (controls.size() != 3)
        return topToBottom;
    std::sort(controls.begin(), controls.end(), [](auto* a, auto* b) { return a->y() < b->y(); });
    std::copy(controls.begin(), controls.end(), topToBottom.begin());
    return topToBottom;
}

void TypeIntoFocus(const QString& keys)
{
    for (const QChar key : keys)
        QTest::keyClick(QApplication::focusWidget(), key.toLatin1());
}
