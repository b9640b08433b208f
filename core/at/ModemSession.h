#pragma once

#include "core/at/CommandQueue.h"
#include "core/at/LineAssembler.h"
#include "core/at/PortTransmitter.h"
#include "core/at/ReceiveBuffers.h"
#include "core/at/ReceiveRouter.h"
#include "core/at/WorkerPool.h"
#include "core/text/AnsiStreamDecoder.h"
#include "platform/TaskGate.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class QObject;

namespace ulv {

class CSerialPort;

// How one exchange ended. Stopped is never a success: the task was ended
// (Stop, or another task took over) before the reply was judged, and nothing
// more was sent.
enum class ExchangeResult { Reply, Timeout, Error, Stopped };

// One command and how its reply is judged. The reply is collected from the
// moment the command goes out and judged each time it ends a line: every
// success text in it (or one, with anySuccess) makes it a reply, else the error
// text makes it an error.
struct ExchangeSpec {
    QString command; // sent with CR LF
    int timeoutMs = 3000;
    QStringList success{QStringLiteral("OK")};
    bool anySuccess = false;
    // Empty: errors are not judged, the exchange waits for its success or time-out.
    QString error = QStringLiteral("ERROR");
    // Empty the received text before sending (else what came since the
    // caller's last emptying belongs to the reply).
    bool clearBuffer = false;
    // A reply that ends in CR is judged too (a module in numeric-result mode).
    bool acceptCarriageReturn = false;
};

// The terminal note written once when received text nobody read was dropped.
inline constexpr const char* kUnreadTextDropped =
    "/* Nobody was reading the received text: its oldest part was dropped from the reply buffer */";

// The module's session: the main port and everything that talks through it.
// It owns the port, the transmitter (paced, one text at a time), the reply
// buffers that workers wait on, the line assembler and the receive router, the
// task gate, the command queue and the pool of workers. The port's monitor
// thread feeds the reply buffers directly, so an exchange never waits for the
// user-interface thread; what a window shows (terminal, lines, page routing)
// is handled on the thread that created the session and handed on through the
// hooks below. A test or ulvprobe drives it without any window.
class ModemSession {
public:
    ModemSession();
    // Shuts down (bounded) if Shutdown was not called.
    ~ModemSession();
    ModemSession(const ModemSession&) = delete;
    ModemSession& operator=(const ModemSession&) = delete;

    // --- The port
    // SetupFailed: opened, but the port could not be configured; that was
    // reported and the port is closed again.
    enum class OpenResult { Opened, Unavailable, SetupFailed, MonitorFailed };
    // Opens the port (after closing any open one) and starts its monitor.
    OpenResult Open(const QString& port, int baud, int dataBits, int stopBits, char parity, int flowMode,
        int bufferSize);
    // Takes the port away from the senders, drops texts not yet written, stops
    // the monitor (bounded) and closes the device.
    void Close();
    std::shared_ptr<CSerialPort> Port() const;
    bool IsOpen() const;
    // The open port's device went away (hung up, or a read or write error that
    // means it is gone); cleared by the next Open. From that moment nothing more
    // is written, every exchange and pause ends at once (an exchange as a
    // time-out, with what the module sent before), and m_portLost runs once on
    // the session's thread.
    bool PortLost() const { return m_lost.load(); }
    std::function<void(const QString& port)> m_portLost;

    // --- The exchange engine
    // Sends the command (after checking that the task is still wanted) and
    // waits for its reply, woken by arriving text, by Stop or by the deadline.
    // `reply` gets everything collected since the command went out.
    ExchangeResult Exchange(const RunningFlag& running, const ExchangeSpec& exchange, QString& reply);
    // The waiting half of Exchange, for an answer to what went out otherwise
    // (raw bytes): judged as Exchange judges, until `end` on the wait clock.
    // Nothing is sent and the command of `exchange` is not used.
    ExchangeResult AwaitReply(const RunningFlag& running, const ExchangeSpec& exchange,
        std::chrono::steady_clock::time_point end, QString& reply);
    // Waits for the duration on the wait clock; ends early (false) on Stop or
    // when the port is lost.
    bool Pause(const RunningFlag& running, std::chrono::milliseconds duration);
    // Wakes every waiting exchange so that it looks at its running flag again.
    void WakeWaiters() { m_buffers.Wake(); }

    PortTransmitter& Transmitter() { return m_tx; }
    ReceiveBuffers& Buffers() { return m_buffers; }
    TaskGate& Gate() { return m_gate; }
    CommandQueue& Queue() { return *m_queue; }
    WorkerPool& Workers() { return m_workers; }
    // The program's task flag as a running flag.
    RunningFlag TaskRunning() const;

    // --- What the windows see (all called on the session's own thread)
    using LineListener = std::function<void(const QString& line)>;
    void AddLineListener(LineListener listener);
    void BroadcastLine(const QString& line);
    void SetRouterHooks(ReceiveRouter::Hooks hooks, std::function<ReceiveRouter::Page()> pageOnShow);
    void ResetRouter() { m_router.Reset(); }
    // The window that set the hooks goes: nothing of it is called any more.
    void ClearWindowHooks();
    // The PPP client's receiver, fed the raw chunks while the link is up.
    std::function<void(const QByteArray&)> m_pppRawReceiver;
    // The modem-line states after a change: the status bar's pane and the PPP log.
    std::function<void(const QString& pane)> m_statusLinePane;
    std::function<void(const QString& note)> m_lineNote;
    std::atomic<int> m_bShowRxHex{0};
    int CtsState() const { return m_nCtsState.load(); }
    int DcdState() const { return m_nDcdState.load(); }

    // A received chunk, as the port's owner hands it on (the line listeners,
    // the PPP receiver and the page on show). The terminal and the reply
    // buffers had it on the port's own thread already (ReceiveChunk).
    void HandleChunk(const QByteArray& chunk);
    // A chunk as the port's reader hands it on, on its own thread, the moment
    // it was read: into the terminal's stream (stamped now), then to the reply
    // buffers.
    void ReceiveChunk(const QByteArray& chunk);
    // A modem line (WM_SERIAL_CTS, _DSR, _DCD, _RING) is now in `state`: the
    // status pane always, a terminal note only when it changed.
    void OnLineChange(int message, long state);
    // Feeds the reply buffers as the monitor does (tests without a port).
    void FeedReplyText(const QByteArray& chunk);

    // Ends the session: the task is stopped, every waiting exchange woken, the
    // workers joined (at most waitMs; a worker waiting for the user-interface
    // thread gets its call answered meanwhile), the queue stopped and the port
    // closed. Later calls do nothing.
    void Shutdown(int waitMs = kShutdownWaitMs);
    // Shutdown has begun: a worker starts no clean-up of its own any more.
    bool ShuttingDown() const { return m_closing.load(); }
    static constexpr int kShutdownWaitMs = 2000;

private:
    class PortOwner;
    void OnPortEvent(int message, long wParam, const QString& port, std::uint64_t portId, const QByteArray& data);
    void LineChanged(std::atomic<int>& stored, long state, const char* note);
    // On the monitor's thread, as the device goes.
    void LosePort();

    TaskGate m_gate;
    ReceiveBuffers m_buffers;
    PortTransmitter m_tx;
    std::unique_ptr<CommandQueue> m_queue;
    WorkerPool m_workers;
    LineAssembler m_lines;
    ReceiveRouter m_router;
    std::function<ReceiveRouter::Page()> m_pageOnShow;
    std::vector<LineListener> m_lineListeners;
    // Used on the monitor's thread only: a character cut between two chunks
    // reaches the reply text whole.
    AnsiStreamDecoder m_rxText;
    std::unique_ptr<PortOwner> m_owner;
    mutable std::mutex m_portLock;
    std::shared_ptr<CSerialPort> m_pSerialPort;
    std::atomic<int> m_nCtsState{0}, m_nDsrState{0}, m_nRingState{0}, m_nDcdState{0};
    int m_stopListener = 0;
    bool m_shutDown = false;
    std::atomic<bool> m_closing{false};
    std::atomic<bool> m_lost{false};
};

// The program's one session (created on first use, ended by Shutdown at exit).
// The program-wide names (the task flag, the receive buffers, the transmitter,
// the command queue) forward to it.
ModemSession& AppModemSession();

} // namespace ulv
