#include "tools/Ping.h"

#include "tools/PingCommand.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {

// The output of a finished command, captioned with its command line.
void ShowCommandOutput(QWidget* owner, const QString& commandLine, const QString& output)
{
    QDialog window(owner);
    window.setWindowTitle(commandLine);
    auto* text = new QPlainTextEdit(output, &window);
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Ping's lines are columns of figures.
    text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    const QFontMetrics metrics(text->font());
    text->setMinimumSize(metrics.horizontalAdvance(QLatin1Char('0')) * 72, metrics.lineSpacing() * 12);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &window);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &window, &QDialog::accept);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(text);
    layout->addWidget(buttons);
    window.exec();
}

}  // namespace

void PingAddress(QWidget* owner, const QString& ipAddressText)
{
    const std::optional<QString> commandLine = PingCommandLine(ipAddressText);
    if (!commandLine)
        return;
    const CommandOutput output = CommandOutputForThisProgram();
    const QString captured = RunShellCommand(*commandLine, output);
    if (output == CommandOutput::Captured)
        ShowCommandOutput(owner, *commandLine, captured);
}
