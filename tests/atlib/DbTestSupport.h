#pragma once

#include "atlib/core/EncryptedDb.h"

#include <QString>
#include <QStringList>

namespace ulv::test {

struct ProcessResult {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs the sqlcipher shell on a database file with `script` on its input.
ProcessResult RunSqlcipher(const QString& path, const QString& script);
// Runs the built ulvprobe with its arguments.
ProcessResult RunProbe(const QStringList& args);

// The data folder's param folder, emptied (created when `create`, else absent).
QString ResetParamFolder(bool create = true);

// A fresh encrypted database outside the param folder, built by the shell.
DbFile MakeDb(const QString& name, const QByteArray& key, const QString& sql);

// The repository's schema of the AT-command library.
QString AtcSchemaSql();

// Lines of the temporary log (each with its line end), and emptying it.
QStringList TempLogLines();
void ClearTempLog();

// Every row of one statement, for checks below the table layers.
QList<QStringList> Rows(const DbFile& db, const QString& sql);

} // namespace ulv::test
