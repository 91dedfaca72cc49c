#pragma once

#include <QString>

// The program's own texts, by the ids its messages and captions are known by.
enum class StringId : int {
    ColumnMacAddress = 104,
    ColumnIpAddress = 105,
    ColumnSubnetMask = 106,
    ColumnGateway = 107,
    ColumnSent = 108,
    ListIsEmpty = 57607,
    NoItemSelected = 57608,
    NotListening = 57616,
};

QString StringFromTable(StringId id);
