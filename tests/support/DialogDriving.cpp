#include "tests/support/DialogDriving.h"

#include "widgets/IpAddressControl.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

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

void PressKey(QWidget* window, Qt::Key key)
{
    // Widgets get focus events only once the widget layer has taken the
    // window as active, which offscreen can come after the platform has.
    if (QApplication::activeWindow() != window) {
        window->activateWindow();
        if (!QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }))
            ADD_FAILURE() << "the window a key is meant for does not become active";
    }
    QTest::keyClick(window->focusWidget(), key);
}

void TypeIntoFocus(QWidget* window, const QString& keys)
{
    for (const QChar key : keys)
        PressKey(window, static_cast<Qt::Key>(key.toUpper().unicode()));
}
