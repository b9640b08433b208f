#include "serial/CDeviceList.h"

#include "serial/PortEnumerator.h"

#include <cstdio>

namespace ulv {

CDeviceList::CDeviceList() = default;

int CDeviceList::Find(const QString& pattern)
{
    return FindEx(false, pattern);
}

int CDeviceList::FindEx(bool, const QString& pattern)
{
    m_matches.clear();
    m_names.clear();
    int index = 0;
    for (const SerialPortInfo& p : EnumerateTtyPorts()) {
        const QString name = p.friendlyName.isEmpty() ? QStringLiteral("<Unknown Device>") : p.friendlyName;
        m_names << name;
        if (!pattern.isEmpty() && name.contains(pattern)) {
            m_matches.push_back(index);
            std::printf("find device = %s\n", qPrintable(pattern));
        }
        ++index;
    }
    return int(m_matches.size());
}

} // namespace ulv
