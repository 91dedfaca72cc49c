#include "bench/IntakeProbes.h"

#include "listener/BootpSocket.h"

#include <QEvent>
#include <QProcess>

#include <arpa/inet.h>
#include <malloc.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The receive queue (bytes) and drop count of the socket on UDP port 67.
struct QueueState {
    long queuedBytes = -1;
    unsigned long drops = 0;
};

QueueState ServerPortQueue()
{
    std::ifstream table("/proc/net/udp");
    std::string line;
    std::getline(table, line);
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout, inode, refs, pointer;
        unsigned long drops = 0;
        fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >> timeout >> inode
            >> refs >> pointer >> drops;
        if (local.size() > 5 && local.substr(local.size() - 5) == ":0043")
            return {std::stol(queues.substr(queues.find(':') + 1), nullptr, 16), drops};
    }
    return {};
}

} // namespace

Drain BareLoopDrain(const std::function<void()>& send)
{
    const int receiver = socket(AF_INET, SOCK_DGRAM, 0);
    const int buffer = CBootpSocket::RequestedKernelReceiveBuffer;
    setsockopt(receiver, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_port = htons(67);
    if (bind(receiver, reinterpret_cast<const sockaddr*>(&server), sizeof server) != 0) {
        close(receiver);
        return {};
    }
    send();
    char datagram[ReceiveBufferLength + 1];
    sockaddr_in from{};
    socklen_t fromLength = sizeof from;
    Drain drain;
    const auto start = Clock::now();
    while (recvfrom(receiver, datagram, sizeof datagram, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&from),
                    &fromLength) >= 0) {
        ++drain.kept;
        fromLength = sizeof from;
    }
    drain.seconds = SecondsSince(start);
    close(receiver);
    return drain;
}

std::optional<Drain> DnsmasqDrain(const std::function<void()>& send, int sent)
{
    QProcess dnsmasq;
    dnsmasq.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    dnsmasq.setStandardErrorFile(QProcess::nullDevice());
    dnsmasq.start(QStringLiteral("dnsmasq"),
                  {"-k", "--port=0", "--conf-file=/dev/null", "--pid-file=", "--dhcp-leasefile=/dev/null",
                   "--dhcp-range=10.77.0.100,10.77.0.200,255.255.255.0"});
    if (!dnsmasq.waitForStarted(3000))
        return std::nullopt;
    const auto started = Clock::now();
    while (ServerPortQueue().queuedBytes < 0 && Clock::now() - started < 5s)
        std::this_thread::sleep_for(10ms);
    std::optional<Drain> drain;
    if (ServerPortQueue().queuedBytes >= 0) {
        const auto pid = static_cast<pid_t>(dnsmasq.processId());
        kill(pid, SIGSTOP);
        const unsigned long dropsBefore = ServerPortQueue().drops;
        send();
        const QueueState queued = ServerPortQueue();
        kill(pid, SIGCONT);
        const auto start = Clock::now();
        while (ServerPortQueue().queuedBytes > 0 && Clock::now() - start < 20s)
            std::this_thread::sleep_for(200us);
        drain = Drain{sent - static_cast<int>(queued.drops - dropsBefore), SecondsSince(start),
                      ServerPortQueue().queuedBytes == 0};
    }
    dnsmasq.terminate();
    dnsmasq.waitForFinished(3000);
    return drain;
}

unsigned long ServerPortDrops()
{
    return ServerPortQueue().drops;
}

MemoryUse MemoryInUse()
{
    const struct mallinfo2 heap = mallinfo2();
    long residentPages = 0;
    std::ifstream("/proc/self/statm") >> residentPages >> residentPages;
    return {static_cast<double>(heap.uordblks + heap.hblkhd),
            static_cast<double>(residentPages) * static_cast<double>(sysconf(_SC_PAGESIZE))};
}

PaintCounter::PaintCounter(QWidget* widget)
{
    widget->installEventFilter(this);
}

bool PaintCounter::eventFilter(QObject*, QEvent* event)
{
    if (event->type() == QEvent::Paint)
        ++count;
    return false;
}

ClickProbe::ClickProbe(QPushButton& button, std::chrono::milliseconds interval)
    : button(button), clicker([this, interval] {
          while (running) {
              std::this_thread::sleep_for(interval);
              const auto posted = Clock::now();
              QMetaObject::invokeMethod(
                  &this->button,
                  [this, posted] {
                      this->button.click();
                      const std::lock_guard lock(mutex);
                      waits.push_back(std::chrono::duration<double, std::milli>(Clock::now() - posted).count());
                  },
                  Qt::QueuedConnection);
          }
      })
{
}

ClickProbe::~ClickProbe()
{
    Stop();
}

void ClickProbe::Stop()
{
    running = false;
    if (clicker.joinable())
        clicker.join();
}

int ClickProbe::Count() const
{
    const std::lock_guard lock(mutex);
    return static_cast<int>(waits.size());
}

double ClickProbe::LongestMilliseconds() const
{
    const std::lock_guard lock(mutex);
    return waits.empty() ? 0 : *std::max_element(waits.begin(), waits.end());
}

double ClickProbe::MedianMilliseconds() const
{
    const std::lock_guard lock(mutex);
    if (waits.empty())
        return 0;
    std::vector<double> sorted = waits;
    std::sort(sorted.begin(), sorted.end());
    return sorted[sorted.size() / 2];
}
