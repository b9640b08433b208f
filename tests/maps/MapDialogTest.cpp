// The bigger-map dialog: its size from the main window's settings, the browser in
// the placeholder's place, the proportional relayout, and the two page writers.

#include "common/TestEnv.h"
#include "pages/positioning/CMapDlg.h"
#include "shell/core/CUlvenscopeApp.h"
#include "shell/core/SysParams.h"
#include "ui/maps/CWebBrowser2.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace ulv {
namespace {

class MapDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved = g_sysParams;
        qputenv("ULV_NO_WEBENGINE", "1");
    }
    void TearDown() override
    {
        g_sysParams = saved;
        qunsetenv("ULV_NO_WEBENGINE");
    }
    SysParams saved;
};

TEST_F(MapDialogTest, GrowsToTheMainWindowSizeLessFiftyAndScalesTheBrowserIn)
{
    // Smaller than the test screen, so the dialog is not fitted to it.
    g_sysParams.nwidth = 700;
    g_sysParams.nheight = 500;
    CMapDlg dlg;
    EXPECT_EQ(dlg.windowTitle(), "Map");
    EXPECT_EQ(dlg.m_nZoom, 16);
    EXPECT_EQ(dlg.m_nMapType, 1);
    const QRect before = dlg.Placeholder()->geometry();
    const QSize templateSize = dlg.size();
    dlg.show();
    EXPECT_EQ(dlg.size(), QSize(650, 450));
    ASSERT_NE(dlg.Browser(), nullptr);
    const double fx = 650.0 / templateSize.width(), fy = 450.0 / templateSize.height();
    const QRect expected(QPoint(int(before.left() * fx), int(before.top() * fy)),
        QPoint(int((before.left() + before.width()) * fx) - 1, int((before.top() + before.height()) * fy) - 1));
    EXPECT_EQ(dlg.Browser()->geometry(), expected);
    EXPECT_FALSE(dlg.Placeholder()->isVisible());
    EXPECT_EQ(dlg.m_nClientWidth, 650);

    // The same size again moves nothing; half the width halves the browser's.
    const QRect browser = dlg.Browser()->geometry();
    dlg.Relayout(650, 450);
    EXPECT_EQ(dlg.Browser()->geometry(), browser);
    dlg.resize(325, 450);
    EXPECT_EQ(dlg.Browser()->geometry().left(), browser.left() / 2);
    EXPECT_EQ(dlg.Browser()->geometry().top(), browser.top());
}

TEST_F(MapDialogTest, WritesTheFirstProvidersPageForTheValues)
{
    QTemporaryDir dir;
    struct Case {
        int mapType;
        const char* typeLine;
    };
    for (const Case c : {Case {0, "mapTypeId: google.maps.MapTypeId.ROADMAP"}, Case {3, "mapTypeId: google.maps.MapTypeId.SATELLITE"}}) {
        const QString path = dir.filePath(QString("page%1.html").arg(c.mapType));
        ASSERT_TRUE(CMapDlg::WriteMapPage(path, -33.8688, -151.2093, 12, c.mapType));
        const QByteArray page = test::ReadAll(path);
        for (const char* line : {"var lat = -33.868800;\n", "var lng = -151.209300;\n", "zoom: 12,\n", c.typeLine,
                 "function ggetzoom(){ return map.getZoom(); }\n",
                 "<div id=\"map-canvas\" style=\"width: 100%; height: 100%;\"></div>\n"})
            EXPECT_TRUE(page.contains(line)) << line;
    }
    EXPECT_FALSE(CMapDlg::WriteMapPage(dir.filePath("no/such/folder/page.html"), 0, 0, 16, 0));
}

TEST_F(MapDialogTest, MaxPageCopiesTheSourceWithTheDivisionSized)
{
    theApp.InitFolders();
    CMapDlg dlg;
    dlg.m_nClientWidth = 900;
    dlg.m_nClientHeight = 600;
    QFile::remove(theApp.m_strAppDir + "Google-earth.html");
    EXPECT_FALSE(dlg.WriteMaxMapPage()); // nothing writes the source

    QDir().mkpath(theApp.m_strAppDir);
    QFile src(theApp.m_strAppDir + "Google-earth.html");
    ASSERT_TRUE(src.open(QIODevice::WriteOnly));
    src.write("<html>\n<body>\n<div id=\"x\"></div>\n</body>\n</html>\n");
    src.close();
    ASSERT_TRUE(dlg.WriteMaxMapPage());
    EXPECT_EQ(test::ReadAll(theApp.m_strAppDir + "Google-earth-max.html"),
        "<html>\n<body>\n<div id=\"map-canvas\" style=\"width: 830px; height: 500px\"></div></body>\n</html>\n");
}

} // namespace
} // namespace ulv
