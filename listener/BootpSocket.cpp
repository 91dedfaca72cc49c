#include "listener/BootpSocket.h"

#include "core/AddressText.h"
#include "core/MessageBytes.h"
#include "listener/SocketLayer.h"

#include <QCoreApplication>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QPointer>
#include <QVariant>

#include <cstdio>

namespace {

// Qt sorts the system's error into its own kinds and words them its own way
// ("The address is protected"); the two common kinds get the names that
// other programs and manuals use.
QString DescribeBindFailure(QAbstractSocket::SocketError error, const QString& qtText)
{
    switch (error) {
    case QAbstractSocket::SocketAccessError:
        return QStringLiteral("permission denied (%1)").arg(qtText);
    case QAbstractSocket::AddressInUseError:
        return QStringLiteral("address in use (%1)").arg(qtText);
    default:
        return qtText;
    }
}

// How a failed send names the interface it tried.
QString DescribeOutgoing(const NetworkInterface& asked, unsigned used)
{
    if (asked.name.isEmpty())
        return used == 0 ? QStringLiteral("any interface") : QStringLiteral("interface index %1").arg(used);
    if (used == 0)
        return QStringLiteral("any interface (%1 is gone)").arg(asked.name);
    return QStringLiteral("interface %1").arg(asked.name);
}

BindFailure KindOfBindFailure(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::SocketAccessError:
        return BindFailure::NotPermitted;
    case QAbstractSocket::AddressInUseError:
        return BindFailure::PortInUse;
    default:
        return BindFailure::Other;
    }
}

} // namespace

void WriteListenFailure(const QString& reason)
{
    std::fprintf(stderr, "%s: cannot listen on UDP port %u: %s\n", qPrintable(QCoreApplication::applicationName()),
                 unsigned{bootp::ServerPort}, qPrintable(reason));
}

CBootpSocket::CBootpSocket(BootRequestReceiver& owner) : owner(owner), socket(std::make_unique<QUdpSocket>())
{
    connect(socket.get(), &QUdpSocket::readyRead, this, &CBootpSocket::OnReceive);
}

CBootpSocket::~CBootpSocket()
{
    Close();
    // Destroyed by the handler of a datagram it delivered: Qt's read
    // notification is still under way on the socket, so it goes once the
    // event loop has it back.
    if (delivering)
        socket.release()->deleteLater();
}

bool CBootpSocket::Create()
{
    // Not shared: a port that another BOOTP or DHCP server holds must make the
    // bind fail rather than leave two servers answering the same units.
    // Qt enables SO_BROADCAST on every UDP socket it creates.
    if (!socket->bind(QHostAddress::AnyIPv4, bootp::ServerPort, QAbstractSocket::DontShareAddress)) {
        failureReason = DescribeBindFailure(socket->error(), socket->errorString());
        failureKind = KindOfBindFailure(socket->error());
        socket->close();
        return false;
    }
    failureReason.clear();
    failureKind = BindFailure::None;
    socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, RequestedKernelReceiveBuffer);
    return true;
}

bool CBootpSocket::SendReply(const BootpMessage& reply, const NetworkInterface& outgoing)
{
    // Qt would bind a closed socket to a random port to send; a reply that
    // does not come from port 67 is one the unit will not take.
    if (socket->state() != QAbstractSocket::BoundState) {
        sendFailureReason = QStringLiteral("not listening");
        return false;
    }
    const unsigned index = CurrentIndex(outgoing);
    QNetworkDatagram datagram(ToByteArray(reply), QHostAddress::Broadcast, bootp::ClientPort);
    // Where the system cannot be told the interface, Qt drops the index and
    // the reply goes out the plain way.
    datagram.setInterfaceIndex(index);
    if (socket->writeDatagram(datagram) >= 0) {
        sendFailureReason.clear();
        return true;
    }
    // Qt words every failure of a send alike; the system's reason tells more.
    const std::string systemReason = LastSocketError();
    const QString reason = systemReason.empty() ? socket->errorString() : QString::fromStdString(systemReason);
    sendFailureReason = QStringLiteral("by %1: %2").arg(DescribeOutgoing(outgoing, index), reason);
    // The row can only say "No"; a terminal, or the desktop's log, can say why.
    std::fprintf(stderr, "%s: cannot send the reply to %s %s\n", qPrintable(QCoreApplication::applicationName()),
                 FormatHardwareAddress(ReadHardwareAddress(reply)).c_str(), qPrintable(sendFailureReason));
    return false;
}

std::uint32_t CBootpSocket::InterfaceAddress(const NetworkInterface& interface)
{
    const unsigned index = CurrentIndex(interface);
    if (index == 0)
        return 0;
    for (const QNetworkAddressEntry& entry : QNetworkInterface::interfaceFromIndex(index).addressEntries()) {
        if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol)
            return entry.ip().toIPv4Address();
    }
    return 0;
}

unsigned CBootpSocket::CurrentIndex(const NetworkInterface& interface)
{
    if (interface.name.isEmpty() || QNetworkInterface::interfaceNameFromIndex(interface.index) == interface.name)
        return interface.index;
    // Interfaces have come and gone since the names were learnt.
    arrivalInterfaces.clear();
    return QNetworkInterface::interfaceIndexFromName(interface.name);
}

NetworkInterface CBootpSocket::ArrivalInterface(unsigned index)
{
    auto known = arrivalInterfaces.constFind(index);
    if (known == arrivalInterfaces.cend())
        known = arrivalInterfaces.insert(index, {index, QNetworkInterface::interfaceNameFromIndex(index)});
    return known.value();
}

void CBootpSocket::Close()
{
    socket->close();
}

int CBootpSocket::KernelReceiveBufferBytes()
{
    return socket->socketOption(QAbstractSocket::ReceiveBufferSizeSocketOption).toInt();
}

void CBootpSocket::OnReceive()
{
    // Each datagram is read and handled on its own, as if it had had its own
    // notification; Qt notifies again for whatever still waits afterwards.
    const QPointer<CBootpSocket> alive(this);
    const auto sliceEnd = std::chrono::steady_clock::now() + DeliverySlice;
    delivering = true;
    while (ReceiveOne()) {
        if (!alive)
            return;
        if (socket->state() != QAbstractSocket::BoundState || std::chrono::steady_clock::now() >= sliceEnd)
            break;
    }
    delivering = false;
}

bool CBootpSocket::ReceiveOne()
{
    // Reading one byte past the buffer tells an oversize datagram apart.
    const QNetworkDatagram datagram = socket->receiveDatagram(ReceiveBufferLength + 1);
    if (!datagram.isValid())
        return false;
    TakeDatagram(AsBytes(datagram.data()), ArrivalInterface(static_cast<unsigned>(datagram.interfaceIndex())),
                 owner);
    return true;
}
