#include "plan/ReplyRecord.h"

#include "core/AddressText.h"

#include <cstring>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

// RFC 4180: a field that holds a comma, a quote or a line break is quoted.
QString CsvField(const QString& text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n')) &&
        !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString Dotted(std::uint32_t address)
{
    return QString::fromStdString(FormatDottedQuad(address));
}

QString ResultText(const QString& failure)
{
    return failure.isEmpty() ? QStringLiteral("sent") : QStringLiteral("failed: ") + failure;
}

QString LinePrefix(const RecordedReply& reply)
{
    QByteArray xid(sizeof reply.transactionId, '\0');
    std::memcpy(xid.data(), &reply.transactionId, sizeof reply.transactionId);
    const QStringList fields{reply.time.toUTC().toString(Qt::ISODateWithMs),
                             QString::fromStdString(FormatHardwareAddress(reply.mac)),
                             Dotted(reply.addresses.ipAddress),
                             Dotted(reply.addresses.subnetMask),
                             Dotted(reply.addresses.gateway),
                             CsvField(reply.interfaceName),
                             QString::fromLatin1(xid.toHex()),
                             CsvField(reply.kind)};
    return fields.join(QLatin1Char(',')) + QLatin1Char(',');
}

} // namespace

ReplyRecord::~ReplyRecord()
{
    Sync();
}

bool ReplyRecord::Open(const QString& path)
{
    // What the file ends with, to finish a line an earlier run could not.
    char lastByte = '\n';
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.size() > 0 && existing.seek(existing.size() - 1))
        existing.getChar(&lastByte);
    existing.close();

    file.setFileName(path);
    // Unbuffered: each write goes to the system at once, so a line written
    // is kept even when the program is killed straight after.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        error = file.errorString();
        return false;
    }
    QByteArray start;
    if (file.size() == 0)
        start = QByteArray(Header) + '\n';
    else if (lastByte == ',')
        start = QByteArray(CsvField(QString::fromLatin1(UnknownResult)).toUtf8()) + '\n';
    else if (lastByte != '\n')
        start = "\n";
    return start.isEmpty() || (Write(start) && Sync());
}

bool ReplyRecord::Begin(const RecordedReply& reply)
{
    return Write(LinePrefix(reply).toUtf8());
}

bool ReplyRecord::Finish(const QString& failure)
{
    return Write(CsvField(ResultText(failure)).toUtf8() + '\n');
}

bool ReplyRecord::Write(const QByteArray& bytes)
{
    if (file.write(bytes) != bytes.size()) {
        error = file.errorString();
        return false;
    }
    unsynced = true;
    return true;
}

bool ReplyRecord::Sync()
{
    if (!unsynced || !file.isOpen())
        return true;
    unsynced = false;
#ifdef _WIN32
    // The C runtime's _commit is FlushFileBuffers on the file's handle.
    const bool synced = _commit(file.handle()) == 0;
#else
    const bool synced = fsync(file.handle()) == 0;
#endif
    if (!synced)
        error = QString::fromLocal8Bit(std::strerror(errno));
    return synced;
}
