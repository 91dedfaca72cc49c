#pragma once

// Answering units: the same for the window, whose operator types the
// addresses, and for a caller that takes them from a plan.

#include "core/ReplySender.h"
#include "core/UnitAnswer.h"

class CUnitList;

// Gives the unit in `row` these addresses: writes them into its row, then
// answers its latest request as AnswerRequest says (a BOOTREPLY, DHCPOFFER or
// DHCPACK) through `sender`, out of the interface that request came in on.
// The Sent column says whether the answer went out; the row remembers the
// addresses of one that did, and a failed send changes nothing of that.
// Whether it went out.
bool SendAddresses(CUnitList& units, int row, const UnitAddresses& addresses, BootReplySender& sender);

// A request as the listener hands it on: the list takes it, and a DHCPREQUEST
// for exactly the addresses that went out to that unit gets its DHCPACK
// through `sender` (when there is one) at once, without the operator; the
// row stays as it was.
void TakeUnitRequest(CUnitList& units, const BootRequest& request, const NetworkInterface& arrival,
                     BootReplySender* sender);
