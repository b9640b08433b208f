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
    // What was gathered for another page means nothing to this one.
    if (page != m_lastPage) {
        ClearTcp();
        m_lastPage = page;
    }
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
        // read still coming (at most one read's length), or at most the end
        // of an unfinished line.
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

// The earliest of the positions that are not -1.
qsizetype Earliest(std::initializer_list<qsizetype> positions)
{
    qsizetype best = -1;
    for (qsizetype p : positions)
        if (p >= 0 && (best < 0 || p < best))
            best = p;
    return best;
}

// The announced length of a read: its leading digits, saturated well above
// any real read (a count of twenty digits must not overflow); -1 when none.
long long AnnouncedLength(const QByteArray& text)
{
    long long n = -1;
    for (char c : text) {
        if (c < '0' || c > '9')
            break;
        n = std::min<long long>((n < 0 ? 0 : n) * 10 + (c - '0'), 1LL << 40);
    }
    return n;
}

// Longest header line of a read ("+JIURC: "recv",<id>,<length>").
constexpr qsizetype kMaxHeader = 64;

bool SameNoCase(char a, char b)
{
    return (a >= 'a' && a <= 'z' ? a - 32 : a) == (b >= 'a' && b <= 'z' ? b - 32 : b);
}

} // namespace

qsizetype ReceiveRouter::Finder::Find(const QByteArray& text, qsizetype from)
{
    // Known: the token does not begin in [lo, found), or in [lo, searched)
    // when it was not found.
    qsizetype start = from;
    if (from >= lo) {
        if (found >= from)
            return found;
        if (found < 0)
            start = std::max(from, searched);
    }
    lo = from;
    found = -1;
    if (!noCase) {
        found = text.indexOf(token, start);
    } else {
        for (qsizetype at = start; at + token.size() <= text.size() && found < 0; ++at) {
            qsizetype k = 0;
            while (k < token.size() && SameNoCase(text[at + k], token[k]))
                ++k;
            if (k == token.size())
                found = at;
        }
    }
    // Where the token could first begin once more text has come.
    searched = found >= 0 ? found : std::max(start, text.size() - token.size() + 1);
    return found;
}

void ReceiveRouter::Finder::Drop(qsizetype n)
{
    found = found >= n ? found - n : -1;
    searched = std::max<qsizetype>(0, searched - n);
    lo = std::max<qsizetype>(0, lo - n);
}

void ReceiveRouter::Consume(qsizetype n)
{
    m_strPageReceive.remove(0, n);
    for (Finder* f : {&m_deact, &m_read, &m_push, &m_closed, &m_closedGsm, &m_ipd, &m_lineEnd})
        f->Drop(n);
}

void ReceiveRouter::ClearTcp()
{
    m_strPageReceive.clear();
    for (Finder* f : {&m_deact, &m_read, &m_push, &m_closed, &m_closedGsm, &m_ipd, &m_lineEnd})
        *f = Finder{f->token, f->noCase};
    m_dataLeft = 0;
}

bool ReceiveRouter::BoundLength(long long& length, const QByteArray& announced)
{
    if (length <= kMaxRead)
        return false;
    if (m_hooks.note)
        m_hooks.note(QStringLiteral("/* The module announced %1 bytes in one read, more than the %2 it can send: "
                                    "at most %2 are taken as data, the rest is read as replies */")
                         .arg(QString::fromLatin1(announced))
                         .arg(kMaxRead));
    length = kMaxRead;
    return true;
}

// Hands on the bytes of a read whose length was a lie as they come; true
// once all it may take has gone.
bool ReceiveRouter::DeliverBoundedRead(qsizetype& pos)
{
    const qsizetype take = std::min<qsizetype>(m_dataLeft, m_strPageReceive.size() - pos);
    if (take > 0)
        Deliver(m_strPageReceive.mid(pos, take));
    m_dataLeft -= take;
    pos += take;
    return m_dataLeft == 0;
}

// The gathered text is worked through once: every notification and every
// announced read is handled in the order it came, and a read's bytes are data
// whatever they hold. An announced read that is not complete stops the work
// until more comes; what was looked at is not looked at again.
void ReceiveRouter::TcpUmts()
{
    QByteArray& text = m_strPageReceive;
    qsizetype pos = 0;
    for (;;) {
        if (m_dataLeft > 0) {
            if (!DeliverBoundedRead(pos))
                break;
            continue;
        }
        const qsizetype d = m_deact.Find(text, pos);
        qsizetype r = m_read.Find(text, pos);
        // Pushed data: the notice carries the length after the connection id.
        for (qsizetype p = m_push.Find(text, pos); p >= 0 && (r < 0 || p < r); p = m_push.Find(text, p + 1)) {
            const qsizetype lineEnd = m_lineEnd.Find(text, p);
            const qsizetype idAt = p + m_push.token.size();
            if (lineEnd < 0
                || std::find(text.cbegin() + idAt, text.cbegin() + std::max(idAt, lineEnd), ',')
                    != text.cbegin() + std::max(idAt, lineEnd)) {
                r = p;
                break;
            }
        }
        qsizetype c = m_closed.Find(text, pos);
        // A closing counts once its line has ended.
        if (c >= 0 && m_lineEnd.Find(text, c) < 0)
            c = -1;
        const qsizetype first = Earliest({d, r, c});
        if (first < 0)
            break;
        if (first == d) {
            if (m_hooks.tcpContextDeactivated)
                m_hooks.tcpContextDeactivated();
            pos = d + m_deact.token.size();
        } else if (first == r) {
            // An announced read ("+JIRD: <n>") or a push ("+JIURC: "recv",<id>,<n>").
            const qsizetype lineEnd = m_lineEnd.Find(text, r);
            if (lineEnd < 0 && text.size() - r > kMaxHeader) {
                // A header that never ends is no header.
                pos = r + 1;
                continue;
            }
            if (lineEnd < 0) {
                Consume(r);
                return;
            }
            const bool isRead = text.mid(r, m_read.token.size()) == m_read.token;
            const qsizetype countAt = isRead ? r + m_read.token.size() : text.indexOf(',', r + m_push.token.size()) + 1;
            QByteArray count = text.mid(countAt, lineEnd - countAt);
            count.replace(' ', QByteArray()).replace('\r', QByteArray());
            long long length = AnnouncedLength(count);
            if (length < 0) {
                // No count: a malformed header, not data.
                pos = lineEnd + 1;
                continue;
            }
            if (BoundLength(length, count)) {
                pos = lineEnd + 1;
                m_dataLeft = qsizetype(length);
                continue;
            }
            if (text.size() - (lineEnd + 1) < length) {
                Consume(r);
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
    KeepUnfinishedLine(pos);
}

// What is kept of text that holds no unfinished notification: the line not yet
// ended, at most a little of it (a notification is short).
void ReceiveRouter::KeepUnfinishedLine(qsizetype from)
{
    constexpr qsizetype kKeep = 256;
    const qsizetype lineEnd = m_strPageReceive.lastIndexOf('\n');
    qsizetype keep = std::max(from, lineEnd + 1);
    keep = std::max(keep, m_strPageReceive.size() - kKeep);
    Consume(std::min(keep, m_strPageReceive.size()));
}

// The GSM family pushes each packet as "IPD<length>:" and the bytes; several
// packets and a closing can come in one piece.
void ReceiveRouter::TcpGsm()
{
    QByteArray& text = m_strPageReceive;
    qsizetype pos = 0;
    for (;;) {
        if (m_dataLeft > 0) {
            if (!DeliverBoundedRead(pos))
                break;
            if (m_hooks.terminalLineEnd)
                m_hooks.terminalLineEnd();
            continue;
        }
        const qsizetype ipd = m_ipd.Find(text, pos);
        qsizetype c = m_closedGsm.Find(text, pos);
        if (c >= 0 && m_lineEnd.Find(text, c) < 0)
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
                Consume(ipd);
                return;
            }
            pos = ipd + 3;
            continue;
        }
        const QByteArray count = text.mid(ipd + 3, colon - ipd - 3).trimmed();
        long long length = AnnouncedLength(count);
        if (length < 0) {
            pos = colon + 1;
            continue;
        }
        if (BoundLength(length, count)) {
            pos = colon + 1;
            m_dataLeft = qsizetype(length);
            continue;
        }
        if (text.size() - (colon + 1) < length) {
            Consume(ipd);
            return;
        }
        if (length > 0)
            Deliver(text.mid(colon + 1, length));
        if (m_hooks.terminalLineEnd)
            m_hooks.terminalLineEnd();
        pos = colon + 1 + qsizetype(length);
    }
    KeepUnfinishedLine(pos);
}

} // namespace ulv
