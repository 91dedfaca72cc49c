#pragma once

#include "core/BootRequest.h"
#include "core/RequestIntake.h"
#include "core/UnitAnswer.h"

#include <QString>

#include <optional>

// The list's columns, left to right.
enum UnitColumn : int {
    MacAddressColumn,
    IpAddressColumn,
    SubnetMaskColumn,
    GatewayColumn,
    SentColumn,
    UnitColumnCount
};

// The texts a row shows before its unit is given an address, and in its Sent
// column; the main window reads them back too.
namespace RowText {
inline const QString NoAddress = QStringLiteral("0.0.0.0");
inline const QString UnknownAddress = QStringLiteral("?.?.?.?");
inline const QString Sent = QStringLiteral("Yes");
inline const QString NotSent = QStringLiteral("No");
} // namespace RowText

// One unit heard since the list was last cleared.
struct UnitRow {
    QString macAddressText;  // the row's key, as FormatHardwareAddress writes it
    QString ipAddressText;
    QString subnetMaskText;
    QString gatewayText;
    QString sentText;
    // The unit's latest accepted request: the answer must answer it and
    // leave by the interface it came in on, so a PC on several networks
    // reaches a unit on any of them.
    BootRequest latestRequest;
    NetworkInterface arrival;
    // What the last answer that went out gave the unit; a DHCP client asks
    // for it again before it takes it.
    std::optional<UnitAddresses> sentAddresses;
};
