// How tarvik-bootp serves a plant's power-up from its address plan, on the
// tool side of the lab (bench/plan.sh); request_sender plays the units on
// the units side.
//
// - A burst: a 5,000-unit plan served while 5,000 units ask back to back,
//   each once; every unit must be answered, and the last reply must be out
//   within a second of the last request.
// - A queue: the same 5,000 requests wait while the receiver is stopped, then
//   it drains them: a bare recvfrom loop, tarvik-bootp, and dnsmasq given
//   the same 5,000 units as static hosts (dhcp-host). Median of five rounds.
// - A plan of 100,000 lines: how long it takes to read and check, and what
//   tarvik-bootp holds in memory while it serves it.

#include "bench/IntakeProbes.h"
#include "core/AddressText.h"
#include "plan/UnitPlan.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QUdpSocket>

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int Units = 5000;
constexpr int Rounds = 5;
constexpr int LargePlanLines = 100000;
// The plan's subnet: added to the tool side's first interface, so that dnsmasq
// serves it there.
const QString PlanSubnetAddress = QStringLiteral("10.96.0.2/12");
constexpr std::uint32_t FirstPlannedAddress = 0x0A600100; // 10.96.1.0
constexpr std::uint32_t PlanGateway = 0x0A600001;         // 10.96.0.1

// Unit n's MAC address, as request_sender writes it.
HardwareAddress UnitMac(unsigned unit)
{
    return {0x02, 0x4B, 0x7E, static_cast<std::uint8_t>(unit >> 16), static_cast<std::uint8_t>(unit >> 8),
            static_cast<std::uint8_t>(unit)};
}

void WriteFile(const QString& path, const QByteArray& text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size())
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

// A plan of `units` units on 10.96.0.0/12; and the same units as dnsmasq's
// static hosts.
void WritePlan(const QString& plan, const QString& hosts, int units)
{
    QByteArray planText = "mac,ip,mask,gateway\n";
    QByteArray hostsText;
    for (int unit = 0; unit < units; ++unit) {
        const HardwareAddress mac = UnitMac(static_cast<unsigned>(unit));
        const std::string ip = FormatDottedQuad(FirstPlannedAddress + static_cast<std::uint32_t>(unit));
        planText += FormatHardwareAddress(mac) + "," + ip + ",255.240.0.0," + FormatDottedQuad(PlanGateway) + "\n";
        QByteArray colons = QByteArray::fromStdString(FormatHardwareAddress(mac)).replace('-', ':').toLower();
        hostsText += colons + "," + QByteArray::fromStdString(ip) + "\n";
    }
    WriteFile(plan, planText);
    if (!hosts.isEmpty())
        WriteFile(hosts, hostsText);
}

bool PortIsHeld()
{
    QUdpSocket probe;
    return !probe.bind(QHostAddress::AnyIPv4, 67, QAbstractSocket::DontShareAddress);
}

// A server started for a round: tarvik-bootp or dnsmasq, listening.
std::unique_ptr<QProcess> StartServer(const QString& program, const QStringList& arguments, const QString& output)
{
    auto server = std::make_unique<QProcess>();
    server->setStandardOutputFile(output);
    server->setStandardErrorFile(output + ".err");
    server->start(program, arguments);
    server->waitForStarted(10000);
    const auto start = Clock::now();
    while (!PortIsHeld() && server->state() != QProcess::NotRunning && Clock::now() - start < 30s)
        QThread::msleep(5);
    return server;
}

void StopServer(QProcess& server)
{
    if (server.state() != QProcess::NotRunning) {
        kill(static_cast<pid_t>(server.processId()), SIGINT);
        if (!server.waitForFinished(10000))
            server.kill();
    }
    server.waitForFinished(5000);
}

// What request_sender --replies said.
struct SenderReport {
    int unitsAnswered = 0;
    int replies = 0;
    long long lastRequestNs = 0;
    long long lastReplyNs = 0;
};

QStringList SenderArguments(const QStringList& options)
{
    return QStringList{"netns", "exec", qEnvironmentVariable("LAB_UNITS_NS"), QStringLiteral(REQUEST_SENDER_PATH)} +
           options;
}

SenderReport ReadSenderReport(const QString& output)
{
    SenderReport report;
    for (const QString& line : output.split('\n')) {
        const QStringList words = line.split(' ');
        if (words.value(0) == "sent")
            report.lastRequestNs = words.value(3).toLongLong();
        if (words.value(0) == "replies") {
            report.replies = words.value(1).toInt();
            report.unitsAnswered = words.value(3).toInt();
            report.lastReplyNs = words.value(5).toLongLong();
        }
    }
    return report;
}

long long NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

// Sends the units' requests while `server` is stopped, lets it go once they
// all wait, and times it until the last reply arrives.
Drain StoppedServerDrain(QProcess& server)
{
    const auto pid = static_cast<pid_t>(server.processId());
    kill(pid, SIGSTOP);
    QProcess sender;
    sender.start("ip", SenderArguments({"--units", QString::number(Units), "--requests", QString::number(Units),
                                        "--replies", "3000"}));
    QString output;
    while (!output.contains("last_request_ns") && sender.waitForReadyRead(30000))
        output += QString::fromLatin1(sender.readAllStandardOutput());
    const long long resumed = NowNs();
    kill(pid, SIGCONT);
    sender.waitForFinished(60000);
    output += QString::fromLatin1(sender.readAllStandardOutput());
    const SenderReport report = ReadSenderReport(output);
    Drain drain;
    drain.kept = report.unitsAnswered;
    drain.seconds = report.lastReplyNs > resumed ? static_cast<double>(report.lastReplyNs - resumed) / 1e9 : 0;
    return drain;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Row(const char* receiver, int kept, double rate, double bareRate)
{
    std::printf("| %-50s | %5d of %5d | %10.0f | %6.3f |\n", receiver, kept, Units, rate, bareRate > 0 ? rate / bareRate : 0);
}

bool Verdict(const char* target, bool met)
{
    std::printf("  %-72s %s\n", target, met ? "met" : "MISSED");
    return met;
}

// VmHWM and VmRSS of a process, in bytes.
std::pair<double, double> ResidentBytes(qint64 pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string key;
    double peak = 0;
    double now = 0;
    while (status >> key) {
        double kilobytes = 0;
        if (key == "VmHWM:" && status >> kilobytes)
            peak = kilobytes * 1024;
        else if (key == "VmRSS:" && status >> kilobytes)
            now = kilobytes * 1024;
    }
    return {peak, now};
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsEmpty("LAB_UNITS_NS")) {
        std::fprintf(stderr, "run through bench/plan.sh, inside the lab\n");
        return 2;
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QProcess::execute("ip", {"addr", "add", PlanSubnetAddress, "dev", qEnvironmentVariable("LAB_TOOL_INTERFACE")});
    QTemporaryDir folder;
    // dnsmasq reads its hosts as the user it turns into, nobody.
    QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                             QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    const QString plan = folder.filePath("plan.csv");
    const QString hosts = folder.filePath("hosts");
    WritePlan(plan, hosts, Units);
    const QString program = QStringLiteral(TARVIK_BOOTP_PATH);
    bool allMet = true;

    std::printf("A burst: a %d-unit plan served while %d units ask back to back, each once\n", Units, Units);
    {
        const QString record = folder.filePath("record.csv");
        auto server = StartServer(program, {"serve", "--plan", plan, "--record", record, "--timeout", "60"},
                                  folder.filePath("burst.log"));
        const unsigned long dropsBefore = ServerPortDrops();
        QProcess sender;
        sender.start("ip", SenderArguments({"--units", QString::number(Units), "--requests", QString::number(Units),
                                            "--replies", "3000"}));
        sender.waitForFinished(60000);
        const unsigned long dropped = ServerPortDrops() - dropsBefore;
        const SenderReport report = ReadSenderReport(QString::fromLatin1(sender.readAllStandardOutput()));
        StopServer(*server);
        QFile recordFile(record);
        recordFile.open(QIODevice::ReadOnly);
        const int recorded = static_cast<int>(recordFile.readAll().count("sent\n"));
        const double lastReplyAfter = static_cast<double>(report.lastReplyNs - report.lastRequestNs) / 1e6;
        std::printf("  %d of %d units answered (%d replies), %d lines in the record, %lu requests dropped by the "
                    "kernel;\n  last reply %.1f ms after the last request; tarvik-bootp ended with status %d\n",
                    report.unitsAnswered, Units, report.replies, recorded, dropped, lastReplyAfter,
                    server->exitCode());
        allMet &= Verdict("every unit answered and recorded, none dropped",
                          report.unitsAnswered == Units && recorded == Units && dropped == 0);
        allMet &= Verdict("the last reply out within 1 s of the last request", lastReplyAfter <= 1000);
    }

    std::printf("\nA queue of %d requests drained (median of %d rounds)\n\n", Units, Rounds);
    std::printf("| %-50s | %14s | %10s | %6s |\n", "receiver", "answered", "per second", "ratio");
    std::printf("|%s|%s|%s|%s|\n", std::string(52, '-').c_str(), std::string(16, '-').c_str(),
                std::string(12, '-').c_str(), std::string(8, '-').c_str());
    {
        std::vector<double> bare, tool, dnsmasq;
        int bareKept = Units, toolKept = Units, dnsmasqKept = Units;
        bool dnsmasqRan = true;
        for (int round = 0; round < Rounds; ++round) {
            const Drain bareDrain = BareLoopDrain([&] {
                QProcess::execute("ip", SenderArguments({"--units", QString::number(Units), "--requests",
                                                         QString::number(Units)}));
            });
            bare.push_back(bareDrain.Rate());
            bareKept = std::min(bareKept, bareDrain.kept);

            auto server = StartServer(program, {"serve", "--plan", plan, "--timeout", "120"},
                                      folder.filePath("queue.log"));
            const Drain toolDrain = StoppedServerDrain(*server);
            StopServer(*server);
            tool.push_back(toolDrain.Rate());
            toolKept = std::min(toolKept, toolDrain.kept);

            auto peer = StartServer("dnsmasq",
                                    {"-k", "--port=0", "--conf-file=/dev/null", "--pid-file=",
                                     "--dhcp-leasefile=/dev/null", "--dhcp-range=10.96.0.0,static,255.240.0.0",
                                     "--dhcp-hostsfile=" + hosts, "--quiet-dhcp", "--log-facility=-"},
                                    folder.filePath("dnsmasq.log"));
            // It binds the port before it reads its hosts: ready once it says it has.
            const auto started = Clock::now();
            QFile log(folder.filePath("dnsmasq.log.err"));
            while (!(log.open(QIODevice::ReadOnly) && log.readAll().contains(": read " + hosts.toUtf8())) &&
                   Clock::now() - started < 10s) {
                log.close();
                QThread::msleep(10);
            }
            if (peer->state() != QProcess::Running) {
                dnsmasqRan = false;
                continue;
            }
            const Drain peerDrain = StoppedServerDrain(*peer);
            StopServer(*peer);

            dnsmasq.push_back(peerDrain.Rate());
            dnsmasqKept = std::min(dnsmasqKept, peerDrain.kept);
        }
        const double bareRate = Median(bare);
        Row("bare recvfrom loop (reads, answers nothing)", bareKept, bareRate, bareRate);
        Row("tarvik-bootp serve, 5,000-unit plan", toolKept, Median(tool), bareRate);
        if (dnsmasqRan && !dnsmasq.empty())
            Row("dnsmasq, the same 5,000 units as dhcp-host entries", dnsmasqKept, Median(dnsmasq), bareRate);
        else
            std::printf("(dnsmasq did not start: no peer row)\n");
        allMet &= Verdict("tarvik-bootp answered every queued request", toolKept == Units);
    }

    std::printf("\nA plan of %d lines\n", LargePlanLines);
    {
        const QString large = folder.filePath("large.csv");
        WritePlan(large, {}, LargePlanLines);
        std::vector<double> seconds;
        double heapBytes = 0;
        for (int round = 0; round < Rounds; ++round) {
            const MemoryUse before = MemoryInUse();
            const auto start = Clock::now();
            const PlanReading reading = ReadPlanFile(large);
            seconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
            heapBytes = MemoryInUse().heapBytes - before.heapBytes;
            if (!reading.errors.empty() || reading.plan.Units().size() != LargePlanLines)
                std::printf("  the plan did not read: %s\n", reading.errors.empty() ? "" : reading.errors[0].c_str());
        }
        auto server = StartServer(program, {"serve", "--plan", large, "--timeout", "60"}, folder.filePath("large.log"));
        const auto [peak, resident] = ResidentBytes(server->processId());
        StopServer(*server);
        const double loadSeconds = Median(seconds);
        std::printf("  read and checked in %.3f s (median of %d); the plan in memory: heap %.1f MB;\n"
                    "  tarvik-bootp serving it: resident %.1f MB, at most %.1f MB\n",
                    loadSeconds, Rounds, heapBytes / 1e6, resident / 1e6, peak / 1e6);
        allMet &= Verdict("100,000 lines read and checked in under 1 s", loadSeconds < 1);
        allMet &= Verdict("tarvik-bootp serving 100,000 planned units holds under 50 MB", peak > 0 && peak < 50e6);
    }
    std::printf("\n%s\n", allMet ? "All targets met." : "Some targets missed.");
    return allMet ? 0 : 1;
}
