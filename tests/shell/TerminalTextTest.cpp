#include "shell/core/TerminalText.h"

#include <gtest/gtest.h>

using namespace ulv;

namespace {
const QByteArray R = "[2026-12-10 13:00:00:000_R:] ";
const QByteArray S = "[2026-12-10 13:00:00:000_S:] ";
} // namespace

TEST(TerminalText, StampLinesWritesAStampOnlyOnceALineHasBegun)
{
    struct Case {
        QByteArray text;
        bool lineStart;
        QByteArray expected;
    } cases[] = {
        {"\r\nOK\r\n", true, "\r\n" + R + "OK\r\n"},
        {"O", true, R + "O"},
        {"K\r\n", false, "K\r\n"},
        {"\r\n+CSQ: 20,99\r\n\r\nOK\r\n", true, "\r\n" + R + "+CSQ: 20,99\r\n" + R + "\r\n" + R + "OK\r\n"},
        {"a\n\r", true, R + "a\n\r"},
        {"\nb", true, "\n" + R + "b"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StampLines(c.text, R, c.lineStart), c.expected) << c.text.constData();
}

TEST(TerminalText, StampLinesHexSkipsViewLinesOfOnlyALineEnd)
{
    // "\r\nOK\r\n" as a hex view.
    const QByteArray view = "0d 0a \r\n4f 4b 0d 0a \r\n";
    EXPECT_EQ(StampLinesHex(view, R, true), R + "0d 0a \r\n" + R + "4f 4b 0d 0a \r\n");
    EXPECT_EQ(StampLinesHex("0d 0a \r\n0d 0a \r\n", R, false), "0d 0a \r\n0d 0a \r\n");
    EXPECT_EQ(StampLinesHex("41 ", R, false), "41 ");
}

TEST(TerminalText, OutputsAreFormattedByKindAndSettings)
{
    struct Case {
        const char* what;
        int kind;
        QByteArray text;
        TerminalFormat format;
        bool lineStart;
        QByteArray expected;
    } cases[] = {
        {"empty", 1, "", {false, true, true}, true, ""},
        {"sent, stamped", 0, "AT\r\n", {false, false, true}, true, S + "AT\r\n"},
        {"CR LF marked", 0, "AT\r\n", {false, true, false}, true, "AT<CR><LF>\r\n"},
        {"note on its own lines, never stamped or marked", 2, "/* Use ATE1 to enable echo mode */",
            {false, true, true}, true, "\r\n/* Use ATE1 to enable echo mode */\r\n"},
        {"hex view, no markers", 1, "OK\r\n", {true, true, false}, true, "4f 4b 0d 0a \r\n"},
    };
    for (const Case& c : cases) {
        const QByteArray stamp = c.kind == 0 ? S : R;
        EXPECT_EQ(FormatTerminalOutput(c.kind, c.text, c.format, c.lineStart, stamp), c.expected) << c.what;
    }
}
