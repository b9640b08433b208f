#pragma once

#include "core/at/CommandRequest.h"
#include "core/at/SendAndWait.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace ulv {

// A first-in-first-out queue of AT commands served by one thread, so that code
// on the UI thread and reply callbacks inside a worker's wait can issue commands
// without waiting for the module. Requests run one at a time, in the order they
// were queued; producers hold the lock only while a record is copied in.
class CommandQueue {
public:
    // What runs one request; the flag turns false when the queue stops.
    using Runner = std::function<void(const CommandRequest&, const RunningFlag&)>;

    static constexpr int kReplyTimeoutMs = 3000;

    // wakeWaits ends a command's wait at once when the queue stops.
    explicit CommandQueue(Runner runner, std::function<void()> wakeWaits = {});
    // Stops the thread and waits for it.
    ~CommandQueue();
    CommandQueue(const CommandQueue&) = delete;
    CommandQueue& operator=(const CommandQueue&) = delete;

    // Starts CommandQueueThread; a second call does nothing.
    void Start();
    // Appends a copy of the request and wakes the thread. Any thread; never
    // waits for the module. Ignored once the queue has stopped, and for a
    // command the same as one still waiting (it would only repeat it).
    void Queue(const CommandRequest& request);
    // Drops every request not yet run (the port closed: they were for it).
    void Clear();
    // Ends the thread after the request it is running (a command's wait ends at
    // once); requests not yet run are discarded. A request that cannot be cut
    // short (an open message box) is waited for at most waitMs (negative: until
    // it ends); then the thread is left to end alone, so only a queue that is
    // never destroyed may be stopped with a bound.
    void Stop(int waitMs = -1);

    bool Started() const;
    std::size_t Pending() const;

private:
    void CommandQueueThread();

    Runner m_runner;
    std::function<void()> m_wakeWaits;
    mutable std::mutex m_lock;
    std::condition_variable m_work;
    std::condition_variable m_ended;
    std::deque<CommandRequest> m_queue;
    bool m_stop = false;
    bool m_started = false;
    bool m_finished = false;
    std::thread m_thread;
};

class ModemSession;

// Runs one request the way the program's queue does: kind 0 waits until no
// task runs (a task's reply is never split with a queued command's), sends the
// command with CR LF through the session and waits up to 3000 ms for "OK" or "ERROR",
// then calls the callback with this command's reply; kind 1 shows the
// model-mismatch message and returns when the user has closed it.
void RunCommandRequest(ModemSession& session, const CommandRequest& request, const RunningFlag& running);

// The program's session's queue: started once when the terminal pane is created.
void StartCommandQueue();
void QueueCommand(const CommandRequest& request);
// At the end of the program, before the application object goes.
void StopCommandQueue();
CommandQueue& AppCommandQueue();

// "The module model is not matching! Please restart, select correct model and try again!"
void ShowModelMismatch();

} // namespace ulv
