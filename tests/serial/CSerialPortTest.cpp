#include "serial/CSerialPort.h"
#include "PtyPair.h"
#include "platform/MessageBox.h"
#include "common/EventLoopWait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QObject>
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <sys/ioctl.h>
#include <thread>

using namespace ulv;

namespace {

// True once the port's monitor has taken everything written so far off the
// line, so the next write arrives as a chunk of its own.
bool WaitUntilTaken(const CSerialPort& port)
{
    QElapsedTimer t;
    t.start();
    for (;;) {
        int queued = 0;
        if (::ioctl(port.Fd(), FIONREAD, &queued) != 0)
            return false;
        if (queued == 0)
            return true;
        if (t.elapsed() > 30000)
            return false;
        std::this_thread::yield();
    }
}

// The port's owner: keeps every notification in arrival order.
class Owner : public QObject {
public:
    struct Note {
        int message;
        long wParam;
        QByteArray data;
        std::uint64_t portId;
    };
    std::vector<Note> notes;
    QByteArray received;

    bool event(QEvent* e) override
    {
        if (e->type() < QEvent::User)
            return QObject::event(e);
        auto* se = static_cast<SerialEvent*>(e);
        notes.push_back({se->Message(), se->WParam(), se->Data(), se->PortId()});
        received += se->Data();
        return true;
    }

    int Count(int message) const
    {
        return int(std::count_if(notes.begin(), notes.end(), [&](const Note& n) { return n.message == message; }));
    }

    template <class Pred>
    bool WaitFor(Pred done, int timeoutMs = 30000)
    {
        return ::ulv::test::RunEventsUntil(done, timeoutMs);
    }
};

int Open(CSerialPort& port, Owner* owner, const QString& path, int baud = 115200, int dataBits = 8, int bufferSize = 2048)
{
    return port.OpenPort(owner, path, baud, 'N', dataBits, 1, 0x1FD, bufferSize, 0);
}

} // namespace

TEST(CSerialPort, RawModeCarriesBytesExactlyBothWays)
{
    MessageBoxRecorder boxes;
    PtyPair pty;
    Owner owner;
    CSerialPort port;
    ASSERT_EQ(Open(port, &owner, pty.SlavePath()), 1);
    ASSERT_EQ(port.StartMonitor(), 1);

    ASSERT_EQ(port.PostWrite("AT\r\n", 4), 1);
    EXPECT_EQ(pty.Read(4, 2000).toHex(' '), "41 54 0d 0a");

    const QByteArray reply = QByteArray::fromHex("0d0a4f4b0d0a001113ff");
    pty.Write(reply);
    ASSERT_TRUE(owner.WaitFor([&] { return owner.received.size() >= reply.size(); }));
    EXPECT_EQ(owner.received.toHex(' '), reply.toHex(' '));
    EXPECT_TRUE(pty.Read(1, 100).isEmpty()) << "nothing may be echoed back";
    // A pseudo-terminal has no modem lines: none are reported.
    EXPECT_EQ(owner.Count(WM_SERIAL_CTS) + owner.Count(WM_SERIAL_DCD), 0);
    EXPECT_EQ(boxes.Count(), 0);
}

TEST(CSerialPort, OpenFailsQuietlyForMissingOrHeldPorts)
{
    MessageBoxRecorder boxes;
    PtyPair pty;
    CSerialPort missing;
    EXPECT_EQ(Open(missing, nullptr, "/dev/ulv-no-such-port"), 0);
    EXPECT_EQ(Open(missing, nullptr, ""), 0);

    CSerialPort first, second;
    ASSERT_EQ(Open(first, nullptr, pty.SlavePath()), 1);
    EXPECT_EQ(Open(second, nullptr, pty.SlavePath()), 0);
    first.ClosePort();
    EXPECT_EQ(Open(second, nullptr, pty.SlavePath()), 1);
    EXPECT_EQ(boxes.Count(), 0);
}

TEST(CSerialPort, ConfigurationFailureShowsOneBoxWithTheStepAndClosesThePort)
{
    struct Case {
        const char* what;
        bool usePty;
        int baud;
        int dataBits;
        const char* step;
    } cases[] = {
        {"not a terminal", false, 115200, 8, "GetCommState()"},
        {"nine data bits", true, 115200, 9, "BuildCommDCB()"},
        {"four data bits", true, 115200, 4, "BuildCommDCB()"},
        {"negative baud", true, -1, 8, "BuildCommDCB()"},
    };
    for (const Case& c : cases) {
        MessageBoxRecorder boxes;
        PtyPair pty;
        CSerialPort port;
        const QString path = c.usePty ? pty.SlavePath() : QStringLiteral("/dev/null");
        EXPECT_EQ(Open(port, nullptr, path, c.baud, c.dataBits), 0) << c.what;
        EXPECT_TRUE(port.SetupFailed()) << c.what;
        EXPECT_FALSE(port.IsOpen()) << c.what;
        if (c.usePty) {
            CSerialPort again;
            EXPECT_EQ(Open(again, nullptr, path), 1) << c.what << ": the refused port was not let go";
            EXPECT_FALSE(again.SetupFailed());
        }
        ASSERT_EQ(boxes.Count(), 1) << c.what;
        const QString text = boxes.Texts().front();
        EXPECT_TRUE(text.startsWith(QString("WARNING:  %1 Failed with the following error: \n").arg(c.step))) << qPrintable(text);
        EXPECT_TRUE(text.endsWith(QString("\nPort: %1\nPlease make sure the Serial Port Cable is connected normally ! ").arg(path)))
            << qPrintable(text);
    }
}

TEST(CSerialPort, OddBaudRatesAreAccepted)
{
    MessageBoxRecorder boxes;
    PtyPair pty;
    for (int baud : {2900000, 3686400, 115200}) {
        CSerialPort port;
        EXPECT_EQ(Open(port, nullptr, pty.SlavePath(), baud), 1);
    }
    EXPECT_EQ(boxes.Count(), 0);
}

TEST(CSerialPort, LargeInputArrivesWholeInChunksOfAtMost32768)
{
    PtyPair pty;
    Owner owner;
    CSerialPort port;
    ASSERT_EQ(Open(port, &owner, pty.SlavePath()), 1);
    port.StartMonitor();
    QByteArray data(300000, Qt::Uninitialized);
    for (int i = 0; i < data.size(); ++i)
        data[i] = char((i * 7 + i / 251) & 0xFF);
    std::thread writer([&] { pty.Write(data); });
    ASSERT_TRUE(owner.WaitFor([&] { return owner.received.size() >= data.size(); }, 10000));
    writer.join();
    EXPECT_EQ(owner.received, data);
    for (const auto& n : owner.notes) {
        EXPECT_LE(n.data.size(), CSerialPort::kReceiveBufferSize);
        EXPECT_EQ(n.wParam, n.data.size());
    }
}

TEST(CSerialPort, WritesStayWholeAndInOrder)
{
    PtyPair pty;
    CSerialPort port;
    // A buffer size far below the pieces: nothing may be cut.
    ASSERT_EQ(Open(port, nullptr, pty.SlavePath(), 115200, 8, 512), 1);
    port.StartMonitor();

    port.PostWrite("AT", 2);
    port.PostWrite("I\r\n", 3);
    EXPECT_EQ(pty.Read(5, 2000), "ATI\r\n");

    QByteArray big(200000, 'x');
    for (int i = 0; i < big.size(); i += 1000)
        big[i] = char('a' + (i / 1000) % 26);
    ASSERT_EQ(port.PostWrite(big), 1);
    EXPECT_EQ(pty.Read(big.size(), 5000), big);

    constexpr int kThreads = 4, kPieces = 300;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&port, t] {
            for (int i = 0; i < kPieces; ++i) {
                const QByteArray piece = QByteArray("<") + char('A' + t) + QByteArray::number(i) + QByteArray(40, char('a' + t)) + ">";
                port.PostWrite(piece);
            }
        });
    }
    for (auto& th : threads)
        th.join();
    QByteArray all;
    while (true) {
        const QByteArray more = pty.Read(1 << 20, 300);
        if (more.isEmpty())
            break;
        all += more;
    }
    int next[kThreads] = {};
    int pos = 0;
    while (pos < all.size()) {
        ASSERT_EQ(all[pos], '<') << "a piece was cut or interleaved at " << pos;
        const int end = all.indexOf('>', pos);
        ASSERT_GT(end, pos);
        const QByteArray piece = all.mid(pos + 1, end - pos - 1);
        const int t = piece[0] - 'A';
        ASSERT_TRUE(t >= 0 && t < kThreads);
        const QByteArray tail(40, char('a' + t));
        ASSERT_TRUE(piece.endsWith(tail));
        EXPECT_EQ(piece.mid(1, piece.size() - 41).toInt(), next[t]++);
        pos = end + 1;
    }
    for (int t = 0; t < kThreads; ++t)
        EXPECT_EQ(next[t], kPieces);
}

TEST(CSerialPort, StopIsBoundedWithAnUndeliveredChunkAndThePortReopensAtOnce)
{
    PtyPair pty;
    Owner owner;
    CSerialPort port;
    ASSERT_EQ(Open(port, &owner, pty.SlavePath()), 1);
    // With synchronous notification the monitor waits for the owner, which never
    // runs its event loop here.
    port.SetSyncNotify(true);
    port.StartMonitor();
    pty.Write("first chunk");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    pty.Write("second chunk");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));

    QElapsedTimer t;
    t.start();
    EXPECT_EQ(port.StopMonitor(), 1);
    EXPECT_LT(t.elapsed(), 200);
    EXPECT_FALSE(port.MonitorAlive());
    port.ClosePort();

    CSerialPort again;
    EXPECT_EQ(Open(again, &owner, pty.SlavePath()), 1);
    EXPECT_EQ(again.StartMonitor(), 1);
    // The first chunk is still queued for the owner; it carries the old port's id.
    QCoreApplication::processEvents();
    ASSERT_FALSE(owner.notes.empty());
    EXPECT_EQ(owner.notes.front().data, "first chunk");
    EXPECT_NE(owner.notes.front().portId, again.PortId());
}

TEST(CSerialPort, SyncNotifyDeliversOneChunkAtATime)
{
    PtyPair pty;
    Owner owner;
    CSerialPort port;
    ASSERT_EQ(Open(port, &owner, pty.SlavePath()), 1);
    port.SetSyncNotify(true);
    port.StartMonitor();
    pty.Write("one");
    ASSERT_TRUE(WaitUntilTaken(port));
    pty.Write("two");
    ASSERT_TRUE(owner.WaitFor([&] { return owner.received == "onetwo"; }));
    for (const auto& n : owner.notes)
        EXPECT_EQ(n.message, WM_SERIAL_DATA_SYNC);
}

TEST(CSerialPort, HangUpIsReportedOnceAndEndsTheMonitor)
{
    MessageBoxRecorder boxes;
    auto pty = std::make_unique<PtyPair>();
    Owner owner;
    CSerialPort port;
    ASSERT_EQ(Open(port, &owner, pty->SlavePath()), 1);
    port.StartMonitor();
    pty->Write("last words");
    ASSERT_TRUE(owner.WaitFor([&] { return owner.received == "last words"; }));
    pty->CloseMaster();
    ASSERT_TRUE(owner.WaitFor([&] { return owner.Count(WM_SERIAL_HANGUP) == 1 && !port.MonitorAlive(); }));
    // No further reports, no busy loop: the monitor has ended.
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(owner.Count(WM_SERIAL_HANGUP), 1);
    // Bytes for a device that is gone are refused, not queued for ever: a sender
    // waiting for its queue to drain would otherwise wait until stopped.
    EXPECT_EQ(port.PostWrite("AT\r\n", 4), 0);
    EXPECT_EQ(port.PendingWriteBytes(), 0);
    EXPECT_EQ(port.StopMonitor(), 1);
    EXPECT_EQ(boxes.Count(), 0);
}

TEST(CSerialPort, ModemLinesAreReportedInOrderWithTheirStates)
{
    PtyPair pty;
    Owner owner;
    CSerialPort port;
    ASSERT_EQ(Open(port, &owner, pty.SlavePath()), 1);
    std::atomic<int> bits { TIOCM_CTS | TIOCM_CD };
    port.SetLineReader([&bits](int) { return std::optional<int>(bits.load()); });
    port.StartMonitor();
    ASSERT_TRUE(owner.WaitFor([&] { return owner.notes.size() >= 4; }));
    bits = TIOCM_DSR | TIOCM_RI;
    ASSERT_TRUE(owner.WaitFor([&] { return owner.notes.size() >= 8; }));
    port.StopMonitor();

    const std::vector<std::pair<int, long>> expected = {
        {WM_SERIAL_DCD, 1}, {WM_SERIAL_CTS, 1}, {WM_SERIAL_DSR, 0}, {WM_SERIAL_RING, 0},
        {WM_SERIAL_DCD, 0}, {WM_SERIAL_CTS, 0}, {WM_SERIAL_DSR, 1}, {WM_SERIAL_RING, 1},
    };
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(owner.notes[i].message, expected[i].first) << i;
        EXPECT_EQ(owner.notes[i].wParam, expected[i].second) << i;
    }
}

TEST(CSerialPort, ABoundedStopLetsGoOfAMonitorThatDoesNotEnd)
{
    for (const bool stuck : {false, true}) {
        SCOPED_TRACE(stuck ? "stuck monitor" : "monitor that ends");
        PtyPair pty;
        Owner owner;
        CSerialPort port;
        ASSERT_EQ(Open(port, &owner, pty.SlavePath()), 1);
        // The line reader runs on the monitor's thread as it starts: a stuck
        // one holds the monitor until released.
        std::mutex lock;
        std::condition_variable changed;
        bool entered = false, released = false;
        port.SetLineReader([&](int) -> std::optional<int> {
            std::unique_lock l(lock);
            entered = true;
            changed.notify_all();
            if (stuck)
                changed.wait(l, [&] { return released; });
            return std::nullopt;
        });
        ASSERT_EQ(port.StartMonitor(), 1);
        {
            std::unique_lock l(lock);
            ASSERT_TRUE(changed.wait_for(l, std::chrono::seconds(30), [&] { return entered; }));
        }
        QElapsedTimer t;
        t.start();
        EXPECT_EQ(port.StopMonitorWithin(std::chrono::milliseconds(300)), !stuck);
        if (stuck) {
            EXPECT_GE(t.elapsed(), 300);
            EXPECT_TRUE(port.MonitorAlive());
            {
                std::lock_guard l(lock);
                released = true;
            }
            changed.notify_all();
            // The monitor let go of still ends by itself once it can.
            ASSERT_TRUE(owner.WaitFor([&] { return !port.MonitorAlive(); }));
        }
        EXPECT_FALSE(port.MonitorAlive());
        port.ClosePort();
    }
}
