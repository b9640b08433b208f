#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <ctime>
#include <mutex>

namespace ulv {

// Line logger for the SIM-toolkit commands sent to the module: one time-stamped
// line per call appended to "morvane_log.txt" in the data folder, which starts
// afresh once it has grown past 1 MiB.
class TraceLog {
public:
    enum Mode { ToFile = 0, ToStdout = 1, ToDebugger = 2 };

    static constexpr qint64 kMaxFileSize = 0x100000;
    static constexpr int kMaxMessageLength = 512;

    int GetMode() const;
    void SetMode(int mode);

    // The file the lines go to; the data folder's "morvane_log.txt" unless set.
    QString FilePath() const;
    void SetFilePath(const QString& path);

    // Writes one line for message at the current time.
    void Write(QByteArrayView message);
    void Write(QByteArrayView message, std::time_t when);

    // "[Morvane]-[<ctime text>] :<message>" with every CR and LF turned into a
    // blank, except in the first character and in the last two.
    static QByteArray FormatLine(QByteArrayView message, std::time_t when);

    std::time_t LastStamp() const;
    // Sum of the lengths of the lines that started a new file.
    qint64 ByteCount() const;

private:
    void WriteToFile(const QByteArray& line);

    mutable std::mutex m_mutex;
    int m_mode = ToFile;
    QString m_path;
    std::time_t m_lastStamp = 0;
    qint64 m_byteCount = 0;
};

// The program's one trace log, made on first use.
TraceLog& GetTraceLog();

// Formats the message printf-style (at most 512 characters) and writes its line.
void TraceLogPrintf(TraceLog& log, const char* format, ...) __attribute__((format(printf, 2, 3)));

} // namespace ulv
