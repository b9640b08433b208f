#include "core/text/GsmAlphabet.h"

#include <gtest/gtest.h>

using namespace ulv;

// Codes from the default alphabet and extension table of 3GPP TS 23.038.
TEST(GsmAlphabet, EncodesFromTheStandardsTables)
{
    const struct {
        const char* text; // UTF-8
        QByteArray bytes;
    } cases[] = {
        {"hello", "hello"},
        {"@", QByteArray(1, '\0')},
        {"é", "\x05"},
        {"héllo", "h\x05llo"},
        {"ñÑ", "\x7D\x5D"},
        {"èùìòÇ", "\x04\x06\x07\x08\x09"},
        {"£$¥¤§¿¡", "\x01\x02\x03\x24\x5F\x60\x40"},
        {"ÄÖÜäöüàßÆæØøÅåÉ", "\x5B\x5C\x5E\x7B\x7C\x7E\x7F\x1E\x1C\x1D\x0B\x0C\x0E\x0F\x1F"},
        {"ΔΦΓΛΩΠΨΣΘ", "\x10\x12\x13\x14\x15\x16\x17\x18\x19"},
        {"_", "\x11"},
        {"€", "\x1B\x65"},
        {"[", "\x1B\x3C"},
        {"~", "\x1B\x3D"},
        {"]{}\\^|", "\x1B\x3E\x1B\x28\x1B\x29\x1B\x2F\x1B\x14\x1B\x40"},
        {"a\r\nb", "a\r\nb"},
        {"", ""},
    };
    for (const auto& c : cases) {
        const GsmAlphabetText out = EncodeGsmAlphabet(QString::fromUtf8(c.text));
        EXPECT_TRUE(out.Ok()) << c.text << " refused " << out.refused.toStdString();
        EXPECT_EQ(out.bytes.toHex(' ').toStdString(), c.bytes.toHex(' ').toStdString()) << c.text;
    }
}

TEST(GsmAlphabet, RefusesCharactersWithoutACode)
{
    const struct {
        const char* text;
        const char* refused;
    } cases[] = {
        {"ok 😀 no", "😀"},          // outside the basic plane: the whole pair is named
        {"héllo ✓ Привет", "✓"},    // the first one without a code
        {"Привет", "П"},
        {"Α", "Α"},                  // Greek capital alpha: not in the table, whatever it looks like
        {"ç", "ç"},
        {"a\tb", "\t"},
        {"\x1A", "\x1A"},
        {"Ξ", "Ξ"},                  // its code is Ctrl-Z, which would end the message
        {"`", "`"},
    };
    for (const auto& c : cases) {
        const GsmAlphabetText out = EncodeGsmAlphabet(QString::fromUtf8(c.text));
        EXPECT_FALSE(out.Ok()) << c.text;
        EXPECT_EQ(out.refused.toStdString(), c.refused) << c.text;
        EXPECT_TRUE(out.bytes.isEmpty()) << c.text;
    }
    // Without the extension table (a text-mode message, where the escape byte
    // cancels): its characters are refused, the rest stay as they were.
    for (const char* text : {"€", "[", "~", "a{b", "\\", "^", "|"}) {
        const GsmAlphabetText out = EncodeGsmAlphabet(QString::fromUtf8(text), false);
        EXPECT_FALSE(out.Ok()) << text;
    }
    EXPECT_EQ(EncodeGsmAlphabet(QString::fromUtf8("a{b"), false).refused.toStdString(), "{");
    EXPECT_EQ(EncodeGsmAlphabet(QString::fromUtf8("héllo ΔΩ"), false).bytes, QByteArray("h\x05llo \x10\x15"));
    EXPECT_EQ(TextCharsetRefusal(QStringLiteral("✓"), QStringLiteral("GSM")).toStdString(),
        "The character \"✓\" cannot be sent with the GSM character set! Choose UCS2 to send it.");
}
