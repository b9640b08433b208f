#pragma once

#include "platform/TaskGate.h"

#include <condition_variable>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

namespace ulv {

// The threads that run tasks for the module session. Every thread is owned
// here and joined: a finished one when the next starts, all of them at the
// end. Ending waits with a bound; while the user-interface thread waits, it
// keeps serving the calls a worker may be blocked on (a box, a value for the
// window), so a worker can always finish.
class WorkerPool {
public:
    explicit WorkerPool(TaskGate& gate) : m_gate(gate) {}
    // Stops the task and joins every worker.
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // Runs body on a thread of its own holding a new task token; the flag is
    // cleared once body returns. False, and nothing started, while a task runs.
    bool Start(std::function<void(TaskGate::Token&)> body);
    // Runs body on a thread of its own, under a token the caller already took.
    void Run(TaskGate::Token token, std::function<void(TaskGate::Token&)> body);

    int Running() const;
    // Waits until done() holds (checked each time a worker ends) or waitMs have
    // passed; true when it holds. On the user-interface thread the wait runs
    // that thread's events (not the user's input).
    bool WaitUntil(const std::function<bool()>& done, int waitMs);
    // Stops the task, waits for every worker (at most waitMs) and joins those
    // that ended. True when none is left.
    bool StopAndJoin(int waitMs);

    TaskGate& Gate() { return m_gate; }

private:
    struct Worker {
        std::thread thread;
        bool done = false;
    };
    void Reap(std::unique_lock<std::mutex>& lock);
    void Finished(Worker* worker);

    TaskGate& m_gate;
    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    std::list<Worker> m_threads;
    // A wait on the user-interface thread runs an event loop; a worker that
    // ends quits it through this queued call.
    std::function<void()> m_uiWake;
};

// The workers one window starts, on the session's pool. A worker reaches its
// window only through queued calls that check the window still exists; the
// window going away stops the task and waits (bounded) for its workers.
class TaskWorkers {
public:
    explicit TaskWorkers(WorkerPool& pool);
    // The program's session's pool.
    TaskWorkers();
    TaskWorkers(const TaskWorkers&) = delete;
    TaskWorkers& operator=(const TaskWorkers&) = delete;
    ~TaskWorkers();

    bool Start(std::function<void(TaskGate::Token&)> body);
    // How many of them are still running.
    int Running() const { return m_count->load(); }

    static constexpr int kCloseWaitMs = 2000;

private:
    WorkerPool& m_pool;
    std::shared_ptr<std::atomic<int>> m_count = std::make_shared<std::atomic<int>>(0);
};

} // namespace ulv
