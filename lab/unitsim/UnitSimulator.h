#pragma once

#include "lab/unitsim/SimulatorOptions.h"

#include <QDeadlineTimer>
#include <QUdpSocket>

#include <cstdint>
#include <optional>
#include <vector>

// One or more units that have no IP address yet: they broadcast requests
// until the tool answers each of them.
class UnitSimulator {
public:
    explicit UnitSimulator(const SimulatorOptions& options);

    // 0 when every unit got its reply (or replies were not awaited),
    // 1 when some did not in time, 2 when the socket could not be opened.
    int Run();

private:
    struct Unit {
        HardwareAddress mac;
        std::uint32_t xid;
        bool assigned = false;
        // Asking by DHCP: what the unit was offered, and by whom.
        std::optional<std::uint32_t> offeredAddress;
        std::optional<std::uint32_t> offeringServer;
    };

    void SendOddDatagrams();
    void SendRound();
    void WaitForReplies(std::chrono::milliseconds duration);
    void TakeReply(const class QNetworkDatagram& datagram);
    // The unit's next request, padded to the requested length.
    QByteArray RequestOf(const Unit& unit) const;
    bool AllAssigned() const;
    void Broadcast(const QByteArray& datagram);

    SimulatorOptions options;
    std::vector<Unit> units;
    QUdpSocket socket;
    QDeadlineTimer deadline;
    int failedSends = 0;
};
