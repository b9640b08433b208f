#include "platform/IniFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <climits>
#include <mutex>

namespace ulv {

namespace {

bool SameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString Unquote(QString v)
{
    v = v.trimmed();
    if (v.size() >= 2 && v.startsWith('"') && v.endsWith('"'))
        v = v.mid(1, v.size() - 2);
    return v;
}

std::mutex& FileLock()
{
    static std::mutex m;
    return m;
}

} // namespace

int ParseLeadingInt(const QString& text, int def)
{
    int i = 0;
    const int n = text.size();
    while (i < n && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool neg = false;
    if (i < n && (text[i] == '-' || text[i] == '+')) {
        neg = text[i] == '-';
        ++i;
    }
    if (i >= n || !text[i].isDigit() || text[i].unicode() > '9')
        return def;
    long long v = 0;
    for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i) {
        v = v * 10 + (text[i].unicode() - '0');
        if (v > static_cast<long long>(INT_MAX) + 1)
            v = static_cast<long long>(INT_MAX) + 1;
    }
    if (neg)
        return static_cast<int>(-v < INT_MIN ? INT_MIN : -v);
    return static_cast<int>(v > INT_MAX ? INT_MAX : v);
}

IniFile::IniFile(QString path)
    : m_path(std::move(path))
{
    if (!m_path.isEmpty())
        Load();
}

bool IniFile::Load()
{
    m_preamble.clear();
    m_sections.clear();
    m_unreadable = false;
    QFile f(m_path);
    if (!f.open(QIODevice::ReadOnly)) {
        m_unreadable = QFileInfo::exists(m_path);
        return false;
    }
    const QByteArray data = f.readAll();
    const QString text = QString::fromUtf8(data);
    const QStringList rows = text.split('\n');
    for (int r = 0; r < rows.size(); ++r) {
        QString raw = rows[r];
        if (raw.endsWith('\r'))
            raw.chop(1);
        if (r == rows.size() - 1 && raw.isEmpty())
            break; // the file's last line end
        const QString t = raw.trimmed();
        if (t.startsWith('[')) {
            const int close = t.indexOf(']');
            if (close > 0) {
                m_sections.push_back({t.mid(1, close - 1).trimmed(), raw, {}});
                continue;
            }
        }
        Line line{raw, {}, {}};
        if (!t.startsWith(';')) {
            const int eq = raw.indexOf('=');
            if (eq > 0) {
                line.key = raw.left(eq).trimmed();
                line.value = raw.mid(eq + 1);
            }
        }
        if (m_sections.empty())
            m_preamble.push_back(line);
        else
            m_sections.back().lines.push_back(line);
    }
    return true;
}

bool IniFile::Save() const
{
    if (m_unreadable)
        return false;
    QByteArray out;
    auto put = [&out](const QString& s) {
        out += s.toUtf8();
        out += "\r\n";
    };
    for (const Line& l : m_preamble)
        put(l.text);
    for (const Section& s : m_sections) {
        put(s.header);
        for (const Line& l : s.lines)
            put(l.text);
    }
    QSaveFile f(m_path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    if (f.write(out) != out.size())
        return false;
    return f.commit();
}

IniFile::Section* IniFile::FindSection(const QString& name)
{
    for (Section& s : m_sections)
        if (SameName(s.name, name))
            return &s;
    return nullptr;
}

const IniFile::Section* IniFile::FindSection(const QString& name) const
{
    return const_cast<IniFile*>(this)->FindSection(name);
}

bool IniFile::HasSection(const QString& section) const
{
    return FindSection(section) != nullptr;
}

bool IniFile::HasKey(const QString& section, const QString& key) const
{
    const Section* s = FindSection(section);
    if (!s)
        return false;
    for (const Line& l : s->lines)
        if (!l.key.isEmpty() && SameName(l.key, key))
            return true;
    return false;
}

QString IniFile::GetString(const QString& section, const QString& key, const QString& def) const
{
    const Section* s = FindSection(section);
    if (!s)
        return def;
    for (const Line& l : s->lines)
        if (!l.key.isEmpty() && SameName(l.key, key))
            return Unquote(l.value);
    return def;
}

int IniFile::GetInt(const QString& section, const QString& key, int def) const
{
    if (!HasKey(section, key))
        return def;
    return ParseLeadingInt(GetString(section, key), 0);
}

void IniFile::SetString(const QString& section, const QString& key, const QString& value)
{
    Section* s = FindSection(section);
    if (!s) {
        m_sections.push_back({section, "[" + section + "]", {}});
        s = &m_sections.back();
    }
    const QString text = key + "=" + value;
    for (Line& l : s->lines) {
        if (!l.key.isEmpty() && SameName(l.key, key)) {
            l = {text, key, value};
            return;
        }
    }
    // New keys go after the last key of the section, before trailing blank lines.
    auto pos = s->lines.end();
    while (pos != s->lines.begin() && std::prev(pos)->text.trimmed().isEmpty())
        --pos;
    s->lines.insert(pos, Line{text, key, value});
}

void IniFile::SetInt(const QString& section, const QString& key, int value)
{
    SetString(section, key, QString::number(value));
}

bool IniFile::RemoveKey(const QString& section, const QString& key)
{
    Section* s = FindSection(section);
    if (!s)
        return false;
    for (auto it = s->lines.begin(); it != s->lines.end(); ++it) {
        if (!it->key.isEmpty() && SameName(it->key, key)) {
            s->lines.erase(it);
            return true;
        }
    }
    return false;
}

bool IniFile::RemoveSection(const QString& section)
{
    for (auto it = m_sections.begin(); it != m_sections.end(); ++it) {
        if (SameName(it->name, section)) {
            m_sections.erase(it);
            return true;
        }
    }
    return false;
}

QStringList IniFile::Sections() const
{
    QStringList names;
    for (const Section& s : m_sections)
        names << s.name;
    return names;
}

QStringList IniFile::Keys(const QString& section) const
{
    QStringList keys;
    if (const Section* s = FindSection(section))
        for (const Line& l : s->lines)
            if (!l.key.isEmpty())
                keys << l.key;
    return keys;
}

QString IniGetString(const QString& path, const QString& section, const QString& key, const QString& def)
{
    std::lock_guard<std::mutex> guard(FileLock());
    return IniFile(path).GetString(section, key, def);
}

int IniGetInt(const QString& path, const QString& section, const QString& key, int def)
{
    std::lock_guard<std::mutex> guard(FileLock());
    return IniFile(path).GetInt(section, key, def);
}

bool IniWriteString(const QString& path, const QString& section, const QString& key, const QString& value)
{
    std::lock_guard<std::mutex> guard(FileLock());
    IniFile ini(path);
    ini.SetString(section, key, value);
    return ini.Save();
}

bool IniWriteInt(const QString& path, const QString& section, const QString& key, int value)
{
    return IniWriteString(path, section, key, QString::number(value));
}

bool IniDeleteKey(const QString& path, const QString& section, const QString& key)
{
    std::lock_guard<std::mutex> guard(FileLock());
    IniFile ini(path);
    if (!ini.RemoveKey(section, key))
        return true;
    return ini.Save();
}

bool IniDeleteSection(const QString& path, const QString& section)
{
    std::lock_guard<std::mutex> guard(FileLock());
    IniFile ini(path);
    if (!ini.RemoveSection(section))
        return true;
    return ini.Save();
}

QStringList IniSections(const QString& path)
{
    std::lock_guard<std::mutex> guard(FileLock());
    return IniFile(path).Sections();
}

} // namespace ulv
