#include "MenuTestUtil.h"

#include "ui/chrome/CFlatMenuBarCtrl.h"
#include "ui/chrome/CMenuXP.h"
#include "ui/chrome/MenuResources.h"

#include <QAction>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace ulv;
using namespace ulv::test;

namespace {

CMenuXP* ThreePopups(std::vector<HMENU>* subs)
{
    auto* menu = new CMenuXP;
    menu->CreatePopupMenu();
    const char* names[] = { "&File", "&Edit", "&Help" };
    for (int i = 0; i < 3; ++i) {
        auto* sub = new CMenuXP;
        sub->CreatePopupMenu();
        auto* item = new CMenuXPItem;
        item->id = UINT(100 + i);
        item->text = QStringLiteral("Item %1").arg(i);
        sub->AppendODMenu(0, item);
        auto* caption = new CMenuXPItem;
        caption->text = QString::fromLatin1(names[i]);
        if (i == 0) {
            caption->icon = QImage(16, 16, QImage::Format_ARGB32);
            caption->icon.fill(qRgb(0, 128, 255));
        }
        menu->AppendODPopupMenu(0, sub, caption);
        subs->push_back(sub->m_hMenu);
    }
    return menu;
}

// The popups the bar opens, in order; job runs on each (numbered from 1)
// once it shows.
class PopupSequence {
public:
    explicit PopupSequence(std::function<void(QWidget*, std::size_t)> job)
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this, job] {
            QWidget* popup = QApplication::activePopupWidget();
            if (!popup || !popup->isVisible() || (!opened.empty() && opened.back() == popup))
                return;
            opened.push_back(popup);
            job(popup, opened.size());
        });
        m_timer.start();
    }
    bool Done(std::size_t count) const { return opened.size() >= count && !QApplication::activePopupWidget(); }

    std::vector<QWidget*> opened;

private:
    QTimer m_timer;
};

TEST(FlatMenuBarTest, ButtonsFromTheTopLevelItems)
{
    QWidget owner;
    auto* bar = new CFlatMenuBarCtrl(&owner);
    EXPECT_FALSE(bar->SetMenu(nullptr));
    std::vector<HMENU> subs;
    ASSERT_TRUE(bar->SetMenu(ThreePopups(&subs)));
    EXPECT_EQ(bar->ItemCount(), 3);
    ASSERT_EQ(bar->actions().size(), 3);
    EXPECT_EQ(bar->actions()[1]->text(), QStringLiteral("&Edit"));
    EXPECT_EQ(CFlatToolBarCtrl::PictureIndex(bar->actions()[0]), 0);
    EXPECT_EQ(CFlatToolBarCtrl::PictureIndex(bar->actions()[1]), -1);
    CMenu* held = bar->GetMenu();
    EXPECT_FALSE(bar->SetMenu(nullptr));
    EXPECT_EQ(bar->GetMenu(), held);
}

TEST(FlatMenuBarTest, LeftAndRightWrapBetweenThePopups)
{
    QWidget owner;
    owner.resize(400, 100);
    auto* bar = new CFlatMenuBarCtrl(&owner);
    std::vector<HMENU> subs;
    ASSERT_TRUE(bar->SetMenu(ThreePopups(&subs)));
    owner.show();
    PopupSequence popups([](QWidget* popup, std::size_t n) {
        if (n == 1)
            Key(popup, Qt::Key_Right); // from the last to the first
        else if (n == 2)
            Key(popup, Qt::Key_Left); // from the first to the last
        else
            Key(popup, Qt::Key_Escape);
    });
    bar->SetHotIndex(2);
    bar->TrackPopup();
    ASSERT_TRUE(RunEventsUntil([&] { return popups.Done(3); }, 5000));
    EXPECT_EQ(popups.opened, (std::vector<QWidget*> { subs[2], subs[0], subs[2] }));
    EXPECT_FALSE(bar->IsTracking());
    EXPECT_FALSE(bar->Button(2)->isDown());
}

TEST(FlatMenuBarTest, APopupInColumnsMovesOnPastItsLastColumn)
{
    QWidget owner;
    owner.resize(400, 100);
    auto* bar = new CFlatMenuBarCtrl(&owner);
    std::vector<HMENU> subs;
    CMenuXP* menu = ThreePopups(&subs);
    auto* file = dynamic_cast<CMenuXP*>(CMenu::FromHandlePermanent(subs[0]));
    ASSERT_NE(file, nullptr);
    file->Break();
    auto* second = new CMenuXPItem;
    second->id = 110;
    second->text = QStringLiteral("Second column");
    file->AppendODMenu(0, second);
    ASSERT_TRUE(bar->SetMenu(menu));
    owner.show();
    // Down takes the first column's item, Right the second column's, and
    // Right again leaves for the next popup, which Esc closes.
    std::vector<int> hilites;
    bool firstIsQMenu = true;
    PopupSequence popups([&](QWidget* popup, std::size_t n) {
        if (n > 1) {
            Key(popup, Qt::Key_Escape);
            return;
        }
        firstIsQMenu = qobject_cast<QMenu*>(popup) != nullptr;
        for (int key : { Qt::Key_Down, Qt::Key_Right, Qt::Key_Right }) {
            hilites.push_back(GetHilitePosition(subs[0]));
            Key(popup, key);
        }
    });
    bar->SetHotIndex(0);
    bar->TrackPopup();
    ASSERT_TRUE(RunEventsUntil([&] { return popups.Done(2); }, 10000));
    ASSERT_EQ(popups.opened.size(), 2u);
    EXPECT_FALSE(firstIsQMenu) << "the columns need the layer's own popup";
    EXPECT_EQ(popups.opened[1], subs[1]);
    EXPECT_EQ(hilites, (std::vector<int> { -1, 0, 1 }));
    EXPECT_FALSE(bar->IsTracking());
}

TEST(FlatMenuBarTest, ToolbarPicturesSkipSeparatorsAndHotButtonsAreFlatBoxes)
{
    RegisterToolBarResource(930, { 16, 15, { 11, 0, 12, 0, 13 }, QString() });
    RegisterBitmapResource(930, QImage(48, 15, QImage::Format_RGB32));
    CFlatToolBarCtrl bar;
    ASSERT_TRUE(bar.LoadToolBar(930));
    EXPECT_FALSE(bar.LoadToolBar(931));
    const QList<QAction*> a = bar.actions();
    ASSERT_EQ(a.size(), 5);
    EXPECT_TRUE(a[1]->isSeparator());
    EXPECT_EQ(CFlatToolBarCtrl::PictureIndex(a[2]), 1);
    EXPECT_EQ(CFlatToolBarCtrl::PictureIndex(a[4]), 2);
    EXPECT_EQ(a[4]->data().toUInt(), 13u);
    ClearRegisteredResources();

    QImage img(20, 20, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    bar.DrawButton(p, QRect(0, 0, 20, 20), true, false, false);
    bar.DrawButton(p, QRect(0, 0, 5, 5), false, false, false); // a plain button draws nothing
    p.end();
    EXPECT_EQ(img.pixel(0, 0), Ref(0xC56A31));
    EXPECT_EQ(img.pixel(19, 19), Ref(0xC56A31));
    EXPECT_EQ(img.pixel(10, 10), Ref(0xEED2C1));
    EXPECT_EQ(img.pixel(2, 2), Ref(0xEED2C1));
}

} // namespace
