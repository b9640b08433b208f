// The GNSS page as a user drives it against the simulated UMTS module: the
// NMEA port is the module's second pseudo-terminal, streaming a recorded log
// while AT+JGPS=1 has its GNSS engine on.

#include "sim/SimFixture.h"
#include "sim/SimNmeaPort.h"

#include "common/EventLoopWait.h"
#include "common/TestEnv.h"
#include "pages/positioning/CChartContrl.h"
#include "pages/positioning/CChartContrl_columnar.h"
#include "pages/positioning/CTestItemDlg_gnss.h"
#include "platform/MessageBox.h"
#include "shell/CTestView1.h"
#include "shell/CTestView2.h"
#include "shell/core/SysParams.h"
#include "ui/controls/CFlatComboBox.h"
#include "ui/controls/CSkinButton.h"

#include <QCheckBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <fcntl.h>
#include <memory>
#include <random>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace ulv;
using namespace std::chrono_literals;

namespace {

using V = CTestItemDlg_gnss;

class GnssPageSim : public sim::SimFixture {
public:
    void SetUp() override
    {
        sim::SimFixture::SetUp();
        savedParams = g_sysParams;
        g_sysParams.savelog = 0;
        terminal = std::make_unique<CTestView2>();
    }
    void TearDown() override
    {
        host.reset();
        nmea.reset();
        second.reset();
        terminal.reset();
        qunsetenv("ULVENSCOPE_EXTRA_PORTS");
        g_sysParams = savedParams;
        sim::SimFixture::TearDown();
    }
    // A UMTS module streaming the log, and the page host on its AT port. With
    // a second log, a second NMEA port offers it (switched on once attached).
    void Use(const QString& log, const QString& secondLog = {})
    {
        StartSim(sim::Family::Umts, "RX70B03");
        nmea = std::make_unique<sim::SimNmeaPort>(sim::SimNmeaPort::Options {log.toStdString(), 1ms, false});
        std::string error;
        ASSERT_TRUE(nmea->Start(&error)) << error;
        sim::AttachNmeaPort(sim(), *nmea);
        // The page lists its ports when it is made.
        // The page sees the port through a name of its own, as a receiver's
        // device node: an unplug takes the name away, whereas the terminal's
        // number may be handed to another test's terminal at once.
        nmeaPath = test::TempHome() + "/nmea-port";
        QFile::remove(nmeaPath);
        ASSERT_TRUE(QFile::link(QString::fromStdString(nmea->SlavePath()), nmeaPath));
        QByteArray ports = nmeaPath.toUtf8() + "=Simulated NMEA Port";
        if (!secondLog.isEmpty()) {
            second = std::make_unique<sim::SimNmeaPort>(
                sim::SimNmeaPort::Options {secondLog.toStdString(), 1ms, false});
            ASSERT_TRUE(second->Start(&error)) << error;
            ports += ";" + QByteArray::fromStdString(second->SlavePath()) + "=Second NMEA Port";
        }
        qputenv("ULVENSCOPE_EXTRA_PORTS", ports);
        host = std::make_unique<CTestView1>();
        host->resize(500, 760);
        ASSERT_EQ(host->OpenCommport(QString::fromStdString(SlavePath()), 115200, 8, 1, 0, 0, 2048), 1);
        host->show();
        Page()->show();
    }
    V* Page() { return host->GnssPage(); }
    QString Label(V::Value v) { return Page()->ValueLabel(v)->text(); }
    bool SelectNmeaPort() { return SelectPort(nmeaPath); }
    bool SelectPort(const sim::SimNmeaPort& port) { return SelectPort(QString::fromStdString(port.SlavePath())); }
    bool SelectPort(const QString& path)
    {
        const int i = Page()->PortCombo()->findData(path);
        Page()->PortCombo()->setCurrentIndex(i);
        return i >= 0;
    }
    template <class Pred>
    static bool Until(Pred done, int ms = 30000)
    {
        return test::RunEventsUntil(done, ms);
    }

    MessageBoxRecorder boxes;
    SysParams savedParams;
    std::unique_ptr<CTestView2> terminal;
    std::unique_ptr<sim::SimNmeaPort> nmea;
    std::unique_ptr<sim::SimNmeaPort> second;
    QString nmeaPath; // the name the page lists the NMEA port under
    std::unique_ptr<CTestView1> host;
};

// The log's last epoch as the labels show it.
void ExpectLastFixOfStationaryLog(GnssPageSim& t)
{
    EXPECT_EQ(t.Label(V::kUtcDate), "120610");
    EXPECT_EQ(t.Label(V::kUtcTime), "171007.9");
    EXPECT_EQ(t.Label(V::kLatitude), "52.014190N");
    EXPECT_EQ(t.Label(V::kLongitude), "4.363085E");
    EXPECT_EQ(t.Label(V::kAltitude), "7.7");
    EXPECT_EQ(t.Label(V::kSpeed), "0.00");
    EXPECT_EQ(t.Label(V::kSatelliteUsed), "9");
    EXPECT_EQ(t.Label(V::kLocatingType), "3D");
    EXPECT_EQ(t.Label(V::kDop), "PDOP:1.8    HDOP:0.9    VDOP:1.5");
}

TEST_F(GnssPageSim, ConnectStreamsTheLogIntoLabelsChartsAndViewWithEitherLineEnd)
{
    ULV_SKIP_WITHOUT_TESTDATA();
    const QString crlf = test::TestDataPath(QStringLiteral("nmea/gps-only-stationary.nmea"));
    QTemporaryDir dir;
    const QString lf = dir.filePath(QStringLiteral("lf-only.nmea"));
    {
        QByteArray bytes = test::ReadAll(crlf);
        ASSERT_FALSE(bytes.isEmpty());
        bytes.replace("\r\n", "\n");
        QFile f(lf);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    for (const QString& log : {crlf, lf}) {
        SCOPED_TRACE(log.toStdString());
        host.reset();
        Use(log);
        ASSERT_TRUE(SelectNmeaPort()) << "the NMEA port is listed";
        EXPECT_EQ(Page()->PortCombo()->currentText().left(19), "Simulated NMEA Port");
        ASSERT_TRUE(Page()->AutoGnssCheck()->isChecked());

        Page()->ConnectButton()->click();
        EXPECT_TRUE(WaitForCommand("AT+JGPS=1", 10s));
        EXPECT_NE(Received().find("AT+JGPS=1\r\n"), std::string::npos);
        EXPECT_EQ(Page()->ConnectButton()->text(), "Disconnect");
        ASSERT_TRUE(nmea->WaitForPasses(1, 30s));
        ASSERT_TRUE(Until([&] { return Label(V::kUtcTime) == "171007.9" && Label(V::kDop).startsWith("PDOP:1.8"); }));
        ExpectLastFixOfStationaryLog(*this);

        // The world map holds the last fix; the charts hold the last table.
        EXPECT_NEAR(Page()->WorldMap()->Latitude(), 52 + 0.8514 / 60, 1e-9);
        EXPECT_NEAR(Page()->WorldMap()->Longitude(), 4 + 21.7851 / 60, 1e-9);
        EXPECT_EQ(Page()->BarChart()->m_satellites[11].snr, 33.0); // PRN 12
        EXPECT_EQ(Page()->BarChart()->m_satellites[29].snr, 38.0); // PRN 30
        // Every sentence reached the view, the last one whole, once it is shown.
        Page()->OnTabChanged(V::kTabNmeaData);
        const QString shown = Page()->NmeaView()->toPlainText();
        EXPECT_TRUE(shown.contains("$GPVTG,000.0,T,,M,000.0,N,000.0,K,A*0D")) << shown.right(200).toStdString();
        EXPECT_FALSE(shown.contains('\r'));

        Page()->ConnectButton()->click();
        EXPECT_TRUE(WaitForCommand("AT+JGPSEND", 10s));
        EXPECT_EQ(Page()->ConnectButton()->text(), "Connect");
        EXPECT_TRUE(Until([&] { return !Page()->PortOpen(); }));
        // The values stay on show after the port is closed.
        ExpectLastFixOfStationaryLog(*this);
        EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join('|').toStdString();
    }
}

TEST_F(GnssPageSim, ReconnectShowsOnlyWhatTheNewConnectionGives)
{
    ULV_SKIP_WITHOUT_TESTDATA();
    Use(test::TestDataPath(QStringLiteral("nmea/gps-only-stationary.nmea")),
        test::TestDataPath(QStringLiteral("nmea/gps-glonass-lf-endings.nmea")));
    ASSERT_TRUE(SelectNmeaPort());
    Page()->ConnectButton()->click();
    ASSERT_TRUE(nmea->WaitForPasses(1, 30s));
    ASSERT_TRUE(Until([&] { return Label(V::kUtcTime) == "171007.9" && Label(V::kDop).startsWith("PDOP:1.8"); }));
    ASSERT_EQ(Label(V::kSpeed), "0.00");
    Page()->ConnectButton()->click();
    ASSERT_TRUE(Until([&] { return !Page()->PortOpen(); }));

    // The receiver on the other port sends no VTG.
    sim::AttachNmeaPort(sim(), *second);
    ASSERT_TRUE(SelectPort(*second));
    Page()->ConnectButton()->click();
    ASSERT_EQ(Page()->ConnectButton()->text(), "Disconnect");
    for (int v = 0; v < 9; ++v)
        EXPECT_EQ(Label(V::Value(v)), "---") << "label " << v << " on Connect";
    EXPECT_EQ(Page()->WorldMap()->Latitude(), -1000.0) << "no marker before a fix";
    EXPECT_EQ(Page()->BarChart()->m_satellites[11].snr, 0.0) << "the old table is gone";

    ASSERT_TRUE(second->WaitForPasses(1, 30s));
    ASSERT_TRUE(Until([&] { return Label(V::kUtcTime) == "102149.0" && Label(V::kDop).startsWith("PDOP:3.7"); }));
    EXPECT_EQ(Label(V::kUtcDate), "251112");
    EXPECT_EQ(Label(V::kLatitude), "33.680232S");
    EXPECT_EQ(Label(V::kAltitude), "83.1");
    EXPECT_EQ(Label(V::kSpeed), "---") << "no sentence of this connection gave a speed";
    EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join('|').toStdString();
}

TEST_F(GnssPageSim, WithoutAutoStartTheEngineIsLeftAlone)
{
    ULV_SKIP_WITHOUT_TESTDATA();
    Use(test::TestDataPath(QStringLiteral("nmea/gps-only-stationary.nmea")));
    ASSERT_TRUE(SelectNmeaPort());
    Page()->AutoGnssCheck()->setChecked(false);
    Page()->ConnectButton()->click();
    EXPECT_EQ(Page()->ConnectButton()->text(), "Disconnect");
    EXPECT_TRUE(Page()->PortOpen());
    Page()->ConnectButton()->click();
    EXPECT_TRUE(Until([&] { return !Page()->PortOpen(); }));
    // A later command on the main port arrives after anything the page sent.
    host->SendToModule(QStringLiteral("AT"), 0, true);
    ASSERT_TRUE(WaitForCommand("AT", 10s));
    for (const std::string& c : sim().Commands())
        EXPECT_EQ(c.find("JGPS"), std::string::npos) << c;
    EXPECT_FALSE(nmea->EngineOn());
}

TEST_F(GnssPageSim, ConnectRightAfterDisconnectWaitsForTheClose)
{
    ULV_SKIP_WITHOUT_TESTDATA();
    Use(test::TestDataPath(QStringLiteral("nmea/gps-only-stationary.nmea")));
    ASSERT_TRUE(SelectNmeaPort());
    Page()->ConnectButton()->click();
    ASSERT_EQ(Page()->ConnectButton()->text(), "Disconnect");
    Page()->ConnectButton()->click();
    // The port is still closing: this Connect does nothing.
    Page()->ConnectButton()->click();
    EXPECT_EQ(Page()->ConnectButton()->text(), "Connect");
    ASSERT_TRUE(Until([&] { return !Page()->PortOpen(); }));
    EXPECT_EQ(Page()->ConnectButton()->text(), "Connect");
    // Once closed, Connect opens it again.
    Page()->ConnectButton()->click();
    EXPECT_EQ(Page()->ConnectButton()->text(), "Disconnect");
    EXPECT_TRUE(Page()->PortOpen());
    EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join('|').toStdString();
}

TEST_F(GnssPageSim, UnpluggedPortIsReportedAndThePageCanConnectAgainLater)
{
    ULV_SKIP_WITHOUT_TESTDATA();
    Use(test::TestDataPath(QStringLiteral("nmea/gps-only-stationary.nmea")));
    ASSERT_TRUE(SelectNmeaPort());
    Page()->OnTabChanged(V::kTabNmeaData);
    Page()->ConnectButton()->click();
    ASSERT_TRUE(WaitForCommand("AT+JGPS=1", 10s));
    ASSERT_TRUE(Until([&] { return !Page()->NmeaView()->toPlainText().isEmpty(); }));
    nmea->Unplug();
    QFile::remove(nmeaPath);
    ASSERT_TRUE(Until([&] { return boxes.Count() > 0; }));
    EXPECT_TRUE(boxes.Texts().first().contains(nmeaPath));
    EXPECT_EQ(Page()->ConnectButton()->text(), "Connect");
    EXPECT_TRUE(Until([&] { return !Page()->PortOpen(); }));
    // Connect again: the port is gone, which is said, and the page stays closed.
    boxes.Clear();
    Page()->ConnectButton()->click();
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_TRUE(boxes.Texts().first().startsWith("This serial port '"));
    EXPECT_EQ(Page()->ConnectButton()->text(), "Connect");
    EXPECT_FALSE(Page()->PortOpen());
}

TEST_F(GnssPageSim, PageGoesWhileTheLogStreams)
{
    ULV_SKIP_WITHOUT_TESTDATA();
    Use(test::TestDataPath(QStringLiteral("nmea/gps-only-stationary.nmea")));
    ASSERT_TRUE(SelectNmeaPort());
    Page()->OnTabChanged(V::kTabNmeaData);
    Page()->ConnectButton()->click();
    ASSERT_TRUE(Until([&] { return !Page()->NmeaView()->toPlainText().isEmpty(); }));
    // The port is shut before the page's widgets go; nothing reports to them after.
    host.reset();
    QCoreApplication::processEvents();
    EXPECT_TRUE(boxes.Texts().isEmpty());
}

// A receiver's port hands its text over in pieces of any size: whatever the
// pieces, the page ends showing what the probe prints for the whole log.
TEST(GnssPagePieces, EverySentenceFedInSmallPiecesEndsInWhatTheProbePrints)
{
    ULV_SKIP_WITHOUT_TESTDATA();
    const std::pair<const char*, V::Value> labels[] = {{"UTC date", V::kUtcDate}, {"UTC time", V::kUtcTime},
        {"Latitude", V::kLatitude}, {"Longitude", V::kLongitude}, {"Altitude(m)", V::kAltitude},
        {"Speed(km/h)", V::kSpeed}, {"Satellite_used", V::kSatelliteUsed}, {"Locating type", V::kLocatingType},
        {"*DOP", V::kDop}};
    for (const char* name : {"nmea/gps-glonass-lf-endings.nmea", "nmea/gps-only-stationary.nmea"}) {
        SCOPED_TRACE(name);
        const QString log = test::TestDataPath(QString::fromLatin1(name));
        QProcess probe;
        probe.start(QStringLiteral(ULV_PROBE_PATH), {QStringLiteral("nmea"), log});
        ASSERT_TRUE(probe.waitForFinished(60000));
        const QJsonObject expected = QJsonDocument::fromJson(probe.readAllStandardOutput()).object();
        ASSERT_FALSE(expected.isEmpty());
        const QByteArray bytes = test::ReadAll(log);

        const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        char slave[128] = {};
        ASSERT_TRUE(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0
            && ::ptsname_r(master, slave, sizeof slave) == 0);
        const int keep = ::open(slave, O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios tio {};
        ::tcgetattr(keep, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(keep, TCSANOW, &tio);
        {
            V page;
            page.show();
            ASSERT_EQ(page.OpenNmeaPort(QString::fromLatin1(slave), 115200, 8, 1, 0, 0, 2048), 1);
            std::atomic<bool> written {false};
            std::thread writer([&] {
                std::mt19937 random(38);
                std::uniform_int_distribution<int> size(1, 64);
                for (qsizetype at = 0; at < bytes.size();) {
                    const qsizetype n = std::min<qsizetype>(size(random), bytes.size() - at);
                    const ssize_t w = ::write(master, bytes.constData() + at, size_t(n));
                    if (w <= 0)
                        break;
                    at += w;
                }
                written = true;
            });
            const QJsonObject want = expected["labels"].toObject();
            const QJsonArray satellites = expected["satellites"].toArray();
            const auto matches = [&] {
                for (const auto& [key, value] : labels) {
                    if (page.ValueLabel(value)->text() != want[QLatin1String(key)].toString())
                        return false;
                }
                for (const QJsonValue& v : satellites) {
                    const QJsonObject o = v.toObject();
                    const SatelliteRecord& r = page.BarChart()->m_satellites[size_t(o["id"].toInt() - 1)];
                    if (r.inView != o["inView"].toInt() || r.tracked != o["tracked"].toInt()
                        || r.used != o["used"].toInt() || r.snr != o["snr"].toDouble())
                        return false;
                }
                return true;
            };
            const bool matched = test::RunEventsUntil([&] { return written && !page.RefreshPending() && matches(); },
                120000);
            // The writer needs the page to keep reading to finish.
            test::RunEventsUntil([&] { return written.load(); }, 120000);
            writer.join();
            EXPECT_TRUE(matched);
            for (const auto& [key, value] : labels)
                EXPECT_EQ(page.ValueLabel(value)->text(), want[QLatin1String(key)].toString()) << key;
        }
        ::close(keep);
        ::close(master);
    }
}

TEST_F(GnssPageSim, ConnectNeedsTheModuleFirst)
{
    ULV_SKIP_WITHOUT_TESTDATA();
    Use(test::TestDataPath(QStringLiteral("nmea/gps-only-stationary.nmea")));
    ASSERT_TRUE(SelectNmeaPort());
    host->CloseCommport();
    Page()->ConnectButton()->click();
    EXPECT_EQ(boxes.Texts(), QStringList {"Please connect the module first!"});
    EXPECT_FALSE(Page()->PortOpen());
}

} // namespace

TEST_F(GnssPageSim, TheModuleUnpluggedClosesItsNmeaPortAndThePageCanConnectAnew)
{
    ULV_SKIP_WITHOUT_TESTDATA();
    Use(test::TestDataPath(QStringLiteral("nmea/gps-only-stationary.nmea")));
    ASSERT_TRUE(SelectNmeaPort());
    Page()->ConnectButton()->click();
    ASSERT_TRUE(WaitForCommand("AT+JGPS=1", 10s));
    ASSERT_TRUE(Until([&] { return Page()->PortOpen(); }));
    // The module's own port drops while the NMEA port still streams.
    AddFault("ATI | hangup");
    host->SendToModule("ATI", 0, true);
    ASSERT_TRUE(Until([&] { return !host->PortOpen(); }));
    EXPECT_TRUE(Until([&] { return !Page()->PortOpen(); }));
    EXPECT_EQ(Page()->ConnectButton()->text(), "Connect");
}
