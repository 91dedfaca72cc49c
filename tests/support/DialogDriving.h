#pragma once

// Reaching into the address dialog the way an operator would: its fields,
// its buttons, the keyboard.

#include <QPushButton>
#include <QString>

#include <array>

class CIpAddressControl;
class QWidget;

// The dialog's address controls from top to bottom: IP address, subnet mask, gateway.
std::array<CIpAddressControl*, 3> AddressControls(QWidget* dialog);

// The dialog's child of this kind (a button, a label) showing `text`, or null.
template <class Widget>
Widget* ChildWithText(QWidget* dialog, const QString& text)
{
    for (Widget* child : dialog->findChildren<Widget*>()) {
        if (child->text() == text)
            return child;
    }
    return nullptr;
}

inline QPushButton* ButtonWithText(QWidget* dialog, const QString& text)
{
    return ChildWithText<QPushButton>(dialog, text);
}

// The widget of `window` that has the keyboard focus, once it has one. The
// window is made active first: offscreen, a window closing elsewhere can
// leave no window active, and a window just shown gets the focus a moment
// later.
QWidget* WaitForFocus(QWidget* window);

// Presses a key in whichever widget of `window` has the focus at that
// moment, as a keyboard does, once it has one.
void PressKey(QWidget* window, Qt::Key key);

// The same for each character in turn; QTest::keyClicks would send them all
// to one widget.
void TypeIntoFocus(QWidget* window, const QString& keys);

// Types `keys` ("\t" is Tab, "\n" Return) as fast as a keyboard can: each
// goes to whatever has the focus at that moment, nothing waits, and nothing
// makes a window active again. A key that finds no focus is lost, and fails
// the test.
void TypeAtFullSpeed(const QString& keys);
