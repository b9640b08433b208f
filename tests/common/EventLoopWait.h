#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>

namespace ulv::test {

// Runs the event loop (where the port's notifications are handled) until done()
// holds or the time is up; false on time-out.
template <class Pred>
bool RunEventsUntil(Pred done, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// Runs the event loop for ms milliseconds, for what has no state to wait on
// (queued notifications that may or may not come).
inline void RunEventsFor(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

} // namespace ulv::test
