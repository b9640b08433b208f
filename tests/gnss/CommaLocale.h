#pragma once

#include <QString>

#include <optional>
#include <string>

namespace ulv::test {

// A locale whose decimal separator is a comma (de_DE), for checking that
// numbers are read and written without the locale.
struct CommaLocale {
    std::string name;
    QString locPath; // the folder to set as LOCPATH; empty for an installed locale
};

// An installed one, else one generated with localedef into workDir; nothing
// when neither can be had.
std::optional<CommaLocale> FindCommaDecimalLocale(const QString& workDir);

// Switches LC_NUMERIC to the locale for the scope.
class ScopedNumericLocale {
public:
    explicit ScopedNumericLocale(const CommaLocale& locale);
    ~ScopedNumericLocale();
    bool Active() const { return m_active; }

private:
    std::string m_previous;
    QByteArray m_oldLocPath;
    bool m_hadLocPath = false;
    bool m_active = false;
};

} // namespace ulv::test
