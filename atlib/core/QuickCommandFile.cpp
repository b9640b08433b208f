#include "atlib/core/QuickCommandFile.h"

#include "platform/DataFolder.h"
#include "platform/IniFile.h"

namespace ulv {

QuickCommandFile::QuickCommandFile(QString path)
    : m_path(std::move(path))
{
}

QString QuickCommandFile::DefaultPath()
{
    return ParamFolder() + QStringLiteral("/ModuleName_null.ini");
}

std::vector<QuickCommand> QuickCommandFile::Load() const
{
    IniFile ini(m_path);
    ini.Load();
    std::vector<QuickCommand> entries;
    for (const QString& section : ini.Sections()) {
        entries.push_back({section, ini.GetString(section, kCarriageReturnKey, QStringLiteral("0")),
            ini.GetString(section, kCommentKey, QStringLiteral(" "))});
    }
    return entries;
}

bool QuickCommandFile::Write(const QuickCommand& entry) const
{
    return Replace(entry.command, entry);
}

bool QuickCommandFile::Replace(const QString& previous, const QuickCommand& entry) const
{
    IniFile ini(m_path);
    ini.Load();
    if (previous != entry.command)
        ini.RemoveSection(previous);
    ini.SetString(entry.command, kCarriageReturnKey, entry.carriageReturn);
    ini.SetString(entry.command, kCommentKey, entry.comment);
    return ini.Save();
}

bool QuickCommandFile::Remove(const QString& command) const
{
    IniFile ini(m_path);
    if (!ini.Load())
        return false;
    if (!ini.RemoveSection(command))
        return false;
    return ini.Save();
}

QString QuickCommandFile::Refusal(const QString& command)
{
    if (command.contains(QLatin1Char(']')) || command.contains(QLatin1Char('\r')) || command.contains(QLatin1Char('\n')))
        return QStringLiteral("A command holding \"]\" or a line break cannot be kept in the list!");
    return {};
}

} // namespace ulv
