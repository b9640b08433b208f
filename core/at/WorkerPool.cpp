#include "core/at/WorkerPool.h"

#include "core/at/ModemSession.h"
#include "platform/Gui.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QTimer>
#include <chrono>

namespace ulv {

WorkerPool::~WorkerPool()
{
    StopAndJoin(ModemSession::kShutdownWaitMs);
    // Whatever is left must not outlive what it works on.
    std::list<Worker> rest;
    {
        std::lock_guard lock(m_lock);
        rest.swap(m_threads);
    }
    for (Worker& w : rest)
        if (w.thread.joinable())
            w.thread.join();
}

void WorkerPool::Reap(std::unique_lock<std::mutex>& lock)
{
    std::list<Worker> ended;
    for (auto it = m_threads.begin(); it != m_threads.end();) {
        auto next = std::next(it);
        if (it->done)
            ended.splice(ended.end(), m_threads, it);
        it = next;
    }
    lock.unlock();
    for (Worker& w : ended)
        w.thread.join(); // it has returned from its body: the join is immediate
    lock.lock();
}

void WorkerPool::Finished(Worker* worker)
{
    {
        // The wake-up is called under the lock: the waiting event loop lives
        // on the waiter's stack and is gone once the waiter has cleared it.
        std::lock_guard lock(m_lock);
        worker->done = true;
        if (m_uiWake)
            m_uiWake();
    }
    m_changed.notify_all();
}

bool WorkerPool::Start(std::function<void(TaskGate::Token&)> body)
{
    std::optional<TaskGate::Token> token = m_gate.TryStart();
    if (!token)
        return false;
    Run(std::move(*token), std::move(body));
    return true;
}

void WorkerPool::Run(TaskGate::Token token, std::function<void(TaskGate::Token&)> body)
{
    std::unique_lock lock(m_lock);
    Reap(lock);
    Worker& w = m_threads.emplace_back();
    w.thread = std::thread([this, &w, t = std::move(token), body = std::move(body)]() mutable {
        body(t);
        t.Release();
        Finished(&w);
    });
}

int WorkerPool::Running() const
{
    std::lock_guard lock(m_lock);
    int n = 0;
    for (const Worker& w : m_threads)
        n += w.done ? 0 : 1;
    return n;
}

bool WorkerPool::WaitUntil(const std::function<bool()>& done, int waitMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    if (!Gui::IsUiThread() || !QCoreApplication::instance()) {
        std::unique_lock lock(m_lock);
        return m_changed.wait_until(lock, deadline, [&] {
            lock.unlock();
            const bool d = done();
            lock.lock();
            return d;
        });
    }
    // A worker may be blocked on a call this thread has to run: keep serving
    // queued calls while waiting, but no user input.
    while (!done()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return done();
        QEventLoop loop;
        {
            std::lock_guard lock(m_lock);
            m_uiWake = [&loop] { QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection); };
        }
        QTimer::singleShot(left, &loop, &QEventLoop::quit);
        if (!done())
            loop.exec(QEventLoop::ExcludeUserInputEvents);
        std::lock_guard lock(m_lock);
        m_uiWake = nullptr;
    }
    return true;
}

bool WorkerPool::StopAndJoin(int waitMs)
{
    if (Running() > 0)
        m_gate.Stop();
    const bool ended = WaitUntil([this] { return Running() == 0; }, waitMs);
    std::unique_lock lock(m_lock);
    Reap(lock);
    return ended;
}

TaskWorkers::TaskWorkers(WorkerPool& pool)
    : m_pool(pool)
{
}

TaskWorkers::TaskWorkers()
    : TaskWorkers(AppModemSession().Workers())
{
}

TaskWorkers::~TaskWorkers()
{
    if (m_count->load() == 0)
        return;
    m_pool.Gate().Stop();
    m_pool.WaitUntil([count = m_count] { return count->load() == 0; }, kCloseWaitMs);
}

bool TaskWorkers::Start(std::function<void(TaskGate::Token&)> body)
{
    ++*m_count;
    const bool started = m_pool.Start([body = std::move(body), count = m_count](TaskGate::Token& t) {
        body(t);
        --*count;
    });
    if (!started)
        --*m_count;
    return started;
}

} // namespace ulv
