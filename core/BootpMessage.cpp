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
    // Address values go on the wire most significant octet first.
    MessageWriter& Address(std::uint32_t value)
    {
        return Byte(static_cast<std::uint8_t>(value >> 24))
            .Byte(static_cast<std::uint8_t>(value >> 16))
            .Byte(static_cast<std::uint8_t>(value >> 8))
            .Byte(static_cast<std::uint8_t>(value));
    }
    MessageWriter& AddressOption(std::uint8_t option, std::uint32_t value)
    {
        return Byte(option).Byte(bootp::AddressOptionLength).Address(value);
    }

private:
    BootpMessage& message;
    std::size_t position = 0;
};

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
        .At(bootp::OpOffset)
        .Byte(bootp::OpBootReply)
        .Byte(bootp::HardwareTypeEthernet)
        .Byte(bootp::EthernetAddressLength)
        .Byte(0) // hops
        .Bytes(xid)
        .At(bootp::YourAddressOffset).Address(ipAddress)
        .At(bootp::GatewayAddressOffset).Address(gateway)
        .At(bootp::HardwareAddressOffset).Bytes(hardwareAddress)
        .At(bootp::VendorAreaOffset)
        .Bytes(bootp::MagicCookie)
        .AddressOption(bootp::OptionSubnetMask, subnetMask)
        .AddressOption(bootp::OptionDomainNameServer, nameServer)
        .Byte(bootp::OptionEnd);
    return message;
}
