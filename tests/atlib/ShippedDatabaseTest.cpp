#include "atlib/core/AtcDatabase.h"
#include "atlib/core/DatabaseFiles.h"

#include "DbTestSupport.h"
#include "platform/DataFolder.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace ulv;
using namespace ulv::test;

namespace {

struct Shipped {
    const char* file;
    const char* key;
    const char* table;
};

const Shipped kShipped[] = {
    {"ATC.db", "Tavrine_KEX", "ATC"},
    {"ATC.db", "Tavrine_KEX", "ATCCLASS"},
    {"ATC_RX70.db", "Tavrine_KEX", "ATC"},
    {"ATC_RX70.db", "Tavrine_KEX", "ATCCLASS"},
    {"APN.db", "Tavrine_WOP", "APN"},
};

QString Installed(const char* file)
{
    return DataFolder() + "/param/" + file;
}

class ShippedDatabases : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetParamFolder(false);
        ASSERT_EQ(InstallShippedDatabases().size(), 3);
    }
};

} // namespace

TEST(InstallShippedDatabases, CopiesOnlyMissingFilesAndLeavesOthersAlone)
{
    const QString param = ResetParamFolder();
    {
        QFile mine(param + "/ATC.db");
        ASSERT_TRUE(mine.open(QIODevice::WriteOnly));
        mine.write("the user's own library");
    }
    QStringList failures;
    const QStringList written = InstallShippedDatabases(&failures);
    EXPECT_EQ(written, QStringList({param + "/ATC_RX70.db", param + "/APN.db"}));
    EXPECT_TRUE(failures.isEmpty());

    QFile mine(param + "/ATC.db");
    ASSERT_TRUE(mine.open(QIODevice::ReadOnly));
    EXPECT_EQ(mine.readAll(), "the user's own library");

    for (const QString& path : written) {
        EXPECT_TRUE(QFileInfo(path).permissions() & QFile::WriteOwner) << path.toStdString();
        QFile copy(path), source(ShippedDatabaseResource(QFileInfo(path).fileName()));
        ASSERT_TRUE(copy.open(QIODevice::ReadOnly) && source.open(QIODevice::ReadOnly));
        EXPECT_EQ(copy.readAll(), source.readAll());
    }
    EXPECT_TRUE(InstallShippedDatabases().isEmpty());
}

TEST(InstallShippedDatabases, CreatesTheParamFolder)
{
    ResetParamFolder(false);
    EXPECT_EQ(InstallShippedDatabases().size(), 3);
    EXPECT_TRUE(QFileInfo(AtcDbFile(0).path).isFile());
    EXPECT_TRUE(QFileInfo(AtcDbFile(1).path).isFile());
    EXPECT_TRUE(QFileInfo(ApnDbFile().path).isFile());
}

TEST_F(ShippedDatabases, OpenWithTheirKeysThroughTheLayerAndTheShell)
{
    for (const Shipped& s : kShipped) {
        SCOPED_TRACE(std::string(s.file) + " " + s.table);
        const QString count = QStringLiteral("SELECT count(*) FROM %1;").arg(s.table);

        const QList<QStringList> rows = Rows({Installed(s.file), s.key}, count);
        ASSERT_EQ(rows.size(), 1);
        EXPECT_GT(rows[0][0].toInt(), 0);

        const ProcessResult keyed = RunSqlcipher(Installed(s.file),
                                                 QStringLiteral("PRAGMA key='%1';\n").arg(s.key) + count + "\n");
        EXPECT_EQ(keyed.exitCode, 0) << keyed.err.toStdString();
        EXPECT_EQ(keyed.out.trimmed(), rows[0][0]);
    }
}

TEST_F(ShippedDatabases, WithoutTheKeyNeitherLayerNorShellReadsThem)
{
    for (const Shipped& s : kShipped) {
        SCOPED_TRACE(s.file);
        const ProcessResult plain = RunSqlcipher(Installed(s.file), QStringLiteral("SELECT count(*) FROM %1;\n").arg(s.table));
        EXPECT_NE(plain.exitCode, 0);
        EXPECT_TRUE(plain.err.contains("file is encrypted or is not a database")) << plain.err.toStdString();

        // The other database's key is as wrong as none.
        const QByteArray otherKey = QByteArray(s.key) == kAtcDbKey ? kApnDbKey : kAtcDbKey;
        for (const QByteArray& key : {QByteArray(), otherKey}) {
            EncryptedDb db(Installed(s.file), key);
            const DbResult r = db.exec(QStringLiteral("SELECT count(*) FROM %1;").arg(s.table));
            EXPECT_EQ(r.error, "file is encrypted or is not a database");
        }
    }
}

TEST_F(ShippedDatabases, EveryCommandIsFiledDescribedAndUsesCrLf)
{
    for (int moduleType : {0, 1}) {
        SCOPED_TRACE(moduleType);
        const DbFile db = AtcDbFile(moduleType);
        const QList<QStringList> all = Rows(db, "SELECT atc, type, refer, func FROM ATC;");
        const std::vector<AtCommand> joined = LoadAtCommands(db);
        EXPECT_EQ(joined.size(), size_t(all.size())) << "commands without a classification";
        for (const QStringList& row : all) {
            SCOPED_TRACE(row[0].toStdString());
            EXPECT_TRUE(row[0].startsWith("AT", Qt::CaseInsensitive) || row[0] == "A/");
            EXPECT_FALSE(row[2].trimmed().isEmpty());
            EXPECT_FALSE(row[3].trimmed().isEmpty());
            for (const QString& text : {row[2], row[3]}) {
                EXPECT_EQ(text.count('\n'), text.count("\r\n"));
                EXPECT_EQ(text, text.trimmed());
            }
        }
        // Indexes are plain decimals.
        for (const AtcClass& c : LoadAtcClasses(db))
            EXPECT_EQ(QString::number(c.index.toInt()), c.index);
    }
}

TEST_F(ShippedDatabases, HoldEveryCommandTheProgramSends)
{
    const QStringList both = {
        "AT", "ATE", "ATV", "ATI", "ATA", "ATD", "ATH", "ATO", "AT&W", "AT+IPR", "AT+CMEE", "AT+GSN",
        "AT+CPIN", "AT+CIMI", "AT+CSQ", "AT+CREG", "AT+CGREG", "AT+COPS", "AT+CLCC", "AT+CMUT", "AT+CLVL",
        "AT+CALM", "AT+CMGF", "AT+CSCS", "AT+CSDH", "AT+CSMP", "AT+CPMS", "AT+CMGR", "AT+CMGL", "AT+CMGD",
        "AT+CMGS", "AT+CMGW", "AT+CSCA", "AT+CGDCONT", "AT+JCCID", "AT+JMIC", "AT+JSIDET", "AT+JINISTAT",
        "AT+JICSGP", "AT+JIACT", "AT+JIDEACT", "AT+JIOPEN", "AT+JISEND", "AT+JICLOSE", "AT+JCELLLOC",
    };
    const QStringList gsm = {"AT+JAUDCH", "AT+JIMODE", "AT+JIREGAPP", "AT+JILOCIP", "AT+JIHEAD",
                             "AT+JIDNSIP", "AT+JISACK", "AT+JIFGCNT"};
    const QStringList umts = {"AT+JURCCFG", "AT+JAUDPATH", "AT+JDAI", "AT+JAUDMOD", "AT+JDAC", "AT+JMGDA",
                              "AT+JIRD", "AT+JGPS", "AT+JGPSEND", "AT+JGPSLOC", "AT+JMMSCFG", "AT+JMMSEDIT",
                              "AT+JMMSEND", "AT+JFUPL", "AT+JFDEL"};
    const struct {
        int moduleType;
        QStringList wanted;
    } libraries[] = {{0, both + gsm}, {1, both + umts}};
    for (const auto& lib : libraries) {
        QStringList have;
        for (const AtCommand& c : LoadAtCommands(AtcDbFile(lib.moduleType)))
            have.append(c.atc);
        for (const QString& cmd : lib.wanted)
            EXPECT_TRUE(have.contains(cmd)) << cmd.toStdString() << " missing from library " << lib.moduleType;
    }
}

TEST_F(ShippedDatabases, ProbeDumpsATableAsJsonLines)
{
    const ProcessResult r = RunProbe({"db-dump", Installed("APN.db"), "Tavrine_WOP", "APN"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    const QStringList columns = {"MCC", "MNC", "DialNo", "APN", "APNT", "UName", "PSW", "URL", "Padd", "Port",
                                 "PName", "GJ"};
    bool sawTestNetwork = false;
    for (const QString& line : lines) {
        QJsonParseError err;
        const QJsonObject o = QJsonDocument::fromJson(line.toUtf8(), &err).object();
        ASSERT_EQ(err.error, QJsonParseError::NoError) << line.toStdString();
        EXPECT_EQ(o.keys().size(), columns.size());
        for (const QString& c : columns)
            EXPECT_TRUE(o.value(c).isString()) << c.toStdString();
        if (o["MCC"] == "001" && o["MNC"] == "01" && o["APNT"] == "0")
            sawTestNetwork = true;
    }
    EXPECT_TRUE(sawTestNetwork);
    // Columns come in table order.
    EXPECT_TRUE(lines[0].startsWith("{\"MCC\":")) << lines[0].toStdString();

    const struct {
        QStringList args;
        const char* error;
    } bad[] = {
        {{"db-dump", Installed("APN.db"), "Tavrine_KEX", "APN"}, "file is encrypted or is not a database"},
        {{"db-dump", Installed("APN.db"), "Tavrine_WOP", "NoSuchTable"}, "no such table"},
        {{"db-dump", Installed("APN.db"), "Tavrine_WOP", "APN\" ; DROP TABLE APN; --"}, "no such table"},
        {{"db-dump", Installed("missing.db"), "Tavrine_WOP", "APN"}, "no such database file"},
        {{"db-dump", Installed("APN.db")}, "usage"},
    };
    for (const auto& b : bad) {
        const ProcessResult e = RunProbe(b.args);
        EXPECT_EQ(e.exitCode, 2) << b.args.join(' ').toStdString();
        EXPECT_TRUE(e.err.contains(b.error)) << e.err.toStdString();
        EXPECT_TRUE(e.out.isEmpty());
    }
    EXPECT_EQ(RunProbe({"db-dump", Installed("APN.db"), "Tavrine_WOP", "APN"}).out, r.out);
}
