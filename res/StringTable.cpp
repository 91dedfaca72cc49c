#include "StringTable.h"

QString StringFromTable(StringId id)
{
    switch (id) {
    case StringId::ColumnMacAddress: return QStringLiteral("MAC Address");
    case StringId::ColumnIpAddress: return QStringLiteral("IP Address");
    case StringId::ColumnSubnetMask: return QStringLiteral("Subnet Mask");
    case StringId::ColumnGateway: return QStringLiteral("Gateway");
    case StringId::ColumnSent: return QStringLiteral("Sent");
    case StringId::ListIsEmpty: return QStringLiteral("The list does not contain any items.");
    case StringId::NoItemSelected: return QStringLiteral("You must first select an item in the list.");
    case StringId::NotListening: return QStringLiteral("You must first select the \"Listen\" button.");
    }
    return {};
}
