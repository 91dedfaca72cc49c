#include "core/UnitAnswer.h"

#include "core/MessageWriter.h"

#include <cstring>

namespace {

bool AsksFor(const BootRequest& request, std::uint32_t address, std::uint32_t serverIdentifier)
{
    if (request.serverIdentifier)
        return *request.serverIdentifier == serverIdentifier && request.requestedAddress == address;
    if (request.requestedAddress)
        return *request.requestedAddress == address;
    return request.clientAddress != 0 && request.clientAddress == address;
}

BootpMessage BuildDhcpAnswer(dhcp::MessageType type, const BootRequest& request, const UnitAddresses& addresses,
                             std::uint32_t serverIdentifier)
{
    std::array<std::uint8_t, bootp::TransactionIdLength> xid{};
    std::memcpy(xid.data(), &request.transactionId, xid.size());

    BootpMessage answer{};
    MessageWriter writer(answer);
    writer.Header(bootp::OpBootReply)
        .Bytes(xid)
        .At(bootp::FlagsOffset).Half(request.flags)
        .Word(type == dhcp::MessageType::Ack ? request.clientAddress : 0)
        .Word(addresses.ipAddress)
        .Word(0)
        .Word(request.relayAddress)
        .Bytes(request.hardwareAddress)
        .At(bootp::VendorAreaOffset)
        .Bytes(bootp::MagicCookie)
        .ByteOption(dhcp::OptionMessageType, static_cast<std::uint8_t>(type))
        .WordOption(dhcp::OptionServerIdentifier, serverIdentifier)
        .WordOption(dhcp::OptionLeaseTime, dhcp::InfiniteLease)
        .WordOption(bootp::OptionSubnetMask, addresses.subnetMask);
    if (addresses.gateway != 0)
        writer.WordOption(dhcp::OptionRouter, addresses.gateway);
    writer.Byte(bootp::OptionEnd);
    return answer;
}

enum class Answer { Nothing, BootReply, Offer, Ack };

Answer ChooseAnswer(const BootRequest& request, const UnitAddresses& addresses, std::uint32_t serverIdentifier,
                    AnswerOccasion occasion)
{
    const bool assigning = occasion == AnswerOccasion::Assignment;
    switch (request.kind) {
    case RequestKind::Bootp:
        return assigning ? Answer::BootReply : Answer::Nothing;
    case RequestKind::DhcpDiscover:
        return assigning ? Answer::Offer : Answer::Nothing;
    case RequestKind::DhcpRequest:
        if (AsksFor(request, addresses.ipAddress, serverIdentifier))
            return Answer::Ack;
        return assigning ? Answer::Offer : Answer::Nothing;
    case RequestKind::OtherDhcp:
        break;
    }
    return Answer::Nothing;
}

} // namespace

std::optional<BootpMessage> AnswerRequest(const BootRequest& request, const UnitAddresses& addresses,
                                          std::uint32_t serverIdentifier, AnswerOccasion occasion)
{
    switch (ChooseAnswer(request, addresses, serverIdentifier, occasion)) {
    case Answer::BootReply:
        return BuildBootReply(request.transactionId, addresses.ipAddress, addresses.gateway,
                              request.hardwareAddress, addresses.subnetMask, NoNameServer);
    case Answer::Offer:
        return BuildDhcpAnswer(dhcp::MessageType::Offer, request, addresses, serverIdentifier);
    case Answer::Ack:
        return BuildDhcpAnswer(dhcp::MessageType::Ack, request, addresses, serverIdentifier);
    case Answer::Nothing:
        break;
    }
    return std::nullopt;
}
