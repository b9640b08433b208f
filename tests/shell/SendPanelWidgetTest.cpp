#include "atlib/CAtCommandSelectDlg.h"
#include "platform/IniFile.h"
#include "platform/MessageBox.h"
#include "core/at/CommandQueue.h"
#include "shell/CSendPanelDlg.h"
#include "shell/CTestView2.h"
#include "shell/SendPanelSetup.h"
#include "shell/core/CUlvenscopeApp.h"
#include "shell/core/SysParams.h"
#include "ui/controls/CFlatComboBox.h"
#include "ui/controls/CImageButton.h"
#include "ui/controls/CSkinButton.h"
#include "ui/controls/CFlatHeaderListCtrl.h"
#include "common/TestEnv.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <gtest/gtest.h>

using namespace ulv;

namespace {

class SendPanel : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved = g_sysParams;
        savedParamDir = theApp.m_strParamDir;
        theApp.m_strParamDir = test::TempHome() + "/param";
        QDir().mkpath(theApp.m_strParamDir);
        QFile::remove(SysParamIniPath());
        panel = std::make_unique<CSendPanelDlg>();
        panel->SetFileChooser([](const QString&) { return QString(); });
        panel->show();
    }
    void TearDown() override
    {
        panel.reset();
        g_sysParams = saved;
        theApp.m_strParamDir = savedParamDir;
    }
    void Key(int key, Qt::KeyboardModifiers mods, const QString& text)
    {
        QKeyEvent e(QEvent::KeyPress, key, mods, text);
        QApplication::sendEvent(panel->InputBox(), &e);
    }

    SysParams saved;
    QString savedParamDir;
    std::unique_ptr<CSendPanelDlg> panel;
};

} // namespace

TEST_F(SendPanel, StartsInTextModeWithTheSpecialListOnCtrlZ)
{
    EXPECT_TRUE(panel->TextRadio()->isChecked());
    EXPECT_EQ(panel->m_nMode, 0);
    EXPECT_TRUE(panel->InputBox()->isVisible());
    EXPECT_TRUE(panel->SendButton()->isVisible());
    EXPECT_FALSE(panel->SpecialCharList()->isVisible());
    EXPECT_FALSE(panel->PathBox()->isVisible());
    EXPECT_FALSE(panel->SendFileButton()->isVisible());
    EXPECT_EQ(panel->SpecialCharList()->count(), 37);
    EXPECT_EQ(panel->SpecialCharList()->currentText(), "CTRL+Z");
    EXPECT_EQ(panel->InputBox()->maxLength(), 1024);
    EXPECT_TRUE(panel->WithEnterBox()->isChecked());
}

TEST_F(SendPanel, SwitchingBetweenTextAndHexConvertsTheInputOnce)
{
    panel->InputBox()->setText("AT");
    panel->HexRadio()->click();
    EXPECT_EQ(panel->InputBox()->text(), "41 54 ");
    EXPECT_EQ(panel->m_bInputIsHex, 1);
    panel->HexRadio()->click();
    EXPECT_EQ(panel->InputBox()->text(), "41 54 ");
    panel->TextRadio()->click();
    EXPECT_EQ(panel->InputBox()->text(), "AT");
    // Through the file mode the text is converted only once.
    panel->FileRadio()->click();
    EXPECT_TRUE(panel->PathBox()->isVisible());
    EXPECT_FALSE(panel->WithEnterBox()->isEnabled());
    panel->HexRadio()->click();
    EXPECT_EQ(panel->InputBox()->text(), "41 54 ");
    panel->FileRadio()->click();
    panel->TextRadio()->click();
    EXPECT_EQ(panel->InputBox()->text(), "AT");
    EXPECT_TRUE(panel->WithEnterBox()->isEnabled());
}

TEST_F(SendPanel, ALongTextSurvivesItsHexView)
{
    const QString text(1024, 'x');
    panel->InputBox()->setText(text);
    panel->HexRadio()->click();
    EXPECT_EQ(panel->InputBox()->text().size(), 3 * 1024);
    panel->TextRadio()->click();
    EXPECT_EQ(panel->InputBox()->text(), text);
}

TEST_F(SendPanel, SpecialCharsModeShowsTheListAndDisablesEnter)
{
    panel->SpecialCharsRadio()->click();
    EXPECT_TRUE(panel->SpecialCharList()->isVisible());
    EXPECT_TRUE(panel->SendButton()->isVisible());
    EXPECT_FALSE(panel->InputBox()->isVisible());
    EXPECT_FALSE(panel->WithEnterBox()->isEnabled());
}

TEST_F(SendPanel, AHexViewTakesOnlyHexKeys)
{
    panel->HexRadio()->click();
    const struct {
        int key;
        Qt::KeyboardModifiers mods;
        const char* text;
    } keys[] = {
        {Qt::Key_4, Qt::NoModifier, "4"},
        {Qt::Key_G, Qt::NoModifier, "g"},
        {Qt::Key_Period, Qt::NoModifier, "."},
        {Qt::Key_1, Qt::NoModifier, "1"},
        {Qt::Key_Left, Qt::NoModifier, ""},
        {Qt::Key_Space, Qt::NoModifier, " "},
        {Qt::Key_A, Qt::NoModifier, "a"},
        {Qt::Key_F, Qt::ShiftModifier, "F"},
        {Qt::Key_Exclam, Qt::ShiftModifier, "!"},
        {Qt::Key_Z, Qt::NoModifier, "z"},
        {Qt::Key_5, Qt::KeypadModifier, "5"},
        {Qt::Key_A, Qt::ControlModifier, ""},
    };
    for (const auto& k : keys)
        Key(k.key, k.mods, k.text);
    EXPECT_EQ(panel->InputBox()->text(), "41 aF5");
    // In text mode every key types.
    panel->TextRadio()->click();
    panel->InputBox()->clear();
    Key(Qt::Key_G, Qt::NoModifier, "g");
    Key(Qt::Key_Period, Qt::NoModifier, ".");
    EXPECT_EQ(panel->InputBox()->text(), "g.");
}

TEST_F(SendPanel, SendWithEnterIsStoredOnlyWhenItChanges)
{
    g_sysParams.WithEnter = 1;
    panel->OnCheckWithEnter();
    EXPECT_FALSE(QFile::exists(SysParamIniPath()));
    panel->WithEnterBox()->click();
    EXPECT_EQ(g_sysParams.WithEnter, 0);
    EXPECT_EQ(IniGetString(SysParamIniPath(), "function", "WithEnter"), "0");
    panel->WithEnterBox()->click();
    EXPECT_EQ(IniGetString(SysParamIniPath(), "function", "WithEnter"), "1");
}

TEST_F(SendPanel, WithoutAPortNothingIsSentAndTheLineBoxesStayUnchecked)
{
    MessageBoxRecorder boxes;
    panel->InputBox()->setText("AT");
    panel->SendButton()->click();
    panel->DtrBox()->click();
    panel->RtsBox()->click();
    EXPECT_FALSE(panel->DtrBox()->GetCheck());
    EXPECT_FALSE(panel->RtsBox()->GetCheck());
    panel->FileRadio()->click();
    panel->SendFileButton()->click();
    EXPECT_EQ(panel->SendFileButton()->text(), "Send file");
    EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(SendPanel, ADoubleClickInTheInputTakesACommandFromTheQuickList)
{
    IniWriteString(theApp.m_strParamDir + "/ModuleName_null.ini", "AT+CSQ", "carriage return", "0");
    IniWriteString(theApp.m_strParamDir + "/ModuleName_null.ini", "AT+CSQ", "comment", "signal");
    panel->SetQuickListRunner([](CAtCommandSelectDlg& dlg) {
        dlg.show();
        dlg.List()->SetSelectionMark(0);
        dlg.OnDblclkCommandList();
        return dlg.result() == QDialog::Accepted ? int(IDOK) : int(IDCANCEL);
    });
    auto doubleClick = [&] {
        QMouseEvent e(QEvent::MouseButtonDblClick, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
            Qt::NoModifier);
        QApplication::sendEvent(panel->InputBox(), &e);
    };
    doubleClick();
    EXPECT_EQ(panel->InputBox()->text(), "AT+CSQ");
    EXPECT_FALSE(panel->WithEnterBox()->isChecked());

    panel->HexRadio()->click();
    IniWriteString(theApp.m_strParamDir + "/ModuleName_null.ini", "AT+CSQ", "carriage return", "1");
    doubleClick();
    EXPECT_EQ(panel->InputBox()->text(), "41 54 2b 43 53 51 ");
    EXPECT_TRUE(panel->WithEnterBox()->isChecked());

    // Closing the list leaves the input alone.
    panel->SetQuickListRunner([](CAtCommandSelectDlg&) { return int(IDCANCEL); });
    panel->InputBox()->setText("41 ");
    doubleClick();
    EXPECT_EQ(panel->InputBox()->text(), "41 ");
}

TEST(SendPanelSetup, TheTerminalPaneGetsThePanelAndStartsTheQueue)
{
    CTestView2 pane;
    pane.resize(800, 600);
    CSendPanelDlg* attached = AttachSendPanel(&pane);
    pane.show();
    EXPECT_EQ(attached->parentWidget(), &pane);
    EXPECT_TRUE(attached->isVisible());
    EXPECT_EQ(attached->height(), 160);
    EXPECT_TRUE(AppCommandQueue().Started());
    StopCommandQueue();
}
