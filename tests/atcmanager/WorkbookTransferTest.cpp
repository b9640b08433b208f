#include "atlib/CAtcManageDlg.h"
#include "atlib/CTransferFileDlg.h"
#include "atlib/DbTestSupport.h"
#include "atlib/core/AtcWorkbook.h"
#include "atlib/core/DatabaseFiles.h"
#include "ManagerTestSupport.h"
#include "platform/DataFolder.h"
#include "platform/MessageBox.h"
#include "shell/core/CUlvenscopeApp.h"
#include "ui/controls/CSkinButton.h"
#include "ui/controls/CSortableListCtrl.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ulv;
using namespace ulv::test;

namespace {

enum { kId, kClass, kAtc, kRefer, kFunc };

const AtcWorkbookRow kHeader{"Classification", "AT command", "Parameter reference", "Function"};

bool operator==(const AtcWorkbookRow& a, const AtcWorkbookRow& b)
{
    return a.classification == b.classification && a.atc == b.atc && a.refer == b.refer && a.func == b.func;
}

class WorkbookTransfer : public ::testing::Test {
protected:
    void SetUp() override
    {
        db = UseLibrary();
        dlg = std::make_unique<CAtcManageDlg>();
        dlg->show();
        Unlock(*dlg);
    }

    // The transfer dialog answers with `path` (IDOK) or is cancelled when
    // `path` is empty; the modes it was run in are kept.
    void AnswerTransfer(const QString& path)
    {
        dlg->SetTransferRunner([this, path](CTransferFileDlg& t) {
            modes << t.m_bImport;
            if (path.isEmpty())
                return int(IDCANCEL);
            t.m_strPath = path;
            return int(IDOK);
        });
    }

    QString Book(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    DbFile db;
    std::unique_ptr<CAtcManageDlg> dlg;
    MessageBoxRecorder boxes;
    QList<int> modes;
};

} // namespace

TEST_F(WorkbookTransfer, ExportWritesTheListAsItIsShown)
{
    AlterLibrary(db, "UPDATE ATC SET refer='AT+CMGF=<mode>' || char(13,10) || '1 text', func='It''s the format' "
                     "WHERE atc='AT+CMGF';");
    dlg->LoadAtCommands();
    ClickHeading(dlg->List(), kAtc);
    ClickHeading(dlg->List(), kAtc);
    AnswerTransfer(Book("Exportfile.xlsx"));
    dlg->ExportButton()->click();
    EXPECT_EQ(modes, QList<int>({0}));
    ASSERT_EQ(boxes.Texts(), QStringList({"Finished"}));
    EXPECT_EQ(boxes.Boxes()[0].flags, unsigned(MB_ICONINFORMATION));

    const AtcWorkbookRead book = ReadAtcWorkbook(Book("Exportfile.xlsx"));
    ASSERT_TRUE(book.ok) << book.error.toStdString();
    const std::vector<AtcWorkbookRow> expected = {
        kHeader,
        {"General", "ATI", "ATI", "Identification"},
        {"Call", "ATD", "ATD<n>;", "Dial"},
        {"General", "AT+CSQ", "AT+CSQ", "Signal quality"},
        {"SMS commands", "AT+CMGF", "AT+CMGF=<mode>\r\n1 text", "It's the format"},
    };
    ASSERT_EQ(book.rows.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_TRUE(book.rows[i] == expected[i]) << i << " " << book.rows[i].atc.toStdString();
}

TEST_F(WorkbookTransfer, ExportOfAnEmptyListHasTheHeaderOnly)
{
    theApp.m_strAtcDbPath = db.path + ".missing";
    CAtcManageDlg empty;
    Unlock(empty);
    empty.SetTransferRunner([&](CTransferFileDlg& t) {
        t.m_strPath = Book("empty.xlsx");
        return int(IDOK);
    });
    empty.ExportButton()->click();
    EXPECT_EQ(boxes.Texts(), QStringList({"Finished"}));
    const AtcWorkbookRead book = ReadAtcWorkbook(Book("empty.xlsx"));
    ASSERT_TRUE(book.ok) << book.error.toStdString();
    ASSERT_EQ(book.rows.size(), 1u);
    EXPECT_TRUE(book.rows[0] == kHeader);
}

TEST_F(WorkbookTransfer, ExportCancelledOrUnwritableLeavesNoFinished)
{
    AnswerTransfer(QString());
    dlg->ExportButton()->click();
    EXPECT_TRUE(boxes.Texts().isEmpty());
    EXPECT_TRUE(QDir(dir.path()).isEmpty());

    AnswerTransfer(Book("no such folder/book.xlsx"));
    dlg->ExportButton()->click();
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_NE(boxes.Texts()[0], "Finished");
    EXPECT_FALSE(boxes.Texts()[0].isEmpty());
    EXPECT_EQ(boxes.Boxes()[0].flags, unsigned(MB_ICONERROR));
}

TEST_F(WorkbookTransfer, ImportSkipsTheHeaderAndSumsUpTheFailedRowsInOneBox)
{
    // Sheet rows: 1 the header, 2.. the commands; row 4 repeats a command.
    const std::vector<AtcWorkbookRow> rows = {
        {"SMS", "AT+CNMI", "AT+CNMI=<mode>,'1'", "New message's indication"},
        {"general", "AT+GMR", "it's \"kept\"", "Revision"},
        {"General", "ATI", "again", "again"},
        {"Nothing", "AT+NONE", "r", "f"},
    };
    ASSERT_EQ(WriteAtcWorkbook(Book("Importfile.xlsx"), rows), "");
    ClickRow(dlg->List(), 0);
    ASSERT_NE(dlg->ChosenRow(), -1);
    AnswerTransfer(Book("Importfile.xlsx"));
    dlg->ImportButton()->click();
    EXPECT_EQ(modes, QList<int>({1}));
    EXPECT_EQ(boxes.Texts(), QStringList({"Fail to import 1 of the 4 rows !\r\n"
                                          "Row 4: the AT command is already in the library (error code 19)"}));
    EXPECT_EQ(boxes.Boxes().back().flags, unsigned(MB_ICONWARNING));

    const QList<QStringList> stored = StoredCommands(db);
    // Texts are stored as the workbook holds them; a row whose name matches
    // no classification comes in under none. The header row is no command.
    for (const QStringList& row : {QStringList{"AT+CNMI", "3", "AT+CNMI=<mode>,'1'", "New message's indication"},
                                   QStringList{"AT+GMR", "1", "it's \"kept\"", "Revision"},
                                   QStringList{"ATI", "1", "ATI", "Identification"},
                                   QStringList{"AT+NONE", "", "r", "f"}})
        EXPECT_TRUE(stored.contains(row)) << row.join('|').toStdString();
    for (const QStringList& row : stored)
        EXPECT_NE(row.value(0), "AT command");
    EXPECT_EQ(stored.size(), 8);

    // The list was reloaded: the new commands show, the unfiled ones do not,
    // and nothing is chosen any more.
    EXPECT_EQ(dlg->List()->GetItemText(RowWith(dlg->List(), kAtc, "AT+CNMI"), kClass), "Other SMS");
    EXPECT_EQ(dlg->List()->GetItemText(RowWith(dlg->List(), kAtc, "AT+GMR"), kClass), "General");
    EXPECT_EQ(RowWith(dlg->List(), kAtc, "AT+NONE"), -1);
    EXPECT_EQ(dlg->List()->GetItemCount(), 6);
    EXPECT_EQ(dlg->ChosenRow(), -1);
}

TEST_F(WorkbookTransfer, ImportThatCannotStartWritesNothing)
{
    QFile garbage(Book("garbage.xlsx"));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("PK\x03\x04 this is no workbook");
    garbage.close();
    const QList<QStringList> before = StoredCommands(db);

    // Cancelled.
    AnswerTransfer(QString());
    dlg->ImportButton()->click();
    EXPECT_TRUE(boxes.Texts().isEmpty());

    // A file the reader cannot read: its error, no rows, no "Finished".
    AnswerTransfer(Book("garbage.xlsx"));
    dlg->ImportButton()->click();
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_NE(boxes.Texts()[0], "Finished");
    EXPECT_FALSE(boxes.Texts()[0].isEmpty());
    EXPECT_EQ(boxes.Boxes()[0].flags, unsigned(MB_ICONERROR));
    EXPECT_EQ(StoredCommands(db), before);

    // No database: the file is never asked for.
    boxes.Clear();
    modes.clear();
    theApp.m_strAtcDbPath = db.path + ".missing";
    dlg->ImportButton()->click();
    EXPECT_TRUE(modes.isEmpty());
    EXPECT_TRUE(boxes.Texts().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(theApp.m_strAtcDbPath));
}

TEST_F(WorkbookTransfer, ShippedLibrariesComeBackAsTheyWentOut)
{
    ResetParamFolder(false);
    InstallShippedDatabases();
    for (const char* file : {"ATC.db", "ATC_RX70.db"}) {
        SCOPED_TRACE(file);
        const DbFile shipped{DataFolder() + "/param/" + file, "Tavrine_KEX"};
        ASSERT_TRUE(QFileInfo::exists(shipped.path));
        theApp.m_strAtcDbPath = shipped.path;
        theApp.m_strAtcDbKey = QString::fromUtf8(shipped.key);
        const QList<QStringList> before = StoredCommands(shipped);
        ASSERT_FALSE(before.isEmpty());
        CAtcManageDlg manager;
        Unlock(manager);
        boxes.Clear();
        manager.SetTransferRunner([&](CTransferFileDlg& t) {
            t.m_strPath = Book(QString::fromLatin1(file) + ".xlsx");
            return int(IDOK);
        });
        manager.ExportButton()->click();
        ASSERT_EQ(boxes.Texts(), QStringList({"Finished"}));

        // Into the emptied library: every command comes back as it was.
        AlterLibrary(shipped, "DELETE FROM ATC;");
        boxes.Clear();
        manager.ImportButton()->click();
        EXPECT_EQ(boxes.Texts(), QStringList({"Finished"}));
        EXPECT_EQ(StoredCommands(shipped), before);

        // Into the full library: every row fails, and one box says so.
        boxes.Clear();
        manager.ImportButton()->click();
        ASSERT_EQ(boxes.Count(), 1);
        EXPECT_TRUE(boxes.Texts()[0].startsWith(
            QStringLiteral("Fail to import %1 of the %1 rows !\r\nRow 2: the AT command is already in the library")
                .arg(before.size())))
            << boxes.Texts()[0].left(200).toStdString();
        EXPECT_EQ(StoredCommands(shipped), before);
    }
}
