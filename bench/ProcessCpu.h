#pragma once

// What the benchmarks that measure the program's own cost share: the process's
// CPU time (every thread, user and system: not wall time, so other work on a
// busy machine does not count), the machine's load beside it, and running the
// event loop as the program's own loop runs it.

#include <QEventLoop>
#include <QFile>
#include <QString>
#include <QTimer>

#include <sys/resource.h>

namespace ulv::bench {

inline double SelfCpuSeconds()
{
    rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// The 1, 5 and 15 minute load averages.
inline QString LoadAverage()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    return QString::fromLatin1(f.readAll()).section(QLatin1Char(' '), 0, 2);
}

// Sleeps in the event loop between events for ms.
inline void RunFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace ulv::bench
