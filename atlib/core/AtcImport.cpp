#include "atlib/core/AtcImport.h"

#include "atlib/core/AtcDatabase.h"

#include <sqlite3.h>

namespace ulv {

AtcImport::AtcImport(const DbFile& db, CodePlace where)
    : m_conn(db, where)
{
    if (m_conn.isOpen())
        m_open = m_conn.begin().ok();
}

AtcImport::~AtcImport()
{
    commit();
}

int AtcImport::addRow(const QString& classText, const QString& atc, const QString& refer, const QString& func)
{
    if (!m_conn.isOpen())
        return SQLITE_CANTOPEN;
    const QString index = LookupAtcClassIndexContaining(m_conn, classText).value_or(QString());
    return m_conn.exec(QStringLiteral("INSERT INTO ATC VALUES (?,?,?,?);"), {atc, index, refer, func}).code;
}

void AtcImport::commit()
{
    if (m_open) {
        m_conn.commit();
        m_open = false;
    }
}

} // namespace ulv
