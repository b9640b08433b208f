#include "core/at/ReplySplit.h"

namespace ulv {

namespace {

QStringList FieldsOf(const QString& line)
{
    QString flat;
    flat.reserve(line.size());
    for (const QChar c : line) {
        if (c == u' ')
            continue;
        flat.append(c == u':' ? QChar(u',') : c);
    }
    QStringList row;
    qsizetype start = 0;
    for (;;) {
        const qsizetype comma = flat.indexOf(u',', start);
        if (comma < 0) {
            row.append(flat.mid(start));
            break;
        }
        if (comma > start)
            row.append(flat.mid(start, comma - start));
        start = comma + 1;
    }
    return row;
}

} // namespace

void SplitReplyLines(const QString& reply, QStringList& lines, QList<QStringList>& rows)
{
    lines.clear();
    rows.clear();
    QString text = reply;
    text.remove(u'\r');
    qsizetype start = 0;
    for (;;) {
        const qsizetype lf = text.indexOf(u'\n', start);
        if (lf < 0)
            break;
        if (lf > start)
            lines.append(text.mid(start, lf - start));
        start = lf + 1;
    }
    for (const QString& line : lines) {
        if (line.contains(u':'))
            rows.append(FieldsOf(line));
    }
}

void SplitString(const QString& text, const QString& delimiters, QStringList& tokens)
{
    const qsizetype n = text.size();
    auto isDelimiter = [&delimiters](QChar c) { return delimiters.contains(c); };
    qsizetype pos = 0;
    while (pos < n) {
        qsizetype end = pos;
        while (end < n && !isDelimiter(text[end]))
            ++end;
        tokens.append(text.mid(pos, end - pos));
        while (end < n && isDelimiter(text[end]))
            ++end;
        pos = end;
    }
}

} // namespace ulv
