#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// A program that holds a local UDP port.
struct PortHolder {
    // The name the system lists the process under ("dnsmasq"); empty where
    // the system does not tell this process (another user's, seen without root).
    QString program;
    // 0 where unknown.
    std::int64_t processId = 0;
};

// Who holds UDP `port` on a local IPv4 address (on Linux also through an
// IPv6 socket bound to every address, which takes IPv4 too); nothing when no
// socket holds it, or on a system other than Linux and Windows.
std::optional<PortHolder> FindUdpPortHolder(std::uint16_t port);
