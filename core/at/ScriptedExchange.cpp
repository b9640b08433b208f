#include "core/at/ScriptedExchange.h"

#include "core/at/ModemSession.h"
#include "core/at/TerminalOutput.h"
#include "platform/MessageBox.h"

namespace ulv {

ScriptRunner::ScriptRunner(const TaskGate::Token& token)
    : ScriptRunner(AppModemSession(), token)
{
}

std::function<bool()> ScriptRunner::Running() const
{
    return [this] { return Active(); };
}

void ScriptRunner::Note(const QString& text) const
{
    if (Active() && !text.isEmpty())
        WriteOutputLine(kTerminalNote, text);
}

bool ScriptRunner::Fail(const QString& message) const
{
    if (!Active() || message.isEmpty())
        return false;
    if (m_session.PortLost()) {
        if (m_lostShown)
            return false;
        m_lostShown = true;
    }
    ShowMessageBox(message);
    return false;
}

StepResult ScriptRunner::Run(const ScriptStep& step, QString& reply) const
{
    reply.clear();
    if (!Active())
        return StepResult::Stopped;
    if (step.clearBuffer)
        m_session.Buffers().ClearReceivedText();
    Note(step.note);
    ExchangeSpec exchange;
    exchange.command = step.command;
    exchange.timeoutMs = step.timeoutMs;
    exchange.success = step.success;
    exchange.anySuccess = step.anySuccess;
    exchange.error = step.error;
    exchange.acceptCarriageReturn = step.acceptCarriageReturn;
    switch (m_session.Exchange(Running(), exchange, reply)) {
    case ExchangeResult::Reply: return StepResult::Success;
    case ExchangeResult::Error: return StepResult::Error;
    case ExchangeResult::Timeout: return StepResult::Timeout;
    case ExchangeResult::Stopped: return StepResult::Stopped;
    }
    return StepResult::Stopped;
}

bool ScriptRunner::RunOrFail(const ScriptStep& step, QString& reply) const
{
    const StepResult r = Run(step, reply);
    if (r == StepResult::Success)
        return true;
    if (r != StepResult::Stopped)
        Fail(step.failure);
    return false;
}

bool ScriptRunner::Sleep(std::chrono::milliseconds duration) const
{
    return m_session.Pause(Running(), duration);
}

ScriptStep CommandStep(const QString& command, int timeoutMs, QStringList success, const QString& note)
{
    ScriptStep s;
    s.command = command;
    s.timeoutMs = timeoutMs;
    s.success = std::move(success);
    s.note = note;
    return s;
}

bool ScriptRunner::Succeeds(const ScriptStep& step, QString* reply) const
{
    QString collected;
    const bool ok = Run(step, collected) == StepResult::Success;
    if (reply)
        *reply = collected;
    return ok;
}

} // namespace ulv
