#include "ui/controls/CFlatHeaderCtrl.h"
#include "ui/controls/CHeaderDragWnd.h"
#include "ui/controls/CHeaderDropWnd.h"
#include "ui/controls/WinLook.h"

#include <QApplication>
#include <QStandardItemModel>
#include <QTest>
#include <gtest/gtest.h>

using namespace ulv;

namespace {

struct Header {
    Header()
        : model(1, 4)
    {
        for (int c = 0; c < 4; ++c)
            model.setHorizontalHeaderItem(c, new QStandardItem(QStringLiteral("Col %1").arg(c)));
        header.setModel(&model);
        for (int c = 0; c < 4; ++c)
            header.resizeSection(c, 80);
        header.SetDragDropStyle(true);
        header.resize(320, 22);
        header.show();
        QApplication::processEvents();
    }
    // The middle of a column, or a point just left of a column's middle.
    QPoint Before(int visual) const { return {visual * 80 + 20, 10}; }
    void Drag(int fromVisual, const QPoint& to)
    {
        QWidget* vp = header.viewport();
        const QPoint from(fromVisual * 80 + 40, 10);
        QTest::mousePress(vp, Qt::LeftButton, {}, from);
        QTest::mouseMove(vp, from + QPoint(10, 0));
        QTest::mouseMove(vp, to);
        QTest::mouseRelease(vp, Qt::LeftButton, {}, to);
    }
    std::vector<int> Order() const
    {
        std::vector<int> out;
        for (int v = 0; v < 4; ++v)
            out.push_back(header.logicalIndex(v));
        return out;
    }
    QStandardItemModel model;
    CFlatHeaderCtrl header;
};

TEST(FlatHeaderDrag, DraggingAColumnBeforeAnotherReordersThem)
{
    const struct {
        int from;
        QPoint to;
        std::vector<int> order;
    } cases[] = {
        {0, {3 * 80 + 20, 10}, {1, 2, 0, 3}}, // just before column 3
        {0, {0 * 80 + 20, 10}, {0, 1, 2, 3}}, // its own place
        {0, {1 * 80 + 20, 10}, {0, 1, 2, 3}}, // just after itself
        {3, {0 * 80 + 20, 10}, {3, 0, 1, 2}},
        {1, {3 * 80 + 60, 10}, {0, 2, 3, 1}}, // right of the last middle: the end
        {2, {500, 10}, {0, 1, 2, 3}}, // off the header
    };
    for (const auto& c : cases) {
        Header h;
        h.Drag(c.from, c.to);
        EXPECT_EQ(h.Order(), c.order) << c.from << " to " << c.to.x();
        EXPECT_FALSE(h.header.IsDragging());
        EXPECT_EQ(h.header.DragWindow(), nullptr);
        EXPECT_EQ(h.header.DropMarker(), nullptr);
    }
}

TEST(FlatHeaderDrag, DropResultTellsWhereTheCursorIs)
{
    Header h;
    QWidget target;
    target.setGeometry(h.header.mapToGlobal(QPoint(0, 200)).x(), h.header.mapToGlobal(QPoint(0, 200)).y(), 100, 50);
    target.show();
    h.header.SetHeaderProperty(FH_PROPERTY_DROPTARGET, reinterpret_cast<quintptr>(&target));
    QWidget* vp = h.header.viewport();
    QTest::mousePress(vp, Qt::LeftButton, {}, QPoint(40, 10));
    QTest::mouseMove(vp, QPoint(50, 10));
    ASSERT_TRUE(h.header.IsDragging());
    ASSERT_NE(h.header.DragWindow(), nullptr);
    EXPECT_EQ(h.header.DragWindow()->size(), QSize(80, 22));
    EXPECT_EQ(h.header.GetDropResult(), 0);
    QTest::mouseMove(vp, QPoint(180, 10)); // left half of the third column
    EXPECT_EQ(h.header.DropPosition(), 2);
    ASSERT_NE(h.header.DropMarker(), nullptr);
    EXPECT_EQ(h.header.DropMarker()->height(), 22 + 20);
    // Centred on the left edge - 1 of the column at the drop position.
    EXPECT_EQ(h.header.DropMarker()->x(), h.header.mapToGlobal(QPoint(159, 0)).x() - 6);
    EXPECT_EQ(h.header.DropMarker()->y(), h.header.mapToGlobal(QPoint(0, 11)).y() - 21);
    QTest::mouseMove(vp, QPoint(20, 210));
    EXPECT_EQ(h.header.GetDropResult(), 1) << "over the drop target";
    EXPECT_EQ(h.header.DropPosition(), -1);
    QTest::mouseMove(vp, QPoint(20, 400));
    EXPECT_EQ(h.header.GetDropResult(), -1);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(20, 400));
    EXPECT_EQ(h.Order(), (std::vector<int>{0, 1, 2, 3}));
}

TEST(FlatHeaderDrag, AParentThatRefusesTheStartGetsNoPictureAndNoMove)
{
    Header h;
    std::vector<int> codes;
    QObject::connect(&h.header, &CFlatHeaderCtrl::HeaderDragNotify, [&](int code, int item, bool* refuse) {
        codes.push_back(code);
        EXPECT_EQ(item, 0);
        *refuse = code == HDN_BEGINDRAG;
    });
    QWidget* vp = h.header.viewport();
    QTest::mousePress(vp, Qt::LeftButton, {}, QPoint(40, 10));
    QTest::mouseMove(vp, QPoint(50, 10));
    QTest::mouseMove(vp, QPoint(260, 10));
    EXPECT_TRUE(h.header.IsDragging());
    EXPECT_EQ(h.header.DragWindow(), nullptr);
    EXPECT_EQ(h.header.DropMarker(), nullptr);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(260, 10));
    EXPECT_EQ(codes, (std::vector<int>{HDN_BEGINDRAG, HDN_ENDDRAG}));
    EXPECT_EQ(h.Order(), (std::vector<int>{0, 1, 2, 3}));
}

TEST(FlatHeaderDrag, WithoutTheStyleNothingIsDragged)
{
    Header h;
    h.header.SetDragDropStyle(false);
    h.Drag(0, {3 * 80 + 20, 10});
    EXPECT_EQ(h.Order(), (std::vector<int>{0, 1, 2, 3}));
}

TEST(FlatHeaderCtrl, StaticBorderWidensTheLayout)
{
    Header h;
    const int plain = h.header.sizeHint().width();
    EXPECT_TRUE(h.header.SetHeaderProperty(FH_PROPERTY_STATICBORDER, 1));
    EXPECT_EQ(h.header.sizeHint().width(), plain + 2 * GetSystemMetrics(SM_CXBORDER));
}

TEST(FlatHeaderCtrl, RemovingColumnsPastTheLimitsIsHarmless)
{
    Header h;
    HeaderColumnLimits limits;
    limits.flags = HCL_FIXED;
    ASSERT_TRUE(h.header.SetColumnLimits(3, limits));
    h.model.removeColumns(1, 3);
    EXPECT_FALSE(h.header.GetColumnLimits(1, &limits));
    // A removal the header never had limits for leaves the rest alone.
    h.model.insertColumns(1, 1);
    EXPECT_TRUE(h.header.GetColumnLimits(1, &limits));
    EXPECT_EQ(limits.flags, 0u);
}

} // namespace
