#include "core/RequestIntake.h"

#include "core/BootpMessage.h"

#include <algorithm>
#include <array>

bool TakeDatagram(std::span<const std::uint8_t> datagram, unsigned arrivalInterface, BootRequestReceiver& owner)
{
    if (datagram.size() > ReceiveBufferLength || datagram.size() < bootp::MinimumRequestLength)
        return false;
    // A fresh buffer per datagram: bytes past a short datagram read as 0,
    // and the owner's handler may run a nested event loop that receives again.
    std::array<std::uint8_t, ReceiveBufferLength> buffer{};
    std::copy(datagram.begin(), datagram.end(), buffer.begin());
    if (!IsUnitBootRequest(buffer))
        return false;
    owner.OnBootRequest(buffer, arrivalInterface);
    return true;
}
