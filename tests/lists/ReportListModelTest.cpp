#include "ui/core/ReportListModel.h"

#include <QItemSelectionModel>
#include <gtest/gtest.h>

using namespace ulv;

TEST(ReportListModel, SortMovesWholeRowsAndKeepsSelection)
{
    ReportListModel m;
    m.InsertColumn(0, "N", Qt::AlignLeft);
    m.InsertColumn(1, "Name", Qt::AlignLeft);
    const char* rows[][2] = {{"10", "ten"}, {"9", "nine"}, {"100", "hundred"}};
    for (auto& r : rows) {
        const int i = m.InsertRow(m.rowCount(), {r[0], r[1]});
        m.RowAt(i)->stored = QStringList{r[0], r[1]};
        m.RowAt(i)->value = QString(r[0]).toInt();
    }
    QItemSelectionModel sel(&m);
    sel.select(m.index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);

    m.SortByStored(0, true);
    EXPECT_EQ(m.Text(0, 1), "nine");
    EXPECT_EQ(m.Text(1, 1), "ten");
    EXPECT_EQ(m.Text(2, 1), "hundred");
    EXPECT_EQ(m.RowAt(0)->value, 9);
    EXPECT_TRUE(sel.isRowSelected(2, {}));

    m.SortByStored(0, false);
    EXPECT_EQ(m.Text(0, 1), "hundred");
    EXPECT_TRUE(sel.isRowSelected(0, {}));
    EXPECT_FALSE(sel.isRowSelected(2, {}));
}

TEST(ReportListModel, IndexesOutOfRangeAreRefused)
{
    ReportListModel m;
    m.InsertColumn(0, "A", Qt::AlignLeft);
    EXPECT_EQ(m.InsertRow(99, {"x"}), 0);
    EXPECT_FALSE(m.SetText(1, 0, "y"));
    EXPECT_FALSE(m.SetText(0, 1, "y"));
    EXPECT_FALSE(m.RemoveRow(-1));
    EXPECT_EQ(m.Text(5, 0), QString());
    EXPECT_EQ(m.InsertColumn(-4, "B", Qt::AlignRight), 0);
    EXPECT_EQ(m.Text(0, 0), QString());
    EXPECT_EQ(m.Text(0, 1), "x");
}

TEST(ReportListModel, ACellShowsItsLinesOnOneLineAndKeepsItsText)
{
    ReportListModel m;
    m.InsertColumn(0, "Function", Qt::AlignLeft);
    struct Case {
        QString stored, shown;
    };
    const Case cases[] = {
        {"Signal quality", "Signal quality"},
        {"AT+CGMI=?  test\r\nAT+CGMI  read", "AT+CGMI=?  test AT+CGMI  read"},
        {"a\nb\rc", "a b c"},
        {"\r\n\r\n", "  "},
        {"", ""},
    };
    for (const Case& c : cases) {
        const int row = m.InsertRow(m.rowCount(), {c.stored});
        EXPECT_EQ(m.data(m.index(row, 0), Qt::DisplayRole).toString(), c.shown);
        EXPECT_EQ(m.Text(row, 0), c.stored);
    }
}
