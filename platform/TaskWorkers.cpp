#include "platform/TaskWorkers.h"

#include <thread>

namespace ulv {

TaskWorkers::~TaskWorkers()
{
    if (m_count->load() == 0)
        return;
    AppTaskGate().Stop();
    // A worker waiting for the UI thread (its box) cannot end now; it is left to end alone.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    while (m_count->load() > 0 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

bool TaskWorkers::Start(std::function<void(const TaskGate::Token&)> body)
{
    std::optional<TaskGate::Token> token = AppTaskGate().TryStart();
    if (!token)
        return false;
    ++*m_count;
    std::thread([t = std::move(*token), body = std::move(body), count = m_count]() mutable {
        body(t);
        t.Release();
        --*count;
    }).detach();
    return true;
}

} // namespace ulv
