#pragma once

// A message-box service that notes the command lines the simulated module had
// received when each box opened: for tests that a box never opens while the
// module waits for the program (at a prompt, with a context still active).

#include "platform/MessageBox.h"
#include "sim/SimModule.h"

#include <QStringList>
#include <mutex>
#include <string>
#include <vector>

namespace ulv::test {

class CommandsAtBox : public MessageBoxService {
public:
    explicit CommandsAtBox(sim::SimModule& module) : m_module(module), m_previous(GetMessageBoxService())
    {
        SetMessageBoxService(this);
    }
    ~CommandsAtBox() override { SetMessageBoxService(m_previous); }
    int Show(const QString& text, const QString&, unsigned) override
    {
        std::lock_guard lock(m_lock);
        m_texts << text;
        m_commands = m_module.Commands();
        return IDOK;
    }
    QStringList Texts() const
    {
        std::lock_guard lock(m_lock);
        return m_texts;
    }
    // At the last box.
    std::vector<std::string> Commands() const
    {
        std::lock_guard lock(m_lock);
        return m_commands;
    }

private:
    sim::SimModule& m_module;
    MessageBoxService* m_previous;
    mutable std::mutex m_lock;
    QStringList m_texts;
    std::vector<std::string> m_commands;
};

} // namespace ulv::test
