#include "tests/support/LabNetwork.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QNetworkInterface>
#include <QThread>
#include <QTimer>

#include <fstream>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

std::optional<LabNetwork> LabNetwork::FromEnvironment()
{
    const QString units = qEnvironmentVariable("LAB_UNITS_NS");
    if (units.isEmpty())
        return std::nullopt;
    LabNetwork lab;
    lab.unitsNamespace = units;
    lab.toolAddress = qEnvironmentVariable("LAB_TOOL_ADDRESS");
    lab.secondUnitsNamespace = qEnvironmentVariable("LAB_SECOND_UNITS_NS");
    lab.secondToolAddress = qEnvironmentVariable("LAB_SECOND_TOOL_ADDRESS");
    lab.unitsInterface = qEnvironmentVariable("LAB_UNITS_INTERFACE");
    // A Linux path; a Windows program under Wine reads it on the current drive, Z:, which is Linux's root.
    lab.unitsSpool = qEnvironmentVariable("LAB_UNITS_SPOOL");
    return lab;
}

unsigned LabNetwork::ToolInterfaceIndex(Segment segment) const
{
    const QHostAddress address(segment == FirstSegment ? toolAddress : secondToolAddress);
    for (const QNetworkInterface& candidate : QNetworkInterface::allInterfaces()) {
        for (const QNetworkAddressEntry& entry : candidate.addressEntries()) {
            if (entry.ip() == address)
                return candidate.index();
        }
    }
    return 0;
}

int LabNetwork::ReceiveBufferLimit()
{
    int limit = 0;
    std::ifstream("/proc/sys/net/core/rmem_max") >> limit;
    return limit;
}

namespace {

// Puts a request for the lab into its spool, whole: written aside, then renamed.
void Spool(const QString& name, const QString& kind, const QStringList& lines)
{
    QFile request(name + ".new");
    if (request.open(QIODevice::WriteOnly))
        request.write(lines.join('\n').toLocal8Bit() + '\n');
    request.close();
    EXPECT_TRUE(request.rename(name + kind)) << "cannot ask the lab for " << name.toStdString();
}

} // namespace

QString LabNetwork::SpoolName() const
{
    static int requests = 0;
    return QStringLiteral("%1/%2-%3").arg(unitsSpool).arg(QCoreApplication::applicationPid()).arg(++requests);
}

std::unique_ptr<UnitRun> LabNetwork::StartUnits(const QStringList& simulatorArguments, Segment segment) const
{
    return RunOnUnitsSide(QStringList{QStringLiteral(UNITSIM_PATH)} + simulatorArguments, segment);
}

std::unique_ptr<UnitRun> LabNetwork::RunOnUnitsSide(const QStringList& command, Segment segment) const
{
    const QString name = SpoolName();
    Spool(name, ".units", QStringList{segment == FirstSegment ? unitsNamespace : secondUnitsNamespace} + command);
    return std::make_unique<UnitRun>(name);
}

bool LabNetwork::Unplug(Segment segment) const
{
    return ChangeSegment("unplug", segment);
}

bool LabNetwork::Plug(Segment segment) const
{
    return ChangeSegment("plug", segment);
}

bool LabNetwork::ChangeSegment(const char* action, Segment segment) const
{
    const QString name = SpoolName();
    Spool(name, ".segment", {QStringLiteral("%1 %2").arg(action, segment == FirstSegment ? "first" : "second")});
    const UnitRun change(name);
    return change.WaitForEnd(std::chrono::seconds(10)) && change.ExitCode() == 0;
}

bool UnitRun::HasEnded() const
{
    return QFile::exists(name + ".status");
}

bool UnitRun::WaitForEnd(std::chrono::milliseconds timeout) const
{
    const QDeadlineTimer deadline(timeout);
    while (!HasEnded()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(5);
    }
    return true;
}

void UnitRun::Stop()
{
    if (HasEnded())
        return;
    QFile(name + ".stop").open(QIODevice::WriteOnly);
    WaitForEnd(std::chrono::seconds(10));
}

int UnitRun::ExitCode() const
{
    QFile status(name + ".status");
    return status.open(QIODevice::ReadOnly) ? status.readAll().trimmed().toInt() : -1;
}

QString UnitRun::Output() const
{
    QFile output(name + ".out");
    return output.open(QIODevice::ReadOnly) ? QString::fromUtf8(output.readAll()) : QString();
}

void LabTest::SetUp()
{
    lab = LabNetwork::FromEnvironment();
    if (!lab)
        GTEST_SKIP() << "not inside the lab: run this binary through lab/netlab.sh (ctest does)";
    // Under Wine a program's sockets are made in its wineserver's network.
    ASSERT_NE(lab->ToolInterfaceIndex(LabNetwork::FirstSegment), 0u) << "this process's network is not the lab's";
}

bool RunningUnderWine()
{
#ifdef Q_OS_WIN
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
#else
    return false;
#endif
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

QString WaitForOutput(UnitRun& simulator, std::chrono::milliseconds timeout)
{
    if (!ProcessEventsUntil([&] { return simulator.HasEnded(); }, timeout))
        simulator.Stop();
    return simulator.Output();
}
