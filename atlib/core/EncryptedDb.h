#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <initializer_list>
#include <variant>

struct sqlite3;

namespace ulv {

// The source file and line of a call, taken where a defaulted CodePlace
// argument is left out (std::source_location is not available to every
// compiler the project is built with).
struct CodePlace {
    constexpr CodePlace(const char* f = __builtin_FILE(), int l = __builtin_LINE()) : file(f), line(l) {}
    const char* file;
    int line;
};

// A value bound to one "?" of a statement. Texts typed by users, module replies
// and spreadsheet cells only ever reach the database this way, never spliced
// into the SQL text.
class DbValue {
public:
    DbValue(const QString& text) : m_value(text) {}
    DbValue(const char* text) : m_value(QString::fromUtf8(text)) {}
    DbValue(int number) : m_value(qint64(number)) {}
    DbValue(qint64 number) : m_value(number) {}

    bool isNumber() const { return std::holds_alternative<qint64>(m_value); }
    qint64 number() const { return isNumber() ? std::get<qint64>(m_value) : 0; }
    QString text() const { return isNumber() ? QString::number(number()) : std::get<QString>(m_value); }

private:
    std::variant<QString, qint64> m_value;
};

// One result row as texts: numbers arrive as their decimal text, NULL as "".
struct DbRow {
    QStringList values;
    QStringList names;

    qsizetype size() const { return values.size(); }
    const QString& operator[](qsizetype i) const { return values[i]; }
};

using DbRowHandler = std::function<void(const DbRow&)>;

struct DbResult {
    int code = 0;      // the library's result code, 0 on success
    QString error;     // the library's error text on failure
    int changes = 0;   // rows the statement inserted, updated or deleted
    bool ok() const { return code == 0; }
};

// How a write of the table layers ended; the dialogs turn it into their messages.
enum class DbWrite {
    Ok,
    OpenFailed,     // nothing written; the temporary log has the reason
    LookupFailed,   // the classification lookup statement failed
    NoClass,        // no classification of that name
    Failed,         // the write statement failed
};

// A database file and the key it is opened with.
struct DbFile {
    QString path;
    QByteArray key;
};

// One keyed connection to an encrypted database, living for one routine: opened
// by the constructor, closed by the destructor on every path.
//
// The file is never created: a missing file fails to open like a missing folder,
// so an empty database never takes the place of the shipped one (and never
// blocks its later restoring). Every failed open appends one line to the
// temporary log naming the source file and line of the routine that asked.
class EncryptedDb {
public:
    explicit EncryptedDb(const DbFile& file,
                         CodePlace where = CodePlace());
    EncryptedDb(const QString& path, const QByteArray& key,
                CodePlace where = CodePlace());
    ~EncryptedDb();
    EncryptedDb(const EncryptedDb&) = delete;
    EncryptedDb& operator=(const EncryptedDb&) = delete;

    bool isOpen() const { return m_db != nullptr; }
    // The library's text for the failed open; empty when open.
    const QString& openError() const { return m_openError; }

    // Runs exactly one statement with its "?" placeholders bound in order;
    // onRow gets every result row. A closed connection reports failure.
    DbResult exec(const QString& sql, std::initializer_list<DbValue> args = {},
                  const DbRowHandler& onRow = {});
    DbResult exec(const QString& sql, const QList<DbValue>& args, const DbRowHandler& onRow = {});

    DbResult begin() { return exec(QStringLiteral("BEGIN TRANSACTION;")); }
    DbResult commit() { return exec(QStringLiteral("COMMIT TRANSACTION;")); }
    DbResult rollback() { return exec(QStringLiteral("ROLLBACK TRANSACTION;")); }

    // The temporary-log line of a failed open, cut to at most 511 characters
    // (the line end is kept).
    static QString OpenFailureLine(const QString& sourceFile, int line, const QString& error);

    // The temporary-log line of a database that opened but cannot be read
    // (damaged, truncated, not a database, wrong key), naming the file.
    static QString ReadFailureLine(const QString& sourceFile, int line, const QString& path, const QString& error);
    // A statement failed because the file itself cannot be read.
    static bool UnreadableFile(int code);

    const QString& path() const { return m_path; }

private:
    void open(const QString& path, const QByteArray& key, const CodePlace& where);
    DbResult failed(DbResult result);

    sqlite3* m_db = nullptr;
    QString m_openError;
    QString m_path;
    CodePlace m_where;
    bool m_readFailureLogged = false;
};

// Runs one write statement in its own transaction on its own connection.
// changedRows, when given, receives how many rows it changed (0 unless Ok).
DbWrite WriteInTransaction(const DbFile& db, const QString& sql, const QList<DbValue>& args,
                           int* changedRows = nullptr, CodePlace where = CodePlace());

} // namespace ulv
