#include "core/at/ReceiveBuffers.h"

#include "core/at/ModemSession.h"

#include <chrono>

namespace ulv {

ReceiveBuffers::Reading::Reading(ReceiveBuffers& buffers)
    : m_buffers(buffers)
{
    std::lock_guard<std::mutex> g(m_buffers.m_textLock);
    ++m_buffers.m_readers;
}

ReceiveBuffers::Reading::~Reading()
{
    std::lock_guard<std::mutex> g(m_buffers.m_textLock);
    --m_buffers.m_readers;
}

void ReceiveBuffers::SetDropNotice(std::function<void()> notice)
{
    std::lock_guard<std::mutex> g(m_textLock);
    m_dropNotice = std::move(notice);
}

void ReceiveBuffers::ClearReceivedText()
{
    std::lock_guard<std::mutex> g(m_textLock);
    m_strReceiveBuffer.clear();
    m_dropNoted = false;
}

bool ReceiveBuffers::DropOldest()
{
    // Down to half the limit in one go, so the cost is paid once per half
    // limit of text, not per chunk; the kept text starts at a line when one
    // ends in the next quarter.
    qsizetype cut = m_strReceiveBuffer.size() - kTextLimit / 2;
    const qsizetype lf = m_strReceiveBuffer.indexOf(QLatin1Char('\n'), cut);
    if (lf >= 0 && lf < cut + kTextLimit / 4)
        cut = lf + 1;
    else if (m_strReceiveBuffer.at(cut).isLowSurrogate())
        ++cut;
    m_strReceiveBuffer.remove(0, cut);
    const bool first = !m_dropNoted;
    m_dropNoted = true;
    return first;
}

void ReceiveBuffers::AppendReceivedText(const QString& text)
{
    std::function<void()> notice;
    {
        std::lock_guard<std::mutex> g(m_textLock);
        m_strReceiveBuffer += text;
        if (m_readers == 0 && m_strReceiveBuffer.size() > kTextLimit && DropOldest())
            notice = m_dropNotice;
    }
    m_textArrived.notify_all();
    if (notice)
        notice();
}

QString ReceiveBuffers::TakeReceivedText()
{
    std::lock_guard<std::mutex> g(m_textLock);
    QString t;
    t.swap(m_strReceiveBuffer);
    m_dropNoted = false;
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
    // A waiter is a reader: what arrives while it waits is its reply.
    ++m_readers;
    m_textArrived.wait_until(g, deadline, [&] { return !m_strReceiveBuffer.isEmpty() || m_wakes != seenWakes; });
    --m_readers;
    QString t;
    t.swap(m_strReceiveBuffer);
    m_dropNoted = false;
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
