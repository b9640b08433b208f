#include "core/text/HexView.h"

#include <cstring>

namespace ulv {

namespace {

const char kLowerHex[] = "0123456789abcdef";

constexpr qsizetype kTerminalStampLength = 29; // "[YYYY-MM-DD hh:mm:ss:mmm_S:] "
constexpr qsizetype kLogStampLength = 25;      // "[YYYY-MM-DD hh:mm:ss:mmm]"

inline char* PutHexByte(char* p, unsigned char b)
{
    p[0] = kLowerHex[b >> 4];
    p[1] = kLowerHex[b & 0xF];
    p[2] = ' ';
    return p + 3;
}

bool IsTerminalStamp(QByteArrayView s, qsizetype i)
{
    return s[i] == '[' && i + kTerminalStampLength - 1 < s.size() && s[i + 27] == ']' && s[i + 28] == ' ';
}

// A '[' whose own closing ']' stands 24 characters later.
bool IsLogStamp(QByteArrayView s, qsizetype i)
{
    return s[i] == '[' && i + kLogStampLength - 1 < s.size() && s[i + kLogStampLength - 1] == ']'
        && std::memchr(s.data() + i + 1, ']', kLogStampLength - 2) == nullptr;
}

// The note a step comment shows: "/*...*/" followed by two characters (CR LF).
bool IsNote(QByteArrayView s)
{
    return s.size() >= 4 && s.startsWith("/*") && s.indexOf("*/") == s.size() - 4;
}

int DigitValue(unsigned char c)
{
    if (c >= 'a' && c <= 'z')
        return c - 87;
    if (c >= 'A' && c <= 'Z')
        return c - 55;
    return c - 48;
}

// Two characters make a byte; a digit followed by a blank makes the byte of its
// own value.
class PairReader {
public:
    // True when c completes a byte.
    bool Feed(unsigned char c, unsigned char& byte, bool& lone)
    {
        if (!m_pending) {
            if (c != ' ') {
                m_first = DigitValue(c);
                m_pending = true;
            }
            return false;
        }
        m_pending = false;
        lone = c == ' ';
        byte = static_cast<unsigned char>((lone ? m_first : m_first * 16 + DigitValue(c)) & 0xFF);
        return true;
    }

private:
    bool m_pending = false;
    int m_first = 0;
};

void CutAtZero(QByteArray& s)
{
    const qsizetype z = s.indexOf('\0');
    if (z >= 0)
        s.truncate(z);
}

// The common path of the hex-view readers: CR and LF skipped, stamps of the given
// kind copied to out, pairs to bytes.
template <class IsStamp>
QByteArray ReadHex(QByteArrayView view, bool skipLineEnds, qsizetype stampLength, IsStamp isStamp)
{
    // Never longer than the view: a pair gives one byte, a stamp itself.
    QByteArray out(view.size(), Qt::Uninitialized);
    char* p = out.data();
    PairReader pairs;
    for (qsizetype i = 0; i < view.size();) {
        const auto c = static_cast<unsigned char>(view[i]);
        if (skipLineEnds && (c == '\r' || c == '\n')) {
            ++i;
            continue;
        }
        if (c == '[' && isStamp(view, i)) {
            std::memcpy(p, view.data() + i, size_t(stampLength));
            p += stampLength;
            i += stampLength;
            continue;
        }
        unsigned char byte;
        bool lone;
        if (pairs.Feed(c, byte, lone))
            *p++ = char(byte);
        ++i;
    }
    out.truncate(p - out.data());
    return out;
}

} // namespace

int TextToHexView(QByteArrayView text, QByteArray& out)
{
    if (text.isEmpty())
        return 0;
    const qsizetype n = text.size();
    if (n >= 8 && text.startsWith("\r\n") && text.endsWith("\r\n") && text.indexOf("/*") == 2
        && text.indexOf("*/") == n - 4) {
        out = "0d 0a ";
        out.append(text);
        return 1;
    }
    const qsizetype lineFeeds = text.count('\n');
    QByteArray view(3 * n + 2 * lineFeeds, Qt::Uninitialized);
    char* p = view.data();
    for (const char ch : text) {
        const auto b = static_cast<unsigned char>(ch);
        p = PutHexByte(p, b);
        if (b == '\n') {
            *p++ = '\r';
            *p++ = '\n';
        }
    }
    out = std::move(view);
    return 1;
}

int StampedTextToHexView(QByteArrayView text, QByteArray& out)
{
    if (text.isEmpty())
        return 0;
    if (IsNote(text)) {
        out = text.toByteArray();
        return 1;
    }
    QByteArray view(3 * text.size() + 2, Qt::Uninitialized);
    char* p = view.data();
    for (qsizetype i = 0; i < text.size();) {
        if (IsTerminalStamp(text, i)) {
            std::memcpy(p, text.data() + i, kTerminalStampLength);
            p += kTerminalStampLength;
            i += kTerminalStampLength;
            continue;
        }
        p = PutHexByte(p, static_cast<unsigned char>(text[i]));
        ++i;
    }
    const qsizetype len = p - view.data();
    if (len >= 3 && std::memcmp(p - 3, "0a ", 3) == 0) {
        *p++ = '\r';
        *p++ = '\n';
    }
    view.truncate(p - view.data());
    out = std::move(view);
    return 1;
}

int HexViewToText(QByteArrayView view, QByteArray& out)
{
    if (view.isEmpty())
        return 0;
    if (IsNote(view)) {
        out = view.toByteArray();
        return 1;
    }
    QByteArray text = ReadHex(view, true, kTerminalStampLength, IsTerminalStamp);
    CutAtZero(text);
    out = std::move(text);
    return 1;
}

int HexViewToBytes(QByteArrayView view, QByteArray& display, QByteArray& bytes)
{
    if (view.isEmpty())
        return 0;
    if (IsNote(view)) {
        display = view.toByteArray();
        return 1;
    }
    bytes = ReadHex(view, true, kTerminalStampLength, IsTerminalStamp);
    display = bytes;
    display.replace('\0', ' ');
    return 1;
}

int HexViewToSendBytes(QByteArrayView view, QByteArray& bytes, QByteArray& display)
{
    if (view.isEmpty())
        return 0;
    QByteArray send;
    QByteArray shown;
    send.reserve(view.size() / 2 + 1);
    shown.reserve(view.size() / 2 + 1);
    PairReader pairs;
    for (qsizetype i = 0; i < view.size();) {
        const auto c = static_cast<unsigned char>(view[i]);
        if (c == '\r' || c == '\n') {
            send.append(char(c));
            shown.append(char(c));
            ++i;
            continue;
        }
        if (IsTerminalStamp(view, i)) {
            const QByteArrayView stamp = view.sliced(i, kTerminalStampLength);
            send.append(stamp);
            shown.append(stamp);
            i += kTerminalStampLength;
            continue;
        }
        unsigned char byte;
        bool lone;
        if (pairs.Feed(c, byte, lone)) {
            send.append(char(byte));
            if (!lone && byte != 0x1A)
                shown.append(char(byte));
        }
        ++i;
    }
    CutAtZero(send);
    CutAtZero(shown);
    bytes = std::move(send);
    display = std::move(shown);
    return 1;
}

int HexStringToBytes(QByteArrayView hex, QByteArray& out)
{
    if (hex.isEmpty())
        return 0;
    QByteArray text = ReadHex(hex, false, 0, [](QByteArrayView, qsizetype) { return false; });
    CutAtZero(text);
    out = std::move(text);
    return 1;
}

QByteArray SpaceHexPairs(QByteArrayView hex)
{
    QByteArray out;
    out.reserve(hex.size() + hex.size() / 2);
    qsizetype digits = 0;
    for (const char c : hex) {
        if (c == ' ')
            continue;
        if (digits > 0 && digits % 2 == 0)
            out.append(' ');
        out.append(c);
        ++digits;
    }
    return out;
}

int LogTextToHex(QByteArrayView text, QByteArray& out)
{
    if (text.isEmpty())
        return 0;
    QByteArray view(3 * text.size(), Qt::Uninitialized);
    char* p = view.data();
    for (qsizetype i = 0; i < text.size();) {
        if (IsLogStamp(text, i)) {
            std::memcpy(p, text.data() + i, kLogStampLength);
            p += kLogStampLength;
            i += kLogStampLength;
            continue;
        }
        p = PutHexByte(p, static_cast<unsigned char>(text[i]));
        ++i;
    }
    view.truncate(p - view.data());
    out = std::move(view);
    return 1;
}

int HexToLogText(QByteArrayView hex, QByteArray& out)
{
    if (hex.isEmpty())
        return 0;
    QByteArray text = ReadHex(hex, false, kLogStampLength, IsLogStamp);
    CutAtZero(text);
    out = std::move(text);
    return 1;
}

} // namespace ulv
