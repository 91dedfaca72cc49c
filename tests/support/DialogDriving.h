#pragma once

// Reaching into the address dialog the way an operator would: its fields,
// its buttons, the keyboard.

#include <QString>

#include <array>

class CIpAddressControl;
class QPushButton;
class QWidget;

// The dialog's address controls from top to bottom: IP address, subnet mask, gateway.
std::array<CIpAddressControl*, 3> AddressControls(QWidget* dialog);

QPushButton* ButtonWithText(QWidget* dialog, const QString& text);

// Types each character into whichever widget has the focus at that moment,
// as a keyboard does; QTest::keyClicks would send them all to one widget.
void TypeIntoFocus(const QString& keys);
