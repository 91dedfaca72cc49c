#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdio>
#include <functional>

// Where the program tells what happens. On a terminal, a progress line that
// is redrawn in place, at most ten times a second, with the events that need
// the operator's eye printed above it; elsewhere (a file, a pipe) a line for
// every event and no progress line.
class ConsoleReport : public QObject {
public:
    // `progress` words the progress line; it is asked at each redraw.
    ConsoleReport(std::FILE* out, std::function<QString()> progress);
    ~ConsoleReport() override;

    // Whether `out` is a terminal.
    static bool IsTerminal(std::FILE* out);

    // A line for the operator's eye, on a terminal too.
    void Notice(const QString& line);
    // A line of what happened, which a terminal only shows in its progress line.
    void Event(const QString& line);
    // Draws the progress line once more and ends it, so that what follows
    // starts on a line of its own.
    void EndProgress();
    // A line written as it is, after the progress line has ended.
    void Line(const QString& line);

    // How long the program has been at work.
    qint64 ElapsedMilliseconds() const { return elapsed.elapsed(); }

private:
    void Redraw();
    void Write(const QString& text);

    std::FILE* out;
    const bool terminal;
    std::function<QString()> progress;
    QElapsedTimer elapsed;
    QTimer redraw;
    QString drawn;
    bool progressEnded = false;
};
