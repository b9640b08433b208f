#include "core/at/ReceiveRouter.h"

#include "platform/IniFile.h"

#include <algorithm>

namespace ulv {

namespace {

constexpr qsizetype kSmsGatherLimit = 2000;
constexpr qsizetype kVoiceGatherLimit = 1024;

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
        // Nothing is dropped for size: what stays gathered is an announced
        // read still coming, or at most the end of an unfinished line.
        m_strPageReceive += chunk;
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

namespace {

// Position of `token` at or after `from`, ignoring case; -1 when absent.
qsizetype FindNoCase(const QByteArray& text, const QByteArray& token, qsizetype from)
{
    for (qsizetype at = from; at + token.size() <= text.size(); ++at) {
        if (qstrnicmp(text.constData() + at, token.constData(), token.size()) == 0)
            return at;
    }
    return -1;
}

// The earliest of the positions that are not -1.
qsizetype Earliest(std::initializer_list<qsizetype> positions)
{
    qsizetype best = -1;
    for (qsizetype p : positions)
        if (p >= 0 && (best < 0 || p < best))
            best = p;
    return best;
}

// What is kept of text that holds no unfinished notification: the line not yet
// ended, at most a little of it (a notification is short).
void KeepUnfinishedLine(QByteArray& text, qsizetype from)
{
    constexpr qsizetype kKeep = 256;
    const qsizetype lineEnd = text.lastIndexOf('\n');
    qsizetype keep = std::max(from, lineEnd + 1);
    keep = std::max(keep, text.size() - kKeep);
    text.remove(0, keep);
}

} // namespace

// The gathered text is worked through from its start: every notification and
// every announced read is handled once, in the order it came, and a read's
// bytes are data whatever they hold. An announced read that is not complete
// stops the work until more comes.
void ReceiveRouter::TcpUmts()
{
    const QByteArray deact = "+JIURC: \"PDPdeact\",0";
    const QByteArray read = "+JIRD:";
    const QByteArray push = "+JIURC: \"recv\",";
    QByteArray& text = m_strPageReceive;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype d = text.indexOf(deact, pos);
        qsizetype r = text.indexOf(read, pos);
        // Pushed data: the notice carries the length after the connection id.
        for (qsizetype p = text.indexOf(push, pos); p >= 0 && (r < 0 || p < r); p = text.indexOf(push, p + 1)) {
            const qsizetype lineEnd = text.indexOf('\n', p);
            const qsizetype comma = text.indexOf(',', p + push.size());
            if (lineEnd < 0 || (comma >= 0 && comma < lineEnd)) {
                r = p;
                break;
            }
        }
        qsizetype c = FindNoCase(text, "CLOSED", pos);
        // A closing counts once its line has ended.
        if (c >= 0 && text.indexOf('\n', c) < 0)
            c = -1;
        const qsizetype first = Earliest({d, r, c});
        if (first < 0)
            break;
        if (first == d) {
            if (m_hooks.tcpContextDeactivated)
                m_hooks.tcpContextDeactivated();
            pos = d + deact.size();
        } else if (first == r) {
            // An announced read ("+JIRD: <n>") or a push ("+JIURC: "recv",<id>,<n>").
            const qsizetype lineEnd = text.indexOf('\n', r);
            if (lineEnd < 0) {
                text.remove(0, r);
                return;
            }
            const qsizetype countAt = text.mid(r, read.size()) == read ? r + read.size() : text.indexOf(',', r + push.size()) + 1;
            const long long length = LeadingNumber(Without(text.mid(countAt, lineEnd - countAt), {' ', '\r', '\n'}));
            if (length < 0) {
                // No count: a malformed header, not data.
                pos = lineEnd + 1;
                continue;
            }
            if (text.size() - (lineEnd + 1) < length) {
                text.remove(0, r);
                return;
            }
            if (length > 0)
                Deliver(text.mid(lineEnd + 1, length));
            pos = lineEnd + 1 + qsizetype(length);
        } else {
            if (m_hooks.tcpClosed)
                m_hooks.tcpClosed();
            pos = c + 6;
        }
    }
    KeepUnfinishedLine(text, pos);
}

// The GSM family pushes each packet as "IPD<length>:" and the bytes; several
// packets and a closing can come in one piece.
void ReceiveRouter::TcpGsm()
{
    QByteArray& text = m_strPageReceive;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype ipd = text.indexOf("IPD", pos);
        qsizetype c = text.indexOf("CLOSED", pos);
        if (c >= 0 && text.indexOf('\n', c) < 0)
            c = -1;
        const qsizetype first = Earliest({ipd, c});
        if (first < 0)
            break;
        if (first == c) {
            if (m_hooks.tcpClosed)
                m_hooks.tcpClosed();
            pos = c + 6;
            continue;
        }
        const qsizetype colon = text.indexOf(':', ipd + 3);
        if (colon < 0 || colon - (ipd + 3) > 7) {
            if (text.size() - (ipd + 3) <= 7) {
                // The header may still be coming.
                text.remove(0, ipd);
                return;
            }
            pos = ipd + 3;
            continue;
        }
        const long long length = LeadingNumber(text.mid(ipd + 3, colon - ipd - 3).trimmed());
        if (length < 0) {
            pos = colon + 1;
            continue;
        }
        if (text.size() - (colon + 1) < length) {
            text.remove(0, ipd);
            return;
        }
        if (length > 0)
            Deliver(text.mid(colon + 1, length));
        if (m_hooks.terminalLineEnd)
            m_hooks.terminalLineEnd();
        pos = colon + 1 + qsizetype(length);
    }
    KeepUnfinishedLine(text, pos);
}

} // namespace ulv
