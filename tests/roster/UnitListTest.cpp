// The unit list without a display: the order of rows, what a repeated
// request may and may not change, Clear, and the selection following its unit.

#include "tests/support/QtPrinting.h"
#include "tests/support/UnitRows.h"

#include <QAbstractItemModelTester>
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

// Every change to the list is watched by Qt's model tester, which stops the
// test at the first notification that does not match what the rows did.
class UnitList : public ::testing::Test {
protected:
    CUnitList units;
    QAbstractItemModelTester tester{&units, QAbstractItemModelTester::FailureReportingMode::Fatal};
};

TEST_F(UnitList, FirstRequestAddsARowWithPlaceholders)
{
    units.OnBootRequest(UnitA, 0x11223344, 7);

    ASSERT_EQ(units.RowCount(), 1);
    EXPECT_EQ(RowTexts(units, 0), (QStringList{UnitA, "0.0.0.0", "?.?.?.?", "?.?.?.?", "No"}));
    EXPECT_EQ(units.GetTransactionId(0), 0x11223344u);
    EXPECT_EQ(units.ArrivalInterface(0), 7u);
    // What a view shows is the row's own text.
    EXPECT_EQ(units.data(units.index(0, SubnetMaskColumn), Qt::DisplayRole).toString(), "?.?.?.?");
}

TEST_F(UnitList, NewestUnitStandsAtTheTopAndNearTwinsAreDistinct)
{
    units.OnBootRequest(UnitA, 1, 1);
    units.OnBootRequest(UnitB, 2, 1);
    units.OnBootRequest(UnitC, 3, 1);
    EXPECT_EQ(Keys(units), (QStringList{UnitC, UnitB, UnitA}));
    EXPECT_EQ(units.GetTransactionId(0), 3u);
    EXPECT_EQ(units.GetTransactionId(2), 1u);
}

TEST_F(UnitList, RepeatedRequestRefreshesOnlyTransactionIdAndInterface)
{
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

TEST_F(UnitList, RepeatFindsItsRowByTheWholeTextCaseForCase)
{
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

TEST_F(UnitList, ClearRemovesEveryRowAndAUnitHeardAgainStartsAfresh)
{
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

TEST_F(UnitList, SelectionBelongsToTheUnitNotThePosition)
{
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

TEST_F(UnitList, ColumnsCarryTheirCaptions)
{
    QStringList captions;
    for (int column = 0; column < units.columnCount(); ++column)
        captions << units.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    EXPECT_EQ(captions, (QStringList{"MAC Address", "IP Address", "Subnet Mask", "Gateway", "Sent"}));
}

} // namespace
