#include "atlib/CAtcClassManageDlg.h"
#include "atlib/CAtcManageDlg.h"
#include "atlib/DbTestSupport.h"
#include "atlib/core/AtcDatabase.h"
#include "ManagerTestSupport.h"
#include "platform/MessageBox.h"
#include "shell/core/CUlvenscopeApp.h"
#include "ui/controls/CColumnSortListCtrl.h"
#include "ui/controls/CFlatComboBox.h"
#include "ui/controls/CSkinButton.h"
#include "ui/controls/CSortableListCtrl.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QTextEdit>
#include <functional>
#include <gtest/gtest.h>

using namespace ulv;
using namespace ulv::test;

namespace {

enum { kId, kClass, kAtc, kRefer, kFunc };

class AtcManager : public ::testing::Test {
protected:
    void SetUp() override
    {
        db = UseLibrary();
        dlg = std::make_unique<CAtcManageDlg>();
        dlg->show();
    }

    // Fills the edits as the user would before Add or Modify.
    void Type(const QString& className, const QString& atc, const QString& refer, const QString& func)
    {
        dlg->ClassCombo()->setEditText(className);
        dlg->AtcEdit()->setText(atc);
        dlg->ReferEdit()->setPlainText(refer);
        dlg->FuncEdit()->setPlainText(func);
    }

    void Choose(const QString& atc)
    {
        const int row = RowWith(dlg->List(), kAtc, atc);
        ASSERT_GE(row, 0) << atc.toStdString();
        ClickRow(dlg->List(), row);
    }

    QList<CSkinButton*> EditingButtons() const
    {
        return {dlg->ModifyButton(), dlg->DeleteButton(), dlg->ManageButton(), dlg->AddButton(),
                dlg->ImportButton(), dlg->ExportButton()};
    }

    DbFile db;
    std::unique_ptr<CAtcManageDlg> dlg;
    MessageBoxRecorder boxes;
};

} // namespace

TEST_F(AtcManager, ShowsTheJoinedLibraryNumberedFromZero)
{
    EXPECT_EQ(dlg->objectName(), "CAtcManageDlg");
    EXPECT_EQ(dlg->windowTitle(), "AT commands manager");
    CSortableListCtrl* list = dlg->List();
    ASSERT_EQ(list->GetColumnCount(), 5);
    const QStringList headings = {"ID", "Classification", "AT command", "Parameter reference", "Function"};
    const int widths[] = {50, 100, 170, 200, 150};
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(list->Model()->Heading(c), headings[c]);
        // At least the laid-out width; wider where a title or cell needs it.
        EXPECT_GE(list->GetColumnWidth(c), widths[c]);
    }
    EXPECT_EQ(ColumnTexts(list, kId), QStringList({"0", "1", "2", "3"}));
    // The orphan's type matches no classification, so it is not listed.
    QStringList atcs = ColumnTexts(list, kAtc);
    atcs.sort();
    EXPECT_EQ(atcs, QStringList({"AT+CMGF", "AT+CSQ", "ATD", "ATI"}));
    const int cmgf = RowWith(list, kAtc, "AT+CMGF");
    EXPECT_EQ(list->GetItemText(cmgf, kClass), "SMS commands");
    EXPECT_EQ(list->GetItemText(cmgf, kRefer), "AT+CMGF=<mode>");
    EXPECT_EQ(list->GetItemText(cmgf, kFunc), "Message format");

    QStringList names;
    for (int i = 0; i < dlg->ClassCombo()->count(); ++i)
        names << dlg->ClassCombo()->itemText(i);
    EXPECT_EQ(names, QStringList({"General", "SMS commands", "Other SMS", "Twin", "Twin", "Call"}));
    EXPECT_EQ(dlg->ClassCombo()->currentIndex(), -1);
    EXPECT_EQ(dlg->ClassCombo()->currentText(), "");
    EXPECT_TRUE(boxes.Texts().isEmpty());
}

TEST_F(AtcManager, ClickingARowFillsTheEdits)
{
    AlterLibrary(db, "UPDATE ATC SET refer='AT+CMGF=<mode>' || char(13,10) || '0 PDU' WHERE atc='AT+CMGF';");
    dlg->LoadAtCommands();
    Choose("AT+CMGF");
    EXPECT_EQ(dlg->ClassCombo()->currentText(), "SMS commands");
    EXPECT_EQ(dlg->AtcEdit()->text(), "AT+CMGF");
    EXPECT_EQ(dlg->ReferEdit()->toPlainText(), "AT+CMGF=<mode>\n0 PDU");
    EXPECT_EQ(dlg->FuncEdit()->toPlainText(), "Message format");
    EXPECT_EQ(dlg->ChosenRow(), RowWith(dlg->List(), kAtc, "AT+CMGF"));

    // A classification no longer on the combo leaves nothing selected.
    AlterLibrary(db, "UPDATE ATCCLASS SET typename='Calls' WHERE MyIndex=6;");
    dlg->LoadClassifications();
    Choose("ATD");
    EXPECT_EQ(dlg->ClassCombo()->currentIndex(), -1);
    EXPECT_EQ(dlg->AtcEdit()->text(), "ATD");
}

TEST_F(AtcManager, PasswordUnlocksTheEditingControlsUntilTheDialogCloses)
{
    for (CSkinButton* b : EditingButtons())
        EXPECT_FALSE(b->isEnabled()) << b->text().toStdString();
    EXPECT_TRUE(dlg->VerifyButton()->isEnabled());
    EXPECT_EQ(dlg->PasswordEdit()->echoMode(), QLineEdit::Password);
    EXPECT_FALSE(dlg->ExitButton()->isVisible());

    for (const char* wrong : {"kelvoru", "KELVORU", "Kelvoru ", "Kelvor", ""}) {
        dlg->PasswordEdit()->setText(QString::fromLatin1(wrong));
        dlg->VerifyButton()->click();
        EXPECT_EQ(boxes.Texts().value(0), "Password is wrong!") << wrong;
        EXPECT_TRUE(dlg->PasswordEdit()->text().isEmpty()) << wrong;
        for (CSkinButton* b : EditingButtons())
            EXPECT_FALSE(b->isEnabled()) << wrong << " " << b->text().toStdString();
        boxes.Clear();
    }

    dlg->PasswordEdit()->setText("Kelvoru");
    dlg->VerifyButton()->click();
    EXPECT_EQ(boxes.Texts(), QStringList({"OK!"}));
    EXPECT_TRUE(dlg->PasswordEdit()->text().isEmpty());
    for (CSkinButton* b : EditingButtons())
        EXPECT_TRUE(b->isEnabled()) << b->text().toStdString();

    // A wrong password afterwards does not lock again; a new run starts locked.
    dlg->PasswordEdit()->setText("nope");
    dlg->VerifyButton()->click();
    for (CSkinButton* b : EditingButtons())
        EXPECT_TRUE(b->isEnabled()) << b->text().toStdString();
    CAtcManageDlg again;
    EXPECT_FALSE(again.AddButton()->isEnabled());
}

TEST_F(AtcManager, AddRefusesAndReportsEachFailure)
{
    struct Case {
        const char* name;
        std::function<void()> prepare;
        QString box;
    };
    const Case cases[] = {
        {"no classification", [&] { Type("", "AT+NEW", "", ""); }, "Please select classification!"},
        {"typed classification", [&] { Type("Generic", "AT+NEW", "", ""); }, "Please select classification!"},
        {"empty command", [&] { Type("General", "", "r", "f"); }, "AT command should not be empty!"},
        {"lookup fails", [&] { Type("General", "AT+NEW", "", ""); AlterLibrary(db, "DROP TABLE ATCCLASS;"); },
         "Fail to add a record_1!"},
        {"classification gone", [&] { Type("Call", "AT+NEW", "", ""); AlterLibrary(db, "DELETE FROM ATCCLASS WHERE MyIndex=6;"); },
         "Fail to add a record_2!"},
        {"command exists", [&] { Type("General", "ATI", "", ""); }, "Fail to add a record_3!"},
    };
    for (const Case& c : cases) {
        SetUp();
        Unlock(*dlg);
        boxes.Clear();
        const QList<QStringList> before = StoredCommands(db);
        c.prepare();
        dlg->AddButton()->click();
        EXPECT_EQ(boxes.Texts(), QStringList({c.box})) << c.name;
        EXPECT_EQ(StoredCommands(db), before) << c.name;
        EXPECT_FALSE(dlg->LibraryChanged()) << c.name;
    }
}

TEST_F(AtcManager, AddFilesTextsExactlyUnderTheLastClassificationOfTheName)
{
    Unlock(*dlg);
    struct Case {
        QString className, atc, refer, func;
        QStringList stored;
    };
    const Case cases[] = {
        {"Twin", "AT+TWIN", "AT+TWIN", "Twins", {"AT+TWIN", "5", "AT+TWIN", "Twins"}},
        {"General", "AT+Q='it''s'", "it's\nline 2", "don't; DROP TABLE ATC;--",
         {"AT+Q='it''s'", "1", "it's\r\nline 2", "don't; DROP TABLE ATC;--"}},
    };
    for (const Case& c : cases) {
        boxes.Clear();
        Type(c.className, c.atc, c.refer, c.func);
        dlg->AddButton()->click();
        EXPECT_EQ(boxes.Texts(), QStringList({"Success to add a record!"})) << c.atc.toStdString();
        const QList<QStringList> stored = StoredCommands(db);
        EXPECT_TRUE(stored.contains(c.stored)) << c.atc.toStdString();
        const int row = RowWith(dlg->List(), kAtc, c.atc);
        ASSERT_GE(row, 0) << c.atc.toStdString();
        EXPECT_EQ(dlg->List()->GetItemText(row, kClass), c.className);
        // The edits keep what was typed.
        EXPECT_EQ(dlg->AtcEdit()->text(), c.atc);
    }
    EXPECT_EQ(ColumnTexts(dlg->List(), kId).last(), "5");
    // The AT Command page reads the library again when the dialog closes.
    EXPECT_TRUE(dlg->LibraryChanged());
}

TEST_F(AtcManager, DeleteRemovesTheChosenCommandWithoutAsking)
{
    Unlock(*dlg);
    boxes.Clear();
    dlg->DeleteButton()->click();
    EXPECT_TRUE(boxes.Texts().isEmpty());
    EXPECT_EQ(StoredCommands(db).size(), 5);

    AlterLibrary(db, "INSERT INTO ATC VALUES ('AT+Q=''x''', 1, '', '');");
    dlg->LoadAtCommands();
    for (const QString atc : {"AT+Q='x'", "ATD"}) {
        boxes.Clear();
        Choose(atc);
        dlg->DeleteButton()->click();
        EXPECT_EQ(boxes.Texts(), QStringList({"Success to delete a record!"}));
        EXPECT_EQ(RowWith(dlg->List(), kAtc, atc), -1);
        for (const QStringList& row : StoredCommands(db))
            EXPECT_NE(row[0], atc);
    }
    EXPECT_EQ(dlg->List()->GetItemCount(), 3);
}

TEST_F(AtcManager, ModifyChangesClassificationAndTextsButNeverTheName)
{
    Unlock(*dlg);
    boxes.Clear();
    dlg->ModifyButton()->click();
    EXPECT_EQ(boxes.Texts(), QStringList({"Please select a row!"}));

    Choose("AT+CSQ");
    boxes.Clear();
    dlg->AtcEdit()->setText("AT+CSQ2");
    dlg->ModifyButton()->click();
    EXPECT_EQ(boxes.Texts(), QStringList({"The name of AT command should not be modified!"
                                          "You can add a new AT command by using \"Add\" button!"}));
    const QList<QStringList> before = StoredCommands(db);
    EXPECT_TRUE(before.contains(QStringList({"AT+CSQ", "1", "AT+CSQ", "Signal quality"})));

    boxes.Clear();
    Type("Other SMS", "AT+CSQ", "AT+CSQ\n<rssi>,<ber>", "It's the signal");
    dlg->ModifyButton()->click();
    EXPECT_TRUE(boxes.Texts().isEmpty());
    EXPECT_TRUE(StoredCommands(db).contains(QStringList({"AT+CSQ", "3", "AT+CSQ\r\n<rssi>,<ber>", "It's the signal"})));
    const int row = RowWith(dlg->List(), kAtc, "AT+CSQ");
    EXPECT_EQ(dlg->List()->GetItemText(row, kClass), "Other SMS");
    // The list was reloaded: nothing is chosen any more.
    EXPECT_EQ(dlg->ChosenRow(), -1);
    dlg->ModifyButton()->click();
    EXPECT_EQ(boxes.Texts(), QStringList({"Please select a row!"}));
}

TEST_F(AtcManager, ModifyReportsEachFailure)
{
    struct Case {
        const char* name;
        std::function<void()> prepare;
        QString box;
    };
    const Case cases[] = {
        {"lookup fails", [&] { AlterLibrary(db, "DROP TABLE ATCCLASS;"); },
         "Fail to modify a record,query the ID of this classification is failed!"},
        {"no classification chosen", [&] { dlg->ClassCombo()->setCurrentIndex(-1); },
         "Fail to modify a record, the classification is not exist in the database!"},
        {"classification gone", [&] { AlterLibrary(db, "DELETE FROM ATCCLASS WHERE MyIndex=1;"); },
         "Fail to modify a record, the classification is not exist in the database!"},
        {"write fails", [&] { AlterLibrary(db, "CREATE TRIGGER no BEFORE UPDATE ON ATC BEGIN SELECT RAISE(ABORT, 'no'); END;"); },
         "Fail to modify a record!"},
    };
    for (const Case& c : cases) {
        SetUp();
        Unlock(*dlg);
        Choose("ATI");
        dlg->FuncEdit()->setPlainText("changed");
        const QList<QStringList> before = StoredCommands(db);
        boxes.Clear();
        c.prepare();
        dlg->ModifyButton()->click();
        EXPECT_EQ(boxes.Texts(), QStringList({c.box})) << c.name;
        EXPECT_EQ(StoredCommands(db), before) << c.name;
    }
}

TEST_F(AtcManager, TheChosenCommandFollowsItsRowThroughASort)
{
    Unlock(*dlg);
    Choose("ATI");
    // Sorting by AT command moves ATI to the end and another command into its row.
    const int before = dlg->ChosenRow();
    ClickHeading(dlg->List(), kAtc);
    ASSERT_EQ(ColumnTexts(dlg->List(), kAtc), QStringList({"AT+CMGF", "AT+CSQ", "ATD", "ATI"}));
    ASSERT_NE(dlg->ChosenRow(), before);
    EXPECT_EQ(dlg->List()->GetItemText(dlg->ChosenRow(), kAtc), "ATI");

    boxes.Clear();
    dlg->DeleteButton()->click();
    EXPECT_EQ(boxes.Texts(), QStringList({"Success to delete a record!"}));
    QStringList left;
    for (const QStringList& row : StoredCommands(db))
        left << row[0];
    EXPECT_EQ(left, QStringList({"AT+CMGF", "AT+CSQ", "AT+ORPHAN", "ATD"}));

    // After the reload nothing is chosen: Delete does nothing.
    boxes.Clear();
    dlg->DeleteButton()->click();
    EXPECT_TRUE(boxes.Texts().isEmpty());
    EXPECT_EQ(StoredCommands(db).size(), 4);
}

TEST_F(AtcManager, ManageReloadsOnlyTheClassifications)
{
    Unlock(*dlg);
    int runs = 0;
    dlg->SetClassManagerRunner([&](CAtcClassManageDlg& classes) {
        ++runs;
        EXPECT_EQ(classes.List()->GetItemCount(), 6);
        // What the user does in the classification manager.
        EXPECT_EQ(RenameAtcClass(db, "1", "Basic"), DbWrite::Ok);
        EXPECT_EQ(AddAtcClass(db, "7", "Data"), DbWrite::Ok);
        return 2;
    });
    dlg->ManageButton()->click();
    EXPECT_EQ(runs, 1);
    QStringList names;
    for (int i = 0; i < dlg->ClassCombo()->count(); ++i)
        names << dlg->ClassCombo()->itemText(i);
    EXPECT_EQ(names, QStringList({"Basic", "SMS commands", "Other SMS", "Twin", "Twin", "Call", "Data"}));
    // The rows keep their old classification texts until the next reload.
    EXPECT_EQ(dlg->List()->GetItemText(RowWith(dlg->List(), kAtc, "ATI"), kClass), "General");
    dlg->LoadAtCommands();
    EXPECT_EQ(dlg->List()->GetItemText(RowWith(dlg->List(), kAtc, "ATI"), kClass), "Basic");
}

TEST_F(AtcManager, AMissingLibraryLeavesEverythingEmptyAndAddSaysItFailed)
{
    theApp.m_strAtcDbPath = db.path + ".missing";
    CAtcManageDlg empty;
    EXPECT_EQ(empty.List()->GetItemCount(), 0);
    EXPECT_EQ(empty.ClassCombo()->count(), 0);
    Unlock(empty);
    boxes.Clear();
    empty.ClassCombo()->addItem("General");
    empty.ClassCombo()->setCurrentIndex(0);
    empty.AtcEdit()->setText("AT+X");
    empty.AddButton()->click();
    EXPECT_EQ(boxes.Texts(), QStringList{"Fail to add a record_3!"});
    EXPECT_FALSE(QFileInfo::exists(theApp.m_strAtcDbPath));
}

TEST_F(AtcManager, ALibraryGoneAfterTheLoadMakesEachButtonSayItFailed)
{
    Unlock(*dlg);
    const struct {
        std::function<void()> press;
        const char* message;
    } cases[] = {
        {[&] { dlg->AddButton()->click(); }, "Fail to add a record_3!"},
        {[&] { dlg->DeleteButton()->click(); }, "Fail to delete a record_1!"},
        {[&] { dlg->ModifyButton()->click(); }, "Fail to modify a record!"},
    };
    for (const auto& c : cases) {
        theApp.m_strAtcDbPath = db.path;
        Choose("AT+CSQ");
        theApp.m_strAtcDbPath = db.path + ".missing";
        boxes.Clear();
        c.press();
        EXPECT_EQ(boxes.Texts(), QStringList{c.message});
        EXPECT_EQ(dlg->List()->GetItemCount(), 4) << c.message;
    }
    theApp.m_strAtcDbPath = db.path;
    EXPECT_EQ(StoredCommands(db).size(), 5);
}
