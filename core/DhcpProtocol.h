#pragma once

// DHCP (RFC 2131) over the BOOTP layout: its options (RFC 2132) and message
// types, named once for the whole program.

#include "core/BootpProtocol.h"

#include <cstddef>
#include <cstdint>

namespace dhcp {

inline constexpr std::uint8_t OptionRouter = 3;
inline constexpr std::uint8_t OptionRequestedAddress = 50;
inline constexpr std::uint8_t OptionLeaseTime = 51;
inline constexpr std::uint8_t OptionMessageType = 53;
inline constexpr std::uint8_t OptionServerIdentifier = 54;
inline constexpr std::uint8_t OptionMaxMessageSize = 57;
inline constexpr std::uint8_t MessageTypeLength = 1;
inline constexpr std::uint8_t MaxMessageSizeLength = 2;
inline constexpr std::uint8_t LeaseTimeLength = 4;

// The values of option 53.
enum class MessageType : std::uint8_t {
    Discover = 1,
    Offer = 2,
    Request = 3,
    Decline = 4,
    Ack = 5,
    Nak = 6,
    Release = 7,
    Inform = 8,
};

// Addresses given here are static: their lease never ends.
inline constexpr std::uint32_t InfiniteLease = 0xFFFFFFFF;

// Option 57 counts a whole IP datagram; no client may say less than 576.
inline constexpr std::size_t SmallestMaxMessageSize = bootp::MinimumIpDatagramLength;

// Answers are as long as a BOOTP reply, which every client can take.
static_assert(bootp::MessageLength <= SmallestMaxMessageSize - bootp::IpAndUdpHeaderLength);

} // namespace dhcp
