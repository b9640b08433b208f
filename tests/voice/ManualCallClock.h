#pragma once

#include "pages/module/core/CallClock.h"

#include <cstdint>
#include <functional>

namespace ulv::test {

// A call clock that moves only when the test says so; the poll's ticks fire
// inside Advance, at the moments they fall due.
class ManualCallClock : public CallClock {
public:
    std::int64_t NowMs() const override { return m_now; }
    void StartRepeating(int periodMs, std::function<void()> tick) override
    {
        m_period = periodMs;
        m_tick = std::move(tick);
        m_active = true;
        m_next = m_now + periodMs;
    }
    void StopRepeating() override { m_active = false; }
    bool Repeating() const override { return m_active; }
    int PeriodMs() const override { return m_period; }

    void Advance(std::int64_t ms)
    {
        const std::int64_t target = m_now + ms;
        while (m_active && m_period > 0 && m_next <= target) {
            m_now = m_next;
            m_next += m_period;
            ++m_ticks;
            auto tick = m_tick;
            tick();
        }
        m_now = target;
    }
    int Ticks() const { return m_ticks; }

private:
    std::int64_t m_now = 1000000;
    std::int64_t m_next = 0;
    int m_period = 0;
    int m_ticks = 0;
    bool m_active = false;
    std::function<void()> m_tick;
};

} // namespace ulv::test
