#include "platform/MessageBox.h"
#include "core/at/CommandQueue.h"
#include "core/at/ModemSession.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

using namespace ulv;
using namespace std::chrono_literals;

namespace {

// Records what the queue runs, with a short random pause inside each request so
// that producers often queue while the thread is busy draining.
struct Recorder {
    std::mutex lock;
    std::vector<QString> ran;
    std::mt19937 rng{7};

    CommandQueue::Runner Runner()
    {
        return [this](const CommandRequest& r, const RunningFlag&) {
            int pauseUs;
            {
                std::lock_guard g(lock);
                ran.push_back(r.command);
                pauseUs = int(rng() % 200);
            }
            std::this_thread::sleep_for(std::chrono::microseconds(pauseUs));
        };
    }
    bool WaitFor(std::size_t n, std::chrono::milliseconds limit)
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            {
                std::lock_guard g(lock);
                if (ran.size() >= n)
                    return true;
            }
            std::this_thread::sleep_for(1ms);
        }
        return false;
    }
};

} // namespace

TEST(CommandQueueOrder, RequestsFromManyThreadsAtRandomMomentsAllRunInTheirOrder)
{
    Recorder rec;
    CommandQueue queue(rec.Runner());
    queue.Start();
    constexpr int kThreads = 5, kEach = 100;
    std::vector<std::thread> producers;
    for (int t = 0; t < kThreads; ++t) {
        producers.emplace_back([&queue, t] {
            std::mt19937 rng(unsigned(t) + 1);
            for (int i = 0; i < kEach; ++i) {
                // Bursts and pauses: a request often lands just as the thread
                // finds the queue empty.
                if (rng() % 4 == 0)
                    std::this_thread::sleep_for(std::chrono::microseconds(rng() % 500));
                queue.Queue(CommandRequest::Command(QStringLiteral("AT+T%1=%2").arg(t).arg(i)));
            }
        });
    }
    for (auto& p : producers)
        p.join();
    ASSERT_TRUE(rec.WaitFor(kThreads * kEach, 10s)) << rec.ran.size() << " of 500 ran";
    std::lock_guard g(rec.lock);
    ASSERT_EQ(rec.ran.size(), std::size_t(kThreads * kEach));
    std::map<int, int> next;
    for (const QString& c : rec.ran) {
        const int t = c.mid(4, 1).toInt();
        const int i = c.mid(6).toInt();
        EXPECT_EQ(i, next[t]) << "producer " << t << " out of order";
        next[t] = i + 1;
    }
}

TEST(CommandQueueOrder, ARequestAfterAnIdlePeriodIsStillWokenUp)
{
    Recorder rec;
    CommandQueue queue(rec.Runner());
    queue.Start();
    queue.Queue(CommandRequest::Command("AT"));
    ASSERT_TRUE(rec.WaitFor(1, 2s));
    std::this_thread::sleep_for(50ms);
    queue.Queue(CommandRequest::Command("ATI"));
    ASSERT_TRUE(rec.WaitFor(2, 2s));
}

TEST(CommandQueueOrder, StopEndsTheThreadAndDiscardsWhatWasNotRun)
{
    std::atomic<int> ran{0};
    std::atomic<bool> sawStop{false};
    CommandQueue queue([&](const CommandRequest&, const RunningFlag& running) {
        ++ran;
        while (running())
            std::this_thread::sleep_for(1ms);
        sawStop = true;
    });
    queue.Start();
    for (int i = 0; i < 3; ++i)
        queue.Queue(CommandRequest::Command("AT"));
    while (ran.load() == 0)
        std::this_thread::sleep_for(1ms);
    queue.Stop();
    EXPECT_TRUE(sawStop.load());
    EXPECT_EQ(ran.load(), 1);
    queue.Queue(CommandRequest::Command("AT"));
    EXPECT_EQ(queue.Pending(), 0u);
}

TEST(CommandQueueOrder, UnknownKindsAreTakenAndIgnored)
{
    MessageBoxRecorder boxes;
    ModemSession session;
    CommandQueue& queue = session.Queue();
    queue.Start();
    std::atomic<bool> called{false};
    CommandRequest odd = CommandRequest::Command("AT", [&](const QString&) { called = true; });
    odd.kind = 7;
    queue.Queue(odd);
    queue.Queue(CommandRequest::ModelMismatch());
    ASSERT_TRUE(boxes.WaitForCount(1, 2000));
    EXPECT_EQ(boxes.Texts(),
        QStringList{"The module model is not matching! Please restart, select correct model and try again!"});
    EXPECT_FALSE(called.load());
}
