#pragma once

// Drives flows that block in a modal window's exec(): each step acts on the
// next modal window that opens, from inside that window's own event loop,
// and must close it. Windows that were open when the script was made (the
// dialog a test types into) are never taken for new ones. A modal window that no step is left for is closed and
// counted, so a test can see that nothing was shown; a watchdog closes
// whatever is still open, so a test can never hang. Only the newest script
// acts, so a test can hold several one after another.

#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <chrono>
#include <deque>
#include <functional>
#include <vector>

class ModalScript {
public:
    using Step = std::function<void(QWidget* modal)>;

    explicit ModalScript(std::chrono::milliseconds watchdog = std::chrono::seconds(20));
    ~ModalScript();
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    ModalScript& Then(Step step);

    int StepsDone() const { return stepsDone; }
    int UnexpectedModals() const { return unexpectedModals; }
    bool TimedOut() const { return timedOut; }

private:
    void Poll();
    void CloseAllModals();

    static ModalScript* newest;

    ModalScript* previous;
    std::deque<Step> steps;
    bool Seen(const QWidget* window) const;

    // The modal windows open when it was made, and those it has met since.
    std::vector<QPointer<QWidget>> seen;
    int stepsDone = 0;
    int unexpectedModals = 0;
    bool timedOut = false;
    QTimer poller;
    QTimer watchdogTimer;
};

// What a message box showed.
struct SeenMessage {
    QString caption;
    QString text;
    QString informativeText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool shown = false;
};

// A step that records a message box and presses its OK button.
ModalScript::Step AcknowledgeMessage(SeenMessage& seen);

// Runs `action` and returns the message box it showed, which is closed.
SeenMessage MessageShownBy(const std::function<void()>& action);

// Runs `action`, lets events run a moment, and tells how many modal windows
// opened (and were closed at once).
int ModalsOpenedBy(const std::function<void()>& action);
