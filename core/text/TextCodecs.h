#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Byte-level conversions shared by the serial layer, the SMS pages and the PDU
// codec. "Text" is UTF-8 (stray bytes count as Latin-1, see AnsiText.h); UCS-2
// means UTF-16 code units written high byte first.
namespace ulv {

namespace detail {
struct HexDigitTable {
    signed char value[256];
    constexpr HexDigitTable()
        : value()
    {
        for (int c = 0; c < 256; ++c)
            value[c] = -1;
        for (int c = '0'; c <= '9'; ++c)
            value[c] = static_cast<signed char>(c - '0');
        for (int c = 'A'; c <= 'F'; ++c) {
            value[c] = static_cast<signed char>(c - 'A' + 10);
            value[c + 32] = static_cast<signed char>(c - 'A' + 10);
        }
    }
};
inline constexpr HexDigitTable kHexDigits;
} // namespace detail

// Value of a hex digit in either case, or -1.
inline int HexDigitValue(char c)
{
    return detail::kHexDigits.value[static_cast<unsigned char>(c)];
}

// Hex digits to bytes, first digit of a pair the high nibble. Only full pairs
// convert: a final lone digit is ignored. A character that is no hex digit counts
// as 0 and clears *ok.
QByteArray HexToBytes(QByteArrayView hex, bool* ok = nullptr);

// Two upper-case hex digits per byte.
QByteArray BytesToHex(QByteArrayView bytes);

// Text to UTF-16 units, high byte first (two bytes per unit).
QByteArray AnsiToUcs2(QByteArrayView text);

// UTF-16 units, high byte first, to text. An odd final byte is ignored; a lone
// surrogate becomes U+FFFD.
QByteArray Ucs2ToAnsi(QByteArrayView ucs2);

// "%02X%02X" per UTF-16 unit of the text; empty for an empty text.
QByteArray TextToUcs2Hex(QByteArrayView text);

// Swaps every pair of characters; an odd count gets an 'F' before its last digit
// (digits 123 become 21F3).
QByteArray DigitsToSemiOctets(QByteArrayView digits);

// Swaps every pair of characters (a lone last character stays) and drops one final
// 'F'.
QByteArray SemiOctetsToDigits(QByteArrayView semiOctets);

} // namespace ulv
