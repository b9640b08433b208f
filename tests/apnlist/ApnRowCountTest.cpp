#include "atlib/core/ApnDatabase.h"

#include "DbTestSupport.h"

#include <functional>
#include <gtest/gtest.h>

using namespace ulv;
using namespace ulv::test;

// The list dialog tells a write that reached no row from a success by these counts.
TEST(ApnRowCount, WritesReportTheRowsTheyReached)
{
    const DbFile db = MakeDb("count.db", "Tavrine_WOP",
        "CREATE TABLE APN (MCC TEXT, MNC TEXT, DialNo TEXT, APN TEXT, APNT INTEGER, UName TEXT, PSW TEXT,"
        " URL TEXT, Padd TEXT, Port TEXT, PName TEXT, GJ TEXT);\n"
        "INSERT INTO APN VALUES ('310','260','*99#','twin',0,'','','','','','','');\n"
        "INSERT INTO APN VALUES ('310','260','*99#','twin',0,'','','','','','','');\n"
        "INSERT INTO APN VALUES ('208','10','*99#','odd',7,'','','','','','','');\n");
    const ApnRecord twin = {"310", "260", "*99#", "twin", "0", "", "", "", "", "", "", ""};
    const ApnRecord odd = {"208", "10", "*99#", "odd", "7", "", "", "", "", "", "", ""};
    ApnRecord oddAsShown = odd;
    oddAsShown.apnType = "-1";
    ApnRecord renamed = twin;
    renamed.apn = "renamed";

    const struct {
        const char* what;
        std::function<DbWrite(int*)> write;
        int rows;
    } cases[] = {
        {"modify twins", [&](int* n) { return ModifyApn(db, twin, renamed, n); }, 2},
        {"modify again", [&](int* n) { return ModifyApn(db, twin, renamed, n); }, 0},
        {"other type", [&](int* n) { return DeleteApn(db, oddAsShown, n); }, 0},
        {"stored type", [&](int* n) { return DeleteApn(db, odd, n); }, 1},
        {"delete twins", [&](int* n) { return DeleteApn(db, renamed, n); }, 2},
        {"delete again", [&](int* n) { return DeleteApn(db, renamed, n); }, 0},
    };
    for (const auto& c : cases) {
        int rows = -1;
        EXPECT_EQ(c.write(&rows), DbWrite::Ok) << c.what;
        EXPECT_EQ(rows, c.rows) << c.what;
    }

    // A read right after a write reports no change of its own.
    ASSERT_EQ(AddApn(db, twin), DbWrite::Ok);
    EncryptedDb conn(db);
    EXPECT_EQ(conn.exec("UPDATE APN SET PSW='x';").changes, 1);
    EXPECT_EQ(conn.exec("SELECT * FROM APN;").changes, 0);

    // A failed statement reaches nothing.
    int rows = -1;
    EXPECT_EQ(DeleteApn({db.path, "Wrong_KEY00"}, twin, &rows), DbWrite::Failed);
    EXPECT_EQ(rows, 0);
}
