#pragma once

// A sender that keeps every reply it is given instead of sending it.

#include "core/ReplySender.h"

#include <vector>

struct SentReply {
    BootpMessage reply;
    NetworkInterface outgoing;
};

class RecordingSender : public BootReplySender {
public:
    // Every send fails while this is set; the reply is kept all the same.
    bool failSends = false;
    // What InterfaceAddress gives for any interface: 10.77.0.2.
    std::uint32_t interfaceAddress = 0x0A4D0002;
    std::vector<SentReply> sent;

    bool SendReply(const BootpMessage& reply, const NetworkInterface& outgoing) override
    {
        sent.push_back({reply, outgoing});
        return !failSends;
    }
    std::uint32_t InterfaceAddress(const NetworkInterface&) override { return interfaceAddress; }
};
