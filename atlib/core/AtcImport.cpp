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

bool IsAtcWorkbookHeader(const AtcWorkbookRow& row)
{
    const auto same = [](const QString& cell, const char* title) {
        return cell.compare(QLatin1String(title), Qt::CaseInsensitive) == 0;
    };
    return same(row.classification, "Classification") && same(row.atc, "AT command")
        && same(row.refer, "Parameter reference") && same(row.func, "Function");
}

QString AtcImportSummary(int rowCount, const std::vector<AtcImportFailure>& failures)
{
    // Enough lines to see what went wrong, few enough for a box on a screen.
    constexpr std::size_t kShown = 10;
    QString text = QStringLiteral("Fail to import %1 of the %2 rows !").arg(failures.size()).arg(rowCount);
    for (std::size_t i = 0; i < failures.size() && i < kShown; ++i) {
        const AtcImportFailure& f = failures[i];
        // The only constraint of the table is one row per command text.
        const QString reason = f.code == SQLITE_CONSTRAINT ? QStringLiteral("the AT command is already in the library")
                                                            : QString::fromUtf8(sqlite3_errstr(f.code));
        text += QStringLiteral("\r\nRow %1: %2 (error code %3)").arg(f.sheetRow).arg(reason).arg(f.code);
    }
    if (failures.size() > kShown)
        text += QStringLiteral("\r\n... and %1 more").arg(failures.size() - kShown);
    return text;
}

} // namespace ulv
