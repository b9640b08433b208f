// The connection page's scripts, the environment check and the SMSC query run
// on a modem session alone: no window, no event loop behind the replies.

#include "at/SessionSim.h"

#include "core/at/ScriptedExchange.h"
#include "core/at/TerminalOutput.h"
#include "pages/module/core/EnvCheckScript.h"
#include "pages/module/core/ModuleScripts.h"
#include "pages/module/core/SmscQuery.h"
#include "platform/MessageBox.h"
#include "shell/core/CUlvenscopeApp.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <map>
#include <mutex>

using namespace ulv;
using namespace std::chrono_literals;

namespace {

// What a script hands to its window, collected from the worker's thread.
struct Collected {
    std::mutex lock;
    std::map<int, QString> values;
    int identified = 0;
    int signalQuality = -1;

    ModuleScriptSink Sink()
    {
        ModuleScriptSink sink;
        sink.setValue = [this](int id, const QString& text) {
            std::lock_guard g(lock);
            values[id] = text;
        };
        sink.setSignalLevel = [this](int, int quality) {
            std::lock_guard g(lock);
            signalQuality = quality;
        };
        sink.moduleIdentified = [this] {
            std::lock_guard g(lock);
            ++identified;
        };
        return sink;
    }
    QString Value(int id)
    {
        std::lock_guard g(lock);
        return values[id];
    }
};

class ModuleScriptsSim : public test::SessionSim {
protected:
    void SetUp() override
    {
        test::SessionSim::SetUp();
        g_nModuleType = 0;
        g_nModuleSubModel = 0;
        ASSERT_TRUE(Open());
    }
    void TearDown() override
    {
        g_nModuleType = 0;
        g_nModuleSubModel = 0;
        test::SessionSim::TearDown();
    }
    // Runs body on the session's pool under the task flag and waits for its end.
    template <class Body>
    void RunTask(Body body)
    {
        std::atomic<bool> done{false};
        ASSERT_TRUE(session->Workers().Start([&](TaskGate::Token& t) {
            body(t);
            done = true;
        }));
        ASSERT_TRUE(session->Workers().WaitUntil([&] { return done.load(); }, 30000));
    }
    QStringList Commands()
    {
        QStringList out;
        for (const std::string& c : sim().Commands())
            out << QString::fromStdString(c);
        return out;
    }

    MessageBoxRecorder boxes;
    Collected got;
};

} // namespace

TEST_F(ModuleScriptsSim, AutoInitIdentifiesAGsmModuleAndFillsEveryValue)
{
    RunTask([&](TaskGate::Token& t) { AutoInitThread(*session, t, got.Sink(), AutoInitOptions{}); });
    EXPECT_EQ(Commands(),
        QStringList({"AT", "ATV1", "ATE1", "AT+CMEE=2", "AT+IPR?", "AT+IPR=115200", "AT&W", "ATI", "AT+GSN", "ATI",
            "AT+CPIN?", "AT+CIMI", "AT+JCCID", "AT+CSQ", "AT+CREG?", "AT+CGREG?", "AT+COPS?"}));
    EXPECT_EQ(boxes.Texts(), QStringList());
    EXPECT_EQ(got.identified, 1);
    EXPECT_EQ(got.signalQuality, 20);
    EXPECT_EQ(got.Value(kValueDeviceModule), "TZ20");
    EXPECT_EQ(got.Value(kValueFirmware), "TZ20A01");
    EXPECT_EQ(got.Value(kValueImsi), "001010123456789");
    EXPECT_EQ(got.Value(kValueOperator), "Test PLMN 1-1");
    EXPECT_EQ(IsTzFamily(), 1);
    EXPECT_FALSE(session->Gate().Running());
}

TEST_F(ModuleScriptsSim, IdentificationOfTheOtherFamilyQueuesTheMismatchOnItsSession)
{
    Restart(sim::Family::Umts, "RX50C01");
    ASSERT_TRUE(Open());
    session->Queue().Start();
    RunTask([&](TaskGate::Token& t) { AutoInitThread(*session, t, got.Sink(), AutoInitOptions{}); });
    ASSERT_TRUE(boxes.WaitForCount(1, 5000));
    EXPECT_EQ(boxes.Texts(),
        QStringList{"The module model is not matching! Please restart, select correct model and try again!"});
    EXPECT_EQ(GetModuleSubModel(), 1) << "RX50";
    EXPECT_TRUE(Commands().contains("AT+COPS?")) << "the script goes on after the mismatch";
}

TEST_F(ModuleScriptsSim, StopMidScriptSendsNothingMoreAndShowsNothing)
{
    AddFault("AT+CPIN? | silent");
    std::atomic<bool> done{false};
    ASSERT_TRUE(session->Workers().Start([&](TaskGate::Token& t) {
        AutoInitThread(*session, t, got.Sink(), AutoInitOptions{});
        done = true;
    }));
    ASSERT_TRUE(WaitForCommand("AT+CPIN?", 10000ms));
    session->Gate().Stop();
    ASSERT_TRUE(session->Workers().WaitUntil([&] { return done.load(); }, 5000));
    EXPECT_EQ(Commands().last(), "AT+CPIN?");
    EXPECT_EQ(boxes.Texts(), QStringList());
}

TEST_F(ModuleScriptsSim, EnvironmentCheckForTheSmsPageLearnsCapacityAndSmsc)
{
    EnvCheckResult result;
    RunTask([&](TaskGate::Token& t) { result = RunEnvCheck(*session, t, EnvCheckSink{}, 2, 1); });
    EXPECT_EQ(result.ready, 1);
    EXPECT_EQ(result.storageCapacity, 50);
    EXPECT_FALSE(result.smscNumber.isEmpty());
    EXPECT_EQ(Commands(), QStringList({"AT+CPIN?", "AT+CSQ", "AT+CREG?", "AT+CGREG?", "AT+JINISTAT",
                              "AT+CSMP=17,167,0,0", "AT+CPMS=\"SM\",\"SM\",\"SM\"", "AT+CSCA?"}));
}

TEST_F(ModuleScriptsSim, EnvironmentCheckWithoutASimIsNotReady)
{
    AddFault("AT+CPIN? | cme 10");
    EnvCheckResult result;
    RunTask([&](TaskGate::Token& t) { result = RunEnvCheck(*session, t, EnvCheckSink{}, 5, 0); });
    EXPECT_EQ(result.ready, 0);
    EXPECT_EQ(Commands(), QStringList{"AT+CPIN?"});
}

TEST_F(ModuleScriptsSim, SmscQueryReadsTheNumberWithoutItsPlus)
{
    sim().With([](sim::ModemEngine& e) { e.State().sca = "+8613800755500"; });
    QString number;
    bool ok = false;
    RunTask([&](TaskGate::Token& t) { ok = FetchSmscNumber(ScriptRunner(*session, t), number); });
    EXPECT_TRUE(ok);
    EXPECT_EQ(number, "8613800755500");
    EXPECT_EQ(Commands(), QStringList({"AT+CSCS=\"GSM\"", "AT+CSCA?"}));
}

TEST_F(ModuleScriptsSim, AMissingSimIsRecognisedInTheVerboseErrorsTheScriptAsksFor)
{
    // AT+CMEE=2 makes a standard module name its errors: "+CME ERROR: SIM not
    // inserted" must be understood as well as the number 10.
    sim().With([](sim::ModemEngine& e) { e.State().sim = sim::SimState::NotInserted; });
    struct Notes : TerminalSink {
        QByteArray text;
        void OnTerminalOutput(int, const QByteArray& t) override { text += t; }
    } notes;
    SetTerminalSink(&notes);
    RunTask([&](TaskGate::Token& t) { AutoInitThread(*session, t, got.Sink(), AutoInitOptions{}); });
    QCoreApplication::processEvents(); // the worker's last notes
    SetTerminalSink(nullptr);
    EXPECT_EQ(Commands().last(), "AT+CPIN?");
    EXPECT_EQ(boxes.Texts(), QStringList{"SIM is not ready!"});
    EXPECT_TRUE(notes.text.contains("/* Make sure SIM card is inserted */")) << notes.text.constData();
    EXPECT_TRUE(ReplySaysNoSim("\r\n+CME ERROR: SIM not inserted\r\n"));
    EXPECT_TRUE(ReplySaysNoSim("\r\n+CME ERROR: 10\r\n"));
    EXPECT_FALSE(ReplySaysNoSim("\r\n+CME ERROR: SIM PIN required\r\n"));
}
