#pragma once

#include <QByteArray>
#include <QString>
#include <array>

namespace ulv {

// One row of an AT script as the page reads and writes it: seven texts.
struct ScriptRow {
    QString choose = QStringLiteral("0"); // "0" or "1"
    QString command;
    QString hex = QStringLiteral("0");    // "0" text, "1" hex-view text
    QString enter = QStringLiteral("1");  // "1" appends CR LF
    QString delay = QStringLiteral("500"); // reply window in ms
    QString compare;                       // expected result
    QString errors;                        // always written empty
    // The command's bytes in the file it came from when they are not its UTF-8
    // form (bytes that are not UTF-8 show as their Latin-1 characters); they
    // are sent and written as they were while the command is not edited.
    QByteArray commandBytes;

    bool operator==(const ScriptRow&) const = default;
};

// Rows 1 to 20 of a script file, sections "1" to "20".
inline constexpr int kScriptFileRows = 20;
using ScriptFileRows = std::array<ScriptRow, kScriptFileRows>;

// The script file beside the program.
inline constexpr char kDefaultScriptName[] = "WEXO_ATC.ini";
QString DefaultScriptPath();

// Reads rows 1 to 20; a missing key (or file) gives that key's default.
ScriptFileRows ReadScriptFile(const QString& path);

// What the command's row sends: its original bytes while the text is what
// they read as, else the text's UTF-8 form.
QByteArray ScriptCommandBytes(const ScriptRow& row);

// Writes all seven keys of all 20 sections (other contents of the file are
// kept). Every value reads back exactly as written, blanks and quotes
// included. False when the file could not be written (it is then unchanged).
bool WriteScriptFile(const QString& path, const ScriptFileRows& rows);

} // namespace ulv
