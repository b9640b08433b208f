#include "core/text/TimeStamp.h"

#include <cstdio>

namespace ulv {

namespace {

// snprintf's %d never uses the locale's digit grouping.
QString Format(const QDateTime& when, const char* suffix)
{
    const QDate d = when.date();
    const QTime t = when.time();
    char buf[64];
    const int n = std::snprintf(buf, sizeof buf, "[%04d-%02d-%02d %02d:%02d:%02d:%03d%s] ", d.year(), d.month(),
        d.day(), t.hour(), t.minute(), t.second(), t.msec(), suffix);
    return QString::fromLatin1(buf, n < 0 ? 0 : qMin(n, int(sizeof buf) - 1));
}

} // namespace

QString MakeTimeStamp(const QDateTime& when)
{
    return Format(when, "");
}

QString MakeTimeStamp()
{
    return MakeTimeStamp(QDateTime::currentDateTime());
}

QString MakeSendRecvTimeStamp(int direction, const QDateTime& when)
{
    if (direction == 0)
        return Format(when, "_S:");
    if (direction == 1)
        return Format(when, "_R:");
    return {};
}

QString MakeSendRecvTimeStamp(int direction)
{
    return MakeSendRecvTimeStamp(direction, QDateTime::currentDateTime());
}

QString MakeFileTimeStamp(const QDateTime& when)
{
    const QDate d = when.date();
    const QTime t = when.time();
    char buf[32];
    const int n = std::snprintf(
        buf, sizeof buf, "%04d%02d%02d%02d%02d%02d", d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second());
    return QString::fromLatin1(buf, n < 0 ? 0 : qMin(n, int(sizeof buf) - 1));
}

QString MakeFileTimeStamp()
{
    return MakeFileTimeStamp(QDateTime::currentDateTime());
}

QString FormatSmsTimestamp(const QString& s)
{
    if (s.size() != 14)
        return s;
    return "20" + s.mid(0, 2) + "/" + s.mid(2, 2) + "/" + s.mid(4, 2) + "  " + s.mid(6, 2) + ":" + s.mid(8, 2) + ":"
        + s.mid(10, 2) + "+" + s.mid(12, 2);
}

} // namespace ulv
