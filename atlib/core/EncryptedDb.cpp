#include "atlib/core/EncryptedDb.h"

#include "platform/TempLog.h"

#include <QFile>
#include <cctype>
#include <sqlite3.h>

namespace ulv {

namespace {

// Long enough for a busy writer on another thread (an edit in a dialog while a
// worker looks up its access point) to finish its short transaction.
constexpr int kBusyTimeoutMs = 3000;
constexpr int kMaxLogLine = 511;

QString ColumnText(sqlite3_stmt* stmt, int i)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
    if (!text)
        return QString();
    return QString::fromUtf8(text, sqlite3_column_bytes(stmt, i));
}

bool OnlyBlanks(const char* text)
{
    for (; text && *text; ++text) {
        if (!std::isspace(static_cast<unsigned char>(*text)))
            return false;
    }
    return true;
}

} // namespace

EncryptedDb::EncryptedDb(const DbFile& file, CodePlace where)
{
    open(file.path, file.key, where);
}

EncryptedDb::EncryptedDb(const QString& path, const QByteArray& key, CodePlace where)
{
    open(path, key, where);
}

EncryptedDb::~EncryptedDb()
{
    if (m_db)
        sqlite3_close(m_db);
}

void EncryptedDb::open(const QString& path, const QByteArray& key, const CodePlace& where)
{
    m_path = path;
    m_where = where;
    sqlite3* db = nullptr;
    const QByteArray name = QFile::encodeName(path);
    const int rc = sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        // The library's text belongs to the handle: take it before closing.
        m_openError = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
        if (db)
            sqlite3_close(db);
        TempLog::Append(OpenFailureLine(QString::fromUtf8(where.file), where.line, m_openError));
        return;
    }
    // A wrong key is not detected here: the first statement fails instead.
    sqlite3_key(db, key.constData(), int(key.size()));
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    m_db = db;
}

QString EncryptedDb::OpenFailureLine(const QString& sourceFile, int line, const QString& error)
{
    QString text = QStringLiteral("file: %1  line:%2\tCan't open database: %3")
                       .arg(sourceFile, QString::number(line), error);
    // Keep the line one line even when the reason holds line breaks.
    text.replace('\r', ' ').replace('\n', ' ');
    if (text.size() > kMaxLogLine - 1)
        text.truncate(kMaxLogLine - 1);
    return text + '\n';
}

QString EncryptedDb::ReadFailureLine(const QString& sourceFile, int line, const QString& path, const QString& error)
{
    return OpenFailureLine(sourceFile, line, QStringLiteral("%1: %2").arg(path, error));
}

bool EncryptedDb::UnreadableFile(int code)
{
    switch (code & 0xFF) {
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
        return true;
    default:
        return false;
    }
}

DbResult EncryptedDb::failed(DbResult result)
{
    if (UnreadableFile(result.code) && !m_readFailureLogged) {
        m_readFailureLogged = true;
        TempLog::Append(ReadFailureLine(QString::fromUtf8(m_where.file), m_where.line, m_path, result.error));
    }
    return result;
}

DbResult EncryptedDb::exec(const QString& sql, std::initializer_list<DbValue> args, const DbRowHandler& onRow)
{
    return exec(sql, QList<DbValue>(args), onRow);
}

DbResult EncryptedDb::exec(const QString& sql, const QList<DbValue>& args, const DbRowHandler& onRow)
{
    DbResult result;
    if (!m_db) {
        result.code = SQLITE_CANTOPEN;
        result.error = m_openError;
        return result;
    }

    const QByteArray text = sql.toUtf8();
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    int rc = sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &stmt, &tail);
    if (rc != SQLITE_OK) {
        result.code = rc;
        result.error = QString::fromUtf8(sqlite3_errmsg(m_db));
        return failed(result);
    }
    if (!stmt || !OnlyBlanks(tail)) {
        // One statement per call keeps every value bound to the statement it was meant for.
        sqlite3_finalize(stmt);
        result.code = SQLITE_MISUSE;
        result.error = QStringLiteral("exactly one statement expected");
        return result;
    }
    if (sqlite3_bind_parameter_count(stmt) != int(args.size())) {
        sqlite3_finalize(stmt);
        result.code = SQLITE_RANGE;
        result.error = QStringLiteral("wrong number of bound values");
        return result;
    }

    for (int i = 0; i < int(args.size()); ++i) {
        const DbValue& v = args[i];
        if (v.isNumber()) {
            rc = sqlite3_bind_int64(stmt, i + 1, v.number());
        } else {
            const QByteArray bytes = v.text().toUtf8();
            rc = sqlite3_bind_text(stmt, i + 1, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
        }
        if (rc != SQLITE_OK) {
            result.code = rc;
            result.error = QString::fromUtf8(sqlite3_errmsg(m_db));
            sqlite3_finalize(stmt);
            return result;
        }
    }

    // Counted across the statement, so a statement that changes nothing reads 0
    // rather than what an earlier statement changed.
    const int changesBefore = sqlite3_total_changes(m_db);
    DbRow row;
    const int columns = sqlite3_column_count(stmt);
    if (onRow) {
        for (int i = 0; i < columns; ++i)
            row.names.append(QString::fromUtf8(sqlite3_column_name(stmt, i)));
    }
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        if (!onRow)
            continue;
        row.values.clear();
        for (int i = 0; i < columns; ++i)
            row.values.append(ColumnText(stmt, i));
        onRow(row);
    }
    if (rc != SQLITE_DONE) {
        result.code = rc;
        result.error = QString::fromUtf8(sqlite3_errmsg(m_db));
    } else {
        result.changes = sqlite3_total_changes(m_db) - changesBefore;
    }
    sqlite3_finalize(stmt);
    return failed(result);
}

DbWrite WriteInTransaction(const DbFile& db, const QString& sql, const QList<DbValue>& args,
                           int* changedRows, CodePlace where)
{
    if (changedRows)
        *changedRows = 0;
    EncryptedDb conn(db, where);
    if (!conn.isOpen())
        return DbWrite::OpenFailed;
    conn.begin();
    const DbResult r = conn.exec(sql, args);
    conn.commit();
    if (changedRows && r.ok())
        *changedRows = r.changes;
    return r.ok() ? DbWrite::Ok : DbWrite::Failed;
}

} // namespace ulv
