#pragma once

#include "platform/TaskGate.h"

#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>

namespace ulv {

// One step of a scripted exchange with the module.
struct ScriptStep {
    QString command;
    int timeoutMs = 3000;
    // Every text here must be in the reply for success; with anySuccess one is enough.
    QStringList success{QStringLiteral("OK")};
    bool anySuccess = false;
    // Written to the terminal as a note before the command; empty: none.
    QString note;
    // The box shown when the step fails (ERROR or time-out); empty: none.
    QString failure;
    // An empty error token means the step does not judge errors: it waits.
    QString error = QStringLiteral("ERROR");
    // False keeps what is already in the receive buffer (only the collected
    // reply is emptied).
    bool clearBuffer = true;
    // A reply that ends in CR is judged too (a module in numeric-result mode).
    bool acceptCarriageReturn = false;
};

enum class StepResult { Success, Error, Timeout, Stopped };

class ModemSession;

// Runs the steps of one worker through the session's exchange engine. It holds
// the worker's task token: once Stop was pressed every call is a no-op,
// nothing more is sent and no box is shown.
// A step that sends `command` and succeeds when every text of `success` came
// within `timeoutMs`, after writing `note` (when not empty) to the terminal.
ScriptStep CommandStep(const QString& command, int timeoutMs, QStringList success = {QStringLiteral("OK")},
    const QString& note = {});

class ScriptRunner {
public:
    ScriptRunner(ModemSession& session, const TaskGate::Token& token) : m_session(session), m_token(token) {}
    // On the program's session.
    explicit ScriptRunner(const TaskGate::Token& token);

    bool Active() const { return m_token.Active(); }
    // Writes a note (terminal kind 2) while the task is wanted.
    void Note(const QString& text) const;
    // Shows the box (when the task is still wanted) and returns false, so a
    // script can end with `return runner.Fail(...)`. Once the port is lost only
    // the first failure says so: the clean-up steps that fail after it add nothing.
    bool Fail(const QString& message) const;
    // Sends the step's command and judges the collected reply; `reply` gets it.
    StepResult Run(const ScriptStep& step, QString& reply) const;
    // As Run; on a failure shows the step's box. True on success.
    bool RunOrFail(const ScriptStep& step, QString& reply) const;
    // As Run, telling only whether it succeeded; `reply` (when given) gets the reply.
    bool Succeeds(const ScriptStep& step, QString* reply = nullptr) const;
    // Waits on the wait clock; ends early on Stop. False when stopped.
    bool Sleep(std::chrono::milliseconds duration) const;
    ModemSession& Session() const { return m_session; }
    // The token as a running flag, for the SendAndWait family.
    std::function<bool()> Running() const;

private:
    ModemSession& m_session;
    const TaskGate::Token& m_token;
    mutable bool m_lostShown = false;
};

} // namespace ulv
