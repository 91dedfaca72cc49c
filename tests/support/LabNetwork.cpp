#include "tests/support/LabNetwork.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <fstream>

std::optional<LabNetwork> LabNetwork::FromEnvironment()
{
    const QString units = qEnvironmentVariable("LAB_UNITS_NS");
    if (units.isEmpty())
        return std::nullopt;
    LabNetwork lab;
    lab.unitsNamespace = units;
    lab.toolAddress = qEnvironmentVariable("LAB_TOOL_ADDRESS");
    lab.toolInterface = qEnvironmentVariable("LAB_TOOL_INTERFACE");
    lab.secondUnitsNamespace = qEnvironmentVariable("LAB_SECOND_UNITS_NS");
    lab.secondToolAddress = qEnvironmentVariable("LAB_SECOND_TOOL_ADDRESS");
    lab.secondToolInterface = qEnvironmentVariable("LAB_SECOND_TOOL_INTERFACE");
    return lab;
}

int LabNetwork::ReceiveBufferLimit()
{
    int limit = 0;
    std::ifstream("/proc/sys/net/core/rmem_max") >> limit;
    return limit;
}

std::unique_ptr<QProcess> LabNetwork::StartUnits(const QStringList& simulatorArguments, Segment segment) const
{
    const QString& units = segment == FirstSegment ? unitsNamespace : secondUnitsNamespace;
    auto simulator = std::make_unique<QProcess>();
    simulator->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    simulator->start(QStringLiteral("ip"),
                     QStringList{"netns", "exec", units, QStringLiteral(UNITSIM_PATH)} + simulatorArguments);
    simulator->waitForStarted();
    return simulator;
}

void LabTest::SetUp()
{
    lab = LabNetwork::FromEnvironment();
    if (!lab)
        GTEST_SKIP() << "not inside the lab: run this binary through lab/netlab.sh (ctest does)";
}

bool ProcessEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    const QDeadlineTimer deadline(timeout);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        // A short nested loop sleeps until an event or the tick, instead of spinning.
        QEventLoop tick;
        QTimer::singleShot(10, &tick, &QEventLoop::quit);
        tick.exec();
    }
    return true;
}

QString WaitForOutput(QProcess& simulator, std::chrono::milliseconds timeout)
{
    if (!ProcessEventsUntil([&] { return simulator.state() == QProcess::NotRunning; }, timeout)) {
        simulator.kill();
        simulator.waitForFinished();
    }
    return QString::fromUtf8(simulator.readAllStandardOutput());
}
