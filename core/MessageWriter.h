#pragma once

// Reading and writing the fields of a BOOTP message, shared by every message
// the program builds or takes apart.

#include "core/BootpMessage.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

// Writes fields in wire order, so a builder reads like the field table.
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
    MessageWriter& Half(std::uint16_t value)
    {
        return Byte(static_cast<std::uint8_t>(value >> 8)).Byte(static_cast<std::uint8_t>(value));
    }
    // An option whose value is one 32-bit number: an address, or a time.
    MessageWriter& WordOption(std::uint8_t option, std::uint32_t value)
    {
        return Byte(option).Byte(bootp::AddressOptionLength).Word(value);
    }
    MessageWriter& ByteOption(std::uint8_t option, std::uint8_t value)
    {
        return Byte(option).Byte(1).Byte(value);
    }

private:
    BootpMessage& message;
    std::size_t position = 0;
};

// Reads `width` bytes most significant first, as the writer writes them; the
// datagram must hold them.
inline std::uint32_t ReadNumber(std::span<const std::uint8_t> datagram, std::size_t offset, std::size_t width = 4)
{
    std::uint32_t value = 0;
    for (const std::uint8_t octet : datagram.subspan(offset, width))
        value = (value << 8) | octet;
    return value;
}

// Calls `take(option, value)` for each option after the magic cookie, in
// order, up to the end option or the datagram's end; pads are skipped. An
// option whose length runs past the datagram ends the walk unread, so a
// malformed request is never read beyond its end. Nothing without the cookie.
template <typename Take>
void ForEachOption(std::span<const std::uint8_t> datagram, Take take)
{
    constexpr std::size_t cookieEnd = bootp::VendorAreaOffset + bootp::MagicCookie.size();
    if (datagram.size() < cookieEnd ||
        !std::equal(bootp::MagicCookie.begin(), bootp::MagicCookie.end(), datagram.begin() + bootp::VendorAreaOffset))
        return;
    std::size_t position = cookieEnd;
    while (position < datagram.size()) {
        const std::uint8_t option = datagram[position];
        if (option == bootp::OptionEnd)
            return;
        if (option == bootp::OptionPad) {
            ++position;
            continue;
        }
        if (position + 1 >= datagram.size())
            return;
        const std::size_t length = datagram[position + 1];
        const std::size_t value = position + 2;
        if (value + length > datagram.size())
            return;
        take(option, datagram.subspan(value, length));
        position = value + length;
    }
}
