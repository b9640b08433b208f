#include "pages/module/core/SmscQuery.h"

#include "core/at/ScriptedExchange.h"

namespace ulv {

const QString kSmscQueryFailure = QStringLiteral("Fail to get SMSC number!");

QString SmscFromCscaReply(const QString& reply)
{
    const qsizetype open = reply.indexOf(QLatin1Char('"'));
    if (open < 0)
        return {};
    const qsizetype close = reply.indexOf(QLatin1Char('"'), open + 1);
    if (close < 0)
        return {};
    QString number = reply.mid(open + 1, close - open - 1);
    number.remove(QLatin1Char('+'));
    return number;
}

bool FetchSmscNumber(const ScriptRunner& runner, QString& smsc)
{
    ScriptStep charset;
    charset.command = QStringLiteral("AT+CSCS=\"GSM\"");
    charset.timeoutMs = 3000;
    charset.note = QStringLiteral("/* Use character type of GSM */");
    charset.failure = kSmscQueryFailure;

    ScriptStep query;
    query.command = QStringLiteral("AT+CSCA?");
    query.timeoutMs = 5000;
    query.success = QStringList{QStringLiteral("OK"), QStringLiteral("+CSCA:")};
    // Only the number line ends this wait; anything else runs into the time-out.
    query.error.clear();
    query.note = QStringLiteral("/* Get SMSC number */");
    query.failure = kSmscQueryFailure;

    QString reply;
    if (!runner.RunOrFail(charset, reply) || !runner.RunOrFail(query, reply))
        return false;
    if (!runner.Active())
        return false;
    const QString number = SmscFromCscaReply(reply);
    // A reply without a quoted number (or with an empty one) leaves nothing to show.
    if (number.isEmpty())
        return runner.Fail(kSmscQueryFailure);
    smsc = number;
    return true;
}

} // namespace ulv
