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

// Types each character into whichever widget has the focus at that moment,
// as a keyboard does; QTest::keyClicks would send them all to one widget.
void TypeIntoFocus(const QString& keys);
