#include "core/BootpMessage.h"
#include "core/RequestIntake.h"
#include "core/UnitAnswer.h"

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

// DHCP answers, each to a request written out byte by byte: unit
// 02-4B-7E-00-12-34 asks through a relay (giaddr 10.77.0.254), wanting a
// broadcast answer; this server is 10.77.0.2.
class DhcpAnswer : public ::testing::Test {
protected:
    static constexpr std::uint32_t Server = 0x0A4D0002;
    const UnitAddresses given{0x0A4D0032, 0xFFFFFF00, 0x0A4D0001}; // 10.77.0.50/24, gateway 10.77.0.1

    static BootRequest Request(std::vector<std::uint8_t> options, std::vector<std::uint8_t> ciaddr = {0, 0, 0, 0})
    {
        options.insert(options.begin(), {0x63, 0x82, 0x53, 0x63});
        return ReadBootRequest(MessageOf({
            {0, {0x01, 0x01, 0x06, 0x00}},              // op BOOTREQUEST, htype Ethernet, hlen 6, hops
            {4, {0x5A, 0x1C, 0x00, 0x07}},              // xid
            {10, {0x80, 0x00}},                         // flags: broadcast
            {12, ciaddr},                               // ciaddr
            {24, {0x0A, 0x4D, 0x00, 0xFE}},             // giaddr: the relay
            {28, {0x02, 0x4B, 0x7E, 0x00, 0x12, 0x34}}, // chaddr
            {236, options},                             // cookie, then these options
        }));
    }

    // The answer's fixed fields; its options follow the cookie at 236.
    static BootpMessage Answer(std::vector<std::uint8_t> options, std::vector<std::uint8_t> ciaddr = {0, 0, 0, 0})
    {
        options.insert(options.begin(), {0x63, 0x82, 0x53, 0x63});
        return MessageOf({
            {0, {0x02, 0x01, 0x06, 0x00}},              // op BOOTREPLY, htype, hlen, hops
            {4, {0x5A, 0x1C, 0x00, 0x07}},              // xid of the request
            {10, {0x80, 0x00}},                         // flags of the request
            {12, ciaddr},                               // ciaddr
            {16, {0x0A, 0x4D, 0x00, 0x32}},             // yiaddr 10.77.0.50
            {24, {0x0A, 0x4D, 0x00, 0xFE}},             // giaddr of the request; siaddr stays 0
            {28, {0x02, 0x4B, 0x7E, 0x00, 0x12, 0x34}}, // chaddr
            {236, options},
        });
    }

    void ExpectAnswer(const BootRequest& request, AnswerOccasion occasion, const BootpMessage& expected,
                      const UnitAddresses& addresses)
    {
        const auto answer = AnswerRequest(request, addresses, Server, occasion);
        ASSERT_TRUE(answer);
        ExpectSameBytes(*answer, expected);
    }
};

TEST_F(DhcpAnswer, DiscoverGetsAnOfferWhenTheUnitIsGivenAddresses)
{
    const BootRequest discover = Request({0x35, 0x01, 0x01, 0xFF});  // DHCPDISCOVER, end
    ExpectAnswer(discover, AnswerOccasion::Assignment, Answer({
        0x35, 0x01, 0x02,                   // 53: DHCPOFFER
        0x36, 0x04, 0x0A, 0x4D, 0x00, 0x02, // 54: server identifier 10.77.0.2
        0x33, 0x04, 0xFF, 0xFF, 0xFF, 0xFF, // 51: a lease that never ends
        0x01, 0x04, 0xFF, 0xFF, 0xFF, 0x00, // 1: subnet mask
        0x03, 0x04, 0x0A, 0x4D, 0x00, 0x01, // 3: router, the gateway
        0xFF,                               // end; no name server
    }), given);
    EXPECT_FALSE(AnswerRequest(discover, given, Server, AnswerOccasion::RequestArrived)) << "not before assigned";
}

TEST_F(DhcpAnswer, SelectingRequestForTheOfferGetsItsAck)
{
    const BootRequest selecting = Request({
        0x35, 0x01, 0x03,                   // DHCPREQUEST
        0x32, 0x04, 0x0A, 0x4D, 0x00, 0x32, // 50: the offered address
        0x36, 0x04, 0x0A, 0x4D, 0x00, 0x02, // 54: this server
        0xFF});
    ExpectAnswer(selecting, AnswerOccasion::RequestArrived, Answer({
        0x35, 0x01, 0x05,                   // 53: DHCPACK
        0x36, 0x04, 0x0A, 0x4D, 0x00, 0x02,
        0x33, 0x04, 0xFF, 0xFF, 0xFF, 0xFF,
        0x01, 0x04, 0xFF, 0xFF, 0xFF, 0x00,
        0x03, 0x04, 0x0A, 0x4D, 0x00, 0x01,
        0xFF,
    }), given);
}

TEST_F(DhcpAnswer, InitRebootRequestGetsItsAckWithoutARouterForGatewayZero)
{
    const BootRequest initReboot = Request({
        0x35, 0x01, 0x03,                   // DHCPREQUEST
        0x32, 0x04, 0x0A, 0x4D, 0x00, 0x32, // 50: the address it had; no 54
        0xFF});
    ExpectAnswer(initReboot, AnswerOccasion::RequestArrived, Answer({
        0x35, 0x01, 0x05,
        0x36, 0x04, 0x0A, 0x4D, 0x00, 0x02,
        0x33, 0x04, 0xFF, 0xFF, 0xFF, 0xFF,
        0x01, 0x04, 0xFF, 0xFF, 0xFF, 0x00, // no option 3: the gateway is 0.0.0.0
        0xFF,
    }), {given.ipAddress, given.subnetMask, 0});
}

TEST_F(DhcpAnswer, RenewingRequestGetsAnAckThatKeepsItsCiaddr)
{
    const BootRequest renewing = Request({0x35, 0x01, 0x03, 0xFF}, {0x0A, 0x4D, 0x00, 0x32});
    ExpectAnswer(renewing, AnswerOccasion::RequestArrived, Answer({
        0x35, 0x01, 0x05,
        0x36, 0x04, 0x0A, 0x4D, 0x00, 0x02,
        0x33, 0x04, 0xFF, 0xFF, 0xFF, 0xFF,
        0x01, 0x04, 0xFF, 0xFF, 0xFF, 0x00,
        0x03, 0x04, 0x0A, 0x4D, 0x00, 0x01,
        0xFF,
    }, {0x0A, 0x4D, 0x00, 0x32}), given);
}

TEST_F(DhcpAnswer, RequestForAnotherAddressOrServerIsLeftAloneAndOfferedWhenAssigned)
{
    const BootRequest otherAddress = Request({
        0x35, 0x01, 0x03,
        0x32, 0x04, 0x0A, 0x4D, 0x00, 0x33, // 50: 10.77.0.51, not what was offered
        0x36, 0x04, 0x0A, 0x4D, 0x00, 0x02,
        0xFF});
    const BootRequest otherServer = Request({
        0x35, 0x01, 0x03,
        0x32, 0x04, 0x0A, 0x4D, 0x00, 0x32,
        0x36, 0x04, 0x0A, 0x4D, 0x00, 0x09, // 54: another server, 10.77.0.9
        0xFF});
    for (const BootRequest& request : {otherAddress, otherServer}) {
        EXPECT_FALSE(AnswerRequest(request, given, Server, AnswerOccasion::RequestArrived));
        const auto assigned = AnswerRequest(request, given, Server, AnswerOccasion::Assignment);
        ASSERT_TRUE(assigned);
        EXPECT_EQ((*assigned)[242], 0x02) << "a DHCPOFFER, never a DHCPNAK";
    }
}

// Datagrams of every length through the listener's intake.
class Intake : public ::testing::Test {
protected:
    struct Receiver : BootRequestReceiver {
        int heard = 0;
        void OnBootRequest(const BootRequest&, const NetworkInterface&) override { ++heard; }
    } receiver;

    bool Take(const BootpMessage& request, std::size_t length)
    {
        std::vector<std::uint8_t> datagram(request.begin(), request.end());
        datagram.resize(length);
        return TakeDatagram(datagram, {}, receiver);
    }

    // A DHCPDISCOVER that takes IP datagrams of up to `size` bytes (option 57).
    static BootpMessage DiscoverTaking(std::uint16_t size)
    {
        BootpMessage discover = BuildDhcpRequest(dhcp::MessageType::Discover, 1, Unit);
        const std::vector<std::uint8_t> maxSize{0x39, 0x02, static_cast<std::uint8_t>(size >> 8),
                                                static_cast<std::uint8_t>(size), 0xFF};
        std::copy(maxSize.begin(), maxSize.end(), discover.begin() + 243); // after option 53, in place of the end
        return discover;
    }

    static constexpr HardwareAddress Unit{0x02, 0x4B, 0x7E, 0x00, 0x00, 0x01};
};

TEST_F(Intake, BootpRequestsUpTo548BytesAreTakenLongerOnesDropped)
{
    const BootpMessage request = BuildBootRequest(1, Unit);
    EXPECT_TRUE(Take(request, 548)) << "a 576-byte IP datagram, as Linux's own BOOTP client sends";
    for (std::size_t length = 549; length <= 576; ++length)
        EXPECT_FALSE(Take(request, length)) << length;
    EXPECT_FALSE(Take(DiscoverTaking(1500), 1473)) << "longer than one Ethernet frame";
    EXPECT_EQ(receiver.heard, 1);
}

TEST_F(Intake, DhcpRequestsAreTakenUpToTheSizeTheySayTheyTake)
{
    // Option 57 counts the IP and UDP headers, 28 bytes.
    EXPECT_TRUE(Take(DiscoverTaking(1000), 972));
    EXPECT_FALSE(Take(DiscoverTaking(1000), 973));
    EXPECT_TRUE(Take(DiscoverTaking(1500), 1472));
    EXPECT_TRUE(Take(DiscoverTaking(65535), 1472));
    // Less than 576 is not a size a client may say; without it, 576 holds.
    EXPECT_TRUE(Take(DiscoverTaking(300), 548));
    EXPECT_FALSE(Take(DiscoverTaking(300), 549));
    EXPECT_TRUE(Take(BuildDhcpRequest(dhcp::MessageType::Discover, 1, Unit), 548));
    EXPECT_FALSE(Take(BuildDhcpRequest(dhcp::MessageType::Discover, 1, Unit), 549));
    EXPECT_EQ(receiver.heard, 5);
}

TEST_F(Intake, OfTheDhcpMessagesOnlyDiscoverAndRequestAreTaken)
{
    for (std::uint8_t type = 1; type <= 8; ++type) {
        const bool asks = type == 1 || type == 3;
        EXPECT_EQ(Take(BuildDhcpRequest(static_cast<dhcp::MessageType>(type), 1, Unit), 300), asks) << int(type);
    }
    BootpMessage malformed = BuildDhcpRequest(dhcp::MessageType::Discover, 1, Unit);
    malformed[241] = 0; // option 53 without its value
    EXPECT_FALSE(Take(malformed, 300));
}

} // namespace
