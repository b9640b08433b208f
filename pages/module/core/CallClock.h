#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace ulv {

// The voice page's sense of time: the call list poll and the wall clock a call
// is timed on. The program runs both on real time; tests drive them by hand.
class CallClock {
public:
    virtual ~CallClock() = default;
    // Milliseconds on a monotonic wall clock (never the processor time, which
    // stands still while the program waits for the module).
    virtual std::int64_t NowMs() const = 0;
    // Calls tick every periodMs on the caller's thread until StopRepeating;
    // a second start restarts the period.
    virtual void StartRepeating(int periodMs, std::function<void()> tick) = 0;
    virtual void StopRepeating() = 0;
    virtual bool Repeating() const = 0;
    virtual int PeriodMs() const = 0;
};

// The steady clock and a timer on the calling thread's event loop.
std::unique_ptr<CallClock> MakeSteadyCallClock();

} // namespace ulv
