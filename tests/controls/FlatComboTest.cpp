#include "ControlTestUtil.h"
#include "ui/controls/CFlatCombo.h"
#include "ui/controls/CFlatComboBox.h"

#include <QCompleter>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace ulv;
using ulv::test::Grab;

namespace {

struct ComboFixture {
    QWidget parent;
    CFlatComboBox* combo;
    ComboFixture()
    {
        parent.resize(200, 60);
        combo = new CFlatComboBox(&parent);
        combo->setGeometry(10, 10, 120, 24);
        combo->addItems({"9600", "57600", "115200"});
        parent.show();
    }
};

} // namespace

TEST(FlatComboBox, DropButtonIsAGreySquareWithABlackArrow)
{
    ComboFixture f;
    CFlatComboBox& c = *f.combo;
    // 120 x 24: frames at 1 and 2, the 17-pixel button from x 101, its inside 103..114 x 4..19.
    const QRect inside = c.ButtonInsideRect();
    EXPECT_EQ(inside, QRect(103, 4, 13, 16));
    const QImage img = Grab(c);
    const int cx = inside.left() + inside.width() / 2, cy = inside.top() + inside.height() / 2;
    EXPECT_EQ(img.pixel(inside.left() + 1, inside.top() + 1), ColorRefToRgb(0xCDCDCD));
    EXPECT_EQ(img.pixel(inside.right() - 1, inside.bottom() - 1), ColorRefToRgb(0xCDCDCD));
    EXPECT_EQ(img.pixel(cx, cy), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(cx - 3, cy - 2), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(cx, cy + 2), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(cx, cy + 4), ColorRefToRgb(0xCDCDCD));
    EXPECT_EQ(img.pixel(1, 1), SysRgb(COLOR_BTNFACE)) << "the sunken border is painted over";
}

TEST(FlatComboBox, EdgeIsFlatRaisedOnHoverAndPressedWhileHeld)
{
    ComboFixture f;
    CFlatComboBox& c = *f.combo;
    const QRect edge = c.ButtonInsideRect().adjusted(0, -1, 0, 1);
    const QRgb hi = SysRgb(COLOR_BTNHIGHLIGHT), sh = SysRgb(COLOR_BTNSHADOW);

    QImage img = Grab(c);
    EXPECT_EQ(c.PaintedState(), CFlatComboBox::FC_DRAWNORMAL);
    EXPECT_EQ(img.pixel(edge.topLeft()), hi);
    EXPECT_EQ(img.pixel(edge.bottomRight()), hi);
    EXPECT_EQ(img.pixel(edge.left() - 1, edge.top() + 3), hi) << "double left line";

    ulv::test::SendEnter(c);
    img = Grab(c);
    EXPECT_EQ(c.PaintedState(), CFlatComboBox::FC_DRAWRAISED);
    EXPECT_EQ(img.pixel(edge.topLeft()), hi);
    EXPECT_EQ(img.pixel(edge.bottomRight()), sh);

    QMouseEvent press(QEvent::MouseButtonPress, QPointF(110, 12), c.mapToGlobal(QPointF(110, 12)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&c, &press);
    img = Grab(c);
    EXPECT_EQ(c.PaintedState(), CFlatComboBox::FC_DRAWPRESSED);
    EXPECT_EQ(img.pixel(edge.topLeft() + QPoint(1, 1)), sh);
    EXPECT_EQ(img.pixel(edge.bottomRight() + QPoint(1, 1)), hi);
    c.hidePopup();
    img = Grab(c);
    EXPECT_NE(c.PaintedState(), CFlatComboBox::FC_DRAWPRESSED);

    ulv::test::SendLeave(c);
    Grab(c);
    EXPECT_EQ(c.PaintedState(), CFlatComboBox::FC_DRAWNORMAL);
}

TEST(FlatComboBox, DisabledDrawsNoEdgeAndAHighlightFrame)
{
    ComboFixture f;
    CFlatComboBox& c = *f.combo;
    c.setEnabled(false);
    const QRect edge = c.ButtonInsideRect().adjusted(0, -1, 0, 1);
    const QImage img = Grab(c);
    EXPECT_EQ(img.pixel(1, 1), SysRgb(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(img.pixel(edge.topLeft()), SysRgb(COLOR_BTNFACE)) << "no edge";
    EXPECT_EQ(img.pixel(edge.left() + 1, edge.top() + 2), ColorRefToRgb(0xCDCDCD));
}

TEST(FlatComboBox, SelectionReachesTheOwnerAndCompletionStaysOff)
{
    ComboFixture f;
    CFlatComboBox& c = *f.combo;
    QSignalSpy changed(&c, &QComboBox::currentIndexChanged);
    c.setCurrentIndex(2);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(c.currentText(), "115200");

    c.setEditable(true);
    QApplication::processEvents();
    EXPECT_EQ(c.completer(), nullptr);
    EXPECT_TRUE(c.EnableAutoComplete(true));
    ASSERT_NE(c.completer(), nullptr);
    EXPECT_EQ(c.completer()->completionMode(), QCompleter::InlineCompletion);
    EXPECT_FALSE(c.EnableAutoComplete(false));
    EXPECT_EQ(c.completer(), nullptr);
}

TEST(FlatCombo, FramesInTheStateColoursWithoutButtonFace)
{
    QWidget parent;
    auto* c = new CFlatCombo(&parent);
    c->setGeometry(0, 0, 120, 24);
    parent.show();
    QImage img = Grab(*c);
    EXPECT_EQ(c->PaintedState(), CFlatComboBox::FC_DRAWNORMAL);
    EXPECT_EQ(img.pixel(0, 0), SysRgb(COLOR_BTNFACE));
    ulv::test::SendEnter(*c);
    img = Grab(*c);
    EXPECT_EQ(c->PaintedState(), CFlatComboBox::FC_DRAWRAISED);
    EXPECT_EQ(img.pixel(0, 0), SysRgb(COLOR_BTNSHADOW));
    EXPECT_EQ(img.pixel(119, 23), SysRgb(COLOR_BTNHIGHLIGHT));
}
