// PING Selected through the main window, with a ping that only records how
// it was run: the messages, the exact command line, the wait with a busy
// cursor, and where the replies are seen.

#include "tests/support/DialogDriving.h"
#include "tests/support/ModalScript.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/TestToolDlg.h"
#include "tests/support/UnitRows.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>
#include <thread>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>
#endif

namespace {

// A hundred characters, longer than any line of ping's normal output.
const QByteArray StatisticsLine =
    "4 packets transmitted, 4 received, 0% packet loss, time 3004ms, rtt min/avg/max = 0.04/0.052/0.07 ms";

#ifndef Q_OS_WIN
// Standard output sent elsewhere for as long as it lives, as if the program
// had been started so.
class StandardOutput {
public:
    explicit StandardOutput(int fd) : saved(dup(STDOUT_FILENO)) { dup2(fd, STDOUT_FILENO); }
    ~StandardOutput()
    {
        dup2(saved, STDOUT_FILENO);
        close(saved);
    }

private:
    int saved;
};
#endif

class PingSelected : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(bin.isValid());
        // Records its command line, answers, waits while a file "hold"
        // stands beside it (for a while at most), and records that it has
        // ended.
#ifdef Q_OS_WIN
        // cmd.exe tries every PATHEXT extension in one folder before the
        // next, so ping.bat in the first folder on PATH wins over System32's
        // ping.exe. Redirections go first: "20>>" would redirect handle 20.
        QFile ping(bin.filePath("ping.bat"));
        const QByteArray script = "@echo off\r\n"
                                  ">>\"%~dp0calls\" echo ping %*\r\n"
                                  "echo Reply from %1: bytes=32 time=1ms TTL=64\r\n"
                                  "set n=0\r\n"
                                  ":hold\r\n"
                                  "if not exist \"%~dp0hold\" goto held\r\n"
                                  "set /a n+=1\r\n"
                                  "if %n% lss 100000 goto hold\r\n"
                                  ":held\r\n"
                                  ">>\"%~dp0calls\" echo ended\r\n";
#else
        QFile ping(bin.filePath("ping"));
        const QByteArray script = "#!/bin/sh\n"
                                  "echo \"ping $*\" >> \"$(dirname \"$0\")/calls\"\n"
                                  "echo \"64 bytes from $3: icmp_seq=1 ttl=64 time=0.1 ms\"\n"
                                  "echo '" + StatisticsLine + "'\n"
                                  "sleep 0.3\n"
                                  "i=0; while [ -e \"$(dirname \"$0\")/hold\" ] && [ $i -lt 1000 ]; do\n"
                                  "    sleep 0.01; i=$((i + 1))\n"
                                  "done\n"
                                  "echo ended >> \"$(dirname \"$0\")/calls\"\n";
#endif
        ASSERT_TRUE(ping.open(QIODevice::WriteOnly));
        ping.write(script);
        ping.close();
        ping.setPermissions(ping.permissions() | QFile::ExeOwner);
        qputenv("PATH", QDir::toNativeSeparators(bin.path()).toLocal8Bit() + QDir::listSeparator().toLatin1() +
                            savedPath);

        HearUnits(window, 3);
    }

    void TearDown() override { qputenv("PATH", savedPath); }

    QStringList Calls() const
    {
        QFile calls(bin.filePath("calls"));
        // Text mode drops the carriage returns of a batch file's lines.
        if (!calls.open(QIODevice::ReadOnly | QIODevice::Text))
            return {};
        return QString::fromLocal8Bit(calls.readAll()).split('\n', Qt::SkipEmptyParts);
    }

    // The middle row, assigned an address whose reply failed to go out. A
    // loopback address: should the stand-in be missed, a real ping of it
    // stays on this machine.
    void SelectAssignedRow()
    {
        window.Units().SetText(1, IpAddressColumn, "127.0.0.20");
        window.Units().SetSentStatus(1, false);
        SelectRow(window.Units(), 1);
    }

    // Runs `action`, which runs the stand-in ping, and tells the cursor shape
    // the program showed while ping ran, or none. The window's thread waits
    // for ping, so a thread of the test looks, then lets the stand-in end.
    std::optional<Qt::CursorShape> CursorWhilePingRuns(const std::function<void()>& action)
    {
        QFile hold(bin.filePath("hold"));
        hold.open(QIODevice::WriteOnly);
        hold.close();
        std::optional<Qt::CursorShape> shape;
        std::thread watcher([&] {
            for (int wait = 0; wait < 1000 && Calls().isEmpty(); ++wait)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            if (const QCursor* cursor = QGuiApplication::overrideCursor(); cursor && !Calls().isEmpty())
                shape = cursor->shape();
            hold.remove();
        });
        action();
        watcher.join();
        return shape;
    }

    QByteArray savedPath = qgetenv("PATH");
    QTemporaryDir bin;
    TestToolDlg window;
};

TEST_F(PingSelected, SaysWhyThereIsNothingToPingAndRunsNothing)
{
    const auto expectWarning = [&](StringId id) {
        const SeenMessage seen = MessageShownBy([&] { window.OnPingSelected(); });
        EXPECT_EQ(seen.text, StringFromTable(id));
        EXPECT_EQ(seen.icon, QMessageBox::Warning);
    };

    expectWarning(StringId::NoItemSelected);
    SelectRow(window.Units(), 1);
    expectWarning(StringId::NoAddressToPing);
    window.Units().SetText(1, IpAddressColumn, "");
    expectWarning(StringId::NoAddressToPing);
    // Rows hold only addresses the program wrote; anything else goes nowhere.
    window.Units().SetText(1, IpAddressColumn, "127.0.0.20; touch " + bin.filePath("touched"));
    EXPECT_EQ(ModalsOpenedBy([&] { window.OnPingSelected(); }), 0);
    window.Units().OnClearList();
    expectWarning(StringId::ListIsEmpty);

    EXPECT_EQ(Calls(), QStringList());
    EXPECT_FALSE(QFile::exists(bin.filePath("touched")));
}

#ifdef Q_OS_WIN
// Windows' ping shows its replies in the console window that the shell
// opens, so there is nothing for the program to show.
TEST_F(PingSelected, RunsPingAndWaitsForItToEnd)
{
    SelectAssignedRow();
    const QStringList rowBefore = RowTexts(window.Units(), 1);

    QStringList callsOnReturn;
    std::optional<Qt::CursorShape> cursorWhileRunning;
    EXPECT_EQ(ModalsOpenedBy([&] {
                  cursorWhileRunning = CursorWhilePingRuns([&] { ButtonWithText(&window, "PING &Selected")->click(); });
                  callsOnReturn = Calls();
              }),
              0);
    EXPECT_EQ(callsOnReturn, QStringList({"ping 127.0.0.20", "ended"})) << "ping had ended by the return";
    EXPECT_EQ(cursorWhileRunning, Qt::WaitCursor);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(RowTexts(window.Units(), 1), rowBefore);
}
#else
TEST_F(PingSelected, WithoutATerminalShowsTheRepliesOncePingHasEnded)
{
    SelectAssignedRow();
    const QStringList rowBefore = RowTexts(window.Units(), 1);
    window.OnListen();

    QString caption, replies;
    QStringList callsWhenShown;
    bool scrolls = true, busyWhenShown = true;
    ModalScript script;
    script.Then([&](QWidget* modal) {
        caption = modal->windowTitle();
        const auto* text = modal->findChild<QPlainTextEdit*>();
        replies = text->toPlainText();
        scrolls = text->horizontalScrollBar()->isVisible() || text->verticalScrollBar()->isVisible();
        busyWhenShown = QGuiApplication::overrideCursor() != nullptr;
        callsWhenShown = Calls();
        modal->close();
    });
    const int devNull = open("/dev/null", O_WRONLY);
    std::optional<Qt::CursorShape> cursorWhileRunning;
    {
        StandardOutput launcher(devNull);
        cursorWhileRunning = CursorWhilePingRuns([&] { ButtonWithText(&window, "PING &Selected")->click(); });
    }
    close(devNull);

    EXPECT_EQ(callsWhenShown, QStringList({"ping -c 4 127.0.0.20", "ended"}));
    EXPECT_EQ(cursorWhileRunning, Qt::WaitCursor);
    EXPECT_FALSE(busyWhenShown);
    EXPECT_EQ(caption, "ping -c 4 127.0.0.20");
    EXPECT_EQ(replies, "64 bytes from 127.0.0.20: icmp_seq=1 ttl=64 time=0.1 ms\n" + StatisticsLine + "\n");
    EXPECT_FALSE(scrolls) << "every line shown whole";
    EXPECT_EQ(script.StepsDone(), 1);
    EXPECT_EQ(RowTexts(window.Units(), 1), rowBefore);
}

TEST_F(PingSelected, FromATerminalTheRepliesGoThereWhilePingRuns)
{
    SelectAssignedRow();
    const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    ASSERT_EQ(grantpt(terminal), 0);
    ASSERT_EQ(unlockpt(terminal), 0);
    const int terminalSide = open(ptsname(terminal), O_RDWR | O_NOCTTY);
    ASSERT_GE(terminalSide, 0);

    int modals = 0;
    {
        StandardOutput console(terminalSide);
        modals = ModalsOpenedBy([&] { window.OnPingSelected(); });
    }
    EXPECT_EQ(Calls(), QStringList({"ping -c 4 127.0.0.20", "ended"})) << "ping had ended by the return";
    EXPECT_EQ(modals, 0);

    fcntl(terminal, F_SETFL, O_NONBLOCK);
    char shown[512] = {};
    EXPECT_GT(read(terminal, shown, sizeof shown - 1), 0);
    EXPECT_EQ(QByteArray(shown), "64 bytes from 127.0.0.20: icmp_seq=1 ttl=64 time=0.1 ms\r\n" + StatisticsLine + "\r\n");
    close(terminalSide);
    close(terminal);
}
#endif

}  // namespace
