#include "cli/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <array>

namespace {

constexpr int BadCommandLine = 2;

const QString Description = QStringLiteral(
    "Gives Tarvik Ethernet I/O units their IP addresses by BOOTP, from the command line: the window's "
    "companion for commissioning a plant from an address plan.\n\n"
    "Commands:\n"
    "  listen [--csv]                 List each unit once, when it first asks, until Ctrl+C.\n"
    "  serve --plan PLAN.csv [--record RECORD.csv] [--until-done] [--timeout SECONDS]\n"
    "                                 Answer every unit of the plan with its planned addresses.\n"
    "  assign MAC IP MASK GATEWAY [--timeout SECONDS]\n"
    "                                 Answer the next request of one unit, then end.\n\n"
    "tarvik-bootp COMMAND --help tells more of each. Exit status: 0 done, 1 not done (timed out, or ended "
    "by Ctrl+C before every unit was answered), 2 a wrong command line or plan, or listening failed.");

struct CommandSpec {
    CommandLine::Command command;
    const char* name;
    const char* description;
};

constexpr std::array<CommandSpec, 3> Commands{{
    {CommandLine::Command::Listen, "listen",
     "Lists each unit once, when it first asks: the time, its MAC address and the interface it came in on; "
     "on Ctrl+C, how many requests each sent. Answers none of them."},
    {CommandLine::Command::Serve, "serve",
     "Answers every request of a unit in the plan with its planned addresses, as often as it asks; units "
     "not in the plan are listed, never answered. The plan is a CSV file (comma or semicolon) with the "
     "header mac,ip,mask,gateway in any order; it is checked whole before anything is served."},
    {CommandLine::Command::Assign, "assign",
     "Answers the next request of the unit with this MAC address with these addresses, then ends."},
}};

QString Usage(const QCommandLineParser& parser, const QString& mistake)
{
    return QCoreApplication::applicationName() + QStringLiteral(": ") + mistake + QStringLiteral("\n\n") +
           parser.helpText();
}

std::optional<std::chrono::milliseconds> ReadTimeout(const QString& text)
{
    bool number = false;
    const double seconds = text.toDouble(&number);
    if (!number || !(seconds > 0) || seconds > LongestTimeoutSeconds)
        return std::nullopt;
    return std::chrono::milliseconds(static_cast<long long>(seconds * 1000 + 0.5));
}

} // namespace

std::variant<CommandLine, CommandLineExit> ReadCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(Description);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();

    // The command is the first argument that is no option.
    const CommandSpec* chosen = nullptr;
    for (const QString& argument : arguments.mid(1)) {
        if (argument.startsWith(QLatin1Char('-')))
            continue;
        for (const CommandSpec& candidate : Commands) {
            if (argument == QLatin1String(candidate.name))
                chosen = &candidate;
        }
        if (!chosen) {
            parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("listen, serve or assign"));
            return CommandLineExit{Usage(parser, QStringLiteral("unknown command %1").arg(argument)), BadCommandLine};
        }
        break;
    }
    if (!chosen) {
        parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("listen, serve or assign"));
        parser.parse(arguments);
        if (parser.isSet(version))
            return CommandLineExit{QCoreApplication::applicationName() + QLatin1Char(' ') +
                                   QCoreApplication::applicationVersion() + QLatin1Char('\n')};
        if (parser.isSet(help))
            return CommandLineExit{parser.helpText()};
        return CommandLineExit{Usage(parser, QStringLiteral("no command given")), BadCommandLine};
    }

    CommandLine line;
    line.command = chosen->command;
    parser.setApplicationDescription(QString::fromLatin1(chosen->description));
    parser.addPositionalArgument(QString::fromLatin1(chosen->name), QStringLiteral("The command."));
    const QCommandLineOption csv(QStringLiteral("csv"), QStringLiteral("Write CSV lines."));
    const QCommandLineOption plan(QStringLiteral("plan"), QStringLiteral("The address plan, a CSV file."),
                                  QStringLiteral("PLAN.csv"));
    const QCommandLineOption record(
        QStringLiteral("record"),
        QStringLiteral("Append a CSV line for each reply to this file, flushed to disk as the replies go out."),
        QStringLiteral("RECORD.csv"));
    const QCommandLineOption untilDone(QStringLiteral("until-done"),
                                       QStringLiteral("End once every planned unit has been answered."));
    const QCommandLineOption timeout(QStringLiteral("timeout"),
                                     QStringLiteral("End after this many seconds; exit status 1 if a unit is "
                                                    "still not answered."),
                                     QStringLiteral("SECONDS"));
    switch (chosen->command) {
    case CommandLine::Command::Listen:
        parser.addOption(csv);
        break;
    case CommandLine::Command::Serve:
        parser.addOptions({plan, record, untilDone, timeout});
        break;
    case CommandLine::Command::Assign:
        parser.addPositionalArgument(QStringLiteral("MAC"), QStringLiteral("The unit's MAC address, such as "
                                                                           "02-4B-7E-0A-0B-0C."));
        parser.addPositionalArgument(QStringLiteral("IP"), QStringLiteral("Its IP address."));
        parser.addPositionalArgument(QStringLiteral("MASK"), QStringLiteral("Its subnet mask."));
        parser.addPositionalArgument(QStringLiteral("GATEWAY"), QStringLiteral("Its gateway; 0.0.0.0 for none."));
        parser.addOption(timeout);
        break;
    }
    if (!parser.parse(arguments))
        return CommandLineExit{Usage(parser, parser.errorText()), BadCommandLine};
    if (parser.isSet(help))
        return CommandLineExit{parser.helpText()};
    if (parser.isSet(version))
        return CommandLineExit{QCoreApplication::applicationName() + QLatin1Char(' ') +
                               QCoreApplication::applicationVersion() + QLatin1Char('\n')};

    QStringList positional = parser.positionalArguments();
    positional.removeFirst();
    const int expected = chosen->command == CommandLine::Command::Assign ? 4 : 0;
    if (positional.size() != expected) {
        return CommandLineExit{Usage(parser, positional.size() > expected
                                                 ? QStringLiteral("unexpected argument %1").arg(positional.at(expected))
                                                 : QStringLiteral("MAC, IP, MASK and GATEWAY are all needed")),
                               BadCommandLine};
    }
    line.unitTexts = positional;
    // Only what was given: asking after an option of another command makes Qt warn.
    const QStringList givenNames = parser.optionNames();
    const auto given = [&](const QCommandLineOption& option) { return givenNames.contains(option.names().constFirst()); };
    line.csv = given(csv);
    line.untilDone = given(untilDone);
    if (given(record))
        line.recordPath = parser.value(record);
    if (given(plan))
        line.planPath = parser.value(plan);
    if (chosen->command == CommandLine::Command::Serve && line.planPath.isEmpty())
        return CommandLineExit{Usage(parser, QStringLiteral("serve needs --plan PLAN.csv")), BadCommandLine};
    if (given(timeout)) {
        line.timeout = ReadTimeout(parser.value(timeout));
        if (!line.timeout) {
            return CommandLineExit{Usage(parser, QStringLiteral("--timeout takes a number of seconds above 0, "
                                                                "at most %1")
                                                     .arg(LongestTimeoutSeconds, 0, 'f', 0)),
                                   BadCommandLine};
        }
    }
    return line;
}
