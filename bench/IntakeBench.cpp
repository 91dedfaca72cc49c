// How fast the tool takes requests that wait on its socket, measured against
// a bare recvfrom loop draining the same queue in the same run, and how the
// window holds up under a flood of junk. Runs on the tool side of the lab
// (bench/intake.sh); request_sender sends from the units side.
//
// Each queue is sent while this process reads nothing, then drained: the
// time runs from the first read until every request is handled (the tool:
// listed in its shown window, painted once more).

#include "bench/IntakeProbes.h"
#include "core/AddressText.h"
#include "core/BootpMessage.h"
#include "ui/BootpToolDlg.h"

#include <QApplication>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <set>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int Rounds = 5;

// The main window, counting the requests it is handed.
class BenchToolDlg : public CBootpToolDlg {
public:
    void OnBootRequest(const BootRequest& request, const NetworkInterface& arrival) override
    {
        ++handled;
        CBootpToolDlg::OnBootRequest(request, arrival);
    }
    int handled = 0;
};

HardwareAddress UnitMac(unsigned unit)
{
    return {0x02, 0x4B, 0x7E, static_cast<std::uint8_t>(unit >> 16), static_cast<std::uint8_t>(unit >> 8),
            static_cast<std::uint8_t>(unit)};
}

QString UnitMacText(unsigned unit)
{
    return QString::fromStdString(FormatHardwareAddress(UnitMac(unit)));
}

QStringList SenderArguments(const QStringList& options)
{
    return QStringList{"netns", "exec", qEnvironmentVariable("LAB_UNITS_NS"), QStringLiteral(REQUEST_SENDER_PATH)}
        + options;
}

// Sends while this thread reads nothing, as a busy window would.
void SendQueue(const QStringList& options)
{
    QProcess sender;
    sender.setProcessChannelMode(QProcess::ForwardedChannels);
    sender.start(QStringLiteral("ip"), SenderArguments(options));
    sender.waitForFinished(120000);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct ToolWindow {
    BenchToolDlg window;
    PaintCounter paints;
    explicit ToolWindow(int listedUnits) : paints(window.UnitListView().viewport())
    {
        window.resize(640, 480);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            std::fprintf(stderr, "the window was not shown\n");
        window.OnListen();
        List(listedUnits);
    }
    // Requests from units 0 to count-1, handed to the window as the listener hands them on.
    void List(int count)
    {
        for (int unit = 0; unit < count; ++unit)
            window.CBootpToolDlg::OnBootRequest(ReadBootRequest(BuildBootRequest(0, UnitMac(static_cast<unsigned>(unit)))),
                                                {1});
        // Laid out and painted before anything is measured.
        QTest::qWait(100);
    }
    ~ToolWindow() { window.OnOK(); }
};

// `inspect` sees the window once the queue is drained.
Drain ToolDrain(int listedUnits, const QStringList& queue, int requests,
                const std::function<void(ToolWindow&)>& inspect = {})
{
    ToolWindow tool(listedUnits);
    SendQueue(queue);
    const auto start = Clock::now();
    while (tool.window.handled < requests && Clock::now() - start < 20s)
        QApplication::processEvents();
    // The last rows reach the screen.
    QApplication::processEvents();
    const std::chrono::duration<double> taken = Clock::now() - start;
    if (inspect)
        inspect(tool);
    return {tool.window.handled, taken.count()};
}

struct Comparison {
    double bareRate;
    double toolRate;
    int kept;
};

Comparison Compare(int listedUnits, const QStringList& queue, int requests)
{
    std::vector<double> bare, tool;
    int kept = requests;
    for (int round = 0; round < Rounds; ++round) {
        const Drain bareDrain = BareLoopDrain([&] { SendQueue(queue); });
        const Drain toolDrain = ToolDrain(listedUnits, queue, requests);
        bare.push_back(bareDrain.Rate());
        tool.push_back(toolDrain.Rate());
        kept = std::min({kept, bareDrain.kept, toolDrain.kept});
    }
    return {Median(bare), Median(tool), kept};
}

void Row(const char* receiver, int kept, int sent, double rate, double bareRate)
{
    std::printf("| %-44s | %5d of %5d | %9.0f | %6.3f |\n", receiver, kept, sent, rate, rate / bareRate);
}

bool Verdict(const char* target, bool met)
{
    std::printf("  %-72s %s\n", target, met ? "met" : "MISSED");
    return met;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsEmpty("LAB_UNITS_NS")) {
        std::fprintf(stderr, "run through bench/intake.sh, inside the lab\n");
        return 2;
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    constexpr int requests = 5000;
    const QString count = QString::number(requests);
    bool allMet = true;

    std::printf("Drain of a queue of %d requests (median of %d rounds; platform %s)\n\n", requests, Rounds,
                qPrintable(QApplication::platformName()));
    std::printf("| %-44s | %14s | %9s | %6s |\n", "receiver", "kept", "per second", "ratio");
    std::printf("|%s|%s|%s|%s|\n", std::string(46, '-').c_str(), std::string(16, '-').c_str(),
                std::string(11, '-').c_str(), std::string(8, '-').c_str());

    const QStringList newUnits{"--units", count, "--requests", count};
    const Comparison fresh = Compare(0, newUnits, requests);
    Row("bare recvfrom loop, new units", fresh.kept, requests, fresh.bareRate, fresh.bareRate);
    Row("tool, new units (5,000 distinct)", fresh.kept, requests, fresh.toolRate, fresh.bareRate);

    const Comparison few = Compare(100, {"--units", "100", "--requests", count}, requests);
    Row("bare recvfrom loop, repeats", few.kept, requests, few.bareRate, few.bareRate);
    Row("tool, repeats from 100 listed units", few.kept, requests, few.toolRate, few.bareRate);

    const Comparison many = Compare(10000, newUnits, requests);
    Row("bare recvfrom loop, repeats", many.kept, requests, many.bareRate, many.bareRate);
    Row("tool, repeats with 10,000 units listed", many.kept, requests, many.toolRate, many.bareRate);

    if (const std::optional<Drain> dnsmasq = DnsmasqDrain([&] { SendQueue(newUnits); }, requests)) {
        Row("dnsmasq (default buffer), new units", dnsmasq->kept, requests, dnsmasq->Rate(), fresh.bareRate);
        if (!dnsmasq->emptied)
            std::printf("(dnsmasq had not emptied its queue after %.0f s: its rate is at most that)\n",
                        dnsmasq->seconds);
    } else
        std::printf("(dnsmasq is not installed: no peer row)\n");

    // The power-up once more, for the listing itself: all there, newest on top.
    std::printf("\nNew units, one more drain with its list checked:\n");
    {
        bool whole = false;
        int paints = 0;
        const Drain checked = ToolDrain(0, newUnits, requests, [&](ToolWindow& tool) {
            const CUnitList& units = tool.window.Units();
            whole = units.RowCount() == requests && units.Text(0, MacAddressColumn) == UnitMacText(requests - 1)
                && units.Text(requests - 1, MacAddressColumn) == UnitMacText(0);
            paints = tool.paints.count;
        });
        std::printf("  %d listed in %.3f s, list repainted %d times\n", checked.kept, checked.seconds, paints);
        allMet &= Verdict("all 5,000 listed, newest on top", whole);
        allMet &= Verdict("listed within 0.5 s", checked.seconds <= 0.5);
    }
    allMet &= Verdict("new units: at least 10,000 per second", fresh.toolRate >= 10000);
    allMet &= Verdict("new units: at least 0.03 of the bare loop", fresh.toolRate >= 0.03 * fresh.bareRate);
    allMet &= Verdict("repeats with 10,000 listed: at least 0.35 of the bare loop",
                      many.toolRate >= 0.35 * many.bareRate);

    std::printf("\nMemory of the list:\n");
    {
        ToolWindow tool(0);
        const MemoryUse empty = MemoryInUse();
        tool.List(10000);
        const MemoryUse listed = MemoryInUse();
        std::printf("  10,000 units listed over an empty list: heap %+.2f MB, resident %+.2f MB\n",
                    (listed.heapBytes - empty.heapBytes) / 1e6, (listed.residentBytes - empty.residentBytes) / 1e6);
        allMet &= Verdict("10,000 units cost at most 5 MB", listed.heapBytes - empty.heapBytes <= 5e6
                                                                && listed.residentBytes - empty.residentBytes <= 5e6);
    }

    std::printf("\nFlood of 200,000 datagrams (noise, refused requests, requests from 100 units):\n");
    {
        ToolWindow tool(0);
        QPushButton* clear = nullptr;
        for (QPushButton* button : tool.window.findChildren<QPushButton*>()) {
            if (button->text() == "&Clear")
                clear = button;
        }
        const MemoryUse before = MemoryInUse();
        const unsigned long dropsBefore = ServerPortDrops();
        QProcess sender;
        sender.setProcessChannelMode(QProcess::ForwardedChannels);
        const auto start = Clock::now();
        sender.start(QStringLiteral("ip"), SenderArguments({"--flood", "200000", "--units", "100"}));
        ClickProbe clicks(*clear, 50ms);
        while (sender.state() != QProcess::NotRunning && Clock::now() - start < 120s)
            QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
        const std::chrono::duration<double> flood = Clock::now() - start;
        const int paintsDuringFlood = tool.paints.count;
        clicks.Stop();
        // What is still queued.
        const auto drainStart = Clock::now();
        while (Clock::now() - drainStart < 300ms)
            QApplication::processEvents();
        const MemoryUse after = MemoryInUse();
        const unsigned long dropped = ServerPortDrops() - dropsBefore;

        std::set<QString> valid;
        for (unsigned unit = 0; unit < 100; ++unit)
            valid.insert(UnitMacText(unit));
        const CUnitList& units = tool.window.Units();
        std::set<QString> listed;
        bool onlyValid = true;
        for (int row = 0; row < units.RowCount(); ++row) {
            const QString mac = units.Text(row, MacAddressColumn);
            onlyValid &= valid.count(mac) == 1 && listed.insert(mac).second;
        }
        const double repaintRate = paintsDuringFlood / flood.count();
        std::printf("  sent in %.2f s; %lu datagrams dropped by the kernel for want of room; %d requests handled;\n"
                    "  %d clicks, longest wait %.1f ms, median %.1f ms;\n"
                    "  list repainted %.0f times a second; memory after - before: heap %+.2f MB, resident %+.2f MB\n",
                    flood.count(), dropped, tool.window.handled, clicks.Count(), clicks.LongestMilliseconds(),
                    clicks.MedianMilliseconds(), repaintRate, (after.heapBytes - before.heapBytes) / 1e6,
                    (after.residentBytes - before.residentBytes) / 1e6);
        allMet &= Verdict("every click handled within 100 ms",
                          clicks.Count() > 0 && clicks.LongestMilliseconds() <= 100);
        allMet &= Verdict("repainted at least 10 times a second", repaintRate >= 10);
        allMet &= Verdict("rows only from accepted requests, one per unit", onlyValid);
        allMet &= Verdict("memory within 5 MB of before", std::abs(after.heapBytes - before.heapBytes) <= 5e6
                                                              && std::abs(after.residentBytes - before.residentBytes) <= 5e6);
    }
    std::printf("\n%s\n", allMet ? "All targets met." : "Some targets missed.");
    return allMet ? 0 : 1;
}
