// Headings text and stored column layouts as they may come from the profile.
#include "ui/core/ListHeadings.h"
#include "ui/core/ListSort.h"
#include "ui/core/NumericText.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const int count = size > 0 ? data[0] % 8 : 0;
    if (auto widths = ulv::DecodeColumnLayout(bytes, count)) {
        if (ulv::EncodeColumnLayout(*widths) != bytes.left(4 + 4 * count))
            __builtin_trap();
    }
    const QString text = QString::fromUtf8(bytes);
    for (const ulv::HeadingColumn& c : ulv::ParseHeadings(text)) {
        if (c.width < 0 && !text.contains(QLatin1Char('-')))
            __builtin_trap();
    }
    ulv::CheckNumText(text, -100.0f, 100.0f);
    const QStringList keys = text.split(QLatin1Char(';'));
    const std::vector<int> order = ulv::SortedRowOrder(keys, size % 2 == 0);
    if (order.size() != static_cast<size_t>(keys.size()))
        __builtin_trap();
    return 0;
}
