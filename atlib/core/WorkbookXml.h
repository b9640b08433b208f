#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <array>
#include <unordered_map>
#include <vector>

// The XML parts of an .xlsx workbook as far as the AT-command import needs
// them: the workbook's sheet list, relationship parts, the first sheet's
// cells in columns A..D and the shared strings. Kept apart from the zip
// layer so that each parser can be tested and fuzzed on its own bytes.
namespace ulv {

// One relationship of a .rels part.
struct WorkbookRelation {
    QString id;
    QString type; // the full type URI
    QString target; // as written (relative or absolute, maybe percent-encoded)
    bool external = false;
};

struct WorkbookRelations {
    bool ok = false;
    QString error;
    std::vector<WorkbookRelation> relations;
};
WorkbookRelations ParseRelationsXml(const QByteArray& xml);

// The first relation whose type URI ends in "/" + typeTail (so both the
// transitional and the strict namespaces match), or nullptr.
const WorkbookRelation* FindRelationByType(const WorkbookRelations& rels, QStringView typeTail);
const WorkbookRelation* FindRelationById(const WorkbookRelations& rels, QStringView id);

// The zip entry name a relation target points at, seen from the part
// `sourcePart` ("xl/workbook.xml"): relative targets resolve against the
// source's folder, "/..." is absolute, "." and ".." segments are folded and
// percent escapes decoded. Empty when the target leaves the package.
QString ResolveWorkbookPart(const QString& sourcePart, const QString& target);

// The relationship id of the first sheet in the workbook part's sheet list
// (the leftmost tab).
struct WorkbookFirstSheet {
    bool ok = false;
    QString error;
    QString relationId;
};
WorkbookFirstSheet ParseWorkbookXml(const QByteArray& xml);

// A cell as the sheet stores it: either its text already resolved, or an
// index into the shared strings, resolved once those are read.
struct SheetCell {
    QString text;
    qint64 sharedIndex = -1;
};

struct SheetRow {
    int number = 0; // 1-based sheet row
    std::array<SheetCell, 4> cells; // columns A..D
};

struct SheetScan {
    bool ok = false;
    QString error;
    std::vector<SheetRow> rows; // ascending, unique numbers, each <= maxRow
    // Rows after maxRow the import would have gone on with (each in its place,
    // column A not empty) had there been no limit.
    int rowsBeyond = 0;
};

// Collects columns A..D of the rows 1..maxRow of a worksheet part. Rows and
// cells without an r attribute take the place after the previous one. Texts
// are decoded (entities, _xHHHH_ escapes) but not trimmed; a number reads as
// the text of its value, a boolean as TRUE or FALSE. Parsing ends early at
// the first gap in the row numbers or the first row without a column A,
// since the import stops there anyway.
SheetScan ParseSheetXml(const QByteArray& xml, int maxRow);

// The texts of the shared strings whose indexes `wanted` lists (ascending,
// unique), by index; rich-text runs are joined, phonetic runs left out. Only
// wanted entries are kept and parsing ends after the last of them, so a huge
// strings part costs no memory. An index the part does not hold is absent.
struct SharedStrings {
    bool ok = false;
    QString error;
    std::unordered_map<qint64, QString> texts;
};
SharedStrings ParseSharedStringsXml(const QByteArray& xml, const std::vector<qint64>& wanted);

// Decodes the _xHHHH_ escapes by which workbooks carry characters XML cannot
// hold (control characters, CR); "_x005F_" is a literal underscore.
QString DecodeWorkbookEscapes(QStringView text);

// The other direction for the writer: a text that already looks like an
// escape gets its underscore escaped, so it reads back unchanged; characters
// XML cannot hold and the writing library does not escape (NUL, U+FFFE,
// U+FFFF, a lone surrogate) become escapes themselves.
QString ProtectWorkbookEscapes(QStringView text);

// The text of a numeric cell value as a spreadsheet shows it in General
// format: "12" for 12 or 12.0, "1.5", 15 significant digits, "1E+20".
// Text that is not a number comes back trimmed as it is.
QString WorkbookNumberText(QStringView value);

} // namespace ulv
