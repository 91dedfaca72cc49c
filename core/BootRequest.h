#pragma once

#include "core/BootpMessage.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

// A request without a DHCP message type (option 53) is plain BOOTP.
enum class RequestKind : std::uint8_t { Bootp, DhcpDiscover, DhcpRequest, OtherDhcp };

// What an answer to a request depends on, read from the request.
struct BootRequest {
    RequestKind kind = RequestKind::Bootp;
    TransactionId transactionId = 0;
    std::uint16_t flags = 0;
    // ciaddr: the address a DHCP client renews or rebinds; giaddr: a relay's.
    std::uint32_t clientAddress = 0;
    std::uint32_t relayAddress = 0;
    HardwareAddress hardwareAddress{};
    std::optional<std::uint32_t> requestedAddress; // option 50
    std::optional<std::uint32_t> serverIdentifier; // option 54
    std::optional<std::uint16_t> maxMessageSize;   // option 57
};

// Reads a datagram of at least bootp::MinimumRequestLength bytes. Options of
// the wrong length count as absent, except that any option 53 makes the
// request DHCP.
BootRequest ReadBootRequest(std::span<const std::uint8_t> datagram);

// The longest datagram a request like this may come in: 548 bytes of BOOTP;
// for DHCP what its option 57 says it takes (an IP datagram, never less than
// 576 bytes), within one Ethernet frame. A longer one is dropped whole.
std::size_t LargestAcceptedLength(const BootRequest& request);
