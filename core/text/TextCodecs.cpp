#include "core/text/TextCodecs.h"

#include "core/text/AnsiText.h"

namespace ulv {

namespace {

const char kUpperHex[] = "0123456789ABCDEF";

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
    // Every input byte gives at most one unit (a 4-byte sequence two).
    QByteArray out(text.size() * 2, Qt::Uninitialized);
    char* p = out.data();
    ForEachAnsiUnit(text, [&p](char16_t u) {
        *p++ = char(u >> 8);
        *p++ = char(u & 0xFF);
    });
    out.truncate(p - out.data());
    return out;
}

QByteArray Ucs2ToAnsi(QByteArrayView ucs2)
{
    const qsizetype units = ucs2.size() / 2;
    QByteArray out(units * 3, Qt::Uninitialized);
    out.truncate(Ucs2BytesToUtf8(reinterpret_cast<const unsigned char*>(ucs2.data()), units, out.data()));
    return out;
}

QByteArray TextToUcs2Hex(QByteArrayView text)
{
    return BytesToHex(AnsiToUcs2(text));
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
