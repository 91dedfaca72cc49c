#include "plan/ReplyRecord.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>

namespace {

QString Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

RecordedReply Reply(std::uint8_t lastOctet, const char* kind)
{
    const HardwareAddress mac{0x02, 0x4B, 0x7E, 0x00, 0x00, lastOctet};
    // The transaction id as it came: bytes 5A 1C 00 07 on the wire.
    TransactionId xid = 0;
    const std::uint8_t wire[] = {0x5A, 0x1C, 0x00, lastOctet};
    std::memcpy(&xid, wire, sizeof xid);
    return {QDateTime(QDate(2026, 12, 9), QTime(16, 20, 1, 123), Qt::UTC), mac,
            UnitAddresses{0x0A4D0000u + lastOctet, 0xFFFFFF00, 0x0A4D0001}, QStringLiteral("vethT"), xid,
            QString::fromLatin1(kind)};
}

TEST(ReplyRecord, AppendsALinePerReplyAcrossRunsAndFinishesOneAKilledRunLeftOpen)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("record.csv");
    {
        ReplyRecord record;
        ASSERT_TRUE(record.Open(path)) << record.Error().toStdString();
        ASSERT_TRUE(record.Begin(Reply(7, "bootreply")));
        ASSERT_TRUE(record.Finish({}));
        ASSERT_TRUE(record.Begin(Reply(8, "dhcpack")));
        ASSERT_TRUE(record.Finish(QStringLiteral("by interface vethT: Network is unreachable, \"really\"")));
        // Killed as its next reply went out: the line is begun, never finished.
        ASSERT_TRUE(record.Begin(Reply(9, "dhcpoffer")));
    }
    ReplyRecord second;
    ASSERT_TRUE(second.Open(path));
    ASSERT_TRUE(second.Begin(Reply(10, "bootreply")));
    ASSERT_TRUE(second.Finish({}));
    ASSERT_TRUE(second.Sync());

    EXPECT_EQ(Contents(path).toStdString(),
              "time,mac,ip,mask,gateway,interface,xid,reply,result\n"
              "2026-12-09T16:20:01.123Z,02-4B-7E-00-00-07,10.77.0.7,255.255.255.0,10.77.0.1,vethT,5a1c0007,"
              "bootreply,sent\n"
              "2026-12-09T16:20:01.123Z,02-4B-7E-00-00-08,10.77.0.8,255.255.255.0,10.77.0.1,vethT,5a1c0008,"
              "dhcpack,\"failed: by interface vethT: Network is unreachable, \"\"really\"\"\"\n"
              "2026-12-09T16:20:01.123Z,02-4B-7E-00-00-09,10.77.0.9,255.255.255.0,10.77.0.1,vethT,5a1c0009,"
              "dhcpoffer,unknown: the program ended before it knew whether the reply went out\n"
              "2026-12-09T16:20:01.123Z,02-4B-7E-00-00-0A,10.77.0.10,255.255.255.0,10.77.0.1,vethT,5a1c000a,"
              "bootreply,sent\n");
}

TEST(ReplyRecord, RefusesAPathItCannotWriteAndSaysWhy)
{
    QTemporaryDir folder;
    ReplyRecord inMissingFolder;
    EXPECT_FALSE(inMissingFolder.Open(folder.filePath("missing/record.csv")));
    // Windows words the system's reasons its own way.
#ifndef Q_OS_WIN
    EXPECT_TRUE(inMissingFolder.Error().contains("No such file or directory", Qt::CaseInsensitive))
        << inMissingFolder.Error().toStdString();
#endif
    EXPECT_FALSE(inMissingFolder.Error().isEmpty());
    ReplyRecord aFolder;
    EXPECT_FALSE(aFolder.Open(folder.path()));
    EXPECT_FALSE(aFolder.Error().isEmpty());
}

} // namespace
