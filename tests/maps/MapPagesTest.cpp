// The two map pages in the embedded browser (offscreen): the script contract of
// each provider, CallPageScript's refusals and its argument escaping.

#include "common/EventLoopWait.h"
#include "common/MapPageScript.h"
#include "pages/PageHost.h"
#include "pages/positioning/CTestitemDlg_position.h"
#include "shell/core/CUlvenscopeApp.h"
#include "shell/core/SysParams.h"
#include "ui/maps/CWebBrowser2.h"

#include <QCoreApplication>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <gtest/gtest.h>

#include <memory>

namespace ulv {
namespace {

constexpr int kLoadMs = 60000;

class MapPagesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = std::make_unique<QTemporaryDir>();
        test::CopyMapPages(*s_dir);
    }
    static void TearDownTestSuite() { s_dir.reset(); }

    // A shown browser with the page loaded.
    std::unique_ptr<CWebBrowser2> Load(const char* name)
    {
        auto browser = std::make_unique<CWebBrowser2>();
        browser->resize(640, 480);
        browser->show();
        browser->Navigate(s_dir->filePath(name));
        EXPECT_TRUE(test::RunEventsUntil([&] { return browser->IsPageReady(); }, kLoadMs)) << name;
        return browser;
    }

    // The value of a script expression on the page.
    static QVariant Evaluate(CWebBrowser2& browser, const QString& expression)
    {
        return test::EvaluateOnPage(browser, expression);
    }

    static std::unique_ptr<QTemporaryDir> s_dir;
};

std::unique_ptr<QTemporaryDir> MapPagesTest::s_dir;

TEST_F(MapPagesTest, FirstProviderTakesLatitudeFirstAndReportsZoomAndType)
{
    auto browser = Load("morvane_google.html");
    ASSERT_TRUE(browser->IsPageReady());
    ASSERT_EQ(CallPageScript(browser.get(), "ggetposition", {"-33.868800", "-151.209300"}), 1);
    const QVariantList marker = Evaluate(*browser, "[gmarker.getLatLng().lat, gmarker.getLatLng().lng]").toList();
    ASSERT_EQ(marker.size(), 2);
    EXPECT_DOUBLE_EQ(marker[0].toDouble(), -33.8688);
    EXPECT_DOUBLE_EQ(marker[1].toDouble(), -151.2093);
    const QVariantList centre = Evaluate(*browser, "[map.getCenter().lat, map.getCenter().lng]").toList();
    ASSERT_EQ(centre.size(), 2);
    EXPECT_NEAR(centre[0].toDouble(), -33.8688, 1e-6);
    EXPECT_NEAR(centre[1].toDouble(), -151.2093, 1e-6);

    QVariant zoom, type;
    ASSERT_EQ(CallPageScript(browser.get(), "ggetzoom", {}, &zoom), 1);
    EXPECT_EQ(zoom.toInt(), 16); // the position kept the zoom
    ASSERT_EQ(CallPageScript(browser.get(), "ggetMapTypeId", {}, &type), 1);
    EXPECT_EQ(type.toString(), "roadmap");

    // The first page has no addMark: refused, and the marker stays.
    EXPECT_EQ(CallPageScript(browser.get(), "addMark", {"1.000000", "2.000000"}), 0);
    EXPECT_EQ(Evaluate(*browser, "gmarker.getLatLng().lat").toDouble(), -33.8688);
}

TEST_F(MapPagesTest, SecondProviderTakesLongitudeFirstAtZoom15AndAddsMarks)
{
    auto browser = Load("morvane_baidu.html");
    ASSERT_TRUE(browser->IsPageReady());
    EXPECT_EQ(CallPageScript(browser.get(), "addMark", {"20.750000", "10.250000"}), 1);
    ASSERT_EQ(CallPageScript(browser.get(), "ggetposition", {"-151.209300", "-33.868800"}), 1);
    EXPECT_EQ(Evaluate(*browser, "map.getZoom()").toInt(), 15);
    EXPECT_EQ(CallPageScript(browser.get(), "addMark", {"20.750000", "10.250000"}), 1);
    EXPECT_EQ(CallPageScript(browser.get(), "addMark", {"-0.127500", "51.507200"}), 1);
    // ggetposition replaced every marker; the two marks came on top.
    const QVariantList markers = Evaluate(*browser,
        "markers.map(function (m) { return [m.getLatLng().lat, m.getLatLng().lng]; })").toList();
    const QList<QPair<double, double>> expected = {{-33.8688, -151.2093}, {10.25, 20.75}, {51.5072, -0.1275}};
    ASSERT_EQ(markers.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        EXPECT_DOUBLE_EQ(markers[i].toList()[0].toDouble(), expected[i].first) << i;
        EXPECT_DOUBLE_EQ(markers[i].toList()[1].toDouble(), expected[i].second) << i;
    }
    QVariant zoom;
    EXPECT_EQ(CallPageScript(browser.get(), "ggetzoom", {}, &zoom), 0);
    EXPECT_EQ(CallPageScript(browser.get(), "ggetMapTypeId", {}, &zoom), 0);
}

TEST_F(MapPagesTest, ArgumentsNeverBreakOutOfTheirString)
{
    const QStringList values = {
        "a\"b",
        "back\\slash\\",
        "it's",
        "\");document.title='broken';//",
        "'+(document.title='broken')+'",
        "</script><b>x</b>",
        "line\r\nbreak\u2028sep",
        "\\\"",
        QString::fromUtf8("Gr\xc3\xbc\xc3\x9f" "e \xe5\x8c\x97\xe4\xba\xac"),
    };
    auto browser = Load("morvane_google.html");
    ASSERT_TRUE(browser->IsPageReady());
    for (const QString& v : values) {
        // String() hands back exactly what reached the script.
        QVariant echoed;
        ASSERT_EQ(CallPageScript(browser.get(), "String", {v}, &echoed), 1) << v.toStdString();
        EXPECT_EQ(echoed.toString(), v);
        // A position call with the text leaves the page intact.
        EXPECT_EQ(CallPageScript(browser.get(), "ggetposition", {v, v}), 1);
    }
    EXPECT_EQ(Evaluate(*browser, "document.title").toString(), "Map");
    EXPECT_EQ(Evaluate(*browser, "gmarker.getLatLng().lat").toDouble(), 59.9127); // bad numbers moved nothing
}

TEST_F(MapPagesTest, CallsAreRefusedBeforeLoadAfterFailureAndForBadNames)
{
    CWebBrowser2 empty;
    EXPECT_EQ(CallPageScript(&empty, "ggetposition", {"1", "2"}), 0); // nothing loaded
    EXPECT_EQ(CallPageScript(nullptr, "ggetposition", {"1", "2"}), 0);

    CWebBrowser2 loading;
    loading.Navigate(s_dir->filePath("morvane_google.html"));
    EXPECT_EQ(CallPageScript(&loading, "ggetposition", {"1", "2"}), 0); // not loaded yet

    CWebBrowser2 failed; // hidden, and its page is not there
    bool finished = false, ok = true;
    QObject::connect(&failed, &CWebBrowser2::pageReady, [&](bool r) {
        finished = true;
        ok = r;
    });
    failed.Navigate(s_dir->filePath("no_such_page.html"));
    ASSERT_TRUE(test::RunEventsUntil([&] { return finished; }, kLoadMs));
    EXPECT_FALSE(ok);
    EXPECT_TRUE(failed.PageFailed());
    EXPECT_EQ(CallPageScript(&failed, "ggetposition", {"1", "2"}), 0);

    auto browser = Load("morvane_google.html");
    for (const char* name : {"", "gget position", "ggetzoom()", "a.b", "window['x']"})
        EXPECT_EQ(CallPageScript(browser.get(), name, {}), 0) << name;
}

TEST_F(MapPagesTest, NavigatingAgainShowsTheInitialPlace)
{
    auto browser = Load("morvane_google.html");
    ASSERT_EQ(CallPageScript(browser.get(), "ggetposition", {"10.250000", "20.750000"}), 1);
    EXPECT_EQ(Evaluate(*browser, "gmarker.getLatLng().lng").toDouble(), 20.75);
    browser->Navigate(s_dir->filePath("morvane_google.html"));
    EXPECT_EQ(CallPageScript(browser.get(), "ggetposition", {"1", "2"}), 0); // loading again
    ASSERT_TRUE(test::RunEventsUntil([&] { return browser->IsPageReady(); }, kLoadMs));
    EXPECT_EQ(Evaluate(*browser, "gmarker.getLatLng().lat").toDouble(), 59.9127);
    EXPECT_EQ(Evaluate(*browser, "gmarker.getLatLng().lng").toDouble(), 10.7461);
}

TEST_F(MapPagesTest, PagesCarryLeafletAndTheWorldOutline)
{
    for (const char* name : {"morvane_google.html", "morvane_baidu.html"}) {
        auto browser = Load(name);
        ASSERT_TRUE(browser->IsPageReady()) << name;
        EXPECT_EQ(Evaluate(*browser, "typeof L.map").toString(), "function") << name;
        // Land around the initial place (Oslo) and the Sahara is in the outline.
        EXPECT_TRUE(Evaluate(*browser,
            "(function () { function inside(p, r) { var c = false;"
            " for (var i = 0, j = r.length - 1; i < r.length; j = i++) {"
            "  if (((r[i][0] > p[0]) != (r[j][0] > p[0])) &&"
            "      (p[1] < (r[j][1] - r[i][1]) * (p[0] - r[i][0]) / (r[j][0] - r[i][0]) + r[i][1])) c = !c; }"
            " return c; }"
            " function land(p) { return ulvWorldOutline.some(function (r) { return inside(p, r); }); }"
            " return land([23.0, 13.0]) && !land([0.0, -30.0]); })()")
                        .toBool())
            << name;
        EXPECT_EQ(Evaluate(*browser, "document.querySelectorAll('.leaflet-pane canvas').length > 0").toBool(), true)
            << name;
    }
}

TEST_F(MapPagesTest, WithoutTheEngineTheMapPlaceSaysSo)
{
    qputenv("ULV_NO_WEBENGINE", "1");
    CWebBrowser2 browser;
    qunsetenv("ULV_NO_WEBENGINE");
    browser.Navigate(s_dir->filePath("morvane_google.html"));
    EXPECT_EQ(browser.Page(), nullptr);
    EXPECT_TRUE(browser.ProblemText().contains("could not be started"));
    EXPECT_EQ(CallPageScript(&browser, "ggetposition", {"1", "2"}), 0);
}

TEST_F(MapPagesTest, LocatorReplayMarksTheSecondMapAndAMapTypeChangeShowsTheFirst)
{
    const SysParams saved = g_sysParams;
    theApp.m_strGoogleMapFile = s_dir->filePath("morvane_google.html");
    theApp.m_strBaiduMapFile = s_dir->filePath("morvane_baidu.html");
    g_sysParams.UseGoogleMap = 0;
    CTestitemDlg_position page;
    page.resize(700, 700);
    page.show();
    ASSERT_NE(page.SecondBrowser(), nullptr);
    ASSERT_TRUE(test::RunEventsUntil([&] { return page.SecondBrowser()->IsPageReady(); }, kLoadMs));
    EXPECT_TRUE(page.SecondBrowser()->isVisible());
    EXPECT_FALSE(page.FirstBrowser()->isVisible());

    const QString replay = s_dir->filePath("replay.txt");
    QFile f(replay);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("+JCELLLOC: 20.750000,10.250000\r\nOK\r\n+JCELLLOC: 21.000000,11.000000\r\n"
            "+JCELLLOC: -0.127500,51.507200\r\n");
    f.close();
    page.ImportReplayFile(replay);
    const QVariantList markers = Evaluate(*page.SecondBrowser(),
        "markers.slice(-3).map(function (m) { return [m.getLatLng().lat, m.getLatLng().lng]; })").toList();
    const QList<QPair<double, double>> expected = {{10.25, 20.75}, {11.0, 21.0}, {51.5072, -0.1275}};
    ASSERT_EQ(markers.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        EXPECT_DOUBLE_EQ(markers[i].toList()[0].toDouble(), expected[i].first) << i;
        EXPECT_DOUBLE_EQ(markers[i].toList()[1].toDouble(), expected[i].second) << i;
    }

    g_sysParams.UseGoogleMap = 1;
    QEvent changed(kMapTypeChangedEvent);
    QCoreApplication::sendEvent(&page, &changed);
    EXPECT_TRUE(page.FirstBrowser()->isVisible());
    EXPECT_FALSE(page.SecondBrowser()->isVisible());
    ASSERT_TRUE(test::RunEventsUntil([&] { return page.FirstBrowser()->IsPageReady(); }, kLoadMs));
    page.ShowCellPosition(-33.8688, -151.2093);
    EXPECT_DOUBLE_EQ(Evaluate(*page.FirstBrowser(), "gmarker.getLatLng().lng").toDouble(), -151.2093);
    g_sysParams = saved;
}

} // namespace
} // namespace ulv
