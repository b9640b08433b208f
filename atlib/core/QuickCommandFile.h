#pragma once

#include <QString>
#include <vector>

namespace ulv {

// One entry of the user's quick command list.
struct QuickCommand {
    QString command;        // the section name: the command without its line end
    QString carriageReturn; // "0" or "1" as stored: whether CR LF follows the command
    QString comment;

    bool operator==(const QuickCommand&) const = default;
};

// ModuleName_null.ini: one section per command, named by the command itself,
// with the keys "carriage return" and "comment". Every call reads or rewrites
// the file at once.
class QuickCommandFile {
public:
    explicit QuickCommandFile(QString path);
    // The param folder's ModuleName_null.ini.
    static QString DefaultPath();
    const QString& Path() const { return m_path; }

    // The entries in the order of the sections; a missing key reads as "0" and
    // " " (one blank). A missing file gives no entries.
    std::vector<QuickCommand> Load() const;
    // Writes "carriage return" and then "comment" into the command's section
    // (an existing section of that name, in any letter case, is overwritten).
    bool Write(const QuickCommand& entry) const;
    // Write, after deleting the section `previous` when the entry's command is
    // another text (letter case counts): a renamed entry in one rewrite of the file.
    bool Replace(const QString& previous, const QuickCommand& entry) const;
    // Deletes the command's whole section.
    bool Remove(const QString& command) const;

    // Why a command cannot be a section name ("]" or a line break would break
    // the file apart), or empty when it can.
    static QString Refusal(const QString& command);

    static constexpr const char* kCarriageReturnKey = "carriage return";
    static constexpr const char* kCommentKey = "comment";

private:
    QString m_path;
};

} // namespace ulv
