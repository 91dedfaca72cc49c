#pragma once

// Reading and selecting rows of the unit list the way the tests need it.

#include "roster/UnitList.h"

#include <QStringList>

// A plain BOOTP request with this transaction id, as the list keeps it.
inline BootRequest RequestWithXid(TransactionId xid)
{
    BootRequest request;
    request.transactionId = xid;
    return request;
}

inline QStringList RowTexts(const CUnitList& units, int row)
{
    QStringList texts;
    for (int column = 0; column < UnitColumnCount; ++column)
        texts << units.Text(row, column);
    return texts;
}

// Selects one whole row, as a click on it does.
inline void SelectRow(CUnitList& units, int row)
{
    units.selection.select(units.index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}
