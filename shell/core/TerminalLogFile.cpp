#include "shell/core/TerminalLogFile.h"

#include "platform/DataFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <utility>

namespace ulv {

namespace {
QString FileStamp(const QDateTime& t)
{
    return t.toString(QStringLiteral("yyyyMMddHHmmss"));
}
} // namespace

bool TerminalLogFile::SaveLog() const
{
    return !m_disabled && m_hooks.settings().saveLog;
}

QString TerminalLogFile::Folder(const Settings& s) const
{
    QString folder = s.logPath;
    folder.replace('\\', '/');
    if (folder.isEmpty())
        folder = DataFolder();
    else if (folder.size() == 3 && folder.mid(1) == ":/")
        folder = QDir::homePath(); // the Windows default "c:\"
    return folder;
}

// Creates an empty file, but never empties one that exists: a roll-over in the
// same second as the file it leaves would name that very file.
bool TerminalLogFile::CreateFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Append);
}

void TerminalLogFile::Adopt(const QString& path, bool ok)
{
    if (ok) {
        m_bLogFileReady = true;
        m_strLogFilePath = path;
        return;
    }
    if (m_hooks.messageBox)
        m_hooks.messageBox(QStringLiteral("Fail to create the log file , system will not save log!"));
    m_bLogFileReady = false;
    m_strLogFilePath.clear();
    m_disabled = true;
}

void TerminalLogFile::Announce()
{
    if (!SaveLog()) {
        m_announced.clear();
        if (m_hooks.statusPane)
            m_hooks.statusPane(QString());
        return;
    }
    // Written when the file changes, not with every text: the same result
    // without two extra file writes per output.
    if (m_strLogFilePath == m_announced)
        return;
    m_announced = m_strLogFilePath;
    if (m_hooks.statusPane)
        m_hooks.statusPane(QStringLiteral(" Log file: ") + m_strLogFilePath);
    if (m_hooks.writeLastName)
        m_hooks.writeLastName(QFileInfo(m_strLogFilePath).fileName());
}

void TerminalLogFile::ChooseLogFile()
{
    m_announced.clear();
    if (!SaveLog()) {
        Announce();
        return;
    }
    const Settings s = m_hooks.settings();
    const QString folder = Folder(s);
    const QString last = m_hooks.readLastName ? m_hooks.readLastName() : QString();
    if (!last.contains('_')) {
        // Nothing to go on from: start a new file so logging goes on.
        const QString path = folder + "/" + s.prefix + "_" + FileStamp(m_hooks.now()) + ".txt";
        Adopt(path, CreateFile(path));
        Announce();
        return;
    }
    QString path;
    if (last.left(last.lastIndexOf('_')) == s.prefix)
        path = folder + "/" + last;
    else
        path = folder + "/" + s.prefix + "_" + FileStamp(m_hooks.now()) + ".txt";
    Adopt(path, CreateFile(path));
    Announce();
}

// Once text had to be dropped, later text is dropped too until the held text
// is out, so the note that says so stands where the text is missing.
void TerminalLogFile::Hold(const QByteArray& text)
{
    if (m_dropped > 0) {
        m_dropped += text.size();
        return;
    }
    const qsizetype room = kMaxUnwritten - m_unwritten.size();
    m_unwritten += text.left(room);
    m_dropped += text.size() - qMin(room, text.size());
}

void TerminalLogFile::ReportFailure(const QString& error)
{
    if (m_failing)
        return;
    m_failing = true;
    m_announced.clear(); // the pane shows the file again once writing works
    if (m_hooks.statusPane)
        m_hooks.statusPane(QStringLiteral(" Log file: %1 (not written: %2)").arg(m_strLogFilePath, error));
    if (m_hooks.messageBox)
        m_hooks.messageBox(QStringLiteral("Fail to write the log file %1 (%2)! Logging goes on when it can be written again.")
                               .arg(m_strLogFilePath, error));
}

void TerminalLogFile::WriteLogFile(const QByteArray& text)
{
    if (!SaveLog() || (text.isEmpty() && m_unwritten.isEmpty()))
        return;
    const Settings s = m_hooks.settings();
    const QByteArray pending = m_unwritten + text;
    const QFileInfo current(m_strLogFilePath);
    // A missing current file (none chosen, or deleted meanwhile) starts a new one.
    if (m_strLogFilePath.isEmpty() || !current.exists() || current.size() + pending.size() > s.sizeLimit) {
        const QString path = Folder(s) + "/" + s.prefix + "_" + FileStamp(m_hooks.now()) + ".txt";
        Adopt(path, CreateFile(path));
        if (!SaveLog()) {
            Announce();
            return;
        }
    }
    if (!m_failing)
        Announce();
    // Never creates the file: one deleted since the check above loses this text
    // and the next one starts a new file. Unbuffered, so what write() took is in
    // the file and only the rest is held.
    QFile f(m_strLogFilePath);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::ExistingOnly | QIODevice::Unbuffered)) {
        if (f.exists()) {
            Hold(text);
            ReportFailure(f.errorString());
        }
        return;
    }
    auto put = [&f](const QByteArray& bytes) -> qsizetype {
        return bytes.isEmpty() ? 0 : qsizetype(qMax<qint64>(0, f.write(bytes)));
    };
    const QByteArray held = std::exchange(m_unwritten, {});
    const qint64 dropped = std::exchange(m_dropped, 0);
    qsizetype done = put(held);
    if (done < held.size()) {
        m_unwritten = held.mid(done);
        m_dropped = dropped;
        Hold(text);
        ReportFailure(f.errorString());
        return;
    }
    if (dropped > 0) {
        const QByteArray note = QStringLiteral("\r\n[%1 bytes of terminal text are missing here: the log could not be written]\r\n")
                                    .arg(dropped)
                                    .toUtf8();
        done = put(note);
        if (done == 0)
            m_dropped = dropped;
        else if (done < note.size())
            m_unwritten = note.mid(done);
        if (done < note.size()) {
            Hold(text);
            ReportFailure(f.errorString());
            return;
        }
    }
    done = put(text);
    if (done < text.size()) {
        Hold(text.mid(done));
        ReportFailure(f.errorString());
        return;
    }
    if (m_failing) {
        m_failing = false;
        Announce();
    }
}

} // namespace ulv
