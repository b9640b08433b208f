#include "core/at/PortTransmitter.h"

#include "core/at/ModemSession.h"
#include "core/at/TerminalOutput.h"
#include "core/text/HexView.h"
#include "platform/Gui.h"
#include "serial/CSerialPort.h"
#include "serial/TraceLog.h"

namespace ulv {

namespace {

// SIM-toolkit exchanges are traced apart for the module maker's tools: one line
// per tag found, so a text holding both gives two.
void TraceToolkitCommand(const QByteArray& text)
{
    for (const char* tag : {"JSTKGI", "JSTKRSP"})
        if (text.contains(tag))
            TraceLogPrintf(GetTraceLog(), "[SerialPort][send]: %s\n", text.constData());
}

} // namespace

PortTransmitter* GetModuleTransmitter()
{
    return &AppModemSession().Transmitter();
}

PortTransmitter::PortTransmitter()
    : m_writer([this] { WriterThread(); })
{
}

PortTransmitter::~PortTransmitter()
{
    {
        std::lock_guard g(m_lock);
        m_stop = true;
        m_queue.clear();
        m_queuedBytes = 0;
        m_finishedTexts = m_queuedTexts;
    }
    m_changed.notify_all();
    m_writer.join();
}

void PortTransmitter::SetPort(std::shared_ptr<CSerialPort> port)
{
    {
        std::lock_guard g(m_lock);
        m_pSerialPort = std::move(port);
        m_queue.clear();
        m_queuedBytes = 0;
        m_finishedTexts = m_queuedTexts;
        m_nextWrite = {};
    }
    m_changed.notify_all();
}

std::shared_ptr<CSerialPort> PortTransmitter::Port() const
{
    std::lock_guard g(m_lock);
    return m_pSerialPort;
}

void PortTransmitter::SetPauseHook(std::function<void(std::chrono::milliseconds)> hook)
{
    std::lock_guard g(m_lock);
    m_pauseHook = std::move(hook);
}

bool PortTransmitter::Enqueue(QByteArray bytes, bool paced, const std::function<bool()>* stillWanted,
    const QByteArray* echo)
{
    std::unique_lock l(m_lock);
    if (!m_pSerialPort || (stillWanted && !(*stillWanted)()))
        return false;
    if (bytes.isEmpty()) {
        if (echo)
            WriteOutputLine(kTerminalSent, *echo);
        return true;
    }
    const bool fits = !paced || bytes.size() <= kPieceSize;
    if (m_queue.empty() && fits && std::chrono::steady_clock::now() >= m_nextWrite) {
        // The echo enters the terminal's stream as the bytes go to the port:
        // the module's answer, read after that, is never shown ahead of it.
        if (echo)
            WriteOutputLine(kTerminalSent, *echo);
        return m_pSerialPort->PostWrite(bytes) == 1;
    }
    m_queuedBytes += bytes.size();
    const std::uint64_t number = ++m_queuedTexts;
    Text text{std::move(bytes), 0, paced, number, {}, false};
    if (echo) {
        text.echoIsBytes = *echo == text.bytes;
        if (!text.echoIsBytes)
            text.echo = *echo;
    }
    m_queue.push_back(std::move(text));
    l.unlock();
    m_changed.notify_all();
    if (!Gui::IsUiThread())
        WaitForText(number);
    return true;
}

void PortTransmitter::WaitForText(std::uint64_t number)
{
    std::unique_lock l(m_lock);
    m_changed.wait(l, [&] { return m_stop || m_finishedTexts >= number; });
}

void PortTransmitter::WriteNextPiece(std::unique_lock<std::mutex>& lock)
{
    Text& t = m_queue.front();
    const qsizetype left = t.bytes.size() - t.written;
    const bool pieces = t.paced && t.bytes.size() > kPieceSize;
    const qsizetype n = pieces ? std::min<qsizetype>(kPieceSize, left) : left;
    const std::shared_ptr<CSerialPort> port = m_pSerialPort;
    // Each piece is shown as it goes, so what the module sends meanwhile (a
    // reply during the pause) stands between the pieces as on the wire; an
    // echo that is not the bytes themselves (a hex view) goes with the first.
    if (port) {
        if (t.echoIsBytes)
            QueueOutputLine(kTerminalSent, t.bytes.mid(t.written, n));
        else if (t.written == 0 && !t.echo.isEmpty())
            QueueOutputLine(kTerminalSent, t.echo);
    }
    // A port that refuses a piece (closed, or its device gone) takes none of
    // the rest of this text: a text never goes out with a hole in it.
    if (!port || port->PostWrite(t.bytes.constData() + t.written, int(n)) != 1) {
        m_queuedBytes -= left;
        m_finishedTexts = t.number;
        m_queue.pop_front();
        m_changed.notify_all();
        return;
    }
    t.written += n;
    m_queuedBytes -= n;
    if (t.written == t.bytes.size()) {
        m_finishedTexts = t.number;
        m_queue.pop_front();
    }
    if (pieces && n == kPieceSize) {
        if (m_pauseHook) {
            const auto pause = m_pauseHook;
            lock.unlock();
            pause(kPiecePause);
            lock.lock();
        } else {
            m_nextWrite = std::chrono::steady_clock::now() + kPiecePause;
        }
    }
    m_changed.notify_all();
}

void PortTransmitter::WriterThread()
{
    std::unique_lock l(m_lock);
    while (!m_stop) {
        if (m_queue.empty()) {
            m_changed.wait(l);
            continue;
        }
        if (std::chrono::steady_clock::now() < m_nextWrite) {
            // The pacing timer: woken early only by a new port or the end.
            m_changed.wait_until(l, m_nextWrite);
            continue;
        }
        WriteNextPiece(l);
    }
}

std::int64_t PortTransmitter::QueuedBytes() const
{
    std::lock_guard g(m_lock);
    return m_queuedBytes;
}

bool PortTransmitter::WaitUntilWritten(std::chrono::milliseconds timeout) const
{
    std::unique_lock l(m_lock);
    return m_changed.wait_for(l, timeout, [this] { return m_queue.empty(); });
}

void PortTransmitter::Send(const QString& text, int mode, bool addLineEnd, bool echo, bool trace)
{
    QByteArray bytes;
    if (mode == kText) {
        bytes = text.toUtf8();
        if (trace)
            TraceToolkitCommand(bytes);
        if (addLineEnd)
            bytes += "\r\n";
        Enqueue(bytes, true, nullptr, echo ? &bytes : nullptr);
    } else if (mode == kHex) {
        const QByteArray view = text.toUtf8();
        if (trace)
            TraceToolkitCommand(view);
        HexViewToText(view, bytes);
        if (addLineEnd)
            bytes += "\r\n";
        Enqueue(std::move(bytes), true);
    }
}

void PortTransmitter::SendToModule(const QString& text, int mode, bool addLineEnd)
{
    Send(text, mode, addLineEnd, m_showSendData && m_showSendData(), true);
}

void PortTransmitter::SendToModuleQuiet(const QString& text, int mode, bool addLineEnd)
{
    Send(text, mode, addLineEnd, false, false);
}

void PortTransmitter::SendToModuleEcho(const QString& text, int mode, bool addLineEnd, bool echo)
{
    Send(text, mode, addLineEnd, echo, false);
}

void PortTransmitter::SendScriptLine(const QString& text, int mode, bool addLineEnd)
{
    SendScriptBytes(text.toUtf8(), mode, addLineEnd);
}

void PortTransmitter::SendScriptBytes(const QByteArray& text, int mode, bool addLineEnd)
{
    const bool echo = m_showSendData && m_showSendData();
    if (mode == kText) {
        QByteArray bytes = text;
        if (addLineEnd)
            bytes += "\r\n";
        Enqueue(bytes, true, nullptr, echo ? &bytes : nullptr);
        return;
    }
    if (mode != kHex)
        return;
    QByteArray bytes, display;
    HexViewToSendBytes(text, bytes, display);
    if (addLineEnd) {
        bytes += "\r\n";
        display += "\r\n";
    }
    Enqueue(std::move(bytes), true, nullptr, echo ? &display : nullptr);
}

void PortTransmitter::SendRawBytes(const QByteArray& bytes)
{
    Enqueue(bytes, true);
}

void PortTransmitter::SendByte(unsigned char byte)
{
    // One control byte (Ctrl-Z after an SMS text) is not paced, but it still
    // waits its turn: it must never overtake the text it ends.
    Enqueue(QByteArray(1, char(byte)), false);
}

bool PortTransmitter::SendUnpaced(const QByteArray& bytes)
{
    return Enqueue(bytes, false);
}

bool PortTransmitter::SendCommandIf(const std::function<bool()>& stillWanted, const QString& text)
{
    QByteArray bytes = text.toUtf8();
    TraceToolkitCommand(bytes);
    bytes += "\r\n";
    const bool echo = m_showSendData && m_showSendData();
    return Enqueue(bytes, true, &stillWanted, echo ? &bytes : nullptr);
}

} // namespace ulv
