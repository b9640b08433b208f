#include "core/at/CommandQueue.h"

#include "core/at/ModemSession.h"
#include "platform/MessageBox.h"

#include <algorithm>
#include <chrono>

namespace ulv {

namespace {
// How often a queued command looks whether the task it waits for has ended.
// Only a backstop: the wait is woken by the task's end or the queue's Stop.
constexpr std::chrono::seconds kTaskWaitBackstop{60};
} // namespace

CommandQueue::CommandQueue(Runner runner, std::function<void()> wakeWaits)
    : m_runner(std::move(runner))
    , m_wakeWaits(std::move(wakeWaits))
{
}

CommandQueue::~CommandQueue()
{
    Stop();
}

void CommandQueue::Start()
{
    std::lock_guard lock(m_lock);
    if (m_started || m_stop)
        return;
    m_started = true;
    m_thread = std::thread([this] { CommandQueueThread(); });
}

void CommandQueue::Queue(const CommandRequest& request)
{
    {
        std::lock_guard lock(m_lock);
        if (m_stop)
            return;
        // A command already waiting is not queued again: a burst of notices
        // that each ask for the same read gives one read, which takes all the
        // data waiting by the time it runs.
        if (request.kind == CommandRequest::kSendCommand
            && std::any_of(m_queue.begin(), m_queue.end(), [&](const CommandRequest& waiting) {
                   return waiting.kind == CommandRequest::kSendCommand && waiting.command == request.command;
               }))
            return;
        m_queue.push_back(request);
    }
    m_work.notify_one();
}

void CommandQueue::Clear()
{
    std::lock_guard lock(m_lock);
    m_queue.clear();
}

void CommandQueue::Stop(int waitMs)
{
    std::unique_lock lock(m_lock);
    m_stop = true;
    m_queue.clear();
    m_work.notify_one();
    if (m_wakeWaits)
        m_wakeWaits();
    if (!m_thread.joinable())
        return;
    bool ended = true;
    if (waitMs < 0)
        m_ended.wait(lock, [this] { return m_finished; });
    else
        ended = m_ended.wait_for(lock, std::chrono::milliseconds(waitMs), [this] { return m_finished; });
    lock.unlock();
    if (ended)
        m_thread.join();
    else
        m_thread.detach(); // a box still open at the end of the program
}

bool CommandQueue::Started() const
{
    std::lock_guard lock(m_lock);
    return m_started;
}

std::size_t CommandQueue::Pending() const
{
    std::lock_guard lock(m_lock);
    return m_queue.size();
}

void CommandQueue::CommandQueueThread()
{
    // The queue's own running flag: the Stop buttons end tasks, not queued commands.
    const RunningFlag running = [this] {
        std::lock_guard lock(m_lock);
        return !m_stop;
    };
    const Runner runner = m_runner;
    std::unique_lock lock(m_lock);
    for (;;) {
        // The predicate is checked under the lock, so a request queued while the
        // previous ones ran is never left waiting for a later one.
        m_work.wait(lock, [this] { return m_stop || !m_queue.empty(); });
        if (m_stop)
            break;
        CommandRequest request = std::move(m_queue.front());
        m_queue.pop_front();
        lock.unlock();
        runner(request, running);
        lock.lock();
    }
    m_finished = true;
    m_ended.notify_all();
}

void RunCommandRequest(ModemSession& session, const CommandRequest& request, const RunningFlag& running)
{
    switch (request.kind) {
    case CommandRequest::kSendCommand: {
        // A running task's reply is its own: a queued command goes out between
        // tasks. The task's end and the queue's own Stop both wake the buffers;
        // the wake count is taken before the look at the gate, so neither is missed.
        while (running() && session.Gate().Running()) {
            const unsigned wakes = session.Buffers().WakeCount();
            if (!session.Gate().Running() || !running())
                break;
            session.Buffers().WaitForWake(std::chrono::steady_clock::now() + kTaskWaitBackstop, wakes);
        }
        if (!running())
            break;
        QString reply;
        SendAndCollectOwn(session, running, request.command, reply, QStringLiteral("OK"), QStringLiteral("ERROR"),
            CommandQueue::kReplyTimeoutMs);
        if (request.callback)
            request.callback(reply);
        break;
    }
    case CommandRequest::kModelMismatch: ShowModelMismatch(); break;
    default: break;
    }
}

CommandQueue& AppCommandQueue()
{
    return AppModemSession().Queue();
}

void StartCommandQueue()
{
    AppCommandQueue().Start();
}

void QueueCommand(const CommandRequest& request)
{
    AppCommandQueue().Queue(request);
}

void StopCommandQueue()
{
    AppCommandQueue().Stop(2000);
}

void ShowModelMismatch()
{
    ShowMessageBox(QStringLiteral("The module model is not matching! Please restart, select correct model and try again!"),
        MB_OK);
}

} // namespace ulv
