// The audio read-back and the audio commands of the four dialects, against the
// simulated module through the session alone.

#include "at/SessionSim.h"

#include "core/at/SendAndWait.h"
#include "pages/module/core/AudioCommandSet.h"
#include "pages/module/core/VoiceCall.h"

#include <gtest/gtest.h>

#include <map>
#include <thread>

using namespace ulv;

namespace {

struct Dialect {
    sim::Family family;
    const char* revision;
    const AudioCommandSet* set;
    AudioFamily audio;
    const char* channelName; // the channel command without "=?" or "?"
};

const Dialect kDialects[] = {
    {sim::Family::Gsm, "TZ20A01", &PxxModule, AudioFamily::Gsm, "at+jaudch"},
    {sim::Family::Umts, "RX50C01", &RX50Module, AudioFamily::Rx50, "AT+JAUDPATH"},
    {sim::Family::Umts, "RX70B03", &RX70Module, AudioFamily::Rx70, "AT+JDAI"},
    {sim::Family::Umts, "KV33D01", &KVXXModule, AudioFamily::Kv, "AT+JAUDMOD"},
};

struct Collected {
    std::map<int, int> values; // selector -> value
    std::vector<int> channels;
    int enabled = 0;
    AudioReadbackSink Sink()
    {
        AudioReadbackSink s;
        s.enableSetButtons = [this] { ++enabled; };
        s.value = [this](int selector, int value) { values[selector] = value; };
        s.checkChannel = [this](int channel) { channels.push_back(channel); };
        return s;
    }
};

class VoiceReadbackSim : public test::SessionSim {
protected:
    void Use(const Dialect& d)
    {
        Restart(d.family, d.revision);
        ASSERT_TRUE(Open());
    }
    // Runs the read-back on this thread under a task of its own.
    Collected Readback(const Dialect& d)
    {
        Collected c;
        auto token = session->Gate().TryStart();
        EXPECT_TRUE(token.has_value());
        if (token)
            AudioReadbackThread(*session, *token, c.Sink(), *d.set, d.audio);
        return c;
    }
    std::vector<std::string> Commands() { return sim().Commands(); }
    static std::vector<std::string> ReadbackCommands(const Dialect& d)
    {
        const std::string channel = d.channelName;
        return {"ATE1", channel + "=?", channel + "?", "AT+CLVL?", "AT+JMIC?", "AT+JSIDET?"};
    }
};

TEST_F(VoiceReadbackSim, ReadsEveryValueOfEachDialect)
{
    struct Expect {
        std::map<int, int> values;
        std::vector<int> channels;
    };
    // The module's values differ from the page's start values, so a value
    // that arrives is seen to arrive.
    const Expect expects[] = {
        {{{kReadbackVolume, 60}, {kReadbackMicGain, 9}, {kReadbackSideTone, 100}}, {2}},
        {{{kReadbackVolume, 4}, {kReadbackMicGain, 20000}, {kReadbackSecondMicGain, 25000}, {kReadbackSideTone, 30000}},
            {2}},
        // The RX70's channel is fixed: its reply checks no radio.
        {{{kReadbackVolume, 4}, {kReadbackMicGain, 20000}, {kReadbackSecondMicGain, 25000}, {kReadbackSideTone, 30000}},
            {}},
        {{{kReadbackVolume, 60}, {kReadbackMicGain, 9}, {kReadbackSideTone, -100}}, {2}},
    };
    for (std::size_t i = 0; i < std::size(kDialects); ++i) {
        const Dialect& d = kDialects[i];
        Use(d);
        sim().With([](sim::ModemEngine& e) { e.State().channel = 2; });
        const Collected c = Readback(d);
        EXPECT_EQ(Commands(), ReadbackCommands(d)) << d.revision;
        EXPECT_EQ(c.values, expects[i].values) << d.revision;
        EXPECT_EQ(c.channels, expects[i].channels) << d.revision;
        EXPECT_EQ(c.enabled, 1) << d.revision;
        EXPECT_FALSE(session->Gate().Running()) << d.revision;
    }
}

TEST_F(VoiceReadbackSim, FirstFailedExchangeEndsTheReadbackSilently)
{
    struct Row {
        const char* fault;
        std::size_t commandsSent;
        std::map<int, int> values;
    };
    const Row rows[] = {
        {"AT+CLVL? | error", 4, {}},
        {"AT+JMIC? | cme 100", 5, {{kReadbackVolume, 4}}},
        {"at+jaudpath=? | silent", 2, {}},
    };
    for (const Row& r : rows) {
        Use(kDialects[1]);
        AddFault(r.fault);
        const Collected c = Readback(kDialects[1]);
        const auto all = ReadbackCommands(kDialects[1]);
        EXPECT_EQ(Commands(), std::vector<std::string>(all.begin(), all.begin() + long(r.commandsSent))) << r.fault;
        EXPECT_EQ(c.values, r.values) << r.fault;
    }
}

TEST_F(VoiceReadbackSim, ShortOrOddRepliesChangeOnlyWhatTheyHold)
{
    struct Row {
        int dialect;
        const char* fault;
        std::map<int, int> values;
    };
    const Row rows[] = {
        // The RX50 answers its microphone gain with one value only: the second stays.
        {1, "AT+JMIC? | reply \\r\\n+JMIC: 1,500\\r\\n\\r\\nOK\\r\\n",
            {{kReadbackVolume, 4}, {kReadbackMicGain, 500}, {kReadbackSideTone, 30000}}},
        {1, "AT+JMIC? | reply \\r\\n+JMIC: 1\\r\\n\\r\\nOK\\r\\n", {{kReadbackVolume, 4}, {kReadbackSideTone, 30000}}},
        // A row with a single field, and a value that is no number.
        {0, "AT+CLVL? | reply \\r\\n+CLVL\\r\\n\\r\\nOK\\r\\n", {{kReadbackMicGain, 9}, {kReadbackSideTone, 100}}},
        {0, "AT+CLVL? | reply \\r\\n+CLVL: loud\\r\\n\\r\\nOK\\r\\n", {{kReadbackMicGain, 9}, {kReadbackSideTone, 100}}},
        // An unsolicited result in the reply is not the value.
        {0, "AT+CLVL? | reply \\r\\n+CMTI: \"SM\",3\\r\\n+CLVL: 35\\r\\n\\r\\nOK\\r\\n",
            {{kReadbackVolume, 35}, {kReadbackMicGain, 9}, {kReadbackSideTone, 100}}},
    };
    for (const Row& r : rows) {
        const Dialect& d = kDialects[r.dialect];
        Use(d);
        AddFault(r.fault);
        const Collected c = Readback(d);
        EXPECT_EQ(c.values, r.values) << r.fault;
        EXPECT_EQ(Commands().size(), 6u) << r.fault;
    }
}

TEST_F(VoiceReadbackSim, StoppedReadbackSendsNothingMore)
{
    Use(kDialects[0]);
    AddFault("AT+CLVL? | delay 800");
    Collected c;
    std::thread stopper([&] {
        sim().WaitForCommand("AT+CLVL?", std::chrono::seconds(10));
        session->Gate().Stop();
    });
    auto token = session->Gate().TryStart();
    ASSERT_TRUE(token.has_value());
    AudioReadbackThread(*session, *token, c.Sink(), PxxModule, AudioFamily::Gsm);
    stopper.join();
    EXPECT_EQ(Commands().back(), "AT+CLVL?");
    EXPECT_TRUE(c.values.empty());
}

// Every command of the four dialects is answered; the set forms the page sends
// with its start values read back as sent.
TEST_F(VoiceReadbackSim, ModuleAnswersEveryCommandOfEachDialect)
{
    for (const Dialect& d : kDialects) {
        Use(d);
        const AudioRanges ranges = AudioRangesFor(d.audio);
        const int second = ranges.secondMicGain ? ranges.secondMicGain->start : 0;
        const auto mic = MicGainValues(d.audio, 1, ranges.micGain.start, second);
        ASSERT_TRUE(mic.has_value());
        const std::array<int, 1> none{0};
        const AudioCommandSet& s = *d.set;
        const QString commands[] = {
            s.mute(kAudioTest, none), s.mute(kAudioRead, none), s.mute(kAudioSet, std::array{1}),
            s.audioChannel(kAudioTest, none), s.audioChannel(kAudioRead, none),
            s.audioChannel(kAudioSet, std::array{1}),
            s.volume(kAudioTest, none), s.volume(kAudioRead, none),
            s.volume(kAudioSet, std::array{ranges.volume.start}),
            s.micGain(kAudioTest, none), s.micGain(kAudioRead, none), s.micGain(kAudioSet, *mic),
            s.sideTone(kAudioTest, none), s.sideTone(kAudioRead, none),
            s.sideTone(kAudioSet, std::array{ranges.sideTone.start}),
            s.ringSilent(kAudioTest, none), s.ringSilent(kAudioRead, none), s.ringSilent(kAudioSet, std::array{1}),
        };
        const RunningFlag running = [] { return true; };
        for (const QString& command : commands) {
            QString reply;
            EXPECT_EQ(SendAndCollectOwn(*session, running, command, reply, "OK", "ERROR", 3000), 0)
                << d.revision << " " << command.toStdString() << " " << reply.toStdString();
        }
        const sim::ModemState state = State();
        EXPECT_EQ(state.volume, ranges.volume.start) << d.revision;
        EXPECT_EQ(state.sideTone, ranges.sideTone.start) << d.revision;
        EXPECT_EQ(state.mute, 1) << d.revision;
        EXPECT_EQ(state.ringSilent, 1) << d.revision;
        if (d.audio == AudioFamily::Rx50 || d.audio == AudioFamily::Rx70) {
            EXPECT_EQ(state.micGainA, ranges.micGain.start) << d.revision;
            EXPECT_EQ(state.micGainB, second) << d.revision;
        } else {
            EXPECT_EQ(state.micGain[1], ranges.micGain.start) << d.revision;
        }
    }
}

} // namespace
