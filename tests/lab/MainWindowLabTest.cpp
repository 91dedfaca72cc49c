// The main window on real sockets. Listen against a port another server
// holds, and refused to another program or to an unprivileged user, with the
// reason on standard error and what to do in the box; a window that has ended hears nothing more and gives the port back;
// and the whole assignment: a simulated unit asks, the window lists it, the
// operator double-clicks its row and types the addresses, and the unit
// receives the reply, also when it sits on the PC's second network, asks by
// DHCP or with a full-size BOOTP request, or when the PC's interface was
// re-plugged since; Debian's DHCP client ends configured; and a send that
// fails says why.

#include "core/AddressText.h"
#include "core/BootpProtocol.h"
#include "core/MessageBytes.h"
#include "listener/PortHolder.h"
#include "tests/support/DialogDriving.h"
#include "tests/support/LabNetwork.h"
#include "tests/support/ModalScript.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/UnitRows.h"
#include "ui/BootpToolDlg.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextDocumentFragment>
#include <QTest>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <cstdio>

using namespace std::chrono_literals;

namespace {

class MainWindowLab : public LabTest {
protected:
    void SetUp() override
    {
        LabTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        window.show();
        // Settled now, so no late activation takes the keys from a dialog.
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    static bool BindServerPort(QUdpSocket& socket)
    {
        return socket.bind(QHostAddress::AnyIPv4, bootp::ServerPort, QAbstractSocket::DontShareAddress);
    }

    CBootpToolDlg window;
};

TEST_F(MainWindowLab, ListenFailsWhileAnotherServerHoldsThePortAndWorksOnceItIsFreed)
{
    QUdpSocket otherServer;
    ASSERT_TRUE(BindServerPort(otherServer));
    const SeenMessage refused = MessageShownBy([&] { ButtonWithText(&window, "&Listen")->click(); });
    EXPECT_EQ(refused.text, "Fail to create socket, Can NOT listen for BootP request.");
    EXPECT_FALSE(window.IsListening());
    EXPECT_TRUE(ButtonWithText(&window, "&Listen")->isEnabled());

    otherServer.close();
    EXPECT_EQ(ModalsOpenedBy([&] { ButtonWithText(&window, "&Listen")->click(); }), 0);
    EXPECT_TRUE(window.IsListening());
    EXPECT_FALSE(ButtonWithText(&window, "&Listen")->isEnabled());
}

#ifndef Q_OS_WIN
// Why a Unix Listen fails: a DHCP server, a Linux program here, holds the
// port; or the program may not bind it, a Unix rule that Windows does not have.
// Run in a process of its own by the tests below, which arrange why Listen
// must fail: Listen shows its message and the window stays not listening.
// The box's informative text goes to standard output, for those tests.
TEST(RefusedListen, DISABLED_ShowsTheFailureMessage)
{
    CBootpToolDlg window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const SeenMessage refused = MessageShownBy([&] { ButtonWithText(&window, "&Listen")->click(); });
    EXPECT_EQ(refused.text, "Fail to create socket, Can NOT listen for BootP request.");
    EXPECT_FALSE(window.IsListening());
    std::printf("informative text: %s\n",
                qPrintable(QTextDocumentFragment::fromHtml(refused.informativeText).toPlainText()));
}

struct RefusedListenRun {
    bool passed = false;
    QString output;
    QString errors;
    // The program as it ran.
    QString program;
};

// Runs the test above in a new process, after `wrapper` (a command that runs
// the rest of its command line). The copy of this binary in a folder of its
// own can be run by any user, wherever the build tree lies.
RefusedListenRun RunRefusedListen(const QStringList& wrapper)
{
    QTemporaryDir folder;
    const QString program = folder.filePath("lab_tests");
    QFile::copy(QCoreApplication::applicationFilePath(), program);
    const auto everyoneMayRun = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    QFile::setPermissions(folder.path(), everyoneMayRun);
    QFile::setPermissions(program, everyoneMayRun);

    QProcess child;
    QStringList command = wrapper + QStringList{program, "--gtest_also_run_disabled_tests",
                                                "--gtest_filter=RefusedListen.DISABLED_ShowsTheFailureMessage"};
    child.start(command.takeFirst(), command);
    if (!child.waitForFinished(30000))
        child.kill();
    child.waitForFinished();
    RefusedListenRun run;
    run.program = QFileInfo(program).canonicalFilePath();
    run.output = QString::fromLocal8Bit(child.readAllStandardOutput());
    run.errors = QString::fromLocal8Bit(child.readAllStandardError());
    run.passed = child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0 &&
                 run.output.contains("[  PASSED  ] 1 test");
    return run;
}

TEST_F(MainWindowLab, ListenRefusedWhileADhcpServerHoldsThePortSaysAddressInUse)
{
    QProcess dhcpServer;
    dhcpServer.start("dnsmasq", {"--keep-in-foreground", "--port=0", "--conf-file=/dev/null", "--pid-file=",
                                 "--dhcp-leasefile=/dev/null", "--dhcp-range=10.77.0.100,10.77.0.200,255.255.255.0"});
    ASSERT_TRUE(dhcpServer.waitForStarted()) << "dnsmasq (Debian package dnsmasq-base) is needed";
    // Held once the system's socket table says so: a probe that bound the
    // port to see would now and then take it just as dnsmasq binds it.
    ASSERT_TRUE(ProcessEventsUntil([] { return FindUdpPortHolder(bootp::ServerPort).has_value(); }, 10s));

    const RefusedListenRun run = RunRefusedListen({});
    const qint64 dhcpServerId = dhcpServer.processId();
    dhcpServer.kill();
    dhcpServer.waitForFinished();
    EXPECT_TRUE(run.passed) << run.output.toStdString() << run.errors.toStdString();
    EXPECT_TRUE(run.errors.contains("cannot listen on UDP port 67: address in use")) << run.errors.toStdString();
    EXPECT_TRUE(run.output.contains(
        QString("informative text: Another program holds UDP port 67: dnsmasq (process %1).").arg(dhcpServerId)))
        << run.output.toStdString();
}

TEST_F(MainWindowLab, ListenRefusedToAnUnprivilegedUserSaysPermissionDenied)
{
    // Root in the lab gives up every privilege, as an ordinary user starts a
    // program that lacks the port-67 capability.
    const RefusedListenRun run = RunRefusedListen({"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
    EXPECT_TRUE(run.passed) << run.output.toStdString() << run.errors.toStdString();
    EXPECT_TRUE(run.errors.contains("cannot listen on UDP port 67: permission denied")) << run.errors.toStdString();
    EXPECT_TRUE(run.output.contains("\nsudo setcap cap_net_bind_service=+ep " + run.program + "\n"))
        << run.output.toStdString();
}

#endif

TEST_F(MainWindowLab, AfterExitNothingIsHeardAndThePortIsFree)
{
    window.OnListen();
    ASSERT_TRUE(window.IsListening());
    auto heard = lab->StartUnits({"--interval", "100", "--count", "100", "--timeout", "10000"});
    ASSERT_TRUE(ProcessEventsUntil([&] { return window.Units().RowCount() == 1; }, 10s));

    ButtonWithText(&window, "E&xit")->click();
    EXPECT_FALSE(window.isVisible());
    QUdpSocket nextServer;
    EXPECT_TRUE(BindServerPort(nextServer)) << "the listener was not closed";
    nextServer.close();
    // A new unit asks ten times; none of it reaches the ended window.
    auto unheard = lab->StartUnits({"--interval", "100", "--count", "10", "--timeout", "1500"},
                                   LabNetwork::SecondSegment);
    const QString output = WaitForOutput(*unheard, 5s);
    EXPECT_TRUE(output.contains("timeout: 1 of 1 units got no reply")) << output.toStdString();
    EXPECT_EQ(window.Units().RowCount(), 1);
    heard->Stop();
}

TEST_F(MainWindowLab, QueuedBurstIsListedWholeNewestOnTopAlsoWhileABoxIsOpen)
{
    constexpr int units = 400;
    window.OnListen();
    ASSERT_TRUE(window.IsListening());
    // Sent while this thread is blocked, so the whole burst waits in the queue;
    // the box's own event loop then takes it.
    ModalScript script;
    script.Then([&](QWidget* box) {
        auto burst = lab->StartUnits({"--no-wait", "--count", "1", "--interval", "0",
                                      "--units", QString::number(units)});
        burst->WaitForEnd(20s);
        ProcessEventsUntil([&] { return window.Units().RowCount() == units; }, 10s);
        static_cast<QMessageBox*>(box)->accept();
    });
    window.OnListen();
    EXPECT_EQ(script.StepsDone(), 1);

    ASSERT_EQ(window.Units().RowCount(), units);
    EXPECT_EQ(window.Units().Text(0, MacAddressColumn), "02-4B-7E-00-01-90");
    EXPECT_EQ(window.Units().Text(units - 1, MacAddressColumn), "02-4B-7E-00-00-01");
    QStringList keys;
    for (int row = 0; row < units; ++row)
        keys << window.Units().Text(row, MacAddressColumn);
    keys.removeDuplicates();
    EXPECT_EQ(keys.size(), units);
}

class AssignmentLab : public MainWindowLab {
protected:
    void SetUp() override
    {
        MainWindowLab::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        EXPECT_EQ(ModalsOpenedBy([&] { ButtonWithText(&window, "&Listen")->click(); }), 0);
        ASSERT_TRUE(window.IsListening()) << "cannot bind UDP port 67 on the tool side";
    }

    // Double-clicks the top row and types the addresses into the dialog.
    void AssignTopRowByHand(const QString& ip, const QString& mask, const QString& gateway)
    {
        ModalScript script;
        script.Then([&](QWidget* dialog) {
            // The focus starts on Send; Cancel comes next, then the fields.
            PressKey(dialog, Qt::Key_Tab);
            for (const QString& address : {ip, mask, gateway}) {
                PressKey(dialog, Qt::Key_Tab);
                TypeIntoFocus(dialog, address);
            }
            // Tabbing on from the gateway comes round to Send.
            PressKey(dialog, Qt::Key_Tab);
            PressKey(dialog, Qt::Key_Return);
        });
        const QRect row = window.UnitListView().visualRect(window.Units().index(0, 0));
        QTest::mouseClick(window.UnitListView().viewport(), Qt::LeftButton, {}, row.center());
        QTest::mouseDClick(window.UnitListView().viewport(), Qt::LeftButton, {}, row.center());
        EXPECT_EQ(script.StepsDone(), 1);
    }
};

TEST_F(AssignmentLab, UnitReceivesExactlyTheReplyTheOperatorTypedIn)
{
    auto unit = lab->StartUnits({"--xid", "5a1c0007", "--interval", "200", "--count", "100", "--timeout", "20000"});
    ASSERT_TRUE(ProcessEventsUntil([&] { return window.Units().RowCount() == 1; }, 10s));
    AssignTopRowByHand("192.168.1.50", "255.255.255.0", "192.168.1.1");
    const QString output = WaitForOutput(*unit, 25s);

    EXPECT_EQ(RowTexts(window.Units(), 0),
              (QStringList{"02-4B-7E-00-00-01", "192.168.1.50", "255.255.255.0", "192.168.1.1", "Yes"}));
    EXPECT_EQ(unit->ExitCode(), 0) << output.toStdString();
    const HardwareAddress mac{0x02, 0x4B, 0x7E, 0x00, 0x00, 0x01};
    const BootpMessage expected = BuildBootReply(ReadTransactionId(BuildBootRequest(0x5A1C0007, mac)),
                                                 0xC0A80132, 0xC0A80101, mac, 0xFFFFFF00, NoNameServer);
    const auto received = QRegularExpression("from=(\\S+) length=(\\d+) bytes=([0-9a-f]+)").match(output);
    ASSERT_TRUE(received.hasMatch()) << output.toStdString();
    EXPECT_EQ(received.captured(1), lab->toolAddress + ":67");
    EXPECT_EQ(received.captured(2), "300");
    EXPECT_EQ(received.captured(3), QString::fromLatin1(ToByteArray(expected).toHex()));
}

TEST_F(AssignmentLab, UnitOnTheSecondNetworkGetsItsReplyThere)
{
    auto unit = lab->StartUnits({"--mac", "02:4b:7e:00:00:02", "--interval", "200", "--count", "100",
                                 "--timeout", "20000"},
                                LabNetwork::SecondSegment);
    ASSERT_TRUE(ProcessEventsUntil([&] { return window.Units().RowCount() == 1; }, 10s));
    AssignTopRowByHand("10.78.0.50", "255.255.255.0", "10.78.0.1");
    EXPECT_EQ(window.Units().Text(0, SentColumn), "Yes");
    if (RunningUnderWine())
        GTEST_SKIP() << WineIgnoresTheOutgoingInterface;
    const QString output = WaitForOutput(*unit, 25s);

    EXPECT_EQ(unit->ExitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("reply mac=02-4B-7E-00-00-02")) << output.toStdString();
    EXPECT_TRUE(output.contains("address=10.78.0.50 mask=255.255.255.0 gateway=10.78.0.1"))
        << output.toStdString();
    EXPECT_TRUE(output.contains("from=" + lab->secondToolAddress + ":67")) << output.toStdString();
}

TEST_F(AssignmentLab, UnitAskingByDhcpIsOfferedTheTypedAddressesAndAcknowledgedWhenItAsksForThem)
{
    auto unit = lab->StartUnits({"--dhcp", "--xid", "5a1c0009", "--interval", "200", "--count", "100",
                                 "--timeout", "20000"});
    ASSERT_TRUE(ProcessEventsUntil([&] { return window.Units().RowCount() == 1; }, 10s));
    AssignTopRowByHand("192.168.1.50", "255.255.255.0", "192.168.1.1");
    const QString output = WaitForOutput(*unit, 25s);

    EXPECT_EQ(unit->ExitCode(), 0) << output.toStdString();
    EXPECT_EQ(RowTexts(window.Units(), 0),
              (QStringList{"02-4B-7E-00-00-01", "192.168.1.50", "255.255.255.0", "192.168.1.1", "Yes"}));
    EXPECT_TRUE(output.contains("offer mac=02-4B-7E-00-00-01 xid=5a1c0009 address=192.168.1.50 server=" +
                                lab->toolAddress)) << output.toStdString();
    EXPECT_TRUE(output.contains("ack mac=02-4B-7E-00-00-01 xid=5a1c0009 address=192.168.1.50 mask=255.255.255.0 "
                                "router=192.168.1.1 server=" + lab->toolAddress + " lease=4294967295 "
                                "nameserver=none from=" + lab->toolAddress + ":67 length=300"))
        << output.toStdString();
}

TEST_F(AssignmentLab, FullSizeBootpRequestIsListedAndAnswered)
{
    auto unit = lab->StartUnits({"--length", "548", "--xid", "5a1c000a", "--interval", "200", "--count", "100",
                                 "--timeout", "20000"});
    ASSERT_TRUE(ProcessEventsUntil([&] { return window.Units().RowCount() == 1; }, 10s));
    AssignTopRowByHand("192.168.1.50", "255.255.255.0", "192.168.1.1");
    const QString output = WaitForOutput(*unit, 25s);

    EXPECT_EQ(unit->ExitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("reply mac=02-4B-7E-00-00-01 xid=5a1c000a address=192.168.1.50 mask=255.255.255.0 "
                                "gateway=192.168.1.1 nameserver=0.0.0.0 from=" + lab->toolAddress +
                                ":67 length=300")) << output.toStdString();
}

TEST_F(AssignmentLab, UnitHeardBeforeItsInterfaceWasRepluggedGetsItsReply)
{
    // One request, so the unit is not heard again after the re-plug.
    auto unit = lab->StartUnits({"--xid", "5a1c000b", "--count", "1", "--timeout", "30000"});
    ASSERT_TRUE(ProcessEventsUntil([&] { return window.Units().RowCount() == 1; }, 10s));
    if (RunningUnderWine())
        GTEST_SKIP() << WineIgnoresTheOutgoingInterface;
    const unsigned heardOn = lab->ToolInterfaceIndex(LabNetwork::FirstSegment);
    ASSERT_TRUE(lab->Unplug(LabNetwork::FirstSegment));
    ASSERT_TRUE(lab->Plug(LabNetwork::FirstSegment));
    ASSERT_NE(lab->ToolInterfaceIndex(LabNetwork::FirstSegment), heardOn);

    AssignTopRowByHand("10.77.0.50", "255.255.255.0", "10.77.0.1");
    const QString output = WaitForOutput(*unit, 35s);
    EXPECT_EQ(window.Units().Text(0, SentColumn), "Yes");
    EXPECT_EQ(unit->ExitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("reply mac=02-4B-7E-00-00-01 xid=5a1c000b address=10.77.0.50"))
        << output.toStdString();
}

TEST_F(AssignmentLab, FailedSendSaysWhyOnStandardErrorAndTheRowSaysNo)
{
    auto unit = lab->StartUnits({"--count", "1", "--timeout", "5000"});
    ASSERT_TRUE(ProcessEventsUntil([&] { return window.Units().RowCount() == 1; }, 10s));
    if (RunningUnderWine())
        GTEST_SKIP() << WineKeepsAReplacedInterfacesIndex;
    // Gone, and with it the default route: nothing can send to the units.
    ASSERT_TRUE(lab->Unplug(LabNetwork::FirstSegment));
    testing::internal::CaptureStderr();
    AssignTopRowByHand("10.77.0.50", "255.255.255.0", "10.77.0.1");
    const QString errors = QString::fromStdString(testing::internal::GetCapturedStderr());
    ASSERT_TRUE(lab->Plug(LabNetwork::FirstSegment));

    EXPECT_EQ(window.Units().Text(0, SentColumn), "No");
    EXPECT_TRUE(errors.contains("cannot send the reply to 02-4B-7E-00-00-01 by ")) << errors.toStdString();
    // Windows names interfaces and words the system's errors its own way.
#ifndef Q_OS_WIN
    EXPECT_TRUE(errors.contains("cannot send the reply to 02-4B-7E-00-00-01 by any interface (" +
                                qEnvironmentVariable("LAB_TOOL_INTERFACE") + " is gone): Network is unreachable\n"))
        << errors.toStdString();
#endif
}

#ifndef Q_OS_WIN
// Debian's DHCP client, a Linux program, on the units side: it asks, the
// operator types the addresses, and it configures its interface with them.
TEST_F(AssignmentLab, DebiansDhcpClientEndsConfiguredWithTheTypedAddressMaskAndDefaultRoute)
{
    QTemporaryDir state;
    auto client = lab->RunOnUnitsSide({"dhclient", "-d", "-1", "-v", "-lf", state.filePath("leases"), "-pf",
                                       state.filePath("pid"), lab->unitsInterface});
    ASSERT_TRUE(ProcessEventsUntil([&] { return window.Units().RowCount() == 1 || client->HasEnded(); }, 20s))
        << "dhclient (Debian package isc-dhcp-client) is needed: " << client->Output().toStdString();
    AssignTopRowByHand("10.77.0.50", "255.255.255.0", "10.77.0.1");

    const auto unitsSide = [&](const QStringList& command) {
        auto run = lab->RunOnUnitsSide(command);
        return WaitForOutput(*run, 10s);
    };
    QString addresses;
    ProcessEventsUntil([&] {
        addresses = unitsSide({"ip", "-4", "-o", "addr", "show", "dev", lab->unitsInterface});
        return addresses.contains("inet ");
    }, 20s);
    const QString routes = unitsSide({"ip", "-4", "route", "show", "default"});
    client->Stop();
    // The segment as it was, for the tests after this one.
    ASSERT_TRUE(lab->Unplug(LabNetwork::FirstSegment));
    ASSERT_TRUE(lab->Plug(LabNetwork::FirstSegment));

    EXPECT_TRUE(addresses.contains("inet 10.77.0.50/24 ")) << addresses.toStdString();
    EXPECT_EQ(routes.trimmed(), "default via 10.77.0.1 dev " + lab->unitsInterface) << routes.toStdString();
    EXPECT_EQ(window.Units().Text(0, SentColumn), "Yes");
}
#endif

} // namespace
