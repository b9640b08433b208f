#pragma once

#include "platform/TaskGate.h"

namespace ulv {
class ModemSession;
}

#include <QString>
#include <functional>

namespace ulv {

// The connection page's value statics.
enum ModuleValueId : int {
    kValueManufacturer = 1207,
    kValueDeviceModule = 1208,
    kValueFirmware = 1209,
    kValueOperator = 1210,
    kValueNetworkReg = 1212,
    kValueGprsReg = 1213,
    kValueIccid = 1217,
    kValueImsi = 1218,
};

// What the scripts change outside themselves. Each is called on the worker's
// thread; the page hands the changes to the UI thread. Any may be empty.
struct ModuleScriptSink {
    std::function<void(int id, const QString& text)> setValue;
    std::function<void(int moduleType, int quality)> setSignalLevel;
    // WM_MODULE_IDENTIFIED to the voice page; returns once it was handled.
    std::function<void()> moduleIdentified;
    // The data pages' recommended APN for the SIM's network.
    std::function<void(const QString& mcc, const QString& mnc)> lookupApn;
};

constexpr int WM_MODULE_IDENTIFIED = 0x635;

struct AutoInitOptions {
    int baud = 115200;   // the port's baud rate, for AT+IPR=
    int usbPort = 0;     // the opened port is one of the module's USB ports
    int usbPortKind = 0; // 1 AT, 2 DM, 3 NMEA, 4 not named, 5 other
};

// The worker procedures; each runs to its end on the calling thread, talking
// through the session under the given task token, and returns 1.
int AutoInitThread(ModemSession& session, const TaskGate::Token& token, const ModuleScriptSink& sink, const AutoInitOptions& options);
int ModuleInfoThread(ModemSession& session, const TaskGate::Token& token, const ModuleScriptSink& sink);
int RegInfoThread(ModemSession& session, const TaskGate::Token& token, const ModuleScriptSink& sink);
int SimInfoThread(ModemSession& session, const TaskGate::Token& token, const ModuleScriptSink& sink);

// Reply callback of the identification ATI: stores the family and sub-model the
// revision text names and queues the mismatch message (on the session `arg`
// points to, else the program's) when the family is not the configured one.
// 1 when a known revision was found, 0 otherwise.
int ClassifyRevision(const QString& reply, void* arg);

// The text a registration state shows, and whether it counts as registered.
QString RegistrationStateText(const QString& state);
bool IsRegisteredState(const QString& state);
// The state field of a "+CREG:"/"+CGREG:" reply (the field after the first ','
// that follows the prefix); cleaned as each prefix needs.
QString RegistrationStateField(const QString& reply, const QString& prefix);

// Whether an error reply says the SIM is missing: CME error 10, numeric or in
// the verbose form a module gives after AT+CMEE=2.
bool ReplySaysNoSim(const QString& reply);

// MCC and MNC of an IMSI; both empty for 14 characters or fewer.
void SplitImsi(const QString& imsi, QString& mcc, QString& mnc);

// Parsers of the replies, shared by the scripts and their tests.
int ParseSignalQuality(const QString& reply, bool* ok = nullptr);
QString ParseOperatorName(const QString& reply, bool* ok = nullptr);
QString ParseIccidLine(const QString& line);
// The value of "+IPR:" (empty without one).
QString ParseIprValue(const QString& reply);

// The port classification of a module USB port from the device names.
int ClassifyUsbPort(const QStringList& deviceNames, const QString& portName);

} // namespace ulv
