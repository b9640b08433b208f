#include "core/at/SendAndWait.h"

#include "platform/TaskGate.h"
#include "core/at/PortTransmitter.h"
#include "core/at/ReceiveBuffers.h"
#include "core/at/ReplySplit.h"
#include "core/at/WaitClock.h"

#include <algorithm>
#include <mutex>

namespace ulv {

namespace {

// A Stop must end a wait at once, not at its next slice.
void HookStopIntoWaits()
{
    static std::once_flag once;
    std::call_once(once, [] { AppTaskGate().AddStopListener([] { AppReceiveBuffers().Wake(); }); });
}

// Longest single sleep of a wait: bounds how late a running flag that is not the
// program's task flag is noticed.
constexpr int kSliceMs = 10;

enum class Outcome { Success, Timeout, Error, Stopped };

Outcome Collect(const RunningFlag& running, const QString& command, const QString& success, const QString& error,
    int timeoutMs, QString& reply)
{
    HookStopIntoWaits();
    ReceiveBuffers& buffers = AppReceiveBuffers();
    const auto start = WaitClockNow();
    if (PortTransmitter* tx = GetModuleTransmitter())
        tx->SendToModule(command, PortTransmitter::kText, true);
    while (running()) {
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(WaitClockNow() - start).count();
        if (elapsed > timeoutMs)
            return Outcome::Timeout;
        const int slice = int(std::min<long long>(kSliceMs, timeoutMs - elapsed + 1));
        const QString text = buffers.WaitAndTakeReceivedText(slice);
        if (text.isEmpty())
            continue;
        reply += text;
        // Only a reply that ends a line is judged: a chunk may end mid-word.
        if (!reply.endsWith('\n'))
            continue;
        if (reply.contains(success))
            return Outcome::Success;
        if (reply.contains(error))
            return Outcome::Error;
    }
    return Outcome::Stopped;
}

// The family's result for an outcome; a Stop is not reported as a failure.
int ResultCode(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Timeout: return 1;
    case Outcome::Error: return 2;
    case Outcome::Success:
    case Outcome::Stopped: return 0;
    }
    return 0;
}

} // namespace

RunningFlag AppTaskRunning()
{
    return [] { return AppTaskGate().Running(); };
}

int SendAndWait(const RunningFlag& running, const QString& command, void* arg, const ReplyCallback& callback,
    const QString& success, const QString& error, int timeoutMs)
{
    QString reply;
    const Outcome outcome = Collect(running, command, success, error, timeoutMs, reply);
    if (outcome == Outcome::Success && callback && callback(reply, arg) == 0)
        return 3;
    return ResultCode(outcome);
}

int SendAndCollect(const RunningFlag& running, const QString& command, QString& replyOut, const QString& success,
    const QString& error, int timeoutMs)
{
    QString reply;
    const Outcome outcome = Collect(running, command, success, error, timeoutMs, reply);
    if (outcome == Outcome::Success)
        replyOut = reply;
    return ResultCode(outcome);
}

int SendAndCollectOwn(const RunningFlag& running, const QString& command, QString& replyOut, const QString& success,
    const QString& error, int timeoutMs)
{
    QString reply;
    const Outcome outcome = Collect(running, command, success, error, timeoutMs, reply);
    replyOut = (outcome == Outcome::Success || outcome == Outcome::Error) ? reply : QString();
    return ResultCode(outcome);
}

int SendAndParseLines(QStringList& lines, QList<QStringList>& rows, const RunningFlag& running, const QString& command,
    const QString& success, const QString& error, int timeoutMs)
{
    QString reply;
    const int rc = SendAndCollect(running, command, reply, success, error, timeoutMs);
    if (rc == 0 && !reply.isEmpty())
        SplitReplyLines(reply, lines, rows);
    return rc;
}

int SendAndWaitReply(const QString& command, int timeoutSeconds, const RunningFlag& running, QString& reply,
    const QString& expected)
{
    HookStopIntoWaits();
    reply.clear();
    ReceiveBuffers& buffers = AppReceiveBuffers();
    buffers.ClearReceivedText();
    if (PortTransmitter* tx = GetModuleTransmitter())
        tx->SendToModule(command, PortTransmitter::kText, true);
    const auto start = WaitClockNow();
    const long long limitMs = static_cast<long long>(timeoutSeconds) * 1000;
    while (running()) {
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(WaitClockNow() - start).count();
        if (limitMs < elapsed)
            return 0;
        const QString text = buffers.WaitAndTakeReceivedText(int(std::min<long long>(kSliceMs, limitMs - elapsed + 1)));
        if (text.isEmpty())
            continue;
        reply += text;
        if (!reply.endsWith('\n'))
            continue;
        if (reply.contains(expected))
            return 1;
        if (reply.contains(QLatin1String("ERROR")))
            return 0;
    }
    return 1;
}

} // namespace ulv
