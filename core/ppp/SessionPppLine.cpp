#include "core/ppp/SessionPppLine.h"

#include "core/at/ModemSession.h"
#include "core/at/TerminalOutput.h"

namespace ulv {

SessionPppLine::SessionPppLine(ModemSession& session, RunningFlag running)
    : m_session(session)
    , m_running(std::move(running))
{
}

bool SessionPppLine::Running()
{
    return !m_running || m_running();
}

void SessionPppLine::ClearReceived()
{
    m_session.Buffers().ClearReceivedText();
    m_session.Buffers().ClearReceivedHex();
}

void SessionPppLine::SendText(const std::string& text, bool lineEnd)
{
    m_session.Transmitter().SendToModule(QString::fromStdString(text), 0, lineEnd);
}

void SessionPppLine::SendRaw(const std::vector<std::uint8_t>& bytes)
{
    m_session.Transmitter().SendRawBytes(
        QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
}

void SessionPppLine::WaitReceived(Clock::time_point deadline, std::string& text, std::string& hex)
{
    ReceiveBuffers& buffers = m_session.Buffers();
    // The wake count is noted first: data or a Stop after it ends the wait at once.
    const unsigned seen = buffers.WakeCount();
    text = buffers.TakeReceivedText().toStdString();
    hex = buffers.TakeReceivedHex().toStdString();
    if (!hex.empty() || !text.empty())
        return;
    // A stop ends one wait at once; the waits after it that must go on
    // (leaving data mode) then wait on the clock.
    if (!Running() && !m_stopSeen) {
        m_stopSeen = true;
        return;
    }
    buffers.WaitForWake(deadline, seen);
    text = buffers.TakeReceivedText().toStdString();
    hex = buffers.TakeReceivedHex().toStdString();
}

void SessionPppLine::Note(int kind, const std::string& text)
{
    WriteOutputLine(kind, QString::fromStdString(text));
}

int SessionPppLine::DcdState()
{
    return m_session.DcdState();
}

bool SessionPppLine::LineOpen()
{
    return m_session.IsOpen() && !m_session.PortLost();
}

void SessionPppLine::SetRecvAsHex(bool hex)
{
    m_session.m_bShowRxHex = hex ? 1 : 0;
}

} // namespace ulv
