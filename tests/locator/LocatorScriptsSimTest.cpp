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
    // Starts the locate as the task and presses Stop once command went out;
    // what the locate gave, or nothing when it did not end.
    std::optional<LocateResult> StopAfter(LocateResult (*locate)(ModemSession&, const TaskGate::Token&),
        const std::string& command)
    {
        auto result = std::make_shared<LocateResult>();
        result->outcome = LocateOutcome::Failed;
        auto done = std::make_shared<std::atomic<bool>>(false);
        ModemSession& s = *session;
        if (!session->Workers().Start([&s, locate, result, done](TaskGate::Token& t) {
                *result = locate(s, t);
                *done = true;
            }))
            return std::nullopt;
        if (!WaitForCommand(command, 10s))
            return std::nullopt;
        session->Gate().Stop();
        if (!Until([&] { return done->load(); }, 10000))
            return std::nullopt;
        return *result;
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
    const std::optional<LocateResult> r = StopAfter(&CellLocate, "AT+JCELLLOC=1");
    ASSERT_TRUE(r) << "Stop must end the 10 s wait";
    EXPECT_EQ(r->outcome, LocateOutcome::Silent);
    EXPECT_EQ(boxes.Count(), 0);
}

TEST(GpsLocReply, DegreesAndMinutesBecomeSignedDegrees)
{
    struct Case {
        const char* reply;
        LocateOutcome outcome;
        double latitude;
        double longitude;
    };
    const Case cases[] = {
        {"\r\n+JGPSLOC: 120000.000,5954.8340N,01045.1320E\r\n\r\nOK\r\n", LocateOutcome::Position, 59.9139, 10.7522},
        {"+JGPSLOC: 1,3352.1280S,15112.5580W\n", LocateOutcome::Position, -33.8688, -151.2093},
        {"+JGPSLOC: 1, 0000.0000N , 18000.0000e ,9\r", LocateOutcome::Position, 0.0, 180.0},
        {"+JGPSLOC: 1,,\r\n\r\nOK\r\n", LocateOutcome::Failed, 0, 0},               // no fix yet
        {"+JGPSLOC: 1,5954.8340,01045.1320E\r\n", LocateOutcome::Failed, 0, 0},    // no hemisphere
        {"+JGPSLOC: 1,5954.8340E,01045.1320N\r\n", LocateOutcome::Failed, 0, 0},   // letters swapped
        {"+JGPSLOC: 1,5975.0000N,01045.1320E\r\n", LocateOutcome::Failed, 0, 0},   // 75 minutes
        {"+JGPSLOC: 1,9100.0000N,01045.1320E\r\n", LocateOutcome::Failed, 0, 0},   // past the pole
        {"+JGPSLOC: 1,-5954.8340N,01045.1320E\r\n", LocateOutcome::Failed, 0, 0},
        {"+JGPSLOC: 1,5954.8340N\r\n,01045.1320E\r\n", LocateOutcome::Silent, 0, 0}, // fields on two lines
        {"+JGPSLOC: 1,5954.8340N,01045.1320E", LocateOutcome::Silent, 0, 0},          // no line end yet
        {"\r\nOK\r\n", LocateOutcome::Silent, 0, 0},
    };
    for (const Case& c : cases) {
        const LocateResult r = ParseGpsLocReply(QString::fromLatin1(c.reply));
        ASSERT_EQ(r.outcome, c.outcome) << c.reply;
        if (r.outcome != LocateOutcome::Position)
            continue;
        EXPECT_NEAR(r.position.latitude, c.latitude, 1e-6) << c.reply;
        EXPECT_NEAR(r.position.longitude, c.longitude, 1e-6) << c.reply;
        EXPECT_EQ(r.position.latitudeText, QString::asprintf("%f", c.latitude)) << c.reply;
        EXPECT_EQ(r.position.longitudeText, QString::asprintf("%f", c.longitude)) << c.reply;
    }
}

TEST_F(LocatorSim, GpsLocateSwitchesTheEngineOnWhenNeeded)
{
    const std::vector<std::string> onAlready = {"AT+JGPS?", "AT+JGPSLOC?"};
    const std::vector<std::string> switchedOn = {"AT+JGPS?", "AT+JGPS=1", "AT+JGPSLOC?"};
    struct Case {
        const char* name;
        bool gnssOn;
        double latitude, longitude;
        std::vector<std::string> faults;
        std::vector<std::string> commands;
        LocateOutcome outcome;
    };
    const Case cases[] = {
        {"on already, north east", true, 59.9139, 10.7522, {}, onAlready, LocateOutcome::Position},
        {"off, then switched on; south west", false, -33.8688, -151.2093, {}, switchedOn, LocateOutcome::Position},
        {"a state with blanks is still on", true, 1.5, 2.5,
            {"AT+JGPS? | reply \\r\\n+JGPS:  1 \\r\\n\\r\\nOK\\r\\n"}, onAlready, LocateOutcome::Position},
        {"bare OK to the query", true, 1.5, 2.5, {"AT+JGPS? | reply \\r\\nOK\\r\\n"}, switchedOn,
            LocateOutcome::Position},
        {"query refused", true, 0, 0, {"AT+JGPS? | error"}, {"AT+JGPS?"}, LocateOutcome::Failed},
        {"switch refused", false, 0, 0, {"AT+JGPS=1 | error"}, {"AT+JGPS?", "AT+JGPS=1"}, LocateOutcome::Failed},
        {"engine off answers ERROR", false, 0, 0, {"AT+JGPS=1 | reply \\r\\nOK\\r\\n"}, switchedOn,
            LocateOutcome::Failed},
        {"no fix yet", true, 0, 0, {"AT+JGPSLOC | reply \\r\\n+JGPSLOC: 0,,\\r\\n\\r\\nOK\\r\\n"}, onAlready,
            LocateOutcome::Failed},
        {"silence", true, 0, 0, {"AT+JGPSLOC | silent"}, onAlready, LocateOutcome::Failed},
    };
    for (const Case& c : cases) {
        Begin(sim::Family::Umts);
        boxes.Clear();
        sim().With([&](sim::ModemEngine& e) {
            e.State().gnssLatitude = c.latitude;
            e.State().gnssLongitude = c.longitude;
            if (c.gnssOn)
                e.Feed("AT+JGPS=1\r");
        });
        for (const std::string& f : c.faults)
            AddFault(f);
        LocateResult r;
        ASSERT_TRUE(RunTask([&](TaskGate::Token& t) { r = GpsLocate(*session, t); })) << c.name;
        EXPECT_EQ(CommandsSent(), c.commands) << c.name;
        ASSERT_EQ(r.outcome, c.outcome) << c.name;
        EXPECT_EQ(boxes.Texts(), c.outcome == LocateOutcome::Failed ? QStringList({kFailPosition}) : QStringList())
            << c.name;
        if (c.outcome == LocateOutcome::Position) {
            EXPECT_NEAR(r.position.latitude, c.latitude, 1e-5) << c.name;
            EXPECT_NEAR(r.position.longitude, c.longitude, 1e-5) << c.name;
            EXPECT_EQ(r.position.latitudeText, QString::asprintf("%f", r.position.latitude)) << c.name;
        }
    }
}

TEST_F(LocatorSim, GpsLocateIsNotInTheGsmFamilyAndStopEndsItSilently)
{
    Begin(sim::Family::Gsm);
    LocateResult r;
    ASSERT_TRUE(RunTask([&](TaskGate::Token& t) { r = GpsLocate(*session, t); }));
    EXPECT_EQ(r.outcome, LocateOutcome::Failed);
    EXPECT_EQ(boxes.Texts(), QStringList({kFailPosition}));

    Begin(sim::Family::Umts);
    boxes.Clear();
    AddFault("AT+JGPSLOC | silent");
    const std::optional<LocateResult> stopped = StopAfter(&GpsLocate, "AT+JGPSLOC?");
    ASSERT_TRUE(stopped) << "Stop must end the wait";
    EXPECT_EQ(stopped->outcome, LocateOutcome::Silent);
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
