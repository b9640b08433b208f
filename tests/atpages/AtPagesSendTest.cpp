#include "SessionSim.h"
#include "SimPageHost.h"
#include "common/WireFence.h"

#include "atlib/CCycleSettingDlg.h"
#include "atlib/CTestItemDlg_atcommand.h"
#include "atlib/CTestItemDlg_script.h"
#include "atlib/core/ScriptFile.h"
#include "common/TestEnv.h"
#include "platform/MessageBox.h"
#include "ui/controls/CSkinButton.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace ulv;
using namespace std::chrono_literals;

namespace {

class AtPages : public test::SessionSim {
protected:
    void SetUp() override
    {
        SessionSim::SetUp();
        ASSERT_TRUE(Open());
        host = std::make_unique<test::SimPageHost>(*session);
    }
    void TearDown() override
    {
        session->Gate().Stop();
        Until([this] { return !session->Gate().Running(); });
        script.reset();
        host.reset();
        SessionSim::TearDown();
    }
    // What the module received, once `text` is all of it.
    bool ReceivedExactly(const std::string& text)
    {
        return Until([&] { return Received().size() >= text.size(); }, 5000) && Received() == text;
    }
    CTestItemDlg_script& Script()
    {
        if (!script) {
            script = std::make_unique<CTestItemDlg_script>();
            script->SetCycleDialogRunner([this](CCycleSettingDlg& dlg) {
                ++cycleDialogs;
                dlg.CycleEdit()->setText(QString::number(cycles));
                dlg.IntervalEdit()->setText("0");
                dlg.OnOK();
                return dlg.result() == QDialog::Accepted ? IDOK : IDCANCEL;
            });
        }
        return *script;
    }
    bool ToolsEnabled()
    {
        return Script().RunButton()->isEnabled() && Script().LoadButton()->isEnabled()
            && Script().SaveAsButton()->isEnabled() && Script().ClearAllButton()->isEnabled();
    }

    MessageBoxRecorder boxes;
    std::unique_ptr<test::SimPageHost> host;
    std::unique_ptr<CTestItemDlg_script> script;
    int cycles = 1;
    int cycleDialogs = 0;
};

} // namespace

TEST_F(AtPages, SendWithEnterAddsCrLf)
{
    CTestItemDlg_atcommand page;
    page.CommandEdit()->setText("AT+CSQ");
    page.SendButton()->click();
    EXPECT_TRUE(ReceivedExactly("AT+CSQ\r\n"));
}

TEST_F(AtPages, SendWithoutEnterSendsTheBareTextAndAnEmptyEditNothing)
{
    CTestItemDlg_atcommand page;
    page.SendButton()->click(); // empty: nothing goes out
    page.WithEnterCheck()->setChecked(false);
    page.CommandEdit()->setText("ATI");
    page.SendButton()->click();
    EXPECT_TRUE(ReceivedExactly("ATI"));
}

TEST_F(AtPages, EnterInTheCommandEditSends)
{
    CTestItemDlg_atcommand page;
    page.CommandEdit()->setText("AT");
    QTest::keyClick(page.CommandEdit(), Qt::Key_Return);
    EXPECT_TRUE(ReceivedExactly("AT\r\n"));
}

TEST_F(AtPages, RowButtonsSendTrimmedTextOrHexAndNothingForBlanks)
{
    CTestItemDlg_script& page = Script();
    page.SetRow(0, {"0", "   ", "0", "1", "", "", ""});
    page.SetRow(1, {"0", "41 54 0d 0a", "1", "0", "", "", ""});
    page.SetRow(2, {"0", "  ATI  ", "0", "1", "", "", ""});
    page.RowButton(0)->click();
    page.RowButton(1)->click();
    page.RowButton(2)->click();
    EXPECT_TRUE(ReceivedExactly("AT\r\nATI\r\n"));
}

TEST_F(AtPages, AScriptRowThatIsNotUtf8IsSentAndSavedWithItsOwnBytes)
{
    // A script written elsewhere in Latin-1: the row's own bytes go to the
    // module, and loading and saving leaves every byte of the file as it was.
    const QString path = test::TempHome() + "/latin1_script.ini";
    ASSERT_TRUE(WriteScriptFile(path, ScriptFileRows{}));
    QByteArray original = test::ReadAll(path);
    original.replace("[1]\r\nCho=0\r\nCMD=\r\n", "[1]\r\nCho=0\r\nCMD=AT+CMGS=\"caf\xE9\"\r\n");
    original.replace("[2]\r\nCho=0\r\nCMD=\r\nHEX=0\r\nEnter=1\r\nDelay=500\r\nCompare=\r\n",
        "[2]\r\nCho=0\r\nCMD=\xE9t\xE9\r\nHEX=0\r\nEnter=1\r\nDelay=500\r\nCompare=\xFC\xA9\r\n");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(f.write(original), original.size());
    }
    CTestItemDlg_script& page = Script();
    const ScriptFileRows rows = ReadScriptFile(path);
    for (int r = 0; r < kScriptFileRows; ++r)
        page.SetRow(r, rows[size_t(r)]);
    EXPECT_EQ(page.CommandEdit(0)->text(), QString::fromUtf8("AT+CMGS=\"caf\xC3\xA9\""));
    page.RowButton(0)->click();
    page.RowButton(1)->click();
    EXPECT_TRUE(ReceivedExactly("AT+CMGS=\"caf\xE9\"\r\n\xE9t\xE9\r\n")) << Received();

    ASSERT_TRUE(page.SaveScriptFile(path));
    EXPECT_EQ(test::ReadAll(path), original);

    // An edited row is the user's text: UTF-8 from then on.
    page.CommandEdit(0)->setText(page.CommandEdit(0)->text() + "!");
    ASSERT_TRUE(page.SaveScriptFile(path));
    EXPECT_TRUE(test::ReadAll(path).contains("CMD=AT+CMGS=\"caf\xC3\xA9\"!\r\n"));
}

TEST_F(AtPages, RunDisablesTheToolsUntilItEndsAndClearsTheTaskFlag)
{
    cycles = 2;
    Script().SetRow(0, {"1", "AT", "0", "1", "100", "OK", ""});
    Script().RunButton()->click();
    EXPECT_EQ(cycleDialogs, 1);
    EXPECT_TRUE(session->Gate().Running());
    EXPECT_FALSE(ToolsEnabled());
    EXPECT_TRUE(Script().StopButton()->isEnabled());
    EXPECT_TRUE(Script().RowButton(0)->isEnabled());
    ASSERT_TRUE(Until([this] { return !session->Gate().Running() && ToolsEnabled(); }));
    EXPECT_EQ(boxes.Texts(), QStringList({"Test finished!"}));
    EXPECT_EQ(QString::fromStdString(Received()).count("AT\r\n"), 2);
}

TEST_F(AtPages, StopEndsTheRunAndGivesTheButtonsBack)
{
    cycles = 5;
    Script().SetRow(0, {"1", "AT", "0", "1", "50000", "", ""});
    Script().RunButton()->click();
    ASSERT_TRUE(WaitForCommand("AT", 10s));
    Script().StopButton()->click();
    ASSERT_TRUE(Until([this] { return !session->Gate().Running() && ToolsEnabled(); }));
    EXPECT_EQ(boxes.Texts(), QStringList({"Test stopped!"}));
}

TEST_F(AtPages, ImproperDelayOfAChosenRowStartsNothing)
{
    Script().SetRow(2, {"1", "AT", "0", "1", "50001", "", ""});
    Script().RunButton()->click();
    EXPECT_EQ(boxes.Texts(), QStringList({"The delay time parameter in 3th row is improper !"}));
    EXPECT_EQ(cycleDialogs, 0);
    EXPECT_FALSE(session->Gate().Running());
    EXPECT_TRUE(ToolsEnabled());
}

TEST_F(AtPages, RunIsRefusedSilentlyWhileATaskRunsOrWithoutAPort)
{
    Script().SetRow(0, {"1", "AT", "0", "1", "100", "", ""});
    {
        auto other = session->Gate().TryStart();
        ASSERT_TRUE(other.has_value());
        Script().RunButton()->click();
        EXPECT_EQ(cycleDialogs, 0);
    }
    session->Close();
    Script().RunButton()->click();
    EXPECT_EQ(cycleDialogs, 0);
    EXPECT_TRUE(boxes.Texts().isEmpty());
}

TEST_F(AtPages, ACommandWithALineEndOrCtrlZInsideIsRefusedAndNothingIsSent)
{
    CTestItemDlg_atcommand page;
    const struct {
        const char* command;
        const char* box;
    } typed[] = {
        {"AT+CMGS=\"1\"\x1A", "\"AT command\" must not contain Ctrl-Z!"},
        {"AT\rAT+CFUN=0", "\"AT command\" must not contain a line break!"},
        {"AT\nAT+CFUN=0", "\"AT command\" must not contain a line break!"},
    };
    for (const auto& c : typed) {
        SCOPED_TRACE(c.command);
        page.CommandEdit()->setText(QString::fromUtf8(c.command));
        EXPECT_TRUE(test::RefusedQuietly(boxes, sim(), *session, c.box, [&] { page.SendButton()->click(); }));
    }

    // A script row is one command too; a hex row sends the bytes it spells.
    CTestItemDlg_script& script = Script();
    script.SetRow(0, {"0", "ATI\x1A", "0", "1", "", "", ""});
    EXPECT_TRUE(test::RefusedQuietly(boxes, sim(), *session, "\"Command of the 1th row\" must not contain Ctrl-Z!",
        [&] { script.RowButton(0)->click(); }));

    script.SetRow(0, {"0", "", "0", "1", "", "", ""});
    script.SetRow(2, {"1", "AT+CFUN?\x1A", "0", "1", "100", "", ""});
    EXPECT_TRUE(test::RefusedQuietly(boxes, sim(), *session, "\"Command of the 3th row\" must not contain Ctrl-Z!",
        [&] { script.RunButton()->click(); }));
    EXPECT_EQ(cycleDialogs, 0);
    EXPECT_FALSE(session->Gate().Running());

    script.SetRow(2, {"0", "", "0", "1", "", "", ""});
    script.SetRow(1, {"0", "41 54 1a", "1", "0", "", "", ""});
    const std::string before = Received();
    script.RowButton(1)->click();
    EXPECT_TRUE(ReceivedExactly(before + "AT\x1a"));
}
