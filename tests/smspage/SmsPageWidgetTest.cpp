#include "common/EventLoopWait.h"
#include "pages/module/CReadMessageDlg.h"
#include "pages/module/CTestItemDlg_sms.h"
#include "platform/MessageBox.h"
#include "shell/core/CUlvenscopeApp.h"
#include "ui/controls/CFlatComboBox.h"
#include "ui/controls/CFlatHeaderListCtrl.h"
#include "ui/controls/CHexRichEdit.h"
#include "ui/controls/CSkinButton.h"

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

} // namespace
