#include "lab/unitsim/UnitSimulator.h"

#include "core/AddressText.h"
#include "core/MessageBytes.h"

#include <QNetworkDatagram>
#include <QRandomGenerator>
#include <QTextStream>
#include <QThread>
#include <QVariant>

#include <algorithm>

namespace {

HardwareAddress NthMac(HardwareAddress mac, int n)
{
    unsigned carry = static_cast<unsigned>(n);
    for (auto octet = mac.rbegin(); octet != mac.rend() && carry != 0; ++octet) {
        const unsigned sum = *octet + (carry & 0xFFu);
        *octet = static_cast<std::uint8_t>(sum);
        carry = (carry >> 8) + (sum >> 8);
    }
    return mac;
}

QString Hex8(std::uint32_t value)
{
    return QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0'));
}

QString Dotted(std::uint32_t address)
{
    return QString::fromStdString(FormatDottedQuad(address));
}

QString Mac(const HardwareAddress& mac)
{
    return QString::fromStdString(FormatHardwareAddress(mac));
}

QTextStream& Out()
{
    static QTextStream out(stdout);
    return out;
}

constexpr std::uint32_t OddDatagramXidBase = 0x0DDD0000;
constexpr int ReceiveBufferBytes = 4 * 1024 * 1024;

} // namespace

UnitSimulator::UnitSimulator(const SimulatorOptions& options) : options(options)
{
    const std::uint32_t firstXid = options.firstXid.value_or(QRandomGenerator::global()->generate());
    for (int i = 0; i < options.units; ++i)
        units.push_back({NthMac(options.firstMac, i), firstXid + static_cast<std::uint32_t>(i), false, std::nullopt,
                         std::nullopt});
}

int UnitSimulator::Run()
{
    if (!socket.bind(QHostAddress::AnyIPv4, bootp::ClientPort)) {
        QTextStream(stderr) << "unitsim: cannot bind UDP port " << bootp::ClientPort << ": "
                            << socket.errorString() << "\n";
        return 2;
    }
    // Many units answered at once: room for all their replies, which the
    // kernel's default buffer (about 160 replies) would mostly drop.
    socket.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, QVariant(ReceiveBufferBytes));
    deadline = QDeadlineTimer(options.timeout);
    for (const Unit& unit : units)
        Out() << "unit mac=" << Mac(unit.mac) << " xid=" << Hex8(unit.xid) << Qt::endl;

    SendOddDatagrams();
    for (int round = 0; round < options.rounds && !deadline.hasExpired(); ++round) {
        SendRound();
        const bool lastRound = round + 1 == options.rounds;
        if (!options.waitForReplies) {
            if (!lastRound)
                QThread::msleep(static_cast<unsigned long>(std::min(options.interval, options.timeout).count()));
            continue;
        }
        WaitForReplies(lastRound ? options.timeout : options.interval);
        if (AllAssigned())
            break;
    }

    if (failedSends > 0)
        QTextStream(stderr) << "unitsim: " << failedSends << " sends failed\n";
    if (!options.waitForReplies || AllAssigned())
        return 0;
    const auto waiting = std::count_if(units.begin(), units.end(), [](const Unit& u) { return !u.assigned; });
    Out() << "timeout: " << waiting << " of " << units.size() << " units got no reply" << Qt::endl;
    return 1;
}

void UnitSimulator::SendOddDatagrams()
{
    const HardwareAddress mac = units.front().mac;
    for (int i = 0; i < options.oddDatagrams.size(); ++i) {
        const OddDatagram kind = options.oddDatagrams[i];
        const std::uint32_t xid = OddDatagramXidBase + static_cast<std::uint32_t>(i);
        QByteArray datagram = ToByteArray(BuildBootRequest(xid, mac));
        switch (kind) {
        case OddDatagram::WrongOp:
            datagram[bootp::OpOffset] = bootp::OpBootReply;
            break;
        case OddDatagram::WrongHardwareType:
            datagram[bootp::HardwareTypeOffset] = 6; // IEEE 802
            break;
        case OddDatagram::ForeignPrefix:
            datagram[bootp::HardwareAddressOffset + 2] = static_cast<char>(VENDOR_PREFIX[2] + 1);
            break;
        case OddDatagram::Oversize:
            datagram.append(QByteArray(600 - datagram.size(), '\0'));
            break;
        case OddDatagram::Short:
            datagram.truncate(bootp::MinimumRequestLength - 1);
            break;
        case OddDatagram::Minimal:
            datagram.truncate(bootp::MinimumRequestLength);
            break;
        }
        Out() << "odd kind=" << OddDatagramName(kind) << " xid=" << Hex8(xid)
              << " length=" << datagram.size() << Qt::endl;
        Broadcast(datagram);
    }
}

void UnitSimulator::SendRound()
{
    for (const Unit& unit : units) {
        if (!unit.assigned)
            Broadcast(RequestOf(unit));
    }
}

QByteArray UnitSimulator::RequestOf(const Unit& unit) const
{
    QByteArray request;
    if (!options.dhcp)
        request = ToByteArray(BuildBootRequest(unit.xid, unit.mac));
    else if (!unit.offeredAddress)
        request = ToByteArray(BuildDhcpRequest(dhcp::MessageType::Discover, unit.xid, unit.mac));
    else
        request = ToByteArray(BuildDhcpRequest(dhcp::MessageType::Request, unit.xid, unit.mac, unit.offeredAddress,
                                               unit.offeringServer));
    return request.leftJustified(options.requestLength, '\0');
}

void UnitSimulator::WaitForReplies(std::chrono::milliseconds duration)
{
    const QDeadlineTimer roundEnd(duration);
    while (!AllAssigned() && !roundEnd.hasExpired() && !deadline.hasExpired()) {
        const qint64 wait = std::min(roundEnd.remainingTime(), deadline.remainingTime());
        if (!socket.waitForReadyRead(static_cast<int>(std::max<qint64>(wait, 0))))
            continue;
        while (socket.hasPendingDatagrams())
            TakeReply(socket.receiveDatagram());
    }
}

void UnitSimulator::TakeReply(const QNetworkDatagram& datagram)
{
    const auto reply = ReadBootReply(AsBytes(datagram.data()));
    if (!reply)
        return;
    const auto unit = std::find_if(units.begin(), units.end(), [&](const Unit& u) {
        return !u.assigned && u.mac == reply->mac && u.xid == reply->xid;
    });
    if (unit == units.end())
        return;
    const auto optional = [](const std::optional<std::uint32_t>& value) {
        return value ? Dotted(*value) : QStringLiteral("none");
    };
    const auto received = [&] {
        return QStringLiteral(" from=%1:%2 length=%3 bytes=%4")
            .arg(datagram.senderAddress().toString()).arg(datagram.senderPort())
            .arg(datagram.data().size()).arg(QString::fromLatin1(datagram.data().toHex()));
    };
    if (!options.dhcp) {
        unit->assigned = true;
        Out() << "reply mac=" << Mac(reply->mac) << " xid=" << Hex8(reply->xid)
              << " address=" << Dotted(reply->address) << " mask=" << optional(reply->subnetMask)
              << " gateway=" << Dotted(reply->gateway) << " nameserver=" << optional(reply->nameServer)
              << received() << Qt::endl;
        return;
    }
    // As a DHCP client: the first offer is taken and asked for at once; then
    // only the acknowledgement of that address ends the exchange.
    const auto type = static_cast<dhcp::MessageType>(reply->messageType.value_or(0));
    if (type == dhcp::MessageType::Offer && !unit->offeredAddress) {
        unit->offeredAddress = reply->address;
        unit->offeringServer = reply->serverIdentifier;
        Out() << "offer mac=" << Mac(reply->mac) << " xid=" << Hex8(reply->xid) << " address="
              << Dotted(reply->address) << " server=" << optional(reply->serverIdentifier) << Qt::endl;
        Broadcast(RequestOf(*unit));
    } else if (type == dhcp::MessageType::Ack && unit->offeredAddress == reply->address) {
        unit->assigned = true;
        Out() << "ack mac=" << Mac(reply->mac) << " xid=" << Hex8(reply->xid)
              << " address=" << Dotted(reply->address) << " mask=" << optional(reply->subnetMask)
              << " router=" << optional(reply->router) << " server=" << optional(reply->serverIdentifier)
              << " lease=" << (reply->leaseTime ? QString::number(*reply->leaseTime) : QStringLiteral("none"))
              << " nameserver=" << optional(reply->nameServer) << received() << Qt::endl;
    }
}

bool UnitSimulator::AllAssigned() const
{
    return std::all_of(units.begin(), units.end(), [](const Unit& u) { return u.assigned; });
}

void UnitSimulator::Broadcast(const QByteArray& datagram)
{
    if (socket.writeDatagram(datagram, QHostAddress::Broadcast, bootp::ServerPort) < 0)
        ++failedSends;
}
