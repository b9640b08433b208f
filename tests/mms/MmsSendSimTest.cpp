#include "SessionSim.h"

#include "core/at/WaitClock.h"
#include "pages/data/core/MmsScripts.h"
#include "platform/MessageBox.h"
#include "sim/MmsState.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include "common/CommandsAtBox.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>

#include <unistd.h>

using namespace ulv;
using namespace std::chrono_literals;

namespace {

using Commands = std::vector<std::string>;

Commands operator+(Commands a, const Commands& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A picture-like file: every byte value, with the bytes a serial link or a
// framing layer could take for something else (Ctrl-Z, the PPP flag, CR LF,
// a line that reads "OK") among them.
QByteArray BinaryContent()
{
    static const char head[] = "\x1a\x7e\r\n\r\nOK\r\n+JFUPL: 1,1\r\n\x00\x1b";
    QByteArray data(head, sizeof(head) - 1);
    for (int i = 0; data.size() < 3000; ++i)
        data.append(char(i * 7 % 256));
    return data;
}

const QByteArray kText = "Hello MMS\r\n";

class MmsSendSim : public test::SessionSim {
public:
    // The cases' tables reach the module through these.
    using sim::SimFixture::AddFault;
    using sim::SimFixture::sim;
    using sim::SimFixture::WaitForCommand;

protected:
    void SetUp() override
    {
        test::SessionSim::SetUp();
        ASSERT_TRUE(dir.isValid());
        textFile = Write("note.txt", kText);
        binaryFile = Write("pic.bin", BinaryContent());
        Begin();
    }
    void TearDown() override
    {
        SetWaitClockSpeed(1);
        test::SessionSim::TearDown();
    }
    // A fresh module and session.
    void Begin()
    {
        Restart(sim::Family::Umts);
        ASSERT_TRUE(Open());
        boxes.Clear();
        positions.clear();
        captions.clear();
    }
    QString Write(const char* name, const QByteArray& data)
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
        return path;
    }
    MmsSendInput Input() const
    {
        MmsSendInput in;
        in.apn = "uniwap";
        in.user = "u";
        in.password = "p";
        in.phone = "13800000000";
        in.cc = "cc@test.example";
        in.bcc = "bcc@test.example";
        in.mmscUrl = "http://mmsc.test/mms";
        in.proxy = "10.0.0.172";
        in.port = "80";
        in.title = "4D4D53";
        in.titleCharset = "ASCII";
        in.file1 = textFile;
        in.textCharset = "UTF8";
        in.file2 = binaryFile;
        return in;
    }
    // Runs the send on a worker; `during` runs on this thread meanwhile.
    bool Send(const MmsSendInput& in, const std::function<void()>& during = {})
    {
        auto done = std::make_shared<std::atomic<bool>>(false);
        auto sent = std::make_shared<std::atomic<bool>>(false);
        const MmsProgress progress = [this](int position, const std::optional<QString>& caption) {
            std::lock_guard lock(progressLock);
            positions.push_back(position);
            if (caption)
                captions.emplace_back(position, *caption);
        };
        ModemSession& s = *session;
        const bool started = s.Workers().Start([&s, in, progress, done, sent](TaskGate::Token& t) {
            *sent = MmsSendThread(s, t, in, progress);
            *done = true;
        });
        EXPECT_TRUE(started);
        if (during)
            during();
        EXPECT_TRUE(Until([&] { return done->load() && !s.Gate().Running(); }, 60000));
        return sent->load();
    }
    sim::MmsState Mms()
    {
        sim::MmsState copy;
        sim().With([&](sim::ModemEngine& e) { copy = e.Mms(); });
        return copy;
    }
    // Lets the wait clock run fast from the moment the module gets `command`
    // (whose time-out the test waits out) until it gets `until`.
    void FastWaitFrom(const std::string& command, const std::string& until)
    {
        ASSERT_TRUE(WaitForCommand(command, 30s)) << command;
        SetWaitClockSpeed(1000);
        session->WakeWaiters();
        EXPECT_TRUE(WaitForCommand(until, 30s)) << until;
        SetWaitClockSpeed(1);
    }

    static Commands Checks()
    {
        return {"ATE1", "AT+CPIN?", "AT+CIMI", "AT+CSQ", "AT+CREG?", "AT+CGREG?", "AT+COPS?"};
    }
    static Commands Context()
    {
        return {"AT+JICSGP=1,1,\"uniwap\",\"u\",\"p\",1", "AT+JIACT=1", "AT+JMMSCFG=\"contextid\",1"};
    }
    static Commands Settings()
    {
        return {"AT+JMMSCFG=\"mmsc\",\"http://mmsc.test/mms\"", "AT+JMMSCFG=\"proxy\",\"10.0.0.172\",80",
            "AT+JMMSCFG=\"sendparam\",6,2,0,0,0,4"};
    }
    static Commands Recipients()
    {
        return {"AT+JMMSEDIT=1,1,\"13800000000\"", "AT+JMMSEDIT=2,1,\"cc@test.example\"",
            "AT+JMMSEDIT=3,1,\"bcc@test.example\""};
    }
    static Commands Title() { return {"AT+JMMSCFG=\"character\",\"ASCII\"", "AT+JMMSEDIT=4,1,\"4D4D53\""}; }
    static Commands Upload1() { return {"AT+JFUPL=\"RAM:note.txt\",11,300,1"}; }
    static Commands Attach1() { return {"AT+JMMSCFG=\"character\",\"UTF8\"", "AT+JMMSEDIT=5,1,\"RAM:note.txt\""}; }
    static Commands Upload2() { return {"AT+JFUPL=\"RAM:pic.bin\",3000,300,1"}; }
    static Commands Attach2() { return {"AT+JMMSEDIT=5,1,\"RAM:pic.bin\""}; }
    static Commands Composed() { return Checks() + Context() + Settings() + Recipients() + Title(); }
    static Commands Sending() { return {"AT+JMMSEND=150"}; }
    static Commands CleanUp(bool file1, bool file2, bool deactivate)
    {
        Commands c;
        if (file1)
            c.push_back("AT+JFDEL=\"RAM:note.txt\"");
        if (file2)
            c.push_back("AT+JFDEL=\"RAM:pic.bin\"");
        c.push_back("AT+JMMSEDIT=5,0");
        if (deactivate)
            c.push_back("AT+JIDEACT=1");
        return c;
    }

    QTemporaryDir dir;
    QString textFile;
    QString binaryFile;
    MessageBoxRecorder boxes;
    std::mutex progressLock;
    std::vector<int> positions;
    std::vector<std::pair<int, QString>> captions;
};

} // namespace

TEST_F(MmsSendSim, SendRunsEveryStepInOrderAndTheFilesArriveByteForByte)
{
    EXPECT_TRUE(Send(Input()));
    EXPECT_EQ(sim().Commands(),
        Composed() + Upload1() + Attach1() + Upload2() + Attach2() + Sending() + Commands {"AT+JMMSEDIT=0"}
            + CleanUp(true, true, true));
    EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join('|').toStdString();

    const sim::MmsState mms = Mms();
    ASSERT_EQ(mms.sent.size(), 1u);
    const sim::SentMms& sent = mms.sent[0];
    EXPECT_EQ(sent.message.to, std::vector<std::string>({"13800000000"}));
    EXPECT_EQ(sent.message.cc, std::vector<std::string>({"cc@test.example"}));
    EXPECT_EQ(sent.message.bcc, std::vector<std::string>({"bcc@test.example"}));
    EXPECT_EQ(sent.message.title, "4D4D53");
    EXPECT_EQ(sent.message.attachments, std::vector<std::string>({"note.txt", "pic.bin"}));
    EXPECT_EQ(sent.files.at("note.txt"), kText.toStdString());
    EXPECT_EQ(sent.files.at("pic.bin"), BinaryContent().toStdString());
    EXPECT_EQ(sent.config.at("mmsc"), "http://mmsc.test/mms");
    EXPECT_EQ(sent.config.at("proxy"), "10.0.0.172,80");
    EXPECT_TRUE(mms.ram.empty()) << "the clean-up deletes the uploaded files";

    std::lock_guard lock(progressLock);
    EXPECT_EQ(positions, std::vector<int>({0, 5, 15, 25, 30, 40, 55, 60, 75, 85, 95, 100}));
    const std::vector<std::pair<int, QString>> expected = {
        {0, "Step 1: Checking the network..."},
        {15, "Step 2: Configure the MMS parameters..."},
        {85, "Step 3: Sending MMS"},
        {95, "Step 4: Clear the MMS configuration"},
        {100, ""},
    };
    EXPECT_EQ(captions, expected);
}

TEST_F(MmsSendSim, EachRecipientKindIsAddedOnlyWhenGiven)
{
    struct Case {
        const char* phone;
        const char* cc;
        const char* bcc;
        Commands edits;
    };
    const Case cases[] = {
        {"5550100", "", "", {"AT+JMMSEDIT=1,1,\"5550100\""}},
        {"", "a@test.example", "", {"AT+JMMSEDIT=2,1,\"a@test.example\""}},
        {"", "", "b@test.example", {"AT+JMMSEDIT=3,1,\"b@test.example\""}},
        {"5550100", "", "b@test.example", {"AT+JMMSEDIT=1,1,\"5550100\"", "AT+JMMSEDIT=3,1,\"b@test.example\""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.phone) + "|" + c.cc + "|" + c.bcc);
        Begin();
        MmsSendInput in = Input();
        in.phone = c.phone;
        in.cc = c.cc;
        in.bcc = c.bcc;
        in.file1.clear();
        in.file2.clear();
        EXPECT_TRUE(Send(in));
        // With no files the message carries the title only and no RAM file is deleted.
        EXPECT_EQ(sim().Commands(),
            Checks() + Context() + Settings() + c.edits + Title() + Sending() + Commands {"AT+JMMSEDIT=0"}
                + CleanUp(false, false, true));
        EXPECT_TRUE(boxes.Texts().isEmpty());
    }
}

TEST_F(MmsSendSim, AFailingStepShowsTheMessageAndCleansUpWhatWasDone)
{
    struct Case {
        const char* name;
        std::function<void(MmsSendSim&, MmsSendInput&)> arrange;
        Commands expected;
        // The command whose time-out the case waits out on a fast clock, and
        // the clean-up command after it.
        std::string slow = {};
        std::string slowUntil = {};
    };
    const Commands afterSend = Sending() + CleanUp(true, true, true);
    const Case cases[] = {
        {"echo refused", [](MmsSendSim& t, MmsSendInput&) { t.AddFault("ATE1 | error"); },
            Commands {"ATE1"} + CleanUp(false, false, false)},
        {"configuration refused", [](MmsSendSim& t, MmsSendInput&) { t.AddFault("AT+JICSGP | error"); },
            Checks() + Commands {Context()[0]} + CleanUp(false, false, false)},
        {"activation refused: no deactivation",
            [](MmsSendSim& t, MmsSendInput&) { t.AddFault("AT+JIACT=1 | error"); },
            Checks() + Commands {Context()[0], Context()[1]} + CleanUp(false, false, false)},
        {"MMS centre refused", [](MmsSendSim& t, MmsSendInput&) { t.AddFault("AT+JMMSCFG=\"mmsc\" | error"); },
            Checks() + Context() + Commands {Settings()[0]} + CleanUp(false, false, true)},
        {"bcc refused", [](MmsSendSim& t, MmsSendInput&) { t.AddFault("AT+JMMSEDIT=3 | error"); },
            Checks() + Context() + Settings() + Recipients() + CleanUp(false, false, true)},
        {"upload refused: no bytes, nothing to delete", [](MmsSendSim& t, MmsSendInput&) { t.AddFault("AT+JFUPL | error"); },
            Composed() + Upload1() + CleanUp(false, false, true)},
        {"upload unanswered", [](MmsSendSim& t, MmsSendInput&) { t.AddFault("AT+JFUPL | silent"); },
            Composed() + Upload1() + CleanUp(false, false, true), Upload1()[0], "AT+JMMSEDIT=5,0"},
        {"short upload: the module stored less than the file",
            [](MmsSendSim& t, MmsSendInput&) { t.sim().With([](sim::ModemEngine& e) { e.Mms().uploadLimit = 4; }); },
            // The rest of the file reaches the module's command line.
            Composed() + Upload1() + Commands {"o MMS"} + CleanUp(true, false, true)},
        {"attachment refused", [](MmsSendSim& t, MmsSendInput&) { t.AddFault("AT+JMMSEDIT=5,1 | error"); },
            Composed() + Upload1() + Attach1() + CleanUp(true, false, true)},
        {"result code not 0", [](MmsSendSim& t, MmsSendInput&) { t.sim().With([](sim::ModemEngine& e) { e.Mms().sendResult = 3; }); },
            Composed() + Upload1() + Attach1() + Upload2() + Attach2() + afterSend},
        {"result without a comma",
            [](MmsSendSim& t, MmsSendInput&) { t.AddFault("AT+JMMSEND | reply \\r\\nOK\\r\\n\\r\\n+JMMSEND: 0\\r\\n"); },
            Composed() + Upload1() + Attach1() + Upload2() + Attach2() + afterSend},
        {"send refused", [](MmsSendSim& t, MmsSendInput&) { t.AddFault("AT+JMMSEND | error"); },
            Composed() + Upload1() + Attach1() + Upload2() + Attach2() + afterSend},
        {"send unanswered", [](MmsSendSim& t, MmsSendInput&) { t.AddFault("AT+JMMSEND | silent"); },
            Composed() + Upload1() + Attach1() + Upload2() + Attach2() + afterSend, Sending()[0],
            "AT+JFDEL=\"RAM:note.txt\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Begin();
        MmsSendInput in = Input();
        c.arrange(*this, in);
        const std::string slow = c.slow, until = c.slowUntil;
        const bool sent = Send(in, [&] {
            if (!slow.empty())
                FastWaitFrom(slow, until);
        });
        EXPECT_FALSE(sent);
        EXPECT_EQ(sim().Commands(), c.expected);
        EXPECT_EQ(boxes.Texts(), QStringList({"Fail to send message!"}));
        EXPECT_TRUE(Mms().sent.empty());
        std::lock_guard lock(progressLock);
        EXPECT_EQ(positions.back(), 100);
        EXPECT_EQ(captions.back(), std::make_pair(100, QString()));
    }
}

TEST_F(MmsSendSim, AnAttachmentThatCannotBeReadIsNamedBeforeAnyCommand)
{
    const QString missing = dir.filePath("gone.jpg");
    const QString folder = dir.path();
    const struct {
        const char* name;
        bool first;
        QString path;
    } cases[] = {
        {"text file missing", true, missing},
        {"picture missing", false, missing},
        {"picture is a folder", false, folder},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Begin();
        MmsSendInput in = Input();
        (c.first ? in.file1 : in.file2) = c.path;
        EXPECT_FALSE(Send(in));
        EXPECT_TRUE(sim().Commands().empty()) << sim().Commands().front();
        EXPECT_EQ(boxes.Texts(), QStringList({MmsAttachmentUnreadable(c.path)}));
        EXPECT_TRUE(boxes.Texts().value(0).contains(c.path));
    }
}

TEST_F(MmsSendSim, TheFailureBoxWaitsUntilTheModuleIsCleanedUp)
{
    Begin();
    AddFault("AT+JMMSCFG=\"mmsc\" | error");
    const test::CommandsAtBox watch(sim());
    EXPECT_FALSE(Send(Input()));
    const Commands expected = Checks() + Context() + Commands {Settings()[0]} + CleanUp(false, false, true);
    EXPECT_EQ(watch.Commands(), expected) << "the box opened before the context was closed";
}

TEST_F(MmsSendSim, AnUploadRefusedOrUnansweredNeverSendsTheFileBytes)
{
    for (const char* fault : {"AT+JFUPL | error", "AT+JFUPL | silent"}) {
        SCOPED_TRACE(fault);
        Begin();
        AddFault(fault);
        Send(Input(), [&] {
            if (std::string(fault).find("silent") != std::string::npos)
                FastWaitFrom(Upload1()[0], "AT+JMMSEDIT=5,0");
        });
        EXPECT_EQ(Received().find("Hello MMS"), std::string::npos);
    }
}

TEST_F(MmsSendSim, StopEndsTheStepsWithoutSuccessAndStillCleansUp)
{
    struct Case {
        const char* name;
        const char* fault;
        // Stop once the module has this.
        std::function<bool(MmsSendSim&)> reached;
        Commands expected;
        bool fileBytes;
    };
    const Case cases[] = {
        {"waiting for CONNECT", "AT+JFUPL | silent",
            [](MmsSendSim& t) { return t.WaitForCommand(Upload1()[0], 30s); },
            Composed() + Upload1() + CleanUp(false, false, true), false},
        {"in the middle of an upload", "",
            [](MmsSendSim& t) { return t.sim().WaitForReceived(BinaryContent().left(1024).toStdString(), 30s); },
            // The module has said CONNECT: the file goes up whole, then only the clean-up follows.
            Composed() + Upload1() + Attach1() + Upload2() + CleanUp(true, true, true), true},
        {"waiting for the send result", "AT+JMMSEND | silent",
            [](MmsSendSim& t) { return t.WaitForCommand(Sending()[0], 30s); },
            Composed() + Upload1() + Attach1() + Upload2() + Attach2() + Sending() + CleanUp(true, true, true), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Begin();
        if (*c.fault)
            AddFault(c.fault);
        const bool sent = Send(Input(), [&] {
            ASSERT_TRUE(c.reached(*this));
            session->Gate().Stop();
        });
        EXPECT_FALSE(sent);
        EXPECT_EQ(sim().Commands(), c.expected);
        EXPECT_TRUE(boxes.Texts().isEmpty()) << "a Stop shows no failure";
        EXPECT_TRUE(Mms().sent.empty());
        EXPECT_TRUE(Mms().ram.empty());
        EXPECT_EQ(Received().find(BinaryContent().toStdString()) != std::string::npos, c.fileBytes);
        std::lock_guard lock(progressLock);
        EXPECT_TRUE(std::find(positions.begin(), positions.end(), 95) == positions.end());
        EXPECT_EQ(positions.back(), 100);
    }
}

TEST_F(MmsSendSim, ACleanUpAfterStopGivesWayToATaskThatStartedMeanwhile)
{
    AddFault("AT+JMMSEND | silent");
    bool otherFirst = false;
    const bool sent = Send(Input(), [&] {
        ASSERT_TRUE(WaitForCommand(Sending()[0], 30s));
        session->Gate().Stop();
        const std::optional<TaskGate::Token> other = session->Gate().TryStart();
        otherFirst = other.has_value();
        // The other task runs until the worker has ended.
        if (other) {
            EXPECT_TRUE(Until([&] { return session->Workers().Running() == 0; }, 30000));
        }
    });
    EXPECT_FALSE(sent);
    // Whichever took the gate first, the two never talk to the module at once.
    const Commands upToSend = Composed() + Upload1() + Attach1() + Upload2() + Attach2() + Sending();
    EXPECT_EQ(sim().Commands(), otherFirst ? upToSend : upToSend + CleanUp(true, true, true));
}

// Makes a file that nobody may open for writing, root included (root ignores
// the mode bits, not the immutable attribute); undone when it goes.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const QString& path) : m_path(path)
    {
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        if (::geteuid() == 0)
            m_immutable = QProcess::execute("chattr", {"+i", path}) == 0;
    }
    ~ReadOnlyFile()
    {
        if (m_immutable)
            QProcess::execute("chattr", {"-i", m_path});
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner);
    }
    bool Holds() const
    {
        QFile f(m_path);
        return !f.open(QIODevice::ReadWrite);
    }

private:
    QString m_path;
    bool m_immutable = false;
};

TEST_F(MmsSendSim, AFileNobodyMayChangeIsSentUnchanged)
{
    const ReadOnlyFile locked(binaryFile);
    if (!locked.Holds())
        GTEST_SKIP() << "this system lets the test open a read-only file for writing (root without chattr)";
    EXPECT_TRUE(Send(Input()));
    EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join('|').toStdString();
    const sim::MmsState mms = Mms();
    ASSERT_EQ(mms.sent.size(), 1u);
    EXPECT_EQ(mms.sent[0].files.at("pic.bin"), BinaryContent().toStdString());
}

TEST(MmsParsers, SendResultUploadSizeAndRamName)
{
    const struct {
        const char* reply;
        std::optional<QString> code;
    } results[] = {
        {"\r\nOK\r\n\r\n+JMMSEND: 0,200\r\n", QString("0")},
        {"\r\n+JMMSEND:   0,200\r\n", QString("0")},
        {"\r\n+JMMSEND: 4,500\r\n", QString("4")},
        {"\r\n+JMMSEND: 0\r\n", std::nullopt},
        {"\r\n+JMMSEND: 0\r\n+JIURC: 1,2\r\n", std::nullopt},
        {"\r\n+JMMSEND:", std::nullopt},
        {"\r\nOK\r\n", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& r : results)
        EXPECT_EQ(ParseJmmsendCode(r.reply), r.code) << r.reply;

    const struct {
        const char* reply;
        std::optional<qint64> size;
    } uploads[] = {
        {"\r\n+JFUPL: 3000,1234\r\n\r\nOK\r\n", 3000},
        {"\r\n+JFUPL:11\r\nOK\r\n", 11},
        {"\r\n+JFUPL: ,5\r\nOK\r\n", std::nullopt},
        {"\r\n+JFUPL: 99999999999999999999999\r\n", 999999999999999999LL},
        {"\r\nOK\r\n", std::nullopt},
    };
    for (const auto& u : uploads)
        EXPECT_EQ(ParseJfuplSize(u.reply), u.size) << u.reply;

    EXPECT_EQ(RamFileName("/home/u/pictures/cat.jpg"), "cat.jpg");
    EXPECT_EQ(RamFileName("cat.jpg"), "cat.jpg");
    EXPECT_EQ(RamFileName("/home/u/"), "");
}
