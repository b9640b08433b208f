#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace ulv {

// The display names of the serial devices present, searched by pattern. The
// application keeps one and fills it once at start-up.
class CDeviceList {
public:
    CDeviceList();
    virtual ~CDeviceList() = default;

    // Number of devices whose display name equals or contains the pattern.
    int Find(const QString& pattern);
    // includeHidden is kept for the callers; every device here is shown.
    int FindEx(bool includeHidden, const QString& pattern);

    // Names visited by the last search, and the indexes of those that matched.
    const QStringList& Names() const { return m_names; }
    const std::vector<int>& Matches() const { return m_matches; }

private:
    std::vector<int> m_matches;
    QStringList m_names;
};

} // namespace ulv
