#include "atlib/core/WorkbookXml.h"

#include "core/text/TextCodecs.h"

#include <QStringList>
#include <QUrl>
#include <QXmlStreamReader>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <map>

namespace ulv {

namespace {

// Spreadsheet limits: rows and columns beyond these are not addressable.
constexpr int kMaxSheetRow = 1048576;
constexpr int kMaxSheetColumn = 16384;
constexpr int kColumnsRead = 4; // A..D

QString XmlError(const QXmlStreamReader& x)
{
    return QStringLiteral("not well-formed XML (line %1: %2)").arg(x.lineNumber()).arg(x.errorString());
}

// Moves to the root element. Workbook parts never carry a document type
// declaration; refusing one keeps entity tricks out altogether.
bool EnterRoot(QXmlStreamReader& x, QString& error)
{
    while (!x.atEnd()) {
        switch (x.readNext()) {
        case QXmlStreamReader::StartElement:
            return true;
        case QXmlStreamReader::DTD:
            error = QStringLiteral("a document type declaration is not allowed");
            return false;
        default:
            break;
        }
    }
    error = x.hasError() ? XmlError(x) : QStringLiteral("the part is empty");
    return false;
}

// Characters XML 1.0 cannot carry and the writing library passes on as
// they are: NUL (which would also end the C string), U+FFFE, U+FFFF and a
// surrogate without its partner. They are written as _xHHHH_ escapes.
bool WrittenAsEscape(QStringView text, qsizetype i)
{
    const QChar c = text[i];
    if (c.isHighSurrogate())
        return i + 1 >= text.size() || !text[i + 1].isLowSurrogate();
    if (c.isLowSurrogate())
        return i == 0 || !text[i - 1].isHighSurrogate();
    return c.unicode() == 0 || c.unicode() >= 0xFFFE;
}

// The code of an _xHHHH_ escape starting at `i`, or -1. With `beforeWriting`
// a character that will be written as an escape may stand for the closing
// underscore, since its escape begins with one.
int EscapeAt(QStringView text, qsizetype i, bool beforeWriting = false)
{
    if (i + 7 > text.size() || text[i] != u'_' || text[i + 1] != u'x')
        return -1;
    if (text[i + 6] != u'_' && !(beforeWriting && WrittenAsEscape(text, i + 6)))
        return -1;
    int code = 0;
    for (qsizetype k = i + 2; k < i + 6; ++k) {
        const char16_t u = text[k].unicode();
        const int h = u < 0x80 ? HexDigitValue(char(u)) : -1;
        if (h < 0)
            return -1;
        code = code * 16 + h;
    }
    return code;
}

// A cell reference such as "AB12": the 1-based column of its letters, or 0.
int ReferenceColumn(QStringView ref)
{
    int column = 0;
    qsizetype i = 0;
    for (; i < ref.size(); ++i) {
        const char16_t u = ref[i].unicode();
        char16_t upper = u;
        if (u >= 'a' && u <= 'z')
            upper = u - 'a' + 'A';
        if (upper < 'A' || upper > 'Z')
            break;
        column = column * 26 + (upper - 'A' + 1);
        if (column > kMaxSheetColumn)
            return 0;
    }
    if (i == 0)
        return 0;
    return column;
}

// A whole number from 0 to `max`, or -1 for any other text.
qint64 ParseIndex(QStringView text, qint64 max)
{
    const QByteArray digits = text.trimmed().toLatin1();
    qint64 v = 0;
    const char* b = digits.constData();
    const char* e = b + digits.size();
    const auto r = std::from_chars(b, e, v);
    if (b == e || r.ec != std::errc() || r.ptr != e || v < 0 || v > max)
        return -1;
    return v;
}

// The text of a string item (<si> of the shared strings, <is> of an inline
// cell), the reader on its start element: plain <t>, or rich-text runs
// <r><t>; phonetic hints (<rPh>) are not part of the text.
QString ReadStringItem(QXmlStreamReader& x)
{
    QString out;
    while (x.readNextStartElement()) {
        if (x.name() == u"t") {
            out += DecodeWorkbookEscapes(x.readElementText());
        } else if (x.name() == u"r") {
            while (x.readNextStartElement()) {
                if (x.name() == u"t")
                    out += DecodeWorkbookEscapes(x.readElementText());
                else
                    x.skipCurrentElement();
            }
        } else {
            x.skipCurrentElement();
        }
    }
    return out;
}

bool HasValue(const SheetCell& c) { return c.sharedIndex >= 0 || !c.text.isEmpty(); }

enum class CellType { Number, Shared, Inline, Boolean, Text };

CellType TypeOf(QStringView t)
{
    if (t.isEmpty() || t == u"n")
        return CellType::Number;
    if (t == u"s")
        return CellType::Shared;
    if (t == u"inlineStr")
        return CellType::Inline;
    if (t == u"b")
        return CellType::Boolean;
    return CellType::Text; // str (a formula's result), e (an error such as #N/A), d (a date)
}

// The reader on a <c> start element of type `type`: the cell's content.
SheetCell ReadCell(QXmlStreamReader& x, CellType type, QString& error)
{
    QString value;
    QString inlineText;
    bool hasInline = false;
    while (x.readNextStartElement()) {
        if (x.name() == u"v") {
            value = x.readElementText();
        } else if (x.name() == u"is") {
            inlineText = ReadStringItem(x);
            hasInline = true;
        } else {
            x.skipCurrentElement(); // formula, extensions
        }
    }

    SheetCell cell;
    if (type == CellType::Shared) {
        if (value.trimmed().isEmpty())
            return cell;
        cell.sharedIndex = ParseIndex(value, std::numeric_limits<qint32>::max());
        if (cell.sharedIndex < 0)
            error = QStringLiteral("a shared string reference \"%1\" is not an index").arg(value.left(40));
    } else if (type == CellType::Inline || hasInline) {
        cell.text = inlineText;
    } else if (type == CellType::Boolean) {
        const QString v = value.trimmed();
        cell.text = v == u"1" ? QStringLiteral("TRUE") : v == u"0" ? QStringLiteral("FALSE") : v;
    } else if (type == CellType::Number) {
        cell.text = WorkbookNumberText(value);
    } else {
        cell.text = DecodeWorkbookEscapes(value);
    }
    return cell;
}

void MergeRow(SheetRow& into, SheetRow&& from)
{
    for (int i = 0; i < kColumnsRead; ++i) {
        if (HasValue(from.cells[i]))
            into.cells[i] = std::move(from.cells[i]);
    }
}

} // namespace

QString DecodeWorkbookEscapes(QStringView text)
{
    if (!text.contains(u"_x"))
        return text.toString();
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const int code = text[i] == u'_' ? EscapeAt(text, i) : -1;
        if (code >= 0) {
            out += QChar(char16_t(code));
            i += 7;
        } else {
            out += text[i++];
        }
    }
    return out;
}

QString ProtectWorkbookEscapes(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (WrittenAsEscape(text, i)) {
            static const char kHex[] = "0123456789ABCDEF";
            const char16_t u = text[i].unicode();
            out += QLatin1String("_x");
            for (int shift = 12; shift >= 0; shift -= 4)
                out += QLatin1Char(kHex[(u >> shift) & 0xF]);
            out += u'_';
        } else if (EscapeAt(text, i, true) >= 0)
            out += QLatin1String("_x005F_");
        else
            out += text[i];
    }
    return out;
}

QString WorkbookNumberText(QStringView value)
{
    const QStringView trimmed = value.trimmed();
    const QByteArray bytes = trimmed.toLatin1();
    double d = 0;
    const char* b = bytes.constData();
    const char* e = b + bytes.size();
    const auto r = std::from_chars(b, e, d);
    if (b == e || r.ec != std::errc() || r.ptr != e || !std::isfinite(d))
        return DecodeWorkbookEscapes(trimmed);
    if (d == 0)
        return QStringLiteral("0"); // also for -0
    QString text = QString::number(d, 'g', 15);
    text.replace(u'e', u'E');
    return text;
}

WorkbookRelations ParseRelationsXml(const QByteArray& xml)
{
    WorkbookRelations out;
    QXmlStreamReader x(xml);
    if (!EnterRoot(x, out.error))
        return out;
    while (x.readNextStartElement()) {
        if (x.name() != u"Relationship") {
            x.skipCurrentElement();
            continue;
        }
        const QXmlStreamAttributes a = x.attributes();
        WorkbookRelation rel;
        rel.id = a.value(QLatin1String("Id")).toString();
        rel.type = a.value(QLatin1String("Type")).toString();
        rel.target = a.value(QLatin1String("Target")).toString();
        rel.external = a.value(QLatin1String("TargetMode")).compare(u"External", Qt::CaseInsensitive) == 0;
        out.relations.push_back(std::move(rel));
        x.skipCurrentElement();
    }
    if (x.hasError()) {
        out.error = XmlError(x);
        return out;
    }
    out.ok = true;
    return out;
}

const WorkbookRelation* FindRelationByType(const WorkbookRelations& rels, QStringView typeTail)
{
    for (const WorkbookRelation& r : rels.relations) {
        const QStringView type(r.type);
        if (!r.external && type.size() > typeTail.size() && type.endsWith(typeTail)
            && type[type.size() - typeTail.size() - 1] == u'/')
            return &r;
    }
    return nullptr;
}

const WorkbookRelation* FindRelationById(const WorkbookRelations& rels, QStringView id)
{
    for (const WorkbookRelation& r : rels.relations) {
        if (r.id == id)
            return &r;
    }
    return nullptr;
}

QString ResolveWorkbookPart(const QString& sourcePart, const QString& target)
{
    QString t = QUrl::fromPercentEncoding(target.toUtf8());
    t.replace(u'\\', u'/');
    QStringList parts;
    if (!t.startsWith(u'/')) {
        parts = sourcePart.split(u'/', Qt::SkipEmptyParts);
        if (!parts.isEmpty())
            parts.removeLast(); // the source's own name
    }
    for (const QString& seg : t.split(u'/', Qt::SkipEmptyParts)) {
        if (seg == u".")
            continue;
        if (seg == u"..") {
            if (parts.isEmpty())
                return {};
            parts.removeLast();
            continue;
        }
        parts << seg;
    }
    return parts.join(u'/');
}

WorkbookFirstSheet ParseWorkbookXml(const QByteArray& xml)
{
    WorkbookFirstSheet out;
    QXmlStreamReader x(xml);
    if (!EnterRoot(x, out.error))
        return out;
    while (x.readNextStartElement()) {
        if (x.name() != u"sheets") {
            x.skipCurrentElement();
            continue;
        }
        while (x.readNextStartElement()) {
            if (x.name() == u"sheet") {
                // r:id, whatever prefix the writer chose for its namespace.
                for (const QXmlStreamAttribute& a : x.attributes()) {
                    if (a.name() == u"id" && !a.namespaceUri().isEmpty()) {
                        out.relationId = a.value().toString();
                        out.ok = !out.relationId.isEmpty();
                        break;
                    }
                }
                if (!out.ok)
                    out.error = QStringLiteral("the first sheet has no relationship id");
                return out;
            }
            x.skipCurrentElement();
        }
    }
    out.error = x.hasError() ? XmlError(x) : QStringLiteral("the workbook lists no sheet");
    return out;
}

SheetScan ParseSheetXml(const QByteArray& xml, int maxRow)
{
    SheetScan out;
    maxRow = std::clamp(maxRow, 0, kMaxSheetRow);
    QXmlStreamReader x(xml);
    if (!EnterRoot(x, out.error))
        return out;

    std::map<int, SheetRow> rows;
    bool ascending = true; // so far; only then may parsing end early
    int expected = 1; // the next row the import needs
    int previous = 0;
    bool done = false;
    QString cellError;

    while (!done && x.readNextStartElement()) {
        if (x.name() != u"sheetData") {
            x.skipCurrentElement();
            continue;
        }
        while (!done && x.readNextStartElement()) {
            if (x.name() != u"row") {
                x.skipCurrentElement();
                continue;
            }
            qint64 number = ParseIndex(x.attributes().value(QLatin1String("r")), kMaxSheetRow);
            if (number <= 0)
                number = std::min(previous + 1, kMaxSheetRow);
            if (number <= previous)
                ascending = false;
            previous = int(number);
            if (ascending && number != expected) {
                done = true; // a missing row: its column A is empty
                break;
            }
            const bool wanted = number <= maxRow;

            SheetRow row;
            row.number = int(number);
            int column = 0;
            while (x.readNextStartElement()) {
                if (x.name() != u"c") {
                    x.skipCurrentElement();
                    continue;
                }
                // Attribute views live only until the reader moves on.
                const QXmlStreamAttributes attributes = x.attributes();
                const int ref = ReferenceColumn(attributes.value(QLatin1String("r")));
                column = ref > 0 ? ref : column + 1;
                // Beyond the limit only column A matters: whether the import
                // would have gone on.
                if (column > (wanted ? kColumnsRead : 1)) {
                    x.skipCurrentElement();
                    continue;
                }
                SheetCell cell = ReadCell(x, TypeOf(attributes.value(QLatin1String("t"))), cellError);
                if (!cellError.isEmpty()) {
                    out.error = cellError;
                    return out;
                }
                if (HasValue(cell))
                    row.cells[column - 1] = std::move(cell);
            }
            if (!wanted) {
                const SheetCell& a = row.cells[0];
                if (!ascending || (a.sharedIndex < 0 && a.text.trimmed().isEmpty())) {
                    done = ascending;
                    continue;
                }
                ++out.rowsBeyond;
                ++expected;
                continue;
            }
            if (ascending) {
                const SheetCell& a = row.cells[0];
                if (a.sharedIndex < 0 && a.text.trimmed().isEmpty())
                    done = true; // the import ends at this row
                ++expected;
            }
            auto [it, fresh] = rows.try_emplace(row.number);
            if (fresh)
                it->second = std::move(row);
            else
                MergeRow(it->second, std::move(row));
        }
    }
    if (x.hasError()) {
        out.error = XmlError(x);
        return out;
    }
    out.rows.reserve(rows.size());
    for (auto& [n, row] : rows)
        out.rows.push_back(std::move(row));
    out.ok = true;
    return out;
}

SharedStrings ParseSharedStringsXml(const QByteArray& xml, const std::vector<qint64>& wanted)
{
    SharedStrings out;
    QXmlStreamReader x(xml);
    if (!EnterRoot(x, out.error))
        return out;
    auto next = wanted.begin();
    qint64 index = 0;
    while (next != wanted.end() && x.readNextStartElement()) {
        if (x.name() != u"si") {
            x.skipCurrentElement();
            continue;
        }
        if (index == *next) {
            out.texts.emplace(index, ReadStringItem(x));
            ++next;
        } else {
            x.skipCurrentElement();
        }
        ++index;
    }
    if (x.hasError()) {
        out.error = XmlError(x);
        return out;
    }
    out.ok = true;
    return out;
}

} // namespace ulv
