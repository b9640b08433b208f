#include "core/at/ModemSession.h"

#include "core/at/TerminalOutput.h"
#include "core/at/WaitClock.h"
#include "core/text/AnsiText.h"
#include "core/text/HexView.h"
#include "serial/CSerialPort.h"
#include "serial/SerialMessages.h"
#include "shell/core/CUlvenscopeApp.h"

#include <QCoreApplication>
#include <QObject>
#include <algorithm>

namespace ulv {

// The port's owner: its notifications arrive here, on the session's thread.
class ModemSession::PortOwner : public QObject {
public:
    explicit PortOwner(ModemSession& session) : m_session(session) {}

    bool event(QEvent* e) override
    {
        if (e->type() < QEvent::User)
            return QObject::event(e);
        const int message = int(e->type()) - int(QEvent::User);
        switch (message) {
        case WM_SERIAL_DATA:
        case WM_SERIAL_DATA_SYNC:
        case WM_SERIAL_CTS:
        case WM_SERIAL_DSR:
        case WM_SERIAL_DCD:
        case WM_SERIAL_RING:
        case WM_SERIAL_HANGUP: {
            auto* se = static_cast<SerialEvent*>(e);
            m_session.OnPortEvent(message, se->WParam(), se->Port(), se->PortId(), se->Data());
            return true;
        }
        default: return QObject::event(e);
        }
    }

private:
    ModemSession& m_session;
};

ModemSession::ModemSession()
    : m_queue(std::make_unique<CommandQueue>(
          [this](const CommandRequest& request, const RunningFlag& running) {
              RunCommandRequest(*this, request, running);
          },
          [this] { m_buffers.Wake(); }))
    , m_workers(m_gate)
    , m_owner(std::make_unique<PortOwner>(*this))
{
    // Port notifications are handled where the windows live, whoever made the
    // session first.
    if (QCoreApplication* app = QCoreApplication::instance())
        m_owner->moveToThread(app->thread());
    m_stopListener = m_gate.AddStopListener([this] { m_buffers.Wake(); });
    m_buffers.SetDropNotice([] { WriteOutputLine(kTerminalNote, QString::fromLatin1(kUnreadTextDropped)); });
}

ModemSession::~ModemSession()
{
    Shutdown();
    m_gate.RemoveStopListener(m_stopListener);
}

void ModemSession::Shutdown(int waitMs)
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    m_closing = true;
    m_workers.StopAndJoin(waitMs);
    m_queue->Stop(waitMs);
    Close();
}

RunningFlag ModemSession::TaskRunning() const
{
    return [this] { return m_gate.Running(); };
}

ModemSession::OpenResult ModemSession::Open(const QString& port, int baud, int dataBits, int stopBits, char parity,
    int flowMode, int bufferSize)
{
    Close();
    auto serial = std::make_shared<CSerialPort>();
    if (!serial->OpenPort(m_owner.get(), port, baud, parity, dataBits, stopBits, 0x1FD, bufferSize, flowMode))
        return serial->SetupFailed() ? OpenResult::SetupFailed : OpenResult::Unavailable;
    // The monitor is not running yet: the decoder may start afresh.
    m_rxText = AnsiStreamDecoder();
    serial->SetReceiveTap([this](const QByteArray& chunk) { ReceiveChunk(chunk); });
    serial->SetWriteTap([this] { m_buffers.Wake(); });
    serial->SetHangUpTap([this] { LosePort(); });
    m_lost = false;
    if (!serial->StartMonitor()) {
        serial->ClosePort();
        return OpenResult::MonitorFailed;
    }
    {
        std::lock_guard g(m_portLock);
        m_pSerialPort = serial;
    }
    m_tx.SetPort(serial);
    return OpenResult::Opened;
}

void ModemSession::Close()
{
    // Senders lose the port first (texts not yet written go with it), then it
    // stops; its notifications still queued are dropped by their port id.
    m_tx.SetPort(nullptr);
    std::shared_ptr<CSerialPort> port;
    {
        std::lock_guard g(m_portLock);
        port.swap(m_pSerialPort);
    }
    if (port)
        port->ClosePort();
    // Commands queued for this port are not sent to the next one.
    m_queue->Clear();
    // Whoever waits for the module looks again and finds the port gone.
    m_buffers.Wake();
}

void ModemSession::LosePort()
{
    // Done here rather than when the window hears of it: the task ends and the
    // senders stop even while the user-interface thread is busy.
    m_lost = true;
    m_tx.SetPort(nullptr);
    m_buffers.Wake();
}

std::shared_ptr<CSerialPort> ModemSession::Port() const
{
    std::lock_guard g(m_portLock);
    return m_pSerialPort;
}

bool ModemSession::IsOpen() const
{
    return Port() != nullptr;
}

ExchangeResult ModemSession::Exchange(const RunningFlag& running, const ExchangeSpec& exchange, QString& reply)
{
    reply.clear();
    if (!running())
        return ExchangeResult::Stopped;
    // From here the reply is this exchange's: none of it is dropped.
    const ReceiveBuffers::Reading reading(m_buffers);
    if (exchange.clearBuffer)
        m_buffers.ClearReceivedText();
    const auto end = WaitClockNow() + std::chrono::milliseconds(exchange.timeoutMs);
    // The flag is looked at again under the queue's lock: a Stop that came
    // meanwhile sends nothing. Without a port nothing goes out and the wait
    // runs into its time-out, as for a module that does not answer.
    if (!m_tx.SendCommandIf(running, exchange.command) && !running())
        return ExchangeResult::Stopped;
    return AwaitReply(running, exchange, end, reply);
}

ExchangeResult ModemSession::AwaitReply(const RunningFlag& running, const ExchangeSpec& exchange,
    std::chrono::steady_clock::time_point end, QString& reply)
{
    for (;;) {
        // Noted before the flag is looked at, so a Stop between the look and
        // the wait still wakes the wait.
        const unsigned wakes = m_buffers.WakeCount();
        if (!running())
            return ExchangeResult::Stopped;
        // A lost port: what the module sent before it went is still judged,
        // then nothing more can come.
        const bool lost = m_lost.load();
        if (!lost && WaitClockNow() > end)
            return ExchangeResult::Timeout;
        const QString text = lost
            ? m_buffers.TakeReceivedText()
            : m_buffers.WaitAndTakeReceivedText(WaitClockToSteady(end) + std::chrono::milliseconds(1), wakes);
        if (text.isEmpty()) {
            if (lost)
                return ExchangeResult::Timeout;
            continue;
        }
        reply += text;
        // A chunk may end mid-line: judge only a reply that ends a line.
        if (!reply.endsWith('\n') && !(exchange.acceptCarriageReturn && reply.endsWith('\r')))
            continue;
        const auto holds = [&](const QString& t) { return reply.contains(t); };
        const bool success = exchange.anySuccess ? std::any_of(exchange.success.begin(), exchange.success.end(), holds)
                                             : std::all_of(exchange.success.begin(), exchange.success.end(), holds);
        if (success)
            return ExchangeResult::Reply;
        if (!exchange.error.isEmpty() && reply.contains(exchange.error))
            return ExchangeResult::Error;
    }
}

bool ModemSession::Pause(const RunningFlag& running, std::chrono::milliseconds duration)
{
    const auto end = WaitClockNow() + duration;
    for (;;) {
        const unsigned wakes = m_buffers.WakeCount();
        if (!running() || m_lost.load())
            return false;
        if (WaitClockNow() >= end)
            return true;
        m_buffers.WaitForWake(WaitClockToSteady(end), wakes);
    }
}

void ModemSession::ReceiveChunk(const QByteArray& chunk)
{
    if (chunk.isEmpty())
        return;
    // Into the terminal's stream first: whatever a worker writes once it has
    // judged this text (its note, its next command) comes after it.
    if (m_bShowRxHex.load()) {
        QueueOutputLine(kTerminalReceived, SpaceHexPairs(chunk.toHex().toUpper()) + "\r\n");
    } else {
        QByteArray text = chunk;
        text.replace('\0', ' ');
        QueueOutputLine(kTerminalReceived, text);
    }
    FeedReplyText(chunk);
}

void ModemSession::FeedReplyText(const QByteArray& chunk)
{
    QByteArray text = chunk;
    text.replace('\0', ' ');
    m_buffers.AppendReceivedText(m_rxText.Decode(text));
    m_buffers.AppendReceivedHex(QString::fromLatin1(chunk.toHex().toUpper()));
    // Whoever waits for a received byte rather than a reply (the file
    // sender's XON) looks again.
    m_buffers.Wake();
}

void ModemSession::AddLineListener(LineListener listener)
{
    m_lineListeners.push_back(std::move(listener));
}

void ModemSession::BroadcastLine(const QString& line)
{
    for (const LineListener& listener : m_lineListeners)
        listener(line);
}

void ModemSession::SetRouterHooks(ReceiveRouter::Hooks hooks, std::function<ReceiveRouter::Page()> pageOnShow)
{
    m_router.SetHooks(std::move(hooks));
    m_pageOnShow = std::move(pageOnShow);
}

void ModemSession::ClearWindowHooks()
{
    m_lineListeners.clear();
    m_router.SetHooks({});
    m_router.Reset();
    m_pageOnShow = nullptr;
    m_pppRawReceiver = nullptr;
    m_portLost = nullptr;
    m_statusLinePane = nullptr;
    m_lineNote = nullptr;
}

void ModemSession::HandleChunk(const QByteArray& chunk)
{
    if (chunk.isEmpty())
        return;
    QByteArray text = chunk;
    text.replace('\0', ' ');
    if (m_pppRawReceiver)
        m_pppRawReceiver(chunk);
    m_lines.Feed(chunk, [this](const QByteArray& line) { BroadcastLine(AnsiToString(line)); });
    if (m_pageOnShow)
        m_router.Dispatch(m_pageOnShow(), GetModuleType(), text);
}

void ModemSession::OnPortEvent(int message, long wParam, const QString& port, std::uint64_t portId,
    const QByteArray& data)
{
    const std::shared_ptr<CSerialPort> current = Port();
    if (!current || current->PortId() != portId)
        return; // from a port since closed
    switch (message) {
    case WM_SERIAL_DATA:
    case WM_SERIAL_DATA_SYNC: HandleChunk(data); break;
    case WM_SERIAL_CTS:
    case WM_SERIAL_DSR:
    case WM_SERIAL_DCD:
    case WM_SERIAL_RING: OnLineChange(message, wParam); break;
    case WM_SERIAL_HANGUP:
        // The device went away (a module unplugged): say so where the user is
        // looking, and let the window show the module as gone.
        WriteOutputLine(kTerminalNote, QString("/* The serial port '%1' was closed by the device */").arg(port));
        if (m_portLost)
            m_portLost(port);
        break;
    default: break;
    }
}

void ModemSession::OnLineChange(int message, long state)
{
    switch (message) {
    case WM_SERIAL_CTS: LineChanged(m_nCtsState, state, "DSR:%d (CTS:%d) RI:%d DCD:%d"); break;
    case WM_SERIAL_DSR: LineChanged(m_nDsrState, state, "(DSR:%d) CTS:%d RI:%d DCD:%d"); break;
    case WM_SERIAL_DCD: LineChanged(m_nDcdState, state, "DSR:%d CTS:%d RI:%d (DCD:%d)"); break;
    case WM_SERIAL_RING: LineChanged(m_nRingState, state, "DSR:%d CTS:%d (RI:%d) DCD:%d"); break;
    default: break;
    }
}

void ModemSession::LineChanged(std::atomic<int>& stored, long state, const char* note)
{
    const int value = state ? 1 : 0;
    const int prev = stored.exchange(value);
    m_buffers.Wake(); // a sender held by CTS looks again
    if (m_statusLinePane)
        m_statusLinePane(QString(" DSR[%1] CTS[%2] RI[%3] DCD[%4]")
                             .arg(m_nDsrState.load()).arg(m_nCtsState.load()).arg(m_nRingState.load())
                             .arg(m_nDcdState.load()));
    if (prev == value)
        return;
    const QString text = QString::asprintf(note, m_nDsrState.load(), m_nCtsState.load(), m_nRingState.load(),
        m_nDcdState.load());
    WriteOutputLine(kTerminalReceived, "\r\n" + text + "\r\n");
    if (m_lineNote)
        m_lineNote(text);
}

ModemSession& AppModemSession()
{
    // Never destroyed: its threads may outlive main's objects at exit; the
    // program ends it with Shutdown.
    static ModemSession* session = new ModemSession;
    return *session;
}

TaskGate& AppTaskGate()
{
    return AppModemSession().Gate();
}

} // namespace ulv
