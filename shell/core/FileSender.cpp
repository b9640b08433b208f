#include "shell/core/FileSender.h"

#include "shell/core/SendPanelRules.h"

#include <thread>

namespace ulv {

FileSender::FileSender(int flowMode, int portBuffer, Hooks hooks)
    : m_flowMode(flowMode)
    , m_pieceSize(SendPanelRules::FilePieceSize(flowMode, portBuffer))
    , m_hooks(std::move(hooks))
{
    if (!m_hooks.wait)
        m_hooks.wait = [] { std::this_thread::yield(); };
    if (!m_hooks.ctsClear)
        m_hooks.ctsClear = [] { return true; };
    if (!m_hooks.takeReceivedHex)
        m_hooks.takeReceivedHex = [] { return QString(); };
    if (!m_hooks.progress)
        m_hooks.progress = [](int, const QString&) {};
}

bool FileSender::MayTakeByte()
{
    using namespace SendPanelRules;
    if (m_flowMode == 1) {
        while (m_hooks.running() && !m_hooks.ctsClear())
            Pause();
    } else if (m_flowMode == 2) {
        if (HexTextHoldsByte(m_hooks.takeReceivedHex(), kXoff)) {
            while (m_hooks.running() && !HexTextHoldsByte(m_hooks.takeReceivedHex(), kXon))
                Pause();
        }
    }
    return m_hooks.running();
}

bool FileSender::WriteAndDrain(const QByteArray& piece)
{
    if (!m_hooks.write(piece))
        return false;
    while (m_hooks.running() && m_hooks.pendingBytes() > 0)
        Pause();
    return true;
}

FileSender::Result FileSender::Send(const QByteArray& content)
{
    using namespace SendPanelRules;
    const std::int64_t length = content.size();
    QByteArray piece;
    piece.reserve(m_pieceSize);
    std::int64_t taken = 0;
    std::int64_t sent = 0;
    bool stopped = false;
    for (; taken < length; ++taken) {
        if (!MayTakeByte()) {
            stopped = true;
            break;
        }
        if (piece.size() == m_pieceSize) {
            if (!WriteAndDrain(piece)) {
                stopped = true;
                break;
            }
            sent += piece.size();
            piece.clear();
            m_hooks.progress(ProgressPosition(taken, length), ProgressCaption(taken));
        }
        piece.append(content[qsizetype(taken)]);
    }
    if (!stopped && m_hooks.running() && !piece.isEmpty()) {
        if (WriteAndDrain(piece))
            sent += piece.size();
        else
            stopped = true;
    }
    stopped = stopped || !m_hooks.running();
    m_hooks.progress(ProgressPosition(sent, length), ProgressCaption(sent));
    return stopped ? Result::Stopped : Result::Sent;
}

} // namespace ulv
