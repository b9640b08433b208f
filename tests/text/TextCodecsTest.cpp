#include "core/text/AnsiText.h"
#include "core/text/CTextCodec.h"
#include "core/text/TextCodecs.h"

#include <gtest/gtest.h>

using namespace ulv;

namespace {

QByteArray Hex(QByteArrayView bytes)
{
    return BytesToHex(bytes);
}

} // namespace

TEST(HexToBytes, ConvertsFullPairsOnly)
{
    struct Case {
        const char* hex;
        QByteArray bytes;
        bool ok;
    } cases[] = {
        {"0A1B", QByteArray("\x0a\x1b"), true},
        {"0a1bFf", QByteArray("\x0a\x1b\xff"), true}, // either case
        {"ABC", QByteArray("\xab"), true},            // a lone last digit is not read
        {"", QByteArray(), true},
        {"00", QByteArray(1, '\0'), true},
        {"G1", QByteArray("\x01"), false},
        {"1 ", QByteArray("\x10"), false},
    };
    for (const auto& c : cases) {
        bool ok = !c.ok;
        EXPECT_EQ(HexToBytes(c.hex, &ok), c.bytes) << c.hex;
        EXPECT_EQ(ok, c.ok) << c.hex;
    }
}

TEST(HexToBytes, OddLengthStopsAtTheEndOfTheView)
{
    // The view ends inside a larger buffer: the character after it must not count.
    const char buffer[] = "4142434";
    EXPECT_EQ(HexToBytes(QByteArrayView(buffer, 3)), QByteArray("A"));
}

TEST(BytesToHex, WritesTwoUpperCaseDigitsPerByte)
{
    EXPECT_EQ(BytesToHex(QByteArray("\x00\xff\x1a\x80", 4)), QByteArray("00FF1A80"));
    EXPECT_EQ(BytesToHex({}), QByteArray());
}

TEST(CTextCodec, HexPairToByteAcceptsEitherCase)
{
    struct Case {
        const char* pair;
        unsigned char byte;
    } cases[] = {
        {"0a", 0x0a},
        {"0A", 0x0a},
        {"fF", 0xff},
        {"7", 0x70}, // a missing second digit counts as 0
        {"", 0x00},
    };
    CTextCodec codec;
    for (const auto& c : cases) {
        QByteArray out;
        EXPECT_EQ(codec.HexPairToByte(c.pair, &out), c.byte) << c.pair;
        EXPECT_EQ(out, QByteArray(1, char(c.byte))) << c.pair;
    }
}

TEST(CTextCodec, AnsiToUcs2HexAppendsFourDigitsPerUnit)
{
    struct Case {
        QByteArray text;
        const char* hex;
    } cases[] = {
        {"hello", "00680065006C006C006F"},
        {"\xe4\xbd\xa0\xe5\xa5\xbd", "4F60597D"},   // 你好
        {"\xf0\x9f\x98\x80", "D83DDE00"},           // U+1F600, a surrogate pair
        {"a\xe9z", "006100E9007A"},                 // a stray byte counts as Latin-1
        {"\xe4\xbd", "00E400BD"},                   // a cut sequence too
        {"", ""},
    };
    for (const auto& c : cases) {
        QByteArray out = "prefix:";
        const int n = CTextCodec::AnsiToUcs2Hex(c.text, out);
        EXPECT_EQ(out, "prefix:" + QByteArray(c.hex)) << c.hex;
        EXPECT_EQ(n, int(qstrlen(c.hex) / 2)) << c.hex;
    }
}

TEST(CTextCodec, Ucs2HexToAnsiReadsGroupsOfFour)
{
    struct Case {
        const char* hex;
        QByteArray text;
    } cases[] = {
        {"00680065006C006C006F", "hello"},
        {"4F60597D", "\xe4\xbd\xa0\xe5\xa5\xbd"},
        {"4f60597d", "\xe4\xbd\xa0\xe5\xa5\xbd"},
        {"0048006900", "Hi"},                 // digits after the last group are left out
        {"D83DDE00", "\xf0\x9f\x98\x80"},
        {"D83D0041", "\xef\xbf\xbd" "A"},     // a lone surrogate becomes U+FFFD
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CTextCodec::Ucs2HexToAnsi(c.hex), c.text) << c.hex;
}

TEST(Ucs2, SeventyCjkCharactersConvertCompletely)
{
    QByteArray text;
    for (int i = 0; i < 70; ++i)
        text += "\xe4\xbd\xa0";
    const QByteArray ucs2 = AnsiToUcs2(text);
    EXPECT_EQ(ucs2.size(), 140);
    const QByteArray back = Ucs2ToAnsi(ucs2);
    EXPECT_EQ(back.size(), 210);
    EXPECT_EQ(back, text);
    EXPECT_EQ(Ucs2ToAnsi(QByteArray("\x00\x48\x00", 3)), QByteArray("H")); // odd final byte ignored
}

TEST(Ucs2, TextToUcs2HexOfEmptyTextIsEmpty)
{
    EXPECT_EQ(TextToUcs2Hex(""), QByteArray());
    EXPECT_EQ(TextToUcs2Hex("Hi"), QByteArray("00480069"));
}

TEST(AnsiText, StrayBytesShowAsLatin1)
{
    EXPECT_EQ(AnsiToString("caf\xc3\xa9"), QString::fromUtf8("caf\xc3\xa9"));
    EXPECT_EQ(AnsiToString("caf\xe9"), QString::fromLatin1("caf\xe9"));
    // Overlong forms and encoded surrogates are not valid UTF-8.
    EXPECT_EQ(AnsiToString("\xc0\xaf"), QString::fromLatin1("\xc0\xaf"));
    EXPECT_EQ(AnsiToString("\xed\xa0\x80"), QString::fromLatin1("\xed\xa0\x80"));
    EXPECT_EQ(Hex(AnsiToUcs2("\xff")), QByteArray("00FF"));
}

TEST(SemiOctets, SwapPairsAndPadOddCounts)
{
    struct Case {
        const char* digits;
        const char* semi;
    } cases[] = {
        {"123", "21F3"},
        {"1234", "2143"},
        {"8613800100500", "683108100005F0"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DigitsToSemiOctets(c.digits), QByteArray(c.semi)) << c.digits;
        EXPECT_EQ(SemiOctetsToDigits(c.semi), QByteArray(c.digits)) << c.semi;
    }
}

TEST(SemiOctets, OnlyAFinalFIsRemoved)
{
    struct Case {
        const char* semi;
        const char* digits;
    } cases[] = {
        {"1F32", "F123"},
        {"F1", "1"},
        {"21F", "12"}, // a lone last character stays, then a final F goes
        {"2", "2"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SemiOctetsToDigits(c.semi), QByteArray(c.digits)) << c.semi;
}
