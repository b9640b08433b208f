#include "core/text/AnsiText.h"
#include "core/text/AnsiStreamDecoder.h"

#include <gtest/gtest.h>

using ulv::AnsiStreamDecoder;

// However the stream is cut into pieces, the pieces' text is the text of the
// whole: characters cut at a boundary come out whole, bytes that never make a
// character come out as their Latin-1 characters, in place.
TEST(AnsiStreamDecoder, AnyCutGivesTheTextOfTheWhole)
{
    const QByteArray streams[] = {
        "caf\xc3\xa9\r\n",               // two-byte character
        "\xe4\xb8\xad\xe6\x96\x87OK",   // two three-byte characters
        "\xf0\x9f\x98\x80!",            // four bytes, a surrogate pair
        "\xe4" "A\xe4\xb8",             // a lead byte not followed on, and one cut off at the end
        "\xe0\x80\x80\xed\xa0\x80",     // overlong, surrogate: never characters
        "\xf4\x90\x80\x80\xc0\xaf\xff", // past U+10FFFF, overlong two-byte, 0xFF
        "\xc3\xc3\xa9",                 // a lead byte that a new lead byte ends
    };
    for (const QByteArray& whole : streams) {
        const QString expected = ulv::AnsiToString(whole);
        for (qsizetype i = 0; i <= whole.size(); ++i) {
            for (qsizetype j = i; j <= whole.size(); ++j) {
                AnsiStreamDecoder d;
                QString got = d.Decode(whole.left(i));
                got += d.Decode(whole.mid(i, j - i));
                got += d.Decode(whole.mid(j));
                got += d.Flush();
                EXPECT_EQ(got, expected) << whole.toHex(' ').constData() << " cut at " << i << ", " << j;
            }
        }
    }
}

TEST(AnsiStreamDecoder, OnlyAnUnfinishedCharacterWaits)
{
    AnsiStreamDecoder d;
    EXPECT_EQ(d.Decode("OK\r\n\xe4\xb8"), "OK\r\n");
    EXPECT_EQ(d.Decode("\xad"), QString::fromUtf8("\xe4\xb8\xad"));
    EXPECT_EQ(d.Decode("\xff"), QString(QChar(0xFF))) << "a byte that starts nothing is not held";
    EXPECT_TRUE(d.Flush().isEmpty());
}
