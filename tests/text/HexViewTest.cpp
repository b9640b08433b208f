#include "core/text/HexView.h"

#include <gtest/gtest.h>

using namespace ulv;

namespace {

const QByteArray kStamp = "[2026-12-10 13:15:11:123_R:] "; // 29 characters
const QByteArray kNote = "/* Use ATE1 to enable echo mode */\r\n";

} // namespace

TEST(TextToHexView, WritesLowerCasePairsAndBreaksAfterLineFeeds)
{
    struct Case {
        QByteArray text;
        QByteArray view;
    } cases[] = {
        {"AT\r\n", "41 54 0d 0a \r\n"},
        {"\xff", "ff "},
        {QByteArray("\x00\x80", 2), "00 80 "},
        {"a\nb", "61 0a \r\n62 "},
        {"\r\n" + kNote, "0d 0a \r\n" + kNote},
        {"\r\n/**/\r\n", "0d 0a \r\n/**/\r\n"},
        {"\r\n/* a */ b\r\n", "0d 0a \r\n2f 2a 20 61 20 2a 2f 20 62 0d 0a \r\n"}, // not a note: text after the comment
    };
    for (const auto& c : cases) {
        QByteArray out;
        EXPECT_EQ(TextToHexView(c.text, out), 1);
        EXPECT_EQ(out, c.view) << c.text.toHex().constData();
    }
}

TEST(HexViews, EmptyInputLeavesTheOutputAlone)
{
    QByteArray out = "kept";
    QByteArray other = "kept";
    EXPECT_EQ(TextToHexView("", out), 0);
    EXPECT_EQ(StampedTextToHexView("", out), 0);
    EXPECT_EQ(HexViewToText("", out), 0);
    EXPECT_EQ(HexViewToBytes("", out, other), 0);
    EXPECT_EQ(HexViewToSendBytes("", out, other), 0);
    EXPECT_EQ(HexStringToBytes("", out), 0);
    EXPECT_EQ(LogTextToHex("", out), 0);
    EXPECT_EQ(HexToLogText("", out), 0);
    EXPECT_EQ(out, "kept");
    EXPECT_EQ(other, "kept");
}

TEST(HexViewToText, FollowsThePairRule)
{
    struct Case {
        QByteArray view;
        QByteArray text;
    } cases[] = {
        {"41 54 0d 0a \r\n", "AT\r\n"},
        {"4154", "AT"},
        {"a 4", "\x0a"},           // a lone digit before a blank; the pending 4 is dropped
        {"41 00 42 ", "A"},        // the text ends at the zero byte
        {"zz", "\x53"},            // no validation: (122 - 87) x 16 + (122 - 87), kept to 8 bits
        {"4\r\n1", "A"},           // a pending digit waits across a line break
        {"  41   42", "AB"},
        {kStamp + "41 54 \r\n", kStamp + "AT"},
        {"4" + kStamp + "1", kStamp + "A"},
        {kNote, kNote},             // a note is text already
    };
    for (const auto& c : cases) {
        QByteArray out;
        EXPECT_EQ(HexViewToText(c.view, out), 1);
        EXPECT_EQ(out, c.text) << c.view.constData();
    }
}

TEST(StampedTextToHexView, KeepsStampsAndNotes)
{
    struct Case {
        QByteArray text;
        QByteArray view;
    } cases[] = {
        {kStamp + "OK\r\n", kStamp + "4f 4b 0d 0a \r\n"},
        {"AT\r\n" + kStamp + "OK", "41 54 0d 0a " + kStamp + "4f 4b "},
        {kNote, kNote},
        {kStamp.left(28), QByteArray("5b 32 30 32 36 2d 31 32 2d 31 30 20 31 33 3a 31 35 3a 31 31 3a 31 32 33 5f 52 3a 5d ")},
    };
    for (const auto& c : cases) {
        QByteArray out;
        EXPECT_EQ(StampedTextToHexView(c.text, out), 1);
        EXPECT_EQ(out, c.view) << c.text.constData();
    }
}

TEST(StampedTextToHexView, RoundTripsThroughHexViewToText)
{
    const QByteArray texts[] = {
        kStamp + "AT+CSQ\r\n",
        kStamp + "+CSQ: 20,99\r\n",
        "\xff\xfe" + kStamp + "x",
        kNote,
    };
    for (const auto& text : texts) {
        QByteArray view;
        QByteArray back;
        ASSERT_EQ(StampedTextToHexView(text, view), 1);
        ASSERT_EQ(HexViewToText(view, back), 1);
        EXPECT_EQ(back, text) << view.constData();
    }
}

TEST(HexViewToBytes, KeepsZeroBytesAndShowsThemAsBlanks)
{
    QByteArray display;
    QByteArray bytes;
    EXPECT_EQ(HexViewToBytes("41 00 42 ", display, bytes), 1);
    EXPECT_EQ(bytes, QByteArray("A\0B", 3));
    EXPECT_EQ(display, QByteArray("A B"));

    EXPECT_EQ(HexViewToBytes(kStamp + "41\r\n", display, bytes), 1);
    EXPECT_EQ(bytes, kStamp + "A");
    EXPECT_EQ(display, kStamp + "A");

    // A note only shows; the bytes are left as they were.
    bytes = "untouched";
    EXPECT_EQ(HexViewToBytes(kNote, display, bytes), 1);
    EXPECT_EQ(display, kNote);
    EXPECT_EQ(bytes, "untouched");
}

TEST(HexViewToSendBytes, HidesCtrlZAndLoneDigitsFromTheDisplay)
{
    struct Case {
        QByteArray view;
        QByteArray bytes;
        QByteArray display;
    } cases[] = {
        {"41 1a ", "A\x1a", "A"},
        {"a 41\r\n", "\nA\r\n", "A\r\n"},
        {kStamp + "4f 4b", kStamp + "OK", kStamp + "OK"},
        {"41 00 42", "A", "A"},
        {"1a 00 41", "\x1a", ""},
        {"41\r\n", "A\r\n", "A\r\n"},
    };
    for (const auto& c : cases) {
        QByteArray bytes;
        QByteArray display;
        EXPECT_EQ(HexViewToSendBytes(c.view, bytes, display), 1);
        EXPECT_EQ(bytes, c.bytes) << c.view.constData();
        EXPECT_EQ(display, c.display) << c.view.constData();
    }
}

TEST(HexStringToBytes, ReadsPlainPairs)
{
    struct Case {
        QByteArray hex;
        QByteArray bytes;
    } cases[] = {
        {"7E FF 03", "\x7e\xff\x03"},
        {"7eff03", "\x7e\xff\x03"},
        {"41 00 42", "A"},
        {"4", ""},
    };
    for (const auto& c : cases) {
        QByteArray out;
        EXPECT_EQ(HexStringToBytes(c.hex, out), 1);
        EXPECT_EQ(out, c.bytes) << c.hex.constData();
    }
}

TEST(SpaceHexPairs, PutsOneBlankBetweenPairs)
{
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"7EFF03", "7E FF 03"},
        {" 7E F F03 ", "7E FF 03"},
        {"7EF", "7E F"},
        {"", ""},
        {"   ", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SpaceHexPairs(c.in), QByteArray(c.out)) << c.in;
}

TEST(LogTextHex, StampsStayAndTheTextRoundTrips)
{
    const QByteArray stamp = "[2026-12-10 13:15:11:123]"; // 25 characters
    QByteArray hex;
    ASSERT_EQ(LogTextToHex(stamp + " OK\r\n", hex), 1);
    EXPECT_EQ(hex, stamp + "20 4f 4b 0d 0a ");

    const QByteArray texts[] = {
        stamp + " AT\r\n" + stamp + " OK\r\n",
        "[short] \xff",
        "x" + stamp,
    };
    for (const auto& text : texts) {
        QByteArray back;
        ASSERT_EQ(LogTextToHex(text, hex), 1);
        ASSERT_EQ(HexToLogText(hex, back), 1);
        EXPECT_EQ(back, text) << hex.constData();
    }
}

TEST(LogTextHex, HexToLogTextAcceptsUpperCaseAndLoneDigits)
{
    QByteArray out;
    EXPECT_EQ(HexToLogText("4F4B a 41 00 42", out), 1);
    EXPECT_EQ(out, QByteArray("OK\nA"));
}
