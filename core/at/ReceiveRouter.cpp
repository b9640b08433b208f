#include "core/at/ReceiveRouter.h"

#include "platform/IniFile.h"

namespace ulv {

namespace {

constexpr qsizetype kSmsGatherLimit = 2000;
constexpr qsizetype kVoiceGatherLimit = 1024;
constexpr qsizetype kTcpGatherLimit = 1500;

QByteArray Without(QByteArray text, std::initializer_list<char> drop)
{
    for (char c : drop)
        text.replace(QByteArray(1, c), QByteArray());
    return text;
}

// Leading decimal number of a byte text, or -1 when none leads.
long long LeadingNumber(const QByteArray& text)
{
    if (text.isEmpty() || text[0] < '0' || text[0] > '9')
        return -1;
    return ParseLeadingInt(QString::fromLatin1(text), -1);
}

} // namespace

void ReceiveRouter::Dispatch(Page page, int moduleType, const QByteArray& chunk)
{
    switch (page) {
    case Page::Other:
        return;
    case Page::Sms:
        Sms(chunk);
        return;
    case Page::Voice:
        m_strPageReceive += chunk;
        if (m_strPageReceive.size() > kVoiceGatherLimit || m_strPageReceive.endsWith('\n'))
            m_strPageReceive.clear();
        return;
    case Page::TcpUdp:
        m_strPageReceive += chunk;
        if (m_strPageReceive.size() > kTcpGatherLimit)
            m_strPageReceive.clear();
        if (moduleType != 0)
            TcpUmts();
        else
            TcpGsm();
        return;
    }
}

void ReceiveRouter::Sms(const QByteArray& chunk)
{
    m_strPageReceive += chunk;
    if (m_strPageReceive.size() > kSmsGatherLimit)
        m_strPageReceive.clear();
    if (!chunk.endsWith('\n'))
        return;
    // The echo of a read command without its result: the result is still coming.
    if (chunk.contains("AT+CMGR") && !chunk.contains("+CMGR:"))
        return;
    QByteArray text;
    text.swap(m_strPageReceive);
    // Every notification in the gathered text counts, in order: several messages
    // can arrive between two line ends.
    const QByteArray tag = "+CMTI: \"SM\"";
    for (qsizetype at = text.indexOf(tag); at >= 0; at = text.indexOf(tag, at + tag.size())) {
        const qsizetype end = text.indexOf('\n', at);
        QByteArray part = text.mid(at, end < 0 ? -1 : end - at);
        const qsizetype comma = part.lastIndexOf(',');
        QByteArray index = comma >= 0 ? part.mid(comma + 1) : part;
        while (index.startsWith(' '))
            index.remove(0, 1);
        index = Without(index, {'\r', '\n'});
        if (index.isEmpty())
            continue;
        if (m_hooks.note)
            m_hooks.note(QString("/* New message arrived, saved in SIM storage and index number is %1 (if module can't "
                                 "receive messages, you may check the storage is full or not)*/")
                             .arg(QString::fromLatin1(index)));
        const long long n = LeadingNumber(index);
        if (n >= 0 && m_hooks.queueNewMessage)
            m_hooks.queueNewMessage(int(n));
    }
}

QByteArray ReceiveRouter::PrepareEchoPayload(QByteArray payload)
{
    const qsizetype banner = payload.indexOf("MORVANE ECHO SERVER");
    if (banner >= 0)
        payload = payload.mid(banner);
    if (payload.size() > 40 && payload[20] == '[' && payload[40] == ']')
        payload = payload.mid(42);
    if (payload.endsWith("\r\n"))
        payload.chop(2);
    return payload;
}

void ReceiveRouter::Deliver(const QByteArray& payload)
{
    const bool echo = m_hooks.echoTestOn && m_hooks.echoTestOn();
    if (m_hooks.tcpData)
        m_hooks.tcpData(echo ? PrepareEchoPayload(payload) : payload);
}

void ReceiveRouter::TcpUmts()
{
    const QByteArray copy = m_strPageReceive;
    const QByteArray deact = "+JIURC: \"PDPdeact\",0";
    if (const qsizetype at = copy.indexOf(deact); at >= 0) {
        if (m_hooks.tcpContextDeactivated)
            m_hooks.tcpContextDeactivated();
        m_strPageReceive = copy.mid(at + deact.size());
        return;
    }
    if (const qsizetype at = copy.indexOf("+JIRD:"); at >= 0) {
        const qsizetype lineEnd = copy.indexOf('\n', at);
        if (lineEnd < 0)
            return;
        const long long length = LeadingNumber(Without(copy.mid(at + 6, lineEnd - at - 6), {' ', '\r', '\n'}));
        const QByteArray payload = copy.mid(lineEnd + 1);
        if (length < 0 || payload.size() < length)
            return;
        Deliver(payload.left(length));
        m_strPageReceive.clear();
        return;
    }
    if (copy.endsWith('\n')) {
        const QByteArray upper = copy.toUpper();
        if (const qsizetype at = upper.indexOf("CLOSED"); at >= 0) {
            if (m_hooks.tcpClosed)
                m_hooks.tcpClosed();
            m_strPageReceive = upper.mid(at + 7);
        }
    }
}

void ReceiveRouter::TcpGsm()
{
    const QByteArray copy = m_strPageReceive;
    if (const qsizetype at = copy.indexOf("IPD"); at >= 0) {
        const qsizetype colon = copy.indexOf(':', at + 3);
        if (colon < 0 || colon - (at + 3) > 7)
            return;
        const long long length = LeadingNumber(copy.mid(at + 3, colon - at - 3).trimmed());
        const QByteArray payload = copy.mid(colon + 1);
        if (length < 0 || payload.size() < length)
            return;
        // Only the announced length is the packet; what follows is the next reply.
        Deliver(payload.left(length));
        if (m_hooks.terminalLineEnd)
            m_hooks.terminalLineEnd();
        m_strPageReceive = payload.mid(length);
        return;
    }
    if (copy.endsWith('\n')) {
        if (const qsizetype at = copy.indexOf("CLOSED"); at >= 0) {
            if (m_hooks.tcpClosed)
                m_hooks.tcpClosed();
            m_strPageReceive = copy.mid(at + 7);
        }
    }
}

} // namespace ulv
