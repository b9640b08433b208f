#include "shell/core/TerminalLogFile.h"
#include "common/SmallDisk.h"
#include "common/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <gtest/gtest.h>
#include <iostream>

using namespace ulv;

namespace {

struct LogRig {
    TerminalLogFile::Settings settings;
    QString lastName;
    QStringList boxes;
    QString pane;
    QDateTime now = QDateTime(QDate(2026, 12, 10), QTime(13, 0, 0));
    QString folder;

    explicit LogRig(const QString& name, const QString& in = {})
    {
        folder = in.isEmpty() ? test::TempHome() + "/" + name : in;
        if (in.isEmpty())
            QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        settings.logPath = folder;
        settings.prefix = "log";
        settings.sizeLimit = 50000;
    }
    TerminalLogFile Make()
    {
        return TerminalLogFile({
            [this] { return settings; },
            [this] { return lastName; },
            [this](const QString& n) { lastName = n; },
            [this](const QString& p) { pane = p; },
            [this](const QString& b) { boxes << b; },
            [this] { return now; },
        });
    }
    QByteArray Read(const QString& name)
    {
        QFile f(folder + "/" + name);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
};

} // namespace

TEST(TerminalLogFile, SamePrefixGoesOnInTheLastFileAnotherPrefixStartsANewOne)
{
    LogRig rig("prefix");
    rig.lastName = "log_20261209080000.txt";
    TerminalLogFile log = rig.Make();
    log.ChooseLogFile();
    EXPECT_EQ(log.Path(), rig.folder + "/log_20261209080000.txt");
    EXPECT_TRUE(QFile::exists(log.Path())) << "a deleted last file is created again";
    EXPECT_EQ(rig.pane, " Log file: " + log.Path());

    rig.settings.prefix = "bench";
    log.ChooseLogFile();
    EXPECT_EQ(log.Path(), rig.folder + "/bench_20261210130000.txt");
    EXPECT_EQ(rig.lastName, "bench_20261210130000.txt");
}

TEST(TerminalLogFile, RollsOverBeforeTheLimitWithoutEmptyingAnything)
{
    LogRig rig("roll");
    rig.lastName = "log_20261210120000.txt";
    TerminalLogFile log = rig.Make();
    log.ChooseLogFile();
    log.WriteLogFile(QByteArray(49990, 'a'));
    log.WriteLogFile(QByteArray(10, 'b'));
    EXPECT_EQ(rig.Read("log_20261210120000.txt").size(), 50000);

    log.WriteLogFile(QByteArray(20, 'c'));
    EXPECT_EQ(log.Path(), rig.folder + "/log_20261210130000.txt");
    EXPECT_EQ(rig.Read("log_20261210130000.txt"), QByteArray(20, 'c'));
    EXPECT_EQ(rig.lastName, "log_20261210130000.txt");

    // A second roll-over in the same second names the same file: it is not emptied.
    rig.settings.sizeLimit = 25;
    log.WriteLogFile(QByteArray(10, 'd'));
    EXPECT_EQ(rig.Read("log_20261210130000.txt"), QByteArray(20, 'c') + QByteArray(10, 'd'));
}

TEST(TerminalLogFile, AFolderThatCannotBeWrittenSwitchesLoggingOffOnce)
{
    LogRig rig("fail");
    rig.settings.logPath = "/proc/ulv-cannot-exist";
    rig.lastName = "log_20261210120000.txt";
    TerminalLogFile log = rig.Make();
    log.ChooseLogFile();
    log.WriteLogFile("more");
    EXPECT_EQ(rig.boxes, QStringList({"Fail to create the log file , system will not save log!"}));
    EXPECT_TRUE(log.Disabled());
    EXPECT_FALSE(log.Ready());
    EXPECT_TRUE(rig.pane.isEmpty());
}

TEST(TerminalLogFile, SaveLogOffWritesNothing)
{
    LogRig rig("off");
    rig.settings.saveLog = false;
    TerminalLogFile log = rig.Make();
    log.ChooseLogFile();
    log.WriteLogFile("text");
    EXPECT_TRUE(QDir(rig.folder).entryList(QDir::Files).isEmpty());
}

TEST(TerminalLogFile, AFullDiskIsReportedOnceAndTheLogGoesOnWithNothingLostWhenThereIsRoomAgain)
{
    test::SmallDisk disk("fulllog");
    std::cout << "full disk by " << disk.How().toStdString() << std::endl;
    LogRig rig("fulllog", disk.Path());
    rig.lastName = "log_20261210120000.txt";
    rig.settings.sizeLimit = 1 << 30;
    TerminalLogFile log = rig.Make();
    log.ChooseLogFile();
    const QString path = log.Path();
    QByteArray expected = "before the disk filled\r\n";
    log.WriteLogFile(expected);

    disk.Fill();
    for (int i = 0; i < 300; ++i) {
        const QByteArray line = "line " + QByteArray::number(i) + " written while the disk is full\r\n";
        log.WriteLogFile(line);
        expected += line;
    }
    EXPECT_TRUE(log.Failing());
    ASSERT_EQ(rig.boxes.size(), 1) << rig.boxes.join("\n").toStdString();
    EXPECT_TRUE(rig.boxes[0].startsWith("Fail to write the log file " + path)) << rig.boxes[0].toStdString();
    EXPECT_TRUE(rig.pane.startsWith(" Log file: " + path + " (not written: ")) << rig.pane.toStdString();

    disk.Free();
    log.WriteLogFile("after the disk had room again\r\n");
    expected += "after the disk had room again\r\n";
    EXPECT_FALSE(log.Failing());
    EXPECT_EQ(rig.pane, " Log file: " + path);
    EXPECT_EQ(log.Path(), path);
    EXPECT_EQ(test::ReadAll(path), expected);
    EXPECT_EQ(rig.boxes.size(), 1);
}

TEST(TerminalLogFile, TextBeyondTheHeldLimitIsNotedInTheLogWhereItIsMissing)
{
    test::SmallDisk disk("overflowlog", 2048);
    LogRig rig("overflowlog", disk.Path());
    rig.lastName = "log_20261210120000.txt";
    rig.settings.sizeLimit = qint64(1) << 40;
    TerminalLogFile log = rig.Make();
    log.ChooseLogFile();
    disk.Fill();
    const QByteArray held(TerminalLogFile::kMaxUnwritten, 'h');
    log.WriteLogFile(held);
    log.WriteLogFile(QByteArray(1000, 'x'));
    disk.Free();
    log.WriteLogFile("resumed\r\n");
    EXPECT_EQ(test::ReadAll(log.Path()),
        held + "\r\n[1000 bytes of terminal text are missing here: the log could not be written]\r\nresumed\r\n");
}
