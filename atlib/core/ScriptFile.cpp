#include "atlib/core/ScriptFile.h"

#include "core/text/AnsiText.h"
#include "platform/DataFolder.h"
#include "platform/IniFile.h"

namespace ulv {

namespace {

const char* const kKeys[] = {"Cho", "CMD", "HEX", "Enter", "Delay", "Compare", "Errors"};

// Profile reads trim a value and drop one pair of enclosing quotes. A value
// that would lose something that way is written inside a pair of quotes of
// its own, which the read removes again (as the Windows profile reader does).
QString ProtectedValue(const QString& value)
{
    const bool quoted = value.size() >= 2 && value.startsWith('"') && value.endsWith('"');
    if (quoted || value != value.trimmed())
        return '"' + value + '"';
    return value;
}

} // namespace

QString DefaultScriptPath()
{
    return DataFolder() + QLatin1Char('/') + QLatin1String(kDefaultScriptName);
}

ScriptFileRows ReadScriptFile(const QString& path)
{
    IniFile ini(path);
    ini.Load();
    ScriptFileRows rows;
    for (int r = 0; r < kScriptFileRows; ++r) {
        const QString section = QString::number(r + 1);
        ScriptRow& row = rows[size_t(r)];
        QString* fields[] = {&row.choose, &row.command, &row.hex, &row.enter, &row.delay, &row.compare, &row.errors};
        for (int k = 0; k < 7; ++k)
            *fields[k] = ini.GetString(section, QLatin1String(kKeys[k]), *fields[k]);
        const QByteArray command = ini.GetBytes(section, QLatin1String(kKeys[1]));
        if (command != row.command.toUtf8())
            row.commandBytes = command;
    }
    return rows;
}

bool WriteScriptFile(const QString& path, const ScriptFileRows& rows)
{
    IniFile ini(path);
    ini.Load();
    for (int r = 0; r < kScriptFileRows; ++r) {
        const QString section = QString::number(r + 1);
        const ScriptRow& row = rows[size_t(r)];
        const QString values[] = {row.choose, row.command, row.hex, row.enter, row.delay, row.compare, QString()};
        for (int k = 0; k < 7; ++k)
            ini.SetString(section, QLatin1String(kKeys[k]), ProtectedValue(values[k]));
        const QByteArray command = ScriptCommandBytes(row);
        if (command != row.command.toUtf8()) {
            const bool quoted = ProtectedValue(row.command) != row.command;
            ini.SetBytes(section, QLatin1String(kKeys[1]), quoted ? '"' + command + '"' : command);
        }
    }
    return ini.Save();
}

QByteArray ScriptCommandBytes(const ScriptRow& row)
{
    if (!row.commandBytes.isEmpty() && AnsiToString(row.commandBytes) == row.command)
        return row.commandBytes;
    return row.command.toUtf8();
}

} // namespace ulv
