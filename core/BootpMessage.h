#pragma once

#include "core/BootpProtocol.h"
#include "core/HardwareAddress.h"

#include <array>
#include <cstdint>
#include <span>

// The fixed 300-byte BOOTP layout; a reply is always exactly this long.
using BootpMessage = std::array<std::uint8_t, bootp::MessageLength>;

// The transaction id's four bytes held in a 32-bit number in the order they
// arrived, so writing the number back reproduces the request's bytes exactly.
using TransactionId = std::uint32_t;

// The tool collects no name-server address, yet the reply always carries
// option 6. 0.0.0.0 is the conventional "none": a unit ignores it, whereas any
// made-up address would send the unit's queries to a host that may not answer.
inline constexpr std::uint32_t NoNameServer = 0;

// Whether a datagram is a BOOTREQUEST over Ethernet from one of our units.
// Looks at the op code, the hardware type and the first three chaddr octets
// only; a datagram too short to hold them is refused.
bool IsUnitBootRequest(std::span<const std::uint8_t> datagram);

// The request's transaction id and hardware address. The datagram must hold
// at least bootp::MinimumRequestLength bytes.
TransactionId ReadTransactionId(std::span<const std::uint8_t> datagram);
HardwareAddress ReadHardwareAddress(std::span<const std::uint8_t> datagram);

// A BOOTREPLY answering `transactionId` that gives the unit its address, its
// gateway (in giaddr), its subnet mask (option 1) and a name server (option 6).
// Addresses are address values, written most significant octet first.
BootpMessage BuildBootReply(TransactionId transactionId, std::uint32_t ipAddress,
                            std::uint32_t gateway, const HardwareAddress& hardwareAddress,
                            std::uint32_t subnetMask, std::uint32_t nameServer);
