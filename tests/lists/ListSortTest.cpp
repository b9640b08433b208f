#include "ui/core/ListSort.h"

#include <gtest/gtest.h>

using namespace ulv;

namespace {

QStringList Sorted(const QStringList& keys, bool ascending)
{
    QStringList out;
    for (int i : SortedRowOrder(keys, ascending))
        out << keys[i];
    return out;
}

} // namespace

TEST(ListSort, ColumnSortsByTheKindOfItsTexts)
{
    struct Case {
        QStringList keys;
        QStringList ascending;
        QStringList descending;
    } cases[] = {
        {{"10", "9", "100"}, {"9", "10", "100"}, {"100", "10", "9"}},
        {{"05/01/2009", "12/12/2008", "01/02/2009"},
         {"12/12/2008", "05/01/2009", "01/02/2009"},
         {"01/02/2009", "05/01/2009", "12/12/2008"}},
        // Text in a fixed English collation: letters before case, lower case first.
        {{"beta", "Alpha", "alpha", "Beta"}, {"alpha", "Alpha", "beta", "Beta"}, {"Beta", "beta", "Alpha", "alpha"}},
        // Longer than an int: saturates to the largest int instead of wrapping
        // to a small or negative number, so it ties with it and keeps its place.
        {{"99999999999999999999", "5", "2147483647"},
         {"5", "99999999999999999999", "2147483647"},
         {"99999999999999999999", "2147483647", "5"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Sorted(c.keys, true), c.ascending) << c.keys.join('|').toStdString();
        EXPECT_EQ(Sorted(c.keys, false), c.descending) << c.keys.join('|').toStdString();
    }
}

TEST(ListSort, FirstTextPicksTheRule)
{
    struct Case {
        const char* a;
        const char* b;
        int expected;
    } cases[] = {
        {"", "abc", 0},      // empty counts as digits, abc as 0
        {"12", "abc", 1},    // numeric: 12 > 0
        {"abc", "12", 1},    // textual: letters after digits
        {"abc", "", 1},      // textual
        {"7", "7x", 0},      // leading integer of the second text
        {"01/02/2009", "31/01/2009", 1},
        {"01/02/2009", "x", 1},  // second text read as a date: all zero
        {"1/02/2009", "01/02/2009", 1}, // not a date shape: text
    };
    for (const Case& c : cases)
        EXPECT_EQ(CompareCells(c.a, c.b, true), c.expected) << c.a << " vs " << c.b;
    // Descending swaps the operands first, so here abc picks the rule: textual.
    EXPECT_EQ(CompareCells("12", "abc", false), 1);
    EXPECT_EQ(CompareCells("abc", "12", false), 1);
}

TEST(ListSort, DateShape)
{
    EXPECT_TRUE(IsDate("31/12/1999"));
    for (const char* t : {"31-12-1999", "31/12/99", "3a/12/1999", "31/12/19999", ""})
        EXPECT_FALSE(IsDate(t)) << t;
}

TEST(ListSort, MixedColumnKeepsEveryRowAndStaysStable)
{
    // The rules are not a consistent order on such a column; the sort must
    // still end with every row present exactly once.
    const QStringList keys = {"abc", "12", "", "abc", "12", "", "zz", "3", "01/01/2000", "x"};
    for (bool asc : {true, false}) {
        std::vector<int> order = SortedRowOrder(keys, asc);
        std::vector<int> seen = order;
        std::sort(seen.begin(), seen.end());
        for (int i = 0; i < keys.size(); ++i)
            ASSERT_EQ(seen[i], i);
    }
    // Equal rows keep their earlier order in both directions.
    const QStringList same = {"5", "05", "5", "005"};
    EXPECT_EQ(SortedRowOrder(same, true), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(SortedRowOrder(same, false), (std::vector<int>{0, 1, 2, 3}));
}

TEST(ListSort, StableSortOrderHandlesEveryLength)
{
    for (int n : {0, 1, 2, 3, 7, 64, 65}) {
        std::vector<int> values(n);
        for (int i = 0; i < n; ++i)
            values[i] = (i * 37) % 11;
        const std::vector<int> order = StableSortOrder(n, [&](int a, int b) {
            return values[a] < values[b] ? -1 : (values[a] > values[b] ? 1 : 0);
        });
        ASSERT_EQ(static_cast<int>(order.size()), n);
        for (int i = 1; i < n; ++i) {
            ASSERT_LE(values[order[i - 1]], values[order[i]]);
            if (values[order[i - 1]] == values[order[i]]) {
                ASSERT_LT(order[i - 1], order[i]);
            }
        }
    }
}
