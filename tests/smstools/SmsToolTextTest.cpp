#include "pages/module/core/SmsToolText.h"
#include "pages/module/core/SmscQuery.h"

#include <gtest/gtest.h>

using namespace ulv;

TEST(BuildPdu, HelloIn7BitGivesTheWholeSubmitPduAndItsTpduLength)
{
    QByteArray pdu;
    SmsPduError error = SmsPduError::BadHex;
    EXPECT_EQ(BuildPdu("861234567", "86555", "hello", kPduCoding7Bit, pdu, &error), 16);
    EXPECT_EQ(error, SmsPduError::None);
    EXPECT_EQ(pdu, QByteArray("0691682143" "65F7" "1100" "0591" "6855F5" "000000" "05" "E8329BFD06"));
}

TEST(BuildPdu, CodingChoosesTheDataCodingSchemeAndUserData)
{
    struct Case {
        int coding;
        QByteArray text;
        QByteArray tail; // DCS, validity period, UDL, user data
    } cases[] = {
        {kPduCoding8Bit, "hi", "0400026869"},
        {kPduCodingUcs2, "hi", "08000400680069"},
        {kPduCodingUcs2, "\xE4\xBD\xA0", "080002" "4F60"},
    };
    for (const Case& c : cases) {
        QByteArray pdu;
        const int tpdu = BuildPdu("8613800100500", "8613912345678", c.text, c.coding, pdu);
        EXPECT_TRUE(pdu.endsWith("00" + c.tail)) << c.coding << " " << pdu.constData();
        // SMSC part: length octet 08 and its eight octets.
        EXPECT_EQ(tpdu, pdu.size() / 2 - 8 - 1) << pdu.constData();
        SmsPduRecord back;
        ASSERT_GE(DecodeSmsPdu(pdu, back), 0) << pdu.constData();
        EXPECT_EQ(back.text, c.text);
        EXPECT_EQ(back.number, QByteArray("8613912345678"));
    }
}

TEST(BuildPdu, RefusesWhatOneSmsCannotCarryWithoutCuttingIt)
{
    struct Case {
        int coding;
        QByteArray text;
        QByteArray recipient;
        SmsPduError error;
    } cases[] = {
        {kPduCoding7Bit, QByteArray(160, 'a'), "86555", SmsPduError::None},
        {kPduCoding7Bit, QByteArray(161, 'a'), "86555", SmsPduError::TextTooLong},
        {kPduCoding8Bit, QByteArray(140, 'a'), "86555", SmsPduError::None},
        {kPduCoding8Bit, QByteArray(141, 'a'), "86555", SmsPduError::TextTooLong},
        // 47 CJK characters are 141 UTF-8 bytes.
        {kPduCoding8Bit, QByteArray("\xE4\xBD\xA0").repeated(47), "86555", SmsPduError::TextTooLong},
        {kPduCoding7Bit, "caf\xC3\xA9", "86555", SmsPduError::TextNotGsm7},
        {kPduCoding7Bit, "hello", "86 555", SmsPduError::InvalidNumber},
        {kPduCoding7Bit, "hello", QByteArray(21, '1'), SmsPduError::InvalidNumber},
    };
    for (const Case& c : cases) {
        QByteArray pdu = "stale";
        SmsPduError error = SmsPduError::BadHex;
        const int tpdu = BuildPdu("861234567", c.recipient, c.text, c.coding, pdu, &error);
        EXPECT_EQ(error, c.error) << c.coding << " " << c.text.size();
        if (c.error == SmsPduError::None) {
            EXPECT_GT(tpdu, 0);
            SmsPduRecord back;
            ASSERT_GE(DecodeSmsPdu(pdu, back), 0);
            EXPECT_EQ(back.text, c.text);
        } else {
            EXPECT_EQ(tpdu, 0);
            EXPECT_TRUE(pdu.isEmpty());
        }
    }
}

TEST(PduRefusalText, NamesTheReasonAndTheLimitOfTheCoding)
{
    EXPECT_EQ(PduRefusalText(SmsPduError::TextTooLong, kPduCoding7Bit),
        "Fail to generate PDU code: the text is longer than one SMS (at most 160 characters in 7Bit)!");
    EXPECT_EQ(PduRefusalText(SmsPduError::TextTooLong, kPduCoding8Bit),
        "Fail to generate PDU code: the text is longer than one SMS (at most 140 bytes in 8Bit)!");
    EXPECT_EQ(PduRefusalText(SmsPduError::TextNotGsm7, kPduCoding7Bit),
        "Fail to generate PDU code: a 7-bit text may hold only characters below 0x80!");
}

TEST(WithCountryPrefix86, AddsEightySixUnlessTheNumberHasIt)
{
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"", ""},
        {"1234567", "861234567"},
        {"8613800100500", "8613800100500"},
        {"+86555", "+86555"},
        {"+4412", "86+4412"},
        {"8", "868"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WithCountryPrefix86(QString::fromLatin1(c.in)), QString::fromLatin1(c.out)) << c.in;
}

TEST(BytesToSpacedHex, EveryByteAsTwoLowerCaseDigitsAndABlank)
{
    EXPECT_EQ(BytesToSpacedHex("hello"), QByteArray("68 65 6c 6c 6f "));
    EXPECT_EQ(BytesToSpacedHex(EditTextBytes(QStringLiteral("\u4F60"))), QByteArray("e4 bd a0 "));
    EXPECT_EQ(BytesToSpacedHex(QByteArray("\x00\xff", 2)), QByteArray("00 ff "));
    EXPECT_EQ(BytesToSpacedHex(""), QByteArray());
}

TEST(EditTextBytes, LineBreaksBecomeCrLfAndTextUtf8)
{
    EXPECT_EQ(EditTextBytes(QStringLiteral("a\nb")), QByteArray("a\r\nb"));
    EXPECT_EQ(EditTextBytes(QStringLiteral("a\r\nb\n")), QByteArray("a\r\nb\r\n"));
    EXPECT_EQ(EditTextBytes(QStringLiteral("\u00e9")), QByteArray("\xC3\xA9"));
}

TEST(SmscFromCscaReply, TakesTheFirstQuotedTextWithoutPlus)
{
    const struct {
        const char* reply;
        const char* number;
    } cases[] = {
        {"\r\n+CSCA: \"+861234567\",145\r\n\r\nOK\r\n", "861234567"},
        {"AT+CSCA?\r\r\n+CSCA: \"8613800100500\",129\r\n\r\nOK\r\n", "8613800100500"},
        {"\r\n+CSCA: \"\",129\r\n\r\nOK\r\n", ""},
        {"\r\n+CSCA: +861234567,145\r\n\r\nOK\r\n", ""},
        {"\r\n+CSCA: \"+861234567,145\r\n\r\nOK\r\n", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SmscFromCscaReply(QString::fromLatin1(c.reply)), QString::fromLatin1(c.number)) << c.reply;
}
