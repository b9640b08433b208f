#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace ulv {

// Text that the module and the settings files carry as bytes is UTF-8 here. A byte
// that does not start a valid UTF-8 sequence stands for its Latin-1 character, so
// any byte string shows and converts without loss of position.

// UTF-16 units of such bytes.
QString AnsiToString(QByteArrayView bytes);

// Calls emit(char16_t) for every UTF-16 unit of such bytes; no allocation.
template <class Emit>
void ForEachAnsiUnit(QByteArrayView bytes, Emit&& emit);

// Writes the UTF-8 form of one code point at p (at most 4 bytes; a surrogate
// becomes U+FFFD) and returns the position after it.
char* PutUtf8(char* p, char32_t cp);

// UTF-16 units, high byte first, at s to UTF-8 at out, which has room for 3 bytes
// per unit; a pair of surrogates makes one character, a lone one U+FFFD. Returns
// the number of bytes written.
qsizetype Ucs2BytesToUtf8(const unsigned char* s, qsizetype units, char* out);

// Length of the valid UTF-8 sequence at s[0..n) (1 to 4), or 0 when the byte at
// s[0] does not start one; *cp receives the code point.
int DecodeUtf8Sequence(const unsigned char* s, qsizetype n, char32_t* cp);

template <class Emit>
void ForEachAnsiUnit(QByteArrayView bytes, Emit&& emit)
{
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        if (s[i] < 0x80) {
            emit(char16_t(s[i]));
            ++i;
            continue;
        }
        char32_t cp = 0;
        const int len = DecodeUtf8Sequence(s + i, n - i, &cp);
        if (len == 0) {
            emit(char16_t(s[i])); // Latin-1 meaning of a stray byte
            ++i;
        } else if (cp >= 0x10000) {
            cp -= 0x10000;
            emit(char16_t(0xD800 + (cp >> 10)));
            emit(char16_t(0xDC00 + (cp & 0x3FF)));
            i += len;
        } else {
            emit(char16_t(cp));
            i += len;
        }
    }
}

} // namespace ulv
