#include "atlib/core/AtcDatabase.h"
#include "atlib/core/AtcImport.h"

#include "DbTestSupport.h"

#include <gtest/gtest.h>

using namespace ulv;
using namespace ulv::test;

namespace {

// A small library: two classifications share a name, one has a leading zero,
// one command is filed under an index that has no classification.
DbFile MakeLibrary()
{
    return MakeDb("library.db", "Tavrine_KEX", AtcSchemaSql() +
        "INSERT INTO ATCCLASS VALUES (1, 'General');\n"
        "INSERT INTO ATCCLASS VALUES (2, 'SMS commands');\n"
        "INSERT INTO ATCCLASS VALUES (3, 'Other SMS');\n"
        "INSERT INTO ATCCLASS VALUES (4, 'Twin');\n"
        "INSERT INTO ATCCLASS VALUES (5, 'Twin');\n"
        "INSERT INTO ATCCLASS VALUES ('07', 'Padded');\n"
        "INSERT INTO ATC VALUES ('AT+CMGS', 2, 'AT+CMGS=<da>', 'Sends a message');\n"
        "INSERT INTO ATC VALUES ('ATI', 1, 'ATI', 'Identification');\n"
        "INSERT INTO ATC VALUES ('AT+CMGF', 2, 'AT+CMGF=<mode>', 'Message format');\n"
        "INSERT INTO ATC VALUES ('AT+CSQ', 1, 'AT+CSQ', 'Signal quality');\n"
        "INSERT INTO ATC VALUES ('AT+CSCA', 3, NULL, NULL);\n"
        "INSERT INTO ATC VALUES ('AT+ORPHAN', 42, 'x', 'y');\n");
}

QStringList Names(const std::vector<AtCommand>& v)
{
    QStringList out;
    for (const AtCommand& c : v)
        out.append(c.atc);
    return out;
}

AtCommand Find(const DbFile& db, const QString& atc)
{
    for (const AtCommand& c : LoadAtCommands(db)) {
        if (c.atc == atc)
            return c;
    }
    return {};
}

} // namespace

TEST(AtcDatabase, ListsJoinClassificationsAndHideOrphans)
{
    const DbFile db = MakeLibrary();
    const std::vector<AtcClass> classes = LoadAtcClasses(db);
    ASSERT_EQ(classes.size(), 6u);
    EXPECT_EQ(classes[1].index, "2");
    EXPECT_EQ(classes[1].name, "SMS commands");
    EXPECT_EQ(classes[5].index, "7");

    const std::vector<AtCommand> all = LoadAtCommands(db);
    EXPECT_FALSE(Names(all).contains("AT+ORPHAN"));
    const AtCommand csca = Find(db, "AT+CSCA");
    EXPECT_EQ(csca.className, "Other SMS");
    EXPECT_EQ(csca.refer, "");
    EXPECT_EQ(csca.func, "");

    const std::vector<AtcClassCommands> tree = LoadAtcTree(db);
    ASSERT_EQ(tree.size(), 6u);
    EXPECT_EQ(tree[0].name, "General");
    EXPECT_EQ(tree[0].commands, QStringList({"ATI", "AT+CSQ"}));
    EXPECT_EQ(tree[1].commands, QStringList({"AT+CMGS", "AT+CMGF"}));
    EXPECT_TRUE(tree[5].commands.isEmpty());
}

TEST(AtcDatabase, SearchesWithLikeRulesInLibraryOrder)
{
    const DbFile db = MakeLibrary();
    const struct {
        const char* text;
        QStringList expected;
    } cases[] = {
        {"CSQ", {"AT+CSQ"}},
        {"at+cm", {"AT+CMGF", "AT+CMGS"}},        // case ignored, ordered by type then command
        {"+C", {"AT+CSQ", "AT+CMGF", "AT+CMGS", "AT+CSCA"}},
        {"CM_F", {"AT+CMGF"}},                     // _ stays a wildcard
        {"AT+CSQ' OR '1'='1", {}},                 // no statement to break
        {"nothing", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Names(SearchAtCommands(db, c.text)), c.expected) << c.text;

    EXPECT_EQ(Names(AtCommandsStartingWith(db, "AT+CM")).size(), 2);
    EXPECT_TRUE(AtCommandsStartingWith(db, "CM").empty());
    const std::vector<AtCommand> one = SearchAtCommands(db, "CMGS");
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].className, "SMS commands");
    EXPECT_EQ(one[0].refer, "AT+CMGS=<da>");
    EXPECT_EQ(one[0].func, "Sends a message");
}

TEST(AtcDatabase, AddModifyDeleteCommands)
{
    const DbFile db = MakeLibrary();
    const AtCommand quoted = {"AT+QUOTE='x'", "General", "it's \"quoted\"\r\nline two", "O'Brien's test"};
    const struct {
        AtCommand command;
        DbWrite expected;
    } adds[] = {
        {quoted, DbWrite::Ok},
        {{"AT+NEW", "No such class", "", ""}, DbWrite::NoClass},
        {{"AT+CSQ", "General", "again", "again"}, DbWrite::Failed},   // the command text is its identity
        {{"AT+TWIN", "Twin", "", ""}, DbWrite::Ok},
        {{"AT+PAD", "Padded", "", ""}, DbWrite::Ok},
    };
    for (const auto& a : adds)
        EXPECT_EQ(AddAtCommand(db, a.command), a.expected) << a.command.atc.toStdString();

    const AtCommand stored = Find(db, quoted.atc);
    EXPECT_EQ(stored.atc, quoted.atc);
    EXPECT_EQ(stored.refer, quoted.refer);
    EXPECT_EQ(stored.func, quoted.func);
    EXPECT_EQ(Find(db, "AT+CSQ").func, "Signal quality");
    // The last of two classifications with one name takes the command.
    EXPECT_EQ(Rows(db, "SELECT type FROM ATC WHERE atc='AT+TWIN';"), QList<QStringList>{{"5"}});
    // An index typed with a leading zero still holds its commands.
    EXPECT_EQ(Find(db, "AT+PAD").className, "Padded");

    EXPECT_EQ(ModifyAtCommand(db, {quoted.atc, "Other SMS", "new 'ref'", "new func"}), DbWrite::Ok);
    const AtCommand moved = Find(db, quoted.atc);
    EXPECT_EQ(moved.className, "Other SMS");
    EXPECT_EQ(moved.refer, "new 'ref'");
    EXPECT_EQ(ModifyAtCommand(db, {quoted.atc, "", "r", "f"}), DbWrite::NoClass);
    EXPECT_EQ(Find(db, quoted.atc).refer, "new 'ref'");

    EXPECT_EQ(DeleteAtCommand(db, quoted.atc), DbWrite::Ok);
    EXPECT_TRUE(Find(db, quoted.atc).atc.isEmpty());
    EXPECT_EQ(DeleteAtCommand(db, "AT+NEVER"), DbWrite::Ok);
    EXPECT_EQ(LoadAtCommands(db).size(), 7u);
}

TEST(AtcDatabase, ClassificationsAreAddedRenamedAndDeleted)
{
    const DbFile db = MakeLibrary();
    EXPECT_EQ(AddAtcClass(db, "9", "Bob's class"), DbWrite::Ok);
    EXPECT_EQ(AddAtcClass(db, "9", "Again"), DbWrite::Failed);
    EXPECT_EQ(AddAtCommand(db, {"AT+NINE", "Bob's class", "r", "f"}), DbWrite::Ok);

    EXPECT_EQ(RenameAtcClass(db, "9", "Renamed 'nine'"), DbWrite::Ok);
    EXPECT_EQ(Find(db, "AT+NINE").className, "Renamed 'nine'");

    EXPECT_EQ(DeleteAtcClass(db, "9"), DbWrite::Ok);
    EXPECT_TRUE(Find(db, "AT+NINE").atc.isEmpty());
    EXPECT_EQ(Rows(db, "SELECT atc FROM ATC WHERE type=9;"), QList<QStringList>{{"AT+NINE"}});
    // Adding the index again brings its commands back.
    EXPECT_EQ(AddAtcClass(db, "9", "Back"), DbWrite::Ok);
    EXPECT_EQ(Find(db, "AT+NINE").className, "Back");
}

TEST(AtcImport, AppendsRowsUnderTheLastClassificationContainingTheText)
{
    const DbFile db = MakeLibrary();
    {
        AtcImport import(db);
        ASSERT_TRUE(import.isOpen());
        EXPECT_EQ(import.addRow("sms", "AT+CNMI", "AT+CNMI=<mode>,<mt>", "New message indications"), 0);
        EXPECT_EQ(import.addRow("general", "AT+GMR", "it's kept", "Revision"), 0);
        EXPECT_EQ(import.addRow("Classification", "AT command", "Parameter reference", "Function"), 0);
        EXPECT_NE(import.addRow("General", "AT+CSQ", "dup", "dup"), 0);
        EXPECT_EQ(import.addRow("%", "AT+WILD", "", ""), 0);
    }
    EXPECT_EQ(Find(db, "AT+CNMI").className, "Other SMS");
    EXPECT_EQ(Find(db, "AT+GMR").refer, "it's kept");
    // A row whose classification matches nothing is kept with an empty type and stays unlisted.
    EXPECT_EQ(Rows(db, "SELECT type FROM ATC WHERE atc='AT command';"), QList<QStringList>{{""}});
    EXPECT_TRUE(Find(db, "AT command").atc.isEmpty());
    EXPECT_EQ(Find(db, "AT+CSQ").func, "Signal quality");
    EXPECT_EQ(Find(db, "AT+WILD").className, "Padded");
}

TEST(AtcDatabase, UnopenableLibraryGivesEmptyResultsAndOneLogLineEach)
{
    ResetParamFolder(false);
    const DbFile db = {QStringLiteral(ULV_SOURCE_DIR) + "/no/such/folder/ATC.db", "Tavrine_KEX"};
    const std::function<bool()> calls[] = {
        [&] { return LoadAtcClasses(db).empty(); },
        [&] { return LoadAtCommands(db).empty(); },
        [&] { return LoadAtcTree(db).empty(); },
        [&] { return SearchAtCommands(db, "AT").empty(); },
        [&] { return AtCommandsStartingWith(db, "AT").empty(); },
        [&] { return AddAtCommand(db, {"AT+X", "General", "", ""}) == DbWrite::OpenFailed; },
        [&] { return ModifyAtCommand(db, {"AT+X", "General", "", ""}) == DbWrite::OpenFailed; },
        [&] { return DeleteAtCommand(db, "AT+X") == DbWrite::OpenFailed; },
        [&] { return AddAtcClass(db, "1", "x") == DbWrite::OpenFailed; },
        [&] { return RenameAtcClass(db, "1", "x") == DbWrite::OpenFailed; },
        [&] { return DeleteAtcClass(db, "1") == DbWrite::OpenFailed; },
        [&] {
            AtcImport import(db);
            return !import.isOpen() && import.addRow("General", "AT+X", "", "") != 0;
        },
    };
    int n = 0;
    for (const auto& call : calls) {
        ClearTempLog();
        EXPECT_TRUE(call()) << "call " << n;
        const QStringList lines = TempLogLines();
        ASSERT_EQ(lines.size(), 1) << "call " << n;
        EXPECT_TRUE(lines[0].contains("Can't open database: unable to open database file")) << lines[0].toStdString();
        ++n;
    }
}
