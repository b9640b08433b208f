#include "core/at/ReceiveBuffers.h"

#include <chrono>

namespace ulv {

void ReceiveBuffers::ClearReceivedText()
{
    std::lock_guard<std::mutex> g(m_textLock);
    m_strReceiveBuffer.clear();
}

void ReceiveBuffers::AppendReceivedText(const QString& text)
{
    {
        std::lock_guard<std::mutex> g(m_textLock);
        m_strReceiveBuffer += text;
        // Halving at the cap keeps the trimming cost spread thin.
        if (m_strReceiveBuffer.size() > kTextLimit)
            m_strReceiveBuffer.remove(0, m_strReceiveBuffer.size() - kTextLimit / 2);
    }
    m_textArrived.notify_all();
}

QString ReceiveBuffers::TakeReceivedText()
{
    std::lock_guard<std::mutex> g(m_textLock);
    QString t;
    t.swap(m_strReceiveBuffer);
    return t;
}

QString ReceiveBuffers::WaitAndTakeReceivedText(int timeoutMs)
{
    std::unique_lock<std::mutex> g(m_textLock);
    const unsigned wakes = m_wakes;
    m_textArrived.wait_for(g, std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs),
        [&] { return !m_strReceiveBuffer.isEmpty() || m_wakes != wakes; });
    QString t;
    t.swap(m_strReceiveBuffer);
    return t;
}

void ReceiveBuffers::Wake()
{
    {
        std::lock_guard<std::mutex> g(m_textLock);
        ++m_wakes;
    }
    m_textArrived.notify_all();
}

void ReceiveBuffers::ClearReceivedHex()
{
    std::lock_guard<std::mutex> g(m_hexLock);
    m_strReceiveHexBuffer.clear();
}

void ReceiveBuffers::AppendReceivedHex(const QString& hex)
{
    std::lock_guard<std::mutex> g(m_hexLock);
    m_strReceiveHexBuffer += hex;
    if (m_strReceiveHexBuffer.size() > kHexLimit)
        m_strReceiveHexBuffer.clear();
}

QString ReceiveBuffers::TakeReceivedHex()
{
    std::lock_guard<std::mutex> g(m_hexLock);
    QString t;
    t.swap(m_strReceiveHexBuffer);
    return t;
}

ReceiveBuffers& AppReceiveBuffers()
{
    static ReceiveBuffers buffers;
    return buffers;
}

} // namespace ulv
