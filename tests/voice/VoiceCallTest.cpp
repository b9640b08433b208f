#include "pages/module/core/VoiceCall.h"

#include "pages/module/core/CallClock.h"

#include <chrono>
#include <gtest/gtest.h>

using namespace ulv;

TEST(VoiceCall, ClccStatesMapToPageStates)
{
    const std::pair<const char*, int> rows[] = {
        {"0", kCallActive}, {"1", kCallHeld}, {"2", kCallDialing}, {"3", kCallAlerting},
        {"4", kCallIncoming}, {"5", kCallWaiting}, {"6", kCallIdle}, {"", kCallIdle}, {" 0", kCallIdle},
    };
    for (const auto& [stat, state] : rows)
        EXPECT_EQ(ClccStatToCallState(QString::fromLatin1(stat)), state) << stat;
}

TEST(VoiceCall, ClccRepliesGiveStateAndNumber)
{
    struct Row {
        const char* reply;
        bool hasCall;
        int state;
        const char* number; // nullptr: none
    };
    const Row rows[] = {
        {"AT+CLCC\r\r\nOK\r\n", false, kCallIdle, nullptr},
        {"AT+CLCC\r\r\n+CLCC: 1,0,2,0,0,\"10086\",129\r\n\r\nOK\r\n", true, kCallDialing, "10086"},
        {"\r\n+CLCC: 1,1,4,0,0,\"+8613912345678\",145\r\n\r\nOK\r\n", true, kCallIncoming, "+8613912345678"},
        // An unsolicited result before the call's row is not the call.
        {"\r\n+CMTI: \"SM\",3\r\n+CLCC: 1,0,0,0,0,\"12345\",129\r\n\r\nOK\r\n", true, kCallActive, "12345"},
        // A cut row: no state field, nothing read past the end.
        {"\r\n+CLCC: 1,0\r\n\r\nOK\r\n", true, kCallIdle, nullptr},
        {"\r\n+CLCC: 1,0,0,0,0\r\n\r\nOK\r\n", true, kCallActive, nullptr},
        // One quote only: the number box is left alone.
        {"\r\n+CLCC: 1,0,3,0,0,\"123\r\n", true, kCallAlerting, nullptr},
    };
    for (const Row& r : rows) {
        const ClccReport report = ParseClccReply(QString::fromLatin1(r.reply));
        EXPECT_EQ(report.hasCall, r.hasCall) << r.reply;
        EXPECT_EQ(report.state, r.state) << r.reply;
        ASSERT_EQ(report.number.has_value(), r.number != nullptr) << r.reply;
        if (r.number) {
            EXPECT_EQ(*report.number, QString::fromLatin1(r.number)) << r.reply;
        }
    }
}

TEST(VoiceCall, CallNumbersDecodeFromTheCharacterSetInForce)
{
    const struct {
        const char* number;
        const char* charset;
        const char* expected;
    } cases[] = {
        {"+8610086", "GSM", "+8610086"},
        {"10086", "IRA", "10086"},
        {"2B3836313030383623", "HEX", "+8610086#"},
        {"2b38", "hex", "+8"},
        {"002B0038003600310030003000380036", "UCS2", "+8610086"},
        {"*31#", "UCS2", ""},              // not four hex digits a character
        {"313", "HEX", ""},                // half a character
        {"3130G0", "HEX", ""},             // no hex digit
        {"31303B", "HEX", ""},             // ";" would end the dial command
        {"0031000D", "UCS2", ""},          // nor may a line end come through
        {"10086;ATH", "GSM", ""},
        {"4F60", "UCS2", ""},              // a name, not a number
        {"", "HEX", ""},                   // withheld
        {"1234P5W6", "8859-1", "1234P5W6"}, // a set not known: as it is
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecodeCallNumber(c.number, c.charset), c.expected) << c.number << " in " << c.charset;
}

TEST(VoiceCall, CharsetRepliesAndCallerLines)
{
    EXPECT_EQ(CharsetOfCscsReply("AT+CSCS?\r\r\n+CSCS: \"UCS2\"\r\n\r\nOK\r\n"), "UCS2");
    EXPECT_EQ(CharsetOfCscsReply("\r\n+CSCS: \"hex\"\r\nOK\r\n"), "HEX");
    EXPECT_EQ(CharsetOfCscsReply("\r\nERROR\r\n"), "GSM");
    EXPECT_EQ(CharsetOfCscsReply(""), "GSM");
    EXPECT_EQ(ParseClipLine("+CLIP: \"2B3836\",145"), QString("2B3836"));
    EXPECT_EQ(ParseClipLine("+CLIP: \"\",128"), QString(""));
    EXPECT_EQ(ParseClipLine("+CLIP: 1,1"), std::nullopt);
    EXPECT_EQ(ParseClipLine("RING"), std::nullopt);
}

TEST(VoiceCall, CallCommandDialsOrAnswers)
{
    EXPECT_EQ(CallCommand("12345", kCallIdle), "ATD12345;");
    EXPECT_EQ(CallCommand("+4917", kCallActive), "ATD+4917;");
    EXPECT_EQ(CallCommand("", kCallIncoming), "ATA");
    EXPECT_EQ(CallCommand("12345", kCallIncoming), "ATA");
    EXPECT_EQ(CallCommandNote("ATA"), "/* Use ATA to answer */");
    EXPECT_EQ(CallCommandNote("ATD12345;"), "/* Use ATD12345; to dial up */");
}

TEST(VoiceCall, CallTimeIsSecondsWithTwoDecimals)
{
    EXPECT_EQ(CallTimeText(6020), "Call Time:6.02 S");
    EXPECT_EQ(CallTimeText(0), "Call Time:0.00 S");
    EXPECT_EQ(CallTimeText(3723456), "Call Time:3723.46 S");
}

TEST(VoiceCall, FamiliesFollowTypeAndSubModel)
{
    EXPECT_EQ(AudioFamilyOf(0, 0), AudioFamily::Gsm);
    EXPECT_EQ(AudioFamilyOf(0, 2), AudioFamily::Gsm);
    EXPECT_EQ(AudioFamilyOf(1, 0), AudioFamily::Rx70);
    EXPECT_EQ(AudioFamilyOf(1, 1), AudioFamily::Rx50);
    EXPECT_EQ(AudioFamilyOf(1, 2), AudioFamily::Kv);
    EXPECT_TRUE(AudioChannelsFixed(AudioFamily::Rx70));
    EXPECT_FALSE(AudioChannelsFixed(AudioFamily::Rx50));
}

TEST(VoiceCall, MicrophoneGainValuesPerFamily)
{
    using V = std::array<int, 3>;
    EXPECT_EQ(MicGainValues(AudioFamily::Gsm, 2, 9, 0), (V{2, 9, 0}));
    EXPECT_EQ(MicGainValues(AudioFamily::Gsm, -1, 9, 0), std::nullopt);
    EXPECT_EQ(MicGainValues(AudioFamily::Kv, -1, 4, 1), (V{-1, 4, 0}));
    EXPECT_EQ(MicGainValues(AudioFamily::Kv, 1, 4, 1), (V{1, 4, 0}));
    EXPECT_EQ(MicGainValues(AudioFamily::Rx50, -1, 100, 200), (V{1, 100, 200}));
    EXPECT_EQ(MicGainValues(AudioFamily::Rx70, 2, 100, 200), (V{1, 100, 200}));
}

TEST(VoiceCall, CallClockReadsTheMonotonicWallClock)
{
    using namespace std::chrono;
    const auto clock = MakeSteadyCallClock();
    const std::int64_t before = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    const std::int64_t now = clock->NowMs();
    const std::int64_t after = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    EXPECT_GE(now, before);
    EXPECT_LE(now, after);
    EXPECT_FALSE(clock->Repeating());
}
