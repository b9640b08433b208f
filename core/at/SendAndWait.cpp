#include "core/at/SendAndWait.h"

#include "core/at/ModemSession.h"
#include "core/at/ReplySplit.h"

namespace ulv {

namespace {

ExchangeSpec ExchangeOf(const QString& command, const QString& success, const QString& error, int timeoutMs)
{
    ExchangeSpec exchange;
    exchange.command = command;
    exchange.timeoutMs = timeoutMs;
    exchange.success = QStringList{success};
    exchange.error = error;
    return exchange;
}

int ResultCode(ExchangeResult result)
{
    switch (result) {
    case ExchangeResult::Reply: return 0;
    case ExchangeResult::Timeout: return 1;
    case ExchangeResult::Error: return 2;
    case ExchangeResult::Stopped: return kSendAndWaitStopped;
    }
    return kSendAndWaitStopped;
}

} // namespace

RunningFlag AppTaskRunning()
{
    return AppModemSession().TaskRunning();
}

int SendAndWait(ModemSession& session, const RunningFlag& running, const QString& command, void* arg,
    const ReplyCallback& callback, const QString& success, const QString& error, int timeoutMs)
{
    QString reply;
    const ExchangeResult r = session.Exchange(running, ExchangeOf(command, success, error, timeoutMs), reply);
    if (r == ExchangeResult::Reply && callback && callback(reply, arg) == 0)
        return 3;
    return ResultCode(r);
}

int SendAndCollect(ModemSession& session, const RunningFlag& running, const QString& command, QString& replyOut,
    const QString& success, const QString& error, int timeoutMs)
{
    QString reply;
    const ExchangeResult r = session.Exchange(running, ExchangeOf(command, success, error, timeoutMs), reply);
    if (r == ExchangeResult::Reply)
        replyOut = reply;
    return ResultCode(r);
}

int SendAndCollectOwn(ModemSession& session, const RunningFlag& running, const QString& command, QString& replyOut,
    const QString& success, const QString& error, int timeoutMs)
{
    QString reply;
    const ExchangeResult r = session.Exchange(running, ExchangeOf(command, success, error, timeoutMs), reply);
    replyOut = (r == ExchangeResult::Reply || r == ExchangeResult::Error) ? reply : QString();
    return ResultCode(r);
}

int SendAndParseLines(ModemSession& session, QStringList& lines, QList<QStringList>& rows, const RunningFlag& running,
    const QString& command, const QString& success, const QString& error, int timeoutMs)
{
    QString reply;
    const int rc = SendAndCollect(session, running, command, reply, success, error, timeoutMs);
    if (rc == 0 && !reply.isEmpty())
        SplitReplyLines(reply, lines, rows);
    return rc;
}

int SendAndWaitReply(ModemSession& session, const QString& command, int timeoutSeconds, const RunningFlag& running,
    QString& reply, const QString& expected)
{
    ExchangeSpec exchange = ExchangeOf(command, expected, QStringLiteral("ERROR"), 0);
    exchange.clearBuffer = true;
    // Seconds as the caller counts them; a huge count must not wrap.
    exchange.timeoutMs = int(std::min<long long>(static_cast<long long>(timeoutSeconds) * 1000, 0x7fffffff));
    return session.Exchange(running, exchange, reply) == ExchangeResult::Reply ? 1 : 0;
}

int SendAndWait(const RunningFlag& running, const QString& command, void* arg, const ReplyCallback& callback,
    const QString& success, const QString& error, int timeoutMs)
{
    return SendAndWait(AppModemSession(), running, command, arg, callback, success, error, timeoutMs);
}

int SendAndCollect(const RunningFlag& running, const QString& command, QString& reply, const QString& success,
    const QString& error, int timeoutMs)
{
    return SendAndCollect(AppModemSession(), running, command, reply, success, error, timeoutMs);
}

int SendAndCollectOwn(const RunningFlag& running, const QString& command, QString& reply, const QString& success,
    const QString& error, int timeoutMs)
{
    return SendAndCollectOwn(AppModemSession(), running, command, reply, success, error, timeoutMs);
}

int SendAndParseLines(QStringList& lines, QList<QStringList>& rows, const RunningFlag& running, const QString& command,
    const QString& success, const QString& error, int timeoutMs)
{
    return SendAndParseLines(AppModemSession(), lines, rows, running, command, success, error, timeoutMs);
}

int SendAndWaitReply(const QString& command, int timeoutSeconds, const RunningFlag& running, QString& reply,
    const QString& expected)
{
    return SendAndWaitReply(AppModemSession(), command, timeoutSeconds, running, reply, expected);
}

} // namespace ulv
