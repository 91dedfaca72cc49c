#pragma once

#include "core/BootpMessage.h"

// Whatever sends the replies: the listener's socket, so that every reply
// leaves from the server port.
class BootReplySender {
public:
    // Broadcasts `reply` to the units' port out of the network interface with
    // this index (0 leaves the choice to the routing table); whether it went out.
    virtual bool SendReply(const BootpMessage& reply, unsigned outgoingInterface) = 0;

protected:
    ~BootReplySender() = default;
};
