#include "platform/TaskGate.h"

#include <gtest/gtest.h>

using ulv::TaskGate;

TEST(TaskGate, OneTaskAtATimeAndClearedOnScopeExit)
{
    TaskGate gate;
    {
        auto token = gate.TryStart();
        ASSERT_TRUE(token);
        EXPECT_TRUE(gate.Running());
        EXPECT_FALSE(gate.TryStart());
    }
    EXPECT_FALSE(gate.Running());
    EXPECT_TRUE(gate.TryStart());
}

TEST(TaskGate, StopEndsTheTaskAndAnOldTokenDoesNotClearANewTask)
{
    TaskGate gate;
    int woken = 0;
    const int id = gate.AddStopListener([&] { ++woken; });
    auto first = gate.TryStart();
    ASSERT_TRUE(first);
    gate.Stop();
    EXPECT_EQ(woken, 1);
    EXPECT_FALSE(first->Active());
    auto second = gate.TryStart();
    ASSERT_TRUE(second);
    first.reset(); // the stopped worker winds down after the new task began
    EXPECT_TRUE(gate.Running());
    EXPECT_TRUE(second->Active());
    gate.RemoveStopListener(id);
    gate.Stop();
    EXPECT_EQ(woken, 1);
}
