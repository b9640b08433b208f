// The cell locator's exchanges against the simulated module: AT+JCELLLOC=1 and
// its report, and the PDP context workers of both families.

#include "SessionSim.h"

#include "pages/positioning/core/CellLocator.h"
#include "platform/MessageBox.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace std::chrono_literals;

namespace ulv::test {
namespace {

const QString kFailPosition = QStringLiteral("Fail to get current position!");
const QString kFailActivate = QStringLiteral("Fail to activate PDP context!");

class LocatorSim : public SessionSim {
protected:
    void Begin(sim::Family family)
    {
        Restart(family);
        ASSERT_TRUE(Open());
    }
    // Runs body as the task on a worker and waits for it to end.
    template <class Body>
    bool RunTask(Body body, int ms = 40000)
    {
        auto done = std::make_shared<std::atomic<bool>>(false);
        const bool started = session->Workers().Start([body, done](TaskGate::Token& t) mutable {
            body(t);
            *done = true;
        });
        return started && Until([&] { return done->load() && !session->Gate().Running(); }, ms);
    }
    LocateResult Locate()
    {
        LocateResult r;
        EXPECT_TRUE(RunTask([&](TaskGate::Token& t) { r = CellLocate(*session, t); }));
        return r;
    }
    bool Sent(const std::string& command)
    {
        for (const std::string& c : sim().Commands())
            if (c == command)
                return true;
        return false;
    }
    std::vector<std::string> CommandsSent() { return sim().Commands(); }

    MessageBoxRecorder boxes;
    std::atomic<int> contextActive {0};
};

TEST(CellLocReply, FieldsAreCutAsTheModuleSendsThem)
{
    struct Case {
        const char* reply;
        bool found;
        const char* latitude;
        const char* longitude;
    };
    const Case cases[] = {
        {"\r\n+JCELLLOC: 20.750000,10.250000\r\n\r\nOK\r\n", true, "10.250000", " 20.750000"},
        {"+JCELLLOC: -151.209300,-33.868800\n", true, "-33.868800", " -151.209300"},
        {"+JCELLLOC: 20.750000,10.250000\r", true, "10.250000", " 20.750000"}, // CR, LF still to come
        {"+JCELLLOC: 20.750000,10.250000", false, "", ""},                     // no line end yet
        {"+JCELLLOC: 20.750000\r\nOK,1\r\n", false, "", ""},                  // the comma is not on its line
        {"\r\nOK\r\n", false, "", ""},
        {"+JCELLLOC:,\r\n", true, "", ""},
    };
    for (const Case& c : cases) {
        const auto p = ParseCellLocReply(QString::fromLatin1(c.reply));
        ASSERT_EQ(p.has_value(), c.found) << c.reply;
        if (!p)
            continue;
        EXPECT_EQ(p->latitudeText, c.latitude) << c.reply;
        EXPECT_EQ(p->longitudeText, c.longitude) << c.reply;
        EXPECT_DOUBLE_EQ(p->latitude, QString::fromLatin1(c.latitude).toDouble()) << c.reply;
        EXPECT_DOUBLE_EQ(p->longitude, QString::fromLatin1(c.longitude).trimmed().toDouble()) << c.reply;
    }
}

TEST(ReplayFile, TaggedLinesInOrderWhateverTheLineEnds)
{
    struct Case {
        const char* name;
        QByteArray text;
        std::vector<std::pair<double, double>> positions; // latitude, longitude
    };
    const Case cases[] = {
        {"CR LF", "[12:00:01] AT+JCELLLOC=1\r\n+JCELLLOC: 20.750000,10.250000\r\nOK\r\n"
                  "+JCELLLOC: 21.000000,11.000000\r\nnoise\r\n+JCELLLOC: -0.127500,51.507200\r\n",
            {{10.25, 20.75}, {11.0, 21.0}, {51.5072, -0.1275}}},
        {"LF only", "+JCELLLOC: 20.750000,10.250000\nOK\n+JCELLLOC: 21.000000,11.000000\n", {{10.25, 20.75}, {11.0, 21.0}}},
        {"last line without end", "+JCELLLOC: 1.500000,2.500000", {{2.5, 1.5}}},
        {"a tagged line without comma ends the scan",
            "+JCELLLOC: 1.000000,2.000000\r\n+JCELLLOC: 3.000000\r\n+JCELLLOC: 5.000000,6.000000\r\n", {{2.0, 1.0}}},
        {"no tag", "OK\r\nERROR\r\n", {}},
        {"empty", "", {}},
        {"binary noise", QByteArray("\x00\xff+JCELLLOC:\x00,\x01\r\n", 17), {{0.0, 0.0}}},
    };
    for (const Case& c : cases) {
        const std::vector<ReplayPosition> got = ParseReplayPositions(c.text);
        ASSERT_EQ(got.size(), c.positions.size()) << c.name;
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_DOUBLE_EQ(got[i].latitude, c.positions[i].first) << c.name << " " << i;
            EXPECT_DOUBLE_EQ(got[i].longitude, c.positions[i].second) << c.name << " " << i;
        }
    }
}

TEST(MapArguments, SixDecimalsInTheProvidersOrder)
{
    EXPECT_EQ(MapPositionArguments(true, -33.8688, -151.2093), QStringList({"-33.868800", "-151.209300"}));
    EXPECT_EQ(MapPositionArguments(false, -33.8688, -151.2093), QStringList({"-151.209300", "-33.868800"}));
    EXPECT_EQ(MapPositionArguments(true, 10.25, 20.75), QStringList({"10.250000", "20.750000"}));
}

TEST_F(LocatorSim, PositionReportInBothFamilies)
{
    for (sim::Family family : {sim::Family::Umts, sim::Family::Gsm}) {
        Begin(family);
        sim().With([](sim::ModemEngine& e) {
            e.State().cellLatitude = 10.25;
            e.State().cellLongitude = 20.75;
        });
        const LocateResult r = Locate();
        ASSERT_EQ(r.outcome, LocateOutcome::Position);
        EXPECT_EQ(r.position.latitudeText, "10.250000");
        EXPECT_EQ(r.position.longitudeText, " 20.750000");
        EXPECT_DOUBLE_EQ(r.position.latitude, 10.25);
        EXPECT_DOUBLE_EQ(r.position.longitude, 20.75);
        EXPECT_TRUE(Sent("AT+JCELLLOC=1"));
        EXPECT_EQ(boxes.Count(), 0);
    }
}

TEST_F(LocatorSim, ReplyInPiecesIsJudgedAtLineEnds)
{
    // "\r\n+JCELLLOC: 20.750000,10.250000\r\n\r\nOK\r\n": byte 33 is the LF of the report.
    for (const char* split : {"split 20; gap 200", "split 33; gap 300", "split 2,33,34; gap 200"}) {
        Begin(sim::Family::Umts);
        sim().With([](sim::ModemEngine& e) {
            e.State().cellLatitude = 10.25;
            e.State().cellLongitude = 20.75;
        });
        AddFault(std::string("AT+JCELLLOC | ") + split);
        const LocateResult r = Locate();
        ASSERT_EQ(r.outcome, LocateOutcome::Position) << split;
        EXPECT_EQ(r.position.latitudeText, "10.250000") << split;
        EXPECT_EQ(r.position.longitudeText, " 20.750000") << split;
    }
}

TEST_F(LocatorSim, ErrorBareOkAndSilenceFail)
{
    for (const char* fault : {"error", "reply \\r\\nOK\\r\\n", "cme 100", "silent"}) {
        Begin(sim::Family::Umts);
        boxes.Clear();
        AddFault(std::string("AT+JCELLLOC | ") + fault);
        const LocateResult r = Locate();
        EXPECT_EQ(r.outcome, LocateOutcome::Failed) << fault;
        EXPECT_EQ(boxes.Texts(), QStringList({kFailPosition})) << fault;
    }
}

TEST_F(LocatorSim, StopEndsTheWaitSilently)
{
    Begin(sim::Family::Umts);
    AddFault("AT+JCELLLOC | silent");
    LocateResult r;
    r.outcome = LocateOutcome::Failed;
    auto done = std::make_shared<std::atomic<bool>>(false);
    ASSERT_TRUE(session->Workers().Start([&, done](TaskGate::Token& t) {
        r = CellLocate(*session, t);
        *done = true;
    }));
    ASSERT_TRUE(WaitForCommand("AT+JCELLLOC=1", 5s));
    session->Gate().Stop();
    ASSERT_TRUE(Until([&] { return done->load(); }, 5000)) << "Stop must end the 10 s wait";
    EXPECT_EQ(r.outcome, LocateOutcome::Silent);
    EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(LocatorSim, UmtsActivationStepsAndDeactivation)
{
    Begin(sim::Family::Umts);
    bool ok = false;
    ASSERT_TRUE(RunTask([&](TaskGate::Token& t) {
        ok = LocatorActivateUmts(*session, t, {" cm net ", "user", "pw"}, contextActive);
    }));
    EXPECT_TRUE(ok);
    EXPECT_EQ(contextActive.load(), 1);
    EXPECT_EQ(boxes.Count(), 0);
    const std::vector<std::string> expected
        = {"AT+CPIN?", "AT+CREG?", "AT+CGREG?", "AT+JICSGP=1,1,\"cmnet\",\"user\",\"pw\",0", "AT+JIACT=1", "AT+JIACT?"};
    EXPECT_EQ(CommandsSent(), expected);

    DeactivateOutcome out = DeactivateOutcome::Stopped;
    ASSERT_TRUE(RunTask([&](TaskGate::Token& t) { out = LocatorDeactivate(*session, t, 1); }));
    EXPECT_EQ(out, DeactivateOutcome::Done);
    EXPECT_TRUE(Sent("AT+JIDEACT=1"));
}

TEST_F(LocatorSim, UmtsFailuresAndTheContextTheyLeave)
{
    struct Case {
        const char* name;
        std::function<void(sim::ModemEngine&)> state;
        std::vector<std::string> faults;
        bool success;
        bool closes; // AT+JIDEACT=1 follows
    };
    const auto none = [](sim::ModemEngine&) {};
    const Case cases[] = {
        {"roaming counts as registered", [](sim::ModemEngine& e) { e.State().cgregStat = 5; }, {}, true, false},
        {"searching is not registered", [](sim::ModemEngine& e) { e.State().cgregStat = 2; }, {}, false, true},
        {"echo off: the CREG step never sees its command", [](sim::ModemEngine& e) { e.State().echo = false; }, {},
            false, true},
        {"an address of zeros still counts as opened", none,
            {"AT+CPIN? | error", "AT+JIACT? | reply \\r\\n+JIACT: 1,1,1,\"0.0.0.0\"\\r\\n\\r\\nOK\\r\\n"}, false,
            true},
        {"no context after all", none,
            {"AT+JIACT? | reply \\r\\n+JIACT: 1,0,1,\"0.0.0.0\"\\r\\n\\r\\nOK\\r\\n"}, false, false},
        {"query times out", none, {"AT+JIACT? | silent"}, false, false},
    };
    for (const Case& c : cases) {
        Begin(sim::Family::Umts);
        boxes.Clear();
        contextActive = 0;
        sim().With(c.state);
        for (const std::string& f : c.faults)
            AddFault(f);
        bool ok = !c.success;
        ASSERT_TRUE(RunTask([&](TaskGate::Token& t) {
            ok = LocatorActivateUmts(*session, t, {"cmnet", "", ""}, contextActive);
        })) << c.name;
        EXPECT_EQ(ok, c.success) << c.name;
        EXPECT_EQ(boxes.Texts(), c.success ? QStringList() : QStringList({kFailActivate})) << c.name;
        if (c.closes)
            EXPECT_TRUE(WaitForCommand("AT+JIDEACT=1", 5s)) << c.name;
        else
            EXPECT_FALSE(Sent("AT+JIDEACT=1")) << c.name;
        // A context the worker closed again no longer holds the page.
        EXPECT_EQ(contextActive.load(), c.success ? 1 : (c.closes ? 0 : 1)) << c.name;
    }
}

TEST_F(LocatorSim, GsmActivationKeepsTheNameAndDeactivates)
{
    Begin(sim::Family::Gsm);
    bool ok = false;
    ASSERT_TRUE(RunTask([&](TaskGate::Token& t) { ok = LocatorActivateGsm(*session, t, {" cm net ", "u", "p"}, contextActive); }));
    // The GSM family sends the name as typed, blanks and all.
    const std::vector<std::string> expected = {"AT+JIFGCNT=0", "AT+JICSGP=1,\" cm net \",\"u\",\"p\"", "AT+JIREGAPP", "AT+JIACT"};
    EXPECT_EQ(CommandsSent(), expected);
    EXPECT_TRUE(ok);
    EXPECT_EQ(contextActive.load(), 1);

    DeactivateOutcome out = DeactivateOutcome::Stopped;
    ASSERT_TRUE(RunTask([&](TaskGate::Token& t) { out = LocatorDeactivate(*session, t, 0); }));
    EXPECT_EQ(out, DeactivateOutcome::Done);
    EXPECT_TRUE(Sent("AT+JIDEACT"));
}

TEST_F(LocatorSim, GsmFailuresAndAFailedDeactivation)
{
    for (const char* fault : {"AT+JIFGCNT | error", "AT+JIREGAPP | silent", "AT+JIACT | error"}) {
        Begin(sim::Family::Gsm);
        boxes.Clear();
        contextActive = 0;
        AddFault(std::string(fault) + " | 1");
        bool ok = true;
        ASSERT_TRUE(RunTask([&](TaskGate::Token& t) { ok = LocatorActivateGsm(*session, t, {"cmnet", "", ""}, contextActive); }));
        EXPECT_FALSE(ok) << fault;
        EXPECT_EQ(contextActive.load(), 0) << fault;
        EXPECT_EQ(boxes.Texts(), QStringList({kFailActivate})) << fault;
    }
    Begin(sim::Family::Gsm);
    boxes.Clear();
    AddFault("AT+JIDEACT | error");
    DeactivateOutcome out = DeactivateOutcome::Done;
    ASSERT_TRUE(RunTask([&](TaskGate::Token& t) { out = LocatorDeactivate(*session, t, 0); }));
    EXPECT_EQ(out, DeactivateOutcome::Failed);
    EXPECT_EQ(boxes.Texts(), QStringList({"Fail to deactivate PDP context!"}));
}

} // namespace
} // namespace ulv::test
