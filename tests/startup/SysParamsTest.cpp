#include "shell/core/SysParams.h"
#include "common/TestEnv.h"
#include "platform/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace ulv;

namespace {

QString WriteAt(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(content);
    return path;
}

QString WriteFile(const QString& name, const QByteArray& content)
{
    return WriteAt(test::TempHome() + "/" + name, content);
}

using test::ReadAll;

} // namespace

TEST(SysParams, MissingFileGivesEveryDefault)
{
    const SysParamFile f = ReadSysParams(test::TempHome() + "/no-such-sysparam.ini");
    const SysParams& p = f.params;
    EXPECT_EQ(p.SentColor(), 0x0000FFu);
    EXPECT_EQ(p.ReceivedColor(), 0xFF0000u);
    EXPECT_EQ(p.BackgroundColor(), 0xFFFFFFu);
    EXPECT_EQ(p.LeftBarColor(), 66u | (92u << 8) | (132u << 16));
    EXPECT_EQ(p.portbuffer, 2048);
    EXPECT_EQ(p.showmaximized, 0);
    EXPECT_EQ(p.nwidth, 950);
    EXPECT_EQ(p.nheight, 800);
    EXPECT_EQ(p.showsenddata + p.showreceivedata + p.showleftview + p.showtime + p.useoldmcu + p.showCRLF
            + p.UseGoogleMap + p.savelog,
        0);
    EXPECT_EQ(p.WithEnter, 1);
    EXPECT_EQ(p.logpath, "");
    EXPECT_EQ(p.logname_prefix, "moduletest");
    EXPECT_EQ(p.logfilesize_limited, 50000);
    EXPECT_EQ(f.nmeaFilter, "NMEA");
    EXPECT_EQ(f.widthMidView, 0) << "nothing stored: the pages choose";
}

TEST(SysParams, EveryKeyIsReadFromItsSection)
{
    const QString path = WriteFile("full.ini",
        "[commSRdata]\r\nSdataColor_r=1\r\nSdataColor_g=2\r\nSdataColor_b=3\r\n"
        "RdataColor_r=4\r\nRdataColor_g=5\r\nRdataColor_b=6\r\nsrbkColor_r=7\r\nsrbkColor_g=8\r\n"
        "srbkColor_b=9\r\nportbuffer=4096\r\nshowsenddata=1\r\nshowreceivedata=1\r\nshowtime=1\r\n"
        "[leftcontrolbar]\r\nleftbarColor_r=10\r\nleftbarColor_g=11\r\nleftbarColor_b=12\r\n"
        "[sysparam]\r\nshowmaximized=1\r\nnwidth=1280\r\nnheight=900\r\nsavelog=1\r\n"
        "logpath=/tmp/logs\r\nlogname_prefix=bench\r\nlogfilesize_limited=123456\r\nwidth_midview=520\r\n"
        "[startset]\r\nshowleftview=1\r\n"
        "[function]\r\nuseoldmcu=1\r\nshowCRLF=1\r\nGoogleMap=1\r\nWithEnter=0\r\nnmea_filter=GPS Port\r\n");
    const SysParamFile f = ReadSysParams(path);
    const SysParams& p = f.params;
    EXPECT_EQ(p.SentColor(), 1u | (2u << 8) | (3u << 16));
    EXPECT_EQ(p.ReceivedColor(), 4u | (5u << 8) | (6u << 16));
    EXPECT_EQ(p.BackgroundColor(), 7u | (8u << 8) | (9u << 16));
    EXPECT_EQ(p.LeftBarColor(), 10u | (11u << 8) | (12u << 16));
    EXPECT_EQ(p.portbuffer, 4096);
    EXPECT_EQ(p.showsenddata, 1);
    EXPECT_EQ(p.showreceivedata, 1);
    EXPECT_EQ(p.showtime, 1);
    EXPECT_EQ(p.showmaximized, 1);
    EXPECT_EQ(p.nwidth, 1280);
    EXPECT_EQ(p.nheight, 900);
    EXPECT_EQ(p.savelog, 1);
    EXPECT_EQ(p.logpath, "/tmp/logs");
    EXPECT_EQ(p.logname_prefix, "bench");
    EXPECT_EQ(p.logfilesize_limited, 123456);
    EXPECT_EQ(p.showleftview, 1);
    EXPECT_EQ(p.useoldmcu, 1);
    EXPECT_EQ(p.showCRLF, 1);
    EXPECT_EQ(p.UseGoogleMap, 1);
    EXPECT_EQ(p.WithEnter, 0);
    EXPECT_EQ(f.nmeaFilter, "GPS Port");
    EXPECT_EQ(f.widthMidView, 520);
}

TEST(SysParams, BadNumbersReadAsTheCLibraryWould)
{
    struct Case {
        const char* text;
        int portbuffer;
        int nwidth;
    };
    const Case cases[] = {
        {"0", 2048, 0},
        {"-5", 2048, -5},
        {"abc", 2048, 0},
        {"", 2048, 0},
        {" 1024 ", 1024, 1024},
        {"512k", 512, 512},
        {"99999999999", 2147483647, 2147483647},
    };
    for (const Case& c : cases) {
        const QString path = WriteFile("bad.ini",
            QByteArray("[commSRdata]\nportbuffer=") + c.text + "\n[sysparam]\nnwidth=" + c.text + "\n");
        const SysParams p = ReadSysParams(path).params;
        EXPECT_EQ(p.portbuffer, c.portbuffer) << c.text;
        EXPECT_EQ(p.nwidth, c.nwidth) << c.text;
    }
}

TEST(SysParams, EmptyNmeaFilterReadsAsNmea)
{
    const QString path = WriteFile("nmea.ini", "[function]\nnmea_filter=\n");
    EXPECT_EQ(ReadSysParams(path).nmeaFilter, "NMEA");
}

TEST(SysParams, SaveOfAFreshFileWritesTheDialogKeysInTheirOrder)
{
    const QString path = test::TempHome() + "/fresh-sysparam.ini";
    QFile::remove(path);
    SysParams p;
    p.SetSentColor(0x030201);
    p.logpath = "/home/u/logs";
    p.logfilesize_limited = 70000;
    ASSERT_TRUE(SaveSysParams(p, path));
    EXPECT_EQ(ReadAll(path),
        "[commSRdata]\r\nSdataColor_r=1\r\nSdataColor_g=2\r\nSdataColor_b=3\r\n"
        "RdataColor_r=0\r\nRdataColor_g=0\r\nRdataColor_b=255\r\nportbuffer=2048\r\n"
        "srbkColor_r=255\r\nsrbkColor_g=255\r\nsrbkColor_b=255\r\n"
        "showsenddata=0\r\nshowreceivedata=0\r\nshowtime=0\r\n"
        "[leftcontrolbar]\r\nleftbarColor_r=66\r\nleftbarColor_g=92\r\nleftbarColor_b=132\r\n"
        "[startset]\r\nshowleftview=0\r\n"
        "[function]\r\nuseoldmcu=0\r\nshowCRLF=0\r\n"
        "[sysparam]\r\nshowmaximized=0\r\nnwidth=950\r\nnheight=800\r\nsavelog=0\r\n"
        "logpath=/home/u/logs\r\nlogname_prefix=moduletest\r\nlogfilesize_limited=70000\r\n");
    EXPECT_EQ(ReadSysParams(path).params, p);
}

TEST(SysParams, SaveLeavesTheOtherWritersKeysAndUnknownLinesAlone)
{
    const QString path = WriteFile("kept.ini",
        "; bench PC settings\n[function]\nGoogleMap=1\nWithEnter=0\nnmea_filter=GPS\nextra=keep me\n"
        "[sysparam]\nwidth_midview=612\nnwidth=1000\n[other]\nx=1\n");
    SysParams p = ReadSysParams(path).params;
    p.nwidth = 1200;
    p.UseGoogleMap = 0; // not the dialog's key: must not be written
    p.WithEnter = 1;
    ASSERT_TRUE(SaveSysParams(p, path));
    const IniFile ini(path);
    EXPECT_EQ(ini.GetString("function", "GoogleMap"), "1");
    EXPECT_EQ(ini.GetString("function", "WithEnter"), "0");
    EXPECT_EQ(ini.GetString("function", "nmea_filter"), "GPS");
    EXPECT_EQ(ini.GetString("function", "extra"), "keep me");
    EXPECT_EQ(ini.GetString("sysparam", "width_midview"), "612");
    EXPECT_EQ(ini.GetString("sysparam", "nwidth"), "1200");
    EXPECT_EQ(ini.GetString("other", "x"), "1");
    EXPECT_TRUE(ReadAll(path).startsWith("; bench PC settings\r\n[function]\r\nGoogleMap=1\r\n"));
}

TEST(SysParams, SaveReportsAFileThatCannotBeWritten)
{
    const QString blocker = WriteFile("not-a-folder", "x");
    EXPECT_FALSE(SaveSysParams(SysParams{}, blocker + "/sysparam.ini"));
}

TEST(SysParams, SingleKeyWritersTouchOnlyTheirKey)
{
    const QString path = SysParamIniPath();
    WriteAt(SysParamIniPath(), "[sysparam]\nnwidth=1111\n");
    ASSERT_TRUE(SaveWidthMidView(333));
    ASSERT_TRUE(SaveUseGoogleMap(1));
    ASSERT_TRUE(SaveWithEnter(0));
    const SysParamFile f = ReadSysParams(path);
    EXPECT_EQ(f.widthMidView, 333);
    EXPECT_EQ(f.params.UseGoogleMap, 1);
    EXPECT_EQ(f.params.WithEnter, 0);
    EXPECT_EQ(f.params.nwidth, 1111);
}

TEST(SysParams, LoadFillsTheProgramsRecord)
{
    WriteAt(SysParamIniPath(), "[commSRdata]\nshowtime=1\n[sysparam]\nlogname_prefix=\"quoted name\"\n");
    g_sysParams = SysParams{};
    const SysParamFile f = LoadSysParams();
    EXPECT_EQ(g_sysParams.showtime, 1);
    EXPECT_EQ(g_sysParams.logname_prefix, "quoted name");
    EXPECT_EQ(f.params, g_sysParams);
}
