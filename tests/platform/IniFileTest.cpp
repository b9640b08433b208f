#include "platform/IniFile.h"
#include "platform/MessageBox.h"
#include "common/SmallDisk.h"
#include "common/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <gtest/gtest.h>
#include <iostream>

using namespace ulv;

namespace {

QString WriteFile(const QString& name, const QByteArray& bytes)
{
    const QString path = ulv::test::TempHome() + "/" + name;
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
    return path;
}

using test::ReadAll;

} // namespace

TEST(IniFile, ReadsWithWindowsProfileRules)
{
    const QString path = WriteFile("read.ini",
        "; leading comment\r\n"
        "[CommPort]\r\n"
        "Port = /dev/ttyUSB2 \r\n"
        "name=\"quoted value\"\r\n"
        "inner=a\"b\"c\n"
        "empty=\n"
        "[other]\n"
        "x=1\n");
    IniFile ini(path);
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"commport", "port", "/dev/ttyUSB2"},
        {"COMMPORT", "NAME", "quoted value"},
        {"commport", "inner", "a\"b\"c"},
        {"commport", "empty", ""},
        {"commport", "missing", "<def>"},
        {"nosection", "x", "<def>"},
        {"other", "x", "1"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ini.GetString(c.section, c.key, "<def>"), c.expected) << c.section << "/" << c.key;
    EXPECT_EQ(ini.Sections(), (QStringList{"CommPort", "other"}));
}

TEST(IniFile, GetIntFollowsGetPrivateProfileInt)
{
    const QString path = WriteFile("int.ini",
        "[s]\nplain=115200\nneg=-5\nword=abc\nlead=12abc\nhuge=99999999999999\nblank=\n");
    IniFile ini(path);
    EXPECT_EQ(ini.GetInt("s", "plain", 7), 115200);
    EXPECT_EQ(ini.GetInt("s", "neg", 7), -5);
    EXPECT_EQ(ini.GetInt("s", "word", 7), 0);
    EXPECT_EQ(ini.GetInt("s", "lead", 7), 12);
    EXPECT_EQ(ini.GetInt("s", "huge", 7), INT_MAX);
    EXPECT_EQ(ini.GetInt("s", "blank", 7), 0);
    EXPECT_EQ(ini.GetInt("s", "missing", 7), 7);
}

TEST(IniFile, WritesKeepUnknownLinesAndOrder)
{
    const QString path = WriteFile("write.ini",
        "; keep me\n[a]\nfirst=1\nunknown line\nsecond=2\n\n[b]\nz=9\n");
    ASSERT_TRUE(IniWriteString(path, "A", "SECOND", "22"));
    ASSERT_TRUE(IniWriteString(path, "a", "third", "3"));
    ASSERT_TRUE(IniWriteString(path, "c", "new", "x y"));
    EXPECT_EQ(ReadAll(path),
        "; keep me\r\n[a]\r\nfirst=1\r\nunknown line\r\nSECOND=22\r\nthird=3\r\n\r\n[b]\r\nz=9\r\n[c]\r\nnew=x y\r\n");
    ASSERT_TRUE(IniDeleteSection(path, "B"));
    ASSERT_TRUE(IniDeleteKey(path, "a", "first"));
    EXPECT_EQ(IniSections(path), (QStringList{"a", "c"}));
    EXPECT_EQ(IniGetString(path, "a", "first", "gone"), "gone");
}

TEST(IniFile, MissingFileGivesDefaultsAndIsCreatedOnWrite)
{
    const QString path = ulv::test::TempHome() + "/absent.ini";
    QFile::remove(path);
    EXPECT_EQ(IniGetInt(path, "commport", "baud", 115200), 115200);
    ASSERT_TRUE(IniWriteInt(path, "commport", "baud", 9600));
    EXPECT_EQ(ReadAll(path), "[commport]\r\nbaud=9600\r\n");
}

TEST(IniFile, UnwritableFileReportsFailure)
{
    EXPECT_FALSE(IniWriteString("/proc/ulv-no-such-dir/x.ini", "s", "k", "v"));
}

TEST(IniFile, AFileThatCannotBeReadIsNeverReplaced)
{
    // A socket is there but opens for nobody, not even root.
    const QString path = ulv::test::TempHome() + "/unreadable.ini";
    QFile::remove(path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path);
    ASSERT_LT(size_t(native.size()), sizeof(addr.sun_path));
    std::memcpy(addr.sun_path, native.constData(), size_t(native.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);

    EXPECT_FALSE(IniWriteString(path, "s", "k", "v"));
    EXPECT_FALSE(QFileInfo(path).isFile()) << "the socket was replaced by a file";
    ::close(fd);
    QFile::remove(path);
}

TEST(IniFile, AFullDiskKeepsTheOldFileWholeAndTellsTheUser)
{
    test::SmallDisk disk("fullini");
    std::cout << "full disk by " << disk.How().toStdString() << std::endl;
    const QString path = disk.Path() + "/param_tcpip.ini";
    const QByteArray old = "[TCPIP]\r\ndata_1=192\r\n";
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(old), old.size());
    }
    MessageBoxRecorder boxes;
    IniFile ini(path);
    for (int i = 0; i < 200; ++i)
        ini.SetString("APN", QString("key%1").arg(i), QString(40, 'v'));
    disk.Fill();
    EXPECT_FALSE(ini.Save());
    disk.Free();
    EXPECT_EQ(ReadAll(path), old);
    EXPECT_EQ(QDir(disk.Path()).entryList(QDir::Files), QStringList{"param_tcpip.ini"}) << "a temporary file was left";
    ASSERT_EQ(boxes.Texts().size(), 1);
    EXPECT_TRUE(boxes.Texts()[0].startsWith("Cannot write the file " + path + " (")) << boxes.Texts()[0].toStdString();
    EXPECT_FALSE(ini.SaveError().isEmpty());

    // With room again the same save goes through.
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(IniGetString(path, "APN", "key199"), QString(40, 'v'));
    EXPECT_EQ(IniGetString(path, "TCPIP", "data_1"), "192");
}

TEST(IniFile, BytesThatAreNotUtf8ReadAsLatin1AndAreWrittenBackUnchanged)
{
    const QByteArray original = "[1]\r\nCMD=AT+CMGS=\"caf\xE9\"\r\nnote=\xFC\xA9 and \xC3\xA9\r\n"
                                "quoted=\" \xE9 \"\r\n[2]\r\nCMD=AT\r\n";
    const QString path = WriteFile("latin1.ini", original);
    IniFile ini(path);
    struct Case {
        const char* key;
        QString text;
        QByteArray bytes;
    } cases[] = {
        {"CMD", QString::fromUtf8("AT+CMGS=\"caf\xC3\xA9\""), "AT+CMGS=\"caf\xE9\""},
        {"note", QString::fromUtf8("\xC3\xBC\xC2\xA9 and \xC3\xA9"), "\xFC\xA9 and \xC3\xA9"},
        {"quoted", QString::fromUtf8(" \xC3\xA9 "), " \xE9 "},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ini.GetString("1", c.key), c.text) << c.key;
        EXPECT_EQ(ini.GetBytes("1", c.key), c.bytes) << c.key;
    }
    // Setting a value to what it reads as, or another key, leaves those bytes be.
    ini.SetString("1", "CMD", ini.GetString("1", "CMD"));
    ini.SetString("2", "CMD", "AT+CSQ");
    ASSERT_TRUE(ini.Save());
    QByteArray expected = original;
    expected.replace("[2]\r\nCMD=AT\r\n", "[2]\r\nCMD=AT+CSQ\r\n");
    EXPECT_EQ(ReadAll(path), expected);

    ini.SetBytes("2", "raw", "\xE9\xFF");
    ASSERT_TRUE(ini.Save());
    EXPECT_TRUE(ReadAll(path).endsWith("raw=\xE9\xFF\r\n"));
}
