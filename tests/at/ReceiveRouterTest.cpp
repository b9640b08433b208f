#include "core/at/ReceiveRouter.h"

#include <QStringList>
#include <gtest/gtest.h>

using ulv::ReceiveRouter;
using Page = ReceiveRouter::Page;

namespace {

struct Recorder {
    QStringList notes;
    QList<int> queued;
    QList<QByteArray> data;
    int deactivated = 0, closed = 0, lineEnds = 0;
    bool echo = false;

    ReceiveRouter Make()
    {
        return ReceiveRouter({
            [this](const QString& n) { notes << n; },
            [this](int i) { queued << i; },
            [this](const QByteArray& d) { data << d; },
            [this] { ++deactivated; },
            [this] { ++closed; },
            [this] { ++lineEnds; },
            [this] { return echo; },
        });
    }
};

} // namespace

TEST(ReceiveRouter, SmsPageQueuesEveryNewMessageInOrder)
{
    Recorder r;
    ReceiveRouter router = r.Make();
    router.Dispatch(Page::Sms, 1, "\r\n+CMTI: \"SM\",5\r\n");
    ASSERT_EQ(r.queued, QList<int>({5}));
    EXPECT_EQ(r.notes.value(0), "/* New message arrived, saved in SIM storage and index number is 5 (if module can't "
                                "receive messages, you may check the storage is full or not)*/");
    router.Dispatch(Page::Sms, 1, "\r\n+CMTI: \"SM\",6\r\n\r\n+CMTI: \"SM\",7\r\n");
    EXPECT_EQ(r.queued, QList<int>({5, 6, 7}));
    EXPECT_TRUE(router.Gathered().isEmpty());
}

TEST(ReceiveRouter, SmsPageWaitsForTheReadResultAfterTheEcho)
{
    Recorder r;
    ReceiveRouter router = r.Make();
    router.Dispatch(Page::Sms, 0, "AT+CMGR=1\r\n");
    EXPECT_EQ(router.Gathered(), "AT+CMGR=1\r\n");
    router.Dispatch(Page::Sms, 0, "+CMTI: \"SM\",2");
    EXPECT_TRUE(r.queued.isEmpty()) << "nothing is judged before a line end";
    router.Dispatch(Page::Sms, 0, "\r\n+CMGR: \"REC UNREAD\"\r\n");
    EXPECT_EQ(r.queued, QList<int>({2}));
}

TEST(ReceiveRouter, UmtsSocketDataDeliversExactlyTheAnnouncedBytes)
{
    Recorder r;
    ReceiveRouter router = r.Make();
    router.Dispatch(Page::TcpUdp, 1, "\r\n+JIRD: 10\r\nhello");
    EXPECT_TRUE(r.data.isEmpty()) << "10 announced, 5 came: wait";
    router.Dispatch(Page::TcpUdp, 1, "world\r\nOK\r\n");
    EXPECT_EQ(r.data, QList<QByteArray>({"helloworld"}));
    EXPECT_TRUE(router.Gathered().isEmpty());

    router.Dispatch(Page::TcpUdp, 1, "\r\n+JIURC: \"PDPdeact\",0\r\n");
    EXPECT_EQ(r.deactivated, 1);
    router.Dispatch(Page::TcpUdp, 1, "\r\nClosed\r\n");
    EXPECT_EQ(r.closed, 1);
}

TEST(ReceiveRouter, GsmIpdDeliversOnlyTheAnnouncedLength)
{
    Recorder r;
    ReceiveRouter router = r.Make();
    router.Dispatch(Page::TcpUdp, 0, "\r\n+IPD5:ab");
    EXPECT_TRUE(r.data.isEmpty());
    router.Dispatch(Page::TcpUdp, 0, "cde\r\nOK\r\n");
    EXPECT_EQ(r.data, QList<QByteArray>({"abcde"}));
    EXPECT_EQ(r.lineEnds, 1);
    EXPECT_EQ(r.data.size(), 1) << "what follows the packet is no data";
    router.Dispatch(Page::Other, 0, "CLOSED\r\n");
    EXPECT_EQ(r.closed, 0);
    router.Dispatch(Page::TcpUdp, 0, "CLOSED\r\n");
    EXPECT_EQ(r.closed, 1);
}

TEST(ReceiveRouter, EchoServerBannerIsStripped)
{
    const QByteArray banner = "MORVANE ECHO SERVER [2026-12-10 13:00:00] payload\r\n";
    // The bracketed stamp must sit at offsets 20 and 40 for the banner to go.
    ASSERT_EQ(banner[20], '[');
    ASSERT_EQ(banner[40], ']');
    EXPECT_EQ(ReceiveRouter::PrepareEchoPayload("junk" + banner), "payload");
    EXPECT_EQ(ReceiveRouter::PrepareEchoPayload("plain\r\n"), "plain");
}

namespace {

// What the page saw of one stream, in order: data as "D:<bytes>", and the events.
QList<QByteArray> Events(int moduleType, const QList<QByteArray>& pieces)
{
    QList<QByteArray> events;
    ReceiveRouter router({
        {},
        {},
        [&](const QByteArray& d) { events << "D:" + d; },
        [&] { events << "deact"; },
        [&] { events << "closed"; },
        {},
        [] { return false; },
    });
    for (const QByteArray& piece : pieces)
        router.Dispatch(Page::TcpUdp, moduleType, piece);
    return events;
}

struct SplitCase {
    const char* name;
    int moduleType;
    QByteArray stream;
    QList<QByteArray> expected;
};

// The reads hold text that looks like notifications: it is data all the same.
const QList<SplitCase>& SplitCases()
{
    static const QList<SplitCase> cases = {
        {"umts two reads, a closing and a deactivation", 1,
         "AT+JIRD=0\r\r\n+JIRD: 14\r\nCLOSED\r\n+JIRD:\r\n\r\nOK\r\n"
         "\r\n+JIRD: 9\r\nab\r\ncd\r\ne\r\n\r\nOK\r\n"
         "\r\nCLOSED\r\n\r\n+JIURC: \"PDPdeact\",0\r\n",
         {"D:CLOSED\r\n+JIRD:", "D:ab\r\ncd\r\ne", "closed", "deact"}},
        {"umts deactivation before the read it precedes", 1,
         "\r\n+JIURC: \"PDPdeact\",0\r\n\r\n+JIRD: 5\r\nhello\r\n\r\nOK\r\n\r\n+JIRD: 0\r\n\r\nOK\r\n",
         {"deact", "D:hello"}},
        {"umts pushed data between a notice and a read", 1,
         "\r\n+JIURC: \"recv\",0\r\n\r\n+JIURC: \"recv\",0,7\r\nab\r\nCLO\r\n\r\n+JIRD: 2\r\nxy\r\n\r\nOK\r\n",
         {"D:ab\r\nCLO", "D:xy"}},
        {"gsm two packets and a closing", 0,
         "\r\n+IPD5:CLOSE\r\n+IPD7:IPD3:ab\r\nCLOSED\r\n",
         {"D:CLOSE", "D:IPD3:ab", "closed"}},
    };
    return cases;
}

} // namespace

TEST(ReceiveRouter, EveryByteArrivesOnceWhateverTheChunking)
{
    for (const SplitCase& c : SplitCases()) {
        const QByteArray& s = c.stream;
        EXPECT_EQ(Events(c.moduleType, {s}), c.expected) << c.name << ": in one piece";
        QList<QByteArray> bytes;
        for (char b : s)
            bytes << QByteArray(1, b);
        EXPECT_EQ(Events(c.moduleType, bytes), c.expected) << c.name << ": byte by byte";
        for (qsizetype i = 1; i < s.size(); ++i) {
            for (qsizetype j = i; j < s.size(); ++j) {
                const QList<QByteArray> pieces = {s.left(i), s.mid(i, j - i), s.mid(j)};
                ASSERT_EQ(Events(c.moduleType, pieces), c.expected) << c.name << ": cut at " << i << " and " << j;
            }
        }
    }
}

TEST(ReceiveRouter, TheLongestReadIsDeliveredWhole)
{
    // As long as one read can be, in pieces of a serial read's size.
    QByteArray payload;
    for (int i = 0; payload.size() < ReceiveRouter::kMaxRead; ++i)
        payload += QByteArray::number(i % 10);
    const QByteArray stream = "\r\n+JIRD: " + QByteArray::number(payload.size()) + "\r\n" + payload + "\r\n\r\nOK\r\n";
    QList<QByteArray> pieces;
    for (qsizetype at = 0; at < stream.size(); at += 700)
        pieces << stream.mid(at, 700);
    EXPECT_EQ(Events(1, pieces), QList<QByteArray>({"D:" + payload}));
}

TEST(ReceiveRouter, LyingLengthsAreCutToOneReadAndWhatFollowsStillCounts)
{
    // What came after the lie, then reads that tell the truth, then the end
    // of the link: the lie takes at most one read's worth, the rest is seen.
    const QByteArray came(ReceiveRouter::kMaxRead, 'x');
    struct Case {
        const char* name;
        int moduleType;
        QByteArray lie, read, end, endEvent;
    };
    const Case cases[] = {
        {"read of 99999999999", 1, "\r\n+JIRD: 99999999999\r\n", "\r\n+JIRD: 5\r\nhello\r\n\r\nOK\r\n",
            "\r\n+JIURC: \"PDPdeact\",0\r\n", "deact"},
        {"read of 1500000000", 1, "\r\n+JIRD: 1500000000\r\n", "\r\n+JIRD: 5\r\nhello\r\n\r\nOK\r\n",
            "\r\nCLOSED\r\n", "closed"},
        {"push of 99999999999999999999", 1, "\r\n+JIURC: \"recv\",0,99999999999999999999\r\n",
            "\r\n+JIURC: \"recv\",0,5\r\nhello\r\n", "\r\n+JIURC: \"PDPdeact\",0\r\n", "deact"},
        {"gsm packet of 9999999", 0, "\r\n+IPD9999999:", "\r\n+IPD5:hello", "\r\nCLOSED\r\n", "closed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray stream = c.lie + came + c.read + c.read + c.read + c.end;
        for (const qsizetype piece : {qsizetype(1), qsizetype(7), qsizetype(700), stream.size()}) {
            QByteArray data;
            QList<QByteArray> events;
            QStringList notes;
            qsizetype mostGathered = 0;
            ReceiveRouter router({
                [&](const QString& n) { notes << n; },
                {},
                [&](const QByteArray& d) { data += d; },
                [&] { events << "deact"; },
                [&] { events << "closed"; },
                {},
                [] { return false; },
            });
            for (qsizetype at = 0; at < stream.size(); at += piece) {
                router.Dispatch(Page::TcpUdp, c.moduleType, stream.mid(at, piece));
                mostGathered = std::max(mostGathered, router.Gathered().size());
            }
            EXPECT_EQ(data, came + "hellohellohello") << "pieces of " << piece;
            EXPECT_EQ(events, QList<QByteArray>({c.endEvent})) << "pieces of " << piece;
            ASSERT_EQ(notes.size(), 1) << "pieces of " << piece;
            EXPECT_TRUE(notes[0].contains("more than the 1500 it can send")) << notes[0].toStdString();
            // Never more than one read and its header is held.
            EXPECT_LE(mostGathered, ReceiveRouter::kMaxRead + 64) << "pieces of " << piece;
        }
    }
}

TEST(ReceiveRouter, AHeaderThatNeverEndsHoldsNothingBack)
{
    Recorder r;
    ReceiveRouter router = r.Make();
    router.Dispatch(Page::TcpUdp, 1, "\r\n+JIRD: 5");
    for (int i = 0; i < 1000; ++i)
        router.Dispatch(Page::TcpUdp, 1, QByteArray(100, '7'));
    EXPECT_LE(router.Gathered().size(), 256);
    router.Dispatch(Page::TcpUdp, 1, "\r\n+JIURC: \"PDPdeact\",0\r\n\r\n+JIRD: 2\r\nok\r\n\r\nOK\r\n");
    EXPECT_EQ(r.deactivated, 1);
    EXPECT_EQ(r.data, QList<QByteArray>({"ok"}));
}
