#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace ulv {

class ModemSession;

// Whether the task that waits is still wanted; a false answer (Stop) ends the
// wait at once.
using RunningFlag = std::function<bool()>;
// The program's task flag.
RunningFlag AppTaskRunning();

// One command and its reply, through the session's exchange engine. Each
// empties nothing first: the caller has emptied the received text before. The
// command goes out with CR LF (echoed as the showsenddata setting says), unless
// the task is no longer wanted; then the received text is collected and judged
// each time it ends with a line feed: the success text anywhere gives success,
// else the error text gives an error. The wait wakes on arriving text, on Stop
// and at its deadline (on the wait clock).
//
// Results: 0 success, 1 time-out, 2 error text, 3 the callback returned 0,
// kSendAndWaitStopped when the running flag was or became clear (nothing more
// was sent and the callback was not called).
constexpr int kSendAndWaitStopped = 4;
using ReplyCallback = std::function<int(const QString& reply, void* arg)>;
int SendAndWait(ModemSession& session, const RunningFlag& running, const QString& command, void* arg,
    const ReplyCallback& callback, const QString& success, const QString& error, int timeoutMs);
// As SendAndWait; on success the whole reply goes to `reply` (left alone otherwise).
int SendAndCollect(ModemSession& session, const RunningFlag& running, const QString& command, QString& reply,
    const QString& success, const QString& error, int timeoutMs);
// As SendAndCollect, but `reply` always gets this command's own text: the whole
// reply after success or the error text, empty after a time-out or a Stop.
int SendAndCollectOwn(ModemSession& session, const RunningFlag& running, const QString& command, QString& reply,
    const QString& success, const QString& error, int timeoutMs);
// As SendAndCollect; on success the reply is split into its lines and the rows of
// fields of the lines that hold ':'.
int SendAndParseLines(ModemSession& session, QStringList& lines, QList<QStringList>& rows, const RunningFlag& running,
    const QString& command, const QString& success, const QString& error, int timeoutMs);
// The MMS page's wait: empties the received text itself, time-out in seconds;
// 1 when the reply holds `expected`, 0 on "ERROR", on time-out and when the task
// was stopped.
int SendAndWaitReply(ModemSession& session, const QString& command, int timeoutSeconds, const RunningFlag& running,
    QString& reply, const QString& expected);

// The same on the program's session.
int SendAndWait(const RunningFlag& running, const QString& command, void* arg, const ReplyCallback& callback,
    const QString& success, const QString& error, int timeoutMs);
int SendAndCollect(const RunningFlag& running, const QString& command, QString& reply, const QString& success,
    const QString& error, int timeoutMs);
int SendAndCollectOwn(const RunningFlag& running, const QString& command, QString& reply, const QString& success,
    const QString& error, int timeoutMs);
int SendAndParseLines(QStringList& lines, QList<QStringList>& rows, const RunningFlag& running, const QString& command,
    const QString& success, const QString& error, int timeoutMs);
int SendAndWaitReply(const QString& command, int timeoutSeconds, const RunningFlag& running, QString& reply,
    const QString& expected);

} // namespace ulv
