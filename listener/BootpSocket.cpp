#include "listener/BootpSocket.h"

#include "core/MessageBytes.h"

#include <QNetworkDatagram>
#include <QPointer>
#include <QVariant>

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

} // namespace

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
        socket->close();
        return false;
    }
    failureReason.clear();
    socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, RequestedKernelReceiveBuffer);
    return true;
}

bool CBootpSocket::SendReply(const BootpMessage& reply, unsigned outgoingInterface)
{
    // Qt would bind a closed socket to a random port to send; a reply that
    // does not come from port 67 is one the unit will not take.
    if (socket->state() != QAbstractSocket::BoundState)
        return false;
    QNetworkDatagram datagram(ToByteArray(reply), QHostAddress::Broadcast, bootp::ClientPort);
    // Where the system cannot be told the interface, Qt drops the index and
    // the reply goes out the plain way.
    datagram.setInterfaceIndex(outgoingInterface);
    return socket->writeDatagram(datagram) >= 0;
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
    TakeDatagram(AsBytes(datagram.data()), datagram.interfaceIndex(), owner);
    return true;
}
