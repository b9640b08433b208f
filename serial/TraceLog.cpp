#include "serial/TraceLog.h"

#include "platform/DataFolder.h"

#include <QDebug>
#include <QFile>
#include <cstdarg>
#include <cstdio>

namespace ulv {

int TraceLog::GetMode() const
{
    std::lock_guard lock(m_mutex);
    return m_mode;
}

void TraceLog::SetMode(int mode)
{
    std::lock_guard lock(m_mutex);
    m_mode = mode;
}

QString TraceLog::FilePath() const
{
    std::lock_guard lock(m_mutex);
    return m_path.isEmpty() ? DataPath(QStringLiteral("morvane_log.txt")) : m_path;
}

void TraceLog::SetFilePath(const QString& path)
{
    std::lock_guard lock(m_mutex);
    m_path = path;
}

std::time_t TraceLog::LastStamp() const
{
    std::lock_guard lock(m_mutex);
    return m_lastStamp;
}

qint64 TraceLog::ByteCount() const
{
    std::lock_guard lock(m_mutex);
    return m_byteCount;
}

QByteArray TraceLog::FormatLine(QByteArrayView message, std::time_t when)
{
    char stamp[64] = {};
    // ctime's text: "Thu Dec 10 13:15:11 2026\n", the same in every locale.
    if (!ctime_r(&when, stamp))
        std::snprintf(stamp, sizeof stamp, "%s", "??? ??? ?? ??:??:?? ????\n");
    QByteArray line = "[Morvane]-[";
    line.append(stamp);
    line.append("] :");
    line.append(message);
    for (qsizetype i = 1; i + 2 < line.size(); ++i) {
        if (line[i] == '\r' || line[i] == '\n')
            line[i] = ' ';
    }
    return line;
}

void TraceLog::Write(QByteArrayView message)
{
    Write(message, std::time(nullptr));
}

void TraceLog::Write(QByteArrayView message, std::time_t when)
{
    const QByteArray line = FormatLine(message, when);
    std::lock_guard lock(m_mutex);
    m_lastStamp = when;
    switch (m_mode) {
    case ToFile:
        WriteToFile(line);
        break;
    case ToStdout:
        std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
        std::fflush(stdout);
        break;
    case ToDebugger:
        qDebug().noquote() << QString::fromUtf8(line);
        break;
    default:
        break;
    }
}

void TraceLog::WriteToFile(const QByteArray& line)
{
    QFile file(m_path.isEmpty() ? DataPath(QStringLiteral("morvane_log.txt")) : m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    if (file.size() <= kMaxFileSize) {
        file.write(line);
        return;
    }
    file.close();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    file.write(line);
    m_byteCount += line.size();
}

TraceLog& GetTraceLog()
{
    static TraceLog log;
    return log;
}

void TraceLogPrintf(TraceLog& log, const char* format, ...)
{
    char message[TraceLog::kMaxMessageLength + 1];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    if (n < 0)
        return;
    log.Write(QByteArrayView(message, qMin(n, TraceLog::kMaxMessageLength)));
}

} // namespace ulv
