#pragma once

#include "core/BootRequest.h"

#include <cstdint>
#include <optional>

// What a unit is given: address values, as in the dialog.
struct UnitAddresses {
    std::uint32_t ipAddress = 0;
    std::uint32_t subnetMask = 0;
    std::uint32_t gateway = 0;

    bool operator==(const UnitAddresses&) const = default;
};

// Why a unit would be answered now: it is given addresses (by the operator,
// or from a plan), or a request of its own has just come in and the
// addresses are those it was last sent.
enum class AnswerOccasion { Assignment, RequestArrived };

// What to send for a unit's latest request, if anything.
// - A BOOTP request, when the unit is given addresses: a BOOTREPLY,
//   BuildBootReply's 300 bytes.
// - A DHCPDISCOVER, when the unit is given addresses: a DHCPOFFER.
// - A DHCPREQUEST for exactly `addresses.ipAddress`, at either occasion: a
//   DHCPACK. Selecting: option 54 is `serverIdentifier` and option 50 the
//   address; init-reboot: no option 54, option 50 the address; renewing or
//   rebinding: neither, ciaddr the address.
// - Any other DHCPREQUEST may be meant for another server on the segment: a
//   DHCPOFFER of the addresses when the unit is given them, nothing on its
//   arrival. Never a DHCPNAK.
// A DHCPOFFER or DHCPACK is 300 bytes too: xid, flags, giaddr and chaddr
// copied from the request, ciaddr too for an ACK, the address in yiaddr, and
// options 53, 54 (`serverIdentifier`: the address of the interface the request
// came in on), 51 (a lease that never ends), 1 (the mask) and 3 (the gateway,
// unless 0.0.0.0). No name server: 0.0.0.0 would be written into the
// client's resolver configuration.
std::optional<BootpMessage> AnswerRequest(const BootRequest& request, const UnitAddresses& addresses,
                                          std::uint32_t serverIdentifier, AnswerOccasion occasion);
