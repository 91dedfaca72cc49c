#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// Whoever owns the listener: it is told of every accepted BOOTREQUEST.
class BootRequestReceiver {
public:
    // `buffer` is the whole receive buffer with the datagram at its start and
    // zeros after it; `arrivalInterface` is the index of the network interface
    // the datagram came in on (0 where the platform does not say).
    virtual void OnBootRequest(std::span<const std::uint8_t> buffer, unsigned arrivalInterface) = 0;

protected:
    ~BootRequestReceiver() = default;
};

// What the listener's receive buffer holds; a longer datagram is dropped.
inline constexpr std::size_t ReceiveBufferLength = 500;

// One received datagram, of whatever length it came: dropped when it does not
// fit the receive buffer or is too short to carry a hardware address, or when
// it is not a request of one of our units; otherwise handed to `owner` in a
// zero-filled receive buffer. Whether it was handed on.
bool TakeDatagram(std::span<const std::uint8_t> datagram, unsigned arrivalInterface, BootRequestReceiver& owner);
