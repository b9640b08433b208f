// The voice call page as a user drives it, against the simulated module.

#include "sim/SimFixture.h"

#include "ManualCallClock.h"
#include "common/EventLoopWait.h"
#include "common/SimPageHost.h"
#include "common/TaskWait.h"
#include "common/WireFence.h"
#include "core/at/CommandQueue.h"
#include "pages/module/CTestItemDlg_voice.h"
#include "pages/module/core/AudioCommandSet.h"
#include "platform/MessageBox.h"
#include "platform/TaskGate.h"
#include "shell/CTestView1.h"
#include "shell/CTestView2.h"
#include "shell/core/CUlvenscopeApp.h"
#include "shell/core/SysParams.h"
#include "ui/controls/CDialRichEdit.h"
#include "ui/controls/CNumSpinCtrl.h"
#include "ui/controls/CSkinButton.h"

#include <QCheckBox>
#include <atomic>
#include <memory>
#include <QLabel>
#include <QRadioButton>
#include <gtest/gtest.h>

using namespace ulv;
using namespace std::chrono_literals;

namespace {

struct Dialect {
    sim::Family family;
    const char* revision;
    int moduleType;
    int subModel;
    const char* channel; // the channel command without "=?" or "?"
};

const Dialect kGsm{sim::Family::Gsm, "TZ20A01", 0, 0, "at+jaudch"};
const Dialect kRx50{sim::Family::Umts, "RX50C01", 1, 1, "AT+JAUDPATH"};
const Dialect kRx70{sim::Family::Umts, "RX70B03", 1, 0, "AT+JDAI"};
const Dialect kKv{sim::Family::Umts, "KV33D01", 1, 2, "AT+JAUDMOD"};
const Dialect kDialects[] = {kGsm, kRx50, kRx70, kKv};

class VoicePage : public test::PageHostSim {
protected:
    void TearDown() override
    {
        Close();
        g_audioCommandSet = &PxxModule;
        test::PageHostSim::TearDown();
    }
    // A fresh module of the dialect and the page host on it, the voice page
    // adapted to the module as the identification would.
    void Use(const Dialect& d)
    {
        Close();
        StartSim(d.family, d.revision);
        host = test::OpenSimPageHost(SlavePath(), d.moduleType, d.subModel, 500, 700);
        ASSERT_TRUE(host);
        auto owned = std::make_unique<test::ManualCallClock>();
        clock = owned.get();
        Page()->SetClock(std::move(owned));
        Page()->OnModuleIdentified();
        host->show();
        Page()->show();
    }
    void Close()
    {
        if (!host)
            return;
        AppTaskGate().Stop();
        Until([] { return !AppTaskGate().Running(); });
        // What the page queued is done before the module goes: the queue
        // runs in order, so a last command's answer comes after all of theirs.
        auto done = std::make_shared<std::atomic<bool>>(false);
        AppCommandQueue().Queue(CommandRequest::Command("AT", [done](const QString&) { *done = true; }));
        Until([done] { return done->load(); });
        host.reset();
    }
    template <class Pred>
    static bool Until(Pred done, int ms = 20000)
    {
        return test::RunEventsUntil(done, ms);
    }
    CTestItemDlg_voice* Page() { return host->VoicePage(); }
    std::vector<std::string> Commands() { return sim().Commands(); }
    std::size_t Count(const std::string& command)
    {
        const auto all = Commands();
        return std::size_t(std::count(all.begin(), all.end(), command));
    }
    // Waits until the module has heard the command n times.
    bool Heard(const std::string& command, std::size_t n = 1)
    {
        return Until([&] { return Count(command) >= n; });
    }
    static std::vector<std::string> Readback(const Dialect& d)
    {
        const std::string c = d.channel;
        return {"ATE1", c + "=?", c + "?", "AT+CLVL?", "AT+JMIC?", "AT+JSIDET?"};
    }
    // Types the number and presses CALL; waits until the dial has gone out.
    bool Dial(const QString& number, const std::string& command)
    {
        Page()->NumberBox()->setPlainText(number);
        Page()->CallButton()->click();
        return Heard(command) && Until([&] { return !AppTaskGate().Running(); });
    }
    QString Status() { return Page()->StatusText()->text(); }

    MessageBoxRecorder boxes;
    std::unique_ptr<CTestView1> host;
    test::ManualCallClock* clock = nullptr;
};

TEST_F(VoicePage, DialFollowsTheCallThroughItsStatesInEachDialect)
{
    for (const Dialect& d : kDialects) {
        SCOPED_TRACE(d.revision);
        Use(d);
        ASSERT_TRUE(Dial("12345", "ATD12345;"));
        auto expected = Readback(d);
        expected.push_back("ATD12345;");
        EXPECT_EQ(Commands(), expected);
        ASSERT_TRUE(Until([&] { return Page()->CallPolling(); }));
        EXPECT_EQ(Status(), "Calling...");
        EXPECT_FALSE(Page()->CallButton()->isEnabled());
        EXPECT_EQ(clock->PeriodMs(), 3000);

        // Nothing is asked before the period is over.
        clock->Advance(2999);
        EXPECT_EQ(clock->Ticks(), 0);
        const int states[] = {kCallDialing, kCallAlerting, kCallActive};
        for (int state : states) {
            clock->Advance(clock->Ticks() == 0 ? 1 : kCallPollPeriodMs);
            ASSERT_TRUE(Until([&] { return Page()->CallState() == state; })) << state;
        }
        EXPECT_EQ(Count("AT+CLCC"), 3u);
        EXPECT_TRUE(Page()->MuteCheck()->isEnabled());
        EXPECT_EQ(Page()->NumberBox()->toPlainText(), "12345");

        Page()->EndButton()->click();
        ASSERT_TRUE(Until([&] { return Page()->CallState() == kCallIdle; }));
        EXPECT_EQ(Commands().back(), "ATH");
        EXPECT_TRUE(Page()->CallButton()->isEnabled());
        EXPECT_FALSE(Page()->MuteCheck()->isEnabled());
        // Polling goes on until the module has no call left.
        ASSERT_TRUE(Page()->CallPolling());
        clock->Advance(kCallPollPeriodMs);
        ASSERT_TRUE(Until([&] { return !Page()->CallPolling(); }));
        EXPECT_EQ(Count("AT+CLCC"), 4u);
        EXPECT_EQ(boxes.Count(), 0);
    }
}

TEST_F(VoicePage, CallTimeIsTheActiveTimeOnTheWallClock)
{
    Use(kGsm);
    ASSERT_TRUE(Dial("10086", "ATD10086;"));
    ASSERT_TRUE(Until([&] { return Page()->CallPolling(); }));
    for (int state : {kCallDialing, kCallAlerting, kCallActive}) {
        clock->Advance(kCallPollPeriodMs);
        ASSERT_TRUE(Until([&] { return Page()->CallState() == state; })) << state;
    }
    // Two more polls while the call is up, then the far end hangs up.
    for (int i = 0; i < 2; ++i) {
        const std::size_t polls = Count("AT+CLCC");
        clock->Advance(kCallPollPeriodMs);
        ASSERT_TRUE(Heard("AT+CLCC", polls + 1));
        ASSERT_TRUE(Until([&] { return !Page()->PollPending(); }));
    }
    clock->Advance(20);
    sim().RemoteHangUp();
    ASSERT_TRUE(Until([&] { return Page()->CallState() == kCallIdle; }));
    EXPECT_EQ(Status(), "Call Time:6.02 S");
    EXPECT_TRUE(Page()->StatusText()->isVisibleTo(Page()));
    EXPECT_TRUE(Page()->CallButton()->isEnabled());
    // The next poll finds no call and ends the polling.
    clock->Advance(kCallPollPeriodMs);
    ASSERT_TRUE(Until([&] { return !Page()->CallPolling(); }));
    EXPECT_EQ(Status(), "Call Time:6.02 S");
}

TEST_F(VoicePage, RingOffersAnswerAndDecline)
{
    Use(kKv);
    sim().Ring("+8613912345678");
    ASSERT_TRUE(Until([&] { return Page()->CallState() == kCallIncoming; }));
    EXPECT_EQ(Page()->CallButton()->text(), "Answer");
    EXPECT_EQ(Page()->EndButton()->text(), "Decline");
    EXPECT_FALSE(Page()->MuteCheck()->isEnabled());

    // CALL with an empty number box answers.
    ASSERT_TRUE(Dial("", "ATA"));
    auto expected = Readback(kKv);
    expected.push_back("ATA");
    EXPECT_EQ(Commands(), expected);
    EXPECT_EQ(Status(), "");
    ASSERT_TRUE(Until([&] { return Page()->CallPolling(); }));
    clock->Advance(kCallPollPeriodMs);
    ASSERT_TRUE(Until([&] { return Page()->CallState() == kCallActive; }));
    EXPECT_TRUE(Until([&] { return Page()->NumberBox()->toPlainText() == "+8613912345678"; }))
        << Page()->NumberBox()->toPlainText().toStdString();
    EXPECT_TRUE(Page()->MuteCheck()->isEnabled());
    // Answered: nothing is left to answer or decline.
    EXPECT_EQ(Page()->CallButton()->text(), "CALL");
    EXPECT_FALSE(Page()->CallButton()->isEnabled());
    EXPECT_EQ(Page()->EndButton()->text(), "End");

    // A page switch or a close is refused while the call is up.
    host->SwitchPage(1);
    EXPECT_EQ(host->CurrentPage(), 0);
    EXPECT_EQ(boxes.Texts(), QStringList{"Please hung up the call process or wait for end!"});

    sim().RemoteHangUp();
    ASSERT_TRUE(Until([&] { return Page()->CallState() == kCallIdle; }));
    EXPECT_EQ(Page()->CallButton()->text(), "CALL");
    EXPECT_EQ(Page()->EndButton()->text(), "End");
    EXPECT_TRUE(Page()->CallButton()->isEnabled());
    EXPECT_TRUE(Status().startsWith("Call Time:")) << Status().toStdString();

    // The next call rings: the last call's time goes.
    sim().Ring("5551234");
    ASSERT_TRUE(Until([&] { return Page()->CallState() == kCallIncoming; }));
    EXPECT_EQ(Status(), "");
    EXPECT_EQ(Page()->CallButton()->text(), "Answer");
}

TEST_F(VoicePage, CallNumbersAreShownAndRedialledAsDigitsInEveryCharacterSet)
{
    const struct {
        const char* set;
        sim::Charset charset;
        const Dialect* dialect;
    } cases[] = {
        {"GSM", sim::Charset::Gsm, &kGsm},
        {"IRA", sim::Charset::Ira, &kRx70},
        {"HEX", sim::Charset::Hex, &kGsm},
        {"UCS2", sim::Charset::Ucs2, &kRx70},
    };
    const QString number = "+8610086";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.set);
        Use(*c.dialect);
        // As the SMS page leaves it; the module tells the caller after RING.
        sim().With([&](sim::ModemEngine& e) {
            e.State().charset = c.charset;
            e.State().clip = 1;
        });
        sim().Ring(number.toStdString());
        ASSERT_TRUE(Until([&] { return Page()->CallState() == kCallIncoming; }));
        EXPECT_TRUE(Until([&] { return Page()->NumberBox()->toPlainText() == number; }))
            << "caller: " << Page()->NumberBox()->toPlainText().toStdString();

        // Answered, the call list gives the number in the same set.
        ASSERT_TRUE(Dial("", "ATA"));
        ASSERT_TRUE(Until([&] { return Page()->CallPolling(); }));
        Page()->NumberBox()->clear();
        clock->Advance(kCallPollPeriodMs);
        ASSERT_TRUE(Until([&] { return Page()->CallState() == kCallActive; }));
        EXPECT_TRUE(Until([&] { return Page()->NumberBox()->toPlainText() == number; }))
            << "call list: " << Page()->NumberBox()->toPlainText().toStdString();

        sim().RemoteHangUp();
        ASSERT_TRUE(Until([&] { return Page()->CallState() == kCallIdle; }));
        // CALL dials the number shown.
        Page()->CallButton()->click();
        EXPECT_TRUE(Heard("ATD+8610086;"));
        ASSERT_TRUE(Until([&] { return !AppTaskGate().Running(); }));
        EXPECT_EQ(boxes.Count(), 0);
    }
}

TEST_F(VoicePage, DeclineHangsUpARingingCall)
{
    Use(kRx50);
    sim().Ring("5551234");
    ASSERT_TRUE(Until([&] { return Page()->CallState() == kCallIncoming; }));
    Page()->EndButton()->click();
    ASSERT_TRUE(Until([&] { return Page()->CallState() == kCallIdle; }));
    EXPECT_EQ(Commands(), std::vector<std::string>{"ATH"});
    EXPECT_EQ(Page()->CallButton()->text(), "CALL");
    EXPECT_TRUE(State().calls.empty());
}

TEST_F(VoicePage, RefusedDialLeavesThePageIdle)
{
    const char* faults[] = {"ATD | error", "ATD | cme 30"};
    for (const char* fault : faults) {
        SCOPED_TRACE(fault);
        Use(kGsm);
        AddFault(fault);
        ASSERT_TRUE(Dial("12345", "ATD12345;"));
        ASSERT_TRUE(Until([&] { return Page()->CallButton()->isEnabled(); }));
        EXPECT_EQ(Status(), "");
        EXPECT_FALSE(Page()->CallPolling());
        EXPECT_EQ(Page()->IsCallIdle(), 1);
        EXPECT_FALSE(Page()->NumberBox()->isReadOnly());
    }
}

TEST_F(VoicePage, CallNeedsANumberAPortAndNoTask)
{
    Use(kGsm);
    Page()->CallButton()->click(); // empty box, no call ringing
    EXPECT_FALSE(AppTaskGate().Running());
    {
        auto token = AppTaskGate().TryStart();
        Page()->NumberBox()->setPlainText("12345");
        Page()->CallButton()->click();
        EXPECT_EQ(AppCommandQueue().Pending(), 0u);
    }
    host->CloseCommport();
    Page()->CallButton()->click();
    EXPECT_FALSE(AppTaskGate().Running());
    EXPECT_FALSE(Page()->NumberBox()->isReadOnly());
    EXPECT_EQ(Page()->CallButton()->text(), "CALL");
    EXPECT_TRUE(Commands().empty());
}

TEST_F(VoicePage, AudioSetCommandsUseTheDialect)
{
    struct Row {
        Dialect d;
        std::vector<std::string> sent; // volume, side tone, auxiliary channel, microphone gain
    };
    const Row rows[] = {
        {kGsm, {"AT+CLVL=50", "AT+JSIDET=127", "at+jaudch=1", "AT+JMIC=1,7"}},
        {kRx50, {"AT+CLVL=3", "AT+JSIDET=32767", "AT+JAUDPATH=1", "AT+JMIC=1,32767,32767"}},
        // The RX70's radios are fixed; its microphone command needs no channel.
        {kRx70, {"AT+CLVL=3", "AT+JSIDET=32767", "AT+JMIC=1,32767,32767"}},
        {kKv, {"AT+CLVL=50", "AT+JSIDET=0", "AT+JAUDMOD=1", "AT+JMIC=1,7"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.d.revision);
        Use(r.d);
        Page()->VolumeSetButton()->click();
        Page()->SideToneButton()->click();
        Page()->AuxiliaryRadio()->click();
        Page()->MicGainButton()->click();
        ASSERT_TRUE(Heard(r.sent.back()));
        EXPECT_EQ(Commands(), r.sent);
    }
}

TEST_F(VoicePage, MicrophoneGainWithoutAChannel)
{
    Use(kGsm);
    Page()->MicGainButton()->click();
    EXPECT_EQ(boxes.Texts(), QStringList{"Please set the volumn channel!"});
    Use(kKv);
    Page()->MicGainButton()->click();
    ASSERT_TRUE(Heard("AT+JMIC=-1,7"));
    EXPECT_EQ(Commands(), std::vector<std::string>{"AT+JMIC=-1,7"});
    EXPECT_EQ(boxes.Count(), 1);
}

TEST_F(VoicePage, MuteAndSilentSwitches)
{
    Use(kRx70);
    Page()->SilentCheck()->click();
    Page()->SilentCheck()->click();
    ASSERT_TRUE(Heard("AT+CALM=0"));
    // Mute is for a call that is up.
    sim().Ring("1");
    ASSERT_TRUE(Until([&] { return Page()->CallState() == kCallIncoming; }));
    ASSERT_TRUE(Dial("", "ATA"));
    ASSERT_TRUE(Until([&] { return Page()->CallPolling(); }));
    clock->Advance(kCallPollPeriodMs);
    ASSERT_TRUE(Until([&] { return Page()->MuteCheck()->isEnabled(); }));
    Page()->MuteCheck()->click();
    ASSERT_TRUE(Until([&] { return State().mute == 1; }));
    EXPECT_TRUE(terminal->TerminalText().contains(
        "/* Use AT+CMUT=1 to enable the uplink voice muting during a voice call. */"));
    EXPECT_TRUE(terminal->TerminalText().contains("/* Use AT+CALM=0 to normalize the ring tone. */"));
    Page()->EndButton()->click();
    ASSERT_TRUE(Until([&] { return Page()->CallState() == kCallIdle; }));
    EXPECT_FALSE(Page()->MuteCheck()->isChecked());
}

TEST_F(VoicePage, ChannelGetFillsTheValueBoxes)
{
    struct Row {
        Dialect d;
        float volume, sideTone, mic, mic2;
        QRadioButton* (CTestItemDlg_voice::*checked)() const; // nullptr: none
    };
    // The second gain value of the GSM and KV families is not read back: it keeps its start.
    const Row rows[] = {
        {kGsm, 60, 100, 9, 0, &CTestItemDlg_voice::HandsFreeRadio},
        {kRx50, 4, 30000, 20000, 25000, &CTestItemDlg_voice::HandsFreeRadio},
        {kRx70, 4, 30000, 20000, 25000, nullptr},
        {kKv, 60, -100, 9, 1, &CTestItemDlg_voice::HandsFreeRadio},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.d.revision);
        Use(r.d);
        sim().With([](sim::ModemEngine& e) { e.State().channel = 2; });
        ASSERT_TRUE(test::PressAndWaitForTask([&] { Page()->ChannelGetButton()->click(); }));
        ASSERT_TRUE(Until([&] { return Page()->SideToneSpin()->GetPos() == r.sideTone; }));
        EXPECT_EQ(Commands(), Readback(r.d));
        EXPECT_EQ(Page()->VolumeSpin()->GetPos(), r.volume);
        EXPECT_EQ(Page()->MicGainSpin()->GetPos(), r.mic);
        if (r.d.moduleType == 1) {
            EXPECT_EQ(Page()->SecondMicGainSpin()->GetPos(), r.mic2);
        }
        for (auto radio : {&CTestItemDlg_voice::MainRadio, &CTestItemDlg_voice::AuxiliaryRadio,
                 &CTestItemDlg_voice::HandsFreeRadio})
            EXPECT_EQ((Page()->*radio)()->isChecked(), radio == r.checked);
    }
}

TEST_F(VoicePage, ChannelRadioSendsTheChannelWithItsNote)
{
    Use(kGsm);
    Page()->MainRadio()->click();
    Page()->HandsFreeRadio()->click();
    ASSERT_TRUE(Heard("at+jaudch=2"));
    EXPECT_EQ(Commands(), (std::vector<std::string>{"at+jaudch=0", "at+jaudch=2"}));
    EXPECT_TRUE(terminal->TerminalText().contains("/* Use AT+JAUDCH=0 to set the normal audio channel */"));
    // Not while a task runs.
    {
        auto token = AppTaskGate().TryStart();
        Page()->AuxiliaryRadio()->click();
    }
    Page()->VolumeSetButton()->click();
    ASSERT_TRUE(Heard("AT+CLVL=50"));
    EXPECT_EQ(Count("at+jaudch=1"), 0u);
}

} // namespace

TEST_F(VoicePage, ANumberThatWouldBreakOutOfTheDialCommandIsRefused)
{
    Use(kGsm);
    const struct {
        const char* number;
        const char* box;
    } cases[] = {
        {"12345;+CFUN=0", "\"Number\" may hold only digits, +, * and #, not a semicolon (;)!"},
        {"12345\r\nAT+CFUN=0", "\"Number\" may hold only digits, +, * and #, not a line break!"},
        {"12345\x1A", "\"Number\" may hold only digits, +, * and #, not Ctrl-Z!"},
        {"123\"45", "\"Number\" may hold only digits, +, * and #, not a double quote (\")!"},
        {"123 45", "\"Number\" may hold only digits, +, * and #, not a blank!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.number);
        Page()->NumberBox()->setPlainText(QString::fromUtf8(c.number));
        EXPECT_TRUE(
            test::RefusedQuietly(boxes, sim(), AppModemSession(), c.box, [&] { Page()->CallButton()->click(); }));
        EXPECT_FALSE(Page()->NumberBox()->isReadOnly());
    }
}
