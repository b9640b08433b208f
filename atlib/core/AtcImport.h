#pragma once

#include "atlib/core/AtcWorkbook.h"
#include "atlib/core/EncryptedDb.h"

#include <vector>

namespace ulv {

// Appends workbook rows to table ATC in one transaction: the connection opens
// when the import is made (before the user picks a file) and everything added
// is committed by commit() or by the destructor.
class AtcImport {
public:
    explicit AtcImport(const DbFile& db, CodePlace where = CodePlace());
    ~AtcImport();

    bool isOpen() const { return m_conn.isOpen(); }

    // Files the command under the last classification whose name contains
    // `classText`, or under an empty classification when none does. Texts are
    // stored exactly as given. Returns the library's result code (0 on success).
    int addRow(const QString& classText, const QString& atc, const QString& refer, const QString& func);

    void commit();

private:
    EncryptedDb m_conn;
    bool m_open = false;
};

// The header row Export writes above the commands ("Classification",
// "AT command", "Parameter reference", "Function"), any case.
bool IsAtcWorkbookHeader(const AtcWorkbookRow& row);

struct AtcImportFailure {
    int sheetRow = 0; // 1 is the workbook's first row
    int code = 0;     // the library's result code
};

// The one box a partly failed import shows: how many of the rows failed, then
// the first of them with their sheet row numbers and reasons.
QString AtcImportSummary(int rowCount, const std::vector<AtcImportFailure>& failures);

} // namespace ulv
