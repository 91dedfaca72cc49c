#pragma once

// What a unit sends: the lab's simulator and the tests build requests here.

#include "core/BootpMessage.h"

#include <QByteArray>

#include <cstdint>
#include <optional>

// A 300-byte BOOTREQUEST as a unit broadcasts it. `xid` is written most
// significant byte first, so 0x5A1C0007 goes out as 5A 1C 00 07.
BootpMessage BuildBootRequest(std::uint32_t xid, const HardwareAddress& mac);

QByteArray ToByteArray(const BootpMessage& message);

// What a unit takes from a BOOTREPLY addressed to it.
struct ReplyContents {
    std::uint32_t xid = 0;
    HardwareAddress mac{};
    std::uint32_t address = 0;
    std::uint32_t gateway = 0;
    std::optional<std::uint32_t> subnetMask;
    std::optional<std::uint32_t> nameServer;
};

// Reads a BOOTREPLY; nothing when the datagram is not one. Options are read
// by walking the vendor area after the magic cookie, as a unit does.
std::optional<ReplyContents> ReadBootReply(const QByteArray& datagram);
