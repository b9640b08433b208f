#include "atlib/CApnListDlg.h"
#include "platform/MessageBox.h"
#include "ui/controls/CSkinButton.h"
#include "ui/controls/CSortableListCtrl.h"

#include "DbTestSupport.h"
#include "common/TestEnv.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

using namespace ulv;
using namespace ulv::test;

namespace {

using Dlg = CApnListDlg;

const char kSchema[] =
    "CREATE TABLE APN (MCC TEXT, MNC TEXT, DialNo TEXT, APN TEXT, APNT INTEGER, UName TEXT, PSW TEXT,"
    " URL TEXT, Padd TEXT, Port TEXT, PName TEXT, GJ TEXT);\n";

const int kFieldIds[12] = {Dlg::IDC_EDIT_MCC,      Dlg::IDC_EDIT_MNC,      Dlg::IDC_EDIT_DIALNO,
                           Dlg::IDC_EDIT_APN,      -1 /* the type combo */, Dlg::IDC_EDIT_USERNAME,
                           Dlg::IDC_EDIT_PASSWORD, Dlg::IDC_EDIT_URL,      Dlg::IDC_EDIT_PROXY,
                           Dlg::IDC_EDIT_PORT,     Dlg::IDC_EDIT_PROFILE,  Dlg::IDC_EDIT_COUNTRY};

QList<QStringList> Table(const DbFile& db)
{
    return Rows(db, "SELECT * FROM APN ORDER BY rowid;");
}

class ApnListDlgTest : public ::testing::Test {
protected:
    void Open(const DbFile& db)
    {
        m_db = db;
        dlg = std::make_unique<CApnListDlg>();
        dlg->m_apnDb = db;
        dlg->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg.get()));
    }

    void OpenWith(const QString& rows) { Open(MakeDb("apn.db", "Tavrine_WOP", QString(kSchema) + rows)); }

    CSortableListCtrl* List() const { return dlg->List(); }

    QStringList ListRow(int row) const
    {
        QStringList cells;
        for (int c = 0; c < List()->GetColumnCount(); ++c)
            cells << List()->GetItemText(row, c);
        return cells;
    }

    QList<QStringList> ListRows() const
    {
        QList<QStringList> rows;
        for (int r = 0; r < List()->GetItemCount(); ++r)
            rows << ListRow(r);
        return rows;
    }

    // What the edits show, in table column order; the type as the combo's index.
    QStringList Shown() const
    {
        QStringList out;
        for (int id : kFieldIds)
            out << (id < 0 ? QString::number(dlg->TypeCombo()->currentIndex()) : dlg->Edit(id)->text());
        return out;
    }

    void ClickRow(int row)
    {
        const QRect cell = List()->visualRect(List()->Model()->index(row, 1));
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, cell.center());
    }

    void ClickBelowLastRow()
    {
        const QRect last = List()->visualRect(List()->Model()->index(List()->GetItemCount() - 1, 1));
        const QPoint below(last.center().x(), last.bottom() + 2 * last.height());
        ASSERT_LT(below.y(), List()->viewport()->height());
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, below);
    }

    void ClickHeader(int column)
    {
        QHeaderView* header = List()->horizontalHeader();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }

    // Types into the edits the twelve values of a row; the type is chosen by
    // its index in the combo (-1: none).
    void Fill(const QStringList& values)
    {
        for (int i = 0; i < 12; ++i) {
            if (kFieldIds[i] < 0)
                dlg->TypeCombo()->setCurrentIndex(values[i].toInt());
            else
                dlg->Edit(kFieldIds[i])->setText(values[i]);
        }
    }

    // Presses a button and returns the boxes it showed.
    QStringList Press(CSkinButton* button)
    {
        boxes.Clear();
        QTest::mouseClick(button, Qt::LeftButton);
        return boxes.Texts();
    }

    MessageBoxRecorder boxes;
    std::unique_ptr<CApnListDlg> dlg;
    DbFile m_db;
};

const char kThreeNetworks[] =
    "INSERT INTO APN VALUES ('262','01','*99#','web.one',0,'u1','p1','','','','One','Germany');\n"
    "INSERT INTO APN VALUES ('262','02','*99***1#','wap.two',1,'','','http://wap.two','10.1.1.1','8080','Two','Germany');\n"
    "INSERT INTO APN VALUES ('208','10',NULL,'odd',7,NULL,NULL,NULL,NULL,NULL,NULL,NULL);\n";

} // namespace

TEST_F(ApnListDlgTest, ControlsColumnsAndLook)
{
    OpenWith("");
    EXPECT_EQ(dlg->objectName(), "CApnListDlg");
    EXPECT_EQ(dlg->windowTitle(), "APN list");

    const struct {
        const char* heading;
        int width;
        Qt::Alignment alignment;
    } columns[] = {
        {"ID", 50, Qt::AlignHCenter},       {"MCC", 55, Qt::AlignLeft},       {"MNC", 55, Qt::AlignLeft},
        {"Dial No.", 55, Qt::AlignLeft},    {"APN", 80, Qt::AlignLeft},       {"APN type", 80, Qt::AlignLeft},
        {"User name", 80, Qt::AlignLeft},   {"Password", 80, Qt::AlignLeft},  {"URL", 150, Qt::AlignLeft},
        {"Proxy address", 100, Qt::AlignLeft}, {"Port", 40, Qt::AlignLeft},   {"Profile name", 150, Qt::AlignLeft},
        {"Country", 100, Qt::AlignLeft},
    };
    ASSERT_EQ(List()->GetColumnCount(), 13);
    for (int c = 0; c < 13; ++c) {
        SCOPED_TRACE(columns[c].heading);
        EXPECT_EQ(List()->Model()->Heading(c), columns[c].heading);
        // At least the laid-out width; wider where the title needs it.
        EXPECT_GE(List()->GetColumnWidth(c), columns[c].width);
        EXPECT_EQ(List()->Model()->ColumnAlignment(c) & Qt::AlignHorizontal_Mask, columns[c].alignment);
    }
    EXPECT_TRUE(List()->showGrid());
    EXPECT_EQ(List()->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(List()->GetItemCount(), 0);

    // Each label stands in front of its own field.
    const struct {
        const char* label;
        QWidget* field;
    } fields[] = {
        {"ID", dlg->Edit(Dlg::IDC_EDIT_ID)},
        {"MCC", dlg->Edit(Dlg::IDC_EDIT_MCC)},
        {"MNC", dlg->Edit(Dlg::IDC_EDIT_MNC)},
        {"Dial No.", dlg->Edit(Dlg::IDC_EDIT_DIALNO)},
        {"APN", dlg->Edit(Dlg::IDC_EDIT_APN)},
        {"APN type", dlg->TypeCombo()},
        {"User name", dlg->Edit(Dlg::IDC_EDIT_USERNAME)},
        {"Password", dlg->Edit(Dlg::IDC_EDIT_PASSWORD)},
        {"URL", dlg->Edit(Dlg::IDC_EDIT_URL)},
        {"Proxy address", dlg->Edit(Dlg::IDC_EDIT_PROXY)},
        {"Port", dlg->Edit(Dlg::IDC_EDIT_PORT)},
        {"Profile name", dlg->Edit(Dlg::IDC_EDIT_PROFILE)},
        {"Country", dlg->Edit(Dlg::IDC_EDIT_COUNTRY)},
    };
    const QList<QLabel*> labels = dlg->findChildren<QLabel*>();
    for (const auto& f : fields) {
        SCOPED_TRACE(f.label);
        ASSERT_NE(f.field, nullptr);
        EXPECT_TRUE(f.field->isVisible());
        const auto it = std::find_if(labels.begin(), labels.end(), [&](QLabel* l) { return l->text() == f.label; });
        ASSERT_NE(it, labels.end());
        EXPECT_EQ((*it)->buddy(), f.field);
    }
    EXPECT_TRUE(dlg->Edit(Dlg::IDC_EDIT_ID)->isReadOnly());
    EXPECT_FALSE(dlg->Edit(Dlg::IDC_EDIT_MCC)->isReadOnly());

    QComboBox* combo = dlg->TypeCombo();
    EXPECT_TRUE(combo->isEditable());
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(0), "Internet");
    EXPECT_EQ(combo->itemText(1), "WAP");
    EXPECT_EQ(combo->currentIndex(), -1);

    EXPECT_EQ(dlg->AddButton()->text(), "Add");
    EXPECT_EQ(dlg->DeleteButton()->text(), "Delete");
    EXPECT_EQ(dlg->ModifyButton()->text(), "Modify");
    for (CSkinButton* b : {dlg->AddButton(), dlg->DeleteButton(), dlg->ModifyButton()})
        EXPECT_FALSE(b->NormalFace().IsEmpty()) << b->text().toStdString();

    // The common grey of the dialogs between the controls.
    const QImage img = dlg->grab().toImage();
    EXPECT_EQ(img.pixel(img.width() - 3, 3), QColor(0xCD, 0xCD, 0xCD).rgb());
}

TEST_F(ApnListDlgTest, ListNumbersRowsFromOneAndNamesOnlyTheTwoKnownTypes)
{
    OpenWith(QString(kThreeNetworks) +
             "INSERT INTO APN VALUES ('001','01','*99#','minus',-1,'','','','','','','');\n"
             "INSERT INTO APN VALUES ('001','01','*99#','quoted','0','','','','','','','');\n");
    const QList<QStringList> expected = {
        {"1", "262", "01", "*99#", "web.one", "Internet", "u1", "p1", "", "", "", "One", "Germany"},
        {"2", "262", "02", "*99***1#", "wap.two", "WAP", "", "", "http://wap.two", "10.1.1.1", "8080", "Two",
         "Germany"},
        {"3", "208", "10", "", "odd", "", "", "", "", "", "", "", ""},
        {"4", "001", "01", "*99#", "minus", "", "", "", "", "", "", "", ""},
        {"5", "001", "01", "*99#", "quoted", "Internet", "", "", "", "", "", "", ""},
    };
    EXPECT_EQ(ListRows(), expected);

    // Rows of another width are no rows of this table.
    OpenWith("");
    EXPECT_EQ(List()->GetItemCount(), 0);
    Open(MakeDb("narrow.db", "Tavrine_WOP",
                "CREATE TABLE APN (MCC, MNC, DialNo, APN, APNT);\n"
                "INSERT INTO APN VALUES ('262','01','*99#','web',0);\n"));
    EXPECT_EQ(List()->GetItemCount(), 0);
}

TEST_F(ApnListDlgTest, ClickCopiesTheRowAndBelowTheLastRowKeepsTheChoice)
{
    OpenWith(kThreeNetworks);
    ClickRow(1);
    EXPECT_EQ(dlg->Edit(Dlg::IDC_EDIT_ID)->text(), "2");
    EXPECT_EQ(Shown(), QStringList({"262", "02", "*99***1#", "wap.two", "1", "", "", "http://wap.two", "10.1.1.1",
                                    "8080", "Two", "Germany"}));
    ClickRow(0);
    EXPECT_EQ(dlg->TypeCombo()->currentIndex(), 0);

    // An unknown type clears the combo, its edit field too.
    ClickRow(2);
    EXPECT_EQ(dlg->Edit(Dlg::IDC_EDIT_ID)->text(), "3");
    EXPECT_EQ(Shown(), QStringList({"208", "10", "", "odd", "-1", "", "", "", "", "", "", ""}));
    EXPECT_EQ(dlg->TypeCombo()->currentText(), "");

    ClickBelowLastRow();
    EXPECT_EQ(dlg->Edit(Dlg::IDC_EDIT_APN)->text(), "odd");
    // The choice is still the third row: Delete removes it, and only it.
    EXPECT_EQ(Press(dlg->DeleteButton()), QStringList{"Success to delete a record!"});
    const QList<QStringList> left = Table(m_db);
    ASSERT_EQ(left.size(), 2);
    EXPECT_EQ(left[0][3], "web.one");
    EXPECT_EQ(left[1][3], "wap.two");
}

TEST_F(ApnListDlgTest, MovingTheHighlightWithTheKeysChoosesTheRowItReaches)
{
    OpenWith(kThreeNetworks);
    ClickRow(0);
    List()->setFocus();
    QTest::keyClick(List(), Qt::Key_Down);
    EXPECT_EQ(dlg->Edit(Dlg::IDC_EDIT_APN)->text(), "wap.two");
    // Delete acts on the highlighted row, not on the one clicked before.
    EXPECT_EQ(Press(dlg->DeleteButton()), QStringList{"Success to delete a record!"});
    const QList<QStringList> left = Table(m_db);
    ASSERT_EQ(left.size(), 2);
    EXPECT_EQ(left[0][3], "web.one");
    EXPECT_EQ(left[1][3], "odd");
}

TEST_F(ApnListDlgTest, AddWantsTheFourKeyFieldsAndStoresTheSelectedType)
{
    OpenWith("");
    const QStringList full = {"262", "07", "*99#", "web.seven", "-1", "", "", "", "", "", "", ""};
    for (int missing : {0, 1, 2, 3}) {
        QStringList row = full;
        row[missing].clear();
        Fill(row);
        EXPECT_EQ(Press(dlg->AddButton()), QStringList{"Please input the information completely!"}) << missing;
    }
    EXPECT_TRUE(Table(m_db).isEmpty());

    // The type comes from the selection only: none is -1, and what is typed
    // into the combo's field is no selection.
    const struct {
        int index;
        const char* typed;
        const char* stored;
        const char* shown;
    } types[] = {{-1, "", "-1", ""}, {-1, "WAP", "-1", ""}, {0, nullptr, "0", "Internet"}, {1, nullptr, "1", "WAP"}};
    for (const auto& t : types) {
        QStringList row = full;
        row[4] = QString::number(t.index);
        Fill(row);
        if (t.typed)
            dlg->TypeCombo()->setEditText(t.typed);
        EXPECT_EQ(Press(dlg->AddButton()), QStringList{"Success to add a record!"});
        const QList<QStringList> stored = Rows(m_db, "SELECT APNT, typeof(APNT) FROM APN ORDER BY rowid DESC LIMIT 1;");
        ASSERT_EQ(stored.size(), 1);
        EXPECT_EQ(stored[0], QStringList({t.stored, "integer"}));
        EXPECT_EQ(List()->GetItemText(List()->GetItemCount() - 1, 5), t.shown);
    }
    EXPECT_EQ(List()->GetItemCount(), 4);
    EXPECT_EQ(List()->GetItemText(3, 0), "4");
    EXPECT_EQ(dlg->TypeCombo()->count(), 2);
}

TEST_F(ApnListDlgTest, ApostrophesAreAddedModifiedAndDeletedAsTyped)
{
    OpenWith("");
    const QStringList quoted = {"001", "01", "*99#", "it's.apn", "0", "O'Brien", "pa'ss", "http://x/'y'",
                                "10.0.0.1", "80", "Bob's profile", "Côte d'Ivoire"};
    Fill(quoted);
    EXPECT_EQ(Press(dlg->AddButton()), QStringList{"Success to add a record!"});
    ASSERT_EQ(Table(m_db).size(), 1);
    EXPECT_EQ(Table(m_db)[0], quoted);

    ClickRow(0);
    EXPECT_EQ(Shown(), quoted);
    QStringList changed = quoted;
    changed[3] = "'; DROP TABLE APN; --";
    changed[4] = "1";
    changed[6] = "new'pass";
    Fill(changed);
    EXPECT_EQ(Press(dlg->ModifyButton()), QStringList{"Success to modify a record!"});
    ASSERT_EQ(Table(m_db).size(), 1);
    EXPECT_EQ(Table(m_db)[0], changed);
    EXPECT_EQ(ListRow(0).mid(1, 4), changed.mid(0, 4));

    ClickRow(0);
    EXPECT_EQ(Press(dlg->DeleteButton()), QStringList{"Success to delete a record!"});
    EXPECT_TRUE(Table(m_db).isEmpty());
    EXPECT_EQ(List()->GetItemCount(), 0);
}

TEST_F(ApnListDlgTest, DeleteAndModifyReachTheStoredRowWhateverItsType)
{
    const QString rows = QString(kThreeNetworks) +
                         "INSERT INTO APN VALUES ('310','260','*99#','twin',0,'','','','','','','');\n"
                         "INSERT INTO APN VALUES ('310','260','*99#','twin',0,'','','','','','','');\n";
    // row clicked, APNs the table keeps after Delete
    const struct {
        int row;
        QStringList left;
    } deletes[] = {
        {2, {"web.one", "wap.two", "twin", "twin"}},  // APNT 7 and NULL values
        {3, {"web.one", "wap.two", "odd"}},           // both twins go together
    };
    for (const auto& d : deletes) {
        SCOPED_TRACE(d.row);
        OpenWith(rows);
        ClickRow(d.row);
        EXPECT_EQ(Press(dlg->DeleteButton()), QStringList{"Success to delete a record!"});
        QStringList left;
        for (const QStringList& r : Table(m_db))
            left << r[3];
        EXPECT_EQ(left, d.left);
        EXPECT_EQ(List()->GetItemCount(), d.left.size());
    }

    // Modify writes the edits and the selected type over every row equal to
    // the clicked one, the odd type included.
    for (int row : {2, 4}) {
        SCOPED_TRACE(row);
        OpenWith(rows);
        ClickRow(row);
        dlg->Edit(Dlg::IDC_EDIT_DIALNO)->setText("*98#");
        dlg->Edit(Dlg::IDC_EDIT_PORT)->setText("8080");
        dlg->TypeCombo()->setCurrentIndex(1);
        EXPECT_EQ(Press(dlg->ModifyButton()), QStringList{"Success to modify a record!"});
        const QString apn = row == 2 ? "odd" : "twin";
        const QList<QStringList> now = Rows(m_db, "SELECT DialNo, APNT, Port FROM APN WHERE APN='" + apn + "';");
        const QList<QStringList> expected(row == 2 ? 1 : 2, QStringList{"*98#", "1", "8080"});
        EXPECT_EQ(now, expected);
        EXPECT_EQ(Table(m_db).size(), 5);
    }
}

TEST_F(ApnListDlgTest, RowChangedOrGoneSinceTheLoadIsNoSuccess)
{
    const struct {
        const char* meanwhile;
        bool changedRowStays;
    } cases[] = {
        {"UPDATE APN SET PSW='changed' WHERE APN='web.one';", true},
        {"DELETE FROM APN WHERE APN='web.one';", false},
        {"DROP TABLE APN;", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.meanwhile);
        OpenWith(kThreeNetworks);
        ClickRow(0);
        Rows(m_db, c.meanwhile);
        dlg->Edit(Dlg::IDC_EDIT_APN)->setText("web.new");
        EXPECT_EQ(Press(dlg->ModifyButton()), QStringList{"Fail to modify a record!"});
        EXPECT_EQ(Press(dlg->DeleteButton()), QStringList{"Fail to delete a record!"});
        if (c.changedRowStays) {
            EXPECT_EQ(Rows(m_db, "SELECT PSW FROM APN WHERE APN='web.one';"), QList<QStringList>{{"changed"}});
        }
        // The list is not reloaded on a failure and the choice stays.
        EXPECT_EQ(List()->GetItemCount(), 3);
        EXPECT_EQ(Press(dlg->DeleteButton()), QStringList{"Fail to delete a record!"});
    }
    Rows(m_db, "CREATE TABLE Other (x);");
    Fill({"262", "09", "*99#", "web.nine", "0", "", "", "", "", "", "", ""});
    EXPECT_EQ(Press(dlg->AddButton()), QStringList{"Fail to add a record!"});
}

TEST_F(ApnListDlgTest, ChoiceFollowsItsRecordThroughASortAndEndsWithAReload)
{
    OpenWith(kThreeNetworks);
    ClickRow(0);  // web.one
    ClickHeader(4);  // APN ascending: odd, wap.two, web.one
    ASSERT_EQ(List()->GetItemText(0, 4), "odd");
    ASSERT_EQ(List()->GetItemText(2, 4), "web.one");
    EXPECT_EQ(Press(dlg->DeleteButton()), QStringList{"Success to delete a record!"});
    QStringList left;
    for (const QStringList& r : Table(m_db))
        left << r[3];
    EXPECT_EQ(left, QStringList({"wap.two", "odd"}));

    // The reload after the write drops the choice: no row is reached by an
    // index that now belongs to another record.
    Fill({"262", "02", "*99#", "x", "0", "", "", "", "", "", "", ""});
    EXPECT_EQ(Press(dlg->DeleteButton()), QStringList{"Please select an item that you want to delete!"});
    EXPECT_EQ(Press(dlg->ModifyButton()), QStringList{"Please select an item that you want to modify!"});
    EXPECT_EQ(Table(m_db).size(), 2);

    ClickRow(0);  // wap.two: the reload shows table order again
    ASSERT_EQ(dlg->Edit(Dlg::IDC_EDIT_APN)->text(), "wap.two");
    ClickHeader(4);  // the same column again: descending, wap.two, odd
    ClickHeader(4);  // ascending: odd, wap.two
    ASSERT_EQ(List()->GetItemText(1, 4), "wap.two");
    dlg->Edit(Dlg::IDC_EDIT_APN)->setText("wap.fixed");
    EXPECT_EQ(Press(dlg->ModifyButton()), QStringList{"Success to modify a record!"});
    left.clear();
    for (const QStringList& r : Table(m_db))
        left << r[3];
    EXPECT_EQ(left, QStringList({"wap.fixed", "odd"}));
}

TEST_F(ApnListDlgTest, NothingChosenAsksForARowBeforeCheckingTheEdits)
{
    OpenWith(kThreeNetworks);
    const struct {
        CSkinButton* button;
        const char* text;
    } cases[] = {
        {dlg->DeleteButton(), "Please select an item that you want to delete!"},
        {dlg->ModifyButton(), "Please select an item that you want to modify!"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Press(c.button), QStringList{c.text});
    ClickRow(0);
    dlg->Edit(Dlg::IDC_EDIT_MNC)->clear();
    EXPECT_EQ(Press(dlg->ModifyButton()), QStringList{"Please input the information completely!"});
    EXPECT_EQ(Table(m_db)[0][1], "01");
}

TEST_F(ApnListDlgTest, EnterKeepsTheDialogOpenAndEscapeClosesIt)
{
    const DbFile db = MakeDb("apn.db", "Tavrine_WOP", QString(kSchema) + kThreeNetworks);
    CApnListDlg modal;
    modal.m_apnDb = db;
    bool openAfterEnter = false;
    int typesAfterEnter = -1;
    QTimer::singleShot(0, &modal, [&] {
        QTest::keyClick(modal.Edit(Dlg::IDC_EDIT_MCC), Qt::Key_Return);
        QLineEdit* typeField = modal.TypeCombo()->lineEdit();
        QTest::keyClicks(typeField, "Mobile");
        QTest::keyClick(typeField, Qt::Key_Return);
        typesAfterEnter = modal.TypeCombo()->count();
        openAfterEnter = modal.isVisible();
        QTest::keyClick(modal.Edit(Dlg::IDC_EDIT_MCC), Qt::Key_Escape);
    });
    // Ends a run that Escape failed to end, so the test fails instead of hanging.
    QTimer::singleShot(5000, &modal, [&] { modal.done(QDialog::Accepted); });
    EXPECT_EQ(modal.DoModal(), IDCANCEL);
    EXPECT_TRUE(openAfterEnter);
    EXPECT_EQ(typesAfterEnter, 2);
    EXPECT_EQ(modal.List()->GetItemCount(), 3);
}

TEST_F(ApnListDlgTest, UnopenableDatabaseShowsNoRowsAndEachButtonSaysItFailed)
{
    ClearTempLog();
    Open({TempHome() + "/no-such-folder/APN.db", "Tavrine_WOP"});
    EXPECT_EQ(List()->GetItemCount(), 0);
    Fill({"262", "01", "*99#", "web", "0", "", "", "", "", "", "", ""});
    EXPECT_EQ(Press(dlg->AddButton()), QStringList{"Fail to add a record!"});
    const QStringList log = TempLogLines();
    ASSERT_EQ(log.size(), 2);
    for (const QString& line : log)
        EXPECT_TRUE(line.contains("Can't open database: ")) << line.toStdString();
}

TEST_F(ApnListDlgTest, DatabaseGoneAfterTheLoadMakesDeleteAndModifySayTheyFailed)
{
    OpenWith(kThreeNetworks);
    ASSERT_EQ(List()->GetItemCount(), 3);
    const struct {
        CSkinButton* (CApnListDlg::*button)() const;
        const char* message;
    } cases[] = {
        {&CApnListDlg::DeleteButton, "Fail to delete a record!"},
        {&CApnListDlg::ModifyButton, "Fail to modify a record!"},
    };
    for (const auto& c : cases) {
        dlg->m_apnDb = m_db;
        ClickRow(0);
        dlg->m_apnDb = {TempHome() + "/no-such-folder/APN.db", "Tavrine_WOP"};
        EXPECT_EQ(Press((dlg.get()->*c.button)()), QStringList{c.message});
        EXPECT_EQ(List()->GetItemCount(), 3) << c.message;
    }
    EXPECT_EQ(Table(m_db).size(), 3);
}
