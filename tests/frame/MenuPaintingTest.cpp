#include "ReBarWindow.h"
#include "ui/chrome/CCommandReBar.h"
#include "ui/chrome/CMenuBarCtrl.h"
#include "ui/chrome/CTrueColorToolBar.h"
#include "ui/chrome/ChromeStyle.h"
#include "ui/controls/WinLook.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

using namespace ulv;

namespace {

QRgb Ref(COLORREF c) { return ColorRefToRgb(c); }

QImage Canvas(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::magenta);
    return img;
}

} // namespace

TEST(MenuPainting, ItemBackgroundHasThePictureColumnOrTheSelectionFill)
{
    QImage img = Canvas(120, 26);
    {
        QPainter p(&img);
        ChromeStyle::DrawItemBackground(p, QRect(0, 0, 120, 26), false);
    }
    EXPECT_EQ(img.pixel(0, 0), Ref(0xD1D8DB));
    EXPECT_EQ(img.pixel(23, 25), Ref(0xD1D8DB));
    EXPECT_EQ(img.pixel(24, 0), Ref(0xF7F8F9));
    EXPECT_EQ(img.pixel(119, 25), Ref(0xF7F8F9));

    {
        QPainter p(&img);
        ChromeStyle::DrawItemBackground(p, QRect(0, 0, 120, 26), true);
    }
    EXPECT_EQ(img.pixel(0, 13), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(119, 13), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(60, 0), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(1, 1), Ref(0xCFB9B1));
    EXPECT_EQ(img.pixel(60, 24), Ref(0xCFB9B1));
}

TEST(MenuPainting, SeparatorLinesStartRightOfTheColumn)
{
    QImage img = Canvas(100, 26);
    {
        QPainter p(&img);
        ChromeStyle::DrawSeparator(p, QRect(0, 0, 100, 26));
    }
    // Mid height 13: upper line at 12, lower at 13, from x 26 to the right edge.
    EXPECT_EQ(img.pixel(26, 12), Ref(0xC6C6C6));
    EXPECT_EQ(img.pixel(99, 12), Ref(0xC6C6C6));
    EXPECT_EQ(img.pixel(26, 13), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(25, 12), Ref(0xF7F8F9));
    EXPECT_EQ(img.pixel(10, 12), Ref(0xD1D8DB));
    EXPECT_EQ(img.pixel(50, 11), Ref(0xF7F8F9));
    EXPECT_EQ(img.pixel(50, 14), Ref(0xF7F8F9));
}

TEST(MenuPainting, CheckMarkBoxAndStrokes)
{
    struct Case {
        bool disabled;
        QRgb mark;
    };
    for (const Case& c : { Case { false, Ref(0x21A221) }, Case { true, Ref(0xBDCBCE) } }) {
        QImage img = Canvas(100, 26);
        {
            QPainter p(&img);
            ChromeStyle::DrawItemBackground(p, QRect(0, 0, 100, 26), false);
            ChromeStyle::DrawCheckMark(p, QRect(0, 0, 100, 26), false, c.disabled, true);
        }
        // Box (3, 3) 20 x 20; inner box from (6, 6); strokes start at y 2,3,4,3,2,1,0.
        if (!c.disabled) {
            EXPECT_EQ(img.pixel(3, 3), Ref(0x845118));
            EXPECT_EQ(img.pixel(22, 22), Ref(0x845118));
        }
        const int starts[7] = { 2, 3, 4, 3, 2, 1, 0 };
        for (int i = 0; i < 7; ++i) {
            EXPECT_EQ(img.pixel(6 + i, 6 + starts[i]), c.mark) << i;
            EXPECT_EQ(img.pixel(6 + i, 6 + starts[i] + 2), c.mark) << i;
            EXPECT_NE(img.pixel(6 + i, 6 + starts[i] + 3), c.mark) << i;
        }
        EXPECT_EQ(img.pixel(4, 4), Ref(0xD1D8DB)); // the box is framed, not filled
    }
    QImage unchecked = Canvas(100, 26);
    {
        QPainter p(&unchecked);
        ChromeStyle::DrawItemBackground(p, QRect(0, 0, 100, 26), false);
        ChromeStyle::DrawCheckMark(p, QRect(0, 0, 100, 26), false, false, false);
    }
    EXPECT_EQ(unchecked.pixel(3, 3), Ref(0xD1D8DB));
}

TEST(MenuPainting, TopLevelButtonBackgrounds)
{
    QImage img = Canvas(40, 20);
    {
        QPainter p(&img);
        ChromeStyle::DrawButtonBackground(p, QRect(0, 0, 40, 20), true, false);
    }
    EXPECT_EQ(img.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(20, 19), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(20, 10), Ref(0xF7F8F9));
    {
        QPainter p(&img);
        ChromeStyle::DrawButtonBackground(p, QRect(0, 0, 40, 20), false, true);
    }
    EXPECT_EQ(img.pixel(0, 10), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(39, 10), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(20, 0), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(20, 19), Ref(0xF7F8F9)); // open at the bottom
}

using PopupPainting = ReBarWindow;

TEST_F(PopupPainting, ItemsAreAtLeastTwentySixHighWithPicturesWhereTheCommandHasOne)
{
    QMenu* tool = rebar.MenuBar()->GetMenu()[2];
    const QImage img = OpenAndGrab(tool);
    for (QAction* a : tool->actions())
        EXPECT_GE(tool->actionGeometry(a).height(), 26) << a->text().toStdString();

    auto columnIsPlain = [](QMenu* menu, const QImage& pixels, QAction* a) {
        const QRect r = menu->actionGeometry(a);
        for (int y = r.top() + 1; y < r.bottom(); ++y)
            for (int x = r.left() + 1; x < r.left() + 23; ++x)
                if (pixels.pixel(x, y) != Ref(0xD1D8DB))
                    return false;
        return true;
    };
    // Every Tool command has a picture, no View command has one.
    for (QAction* a : tool->actions())
        EXPECT_FALSE(columnIsPlain(tool, img, a)) << a->text().toStdString();
    tool->close();
    QApplication::processEvents();
    QMenu* view = rebar.MenuBar()->GetMenu()[3];
    const QImage viewPixels = OpenAndGrab(view);
    for (QAction* a : view->actions())
        EXPECT_TRUE(columnIsPlain(view, viewPixels, a)) << a->text().toStdString();
    view->close();
}

TEST_F(PopupPainting, SeparatorIsAThinLineBetweenFullHeightItems)
{
    QMenu* file = rebar.MenuBar()->GetMenu()[0];
    const QImage img = OpenAndGrab(file);
    const QList<QAction*> items = file->actions();
    ASSERT_GE(items.size(), 4);
    ASSERT_TRUE(items[2]->isSeparator()); // between "Save &Log" and "E&xit"
    const QRect above = file->actionGeometry(items[1]);
    const QRect r = file->actionGeometry(items[2]);
    const QRect below = file->actionGeometry(items[3]);
    EXPECT_GE(above.height(), 26);
    EXPECT_GE(below.height(), 26);
    // Half a menu bar's height, not a blank item's 26 pixels.
    EXPECT_EQ(r.height(), GetSystemMetrics(SM_CYMENU) / 2);
    EXPECT_EQ(below.top() - above.bottom() - 1, r.height());
    const int mid = r.top() + r.height() / 2;
    EXPECT_EQ(img.pixel(r.left() + 40, mid - 1), Ref(0xC6C6C6));
    EXPECT_EQ(img.pixel(r.left() + 40, mid), qRgb(255, 255, 255));
    file->close();
}

TEST_F(PopupPainting, SelectedAndCheckedItemsUseTheirColours)
{
    QMenu* setting = rebar.MenuBar()->GetMenu()[1];
    QAction* hex = setting->actions()[5];
    hex->setCheckable(true);
    hex->setChecked(true);
    setting->popup(window.mapToGlobal(QPoint(10, 40)));
    QApplication::processEvents();
    setting->setActiveAction(setting->actions()[0]);
    QApplication::processEvents();
    const QImage img = setting->grab().toImage();
    const QRect sel = setting->actionGeometry(setting->actions()[0]);
    EXPECT_EQ(img.pixel(sel.left(), sel.center().y()), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(sel.right() - 2, sel.center().y()), Ref(0xCFB9B1));
    const QRect checked = setting->actionGeometry(hex);
    EXPECT_EQ(img.pixel(checked.left() + 6 + 6, checked.top() + 6), Ref(0x21A221));
    EXPECT_EQ(img.pixel(checked.right() - 2, checked.center().y()), Ref(0xF7F8F9));
    setting->close();
}

namespace {

// Spread of the channels of the pixels in a box that differ from a background.
struct Spread {
    int changed = 0;
    int widest = 0;
};

Spread ColourSpread(const QImage& img, const QRect& box, QRgb background)
{
    Spread s;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x) {
            const QRgb p = img.pixel(x, y);
            if (p == background)
                continue;
            ++s.changed;
            const int hi = std::max({ qRed(p), qGreen(p), qBlue(p) });
            const int lo = std::min({ qRed(p), qGreen(p), qBlue(p) });
            s.widest = std::max(s.widest, hi - lo);
        }
    return s;
}

} // namespace

TEST_F(PopupPainting, DisabledItemsShowTheGreyPicture)
{
    QMenu* file = rebar.MenuBar()->GetMenu()[0];
    QAction* save = file->actions()[0]; // blue picture
    const QImage enabled = OpenAndGrab(file);
    const QRect r = file->actionGeometry(save);
    const QRect picture(r.left() + 2, r.top() + (r.height() - 22) / 2, 16, 15);
    const Spread normal = ColourSpread(enabled, picture, Ref(0xD1D8DB));
    EXPECT_GT(normal.changed, 50);
    EXPECT_GT(normal.widest, 60);
    file->close();
    QApplication::processEvents();

    save->setEnabled(false);
    const QImage disabled = OpenAndGrab(file);
    const Spread grey = ColourSpread(disabled, picture, Ref(0xD1D8DB));
    EXPECT_GT(grey.changed, 50);
    EXPECT_LE(grey.widest, 12);
    file->close();
}

TEST_F(ReBarWindow, DisabledToolbarButtonShowsTheGreyPicture)
{
    CTrueColorToolBar* bar = rebar.ToolBar();
    QAction* save = bar->actions()[0];
    QWidget* button = bar->Button(32807);
    const QRect icon(4, 3, 24, 25);
    // The band behind the button is grey, so only the picture brings colour.
    EXPECT_GT(ColourSpread(button->grab().toImage(), icon, 0).widest, 60);
    save->setEnabled(false);
    QApplication::processEvents();
    const Spread grey = ColourSpread(button->grab().toImage(), icon, 0);
    EXPECT_LE(grey.widest, 12);
}

TEST_F(ReBarWindow, OpenPopupPressesItsTopLevelButton)
{
    CMenuBarCtrl* bar = rebar.MenuBar();
    ASSERT_TRUE(bar->OpenMenuByKey(QLatin1Char('v')));
    QApplication::processEvents();
    const QImage img = bar->grab().toImage();
    const QRect r = bar->actionGeometry(bar->actions()[3]);
    const int midX = r.center().x(), midY = r.center().y();
    EXPECT_EQ(img.pixel(r.left(), midY), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(r.right(), midY), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(midX, r.top()), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(midX, r.bottom()), Ref(0xF7F8F9));
    EXPECT_EQ(img.pixel(r.left() + 2, r.top() + 2), Ref(0xF7F8F9));
    bar->GetMenu()[3]->close();
}

namespace {

// Where a picture's opaque pixels appear unchanged in a grab; (-1, -1) if nowhere.
QPoint FindPicture(const QImage& grab, const QImage& picture)
{
    for (int oy = 0; oy + picture.height() <= grab.height(); ++oy)
        for (int ox = 0; ox + picture.width() <= grab.width(); ++ox) {
            bool all = true;
            for (int y = 0; y < picture.height() && all; ++y)
                for (int x = 0; x < picture.width() && all; ++x)
                    if (qAlpha(picture.pixel(x, y)) == 255)
                        all = (grab.pixel(ox + x, oy + y) | 0xFF000000) == picture.pixel(x, y);
            if (all)
                return { ox, oy };
        }
    return { -1, -1 };
}

} // namespace

TEST_F(ReBarWindow, ButtonUnderTheMouseShowsTheDarkerPicture)
{
    CTrueColorToolBar* bar = rebar.ToolBar();
    QWidget* button = bar->Button(32807);
    const QImage normal = (*bar->Images().GetImageList(0))[0];
    const QImage hot = (*bar->Images().GetImageList(1))[0];
    const QPoint at = FindPicture(button->grab().toImage(), normal);
    EXPECT_GE(at.x(), 0);
    QTest::mouseMove(button, QPoint(16, 16));
    QApplication::processEvents();
    ASSERT_TRUE(button->underMouse());
    const QImage hovered = button->grab().toImage();
    EXPECT_EQ(FindPicture(hovered, hot), at);
    EXPECT_EQ(FindPicture(hovered, normal), QPoint(-1, -1));
}
