#include "atlib/core/ScriptFile.h"

#include "platform/DataFolder.h"
#include "platform/IniFile.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace ulv;

namespace {

QString TempPath(const char* name)
{
    const QString path = DataFolder() + "/" + name;
    QFile::remove(path);
    return path;
}

void WriteText(const QString& path, const QByteArray& text)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

} // namespace

TEST(ScriptFile, AwkwardTextsReadBackExactlyAsWritten)
{
    const QString path = TempPath("awkward.ini");
    const char* const texts[] = {
        "AT+CMGS=\"123\",145",
        "\"quoted whole\"",
        "AT+X=1;+Y=2",
        "[not a section]",
        "; not a comment",
        "  leading and trailing  ",
        "a=b=c",
        "\"",
        "",
    };
    ScriptFileRows rows;
    int r = 0;
    for (const char* t : texts) {
        rows[size_t(r)] = {"1", t, "0", "1", "250", t, {}};
        ++r;
    }
    ASSERT_TRUE(WriteScriptFile(path, rows));
    const ScriptFileRows back = ReadScriptFile(path);
    for (int i = 0; i < r; ++i) {
        EXPECT_EQ(back[size_t(i)].command, QString(texts[i]));
        EXPECT_EQ(back[size_t(i)].compare, QString(texts[i]));
    }
    EXPECT_EQ(back, rows);
}

TEST(ScriptFile, SaveWritesAllSevenKeysOfAllTwentySectionsErrorsEmpty)
{
    const QString path = TempPath("all.ini");
    ScriptFileRows rows;
    rows[3].errors = "never written";
    ASSERT_TRUE(WriteScriptFile(path, rows));
    IniFile ini(path);
    ASSERT_TRUE(ini.Load());
    QStringList expected;
    for (int s = 1; s <= 20; ++s)
        expected << QString::number(s);
    EXPECT_EQ(ini.Sections(), expected);
    for (const QString& s : expected) {
        EXPECT_EQ(ini.Keys(s), QStringList({"Cho", "CMD", "HEX", "Enter", "Delay", "Compare", "Errors"})) << s.toStdString();
        EXPECT_EQ(ini.GetString(s, "Errors", "x"), "");
    }
}

TEST(ScriptFile, MissingKeysAndFilesGiveTheDefaults)
{
    const QString path = TempPath("partial.ini");
    WriteText(path, "[7]\r\nCho=1\r\nCMD=ATI\r\n[8]\r\nDelay=\r\nEnter=0\r\n");
    const ScriptFileRows rows = ReadScriptFile(path);
    const ScriptRow seven{"1", "ATI", "0", "1", "500", "", ""};
    EXPECT_EQ(rows[6], seven);
    EXPECT_EQ(rows[7].delay, "") << "a key that is there, even empty, is read";
    EXPECT_EQ(rows[7].enter, "0");
    EXPECT_EQ(rows[0], ScriptRow());

    const ScriptFileRows none = ReadScriptFile(TempPath("missing.ini"));
    for (const ScriptRow& row : none)
        EXPECT_EQ(row, ScriptRow());
    EXPECT_EQ(ScriptRow().delay, "500");
    EXPECT_EQ(ScriptRow().enter, "1");
}

TEST(ScriptFile, FileThatCannotBeWrittenIsReported)
{
    const QString folder = DataFolder() + "/no/such/folder/x.ini";
    EXPECT_FALSE(WriteScriptFile(folder, ScriptFileRows()));
    const QString dir = TempPath("a-folder.ini");
    ASSERT_TRUE(QDir().mkpath(dir));
    EXPECT_FALSE(WriteScriptFile(dir, ScriptFileRows()));
}

TEST(ScriptFile, OtherContentsOfTheFileAreKept)
{
    const QString path = TempPath("mine.ini");
    WriteText(path, "; my notes\r\n[mine]\r\nkey=value\r\n");
    ASSERT_TRUE(WriteScriptFile(path, ScriptFileRows()));
    EXPECT_EQ(IniGetString(path, "mine", "key"), "value");
}
