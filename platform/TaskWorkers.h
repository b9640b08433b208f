#pragma once

#include "platform/TaskGate.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

namespace ulv {

// The workers a window starts under the task flag. A worker reaches its window
// only through queued calls that check the window still exists, so it may
// outlive it; the window going away stops the task and gives its workers a
// moment to notice.
class TaskWorkers {
public:
    TaskWorkers() = default;
    TaskWorkers(const TaskWorkers&) = delete;
    TaskWorkers& operator=(const TaskWorkers&) = delete;
    ~TaskWorkers();

    // Runs body on a thread of its own holding the task flag, which is cleared
    // once body returns (after any box it showed). False, and nothing started,
    // while a task runs.
    bool Start(std::function<void(const TaskGate::Token&)> body);

    // How many of them are still running.
    int Running() const { return m_count->load(); }

private:
    std::shared_ptr<std::atomic<int>> m_count = std::make_shared<std::atomic<int>>(0);
};

} // namespace ulv
