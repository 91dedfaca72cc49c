#include "core/BootpMessage.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace {

// Writes `bytes` at `offset` of an otherwise zero 300-byte message.
struct Field {
    std::size_t offset;
    std::vector<std::uint8_t> bytes;
};

BootpMessage MessageOf(std::initializer_list<Field> fields)
{
    BootpMessage message{};
    for (const auto& field : fields)
        std::copy(field.bytes.begin(), field.bytes.end(), message.begin() + static_cast<std::ptrdiff_t>(field.offset));
    return message;
}

void ExpectSameBytes(const BootpMessage& actual, const BootpMessage& expected)
{
    for (std::size_t i = 0; i < actual.size(); ++i)
        EXPECT_EQ(actual[i], expected[i]) << "byte " << i;
}

TEST(BuildBootReply, WorkedExampleByteForByte)
{
    const BootpMessage request = BuildBootRequest(0x5A1C0007, {0x02, 0x4B, 0x7E, 0x00, 0x12, 0x34});
    const BootpMessage reply = BuildBootReply(ReadTransactionId(request),
                                              0xC0A80A32,                       // 192.168.10.50
                                              0xC0A80A01,                       // gateway 192.168.10.1
                                              ReadHardwareAddress(request),
                                              0xFFFFFF00,                       // 255.255.255.0
                                              NoNameServer);
    const BootpMessage expected = MessageOf({
        {0, {0x02, 0x01, 0x06, 0x00}},                 // op BOOTREPLY, htype Ethernet, hlen 6, hops
        {4, {0x5A, 0x1C, 0x00, 0x07}},                 // xid exactly as the request carried it
        {16, {0xC0, 0xA8, 0x0A, 0x32}},                // yiaddr
        {24, {0xC0, 0xA8, 0x0A, 0x01}},                // giaddr carries the gateway
        {28, {0x02, 0x4B, 0x7E, 0x00, 0x12, 0x34}},    // chaddr
        {236, {0x63, 0x82, 0x53, 0x63}},               // magic cookie
        {240, {0x01, 0x04, 0xFF, 0xFF, 0xFF, 0x00}},   // option 1: subnet mask
        {246, {0x06, 0x04, 0x00, 0x00, 0x00, 0x00}},   // option 6: no name server
        {252, {0xFF}},                                 // end
    });
    ExpectSameBytes(reply, expected);
}

TEST(BuildBootReply, CarriesEveryValueWhereItBelongs)
{
    const TransactionId xid = ReadTransactionId(BuildBootRequest(0x01020304, {}));
    const BootpMessage reply = BuildBootReply(xid, 0x11223344, 0x55667788,
                                              {0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6},
                                              0x99AABBCC, 0xDDEEFF10);
    const BootpMessage expected = MessageOf({
        {0, {0x02, 0x01, 0x06, 0x00, 0x01, 0x02, 0x03, 0x04}},
        {16, {0x11, 0x22, 0x33, 0x44}},
        {24, {0x55, 0x66, 0x77, 0x88}},
        {28, {0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6}},
        {236, {0x63, 0x82, 0x53, 0x63, 0x01, 0x04, 0x99, 0xAA, 0xBB, 0xCC,
               0x06, 0x04, 0xDD, 0xEE, 0xFF, 0x10, 0xFF}},
    });
    ExpectSameBytes(reply, expected);
}

TEST(BuildBootReply, ZeroAddressesAreWrittenAsZeroBytes)
{
    const BootpMessage reply = BuildBootReply(0, 0, 0, {}, 0, 0);
    const BootpMessage expected = MessageOf({
        {0, {0x02, 0x01, 0x06, 0x00}},
        {236, {0x63, 0x82, 0x53, 0x63, 0x01, 0x04, 0, 0, 0, 0, 0x06, 0x04, 0, 0, 0, 0, 0xFF}},
    });
    ExpectSameBytes(reply, expected);
}

TEST(BuildBootRequest, IsAUnitsRequestByteForByte)
{
    const BootpMessage expected = MessageOf({
        {0, {0x01, 0x01, 0x06, 0x00}},                 // op BOOTREQUEST, htype Ethernet, hlen 6, hops
        {4, {0x5A, 0x1C, 0x00, 0x07}},                 // xid, most significant byte first
        {28, {0x02, 0x4B, 0x7E, 0x00, 0x12, 0x34}},    // chaddr
        {236, {0x63, 0x82, 0x53, 0x63, 0xFF}},         // magic cookie, end
    });
    ExpectSameBytes(BuildBootRequest(0x5A1C0007, {0x02, 0x4B, 0x7E, 0x00, 0x12, 0x34}), expected);
}

TEST(ReadBootReply, WalksTheOptionsAsAUnitDoesAndRefusesWhatIsNoReply)
{
    BootpMessage reply = MessageOf({
        {0, {0x02, 0x01, 0x06, 0x00, 0x5A, 0x1C, 0x00, 0x07}},
        {16, {0xC0, 0xA8, 0x0A, 0x32}},
        {24, {0xC0, 0xA8, 0x0A, 0x01}},
        {28, {0x02, 0x4B, 0x7E, 0x00, 0x12, 0x34}},
        {236, {0x63, 0x82, 0x53, 0x63,
               0x00,                                   // pad
               0x0C, 0x02, 0x41, 0x42,                 // option 12, host name "AB": stepped over
               0x06, 0x04, 0x0A, 0x00, 0x00, 0x01,     // name server before the mask
               0x01, 0x04, 0xFF, 0xFF, 0xFF, 0x00,
               0xFF}},
    });
    const auto read = ReadBootReply(reply);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->xid, 0x5A1C0007u);
    EXPECT_EQ(read->mac, (HardwareAddress{0x02, 0x4B, 0x7E, 0x00, 0x12, 0x34}));
    EXPECT_EQ(read->address, 0xC0A80A32u);
    EXPECT_EQ(read->gateway, 0xC0A80A01u);
    EXPECT_EQ(read->subnetMask, 0xFFFFFF00u);
    EXPECT_EQ(read->nameServer, 0x0A000001u);

    EXPECT_FALSE(ReadBootReply(std::span<const std::uint8_t>(reply).first(239))) << "cut inside the cookie";
    reply[bootp::VendorAreaOffset] = 0;
    ASSERT_TRUE(ReadBootReply(reply));
    EXPECT_FALSE(ReadBootReply(reply)->subnetMask) << "no cookie, no options";
    reply[bootp::OpOffset] = bootp::OpBootRequest;
    EXPECT_FALSE(ReadBootReply(reply));
}

class UnitBootRequest : public ::testing::Test {
protected:
    BootpMessage request = BuildBootRequest(0x5A1C0007, {0x02, 0x4B, 0x7E, 0xFF, 0xFF, 0xFF});
};

TEST_F(UnitBootRequest, AcceptsOurUnitsWhateverTheUncheckedFields)
{
    EXPECT_TRUE(IsUnitBootRequest(request));
    request[bootp::HardwareLengthOffset] = 0;
    EXPECT_TRUE(IsUnitBootRequest(request));
    request[bootp::HardwareLengthOffset] = 16;
    request[bootp::HopsOffset] = 3;
    request[bootp::HardwareAddressOffset + 3] = 0x12;
    EXPECT_TRUE(IsUnitBootRequest(request));
}

TEST_F(UnitBootRequest, RefusesRepliesOtherHardwareAndForeignPrefixes)
{
    auto changed = [this](std::size_t offset, std::uint8_t value) {
        BootpMessage copy = request;
        copy[offset] = value;
        return IsUnitBootRequest(copy);
    };
    EXPECT_FALSE(changed(bootp::OpOffset, bootp::OpBootReply));
    EXPECT_FALSE(changed(bootp::OpOffset, 0));
    EXPECT_FALSE(changed(bootp::HardwareTypeOffset, 6));
    EXPECT_FALSE(changed(bootp::HardwareAddressOffset, 0x00));
    EXPECT_FALSE(changed(bootp::HardwareAddressOffset + 1, 0x4A));
    EXPECT_FALSE(changed(bootp::HardwareAddressOffset + 2, 0x7F)); // 02-4B-7F-...
}

TEST_F(UnitBootRequest, LooksOnlyAtThePrefixBytesOfAShortDatagram)
{
    const std::span<const std::uint8_t> bytes(request);
    EXPECT_TRUE(IsUnitBootRequest(bytes.first(31)));
    EXPECT_FALSE(IsUnitBootRequest(bytes.first(30)));
    EXPECT_FALSE(IsUnitBootRequest(bytes.first(0)));
}

TEST_F(UnitBootRequest, TransactionIdSurvivesTheRoundTripUnchanged)
{
    for (const std::uint32_t xid : {0x00000000u, 0x5A1C0007u, 0xFFFFFFFFu, 0x80000001u}) {
        const BootpMessage asked = BuildBootRequest(xid, {0x02, 0x4B, 0x7E, 1, 2, 3});
        const BootpMessage reply = BuildBootReply(ReadTransactionId(asked), 0, 0, {}, 0, 0);
        EXPECT_TRUE(std::equal(asked.begin() + 4, asked.begin() + 8, reply.begin() + 4)) << std::hex << xid;
    }
}

} // namespace
