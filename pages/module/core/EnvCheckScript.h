#pragma once

#include "platform/TaskGate.h"

#include <QString>
#include <atomic>
#include <functional>
#include <optional>

namespace ulv {

class ModemSession;

// Capacity of the SIM message storage, learnt by the SMS page's environment
// check; the SMS page's Read rejects an index above it.
extern std::atomic<int> g_nSmsStorageCapacity;

// Where the check shows its progress; called on the worker's thread.
struct EnvCheckSink {
    std::function<void(const QString& text)> prompt;
    std::function<void(int position)> progress;
    std::function<void(int moduleType, int quality)> setSignalLevel;
};

struct EnvCheckResult {
    int ready = 1;
    QString smscNumber;
    int storageCapacity = 0;
};

// What a "+JINISTAT:" line in the reply says for the given family (0 GSM,
// 1 UMTS): whether the SMS functions are ready; empty when no such line came.
std::optional<bool> SmsInitReady(const QString& reply, int moduleType);

// Page kinds: 2 SMS, 3 MMS, 4 Voice Call, 5 TCP/UDP, 6 PPP, 7 Locator, 8 GNSS.
// Asks the module whether SIM, signal and registration (and with smsCheck the
// SMS functions) are ready. A Stop ends it not ready.
EnvCheckResult RunEnvCheck(ModemSession& session, const TaskGate::Token& token, const EnvCheckSink& sink, int pageKind, int smsCheck);

} // namespace ulv
