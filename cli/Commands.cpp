#include "cli/Commands.h"

#include "cli/CommandLine.h"
#include "cli/Interruption.h"
#include "cli/PlanServer.h"
#include "cli/UnitListener.h"
#include "listener/SocketLayer.h"
#include "res/strings/StringTable.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int Done = 0;
constexpr int NotDone = 1;
constexpr int CannotStart = 2;

void WriteError(const QString& text)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()), qPrintable(text));
}

int Listen(const CommandLine& line)
{
    UnitListener listener(stdout, line.csv);
    if (!listener.Listen()) {
        WriteListenFailure(listener.ListenFailure());
        return CannotStart;
    }
    QEventLoop loop;
    const Interruption interruption([&] { loop.quit(); });
    loop.exec();
    listener.Finish();
    return Done;
}

// Serves `plan` until it is done (when asked to end then), the time is up
// or Ctrl+C.
int Serve(const UnitPlan& plan, const QString& planName, const CommandLine& line)
{
    ReplyRecord record;
    if (line.recordPath && !record.Open(*line.recordPath)) {
        WriteError(QStringLiteral("cannot write the record %1: %2").arg(*line.recordPath, record.Error()));
        return CannotStart;
    }
    PlanServer server(plan, planName, line.recordPath ? &record : nullptr, stdout);
    if (!server.Listen()) {
        WriteListenFailure(server.ListenFailure());
        return CannotStart;
    }
    QEventLoop loop;
    const auto end = [&loop] { loop.quit(); };
    if (line.untilDone)
        server.onAllAnswered = end;
    server.onRecordFailure = end;
    const Interruption interruption(end);
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    if (line.timeout)
        timeout.start(*line.timeout);
    loop.exec();
    server.Finish();
    return server.AllAnswered() && !server.RecordFailed() ? Done : NotDone;
}

int ServePlanFile(const CommandLine& line)
{
    const PlanReading reading = ReadPlanFile(line.planPath);
    for (const std::string& error : reading.errors)
        std::fprintf(stderr, "%s\n", error.c_str());
    if (!reading.errors.empty()) {
        WriteError(QStringLiteral("nothing served: the plan has %1 error%2")
                       .arg(reading.errors.size())
                       .arg(reading.errors.size() == 1 ? "" : "s"));
        return CannotStart;
    }
    return Serve(reading.plan, line.planPath, line);
}

int Assign(CommandLine line)
{
    const std::string mac = line.unitTexts[0].toStdString();
    const std::string ip = line.unitTexts[1].toStdString();
    const std::string mask = line.unitTexts[2].toStdString();
    const std::string gateway = line.unitTexts[3].toStdString();
    PlannedUnitReading unit = ReadPlannedUnit({mac, ip, mask, gateway});
    if (!unit.unit) {
        WriteError(QString::fromStdString(unit.problem));
        return CannotStart;
    }
    const UnitPlan plan({*unit.unit});
    line.untilDone = true;
    return Serve(plan, QStringLiteral("command line"), line);
}

} // namespace

int RunCommandLine(const QStringList& arguments)
{
    const auto read = ReadCommandLine(arguments);
    if (const auto* exit = std::get_if<CommandLineExit>(&read)) {
        std::fputs(qPrintable(exit->text), exit->exitCode == 0 ? stdout : stderr);
        return exit->exitCode;
    }
    const CommandLine& line = std::get<CommandLine>(read);
    SocketLayer sockets;
    if (!sockets.Start()) {
        WriteError(StringFromTable(StringId::SocketsInitFailed));
        return CannotStart;
    }
    switch (line.command) {
    case CommandLine::Command::Listen: return Listen(line);
    case CommandLine::Command::Serve: return ServePlanFile(line);
    case CommandLine::Command::Assign: return Assign(line);
    }
    return CannotStart;
}
