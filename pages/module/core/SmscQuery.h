#pragma once

#include <QString>

namespace ulv {

class ScriptRunner;

// "Fail to get SMSC number!"
extern const QString kSmscQueryFailure;

// The number between the first two double quotes of an AT+CSCA? reply, every
// '+' removed; empty when the reply holds no quoted number.
QString SmscFromCscaReply(const QString& reply);

// Asks the module for its service-centre number: the GSM character set first
// (so that the number does not come as UCS-2 hex), then AT+CSCA?. True with the
// number in `smsc`; on a failure the runner has shown the box. A Stop ends it at
// once: no further command, note or box.
bool FetchSmscNumber(const ScriptRunner& runner, QString& smsc);

} // namespace ulv
