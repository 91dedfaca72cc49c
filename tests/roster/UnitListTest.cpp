// The unit list without a display: the order of rows, what a repeated
// request may and may not change, Clear, and the selection following its unit.

#include "tests/support/QtPrinting.h"
#include "tests/support/UnitRows.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

const QString UnitA = QStringLiteral("02-4B-7E-01-02-0A");
const QString UnitB = QStringLiteral("02-4B-7E-01-02-0B");
const QString UnitC = QStringLiteral("02-4B-7E-01-02-0C");

QStringList Keys(const CUnitList& units)
{
    QStringList keys;
    for (int row = 0; row < units.RowCount(); ++row)
        keys << units.Text(row, MacAddressColumn);
    return keys;
}

TEST(UnitList, FirstRequestAddsARowWithPlaceholders)
{
    CUnitList units;
    units.OnBootRequest(UnitA, 0x11223344, 7);

    ASSERT_EQ(units.RowCount(), 1);
    EXPECT_EQ(RowTexts(units, 0), (QStringList{UnitA, "0.0.0.0", "?.?.?.?", "?.?.?.?", "No"}));
    EXPECT_EQ(units.GetTransactionId(0), 0x11223344u);
    EXPECT_EQ(units.ArrivalInterface(0), 7u);
    // What a view shows is the row's own text.
    EXPECT_EQ(units.data(units.index(0, SubnetMaskColumn), Qt::DisplayRole).toString(), "?.?.?.?");
}

TEST(UnitList, NewestUnitStandsAtTheTopAndNearTwinsAreDistinct)
{
    CUnitList units;
    units.OnBootRequest(UnitA, 1, 1);
    units.OnBootRequest(UnitB, 2, 1);
    units.OnBootRequest(UnitC, 3, 1);
    EXPECT_EQ(Keys(units), (QStringList{UnitC, UnitB, UnitA}));
    EXPECT_EQ(units.GetTransactionId(0), 3u);
    EXPECT_EQ(units.GetTransactionId(2), 1u);
}

TEST(UnitList, RepeatedRequestRefreshesOnlyTransactionIdAndInterface)
{
    CUnitList units;
    units.OnBootRequest(UnitA, 1, 1);
    units.OnBootRequest(UnitB, 2, 1);
    units.SetText(1, IpAddressColumn, "192.168.1.50");
    units.SetText(1, SubnetMaskColumn, "255.255.255.0");
    units.SetText(1, GatewayColumn, "192.168.1.1");
    units.SetSentStatus(1, true);
    const QStringList assigned = RowTexts(units, 1);
    QSignalSpy inserted(&units, &QAbstractItemModel::rowsInserted);
    QSignalSpy changed(&units, &QAbstractItemModel::dataChanged);

    units.OnBootRequest(UnitA, 0xCAFE, 9);
    units.OnBootRequest(UnitA, 0xBEEF, 4);

    EXPECT_EQ(Keys(units), (QStringList{UnitB, UnitA}));
    EXPECT_EQ(RowTexts(units, 1), assigned);
    EXPECT_EQ(units.GetTransactionId(1), 0xBEEFu);
    EXPECT_EQ(units.ArrivalInterface(1), 4u);
    EXPECT_EQ(units.GetTransactionId(0), 2u);
    EXPECT_EQ(inserted.count(), 0);
    EXPECT_EQ(changed.count(), 0);
}

TEST(UnitList, RepeatFindsItsRowByTheWholeTextCaseForCase)
{
    CUnitList units;
    units.OnBootRequest(UnitA, 1, 1);
    units.OnBootRequest(UnitA.toLower(), 2, 1);
    units.OnBootRequest(UnitA.left(16), 3, 1);
    units.OnBootRequest(UnitB, 4, 1);
    EXPECT_EQ(Keys(units), (QStringList{UnitB, UnitA.left(16), UnitA.toLower(), UnitA}));

    // After Clear the old rows are gone for good: repeats land on the new ones.
    units.OnClearList();
    units.OnBootRequest(UnitC, 5, 1);
    units.OnBootRequest(UnitA, 6, 1);
    units.OnBootRequest(UnitC, 7, 1);
    EXPECT_EQ(Keys(units), (QStringList{UnitA, UnitC}));
    EXPECT_EQ(units.GetTransactionId(0), 6u);
    EXPECT_EQ(units.GetTransactionId(1), 7u);
}

TEST(UnitList, ClearRemovesEveryRowAndAUnitHeardAgainStartsAfresh)
{
    CUnitList units;
    QSignalSpy reset(&units, &QAbstractItemModel::modelReset);
    units.OnClearList();
    EXPECT_EQ(reset.count(), 0) << "clearing an empty list changes nothing";

    units.OnBootRequest(UnitA, 1, 1);
    units.OnBootRequest(UnitB, 2, 1);
    units.SetText(0, IpAddressColumn, "10.0.0.9");
    units.SetSentStatus(0, true);
    SelectRow(units, 0);
    units.OnClearList();
    EXPECT_EQ(units.RowCount(), 0);
    EXPECT_EQ(units.FindSelectedRow(), CUnitList::NoRow);

    units.OnBootRequest(UnitB, 5, 1);
    EXPECT_EQ(RowTexts(units, 0), (QStringList{UnitB, "0.0.0.0", "?.?.?.?", "?.?.?.?", "No"}));
    EXPECT_EQ(units.FindSelectedRow(), CUnitList::NoRow);
}

TEST(UnitList, SelectionBelongsToTheUnitNotThePosition)
{
    CUnitList units;
    EXPECT_EQ(units.FindSelectedRow(), CUnitList::NoRow);
    units.OnBootRequest(UnitA, 1, 1);
    units.OnBootRequest(UnitB, 2, 1);
    units.OnBootRequest(UnitC, 3, 1);
    EXPECT_EQ(units.FindSelectedRow(), CUnitList::NoRow);

    SelectRow(units, 2);
    EXPECT_EQ(units.FindSelectedRow(), 2);
    units.OnBootRequest(QStringLiteral("02-4B-7E-01-02-0D"), 4, 1);
    EXPECT_EQ(units.FindSelectedRow(), 3);
    EXPECT_EQ(units.Text(3, MacAddressColumn), UnitA);
    // A repeat from a listed unit moves nothing.
    units.OnBootRequest(UnitB, 5, 1);
    EXPECT_EQ(units.FindSelectedRow(), 3);
}

TEST(UnitList, ColumnsCarryTheirCaptions)
{
    CUnitList units;
    QStringList captions;
    for (int column = 0; column < units.columnCount(); ++column)
        captions << units.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    EXPECT_EQ(captions, (QStringList{"MAC Address", "IP Address", "Subnet Mask", "Gateway", "Sent"}));
}

} // namespace
