// The terminal and its log as the record of the exchange with the simulated
// module: what went out, what came back and the workers' notes, in wire order,
// each line stamped once with the time its first byte went or came.

#include "sim/SimFixture.h"

#include "common/EventLoopWait.h"
#include "common/TestEnv.h"
#include "core/at/ModemSession.h"
#include "core/at/TerminalOutput.h"
#include "pages/module/core/EnvCheckScript.h"
#include "pages/module/core/ModuleScripts.h"
#include "platform/MessageBox.h"
#include "shell/CTerminalRichEdit.h"
#include "shell/CTestView2.h"
#include "shell/core/CUlvenscopeApp.h"
#include "shell/core/SysParams.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace ulv;

namespace {

// One line of the terminal log.
struct LogLine {
    enum Kind { Sent, Received, Note, Blank } kind;
    QDateTime stamp; // sent and received lines
    QByteArray text; // after the stamp, without the line end
};

const QRegularExpression kStamp(QStringLiteral(R"(^\[(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d:\d{3})_([SR]):\] )"));

// Cuts the log into lines; a line that starts with text but carries no stamp,
// or a stamp inside a line, is reported in `faults`.
std::vector<LogLine> ParseLog(const QByteArray& log, QStringList& faults)
{
    std::vector<LogLine> lines;
    for (QByteArray line : log.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        const QString text = QString::fromUtf8(line);
        const QRegularExpressionMatch m = kStamp.match(text);
        if (m.hasMatch()) {
            const QByteArray rest = line.mid(29);
            if (rest.contains("_R:] ") || rest.contains("_S:] "))
                faults << "two stamps on one line: " + text;
            lines.push_back({m.captured(2) == "S" ? LogLine::Sent : LogLine::Received,
                QDateTime::fromString(m.captured(1), QStringLiteral("yyyy-MM-dd HH:mm:ss:zzz")), rest.trimmed()});
        } else if (line.startsWith("/*")) {
            lines.push_back({LogLine::Note, {}, line});
        } else if (line.trimmed().isEmpty()) {
            lines.push_back({LogLine::Blank, {}, {}});
        } else {
            faults << "a line without its stamp: " + text;
        }
    }
    return lines;
}

bool IsFinalResult(const QByteArray& text)
{
    return text == "OK" || text == "ERROR" || text.startsWith("+CME ERROR:") || text.startsWith("+CMS ERROR:");
}

// What the record must show: stamps that never go back; after each sent line
// the module's echo of it before any other received text; each note after the
// final result of the command before it.
QStringList CheckRecord(const std::vector<LogLine>& lines)
{
    QStringList faults;
    QDateTime last;
    const LogLine* pendingSend = nullptr; // sent, its echo not seen yet
    const LogLine* lastSend = nullptr;
    const LogLine* lastReceived = nullptr; // since the last send
    for (const LogLine& l : lines) {
        switch (l.kind) {
        case LogLine::Sent:
        case LogLine::Received:
            if (last.isValid() && l.stamp < last)
                faults << "stamp goes back at: " + QString::fromUtf8(l.text);
            last = l.stamp;
            if (l.kind == LogLine::Sent) {
                if (pendingSend)
                    faults << "no echo of " + QString::fromUtf8(pendingSend->text) + " before the next command";
                pendingSend = lastSend = &l;
                lastReceived = nullptr;
            } else if (!l.text.isEmpty()) {
                if (pendingSend && !l.text.startsWith(pendingSend->text))
                    faults << "after " + QString::fromUtf8(pendingSend->text) + " came " + QString::fromUtf8(l.text);
                pendingSend = nullptr;
                lastReceived = &l;
            }
            break;
        case LogLine::Note:
            if (lastSend && (!lastReceived || !IsFinalResult(lastReceived->text)))
                faults << "note " + QString::fromUtf8(l.text) + " before the final result of "
                        + QString::fromUtf8(lastSend->text);
            break;
        case LogLine::Blank: break;
        }
    }
    return faults;
}

class TerminalRecord : public sim::SimFixture {
protected:
    void SetUp() override
    {
        sim::SimFixture::SetUp();
        saved = g_sysParams;
        savedType = g_nModuleType;
        g_sysParams.showtime = 1;
        g_sysParams.showsenddata = 1;
        g_sysParams.showCRLF = 0;
        g_sysParams.savelog = 1;
        g_sysParams.logfilesize_limited = 1 << 30;
        g_sysParams.logpath = test::TempHome() + "/logs-"
            + QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name());
        g_sysParams.logname_prefix = "record";
    }
    void TearDown() override
    {
        session.reset();
        pane.reset();
        g_sysParams = saved;
        g_nModuleType = savedType;
        sim::SimFixture::TearDown();
    }
    // A fresh pane with its own log and a session on the module now running.
    void Begin(const QString& logName)
    {
        session.reset();
        pane.reset();
        g_sysParams.logpath += "/" + logName;
        QDir().mkpath(g_sysParams.logpath);
        pane = std::make_unique<CTestView2>();
        pane->ChooseLogFile();
        session = std::make_unique<ModemSession>();
        session->Transmitter().SetEchoProvider([] { return g_sysParams.showsenddata != 0; });
        ASSERT_EQ(session->Open(QString::fromStdString(SlavePath()), 115200, 8, 1, 'N', 0, 2048),
            ModemSession::OpenResult::Opened);
    }
    template <class Body>
    void RunTask(Body body)
    {
        std::atomic<bool> done{false};
        ASSERT_TRUE(session->Workers().Start([&](TaskGate::Token& t) {
            body(t);
            done = true;
        }));
        ASSERT_TRUE(test::RunEventsUntil([&] { return done.load(); }, 120000));
    }
    QByteArray Log()
    {
        FlushTerminalOutput();
        QFile f(pane->Log().Path());
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return f.readAll();
    }

    SysParams saved;
    int savedType = 0;
    MessageBoxRecorder boxes;
    std::unique_ptr<CTestView2> pane;
    std::unique_ptr<ModemSession> session;
};

// Byte offsets that cut a reply into pieces of the given sizes, repeated.
std::vector<std::size_t> Cuts(std::initializer_list<std::size_t> sizes)
{
    std::vector<std::size_t> cuts;
    for (std::size_t at = 0; at < 700;)
        for (std::size_t s : sizes)
            cuts.push_back(at += s);
    return cuts;
}

} // namespace

TEST_F(TerminalRecord, StartUpAndEnvironmentCheckAreLoggedInWireOrderWhateverTheChunks)
{
    struct Case {
        const char* name;
        sim::Family family;
        const char* revision;
        std::vector<std::size_t> cuts;
    };
    const Case cases[] = {
        {"gsm-one-byte", sim::Family::Gsm, "TZ20A01", Cuts({1})},
        {"gsm-odd", sim::Family::Gsm, "TZ20A01", Cuts({3, 7, 1, 5, 11})},
        {"umts-one-byte", sim::Family::Umts, "RX50C01", Cuts({1})},
        {"umts-odd", sim::Family::Umts, "RX50C01", Cuts({5, 1, 9, 3, 13})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartSim(c.family, c.revision);
        sim::Fault split;
        split.prefix = "AT";
        split.splits = c.cuts;
        split.gapMs = 1;
        sim().AddFault(split);
        g_nModuleType = c.family == sim::Family::Gsm ? 0 : 1;
        Begin(QString::fromLatin1(c.name));
        RunTask([&](TaskGate::Token& t) {
            AutoInitThread(*session, t, ModuleScriptSink{}, AutoInitOptions{});
            RunEnvCheck(*session, t, EnvCheckSink{}, 2, 1);
        });
        EXPECT_EQ(boxes.Texts(), QStringList());
        const QByteArray log = Log();
        QStringList faults;
        const std::vector<LogLine> lines = ParseLog(log, faults);
        faults += CheckRecord(lines);
        EXPECT_EQ(faults, QStringList()) << log.constData();
        // The whole exchange is there: the last command of the check and its answer.
        EXPECT_TRUE(log.contains("_S:] AT+CPMS=")) << log.constData();
        EXPECT_TRUE(log.contains("_R:] +CPMS:")) << log.constData();
    }
}

TEST_F(TerminalRecord, AnswerDuringALongPacedTextStandsBetweenItsPieces)
{
    Begin(QStringLiteral("paced"));
    // The module answers a command only once it has it whole; what it says
    // during the pause between the pieces is shown there.
    const QByteArray text = "AT" + QByteArray(2000, 'X');
    std::atomic<bool> injected{false};
    session->Transmitter().SetPauseHook([&](std::chrono::milliseconds) {
        if (injected.exchange(true))
            return;
        sim().InjectBytes("\r\nRING\r\n");
        // Until the reader has it: it is then in the terminal's stream too.
        QString seen;
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!seen.contains("RING") && std::chrono::steady_clock::now() < end)
            seen += session->Buffers().WaitAndTakeReceivedText(end, session->Buffers().WakeCount());
    });
    sim().With([](sim::ModemEngine& e) { e.State().echo = false; });
    std::thread sender([&] { session->Transmitter().SendToModule(QString::fromLatin1(text), PortTransmitter::kText, true); });
    ASSERT_TRUE(test::RunEventsUntil(
        [&] { return Log().contains("ERROR"); }, 30000)) << Log().constData();
    sender.join();
    QStringList faults;
    const std::vector<LogLine> lines = ParseLog(Log(), faults);
    EXPECT_EQ(faults, QStringList());
    QDateTime last;
    QByteArray shown;
    for (const LogLine& l : lines) {
        if (l.kind == LogLine::Sent || l.kind == LogLine::Received) {
            EXPECT_TRUE(!last.isValid() || l.stamp >= last);
            last = l.stamp;
        }
        if (l.kind != LogLine::Blank)
            shown += (l.kind == LogLine::Sent ? "S " : "R ") + l.text + "\n";
    }
    // The first piece, the module's notice, the rest, the module's answer.
    EXPECT_EQ(shown, "S " + text.left(1024) + "\nR RING\nS " + text.mid(1024) + "\nR ERROR\n");
}

TEST_F(TerminalRecord, ATenMegabyteLineLeavesTheTerminalReadyForTheNextReply)
{
    g_sysParams.showtime = 0;
    Begin(QStringLiteral("endless"));
    pane->SetKeptBytes(32 << 20);
    const std::string line(10 << 20, 'z');
    sim().InjectBytes(line);
    // The whole line in first: a command sent while it still streams would
    // rightly be logged inside it, in wire order.
    const qsizetype n = qsizetype(line.size());
    ASSERT_TRUE(test::RunEventsUntil(
        [&] { return pane->WrittenBytes() >= n && pane->TerminalText().count('z') >= n; }, 120000));
    // Then a command and its answer, as the user would send it next.
    QString reply;
    RunTask([&](TaskGate::Token& t) {
        ExchangeSpec e;
        e.command = QStringLiteral("AT+CSQ");
        e.timeoutMs = 120000;
        session->Exchange([&] { return t.Active(); }, e, reply);
    });
    EXPECT_TRUE(reply.contains("+CSQ:")) << reply.right(200).toStdString();
    // Shown soon after (a bench measures how soon); a generous wait here.
    const QTextDocument* doc = pane->Terminal()->document();
    ASSERT_TRUE(test::RunEventsUntil(
        [&] {
            const QTextBlock last = doc->lastBlock().previous();
            return last.isValid() && last.text().endsWith("OK");
        },
        120000));
    int longest = 0;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        longest = std::max(longest, b.length());
    EXPECT_LE(longest, CTestView2::kShownLineChars + 64);
    // The log keeps the line whole, byte for byte (beside the note that
    // nobody read the oldest part of it).
    const QByteArray dropped = QByteArray("\r\n") + kUnreadTextDropped + "\r\n";
    EXPECT_TRUE(Log().replace(dropped, "").contains(QByteArray::fromStdString(line)));
}
