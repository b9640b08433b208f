#include "ManagerTestSupport.h"

#include "atlib/CAtcManageDlg.h"
#include "atlib/DbTestSupport.h"
#include "platform/MessageBox.h"
#include "shell/core/CUlvenscopeApp.h"
#include "ui/controls/CSkinButton.h"
#include "ui/controls/ReportListView.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QTest>

namespace ulv::test {

DbFile UseLibrary()
{
    const DbFile db = MakeDb("manager.db", "Tavrine_KEX", AtcSchemaSql() +
        "INSERT INTO ATCCLASS VALUES (1, 'General');\n"
        "INSERT INTO ATCCLASS VALUES (2, 'SMS commands');\n"
        "INSERT INTO ATCCLASS VALUES (3, 'Other SMS');\n"
        "INSERT INTO ATCCLASS VALUES (4, 'Twin');\n"
        "INSERT INTO ATCCLASS VALUES (5, 'Twin');\n"
        "INSERT INTO ATCCLASS VALUES (6, 'Call');\n"
        "INSERT INTO ATC VALUES ('ATI', 1, 'ATI', 'Identification');\n"
        "INSERT INTO ATC VALUES ('AT+CSQ', 1, 'AT+CSQ', 'Signal quality');\n"
        "INSERT INTO ATC VALUES ('AT+CMGF', 2, 'AT+CMGF=<mode>', 'Message format');\n"
        "INSERT INTO ATC VALUES ('ATD', 6, 'ATD<n>;', 'Dial');\n"
        "INSERT INTO ATC VALUES ('AT+ORPHAN', 42, 'x', 'y');\n");
    theApp.m_strAtcDbPath = db.path;
    theApp.m_strAtcDbKey = QString::fromUtf8(db.key);
    return db;
}

void AlterLibrary(const DbFile& db, const QString& sql)
{
    const ProcessResult r = RunSqlcipher(db.path, "PRAGMA key='" + QString::fromUtf8(db.key) + "';\n" + sql);
    if (r.exitCode != 0 || !r.err.isEmpty())
        qFatal("altering the library: %s", qPrintable(r.err));
}

QList<QStringList> StoredCommands(const DbFile& db)
{
    return Rows(db, "SELECT atc,type,refer,func FROM ATC ORDER BY atc;");
}

QStringList ColumnTexts(const ReportListView* list, int column)
{
    QStringList out;
    for (int row = 0; row < list->GetItemCount(); ++row)
        out << list->GetItemText(row, column);
    return out;
}

int RowWith(const ReportListView* list, int column, const QString& text)
{
    return int(ColumnTexts(list, column).indexOf(text));
}

void ClickRow(ReportListView* list, int row)
{
    const QRect cell = list->visualRect(list->model()->index(row, 1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
}

void ClickHeading(ReportListView* list, int column)
{
    QHeaderView* header = list->horizontalHeader();
    const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
}

void Unlock(CAtcManageDlg& dlg)
{
    MessageBoxRecorder boxes;
    dlg.PasswordEdit()->setText(QString::fromLatin1(CAtcManageDlg::kPassword));
    dlg.VerifyButton()->click();
}

} // namespace ulv::test
