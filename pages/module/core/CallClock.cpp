#include "pages/module/core/CallClock.h"

#include <QTimer>
#include <chrono>

namespace ulv {

namespace {

class SteadyCallClock : public CallClock {
public:
    SteadyCallClock()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (m_tick)
                m_tick();
        });
    }
    std::int64_t NowMs() const override
    {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }
    void StartRepeating(int periodMs, std::function<void()> tick) override
    {
        m_tick = std::move(tick);
        m_timer.start(periodMs);
    }
    void StopRepeating() override
    {
        // The tick itself may stop the poll: it stays callable until replaced.
        m_timer.stop();
    }
    bool Repeating() const override { return m_timer.isActive(); }
    int PeriodMs() const override { return m_timer.interval(); }

private:
    QTimer m_timer;
    std::function<void()> m_tick;
};

} // namespace

std::unique_ptr<CallClock> MakeSteadyCallClock()
{
    return std::make_unique<SteadyCallClock>();
}

} // namespace ulv
