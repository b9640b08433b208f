#include "core/text/AnsiText.h"

namespace ulv {

int DecodeUtf8Sequence(const unsigned char* s, qsizetype n, char32_t* cp)
{
    if (n <= 0)
        return 0;
    const unsigned char b0 = s[0];
    int len;
    char32_t v;
    char32_t min;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
        v = b0 & 0x1F;
        min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        v = b0 & 0x0F;
        min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        v = b0 & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (n < len)
        return 0;
    for (int k = 1; k < len; ++k) {
        if ((s[k] & 0xC0) != 0x80)
            return 0;
        v = (v << 6) | (s[k] & 0x3F);
    }
    if (v < min || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF))
        return 0;
    *cp = v;
    return len;
}

QString AnsiToString(QByteArrayView bytes)
{
    QString out;
    out.reserve(bytes.size());
    ForEachAnsiUnit(bytes, [&out](char16_t u) { out.append(QChar(u)); });
    return out;
}

char* PutUtf8(char* p, char32_t cp)
{
    if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
        cp = 0xFFFD;
    if (cp < 0x80) {
        *p++ = char(cp);
    } else if (cp < 0x800) {
        *p++ = char(0xC0 | (cp >> 6));
        *p++ = char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *p++ = char(0xE0 | (cp >> 12));
        *p++ = char(0x80 | ((cp >> 6) & 0x3F));
        *p++ = char(0x80 | (cp & 0x3F));
    } else {
        *p++ = char(0xF0 | (cp >> 18));
        *p++ = char(0x80 | ((cp >> 12) & 0x3F));
        *p++ = char(0x80 | ((cp >> 6) & 0x3F));
        *p++ = char(0x80 | (cp & 0x3F));
    }
    return p;
}

qsizetype Ucs2BytesToUtf8(const unsigned char* s, qsizetype units, char* out)
{
    char* p = out;
    for (qsizetype i = 0; i < units; ++i) {
        char32_t u = char32_t(s[2 * i] << 8 | s[2 * i + 1]);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
            const char32_t low = char32_t(s[2 * i + 2] << 8 | s[2 * i + 3]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        p = PutUtf8(p, u);
    }
    return p - out;
}

} // namespace ulv
