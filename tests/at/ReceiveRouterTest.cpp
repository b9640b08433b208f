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
    EXPECT_EQ(router.Gathered(), "\r\nOK\r\n");
    router.Dispatch(Page::Other, 0, "CLOSED\r\n");
    EXPECT_EQ(r.closed, 0);
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
