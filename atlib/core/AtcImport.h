#pragma once

#include "atlib/core/EncryptedDb.h"


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

} // namespace ulv
