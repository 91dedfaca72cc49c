#pragma once

#include "core/BootpMessage.h"
#include "core/UnitAnswer.h"

#include <QDateTime>
#include <QFile>
#include <QString>

// What the record says of one reply.
struct RecordedReply {
    QDateTime time;
    HardwareAddress mac{};
    UnitAddresses addresses;
    // The interface it leaves by: the one the request came in on.
    QString interfaceName;
    TransactionId transactionId = 0;
    // "bootreply", "dhcpoffer" or "dhcpack".
    QString kind;
};

// A CSV file with one line for each reply sent: time (ISO 8601, UTC), MAC,
// IP address, mask, gateway, interface, transaction id (its bytes in hex, as
// on the wire), kind of reply, and "sent" or "failed: " and why. Lines are
// only ever appended, never rewritten.
class ReplyRecord {
public:
    static constexpr const char* Header = "time,mac,ip,mask,gateway,interface,xid,reply,result";
    // What a line left unfinished by an earlier run is finished with.
    static constexpr const char* UnknownResult = "unknown: the program ended before it knew whether the reply went out";

    ReplyRecord() = default;
    ReplyRecord(const ReplyRecord&) = delete;
    ReplyRecord& operator=(const ReplyRecord&) = delete;
    ~ReplyRecord();

    // Opens `path` for appending: a new or empty file starts with the header,
    // and a line an earlier run left unfinished is finished first. False when
    // the file cannot be written, with Error() saying why.
    bool Open(const QString& path);
    QString Error() const { return error; }

    // Writes the reply's line up to its result, before the reply goes out:
    // a reply that went out then has its line even when the program is
    // killed before it learns the outcome.
    bool Begin(const RecordedReply& reply);
    // Ends the line: "sent" when `failure` is empty, else "failed: " and it.
    bool Finish(const QString& failure);
    // Makes everything written so far durable: the system's buffers go to
    // the disk (fsync; FlushFileBuffers on Windows).
    bool Sync();

private:
    bool Write(const QByteArray& bytes);

    QFile file;
    QString error;
    bool unsynced = false;
};
