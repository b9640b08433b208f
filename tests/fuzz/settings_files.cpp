// Any bytes in a settings file read without fault through every reader of the
// INI layer, and a file saved unchanged is the file read, byte for byte.
#include "atlib/core/QuickCommandFile.h"
#include "atlib/core/ScriptFile.h"
#include "core/text/AnsiText.h"
#include "platform/IniFile.h"
#include "serial/CommPortSettings.h"
#include "shell/core/SysParams.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

namespace {

// Files of a run live in memory where it can: each input is written and read
// several times, and a disk's flushes would take most of the run.
inline QString FuzzTempRoot()
{
    return QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
}

QString Folder()
{
    static QTemporaryDir dir(FuzzTempRoot() + "/ulvfuzz-ini-XXXXXX");
    return dir.path();
}

bool Put(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1 << 16))
        return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString path = Folder() + "/in.ini";
    if (!Put(path, bytes))
        return 0;

    ulv::IniFile ini(path);
    for (const QString& section : ini.Sections()) {
        for (const QString& key : ini.Keys(section)) {
            const QString text = ini.GetString(section, key);
            // The bytes behind a value read as that value.
            if (ulv::AnsiToString(ini.GetBytes(section, key)) != text)
                std::abort();
            (void)ini.GetInt(section, key, 7);
        }
    }
    (void)ulv::ReadScriptFile(path);
    (void)ulv::ReadCommPortSettings(path);
    (void)ulv::ReadSysParams(path);
    (void)ulv::QuickCommandFile(path).Load();

    // Nothing changed: every line is written with the bytes it had (its line
    // end becomes CR LF).
    QByteArray expected;
    const QList<QByteArray> lines = bytes.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray line = lines[i];
        if (line.endsWith('\r'))
            line.chop(1);
        if (i == lines.size() - 1 && line.isEmpty())
            break;
        expected += line + "\r\n";
    }
    ulv::IniFile same(path);
    if (same.Save()) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly) || f.readAll() != expected)
            std::abort();
    }
    return 0;
}
