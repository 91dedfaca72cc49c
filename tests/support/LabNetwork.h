#pragma once

// What tests need of the private network that lab/netlab.sh builds around
// them: the test process runs on the tool side, units run on the other.

#include <QProcess>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class LabNetwork {
public:
    // The lab this process runs in, or nothing when it was not started by netlab.sh.
    static std::optional<LabNetwork> FromEnvironment();

    // Starts the unit simulator on the units side with these options.
    std::unique_ptr<QProcess> StartUnits(const QStringList& simulatorArguments) const;

    QString toolAddress;
    QString toolInterface;

private:
    QString unitsNamespace;
};

// Runs the event loop until `done` holds or `timeout` passes; whether it held.
bool ProcessEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

// Waits, running the event loop, for a simulator to end; its standard output.
QString WaitForOutput(QProcess& simulator, std::chrono::milliseconds timeout);
