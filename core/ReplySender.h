#pragma once

#include "core/BootpMessage.h"
#include "core/RequestIntake.h"

#include <cstdint>

// Whatever sends the answers: the listener's socket, so that every answer
// leaves from the server port.
class BootReplySender {
public:
    // Broadcasts `reply` to the units' port out of `outgoing`: the interface
    // of that index if it still has that name, else the one of that name now,
    // else whichever the routing table picks. Whether it went out.
    virtual bool SendReply(const BootpMessage& reply, const NetworkInterface& outgoing) = 0;
    // The IPv4 address of that interface, found the same way, which a DHCP
    // answer names as its server; 0 when it has none.
    virtual std::uint32_t InterfaceAddress(const NetworkInterface& interface) = 0;

protected:
    ~BootReplySender() = default;
};
