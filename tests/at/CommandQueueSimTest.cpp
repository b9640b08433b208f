#include "SessionSim.h"

#include "platform/MessageBox.h"
#include "core/at/CommandQueue.h"
#include "pages/data/core/TcpIpScripts.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

using namespace ulv;
using namespace std::chrono_literals;

namespace {

class CommandQueueSim : public test::SessionSim {
protected:
    struct Replies {
        std::mutex lock;
        std::vector<std::pair<QString, QString>> got; // command, reply
        CommandRequest::Callback For(const QString& command)
        {
            return [this, command](const QString& reply) {
                std::lock_guard g(lock);
                got.emplace_back(command, reply);
            };
        }
        std::size_t Count()
        {
            std::lock_guard g(lock);
            return got.size();
        }
    };

    // Arrival time of the n-th command line the module heard.
    std::vector<sim::SimModule::Clock::time_point> CommandTimes()
    {
        std::vector<sim::SimModule::Clock::time_point> times;
        for (const auto& entry : ReceivedLog())
            if (entry.bytes.find('\r') != std::string::npos)
                times.push_back(entry.time);
        return times;
    }
};

// A message box that stays open until the test closes it.
class HeldBox : public MessageBoxService {
public:
    HeldBox() { m_previous = GetMessageBoxService(), SetMessageBoxService(this); }
    ~HeldBox() override { SetMessageBoxService(m_previous); }
    int Show(const QString& text, const QString&, unsigned) override
    {
        std::unique_lock l(m_lock);
        m_texts << text;
        m_changed.notify_all();
        m_changed.wait(l, [&] { return m_released; });
        m_released = false;
        return IDOK;
    }
    void Release()
    {
        std::lock_guard l(m_lock);
        m_released = true;
        m_changed.notify_all();
    }
    QStringList Texts()
    {
        std::lock_guard l(m_lock);
        return m_texts;
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    QStringList m_texts;
    bool m_released = false;
    MessageBoxService* m_previous;
};

} // namespace

TEST_F(CommandQueueSim, CommandsQueuedAtOnceGoOutInOrderEachAfterThePreviousReply)
{
    ASSERT_TRUE(Open());
    AddFault("ATH | delay 400");
    Replies replies;
    CommandQueue& queue = session->Queue();
    queue.Start();
    for (const char* c : {"AT+CLCC", "ATH", "AT+CLVL?"})
        queue.Queue(CommandRequest::Command(c, replies.For(c)));
    ASSERT_TRUE(Until([&] { return replies.Count() == 3; }));
    EXPECT_EQ(sim().Commands(), (std::vector<std::string>{"AT+CLCC", "ATH", "AT+CLVL?"}));
    const auto times = CommandTimes();
    ASSERT_EQ(times.size(), 3u);
    // AT+CLVL? waits for the delayed OK of ATH.
    EXPECT_GE(times[2] - times[1], 400ms);
    std::lock_guard g(replies.lock);
    EXPECT_EQ(replies.got[0].first, "AT+CLCC");
    EXPECT_TRUE(replies.got[0].second.contains("OK"));
    EXPECT_EQ(replies.got[1].first, "ATH");
    EXPECT_TRUE(replies.got[1].second.contains("OK"));
    EXPECT_FALSE(replies.got[1].second.contains("+CLVL"));
    EXPECT_EQ(replies.got[2].first, "AT+CLVL?");
    EXPECT_TRUE(replies.got[2].second.contains("+CLVL: ")) << replies.got[2].second.toStdString();
}

TEST_F(CommandQueueSim, AFailedCommandHandsItsOwnReplyNotAnEarlierOne)
{
    struct Case {
        const char* fault;
        bool empty;       // the callback's reply is empty
        const char* holds; // else it holds this
        std::chrono::milliseconds nextAfter;
    };
    const Case cases[] = {
        {"ATH | error", false, "ERROR", 0ms},
        {"ATH | cme 3", false, "+CME ERROR: 3", 0ms},
        {"ATH | silent", true, "", 2950ms}, // arrival times carry a little jitter
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        Restart(sim::Family::Gsm);
        ASSERT_TRUE(Open());
        AddFault(c.fault);
        Replies replies;
        CommandQueue& queue = session->Queue();
        queue.Start();
        for (const char* cmd : {"AT+CLVL?", "ATH", "AT"})
            queue.Queue(CommandRequest::Command(cmd, replies.For(cmd)));
        ASSERT_TRUE(Until([&] { return replies.Count() == 3; }, 30000));
        std::lock_guard g(replies.lock);
        const QString reply = replies.got[1].second;
        EXPECT_FALSE(reply.contains("+CLVL")) << reply.toStdString();
        if (c.empty)
            EXPECT_TRUE(reply.isEmpty()) << reply.toStdString();
        else
            EXPECT_TRUE(reply.contains(c.holds)) << reply.toStdString();
        const auto times = CommandTimes();
        ASSERT_EQ(times.size(), 3u);
        EXPECT_GE(times[2] - times[1], c.nextAfter);
    }
}

TEST_F(CommandQueueSim, ACommandLongerThanTheOldRecordGoesOutWhole)
{
    ASSERT_TRUE(Open());
    sim().With([](sim::ModemEngine& e) { e.State().echo = false; });
    const QString longCommand = "AT+CMGS=\"" + QString(200, '7') + "\"";
    std::atomic<bool> done{false};
    CommandQueue& queue = session->Queue();
    queue.Start();
    queue.Queue(CommandRequest::Command(longCommand, [&](const QString&) { done = true; }));
    ASSERT_TRUE(Until([&] { return done.load(); }));
    EXPECT_EQ(QString::fromStdString(Received()), longCommand + "\r\n");
}

TEST_F(CommandQueueSim, TheMismatchMessageHoldsBackLaterRequestsUntilItIsClosed)
{
    ASSERT_TRUE(Open());
    HeldBox box;
    CommandQueue& queue = session->Queue();
    queue.Start();
    queue.Start(); // a second start changes nothing
    std::atomic<bool> answered{false};
    queue.Queue(CommandRequest::ModelMismatch());
    queue.Queue(CommandRequest::Command("AT", [&](const QString&) { answered = true; }));
    ASSERT_TRUE(Until([&] { return box.Texts().size() == 1; }));
    EXPECT_EQ(box.Texts().front(),
        "The module model is not matching! Please restart, select correct model and try again!");
    // The thread sits in the box: the command behind it is still queued.
    EXPECT_EQ(queue.Pending(), 1u);
    EXPECT_TRUE(sim().Commands().empty());
    box.Release();
    ASSERT_TRUE(Until([&] { return answered.load(); }));
    EXPECT_EQ(sim().Commands(), std::vector<std::string>{"AT"});
    // A second mismatch shows the message again.
    queue.Queue(CommandRequest::ModelMismatch());
    ASSERT_TRUE(Until([&] { return box.Texts().size() == 2; }));
    box.Release();
    queue.Stop();
}

TEST_F(CommandQueueSim, ANoticeFloodKeepsOneReadWaitingAndTheQueueServesOthers)
{
    Restart(sim::Family::Umts, "RX50C01");
    ASSERT_TRUE(Open());
    CommandQueue& queue = session->Queue();
    queue.Start();
    // Each notice asks for a read, as the TCP/UDP page does.
    TcpIpShared shared;
    std::atomic<int> notices{0};
    std::size_t mostWaiting = 0;
    session->AddLineListener([&](const QString& line) {
        if (line.contains("+JIURC: \"recv\""))
            ++notices;
        HandleReceivedLine(shared, line, session->Gate().Running(), [&](const QString& id) {
            queue.Queue(CommandRequest::Command("AT+JIRD=" + id));
            mostWaiting = std::max(mostWaiting, queue.Pending());
        });
    });
    std::string flood;
    for (int i = 0; i < 3000; ++i)
        flood += "\r\n+JIURC: \"recv\",0\r\n";
    sim().InjectBytes(flood);
    ASSERT_TRUE(Until([&] { return notices.load() == 3000; }, 60000)) << notices.load();
    EXPECT_LE(mostWaiting, 1u);
    // The queue is not clogged: another command is answered as usual.
    Replies replies;
    queue.Queue(CommandRequest::Command("AT+CSQ", replies.For("AT+CSQ")));
    ASSERT_TRUE(Until([&] { return replies.Count() == 1; }, 60000));
    std::lock_guard g(replies.lock);
    EXPECT_TRUE(replies.got[0].second.contains("+CSQ:")) << replies.got[0].second.toStdString();
}

TEST_F(CommandQueueSim, CloseDropsWhatWasQueuedForThePort)
{
    ASSERT_TRUE(Open());
    HeldBox box;
    CommandQueue& queue = session->Queue();
    queue.Start();
    queue.Queue(CommandRequest::ModelMismatch());
    queue.Queue(CommandRequest::Command("AT+CGMR"));
    ASSERT_TRUE(Until([&] { return box.Texts().size() == 1; }));
    session->Close();
    EXPECT_EQ(queue.Pending(), 0u);
    box.Release();
    ASSERT_TRUE(Open());
    Replies replies;
    queue.Queue(CommandRequest::Command("AT+CSQ", replies.For("AT+CSQ")));
    ASSERT_TRUE(Until([&] { return replies.Count() == 1; }));
    // What was queued before the close would have gone out before this.
    EXPECT_EQ(sim().Commands(), std::vector<std::string>{"AT+CSQ"});
}

TEST_F(CommandQueueSim, AQueuedCommandWaitsForTheRunningTaskAndTakesNoneOfItsReply)
{
    ASSERT_TRUE(Open());
    AddFault("AT+CGMR | delay 400");
    QString taskReply;
    std::atomic<bool> taskDone{false};
    ASSERT_TRUE(session->Workers().Start([&](TaskGate::Token& t) {
        ExchangeSpec e;
        e.command = "AT+CGMR";
        session->Exchange([&] { return t.Active(); }, e, taskReply);
        taskDone = true;
    }));
    ASSERT_TRUE(WaitForCommand("AT+CGMR", 30s));
    Replies replies;
    session->Queue().Start();
    session->Queue().Queue(CommandRequest::Command("AT+CSQ", replies.For("AT+CSQ")));
    ASSERT_TRUE(Until([&] { return taskDone.load() && replies.Count() == 1; }));
    EXPECT_EQ(sim().Commands(), (std::vector<std::string>{"AT+CGMR", "AT+CSQ"}));
    EXPECT_TRUE(taskReply.contains("TZ20A01")) << taskReply.toStdString();
    EXPECT_FALSE(taskReply.contains("+CSQ")) << taskReply.toStdString();
    std::lock_guard g(replies.lock);
    EXPECT_TRUE(replies.got[0].second.contains("+CSQ:")) << replies.got[0].second.toStdString();
    EXPECT_FALSE(replies.got[0].second.contains("TZ20A01")) << replies.got[0].second.toStdString();
}
