#pragma once

#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>
#include <variant>

// What the command line asks for.
struct CommandLine {
    enum class Command { Listen, Serve, Assign };

    Command command = Command::Listen;
    // listen: CSV lines instead of aligned text.
    bool csv = false;
    // serve: the plan, the record if one is kept, and whether to end once
    // every planned unit has been answered.
    QString planPath;
    std::optional<QString> recordPath;
    bool untilDone = false;
    // serve and assign: how long to serve at the most.
    std::optional<std::chrono::milliseconds> timeout;
    // assign: the unit's MAC address, IP address, mask and gateway as typed.
    QStringList unitTexts;
};

// What to do instead of running a command: print `text` (help or version to
// standard output, a mistake and the usage to standard error) and exit.
struct CommandLineExit {
    QString text;
    int exitCode = 0;
};

// The longest --timeout taken, in seconds.
inline constexpr double LongestTimeoutSeconds = 2'000'000;

// Reads the program's arguments (the first is the program itself). Exit
// code 2 for a command line that is wrong.
std::variant<CommandLine, CommandLineExit> ReadCommandLine(const QStringList& arguments);
