#include "core/RequestIntake.h"

bool TakeDatagram(std::span<const std::uint8_t> datagram, const NetworkInterface& arrival, BootRequestReceiver& owner)
{
    if (datagram.size() > ReceiveBufferLength || datagram.size() < bootp::MinimumRequestLength ||
        !IsUnitBootRequest(datagram))
        return false;
    const BootRequest request = ReadBootRequest(datagram);
    // A DHCPDECLINE, DHCPRELEASE or DHCPINFORM asks for nothing this program gives.
    if (datagram.size() > LargestAcceptedLength(request) || request.kind == RequestKind::OtherDhcp)
        return false;
    owner.OnBootRequest(request, arrival);
    return true;
}
