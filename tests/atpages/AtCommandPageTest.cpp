#include "atlib/CTestItemDlg_atcommand.h"
#include "atlib/core/AtcDatabase.h"
#include "atlib/core/DatabaseFiles.h"

#include "atlib/DbTestSupport.h"
#include "common/TestEnv.h"
#include "platform/DataFolder.h"
#include "platform/MessageBox.h"
#include "platform/TempLog.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTextBlock>
#include <QTextEdit>
#include <QTreeWidget>
#include <algorithm>
#include <gtest/gtest.h>

using namespace ulv;
using namespace ulv::test;

namespace {

DbFile SmallLibrary()
{
    return MakeDb("page.db", "Tavrine_KEX", AtcSchemaSql() +
        "INSERT INTO ATCCLASS VALUES (1, 'General');\n"
        "INSERT INTO ATCCLASS VALUES (2, 'SMS');\n"
        "INSERT INTO ATCCLASS VALUES (3, 'Empty');\n"
        "INSERT INTO ATC VALUES ('AT+CSQ', 1, 'AT+CSQ' || char(13, 10) || '<rssi>: 0..31' || char(13, 10) || '<ber>: 0..7', 'Signal quality');\n"
        "INSERT INTO ATC VALUES ('ATI', 1, 'ATI', 'Identification');\n"
        "INSERT INTO ATC VALUES ('AT+CMGF', 2, 'AT+CMGF=<mode>', 'Message format');\n"
        "INSERT INTO ATC VALUES ('AT+CMGS', 2, 'AT+CMGS=<da>', 'Send message');\n"
        "INSERT INTO ATC VALUES ('AT+CSQN', 2, 'x', 'Odd one');\n"
        "INSERT INTO ATC VALUES ('AT_X', 1, 'x', 'Underscore');\n");
}

class AtCommandPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        db = SmallLibrary();
        page = std::make_unique<CTestItemDlg_atcommand>();
        page->SetLibrary(db);
        page->ReloadTree();
        page->resize(700, 700);
    }
    QStringList Lines() const { return page->HelpBox()->toPlainText().split('\n'); }
    // The help box's text colour at a character position, as QRgb.
    QRgb ColorAt(int position) const
    {
        QTextCursor c(page->HelpBox()->document());
        c.setPosition(position + 1);
        return c.charFormat().foreground().color().rgb();
    }
    static constexpr QRgb kRed = qRgb(255, 0, 0);
    static constexpr QRgb kBlack = qRgb(0, 0, 0);

    DbFile db;
    std::unique_ptr<CTestItemDlg_atcommand> page;
};

QStringList TreeTexts(const QTreeWidget* tree)
{
    QStringList out;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* root = tree->topLevelItem(i);
        QStringList children;
        for (int k = 0; k < root->childCount(); ++k)
            children << root->child(k)->text(0);
        out << root->text(0) + ": " + children.join(',');
    }
    return out;
}

} // namespace

TEST_F(AtCommandPage, TreeHoldsEveryClassificationWithItsCommands)
{
    EXPECT_EQ(TreeTexts(page->Tree()),
        QStringList({"General: AT+CSQ,ATI,AT_X", "SMS: AT+CMGF,AT+CMGS,AT+CSQN", "Empty: "}));
}

TEST_F(AtCommandPage, TypedCommandIsEchoedInHexAndSearchedBeforeItsEqualsSign)
{
    page->CommandEdit()->setText("AT+CMGF=1");
    EXPECT_EQ(page->HexEdit()->text(), "41 54 2b 43 4d 47 46 3d 31 ");
    // The one match shows its whole help, the first line in the highlight.
    EXPECT_EQ(Lines(), QStringList({"Command:     AT+CMGF", "Class    : SMS", "Function: Message format",
                           "Parameter reference below : ", "AT+CMGF=<mode>"}));
    const int firstLine = int(QString("Command:     AT+CMGF").size());
    EXPECT_EQ(ColorAt(0), kRed);
    EXPECT_EQ(ColorAt(firstLine - 1), kRed);
    EXPECT_EQ(ColorAt(firstLine + 1), kBlack);
}

TEST_F(AtCommandPage, LaterReferenceLinesAreIndented)
{
    // The library's AT+CSQ has a reference of three lines.
    const std::vector<AtCommand> found = AtCommandsStartingWith(db, "AT+CSQ");
    const auto csq = std::find_if(found.begin(), found.end(), [](const AtCommand& c) { return c.atc == "AT+CSQ"; });
    ASSERT_NE(csq, found.end());
    page->ShowCommandDetail(csq->atc, csq->func, csq->refer, csq->className, true);
    EXPECT_EQ(Lines(), QStringList({"Command:     AT+CSQ", "Class    : General", "Function: Signal quality",
                           "Parameter reference below : ", "AT+CSQ", "             <rssi>: 0..31",
                           "             <ber>: 0..7"}));
}

TEST_F(AtCommandPage, SeveralMatchesListOneLineEachInClassThenCommandOrder)
{
    page->CommandEdit()->setText("AT+CSQ=1");
    EXPECT_EQ(page->HexEdit()->text(), "41 54 2b 43 53 51 3d 31 ");
    EXPECT_EQ(Lines(), QStringList({"AT+CSQ: Signal quality [ General ]", "AT+CSQN: Odd one [ SMS ]", ""}));
    const int second = int(QString("AT+CSQ: Signal quality [ General ]\n").size());
    EXPECT_EQ(ColorAt(0), kRed);
    EXPECT_EQ(ColorAt(5), kRed);
    EXPECT_EQ(ColorAt(6), kBlack);
    EXPECT_EQ(ColorAt(second + 6), kRed);
    EXPECT_EQ(ColorAt(second + 7), kBlack);
}

TEST_F(AtCommandPage, SearchTextIsOnlyEverAPattern)
{
    struct Case {
        const char* typed;
        QStringList commands; // the highlighted command of each list line
    };
    const Case cases[] = {
        {"at+cmg", {"AT+CMGF", "AT+CMGS"}},           // ASCII case ignored
        {"AT+CM_", {"AT+CMGF", "AT+CMGS"}},           // _ is any one character
        {"AT%S", {"AT+CSQ", "AT+CMGS", "AT+CSQN"}},   // % is any run
        {"AT'", {}},                                  // an apostrophe finds nothing, breaks nothing
        {"'; DROP TABLE ATC; --", {}},
        {"NOSUCH", {}},
    };
    for (const Case& c : cases) {
        page->CommandEdit()->setText(c.typed);
        QStringList shown;
        for (const QString& line : Lines())
            if (!line.isEmpty())
                shown << line.section(':', 0, 0);
        EXPECT_EQ(shown, c.commands) << c.typed;
    }
    EXPECT_EQ(SearchAtCommands(db, "AT").size(), 6u) << "the library is untouched";
}

TEST_F(AtCommandPage, EmptyingTheEditClearsHelpAndHex)
{
    page->CommandEdit()->setText("AT");
    ASSERT_FALSE(page->HelpBox()->toPlainText().isEmpty());
    page->CommandEdit()->clear();
    EXPECT_TRUE(page->HelpBox()->toPlainText().isEmpty());
    EXPECT_TRUE(page->HexEdit()->text().isEmpty());
}

TEST_F(AtCommandPage, SelectingACommandFillsTheEditAndAClassificationChangesNothing)
{
    QTreeWidget* tree = page->Tree();
    tree->setCurrentItem(tree->topLevelItem(1));
    EXPECT_TRUE(page->CommandEdit()->text().isEmpty());
    EXPECT_TRUE(page->HelpBox()->toPlainText().isEmpty());

    // AT+CSQ begins AT+CSQN as well: the edit still gets the command chosen.
    tree->setCurrentItem(tree->topLevelItem(0)->child(0));
    EXPECT_EQ(page->CommandEdit()->text(), "AT+CSQ");
    EXPECT_EQ(page->HexEdit()->text(), "41 54 2b 43 53 51 ");
    EXPECT_EQ(Lines().size(), 3) << "the search list for the text";

    tree->setCurrentItem(tree->topLevelItem(1)->child(1));
    EXPECT_EQ(page->CommandEdit()->text(), "AT+CMGS");
    EXPECT_EQ(Lines().value(0), "Command:     AT+CMGS");
}

TEST_F(AtCommandPage, ReloadShowsCommandsAddedMeanwhile)
{
    page->CommandEdit()->setText("AT+NEW");
    ASSERT_TRUE(page->HelpBox()->toPlainText().isEmpty());
    ASSERT_EQ(AddAtCommand(db, {"AT+NEW", "Empty", "r", "Fresh"}), DbWrite::Ok);
    page->CommandEdit()->setText("AT+NEW=1");
    EXPECT_EQ(Lines().value(0), "Command:     AT+NEW") << "the search reads the library each time";
    page->ReloadTree();
    EXPECT_EQ(TreeTexts(page->Tree()).value(2), "Empty: AT+NEW");
}

TEST_F(AtCommandPage, LibraryThatCannotBeOpenedGivesAnEmptyTreeAndNoList)
{
    page->SetLibrary({DataFolder() + "/param/missing.db", "Tavrine_KEX"});
    page->ReloadTree();
    EXPECT_EQ(page->Tree()->topLevelItemCount(), 0);
    page->CommandEdit()->setText("AT");
    EXPECT_TRUE(page->HelpBox()->toPlainText().isEmpty());
    EXPECT_EQ(page->HexEdit()->text(), "41 54 ");
}

TEST_F(AtCommandPage, ALibraryThatCannotBeReadIsReportedWithItsPath)
{
    const QByteArray whole = test::ReadAll(db.path);
    ASSERT_GT(whole.size(), 2048);
    struct Case {
        const char* name;
        QByteArray bytes; // empty: no file at all
        const char* key;
    } cases[] = {
        {"truncated.db", whole.left(1024), "Tavrine_KEX"},
        {"garbage.db", QByteArray(4096, '\x5A'), "Tavrine_KEX"},
        {"wrongkey.db", whole, "not_the_key"},
        {"missing.db", {}, "Tavrine_KEX"},
    };
    for (const Case& c : cases) {
        const QString path = QFileInfo(db.path).absolutePath() + "/" + c.name;
        QFile::remove(path);
        if (!c.bytes.isEmpty()) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            ASSERT_EQ(f.write(c.bytes), c.bytes.size());
        }
        const QByteArray logBefore = test::ReadAll(TempLog::Path());
        MessageBoxRecorder boxes;
        page->SetLibrary({path, c.key});
        page->ReloadTree();
        EXPECT_EQ(page->Tree()->topLevelItemCount(), 0) << c.name;
        ASSERT_EQ(boxes.Texts().size(), 1) << c.name;
        EXPECT_TRUE(boxes.Texts()[0].startsWith("Cannot read the AT command library " + path + " ("))
            << qPrintable(boxes.Texts()[0]);
        const QByteArray logged = test::ReadAll(TempLog::Path()).mid(logBefore.size());
        EXPECT_TRUE(logged.contains("Can't open database: ")) << c.name << ": " << logged.toStdString();
        if (!c.bytes.isEmpty())
            EXPECT_TRUE(logged.contains(QFile::encodeName(path))) << c.name << ": " << logged.toStdString();
    }
}

TEST(AtCommandPageShipped, TreeHoldsEveryClassificationOfTheShippedLibrary)
{
    InstallShippedDatabases();
    for (int type : {0, 1}) {
        const DbFile db = AtcDbFile(type);
        CTestItemDlg_atcommand page;
        page.SetLibrary(db);
        page.ReloadTree();
        const std::vector<AtcClassCommands> expected = LoadAtcTree(db);
        ASSERT_FALSE(expected.empty());
        ASSERT_EQ(page.Tree()->topLevelItemCount(), int(expected.size()));
        size_t commands = 0;
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(page.Tree()->topLevelItem(int(i))->text(0), expected[i].name);
            EXPECT_EQ(page.Tree()->topLevelItem(int(i))->childCount(), expected[i].commands.size());
            commands += size_t(expected[i].commands.size());
        }
        EXPECT_GT(commands, 50u);
    }
}
