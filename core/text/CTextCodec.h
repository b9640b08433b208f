#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace ulv {

// The hex and UCS-2 hex converters that the SMS page and the text-to-hex dialog
// hold as a member. Stateless: any instance (or the class itself) will do.
class CTextCodec {
public:
    // The byte of a two-digit hex text, digits in either case (a digit that is no
    // hex digit counts as 0; a missing one too). When out is given it receives the
    // byte as a one-character string.
    static unsigned char HexPairToByte(QByteArrayView pair, QByteArray* out = nullptr);

    // Appends "%02X%02X" (high byte, low byte) per UTF-16 unit of text to out and
    // returns the number of bytes those units take (2 per unit).
    static int AnsiToUcs2Hex(QByteArrayView text, QByteArray& out);

    // Every four hex digits are one UTF-16 unit, high byte first; the units are
    // returned as text. Digits after the last full group are ignored.
    static QByteArray Ucs2HexToAnsi(QByteArrayView hex);
};

} // namespace ulv
