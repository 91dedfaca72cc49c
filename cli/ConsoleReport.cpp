#include "cli/ConsoleReport.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

// Ten redraws a second at the most: the line stays readable, and a burst of
// thousands of replies costs the terminal nothing.
constexpr int RedrawIntervalMs = 100;

} // namespace

ConsoleReport::ConsoleReport(std::FILE* out, std::function<QString()> progress)
    : out(out), terminal(IsTerminal(out)), progress(std::move(progress))
{
    elapsed.start();
    if (terminal) {
        connect(&redraw, &QTimer::timeout, this, &ConsoleReport::Redraw);
        redraw.start(RedrawIntervalMs);
        Redraw();
    }
}

ConsoleReport::~ConsoleReport()
{
    EndProgress();
}

bool ConsoleReport::IsTerminal(std::FILE* out)
{
#ifdef _WIN32
    return _isatty(_fileno(out)) != 0;
#else
    return isatty(fileno(out)) != 0;
#endif
}

void ConsoleReport::Notice(const QString& line)
{
    if (!terminal || progressEnded) {
        Write(line + QLatin1Char('\n'));
        return;
    }
    // Over the progress line, which is drawn again below it.
    Write(QLatin1Char('\r') + line.leftJustified(drawn.size()) + QLatin1Char('\n'));
    drawn.clear();
    Redraw();
}

void ConsoleReport::Event(const QString& line)
{
    if (!terminal)
        Write(line + QLatin1Char('\n'));
}

void ConsoleReport::EndProgress()
{
    if (!terminal || progressEnded)
        return;
    redraw.stop();
    Redraw();
    Write(QStringLiteral("\n"));
    progressEnded = true;
}

void ConsoleReport::Line(const QString& line)
{
    EndProgress();
    Write(line + QLatin1Char('\n'));
}

void ConsoleReport::Redraw()
{
    const QString line = progress();
    if (line == drawn)
        return;
    // Spaces over whatever of a longer line was there: no escape sequences,
    // which not every console knows.
    Write(QLatin1Char('\r') + line.leftJustified(drawn.size()));
    drawn = line;
}

void ConsoleReport::Write(const QString& text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), out);
    std::fflush(out);
}
