#pragma once

#include "core/BootpProtocol.h"
#include "core/DhcpProtocol.h"
#include "core/HardwareAddress.h"

#include <array>
#include <cstdint>
#include <optional>
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

// The other side of the exchange, as one of our units plays it: the lab's
// simulated units and the tests build their requests and read the replies
// here, so they follow the same layout as the program.

// A BOOTREQUEST as a unit broadcasts it. `xid` is written most significant
// byte first, so 0x5A1C0007 goes out as 5A 1C 00 07.
BootpMessage BuildBootRequest(std::uint32_t xid, const HardwareAddress& mac);

// A DHCP message from a client: a DISCOVER, or a REQUEST naming the address it
// asks for (option 50) and, after an offer, the server that made it (option 54).
BootpMessage BuildDhcpRequest(dhcp::MessageType type, std::uint32_t xid, const HardwareAddress& mac,
                              std::optional<std::uint32_t> requestedAddress = std::nullopt,
                              std::optional<std::uint32_t> serverIdentifier = std::nullopt);

// What a unit takes from a BOOTREPLY addressed to it; `xid` is read most
// significant byte first, as BuildBootRequest writes it.
struct ReplyContents {
    std::uint32_t xid = 0;
    HardwareAddress mac{};
    std::uint32_t address = 0;
    std::uint32_t gateway = 0;
    std::optional<std::uint32_t> subnetMask;
    std::optional<std::uint32_t> nameServer;
    // Only in DHCP answers.
    std::optional<std::uint8_t> messageType;
    std::optional<std::uint32_t> serverIdentifier;
    std::optional<std::uint32_t> router;
    std::optional<std::uint32_t> leaseTime;
};

// Reads a BOOTREPLY; nothing when the datagram is not one or is too short to
// carry the magic cookie. Options are read by walking the vendor area after
// the cookie, as a unit does.
std::optional<ReplyContents> ReadBootReply(std::span<const std::uint8_t> datagram);
