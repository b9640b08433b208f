// The text that waits for the NMEA view: its newest lines only, long lines
// broken into pieces the view can draw at the same cost per character.

#include "pages/positioning/core/ViewBacklog.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <vector>

using namespace ulv;

namespace {

QString Joined(const std::vector<ViewBacklog::Run>& runs)
{
    QString all;
    for (const ViewBacklog::Run& r : runs)
        all += r.text;
    return all;
}

TEST(ViewBacklog, KeepsLinesBreaksLongOnesAndSaysSoOncePerLine)
{
    const QString note = ViewBacklog::BreakNote(4);
    struct Case {
        const char* name;
        std::vector<QString> appends;
        QString held;
    };
    const Case cases[] = {
        {"short lines pass", {"ab\ncd\n", "e"}, "ab\ncd\ne"},
        {"a line of the bound is whole", {"abcd\nef"}, "abcd\nef"},
        {"a longer line is broken, noted once", {"abcdefghij\nk"}, "abcd\n" + note + "\nefgh\nij\nk"},
        {"the break counts what came before", {"ab", "cdef", "gh\n"}, "abcd\n" + note + "\nefgh\n"},
        {"each long line is noted", {"abcde\nfghij\n"}, "abcd\n" + note + "\ne\nfghi\n" + note + "\nj\n"},
    };
    for (const Case& c : cases) {
        ViewBacklog b(100, 4);
        for (const QString& a : c.appends)
            b.Append(a, 0);
        bool replace = true;
        EXPECT_EQ(Joined(b.Take(&replace)), c.held) << c.name;
        EXPECT_FALSE(replace) << c.name;
        EXPECT_TRUE(b.Empty()) << c.name;
    }
}

TEST(ViewBacklog, AShownLineIsContinuedNotRestartedAfterATake)
{
    ViewBacklog b(100, 4);
    b.Append(u"abc", 0);
    bool replace = false;
    EXPECT_EQ(Joined(b.Take(&replace)), "abc");
    b.Append(u"defg", 0);
    EXPECT_EQ(Joined(b.Take(&replace)), "d\n" + ViewBacklog::BreakNote(4) + "\nefg");
}

TEST(ViewBacklog, HoldsOnlyTheNewestLinesAndThenFillsTheViewAlone)
{
    ViewBacklog b(3, 80);
    for (int i = 0; i < 10; ++i)
        b.Append(QStringLiteral("line %1\n").arg(i), i % 2 ? 0x0000FF : 0xFF0000);
    b.Append(u"part", 0x00FF00);
    bool replace = false;
    const std::vector<ViewBacklog::Run> runs = b.Take(&replace);
    EXPECT_EQ(Joined(runs), "line 7\nline 8\nline 9\npart");
    EXPECT_TRUE(replace);
    // Each piece keeps its colour.
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].text, "line 7\n");
    EXPECT_EQ(runs[0].colour, 0x0000FFu);
    EXPECT_EQ(runs[3].text, "part");
    EXPECT_EQ(runs[3].colour, 0x00FF00u);
}

TEST(ViewBacklog, AnEndlessLineHeldWhileHiddenStaysBounded)
{
    constexpr int kLines = 2000, kChars = 1024;
    ViewBacklog b(kLines, kChars);
    const QString chunk(64 * 1024, QChar(0xFF));
    for (int i = 0; i < 20 * 16; ++i) { // 20 Mi characters, no line end
        b.Append(chunk, 0);
        ASSERT_LE(b.HeldChars(), qsizetype(kLines + 1) * (kChars + 1) + ViewBacklog::BreakNote(kChars).size() + 1);
    }
    b.Append(u"\n$GPVTG\n", 0);
    bool replace = false;
    const QString held = Joined(b.Take(&replace));
    EXPECT_TRUE(replace);
    const QStringList lines = held.split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), kLines + 1);
    EXPECT_EQ(lines[kLines - 1], "$GPVTG");
    for (const QString& line : lines)
        ASSERT_LE(line.size(), kChars);
}

} // namespace
