#pragma once

// A sender that keeps every reply it is given instead of sending it.

#include "core/ReplySender.h"

#include <vector>

struct SentReply {
    BootpMessage reply;
    unsigned outgoingInterface;
};

class RecordingSender : public BootReplySender {
public:
    // Every send fails while this is set; the reply is kept all the same.
    bool failSends = false;
    std::vector<SentReply> sent;

    bool SendReply(const BootpMessage& reply, unsigned outgoingInterface) override
    {
        sent.push_back({reply, outgoingInterface});
        return !failSends;
    }
};
