// The cell-locator page in the page host against the simulated module: "Get
// position" with the map call of each provider, the zoom check, the GSM family's
// PDP gate, the page switch refusal, the replay import and the settings file.
// The map pages' own behaviour is tested with the browser in tests/maps; here the
// page's script calls are recorded.

#include "sim/SimFixture.h"

#include "common/EventLoopWait.h"
#include "common/TaskWait.h"
#include "common/WireFence.h"
#include "core/at/ModemSession.h"
#include "pages/positioning/CTestitemDlg_position.h"
#include "platform/IniFile.h"
#include "platform/MessageBox.h"
#include "platform/TaskGate.h"
#include "shell/CTestView1.h"
#include "shell/CTestView2.h"
#include "shell/core/CUlvenscopeApp.h"
#include "shell/core/SysParams.h"
#include "ui/controls/CSkinButton.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ulv;
using namespace std::chrono_literals;

namespace {

struct ScriptCall {
    int browser; // 1 the first provider's, 2 the second's
    QString function;
    QStringList args;
    bool operator==(const ScriptCall&) const = default;
};

std::ostream& operator<<(std::ostream& os, const ScriptCall& c)
{
    return os << c.browser << ":" << c.function.toStdString() << "(" << c.args.join(',').toStdString() << ")";
}

class LocatorPage : public sim::SimFixture {
protected:
    void SetUp() override
    {
        sim::SimFixture::SetUp();
        savedParams = g_sysParams;
        g_sysParams.savelog = 0;
        // The page's settings file goes to a folder of this test, not to "/".
        savedParamDir = theApp.m_strParamDir;
        theApp.m_strParamDir = paramDir.path();
        // The recorded calls stand in for the browsers here.
        qputenv("ULV_NO_WEBENGINE", "1");
    }
    void TearDown() override
    {
        AppTaskGate().Stop();
        Until([] { return !AppTaskGate().Running(); });
        theApp.m_bLocatorContextActive = 0;
        host.reset();
        terminal.reset();
        g_sysParams = savedParams;
        theApp.m_strParamDir = savedParamDir;
        g_nModuleType = 0;
        qunsetenv("ULV_NO_WEBENGINE");
        sim::SimFixture::TearDown();
    }
    void Begin(sim::Family family)
    {
        StartSim(family);
        g_nModuleType = family == sim::Family::Gsm ? 0 : 1;
        sim().With([](sim::ModemEngine& e) {
            e.State().cellLatitude = 10.25;
            e.State().cellLongitude = 20.75;
        });
        terminal = std::make_unique<CTestView2>();
        StartCommandQueue();
        host = std::make_unique<CTestView1>();
        host->resize(700, 700);
        ASSERT_EQ(host->OpenCommport(QString::fromStdString(SlavePath()), 115200, 8, 1, 0, 0, 2048), 1);
        host->SwitchPage(g_nModuleType == 1 ? 6 : 5);
        ASSERT_FALSE(page()->isHidden());
        page()->m_callPageScript = [this](CWebBrowser2* b, const QString& f, const QStringList& a, QVariant*) {
            calls.push_back({b == page()->FirstBrowser() ? 1 : b == page()->SecondBrowser() ? 2 : 0, f, a});
            return 1;
        };
    }
    template <class Pred>
    static bool Until(Pred done, int ms = 20000)
    {
        return test::RunEventsUntil(done, ms);
    }
    CTestitemDlg_position* page() { return host->LocatorPage(); }
    // Clicks a button of the page and waits for the task it starts to end.
    bool ClickAndWait(QPushButton* b)
    {
        return test::PressAndWaitForTask([b] { b->click(); }, [&] { return !page()->WorkerRunning(); }, 2000);
    }
    bool Sent(const std::string& command)
    {
        for (const std::string& c : sim().Commands())
            if (c == command)
                return true;
        return false;
    }

    MessageBoxRecorder boxes;
    SysParams savedParams;
    QTemporaryDir paramDir;
    QString savedParamDir;
    std::unique_ptr<CTestView2> terminal;
    std::unique_ptr<CTestView1> host;
    std::vector<ScriptCall> calls;
};

TEST_F(LocatorPage, GetPositionFillsTheBoxesAndMovesTheChosenProvidersMarker)
{
    struct Case {
        int useGoogleMap;
        ScriptCall call;
    };
    const Case cases[] = {
        {1, {1, "ggetposition", {"10.250000", "20.750000"}}},
        {0, {2, "ggetposition", {"20.750000", "10.250000"}}},
    };
    Begin(sim::Family::Umts);
    for (const Case& c : cases) {
        g_sysParams.UseGoogleMap = c.useGoogleMap;
        calls.clear();
        ASSERT_TRUE(ClickAndWait(page()->GetPositionButton()));
        ASSERT_TRUE(Until([&] { return !calls.empty(); }));
        EXPECT_EQ(page()->LatitudeEdit()->text(), "10.250000");
        EXPECT_EQ(page()->LongitudeEdit()->text(), " 20.750000");
        EXPECT_EQ(calls, std::vector<ScriptCall>({c.call}));
        EXPECT_TRUE(page()->GetPositionButton()->isEnabled());
        EXPECT_TRUE(page()->ImportButton()->isEnabled());
    }
    EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(LocatorPage, AFailedLocateSaysSoAndEmptiesTheBoxes)
{
    Begin(sim::Family::Umts);
    ASSERT_TRUE(ClickAndWait(page()->GetPositionButton()));
    ASSERT_FALSE(page()->LatitudeEdit()->text().isEmpty());
    AddFault("AT+JCELLLOC | error");
    ASSERT_TRUE(ClickAndWait(page()->GetPositionButton()));
    EXPECT_TRUE(page()->LatitudeEdit()->text().isEmpty());
    EXPECT_TRUE(page()->LongitudeEdit()->text().isEmpty());
    EXPECT_EQ(boxes.Texts(), QStringList({"Fail to get current position!"}));
    EXPECT_TRUE(page()->GetPositionButton()->isEnabled());
}

TEST_F(LocatorPage, GpsLocateShowsDecimalDegreesOrSaysItFailed)
{
    struct Case {
        const char* name;
        const char* fault; // nullptr: none
        double latitude, longitude;
        ScriptCall call;
    };
    const Case cases[] = {
        {"south west", nullptr, -33.8688, -151.2093, {1, "ggetposition", {"-33.868800", "-151.209300"}}},
        {"north east", nullptr, 59.9139, 10.7522, {1, "ggetposition", {"59.913900", "10.752200"}}},
        {"ERROR", "AT+JGPSLOC | error", 0, 0, {}},
    };
    Begin(sim::Family::Umts);
    g_sysParams.UseGoogleMap = 1;
    for (const Case& c : cases) {
        sim().ClearFaults();
        if (c.fault)
            AddFault(c.fault);
        sim().With([&](sim::ModemEngine& e) {
            e.State().gnssLatitude = c.latitude;
            e.State().gnssLongitude = c.longitude;
        });
        boxes.Clear();
        calls.clear();
        g_cellPosition = {1.0, 1.0};
        page()->GpsLocateThread();
        ASSERT_TRUE(Until([&] { return !AppTaskGate().Running() && !page()->WorkerRunning(); }, 60000)) << c.name;
        QCoreApplication::sendPostedEvents();
        if (!c.fault) {
            ASSERT_TRUE(Until([&] { return !calls.empty(); })) << c.name;
            EXPECT_EQ(page()->LatitudeEdit()->text(), c.call.args[0]) << c.name;
            EXPECT_EQ(page()->LongitudeEdit()->text(), c.call.args[1]) << c.name;
            EXPECT_EQ(calls, std::vector<ScriptCall>({c.call})) << c.name;
            EXPECT_EQ(boxes.Count(), 0) << c.name;
        } else {
            EXPECT_EQ(boxes.Texts(), QStringList({"Fail to get current position!"})) << c.name;
            EXPECT_TRUE(calls.empty()) << c.name;
        }
        // Zeroed when the locate starts; the position when one came.
        EXPECT_NEAR(g_cellPosition.latitude, c.latitude, 1e-6) << c.name;
        EXPECT_NEAR(g_cellPosition.longitude, c.longitude, 1e-6) << c.name;
        EXPECT_TRUE(page()->GetPositionButton()->isEnabled()) << c.name;
        EXPECT_TRUE(page()->ImportButton()->isEnabled()) << c.name;
    }
    EXPECT_TRUE(Sent("AT+JGPS=1"));
}

TEST_F(LocatorPage, ZoomOutsideOneToTwentyRefusesGetPosition)
{
    Begin(sim::Family::Umts);
    struct Case {
        const char* zoom;
        bool starts;
    };
    for (const Case& c : {Case {"0", false}, Case {"21", false}, Case {"", false}, Case {"1", true}, Case {"20", true}}) {
        boxes.Clear();
        page()->ZoomEdit()->setText(c.zoom);
        if (c.starts) {
            ASSERT_TRUE(ClickAndWait(page()->GetPositionButton())) << c.zoom;
            EXPECT_EQ(page()->LatitudeEdit()->text(), "10.250000") << c.zoom;
            EXPECT_EQ(boxes.Count(), 0) << c.zoom;
        } else {
            page()->GetPositionButton()->click();
            EXPECT_FALSE(AppTaskGate().Running()) << c.zoom;
            EXPECT_TRUE(page()->LatitudeEdit()->text().isEmpty()) << c.zoom;
            EXPECT_EQ(boxes.Texts(), QStringList({"The parameter of zoom is wrong!\r\nThe right range is from 1 to 20."}))
                << c.zoom;
        }
    }
}

TEST_F(LocatorPage, GsmLocatesOnlyWithItsContextAndTheContextHoldsThePage)
{
    Begin(sim::Family::Gsm);
    EXPECT_FALSE(page()->GetPositionButton()->isEnabled());
    EXPECT_EQ(page()->ApnEdit()->text(), "CMNET");

    ASSERT_TRUE(ClickAndWait(page()->PdpActButton()));
    EXPECT_EQ(theApp.m_bLocatorContextActive.load(), 1);
    EXPECT_TRUE(page()->GetPositionButton()->isEnabled());
    EXPECT_FALSE(page()->PdpActButton()->isEnabled());
    EXPECT_TRUE(page()->PdpDeactButton()->isEnabled());

    host->SwitchPage(0);
    EXPECT_FALSE(page()->isHidden());
    EXPECT_EQ(boxes.Texts(), QStringList({"Please switch view after deacting the PDP context!"}));
    boxes.Clear();

    ASSERT_TRUE(ClickAndWait(page()->GetPositionButton()));
    EXPECT_EQ(page()->LatitudeEdit()->text(), "10.250000");

    ASSERT_TRUE(ClickAndWait(page()->PdpDeactButton()));
    EXPECT_EQ(theApp.m_bLocatorContextActive.load(), 0);
    EXPECT_FALSE(page()->GetPositionButton()->isEnabled());
    EXPECT_TRUE(page()->PdpActButton()->isEnabled());
    host->SwitchPage(0);
    EXPECT_TRUE(page()->isHidden());
    EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(LocatorPage, UmtsActivationAndDeactivationButtons)
{
    Begin(sim::Family::Umts);
    EXPECT_TRUE(page()->GetPositionButton()->isEnabled());
    ASSERT_TRUE(ClickAndWait(page()->PdpActButton()));
    EXPECT_EQ(theApp.m_bLocatorContextActive.load(), 1);
    EXPECT_FALSE(page()->PdpActButton()->isEnabled());
    EXPECT_TRUE(page()->PdpDeactButton()->isEnabled());
    ASSERT_TRUE(ClickAndWait(page()->PdpDeactButton()));
    EXPECT_EQ(theApp.m_bLocatorContextActive.load(), 0);
    EXPECT_TRUE(page()->PdpActButton()->isEnabled());
    EXPECT_FALSE(page()->PdpDeactButton()->isEnabled());
    EXPECT_TRUE(Sent("AT+JIDEACT=1"));
    EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(LocatorPage, ReplayPutsEachTaggedLineOnTheMapAndKeepsTheTimeStampSetting)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("replay.txt");
    const QByteArray replay = "[2026-12-11 00:00:01:000_R:] +JCELLLOC: 20.750000,10.250000\r\nOK\r\n"
                              "+JCELLLOC: 21.000000,11.000000\n" // LF only
                              "noise\r\n+JCELLLOC: -0.127500,51.507200\r\n";
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(replay);
    }
    struct Case {
        int useGoogleMap;
        int showtime;
        std::vector<ScriptCall> expected;
    };
    const Case cases[] = {
        {0, 1,
            {{2, "addMark", {"20.750000", "10.250000"}}, {2, "addMark", {"21.000000", "11.000000"}},
                {2, "addMark", {"-0.127500", "51.507200"}}}},
        {1, 0,
            {{1, "ggetposition", {"10.250000", "20.750000"}}, {1, "ggetposition", {"11.000000", "21.000000"}},
                {1, "ggetposition", {"51.507200", "-0.127500"}}}},
    };
    Begin(sim::Family::Umts);
    for (const Case& c : cases) {
        g_sysParams.UseGoogleMap = c.useGoogleMap;
        g_sysParams.showtime = c.showtime;
        calls.clear();
        page()->m_chooseReplayFile = [&] { return path; };
        page()->ImportButton()->click();
        EXPECT_EQ(calls, c.expected);
        EXPECT_EQ(page()->ReplayPathEdit()->text(), path);
        EXPECT_EQ(g_sysParams.showtime, c.showtime);
        EXPECT_EQ(g_replayPositions.size(), 3u);
        // The terminal shows the file as a replay, as it is: no stamps of its own.
        terminal->ClearAll();
        page()->ImportButton()->click();
        EXPECT_EQ(terminal->TerminalText(), "\r\n/* Replay of replay.txt */\r\n" + replay);
    }

    // A file that cannot be read: nothing on the map, the setting as it was.
    g_sysParams.showtime = 1;
    calls.clear();
    page()->ImportReplayFile(dir.filePath("missing.txt"));
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(g_sysParams.showtime, 1);
    // Cancel in the file dialog: nothing happens.
    page()->m_chooseReplayFile = [] { return QString(); };
    page()->ImportButton()->click();
    EXPECT_EQ(page()->ReplayPathEdit()->text(), dir.filePath("missing.txt"));
}

TEST_F(LocatorPage, SettingsFileKeepsTheAccessPoint)
{
    Begin(sim::Family::Umts);
    page()->ApnEdit()->setText("internet");
    page()->UserEdit()->setText("bob");
    page()->PasswordEdit()->setText("secret");
    page()->m_strMcc = "001";
    page()->m_strMnc.clear();
    page()->SaveLocatorSettings();
    IniFile ini(page()->SettingsPath());
    ASSERT_TRUE(ini.Load());
    EXPECT_EQ(ini.GetString("MorvLocator", "APN"), "internet");
    EXPECT_EQ(ini.GetString("MorvLocator", "username"), "bob");
    EXPECT_EQ(ini.GetString("MorvLocator", "password"), "secret");
    // Half a network is no network: the codes are kept only as a pair.
    EXPECT_EQ(ini.GetString("MorvLocator", "MCC", "<none>"), "<none>");

    page()->m_strMnc = "01";
    page()->SaveLocatorSettings();
    page()->ApnEdit()->clear();
    page()->m_strMcc.clear();
    page()->LoadLocatorSettings();
    EXPECT_EQ(page()->ApnEdit()->text(), "internet");
    EXPECT_EQ(page()->m_strMcc, "001");
    EXPECT_EQ(page()->m_strMnc, "01");
}

} // namespace

TEST_F(LocatorPage, HostileAccessPointFieldsAreRefusedAndTheModuleHearsNothing)
{
    Begin(sim::Family::Umts);
    {
        const struct {
            const char* id;
            const char* value;
            const char* box;
        } cases[] = {
            {"1169", "CMNET\",\"\",\"\";+CFUN=0;+JICSGP=1,\"CMNET", "\"Access Point Name\" must not contain a double quote (\")!"},
            {"1027", "user\rAT+CFUN=0", "\"User name\" must not contain a line break!"},
            {"1324", "pass\x1A", "\"Password\" must not contain Ctrl-Z!"},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.id);
            QLineEdit* edit = page()->findChild<QLineEdit*>(c.id);
            ASSERT_NE(edit, nullptr);
            const QString kept = edit->text();
            edit->setText(QString::fromUtf8(c.value));
            EXPECT_TRUE(test::RefusedQuietly(
                boxes, sim(), AppModemSession(), c.box, [&] { page()->PdpActButton()->click(); }));
            edit->setText(kept);
        }
    }
}
