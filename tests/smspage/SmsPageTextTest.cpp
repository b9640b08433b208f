#include "core/text/TimeStamp.h"
#include "pages/module/core/SmsPageText.h"
#include "pages/module/core/SmsScripts.h"

#include <gtest/gtest.h>

using namespace ulv;

TEST(SmsPageText, RecipientNumbers)
{
    const struct {
        const char* number;
        bool valid;
    } cases[] = {
        {"12345", true}, {"+8613912345678", true}, {"", true}, {"86+13", false}, {"12a", false}, {"+", true},
        {"++86", false}, {"1 2", false}, {"12345678901234567890", true}, {"123456789012345678901", false},
        {"+12345678901234567890", true}, {"\xd9\xa3", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsValidNumber(QString::fromUtf8(c.number)), c.valid) << c.number;
}

TEST(SmsPageText, HexConversions)
{
    EXPECT_EQ(HexToText("68 65 6c 6c 6f "), "hello");
    EXPECT_EQ(HexToText("68656c6c6"), "");
    EXPECT_EQ(HexToText(""), "");
    EXPECT_EQ(HexToText("6800 65"), "h");
    EXPECT_EQ(FromUcs2Hex("0068 0065006C006C006F"), "hello");
    EXPECT_EQ(FromUcs2Hex("4F60597D"), "\xE4\xBD\xA0\xE5\xA5\xBD");
    QByteArray out = "kept";
    EXPECT_FALSE(ParseHexPairs("abc", out));
    EXPECT_EQ(out, "kept");
}

TEST(SmsPageText, Ucs2NeedAndLineBreaks)
{
    EXPECT_FALSE(IsUcs2Needed("00680065006C006C006F"));
    EXPECT_TRUE(IsUcs2Needed("4F60597D"));
    EXPECT_TRUE(IsUcs2Needed("006"));
    EXPECT_TRUE(IsUcs2Needed("0080"));
    EXPECT_FALSE(IsUcs2Needed(""));
    EXPECT_EQ(CountLineBreaks("a\r\nb\r\n\n\r"), 2);
}

TEST(SmsPageText, TpduLengthAndTimestamp)
{
    EXPECT_EQ(GetPduTpduLength(QByteArray(46, '0').replace(0, 2, "08")), 14);
    EXPECT_EQ(GetPduTpduLength("ZZ00"), -1);
    EXPECT_EQ(GetPduTpduLength("FF0011"), -1);
    EXPECT_EQ(FormatSmsTimestamp("24012513453208"), "2024/01/25  13:45:32+08");
    EXPECT_EQ(FormatSmsTimestamp("240125134532"), "240125134532");
}

TEST(SmsPageText, TextSendDerivation)
{
    const struct {
        int type, inputMode, moduleType;
        QByteArray text;
        const char *charset, *csmp, *number, *body;
    } cases[] = {
        {0, 0, 1, "hello", "GSM", "AT+CSMP=17,167,0,0", "12345", "hello"},
        {0, 1, 1, "68 65 6c 6c 6f ", "GSM", "AT+CSMP=17,167,0,0", "12345", "hello"},
        {1, 0, 1, "hello", "IRA", "AT+CSMP=17,167,0,0", "12345", "hello"},
        {1, 1, 0, "68 65 6c 6c 6f ", "HEX", "AT+CSMP=17,167,0,4", "3132333435", "68656c6c6f"},
        {2, 0, 0, "hello", "UCS2", "AT+CSMP=17,167,0,0", "00310032003300340035", "00680065006C006C006F"},
        {2, 0, 1, "\xE4\xBD\xA0\xE5\xA5\xBD", "UCS2", "AT+CSMP=17,167,0,8", "00310032003300340035", "4F60597D"},
        {2, 1, 1, "0068 006", "UCS2", "AT+CSMP=17,167,0,8", "00310032003300340035", "0068006"},
    };
    for (const auto& c : cases) {
        SmsSendRequest r;
        r.type = c.type;
        r.inputMode = c.inputMode;
        r.moduleType = c.moduleType;
        r.text = c.text;
        r.number = "12345";
        const SmsTextSend d = DeriveTextSend(r);
        EXPECT_EQ(d.charset, c.charset) << c.text.constData();
        EXPECT_EQ(d.csmp, c.csmp) << c.text.constData();
        EXPECT_EQ(d.number, c.number) << c.text.constData();
        EXPECT_EQ(d.body, c.body) << c.text.constData();
    }
}

TEST(SmsPageText, ReadReplyInTextMode)
{
    // With AT+CSDH=1 the time is the quoted field, not a run into the header.
    const QString reply = "AT+CMGR=3\r\r\n+CMGR: \"REC UNREAD\",\"+8613912345678\",,\"26/12/10,13:45:32+32\",145,4,0,0,"
                          "\"+8613800100500\",145,15\r\nERROR and OK\r\nx\r\n\r\nOK\r\n";
    SmsEntry e;
    ASSERT_TRUE(ParseCmgrTextReply(reply, SmsCharset::Gsm, true, e));
    EXPECT_EQ(e.status, "REC UNREAD");
    EXPECT_EQ(e.addresser, "8613912345678");
    EXPECT_EQ(e.time, "26/12/10,13:45:32+32");
    EXPECT_EQ(e.content, "ERROR and OK\r\nx");
    EXPECT_FALSE(HasErrorResult(reply));
    EXPECT_TRUE(EndsWithOkResult(reply));

    SmsEntry stored;
    ASSERT_TRUE(ParseCmgrTextReply(
        "+CMGR: \"STO UNSENT\",\"003100320033\",\r\n0068\r\n\r\nOK\r\n", SmsCharset::Ucs2, false, stored));
    EXPECT_EQ(stored.status, "STO UNSENT");
    EXPECT_EQ(stored.addresser, "123");
    EXPECT_EQ(stored.time, "");
    EXPECT_EQ(stored.content, "0068");

    // A length beyond the reply is cut at its end, not read past it.
    SmsEntry clamped;
    ASSERT_TRUE(ParseCmgrTextReply("+CMGR: \"REC READ\",\"1\",,\"t\",129,900\r\nab", SmsCharset::Gsm, true, clamped));
    EXPECT_EQ(clamped.content, "ab");

    SmsEntry none;
    EXPECT_FALSE(ParseCmgrTextReply("AT+CMGR=4\r\r\nOK\r\n", SmsCharset::Gsm, true, none));
}

TEST(SmsPageText, ErrorResultsAreLinesOfTheirOwn)
{
    EXPECT_TRUE(HasErrorResult(QString("\r\nERROR\r\n")));
    EXPECT_TRUE(HasErrorResult(QString("\r\n+CMS ERROR: 321\r\n")));
    EXPECT_FALSE(HasErrorResult(QString("\r\nMY ERROR\r\n")));
    EXPECT_FALSE(EndsWithOkResult(QString("\r\nBOOK\r\n")));
}

TEST(SmsPageText, CpmsUsedCount)
{
    EXPECT_EQ(CpmsUsedCount("\r\n+CPMS: 3,50,3,50,3,50\r\n\r\nOK\r\n"), 3);
    EXPECT_EQ(CpmsUsedCount("\r\n+CPMS: 0,50,0,50\r\n"), 0);
    EXPECT_EQ(CpmsUsedCount("\r\nOK\r\n"), 0);
}

TEST(SmsPageText, CpmsCapacityIsACountTheStorageCanHaveOrNothing)
{
    const struct {
        const char* reply;
        std::optional<int> capacity;
    } cases[] = {
        {"\r\n+CPMS: 3,50,3,50,3,50\r\n\r\nOK\r\n", 50},
        // An unsolicited line first, and the capacity not spread past its line.
        {"\r\n+CREG: 1\r\n+CPMS: 0,255\r\nOK,7\r\n", 255},
        {"\r\n+CPMS: 3,-20,3,50\r\n", std::nullopt},
        {"\r\n+CPMS: 3,99999999999,3,50\r\n", std::nullopt},
        {"\r\n+CPMS: 3\r\nOK\r\n", std::nullopt},
        {"\r\nOK\r\n", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CpmsCapacity(QString::fromLatin1(c.reply)), c.capacity) << c.reply;
}

TEST(SmsPageText, TextListingWithLengthsReadsTextsThatLookLikeEntriesOrResults)
{
    const QString text = "\r\n+CMGL: 1,\"REC READ\",\"+861\",,\"26/12/10,13:45:32+32\",145,12\r\n+CMGL: x\r\nOK"
                         "\r\n+CMGL: 2,\"REC UNREAD\",\"+862\",,\"26/12/10,13:45:33+32\",145,4\r\nBOOK\r\n\r\nOK\r\n";
    const SmsListing listing(false, true, SmsCharset::Gsm);
    EXPECT_EQ(listing.Judge(text), SmsListing::State::Ok);
    const QList<SmsEntry> entries = listing.Entries(text);
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0], (SmsEntry{"1", "26/12/10,13:45:32+32", "861", "REC READ", "+CMGL: x\r\nOK"}));
    EXPECT_EQ(entries[1], (SmsEntry{"2", "26/12/10,13:45:33+32", "862", "REC UNREAD", "BOOK"}));
    // Every cut of the listing before its final result asks for more.
    for (qsizetype cut = 0; cut < text.size() - 2; ++cut)
        EXPECT_EQ(listing.Judge(text.left(cut)), SmsListing::State::More) << cut;
}

TEST(SmsPageText, TextListingWithoutLengths)
{
    const QString text = "+CMGL: 0,\"STO SENT\",\"003100320033\",\r\n00680069\r\n+CMGL: 1,\"REC READ\",\"0031\",,"
                         "\"26/12/10,13:45:32+32\"\r\n0041\r\n\r\nOK\r\n";
    const SmsListing listing(false, false, SmsCharset::Ucs2);
    EXPECT_EQ(listing.Judge(text), SmsListing::State::Ok);
    const QList<SmsEntry> entries = listing.Entries(text);
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0], (SmsEntry{"0", "", "123", "STO SENT", "00680069"}));
    EXPECT_EQ(entries[1], (SmsEntry{"1", "26/12/10,13:45:32+32", "1", "REC READ", "0041"}));
    EXPECT_EQ(listing.Judge("\r\n+CMS ERROR: 302\r\n"), SmsListing::State::Error);
}

TEST(SmsPageText, PduListingSkipsEmptyAndUndecodablePdus)
{
    // SMS-DELIVER of "hello" from 8613912345678, stamp 24/01/25 13:45:32 +08.
    const QString deliver = "0891683108100005F0040D91683119325476F80000" "42105231542380" "05E8329BFD06";
    const QString text = "+CMGL: 1,1,,25\r\n" + deliver + "\r\n+CMGL: 2,0,,0\r\n\r\n+CMGL: 3,0,,5\r\nZZZZ\r\n\r\nOK\r\n";
    const SmsListing listing(true, false, SmsCharset::Gsm);
    EXPECT_EQ(listing.Judge(text), SmsListing::State::Ok);
    const QList<SmsEntry> entries = listing.Entries(text);
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries[0], (SmsEntry{"1", "2024/01/25  13:45:32+08", "8613912345678", "REC READ", "hello"}));
}

TEST(SmsPageText, ListingRowsNoMessageCanHaveAreLeftOutWithANote)
{
    const QString deliver = "0891683108100005F0040D91683119325476F80000" "42105231542380" "05E8329BFD06";
    struct Case {
        bool pdu;
        QString row;
        const char* why; // empty: the row is kept
    } cases[] = {
        {true, "+CMGL: 1,1,,25\r\n" + deliver, ""},
        {true, "+CMGL: -5,1,,25\r\n" + deliver, "that is no message index"},
        {true, "+CMGL: 99999999999999999999,1,,25\r\n" + deliver, "that is no message index"},
        {true, "+CMGL: 65536,1,,25\r\n" + deliver, "that is no message index"},
        {true, "+CMGL: 2,4,,25\r\n" + deliver, "no message has that status"},
        {true, "+CMGL: 2,-1,,25\r\n" + deliver, "no message has that status"},
        {false, "+CMGL: 65535,\"STO SENT\",\"+1\",,\r\nhi", ""},
        {false, "+CMGL: 0,\"rec read\",\"+1\",,\r\nhi", ""},
        {false, "+CMGL: 4,\"ALL\",\"+1\",,\r\nhi", "no message has that status"},
        {false, "+CMGL: 1e3,\"REC READ\",\"+1\",,\r\nhi", "that is no message index"},
    };
    for (const Case& c : cases) {
        const SmsListing listing(c.pdu, false, SmsCharset::Gsm);
        const QString text = "\r\n" + c.row + "\r\n\r\nOK\r\n";
        ASSERT_EQ(listing.Judge(text), SmsListing::State::Ok) << qPrintable(c.row);
        QStringList refused;
        const QList<SmsEntry> entries = listing.Entries(text, &refused);
        if (*c.why == 0) {
            EXPECT_EQ(entries.size(), 1) << qPrintable(c.row);
            EXPECT_TRUE(refused.isEmpty()) << qPrintable(c.row);
        } else {
            EXPECT_TRUE(entries.isEmpty()) << qPrintable(c.row);
            ASSERT_EQ(refused.size(), 1) << qPrintable(c.row);
            EXPECT_TRUE(refused[0].endsWith(QString(c.why) + " */")) << qPrintable(refused[0]);
        }
    }
}
