// Sending, reading, listing and deleting messages on the simulated module.

#include "sim/EngineDriver.h"
#include "sim/SimText.h"

#include <gtest/gtest.h>

using namespace ulv::sim;
using namespace ulv::sim::test;

namespace {

SmsMessage Received(const std::string& text, int status = 0)
{
    SmsMessage m;
    m.status = status;
    m.address = "+8613912345678";
    m.timestamp = "08/01/25,13:45:32+32";
    m.text = Utf8ToUtf16(text);
    return m;
}

SmsMessage Stored(const std::string& text, int status = 2)
{
    SmsMessage m;
    m.status = status;
    m.address = "12345";
    m.text = Utf8ToUtf16(text);
    return m;
}

int Store(ModemEngine& e, const SmsMessage& m)
{
    std::vector<Emission> ignored;
    return e.StoreSms(m, false, ignored);
}

} // namespace

TEST(SmsExchange, TextModeSendPromptsEchoesTheBodyAndAnswersWithAReference)
{
    struct Row {
        const char* charset;
        const char* csmp;
        std::string numberWire;
        std::string bodyWire;
        std::u16string text;
        int dcs;
    };
    const std::vector<Row> rows = {
        {"GSM", "17,167,0,0", "12345", "hello", u"hello", 0},
        {"IRA", "17,167,0,0", "12345", "hello", u"hello", 0},
        {"HEX", "17,167,0,4", "3132333435", "68656c6c6f", u"hello", 4},
        {"UCS2", "17,167,0,0", "00310032003300340035", "00680065006C006C006F", u"hello", 0},
        {"UCS2", "17,167,0,8", "00310032003300340035", "4F60597D", u"\u4F60\u597D", 8},
    };
    for (const Row& r : rows) {
        ModemEngine engine(Family::Gsm, "TZ20A01");
        ASSERT_EQ(Ask(engine, "AT+CMGF=1"), kOk);
        ASSERT_EQ(Ask(engine, "AT+CSMP=" + std::string(r.csmp)), kOk);
        ASSERT_EQ(Ask(engine, "AT+CSCS=\"" + std::string(r.charset) + "\""), kOk);
        const std::string command = "AT+CMGS=\"" + r.numberWire + "\"";
        EXPECT_EQ(Feed(engine, command + "\r\n"), command + "\r\r\n> ") << r.charset;
        EXPECT_EQ(Feed(engine, r.bodyWire), r.bodyWire);
        EXPECT_EQ(Feed(engine, "\x1A"), "\r\n+CMGS: 1\r\n\r\nOK\r\n");
        ASSERT_EQ(engine.State().sent.size(), 1u);
        const SentSms& sent = engine.State().sent[0];
        EXPECT_EQ(sent.destination, "12345") << r.charset;
        EXPECT_EQ(sent.text, r.text) << r.charset;
        EXPECT_EQ(sent.dcs, r.dcs) << r.charset;
        EXPECT_EQ(sent.body, r.bodyWire);
    }
}

TEST(SmsExchange, BodyLineBreaksEchoANewPromptAndEscCancels)
{
    ModemEngine engine(Family::Umts, "RX70B03");
    Feed(engine, "AT+CMGF=1\r\n");
    Feed(engine, "AT+CMGS=\"12345\"\r\n");
    EXPECT_EQ(Feed(engine, "a\r\nb"), "a\r\n> \nb");
    EXPECT_EQ(Feed(engine, "\x1B"), kOk);
    EXPECT_TRUE(engine.State().sent.empty());
    EXPECT_FALSE(engine.InSmsBody());
    EXPECT_EQ(Ask(engine, "AT"), kOk);
}

TEST(SmsExchange, PduModeSendChecksTheLengthAndThePdu)
{
    // SMS-SUBMIT of "hello" to 12345, SMSC +8613800100500.
    const std::string pdu = "0891683108100005F0110005812143F50000AA05E8329BFD06";
    const int length = (int(pdu.size()) / 2) - 9;
    struct Row {
        std::string command;
        std::string body;
        std::string reply;
    };
    const std::vector<Row> rows = {
        {"AT+CMGS=" + std::to_string(length), pdu, "\r\n+CMGS: 1\r\n\r\nOK\r\n"},
        {"AT+CMGS=" + std::to_string(length + 1), pdu, "\r\n+CMS ERROR: 304\r\n"},
        {"AT+CMGS=" + std::to_string(length), pdu.substr(0, pdu.size() - 1), "\r\n+CMS ERROR: 304\r\n"},
        {"AT+CMGS=" + std::to_string(length), "ZZ" + pdu.substr(2), "\r\n+CMS ERROR: 304\r\n"},
        {"AT+CMGS=\"12345\"", "", "\r\n+CMS ERROR: 304\r\n"},
    };
    for (const Row& r : rows) {
        ModemEngine engine(Family::Gsm, "P21B02");
        Feed(engine, "ATE0\r");
        std::string out = Feed(engine, r.command + "\r\n");
        if (out == "\r\n> ")
            out = Feed(engine, r.body + "\x1A");
        EXPECT_EQ(out, r.reply) << r.command << " " << r.body;
    }
    ModemEngine engine(Family::Gsm, "P21B02");
    Feed(engine, "AT+CMGS=" + std::to_string(length) + "\r\n" + pdu + "\x1A");
    ASSERT_EQ(engine.State().sent.size(), 1u);
    EXPECT_EQ(engine.State().sent[0].destination, "12345");
    EXPECT_EQ(engine.State().sent[0].text, u"hello");
    EXPECT_EQ(engine.State().sent[0].pdu, pdu);
}

TEST(SmsExchange, NetworkRefusalEndsTheSendWithCmsError)
{
    ModemEngine engine(Family::Umts, "RX50C01");
    engine.State().sendError = 500;
    Feed(engine, "ATE0\rAT+CMGF=1\r");
    EXPECT_EQ(Feed(engine, "AT+CMGS=\"12345\"\rhi\x1A"), "\r\n> \r\n+CMS ERROR: 500\r\n");
    EXPECT_TRUE(engine.State().sent.empty());
}

TEST(SmsExchange, TextModeReadShowsHeaderDataAndMarksTheMessageRead)
{
    ModemEngine engine(Family::Gsm, "TZ20A01");
    ASSERT_EQ(Store(engine, Received("hello")), 1);
    ASSERT_EQ(Store(engine, Stored("draft")), 2);
    Feed(engine, "ATE0\rAT+CMGF=1\r");
    EXPECT_EQ(Ask(engine, "AT+CMGR=1"),
        "\r\n+CMGR: \"REC UNREAD\",\"+8613912345678\",,\"08/01/25,13:45:32+32\"\r\nhello\r\n" + kOk);
    EXPECT_EQ(Ask(engine, "AT+CMGR=1"),
        "\r\n+CMGR: \"REC READ\",\"+8613912345678\",,\"08/01/25,13:45:32+32\"\r\nhello\r\n" + kOk);
    EXPECT_EQ(Ask(engine, "AT+CMGR=2"), "\r\n+CMGR: \"STO UNSENT\",\"12345\",\r\ndraft\r\n" + kOk);
    Feed(engine, "AT+CSDH=1\r");
    EXPECT_EQ(Ask(engine, "AT+CMGR=1"),
        "\r\n+CMGR: \"REC READ\",\"+8613912345678\",,\"08/01/25,13:45:32+32\",145,4,0,0,\"+8613800100500\",145,5"
        "\r\nhello\r\n" + kOk);
    EXPECT_EQ(Ask(engine, "AT+CMGR=2"),
        "\r\n+CMGR: \"STO UNSENT\",\"12345\",,129,17,0,0,167,\"+8613800100500\",145,5\r\ndraft\r\n" + kOk);
    // An empty place answers a plain OK; a place beyond the store is an error.
    EXPECT_EQ(Ask(engine, "AT+CMGR=3"), kOk);
    EXPECT_EQ(Ask(engine, "AT+CMGR=0"), "\r\n+CMS ERROR: 321\r\n");
    EXPECT_EQ(Ask(engine, "AT+CMGR=51"), "\r\n+CMS ERROR: 321\r\n");
}

TEST(SmsExchange, TextModeReadFollowsTheCharacterSet)
{
    SmsMessage chinese = Received("");
    chinese.text = u"\u4F60\u597D";
    chinese.dcs = 8;
    const std::vector<std::tuple<const char*, SmsMessage, std::string>> rows = {
        {"GSM", Received("hi@"), "\"+8613912345678\",,\"08/01/25,13:45:32+32\"\r\nhi" + std::string(1, '\0')},
        {"IRA", Received("hi@"), "\"+8613912345678\",,\"08/01/25,13:45:32+32\"\r\nhi@"},
        {"HEX", Received("hi"), "\"2B38363133393132333435363738\",,\"08/01/25,13:45:32+32\"\r\n6869"},
        {"UCS2", Received("hi"),
            "\"002B0038003600310033003900310032003300340035003600370038\",,\"08/01/25,13:45:32+32\"\r\n00680069"},
        {"GSM", chinese, "\"+8613912345678\",,\"08/01/25,13:45:32+32\"\r\n4F60597D"},
    };
    for (const auto& [charset, message, expected] : rows) {
        ModemEngine engine(Family::Umts, "RX70B03");
        ASSERT_EQ(Store(engine, message), 0);
        Feed(engine, "ATE0\rAT+CMGF=1\r");
        ASSERT_EQ(Ask(engine, "AT+CSCS=\"" + std::string(charset) + "\""), kOk);
        EXPECT_EQ(Ask(engine, "AT+CMGR=0"), "\r\n+CMGR: \"REC UNREAD\"," + expected + "\r\n" + kOk) << charset;
    }
}

TEST(SmsExchange, PduModeReadGivesStatusLengthAndPdu)
{
    ModemEngine engine(Family::Gsm, "TZ20A01");
    Store(engine, Received("hello"));
    Feed(engine, "ATE0\r");
    // SMS-DELIVER from +8613912345678, 08/01/25 13:45:32 +8h, "hello"
    const std::string pdu = "0891683108100005F0040D91683119325476F8000080105231542323" "05E8329BFD06";
    EXPECT_EQ(Ask(engine, "AT+CMGR=1"), "\r\n+CMGR: 0,,25\r\n" + pdu + "\r\n" + kOk);
    EXPECT_EQ(Ask(engine, "AT+CMGR=1"), "\r\n+CMGR: 1,,25\r\n" + pdu + "\r\n" + kOk);
    auto decoded = DecodeSmsPdu(pdu);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->address, "+8613912345678");
    EXPECT_EQ(decoded->timestamp, "08/01/25,13:45:32+32");
    EXPECT_EQ(decoded->text, u"hello");
}

TEST(SmsExchange, StoredPduIsShownAsItIsAndDecodedForTextMode)
{
    ModemEngine engine(Family::Umts, "RX70B03");
    const std::string pdu = "0891683108100005F0040D91683119325476F8000880105231542323" "044F60597D";
    auto message = DecodeSmsPdu(pdu);
    ASSERT_TRUE(message);
    Store(engine, *message);
    Feed(engine, "ATE0\r");
    EXPECT_EQ(Ask(engine, "AT+CMGR=0,1"), "\r\n+CMGR: 0,,24\r\n" + pdu + "\r\n" + kOk);
    Feed(engine, "AT+CMGF=1\r");
    EXPECT_EQ(Ask(engine, "AT+CMGR=0"),
        "\r\n+CMGR: \"REC UNREAD\",\"+8613912345678\",,\"08/01/25,13:45:32+32\"\r\n4F60597D\r\n" + kOk);
}

TEST(SmsExchange, ListingFramesEntriesByFamily)
{
    const std::string h1 = "+CMGL: 1,\"REC UNREAD\",\"+8613912345678\",,\"08/01/25,13:45:32+32\"";
    const std::string h2 = "+CMGL: 2,\"STO UNSENT\",\"12345\",,";
    // GSM modules frame each entry; UMTS/HSPA modules send one block.
    {
        ModemEngine engine(Family::Gsm, "TZ20A01");
        Store(engine, Received("hello"));
        Store(engine, Stored("draft"));
        Feed(engine, "ATE0\rAT+CMGF=1\r");
        EXPECT_EQ(Ask(engine, "AT+CMGL=\"ALL\",1"), "\r\n" + h1 + "\r\nhello\r\n\r\n" + h2 + "\r\ndraft\r\n" + kOk);
        EXPECT_EQ(Ask(engine, "AT+CMGL=\"REC UNREAD\""), "\r\n" + h1 + "\r\nhello\r\n" + kOk);
        EXPECT_EQ(Ask(engine, "AT+CMGL=\"REC UNREAD\""), kOk);
        EXPECT_EQ(Ask(engine, "AT+CMGL=4"), "\r\n+CMS ERROR: 305\r\n");
    }
    {
        ModemEngine engine(Family::Umts, "RX70B03");
        Store(engine, Received("hello"));
        Store(engine, Stored("draft"));
        Feed(engine, "ATE0\rAT+CMGF=1\rAT+CSDH=1\r");
        EXPECT_EQ(Ask(engine, "AT+CMGL=\"ALL\""),
            "\r\n+CMGL: 0,\"REC UNREAD\",\"+8613912345678\",,\"08/01/25,13:45:32+32\",145,5\r\nhello\r\n"
            "+CMGL: 1,\"STO UNSENT\",\"12345\",,,129,5\r\ndraft\r\n" + kOk);
        EXPECT_EQ(Ask(engine, "AT+CMGL=\"REC READ\""),
            "\r\n+CMGL: 0,\"REC READ\",\"+8613912345678\",,\"08/01/25,13:45:32+32\",145,5\r\nhello\r\n" + kOk);
    }
    {
        ModemEngine engine(Family::Umts, "RX50C01");
        Store(engine, Received("hello"));
        Store(engine, Stored("draft"));
        Feed(engine, "ATE0\r");
        const std::string deliver = EncodeSmsPdu(Received("hello"));
        const std::string submit = EncodeSmsPdu(Stored("draft"));
        EXPECT_EQ(Ask(engine, "AT+CMGL=4"),
            "\r\n+CMGL: 0,0,,25\r\n" + deliver + "\r\n+CMGL: 1,2,,16\r\n" + submit + "\r\n" + kOk);
        EXPECT_EQ(Ask(engine, "AT+CMGL=\"ALL\""), "\r\n+CMS ERROR: 304\r\n");
    }
}

TEST(SmsExchange, DeletingOneAllOrByKind)
{
    struct Row {
        const char* revision;
        Family family;
        const char* command;
        std::string reply;
        std::size_t left;
    };
    const std::vector<Row> rows = {
        {"TZ20A01", Family::Gsm, "AT+CMGD=2", kOk, 3},
        {"TZ20A01", Family::Gsm, "AT+CMGD=9", kOk, 4},
        {"TZ20A01", Family::Gsm, "AT+CMGD=0", "\r\n+CMS ERROR: 321\r\n", 4},
        {"TZ20A01", Family::Gsm, "AT+CMGD=1,1", kOk, 3},
        {"KV33D01", Family::Umts, "AT+CMGD=1,4", kOk, 0},
        {"KV33D01", Family::Umts, "AT+JMGDA=6", kError, 4},
        {"RX70B03", Family::Umts, "AT+JMGDA=6", kOk, 0},
        {"RX50C01", Family::Umts, "AT+JMGDA=5", kOk, 2},
        {"RX50C01", Family::Umts, "AT+JMGDA=7", kError, 4},
        {"P21B02", Family::Gsm, "AT+JMGDA=6", kError, 4},
    };
    for (const Row& r : rows) {
        ModemEngine engine(r.family, r.revision);
        Store(engine, Received("a", 0));
        Store(engine, Received("b", 1));
        Store(engine, Stored("c", 2));
        Store(engine, Stored("d", 3));
        EXPECT_EQ(Ask(engine, r.command), r.reply) << r.revision << " " << r.command;
        EXPECT_EQ(engine.State().store.size(), r.left) << r.revision << " " << r.command;
    }
}

TEST(SmsExchange, NewMessageIsAnnouncedWithItsIndexUntilTheStoreIsFull)
{
    ModemEngine engine(Family::Gsm, "TZ20A01");
    engine.State().capacity = 2;
    std::vector<Emission> out;
    EXPECT_EQ(engine.StoreSms(Received("x"), true, out), 1);
    EXPECT_EQ(engine.StoreSms(Received("y"), true, out), 2);
    EXPECT_EQ(engine.StoreSms(Received("z"), true, out), -1);
    EXPECT_EQ(Bytes(out), "\r\n+CMTI: \"SM\",1\r\n\r\n+CMTI: \"SM\",2\r\n");
}
