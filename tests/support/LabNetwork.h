#pragma once

// What tests need of the private network that lab/netlab.sh builds around
// them: the test process runs on the tool side, units run on the other.

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

// One run of a program on a units side, which netlab.sh starts, stops and
// waits for on this process's behalf (see its serve_units); stopped when it
// goes, if it has not ended.
class UnitRun {
public:
    explicit UnitRun(QString spoolName) : name(std::move(spoolName)) {}
    UnitRun(const UnitRun&) = delete;
    UnitRun& operator=(const UnitRun&) = delete;
    ~UnitRun() { Stop(); }

    bool HasEnded() const;
    // Waits without running the event loop, as a busy window would; whether it ended.
    bool WaitForEnd(std::chrono::milliseconds timeout) const;
    // Ends it if it still runs, and waits for that.
    void Stop();
    // Its exit status once it has ended (a signal's shows as 128 + the signal), else -1.
    int ExitCode() const;
    QString Output() const;

private:
    QString name;
};

class LabNetwork {
public:
    // The tool side's default route leads to the first segment only.
    enum Segment { FirstSegment, SecondSegment };

    // The lab this process runs in, or nothing when it was not started by netlab.sh.
    static std::optional<LabNetwork> FromEnvironment();

    // Starts the unit simulator on a segment's units side with these options.
    std::unique_ptr<UnitRun> StartUnits(const QStringList& simulatorArguments,
                                         Segment segment = FirstSegment) const;
    // Starts a Linux program, with its arguments, on a segment's units side.
    std::unique_ptr<UnitRun> RunOnUnitsSide(const QStringList& command, Segment segment = FirstSegment) const;

    // Takes a segment's veth pair away, with its routes, as an unplugged
    // adapter goes; and plugs it in again, its tool side's interface with the
    // same name and address and a new index. Whether it was done.
    bool Unplug(Segment segment) const;
    bool Plug(Segment segment) const;

    // The index of the tool side's interface on a segment, found by its
    // address (Windows does not know interfaces by Linux's names); 0 when this
    // process's network has no such interface.
    unsigned ToolInterfaceIndex(Segment segment) const;

    QString toolAddress;
    QString secondToolAddress;
    // The first units side's end of its veth pair.
    QString unitsInterface;

    // The host's net.core.rmem_max: the most a socket's SO_RCVBUF request is
    // granted (Linux then doubles it for its own bookkeeping). 0 when unknown.
    static int ReceiveBufferLimit();

private:
    QString SpoolName() const;
    bool ChangeSegment(const char* action, Segment segment) const;

    QString unitsNamespace;
    QString secondUnitsNamespace;
    QString unitsSpool;
};

// Tests that need the lab: skipped when the binary runs outside it.
class LabTest : public ::testing::Test {
protected:
    void SetUp() override;

    std::optional<LabNetwork> lab;
};

// Whether this is a Windows program running under Wine rather than on Windows.
bool RunningUnderWine();

// Windows sends a datagram by the interface that the IP_PKTINFO control data
// of WSASendMsg names; Wine sends it without the control data (strace shows
// its sendmsg with msg_controllen=0), so the datagram follows the default route.
inline constexpr const char* WineIgnoresTheOutgoingInterface =
    "Wine drops the IP_PKTINFO that names the interface a datagram leaves by";

// Under Wine a segment unplugged and plugged in again keeps its old interface
// index in Windows' view while its datagrams arrive with the new one, so
// every test after it would look for the interface in vain.
inline constexpr const char* WineKeepsAReplacedInterfacesIndex =
    "Wine keeps an unplugged and re-created interface under its old index";

// Runs the event loop until `done` holds or `timeout` passes; whether it held.
bool ProcessEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

// Waits, running the event loop, for a simulator to end (stopping it after
// `timeout`); its standard output.
QString WaitForOutput(UnitRun& simulator, std::chrono::milliseconds timeout);
