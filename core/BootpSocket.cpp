#include "BootpSocket.h"

#include <QNetworkDatagram>
#include <QVariant>

#include <algorithm>
#include <array>

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

CBootpSocket::CBootpSocket(BootRequestReceiver& owner) : owner(owner)
{
    connect(&socket, &QUdpSocket::readyRead, this, &CBootpSocket::OnReceive);
}

CBootpSocket::~CBootpSocket()
{
    Close();
}

bool CBootpSocket::Create()
{
    // Not shared: a port that another BOOTP or DHCP server holds must make the
    // bind fail rather than leave two servers answering the same units.
    // Qt enables SO_BROADCAST on every UDP socket it creates.
    if (!socket.bind(QHostAddress::AnyIPv4, bootp::ServerPort, QAbstractSocket::DontShareAddress)) {
        failureReason = DescribeBindFailure(socket.error(), socket.errorString());
        socket.close();
        return false;
    }
    failureReason.clear();
    socket.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, RequestedKernelReceiveBuffer);
    return true;
}

int CBootpSocket::SendReply(const BootpMessage& reply, unsigned outgoingInterface)
{
    // Qt would bind a closed socket to a random port to send; a reply that
    // does not come from port 67 is one the unit will not take.
    if (socket.state() != QAbstractSocket::BoundState)
        return SendFailed;
    QNetworkDatagram datagram(QByteArray(reinterpret_cast<const char*>(reply.data()), static_cast<qsizetype>(reply.size())),
                              QHostAddress::Broadcast, bootp::ClientPort);
    // Where the system cannot be told the interface, Qt drops the index and
    // the reply goes out the plain way.
    datagram.setInterfaceIndex(outgoingInterface);
    const qint64 sent = socket.writeDatagram(datagram);
    return sent < 0 ? SendFailed : static_cast<int>(sent);
}

void CBootpSocket::Close()
{
    socket.close();
}

int CBootpSocket::KernelReceiveBufferBytes()
{
    return socket.socketOption(QAbstractSocket::ReceiveBufferSizeSocketOption).toInt();
}

void CBootpSocket::OnReceive()
{
    // Exactly one datagram per notification: Qt notifies again while more
    // wait. Reading one byte past the buffer tells an oversize datagram apart.
    const QNetworkDatagram datagram = socket.receiveDatagram(ReceiveBufferLength + 1);
    const QByteArray& data = datagram.data();
    const auto length = static_cast<std::size_t>(data.size());
    if (!datagram.isValid() || length > ReceiveBufferLength || length < bootp::MinimumRequestLength)
        return;

    // A fresh buffer per datagram: bytes past a short datagram read as 0,
    // and the owner's handler may run a nested event loop that receives again.
    std::array<std::uint8_t, ReceiveBufferLength> buffer{};
    std::copy(data.begin(), data.end(), reinterpret_cast<char*>(buffer.data()));
    if (!IsUnitBootRequest(buffer))
        return;
    owner.OnBootRequest(buffer, datagram.interfaceIndex());
}
