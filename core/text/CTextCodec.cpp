#include "core/text/CTextCodec.h"

#include "core/text/TextCodecs.h"

namespace ulv {

unsigned char CTextCodec::HexPairToByte(QByteArrayView pair, QByteArray* out)
{
    const int hi = pair.size() > 0 ? HexDigitValue(pair[0]) : 0;
    const int lo = pair.size() > 1 ? HexDigitValue(pair[1]) : 0;
    const auto byte = static_cast<unsigned char>(((hi < 0 ? 0 : hi) << 4) | (lo < 0 ? 0 : lo));
    if (out)
        *out = QByteArray(1, char(byte));
    return byte;
}

int CTextCodec::AnsiToUcs2Hex(QByteArrayView text, QByteArray& out)
{
    const QByteArray hex = TextToUcs2Hex(text);
    out.append(hex);
    return int(hex.size() / 2);
}

QByteArray CTextCodec::Ucs2HexToAnsi(QByteArrayView hex)
{
    return Ucs2ToAnsi(HexToBytes(hex.first(hex.size() / 4 * 4)));
}

} // namespace ulv
