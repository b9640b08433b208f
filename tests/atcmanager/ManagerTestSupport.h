#pragma once

#include "atlib/core/EncryptedDb.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace ulv {
class CAtcManageDlg;
class ReportListView;
}

namespace ulv::test {

// A small AT-command library, installed as the program's library
// (theApp's path and key): classifications 1 General, 2 SMS commands,
// 3 Other SMS, 4 Twin, 5 Twin, 6 Call; commands ATI and AT+CSQ (General),
// AT+CMGF (SMS commands), ATD (Call) and AT+ORPHAN filed under 42, which no
// classification has.
DbFile UseLibrary();

// Runs SQL on the library behind the dialogs' backs.
void AlterLibrary(const DbFile& db, const QString& sql);

// Every command of table ATC as {atc, type, refer, func}, ordered by atc.
QList<QStringList> StoredCommands(const DbFile& db);

// The texts of one column in list order, and the row holding `text` in it.
QStringList ColumnTexts(const ReportListView* list, int column);
int RowWith(const ReportListView* list, int column, const QString& text);

// Mouse clicks as the user makes them: on a row, on a column title.
void ClickRow(ReportListView* list, int row);
void ClickHeading(ReportListView* list, int column);

// Types the manager password and verifies it.
void Unlock(CAtcManageDlg& dlg);

} // namespace ulv::test
