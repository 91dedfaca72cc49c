#pragma once

// What tests need of the private network that lab/netlab.sh builds around
// them: the test process runs on the tool side, units run on the other.

#include <gtest/gtest.h>

#include <QProcess>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class LabNetwork {
public:
    // The tool side's default route leads to the first segment only.
    enum Segment { FirstSegment, SecondSegment };

    // The lab this process runs in, or nothing when it was not started by netlab.sh.
    static std::optional<LabNetwork> FromEnvironment();

    // Starts the unit simulator on a segment's units side with these options.
    std::unique_ptr<QProcess> StartUnits(const QStringList& simulatorArguments,
                                         Segment segment = FirstSegment) const;

    QString toolAddress;
    QString toolInterface;
    QString secondToolAddress;
    QString secondToolInterface;

    // The host's net.core.rmem_max: the most a socket's SO_RCVBUF request is
    // granted (Linux then doubles it for its own bookkeeping). 0 when unknown.
    static int ReceiveBufferLimit();

private:
    QString unitsNamespace;
    QString secondUnitsNamespace;
};

// Tests that need the lab: skipped when the binary runs outside it.
class LabTest : public ::testing::Test {
protected:
    void SetUp() override;

    std::optional<LabNetwork> lab;
};

// Runs the event loop until `done` holds or `timeout` passes; whether it held.
bool ProcessEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

// Waits, running the event loop, for a simulator to end; its standard output.
QString WaitForOutput(QProcess& simulator, std::chrono::milliseconds timeout);
