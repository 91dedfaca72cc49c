// The whole assignment on real sockets: a simulated unit asks, the window
// lists it, the operator double-clicks its row and types the addresses, and
// the unit receives the reply, also when it sits on the PC's second network.

#include "AddressText.h"
#include "BootRequest.h"
#include "BootpToolDlg.h"
#include "DialogDriving.h"
#include "LabNetwork.h"
#include "ModalScript.h"
#include "QtPrinting.h"
#include "UnitRows.h"

#include <QApplication>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

class AssignmentLab : public LabTest {
protected:
    void SetUp() override
    {
        LabTest::SetUp();
        if (IsSkipped())
            return;
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        EXPECT_EQ(ModalsOpenedBy([&] { ButtonWithText(&window, "&Listen")->click(); }), 0);
        ASSERT_TRUE(window.IsListening()) << "cannot bind UDP port 67 on the tool side";
    }

    // Double-clicks the top row and types the addresses into the dialog.
    void AssignTopRowByHand(const QString& ip, const QString& mask, const QString& gateway)
    {
        ModalScript script;
        script.Then([&](QWidget* dialog) {
            ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
            // The focus starts on Send; Cancel comes next, then the fields.
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            for (const QString& address : {ip, mask, gateway}) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                TypeIntoFocus(address);
            }
            // Tabbing on from the gateway comes round to Send.
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        });
        const QRect row = window.UnitListView().visualRect(window.Units().index(0, 0));
        QTest::mouseClick(window.UnitListView().viewport(), Qt::LeftButton, {}, row.center());
        QTest::mouseDClick(window.UnitListView().viewport(), Qt::LeftButton, {}, row.center());
        EXPECT_EQ(script.StepsDone(), 1);
    }

    CBootpToolDlg window;
};

TEST_F(AssignmentLab, UnitReceivesExactlyTheReplyTheOperatorTypedIn)
{
    auto unit = lab->StartUnits({"--xid", "5a1c0007", "--interval", "200", "--count", "100", "--timeout", "20000"});
    ASSERT_TRUE(ProcessEventsUntil([&] { return window.Units().RowCount() == 1; }, 10s));
    AssignTopRowByHand("192.168.1.50", "255.255.255.0", "192.168.1.1");
    const QString output = WaitForOutput(*unit, 25s);

    EXPECT_EQ(RowTexts(window.Units(), 0),
              (QStringList{"02-4B-7E-00-00-01", "192.168.1.50", "255.255.255.0", "192.168.1.1", "Yes"}));
    EXPECT_EQ(unit->exitCode(), 0) << output.toStdString();
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
    const QString output = WaitForOutput(*unit, 25s);

    EXPECT_EQ(window.Units().Text(0, SentColumn), "Yes");
    EXPECT_EQ(unit->exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("reply mac=02-4B-7E-00-00-02")) << output.toStdString();
    EXPECT_TRUE(output.contains("address=10.78.0.50 mask=255.255.255.0 gateway=10.78.0.1"))
        << output.toStdString();
    EXPECT_TRUE(output.contains("from=" + lab->secondToolAddress + ":67")) << output.toStdString();
}

} // namespace
