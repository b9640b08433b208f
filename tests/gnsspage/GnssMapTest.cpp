// The GNSS page's Map tab in the embedded browser (offscreen): a fix reaches the
// chosen provider's page in that provider's argument order, and a map type change
// shows the other page and loads it afresh.

#include "common/EventLoopWait.h"
#include "common/MapPageScript.h"
#include "pages/PageHost.h"
#include "pages/positioning/CTestItemDlg_gnss.h"
#include "pages/positioning/core/MapDefaults.h"
#include "shell/core/CUlvenscopeApp.h"
#include "shell/core/SysParams.h"
#include "ui/chrome/CFolderTabCtrl.h"
#include "ui/maps/CWebBrowser2.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace ulv {
namespace {

// 33.8688 S, 151.2093 W.
const QByteArray kSouthWestFix = "$GPRMC,101500,A,3352.128,S,15112.558,W,000.0,000.0,111226,003.1,W*69\r\n";

struct Call {
    CWebBrowser2* browser;
    QString function;
    QStringList args;
};

class GnssMapTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = std::make_unique<QTemporaryDir>();
        test::CopyMapPages(*s_dir);
    }
    static void TearDownTestSuite() { s_dir.reset(); }

    void SetUp() override
    {
        m_savedParams = g_sysParams;
        m_savedFiles[0] = theApp.m_strGoogleMapFile;
        m_savedFiles[1] = theApp.m_strBaiduMapFile;
        theApp.m_strGoogleMapFile = s_dir->filePath("morvane_google.html");
        theApp.m_strBaiduMapFile = s_dir->filePath("morvane_baidu.html");
    }
    void TearDown() override
    {
        g_sysParams = m_savedParams;
        theApp.m_strGoogleMapFile = m_savedFiles[0];
        theApp.m_strBaiduMapFile = m_savedFiles[1];
    }

    // A shown page whose script calls are recorded on their way to the map.
    std::unique_ptr<CTestItemDlg_gnss> MakePage()
    {
        auto page = std::make_unique<CTestItemDlg_gnss>();
        page->m_callPageScript = [this](CWebBrowser2* b, const QString& f, const QStringList& a, QVariant* r) {
            m_calls.push_back({b, f, a});
            return CallPageScript(b, f, a, r);
        };
        page->show();
        return page;
    }

    // The page moves its map with its next refresh of the values, not at once.
    void Feed(CTestItemDlg_gnss& page, const QByteArray& nmea)
    {
        const size_t before = m_calls.size();
        page.OnNmeaData(nmea);
        ASSERT_TRUE(test::RunEventsUntil([&] { return m_calls.size() > before; }, 10000));
    }

    // As a click on the folder tab does it.
    static void SelectTab(CTestItemDlg_gnss& page, int tab)
    {
        page.FolderTab()->SelectItem(tab);
        page.OnTabChanged(tab);
    }

    static std::unique_ptr<QTemporaryDir> s_dir;
    SysParams m_savedParams;
    QString m_savedFiles[2];
    std::vector<Call> m_calls;
};

std::unique_ptr<QTemporaryDir> GnssMapTest::s_dir;

TEST_F(GnssMapTest, FixReachesTheChosenMapInItsProvidersOrder)
{
    struct Case {
        int useGoogleMap;
        QStringList args;
        const char* marker; // the page's current marker as [lat, lng]
    };
    const Case cases[] = {
        {1, {"-33.868800", "-151.209300"}, "[gmarker.getLatLng().lat, gmarker.getLatLng().lng]"},
        {0, {"-151.209300", "-33.868800"},
            "[markers[markers.length - 1].getLatLng().lat, markers[markers.length - 1].getLatLng().lng]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.useGoogleMap);
        g_sysParams.UseGoogleMap = c.useGoogleMap;
        m_calls.clear();
        auto page = MakePage();
        // No browser until the Map tab is wanted.
        EXPECT_EQ(page->FirstBrowser(), nullptr);
        SelectTab(*page, CTestItemDlg_gnss::kTabMap);
        CWebBrowser2* shown = c.useGoogleMap == 1 ? page->FirstBrowser() : page->SecondBrowser();
        CWebBrowser2* other = c.useGoogleMap == 1 ? page->SecondBrowser() : page->FirstBrowser();
        ASSERT_NE(shown, nullptr);
        ASSERT_NE(other, nullptr);
        EXPECT_TRUE(shown->isVisible());
        EXPECT_FALSE(other->isVisible());
        ASSERT_TRUE(test::RunEventsUntil([&] { return shown->IsPageReady(); }, test::kMapLoadMs));

        Feed(*page, kSouthWestFix);
        ASSERT_EQ(m_calls.size(), 1u);
        EXPECT_EQ(m_calls[0].browser, shown);
        EXPECT_EQ(m_calls[0].function, "ggetposition");
        EXPECT_EQ(m_calls[0].args, c.args);
        const QVariantList marker = test::EvaluateOnPage(*shown, c.marker).toList();
        ASSERT_EQ(marker.size(), 2);
        EXPECT_DOUBLE_EQ(marker[0].toDouble(), -33.8688);
        EXPECT_DOUBLE_EQ(marker[1].toDouble(), -151.2093);
        for (const Call& call : m_calls)
            EXPECT_NE(call.function, "addMark");
    }
}

TEST_F(GnssMapTest, MapTypeChangeShowsTheOtherMapAndLoadsItAfresh)
{
    g_sysParams.UseGoogleMap = 1;
    auto page = MakePage();
    SelectTab(*page, CTestItemDlg_gnss::kTabMap);
    CWebBrowser2* first = page->FirstBrowser();
    CWebBrowser2* second = page->SecondBrowser();
    ASSERT_NE(first, nullptr);
    ASSERT_TRUE(test::RunEventsUntil([&] { return first->IsPageReady(); }, test::kMapLoadMs));
    Feed(*page, kSouthWestFix);
    ASSERT_DOUBLE_EQ(test::EvaluateOnPage(*first, "gmarker.getLatLng().lat").toDouble(), -33.8688);

    // Changed while the world map is shown: the chosen map comes over it.
    SelectTab(*page, CTestItemDlg_gnss::kTabWorldMap);
    g_sysParams.UseGoogleMap = 0;
    QEvent toSecond(kMapTypeChangedEvent);
    QCoreApplication::sendEvent(page.get(), &toSecond);
    EXPECT_TRUE(second->isVisible());
    EXPECT_FALSE(first->isVisible());
    ASSERT_TRUE(test::RunEventsUntil([&] { return second->IsPageReady(); }, test::kMapLoadMs));

    g_sysParams.UseGoogleMap = 1;
    QEvent toFirst(kMapTypeChangedEvent);
    QCoreApplication::sendEvent(page.get(), &toFirst);
    EXPECT_TRUE(first->isVisible());
    EXPECT_FALSE(second->isVisible());
    EXPECT_FALSE(first->IsPageReady()); // loading again
    ASSERT_TRUE(test::RunEventsUntil([&] { return first->IsPageReady(); }, test::kMapLoadMs));
    // The fix shown before is gone: the page is back at its initial place.
    EXPECT_DOUBLE_EQ(test::EvaluateOnPage(*first, "gmarker.getLatLng().lat").toDouble(), kDefaultPlaceLatitude);
    EXPECT_DOUBLE_EQ(test::EvaluateOnPage(*first, "gmarker.getLatLng().lng").toDouble(), kDefaultPlaceLongitude);
    for (const Call& call : m_calls)
        EXPECT_NE(call.function, "addMark");
}

TEST_F(GnssMapTest, AfterTheFirstFixTheMapKeepsTheUsersZoom)
{
    struct Case {
        int useGoogleMap;
        int firstFixZoom;
    };
    // The first provider keeps the zoom of its page; the second brings the
    // first fix in at street level.
    const Case cases[] = {{1, 16}, {0, 15}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.useGoogleMap);
        g_sysParams.UseGoogleMap = c.useGoogleMap;
        auto page = MakePage();
        SelectTab(*page, CTestItemDlg_gnss::kTabMap);
        CWebBrowser2* shown = c.useGoogleMap == 1 ? page->FirstBrowser() : page->SecondBrowser();
        ASSERT_NE(shown, nullptr);
        ASSERT_TRUE(test::RunEventsUntil([&] { return shown->IsPageReady(); }, test::kMapLoadMs));
        const auto zoom = [&] { return test::EvaluateOnPage(*shown, "map.getZoom()").toInt(); };

        Feed(*page, kSouthWestFix);
        ASSERT_EQ(zoom(), c.firstFixZoom);
        // The user zooms out with the map's own control, three steps.
        for (int step = 1; step <= 3; ++step) {
            test::EvaluateOnPage(*shown, "document.querySelector('.leaflet-control-zoom-out').click(), 0");
            ASSERT_TRUE(test::RunEventsUntil([&] { return zoom() == c.firstFixZoom - step; }, test::kMapLoadMs))
                << "step " << step << ": zoom " << zoom();
        }
        const int userZoom = c.firstFixZoom - 3;
        // Three further fixes, each further south: the marker and the centre
        // follow, the zoom stays the user's.
        for (int fix = 1; fix <= 3; ++fix) {
            // A degree apart: far beyond the view, so the map jumps rather than pans.
            const QByteArray rmc = QStringLiteral("$GPRMC,1015%1,A,%2%3,S,15112.558,W,000.0,000.0,111226,003.1,W*00\r\n")
                                       .arg(fix, 2, 10, QLatin1Char('0'))
                                       .arg(33 + fix)
                                       .arg(QStringLiteral("52.128"))
                                       .toLatin1();
            Feed(*page, rmc);
            const double lat = -(33 + fix + 52.128 / 60);
            const QVariantList centre = test::EvaluateOnPage(*shown, "[map.getCenter().lat, map.getZoom()]").toList();
            ASSERT_EQ(centre.size(), 2) << "fix " << fix;
            EXPECT_NEAR(centre[0].toDouble(), lat, 1e-6) << "fix " << fix;
            EXPECT_EQ(centre[1].toInt(), userZoom) << "fix " << fix;
        }
    }
}

} // namespace
} // namespace ulv
