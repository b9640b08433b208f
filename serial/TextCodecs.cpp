#include "serial/TextCodecs.h"

#include "serial/AnsiText.h"

namespace ulv {

namespace {

const char kUpperHex[] = "0123456789ABCDEF";

void AppendUnitHex(QByteArray& out, char16_t u)
{
    const char digits[4] = {kUpperHex[(u >> 12) & 0xF], kUpperHex[(u >> 8) & 0xF], kUpperHex[(u >> 4) & 0xF],
        kUpperHex[u & 0xF]};
    out.append(digits, 4);
}

} // namespace

QByteArray HexToBytes(QByteArrayView hex, bool* ok)
{
    bool good = true;
    const qsizetype pairs = hex.size() / 2;
    QByteArray out(pairs, Qt::Uninitialized);
    for (qsizetype i = 0; i < pairs; ++i) {
        int hi = HexDigitValue(hex[2 * i]);
        int lo = HexDigitValue(hex[2 * i + 1]);
        if (hi < 0 || lo < 0) {
            good = false;
            hi = hi < 0 ? 0 : hi;
            lo = lo < 0 ? 0 : lo;
        }
        out[i] = char((hi << 4) | lo);
    }
    if (ok)
        *ok = good;
    return out;
}

QByteArray BytesToHex(QByteArrayView bytes)
{
    QByteArray out(bytes.size() * 2, Qt::Uninitialized);
    char* p = out.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *p++ = kUpperHex[b >> 4];
        *p++ = kUpperHex[b & 0xF];
    }
    return out;
}

QByteArray AnsiToUcs2(QByteArrayView text)
{
    QByteArray out;
    out.reserve(text.size() * 2);
    ForEachAnsiUnit(text, [&out](char16_t u) {
        out.append(char(u >> 8));
        out.append(char(u & 0xFF));
    });
    return out;
}

QByteArray Ucs2ToAnsi(QByteArrayView ucs2)
{
    QByteArray out;
    const qsizetype units = ucs2.size() / 2;
    out.reserve(units * 3);
    const auto* s = reinterpret_cast<const unsigned char*>(ucs2.data());
    for (qsizetype i = 0; i < units; ++i) {
        char32_t u = char32_t(s[2 * i] << 8 | s[2 * i + 1]);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
            const char32_t low = char32_t(s[2 * i + 2] << 8 | s[2 * i + 3]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        AppendUtf8(out, u);
    }
    return out;
}

QByteArray TextToUcs2Hex(QByteArrayView text)
{
    QByteArray out;
    out.reserve(text.size() * 4);
    ForEachAnsiUnit(text, [&out](char16_t u) { AppendUnitHex(out, u); });
    return out;
}

QByteArray DigitsToSemiOctets(QByteArrayView digits)
{
    const qsizetype n = digits.size();
    QByteArray out((n + 1) / 2 * 2, Qt::Uninitialized);
    char* p = out.data();
    qsizetype i = 0;
    for (; i + 1 < n; i += 2) {
        *p++ = digits[i + 1];
        *p++ = digits[i];
    }
    if (i < n) {
        *p++ = 'F';
        *p++ = digits[i];
    }
    return out;
}

QByteArray SemiOctetsToDigits(QByteArrayView semiOctets)
{
    const qsizetype n = semiOctets.size();
    QByteArray out(n, Qt::Uninitialized);
    char* p = out.data();
    qsizetype i = 0;
    for (; i + 1 < n; i += 2) {
        *p++ = semiOctets[i + 1];
        *p++ = semiOctets[i];
    }
    if (i < n)
        *p++ = semiOctets[i];
    if (!out.isEmpty() && (out.back() == 'F' || out.back() == 'f'))
        out.chop(1);
    return out;
}

} // namespace ulv
