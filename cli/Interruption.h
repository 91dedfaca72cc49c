#pragma once

#include <QObject>

#include <functional>
#include <memory>

// Turns Ctrl+C into a call on the event loop of the thread that made this:
// SIGINT and SIGTERM on Unix; Ctrl+C, Ctrl+Break and the console's closing
// on Windows. The signal's own handler only writes a byte to a pipe (sets
// an event on Windows); the call comes from the loop, where anything may be
// done. One at a time; the system's own handling is back once it goes.
class Interruption : public QObject {
public:
    explicit Interruption(std::function<void()> interrupted);
    ~Interruption() override;

private:
    struct Watch;
    std::unique_ptr<Watch> watch;
};
