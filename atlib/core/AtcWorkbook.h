#pragma once

#include <QString>
#include <vector>

// The AT-command library as a spreadsheet workbook (.xlsx): on the first sheet,
// column A the classification name, B the command, C its parameter reference,
// D its function.
namespace ulv {

struct AtcWorkbookRow {
    QString classification;
    QString atc;
    QString refer;
    QString func;
};

// Writes a new workbook at `path`: row 1 the header "Classification" (bold),
// "AT command", "Parameter reference", "Function"; the rows from row 2 on.
// Returns an empty text on success, else what went wrong, for the user.
QString WriteAtcWorkbook(const QString& path, const std::vector<AtcWorkbookRow>& rows);

struct AtcWorkbookRead {
    bool ok = false;
    QString error; // for the user when !ok
    std::vector<AtcWorkbookRow> rows; // sheet row 1 is rows[0]
};

// Reads the first sheet from row 1 on, at most 65534 rows, and stops at the
// first row whose column A is empty after trimming. Cells are trimmed at both
// ends; a number reads as the text of its value, a missing cell as "".
AtcWorkbookRead ReadAtcWorkbook(const QString& path);

} // namespace ulv
