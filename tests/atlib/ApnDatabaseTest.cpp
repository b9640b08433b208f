#include "atlib/core/ApnDatabase.h"
#include "atlib/core/DatabaseFiles.h"

#include "DbTestSupport.h"

#include <gtest/gtest.h>
#include <atomic>
#include <thread>

using namespace ulv;
using namespace ulv::test;

namespace {

const char kApnSchema[] =
    "CREATE TABLE APN (MCC TEXT, MNC TEXT, DialNo TEXT, APN TEXT, APNT INTEGER, UName TEXT, PSW TEXT,"
    " URL TEXT, Padd TEXT, Port TEXT, PName TEXT, GJ TEXT);\n";

QStringList Fields(const ApnRecord& r)
{
    return {r.mcc, r.mnc, r.dialNo, r.apn, r.apnType, r.user, r.password,
            r.url, r.proxy, r.port, r.profile, r.country};
}

QList<QStringList> List(const DbFile& db)
{
    QList<QStringList> out;
    for (const ApnRecord& r : LoadApnList(db))
        out.append(Fields(r));
    return out;
}

} // namespace

TEST(ApnDatabase, ShippedTableRecommendsTheTestNetworkOfTheSimulatedSim)
{
    ResetParamFolder(false);
    InstallShippedDatabases();
    const QString imsi = "001010123456789";
    const struct {
        QString mcc, mnc;
        int type;
        bool found;
        const char* apn;
        const char* user;
        const char* password;
    } cases[] = {
        {imsi.left(3), imsi.mid(3, 2), kApnTypeInternet, true, "internet.test", "benchuser", "bench01"},
        {"001", "01", kApnTypeMms, true, "mms.test", "", ""},
        {"460", "00", kApnTypeInternet, true, "CMNET", "", ""},
        {"460", "01", kApnTypeInternet, true, "UNINET", "", ""},
        {"999", "99", kApnTypeInternet, false, "", "", ""},
        {"001' OR '1'='1", "01", kApnTypeInternet, false, "", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mcc.toStdString() + "/" + c.mnc.toStdString());
        const RecommendedApn r = LookupRecommendedApn(ApnDbFile(), c.mcc, c.mnc, c.type);
        EXPECT_TRUE(r.opened);
        EXPECT_EQ(r.found, c.found);
        EXPECT_EQ(r.apn, c.apn);
        EXPECT_EQ(r.user, c.user);
        EXPECT_EQ(r.password, c.password);
    }
}

TEST(ApnDatabase, LookupTakesTheFirstTwelveColumnRowOnly)
{
    const DbFile db = MakeDb("lookup.db", "Tavrine_WOP", QString(kApnSchema) +
        "INSERT INTO APN VALUES ('001','01','*99#','first',0,'u1','p1','','','','','');\n"
        "INSERT INTO APN VALUES ('001','01','*99#','second',0,'u2','p2','','','','','');\n"
        "INSERT INTO APN VALUES ('001','01','*99#','wap','1','','','','','','','');\n");
    const RecommendedApn r = LookupRecommendedApn(db, "001", "01");
    EXPECT_TRUE(r.found);
    EXPECT_EQ(r.apn, "first");
    EXPECT_EQ(r.password, "p1");
    // A quoted '1' is stored as the integer the lookup asks for.
    EXPECT_EQ(LookupRecommendedApn(db, "001", "01", kApnTypeMms).apn, "wap");

    const DbFile narrow = MakeDb("narrow.db", "Tavrine_WOP",
        "CREATE TABLE APN (MCC, MNC, DialNo, APN, APNT, UName, PSW, URL);\n"
        "INSERT INTO APN VALUES ('001','01','*99#','eight',0,'u','p','');\n");
    const RecommendedApn n = LookupRecommendedApn(narrow, "001", "01");
    EXPECT_TRUE(n.opened);
    EXPECT_FALSE(n.found);
    EXPECT_TRUE(LoadApnList(narrow).empty());
}

TEST(ApnDatabase, RowsAreAddedModifiedAndDeletedByAllTwelveValues)
{
    const DbFile db = MakeDb("edit.db", "Tavrine_WOP", QString(kApnSchema) +
        "INSERT INTO APN VALUES ('262','01','*99#','twin',0,'','','','','','','');\n"
        "INSERT INTO APN VALUES ('262','01','*99#','twin',0,'','','','','','','');\n"
        "INSERT INTO APN VALUES ('262','02',NULL,'nulls',NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL);\n"
        "INSERT INTO APN VALUES ('262','03','*99#','odd type',7,'','','','','','','');\n");
    ASSERT_EQ(List(db).size(), 4);
    EXPECT_EQ(List(db)[2], QStringList({"262", "02", "", "nulls", "", "", "", "", "", "", "", ""}));

    const ApnRecord quoted = {"001", "01", "*99#", "it's.apn", "-1", "O'Brien", "pa'ss", "http://x/'y'",
                              "10.0.0.1", "80", "Bob's profile", "Côte d'Ivoire"};
    EXPECT_EQ(AddApn(db, quoted), DbWrite::Ok);
    EXPECT_EQ(List(db).last(), Fields(quoted));
    EXPECT_EQ(Rows(db, "SELECT typeof(APNT) FROM APN WHERE MCC='001';"), QList<QStringList>{{"integer"}});

    ApnRecord changed = quoted;
    changed.apnType = "1";
    changed.password = "new'pass";
    EXPECT_EQ(ModifyApn(db, quoted, changed), DbWrite::Ok);
    EXPECT_EQ(List(db).last(), Fields(changed));

    // Rows read with NULLs and with a type other than 0 and 1 can still be edited.
    const std::vector<ApnRecord> rows = LoadApnList(db);
    ApnRecord nullsFixed = rows[2];
    nullsFixed.dialNo = "*99#";
    EXPECT_EQ(ModifyApn(db, rows[2], nullsFixed), DbWrite::Ok);
    EXPECT_EQ(LoadApnList(db)[2].dialNo, "*99#");
    EXPECT_EQ(DeleteApn(db, rows[3]), DbWrite::Ok);

    // Identical rows go together.
    EXPECT_EQ(DeleteApn(db, rows[0]), DbWrite::Ok);
    EXPECT_EQ(DeleteApn(db, changed), DbWrite::Ok);
    const QList<QStringList> left = List(db);
    ASSERT_EQ(left.size(), 1);
    EXPECT_EQ(left[0][3], "nulls");

    // A row that matches nothing deletes nothing.
    EXPECT_EQ(DeleteApn(db, quoted), DbWrite::Ok);
    EXPECT_EQ(List(db).size(), 1);
}

TEST(ApnDatabase, UsedApnFillsAllTwelveColumnsOrUpdatesItsRow)
{
    const DbFile db = MakeDb("used.db", "Tavrine_WOP", QString(kApnSchema) +
        "INSERT INTO APN VALUES ('001','01','*99#','known',0,'old','old','','','','','');\n");
    EXPECT_EQ(StoreUsedApn(db, "001", "02", "it's new", "u'1", "p"), DbWrite::Ok);
    EXPECT_EQ(List(db).last(), QStringList({"001", "02", "*99#", "it's new", "0", "u'1", "p", "", "", "", "", ""}));
    // The new row is one the page's lookup finds.
    EXPECT_EQ(LookupRecommendedApn(db, "001", "02").apn, "it's new");
    EXPECT_EQ(StoreUsedApn(db, "001", "01", "known", "new", "secret"), DbWrite::Ok);
    EXPECT_EQ(List(db).first(), QStringList({"001", "01", "*99#", "known", "0", "new", "secret", "", "", "", "", ""}));
    EXPECT_EQ(StoreUsedApn(db, "001", "01", "", "x", "y"), DbWrite::Ok);
    EXPECT_EQ(List(db).size(), 2);
}

TEST(ApnDatabase, UnopenableTableLeavesTheCallerUntouched)
{
    ResetParamFolder(false);
    const DbFile db = ApnDbFile();
    const ApnRecord row = {"001", "01", "*99#", "a", "0", "", "", "", "", "", "", ""};
    const std::function<bool()> calls[] = {
        [&] { return LoadApnList(db).empty(); },
        [&] { return AddApn(db, row) == DbWrite::OpenFailed; },
        [&] { return DeleteApn(db, row) == DbWrite::OpenFailed; },
        [&] { return ModifyApn(db, {}, {}) == DbWrite::OpenFailed; },
        [&] {
            const RecommendedApn r = LookupRecommendedApn(db, "001", "01");
            return !r.opened && !r.found && r.apn.isEmpty();
        },
    };
    int n = 0;
    for (const auto& call : calls) {
        ClearTempLog();
        EXPECT_TRUE(call()) << "call " << n;
        EXPECT_EQ(TempLogLines().size(), 1) << "call " << n;
        ++n;
    }
}

TEST(ApnDatabase, LookupOnAWorkerThreadWaitsOutWritesOfTheUiThread)
{
    const DbFile db = MakeDb("busy.db", "Tavrine_WOP", QString(kApnSchema) +
        "INSERT INTO APN VALUES ('001','01','*99#','internet.test',0,'u','p','','','','','');\n");
    std::atomic<bool> stop = false;
    std::atomic<int> lookups = 0, misses = 0;
    std::thread worker([&] {
        while (!stop) {
            const RecommendedApn r = LookupRecommendedApn(db, "001", "01");
            if (!r.found || r.apn != "internet.test")
                ++misses;
            ++lookups;
        }
    });
    ApnRecord row = {"262", "01", "*99#", "x", "0", "", "", "", "", "", "", ""};
    int failedWrites = 0;
    for (int i = 0; i < 5; ++i) {
        failedWrites += AddApn(db, row) != DbWrite::Ok;
        failedWrites += DeleteApn(db, row) != DbWrite::Ok;
    }
    while (lookups < 3)
        std::this_thread::yield();
    stop = true;
    worker.join();
    EXPECT_EQ(failedWrites, 0);
    EXPECT_EQ(misses, 0);
}
