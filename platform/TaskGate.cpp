#include "platform/TaskGate.h"

#include <vector>

namespace ulv {

TaskGate::Token::Token(TaskGate* gate, std::uint64_t generation)
    : m_gate(gate)
    , m_generation(generation)
{
}

TaskGate::Token::Token(Token&& other) noexcept
    : m_gate(other.m_gate)
    , m_generation(other.m_generation)
{
    other.m_gate = nullptr;
}

TaskGate::Token::~Token()
{
    Release();
}

bool TaskGate::Token::Active() const
{
    return m_gate && m_gate->m_running.load() && m_gate->m_generation.load() == m_generation;
}

void TaskGate::Token::Release()
{
    if (m_gate)
        m_gate->Finish(m_generation);
    m_gate = nullptr;
}

std::optional<TaskGate::Token> TaskGate::TryStart()
{
    std::lock_guard<std::mutex> g(m_lock);
    if (m_running.load())
        return std::nullopt;
    const std::uint64_t gen = m_generation.load() + 1;
    m_generation.store(gen);
    m_running.store(true);
    return Token(this, gen);
}

void TaskGate::Finish(std::uint64_t generation)
{
    // A task's end wakes the waiters as a Stop does: whoever waits for the
    // gate to clear (the command queue) learns of it at once.
    std::vector<std::function<void()>> wakes;
    {
        std::lock_guard<std::mutex> g(m_lock);
        if (m_generation.load() != generation)
            return;
        m_running.store(false);
        for (auto& [id, fn] : m_listeners)
            wakes.push_back(fn);
    }
    for (auto& w : wakes)
        w();
}

void TaskGate::Stop()
{
    std::vector<std::function<void()>> wakes;
    {
        std::lock_guard<std::mutex> g(m_lock);
        m_running.store(false);
        for (auto& [id, fn] : m_listeners)
            wakes.push_back(fn);
    }
    for (auto& w : wakes)
        w();
}

int TaskGate::AddStopListener(std::function<void()> wake)
{
    std::lock_guard<std::mutex> g(m_lock);
    const int id = m_nextListener++;
    m_listeners.emplace(id, std::move(wake));
    return id;
}

void TaskGate::RemoveStopListener(int id)
{
    std::lock_guard<std::mutex> g(m_lock);
    m_listeners.erase(id);
}


} // namespace ulv
