#include "atlib/CCycleSettingDlg.h"
#include "atlib/CTestItemDlg_script.h"
#include "atlib/core/ScriptRun.h"

#include "platform/DataFolder.h"
#include "platform/IniFile.h"
#include "platform/MessageBox.h"
#include "ui/controls/CSkinButton.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace ulv;

namespace {

class ScriptPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        page = std::make_unique<CTestItemDlg_script>();
        page->SetFileChooser([this](bool save) { return save ? savePath : loadPath; });
    }
    MessageBoxRecorder boxes;
    QString savePath, loadPath;
    std::unique_ptr<CTestItemDlg_script> page;
};

} // namespace

TEST_F(ScriptPage, ChooseAllChecksOnlyRowsWithACommandAndUncheckingClearsAll)
{
    page->CommandEdit(1)->setText("AT");
    page->CommandEdit(4)->setText("ATI");
    page->ChooseCheck(7)->setChecked(true);
    page->ChooseAllCheck()->click();
    for (int r = 0; r < CTestItemDlg_script::kRows; ++r)
        EXPECT_EQ(page->ChooseCheck(r)->isChecked(), r == 1 || r == 4 || r == 7) << r;
    page->ChooseAllCheck()->click();
    for (int r = 0; r < CTestItemDlg_script::kRows; ++r)
        EXPECT_FALSE(page->ChooseCheck(r)->isChecked()) << r;
}

TEST_F(ScriptPage, EnterHeaderSetsEveryRowAndClearAllEmptiesEverything)
{
    page->EnterAllCheck()->click();
    for (int r = 0; r < CTestItemDlg_script::kRows; ++r)
        EXPECT_TRUE(page->EnterCheck(r)->isChecked()) << r;
    page->SetRow(24, {"1", "AT", "1", "1", "9", "OK", ""});
    page->ChooseAllCheck()->setChecked(true);
    page->ClearAllButton()->click();
    for (int r = 0; r < CTestItemDlg_script::kRows; ++r)
        EXPECT_EQ(page->GetRow(r), (ScriptRow{"0", "", "0", "0", "", "", ""})) << r;
    EXPECT_FALSE(page->ChooseAllCheck()->isChecked());
    EXPECT_FALSE(page->EnterAllCheck()->isChecked());
}

TEST_F(ScriptPage, SaveAsThenLoadRoundTripsTheRowsAndOnlyLoadSetsTheCurrentFile)
{
    savePath = DataFolder() + "/saved.ini";
    QFile::remove(savePath);
    page->SetRow(0, {"1", "AT+CMGS=\"123\",145", "0", "1", "800", "OK", ""});
    page->SetRow(2, {"0", "  spaced ; = [x]  ", "1", "0", "", "", ""});
    page->SaveAsButton()->click();
    EXPECT_TRUE(page->m_strScriptPath.isEmpty());
    EXPECT_EQ(IniGetString(savePath, "3", "CMD"), "  spaced ; = [x]  ");

    CTestItemDlg_script other;
    other.SetFileChooser([this](bool) { return savePath; });
    other.LoadButton()->click();
    EXPECT_EQ(other.m_strScriptPath, savePath);
    for (int r = 0; r < 20; ++r)
        EXPECT_EQ(other.GetRow(r), page->GetRow(r)) << r;
    EXPECT_EQ(other.CompareEdit(0)->text(), "OK");
    EXPECT_TRUE(boxes.Texts().isEmpty());
}

TEST_F(ScriptPage, SaveSettingWritesOnlyAFileThatWasLoaded)
{
    const QString path = DataFolder() + "/current.ini";
    QFile::remove(path);
    page->SaveSettings();
    EXPECT_FALSE(QFile::exists(path));
    loadPath = path;
    page->LoadButton()->click();
    page->CommandEdit(5)->setText("AT+CGMR");
    page->SaveSettings();
    EXPECT_EQ(IniGetString(path, "6", "CMD"), "AT+CGMR");
}

TEST_F(ScriptPage, UnwritableScriptFileIsReported)
{
    savePath = DataFolder() + "/no/such/folder/x.ini";
    page->SaveAsButton()->click();
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_TRUE(boxes.Texts()[0].contains(savePath));
}

TEST_F(ScriptPage, DefaultScriptIsReadFromTheProgramFolder)
{
    ScriptFileRows rows;
    rows[6] = {"1", "AT+CSQ", "0", "1", "300", "+CSQ", ""};
    ASSERT_TRUE(WriteScriptFile(DefaultScriptPath(), rows));
    page->LoadDefaultScript();
    EXPECT_EQ(page->GetRow(6), (ScriptRow{"1", "AT+CSQ", "0", "1", "300", "+CSQ", ""}));
    EXPECT_TRUE(page->m_strScriptPath.isEmpty());
    QFile::remove(DefaultScriptPath());
}

TEST(ScriptRunChecks, ImproperDelayNamesTheFirstChosenRow)
{
    ScriptFileRows rows;
    rows[0] = {"0", "AT", "0", "1", "60000", "", ""}; // not chosen
    rows[1] = {"1", "AT", "0", "1", "", "", ""};      // empty: not checked
    rows[2] = {"1", "AT", "0", "1", "50001", "", ""};
    rows[4] = {"1", "AT", "0", "1", "-1", "", ""};
    EXPECT_EQ(ImproperDelayRow(rows), 3);
    EXPECT_EQ(ImproperDelayMessage(3), "The delay time parameter in 3th row is improper !");
    rows[2].delay = "50000";
    EXPECT_EQ(ImproperDelayRow(rows), 5);
    rows[4].delay = "0";
    EXPECT_EQ(ImproperDelayRow(rows), std::nullopt);
}

TEST(ScriptRunChecks, RowWindow)
{
    EXPECT_EQ(RowWindowMs(""), 1000);
    EXPECT_EQ(RowWindowMs("  "), 1000);
    EXPECT_EQ(RowWindowMs("0"), 0);
    EXPECT_EQ(RowWindowMs("-5"), 0);
    EXPECT_EQ(RowWindowMs(" 250 "), 250);
}

TEST(CycleSettingDlg, RangeCheck)
{
    struct Case {
        const char* cycles;
        const char* interval;
        bool accepted;
    };
    const Case cases[] = {
        {"0", "0", false}, {"1000000", "0", false}, {"1", "5001", false}, {"1", "-1", false},
        {"x", "0", false}, {"999999", "5000", true}, {"1", "0", true}, {"3", "x", true},
    };
    for (const Case& c : cases) {
        MessageBoxRecorder boxes;
        CCycleSettingDlg dlg;
        EXPECT_EQ(dlg.CycleEdit()->text(), "1");
        EXPECT_EQ(dlg.IntervalEdit()->text(), "1000");
        dlg.CycleEdit()->setText(c.cycles);
        dlg.IntervalEdit()->setText(c.interval);
        dlg.OnOK();
        EXPECT_EQ(dlg.result() == QDialog::Accepted, c.accepted) << c.cycles << " " << c.interval;
        EXPECT_EQ(boxes.Texts(), c.accepted ? QStringList() : QStringList({"The setting is wrong!"}));
        if (c.accepted) {
            EXPECT_EQ(dlg.m_nCycleTimes, QString(c.cycles).toInt());
        }
    }
}

TEST(ScriptPageKeys, DelayEditsOfScriptRowsTakeDigitsOnly)
{
    CTestItemDlg_script page;
    QTest::keyClicks(page.DelayEdit(0), "1a-2");
    EXPECT_EQ(page.DelayEdit(0)->text(), "12");
    QTest::keyClicks(page.DelayEdit(22), "1a");
    EXPECT_EQ(page.DelayEdit(22)->text(), "1a") << "rows 21 to 25 are not filtered";
}
