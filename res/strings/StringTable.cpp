#include "res/strings/StringTable.h"

QString StringFromTable(StringId id)
{
    switch (id) {
    case StringId::SocketsInitFailed: return QStringLiteral("Windows sockets initialization failed.");
    case StringId::ColumnMacAddress: return QStringLiteral("MAC Address");
    case StringId::ColumnIpAddress: return QStringLiteral("IP Address");
    case StringId::ColumnSubnetMask: return QStringLiteral("Subnet Mask");
    case StringId::ColumnGateway: return QStringLiteral("Gateway");
    case StringId::ColumnSent: return QStringLiteral("Sent");
    case StringId::ToolTipListen:
        return QStringLiteral("Begin watching for I/O units that are sending BootP request.");
    case StringId::ToolTipUnitList:
        return QStringLiteral("Double click an item to manually assign an IP address");
    case StringId::ListIsEmpty: return QStringLiteral("The list does not contain any items.");
    case StringId::NoItemSelected: return QStringLiteral("You must first select an item in the list.");
    case StringId::AlreadyListening: return QStringLiteral("Already Listening for BootP request.");
    case StringId::CannotListen:
        return QStringLiteral("Fail to create socket, Can NOT listen for BootP request.");
    case StringId::NotListening: return QStringLiteral("You must first select the \"Listen\" button.");
    case StringId::ToolTipClear: return QStringLiteral("Clear any items from the list");
    case StringId::ToolTipPrint: return QStringLiteral("Print the list");
    case StringId::ToolTipExit: return QStringLiteral("Quit the Tarvik BootP Tool");
    case StringId::ProductName: return QStringLiteral("Tarvik BootP Tool");
    case StringId::ReportRule: return QString(50, u'_');
    case StringId::Version: return QStringLiteral("Version: R1.1a");
    case StringId::ToolTipPing: return QStringLiteral("Ping selected IP Address");
    case StringId::NoAddressToPing:
        return QStringLiteral("You must first assign an IP Address before attempting to PING.");
    }
    return {};
}
