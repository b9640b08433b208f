#include "core/at/LineAssembler.h"

#include <QList>
#include <gtest/gtest.h>

using ulv::LineAssembler;

namespace {
QList<QByteArray> Feed(LineAssembler& a, const QList<QByteArray>& chunks)
{
    QList<QByteArray> lines;
    for (const QByteArray& c : chunks)
        a.Feed(c, [&](const QByteArray& l) { lines << l; });
    return lines;
}
} // namespace

TEST(LineAssembler, LinesEndAtCrLfWhereverTheChunksSplit)
{
    struct Case {
        const char* what;
        QList<QByteArray> chunks;
        QList<QByteArray> lines;
        QByteArray pending;
    } cases[] = {
        {"one chunk", {"OK\r\n"}, {"OK"}, ""},
        {"split word", {"O", "K\r\n"}, {"OK"}, ""},
        {"CR | LF", {"OK\r", "\nRING\r\n"}, {"OK", "RING"}, ""},
        {"empty lines", {"\r\n\r\nOK\r\n"}, {"", "", "OK"}, ""},
        {"unfinished", {"\r\n+CMTI: \"SM\",3"}, {""}, "+CMTI: \"SM\",3"},
        {"lone CR stays", {"a\rb\r\n"}, {"a\rb"}, ""},
        {"NUL shows as blank", {QByteArray("A\0B\r\n", 5)}, {"A B"}, ""},
    };
    for (const Case& c : cases) {
        LineAssembler a;
        EXPECT_EQ(Feed(a, c.chunks), c.lines) << c.what;
        EXPECT_EQ(a.Pending(), c.pending) << c.what;
    }
}

TEST(LineAssembler, AnOverlongLineIsHandedOnWholeNotOverwritten)
{
    LineAssembler a;
    QByteArray big(LineAssembler::kMaxLine + 100, 'x');
    big[0] = 'S';
    const QList<QByteArray> lines = Feed(a, {big, "tail\r\n"});
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0].size(), LineAssembler::kMaxLine);
    EXPECT_EQ(lines[0][0], 'S');
    EXPECT_EQ(lines[0] + lines[1], big + "tail");
}

#include "core/at/ReceiveBuffers.h"

TEST(ReceiveBuffers, UntakenTextKeepsTheNewestUpToTheLimit)
{
    ulv::ReceiveBuffers buffers;
    const QString piece(1024 * 1024, 'a');
    for (int i = 0; i < 5; ++i)
        buffers.AppendReceivedText(piece);
    buffers.AppendReceivedText("\r\nOK\r\n");
    const QString kept = buffers.TakeReceivedText();
    EXPECT_LE(kept.size(), ulv::ReceiveBuffers::kTextLimit);
    EXPECT_TRUE(kept.endsWith("a\r\nOK\r\n"));
    EXPECT_TRUE(buffers.TakeReceivedText().isEmpty());

    buffers.AppendReceivedHex(QString(2040, 'A'));
    buffers.AppendReceivedHex("0D0A4F4B0D");
    EXPECT_TRUE(buffers.TakeReceivedHex().isEmpty()) << "past 2048 the hex buffer starts over";
}
