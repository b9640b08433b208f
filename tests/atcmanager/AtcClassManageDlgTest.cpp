#include "atlib/CAtcClassManageDlg.h"
#include "atlib/CAtcManageDlg.h"
#include "atlib/DbTestSupport.h"
#include "ManagerTestSupport.h"
#include "platform/MessageBox.h"
#include "platform/ProfileStore.h"
#include "shell/core/CUlvenscopeApp.h"
#include "ui/controls/CColumnSortListCtrl.h"
#include "ui/controls/CSortableListCtrl.h"
#include "ui/controls/CSkinButton.h"
#include "ui/core/ListHeadings.h"

#include <QLineEdit>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

using namespace ulv;
using namespace ulv::test;

namespace {

class ClassManager : public ::testing::Test {
protected:
    void SetUp() override
    {
        db = UseLibrary();
        dlg = std::make_unique<CAtcClassManageDlg>();
        dlg->show();
    }

    void Type(const QString& index, const QString& name)
    {
        dlg->IndexEdit()->setText(index);
        dlg->NameEdit()->setText(name);
    }

    void Choose(const QString& index)
    {
        const int row = RowWith(dlg->List(), 0, index);
        ASSERT_GE(row, 0) << index.toStdString();
        ClickRow(dlg->List(), row);
    }

    QList<QStringList> StoredClasses() const { return Rows(db, "SELECT MyIndex,typename FROM ATCCLASS;"); }

    DbFile db;
    std::unique_ptr<CAtcClassManageDlg> dlg;
    MessageBoxRecorder boxes;
};

} // namespace

TEST_F(ClassManager, ListsTheClassificationsInTableOrder)
{
    EXPECT_EQ(dlg->objectName(), "CAtcClassManageDlg");
    EXPECT_EQ(dlg->windowTitle(), "AT classification manage");
    CColumnSortListCtrl* list = dlg->List();
    ASSERT_EQ(list->GetColumnCount(), 2);
    EXPECT_EQ(list->Model()->Heading(0), "Index");
    EXPECT_EQ(list->Model()->Heading(1), "Classification");
    EXPECT_EQ(list->GetColumnWidth(0), 50);
    EXPECT_EQ(list->GetColumnWidth(1), 200);
    EXPECT_EQ(ColumnTexts(list, 0), QStringList({"1", "2", "3", "4", "5", "6"}));
    EXPECT_EQ(ColumnTexts(list, 1), QStringList({"General", "SMS commands", "Other SMS", "Twin", "Twin", "Call"}));

    Choose("3");
    EXPECT_EQ(dlg->IndexEdit()->text(), "3");
    EXPECT_EQ(dlg->NameEdit()->text(), "Other SMS");
    EXPECT_TRUE(boxes.Texts().isEmpty());
}

TEST_F(ClassManager, ColumnWidthsComeFromTheStoredLayout)
{
    ProfileStore::WriteBinary("ListCtrls", "1306", EncodeColumnLayout({80, 150}));
    CAtcClassManageDlg stored;
    EXPECT_EQ(stored.List()->GetColumnWidth(0), 80);
    EXPECT_EQ(stored.List()->GetColumnWidth(1), 150);
    ProfileStore::WriteBinary("ListCtrls", "1306", QByteArray());
}

TEST_F(ClassManager, AddChecksTheEditsAndTheListedIndexes)
{
    struct Case {
        QString index, name, box;
    };
    const Case cases[] = {
        {"", "Data", "Edit content should not be empty!"},
        {"8", "", "Edit content should not be empty!"},
        {"3", "Data", "The number of index has exist!"},
        // Typed with a blank it passes the list check; the table still holds 3.
        {"3 ", "Data", "Fail to add a record!"},
    };
    for (const Case& c : cases) {
        boxes.Clear();
        Type(c.index, c.name);
        dlg->AddButton()->click();
        EXPECT_EQ(boxes.Texts(), QStringList({c.box})) << c.index.toStdString();
        EXPECT_EQ(StoredClasses().size(), 6) << c.index.toStdString();
    }

    boxes.Clear();
    Type("8", "Data's own");
    dlg->AddButton()->click();
    EXPECT_EQ(boxes.Texts(), QStringList({"Success to add a record!"}));
    EXPECT_TRUE(StoredClasses().contains(QStringList({"8", "Data's own"})));
    EXPECT_EQ(dlg->List()->GetItemText(6, 1), "Data's own");
    EXPECT_EQ(dlg->IndexEdit()->text(), "8");
}

TEST_F(ClassManager, DeleteKeepsTheCommandsOfTheIndex)
{
    dlg->DeleteButton()->click();
    EXPECT_TRUE(boxes.Texts().isEmpty());
    EXPECT_EQ(StoredClasses().size(), 6);

    Choose("1");
    dlg->DeleteButton()->click();
    EXPECT_TRUE(boxes.Texts().isEmpty());
    EXPECT_EQ(ColumnTexts(dlg->List(), 0), QStringList({"2", "3", "4", "5", "6"}));
    EXPECT_EQ(StoredCommands(db).size(), 5);

    // The commands reappear in the manager once the index is added again.
    auto countListed = [] { return CAtcManageDlg().List()->GetItemCount(); };
    EXPECT_EQ(countListed(), 2);
    Type("1", "General again");
    dlg->AddButton()->click();
    EXPECT_EQ(countListed(), 4);

    AlterLibrary(db, "CREATE TRIGGER no BEFORE DELETE ON ATCCLASS BEGIN SELECT RAISE(ABORT, 'no'); END;");
    boxes.Clear();
    Choose("2");
    dlg->DeleteButton()->click();
    EXPECT_EQ(boxes.Texts(), QStringList({"Fail to delete a record!"}));
    EXPECT_EQ(StoredClasses().size(), 6);
}

TEST_F(ClassManager, ModifyRenamesButNeverChangesTheIndex)
{
    dlg->ModifyButton()->click();
    EXPECT_EQ(boxes.Texts(), QStringList({"Please select a row!"}));

    Choose("1");
    struct Case {
        QString index, name, box;
    };
    const Case refused[] = {
        {"", "Basic", "Edit content should not be empty!"},
        {"1", "", "Edit content should not be empty!"},
        {"9", "Basic", "The name of index should not be changed!\r\n"
                       "You can click \"Add\" button to add a new index record!"},
    };
    for (const Case& c : refused) {
        boxes.Clear();
        Type(c.index, c.name);
        dlg->ModifyButton()->click();
        EXPECT_EQ(boxes.Texts(), QStringList({c.box})) << c.index.toStdString();
        EXPECT_EQ(StoredClasses().value(0), QStringList({"1", "General"}));
    }

    boxes.Clear();
    Type("1", "It's basic");
    dlg->ModifyButton()->click();
    EXPECT_TRUE(boxes.Texts().isEmpty());
    EXPECT_EQ(StoredClasses().value(0), QStringList({"1", "It's basic"}));
    EXPECT_EQ(dlg->List()->GetItemText(0, 1), "It's basic");
    // The commands follow the new name.
    CAtcManageDlg manager;
    EXPECT_EQ(manager.List()->GetItemText(RowWith(manager.List(), 2, "ATI"), 1), "It's basic");
    // Reloaded: nothing is chosen any more.
    EXPECT_EQ(dlg->ChosenRow(), -1);

    AlterLibrary(db, "CREATE TRIGGER no BEFORE UPDATE ON ATCCLASS BEGIN SELECT RAISE(ABORT, 'no'); END;");
    Choose("2");
    Type("2", "SMS");
    boxes.Clear();
    dlg->ModifyButton()->click();
    EXPECT_EQ(boxes.Texts(), QStringList({"Fail to modify a record!"}));
}

TEST_F(ClassManager, TheChosenClassificationFollowsItsRowThroughASort)
{
    Choose("1");
    ClickHeading(dlg->List(), 1);
    ASSERT_EQ(ColumnTexts(dlg->List(), 1),
              QStringList({"Call", "General", "Other SMS", "SMS commands", "Twin", "Twin"}));
    EXPECT_EQ(dlg->ChosenRow(), 1);
    dlg->DeleteButton()->click();
    EXPECT_EQ(ColumnTexts(dlg->List(), 0), QStringList({"2", "3", "4", "5", "6"}));
}

TEST_F(ClassManager, EnterKeepsBothListDialogsOpenAndEscapeClosesThem)
{
    CAtcManageDlg manager;
    manager.show();
    for (QDialog* d : {static_cast<QDialog*>(dlg.get()), static_cast<QDialog*>(&manager)}) {
        QTest::keyClick(d, Qt::Key_Return);
        EXPECT_TRUE(d->isVisible()) << d->objectName().toStdString();
        QTest::keyClick(d, Qt::Key_Escape);
        EXPECT_FALSE(d->isVisible()) << d->objectName().toStdString();
    }
}

TEST_F(ClassManager, ALibraryGoneAfterTheLoadMakesEachButtonSayItFailed)
{
    const struct {
        const char* choose;
        QString index, name;
        CSkinButton* (CAtcClassManageDlg::*button)() const;
        const char* message;
    } cases[] = {
        {nullptr, "9", "New", &CAtcClassManageDlg::AddButton, "Fail to add a record!"},
        {"2", "", "", &CAtcClassManageDlg::DeleteButton, "Fail to delete a record!"},
        {"1", "1", "Basic", &CAtcClassManageDlg::ModifyButton, "Fail to modify a record!"},
    };
    for (const auto& c : cases) {
        theApp.m_strAtcDbPath = db.path;
        if (c.choose)
            Choose(c.choose);
        Type(c.index, c.name);
        theApp.m_strAtcDbPath = db.path + ".missing";
        boxes.Clear();
        (dlg.get()->*c.button)()->click();
        EXPECT_EQ(boxes.Texts(), QStringList{c.message});
        EXPECT_EQ(dlg->List()->GetItemCount(), 6) << c.message;
    }
    theApp.m_strAtcDbPath = db.path;
    EXPECT_EQ(StoredClasses().size(), 6);
}
