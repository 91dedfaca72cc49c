// The listener on a real socket: this binary runs on the tool side of the
// private network that lab/netlab.sh builds, and the unit simulator on the
// units side broadcasts to it.

#include "core/AddressText.h"
#include "core/BootpMessage.h"
#include "listener/BootpSocket.h"
#include "tests/support/LabNetwork.h"

#include <QCoreApplication>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QRegularExpression>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <vector>

using namespace std::chrono_literals;

namespace {

struct HeardRequest {
    BootRequest request;
    NetworkInterface arrival;

    // The transaction id's bytes in hex, as they came on the wire.
    QString Xid() const
    {
        QByteArray bytes(sizeof request.transactionId, '\0');
        std::memcpy(bytes.data(), &request.transactionId, sizeof request.transactionId);
        return QString::fromLatin1(bytes.toHex());
    }
};

class RecordingReceiver : public BootRequestReceiver {
public:
    void OnBootRequest(const BootRequest& request, const NetworkInterface& arrival) override
    {
        heard.push_back({request, arrival});
        if (onRequest)
            onRequest(request);
    }

    std::vector<HeardRequest> heard;
    std::function<void(const BootRequest&)> onRequest;
};

class ListenerLab : public LabTest {
protected:
    void SetUp() override
    {
        LabTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(listener.Create()) << "cannot bind UDP port 67 on the tool side";
    }

    RecordingReceiver receiver;
    CBootpSocket listener{receiver};
};

TEST_F(ListenerLab, HandsOnExactlyTheRequestsOfOurUnits)
{
    // The odd datagrams go first and the good request last; datagrams keep
    // their order on the link, so once the last one is heard all were read.
    auto units = lab->StartUnits({"--no-wait", "--count", "1", "--xid", "12345678",
                                  "--odd", "wrong-op", "--odd", "wrong-htype", "--odd", "foreign-prefix",
                                  "--odd", "oversize", "--odd", "short", "--odd", "minimal"});
    ASSERT_TRUE(ProcessEventsUntil([&] {
        return !receiver.heard.empty() && receiver.heard.back().Xid() == "12345678";
    }, 10s)) << "the good request never arrived";
    WaitForOutput(*units, 10s);

    ASSERT_EQ(receiver.heard.size(), 2u);
    // The 34-byte datagram holds a whole hardware address, so it is taken.
    EXPECT_EQ(receiver.heard[0].Xid(), "0ddd0005");

    const HeardRequest& good = receiver.heard[1];
    EXPECT_EQ(FormatHardwareAddress(good.request.hardwareAddress), "02-4B-7E-00-00-01");
    EXPECT_EQ(good.arrival.index, lab->ToolInterfaceIndex(LabNetwork::FirstSegment));
    // Windows names interfaces its own way.
    EXPECT_EQ(good.arrival.name, QNetworkInterface::interfaceNameFromIndex(good.arrival.index));
}

TEST_F(ListenerLab, ReplyReachesTheUnitOnItsPortFromPort67)
{
    std::vector<bool> sendResults;
    receiver.onRequest = [&](const BootRequest& request) {
        const BootpMessage reply = BuildBootReply(request.transactionId, ParseDottedQuad("10.77.0.50"),
                                                  ParseDottedQuad("10.77.0.1"), request.hardwareAddress,
                                                  ParseDottedQuad("255.255.255.0"), NoNameServer);
        sendResults.push_back(listener.SendReply(reply, {}));
    };
    auto unit = lab->StartUnits({"--xid", "5a1c0007", "--interval", "200", "--count", "25", "--timeout", "10000"});
    const QString output = WaitForOutput(*unit, 15s);

    EXPECT_EQ(unit->ExitCode(), 0) << output.toStdString();
    ASSERT_FALSE(sendResults.empty());
    EXPECT_TRUE(sendResults.front());
    const QString expected = "reply mac=02-4B-7E-00-00-01 xid=5a1c0007 address=10.77.0.50 mask=255.255.255.0 "
                             "gateway=10.77.0.1 nameserver=0.0.0.0 from=" + lab->toolAddress + ":67 length=300";
    EXPECT_TRUE(output.contains(expected)) << output.toStdString();
}

TEST_F(ListenerLab, ReplyLeavesByTheInterfaceItIsToldEvenOffTheDefaultRoute)
{
    // The unit sits on the second segment; the tool side's default route leads
    // to the first. Told no interface, the reply follows that route and the
    // unit never hears it: the lab really has the two-network trap.
    unsigned outgoingInterface = 0;
    std::vector<unsigned> arrivals;
    receiver.onRequest = [&](const BootRequest& request) {
        arrivals.push_back(receiver.heard.back().arrival.index);
        const BootpMessage reply = BuildBootReply(request.transactionId, ParseDottedQuad("10.78.0.50"),
                                                  0, request.hardwareAddress, 0, NoNameServer);
        listener.SendReply(reply, {outgoingInterface});
    };
    const QStringList unitOnSecondSegment{"--mac", "02:4b:7e:00:00:02", "--xid", "5e60d002", "--interval", "100"};

    auto unheard = lab->StartUnits(unitOnSecondSegment + QStringList{"--count", "8", "--timeout", "800"},
                                   LabNetwork::SecondSegment);
    const QString unheardOutput = WaitForOutput(*unheard, 10s);
    EXPECT_EQ(unheard->ExitCode(), 1) << unheardOutput.toStdString();
    ASSERT_FALSE(arrivals.empty());
    const unsigned secondInterface = lab->ToolInterfaceIndex(LabNetwork::SecondSegment);
    EXPECT_EQ(arrivals.front(), secondInterface);
    if (RunningUnderWine())
        GTEST_SKIP() << WineIgnoresTheOutgoingInterface;

    outgoingInterface = secondInterface;
    auto heard = lab->StartUnits(unitOnSecondSegment + QStringList{"--count", "25", "--timeout", "10000"},
                                 LabNetwork::SecondSegment);
    const QString output = WaitForOutput(*heard, 15s);
    EXPECT_EQ(heard->ExitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("address=10.78.0.50")) << output.toStdString();
    EXPECT_TRUE(output.contains("from=" + lab->secondToolAddress + ":67 length=300")) << output.toStdString();
}

TEST_F(ListenerLab, PortHeldByAnotherProgramCannotBeBoundUntilFreed)
{
    RecordingReceiver otherOwner;
    CBootpSocket second(otherOwner);
    EXPECT_FALSE(second.Create());

    listener.Close();
    EXPECT_TRUE(second.Create());
    second.Close();

    // A server that shares its address (as most do by default on Unix) must
    // still keep us out rather than let two servers answer the same units.
    QUdpSocket sharingServer;
    ASSERT_TRUE(sharingServer.bind(QHostAddress::AnyIPv4, 67, QAbstractSocket::ShareAddress));
    EXPECT_FALSE(second.Create());
    sharingServer.close();
    EXPECT_TRUE(second.Create());
}

TEST_F(ListenerLab, ClosedListenerNeitherHearsNorSends)
{
    listener.Close();
    auto unit = lab->StartUnits({"--xid", "5a1c0007", "--interval", "100", "--count", "3", "--timeout", "400"});
    const HardwareAddress unitMac{0x02, 0x4B, 0x7E, 0, 0, 1};
    const auto reply = BuildBootReply(ReadTransactionId(BuildBootRequest(0x5A1C0007, unitMac)),
                                      1, 2, unitMac, 3, NoNameServer);
    EXPECT_FALSE(listener.SendReply(reply, {}));
    const QString output = WaitForOutput(*unit, 10s);
    EXPECT_TRUE(receiver.heard.empty());
    EXPECT_FALSE(output.contains("reply mac=")) << output.toStdString();
}

TEST_F(ListenerLab, HandlerThatDestroysTheListenerEndsTheDelivery)
{
    listener.Close();
    auto own = std::make_unique<CBootpSocket>(receiver);
    ASSERT_TRUE(own->Create());
    receiver.onRequest = [&](const BootRequest&) { own.reset(); };
    auto burst = lab->StartUnits({"--no-wait", "--count", "1", "--interval", "0", "--units", "20"});
    burst->WaitForEnd(20s);

    ProcessEventsUntil([] { return false; }, 200ms);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(receiver.heard.size(), 1u);
    QUdpSocket nextServer;
    EXPECT_TRUE(nextServer.bind(QHostAddress::AnyIPv4, 67, QAbstractSocket::DontShareAddress));
}

TEST_F(ListenerLab, BurstIsDeliveredInSlicesWithTheEventLoopsTurnBetween)
{
    // A burst waits in the kernel while the window is busy. Whatever else
    // comes in meanwhile (a click, a key) gets its turn between two slices
    // of the burst, before the last request is listed, not after the whole
    // burst. Another socket of this thread stands in for it: a datagram
    // reaches it while the burst's first request is handled.
    QUdpSocket other;
    ASSERT_TRUE(other.bind(QHostAddress::LocalHost, 0));
    std::optional<std::size_t> heardWhenTheOtherHadItsTurn;
    QObject::connect(&other, &QUdpSocket::readyRead, [&] {
        while (other.hasPendingDatagrams())
            other.receiveDatagram();
        heardWhenTheOtherHadItsTurn = receiver.heard.size();
    });
    QUdpSocket meanwhile;
    receiver.onRequest = [&](const BootRequest&) {
        if (receiver.heard.size() == 1) {
            meanwhile.writeDatagram("click", QHostAddress::LocalHost, other.localPort());
            meanwhile.waitForBytesWritten();
        }
        // What listing a unit may cost a busy window, so that even a host's
        // smallest receive buffer holds more than one slice of requests.
        const auto listed = std::chrono::steady_clock::now() + 50us;
        while (std::chrono::steady_clock::now() < listed) {
        }
    };
    auto burst = lab->StartUnits({"--no-wait", "--count", "1", "--interval", "0", "--units", "2000"});
    ASSERT_TRUE(burst->WaitForEnd(20s));

    ASSERT_TRUE(ProcessEventsUntil([&] { return heardWhenTheOtherHadItsTurn.has_value(); }, 10s));
    ProcessEventsUntil([] { return false; }, 500ms); // the rest of the burst
    const std::size_t slices = receiver.heard.size() * 50us / CBootpSocket::DeliverySlice;
    ASSERT_GE(slices, 2u) << receiver.heard.size() << " requests were queued, too few to need two slices";
    EXPECT_LT(*heardWhenTheOtherHadItsTurn, receiver.heard.size());
}

TEST_F(ListenerLab, AsksTheKernelForRoomForABurstAndGetsTheMostTheHostAllows)
{
    // The default buffer holds about 160 requests; the listener asks for many
    // times that. What the kernel grants depends on the host (bench/burst.sh
    // shows this machine's figure): the request capped at net.core.rmem_max,
    // doubled.
    EXPECT_GE(CBootpSocket::RequestedKernelReceiveBuffer, 1024 * 1024);
#ifdef Q_OS_WIN
    // Windows grants what is asked.
    EXPECT_EQ(listener.KernelReceiveBufferBytes(), CBootpSocket::RequestedKernelReceiveBuffer);
#else
    const int limit = LabNetwork::ReceiveBufferLimit();
    ASSERT_GT(limit, 0) << "cannot read net.core.rmem_max";
    EXPECT_EQ(listener.KernelReceiveBufferBytes(), 2 * std::min(CBootpSocket::RequestedKernelReceiveBuffer, limit));
#endif
}

} // namespace
