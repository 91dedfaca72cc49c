// tarvik-bootp on real sockets: this binary runs the program on the tool side
// of the private network that lab/netlab.sh builds, and the unit simulator,
// or a BOOTP client that Debian packages, on the units side.

#include "core/AddressText.h"
#include "core/BootpProtocol.h"
#include "core/MessageBytes.h"
#include "listener/PortHolder.h"
#include "roster/UnitAnswers.h"
#include "roster/UnitList.h"
#include "tests/support/LabNetwork.h"
#include "tests/support/RecordingSender.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkInterface>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <map>

#ifndef Q_OS_WIN
#include <csignal>
#endif

using namespace std::chrono_literals;

namespace {

const QString Header = QStringLiteral("mac,ip,mask,gateway");

HardwareAddress NthUnit(HardwareAddress first, int n)
{
    first[4] = static_cast<std::uint8_t>(first[4] + n / 256);
    first[5] = static_cast<std::uint8_t>(first[5] + n % 256);
    return first;
}

QString Mac(const HardwareAddress& mac)
{
    return QString::fromStdString(FormatHardwareAddress(mac));
}

QString Dotted(std::uint32_t address)
{
    return QString::fromStdString(FormatDottedQuad(address));
}

QString PlanRow(const HardwareAddress& mac, const UnitAddresses& addresses)
{
    return QStringList{Mac(mac), Dotted(addresses.ipAddress), Dotted(addresses.subnetMask), Dotted(addresses.gateway)}
        .join(',');
}

// The addresses of the nth unit of a plan: on 10.77.0.0/16, from 10.77.16.0 on.
UnitAddresses NthAddresses(int n)
{
    return {0x0A4D1000u + static_cast<std::uint32_t>(n), 0xFFFF0000, 0x0A4D0001};
}

// What the window sends when the operator gives `addresses` to a unit whose
// latest request is `request`, heard on an interface whose address is
// `serverAddress`: the roster's path, without a socket.
QString WindowReply(const BootpMessage& request, const UnitAddresses& addresses, std::uint32_t serverAddress)
{
    CUnitList units;
    RecordingSender sender;
    sender.interfaceAddress = serverAddress;
    const int row = units.OnBootRequest(ReadBootRequest(request), {});
    SendAddresses(units, row, addresses, sender);
    return sender.sent.empty() ? QString() : QString::fromLatin1(ToByteArray(sender.sent.front().reply).toHex());
}

// The replies a simulator's output says its units received: by MAC, the
// kind ("reply" or "ack"), xid and bytes of each.
struct ReceivedReply {
    QString kind;
    QString xid;
    QString address;
    QString bytes;
};
std::multimap<QString, ReceivedReply> RepliesReceived(const QString& output)
{
    static const QRegularExpression line(
        "^(reply|ack) mac=(\\S+) xid=([0-9a-f]{8}) address=(\\S+) .* bytes=([0-9a-f]+)$",
        QRegularExpression::MultilineOption);
    std::multimap<QString, ReceivedReply> replies;
    for (const auto& match : line.globalMatch(output))
        replies.insert({match.captured(2), {match.captured(1), match.captured(3), match.captured(4), match.captured(5)}});
    return replies;
}

// The record's lines after its header, each split into its fields.
std::vector<QStringList> RecordLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    std::vector<QStringList> records;
    for (const QString& text : lines.mid(1))
        records.push_back(text.split(','));
    return records;
}

class CommandLineLab : public LabTest {
protected:
    void TearDown() override
    {
        if (program && program->state() != QProcess::NotRunning) {
            program->kill();
            program->waitForFinished(5000);
        }
        // A case that failed half way leaves the port free for the next one.
        if (listened)
            ProcessEventsUntil([] { return !PortIsHeld(); }, 30s);
    }

    static QString ProgramPath()
    {
        const QString path = QDir(QCoreApplication::applicationDirPath()).filePath("../cli/tarvik-bootp");
#ifdef Q_OS_WIN
        return path + ".exe";
#else
        return path;
#endif
    }

    QString WritePlan(const QStringList& rows)
    {
        const QString path = folder.filePath("plan.csv");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write((QStringList{Header} + rows).join('\n').toUtf8() + '\n');
        return path;
    }

    // Asked of the system's socket table: a probe that bound the port to see
    // whether it is free would hold it, now and then, just as the program
    // binds it (under Wine, where a bind and a close take long, often).
    static bool PortIsHeld() { return FindUdpPortHolder(bootp::ServerPort).has_value(); }

    // Starts the program and waits until it listens (or has ended).
    void Start(const QStringList& arguments)
    {
        const bool heldBefore = PortIsHeld();
        program = std::make_unique<QProcess>();
        program->start(ProgramPath(), arguments);
        ASSERT_TRUE(program->waitForStarted(10000)) << program->errorString().toStdString();
        // Under Wine on a busy machine a big plan can take many seconds.
        ProcessEventsUntil([&] { return PortIsHeld() || program->state() == QProcess::NotRunning; }, 60s);
        listened = !heldBefore && PortIsHeld();
    }

    // Waits for the program to end, and for the port it held to be free
    // (under Wine a moment later); its standard output.
    QString Finish(std::chrono::milliseconds timeout = 30s)
    {
        if (!ProcessEventsUntil([&] { return program->state() == QProcess::NotRunning; }, timeout)) {
            program->kill();
            program->waitForFinished(5000);
        }
        // Under Wine on a busy machine, many seconds later.
        if (listened)
            ProcessEventsUntil([] { return !PortIsHeld(); }, 30s);
        OutputSoFar();
        // A console program on Windows ends its lines with CR LF.
        errors = QString::fromLocal8Bit(program->readAllStandardError()).remove('\r');
        return output;
    }

    // What the program has written so far.
    QString OutputSoFar()
    {
        output += QString::fromLocal8Bit(program->readAllStandardOutput()).remove('\r');
        return output;
    }

    // Ends it as Ctrl+C does; where there is no such signal (Windows), it
    // runs out its time.
    void Interrupt()
    {
#ifndef Q_OS_WIN
        ::kill(static_cast<pid_t>(program->processId()), SIGINT);
#endif
    }

    std::uint32_t ToolAddress() const { return ParseDottedQuad(lab->toolAddress.toStdString()); }

    QTemporaryDir folder;
    std::unique_ptr<QProcess> program;
    bool listened = false;
    QString output;
    QString errors;
};

TEST_F(CommandLineLab, ServesAThousandUnitPlanByteForByteAsTheWindowAnswersAndNeverAnswersAnUnplannedUnit)
{
    constexpr int bootpUnits = 1000;
    constexpr int dhcpUnits = 20;
    const HardwareAddress firstBootp{0x02, 0x4B, 0x7E, 0x00, 0x10, 0x00};
    const HardwareAddress firstDhcp{0x02, 0x4B, 0x7E, 0x00, 0x20, 0x00};
    QStringList rows;
    std::map<QString, UnitAddresses> planned;
    for (int n = 0; n < bootpUnits + dhcpUnits; ++n) {
        const HardwareAddress mac = n < bootpUnits ? NthUnit(firstBootp, n) : NthUnit(firstDhcp, n - bootpUnits);
        rows << PlanRow(mac, NthAddresses(n));
        planned[Mac(mac)] = NthAddresses(n);
    }
    const QString record = folder.filePath("record.csv");
    Start({"serve", "--plan", WritePlan(rows), "--record", record, "--until-done", "--timeout", "90"});
    ASSERT_EQ(program->state(), QProcess::Running) << Finish().toStdString() << errors.toStdString();

    // The unplanned unit first, so it is heard before the plan is done; on
    // the second segment, as each side holds one simulator's port at a time.
    auto unplanned = lab->StartUnits({"--mac", "02:4b:7e:00:30:00", "--interval", "200", "--count", "25",
                                      "--timeout", "5000"},
                                     LabNetwork::SecondSegment);
    ASSERT_TRUE(ProcessEventsUntil([&] { return OutputSoFar().contains("02-4B-7E-00-30-00 on "); }, 20s));
    auto bootp = lab->StartUnits({"--units", QString::number(bootpUnits), "--mac", "02:4b:7e:00:10:00", "--xid",
                                  "10000000", "--interval", "1000", "--count", "60", "--timeout", "60000"});
    const QString bootpOutput = WaitForOutput(*bootp, 90s);
    auto dhcp = lab->StartUnits({"--dhcp", "--units", QString::number(dhcpUnits), "--mac", "02:4b:7e:00:20:00",
                                 "--xid", "20000000", "--interval", "1000", "--count", "60", "--timeout", "60000"});
    const QString dhcpOutput = WaitForOutput(*dhcp, 90s);
    const QString unplannedOutput = WaitForOutput(*unplanned, 20s);
    Finish();

    EXPECT_EQ(program->exitCode(), 0) << output.toStdString() << errors.toStdString();
    EXPECT_EQ(bootp->ExitCode(), 0);
    EXPECT_EQ(dhcp->ExitCode(), 0);
    const auto received = RepliesReceived(bootpOutput + dhcpOutput);
    ASSERT_EQ(received.size(), static_cast<std::size_t>(bootpUnits + dhcpUnits));
    int identical = 0;
    for (const auto& [mac, reply] : received) {
        const HardwareAddress octets = ParseHardwareAddress(mac.toStdString());
        const std::uint32_t xid = reply.xid.toUInt(nullptr, 16);
        const BootpMessage request =
            reply.kind == "reply" ? BuildBootRequest(xid, octets)
                                  : BuildDhcpRequest(dhcp::MessageType::Request, xid, octets,
                                                     ParseDottedQuad(reply.address.toStdString()), ToolAddress());
        identical += reply.bytes == WindowReply(request, planned.at(mac), ToolAddress()) ? 1 : 0;
    }
    EXPECT_EQ(identical, bootpUnits + dhcpUnits);

    EXPECT_EQ(unplanned->ExitCode(), 1) << unplannedOutput.toStdString();
    EXPECT_TRUE(unplannedOutput.contains("timeout: 1 of 1 units got no reply")) << unplannedOutput.toStdString();
    EXPECT_TRUE(output.contains("answered 1020 of 1020 planned units in ")) << output.toStdString();
    EXPECT_TRUE(output.contains("unplanned units, not answered:\n  02-4B-7E-00-30-00 on ")) << output.toStdString();
    // A line in the record for every reply that went out, the DHCP units' offers too.
    std::map<QString, int> recorded;
    for (const QStringList& fields : RecordLines(record)) {
        if (fields.value(8) == "sent")
            ++recorded[fields.value(1)];
    }
    EXPECT_EQ(recorded.size(), planned.size());
    EXPECT_EQ(recorded.count("02-4B-7E-00-30-00"), 0u);
    EXPECT_GE(recorded["02-4B-7E-00-20-00"], 2);
}

TEST_F(CommandLineLab, AUnitThatAsksAgainIsAnsweredAgainAndCtrlCEndsWithTheSummary)
{
    const QString record = folder.filePath("record.csv");
    Start({"serve", "--plan", WritePlan({"02-4B-7E-00-00-01,10.77.0.50,255.255.255.0,10.77.0.1"}), "--record", record,
           "--timeout", "8"});
    for (const char* xid : {"11111111", "22222222"}) {
        auto unit = lab->StartUnits({"--xid", xid, "--interval", "200", "--count", "25", "--timeout", "5000"});
        const QString unitOutput = WaitForOutput(*unit, 10s);
        EXPECT_TRUE(unitOutput.contains(QStringLiteral("reply mac=02-4B-7E-00-00-01 xid=%1 address=10.77.0.50")
                                            .arg(xid))) << unitOutput.toStdString();
    }
    QElapsedTimer sinceInterrupt;
    sinceInterrupt.start();
    Interrupt();
    Finish();

#ifndef Q_OS_WIN
    // Ended by Ctrl+C, not by its time running out.
    EXPECT_LT(sinceInterrupt.elapsed(), 4000);
#endif
    EXPECT_EQ(program->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program->exitCode(), 0) << output.toStdString() << errors.toStdString();
    EXPECT_TRUE(output.contains("answered 1 of 1 planned unit in ")) << output.toStdString();
    EXPECT_TRUE(output.contains("; 2 replies sent, 0 failed; 0 unplanned units\n")) << output.toStdString();
    const auto lines = RecordLines(record);
    ASSERT_EQ(lines.size(), 2u);
    // The interface by the name the system gives it (Wine has names of its own).
    const QString interfaceName =
        QNetworkInterface::interfaceNameFromIndex(static_cast<int>(lab->ToolInterfaceIndex(LabNetwork::FirstSegment)));
    EXPECT_EQ(lines[0].mid(1, 5),
              (QStringList{"02-4B-7E-00-00-01", "10.77.0.50", "255.255.255.0", "10.77.0.1", interfaceName}));
    EXPECT_EQ(lines[0].mid(6), (QStringList{"11111111", "bootreply", "sent"}));
    EXPECT_EQ(lines[1].mid(6), (QStringList{"22222222", "bootreply", "sent"}));
}

TEST_F(CommandLineLab, TimeoutEndsWithStatusOneNamingThePlannedUnitsNotAnswered)
{
    Start({"serve", "--plan",
           WritePlan({"02-4B-7E-00-00-01,10.77.0.50,255.255.255.0,10.77.0.1",
                      "02-4B-7E-00-00-02,10.77.0.51,255.255.255.0,10.77.0.1"}),
           "--until-done", "--timeout", "3"});
    auto unit = lab->StartUnits({"--interval", "200", "--count", "10", "--timeout", "5000"});
    Finish();
    WaitForOutput(*unit, 10s);
    EXPECT_EQ(program->exitCode(), 1) << output.toStdString();
    EXPECT_TRUE(output.contains("answered 1 of 2 planned units in ")) << output.toStdString();
    EXPECT_TRUE(output.contains("planned units not answered:\n  02-4B-7E-00-00-02 10.77.0.51 (" +
                                folder.filePath("plan.csv") + " line 3): never heard\n"))
        << output.toStdString();

    Start({"assign", "02-4B-7E-00-00-09", "10.77.0.59", "255.255.255.0", "10.77.0.1", "--timeout", "1"});
    Finish();
    EXPECT_EQ(program->exitCode(), 1) << output.toStdString();
}

TEST_F(CommandLineLab, AssignAnswersTheNextRequestOfItsUnitAndEnds)
{
    auto unit = lab->StartUnits({"--xid", "5a1c0007", "--interval", "200", "--count", "50", "--timeout", "10000"});
    Start({"assign", "02:4b:7e:00:00:01", "10.77.0.50", "255.255.255.0", "0.0.0.0", "--timeout", "20"});
    Finish();
    const QString unitOutput = WaitForOutput(*unit, 15s);
    EXPECT_EQ(program->exitCode(), 0) << output.toStdString() << errors.toStdString();
    EXPECT_TRUE(unitOutput.contains("reply mac=02-4B-7E-00-00-01 xid=5a1c0007 address=10.77.0.50 "
                                    "mask=255.255.255.0 gateway=0.0.0.0"))
        << unitOutput.toStdString();
}

TEST_F(CommandLineLab, ABadPlanOrAHeldPortEndsWithStatusTwoAndServesNothing)
{
    auto unit = lab->StartUnits({"--interval", "200", "--count", "10", "--timeout", "2000"});
    Start({"serve", "--plan",
           WritePlan({"02-4B-7E-00-00-01,10.77.0.50,255.255.255.0,10.77.0.1",
                      "02-4B-7E-00-00-02,10.77.0.50,255.255.255.0,10.77.0.1"})});
    Finish();
    EXPECT_EQ(program->exitCode(), 2);
    EXPECT_TRUE(errors.contains(folder.filePath("plan.csv") +
                                ":3: 10.77.0.50 is planned already for 02-4B-7E-00-00-01 on line 2\n"))
        << errors.toStdString();
    EXPECT_TRUE(errors.contains("nothing served")) << errors.toStdString();

    QUdpSocket otherServer;
    ASSERT_TRUE(otherServer.bind(QHostAddress::AnyIPv4, bootp::ServerPort, QAbstractSocket::DontShareAddress));
    Start({"assign", "02-4B-7E-00-00-01", "10.77.0.50", "255.255.255.0", "10.77.0.1"});
    Finish();
    EXPECT_EQ(program->exitCode(), 2);
    EXPECT_TRUE(errors.contains("tarvik-bootp: cannot listen on UDP port 67: address in use")) << errors.toStdString();

    const QString unitOutput = WaitForOutput(*unit, 10s);
    EXPECT_FALSE(unitOutput.contains("reply mac=")) << unitOutput.toStdString();
}

TEST_F(CommandLineLab, TheRecordHoldsEveryReplyAfterTheProgramIsKilledInTheMiddleOfABurst)
{
    constexpr int units = 20000;
    const HardwareAddress first{0x02, 0x4B, 0x7E, 0x01, 0x00, 0x00};
    QStringList rows;
    for (int n = 0; n < units; ++n)
        rows << PlanRow(NthUnit(first, n), NthAddresses(n));
    const QString record = folder.filePath("record.csv");
    Start({"serve", "--plan", WritePlan(rows), "--record", record});
    // Each unit asks once: the program must hear the burst from its start.
    ASSERT_TRUE(listened) << Finish().toStdString() << errors.toStdString();
    auto burst = lab->StartUnits({"--units", QString::number(units), "--mac", "02:4b:7e:01:00:00", "--count", "1",
                                  "--timeout", "3000"});
    // Killed once some dozens of replies have gone out, while the rest wait.
    ASSERT_TRUE(ProcessEventsUntil([&] { return QFile(record).size() > 5'000; }, 60s));
    program->kill();
    Finish();
    const QString burstOutput = WaitForOutput(*burst, 20s);

    std::map<QString, QString> recorded;
    for (const QStringList& fields : RecordLines(record))
        recorded[fields.value(1)] = fields.value(6);
    EXPECT_LT(recorded.size(), static_cast<std::size_t>(units)) << "the burst had ended before the kill";
    const auto received = RepliesReceived(burstOutput);
    ASSERT_FALSE(received.empty()) << burstOutput.left(2000).toStdString();
    int missing = 0;
    for (const auto& [mac, reply] : received)
        missing += recorded.count(mac) == 1 && recorded[mac] == reply.xid ? 0 : 1;
    EXPECT_EQ(missing, 0) << "of " << received.size() << " replies received";
}

#ifndef Q_OS_WIN
// Linux programs that nobody here wrote, on the units side: Debian's bootpc
// and klibc's ipconfig each ask by BOOTP and get the planned addresses.
TEST_F(CommandLineLab, DebiansBootpClientsGetThePlannedAddresses)
{
    Start({"serve", "--plan", WritePlan({"02-4B-7E-00-00-01,10.77.0.50,255.255.255.0,10.77.0.1"}), "--timeout", "60"});
    auto bootpc = lab->RunOnUnitsSide({"bootpc", "--dev", lab->unitsInterface, "--timeoutwait", "20"});
    const QString bootpcOutput = WaitForOutput(*bootpc, 30s);
    // -n: prints what it would configure, and leaves the interface as it is.
    auto ipconfig = lab->RunOnUnitsSide({"/usr/lib/klibc/bin/ipconfig", "-n", "-c", "bootp", "-t", "20",
                                         lab->unitsInterface});
    const QString ipconfigOutput = WaitForOutput(*ipconfig, 30s);
    Interrupt();
    Finish();

    EXPECT_EQ(bootpc->ExitCode(), 0) << "bootpc (Debian package bootpc) is needed: " << bootpcOutput.toStdString();
    for (const char* line : {"IPADDR='10.77.0.50'", "NETMASK='255.255.255.0'", "GATEWAY='10.77.0.1'"})
        EXPECT_TRUE(bootpcOutput.contains(line)) << bootpcOutput.toStdString();
    EXPECT_EQ(ipconfig->ExitCode(), 0) << "ipconfig (Debian package klibc-utils) is needed: "
                                       << ipconfigOutput.toStdString();
    EXPECT_TRUE(QRegularExpression("address: 10\\.77\\.0\\.50 +broadcast: 10\\.77\\.0\\.255 +netmask: 255\\.255\\.255\\.0")
                    .match(ipconfigOutput).hasMatch()) << ipconfigOutput.toStdString();
    EXPECT_TRUE(ipconfigOutput.contains("gateway: 10.77.0.1 ")) << ipconfigOutput.toStdString();
    EXPECT_TRUE(output.contains("; 2 replies sent, 0 failed;")) << output.toStdString();
}

TEST_F(CommandLineLab, ListenListsEachUnitOnceAndItsRequestsOnCtrlC)
{
    Start({"listen", "--csv"});
    auto units = lab->StartUnits({"--units", "2", "--interval", "100", "--count", "3", "--no-wait"});
    units->WaitForEnd(10s);
    ProcessEventsUntil([&] { return OutputSoFar().count("02-4B-7E-00-00-0") == 2; }, 5s);
    Interrupt();
    Finish();
    const QString interfaceName = qEnvironmentVariable("LAB_TOOL_INTERFACE");
    EXPECT_EQ(program->exitCode(), 0);
    EXPECT_TRUE(QRegularExpression("^time,mac,interface\n"
                                   "\\S+Z,02-4B-7E-00-00-01," + interfaceName + "\n"
                                   "\\S+Z,02-4B-7E-00-00-02," + interfaceName + "\n\n"
                                   "mac,interface,requests\n"
                                   "02-4B-7E-00-00-01," + interfaceName + ",3\n"
                                   "02-4B-7E-00-00-02," + interfaceName + ",3\n$")
                    .match(output).hasMatch()) << output.toStdString();
}
#endif

} // namespace
