#include "CommaLocale.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <clocale>

namespace ulv::test {

std::optional<CommaLocale> FindCommaDecimalLocale(const QString& workDir)
{
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8"}) {
        const CommaLocale candidate {name, {}};
        if (ScopedNumericLocale(candidate).Active())
            return candidate;
    }
    const QString target = QDir(workDir).filePath("de_DE.UTF-8");
    QProcess localedef;
    localedef.start("localedef", {"-i", "de_DE", "-f", "UTF-8", target});
    if (!localedef.waitForFinished(60000) || !QFile::exists(target))
        return std::nullopt;
    const CommaLocale generated {"de_DE.UTF-8", workDir};
    if (!ScopedNumericLocale(generated).Active())
        return std::nullopt;
    return generated;
}

ScopedNumericLocale::ScopedNumericLocale(const CommaLocale& locale)
    : m_previous(std::setlocale(LC_NUMERIC, nullptr))
{
    if (!locale.locPath.isEmpty()) {
        m_hadLocPath = qEnvironmentVariableIsSet("LOCPATH");
        m_oldLocPath = qgetenv("LOCPATH");
        qputenv("LOCPATH", locale.locPath.toLocal8Bit());
    }
    if (std::setlocale(LC_NUMERIC, locale.name.c_str()))
        m_active = std::localeconv()->decimal_point[0] == ',';
}

ScopedNumericLocale::~ScopedNumericLocale()
{
    std::setlocale(LC_NUMERIC, m_previous.c_str());
    if (m_hadLocPath)
        qputenv("LOCPATH", m_oldLocPath);
    else
        qunsetenv("LOCPATH");
}

} // namespace ulv::test
