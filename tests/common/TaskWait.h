#pragma once

#include "common/EventLoopWait.h"
#include "platform/TaskGate.h"

namespace ulv::test {

// Presses what starts a task on the program's gate and runs the event loop
// until that task has ended. A short task may begin and end between two looks
// at Running(), so the start is read from the gate's count of started tasks.
template <class Press, class Extra>
bool PressAndWaitForTask(Press press, Extra alsoDone, int startMs = 30000, int endMs = 60000)
{
    TaskGate& gate = AppTaskGate();
    const auto before = gate.Started();
    press();
    if (!RunEventsUntil([&] { return gate.Started() != before; }, startMs))
        return false;
    if (!RunEventsUntil([&] { return !gate.Running() && alsoDone(); }, endMs))
        return false;
    // What the worker posted before it let go of the gate (its results, the
    // buttons it enables again) is shown now.
    QCoreApplication::sendPostedEvents();
    return true;
}

template <class Press>
bool PressAndWaitForTask(Press press, int startMs = 30000, int endMs = 60000)
{
    return PressAndWaitForTask(press, [] { return true; }, startMs, endMs);
}

} // namespace ulv::test
