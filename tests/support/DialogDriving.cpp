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

QWidget* WaitForFocus(QWidget* window)
{
    // Widgets get focus events only once the widget layer has taken the
    // window as active, which offscreen can come after the platform has.
    if (QApplication::activeWindow() != window)
        window->activateWindow();
    const auto focusInWindow = [window] {
        const QWidget* focus = QApplication::focusWidget();
        return focus && focus->window() == window;
    };
    if (!QTest::qWaitFor(focusInWindow)) {
        ADD_FAILURE() << "nothing in the window a key is meant for takes the focus";
        return window;
    }
    return QApplication::focusWidget();
}

void PressKey(QWidget* window, Qt::Key key)
{
    QTest::keyClick(WaitForFocus(window), key);
}

void TypeIntoFocus(QWidget* window, const QString& keys)
{
    for (const QChar key : keys)
        PressKey(window, static_cast<Qt::Key>(key.toUpper().unicode()));
}

void TypeAtFullSpeed(const QString& keys)
{
    for (const QChar key : keys) {
        QWidget* focus = QApplication::focusWidget();
        if (!focus) {
            ADD_FAILURE() << "no widget has the focus: lost from \"" << keys.toStdString() << "\"";
            return;
        }
        if (key == QLatin1Char('\t'))
            QTest::keyClick(focus, Qt::Key_Tab);
        else if (key == QLatin1Char('\n'))
            QTest::keyClick(focus, Qt::Key_Return);
        else
            QTest::keyClick(focus, key.toLatin1());
    }
}
