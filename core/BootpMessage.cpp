#include "core/BootpMessage.h"

#include <algorithm>
#include <cstring>

namespace {

// Writes fields in wire order, so the builder reads like the field table.
class MessageWriter {
public:
    explicit MessageWriter(BootpMessage& message) : message(message) {}

    MessageWriter& At(std::size_t offset)
    {
        position = offset;
        return *this;
    }
    // op, htype, hlen and hops: every message here is over Ethernet and
    // crosses no relay.
    MessageWriter& Header(std::uint8_t op)
    {
        return At(bootp::OpOffset)
            .Byte(op)
            .Byte(bootp::HardwareTypeEthernet)
            .Byte(bootp::EthernetAddressLength)
            .Byte(0);
    }
    MessageWriter& Byte(std::uint8_t value)
    {
        message[position++] = value;
        return *this;
    }
    MessageWriter& Bytes(std::span<const std::uint8_t> values)
    {
        std::copy(values.begin(), values.end(), message.begin() + static_cast<std::ptrdiff_t>(position));
        position += values.size();
        return *this;
    }
    // Address values, and a request's transaction id given as a number, go on
    // the wire most significant octet first.
    MessageWriter& Word(std::uint32_t value)
    {
        return Byte(static_cast<std::uint8_t>(value >> 24))
            .Byte(static_cast<std::uint8_t>(value >> 16))
            .Byte(static_cast<std::uint8_t>(value >> 8))
            .Byte(static_cast<std::uint8_t>(value));
    }
    MessageWriter& AddressOption(std::uint8_t option, std::uint32_t value)
    {
        return Byte(option).Byte(bootp::AddressOptionLength).Word(value);
    }

private:
    BootpMessage& message;
    std::size_t position = 0;
};

// Reads four bytes most significant first, as Word writes them.
std::uint32_t ReadWord(std::span<const std::uint8_t> datagram, std::size_t offset)
{
    std::uint32_t value = 0;
    for (const std::uint8_t octet : datagram.subspan(offset, 4))
        value = (value << 8) | octet;
    return value;
}

} // namespace

bool IsUnitBootRequest(std::span<const std::uint8_t> datagram)
{
    if (datagram.size() < bootp::HardwareAddressOffset + VENDOR_PREFIX.size())
        return false;
    return datagram[bootp::OpOffset] == bootp::OpBootRequest
        && datagram[bootp::HardwareTypeOffset] == bootp::HardwareTypeEthernet
        && std::equal(VENDOR_PREFIX.begin(), VENDOR_PREFIX.end(),
                      datagram.begin() + bootp::HardwareAddressOffset);
}

TransactionId ReadTransactionId(std::span<const std::uint8_t> datagram)
{
    TransactionId id = 0;
    std::memcpy(&id, datagram.subspan(bootp::TransactionIdOffset, sizeof id).data(), sizeof id);
    return id;
}

HardwareAddress ReadHardwareAddress(std::span<const std::uint8_t> datagram)
{
    HardwareAddress octets{};
    const auto field = datagram.subspan(bootp::HardwareAddressOffset, octets.size());
    std::copy(field.begin(), field.end(), octets.begin());
    return octets;
}

BootpMessage BuildBootReply(TransactionId transactionId, std::uint32_t ipAddress,
                            std::uint32_t gateway, const HardwareAddress& hardwareAddress,
                            std::uint32_t subnetMask, std::uint32_t nameServer)
{
    static_assert(sizeof(TransactionId) == bootp::TransactionIdLength);
    std::array<std::uint8_t, bootp::TransactionIdLength> xid{};
    std::memcpy(xid.data(), &transactionId, xid.size());

    BootpMessage message{};
    MessageWriter(message)
        .Header(bootp::OpBootReply)
        .Bytes(xid)
        .At(bootp::YourAddressOffset).Word(ipAddress)
        .At(bootp::GatewayAddressOffset).Word(gateway)
        .At(bootp::HardwareAddressOffset).Bytes(hardwareAddress)
        .At(bootp::VendorAreaOffset)
        .Bytes(bootp::MagicCookie)
        .AddressOption(bootp::OptionSubnetMask, subnetMask)
        .AddressOption(bootp::OptionDomainNameServer, nameServer)
        .Byte(bootp::OptionEnd);
    return message;
}

BootpMessage BuildBootRequest(std::uint32_t xid, const HardwareAddress& mac)
{
    BootpMessage request{};
    MessageWriter(request)
        .Header(bootp::OpBootRequest)
        .Word(xid)
        .At(bootp::HardwareAddressOffset).Bytes(mac)
        .At(bootp::VendorAreaOffset)
        .Bytes(bootp::MagicCookie)
        .Byte(bootp::OptionEnd);
    return request;
}

std::optional<ReplyContents> ReadBootReply(std::span<const std::uint8_t> datagram)
{
    constexpr std::size_t cookieEnd = bootp::VendorAreaOffset + bootp::MagicCookie.size();
    if (datagram.size() < cookieEnd || datagram[bootp::OpOffset] != bootp::OpBootReply)
        return std::nullopt;

    ReplyContents reply;
    reply.xid = ReadWord(datagram, bootp::TransactionIdOffset);
    reply.mac = ReadHardwareAddress(datagram);
    reply.address = ReadWord(datagram, bootp::YourAddressOffset);
    reply.gateway = ReadWord(datagram, bootp::GatewayAddressOffset);
    if (!std::equal(bootp::MagicCookie.begin(), bootp::MagicCookie.end(),
                    datagram.begin() + bootp::VendorAreaOffset))
        return reply;

    std::size_t position = cookieEnd;
    while (position < datagram.size()) {
        const std::uint8_t option = datagram[position];
        if (option == bootp::OptionEnd)
            break;
        if (option == bootp::OptionPad) {
            ++position;
            continue;
        }
        // A truncated option ends the walk.
        if (position + 1 >= datagram.size())
            break;
        const std::size_t length = datagram[position + 1];
        const std::size_t value = position + 2;
        if (value + length > datagram.size())
            break;
        if (length == bootp::AddressOptionLength && option == bootp::OptionSubnetMask)
            reply.subnetMask = ReadWord(datagram, value);
        if (length == bootp::AddressOptionLength && option == bootp::OptionDomainNameServer)
            reply.nameServer = ReadWord(datagram, value);
        position = value + length;
    }
    return reply;
}
