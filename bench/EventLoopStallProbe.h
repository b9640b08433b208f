#pragma once

// The longest stall of the UI event loop: the longest gap between two turns of
// a 5 ms timer while the probe runs.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <algorithm>

namespace ulv::bench {

class EventLoopStallProbe {
public:
    EventLoopStallProbe()
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (m_tick.isValid())
                m_longest = std::max(m_longest, m_tick.elapsed());
            m_tick.restart();
        });
        m_timer.start();
    }
    void Stop() { m_timer.stop(); }
    qint64 LongestMs() const { return m_longest; }

private:
    QTimer m_timer;
    QElapsedTimer m_tick;
    qint64 m_longest = 0;
};

} // namespace ulv::bench
