#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Byte-level conversions shared by the serial layer, the SMS pages and the PDU
// codec. "Text" is UTF-8 (stray bytes count as Latin-1, see AnsiText.h); UCS-2
// means UTF-16 code units written high byte first.
namespace ulv {

// Value of a hex digit in either case, or -1.
inline int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
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
