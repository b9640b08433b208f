#include "ui/core/ListHeadings.h"

#include "platform/IniFile.h"

#include <QtEndian>

namespace ulv {

std::vector<HeadingColumn> ParseHeadings(const QString& text)
{
    std::vector<HeadingColumn> columns;
    qsizetype pos = 0;
    while (pos <= text.size()) {
        const qsizetype comma = text.indexOf(QLatin1Char(','), pos);
        if (comma < 0)
            break;
        qsizetype end = text.indexOf(QLatin1Char(';'), comma + 1);
        if (end < 0)
            end = text.size();
        columns.push_back({text.mid(pos, comma - pos), ParseLeadingInt(text.mid(comma + 1, end - comma - 1), 0)});
        pos = end + 1;
    }
    return columns;
}

QByteArray EncodeColumnLayout(const std::vector<int>& widths)
{
    QByteArray bytes(static_cast<qsizetype>(4 + 4 * widths.size()), '\0');
    char* p = bytes.data();
    qToLittleEndian<qint32>(static_cast<qint32>(widths.size()), p);
    for (size_t i = 0; i < widths.size(); ++i)
        qToLittleEndian<qint32>(widths[i], p + 4 + 4 * i);
    return bytes;
}

std::optional<std::vector<int>> DecodeColumnLayout(const QByteArray& bytes, int columnCount)
{
    if (bytes.size() < 4 || columnCount < 0)
        return std::nullopt;
    const qint32 count = qFromLittleEndian<qint32>(bytes.constData());
    if (count != columnCount || bytes.size() < 4 + 4 * static_cast<qsizetype>(count))
        return std::nullopt;
    std::vector<int> widths(count);
    for (int i = 0; i < count; ++i) {
        widths[i] = qFromLittleEndian<qint32>(bytes.constData() + 4 + 4 * i);
        if (widths[i] < 0)
            return std::nullopt;
    }
    return widths;
}

} // namespace ulv
