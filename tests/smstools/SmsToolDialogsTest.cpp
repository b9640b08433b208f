#include "pages/module/CCharTransDlg.h"
#include "pages/module/CPduGenerateDlg.h"
#include "pages/module/CTestItemDlg_sms.h"
#include "pages/module/CTextToHexDlg.h"
#include "platform/MessageBox.h"
#include "platform/TaskGate.h"
#include "ui/controls/CFlatComboBox.h"
#include "ui/controls/CHexRichEdit.h"
#include "ui/controls/CSkinButton.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace ulv;

namespace {

class PduDialog : public ::testing::Test {
protected:
    // Opens the dialog the way the SMS page does (numbers handed in first).
    void Open(const QString& smsc, const QString& recipient)
    {
        dlg = std::make_unique<CPduGenerateDlg>();
        dlg->m_strSmsc = smsc;
        dlg->m_strRecipient = recipient;
        dlg->show();
    }
    void Trans(const QString& text, QRadioButton* coding = nullptr)
    {
        (coding ? coding : dlg->m_radio7Bit)->click();
        dlg->m_editSource->setPlainText(text);
        dlg->m_btnTrans->click();
    }
    QString Pdu() const { return dlg->m_editPdu->toPlainText(); }

    MessageBoxRecorder boxes;
    CTestItemDlg_sms page;
    std::unique_ptr<CPduGenerateDlg> dlg;
};

} // namespace

TEST_F(PduDialog, ShowsItsCaptionControlsAndThePrefixedNumbers)
{
    Open("1234567", "+86555");
    EXPECT_EQ(dlg->objectName(), "CPduGenerateDlg");
    EXPECT_EQ(dlg->windowTitle(), "Generate PDU code");
    EXPECT_EQ(dlg->m_editSmsc->text(), "861234567");
    EXPECT_EQ(dlg->m_editRecipient->text(), "+86555");
    EXPECT_TRUE(dlg->m_radio7Bit->isChecked());
    EXPECT_EQ(dlg->m_btnTrans->text(), QString::fromUtf8("Trans\u2193"));
    EXPECT_EQ(dlg->m_btnImport->text(), "Import");
    EXPECT_EQ(dlg->m_btnGetSmsc->text(), "Get SMSC number");
    EXPECT_TRUE(dlg->m_btnImport->isVisible());
    EXPECT_TRUE(dlg->m_btnGetSmsc->isVisible());
    EXPECT_TRUE(dlg->m_editPdu->IsHexOnly());
    for (const char* label : {"Recipient number:", "SMSC number:", "PDU mode:", "Source string:", "PDU string:"}) {
        bool found = false;
        for (const QLabel* l : dlg->findChildren<QLabel*>())
            found = found || l->text() == label;
        EXPECT_TRUE(found) << label;
    }
}

TEST_F(PduDialog, OpenedFromTheMenuLeavesTheNumbersEmpty)
{
    Open("", "");
    EXPECT_EQ(dlg->m_editSmsc->text(), "");
    EXPECT_EQ(dlg->m_editRecipient->text(), "");
}

TEST_F(PduDialog, TransEncodesWithThePlusSignsRemoved)
{
    Open("1234567", "+86555");
    Trans("hello");
    EXPECT_EQ(Pdu(), "069168214365F71100059168" "55F5000000" "05E8329BFD06");
    EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(PduDialog, TransRefusesWhatItCannotEncodeAndLeavesNoPduBehind)
{
    struct Case {
        const char* smsc;
        const char* recipient;
        int coding; // 0 7Bit, 1 8Bit, 2 UCS2
        QString text;
        QString box; // empty: encoded
    } cases[] = {
        {"", "86555", 0, "hello", "Please input the right number of SMSC!"},
        {"+", "86555", 0, "hello", "Please input the right number of SMSC!"},
        {"861234567", "", 0, "hello", "Please input the right number of receiver!"},
        {"", "", 0, "hello", "Please input the right number of SMSC!"},
        {"861234567", "86555", 2, QString(71, 'a'), "Input data can't be more than 70"},
        {"861234567", "86555", 2, QString(71, QChar(0x4F60)), "Input data can't be more than 70"},
        {"861234567", "86555", 2, QString(70, QChar(0x4F60)), ""},
        {"861234567", "86555", 0, QString(71, 'a'), ""},
        {"861234567", "86555", 0, QString(160, 'a'), ""},
        {"861234567", "86555", 0, QString(161, 'a'),
            "Fail to generate PDU code: the text is longer than one SMS (at most 160 characters in 7Bit)!"},
        {"861234567", "86555", 1, QString(140, 'a'), ""},
        {"861234567", "86555", 1, QString(47, QChar(0x4F60)),
            "Fail to generate PDU code: the text is longer than one SMS (at most 140 bytes in 8Bit)!"},
        {"861234567", "86555", 0, QString::fromUtf8("caf\u00e9"),
            "Fail to generate PDU code: a 7-bit text may hold only characters below 0x80!"},
        {"861234567", "86 555", 0, "hello",
            "Fail to generate PDU code: a number may hold only the digits 0-9, * and # (at most 20)!"},
    };
    for (const Case& c : cases) {
        Open(c.smsc, c.recipient);
        dlg->m_editSmsc->setText(c.smsc);
        dlg->m_editRecipient->setText(c.recipient);
        dlg->m_editPdu->setPlainText("0011");
        boxes.Clear();
        QRadioButton* radios[] = {dlg->m_radio7Bit, dlg->m_radio8Bit, dlg->m_radioUcs2};
        Trans(c.text, radios[c.coding]);
        if (c.box.isEmpty()) {
            EXPECT_EQ(boxes.Count(), 0) << c.text.size() << " " << boxes.Texts().join('|').toStdString();
            EXPECT_NE(Pdu(), "0011");
        } else {
            EXPECT_EQ(boxes.Texts(), QStringList{c.box}) << c.text.size();
            // An earlier PDU is no PDU of this text: Import must not find it.
            EXPECT_EQ(Pdu(), "") << c.box.toStdString();
        }
    }
}

TEST_F(PduDialog, EveryWayOfClosingHandsTheSmscNumberBack)
{
    const std::pair<const char*, std::function<void(CPduGenerateDlg&)>> ways[] = {
        {"close box", [](CPduGenerateDlg& d) { d.close(); }},
        {"Escape", [](CPduGenerateDlg& d) { QTest::keyClick(d.m_editSmsc, Qt::Key_Escape); }},
        {"Import", [](CPduGenerateDlg& d) { d.m_btnImport->click(); }},
    };
    for (const auto& [name, close] : ways) {
        Open("1234567", "86555");
        dlg->m_editSmsc->setText("8613800100500");
        close(*dlg);
        EXPECT_FALSE(dlg->isVisible()) << name;
        EXPECT_EQ(dlg->result(), QDialog::Rejected) << name;
        EXPECT_EQ(dlg->m_strSmsc, "8613800100500") << name;
    }
}

TEST_F(PduDialog, EnterDoesNotCloseIt)
{
    Open("1234567", "86555");
    for (QWidget* w : std::initializer_list<QWidget*>{dlg->m_editSmsc, dlg->m_editRecipient, dlg->m_btnTrans}) {
        w->setFocus();
        QTest::keyClick(w, Qt::Key_Return);
        EXPECT_TRUE(dlg->isVisible()) << w->metaObject()->className();
    }
    // What a default button would do on Enter.
    dlg->accept();
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(PduDialog, ImportReplacesTheSmsPageMessageBoxAndMakesItAPdu)
{
    // The page on GSM text, as after start-up: Send would send the hex as text.
    ASSERT_EQ(page.m_nType, 0);
    page.m_editMessage->setPlainText("old text");
    Open("1234567", "86555");
    Trans("hello");
    boxes.Clear();
    dlg->m_btnImport->click();
    EXPECT_EQ(page.m_editMessage->toPlainText(), "069168214365F7110005916855F500000005E8329BFD06");
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(page.m_nType, 3);
    EXPECT_EQ(page.m_cmbType->currentIndex(), 3);
    EXPECT_EQ(page.m_nInputMode, 1);
    // No sample PDU of "hello" was tried on the way (the page has no SMSC).
    EXPECT_EQ(boxes.Count(), 0) << boxes.Texts().join('|').toStdString();
}

TEST(PduDialogAlone, ImportWithoutTheSmsPageJustCloses)
{
    ASSERT_EQ(g_pSmsPage, nullptr);
    CPduGenerateDlg dlg;
    dlg.show();
    dlg.m_editPdu->setPlainText("0011");
    dlg.m_btnImport->click();
    EXPECT_FALSE(dlg.isVisible());
}

TEST(PduDialogAlone, GetSmscDoesNothingWithoutAnOpenPort)
{
    MessageBoxRecorder boxes;
    CPduGenerateDlg dlg;
    dlg.show();
    dlg.m_btnGetSmsc->click();
    EXPECT_FALSE(AppTaskGate().Running());
    EXPECT_EQ(boxes.Count(), 0);
}

TEST(SmsToolDialogs, AreGreyWithTheirCaptions)
{
    CPduGenerateDlg pdu;
    CTextToHexDlg textToHex;
    CCharTransDlg charTrans;
    const struct {
        QDialog* dialog;
        const char* name;
        const char* caption;
    } cases[] = {
        {&pdu, "CPduGenerateDlg", "Generate PDU code"},
        {&textToHex, "CTextToHexDlg", "Characters transformation"},
        {&charTrans, "CCharTransDlg", "Characters transformation"},
    };
    for (const auto& c : cases) {
        c.dialog->show();
        EXPECT_EQ(c.dialog->objectName(), c.name);
        EXPECT_EQ(c.dialog->windowTitle(), c.caption);
        const QImage face = c.dialog->grab().toImage();
        EXPECT_EQ(face.pixel(3, 3), QColor(0xCD, 0xCD, 0xCD).rgb()) << c.name;
        EXPECT_EQ(face.pixel(face.width() - 3, face.height() - 3), QColor(0xCD, 0xCD, 0xCD).rgb()) << c.name;
    }
}

TEST(SmsPage, IsReachableWhileItLives)
{
    {
        CTestItemDlg_sms page;
        EXPECT_EQ(g_pSmsPage, &page);
    }
    EXPECT_EQ(g_pSmsPage, nullptr);
}

namespace {

class TextToHexDialog : public ::testing::Test {
protected:
    std::unique_ptr<CTextToHexDlg> Open(int fromMenu, int mode)
    {
        auto d = std::make_unique<CTextToHexDlg>();
        d->m_bFromMenu = fromMenu;
        d->m_nMode = mode;
        d->show();
        return d;
    }
    static QString Trans(CTextToHexDlg& d, const QString& text)
    {
        d.m_editText->setPlainText(text);
        d.m_btnTrans->click();
        return d.m_editHex->toPlainText();
    }

    CTestItemDlg_sms page;
};

} // namespace

TEST_F(TextToHexDialog, TransGivesPlainOrUcs2Hex)
{
    // Text is UTF-8 here: a CJK character is three bytes in HEX data mode.
    const struct {
        int mode;
        QString text;
        const char* hex;
    } cases[] = {
        {0, "hello", "68 65 6c 6c 6f "},
        {1, "hello", "00680065006C006C006F"},
        {0, QString::fromUtf8("\u4F60\u597D"), "e4 bd a0 e5 a5 bd "},
        {1, QString::fromUtf8("\u4F60\u597D"), "4F60597D"},
        {0, "a\nb", "61 0d 0a 62 "},
        {1, QString::fromUtf8("\U0001F600"), "D83DDE00"},
    };
    for (const auto& c : cases) {
        auto d = Open(0, c.mode);
        EXPECT_EQ(Trans(*d, c.text), c.hex) << c.mode << " " << c.text.toStdString();
    }
}

TEST_F(TextToHexDialog, FromTheSmsPageTheModeIsLockedAndAppendShown)
{
    auto d = Open(0, 1);
    EXPECT_EQ(d->objectName(), "CTextToHexDlg");
    EXPECT_EQ(d->windowTitle(), "Characters transformation");
    EXPECT_TRUE(d->m_radioUcs2->isChecked());
    EXPECT_FALSE(d->m_radioHex->isEnabled());
    EXPECT_FALSE(d->m_radioUcs2->isEnabled());
    EXPECT_TRUE(d->m_btnAppend->isVisible());
    EXPECT_EQ(d->m_labelResult->text(), "HEX data (UCS2):");
    EXPECT_TRUE(d->m_editHex->IsHexOnly());
    EXPECT_EQ(d->m_radioHex->text(), "HEX data");
    EXPECT_EQ(d->m_radioUcs2->text(), "HEX data (UCS2)");
}

TEST_F(TextToHexDialog, FromTheMenuTheRadiosChooseWhileTheLabelKeepsItsFirstText)
{
    auto d = Open(1, 0);
    EXPECT_TRUE(d->m_radioHex->isChecked());
    EXPECT_TRUE(d->m_radioHex->isEnabled());
    EXPECT_TRUE(d->m_radioUcs2->isEnabled());
    EXPECT_FALSE(d->m_btnAppend->isVisible());
    EXPECT_EQ(d->m_labelResult->text(), "HEX data:");

    QTest::mouseClick(d->m_radioUcs2, Qt::LeftButton);
    EXPECT_EQ(d->m_nMode, 1);
    EXPECT_EQ(Trans(*d, "hello"), "00680065006C006C006F");
    QTest::mouseClick(d->m_radioHex, Qt::LeftButton);
    EXPECT_EQ(Trans(*d, "hello"), "68 65 6c 6c 6f ");
    EXPECT_EQ(d->m_labelResult->text(), "HEX data:");
}

TEST_F(TextToHexDialog, TransWithAnEmptyTextLeavesTheLastResult)
{
    auto d = Open(0, 0);
    Trans(*d, "hello");
    EXPECT_EQ(Trans(*d, ""), "68 65 6c 6c 6f ");
}

TEST_F(TextToHexDialog, AppendAddsAtTheEndOfTheSmsPageBoxEachTime)
{
    page.m_editMessage->setPlainText("41 ");
    // The caret at the start must not decide where the text goes.
    page.m_editMessage->moveCursor(QTextCursor::Start);
    auto d = Open(0, 0);
    Trans(*d, "hi");
    d->m_btnAppend->click();
    d->m_btnAppend->click();
    EXPECT_EQ(page.m_editMessage->toPlainText(), "41 68 69 68 69 ");
    EXPECT_TRUE(d->isVisible());
}

TEST_F(TextToHexDialog, EnterDoesNotCloseItButEscapeDoes)
{
    auto d = Open(0, 0);
    QTest::keyClick(d->m_btnTrans, Qt::Key_Return);
    d->accept();
    EXPECT_TRUE(d->isVisible());
    QTest::keyClick(d->m_btnTrans, Qt::Key_Escape);
    EXPECT_FALSE(d->isVisible());
}

TEST(CharTransDialog, TransAndAppendToTheSmsPage)
{
    CTestItemDlg_sms page;
    page.m_editMessage->setPlainText("00 ");
    CCharTransDlg d;
    EXPECT_FALSE(d.m_btnAppend->isEnabled());
    d.show();
    EXPECT_EQ(d.objectName(), "CCharTransDlg");
    EXPECT_EQ(d.windowTitle(), "Characters transformation");
    EXPECT_TRUE(d.m_btnAppend->isEnabled());

    d.m_editText->setPlainText("hello");
    d.m_btnTrans->click();
    EXPECT_EQ(d.m_editHex->toPlainText(), "68 65 6c 6c 6f ");
    d.m_editText->clear();
    d.m_btnTrans->click();
    EXPECT_EQ(d.m_editHex->toPlainText(), "68 65 6c 6c 6f ");

    d.m_btnAppend->click();
    d.m_btnAppend->click();
    EXPECT_EQ(page.m_editMessage->toPlainText(), "00 68 65 6c 6c 6f 68 65 6c 6c 6f ");
    EXPECT_TRUE(d.isVisible());
}

TEST(CharTransDialog, AppendWithoutTheSmsPageDoesNothing)
{
    ASSERT_EQ(g_pSmsPage, nullptr);
    CCharTransDlg d;
    d.show();
    d.m_editText->setPlainText("hi");
    d.m_btnTrans->click();
    d.m_btnAppend->click();
    EXPECT_EQ(d.m_editHex->toPlainText(), "68 69 ");
}
