#include "core/at/ReplySplit.h"

#include <gtest/gtest.h>

using namespace ulv;

TEST(SplitReplyLines, SplitsLinesAndFieldRows)
{
    struct Case {
        QString reply;
        QStringList lines;
        QList<QStringList> rows;
    } cases[] = {
        {"\r\n+CSQ: 20,99\r\n\r\nOK\r\n", {"+CSQ: 20,99", "OK"}, {{"+CSQ", "20", "99"}}},
        {"OK", {}, {}}, // no line feed: the line is not complete
        {"AT+CLCC\r\r\n+CLCC: 1,0,0,0,0,\"+46 70 123\",145\r\nOK\r\npartial",
            {"AT+CLCC", "+CLCC: 1,0,0,0,0,\"+46 70 123\",145", "OK"},
            {{"+CLCC", "1", "0", "0", "0", "0", "\"+4670123\"", "145"}}}, // blanks go, quotes stay
        {"+X: 1,\n", {"+X: 1,"}, {{"+X", "1", ""}}},                   // an empty last field is kept
        {"+X: ,,2\n", {"+X: ,,2"}, {{"+X", "2"}}},                     // empty inner fields are not
        {"+CCLK: \"26/12/10,13:15:11\"\n", {"+CCLK: \"26/12/10,13:15:11\""},
            {{"+CCLK", "\"26/12/10", "13", "15", "11\""}}}, // every ':' separates, also in quotes
        {":\n", {":"}, {{""}}},
        {"", {}, {}},
    };
    for (const auto& c : cases) {
        QStringList lines = {"stale"};
        QList<QStringList> rows = {{"stale"}};
        SplitReplyLines(c.reply, lines, rows);
        EXPECT_EQ(lines, c.lines) << c.reply.toStdString();
        EXPECT_EQ(rows, c.rows) << c.reply.toStdString();
    }
}

TEST(SplitString, AppendsTokensBetweenDelimiterRuns)
{
    struct Case {
        QString text;
        QString delimiters;
        QStringList tokens;
    } cases[] = {
        {"\r\nATI\r\nRX70B03\r\n\r\nOK\r\n", "\r\n", {"", "ATI", "RX70B03", "OK"}},
        {"a,b;;c", ",;", {"a", "b", "c"}},
        {"abc", ",", {"abc"}},
        {"abc,,,", ",", {"abc"}},
        {",", ",", {""}},
        {"", ",", {}},
    };
    for (const auto& c : cases) {
        QStringList tokens = {"kept"};
        SplitString(c.text, c.delimiters, tokens);
        EXPECT_EQ(tokens, QStringList{"kept"} + c.tokens) << c.text.toStdString();
    }
}
