#include "shell/CSysParamDlg.h"
#include "ScreenshotSupport.h"
#include "common/TestEnv.h"
#include "platform/IniFile.h"
#include "platform/MessageBox.h"
#include "ui/controls/CColorPickerButton.h"
#include "ui/controls/ColorPalettePopup.h"
#include "shell/core/SysParams.h"
#include "ui/controls/CSkinButton.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace ulv;

namespace {

class SysParamDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved = g_sysParams;
        g_sysParams = SysParams{};
        iniPath = test::TempHome() + "/sysparam-dlg.ini";
        QFile::remove(iniPath);
    }
    void TearDown() override { g_sysParams = saved; }

    void Open(CSysParamDlg& d)
    {
        d.m_strIniPath = iniPath;
        d.show();
    }

    SysParams saved;
    QString iniPath;
    MessageBoxRecorder boxes;
};

} // namespace

TEST_F(SysParamDlgTest, OpensWithTheRecordsValues)
{
    g_sysParams.nwidth = 1280;
    g_sysParams.nheight = 900;
    g_sysParams.showtime = 1;
    g_sysParams.showCRLF = 1;
    g_sysParams.logpath = "/var/log/bench";
    g_sysParams.logname_prefix = "rx70";
    g_sysParams.logfilesize_limited = 120000;
    g_sysParams.SetReceivedColor(0x123456);
    g_sysParams.portbuffer = 4096;
    CSysParamDlg d;
    Open(d);
    EXPECT_EQ(d.windowTitle(), "System parameters set");
    EXPECT_EQ(d.m_editWidth->text(), "1280");
    EXPECT_EQ(d.m_editHeight->text(), "900");
    EXPECT_TRUE(d.m_chkShowTime->isChecked());
    EXPECT_FALSE(d.m_chkShowSendData->isChecked());
    EXPECT_TRUE(d.m_chkShowCrlf->isChecked());
    EXPECT_EQ(d.m_editLogPath->text(), "/var/log/bench");
    EXPECT_EQ(d.m_editPrefix->text(), "rx70");
    EXPECT_EQ(d.m_editSizeLimit->text(), "120000");
    EXPECT_EQ(d.m_colorReceived->GetColor(), 0x123456u);
    EXPECT_EQ(d.m_colorSent->GetColor(), 0x0000FFu);
    EXPECT_EQ(d.m_editPortBuffer->text(), "4096");
    for (QWidget* hidden : std::initializer_list<QWidget*>{
             d.m_chkShowReceiveData, d.m_chkShowLeftView, d.m_chkUseOldMcu, d.m_colorLeftBar, d.m_editPortBuffer})
        EXPECT_FALSE(hidden->isVisible());
}

TEST_F(SysParamDlgTest, CheckBoxesEnableTheirControlsAtOnceAndAtOpening)
{
    g_sysParams.showmaximized = 1;
    g_sysParams.savelog = 0;
    CSysParamDlg d;
    Open(d);
    EXPECT_FALSE(d.m_editWidth->isEnabled());
    EXPECT_FALSE(d.m_editHeight->isEnabled());
    for (QWidget* w : std::initializer_list<QWidget*>{d.m_editLogPath, d.m_btnBrowse, d.m_editPrefix, d.m_editSizeLimit})
        EXPECT_FALSE(w->isEnabled());

    QTest::mouseClick(d.m_chkShowMaximized, Qt::LeftButton);
    EXPECT_TRUE(d.m_editWidth->isEnabled());
    EXPECT_TRUE(d.m_editHeight->isEnabled());
    QTest::mouseClick(d.m_chkSaveLog, Qt::LeftButton);
    for (QWidget* w : std::initializer_list<QWidget*>{d.m_editLogPath, d.m_btnBrowse, d.m_editPrefix, d.m_editSizeLimit})
        EXPECT_TRUE(w->isEnabled());
}

TEST_F(SysParamDlgTest, SaveStoresTheRecordWritesTheFileAndStaysOpen)
{
    CSysParamDlg d;
    Open(d);
    QSignalSpy saved(&d, &CSysParamDlg::ParametersSaved);
    QTest::mouseClick(d.m_chkShowMaximized, Qt::LeftButton); // sizes disabled, still saved
    d.m_editWidth->setText("1400");
    d.m_editHeight->setText("-3");
    QTest::mouseClick(d.m_chkShowSendData, Qt::LeftButton);
    QTest::mouseClick(d.m_chkSaveLog, Qt::LeftButton);
    d.m_editLogPath->setText("/tmp/ulv logs");
    d.m_editPrefix->setText("bench");
    d.m_editSizeLimit->setText("9000x");
    d.m_colorBackground->SetColor(0x00CC00);
    d.m_editPortBuffer->setText("0");
    QTest::mouseClick(d.m_btnSave, Qt::LeftButton);

    EXPECT_EQ(boxes.Texts(), QStringList({"Success to save parameters!"}));
    EXPECT_EQ(saved.count(), 1);
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(g_sysParams.showmaximized, 1);
    EXPECT_EQ(g_sysParams.nwidth, 1400);
    EXPECT_EQ(g_sysParams.nheight, -3);
    EXPECT_EQ(g_sysParams.showsenddata, 1);
    EXPECT_EQ(g_sysParams.savelog, 1);
    EXPECT_EQ(g_sysParams.logpath, "/tmp/ulv logs");
    EXPECT_EQ(g_sysParams.logfilesize_limited, 9000);
    EXPECT_EQ(g_sysParams.BackgroundColor(), 0x00CC00u);
    EXPECT_EQ(g_sysParams.portbuffer, 2048);

    const IniFile ini(iniPath);
    EXPECT_EQ(ini.GetString("sysparam", "nwidth"), "1400");
    EXPECT_EQ(ini.GetString("sysparam", "logpath"), "/tmp/ulv logs");
    EXPECT_EQ(ini.GetString("commSRdata", "srbkColor_g"), "204");
    EXPECT_EQ(ini.GetString("commSRdata", "portbuffer"), "2048");
    EXPECT_EQ(ReadSysParams(iniPath).params, g_sysParams);
}

TEST_F(SysParamDlgTest, AFailedWriteIsReported)
{
    QFile blocker(test::TempHome() + "/blocker");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    CSysParamDlg d;
    d.show();
    d.m_strIniPath = blocker.fileName() + "/sysparam.ini";
    d.OnSave();
    // The file layer says which file and why, then the dialog its own word.
    ASSERT_EQ(boxes.Texts().size(), 2);
    EXPECT_TRUE(boxes.Texts()[0].startsWith("Cannot write the file " + d.m_strIniPath + " (")) << qPrintable(boxes.Texts()[0]);
    EXPECT_EQ(boxes.Texts()[1], "Fail to save parameters!");
}

TEST_F(SysParamDlgTest, ExitWithoutSaveChangesNothing)
{
    CSysParamDlg d;
    Open(d);
    d.m_editWidth->setText("1999");
    QTest::mouseClick(d.m_chkShowTime, Qt::LeftButton);
    QTest::mouseClick(d.m_btnExit, Qt::LeftButton);
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_EQ(g_sysParams, SysParams{});
    EXPECT_FALSE(QFile::exists(iniPath));
    EXPECT_TRUE(boxes.Texts().isEmpty());
}

TEST_F(SysParamDlgTest, BrowseFillsThePathButSavesNothing)
{
    QString askedStart;
    const auto previous = CSysParamDlg::SetFolderPicker([&](QWidget*, const QString& start) {
        askedStart = start;
        return QStringLiteral("/data/logs");
    });
    g_sysParams.savelog = 1;
    CSysParamDlg d;
    Open(d);
    QTest::mouseClick(d.m_btnBrowse, Qt::LeftButton);
    EXPECT_EQ(d.m_editLogPath->text(), "/data/logs");
    EXPECT_FALSE(askedStart.isEmpty());
    EXPECT_EQ(g_sysParams.logpath, "");
    EXPECT_FALSE(QFile::exists(iniPath));

    CSysParamDlg::SetFolderPicker([](QWidget*, const QString&) { return QString(); });
    QTest::mouseClick(d.m_btnBrowse, Qt::LeftButton);
    EXPECT_EQ(d.m_editLogPath->text(), "/data/logs") << "a cancelled browser changes nothing";
    CSysParamDlg::SetFolderPicker(previous);
}

TEST_F(SysParamDlgTest, Screenshot)
{
    g_sysParams.savelog = 1;
    g_sysParams.logpath = "/home/bench/logs";
    CSysParamDlg d;
    Open(d);
    EXPECT_FALSE(SaveScreenshot(&d, "system-parameters").isEmpty());
}
