#include "core/at/ReceiveBuffers.h"

#include "core/at/ModemSession.h"

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

unsigned ReceiveBuffers::WakeCount() const
{
    std::lock_guard<std::mutex> g(m_textLock);
    return m_wakes;
}

QString ReceiveBuffers::WaitAndTakeReceivedText(std::chrono::steady_clock::time_point deadline, unsigned seenWakes)
{
    std::unique_lock<std::mutex> g(m_textLock);
    m_textArrived.wait_until(g, deadline, [&] { return !m_strReceiveBuffer.isEmpty() || m_wakes != seenWakes; });
    QString t;
    t.swap(m_strReceiveBuffer);
    return t;
}

bool ReceiveBuffers::WaitForWake(std::chrono::steady_clock::time_point deadline, unsigned seenWakes)
{
    std::unique_lock<std::mutex> g(m_textLock);
    return m_textArrived.wait_until(g, deadline, [&] { return m_wakes != seenWakes; });
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
    return AppModemSession().Buffers();
}

} // namespace ulv
