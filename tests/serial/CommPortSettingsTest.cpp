#include "serial/CommPortSettings.h"
#include "common/TestEnv.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace ulv;

TEST(CommPortSettings, MissingFileGivesTheDefaults)
{
    const CommPortSettings s = ReadCommPortSettings(test::TempHome() + "/none.ini");
    EXPECT_FALSE(s.HasPort());
    EXPECT_EQ(s.baud, 115200);
    EXPECT_EQ(s.dataBits, 8);
    EXPECT_EQ(s.stopBits, 1);
    EXPECT_EQ(s.parity, 0);
    EXPECT_EQ(s.flowCtrl, 0);
}

TEST(CommPortSettings, SaveWritesTheSixKeysAsDecimalTextAndReadsBack)
{
    const QString path = test::TempHome() + "/commport.ini";
    CommPortSettings s;
    s.port = "/dev/ttyUSB2";
    s.baud = 921600;
    s.dataBits = 7;
    s.stopBits = 2;
    s.parity = 2;
    s.flowCtrl = 1;
    ASSERT_TRUE(SaveCommPortSettings(s, path));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(),
        "[commport]\r\nport=/dev/ttyUSB2\r\nbautrate=921600\r\ndatabits=7\r\nstopbits=2\r\nverifymode=2\r\nflowctrl=1\r\n");
    EXPECT_EQ(ReadCommPortSettings(path), s);
}

TEST(CommPortSettings, OldAndOddValuesRead)
{
    const QString path = test::TempHome() + "/odd.ini";
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[CommPort]\nport=-1\nbautrate=abc\ndatabits= 7 \n");
    f.close();
    const CommPortSettings s = ReadCommPortSettings(path);
    EXPECT_FALSE(s.HasPort());
    EXPECT_EQ(s.baud, 0);
    EXPECT_EQ(s.dataBits, 7);
    EXPECT_EQ(s.stopBits, 1);
}
