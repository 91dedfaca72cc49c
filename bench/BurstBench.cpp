// How many requests of a burst survive while the window is too busy to read:
// a plant powering up sends thousands at once. Each burst is sent while this
// process's event loop is blocked, then the queue is drained and counted.
// Compares the listener with a socket that keeps the kernel's default buffer.
// Runs on the tool side of lab/netlab.sh's private network (bench/burst.sh).

#include "listener/BootpSocket.h"
#include "tests/support/LabNetwork.h"

#include <QCoreApplication>
#include <QNetworkDatagram>
#include <QTextStream>
#include <QUdpSocket>
#include <QVariant>

#include <cstdio>
#include <memory>

using namespace std::chrono_literals;

namespace {

class CountingReceiver : public BootRequestReceiver {
public:
    void OnBootRequest(const BootRequest&, const NetworkInterface&) override { ++count; }
    int count = 0;
};

// Sends `units` requests back to back and waits for the sender without
// running the event loop, as a busy window would.
void SendBurstWhileBusy(const LabNetwork& lab, int units)
{
    auto sender = lab.StartUnits({"--no-wait", "--count", "1", "--interval", "0", "--units", QString::number(units)});
    sender->WaitForEnd(60s);
}

// Drains what the kernel kept: runs the event loop until nothing new arrives.
void Drain(const int& count)
{
    int seen = -1;
    while (seen != count) {
        seen = count;
        ProcessEventsUntil([] { return false; }, 200ms);
    }
}

int ListenerSurvivors(const LabNetwork& lab, int units, int& kernelBuffer)
{
    CountingReceiver receiver;
    CBootpSocket listener(receiver);
    if (!listener.Create())
        return -1;
    kernelBuffer = listener.KernelReceiveBufferBytes();
    SendBurstWhileBusy(lab, units);
    Drain(receiver.count);
    return receiver.count;
}

int DefaultBufferSurvivors(const LabNetwork& lab, int units, int& kernelBuffer)
{
    QUdpSocket socket;
    if (!socket.bind(QHostAddress::AnyIPv4, 67, QAbstractSocket::DontShareAddress))
        return -1;
    kernelBuffer = socket.socketOption(QAbstractSocket::ReceiveBufferSizeSocketOption).toInt();
    int count = 0;
    QObject::connect(&socket, &QUdpSocket::readyRead, [&] {
        socket.receiveDatagram(501);
        ++count;
    });
    SendBurstWhileBusy(lab, units);
    Drain(count);
    return count;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const auto lab = LabNetwork::FromEnvironment();
    if (!lab) {
        std::fprintf(stderr, "run through bench/burst.sh, inside the lab\n");
        return 2;
    }
    QTextStream out(stdout);
    out << "net.core.rmem_max: " << LabNetwork::ReceiveBufferLimit() / 1024 << " KiB\n";
    out << "burst  listener kept (buffer)     default buffer kept (buffer)\n";
    for (const int units : {500, 1000, 3000, 5000, 8000, 12000}) {
        int listenerBuffer = 0;
        int defaultBuffer = 0;
        const int kept = ListenerSurvivors(*lab, units, listenerBuffer);
        const int keptByDefault = DefaultBufferSurvivors(*lab, units, defaultBuffer);
        out << QString("%1  %2 = %3 (%4 KiB)   %5 = %6 (%7 KiB)\n")
                   .arg(units, 5)
                   .arg(kept, 5).arg(double(kept) / units, 5, 'f', 3).arg(listenerBuffer / 1024)
                   .arg(keptByDefault, 5).arg(double(keptByDefault) / units, 5, 'f', 3).arg(defaultBuffer / 1024);
        out.flush();
    }
    return 0;
}
