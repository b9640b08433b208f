// The voice page's keypad and value boxes, without a module.

#include "pages/module/CTestItemDlg_voice.h"

#include "pages/module/core/AudioCommandSet.h"
#include "shell/core/CUlvenscopeApp.h"
#include "ui/controls/CDialRichEdit.h"
#include "ui/controls/CNumEdit.h"
#include "ui/controls/CNumSpinCtrl.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace ulv;

namespace {

class VoiceKeypad : public ::testing::Test {
protected:
    void TearDown() override
    {
        g_nModuleType = 0;
        SetModuleSubModel(0);
        g_audioCommandSet = &PxxModule;
    }
    // Holds the key down for ms on the key's own clock, then lets go.
    template <class Key>
    void Hold(Key* key, std::uint32_t ms)
    {
        key->SetTickSource([this] { return m_ticks; });
        QTest::mousePress(key, Qt::LeftButton);
        m_ticks += ms;
        QTest::mouseRelease(key, Qt::LeftButton);
    }
    QString Number() const { return page.NumberBox()->toPlainText(); }

    CTestItemDlg_voice page;
    std::uint32_t m_ticks = 5000;
};

TEST_F(VoiceKeypad, DigitKeysWriteIntoTheNumberBox)
{
    for (const char* k : {"1", "2", "3", "4", "5", "6", "7", "8", "9", "*", "#"}) {
        ASSERT_NE(page.Key(k), nullptr) << k;
        page.Key(k)->click();
    }
    EXPECT_EQ(Number(), "123456789*#");
    // A selection is replaced.
    QTextCursor c = page.NumberBox()->textCursor();
    c.setPosition(0);
    c.setPosition(3, QTextCursor::KeepAnchor);
    page.NumberBox()->setTextCursor(c);
    page.Key("9")->click();
    EXPECT_EQ(Number(), "9456789*#");
}

TEST_F(VoiceKeypad, ZeroKeyHeldLongGivesPlus)
{
    const std::pair<std::uint32_t, const char*> rows[] = {{600, "+"}, {400, "0"}, {500, "0"}, {501, "+"}};
    for (const auto& [ms, text] : rows) {
        page.NumberBox()->clear();
        Hold(page.ZeroPlusKey(), ms);
        EXPECT_EQ(Number(), text) << ms;
    }
    // A long press counts for its own click only: a click from the keyboard after it is short.
    page.NumberBox()->clear();
    Hold(page.ZeroPlusKey(), 900);
    page.ZeroPlusKey()->click();
    EXPECT_EQ(Number(), "+0");
}

TEST_F(VoiceKeypad, ClearKeyDeletesOneOrAll)
{
    page.InsertDigit("12345");
    Hold(page.ClearKey(), 1500);
    EXPECT_EQ(Number(), "1234");
    Hold(page.ClearKey(), 2500);
    EXPECT_EQ(Number(), "");
    Hold(page.ClearKey(), 3000); // nothing to clear
    EXPECT_EQ(Number(), "");
    page.InsertDigit("77");
    page.ClearKey()->click();
    EXPECT_EQ(Number(), "7");
    // The last character goes, wherever the caret stood.
    page.InsertDigit("89");
    QTextCursor c = page.NumberBox()->textCursor();
    c.setPosition(0);
    page.NumberBox()->setTextCursor(c);
    Hold(page.ClearKey(), 100);
    EXPECT_EQ(Number(), "78");
    EXPECT_EQ(page.NumberBox()->textCursor().position(), 2);
}

TEST_F(VoiceKeypad, DigitsTakeTheNumberBoxFormat)
{
    page.Key("5")->click();
    QTextCursor c(page.NumberBox()->document());
    c.setPosition(1);
    const QTextCharFormat f = c.charFormat();
    EXPECT_EQ(f.fontWeight(), QFont::Bold);
    EXPECT_EQ(f.foreground().color().rgb(), QColor(0x99, 0x33, 0x33).rgb());
    EXPECT_DOUBLE_EQ(f.fontPointSize(), 13.5);
}

TEST_F(VoiceKeypad, ValueBoxesTakeTheFamilysRanges)
{
    struct Row {
        int type, subModel;
        float volumeMax, volumeStart, sideMin, sideMax, sideStart, micMax, micStart, micStep;
        bool secondShown;
    };
    const Row rows[] = {
        {0, 0, 100, 50, 0, 255, 127, 15, 7, 1, false},
        {1, 1, 7, 3, 0, 65535, 32767, 65535, 32767, 10, true},
        {1, 2, 100, 50, -450, 200, 0, 15, 7, 1, false},
        {1, 0, 7, 3, 0, 65535, 32767, 65535, 32767, 1, true},
    };
    for (const Row& r : rows) {
        g_nModuleType = r.type;
        SetModuleSubModel(r.subModel);
        EXPECT_EQ(page.OnModuleIdentified(), 1);
        float lo = 0, hi = 0;
        page.VolumeSpin()->GetRange(lo, hi);
        EXPECT_EQ(lo, 0) << r.type << r.subModel;
        EXPECT_EQ(hi, r.volumeMax) << r.type << r.subModel;
        EXPECT_EQ(page.VolumeSpin()->GetPos(), r.volumeStart) << r.type << r.subModel;
        page.SideToneSpin()->GetRange(lo, hi);
        EXPECT_EQ(lo, r.sideMin) << r.type << r.subModel;
        EXPECT_EQ(hi, r.sideMax) << r.type << r.subModel;
        EXPECT_EQ(page.SideToneSpin()->GetPos(), r.sideStart) << r.type << r.subModel;
        page.MicGainSpin()->GetRange(lo, hi);
        EXPECT_EQ(hi, r.micMax) << r.type << r.subModel;
        EXPECT_EQ(page.MicGainSpin()->GetPos(), r.micStart) << r.type << r.subModel;
        EXPECT_EQ(page.MicGainSpin()->GetDelta(), r.micStep) << r.type << r.subModel;
        EXPECT_EQ(page.SecondMicGainEdit()->isVisibleTo(&page), r.secondShown) << r.type << r.subModel;
    }
}

TEST_F(VoiceKeypad, ChannelRadiosAreFixedOnTheRx70)
{
    const std::tuple<int, int, bool> rows[] = {{0, 0, true}, {1, 1, true}, {1, 2, true}, {1, 0, false}};
    for (const auto& [type, subModel, enabled] : rows) {
        g_nModuleType = type;
        SetModuleSubModel(subModel);
        page.OnModuleIdentified();
        page.hide();
        page.show();
        for (QRadioButton* r : {page.MainRadio(), page.AuxiliaryRadio(), page.HandsFreeRadio()})
            EXPECT_EQ(r->isEnabled(), enabled) << type << subModel;
    }
}

TEST_F(VoiceKeypad, IncomingCallTurnsTheButtonsAround)
{
    EXPECT_EQ(page.IsCallIdle(), 1);
    EXPECT_FALSE(page.StatusText()->isVisibleTo(&page));
    EXPECT_FALSE(page.MuteCheck()->isEnabled());
    page.OnReceivedLine("RING");
    EXPECT_EQ(page.IsCallIdle(), 0);
    EXPECT_EQ(page.CallButton()->text(), "Answer");
    EXPECT_EQ(page.EndButton()->text(), "Decline");
    page.OnReceivedLine("NO CARRIER");
    EXPECT_EQ(page.IsCallIdle(), 1);
    EXPECT_EQ(page.CallButton()->text(), "CALL");
    EXPECT_EQ(page.EndButton()->text(), "End");
    EXPECT_TRUE(page.CallButton()->isEnabled());
}

} // namespace
