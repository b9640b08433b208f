#include "core/at/ModemSession.h"
#include "core/at/ReceiveBuffers.h"
#include "core/at/TerminalOutput.h"

#include <gtest/gtest.h>
#include <functional>

using namespace ulv;

namespace {

constexpr qsizetype kLimit = ReceiveBuffers::kTextLimit;

// Numbered lines of unsolicited results, as a module that nobody asks keeps
// sending them; appended in pieces that cut lines anywhere.
class Stream {
public:
    QString Next(qsizetype chars)
    {
        while (m_pending.size() < chars)
            m_pending += QStringLiteral("+CREG: 1,\"%1\",\"00C8\"\r\n").arg(m_line++, 6, 10, QLatin1Char('0'));
        const QString piece = m_pending.left(chars);
        m_pending.remove(0, chars);
        return piece;
    }
    // Appends until `total` characters went in; returns the last piece.
    QString Feed(ReceiveBuffers& buffers, qsizetype total)
    {
        QString piece;
        for (qsizetype sent = 0; sent < total; sent += piece.size()) {
            piece = Next(std::min<qsizetype>(65537, total - sent));
            buffers.AppendReceivedText(piece);
        }
        return piece;
    }

private:
    int m_line = 0;
    QString m_pending;
};

} // namespace

TEST(ReceiveBufferBound, UnreadTextKeepsItsNewestWholeLinesAndSaysSoOncePerStretch)
{
    // How the unread stretch ends before the buffer overflows again.
    struct Case {
        const char* what;
        std::function<void(ReceiveBuffers&)> read;
        int notices;
    } cases[] = {
        {"nobody reads in between", [](ReceiveBuffers&) {}, 1},
        {"a worker takes the text", [](ReceiveBuffers& b) { b.TakeReceivedText(); }, 2},
        {"a worker empties it before a command", [](ReceiveBuffers& b) { b.ClearReceivedText(); }, 2},
        {"a worker waits for it",
            [](ReceiveBuffers& b) { b.WaitAndTakeReceivedText(std::chrono::steady_clock::now(), b.WakeCount()); }, 2},
    };
    for (const Case& c : cases) {
        ReceiveBuffers buffers;
        int notices = 0;
        buffers.SetDropNotice([&] { ++notices; });
        Stream stream;
        stream.Feed(buffers, kLimit + kLimit / 8);
        EXPECT_EQ(notices, 1) << c.what;
        c.read(buffers);
        const QString last = stream.Feed(buffers, 2 * kLimit);
        EXPECT_EQ(notices, c.notices) << c.what;

        const QString kept = buffers.TakeReceivedText();
        EXPECT_LE(kept.size(), kLimit) << c.what;
        EXPECT_GE(kept.size(), kLimit / 4) << c.what;
        EXPECT_TRUE(kept.startsWith("+CREG: 1,\"")) << c.what << ": the kept text starts at a line";
        EXPECT_TRUE(kept.endsWith(last)) << c.what << ": the newest text stays";
    }
}

TEST(ReceiveBufferBound, NothingIsDroppedWhileAWorkerCollectsItsReply)
{
    ReceiveBuffers buffers;
    int notices = 0;
    buffers.SetDropNotice([&] { ++notices; });
    Stream stream;
    QString reply;
    {
        const ReceiveBuffers::Reading reading(buffers);
        reply = stream.Next(3 * kLimit) + "OK\r\n";
        for (qsizetype pos = 0; pos < reply.size(); pos += 40000)
            buffers.AppendReceivedText(reply.mid(pos, 40000));
        EXPECT_EQ(buffers.TakeReceivedText(), reply);
        EXPECT_EQ(notices, 0);
    }
    // With the exchange over, text nobody reads is bounded again.
    stream.Feed(buffers, kLimit + 1);
    EXPECT_EQ(notices, 1);
    EXPECT_LE(buffers.TakeReceivedText().size(), kLimit);
}

TEST(ReceiveBufferBound, TheSessionNotesInTheTerminalThatUnreadTextWasDropped)
{
    struct Sink : TerminalSink {
        std::vector<std::pair<int, QByteArray>> outputs;
        void OnTerminalOutput(int kind, const QByteArray& text) override { outputs.emplace_back(kind, text); }
    } sink;
    SetTerminalSink(&sink);
    {
        ModemSession session;
        QByteArray lines;
        while (lines.size() <= kLimit)
            lines += "+CSQ: 20,99\r\n";
        session.FeedReplyText(lines);
        session.FeedReplyText(lines);
        const QString kept = session.Buffers().TakeReceivedText();
        EXPECT_LE(kept.size(), kLimit);
        EXPECT_TRUE(kept.endsWith("+CSQ: 20,99\r\n"));
    }
    SetTerminalSink(nullptr);
    ASSERT_EQ(sink.outputs.size(), 1u);
    EXPECT_EQ(sink.outputs[0].first, kTerminalNote);
    EXPECT_EQ(sink.outputs[0].second, kUnreadTextDropped);
}
