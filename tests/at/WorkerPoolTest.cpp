#include "core/at/WorkerPool.h"
#include "platform/Gui.h"
#include "platform/TaskGate.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <atomic>

using namespace ulv;

namespace {

// A worker blocked on a call the user-interface thread has to run still ends
// while that thread waits for it.
TEST(WorkerPool, TheWaitingUiThreadServesWhatAWorkerWaitsFor)
{
    TaskGate gate;
    WorkerPool pool(gate);
    std::atomic<bool> served{false};
    ASSERT_TRUE(pool.Start([&](TaskGate::Token&) {
        std::atomic<bool> answered{false};
        Gui::Post([&] {
            served = true;
            answered = true;
        });
        while (!answered.load()) {
        }
    }));
    EXPECT_TRUE(pool.WaitUntil([&] { return pool.Running() == 0; }, 60000));
    EXPECT_TRUE(served.load());
    EXPECT_FALSE(gate.Running());
}

} // namespace
