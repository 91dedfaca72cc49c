#include "cli/Interruption.h"

#ifdef _WIN32
#include <QWinEventNotifier>
#include <windows.h>
#else
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

#ifdef _WIN32

namespace {

HANDLE interruptEvent = nullptr;

BOOL WINAPI OnConsoleControl(DWORD control)
{
    switch (control) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
        SetEvent(interruptEvent);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

struct Interruption::Watch {
    QWinEventNotifier notifier;
};

Interruption::Interruption(std::function<void()> interrupted)
{
    interruptEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    watch = std::make_unique<Watch>();
    watch->notifier.setHandle(interruptEvent);
    connect(&watch->notifier, &QWinEventNotifier::activated, this, [interrupted] { interrupted(); });
    watch->notifier.setEnabled(true);
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

Interruption::~Interruption()
{
    SetConsoleCtrlHandler(OnConsoleControl, FALSE);
    watch.reset();
    CloseHandle(interruptEvent);
    interruptEvent = nullptr;
}

#else

namespace {

constexpr int WatchedSignals[] = {SIGINT, SIGTERM};
int signalPipe[2] = {-1, -1};

// Only what is safe in a signal handler: one write, errno kept.
void OnSignal(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const auto written = write(signalPipe[1], &byte, 1);
    errno = savedErrno;
}

} // namespace

struct Interruption::Watch {
    explicit Watch(int readEnd) : notifier(readEnd, QSocketNotifier::Read) {}
    QSocketNotifier notifier;
    struct sigaction previous[std::size(WatchedSignals)] = {};
};

Interruption::Interruption(std::function<void()> interrupted)
{
    if (pipe(signalPipe) != 0)
        return;
    for (const int end : signalPipe) {
        fcntl(end, F_SETFL, fcntl(end, F_GETFL) | O_NONBLOCK);
        fcntl(end, F_SETFD, FD_CLOEXEC);
    }
    watch = std::make_unique<Watch>(signalPipe[0]);
    connect(&watch->notifier, &QSocketNotifier::activated, this, [interrupted] {
        char bytes[16];
        while (read(signalPipe[0], bytes, sizeof bytes) > 0) {
        }
        interrupted();
    });
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(WatchedSignals); ++i)
        sigaction(WatchedSignals[i], &action, &watch->previous[i]);
}

Interruption::~Interruption()
{
    if (!watch)
        return;
    for (std::size_t i = 0; i < std::size(WatchedSignals); ++i)
        sigaction(WatchedSignals[i], &watch->previous[i], nullptr);
    watch.reset();
    close(signalPipe[0]);
    close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

#endif
