// The unit list without a display: the order of rows, what a repeated
// request may and may not change, Clear, and the selection following its unit;
// and the answers units get, through a sender that keeps them.

#include "roster/UnitAnswers.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/RecordingSender.h"
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
    units.OnBootRequest(UnitA, RequestWithXid(0x11223344), {7});

    ASSERT_EQ(units.RowCount(), 1);
    EXPECT_EQ(RowTexts(units, 0), (QStringList{UnitA, "0.0.0.0", "?.?.?.?", "?.?.?.?", "No"}));
    EXPECT_EQ(units.GetTransactionId(0), 0x11223344u);
    EXPECT_EQ(units.ArrivalInterface(0).index, 7u);
    // What a view shows is the row's own text.
    EXPECT_EQ(units.data(units.index(0, SubnetMaskColumn), Qt::DisplayRole).toString(), "?.?.?.?");
}

TEST_F(UnitList, NewestUnitStandsAtTheTopAndNearTwinsAreDistinct)
{
    units.OnBootRequest(UnitA, RequestWithXid(1), {1});
    units.OnBootRequest(UnitB, RequestWithXid(2), {1});
    units.OnBootRequest(UnitC, RequestWithXid(3), {1});
    EXPECT_EQ(Keys(units), (QStringList{UnitC, UnitB, UnitA}));
    EXPECT_EQ(units.GetTransactionId(0), 3u);
    EXPECT_EQ(units.GetTransactionId(2), 1u);
}

TEST_F(UnitList, RepeatedRequestRefreshesOnlyTransactionIdAndInterface)
{
    units.OnBootRequest(UnitA, RequestWithXid(1), {1});
    units.OnBootRequest(UnitB, RequestWithXid(2), {1});
    units.SetText(1, IpAddressColumn, "192.168.1.50");
    units.SetText(1, SubnetMaskColumn, "255.255.255.0");
    units.SetText(1, GatewayColumn, "192.168.1.1");
    units.SetSentStatus(1, true);
    const QStringList assigned = RowTexts(units, 1);
    QSignalSpy inserted(&units, &QAbstractItemModel::rowsInserted);
    QSignalSpy changed(&units, &QAbstractItemModel::dataChanged);

    units.OnBootRequest(UnitA, RequestWithXid(0xCAFE), {9});
    units.OnBootRequest(UnitA, RequestWithXid(0xBEEF), {4});

    EXPECT_EQ(Keys(units), (QStringList{UnitB, UnitA}));
    EXPECT_EQ(RowTexts(units, 1), assigned);
    EXPECT_EQ(units.GetTransactionId(1), 0xBEEFu);
    EXPECT_EQ(units.ArrivalInterface(1).index, 4u);
    EXPECT_EQ(units.GetTransactionId(0), 2u);
    EXPECT_EQ(inserted.count(), 0);
    EXPECT_EQ(changed.count(), 0);
}

TEST_F(UnitList, RepeatFindsItsRowByTheWholeTextCaseForCase)
{
    units.OnBootRequest(UnitA, RequestWithXid(1), {1});
    units.OnBootRequest(UnitA.toLower(), RequestWithXid(2), {1});
    units.OnBootRequest(UnitA.left(16), RequestWithXid(3), {1});
    units.OnBootRequest(UnitB, RequestWithXid(4), {1});
    EXPECT_EQ(Keys(units), (QStringList{UnitB, UnitA.left(16), UnitA.toLower(), UnitA}));

    // After Clear the old rows are gone for good: repeats land on the new ones.
    units.OnClearList();
    units.OnBootRequest(UnitC, RequestWithXid(5), {1});
    units.OnBootRequest(UnitA, RequestWithXid(6), {1});
    units.OnBootRequest(UnitC, RequestWithXid(7), {1});
    EXPECT_EQ(Keys(units), (QStringList{UnitA, UnitC}));
    EXPECT_EQ(units.GetTransactionId(0), 6u);
    EXPECT_EQ(units.GetTransactionId(1), 7u);
}

TEST_F(UnitList, ClearRemovesEveryRowAndAUnitHeardAgainStartsAfresh)
{
    QSignalSpy reset(&units, &QAbstractItemModel::modelReset);
    units.OnClearList();
    EXPECT_EQ(reset.count(), 0) << "clearing an empty list changes nothing";

    units.OnBootRequest(UnitA, RequestWithXid(1), {1});
    units.OnBootRequest(UnitB, RequestWithXid(2), {1});
    units.SetText(0, IpAddressColumn, "10.0.0.9");
    units.SetSentStatus(0, true);
    SelectRow(units, 0);
    units.OnClearList();
    EXPECT_EQ(units.RowCount(), 0);
    EXPECT_EQ(units.FindSelectedRow(), CUnitList::NoRow);

    units.OnBootRequest(UnitB, RequestWithXid(5), {1});
    EXPECT_EQ(RowTexts(units, 0), (QStringList{UnitB, "0.0.0.0", "?.?.?.?", "?.?.?.?", "No"}));
    EXPECT_EQ(units.FindSelectedRow(), CUnitList::NoRow);
}

TEST_F(UnitList, SelectionBelongsToTheUnitNotThePosition)
{
    EXPECT_EQ(units.FindSelectedRow(), CUnitList::NoRow);
    units.OnBootRequest(UnitA, RequestWithXid(1), {1});
    units.OnBootRequest(UnitB, RequestWithXid(2), {1});
    units.OnBootRequest(UnitC, RequestWithXid(3), {1});
    EXPECT_EQ(units.FindSelectedRow(), CUnitList::NoRow);

    SelectRow(units, 2);
    EXPECT_EQ(units.FindSelectedRow(), 2);
    units.OnBootRequest(QStringLiteral("02-4B-7E-01-02-0D"), RequestWithXid(4), {1});
    EXPECT_EQ(units.FindSelectedRow(), 3);
    EXPECT_EQ(units.Text(3, MacAddressColumn), UnitA);
    // A repeat from a listed unit moves nothing.
    units.OnBootRequest(UnitB, RequestWithXid(5), {1});
    EXPECT_EQ(units.FindSelectedRow(), 3);
}

TEST_F(UnitList, ColumnsCarryTheirCaptions)
{
    QStringList captions;
    for (int column = 0; column < units.columnCount(); ++column)
        captions << units.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    EXPECT_EQ(captions, (QStringList{"MAC Address", "IP Address", "Subnet Mask", "Gateway", "Sent"}));
}

// A DHCP client, 02-4B-7E-00-12-34, heard on interface 3 (eth1) of a server
// whose address there is 10.77.0.2 (RecordingSender's).
class UnitAnswers : public UnitList {
protected:
    static constexpr HardwareAddress Mac{0x02, 0x4B, 0x7E, 0x00, 0x12, 0x34};
    const UnitAddresses given{0x0A4D0032, 0xFFFFFF00, 0x0A4D0001};
    const NetworkInterface eth1{3, "eth1"};

    void Hear(dhcp::MessageType type, std::optional<std::uint32_t> requested = std::nullopt,
              std::optional<std::uint32_t> server = std::nullopt)
    {
        TakeUnitRequest(units, ReadBootRequest(BuildDhcpRequest(type, 0x5A1C0007, Mac, requested, server)), eth1,
                        &sender);
    }
    static std::uint8_t MessageType(const SentReply& sent) { return sent.reply[242]; }

    RecordingSender sender;
};

TEST_F(UnitAnswers, OfferedUnitsRequestForItIsAcknowledgedAtOnceAndTheRowStays)
{
    Hear(dhcp::MessageType::Discover);
    ASSERT_TRUE(SendAddresses(units, 0, given, sender));
    ASSERT_EQ(sender.sent.size(), 1u);
    EXPECT_EQ(MessageType(sender.sent[0]), 2) << "DHCPOFFER";
    const QStringList offered = RowTexts(units, 0);
    EXPECT_EQ(offered, (QStringList{"02-4B-7E-00-12-34", "10.77.0.50", "255.255.255.0", "10.77.0.1", "Yes"}));

    QSignalSpy changed(&units, &QAbstractItemModel::dataChanged);
    Hear(dhcp::MessageType::Request, given.ipAddress, sender.interfaceAddress);
    ASSERT_EQ(sender.sent.size(), 2u);
    EXPECT_EQ(MessageType(sender.sent[1]), 5) << "DHCPACK";
    EXPECT_EQ(sender.sent[1].outgoing.name, "eth1");
    EXPECT_EQ(RowTexts(units, 0), offered);
    EXPECT_EQ(changed.count(), 0);

    // Given the same addresses again, the unit that asks for them is acknowledged.
    ASSERT_TRUE(SendAddresses(units, 0, given, sender));
    EXPECT_EQ(MessageType(sender.sent[2]), 5);
}

TEST_F(UnitAnswers, NothingIsSentUnaskedOrForWhatWasNotOffered)
{
    Hear(dhcp::MessageType::Request, given.ipAddress);
    Hear(dhcp::MessageType::Discover);
    EXPECT_TRUE(sender.sent.empty()) << "nothing offered yet";

    // A failed send offers nothing.
    sender.failSends = true;
    EXPECT_FALSE(SendAddresses(units, 0, given, sender));
    EXPECT_EQ(units.Text(0, SentColumn), "No");
    sender.failSends = false;
    sender.sent.clear();
    Hear(dhcp::MessageType::Request, given.ipAddress, sender.interfaceAddress);
    EXPECT_TRUE(sender.sent.empty());

    SendAddresses(units, 0, given, sender);
    sender.sent.clear();
    Hear(dhcp::MessageType::Request, given.ipAddress + 1, sender.interfaceAddress);
    Hear(dhcp::MessageType::Request, given.ipAddress, 0x0A4D0009);
    TakeUnitRequest(units, ReadBootRequest(BuildBootRequest(1, Mac)), eth1, &sender);
    TakeUnitRequest(units, ReadBootRequest(BuildDhcpRequest(dhcp::MessageType::Request, 1, Mac, given.ipAddress)),
                    eth1, nullptr);
    EXPECT_TRUE(sender.sent.empty());

    // Clear forgets the offer with the row.
    units.OnClearList();
    Hear(dhcp::MessageType::Request, given.ipAddress, sender.interfaceAddress);
    EXPECT_TRUE(sender.sent.empty());
}

} // namespace
