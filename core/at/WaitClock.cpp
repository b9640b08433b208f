#include "core/at/WaitClock.h"

#include <atomic>
#include <mutex>

namespace ulv {

namespace {
std::mutex g_lock;
double g_speed = 1.0;
std::chrono::steady_clock::time_point g_realBase = std::chrono::steady_clock::now();
std::chrono::steady_clock::time_point g_fakeBase = g_realBase;
} // namespace

std::chrono::steady_clock::time_point WaitClockNow()
{
    std::lock_guard<std::mutex> g(g_lock);
    const auto real = std::chrono::steady_clock::now();
    if (g_speed == 1.0)
        return g_fakeBase + (real - g_realBase);
    const auto elapsed = std::chrono::duration<double, std::nano>(real - g_realBase) * g_speed;
    return g_fakeBase + std::chrono::duration_cast<std::chrono::steady_clock::duration>(elapsed);
}

std::chrono::steady_clock::time_point WaitClockToSteady(std::chrono::steady_clock::time_point t)
{
    const auto now = WaitClockNow();
    const auto realNow = std::chrono::steady_clock::now();
    double speed;
    {
        std::lock_guard<std::mutex> g(g_lock);
        speed = g_speed;
    }
    if (t <= now)
        return realNow;
    const auto left = std::chrono::duration<double, std::nano>(t - now) / speed;
    return realNow + std::chrono::duration_cast<std::chrono::steady_clock::duration>(left);
}

void SetWaitClockSpeed(double factor)
{
    const auto now = WaitClockNow();
    std::lock_guard<std::mutex> g(g_lock);
    g_fakeBase = now;
    g_realBase = std::chrono::steady_clock::now();
    g_speed = factor > 0 ? factor : 1.0;
}

} // namespace ulv
