#include "core/AddressCheck.h"
#include "core/AddressText.h"

#include <gtest/gtest.h>

namespace {

struct PlanCase {
    const char* ip;
    const char* mask;
    const char* gateway;
    AddressProblem expected;
    // What the operator's explanation must name, beside the field's value.
    const char* mentions = "";
};

TEST(CheckAddressPlan, RefusesWhatCanNeverWorkAndAsksAboutAGatewayThatLooksWrong)
{
    using enum AddressProblem;
    const PlanCase cases[] = {
        {"192.168.1.50", "255.255.255.0", "192.168.1.1", None},
        {"192.168.1.50", "255.255.255.0", "0.0.0.0", None},
        {"10.0.0.1", "128.0.0.0", "10.200.0.1", None},
        {"223.255.255.1", "255.255.255.0", "0.0.0.0", None},
        {"128.0.0.1", "255.0.0.0", "0.0.0.0", None},
        // A /31 or /32 subnet has no network or broadcast address, and its
        // gateway can be anywhere.
        {"192.168.1.50", "255.255.255.254", "0.0.0.0", None},
        {"192.168.1.51", "255.255.255.254", "10.0.0.1", None},
        {"192.168.1.0", "255.255.255.255", "192.168.1.1", None},
        {"192.168.1.1", "255.255.255.252", "192.168.1.2", None},
        {"192.168.1.0", "255.255.254.0", "192.168.1.1", None},
        {"192.168.0.255", "255.255.254.0", "192.168.1.1", None},

        // A new unit's dialog sent as it opened.
        {"0.0.0.0", "0.0.0.0", "0.0.0.0", UnspecifiedAddress},
        {"255.255.255.255", "255.255.255.0", "0.0.0.0", LimitedBroadcast},
        {"127.0.0.1", "255.0.0.0", "0.0.0.0", LoopbackAddress, "127.0.0.1"},
        {"127.255.255.254", "255.255.255.0", "0.0.0.0", LoopbackAddress},
        {"224.0.0.1", "255.255.255.0", "0.0.0.0", MulticastAddress, "224.0.0.1"},
        {"239.255.255.254", "255.255.255.0", "0.0.0.0", MulticastAddress},
        {"240.0.0.1", "255.255.255.0", "0.0.0.0", ReservedAddress, "240.0.0.1"},
        {"255.255.255.254", "255.255.255.0", "0.0.0.0", ReservedAddress},
        {"192.168.1.50", "0.0.0.0", "0.0.0.0", NoSubnetMask},
        {"192.168.1.50", "255.0.255.0", "0.0.0.0", NonContiguousMask, "255.0.255.0"},
        {"192.168.1.50", "0.255.255.255", "0.0.0.0", NonContiguousMask},
        {"192.168.1.50", "255.255.255.1", "0.0.0.0", NonContiguousMask},
        {"192.168.1.0", "255.255.255.0", "0.0.0.0", SubnetNetworkAddress, "192.168.1.1 to 192.168.1.254"},
        {"192.168.1.255", "255.255.255.0", "0.0.0.0", SubnetBroadcastAddress, "255.255.255.0"},
        {"126.255.255.255", "255.0.0.0", "0.0.0.0", SubnetBroadcastAddress, "126.0.0.1 to 126.255.255.254"},
        {"10.0.0.4", "255.255.255.252", "0.0.0.0", SubnetNetworkAddress, "10.0.0.5 to 10.0.0.6"},
        {"10.0.0.7", "255.255.255.252", "0.0.0.0", SubnetBroadcastAddress},
        {"192.168.1.50", "255.255.255.0", "10.0.0.1", GatewayOutsideSubnet, "192.168.1.1 to 192.168.1.254"},
        {"192.168.1.50", "255.255.255.252", "192.168.1.53", GatewayOutsideSubnet},
        {"192.168.1.50", "255.255.255.0", "192.168.1.50", GatewayIsUnitAddress},
        {"192.168.1.50", "255.255.255.255", "192.168.1.50", GatewayIsUnitAddress},

        // Refusals come before questions, the address on its own before the mask.
        {"192.168.1.255", "255.255.255.0", "10.0.0.1", SubnetBroadcastAddress},
        {"192.168.1.0", "0.0.0.0", "0.0.0.0", NoSubnetMask},
        {"127.0.0.1", "255.0.255.0", "0.0.0.0", LoopbackAddress},
    };
    for (const PlanCase& c : cases) {
        const AddressPlan plan{ParseDottedQuad(c.ip), ParseDottedQuad(c.mask), ParseDottedQuad(c.gateway)};
        const AddressProblem problem = CheckAddressPlan(plan);
        EXPECT_EQ(problem, c.expected) << c.ip << " " << c.mask << " " << c.gateway;
        const std::string why = DescribeAddressProblem(problem, plan);
        EXPECT_EQ(why.empty(), problem == None) << why;
        EXPECT_NE(why.find(c.mentions), std::string::npos) << why;
    }
}

} // namespace
