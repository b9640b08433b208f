#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <algorithm>

namespace ulv::bench {

// The longest gap between two turns of a 5 ms timer on the UI thread: the
// longest time the event loop was kept from its work.
class StallProbe {
public:
    StallProbe()
    {
        m_probe.setInterval(5);
        QObject::connect(&m_probe, &QTimer::timeout, [this] {
            if (m_tick.isValid())
                m_longest = std::max(m_longest, m_tick.elapsed());
            m_tick.restart();
        });
        m_probe.start();
    }
    void Stop() { m_probe.stop(); }
    qint64 LongestMs() const { return m_longest; }

private:
    QTimer m_probe;
    QElapsedTimer m_tick;
    qint64 m_longest = 0;
};

} // namespace ulv::bench
