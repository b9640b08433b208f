#include "DbTestSupport.h"

#include "common/TestEnv.h"
#include "platform/DataFolder.h"
#include "platform/TempLog.h"

#include <QDir>
#include <QFile>
#include <QProcess>

namespace ulv::test {

namespace {

ProcessResult Run(const QString& program, const QStringList& args, const QByteArray& input)
{
    QProcess p;
    p.start(program, args);
    p.waitForStarted();
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(30000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

} // namespace

ProcessResult RunSqlcipher(const QString& path, const QString& script)
{
    return Run(QStringLiteral(ULV_SQLCIPHER_PROGRAM), {QStringLiteral("-bail"), path}, script.toUtf8());
}

ProcessResult RunProbe(const QStringList& args)
{
    return Run(QStringLiteral(ULV_PROBE_PROGRAM), args, {});
}

QString ResetParamFolder(bool create)
{
    const QString dir = DataFolder() + "/param";
    QFileInfo info(dir);
    if (info.isDir())
        QDir(dir).removeRecursively();
    else if (info.exists())
        QFile::remove(dir);
    if (create)
        QDir().mkpath(dir);
    return dir;
}

DbFile MakeDb(const QString& name, const QByteArray& key, const QString& sql)
{
    const QString dir = TempHome() + "/fixtures";
    QDir().mkpath(dir);
    const QString path = dir + "/" + name;
    QFile::remove(path);
    const ProcessResult r = RunSqlcipher(path, "PRAGMA key='" + QString::fromUtf8(key) + "';\n" + sql);
    if (r.exitCode != 0 || !r.err.isEmpty())
        qFatal("fixture %s: %s", qPrintable(name), qPrintable(r.err));
    return {path, key};
}

QString AtcSchemaSql()
{
    QFile f(QStringLiteral(ULV_SOURCE_DIR) + "/atlib/data/atc_schema.sql");
    if (!f.open(QIODevice::ReadOnly))
        qFatal("atc_schema.sql missing");
    return QString::fromUtf8(f.readAll());
}

QStringList TempLogLines()
{
    QFile f(TempLog::Path());
    QStringList lines;
    if (!f.open(QIODevice::ReadOnly))
        return lines;
    while (!f.atEnd())
        lines.append(QString::fromUtf8(f.readLine()));
    return lines;
}

void ClearTempLog()
{
    QFile::remove(TempLog::Path());
}

QList<QStringList> Rows(const DbFile& db, const QString& sql)
{
    QList<QStringList> rows;
    EncryptedDb conn(db);
    conn.exec(sql, {}, [&rows](const DbRow& r) { rows.append(r.values); });
    return rows;
}

} // namespace ulv::test
