// Listen and exit on real sockets: a port held by another server, and a
// window that has ended hears nothing more and gives the port back.

#include "BootpProtocol.h"
#include "BootpToolDlg.h"
#include "DialogDriving.h"
#include "LabNetwork.h"
#include "ModalScript.h"

#include <QUdpSocket>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

class MainWindowLab : public LabTest {
protected:
    void SetUp() override
    {
        LabTest::SetUp();
        if (IsSkipped())
            return;
        window.show();
    }

    bool BindServerPort(QUdpSocket& socket)
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
    heard->kill();
    heard->waitForFinished();
}

} // namespace
