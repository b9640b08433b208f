// Any reply the module sends splits into lines and fields without fault.
#include "core/at/ReplySplit.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString reply = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    QStringList lines;
    QList<QStringList> rows;
    ulv::SplitReplyLines(reply, lines, rows);
    QStringList tokens;
    ulv::SplitString(reply, QStringLiteral("\r\n,"), tokens);
    return 0;
}
