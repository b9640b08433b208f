#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace ulv {

// An INI file with the Windows profile semantics the settings files rely on:
// sections and keys match case-insensitively; values are trimmed and lose one pair
// of enclosing double quotes on read; `key=value` is written raw; comments,
// unknown lines and the order of everything are kept; CRLF and LF are accepted;
// a missing file reads as empty, so every read gives its default.
class IniFile {
public:
    explicit IniFile(QString path = {});

    // Reads the file again. False when it does not exist or cannot be read (the
    // contents are then empty).
    bool Load();
    // Writes the whole file (CRLF line ends). False when it cannot be written,
    // and when it exists but could not be read: writing then would replace
    // everything it holds with the few values just set.
    bool Save() const;

    const QString& Path() const { return m_path; }

    bool HasSection(const QString& section) const;
    bool HasKey(const QString& section, const QString& key) const;
    QString GetString(const QString& section, const QString& key, const QString& def = {}) const;
    // Like GetPrivateProfileInt: the default when the key is missing, else the
    // leading decimal number of the value (0 when there is none); saturates.
    int GetInt(const QString& section, const QString& key, int def) const;

    void SetString(const QString& section, const QString& key, const QString& value);
    void SetInt(const QString& section, const QString& key, int value);
    bool RemoveKey(const QString& section, const QString& key);
    bool RemoveSection(const QString& section);

    // Section names in file order, as written in the file.
    QStringList Sections() const;
    // Key names of a section in file order.
    QStringList Keys(const QString& section) const;

private:
    struct Line {
        QString text;  // the raw line as read or written
        QString key;   // empty for comments and other lines
        QString value; // raw value after '='
    };
    struct Section {
        QString name;
        QString header; // raw header line
        std::vector<Line> lines;
    };
    Section* FindSection(const QString& name);
    const Section* FindSection(const QString& name) const;

    QString m_path;
    bool m_unreadable = false; // there, but Load could not read it
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
