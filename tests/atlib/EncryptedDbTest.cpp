#include "atlib/core/EncryptedDb.h"

#include "DbTestSupport.h"
#include "common/TestEnv.h"
#include "platform/DataFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <unistd.h>
#include <vector>

using namespace ulv;
using namespace ulv::test;

namespace {

const QRegularExpression kLogLine(QStringLiteral("^file: (.+)  line:(\\d+)\\tCan't open database: (.+)\\n$"));

struct Unopenable {
    const char* what;
    void (*prepare)(const QString& param);
};

const Unopenable kUnopenable[] = {
    {"param folder missing", [](const QString& param) { QDir(param).removeRecursively(); }},
    {"param is a plain file",
     [](const QString& param) {
         QDir(param).removeRecursively();
         QFile f(param);
         f.open(QIODevice::WriteOnly);
         f.write("not a folder");
     }},
    {"database path is a folder", [](const QString& param) { QDir().mkpath(param + "/x.db"); }},
    {"database file missing", [](const QString&) {}},
};

// Permissions do not stop root; these apply to everyone else.
const Unopenable kUnreadable[] = {
    {"param folder unreadable", [](const QString& param) { QFile::setPermissions(param, QFileDevice::Permissions()); }},
    {"database file unreadable",
     [](const QString& param) {
         QFile f(param + "/x.db");
         f.open(QIODevice::WriteOnly);
         f.close();
         QFile::setPermissions(param + "/x.db", QFileDevice::Permissions());
     }},
};

std::vector<Unopenable> UnopenableCases()
{
    std::vector<Unopenable> cases(std::begin(kUnopenable), std::end(kUnopenable));
    if (geteuid() != 0)
        cases.insert(cases.end(), std::begin(kUnreadable), std::end(kUnreadable));
    return cases;
}

} // namespace

TEST(EncryptedDb, EveryFailedOpenLogsOneLineAndCreatesNothing)
{
    for (const Unopenable& s : UnopenableCases()) {
        SCOPED_TRACE(s.what);
        const QString param = ResetParamFolder();
        s.prepare(param);
        ClearTempLog();
        const QString path = param + "/x.db";
        const bool existedBefore = QFileInfo::exists(path);

        for (int attempt = 1; attempt <= 2; ++attempt) {
            EncryptedDb db(path, "Tavrine_KEX"); const int openLine = __LINE__;
            EXPECT_FALSE(db.isOpen());
            EXPECT_FALSE(db.openError().isEmpty());
            const DbResult r = db.exec("SELECT 1;");
            EXPECT_FALSE(r.ok());

            const QStringList lines = TempLogLines();
            ASSERT_EQ(lines.size(), attempt);
            const auto m = kLogLine.match(lines.last());
            ASSERT_TRUE(m.hasMatch()) << lines.last().toStdString();
            EXPECT_EQ(m.captured(1), QString::fromUtf8(__FILE__));
            EXPECT_EQ(m.captured(2).toInt(), openLine);
            EXPECT_EQ(m.captured(3), db.openError());
        }
        EXPECT_EQ(QFileInfo::exists(path), existedBefore);
        QFile::setPermissions(param, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    ResetParamFolder();
}

TEST(EncryptedDb, OpenFailureLineKeepsItsFormatAndLength)
{
    EXPECT_EQ(EncryptedDb::OpenFailureLine("/src/a.cpp", 12, "unable to open database file"),
              "file: /src/a.cpp  line:12\tCan't open database: unable to open database file\n");

    const QString longLine = EncryptedDb::OpenFailureLine(QString(600, 'p'), 7, "reason");
    EXPECT_EQ(longLine.size(), 511);
    EXPECT_TRUE(longLine.endsWith("pp\n"));

    // A reason with line breaks still makes one line.
    EXPECT_EQ(EncryptedDb::OpenFailureLine("f", 1, "a\nb").count('\n'), 1);
}

TEST(EncryptedDb, NullsReadAsEmptyTextsAndNumbersAsDecimalText)
{
    const DbFile f = MakeDb("nulls.db", "k3y",
        "CREATE TABLE t(a TEXT, b INTEGER, c TEXT);\n"
        "INSERT INTO t VALUES (NULL, NULL, NULL);\n"
        "INSERT INTO t VALUES ('x', -12, '');\n");
    EncryptedDb db(f);
    ASSERT_TRUE(db.isOpen());
    QList<DbRow> rows;
    const DbResult r = db.exec("SELECT * FROM t;", {}, [&rows](const DbRow& row) { rows.append(row); });
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].values, QStringList({"", "", ""}));
    EXPECT_EQ(rows[1].values, QStringList({"x", "-12", ""}));
    EXPECT_EQ(rows[0].names, QStringList({"a", "b", "c"}));

    bool called = false;
    EXPECT_TRUE(db.exec("SELECT * FROM t WHERE a='none';", {}, [&called](const DbRow&) { called = true; }).ok());
    EXPECT_FALSE(called);
}

TEST(EncryptedDb, BoundTextsAreStoredAndMatchedExactly)
{
    const DbFile f = MakeDb("bound.db", "k3y", "CREATE TABLE t(a TEXT, n INTEGER);\n");
    EncryptedDb db(f);
    const QString tricky[] = {"O'Brien", "x' OR '1'='1", "'; DROP TABLE t; --", "50% \"quoted\" \\ _", "Grüße 中文"};
    for (const QString& t : tricky)
        ASSERT_TRUE(db.exec("INSERT INTO t VALUES (?, ?);", {t, 7}).ok()) << t.toStdString();

    for (const QString& t : tricky) {
        QStringList found;
        db.exec("SELECT a, n FROM t WHERE a=?;", {t},
                [&found](const DbRow& row) { found.append(row[0] + "|" + row[1]); });
        EXPECT_EQ(found, QStringList{t + "|7"});
    }
    int rows = 0;
    db.exec("SELECT * FROM t;", {}, [&rows](const DbRow&) { ++rows; });
    EXPECT_EQ(rows, 5);
}

TEST(EncryptedDb, WrongKeyFailsAtTheFirstStatement)
{
    const DbFile f = MakeDb("keyed.db", "Right_KEY01", "CREATE TABLE t(a);\nINSERT INTO t VALUES (1);\n");
    for (const QByteArray& key : {QByteArray("Wrong_KEY01"), QByteArray()}) {
        EncryptedDb db(f.path, key);
        EXPECT_TRUE(db.isOpen());
        const DbResult r = db.exec("SELECT * FROM t;");
        EXPECT_FALSE(r.ok());
        EXPECT_EQ(r.error, "file is encrypted or is not a database");
    }
    EncryptedDb good(f);
    EXPECT_TRUE(good.exec("SELECT * FROM t;").ok());
}

TEST(EncryptedDb, RefusesStatementsItCannotBindSafely)
{
    const DbFile f = MakeDb("misuse.db", "k3y", "CREATE TABLE t(a);\n");
    EncryptedDb db(f);
    struct Case {
        const char* sql;
        QList<DbValue> args;
    } cases[] = {
        {"INSERT INTO t VALUES (1); DELETE FROM t;", {}},
        {"INSERT INTO t VALUES (?);", {}},
        {"INSERT INTO t VALUES (?);", {1, 2}},
        {"SELEC nonsense", {}},
        {"", {}},
    };
    for (const Case& c : cases)
        EXPECT_FALSE(db.exec(c.sql, c.args).ok()) << c.sql;
    int rows = 0;
    db.exec("SELECT * FROM t;", {}, [&rows](const DbRow&) { ++rows; });
    EXPECT_EQ(rows, 0);
}
