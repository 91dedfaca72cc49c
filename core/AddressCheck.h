#pragma once

// Whether an IP address, subnet mask and gateway can be given to a unit.
// What can never work is refused; what works but is most likely a typing
// slip needs the operator's word. Address values as in AddressText.h.

#include <cstdint>
#include <string>

struct AddressPlan {
    std::uint32_t ipAddress = 0;
    std::uint32_t subnetMask = 0;
    std::uint32_t gateway = 0;
};

enum class AddressProblem {
    None,
    // Refused.
    UnspecifiedAddress,     // 0.0.0.0
    LimitedBroadcast,       // 255.255.255.255
    LoopbackAddress,        // 127.0.0.0/8
    MulticastAddress,       // 224.0.0.0/4
    ReservedAddress,        // 240.0.0.0/4
    NoSubnetMask,           // 0.0.0.0
    NonContiguousMask,      // ones after a zero, such as 255.0.255.0
    SubnetNetworkAddress,   // the subnet's own address
    SubnetBroadcastAddress, // the subnet's broadcast address
    // To be confirmed.
    GatewayOutsideSubnet,
    GatewayIsUnitAddress,
};

enum class AddressField { IpAddress, SubnetMask, Gateway };

// The first problem of the plan: refusals before questions, and among the
// refusals the address on its own, then the mask, then the address within
// its subnet. A gateway of 0.0.0.0 means none and is fine.
AddressProblem CheckAddressPlan(const AddressPlan& plan);

// The field whose value has the problem.
AddressField ProblemField(AddressProblem problem);

// Whether the plan may still be sent once the operator says so.
bool NeedsConfirmation(AddressProblem problem);

// Why, in a sentence for the operator that names the values concerned;
// empty for None.
std::string DescribeAddressProblem(AddressProblem problem, const AddressPlan& plan);
