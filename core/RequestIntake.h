#pragma once

#include "core/BootRequest.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>

// A network interface of this machine: its index, and its name, by which it
// is found again when it was unplugged and came back with another index.
// Index 0 and no name where the platform does not say.
struct NetworkInterface {
    NetworkInterface() = default;
    NetworkInterface(unsigned index, QString name = {}) : index(index), name(std::move(name)) {}

    unsigned index = 0;
    QString name;
};

// Whoever owns the listener: it is told of every accepted request.
class BootRequestReceiver {
public:
    // `arrival` is the interface the request came in on.
    virtual void OnBootRequest(const BootRequest& request, const NetworkInterface& arrival) = 0;

protected:
    ~BootRequestReceiver() = default;
};

// The longest datagram the listener reads; longer ones are dropped.
inline constexpr std::size_t ReceiveBufferLength = bootp::LargestDatagramLength;

// One received datagram, of whatever length it came: handed to `owner` when
// it is a BOOTREQUEST of one of our units (IsUnitBootRequest) that holds a
// whole hardware address, is no longer than its kind allows
// (LargestAcceptedLength), and is plain BOOTP, a DHCPDISCOVER or a
// DHCPREQUEST; dropped otherwise. Whether it was handed on.
bool TakeDatagram(std::span<const std::uint8_t> datagram, const NetworkInterface& arrival, BootRequestReceiver& owner);
