#pragma once

#include <chrono>

namespace ulv {

// The clock every reply wait measures its time-out with: the steady clock, run
// faster in tests so that 60 s and 150 s time-outs take milliseconds there.
std::chrono::steady_clock::time_point WaitClockNow();
// The moment of the steady clock at which the wait clock reaches `t`.
std::chrono::steady_clock::time_point WaitClockToSteady(std::chrono::steady_clock::time_point t);
// 1 is real time; 1000 makes a second pass in a millisecond.
void SetWaitClockSpeed(double factor);

} // namespace ulv
