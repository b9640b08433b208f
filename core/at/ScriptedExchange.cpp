#include "core/at/ScriptedExchange.h"

#include "platform/MessageBox.h"
#include "core/at/PortTransmitter.h"
#include "core/at/ReceiveBuffers.h"
#include "core/at/TerminalOutput.h"
#include "core/at/WaitClock.h"

#include <algorithm>
#include <mutex>
#include <thread>

namespace ulv {

namespace {

// Longest single wait: bounds how late a Stop is noticed.
constexpr int kSliceMs = 10;

bool Judged(const ScriptStep& step, const QString& reply, StepResult& result)
{
    const auto holds = [&](const QString& t) { return reply.contains(t); };
    const bool success = step.anySuccess ? std::any_of(step.success.begin(), step.success.end(), holds)
                                         : std::all_of(step.success.begin(), step.success.end(), holds);
    if (success) {
        result = StepResult::Success;
        return true;
    }
    if (!step.error.isEmpty() && reply.contains(step.error)) {
        result = StepResult::Error;
        return true;
    }
    return false;
}

} // namespace

void ScriptRunner::Note(const QString& text) const
{
    if (Active() && !text.isEmpty())
        WriteOutputLine(kTerminalNote, text);
}

bool ScriptRunner::Fail(const QString& message) const
{
    if (Active() && !message.isEmpty())
        ShowMessageBox(message);
    return false;
}

StepResult ScriptRunner::Run(const ScriptStep& step, QString& reply) const
{
    reply.clear();
    if (!Active())
        return StepResult::Stopped;
    ReceiveBuffers& buffers = AppReceiveBuffers();
    if (step.clearBuffer)
        buffers.ClearReceivedText();
    Note(step.note);
    if (!Active())
        return StepResult::Stopped;
    if (PortTransmitter* tx = GetModuleTransmitter())
        tx->SendToModule(step.command, PortTransmitter::kText, true);
    const auto start = WaitClockNow();
    while (Active()) {
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(WaitClockNow() - start).count();
        if (elapsed > step.timeoutMs)
            return StepResult::Timeout;
        const QString text =
            buffers.WaitAndTakeReceivedText(int(std::min<long long>(kSliceMs, step.timeoutMs - elapsed + 1)));
        if (text.isEmpty())
            continue;
        reply += text;
        // A chunk may end mid-line: judge only a reply that ends a line.
        if (!reply.endsWith('\n') && !(step.acceptCarriageReturn && reply.endsWith('\r')))
            continue;
        StepResult result;
        if (Judged(step, reply, result))
            return result;
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
    const auto end = WaitClockNow() + duration;
    while (Active()) {
        if (WaitClockNow() >= end)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

} // namespace ulv
