#include "core/BootRequest.h"

#include "core/MessageWriter.h"

#include <algorithm>

namespace {

RequestKind KindOfMessageType(std::span<const std::uint8_t> value)
{
    if (value.size() != dhcp::MessageTypeLength)
        return RequestKind::OtherDhcp;
    switch (static_cast<dhcp::MessageType>(value[0])) {
    case dhcp::MessageType::Discover: return RequestKind::DhcpDiscover;
    case dhcp::MessageType::Request: return RequestKind::DhcpRequest;
    default: return RequestKind::OtherDhcp;
    }
}

} // namespace

BootRequest ReadBootRequest(std::span<const std::uint8_t> datagram)
{
    BootRequest request;
    request.transactionId = ReadTransactionId(datagram);
    request.flags = static_cast<std::uint16_t>(ReadNumber(datagram, bootp::FlagsOffset, 2));
    request.clientAddress = ReadNumber(datagram, bootp::ClientAddressOffset);
    request.relayAddress = ReadNumber(datagram, bootp::GatewayAddressOffset);
    request.hardwareAddress = ReadHardwareAddress(datagram);
    ForEachOption(datagram, [&](std::uint8_t option, std::span<const std::uint8_t> value) {
        switch (option) {
        case dhcp::OptionMessageType:
            request.kind = KindOfMessageType(value);
            break;
        case dhcp::OptionRequestedAddress:
            if (value.size() == bootp::AddressOptionLength)
                request.requestedAddress = ReadNumber(value, 0);
            break;
        case dhcp::OptionServerIdentifier:
            if (value.size() == bootp::AddressOptionLength)
                request.serverIdentifier = ReadNumber(value, 0);
            break;
        case dhcp::OptionMaxMessageSize:
            if (value.size() == dhcp::MaxMessageSizeLength)
                request.maxMessageSize = static_cast<std::uint16_t>(ReadNumber(value, 0, 2));
            break;
        default:
            break;
        }
    });
    return request;
}

std::size_t LargestAcceptedLength(const BootRequest& request)
{
    if (request.kind == RequestKind::Bootp || !request.maxMessageSize)
        return bootp::LargestBootpRequestLength;
    const std::size_t ipDatagram = std::max<std::size_t>(*request.maxMessageSize, dhcp::SmallestMaxMessageSize);
    return std::min(ipDatagram - bootp::IpAndUdpHeaderLength, bootp::LargestDatagramLength);
}
