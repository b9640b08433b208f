#include "RecordingListener.h"

#include "common/TestEnv.h"
#include "pages/positioning/core/NmeaParser.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

using namespace ulv;

namespace {

// Switches LC_NUMERIC to a locale whose decimal separator is a comma for the
// scope. Such a locale is generated into a temporary folder when the system
// has none installed and localedef can make one.
class CommaDecimalLocale {
public:
    CommaDecimalLocale()
    {
        const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
        m_previous = previous;
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8"}) {
            if (Use(name))
                return;
        }
        if (!m_dir.isValid())
            return;
        const QString target = QDir(m_dir.path()).filePath("de_DE.UTF-8");
        QProcess localedef;
        localedef.start("localedef", {"-i", "de_DE", "-f", "UTF-8", target});
        if (!localedef.waitForFinished(60000) || !QFile::exists(target))
            return;
        m_oldLocPath = qgetenv("LOCPATH");
        qputenv("LOCPATH", m_dir.path().toLocal8Bit());
        m_setLocPath = true;
        Use("de_DE.UTF-8");
    }
    ~CommaDecimalLocale()
    {
        std::setlocale(LC_NUMERIC, m_previous.c_str());
        if (m_setLocPath) {
            if (m_oldLocPath.isEmpty())
                qunsetenv("LOCPATH");
            else
                qputenv("LOCPATH", m_oldLocPath);
        }
    }
    bool Active() const { return m_active; }

private:
    bool Use(const char* name)
    {
        if (!std::setlocale(LC_NUMERIC, name))
            return false;
        m_active = std::localeconv()->decimal_point[0] == ',';
        return m_active;
    }

    std::string m_previous;
    QTemporaryDir m_dir;
    QByteArray m_oldLocPath;
    bool m_setLocPath = false;
    bool m_active = false;
};

TEST(NumberLocale, ACommaDecimalLocaleChangesNoReadingAndNoLabel)
{
    NmeaParser reference;
    const std::string log = test::ReadFileBytes(test::TestDataPath("nmea/gps-only-stationary.nmea"))
        + "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n";
    reference.ParseNmea(log);

    CommaDecimalLocale locale;
    if (!locale.Active())
        GTEST_SKIP() << "no locale with a decimal comma can be had here";
    ASSERT_EQ(std::atof("1.5"), 1.0); // the C library now reads "1.5" as 1

    NmeaParser p;
    p.ParseNmea(log);
    EXPECT_EQ(p.Labels().latitude, "48.117300N");
    EXPECT_EQ(p.Labels().dop, "PDOP:1.8    HDOP:0.9    VDOP:1.5");
    EXPECT_EQ(p.Labels(), reference.Labels());
    EXPECT_EQ(std::memcmp(&p.Table(), &reference.Table(), sizeof(SatelliteTable)), 0);
    EXPECT_EQ(p.Gga().altitude, 7.7);
}

} // namespace
