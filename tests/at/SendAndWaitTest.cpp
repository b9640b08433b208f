#include "PtyPair.h"
#include "platform/TaskGate.h"
#include "core/text/AnsiText.h"
#include "serial/CSerialPort.h"
#include "core/at/PortTransmitter.h"
#include "core/at/ReceiveBuffers.h"
#include "core/at/SendAndWait.h"
#include "core/at/TerminalOutput.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QObject>
#include <gtest/gtest.h>
#include <thread>

using namespace ulv;

namespace {

// The receive path's part that waits rely on: every chunk appended as text.
class ReceivePath : public QObject {
public:
    bool event(QEvent* e) override
    {
        if (e->type() != MessageEventType(WM_SERIAL_DATA))
            return QObject::event(e);
        QByteArray chunk = static_cast<SerialEvent*>(e)->Data();
        chunk.replace('\0', ' ');
        AppReceiveBuffers().AppendReceivedText(AnsiToString(chunk));
        return true;
    }
};

class Sink : public TerminalSink {
public:
    std::vector<std::pair<int, QByteArray>> outputs;
    void OnTerminalOutput(int kind, const QByteArray& text) override { outputs.emplace_back(kind, text); }
};

// A module on the master side that answers one command with the given chunks.
class Exchange : public ::testing::Test {
protected:
    void SetUp() override
    {
        port = std::make_shared<CSerialPort>();
        ASSERT_EQ(port->OpenPort(&receiver, pty.SlavePath(), 115200, 'N', 8, 1, 0x1FD, 2048, 0), 1);
        port->StartMonitor();
        tx.SetPort(port);
        SetModuleTransmitter(&tx);
        AppReceiveBuffers().ClearReceivedText();
    }
    void TearDown() override
    {
        SetModuleTransmitter(nullptr);
        tx.SetPort(nullptr);
        port->ClosePort();
    }

    // Runs fn on a worker while this thread runs the event loop (the receive path).
    template <class Fn>
    void OnWorker(Fn fn)
    {
        std::atomic<bool> done{false};
        std::thread worker([&] {
            fn();
            done = true;
        });
        while (!done)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        worker.join();
    }

    void Answer(const QByteArray& command, const QList<QByteArray>& chunks)
    {
        module = std::thread([this, command, chunks] {
            heard = pty.Read(command.size(), 2000);
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
    ReceivePath receiver;
    std::shared_ptr<CSerialPort> port;
    PortTransmitter tx;
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
        AppReceiveBuffers().ClearReceivedText();
        Answer("AT+CPIN?\r\n", c.chunks);
        int rc = -1, callbacks = 0;
        QString seen;
        OnWorker([&] {
            rc = SendAndWait([] { return true; }, "AT+CPIN?", nullptr,
                [&](const QString& reply, void*) {
                    ++callbacks;
                    seen = reply;
                    return c.callbackResult;
                },
                "OK", "ERROR", c.timeoutMs);
        });
        JoinModule();
        EXPECT_EQ(heard, "AT+CPIN?\r\n") << c.what;
        EXPECT_EQ(rc, c.expected) << c.what;
        EXPECT_EQ(callbacks, c.callbacks) << c.what;
        if (callbacks) {
            EXPECT_TRUE(seen.endsWith("OK\r\n")) << c.what;
        }
    }
}

TEST_F(Exchange, StopEndsTheWaitAtOnceWithoutTheCallback)
{
    auto token = AppTaskGate().TryStart();
    ASSERT_TRUE(token);
    Answer("AT+COPS=?\r\n", {});
    int rc = -1;
    bool called = false;
    QElapsedTimer t;
    t.start();
    std::thread stopper([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        AppTaskGate().Stop();
    });
    OnWorker([&] {
        rc = SendAndWait(AppTaskRunning(), "AT+COPS=?", nullptr, [&](const QString&, void*) {
            called = true;
            return 1;
        }, "OK", "ERROR", 60000);
    });
    stopper.join();
    JoinModule();
    EXPECT_EQ(rc, 0);
    EXPECT_FALSE(called);
    EXPECT_LT(t.elapsed(), 5000);
}

TEST_F(Exchange, ParseLinesAndWaitReplyReadTheReply)
{
    Answer("AT+CSQ\r\n", {"\r\n+CSQ: 20,99\r\n\r\nOK\r\n"});
    QStringList lines;
    QList<QStringList> rows;
    int rc = -1;
    OnWorker([&] { rc = SendAndParseLines(lines, rows, [] { return true; }, "AT+CSQ", "OK", "ERROR", 2000); });
    JoinModule();
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(lines, QStringList({"+CSQ: 20,99", "OK"}));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0], QStringList({"+CSQ", "20", "99"}));

    Answer("AT+JMMSEND\r\n", {"\r\n+JMMSEND: 1\r\n"});
    QString reply;
    OnWorker([&] { rc = SendAndWaitReply("AT+JMMSEND", 2, [] { return true; }, reply, "+JMMSEND:"); });
    JoinModule();
    EXPECT_EQ(rc, 1);
    EXPECT_EQ(reply, "\r\n+JMMSEND: 1\r\n");
}

TEST_F(Exchange, TextsArePacedInPiecesAndNeverInterleave)
{
    // 1025 bytes: 1024, a pause of at least 100 ms, then 1.
    QByteArray text(1025, 'x');
    QElapsedTimer t;
    std::thread sender([&] { tx.SendToModuleQuiet(QString::fromLatin1(text), PortTransmitter::kText, false); });
    const QByteArray first = pty.Read(1024, 2000);
    t.start();
    const QByteArray last = pty.Read(1, 2000);
    const qint64 gap = t.elapsed();
    sender.join();
    EXPECT_EQ(first.size(), 1024);
    EXPECT_EQ(last, "x");
    EXPECT_GE(gap, 80) << "the pause after a full piece";

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
