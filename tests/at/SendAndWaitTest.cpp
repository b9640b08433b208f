#include "PtyPair.h"
#include "platform/TaskGate.h"
#include "core/text/AnsiText.h"
#include "serial/CSerialPort.h"
#include "core/at/ModemSession.h"
#include "core/at/PortTransmitter.h"
#include "core/at/ReceiveBuffers.h"
#include "core/at/SendAndWait.h"
#include "core/at/TerminalOutput.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QObject>
#include <gtest/gtest.h>
#include <optional>
#include <thread>

using namespace ulv;

namespace {

class Sink : public TerminalSink {
public:
    std::vector<std::pair<int, QByteArray>> outputs;
    void OnTerminalOutput(int kind, const QByteArray& text) override { outputs.emplace_back(kind, text); }
};

// A session on the slave side and a module on the master side that answers
// one command with the given chunks. The replies reach the waits on the
// port's own thread: nothing here runs an event loop.
class Exchange : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(session.Open(pty.SlavePath(), 115200, 8, 1, 'N', 0, 2048), ModemSession::OpenResult::Opened);
    }
    void TearDown() override
    {
        JoinModule();
        session.Shutdown();
    }

    void Answer(const QByteArray& command, const QList<QByteArray>& chunks)
    {
        module = std::thread([this, command, chunks] {
            heard = pty.Read(command.size(), 5000);
            for (const QByteArray& c : chunks) {
                pty.Write(c);
                std::this_thread::sleep_for(std::chrono::milliseconds(30));
            }
        });
    }
    void JoinModule()
    {
        if (module.joinable())
            module.join();
    }

    PtyPair pty;
    ModemSession session;
    PortTransmitter& tx = session.Transmitter();
    std::thread module;
    QByteArray heard;
};

} // namespace

TEST_F(Exchange, SendAndWaitJudgesTheReplyOnceItEndsALine)
{
    struct Case {
        const char* what;
        QList<QByteArray> chunks;
        int callbackResult;
        int timeoutMs;
        int expected;
        int callbacks;
    } cases[] = {
        {"OK", {"\r\nOK\r\n"}, 1, 2000, 0, 1},
        {"split O | K", {"\r\nO", "K\r\n"}, 1, 2000, 0, 1},
        {"CME error", {"\r\n+CME ERROR: 10\r\n"}, 1, 2000, 2, 0},
        {"prompt never ends a line", {"\r\n> "}, 1, 300, 1, 0},
        {"callback refuses", {"\r\nOK\r\n"}, 0, 2000, 3, 1},
        {"success before error", {"\r\nERROR\r\nOK\r\n"}, 1, 2000, 0, 1},
    };
    for (const Case& c : cases) {
        session.Buffers().ClearReceivedText();
        Answer("AT+CPIN?\r\n", c.chunks);
        int rc = -1, callbacks = 0;
        QString seen;
        [&] {
            rc = SendAndWait(session, [] { return true; }, "AT+CPIN?", nullptr,
                [&](const QString& reply, void*) {
                    ++callbacks;
                    seen = reply;
                    return c.callbackResult;
                },
                "OK", "ERROR", c.timeoutMs);
        }();
        JoinModule();
        EXPECT_EQ(heard, "AT+CPIN?\r\n") << c.what;
        EXPECT_EQ(rc, c.expected) << c.what;
        EXPECT_EQ(callbacks, c.callbacks) << c.what;
        if (callbacks) {
            EXPECT_TRUE(seen.endsWith("OK\r\n")) << c.what;
        }
    }
}

TEST_F(Exchange, AClearedTaskFlagSendsNothingAndReportsStopped)
{
    // The flag is cleared before the worker's next step: nothing may go out,
    // and none of the family may report it as a success.
    std::optional<TaskGate::Token> token = session.Gate().TryStart();
    ASSERT_TRUE(token);
    session.Gate().Stop();
    const RunningFlag running = [&] { return token->Active(); };
    QString reply = "untouched";
    QStringList lines;
    QList<QStringList> rows;
    EXPECT_EQ(SendAndWait(session, running, "AT+JIDEACT=1", nullptr, nullptr, "OK", "ERROR", 2000), kSendAndWaitStopped);
    EXPECT_EQ(SendAndCollect(session, running, "AT+JIDEACT=1", reply, "OK", "ERROR", 2000), kSendAndWaitStopped);
    EXPECT_EQ(reply, "untouched");
    EXPECT_EQ(SendAndParseLines(session, lines, rows, running, "AT+JIDEACT=1", "OK", "ERROR", 2000), kSendAndWaitStopped);
    EXPECT_EQ(SendAndWaitReply(session, "AT+JIDEACT=1", 2, running, reply, "OK"), 0);
    ExchangeSpec exchange;
    exchange.command = "AT+JIDEACT=1";
    EXPECT_EQ(session.Exchange(running, exchange, reply), ExchangeResult::Stopped);
    // Anything written would be here by now: a write is handed to the port
    // before the call returns.
    EXPECT_TRUE(session.Transmitter().WaitUntilWritten(std::chrono::seconds(2)));
    EXPECT_EQ(session.Port()->PendingWriteBytes(), 0);
    pty.Write("\r\n");
    EXPECT_TRUE(pty.Read(1, 200).isEmpty()) << "nothing reached the module";
}

TEST_F(Exchange, StopWakesAWaitingExchangeAtOnce)
{
    // Woken by the Stop itself, not by a poll: the best of a few tries stays
    // far under any polling slice even on a busy machine.
    std::chrono::steady_clock::duration best = std::chrono::hours(1);
    for (int i = 0; i < 5; ++i) {
        std::optional<TaskGate::Token> token = session.Gate().TryStart();
        ASSERT_TRUE(token);
        Answer("AT+COPS=?\r\n", {});
        std::atomic<bool> sent{false};
        std::chrono::steady_clock::time_point stoppedAt, returnedAt;
        int rc = -1;
        bool called = false;
        std::thread worker([&] {
            rc = SendAndWait(session, [&] { return token->Active(); }, "AT+COPS=?", nullptr,
                [&](const QString&, void*) {
                    called = true;
                    return 1;
                },
                "OK", "ERROR", 60000);
            returnedAt = std::chrono::steady_clock::now();
        });
        JoinModule(); // the module heard the command: the worker waits
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        stoppedAt = std::chrono::steady_clock::now();
        session.Gate().Stop();
        worker.join();
        EXPECT_EQ(rc, kSendAndWaitStopped);
        EXPECT_FALSE(called);
        best = std::min(best, returnedAt - stoppedAt);
        token.reset();
    }
    EXPECT_LT(best, std::chrono::milliseconds(20));
}

TEST_F(Exchange, ParseLinesAndWaitReplyReadTheReply)
{
    Answer("AT+CSQ\r\n", {"\r\n+CSQ: 20,99\r\n\r\nOK\r\n"});
    QStringList lines;
    QList<QStringList> rows;
    const int rc = SendAndParseLines(session, lines, rows, [] { return true; }, "AT+CSQ", "OK", "ERROR", 2000);
    JoinModule();
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(lines, QStringList({"+CSQ: 20,99", "OK"}));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0], QStringList({"+CSQ", "20", "99"}));

    Answer("AT+JMMSEND\r\n", {"\r\n+JMMSEND: 1\r\n"});
    QString reply;
    EXPECT_EQ(SendAndWaitReply(session, "AT+JMMSEND", 2, [] { return true; }, reply, "+JMMSEND:"), 1);
    JoinModule();
    EXPECT_EQ(reply, "\r\n+JMMSEND: 1\r\n");
}

TEST_F(Exchange, TextsArePacedInPiecesAndNeverInterleave)
{
    // 1025 bytes: 1024, a pause of at least 100 ms, then 1. Measured from
    // before the send, so a slow machine can only make it longer.
    QByteArray text(1025, 'x');
    QElapsedTimer t;
    t.start();
    std::thread sender([&] { tx.SendToModuleQuiet(QString::fromLatin1(text), PortTransmitter::kText, false); });
    const QByteArray first = pty.Read(1024, 5000);
    const QByteArray last = pty.Read(1, 5000);
    const qint64 elapsed = t.elapsed();
    sender.join();
    EXPECT_EQ(first.size(), 1024);
    EXPECT_EQ(last, "x");
    EXPECT_GE(elapsed, 100) << "the pause after a full piece";

    std::thread a([&] { tx.SendToModuleQuiet(QString(2500, 'a'), PortTransmitter::kText, false); });
    std::thread b([&] { tx.SendToModuleQuiet(QString(2500, 'b'), PortTransmitter::kText, false); });
    const QByteArray both = pty.Read(5000, 5000);
    a.join();
    b.join();
    ASSERT_EQ(both.size(), 5000);
    EXPECT_TRUE(both == QByteArray(2500, 'a') + QByteArray(2500, 'b') || both == QByteArray(2500, 'b') + QByteArray(2500, 'a'));
}

TEST_F(Exchange, EchoFollowsTheSettingAndTheMode)
{
    Sink sink;
    SetTerminalSink(&sink);
    bool showSendData = true;
    tx.SetEchoProvider([&] { return showSendData; });
    tx.SendToModule("AT", PortTransmitter::kText, true);
    tx.SendToModule("41 54 ", PortTransmitter::kHex, true);
    showSendData = false;
    tx.SendToModule("ATI", PortTransmitter::kText, true);
    tx.SendScriptLine("41 1a ", PortTransmitter::kHex, false);
    SetTerminalSink(nullptr);
    EXPECT_EQ(pty.Read(14, 2000), QByteArray("AT\r\nAT\r\nATI\r\nA\x1a"));
    ASSERT_EQ(sink.outputs.size(), 1u);
    EXPECT_EQ(sink.outputs[0].first, 0);
    EXPECT_EQ(sink.outputs[0].second, "AT\r\n");

    tx.SetPort(nullptr);
    tx.SendToModule("AT", PortTransmitter::kText, true);
    EXPECT_TRUE(pty.Read(1, 100).isEmpty()) << "no port: nothing is sent";
}
