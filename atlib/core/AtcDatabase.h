#pragma once

#include "atlib/core/EncryptedDb.h"

#include <optional>
#include <vector>

// The AT-command library: table ATCCLASS (MyIndex, typename) and table ATC
// (atc, type, refer, func), joined on ATC.type = ATCCLASS.MyIndex. Every routine
// opens, keys and closes its own connection; an open failure leaves one line in
// the temporary log and an empty result (or DbWrite::OpenFailed).
namespace ulv {

struct AtcClass {
    QString index;   // MyIndex as text
    QString name;    // typename
};

struct AtCommand {
    QString atc;       // the command text, its identity
    QString className; // typename of its classification
    QString refer;     // parameter reference, lines separated by CR LF
    QString func;      // what it does
};

struct AtcClassCommands {
    QString name;
    QStringList commands;
};

// Classifications in table order.
std::vector<AtcClass> LoadAtcClasses(const DbFile& db);

// Every command that has a classification, in the order the join yields them.
std::vector<AtCommand> LoadAtCommands(const DbFile& db);

// Every classification in table order with its commands (the page's tree).
// error, when given, receives the library's text when the file could not be
// opened or read (empty otherwise).
std::vector<AtcClassCommands> LoadAtcTree(const DbFile& db, QString* error = nullptr);

// Commands containing `text` (LIKE: ASCII case ignored, % and _ are wildcards),
// ordered by classification index, then command.
std::vector<AtCommand> SearchAtCommands(const DbFile& db, const QString& text);
// The same on a connection the caller keeps open: keying a connection costs
// far more than a search, too much to pay on every keystroke.
std::vector<AtCommand> SearchAtCommands(EncryptedDb& conn, const QString& text);

// Commands beginning with `prefix` (LIKE rules as above).
std::vector<AtCommand> AtCommandsStartingWith(const DbFile& db, const QString& prefix);

// MyIndex of the classification named exactly `name` (the last one when several
// share it), on an open connection. nullopt when none; `failed` is set when the
// statement itself failed.
std::optional<QString> LookupAtcClassIndex(EncryptedDb& conn, const QString& name, bool* failed = nullptr);

// MyIndex of the last classification whose name contains `text` (LIKE), as the
// workbook import files a row.
std::optional<QString> LookupAtcClassIndexContaining(EncryptedDb& conn, const QString& text,
                                                     bool* failed = nullptr);

// Files a new command under the classification named c.className.
DbWrite AddAtCommand(const DbFile& db, const AtCommand& c);
// Changes classification, reference and function of the command c.atc.
DbWrite ModifyAtCommand(const DbFile& db, const AtCommand& c);
DbWrite DeleteAtCommand(const DbFile& db, const QString& atc);

DbWrite AddAtcClass(const DbFile& db, const QString& index, const QString& name);
DbWrite RenameAtcClass(const DbFile& db, const QString& index, const QString& name);
// The commands filed under the index stay in table ATC.
DbWrite DeleteAtcClass(const DbFile& db, const QString& index);

} // namespace ulv
