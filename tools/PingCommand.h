#pragma once

#include <QString>

#include <optional>

// The ping command, run through the system's shell.

// "ping " and the address. Outside Windows ping runs until it is stopped, so
// there it also gets a count of four echo requests, as on Windows. Only a
// dotted quad written as this program writes addresses gives a line, so
// nothing else ever reaches the shell.
std::optional<QString> PingCommandLine(const QString& ipAddressText);

// Where the output of a command the shell runs can be seen.
enum class CommandOutput {
    // The terminal the program was started from; on Windows the console
    // window the shell opens.
    Terminal,
    // Nowhere, unless the program shows it: started from a desktop launcher,
    // it has no terminal.
    Captured,
};

CommandOutput CommandOutputForThisProgram();

// Runs the line through the shell and waits until it has ended, however
// long that takes. Its exit status is not used. Returns the command's
// standard output and error, interleaved, when they are captured.
QString RunShellCommand(const QString& commandLine, CommandOutput output);
