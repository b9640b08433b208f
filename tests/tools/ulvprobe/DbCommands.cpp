#include "Probe.h"

#include "atlib/core/EncryptedDb.h"

#include <QFileInfo>

namespace {

// An identifier cannot be bound; it is quoted instead, after the table has been
// found among the database's own tables by a bound lookup.
QString QuoteIdentifier(const QString& name)
{
    QString quoted = name;
    quoted.replace('"', QStringLiteral("\"\""));
    return '"' + quoted + '"';
}

int DbDump(const QStringList& args)
{
    if (args.size() != 3) {
        ulvprobe::PrintError("usage: ulvprobe db-dump PATH KEY TABLE");
        return 2;
    }
    const QString& path = args[0];
    if (!QFileInfo(path).isFile()) {
        ulvprobe::PrintError("no such database file: " + path);
        return 2;
    }
    ulv::EncryptedDb db(path, args[1].toUtf8());
    if (!db.isOpen()) {
        ulvprobe::PrintError("Can't open database: " + db.openError());
        return 2;
    }
    bool known = false;
    const ulv::DbResult found = db.exec(
        QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' AND name=?;"), {args[2]},
        [&known](const ulv::DbRow&) { known = true; });
    if (!found.ok()) {
        ulvprobe::PrintError(found.error);
        return 2;
    }
    if (!known) {
        ulvprobe::PrintError("no such table: " + args[2]);
        return 2;
    }
    const ulv::DbResult r = db.exec(QStringLiteral("SELECT * FROM ") + QuoteIdentifier(args[2]) + ';', {},
                                    [](const ulv::DbRow& row) {
                                        QStringList fields;
                                        for (qsizetype i = 0; i < row.size(); ++i)
                                            fields.append(ulvprobe::JsonString(row.names[i]) + ':'
                                                          + ulvprobe::JsonString(row[i]));
                                        ulvprobe::Print('{' + fields.join(',') + '}');
                                    });
    if (!r.ok()) {
        ulvprobe::PrintError(r.error);
        return 2;
    }
    return 0;
}

const ulvprobe::Command dbDump("db-dump",
    "db-dump PATH KEY TABLE   print an encrypted database table as JSON lines "
    "(one object per row, columns in table order, NULL as \"\")",
    DbDump);

} // namespace
