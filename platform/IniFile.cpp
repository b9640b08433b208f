#include "platform/IniFile.h"

#include "core/text/AnsiText.h"
#include "platform/MessageBox.h"

#include <QDir>
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

template <class Text>
Text Unquote(Text v)
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

IniFile::Line IniFile::MakeLine(QByteArray raw)
{
    Line line{AnsiToString(raw), {}, {}, std::move(raw)};
    if (!line.text.trimmed().startsWith(';')) {
        const int eq = line.text.indexOf('=');
        if (eq > 0) {
            line.key = line.text.left(eq).trimmed();
            line.value = line.text.mid(eq + 1);
        }
    }
    return line;
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
    if (f.error() != QFileDevice::NoError) {
        m_preamble.clear();
        m_unreadable = true;
        return false;
    }
    const QList<QByteArray> rows = data.split('\n');
    for (int r = 0; r < rows.size(); ++r) {
        QByteArray raw = rows[r];
        if (raw.endsWith('\r'))
            raw.chop(1);
        if (r == rows.size() - 1 && raw.isEmpty())
            break; // the file's last line end
        Line line = MakeLine(std::move(raw));
        const QString t = line.text.trimmed();
        if (t.startsWith('[')) {
            const int close = t.indexOf(']');
            if (close > 0) {
                m_sections.push_back({t.mid(1, close - 1).trimmed(), line.raw, {}});
                continue;
            }
        }
        if (m_sections.empty())
            m_preamble.push_back(std::move(line));
        else
            m_sections.back().lines.push_back(std::move(line));
    }
    return true;
}

bool IniFile::Save() const
{
    m_saveError.clear();
    QString error;
    if (m_unreadable) {
        error = QStringLiteral("it could not be read, so writing would lose what it holds");
    } else {
        QByteArray out;
        auto put = [&out](const QByteArray& line) {
            out += line;
            out += "\r\n";
        };
        for (const Line& l : m_preamble)
            put(l.raw);
        for (const Section& s : m_sections) {
            put(s.header);
            for (const Line& l : s.lines)
                put(l.raw);
        }
        // QSaveFile renames over the old file in commit() even when the flush
        // inside it failed (a full disk): write and flush here, checking each, and
        // give the new file up unless every byte of it got out.
        QSaveFile f(m_path);
        if (!f.open(QIODevice::WriteOnly)) {
            error = f.errorString();
        } else if (f.write(out) != out.size() || !f.flush()) {
            error = f.errorString();
            f.cancelWriting();
        } else if (!f.commit()) {
            error = f.errorString();
        }
    }
    if (error.isEmpty())
        return true;
    m_saveError = error;
    ShowMessageBox(QStringLiteral("Cannot write the file %1 (%2)! It keeps what it held before.")
                       .arg(QDir::toNativeSeparators(m_path), error),
        MB_ICONERROR);
    return false;
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

QByteArray IniFile::GetBytes(const QString& section, const QString& key, const QString& def) const
{
    const Section* s = FindSection(section);
    if (s) {
        for (const Line& l : s->lines) {
            if (l.key.isEmpty() || !SameName(l.key, key))
                continue;
            const QString text = Unquote(l.value);
            const QByteArray bytes = Unquote(l.raw.mid(l.raw.indexOf('=') + 1));
            // Text trimming also takes Unicode blanks a stray byte may stand for:
            // the bytes then are those of the text.
            return AnsiToString(bytes) == text ? bytes : text.toUtf8();
        }
    }
    return def.toUtf8();
}

int IniFile::GetInt(const QString& section, const QString& key, int def) const
{
    if (!HasKey(section, key))
        return def;
    return ParseLeadingInt(GetString(section, key), 0);
}

IniFile::Section& IniFile::SectionFor(const QString& name)
{
    if (Section* s = FindSection(name))
        return *s;
    m_sections.push_back({name, ("[" + name + "]").toUtf8(), {}});
    return m_sections.back();
}

void IniFile::SetString(const QString& section, const QString& key, const QString& value)
{
    if (const Section* s = FindSection(section))
        for (const Line& l : s->lines)
            if (!l.key.isEmpty() && SameName(l.key, key) && l.value == value)
                return; // unchanged: its bytes stay as they are
    SetBytes(section, key, value.toUtf8());
}

void IniFile::SetBytes(const QString& section, const QString& key, const QByteArray& value)
{
    Section& s = SectionFor(section);
    Line line = MakeLine(key.toUtf8() + '=' + value);
    line.key = key;
    for (Line& l : s.lines) {
        if (!l.key.isEmpty() && SameName(l.key, key)) {
            l = std::move(line);
            return;
        }
    }
    // New keys go after the last key of the section, before trailing blank lines.
    auto pos = s.lines.end();
    while (pos != s.lines.begin() && std::prev(pos)->text.trimmed().isEmpty())
        --pos;
    s.lines.insert(pos, std::move(line));
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
