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
// Every cell is a text cell, also one that looks like a number, and any text
// (line breaks, control characters) reads back as it was, trimmed at the
// ends as every cell the reader returns. The file is
// written beside `path` and moved over it at the end, so a failed export
// leaves an existing file as it was. Returns an empty text on success, else
// what went wrong, for the user (a text longer than the 32767 characters a
// cell holds is such an error, not cut short).
QString WriteAtcWorkbook(const QString& path, const std::vector<AtcWorkbookRow>& rows);

struct AtcWorkbookRead {
    bool ok = false;
    QString error; // for the user when !ok
    std::vector<AtcWorkbookRow> rows; // sheet row 1 is rows[0]
    int rowsLeftOut = 0; // rows past the limit the import would have taken
};

// The most rows one import takes.
inline constexpr int kMaxImportRows = 65534;

// Reads the first sheet (the leftmost tab) from row 1 on, at most 65534
// rows, and stops at the first row whose column A is empty after trimming.
// Cells are trimmed at both ends; a number reads as the text of its value
// ("12", "1.5"), a boolean as TRUE or FALSE, a missing cell as "". A file
// that is no readable .xlsx workbook (an old .xls, a damaged or oversized
// package) gives ok == false, no rows, and an error that names the file.
AtcWorkbookRead ReadAtcWorkbook(const QString& path);

} // namespace ulv
