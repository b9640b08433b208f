#include "core/at/PortTransmitter.h"

#include "serial/CSerialPort.h"
#include "core/text/HexView.h"
#include "core/at/TerminalOutput.h"
#include "serial/TraceLog.h"

#include <atomic>
#include <thread>

namespace ulv {

namespace {
std::atomic<PortTransmitter*> g_transmitter{nullptr};

// SIM-toolkit exchanges are traced apart for the module maker's tools: one line
// per tag found, so a text holding both gives two.
void TraceToolkitCommand(const QByteArray& text)
{
    for (const char* tag : {"JSTKGI", "JSTKRSP"})
        if (text.contains(tag))
            TraceLogPrintf(GetTraceLog(), "[SerialPort][send]: %s\n", text.constData());
}
}

void SetModuleTransmitter(PortTransmitter* transmitter)
{
    g_transmitter.store(transmitter);
}

PortTransmitter* GetModuleTransmitter()
{
    return g_transmitter.load();
}

void PortTransmitter::SetPort(std::shared_ptr<CSerialPort> port)
{
    std::lock_guard<std::mutex> send(m_csSend);
    std::lock_guard<std::mutex> g(m_portLock);
    m_pSerialPort = std::move(port);
}

std::shared_ptr<CSerialPort> PortTransmitter::Port() const
{
    std::lock_guard<std::mutex> g(m_portLock);
    return m_pSerialPort;
}

void PortTransmitter::PacedWrite(const QByteArray& bytes)
{
    std::lock_guard<std::mutex> g(m_csSend);
    const std::shared_ptr<CSerialPort> port = Port();
    if (!port)
        return;
    if (bytes.size() <= kPieceSize) {
        port->PostWrite(bytes);
        return;
    }
    qsizetype pos = 0;
    while (bytes.size() - pos >= kPieceSize) {
        // A port that refuses a piece (closed, or its device gone) takes none of
        // the rest: stop pacing instead of holding the send lock for nothing.
        if (!port->PostWrite(bytes.constData() + pos, kPieceSize))
            return;
        pos += kPieceSize;
        if (m_sleep)
            m_sleep(kPiecePause);
        else
            std::this_thread::sleep_for(kPiecePause);
    }
    if (pos < bytes.size())
        port->PostWrite(bytes.constData() + pos, int(bytes.size() - pos));
}

void PortTransmitter::Send(const QString& text, int mode, bool addLineEnd, bool echo, bool trace)
{
    if (!Port())
        return;
    QByteArray bytes;
    if (mode == kText) {
        bytes = text.toUtf8();
        if (trace)
            TraceToolkitCommand(bytes);
        if (addLineEnd)
            bytes += "\r\n";
        if (echo)
            WriteOutputLine(kTerminalSent, bytes);
    } else if (mode == kHex) {
        const QByteArray view = text.toUtf8();
        if (trace)
            TraceToolkitCommand(view);
        HexViewToText(view, bytes);
        if (addLineEnd)
            bytes += "\r\n";
    } else {
        return;
    }
    PacedWrite(bytes);
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
    if (!Port())
        return;
    const bool echo = m_showSendData && m_showSendData();
    if (mode == kText) {
        Send(text, mode, addLineEnd, echo, false);
        return;
    }
    if (mode != kHex)
        return;
    QByteArray bytes, display;
    HexViewToSendBytes(text.toUtf8(), bytes, display);
    if (addLineEnd) {
        bytes += "\r\n";
        display += "\r\n";
    }
    if (echo)
        WriteOutputLine(kTerminalSent, display);
    PacedWrite(bytes);
}

void PortTransmitter::SendRawBytes(const QByteArray& bytes)
{
    PacedWrite(bytes);
}

void PortTransmitter::SendByte(unsigned char byte)
{
    // One control byte (Ctrl-Z after an SMS text) goes at once, without the lock.
    if (const std::shared_ptr<CSerialPort> port = Port()) {
        const char c = char(byte);
        port->PostWrite(&c, 1);
    }
}

} // namespace ulv
