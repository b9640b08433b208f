#include "CommaLocale.h"

#include "common/TestEnv.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace ulv;

namespace {

// Runs ulvprobe nmea; the parsed JSON, empty on failure.
QJsonObject Probe(const QStringList& args, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    QProcess probe;
    probe.setProcessEnvironment(env);
    probe.start(ULV_PROBE_PATH, QStringList {"nmea"} + args);
    if (!probe.waitForFinished(30000) || probe.exitCode() != 0)
        return {};
    return QJsonDocument::fromJson(probe.readAllStandardOutput()).object();
}

TEST(NmeaProbe, PrintsLabelsAndSatellitesWhateverTheChunksAndTheLocale)
{
    ULV_SKIP_WITHOUT_TESTDATA();
    const QString log = test::TestDataPath("nmea/gps-glonass-lf-endings.nmea");
    const QJsonObject whole = Probe({log});
    ASSERT_FALSE(whole.isEmpty());
    const QJsonObject labels = whole["labels"].toObject();
    EXPECT_EQ(labels["Latitude"].toString(), "33.680232S");
    EXPECT_EQ(labels["Longitude"].toString(), "151.291187E");
    EXPECT_EQ(labels["*DOP"].toString(), "PDOP:3.7    HDOP:2.0    VDOP:3.1");
    EXPECT_EQ(labels["Speed(km/h)"].toString(), "---");
    const QJsonObject first = whole["satellites"].toArray().first().toObject();
    EXPECT_EQ(first["id"].toInt(), 2);
    EXPECT_EQ(first["snr"].toDouble(), 41.0);
    EXPECT_EQ(whole["satellites"].toArray().size(), 18);

    EXPECT_EQ(Probe({log, "--chunk", "5"}), whole);
    EXPECT_EQ(Probe({log, "--chunk", "1"}), whole);

    QTemporaryDir dir;
    if (const auto locale = test::FindCommaDecimalLocale(dir.path())) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LC_ALL", QString::fromStdString(locale->name));
        if (!locale->locPath.isEmpty())
            env.insert("LOCPATH", locale->locPath);
        EXPECT_EQ(Probe({log, "--chunk", "7"}, env), whole);
    }
}


TEST(NmeaProbe, BadArgumentsAndMissingFilesAreUsageErrors)
{
    ULV_SKIP_WITHOUT_TESTDATA();
    const QString log = test::TestDataPath("nmea/gps-only-stationary.nmea");
    const QStringList cases[] = {
        {},
        {"/nonexistent/receiver.nmea"},
        {log, "--chunk", "x"},
        {log, "--chunk", "-2"},
        {log, log},
    };
    for (const auto& args : cases) {
        QProcess probe;
        probe.start(ULV_PROBE_PATH, QStringList {"nmea"} + args);
        ASSERT_TRUE(probe.waitForFinished(30000));
        EXPECT_EQ(probe.exitCode(), 2) << args.join(' ').toStdString();
    }
}

} // namespace
