#include "platform/ProfileStore.h"
#include "ui/controls/CColumnSortListCtrl.h"
#include "ui/controls/CFlatHeaderListCtrl.h"
#include "ui/controls/CSortableListCtrl.h"
#include "ui/core/ListHeadings.h"

#include <QFont>
#include <QTest>
#include <gtest/gtest.h>

using namespace ulv;

namespace {

constexpr QRgb kFace = 0xFFCDCDCD;

void ClickHeader(QHeaderView* header, int column, int x = -1)
{
    const int left = header->sectionViewportPosition(column);
    const QPoint at(x >= 0 ? left + x : left + header->sectionSize(column) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

QStringList Column(const ReportListView& list, int column)
{
    QStringList out;
    for (int row = 0; row < list.GetItemCount(); ++row)
        out << list.GetItemText(row, column);
    return out;
}

template <class List>
void Show(List& list)
{
    list.resize(420, 200);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
}

} // namespace

TEST(SortableListCtrl, HeaderClicksSortByTheRowsOwnTexts)
{
    CSortableListCtrl list;
    list.InsertColumn(0, "Size", LVCFMT_LEFT, 80);
    list.InsertColumn(1, "Date", LVCFMT_LEFT, 100);
    list.InsertColumn(2, "Name", LVCFMT_LEFT, 100);
    list.SetColumnCount(3);
    EXPECT_EQ(list.AddRow({"10", "05/01/2009", "ten"}), 0);
    EXPECT_EQ(list.AddRow({"9", "12/12/2008", "nine"}), 1);
    EXPECT_EQ(list.AddRow({"100", "01/02/2009", "hundred"}), 2);
    EXPECT_EQ(list.AddRow({"too", "few"}), -1);
    list.SetRowValue(2, 42);
    Show(list);
    QHeaderView* header = list.horizontalHeader();

    ClickHeader(header, 0);
    EXPECT_EQ(Column(list, 0), (QStringList{"9", "10", "100"}));
    EXPECT_EQ(Column(list, 2), (QStringList{"nine", "ten", "hundred"}));
    EXPECT_EQ(list.GetRowValue(2), 42);
    ClickHeader(header, 0);
    EXPECT_EQ(Column(list, 0), (QStringList{"100", "10", "9"}));

    // A new column starts ascending whatever the last direction was.
    ClickHeader(header, 1);
    EXPECT_EQ(Column(list, 1), (QStringList{"12/12/2008", "05/01/2009", "01/02/2009"}));
    bool ascending = false;
    EXPECT_EQ(list.GetHeaderCtrl()->GetSortColumn(&ascending), 1);
    EXPECT_TRUE(ascending);

    // The sort reads the stored copies; a cell changed behind its back keeps
    // its row where the copy puts it.
    list.SetCellText(0, 2, "zzz");
    list.SetItemText(1, 2, "aaa");
    ClickHeader(header, 2);
    EXPECT_EQ(Column(list, 2), (QStringList{"hundred", "aaa", "zzz"}));
    EXPECT_EQ(list.GetRowStrings(1), (QStringList{"10", "05/01/2009", "ten"}));
}

TEST(SortableListCtrl, MixedColumnSortsWithoutFault)
{
    CSortableListCtrl list;
    list.InsertColumn(0, "Value", LVCFMT_LEFT, 80);
    list.SetColumnCount(1);
    const QStringList texts = {"abc", "12", "", "abc", "7", "", "x1", "99999999999999999999"};
    for (const QString& t : texts)
        list.AddRow({t});
    Show(list);
    for (int i = 0; i < 3; ++i) {
        ClickHeader(list.horizontalHeader(), 0);
        QStringList now = Column(list, 0);
        QStringList expected = texts;
        now.sort();
        expected.sort();
        ASSERT_EQ(now, expected);
    }
}

TEST(SortableListCtrl, LayoutEntryIsWrittenEmpty)
{
    CSortableListCtrl list;
    list.SetDlgCtrlID(1207);
    list.InsertColumn(0, "APN", LVCFMT_LEFT, 120);
    ASSERT_TRUE(list.SaveLayout());
    EXPECT_TRUE(ProfileStore::HasEntry("ListCtrls", "1207"));
    EXPECT_TRUE(ProfileStore::GetBinary("ListCtrls", "1207").isEmpty());
    EXPECT_TRUE(list.LoadLayout());
    EXPECT_EQ(list.GetColumnWidth(0), 120);
}

TEST(FlatHeaderListCtrl, HeaderClickMovesOnlyTheMark)
{
    CFlatHeaderListCtrl list;
    list.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    list.InsertColumn(0, "Index", LVCFMT_LEFT, 60);
    list.InsertColumn(1, "Command", LVCFMT_LEFT, 160);
    for (const char* t : {"3", "1", "2"}) {
        const int row = list.InsertItem(list.GetItemCount(), t);
        list.SetItemText(row, 1, QString("AT+%1").arg(t));
    }
    Show(list);
    CFlatHeaderCtrl* header = list.GetHeaderCtrl();
    bool ascending = false;
    EXPECT_EQ(header->GetSortColumn(&ascending), -1);

    struct Step {
        int click;
        int column;
        bool ascending;
    } steps[] = {{1, 1, true}, {1, 1, false}, {0, 0, true}, {0, 0, false}, {1, 1, true}};
    for (const Step& s : steps) {
        ClickHeader(header, s.click);
        EXPECT_EQ(header->GetSortColumn(&ascending), s.column);
        EXPECT_EQ(ascending, s.ascending);
    }
    EXPECT_EQ(Column(list, 0), (QStringList{"3", "1", "2"}));
}

TEST(FlatHeaderListCtrl, ItemCalls)
{
    CFlatHeaderListCtrl list;
    list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    list.InsertColumn(0, "A", LVCFMT_LEFT, 60);
    list.InsertColumn(1, "B", LVCFMT_RIGHT, 60);
    for (int i = 0; i < 4; ++i)
        list.InsertItem(i, QString::number(i));
    EXPECT_EQ(list.InsertItem(0, "first"), 0);
    EXPECT_EQ(list.GetItemCount(), 5);
    EXPECT_TRUE(list.SetItemText(4, 1, "b3"));
    EXPECT_FALSE(list.SetItemText(5, 0, "none"));
    EXPECT_EQ(list.GetItemText(4, 1), "b3");
    EXPECT_TRUE(list.SetItemData(2, 77));
    EXPECT_EQ(list.GetItemData(2), 77u);
    EXPECT_EQ(list.GetSelectionMark(), -1);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), -1);
    Show(list);

    // A click on a row selects it and makes it the selection mark.
    const QRect row3 = list.visualRect(list.Model()->index(3, 0));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, row3.center());
    EXPECT_EQ(list.GetSelectionMark(), 3);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 3);
    EXPECT_EQ(list.GetNextItem(3, LVNI_SELECTED), -1);
    EXPECT_EQ(list.GetSelectedCount(), 1);
    QTest::mouseMove(list.viewport(), list.visualRect(list.Model()->index(1, 1)).center());
    EXPECT_EQ(list.GetHotItem(), 1);

    EXPECT_TRUE(list.DeleteItem(0));
    EXPECT_EQ(list.GetItemText(0, 0), "0");
    EXPECT_EQ(list.GetItemData(1), 77u);
    EXPECT_FALSE(list.DeleteItem(9));
    EXPECT_TRUE(list.DeleteAllItems());
    EXPECT_EQ(list.GetItemCount(), 0);
}

TEST(FlatHeaderCtrl, PaintsFlatFaceDividersFrameAndArrow)
{
    CFlatHeaderListCtrl list;
    // Empty labels keep the arrow at a known place: the item's left edge plus
    // the spacing.
    for (int i = 0; i < 3; ++i)
        list.InsertColumn(i, QString(), LVCFMT_LEFT, 60);
    Show(list);
    CFlatHeaderCtrl* header = list.GetHeaderCtrl();
    const QRgb hi = SysRgb(COLOR_BTNHIGHLIGHT), sh = SysRgb(COLOR_BTNSHADOW);
    const int h = header->viewport()->height();
    const int y = (h - 8 - 1) / 2;

    auto grab = [&] { return header->viewport()->grab().toImage(); };
    QImage img = grab();
    EXPECT_EQ(img.pixel(30, h / 2), kFace);
    // Divider between the first two: shadow at right - 1, highlight at right.
    EXPECT_EQ(img.pixel(59, h / 2), sh);
    EXPECT_EQ(img.pixel(60, h / 2), hi);
    EXPECT_EQ(img.pixel(59, 1), kFace);
    // Frame: highlight above and left, shadow below and right, only as wide as
    // the columns.
    EXPECT_EQ(img.pixel(30, 0), hi);
    EXPECT_EQ(img.pixel(0, h / 2), hi);
    EXPECT_EQ(img.pixel(30, h - 1), sh);
    EXPECT_EQ(img.pixel(179, h / 2), sh);
    EXPECT_EQ(img.pixel(200, h / 2), kFace);
    EXPECT_EQ(img.pixel(200, 0), kFace);

    struct Case {
        bool ascending;
        QPoint shadow;     // relative to the arrow's top left
        QPoint highlight;
    } cases[] = {{true, {3, 0}, {4, 0}}, {false, {3, 7}, {4, 7}}};
    for (const Case& c : cases) {
        header->SetSortColumn(1, c.ascending);
        img = grab();
        for (int column = 0; column < 3; ++column) {
            const QPoint at(column * 60 + 6, y);
            const bool sorted = column == 1;
            EXPECT_EQ(img.pixel(at + c.shadow), sorted ? sh : kFace) << column << c.ascending;
            EXPECT_EQ(img.pixel(at + c.highlight), sorted ? hi : kFace) << column << c.ascending;
        }
    }
}

TEST(FlatHeaderCtrl, WithoutColumnsOnlyTheFace)
{
    CFlatHeaderListCtrl list;
    Show(list);
    const QImage img = list.GetHeaderCtrl()->viewport()->grab().toImage();
    ASSERT_FALSE(img.isNull());
    for (const QPoint& at : {QPoint(0, 0), QPoint(img.width() / 2, img.height() - 1), QPoint(img.width() - 1, 0)})
        EXPECT_EQ(img.pixel(at), kFace) << at.x() << "," << at.y();
}

TEST(FlatHeaderCtrl, PressedColumnIsInverted)
{
    CFlatHeaderListCtrl list;
    list.InsertColumn(0, QString(), LVCFMT_LEFT, 80);
    list.InsertColumn(1, QString(), LVCFMT_LEFT, 80);
    Show(list);
    CFlatHeaderCtrl* header = list.GetHeaderCtrl();
    const int h = header->viewport()->height();
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(40, h / 2));
    QImage img = header->viewport()->grab().toImage();
    EXPECT_EQ(img.pixel(40, h / 2), qRgb(0x32, 0x32, 0x32));
    EXPECT_EQ(img.pixel(120, h / 2), kFace);
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(40, h / 2));
    img = header->viewport()->grab().toImage();
    EXPECT_EQ(img.pixel(40, h / 2), kFace);
}

TEST(FlatHeaderCtrl, ColumnLimits)
{
    CFlatHeaderListCtrl list;
    list.InsertColumn(0, "Name", LVCFMT_LEFT, 100);
    list.InsertColumn(1, "Value", LVCFMT_LEFT, 100);
    CFlatHeaderCtrl* header = list.GetHeaderCtrl();
    HeaderColumnLimits limits;
    ASSERT_TRUE(header->GetColumnLimits(1, &limits));
    EXPECT_EQ(limits.flags, 0u);
    EXPECT_EQ(limits.maxWidth, -1);
    EXPECT_FALSE(header->GetColumnLimits(2, &limits));

    EXPECT_TRUE(header->SetColumnLimits(0, {0, 20, 60}));
    EXPECT_EQ(list.GetColumnWidth(0), 60);
    header->resizeSection(0, 5);
    EXPECT_EQ(list.GetColumnWidth(0), 20);
    EXPECT_TRUE(header->SetColumnLimits(1, {HCL_FITCONTENT | HCL_FIXED, 0, -1}));
    EXPECT_EQ(list.GetColumnWidth(1), header->CalcContentWidth(1, false));
    EXPECT_EQ(header->sectionResizeMode(1), QHeaderView::Fixed);
    EXPECT_FALSE(header->SetColumnLimits(2, {}));
    EXPECT_FALSE(header->SetHeaderProperty(9, 1));
    EXPECT_TRUE(header->SetHeaderProperty(FH_PROPERTY_SPACING, 4));
}

TEST(ColumnSortListCtrl, HeadingsAndStoredWidths)
{
    const QByteArray stored = EncodeColumnLayout({80, 120});
    ProfileStore::WriteBinary("ListCtrls", "1001", stored);
    ProfileStore::WriteBinary("ListCtrls", "1002", stored.left(8));

    struct Case {
        int id;
        const char* headings;
        std::vector<int> widths;
    } cases[] = {
        {1001, "Index,50;Classification,200", {80, 120}},          // restored
        {1001, "Index,50;Classification,200;Note,30", {50, 200, 30}}, // other count: ignored
        {1002, "Index,50;Classification,200", {50, 200}},          // short: ignored
        {1003, "Index,50;Classification,200", {50, 200}},          // none stored
    };
    for (const Case& c : cases) {
        CColumnSortListCtrl list;
        list.SetDlgCtrlID(c.id);
        ASSERT_TRUE(list.SetHeadings(c.headings));
        list.LoadColumnLayout();
        std::vector<int> widths;
        for (int i = 0; i < list.GetColumnCount(); ++i)
            widths.push_back(list.GetColumnWidth(i));
        EXPECT_EQ(widths, c.widths) << c.id << " " << c.headings;
    }

    CColumnSortListCtrl list;
    list.SetDlgCtrlID(1004);
    list.SetHeadings("Index,50;Classification,200");
    EXPECT_EQ(list.Model()->Heading(1), "Classification");
    EXPECT_EQ(list.AddRow({"1", "Call"}), 0);
    list.SetColumnWidth(0, 64);
    list.SaveColumnLayout();
    EXPECT_EQ(ProfileStore::GetBinary("ListCtrls", "1004"), EncodeColumnLayout({64, 200}));
}

TEST(ColumnSortListCtrl, SortMarkPaintsOnlyTheMarkedColumnWithATriangle)
{
    CColumnSortListCtrl list;
    list.SetHeadings("Index,50;Classification,200");
    for (const char* r : {"2", "10", "1"})
        list.AddRow({r, QString("class %1").arg(r)});
    // The points checked below are for a header of this font's height.
    list.setFont(QFont("DejaVu Sans", 9));
    Show(list);
    CSortArrowHeaderCtrl* header = list.GetHeaderCtrl();
    const int h = header->viewport()->height();
    const int off = h / 4;
    const QRgb hi = SysRgb(COLOR_BTNHIGHLIGHT), sh = SysRgb(COLOR_BTNSHADOW);
    auto grab = [&] { return header->viewport()->grab().toImage(); };

    EXPECT_NE(grab().pixel(2, 2), kFace);
    ClickHeader(header, 0, 2);
    EXPECT_EQ(Column(list, 0), (QStringList{"1", "2", "10"}));
    QImage img = grab();
    EXPECT_TRUE(header->IsOwnerDrawn(0));
    EXPECT_EQ(img.pixel(2, 2), kFace);
    // Ascending triangle of column 0 (right edge 50): apex and base.
    EXPECT_EQ(img.pixel(50 - 2 * off, off), hi);
    EXPECT_EQ(img.pixel(50 - 2 * off - 1, h - off - 1), hi);
    EXPECT_EQ(img.pixel(50 - 3 * off - 1, h - off - 1), sh);
    EXPECT_NE(img.pixel(60, 2), kFace);

    ClickHeader(header, 1, 12);
    img = grab();
    EXPECT_EQ(img.pixel(2, 2), kFace);                      // keeps its grey face
    EXPECT_EQ(img.pixel(50 - 2 * off, off), kFace);          // without a triangle
    EXPECT_EQ(img.pixel(52, 2), kFace);
    EXPECT_EQ(img.pixel(250 - 2 * off, off), hi);
    ClickHeader(header, 1, 12);
    img = grab();
    // Descending: the top edge in shadow.
    EXPECT_EQ(img.pixel(250 - 2 * off, off), sh);
    EXPECT_EQ(Column(list, 1), (QStringList{"class 2", "class 10", "class 1"}));
}
