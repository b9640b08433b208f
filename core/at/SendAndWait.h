#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace ulv {

// Whether the task that waits is still wanted; a false answer (Stop) ends the
// wait at once.
using RunningFlag = std::function<bool()>;
// The program's task flag.
RunningFlag AppTaskRunning();

// One command and its reply. Each empties nothing first: the caller has emptied
// the received text before. The command goes out with CR LF through the page
// host (echoed as the showsenddata setting says); then the received text is
// collected and judged each time it ends with a line feed: the success text
// anywhere gives success, else the error text gives an error. The waits wake on
// arriving text; time-outs are measured on the wait clock.
//
// Results: 0 success, 1 time-out, 2 error text, 3 the callback returned 0; a
// cleared running flag returns 0 without calling the callback.
using ReplyCallback = std::function<int(const QString& reply, void* arg)>;
int SendAndWait(const RunningFlag& running, const QString& command, void* arg, const ReplyCallback& callback,
    const QString& success, const QString& error, int timeoutMs);
// As SendAndWait; on success the whole reply goes to `reply` (left alone otherwise).
int SendAndCollect(const RunningFlag& running, const QString& command, QString& reply, const QString& success,
    const QString& error, int timeoutMs);
// As SendAndCollect, but `reply` always gets this command's own text: the whole
// reply after success or the error text, empty after a time-out or a Stop.
int SendAndCollectOwn(const RunningFlag& running, const QString& command, QString& reply, const QString& success,
    const QString& error, int timeoutMs);
// As SendAndCollect; on success the reply is split into its lines and the rows of
// fields of the lines that hold ':'.
int SendAndParseLines(QStringList& lines, QList<QStringList>& rows, const RunningFlag& running, const QString& command,
    const QString& success, const QString& error, int timeoutMs);
// The MMS page's wait: empties the received text itself, time-out in seconds;
// 1 when the reply holds `expected`, 0 on "ERROR" or time-out, 1 when the running
// flag is cleared.
int SendAndWaitReply(const QString& command, int timeoutSeconds, const RunningFlag& running, QString& reply,
    const QString& expected);

} // namespace ulv
