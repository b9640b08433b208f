#include "platform/MessageBox.h"
#include "ui/controls/CDialRichEdit.h"
#include "ui/controls/CHexRichEdit.h"
#include "ui/controls/CNumEdit.h"
#include "ui/controls/CNumSpinCtrl.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <gtest/gtest.h>

using namespace ulv;

namespace {

struct Key {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    char text; // what the keyboard produces, 0 for none
};

void Press(QWidget* w, const Key& k)
{
    QString text = k.text ? QString(QChar(k.text)) : QString();
    QKeyEvent press(QEvent::KeyPress, k.key, k.modifiers, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, k.key, k.modifiers, text);
    QApplication::sendEvent(w, &release);
}

} // namespace

TEST(NumEdit, BadKeystrokePutsThePreviousValueBackSelected)
{
    CNumEdit edit;
    edit.SetRange(0, 255);
    QTest::keyClicks(&edit, "25");
    EXPECT_EQ(edit.text(), "25");
    QTest::keyClicks(&edit, "6");
    EXPECT_EQ(edit.text(), "25");
    EXPECT_EQ(edit.selectedText(), "25");

    // A letter after a number, a space, an emptied box.
    edit.setText("12");
    edit.setCursorPosition(2);
    QTest::keyClicks(&edit, "x");
    EXPECT_EQ(edit.text(), "12");
    edit.setCursorPosition(2);
    QTest::keyClicks(&edit, " ");
    EXPECT_EQ(edit.text(), "12");
    edit.setCursorPosition(2);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), "1");
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), "1");
}

TEST(NumEdit, LoneSignStaysWhileTyping)
{
    CNumEdit edit;
    edit.SetRange(-10, 10);
    QTest::keyClicks(&edit, "-");
    EXPECT_EQ(edit.text(), "-");
    QTest::keyClicks(&edit, "7");
    EXPECT_EQ(edit.text(), "-7");
    EXPECT_FLOAT_EQ(edit.GetValue(), -7.0f);
}

TEST(NumEdit, MessagesOnlyWhenErrorsAreShown)
{
    MessageBoxRecorder boxes;
    CNumEdit edit;
    edit.SetRange(0, 100);
    QTest::keyClicks(&edit, "5a");
    EXPECT_EQ(boxes.Count(), 0);
    edit.SetShowErrors(true);
    edit.setText("5");
    edit.setCursorPosition(1);
    QTest::keyClicks(&edit, "a");
    EXPECT_EQ(edit.selectedText(), "5");
    edit.setCursorPosition(1);
    QTest::keyClicks(&edit, "00");
    ASSERT_EQ(boxes.Count(), 2);
    EXPECT_EQ(boxes.Texts(), (QStringList{"Characters must be a number.\n", "Given value is out of range.\n"}));
    EXPECT_EQ(boxes.Boxes()[0].flags, unsigned(MB_OK | MB_ICONERROR));
    EXPECT_EQ(edit.text(), "50");
}

TEST(NumEdit, ValuesAndDecimalPlaces)
{
    CNumEdit edit;
    EXPECT_FLOAT_EQ(edit.GetValue(), kNumEditLowest); // empty box
    edit.SetRange(0, 10);
    EXPECT_TRUE(edit.SetValue(2.5f));
    EXPECT_EQ(edit.text(), "2.5");
    EXPECT_TRUE(edit.SetValue(3.0f));
    EXPECT_EQ(edit.text(), "3.0");
    EXPECT_FALSE(edit.SetValue(10.5f));
    EXPECT_FALSE(edit.SetValue(-1.0f));
    EXPECT_EQ(edit.text(), "3.0");
    EXPECT_TRUE(edit.SetValue(0.125f));
    EXPECT_EQ(edit.text(), "0.125");
    EXPECT_EQ(edit.BuildFormat(1.0f), "%.3f");
    // ChangeAmount clamps rather than refusing.
    edit.SetDelta(4.0f);
    EXPECT_TRUE(edit.ChangeAmount(3));
    EXPECT_EQ(edit.text(), "10.000");
}

TEST(NumSpinCtrl, StepsItsBuddyAndStopsAtTheEnds)
{
    QWidget page;
    auto* edit = new CNumEdit(&page);
    auto* spin = new CNumSpinCtrl(&page);
    edit->setGeometry(0, 0, 60, 22);
    spin->setGeometry(60, 0, 17, 22);
    EXPECT_EQ(spin->SetBuddy(edit), nullptr);
    EXPECT_EQ(edit->text(), "0");
    spin->SetDelta(1.0f);
    spin->SetRange(0, 3);
    spin->SetPos(0);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));

    const QPoint up(8, 4), down(8, 18);
    QTest::mouseClick(spin, Qt::LeftButton, {}, down);
    EXPECT_FLOAT_EQ(spin->GetPos(), 0.0f);
    for (int i = 0; i < 5; ++i)
        QTest::mouseClick(spin, Qt::LeftButton, {}, up);
    EXPECT_FLOAT_EQ(spin->GetPos(), 3.0f);
    EXPECT_EQ(edit->text(), "3");
    QTest::mouseClick(spin, Qt::LeftButton, {}, down);
    EXPECT_FLOAT_EQ(spin->GetPos(), 2.0f);
    EXPECT_EQ(spin->OwnPos(), 500 + 5 - 2);
    float lo = 0, hi = 0;
    spin->GetRange(lo, hi);
    EXPECT_FLOAT_EQ(hi, 3.0f);

    // Without a numeric buddy the calls do nothing.
    CNumSpinCtrl lone;
    QWidget other;
    lone.SetBuddy(&other);
    lone.SetPos(5);
    EXPECT_FLOAT_EQ(lone.GetPos(), 0.0f);
    EXPECT_FLOAT_EQ(lone.GetDelta(), 0.0f);
}

TEST(HexRichEdit, HexOnlyLetsHexDigitsAndEditingKeysThrough)
{
    CHexRichEdit edit;
    edit.SetHexOnly(true);
    const Key keys[] = {
        {Qt::Key_1, Qt::NoModifier, '1'},
        {Qt::Key_A, Qt::ShiftModifier, 'A'},
        {Qt::Key_Space, Qt::NoModifier, ' '},
        {Qt::Key_F, Qt::NoModifier, 'f'},
        {Qt::Key_G, Qt::NoModifier, 'g'},                   // dropped
        {Qt::Key_NumberSign, Qt::ShiftModifier, '#'},       // Shift+3, dropped
        {Qt::Key_7, Qt::KeypadModifier, '7'},               // keypad 7
        {Qt::Key_V, Qt::NoModifier, 'v'},                   // dropped
        {Qt::Key_Plus, Qt::KeypadModifier, '+'},            // dropped
    };
    for (const Key& k : keys)
        Press(&edit, k);
    EXPECT_EQ(edit.toPlainText(), "1A f7");
    Press(&edit, {Qt::Key_Backspace, Qt::NoModifier, '\b'});
    EXPECT_EQ(edit.toPlainText(), "1A f");

    QApplication::clipboard()->setText("zz");
    Press(&edit, {Qt::Key_V, Qt::ControlModifier, '\x16'});
    EXPECT_EQ(edit.toPlainText(), "1A fzz");

    // Off: every key gets through; the text already there stays.
    edit.SetHexOnly(false);
    Press(&edit, {Qt::Key_G, Qt::NoModifier, 'g'});
    Press(&edit, {Qt::Key_NumberSign, Qt::ShiftModifier, '#'});
    EXPECT_EQ(edit.toPlainText(), "1A fzzg#");
}

TEST(DialRichEdit, OnlyDigitsAndPlus)
{
    CDialRichEdit edit;
    const Key keys[] = {
        {Qt::Key_Plus, Qt::ShiftModifier, '+'},        // Shift+=
        {Qt::Key_4, Qt::NoModifier, '4'},
        {Qt::Key_Asterisk, Qt::ShiftModifier, '*'},    // Shift+8, dropped
        {Qt::Key_NumberSign, Qt::ShiftModifier, '#'},  // dropped
        {Qt::Key_0, Qt::KeypadModifier, '0'},
        {Qt::Key_9, Qt::KeypadModifier, '9'},
        {Qt::Key_A, Qt::NoModifier, 'a'},              // dropped
        {Qt::Key_Space, Qt::NoModifier, ' '},          // dropped
        {Qt::Key_Left, Qt::NoModifier, 0},
        {Qt::Key_Delete, Qt::NoModifier, 0},
    };
    for (const Key& k : keys)
        Press(&edit, k);
    EXPECT_EQ(edit.toPlainText(), "+40");
}
