#include "ui/chrome/CFolderTabCtrl.h"
#include "ui/controls/WinLook.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace ulv;

namespace {

constexpr QRgb kSelected = 0xFFCDCDCD;
constexpr QRgb kOther = 0xFFFFFFFF;
constexpr QRgb kOutline = 0xFF7D7D7D;
const char* const kGnssTabs = "World map\nSky view\nSignal column chart\nMap\nNMEA data";

struct Page {
    QWidget parent;
    CFolderTabCtrl* tabs = nullptr;
    std::vector<FolderTabNotify> notes;

    explicit Page(const QString& text, int width = 600)
    {
        parent.resize(width, 60);
        auto* placeholder = new QWidget(&parent);
        placeholder->setGeometry(4, 10, width - 8, 40);
        tabs = new CFolderTabCtrl;
        EXPECT_TRUE(tabs->CreateOverStatic(placeholder, 1040));
        tabs->Load(text);
        QObject::connect(tabs, &CFolderTabCtrl::TabNotify, [this](const FolderTabNotify& n) { notes.push_back(n); });
        parent.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&parent));
    }
    QImage Grab() const { return tabs->grab().toImage(); }
};

} // namespace

TEST(FolderTabCtrl, FiveOverlappingTrapezoids)
{
    Page page(kGnssTabs);
    CFolderTabCtrl* tabs = page.tabs;
    ASSERT_EQ(tabs->GetItemCount(), 5);
    EXPECT_EQ(tabs->geometry(), QRect(4, 10, 592, GetSystemMetrics(SM_CYHSCROLL)));
    EXPECT_EQ(tabs->GetSelectedItem(), 0);
    EXPECT_EQ(tabs->GetDlgCtrlID(), 1040);
    const QFontMetrics fm(tabs->NormalFont());
    for (int i = 0; i < 5; ++i) {
        const QRect r = tabs->GetItem(i)->GetRect();
        EXPECT_EQ(r.top(), 0);
        EXPECT_EQ(r.height(), 17);
        EXPECT_EQ(r.width(), fm.horizontalAdvance(tabs->GetItem(i)->GetText()) + 20);
        if (i > 0) {
            const QRect prev = tabs->GetItem(i - 1)->GetRect();
            EXPECT_EQ(r.left(), prev.left() + prev.width() - 8);
        }
    }
    EXPECT_EQ(tabs->GetItem(2)->GetText(), "Signal column chart");
    EXPECT_EQ(tabs->SelectedFont().pixelSize(), tabs->NormalFont().pixelSize() - 2);
    EXPECT_EQ(tabs->GetItem(5), nullptr);
}

TEST(FolderTabCtrl, SelectedTabIsGreyOnTopTheOthersWhite)
{
    Page page(kGnssTabs);
    const QImage img = page.Grab();
    auto left = [&](int i) { return page.tabs->GetItem(i)->GetRect().left(); };
    auto right = [&](int i) { const QRect r = page.tabs->GetItem(i)->GetRect(); return r.left() + r.width(); };

    // Inside near the left slant, clear of the label.
    EXPECT_EQ(img.pixel(left(0) + 6, 3), kSelected);
    for (int i = 1; i < 5; ++i)
        EXPECT_EQ(img.pixel(left(i) + 6, 3), kOther) << i;
    // The selected tab covers the overlap with its neighbour.
    EXPECT_EQ(img.pixel(right(0) - 4, 3), kSelected);
    // Outline on the slants; the top line everywhere but above the selected tab.
    EXPECT_EQ(img.pixel(left(2), 0), kOutline);
    EXPECT_EQ(img.pixel(left(2) + 4, 8), kOutline);
    EXPECT_EQ(img.pixel((left(3) + right(3)) / 2, 0), kOutline);
    EXPECT_EQ(img.pixel((left(0) + right(0)) / 2, 0), kSelected);
    // Past the last tab: the strip's grey under the top line.
    EXPECT_EQ(img.pixel(590, 0), kOutline);
    EXPECT_EQ(img.pixel(590, 8), kSelected);
}

TEST(FolderTabCtrl, ClickOnAnotherTabNotifiesOnce)
{
    Page page(kGnssTabs);
    CFolderTabCtrl* tabs = page.tabs;
    const QRect sky = tabs->GetItem(1)->GetRect();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, sky.center());
    ASSERT_EQ(page.notes.size(), 1u);
    EXPECT_EQ(page.notes[0].index, 1);
    EXPECT_EQ(page.notes[0].code, unsigned(FTN_TABCHANGED));
    EXPECT_EQ(page.notes[0].idFrom, 1040);
    EXPECT_EQ(page.notes[0].hwndFrom, tabs);
    EXPECT_EQ(page.notes[0].tab, tabs->GetItem(1));
    EXPECT_EQ(tabs->GetSelectedItem(), 1);
    const QImage img = page.Grab();
    EXPECT_EQ(img.pixel(sky.left() + 6, 3), kSelected);
    EXPECT_EQ(img.pixel(tabs->GetItem(0)->GetRect().left() + 6, 3), kOther);

    // The current tab again, and the grey beyond the tabs: nothing.
    QTest::mouseClick(tabs, Qt::LeftButton, {}, sky.center());
    QTest::mouseClick(tabs, Qt::LeftButton, {}, QPoint(590, 8));
    EXPECT_EQ(page.notes.size(), 1u);

    // In the overlap of tabs 2 and 3 the earlier one wins.
    const QRect chart = tabs->GetItem(2)->GetRect();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, QPoint(chart.left() + chart.width() - 5, 2));
    ASSERT_EQ(page.notes.size(), 2u);
    EXPECT_EQ(page.notes[1].index, 2);
}

TEST(FolderTabCtrl, EdgeCases)
{
    // A trailing '\n' gives an unlabelled tab 20 pixels wide.
    Page page("PPP\nUDP\n");
    ASSERT_EQ(page.tabs->GetItemCount(), 3);
    EXPECT_EQ(page.tabs->GetItem(2)->GetRect().width(), 20);

    EXPECT_EQ(page.tabs->SelectItem(7), -1);
    EXPECT_EQ(page.tabs->SelectItem(0), 0);
    EXPECT_EQ(page.tabs->SelectItem(2), 2);
    EXPECT_FALSE(page.tabs->RemoveItem(3));
    EXPECT_TRUE(page.tabs->RemoveItem(0));
    EXPECT_EQ(page.tabs->HitTest(QPoint(-1, 2)), -1);
    EXPECT_FALSE(CFolderTabCtrl().CreateOverStatic(nullptr, 1));

    // More tabs than fit: painting stops after the first one that crosses the
    // edge; a selected tab beyond it is not drawn and the top line spans all.
    Page narrow(kGnssTabs, 160);
    narrow.tabs->SelectItem(4);
    narrow.tabs->repaint();
    const QImage img = narrow.Grab();
    EXPECT_EQ(img.pixel(3, 0), kOutline);
    EXPECT_EQ(img.pixel(narrow.tabs->GetItem(0)->GetRect().left() + 6, 3), kOther);
}
