#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <functional>

namespace ulv {

// The terminal log: every text the terminal shows, appended as shown, in a file
// named <logpath>/<prefix>_<YYYYMMDDhhmmss>.txt that rolls over to a new one when
// it would pass the size limit. tempfile_log.txt remembers the current name so
// the next run goes on in the same file when the prefix is unchanged.
class TerminalLogFile {
public:
    struct Settings {
        bool saveLog = true;
        QString logPath;  // empty: the data folder
        QString prefix = QStringLiteral("log");
        qint64 sizeLimit = 50000;
    };
    struct Hooks {
        std::function<Settings()> settings;
        std::function<QString()> readLastName;                // ReadLastLogName
        std::function<void(const QString&)> writeLastName;   // WriteLastLogName
        std::function<void(const QString&)> statusPane;      // the status bar's log pane
        std::function<void(const QString&)> messageBox;
        std::function<QDateTime()> now;                       // local time
    };

    explicit TerminalLogFile(Hooks hooks) : m_hooks(std::move(hooks)) { }

    // Picks or creates the file for the run (at start and after the system
    // parameters were saved). Does nothing while logging is off.
    void ChooseLogFile();
    // Appends one displayed text, rolling over first when the limit would be passed.
    // A write that fails (a full disk) is reported once, in the status pane and a
    // box; the text not written is held (up to kMaxUnwritten bytes) and goes out
    // first with the next text that can be written.
    void WriteLogFile(const QByteArray& text);

    static constexpr qsizetype kMaxUnwritten = 1 << 20;
    // A write failed and nothing has been written since.
    bool Failing() const { return m_failing; }

    bool Ready() const { return m_bLogFileReady; }
    const QString& Path() const { return m_strLogFilePath; }
    // Logging was switched off for the run after a file could not be created.
    bool Disabled() const { return m_disabled; }

private:
    bool SaveLog() const;
    QString Folder(const Settings& s) const;
    bool CreateFile(const QString& path);
    void Adopt(const QString& path, bool ok);
    void Announce();
    void Hold(const QByteArray& text);
    void ReportFailure(const QString& error);

    Hooks m_hooks;
    bool m_bLogFileReady = false;
    QString m_strLogFilePath;
    bool m_disabled = false;
    QString m_announced; // the path last shown in the pane and remembered
    bool m_failing = false;
    QByteArray m_unwritten; // text a failed write left, oldest first
    qint64 m_dropped = 0;   // bytes that did not fit in m_unwritten
};

} // namespace ulv
