#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

namespace ulv::test {

// Runs the event loop (where the port's notifications are handled) until done()
// holds or the time is up; false on time-out.
template <class Pred>
bool RunEventsUntil(Pred done, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    // The loop sleeps until an event comes; the tick wakes it for what no
    // event announces (a worker's end), so a waiting test does not spin a
    // core that the others need on a busy machine.
    QTimer tick;
    tick.start(5);
    while (!done()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// Runs the event loop for ms milliseconds, for what has no state to wait on
// (queued notifications that may or may not come).
inline void RunEventsFor(int ms)
{
    QElapsedTimer t;
    t.start();
    QTimer tick;
    tick.start(5);
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

} // namespace ulv::test
