#include "tools/PingCommand.h"

#include "core/AddressText.h"

#include <QProcess>

#include <cstdlib>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

std::optional<QString> PingCommandLine(const QString& ipAddressText)
{
    const std::string text = ipAddressText.toStdString();
    if (FormatDottedQuad(ParseDottedQuad(text)) != text)
        return std::nullopt;
#ifdef Q_OS_WIN
    return QStringLiteral("ping ") + ipAddressText;
#else
    return QStringLiteral("ping -c 4 ") + ipAddressText;
#endif
}

CommandOutput CommandOutputForThisProgram()
{
#ifdef Q_OS_WIN
    return CommandOutput::Terminal;
#else
    return isatty(STDOUT_FILENO) ? CommandOutput::Terminal : CommandOutput::Captured;
#endif
}

QString RunShellCommand(const QString& commandLine, CommandOutput output)
{
    if (output == CommandOutput::Terminal) {
        // The command reports for itself, in the terminal.
        [[maybe_unused]] const int status = std::system(commandLine.toLocal8Bit().constData());
        return {};
    }
    QProcess shell;
    shell.setProcessChannelMode(QProcess::MergedChannels);
    shell.setStandardInputFile(QProcess::nullDevice());
#ifdef Q_OS_WIN
    // cmd.exe parses the rest of its own command line, so the line goes
    // as it stands, unquoted.
    shell.setProgram(QStringLiteral("cmd.exe"));
    shell.setNativeArguments(QStringLiteral("/c ") + commandLine);
    shell.start();
#else
    shell.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), commandLine});
#endif
    if (!shell.waitForFinished(-1) && shell.error() == QProcess::FailedToStart)
        return shell.errorString();
    return QString::fromLocal8Bit(shell.readAll());
}
