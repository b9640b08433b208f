#pragma once

#include <QDateTime>
#include <QString>

// The time stamps of log lines, terminal text and log-file names, in local time.
namespace ulv {

// "[YYYY-MM-DD hh:mm:ss:mmm] " (26 characters).
QString MakeTimeStamp();
QString MakeTimeStamp(const QDateTime& when);

// Direction 0 (sent): "[YYYY-MM-DD hh:mm:ss:mmm_S:] ", 1 (received): the same
// with "_R:" (29 characters); any other direction: empty.
QString MakeSendRecvTimeStamp(int direction);
QString MakeSendRecvTimeStamp(int direction, const QDateTime& when);

// "YYYYMMDDhhmmss" (14 digits), for log-file names.
QString MakeFileTimeStamp();
QString MakeFileTimeStamp(const QDateTime& when);

// A service-centre stamp "YYMMDDhhmmssZZ" as "20YY/MM/DD  hh:mm:ss+ZZ" (two
// blanks); any other length unchanged.
QString FormatSmsTimestamp(const QString& stamp);

} // namespace ulv
