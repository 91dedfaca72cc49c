#include "listener/PortHolder.h"

#include <QtGlobal>

#if defined(Q_OS_WIN)
#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <tlhelp32.h>

#include <vector>

namespace {

QString ProcessImageName(DWORD processId)
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return {};
    QString name;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ProcessID == processId) {
            name = QString::fromWCharArray(entry.szExeFile);
            break;
        }
    }
    CloseHandle(snapshot);
    return name;
}

} // namespace

std::optional<PortHolder> FindUdpPortHolder(std::uint16_t port)
{
    // Asked twice: first for the size the table needs. It can grow in
    // between, so a few tries.
    std::vector<char> buffer;
    DWORD size = 0;
    DWORD result = ERROR_INSUFFICIENT_BUFFER;
    for (int attempt = 0; attempt < 3 && result == ERROR_INSUFFICIENT_BUFFER; ++attempt) {
        buffer.resize(size);
        result = GetExtendedUdpTable(buffer.empty() ? nullptr : buffer.data(), &size, FALSE, AF_INET,
                                     UDP_TABLE_OWNER_PID, 0);
    }
    if (result != NO_ERROR)
        return std::nullopt;
    const auto* table = reinterpret_cast<const MIB_UDPTABLE_OWNER_PID*>(buffer.data());
    for (DWORD row = 0; row < table->dwNumEntries; ++row) {
        const MIB_UDPROW_OWNER_PID& socket = table->table[row];
        // The port stands in network byte order in the low half.
        if (ntohs(static_cast<u_short>(socket.dwLocalPort)) == port)
            return PortHolder{ProcessImageName(socket.dwOwningPid), socket.dwOwningPid};
    }
    return std::nullopt;
}

#elif defined(Q_OS_LINUX)
#include <QDir>
#include <QFile>
#include <QStringList>

#include <unistd.h>

#include <climits>

namespace {

// The inode of a socket bound to `port` in one of the kernel's UDP tables,
// whose lines read "sl local_address rem_address st ... uid timeout inode ...",
// the address and port in hexadecimal ("00000000:0043"). With
// `wildcardOnly`, only a socket bound to every address counts.
QString SocketInode(const QString& table, std::uint16_t port, bool wildcardOnly)
{
    QFile file(table);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    file.readLine(); // the captions
    while (!file.atEnd()) {
        const QStringList fields = QString::fromLatin1(file.readLine()).split(' ', Qt::SkipEmptyParts);
        if (fields.size() < 10)
            continue;
        const QString address = fields[1].section(':', 0, 0);
        bool isNumber = false;
        if (fields[1].section(':', 1).toUInt(&isNumber, 16) != port || !isNumber)
            continue;
        if (wildcardOnly && address.count('0') != address.size())
            continue;
        return fields[9];
    }
    return {};
}

// The process with the socket of this inode among its open files. Another
// user's files are closed to this process, unless it runs as root.
std::optional<PortHolder> ProcessWithSocket(const QString& inode)
{
    const QByteArray target = "socket:[" + inode.toLatin1() + "]";
    const QStringList processes = QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& process : processes) {
        bool isProcess = false;
        const qint64 processId = process.toLongLong(&isProcess);
        if (!isProcess)
            continue;
        const QDir files("/proc/" + process + "/fd");
        for (const QString& file : files.entryList(QDir::System | QDir::NoDotAndDotDot)) {
            char link[PATH_MAX];
            const ssize_t length = readlink(QFile::encodeName(files.filePath(file)).constData(), link, sizeof link);
            if (length != target.size() || target != QByteArray(link, static_cast<int>(length)))
                continue;
            QFile name("/proc/" + process + "/comm");
            const QString program = name.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(name.readAll()).trimmed()
                                                                   : QString();
            return PortHolder{program, processId};
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<PortHolder> FindUdpPortHolder(std::uint16_t port)
{
    // An IPv6 socket bound to every address takes IPv4 too, unless it was
    // made IPv6-only, which the table does not show.
    QString inode = SocketInode("/proc/net/udp", port, false);
    if (inode.isEmpty())
        inode = SocketInode("/proc/net/udp6", port, true);
    if (inode.isEmpty())
        return std::nullopt;
    return ProcessWithSocket(inode).value_or(PortHolder{});
}

#else

std::optional<PortHolder> FindUdpPortHolder(std::uint16_t)
{
    return std::nullopt;
}

#endif
