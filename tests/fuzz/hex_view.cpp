// The hex-view readers and writers take any text the terminal or the send panel
// may hold.
#include "core/text/HexView.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView in(reinterpret_cast<const char*>(data), qsizetype(size));
    QByteArray a;
    QByteArray b;
    ulv::HexViewToText(in, a);
    ulv::HexViewToBytes(in, a, b);
    ulv::HexViewToSendBytes(in, a, b);
    ulv::HexStringToBytes(in, a);
    ulv::HexToLogText(in, a);
    ulv::SpaceHexPairs(in);
    ulv::LogTextToHex(in, a);

    // Raw bytes through the view and back come out as they went in, up to the
    // first zero byte, unless they hold stamp-like or note-like text.
    if (ulv::TextToHexView(in, a) == 1 && !in.contains('[') && !in.contains('/')) {
        ulv::HexViewToText(a, b);
        const qsizetype zero = in.indexOf('\0');
        if (b != in.first(zero < 0 ? in.size() : zero))
            std::abort();
    }
    if (ulv::StampedTextToHexView(in, a) == 1)
        ulv::HexViewToText(a, b);
    return 0;
}
