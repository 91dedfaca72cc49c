#include "tools/Ping.h"

#include "tools/PingCommand.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

// The field's size that shows every line of its text whole, without
// scrolling, and at least `lines` lines; within `room`, past which it scrolls.
QSize SizeShowingEveryLine(const QPlainTextEdit& field, int lines, const QSize& room)
{
    const QFontMetricsF metrics(field.font());
    const QStringList textLines = field.toPlainText().split(QLatin1Char('\n'));
    qreal widest = 0;
    for (const QString& line : textLines)
        widest = std::max(widest, metrics.horizontalAdvance(line));
    // The text stands inside the document's margin, inside the frame; the
    // cursor, though hidden, takes its width after the longest line.
    const int around = 2 * (field.frameWidth() + static_cast<int>(std::ceil(field.document()->documentMargin())));
    const int height = static_cast<int>(std::ceil(metrics.lineSpacing() * std::max<qsizetype>(lines, textLines.size())));
    return QSize(static_cast<int>(std::ceil(widest)) + field.cursorWidth() + around, height + around).boundedTo(room);
}

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
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &window);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &window, &QDialog::accept);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(text);
    layout->addWidget(buttons);

    // Ping's output whole where the screen has room for it: the screen's
    // free area less the window's frame, margins and button.
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    const int frame = window.style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    const int titleBar = window.style()->pixelMetric(QStyle::PM_TitleBarHeight);
    const QSize room = screen->availableGeometry().size() - (window.sizeHint() - text->sizeHint()) -
                       QSize(2 * frame, titleBar + 2 * frame);
    text->setMinimumSize(SizeShowingEveryLine(*text, 12, room));
    window.exec();
}

}  // namespace

void PingAddress(QWidget* owner, const QString& ipAddressText)
{
    const std::optional<QString> commandLine = PingCommandLine(ipAddressText);
    if (!commandLine)
        return;
    const CommandOutput output = CommandOutputForThisProgram();
    // The window cannot answer while ping runs; the cursor says it is busy.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString captured = RunShellCommand(*commandLine, output);
    QApplication::restoreOverrideCursor();
    if (output == CommandOutput::Captured)
        ShowCommandOutput(owner, *commandLine, captured);
}
