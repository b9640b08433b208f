#include "at/SessionSim.h"
#include "common/WireFence.h"

#include "core/at/ScriptedExchange.h"
#include "core/at/WaitClock.h"
#include "pages/module/core/SmsScripts.h"
#include "platform/MessageBox.h"

#include <gtest/gtest.h>

#include <mutex>
#include <thread>

using namespace ulv;
using namespace std::chrono_literals;

namespace {

class RecordingSink : public SmsPageSink {
public:
    void SetStatus(const QString& text) override { Lock(), status = text; }
    void ShowMessage(const SmsEntry& e) override { Lock(), shown.push_back(e); }
    void PutEntry(const SmsEntry& e) override { Lock(), put.push_back(e); }
    void AppendEntry(const SmsEntry& e) override { Lock(), appended.push_back(e); }
    void ClearEntries() override { Lock(), ++clears; }
    void EntryDeleted(const QString& index) override { Lock(), deleted.push_back(index); }
    void AllDeleted() override { Lock(), ++allDeleted; }

    std::unique_lock<std::mutex> Lock() { return std::unique_lock<std::mutex>(m); }
    std::mutex m;
    QString status;
    std::vector<SmsEntry> shown, put, appended;
    std::vector<QString> deleted;
    int clears = 0, allDeleted = 0;
};

class SmsScripts : public test::SessionSim {
protected:
    void SetUp() override
    {
        test::SessionSim::SetUp();
        ASSERT_TRUE(Open());
    }
    void TearDown() override
    {
        SetWaitClockSpeed(1);
        test::SessionSim::TearDown();
    }
    void Use(sim::Family family, const std::string& revision = {})
    {
        Restart(family, revision);
        ASSERT_TRUE(Open());
    }
    template <class Body>
    bool Run(Body body)
    {
        auto token = session->Gate().TryStart();
        EXPECT_TRUE(token);
        const ScriptRunner runner(*session, *token);
        return body(runner);
    }
    static sim::SmsMessage Message(const std::u16string& text, int status = 0)
    {
        sim::SmsMessage m;
        m.text = text;
        m.status = status;
        return m;
    }

    MessageBoxRecorder boxes;
    RecordingSink sink;
};

TEST_F(SmsScripts, SendsTextInGsmAndUcs2)
{
    SmsSendRequest r;
    r.text = "hello";
    r.number = "12345";
    EXPECT_TRUE(Run([&](const ScriptRunner& s) { return SendSmsScript(s, r, sink); }));
    EXPECT_EQ(Received(), "ATE1\r\nAT+CMGF=1\r\nAT+CSMP=17,167,0,0\r\nAT+CSCS=\"GSM\"\r\nAT+CMGS=\"12345\"\r\nhello\x1a");
    EXPECT_EQ(boxes.Texts(), QStringList{"Success to send a message!"});
    EXPECT_EQ(sink.status, "Send finished");
    ASSERT_EQ(State().sent.size(), 1u);
    EXPECT_EQ(State().sent[0].text, u"hello");

    r.type = kSmsTypeUcs2;
    r.text = "\xE4\xBD\xA0\xE5\xA5\xBD";
    EXPECT_TRUE(Run([&](const ScriptRunner& s) { return SendSmsScript(s, r, sink); }));
    EXPECT_NE(Received().find("AT+CSMP=17,167,0,8\r\nAT+CSCS=\"UCS2\"\r\nAT+CMGS=\"00310032003300340035\"\r\n4F60597D\x1a"),
        std::string::npos);
    ASSERT_EQ(State().sent.size(), 2u);
    EXPECT_EQ(State().sent[1].text, u"\u4F60\u597D");
}

TEST_F(SmsScripts, BadNumbersSendNothing)
{
    for (const char* number : {"86+13", "12a", "123456789012345678901"}) {
        SmsSendRequest r;
        r.text = "hello";
        r.number = number;
        boxes.Clear();
        EXPECT_FALSE(Run([&](const ScriptRunner& s) { return SendSmsScript(s, r, sink); })) << number;
        EXPECT_EQ(boxes.Texts(), QStringList{"Recipient number is invalid!"}) << number;
    }
    EXPECT_EQ(Received(), "");
}

TEST_F(SmsScripts, HexBodiesHoldOnlyHexDigitsOrNothingGoesOut)
{
    const QString hexOnly = "The message may hold only hex digits and blanks in this mode!";
    const struct {
        int type;
        int inputMode;
        int moduleType;
        const char* text;
    } cases[] = {
        {kSmsTypeIraOr8Bit, 1, 0, "68 65\x1a 6c"},      // HEX character set
        {kSmsTypeUcs2, 1, 0, "0068\x1b" "0065"},        // UCS2 typed as hex
        {kSmsTypePdu, 1, 0, "0011000591\r\nAT+CFUN=0"}, // a pasted PDU with a line in it
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        SmsSendRequest r;
        r.type = c.type;
        r.inputMode = c.inputMode;
        r.moduleType = c.moduleType;
        r.text = c.text;
        r.number = "12345";
        EXPECT_TRUE(test::RefusedQuietly(boxes, sim(), *session, hexOnly,
            [&] { EXPECT_FALSE(Run([&](const ScriptRunner& s) { return SendSmsScript(s, r, sink); })); }));
    }
}

TEST_F(SmsScripts, SilenceOrAnErrorAfterCtrlZIsAFailure)
{
    SetWaitClockSpeed(10);
    for (const char* fault : {"<sms> | silent", "<sms> | cms 500"}) {
        StartSim(sim::Family::Gsm);
        session = std::make_unique<ModemSession>();
        ASSERT_TRUE(Open());
        AddFault(fault);
        boxes.Clear();
        SmsSendRequest r;
        r.text = "hello";
        r.number = "12345";
        EXPECT_FALSE(Run([&](const ScriptRunner& s) { return SendSmsScript(s, r, sink); })) << fault;
        EXPECT_EQ(boxes.Texts(), QStringList{"Fail to send message!"}) << fault;
    }
}

TEST_F(SmsScripts, StopEndsTheSendWithoutMoreCommandsOrBoxes)
{
    AddFault("AT+CSCS | silent");
    auto token = session->Gate().TryStart();
    ASSERT_TRUE(token);
    bool result = true;
    std::thread worker([&] {
        const ScriptRunner runner(*session, *token);
        SmsSendRequest r;
        r.text = "hello";
        r.number = "12345";
        result = SendSmsScript(runner, r, sink);
    });
    ASSERT_TRUE(WaitForCommand("AT+CSCS=\"GSM\"", 10s));
    session->Gate().Stop();
    worker.join();
    EXPECT_FALSE(result);
    EXPECT_EQ(boxes.Count(), 0);
    EXPECT_EQ(Received().find("AT+CMGS"), std::string::npos);
}

TEST_F(SmsScripts, ReadsByIndexInTextAndPduMode)
{
    sim::SmsMessage m = Message(u"ERROR and OK");
    m.timestamp = "24/01/25,13:45:32+32";
    const int index = StoreSms(m, false);
    SmsReadRequest r;
    EXPECT_TRUE(Run([&](const ScriptRunner& s) { return ReadSmsScript(s, r, index, sink); }));
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0], (SmsEntry{QString::number(index), "24/01/25,13:45:32+32", "8613912345678", "REC READ",
                                 "ERROR and OK"}));
    EXPECT_EQ(sink.put, sink.shown);
    EXPECT_NE(Received().find("AT+CSDH=1\r\n"), std::string::npos);
    EXPECT_NE(Received().find("AT+CSDH=0\r\n"), std::string::npos);

    r.pduMode = true;
    const int unsent = StoreSms(Message(u"hi", 2), false);
    EXPECT_TRUE(Run([&](const ScriptRunner& s) { return ReadSmsScript(s, r, index, sink); }));
    EXPECT_TRUE(Run([&](const ScriptRunner& s) { return ReadSmsScript(s, r, unsent, sink); }));
    ASSERT_EQ(sink.shown.size(), 3u);
    EXPECT_EQ(sink.shown[1].time, "2024/01/25  13:45:32+32");
    EXPECT_EQ(sink.shown[1].content, "ERROR and OK");
    EXPECT_EQ(sink.shown[2].status, "STO UNSENT");
    EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(SmsScripts, ReadsNewMessagesInOrder)
{
    std::vector<int> indexes;
    for (const char16_t* text : {u"one", u"two", u"three"})
        indexes.push_back(StoreSms(Message(text), false));
    SmsReadRequest r;
    EXPECT_TRUE(Run([&](const ScriptRunner& s) { return ReadNewSmsScript(s, r, indexes, sink); }));
    ASSERT_EQ(sink.shown.size(), 3u);
    EXPECT_EQ(sink.shown[0].content, "one");
    EXPECT_EQ(sink.shown[2].content, "three");
    const std::string log = Received();
    EXPECT_EQ(log.find("AT+CSDH=0"), log.rfind("AT+CSDH=0"));
}

TEST_F(SmsScripts, ListsEveryMessageInBothFamiliesAndModes)
{
    const struct {
        sim::Family family;
        bool pdu;
        const char* command;
    } cases[] = {
        {sim::Family::Gsm, false, "AT+CMGL=\"ALL\",1\r\n"},
        {sim::Family::Umts, false, "AT+CMGL=\"ALL\"\r\n"},
        {sim::Family::Gsm, true, "AT+CMGL=4,1\r\n"},
        {sim::Family::Umts, true, "AT+CMGL=4\r\n"},
    };
    for (const auto& c : cases) {
        Use(c.family);
        StoreSms(Message(u"BOOK"), false);
        StoreSms(Message(u"ERROR and OK", 1), false);
        StoreSms(Message(u"kept", 2), false);
        RecordingSink s;
        SmsReadRequest r;
        r.pduMode = c.pdu;
        r.moduleType = c.family == sim::Family::Gsm ? 0 : 1;
        boxes.Clear();
        EXPECT_TRUE(Run([&](const ScriptRunner& runner) { return ReadAllSmsScript(runner, r, s); })) << c.command;
        EXPECT_NE(Received().find(c.command), std::string::npos) << c.command;
        ASSERT_EQ(s.appended.size(), 3u) << c.command;
        EXPECT_EQ(s.appended[0].content, "BOOK") << c.command;
        EXPECT_EQ(s.appended[1].content, "ERROR and OK") << c.command;
        EXPECT_EQ(s.appended[2].status, "STO UNSENT") << c.command;
        EXPECT_EQ(boxes.Count(), 0) << c.command;
    }
}

TEST_F(SmsScripts, AnEmptyStoreListsNothing)
{
    SmsReadRequest r;
    EXPECT_FALSE(Run([&](const ScriptRunner& s) { return ReadAllSmsScript(s, r, sink); }));
    EXPECT_EQ(boxes.Texts(), QStringList{"No messages in SIM card!"});
    EXPECT_EQ(Received().find("AT+CMGL"), std::string::npos);
}

TEST_F(SmsScripts, DeletesOneAndAll)
{
    const int index = StoreSms(Message(u"x"), false);
    EXPECT_TRUE(Run([&](const ScriptRunner& s) { return DeleteSmsScript(s, index, sink); }));
    EXPECT_EQ(sink.deleted, std::vector<QString>{QString::number(index)});
    EXPECT_TRUE(State().store.empty());

    const struct {
        sim::Family family;
        const char* revision;
        int moduleType;
        int subModel;
        const char* command;
    } cases[] = {
        {sim::Family::Gsm, "TZ20A01", 0, 0, "AT+CMGD=1,4\r\n"},
        {sim::Family::Umts, "RX70B03", 1, 0, "AT+JMGDA=6\r\n"},
        {sim::Family::Umts, "KV33D01", 1, 2, "AT+CMGD=1,4\r\n"},
    };
    for (const auto& c : cases) {
        Use(c.family, c.revision);
        StoreSms(Message(u"x"), false);
        StoreSms(Message(u"y"), false);
        RecordingSink s;
        EXPECT_TRUE(Run([&](const ScriptRunner& r) { return DeleteAllSmsScript(r, c.moduleType, c.subModel, s); }))
            << c.revision;
        EXPECT_NE(Received().find(c.command), std::string::npos) << c.revision;
        EXPECT_EQ(s.allDeleted, 1) << c.revision;
        EXPECT_TRUE(State().store.empty()) << c.revision;
    }
    EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join(';').toStdString();
}

} // namespace
