#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace ulv {

// An INI file with the Windows profile semantics the settings files rely on:
// sections and keys match case-insensitively; values are trimmed and lose one pair
// of enclosing double quotes on read; `key=value` is written raw; comments,
// unknown lines and the order of everything are kept; CRLF and LF are accepted;
// a missing file reads as empty, so every read gives its default. Bytes are
// read as module text is (a byte that is not UTF-8 stands for its Latin-1
// character) and every line not changed since it was read is written back with
// exactly the bytes it had.
class IniFile {
public:
    explicit IniFile(QString path = {});

    // Reads the file again. False when it does not exist or cannot be read (the
    // contents are then empty).
    bool Load();
    // Writes the whole file (CRLF line ends). The old file is replaced only
    // once all of the new one is on disk. False, with a message box saying
    // which file, when it cannot be written, and when it exists but could not
    // be read: writing then would replace everything it holds with the few
    // values just set.
    bool Save() const;
    // Why the last Save failed (empty after a good one).
    const QString& SaveError() const { return m_saveError; }

    const QString& Path() const { return m_path; }

    bool HasSection(const QString& section) const;
    bool HasKey(const QString& section, const QString& key) const;
    QString GetString(const QString& section, const QString& key, const QString& def = {}) const;
    // The bytes in the file behind GetString's text (trimmed and unquoted the
    // same way); def.toUtf8() when the key is missing.
    QByteArray GetBytes(const QString& section, const QString& key, const QString& def = {}) const;
    // Like GetPrivateProfileInt: the default when the key is missing, else the
    // leading decimal number of the value (0 when there is none); saturates.
    int GetInt(const QString& section, const QString& key, int def) const;

    // A value equal to the one the key has keeps its line's bytes untouched.
    void SetString(const QString& section, const QString& key, const QString& value);
    // Writes the value's bytes as they are (read back through the rules above).
    void SetBytes(const QString& section, const QString& key, const QByteArray& value);
    void SetInt(const QString& section, const QString& key, int value);
    bool RemoveKey(const QString& section, const QString& key);
    bool RemoveSection(const QString& section);

    // Section names in file order, as written in the file.
    QStringList Sections() const;
    // Key names of a section in file order.
    QStringList Keys(const QString& section) const;

private:
    struct Line {
        QString text;   // the line as read or written, as text
        QString key;    // empty for comments and other lines
        QString value;  // raw value after '=', as text
        QByteArray raw; // the line's bytes, without its line end
    };
    struct Section {
        QString name;
        QByteArray header; // raw header line
        std::vector<Line> lines;
    };
    static Line MakeLine(QByteArray raw);
    Section& SectionFor(const QString& name);
    Section* FindSection(const QString& name);
    const Section* FindSection(const QString& name) const;

    QString m_path;
    bool m_unreadable = false; // there, but Load could not read it
    mutable QString m_saveError;
    std::vector<Line> m_preamble;
    std::vector<Section> m_sections;
};

// One-shot access with WritePrivateProfileString semantics: every call reads the
// file, and every write rewrites it. Calls are serialised within the process.
QString IniGetString(const QString& path, const QString& section, const QString& key, const QString& def = {});
int IniGetInt(const QString& path, const QString& section, const QString& key, int def);
bool IniWriteString(const QString& path, const QString& section, const QString& key, const QString& value);
bool IniWriteInt(const QString& path, const QString& section, const QString& key, int value);
bool IniDeleteKey(const QString& path, const QString& section, const QString& key);
bool IniDeleteSection(const QString& path, const QString& section);
QStringList IniSections(const QString& path);

// Leading decimal integer of a text, as atoi would read it but saturating at the
// int range instead of overflowing. Returns def when no digit leads.
int ParseLeadingInt(const QString& text, int def = 0);

} // namespace ulv
