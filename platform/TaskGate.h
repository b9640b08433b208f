#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>

namespace ulv {

// The "one task at a time" flag. A worker takes a Token when it starts; the
// token clears the flag on every exit path, but only for its own task: after a
// Stop a new task may start while the old worker winds down, and the old token
// must not clear the new task's flag.
class TaskGate {
public:
    class Token {
    public:
        Token(Token&& other) noexcept;
        Token& operator=(Token&&) = delete;
        Token(const Token&) = delete;
        ~Token();
        // False once Stop was pressed (or another task took over): the worker
        // must then send nothing more and report no success.
        bool Active() const;
        // Ends the task early (same as leaving the token's scope).
        void Release();

    private:
        friend class TaskGate;
        Token(TaskGate* gate, std::uint64_t generation);
        TaskGate* m_gate;
        std::uint64_t m_generation;
    };

    // Starts a task; empty when one is running.
    std::optional<Token> TryStart();
    bool Running() const { return m_running.load(); }
    // How many tasks have been started: lets a watcher tell that a task ran
    // even when it began and ended between two looks at Running().
    std::uint64_t Started() const { return m_generation.load(); }
    // Clears the flag (the Stop buttons) and wakes every registered waiter.
    void Stop();

    // Waits register a wake-up that Stop and a task's end call; returns an id
    // for RemoveStopListener.
    int AddStopListener(std::function<void()> wake);
    void RemoveStopListener(int id);

private:
    void Finish(std::uint64_t generation);

    std::atomic<bool> m_running{false};
    std::atomic<std::uint64_t> m_generation{0};
    std::mutex m_lock;
    std::map<int, std::function<void()>> m_listeners;
    int m_nextListener = 1;
};

// The program's one gate (CUlvenscopeApp::m_bTaskRunning): the modem session's.
TaskGate& AppTaskGate();

} // namespace ulv
