#include "core/AddressCheck.h"

#include "core/AddressText.h"

namespace {

bool InBlock(std::uint32_t address, std::uint32_t block, int prefixLength)
{
    const std::uint32_t blockMask = ~std::uint32_t{0} << (32 - prefixLength);
    return (address & blockMask) == block;
}

bool IsContiguous(std::uint32_t mask)
{
    // The host bits of a real mask are all at the bottom, so adding one to
    // them carries through every one of them.
    const std::uint32_t hostBits = ~mask;
    return (hostBits & (hostBits + 1)) == 0;
}

// A /31 or /32 subnet has no network or broadcast address: every address in
// it belongs to a host.
bool HasNetworkAndBroadcast(std::uint32_t mask)
{
    return ~mask > 1;
}

std::uint32_t NetworkOf(const AddressPlan& plan)
{
    return plan.ipAddress & plan.subnetMask;
}

std::uint32_t BroadcastOf(const AddressPlan& plan)
{
    return NetworkOf(plan) | ~plan.subnetMask;
}

// "192.168.1.1 to 192.168.1.254": the addresses the subnet's hosts can have.
std::string HostRange(const AddressPlan& plan)
{
    return FormatDottedQuad(NetworkOf(plan) + 1) + " to " + FormatDottedQuad(BroadcastOf(plan) - 1);
}

} // namespace

AddressProblem CheckAddressPlan(const AddressPlan& plan)
{
    const std::uint32_t ip = plan.ipAddress;
    if (ip == 0)
        return AddressProblem::UnspecifiedAddress;
    if (ip == 0xFFFFFFFF)
        return AddressProblem::LimitedBroadcast;
    if (InBlock(ip, 0x7F000000, 8))
        return AddressProblem::LoopbackAddress;
    if (InBlock(ip, 0xE0000000, 4))
        return AddressProblem::MulticastAddress;
    if (InBlock(ip, 0xF0000000, 4))
        return AddressProblem::ReservedAddress;
    if (plan.subnetMask == 0)
        return AddressProblem::NoSubnetMask;
    if (!IsContiguous(plan.subnetMask))
        return AddressProblem::NonContiguousMask;
    const bool wholeSubnet = HasNetworkAndBroadcast(plan.subnetMask);
    if (wholeSubnet && ip == NetworkOf(plan))
        return AddressProblem::SubnetNetworkAddress;
    if (wholeSubnet && ip == BroadcastOf(plan))
        return AddressProblem::SubnetBroadcastAddress;

    if (plan.gateway == 0)
        return AddressProblem::None;
    if (plan.gateway == ip)
        return AddressProblem::GatewayIsUnitAddress;
    if (wholeSubnet && (plan.gateway & plan.subnetMask) != NetworkOf(plan))
        return AddressProblem::GatewayOutsideSubnet;
    return AddressProblem::None;
}

AddressField ProblemField(AddressProblem problem)
{
    switch (problem) {
    case AddressProblem::NoSubnetMask:
    case AddressProblem::NonContiguousMask:
        return AddressField::SubnetMask;
    case AddressProblem::GatewayOutsideSubnet:
    case AddressProblem::GatewayIsUnitAddress:
        return AddressField::Gateway;
    default:
        return AddressField::IpAddress;
    }
}

bool NeedsConfirmation(AddressProblem problem)
{
    return ProblemField(problem) == AddressField::Gateway;
}

std::string DescribeAddressProblem(AddressProblem problem, const AddressPlan& plan)
{
    const std::string ip = FormatDottedQuad(plan.ipAddress);
    const std::string mask = FormatDottedQuad(plan.subnetMask);
    const std::string gateway = FormatDottedQuad(plan.gateway);
    switch (problem) {
    case AddressProblem::None:
        return {};
    case AddressProblem::UnspecifiedAddress:
        return "0.0.0.0 stands for no address at all; enter the address the unit is to have.";
    case AddressProblem::LimitedBroadcast:
        return "255.255.255.255 is the broadcast address of every network; no unit can have it.";
    case AddressProblem::LoopbackAddress:
        return ip + " is a loopback address (127.x.x.x), which every device keeps for talking to itself; "
                    "no unit can be reached at it.";
    case AddressProblem::MulticastAddress:
        return ip + " is a multicast group address (224.x.x.x to 239.x.x.x); no unit can have it.";
    case AddressProblem::ReservedAddress:
        return ip + " is in the reserved range 240.x.x.x to 255.x.x.x; no unit can have it.";
    case AddressProblem::NoSubnetMask:
        return "0.0.0.0 is no subnet mask; enter the mask of the unit's network, such as 255.255.255.0.";
    case AddressProblem::NonContiguousMask:
        return mask + " is not a subnet mask: written in binary, a mask is ones followed only by zeros, "
                      "as 255.255.255.0 and 255.255.240.0 are.";
    case AddressProblem::SubnetNetworkAddress:
        return ip + " is the address of the subnet itself with subnet mask " + mask +
               "; no unit can have it. The subnet's units can have " + HostRange(plan) + ".";
    case AddressProblem::SubnetBroadcastAddress:
        return ip + " is the broadcast address of its subnet with subnet mask " + mask +
               "; no unit can have it. The subnet's units can have " + HostRange(plan) + ".";
    case AddressProblem::GatewayOutsideSubnet:
        return gateway + " is outside the unit's subnet (" + HostRange(plan) + " with subnet mask " + mask +
               "), so the unit cannot reach it.";
    case AddressProblem::GatewayIsUnitAddress:
        return gateway + " is the unit's own address, so the unit would send everything for other networks "
                         "to itself.";
    }
    return {};
}
