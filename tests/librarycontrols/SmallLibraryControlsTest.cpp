#include "ui/chrome/WinMenu.h"
#include "ui/controls/CBrushReBarCtrl.h"
#include "ui/controls/CFlatIPAddressCtrl.h"
#include "ui/controls/CMaskedEdit.h"
#include "ui/controls/CMyMessageboxDlg.h"
#include "ui/controls/CPageTabCtrl.h"
#include "ui/controls/CSplashPictureDlg.h"

#include "../controls/ControlTestUtil.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace ulv;

namespace {

struct Masked {
    Masked(unsigned mask, const QString& text, int caret)
    {
        edit.SetMask(mask);
        edit.setText(text);
        edit.setCursorPosition(caret);
        edit.show();
        edit.setFocus();
    }
    void Type(const QString& keys) { QTest::keyClicks(&edit, keys); }
    CMaskedEdit edit;
};

TEST(MaskedEdit, TypingOvertypesAndJumpsOverSeparators)
{
    Masked m(CMaskedEdit::kTime, "12:34:56", 0);
    m.Type("7");
    EXPECT_EQ(m.edit.text(), "72:34:56");
    EXPECT_EQ(m.edit.cursorPosition(), 1);
    m.Type("8");
    EXPECT_EQ(m.edit.text(), "78:34:56");
    EXPECT_EQ(m.edit.cursorPosition(), 3);
    m.Type("9");
    EXPECT_EQ(m.edit.text(), "78:94:56");
}

TEST(MaskedEdit, LayoutRules)
{
    const struct {
        unsigned mask;
        const char* text;
        int caret;
        const char* keys;
        const char* result;
        int caretAfter;
    } cases[] = {
        {CMaskedEdit::kTime, "12:34:56", 8, "1", "12:34:56", 8}, // past the last typing position
        {CMaskedEdit::kTime, "12:34:56", 2, "1", "12:34:56", 2}, // on a separator
        {CMaskedEdit::kTime, "12:34:56", 0, "a", "12:34:56", 0}, // letters are not in the mask
        {CMaskedEdit::kTime, "12:34:56", 0, " ", "12:34:56", 0},
        {CMaskedEdit::kDate, "2024-01-31", 0, "19", "1924-01-31", 2},
        {CMaskedEdit::kDate, "2024-01-31", 3, "5", "2025-01-31", 5},
        {CMaskedEdit::kPairs, "11.22.33.44", 6, "99", "11.22.99.44", 9},
        {CMaskedEdit::kPairs, "11.22.33.44", 10, "7", "11.22.33.47", 11},
        {1, "12", 2, "3a", "123", 3}, // a plain digits mask inserts
        {3, "", 0, "a1", "a1", 2},
    };
    for (const auto& c : cases) {
        Masked m(c.mask, c.text, c.caret);
        m.Type(c.keys);
        EXPECT_EQ(m.edit.text(), c.result) << c.mask << " " << c.keys;
        EXPECT_EQ(m.edit.cursorPosition(), c.caretAfter) << c.mask << " " << c.keys;
    }
}

TEST(MaskedEdit, BackspaceAndArrowsOnlyMoveTheCaret)
{
    Masked m(CMaskedEdit::kTime, "12:34:56", 8);
    QTest::keyClick(&m.edit, Qt::Key_Backspace);
    EXPECT_EQ(m.edit.text(), "12:34:56");
    EXPECT_EQ(m.edit.cursorPosition(), 7);
    QTest::keyClick(&m.edit, Qt::Key_Delete);
    EXPECT_EQ(m.edit.text(), "12:34:56");
    m.edit.setCursorPosition(3);
    QTest::keyClick(&m.edit, Qt::Key_Left);
    EXPECT_EQ(m.edit.cursorPosition(), 1) << "jumps over the separator";
    QTest::keyClick(&m.edit, Qt::Key_Right);
    EXPECT_EQ(m.edit.cursorPosition(), 3);
    QTest::keyClick(&m.edit, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(m.edit.cursorPosition(), 3);
    EXPECT_FALSE(m.edit.hasSelectedText());
}

TEST(MaskedEdit, EnterAndEscapeCloseAPopupOrTellTheOwner)
{
    Masked m(CMaskedEdit::kTime, "12:34:56", 0);
    QSignalSpy spy(&m.edit, &CMaskedEdit::MaskedEditKey);
    QTest::keyClick(&m.edit, Qt::Key_Return);
    QTest::keyClick(&m.edit, Qt::Key_Escape);
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy[0][0].toLongLong(), 13);
    EXPECT_EQ(spy[1][0].toLongLong(), 27);
    EXPECT_EQ(spy[0][1].toLongLong() & 0xFFFF, 1) << "repeat count";
    m.edit.m_bPopup = 1;
    QTest::keyClick(&m.edit, Qt::Key_Escape);
    EXPECT_EQ(spy.count(), 2);
    EXPECT_FALSE(m.edit.isVisible());
    EXPECT_EQ(m.edit.m_bPopup, 0);
}

// Records the window messages a page gets.
class MessageLog : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == WinMessageEvent::EventType()) {
            const auto* msg = static_cast<WinMessageEvent*>(event);
            seen.push_back({msg->message, msg->wParam});
        }
        return false;
    }
    std::vector<std::pair<UINT, WPARAM>> seen;
};

TEST(PageTabCtrl, HoldsSixteenPagesAndShowsOneAtATime)
{
    QWidget host;
    CPageTabCtrl tabs(&host);
    tabs.resize(300, 200);
    std::vector<QLabel*> pages;
    for (int i = 0; i < 16; ++i) {
        pages.push_back(new QLabel(QString::number(i)));
        EXPECT_TRUE(tabs.AddPage(QStringLiteral("Page %1").arg(i), pages.back(), 100 + i));
    }
    QLabel extra("x");
    EXPECT_FALSE(tabs.AddPage("Seventeen", &extra, 200));
    EXPECT_EQ(tabs.GetPageCount(), 16);
    tabs.CreatePages();
    host.show();
    EXPECT_EQ(tabs.TabBar()->count(), 16);
    EXPECT_TRUE(pages[0]->isVisible());
    EXPECT_FALSE(pages[1]->isVisible());
    const QRect first = tabs.TabBar()->tabRect(0);
    EXPECT_EQ(pages[0]->geometry(), QRect(first.left(), first.bottom() + 2, 300 - first.left() - 2,
                                        200 - (first.bottom() + 2) - 2));
    EXPECT_EQ(tabs.SelectPage(3), 0);
    EXPECT_TRUE(pages[3]->isVisible());
    EXPECT_FALSE(pages[0]->isVisible());
    EXPECT_EQ(tabs.GetActivePage(), pages[3]);
    EXPECT_EQ(tabs.SelectPage(16), -1);
    EXPECT_EQ(tabs.GetCurrentPage(), 3);

    MessageLog chosen, other;
    pages[1]->installEventFilter(&chosen);
    pages[3]->installEventFilter(&other);
    QSignalSpy spy(&tabs, &CPageTabCtrl::PageSelected);
    QTest::mouseClick(tabs.TabBar(), Qt::LeftButton, {}, tabs.TabBar()->tabRect(1).center());
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy[0][1].toInt(), 1);
    EXPECT_TRUE(pages[1]->isVisible());
    EXPECT_FALSE(pages[3]->isVisible());
    using Seen = std::vector<std::pair<UINT, WPARAM>>;
    EXPECT_EQ(chosen.seen, (Seen{{0x434u, WPARAM(1)}})) << "the chosen page hears of it with its index";
    EXPECT_TRUE(other.seen.empty());
}

TEST(PageTabCtrl, APageDeletedByItsOwnerIsSkipped)
{
    CPageTabCtrl tabs;
    tabs.resize(300, 200);
    auto* first = new QLabel("first");
    auto* second = new QLabel("second");
    tabs.AddPage("First", first, 100);
    tabs.AddPage("Second", second, 101);
    tabs.CreatePages();
    tabs.show();
    delete second;
    QTest::mouseClick(tabs.TabBar(), Qt::LeftButton, {}, tabs.TabBar()->tabRect(1).center());
    EXPECT_EQ(tabs.GetCurrentPage(), 1);
    EXPECT_EQ(tabs.GetActivePage(), nullptr);
    EXPECT_FALSE(first->isVisible());
    EXPECT_EQ(tabs.SelectPage(0), 1);
    EXPECT_TRUE(first->isVisible());
}

TEST(FlatIPAddressCtrl, FieldsHoldZeroTo255)
{
    CFlatIPAddressCtrl ip;
    ip.resize(160, 24);
    ip.show();
    ip.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&ip));
    EXPECT_TRUE(ip.IsBlank());
    ip.Field(0)->setFocus();
    QTest::keyClicks(ip.Field(0), "192");
    EXPECT_TRUE(ip.Field(1)->hasFocus()) << "a third digit moves on";
    QTest::keyClicks(ip.Field(1), "168.");
    QTest::keyClicks(ip.Field(2), "1.");
    QTest::keyClicks(ip.Field(3), "999");
    EXPECT_EQ(ip.Field(3)->text(), "255");
    std::uint32_t address = 0;
    EXPECT_EQ(ip.GetAddress(address), 4);
    EXPECT_EQ(address, 0xC0A801FFu);
    QTest::keyClicks(ip.Field(3), "x-");
    EXPECT_EQ(ip.Field(3)->text(), "255") << "only digits";
    ip.SetAddress(0x0A000001u);
    std::uint8_t f[4];
    EXPECT_EQ(ip.GetAddress(f[0], f[1], f[2], f[3]), 4);
    EXPECT_EQ(f[0], 10);
    EXPECT_EQ(f[3], 1);
    ip.ClearAddress();
    ip.Field(2)->setText("7");
    EXPECT_EQ(ip.GetAddress(address), 1);
    const QImage img = test::Grab(ip);
    EXPECT_EQ(img.pixel(0, 10), CFlatIPAddressCtrl::kFrame);
    EXPECT_EQ(img.pixel(159, 10), CFlatIPAddressCtrl::kFrame);
}

class BandPainter : public CBrushReBarCtrl {
public:
    std::vector<std::pair<QRect, unsigned>> calls;

protected:
    void DrawBand(QPainter& p, const QRect& r, unsigned state) override
    {
        calls.emplace_back(r, state);
        p.fillRect(r, Qt::yellow);
    }
};

TEST(BrushReBarCtrl, EveryBandIsPaintedThroughTheHook)
{
    BandPainter bar;
    bar.InsertBand(new QPushButton("One"));
    bar.InsertBand(new QPushButton("Two"));
    bar.resize(300, 40);
    bar.show();
    QApplication::processEvents();
    bar.calls.clear();
    const QImage img = test::Grab(bar);
    ASSERT_EQ(bar.calls.size(), 2u);
    EXPECT_EQ(bar.calls[0].first, bar.BandRect(0));
    EXPECT_EQ(img.pixel(bar.BandRect(1).topLeft()), qRgb(255, 255, 0));
}

TEST(SplashPictureDlg, SizedToThePicturePlusEight)
{
    QPixmap picture(120, 60);
    picture.fill(Qt::blue);
    CSplashPictureDlg splash(picture);
    EXPECT_TRUE(splash.Create(nullptr));
    EXPECT_EQ(splash.size(), QSize(128, 68));
    EXPECT_FALSE(splash.isModal());
    CMyMessageboxDlg box;
    EXPECT_EQ(box.windowTitle(), "Dialog");
    CTemplateDialog templ(161);
    EXPECT_EQ(templ.TemplateId(), 161);
}

} // namespace
