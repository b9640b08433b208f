#include "serial/TraceLog.h"

#include "common/TestEnv.h"

#include <QFile>
#include <gtest/gtest.h>
#include <cstdlib>

using namespace ulv;
using test::ReadAll;

namespace {

class TraceLogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("TZ", "UTC");
        tzset();
    }

    static void WriteSize(const QString& path, qint64 size)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(f.write(QByteArray(size, 'x')), size);
    }
};

} // namespace

TEST_F(TraceLogTest, LineBlanksLineBreaksExceptAtTheEnds)
{
    struct Case {
        QByteArray message;
        QByteArray line;
    } cases[] = {
        // A sent command with its CR LF and the format's own LF.
        {"AT+JSTKGI=1\r\n\n", "[Morvane]-[Thu Jan  1 00:00:00 1970 ] :AT+JSTKGI=1 \n\n"},
        {"a\rb\nc", "[Morvane]-[Thu Jan  1 00:00:00 1970 ] :a b\nc"}, // the last two stay
        {"", "[Morvane]-[Thu Jan  1 00:00:00 1970 ] :"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TraceLog::FormatLine(c.message, 0), c.line);
}

TEST_F(TraceLogTest, AppendsUpToOneMebibyteThenStartsAgain)
{
    TraceLog log;
    const QString path = ulv::test::TempHome() + "/trace.txt";
    log.SetFilePath(path);
    const QByteArray line = TraceLog::FormatLine("AT+JSTKRSP\r\n\n", 0);

    WriteSize(path, TraceLog::kMaxFileSize);
    log.Write("AT+JSTKRSP\r\n\n", 0);
    EXPECT_EQ(QFile(path).size(), TraceLog::kMaxFileSize + line.size());
    EXPECT_EQ(log.ByteCount(), 0);

    WriteSize(path, TraceLog::kMaxFileSize + 1);
    log.Write("AT+JSTKRSP\r\n\n", 0);
    EXPECT_EQ(ReadAll(path), line);
    EXPECT_EQ(log.ByteCount(), line.size());
}

TEST_F(TraceLogTest, WritesToTheDataFolderByDefault)
{
    TraceLog& log = GetTraceLog();
    EXPECT_EQ(&log, &GetTraceLog());
    EXPECT_EQ(log.FilePath(), ulv::test::TempHome() + "/data/morvane_log.txt");
    TraceLogPrintf(log, "%s%d\n", "AT+JSTKGI=", 7);
    EXPECT_TRUE(ReadAll(log.FilePath()).endsWith("] :AT+JSTKGI=7\n"));
    EXPECT_NE(log.LastStamp(), 0);
}

TEST_F(TraceLogTest, MessageIsCutAt512Characters)
{
    TraceLog log;
    const QString path = ulv::test::TempHome() + "/long.txt";
    log.SetFilePath(path);
    TraceLogPrintf(log, "%s", QByteArray(600, 'y').constData());
    const QByteArray text = ReadAll(path);
    EXPECT_TRUE(text.endsWith(":" + QByteArray(512, 'y')));
}

TEST_F(TraceLogTest, UnwritableFileIsIgnored)
{
    TraceLog log;
    log.SetFilePath(ulv::test::TempHome() + "/no/such/folder/log.txt");
    log.Write("x");
    EXPECT_FALSE(QFile::exists(log.FilePath()));
}
