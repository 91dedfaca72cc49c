#pragma once

// What the intake benchmark measures with, apart from the tool itself: a bare
// receive loop and dnsmasq as references, the process's memory, and probes of
// the window's responsiveness.

#include <QObject>
#include <QPushButton>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// How many datagrams a receiver took from a queue, and in what time.
struct Drain {
    int kept = 0;
    double seconds = 0;
    // False when the queue was still not empty when the wait for it ended.
    bool emptied = true;
    double Rate() const { return seconds > 0 ? kept / seconds : 0; }
};

// A plain socket on port 67 with the tool's receive buffer: `send` queues
// the datagrams, then recvfrom takes them until none is left.
Drain BareLoopDrain(const std::function<void()>& send);

// dnsmasq as this segment's DHCP server, stopped while `send` queues `sent`
// datagrams; what its socket did not drop, and the time until its queue is
// empty. Nothing when dnsmasq is not installed or does not start.
std::optional<Drain> DnsmasqDrain(const std::function<void()>& send, int sent);

// How many datagrams the kernel has dropped so far on the socket bound to
// UDP port 67, for want of room in its receive buffer.
unsigned long ServerPortDrops();

struct MemoryUse {
    double heapBytes = 0;
    double residentBytes = 0;
};
MemoryUse MemoryInUse();

// Counts the paint events of a widget.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget);
    int count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Clicks a button every `interval` from another thread, through the event
// loop as a user's click comes, and notes how long each waited until it
// was handled.
class ClickProbe {
public:
    ClickProbe(QPushButton& button, std::chrono::milliseconds interval);
    ~ClickProbe();
    void Stop();

    int Count() const;
    double LongestMilliseconds() const;
    double MedianMilliseconds() const;

private:
    QPushButton& button;
    std::atomic<bool> running{true};
    mutable std::mutex mutex;
    std::vector<double> waits;
    std::thread clicker;
};
