#include "ScreenshotSupport.h"
#include "common/EventLoopWait.h"
#include "common/TestEnv.h"
#include "pages/module/CReadMessageDlg.h"
#include "pages/module/CTestItemDlg_sms.h"
#include "pages/module/SmsToolWidgets.h"
#include "platform/IniFile.h"
#include "platform/MessageBox.h"
#include "shell/core/CUlvenscopeApp.h"
#include "ui/controls/CFlatComboBox.h"
#include "ui/controls/CFlatHeaderListCtrl.h"
#include "ui/controls/CHexRichEdit.h"
#include "ui/controls/CSkinButton.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTextEdit>
#include <gtest/gtest.h>

using namespace ulv;

namespace {

class SmsPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_nModuleType = 1;
        page = std::make_unique<CTestItemDlg_sms>();
        page->resize(420, 700);
        page->show();
    }
    void TearDown() override
    {
        page.reset();
        g_nModuleType = 0;
    }
    void ChooseType(int type)
    {
        page->m_cmbType->setCurrentIndex(type);
        page->OnTypeChanged(type);
    }
    QString Box() const { return page->m_editMessage->toPlainText(); }

    MessageBoxRecorder boxes;
    std::unique_ptr<CTestItemDlg_sms> page;
};

TEST_F(SmsPage, InputModesConvertTheBoxBothWays)
{
    EXPECT_EQ(Box(), "hello");
    page->m_radioHexData->setChecked(true);
    page->OnInputHexData();
    EXPECT_EQ(Box(), "68 65 6c 6c 6f ");
    page->m_radioKeyboard->setChecked(true);
    page->OnInputKeyboard();
    EXPECT_EQ(Box(), "hello");

    ChooseType(kSmsTypeUcs2);
    EXPECT_EQ(page->m_radioHexData->text(), "UCS2");
    page->m_editMessage->setPlainText("hello");
    page->m_radioHexData->setChecked(true);
    page->OnInputHexData();
    EXPECT_EQ(Box(), "00680065006C006C006F");
    page->m_radioKeyboard->setChecked(true);
    page->OnInputKeyboard();
    EXPECT_EQ(Box(), "hello");
}

TEST_F(SmsPage, OverLongInputDisablesSend)
{
    page->m_editMessage->setPlainText(QString(161, 'a'));
    EXPECT_FALSE(page->m_btnSend->isEnabled());
    EXPECT_EQ(boxes.Texts().last(), "Input data can't be more than 160");
    page->m_editMessage->setPlainText(QString(160, 'a'));
    EXPECT_TRUE(page->m_btnSend->isEnabled());

    ChooseType(kSmsTypeUcs2);
    page->m_editMessage->setPlainText(QString(71, QChar(0x4F60)));
    EXPECT_FALSE(page->m_btnSend->isEnabled());
    EXPECT_EQ(boxes.Texts().last(), "Input data can't be more than 70");
}

TEST_F(SmsPage, PduSampleNeedsTheNumbers)
{
    ChooseType(kSmsTypePdu);
    EXPECT_TRUE(Box().startsWith("0891"));
    EXPECT_FALSE(page->m_radioKeyboard->isEnabled());
    page->m_editSmsc->clear();
    ChooseType(kSmsTypeGsm);
    ChooseType(kSmsTypePdu);
    EXPECT_EQ(Box(), "");
    EXPECT_TRUE(boxes.Texts().last().contains("invalid SMSC"));

    // Letters or more digits than an address holds give no sample rather than
    // a PDU with letters in its semi-octets or a cut number.
    page->m_editSmsc->setText("+8613800100500");
    for (const char* receiver : {"12ab5", "123456789012345678901"}) {
        page->m_editReceiver->setText(receiver);
        ChooseType(kSmsTypeGsm);
        ChooseType(kSmsTypePdu);
        EXPECT_EQ(Box(), "") << receiver;
        EXPECT_TRUE(boxes.Texts().last().contains("invalid receiver number")) << receiver;
    }
}

TEST_F(SmsPage, TheQueueHoldsFiftyAndReportsTheRest)
{
    for (int i = 0; i < 50; ++i)
        EXPECT_TRUE(page->QueueNewMessage(i + 1));
    EXPECT_FALSE(page->QueueNewMessage(51));
    const std::vector<int> taken = page->TakeQueuedMessages();
    ASSERT_EQ(taken.size(), 50u);
    EXPECT_EQ(taken.front(), 1);
    EXPECT_EQ(taken.back(), 50);
    EXPECT_TRUE(page->TakeQueuedMessages().empty());
}

TEST_F(SmsPage, ListRowsAndTheReadDialog)
{
    page->PutEntry({"3", "t", "a", "REC READ", "x"});
    page->PutEntry({"4", "t", "a", "REC READ", "y"});
    page->PutEntry({"3", "t2", "b", "REC READ", "line1\r\nline2"});
    ASSERT_EQ(page->m_listMessages->GetItemCount(), 2);
    EXPECT_EQ(page->m_listMessages->GetItemText(0, 1), "t2");
    page->RemoveEntriesOf("4");
    ASSERT_EQ(page->m_listMessages->GetItemCount(), 1);
    EXPECT_EQ(page->m_listMessages->GetItemText(0, 0), "3");

    page->ShowReadMessage(page->EntryOfRow(0));
    page->ShowReadMessage({"9", "t9", "a9", "REC READ", "second"});
    CReadMessageDlg* dlg = page->ReadDialog();
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->m_labelAddresser->text(), "b");
    EXPECT_EQ(dlg->m_labelTime->text(), "t2");
    EXPECT_EQ(dlg->m_richContent->toPlainText(), "line1\nline2");
    EXPECT_TRUE(dlg->m_richContent->isReadOnly());
    dlg->reject();
    EXPECT_TRUE(test::RunEventsUntil(
        [&] { return page->ReadDialog() && page->ReadDialog()->m_labelAddresser->text() == "a9"; }, 5000));
}

// The numbers come from sms_config.ini in the param folder, key by key; what
// the file lacks (or a file that is no settings file at all) leaves the defaults.
TEST(SmsPageSettings, NumbersFromSmsConfig)
{
    const QString savedParamDir = theApp.m_strParamDir;
    theApp.m_strParamDir = QDir(test::TempHome()).filePath("sms-param");
    QDir().mkpath(theApp.m_strParamDir);
    const QString path = theApp.m_strParamDir + "/sms_config.ini";
    const QString defaultReceiver = CTestItemDlg_sms::kDefaultReceiver;
    const QString defaultSmsc = CTestItemDlg_sms::kDefaultSmsc;
    const struct {
        const char* what;
        const char* receiver; // nullptr: the key is not written
        const char* smsc;
        QString expectReceiver, expectSmsc;
    } cases[] = {
        {"both keys", "10086", "+8613800755500", "10086", "+8613800755500"},
        {"receiver only", "+8613912345678", nullptr, "+8613912345678", defaultSmsc},
        {"centre only", nullptr, "8613800100500", defaultReceiver, "8613800100500"},
        {"no keys", nullptr, nullptr, defaultReceiver, defaultSmsc},
    };
    MessageBoxRecorder boxes;
    for (const auto& c : cases) {
        QFile::remove(path);
        IniFile ini(path);
        ini.SetString("OTHER", "number", "999");
        if (c.receiver)
            ini.SetString("RECIEVENUMBER", "number", c.receiver);
        if (c.smsc)
            ini.SetString("CENTERNUMBER", "number", c.smsc);
        ASSERT_TRUE(ini.Save()) << c.what;
        // What the program reads back is what was written, under those names.
        ASSERT_EQ(IniGetString(path, "RECIEVENUMBER", "number"), c.receiver ? c.receiver : "") << c.what;
        CTestItemDlg_sms page;
        EXPECT_EQ(page.m_editReceiver->text(), c.expectReceiver) << c.what;
        EXPECT_EQ(page.m_editSmsc->text(), c.expectSmsc) << c.what;
    }

    const QByteArray garbage[] = {QByteArray("\x00\xff[[[=\n\x01number", 14), QByteArray(70000, '['), ""};
    for (const QByteArray& bytes : garbage) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        f.close();
        CTestItemDlg_sms page;
        EXPECT_EQ(page.m_editReceiver->text(), defaultReceiver);
        EXPECT_EQ(page.m_editSmsc->text(), defaultSmsc);
    }
    // The page only reads the file.
    EXPECT_EQ(test::ReadAll(path), QByteArray());
    theApp.m_strParamDir = savedParamDir;
}

// Both families' layouts as the user first sees them, saved for a look.
TEST(SmsPageLayout, ScreenshotsOfBothFamilies)
{
    MessageBoxRecorder boxes;
    const struct {
        int moduleType;
        const char* second;
        const char* name;
    } families[] = {{0, "8bit data", "sms-page-gsm"}, {1, "IRA", "sms-page-umts"}};
    for (const auto& f : families) {
        g_nModuleType = f.moduleType;
        CTestItemDlg_sms page;
        page.resize(SmsToolWidgets::Dlu(0, 0, 269, 425).size());
        page.show();
        QApplication::processEvents();
        EXPECT_EQ(page.m_cmbType->itemText(1), f.second) << f.name;
        // The controls sit where the dialog template puts them, inside the page.
        EXPECT_EQ(page.m_btnSend->geometry(), SmsToolWidgets::Dlu(124, 138, 57, 12)) << f.name;
        EXPECT_EQ(page.m_listMessages->geometry(), SmsToolWidgets::Dlu(18, 213, 243, 93)) << f.name;
        EXPECT_TRUE(page.rect().contains(page.m_btnDeleteAll->geometry())) << f.name;
        EXPECT_FALSE(page.m_editSmsc->isVisible()) << f.name;
        const QString saved = SaveScreenshot(&page, f.name);
        ASSERT_FALSE(saved.isEmpty()) << f.name;
        const QImage shot(saved);
        EXPECT_EQ(shot.size(), page.size()) << f.name;
        // The grey page background, not an empty grab.
        EXPECT_EQ(shot.pixelColor(2, 2).rgb() & 0xFFFFFF, 0xCDCDCDu) << f.name;
    }
    g_nModuleType = 0;
    EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join(';').toStdString();
}

} // namespace
