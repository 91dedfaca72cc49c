#pragma once

#include "lab/unitsim/SimulatorOptions.h"

#include <QDeadlineTimer>
#include <QUdpSocket>

#include <cstdint>
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
    };

    void SendOddDatagrams();
    void SendRound();
    void WaitForReplies(std::chrono::milliseconds duration);
    void TakeReply(const class QNetworkDatagram& datagram);
    bool AllAssigned() const;
    void Broadcast(const QByteArray& datagram);

    SimulatorOptions options;
    std::vector<Unit> units;
    QUdpSocket socket;
    QDeadlineTimer deadline;
    int failedSends = 0;
};
