#include "ui/ListenFailure.h"

#include "core/BootpProtocol.h"
#include "listener/PortHolder.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace {

QString Paragraph(const QString& text)
{
    return QStringLiteral("<p>") + text.toHtmlEscaped() + QStringLiteral("</p>");
}

#ifdef Q_OS_LINUX
// A command on a line of its own, never broken, so that it is read and
// copied whole.
QString CommandLine(const QString& command)
{
    return QStringLiteral("<pre>") + command.toHtmlEscaped() + QStringLiteral("</pre>");
}

// The text as one word of a shell's command line: quoted unless it holds
// only characters that a shell takes as they are.
QString ShellWord(const QString& text)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./+:@%=-]+$"));
    if (plain.match(text).hasMatch())
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}
#endif

QString PortHeldAdvice(const PortHolder& holder)
{
    const QString stopIt = QStringLiteral("Stop it while you commission units, then click Listen again.");
    if (holder.processId != 0) {
        const QString process = QStringLiteral("process %1").arg(holder.processId);
        const QString named = holder.program.isEmpty() ? process : QStringLiteral("%1 (%2)").arg(holder.program, process);
        return Paragraph(QStringLiteral("Another program holds UDP port 67: %1. ").arg(named) + stopIt);
    }
    const QString someProgram = QStringLiteral("Another program holds UDP port 67, most likely a DHCP server.");
#ifdef Q_OS_LINUX
    // Another user's processes are hidden from this one; root sees them.
    return Paragraph(someProgram + QStringLiteral(" This command names it:")) +
           CommandLine(QStringLiteral("sudo ss -ulpn 'sport = :67'")) + Paragraph(stopIt);
#else
    return Paragraph(someProgram + QLatin1Char(' ') + stopIt);
#endif
}

} // namespace

QString ListenFailureAdvice(BindFailure failure, const QString& systemReason)
{
    const std::optional<PortHolder> holder = FindUdpPortHolder(bootp::ServerPort);
#ifdef Q_OS_LINUX
    // Ports below 1024 belong to root and to programs given the right to
    // bind them; without it the port stays refused even once it is free.
    if (failure == BindFailure::NotPermitted) {
        QString advice =
            Paragraph(QStringLiteral("This program lacks the right to use UDP port 67. This command gives it:")) +
            CommandLine(QStringLiteral("sudo setcap cap_net_bind_service=+ep ") +
                        ShellWord(QCoreApplication::applicationFilePath())) +
            Paragraph(QStringLiteral("Then start the program again."));
        if (holder)
            advice += PortHeldAdvice(*holder);
        return advice;
    }
#endif
    // Windows refuses a port that another program holds for itself alone as
    // an access it does not permit.
    if (holder && failure != BindFailure::Other)
        return PortHeldAdvice(*holder);
    if (failure == BindFailure::PortInUse)
        return PortHeldAdvice({});
    return Paragraph(QStringLiteral("The system's reason: %1").arg(systemReason));
}
