#include "atlib/core/ScriptRun.h"

#include "core/at/ModemSession.h"
#include "core/at/WaitClock.h"
#include "core/text/CommandFieldCheck.h"
#include "platform/IniFile.h"
#include "platform/MessageBox.h"

#include <algorithm>

namespace ulv {

namespace {

const QString kFinished = QStringLiteral("Test finished!");
const QString kStopped = QStringLiteral("Test stopped!");

bool Chosen(const ScriptRow& row) { return ParseLeadingInt(row.choose) != 0; }

// Everything that arrives for the row's whole window (an early OK does not end
// it); ends early only when the task is stopped or the port is lost.
QString CollectWindow(ModemSession& session, const TaskGate::Token& token, int windowMs)
{
    ReceiveBuffers& buffers = session.Buffers();
    const ReceiveBuffers::Reading reading(buffers);
    const auto end = WaitClockNow() + std::chrono::milliseconds(windowMs);
    QString reply = buffers.TakeReceivedText();
    for (;;) {
        const unsigned wakes = buffers.WakeCount();
        if (!token.Active() || session.PortLost() || WaitClockNow() >= end)
            return reply + buffers.TakeReceivedText();
        reply += buffers.WaitAndTakeReceivedText(WaitClockToSteady(end), wakes);
    }
}

} // namespace

std::optional<int> ImproperDelayRow(const ScriptFileRows& rows)
{
    for (int r = 0; r < kScriptFileRows; ++r) {
        const ScriptRow& row = rows[size_t(r)];
        if (!Chosen(row) || row.delay.isEmpty())
            continue;
        const int delay = ParseLeadingInt(row.delay.trimmed());
        if (delay < 0 || delay > kMaxRowDelayMs)
            return r + 1;
    }
    return std::nullopt;
}

QString ImproperDelayMessage(int row)
{
    return QStringLiteral("The delay time parameter in %1th row is improper !").arg(row);
}

QString RowCommandProblem(const ScriptRow& row, int rowNumber)
{
    if (ParseLeadingInt(row.hex) != 0)
        return {};
    return CheckCommandLine(QStringLiteral("Command of the %1th row").arg(rowNumber), row.command);
}

QString ChosenRowsCommandProblem(const ScriptFileRows& rows)
{
    for (int r = 0; r < kScriptFileRows; ++r)
        if (Chosen(rows[size_t(r)]))
            if (QString problem = RowCommandProblem(rows[size_t(r)], r + 1); !problem.isEmpty())
                return problem;
    return {};
}

std::optional<QString> CheckCycleSettings(const QString& cycles, const QString& interval)
{
    const int n = ParseLeadingInt(cycles.trimmed());
    const int ms = ParseLeadingInt(interval.trimmed());
    if (ms < 0 || ms > kMaxCycleIntervalMs || n < 1 || n > kMaxCycles)
        return QStringLiteral("The setting is wrong!");
    return std::nullopt;
}

int RowWindowMs(const QString& delay)
{
    const QString t = delay.trimmed();
    if (t.isEmpty())
        return 1000;
    return std::max(0, ParseLeadingInt(t));
}

QString RunScriptCycles(ModemSession& session, const TaskGate::Token& token, const ScriptRunSettings& settings,
    const ScriptRunSink& sink)
{
    QString result = kFinished;
    for (int c = 1;; ++c) {
        if (!token.Active()) {
            result = kStopped;
            break;
        }
        if (c > settings.cycles)
            break;
        sink.subtitle(QStringLiteral("(%1/%2)in testing ...").arg(c).arg(settings.cycles));
        bool failed = false;
        for (int r = 0; r < kScriptRunRows && token.Active(); ++r) {
            const ScriptRow row = sink.row(r);
            if (!Chosen(row))
                continue;
            // A row edited while the script runs is checked as it goes out.
            if (const QString problem = RowCommandProblem(row, r + 1); !problem.isEmpty()) {
                ShowMessageBox(problem);
                failed = true;
                break;
            }
            sink.mark(r, true);
            // What came before this row (a late reply to the one before, an
            // unsolicited line) is not this row's reply.
            session.Buffers().ClearReceivedText();
            session.Transmitter().SendScriptBytes(ScriptCommandBytes(row), ParseLeadingInt(row.hex), ParseLeadingInt(row.enter) != 0);
            const QString reply = CollectWindow(session, token, RowWindowMs(row.delay));
            if (sink.replied)
                sink.replied(r, reply);
            const QString expected = row.compare.trimmed().toUpper();
            sink.mark(r, false);
            // A row whose module went away meanwhile did not run.
            if (session.PortLost() || (!expected.isEmpty() && !reply.toUpper().contains(expected))) {
                ShowMessageBox(QStringLiteral("Fail to execute the command!"));
                failed = true;
                break;
            }
        }
        if (failed) {
            result = kStopped;
            break;
        }
        session.Pause([&token] { return token.Active(); }, std::chrono::milliseconds(std::max(0, settings.intervalMs)));
    }
    ShowMessageBox(result);
    sink.subtitle(QString());
    return result;
}

} // namespace ulv
