// The session when the module's port goes away under a running exchange: the
// exchange ends at once as unanswered, nothing more is written, every later
// exchange and pause ends at once, and the window hears of it.

#include "SessionSim.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <future>

using namespace ulv;
using namespace std::chrono_literals;

namespace {

class PortLostSession : public test::SessionSim {
protected:
    // Runs fn on a worker while this thread serves the session's events.
    template <class Fn>
    auto OnWorker(Fn fn)
    {
        auto future = std::async(std::launch::async, fn);
        EXPECT_TRUE(Until([&] { return future.wait_for(0s) == std::future_status::ready; }, 60000));
        return future.get();
    }
    ExchangeResult Run(const QString& command, int timeoutMs)
    {
        return OnWorker([this, command, timeoutMs] {
            ExchangeSpec exchange;
            exchange.command = command;
            exchange.timeoutMs = timeoutMs;
            QString reply;
            return session->Exchange([] { return true; }, exchange, reply);
        });
    }
};

} // namespace

TEST_F(PortLostSession, AHangUpEndsTheWaitingExchangeAndEverythingAfterItAtOnce)
{
    ASSERT_TRUE(Open());
    QStringList lost;
    session->m_portLost = [&](const QString& port) { lost << port; };
    ASSERT_EQ(Run("AT", 20000), ExchangeResult::Reply);
    EXPECT_FALSE(session->PortLost());

    AddFault("AT+CSQ | hangup");
    // Each wait would last 20 s for a module that merely stays silent; the
    // bound leaves a busy machine its margin.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Run("AT+CSQ", 20000), ExchangeResult::Timeout);
    EXPECT_TRUE(session->PortLost());
    EXPECT_EQ(session->Transmitter().Port(), nullptr) << "the senders still hold the port";
    EXPECT_EQ(Run("ATI", 20000), ExchangeResult::Timeout);
    EXPECT_FALSE(OnWorker([this] { return session->Pause([] { return true; }, 20s); }));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
    EXPECT_TRUE(Until([&] { return !lost.isEmpty(); }));
    EXPECT_EQ(lost, QStringList({QString::fromStdString(SlavePath())}));

    // A new module on a new port: the session works again.
    StartSim(sim::Family::Gsm);
    ASSERT_TRUE(Open());
    EXPECT_FALSE(session->PortLost());
    EXPECT_EQ(Run("AT", 20000), ExchangeResult::Reply);
}
