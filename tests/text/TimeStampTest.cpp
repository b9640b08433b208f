#include "core/text/TimeStamp.h"

#include <gtest/gtest.h>

using namespace ulv;

TEST(TimeStamp, FormatsTheThreeStamps)
{
    const QDateTime when(QDate(2026, 1, 2), QTime(3, 4, 5, 6));
    EXPECT_EQ(MakeTimeStamp(when), "[2026-01-02 03:04:05:006] ");
    EXPECT_EQ(MakeSendRecvTimeStamp(0, when), "[2026-01-02 03:04:05:006_S:] ");
    EXPECT_EQ(MakeSendRecvTimeStamp(1, when), "[2026-01-02 03:04:05:006_R:] ");
    EXPECT_EQ(MakeFileTimeStamp(when), "20260102030405");
    for (int direction : {2, -1, 100})
        EXPECT_EQ(MakeSendRecvTimeStamp(direction, when), QString()) << direction;
}

TEST(TimeStamp, CurrentTimeStampsHaveTheirFixedLengths)
{
    const QString stamp = MakeTimeStamp();
    EXPECT_EQ(stamp.size(), 26);
    EXPECT_TRUE(stamp.startsWith('[') && stamp.endsWith("] "));
    EXPECT_EQ(MakeSendRecvTimeStamp(0).size(), 29);
    EXPECT_EQ(MakeSendRecvTimeStamp(1).mid(24), "_R:] ");
    EXPECT_EQ(MakeSendRecvTimeStamp(2), QString());
    const QString file = MakeFileTimeStamp();
    EXPECT_EQ(file.size(), 14);
    EXPECT_TRUE(std::all_of(file.begin(), file.end(), [](QChar c) { return c.isDigit(); }));
}
