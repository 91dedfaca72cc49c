#include "core/BootpMessage.h"

#include "core/MessageWriter.h"

#include <algorithm>
#include <cstring>


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
        .WordOption(bootp::OptionSubnetMask, subnetMask)
        .WordOption(bootp::OptionDomainNameServer, nameServer)
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

BootpMessage BuildDhcpRequest(dhcp::MessageType type, std::uint32_t xid, const HardwareAddress& mac,
                              std::optional<std::uint32_t> requestedAddress,
                              std::optional<std::uint32_t> serverIdentifier)
{
    BootpMessage request{};
    MessageWriter writer(request);
    writer.Header(bootp::OpBootRequest)
        .Word(xid)
        .At(bootp::HardwareAddressOffset).Bytes(mac)
        .At(bootp::VendorAreaOffset)
        .Bytes(bootp::MagicCookie)
        .ByteOption(dhcp::OptionMessageType, static_cast<std::uint8_t>(type));
    if (requestedAddress)
        writer.WordOption(dhcp::OptionRequestedAddress, *requestedAddress);
    if (serverIdentifier)
        writer.WordOption(dhcp::OptionServerIdentifier, *serverIdentifier);
    writer.Byte(bootp::OptionEnd);
    return request;
}

std::optional<ReplyContents> ReadBootReply(std::span<const std::uint8_t> datagram)
{
    constexpr std::size_t cookieEnd = bootp::VendorAreaOffset + bootp::MagicCookie.size();
    if (datagram.size() < cookieEnd || datagram[bootp::OpOffset] != bootp::OpBootReply)
        return std::nullopt;

    ReplyContents reply;
    reply.xid = ReadNumber(datagram, bootp::TransactionIdOffset);
    reply.mac = ReadHardwareAddress(datagram);
    reply.address = ReadNumber(datagram, bootp::YourAddressOffset);
    reply.gateway = ReadNumber(datagram, bootp::GatewayAddressOffset);
    ForEachOption(datagram, [&](std::uint8_t option, std::span<const std::uint8_t> value) {
        if (option == dhcp::OptionMessageType && value.size() == dhcp::MessageTypeLength) {
            reply.messageType = value[0];
            return;
        }
        if (value.size() != bootp::AddressOptionLength)
            return;
        const std::uint32_t number = ReadNumber(value, 0);
        switch (option) {
        case bootp::OptionSubnetMask: reply.subnetMask = number; break;
        case bootp::OptionDomainNameServer: reply.nameServer = number; break;
        case dhcp::OptionRouter: reply.router = number; break;
        case dhcp::OptionServerIdentifier: reply.serverIdentifier = number; break;
        case dhcp::OptionLeaseTime: reply.leaseTime = number; break;
        default: break;
        }
    });
    return reply;
}
