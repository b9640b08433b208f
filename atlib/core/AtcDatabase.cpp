#include "atlib/core/AtcDatabase.h"

namespace ulv {

namespace {

// Column counts the row handlers accept; a row of another shape is skipped.
constexpr int kClassColumns = 2;
constexpr int kCommandColumns = 4;
constexpr int kIndexColumns = 1;

const QString kCommandJoin = QStringLiteral(
    "SELECT ATC.atc,ATCCLASS.typename,ATC.refer,ATC.func FROM ATC,ATCCLASS "
    "WHERE ATC.type=ATCCLASS.MyIndex");

DbRowHandler CommandCollector(std::vector<AtCommand>& out)
{
    return [&out](const DbRow& row) {
        if (row.size() == kCommandColumns)
            out.push_back({row[0], row[1], row[2], row[3]});
    };
}

std::vector<AtCommand> QueryCommands(EncryptedDb& conn, const QString& sql, const QString& arg)
{
    std::vector<AtCommand> out;
    if (conn.isOpen())
        conn.exec(sql, {arg}, CommandCollector(out));
    return out;
}

std::vector<AtCommand> QueryCommands(const DbFile& db, const QString& sql, const QString& arg)
{
    EncryptedDb conn(db);
    return QueryCommands(conn, sql, arg);
}

const QString kSearchSql = kCommandJoin + QStringLiteral(" AND ATC.atc LIKE '%' || ? || '%' ORDER BY ATC.type,ATC.atc;");

std::optional<QString> LookupIndex(EncryptedDb& conn, const QString& sql, const QString& arg, bool* failed)
{
    std::optional<QString> index;
    const DbResult r = conn.exec(sql, {arg}, [&index](const DbRow& row) {
        if (row.size() == kIndexColumns)
            index = row[0];
    });
    if (failed)
        *failed = !r.ok();
    return r.ok() ? index : std::nullopt;
}

// Add and Modify share the classification lookup and its outcomes.
DbWrite WriteWithClass(const DbFile& db, const QString& className, const QString& sql,
                       const std::function<QList<DbValue>(const QString& index)>& args)
{
    EncryptedDb conn(db);
    if (!conn.isOpen())
        return DbWrite::OpenFailed;
    conn.begin();
    bool failed = false;
    const std::optional<QString> index = LookupAtcClassIndex(conn, className, &failed);
    DbWrite result = DbWrite::Ok;
    if (failed)
        result = DbWrite::LookupFailed;
    else if (!index)
        result = DbWrite::NoClass;
    else if (!conn.exec(sql, args(*index)).ok())
        result = DbWrite::Failed;
    conn.commit();
    return result;
}

} // namespace

std::vector<AtcClass> LoadAtcClasses(const DbFile& db)
{
    std::vector<AtcClass> out;
    EncryptedDb conn(db);
    if (!conn.isOpen())
        return out;
    conn.exec(QStringLiteral("SELECT * FROM ATCCLASS;"), {}, [&out](const DbRow& row) {
        if (row.size() == kClassColumns)
            out.push_back({row[0], row[1]});
    });
    return out;
}

std::vector<AtCommand> LoadAtCommands(const DbFile& db)
{
    std::vector<AtCommand> out;
    EncryptedDb conn(db);
    if (conn.isOpen())
        conn.exec(kCommandJoin + ';', {}, CommandCollector(out));
    return out;
}

std::vector<AtcClassCommands> LoadAtcTree(const DbFile& db, QString* error)
{
    std::vector<AtcClassCommands> out;
    EncryptedDb conn(db);
    auto fail = [&](const QString& text) {
        if (error)
            *error = text;
        out.clear();
        return out;
    };
    if (!conn.isOpen())
        return fail(conn.openError());
    conn.begin();
    const DbResult classes = conn.exec(QStringLiteral("SELECT * FROM ATCCLASS;"), {}, [&out](const DbRow& row) {
        if (row.size() == kClassColumns)
            out.push_back({row[1], {}});
    });
    if (EncryptedDb::UnreadableFile(classes.code))
        return fail(classes.error);
    for (AtcClassCommands& cls : out) {
        const DbResult commands = conn.exec(QStringLiteral("SELECT ATC.atc FROM ATC,ATCCLASS "
                                                           "WHERE ATC.type=ATCCLASS.MyIndex AND ATCCLASS.typename=?;"),
            {cls.name}, [&cls](const DbRow& row) {
                if (row.size() == kIndexColumns)
                    cls.commands.append(row[0]);
            });
        if (EncryptedDb::UnreadableFile(commands.code))
            return fail(commands.error);
    }
    conn.commit();
    if (error)
        error->clear();
    return out;
}

std::vector<AtCommand> SearchAtCommands(const DbFile& db, const QString& text)
{
    return QueryCommands(db, kSearchSql, text);
}

std::vector<AtCommand> SearchAtCommands(EncryptedDb& conn, const QString& text)
{
    return QueryCommands(conn, kSearchSql, text);
}

std::vector<AtCommand> AtCommandsStartingWith(const DbFile& db, const QString& prefix)
{
    return QueryCommands(db, kCommandJoin + QStringLiteral(" AND ATC.atc LIKE ? || '%';"), prefix);
}

std::optional<QString> LookupAtcClassIndex(EncryptedDb& conn, const QString& name, bool* failed)
{
    return LookupIndex(conn, QStringLiteral("SELECT ATCCLASS.MyIndex FROM ATCCLASS WHERE ATCCLASS.typename=?;"),
                       name, failed);
}

std::optional<QString> LookupAtcClassIndexContaining(EncryptedDb& conn, const QString& text, bool* failed)
{
    return LookupIndex(conn, QStringLiteral("SELECT ATCCLASS.MyIndex FROM ATCCLASS "
                                            "WHERE ATCCLASS.typename LIKE '%' || ? || '%';"),
                       text, failed);
}

DbWrite AddAtCommand(const DbFile& db, const AtCommand& c)
{
    return WriteWithClass(db, c.className, QStringLiteral("INSERT INTO ATC VALUES (?,?,?,?);"),
                          [&c](const QString& index) { return QList<DbValue>{c.atc, index, c.refer, c.func}; });
}

DbWrite ModifyAtCommand(const DbFile& db, const AtCommand& c)
{
    return WriteWithClass(db, c.className, QStringLiteral("UPDATE ATC SET type=?,refer=?,func=? WHERE atc=?;"),
                          [&c](const QString& index) { return QList<DbValue>{index, c.refer, c.func, c.atc}; });
}

DbWrite DeleteAtCommand(const DbFile& db, const QString& atc)
{
    return WriteInTransaction(db, QStringLiteral("DELETE FROM ATC WHERE ATC.atc=?;"), {atc});
}

DbWrite AddAtcClass(const DbFile& db, const QString& index, const QString& name)
{
    return WriteInTransaction(db, QStringLiteral("INSERT INTO ATCCLASS VALUES (?,?);"), {index, name});
}

DbWrite RenameAtcClass(const DbFile& db, const QString& index, const QString& name)
{
    return WriteInTransaction(db, QStringLiteral("UPDATE ATCCLASS SET typename=? WHERE MyIndex=?;"), {name, index});
}

DbWrite DeleteAtcClass(const DbFile& db, const QString& index)
{
    return WriteInTransaction(db, QStringLiteral("DELETE FROM ATCCLASS WHERE ATCCLASS.MyIndex=?;"), {index});
}

} // namespace ulv
