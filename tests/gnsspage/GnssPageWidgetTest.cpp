// The GNSS page's controls without a module: settings text, tabs, the NMEA
// view and what chunks handed to the page show.

#include "common/EventLoopWait.h"
#include "pages/positioning/CChartContrl.h"
#include "pages/positioning/CChartContrl_columnar.h"
#include "pages/positioning/CChartContrl_radar.h"
#include "pages/positioning/CTestItemDlg_gnss.h"
#include "platform/MessageBox.h"
#include "shell/CPortParamDlg.h"
#include "shell/core/SysParams.h"
#include "ui/chrome/CFolderTabCtrl.h"
#include "ui/controls/CFlatComboBox.h"
#include "ui/controls/CSkinButton.h"
#include "ui/maps/CWebBrowser2.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace ulv;
using namespace std::string_literals;

namespace {

using V = CTestItemDlg_gnss;

TEST(GnssPage, PortSettingsText)
{
    struct Case {
        int baud, data, stop, parity, flow;
        const char* text;
    };
    const Case cases[] = {
        {115200, 8, 1, 0, 0, "115200,8,1,None,None"},
        {9600, 7, 2, 1, 1, "9600,7,2,Odd,HW"},
        {4800, 8, 1, 2, 2, "4800,8,1,Even,SW"},
        {4800, 8, 1, 3, 7, "4800,8,1,CRC"},
        {4800, 8, 1, -1, 0, "4800,8,1,None"},
    };
    for (const Case& c : cases) {
        CommPortSettings s;
        s.baud = c.baud;
        s.dataBits = c.data;
        s.stopBits = c.stop;
        s.parity = c.parity;
        s.flowCtrl = c.flow;
        EXPECT_EQ(V::PortSettingsText(s), c.text);
    }
}

TEST(GnssPage, PrefixLines)
{
    struct Case {
        const char* text;
        bool atStart;
        const char* out;
    };
    const Case cases[] = {
        {"a\nb\n", false, "a\n> b\n"},
        {"a\nb", true, "> a\n> b"},
        {"\na", true, "\n> a"},
        {"\r\na", true, "\r\n> a"},
        {"a\n\nb", false, "a\n\n> b"},
        {"a\n\r", false, "a\n\r"},
        {"a\n\rb", false, "a\n> \rb"},
        {"", true, "> "},
    };
    for (const Case& c : cases)
        EXPECT_EQ(V::PrefixLines(c.text, "> ", c.atStart), c.out) << c.text;
}

TEST(GnssPage, StartsOnTheWorldMapWithTheDefaults)
{
    V page;
    EXPECT_TRUE(page.AutoGnssCheck()->isChecked());
    EXPECT_EQ(page.ConnectButton()->text(), "Connect");
    ASSERT_EQ(page.PropertyCombo()->count(), 2);
    EXPECT_EQ(page.PropertyCombo()->itemText(0), "115200,8,1,None,None");
    EXPECT_EQ(page.PropertyCombo()->itemText(1), "change the property...");
    for (int v = V::kUtcDate; v <= V::kDop; ++v)
        EXPECT_EQ(page.ValueLabel(V::Value(v))->text(), "---");
    EXPECT_FALSE(page.WorldMap()->isHidden());
    EXPECT_TRUE(page.SkyPlot()->isHidden());
    EXPECT_TRUE(page.BarChart()->isHidden());
    EXPECT_TRUE(page.NmeaView()->isHidden());
    EXPECT_TRUE(page.CommandEdit()->isHidden());
}

TEST(GnssPage, TabsShowOneViewEach)
{
    // The map views' visibility needs no browser engine.
    qputenv("ULV_NO_WEBENGINE", "1");
    const int savedProvider = g_sysParams.UseGoogleMap;
    g_sysParams.UseGoogleMap = 0;
    V page;
    struct Case {
        int tab;
        bool world, sky, bars, view, map;
    };
    const Case cases[] = {
        {V::kTabNmeaData, false, false, false, true, false},
        {V::kTabSkyView, false, true, false, false, false},
        {V::kTabSignalChart, false, false, true, false, false},
        {V::kTabMap, false, false, false, false, true},
        {V::kTabWorldMap, true, false, false, false, false},
    };
    for (const Case& c : cases) {
        page.OnTabChanged(c.tab);
        EXPECT_EQ(!page.WorldMap()->isHidden(), c.world) << c.tab;
        EXPECT_EQ(!page.SkyPlot()->isHidden(), c.sky) << c.tab;
        EXPECT_EQ(!page.BarChart()->isHidden(), c.bars) << c.tab;
        EXPECT_EQ(!page.NmeaView()->isHidden(), c.view) << c.tab;
        EXPECT_TRUE(page.CommandEdit()->isHidden()) << c.tab;
        // The second provider's view is the chosen one; the first never shows.
        if (page.SecondBrowser()) {
            EXPECT_EQ(!page.SecondBrowser()->isHidden(), c.map) << c.tab;
            EXPECT_TRUE(page.FirstBrowser()->isHidden()) << c.tab;
        } else {
            EXPECT_FALSE(c.map) << "no map view on the Map tab";
        }
    }
    g_sysParams.UseGoogleMap = savedProvider;
    qunsetenv("ULV_NO_WEBENGINE");
}

TEST(GnssPage, PropertyDialogCancelKeepsOkTakesTheLineSettings)
{
    V page;
    page.SetPropertyDialogRunner([](CPortParamDlg& dlg) {
        EXPECT_EQ(dlg.m_bPortSelectable, 0);
        dlg.m_settings.parity = 1;
        dlg.m_settings.baud = 9600;
        return int(QDialog::Rejected);
    });
    page.OnSelchangePortProperty(1);
    EXPECT_EQ(page.PropertyCombo()->currentIndex(), 0);
    EXPECT_EQ(page.PropertyCombo()->itemText(0), "115200,8,1,None,None");

    page.SetPropertyDialogRunner([](CPortParamDlg& dlg) {
        dlg.m_settings.parity = 1;
        dlg.m_settings.baud = 9600;
        dlg.m_settings.port = QStringLiteral("/dev/elsewhere");
        return int(QDialog::Accepted);
    });
    page.OnSelchangePortProperty(1);
    EXPECT_EQ(page.PropertyCombo()->currentIndex(), 0);
    EXPECT_EQ(page.PropertyCombo()->itemText(0), "9600,8,1,Odd,None");
    EXPECT_EQ(page.NmeaSettings().baud, 9600);
    EXPECT_TRUE(page.NmeaSettings().port.isEmpty()) << "the page keeps its own port";
}

TEST(GnssPage, ChunksFillLabelsWhateverTheLineEnd)
{
    struct Case {
        const char* name;
        std::vector<std::string> chunks;
        V::Value value;
        const char* shown;
    };
    const Case cases[] = {
        {"VTG, CR LF", {"$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,A*25\r\n"}, V::kSpeed, "10.20"},
        {"VTG split after the *", {"$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,A*", "25\r\n"}, V::kSpeed, "10.20"},
        // A bare line feed keeps the sentence's last character: here the
        // comma that closes the VDOP field.
        {"GSA ended by a bare LF", {"$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1,\n"}, V::kLocatingType, "3D"},
        {"GSA, CR LF", {"$GPGSA,A,2,04,05,,09,12,,,24,,,,,2.5,1.3,2.1,\r\n"}, V::kLocatingType, "2D"},
        {"RMC with noise and NULs", {"xx\0\0$GPRMC,123519,A,4916.45,N,12311.12,W,022.4,084.4,081226,003.1,W*6A\r\n"s},
            V::kLatitude, "49.274167N"},
    };
    for (const Case& c : cases) {
        V page;
        for (const std::string& chunk : c.chunks)
            page.OnNmeaData(QByteArray::fromStdString(chunk));
        ASSERT_TRUE(test::RunEventsUntil([&] { return !page.RefreshPending(); }, 30000)) << c.name;
        EXPECT_EQ(page.ValueLabel(c.value)->text(), c.shown) << c.name;
    }
}

QString Sentence(int i)
{
    return QStringLiteral("$GPTXT,01,01,02,line %1*00").arg(i);
}

TEST(GnssPage, HiddenNmeaViewCatchesUpWhenShownWithTheNewestLines)
{
    V page;
    page.show();
    // Received while another tab is shown: nothing is laid out meanwhile.
    const int total = V::kMaxViewBlocks + 500;
    for (int i = 0; i < total; ++i)
        page.OnNmeaData(Sentence(i).toLatin1() + "\r\n");
    EXPECT_TRUE(page.NmeaView()->toPlainText().isEmpty());

    page.FolderTab()->SelectItem(V::kTabNmeaData);
    page.OnTabChanged(V::kTabNmeaData);
    const QTextDocument* doc = page.NmeaView()->document();
    EXPECT_EQ(doc->blockCount(), V::kMaxViewBlocks);
    EXPECT_EQ(doc->firstBlock().text(), Sentence(total - V::kMaxViewBlocks + 1));
    EXPECT_EQ(doc->lastBlock().previous().text(), Sentence(total - 1));
    EXPECT_TRUE(doc->lastBlock().text().isEmpty());

    // While shown, what arrives follows; the oldest lines give way.
    page.OnNmeaData("$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,A*25\r\n");
    ASSERT_TRUE(test::RunEventsUntil(
        [&] { return doc->lastBlock().previous().text() == "$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,A*25"; }, 30000));
    EXPECT_EQ(doc->blockCount(), V::kMaxViewBlocks);
    EXPECT_EQ(doc->firstBlock().text(), Sentence(total - V::kMaxViewBlocks + 2));
}

TEST(GnssPage, AnEndlessLineIsShownInBoundedPiecesAndTheNextSentenceStillCounts)
{
    V page;
    page.show();
    page.FolderTab()->SelectItem(V::kTabNmeaData);
    page.OnTabChanged(V::kTabNmeaData);
    const QByteArray noise(64 * 1024, char(0xFF));
    for (int i = 0; i < 20 * 16; ++i) { // 20 MiB with no line end
        page.OnNmeaData(noise);
        if (i % 16 == 0)
            QCoreApplication::processEvents();
    }
    page.OnNmeaData("\r\n$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,A*25\r\n");
    const QTextDocument* doc = page.NmeaView()->document();
    ASSERT_TRUE(test::RunEventsUntil(
        [&] { return doc->lastBlock().previous().text() == "$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,A*25"; }, 30000));
    ASSERT_TRUE(test::RunEventsUntil([&] { return !page.RefreshPending(); }, 30000));
    EXPECT_EQ(page.ValueLabel(V::kSpeed)->text(), "10.20");
    EXPECT_LE(doc->blockCount(), V::kMaxViewBlocks);
    for (QTextBlock b = doc->firstBlock(); b.isValid(); b = b.next())
        ASSERT_LE(b.length() - 1, V::kMaxViewLineChars);
    // The line's last piece, whole: each byte one character.
    EXPECT_EQ(doc->lastBlock().previous().previous().text(), QString(V::kMaxViewLineChars, QChar(0xFF)));
}

TEST(GnssPage, SampleButtonShowsTheSecondPlace)
{
    V page;
    page.OnButton1();
    EXPECT_EQ(page.ValueLabel(V::kLatitude)->text(), "33.868800S");
    EXPECT_EQ(page.ValueLabel(V::kLongitude)->text(), "151.209300E");
    EXPECT_NEAR(page.WorldMap()->Latitude(), -33.8688, 1e-9);
    EXPECT_NEAR(page.WorldMap()->Longitude(), 151.2093, 1e-9);
}

TEST(GnssPage, ConnectWithoutAHostSaysConnectTheModuleFirst)
{
    MessageBoxRecorder boxes;
    V page;
    page.ConnectButton()->click();
    EXPECT_EQ(boxes.Texts(), QStringList {"Please connect the module first!"});
    EXPECT_EQ(page.ConnectButton()->text(), "Connect");
}

} // namespace
