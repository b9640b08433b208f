// Any byte stream from the module, cut into any chunks, goes through the line
// assembler, the text decoder and the receive router without fault, and the
// decoder's text is the same whatever the cuts.
#include "core/at/LineAssembler.h"
#include "core/at/ReceiveRouter.h"
#include "core/text/AnsiStreamDecoder.h"
#include "core/text/AnsiText.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2 || size > (1 << 18))
        return 0;
    // Byte 0: the page on show and the module family; byte 1: the cut length.
    const auto page = static_cast<ulv::ReceiveRouter::Page>(data[0] & 3);
    const int moduleType = (data[0] >> 2) & 1;
    const size_t cut = 1 + data[1] % 64;
    const QByteArray stream(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));

    qsizetype delivered = 0;
    ulv::ReceiveRouter::Hooks hooks;
    hooks.note = [](const QString&) { };
    hooks.queueNewMessage = [](int) { };
    hooks.tcpData = [&delivered](const QByteArray& payload) { delivered += payload.size(); };
    hooks.tcpContextDeactivated = [] { };
    hooks.tcpClosed = [] { };
    hooks.terminalLineEnd = [] { };
    hooks.echoTestOn = [&data] { return (data[0] & 8) != 0; };
    ulv::ReceiveRouter router(hooks);
    ulv::LineAssembler lines;
    ulv::AnsiStreamDecoder decoder;
    QString text;
    for (qsizetype at = 0; at < stream.size(); at += qsizetype(cut)) {
        const QByteArray chunk = stream.mid(at, qsizetype(cut));
        lines.Feed(chunk, [](const QByteArray&) { });
        text += decoder.Decode(chunk);
        router.Dispatch(page, moduleType, chunk);
    }
    text += decoder.Flush();
    if (text != ulv::AnsiToString(stream))
        std::abort();
    (void)ulv::ReceiveRouter::PrepareEchoPayload(stream);
    return 0;
}
