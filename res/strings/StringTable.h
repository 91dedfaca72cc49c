#pragma once

#include <QString>

// The program's own texts, by the ids its messages and captions are known by.
enum class StringId : int {
    SocketsInitFailed = 103,
    ColumnMacAddress = 104,
    ColumnIpAddress = 105,
    ColumnSubnetMask = 106,
    ColumnGateway = 107,
    ColumnSent = 108,
    ToolTipListen = 111,
    ToolTipUnitList = 57602,
    ListIsEmpty = 57607,
    NoItemSelected = 57608,
    AlreadyListening = 57614,
    CannotListen = 57615,
    NotListening = 57616,
    ToolTipClear = 57617,
    ToolTipPrint = 57618,
    ToolTipExit = 57619,
    ProductName = 57620,
    ReportRule = 57621,
    Version = 57625,
    ToolTipPing = 57626,
    NoAddressToPing = 57627,
};

QString StringFromTable(StringId id);
