#pragma once

class QString;
class QWidget;

// Pings an address from the unit list and waits until ping has ended. The
// replies go to the program's terminal; a program without one shows them in
// a window of `owner` once ping has ended. A text that is not an address
// as the program writes it runs nothing.
void PingAddress(QWidget* owner, const QString& ipAddressText);
