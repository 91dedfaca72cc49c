#include "lab/BootRequest.h"

#include <algorithm>

namespace {

std::uint32_t ReadAddress(const QByteArray& data, qsizetype offset)
{
    std::uint32_t value = 0;
    for (qsizetype i = 0; i < 4; ++i)
        value = (value << 8) | static_cast<std::uint8_t>(data[offset + i]);
    return value;
}

} // namespace

BootpMessage BuildBootRequest(std::uint32_t xid, const HardwareAddress& mac)
{
    BootpMessage request{};
    request[bootp::OpOffset] = bootp::OpBootRequest;
    request[bootp::HardwareTypeOffset] = bootp::HardwareTypeEthernet;
    request[bootp::HardwareLengthOffset] = bootp::EthernetAddressLength;
    for (std::size_t i = 0; i < bootp::TransactionIdLength; ++i)
        request[bootp::TransactionIdOffset + i] = static_cast<std::uint8_t>(xid >> (24 - 8 * i));
    std::copy(mac.begin(), mac.end(), request.begin() + bootp::HardwareAddressOffset);
    std::copy(bootp::MagicCookie.begin(), bootp::MagicCookie.end(),
              request.begin() + bootp::VendorAreaOffset);
    request[bootp::VendorAreaOffset + bootp::MagicCookie.size()] = bootp::OptionEnd;
    return request;
}

QByteArray ToByteArray(const BootpMessage& message)
{
    return QByteArray(reinterpret_cast<const char*>(message.data()), static_cast<qsizetype>(message.size()));
}

std::optional<ReplyContents> ReadBootReply(const QByteArray& datagram)
{
    const auto cookieEnd = static_cast<qsizetype>(bootp::VendorAreaOffset + bootp::MagicCookie.size());
    if (datagram.size() < cookieEnd || static_cast<std::uint8_t>(datagram[0]) != bootp::OpBootReply)
        return std::nullopt;

    ReplyContents reply;
    reply.xid = ReadAddress(datagram, bootp::TransactionIdOffset);
    for (std::size_t i = 0; i < reply.mac.size(); ++i)
        reply.mac[i] = static_cast<std::uint8_t>(datagram[static_cast<qsizetype>(bootp::HardwareAddressOffset + i)]);
    reply.address = ReadAddress(datagram, bootp::YourAddressOffset);
    reply.gateway = ReadAddress(datagram, bootp::GatewayAddressOffset);
    for (std::size_t i = 0; i < bootp::MagicCookie.size(); ++i) {
        if (static_cast<std::uint8_t>(datagram[static_cast<qsizetype>(bootp::VendorAreaOffset + i)]) != bootp::MagicCookie[i])
            return reply;
    }

    constexpr std::uint8_t pad = 0;
    qsizetype pos = cookieEnd;
    while (pos < datagram.size()) {
        const auto option = static_cast<std::uint8_t>(datagram[pos]);
        if (option == bootp::OptionEnd)
            break;
        if (option == pad) {
            ++pos;
            continue;
        }
        if (pos + 1 >= datagram.size())
            break;
        const auto length = static_cast<std::uint8_t>(datagram[pos + 1]);
        const qsizetype value = pos + 2;
        if (value + length > datagram.size())
            break;
        if (length == bootp::AddressOptionLength && option == bootp::OptionSubnetMask)
            reply.subnetMask = ReadAddress(datagram, value);
        if (length == bootp::AddressOptionLength && option == bootp::OptionDomainNameServer)
            reply.nameServer = ReadAddress(datagram, value);
        pos = value + length;
    }
    return reply;
}
