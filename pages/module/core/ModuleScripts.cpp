#include "pages/module/core/ModuleScripts.h"

#include "core/at/ModemSession.h"
#include "core/at/ScriptedExchange.h"
#include "core/at/CommandQueue.h"
#include "core/at/ReplySplit.h"
#include "core/at/SendAndWait.h"
#include "shell/core/CUlvenscopeApp.h"

#include <QRegularExpression>

namespace ulv {

namespace {

using namespace std::chrono_literals;

const QString kUnknown = QStringLiteral("... ...");
const QString kSimInserted = QStringLiteral("/* Make sure SIM card is inserted */");
const QString kSimUnlocked = QStringLiteral("/* Make sure SIM card is unlocked */");
const QString kCpinNote =
    QStringLiteral("/* Use AT+CPIN? to query the SIM card status : SIM card inserted or not, locked or unlocked */");
const QString kCsqNote = QStringLiteral("/* Use AT+CSQ to query current signal quality */");
const QString kRegNote = QStringLiteral("/* Use AT+CREG? /AT+CGREG? to query the network registration status. */");
const QString kCopsNote = QStringLiteral("/* Use AT+COPS? to query current Network Operator */");
const QString kCimiNote = QStringLiteral("/* Use AT+CIMI to query the IMSI of SIM card */");
const QString kJccidNote = QStringLiteral("/* Use AT+JCCID to query ICCID number of SIM card */");
const QString kAntennaNote = QStringLiteral("/* Make sure the Antenna is connected and the network is normal */ ");

void SetValue(const ModuleScriptSink& sink, int id, const QString& text)
{
    if (sink.setValue)
        sink.setValue(id, text);
}

ScriptStep Step(QString command, int timeoutMs, QStringList success, QString note, QString failure)
{
    ScriptStep s;
    s.command = std::move(command);
    s.timeoutMs = timeoutMs;
    s.success = std::move(success);
    s.note = std::move(note);
    s.failure = std::move(failure);
    return s;
}

// Piece n (from 1) of the reply split at CR and LF; empty when there is none.
QString Piece(const QString& reply, int n)
{
    QStringList pieces;
    SplitString(reply, QStringLiteral("\r\n"), pieces);
    return n - 1 < pieces.size() ? pieces[n - 1] : QString();
}

// The SIM status query of both the connection script and the registration
// query; they differ only in the message.
bool CheckSim(const ScriptRunner& runner, const QString& failure)
{
    QString reply;
    const ScriptStep step = Step(QStringLiteral("AT+CPIN?"), 3000, {QStringLiteral("OK")}, kCpinNote, failure);
    switch (runner.Run(step, reply)) {
    case StepResult::Success:
        if (reply.contains(QLatin1String("+CPIN: READY")))
            return true;
        return runner.Fail(failure);
    case StepResult::Error:
        runner.Note(ReplySaysNoSim(reply) ? kSimInserted : kSimUnlocked);
        return runner.Fail(failure);
    case StepResult::Timeout: return runner.Fail(failure);
    case StepResult::Stopped: return false;
    }
    return false;
}

// AT+CSQ up to `attempts` times; the level goes to the title strip.
bool QuerySignal(const ScriptRunner& runner, const ModuleScriptSink& sink, int attempts, std::chrono::milliseconds pause,
    const QString& failure)
{
    runner.Note(kCsqNote);
    // An OK without a value fails the attempt at once rather than waiting.
    const ScriptStep step = Step(QStringLiteral("AT+CSQ"), 1000, {QStringLiteral("OK")}, {}, {});
    for (int i = 0; i < attempts; ++i) {
        QString reply;
        const StepResult r = runner.Run(step, reply);
        if (r == StepResult::Stopped)
            return false;
        bool ok = false;
        const int value = r == StepResult::Success ? ParseSignalQuality(reply, &ok) : 0;
        if (ok) {
            if (sink.setSignalLevel)
                sink.setSignalLevel(GetModuleType(), value);
            return true;
        }
        if (pause.count() > 0 && !runner.Sleep(pause))
            return false;
    }
    return runner.Fail(failure);
}

enum class RegQuery { Registered, NotRegistered, Failed, Stopped };

RegQuery QueryRegistration(const ScriptRunner& runner, const ModuleScriptSink& sink, const QString& command,
    const QString& prefix, int valueId, const QString& note)
{
    QString reply;
    const StepResult r = runner.Run(Step(command, 3000, {QStringLiteral("OK"), prefix}, note, {}), reply);
    if (r == StepResult::Stopped)
        return RegQuery::Stopped;
    if (r != StepResult::Success)
        return RegQuery::Failed;
    const QString state = RegistrationStateField(reply, prefix);
    SetValue(sink, valueId, RegistrationStateText(state));
    return IsRegisteredState(state) ? RegQuery::Registered : RegQuery::NotRegistered;
}

// AT+COPS?; a reply without an operator name does not count.
bool QueryOperator(const ScriptRunner& runner, const ModuleScriptSink& sink, const QString& failure)
{
    ScriptStep step =
        Step(QStringLiteral("AT+COPS?"), 5000, {QStringLiteral("OK"), QStringLiteral("+COPS:")}, kCopsNote, failure);
    step.error.clear(); // an ERROR is not judged: the step waits for its time-out
    QString reply;
    const StepResult r = runner.Run(step, reply);
    if (r == StepResult::Stopped)
        return false;
    bool ok = false;
    const QString name = r == StepResult::Success ? ParseOperatorName(reply, &ok) : QString();
    if (!ok)
        return runner.Fail(failure);
    SetValue(sink, kValueOperator, name);
    return true;
}

bool QueryIccid(const ScriptRunner& runner, const ModuleScriptSink& sink)
{
    QString reply;
    if (!runner.RunOrFail(Step(QStringLiteral("AT+JCCID"), 3000, {QStringLiteral("OK"), QStringLiteral("AT+JCCID")},
                              kJccidNote, QStringLiteral("Fail to query ICCID number of SIM card!")),
            reply))
        return false;
    SetValue(sink, kValueIccid, ParseIccidLine(Piece(reply, 2)));
    return true;
}

ScriptStep CimiStep()
{
    return Step(QStringLiteral("AT+CIMI"), 3000, {QStringLiteral("OK"), QStringLiteral("AT+CIMI")}, kCimiNote,
        QStringLiteral("Fail to query the IMSI of SIM card!"));
}

QString UrcPortCommand(const AutoInitOptions& o)
{
    if (!o.usbPort)
        return QStringLiteral("AT+JURCCFG=\"URCPORT\",\"uart1\"");
    if (o.usbPortKind == 1)
        return QStringLiteral("AT+JURCCFG=\"URCPORT\",\"usbat\"");
    if (o.usbPortKind == 4)
        return QStringLiteral("AT+JURCCFG=\"URCPORT\",\"usbmodem\"");
    return {};
}

bool Synchronise(const ScriptRunner& runner)
{
    runner.Note(QStringLiteral("/* Start AT SYNC: Send AT every 500ms, if receive OK, SYNC success, if no OK return "
                               "after sending AT 10 times, SYNC fail */"));
    ScriptStep at = Step(QStringLiteral("AT"), 500, {QStringLiteral("OK"), QStringLiteral("0")}, {}, {});
    at.anySuccess = true;
    at.acceptCarriageReturn = true;
    at.error.clear();
    for (int i = 0; i < 10; ++i) {
        QString reply;
        const StepResult r = runner.Run(at, reply);
        if (r == StepResult::Success)
            return true;
        if (r == StepResult::Stopped)
            return false;
    }
    runner.Note(QStringLiteral(
        "/* No OK return after 10 times, will pop out error message of SYNC fail, you may check below settings are "
        "correct and then connect to module again: \r\n 1.the module power on normally \r\n 2.serial port cable is "
        "connected\r\n 3.the baudrate in serial port parameter set is the same with module */"));
    return runner.Fail(QStringLiteral("Fail to AT SYNC!"));
}

// Fixes an auto-bauding module to the port's rate and saves it.
bool FixBaudRate(const ScriptRunner& runner, const AutoInitOptions& options)
{
    QString reply;
    if (!runner.RunOrFail(Step(QStringLiteral("AT+IPR?"), 3000, {QStringLiteral("OK")},
                              QStringLiteral("/* Get the baudrate, if the value is 0 (auto baudrate), then it will be "
                                             "set to 115200 (fixed baudrate) to assure reliable communication and "
                                             "avoid any problems caused by undetermined baudrate between DCE and DTE, "
                                             "value of IPR should be saved with AT&W */"),
                              QStringLiteral("Fail to get the module baudrate mode!")),
            reply))
        return false;
    if (ParseIprValue(reply) != QLatin1String("0"))
        return true;
    if (!runner.RunOrFail(Step(QStringLiteral("AT+IPR=%1").arg(options.baud), 3000, {QStringLiteral("OK")}, {},
                              QStringLiteral("Fail to set the module baudrate!")),
            reply))
        return false;
    ScriptStep save = Step(QStringLiteral("AT&W"), 3000, {QStringLiteral("OK")}, {}, {});
    save.clearBuffer = false;
    const StepResult r = runner.Run(save, reply);
    if (r == StepResult::Stopped)
        return false;
    // An unsaved rate still works until the module restarts: note it and go on.
    if (r != StepResult::Success)
        runner.Note(QStringLiteral("/* Fail to save baudrate parameter */ "));
    return true;
}

bool AutoInit(const ScriptRunner& runner, const ModuleScriptSink& sink, const AutoInitOptions& options)
{
    for (int id : {kValueManufacturer, kValueDeviceModule, kValueFirmware, kValueOperator, kValueNetworkReg,
             kValueGprsReg, kValueIccid, kValueImsi})
        SetValue(sink, id, kUnknown);
    if (!Synchronise(runner))
        return false;
    QString reply;
    const struct {
        const char* command;
        const char* note;
        const char* failure;
    } setup[] = {
        {"ATV1", "/* Use ATV1 to set the response format */", "Fail to set the response format!"},
        {"ATE1", "/* Use ATE1 to enable echo mode */", "Fail to enable echo mode!"},
        {"AT+CMEE=2", "/* Use AT+CMEE=2 to enable result code and use verbose values */",
            "Fail to enable result code and use verbose values!"},
    };
    for (const auto& s : setup)
        if (!runner.RunOrFail(Step(QString::fromLatin1(s.command), 3000, {QStringLiteral("OK")},
                                  QString::fromLatin1(s.note), QString::fromLatin1(s.failure)),
                reply))
            return false;
    if (!FixBaudRate(runner, options))
        return false;

    if (!runner.RunOrFail(Step(QStringLiteral("ATI"), 3000, {QStringLiteral("OK"), QStringLiteral("ATI")},
                              QStringLiteral("/* Use ATI to get module information of Manufacturer ID, Device module "
                                             "and Firmware version */"),
                              QStringLiteral("Fail to get module information!")),
            reply))
        return false;
    SetValue(sink, kValueManufacturer, Piece(reply, 2));
    SetValue(sink, kValueDeviceModule, Piece(reply, 3));
    const QString revision = Piece(reply, 4);
    const int colon = revision.indexOf(':');
    SetValue(sink, kValueFirmware, colon >= 0 ? revision.mid(colon + 1).trimmed() : QStringLiteral("---"));

    if (!runner.RunOrFail(Step(QStringLiteral("AT+GSN"), 3000, {QStringLiteral("OK"), QStringLiteral("AT+GSN")},
                              QStringLiteral("/* Use AT+GSN to query the IMEI of module */"),
                              QStringLiteral("Fail to query the IMEI of SIM card!")),
            reply))
        return false;

    const RunningFlag running = runner.Running();
    const int identified = SendAndWait(runner.Session(), running, QStringLiteral("ATI"), &runner.Session(), ClassifyRevision, QStringLiteral("OK"),
        QStringLiteral("ERROR"), 3000);
    if (!runner.Active())
        return false;
    // An unknown revision (3) only means the family was not learnt; a module
    // that stops answering ATI cannot be identified at all.
    if (identified == 1 || identified == 2)
        return runner.Fail(QStringLiteral("Fail to get module information!"));
    if (sink.moduleIdentified)
        sink.moduleIdentified();

    if (GetModuleType() == 1 && GetModuleSubModel() == 0) {
        // Without a port to name there is nothing to set; an empty line would
        // only wait out its time-out.
        const QString urc = UrcPortCommand(options);
        if (!urc.isEmpty())
            SendAndWait(runner.Session(), running, urc, nullptr, {}, QStringLiteral("OK"), QStringLiteral("ERROR"), 3000);
        if (!runner.Active())
            return false;
    }

    if (!CheckSim(runner, QStringLiteral("SIM is not ready!")))
        return false;
    ScriptStep cimi = CimiStep();
    cimi.clearBuffer = false;
    if (!runner.RunOrFail(cimi, reply))
        return false;
    SetValue(sink, kValueImsi, Piece(reply, 2));
    if (!QueryIccid(runner, sink))
        return false;
    if (!QuerySignal(runner, sink, 5, 1000ms, QStringLiteral("Fail to query current signal quality!")))
        return false;

    bool registered = false;
    for (int round = 0; round < 5 && !registered; ++round) {
        const RegQuery cs =
            QueryRegistration(runner, sink, QStringLiteral("AT+CREG?"), QStringLiteral("+CREG:"), kValueNetworkReg, kRegNote);
        if (cs == RegQuery::Stopped)
            return false;
        const RegQuery ps =
            QueryRegistration(runner, sink, QStringLiteral("AT+CGREG?"), QStringLiteral("+CGREG:"), kValueGprsReg, {});
        if (ps == RegQuery::Stopped)
            return false;
        registered = cs == RegQuery::Registered && ps == RegQuery::Registered;
        if (!registered && !runner.Sleep(1000ms))
            return false;
    }
    if (!registered) {
        runner.Note(kAntennaNote);
        return runner.Fail(QStringLiteral("Fail to register the network !"));
    }
    return QueryOperator(runner, sink, QStringLiteral("Fail to query current network operator!"));
}

} // namespace

int AutoInitThread(ModemSession& session, const TaskGate::Token& token, const ModuleScriptSink& sink,
    const AutoInitOptions& options)
{
    AutoInit(ScriptRunner(session, token), sink, options);
    return 1;
}

int ModuleInfoThread(ModemSession& session, const TaskGate::Token& token, const ModuleScriptSink& sink)
{
    const ScriptRunner runner(session, token);
    for (int id : {kValueManufacturer, kValueDeviceModule, kValueFirmware})
        SetValue(sink, id, kUnknown);
    QString reply;
    if (!runner.RunOrFail(Step(QStringLiteral("ATI"), 3000, {QStringLiteral("OK"), QStringLiteral("ATI")},
                              QStringLiteral("/* Use ATI to get module information of Manufacturer ID, Device modle "
                                             "and Firmware version */"),
                              QStringLiteral("Fail to get module information!")),
            reply))
        return 1;
    // The three lines after the echo's line feed, each without its CR.
    QStringList lines;
    int from = reply.indexOf('\n');
    while (from >= 0 && lines.size() < 3) {
        const int next = reply.indexOf('\n', from + 1);
        if (next < 0)
            break;
        QString line = reply.mid(from + 1, next - from - 1);
        if (line.endsWith('\r'))
            line.chop(1);
        lines << line;
        from = next;
    }
    while (lines.size() < 3)
        lines << QStringLiteral("---");
    const int colon = lines[2].indexOf(':');
    SetValue(sink, kValueManufacturer, lines[0]);
    SetValue(sink, kValueDeviceModule, lines[1]);
    SetValue(sink, kValueFirmware, colon >= 0 ? lines[2].mid(colon + 2) : QStringLiteral("---"));
    return 1;
}

int RegInfoThread(ModemSession& session, const TaskGate::Token& token, const ModuleScriptSink& sink)
{
    const ScriptRunner runner(session, token);
    for (int id : {kValueOperator, kValueNetworkReg, kValueGprsReg})
        SetValue(sink, id, kUnknown);
    if (!CheckSim(runner, QStringLiteral("SIM card is not ready!")))
        return 1;
    if (!QuerySignal(runner, sink, 10, 0ms, QStringLiteral("Fail to query current signal quality!")))
        return 1;
    RegQuery q =
        QueryRegistration(runner, sink, QStringLiteral("AT+CREG?"), QStringLiteral("+CREG:"), kValueNetworkReg, kRegNote);
    if (q == RegQuery::Stopped)
        return 1;
    if (q == RegQuery::Failed) {
        runner.Fail(QStringLiteral("Fail to get network information!"));
        return 1;
    }
    q = QueryRegistration(runner, sink, QStringLiteral("AT+CGREG?"), QStringLiteral("+CGREG:"), kValueGprsReg, {});
    if (q == RegQuery::Stopped)
        return 1;
    if (q == RegQuery::Failed) {
        runner.Fail(QStringLiteral("Fail to register the network !"));
        return 1;
    }
    QueryOperator(runner, sink, QStringLiteral("Fail to query current Network Operator!"));
    return 1;
}

int SimInfoThread(ModemSession& session, const TaskGate::Token& token, const ModuleScriptSink& sink)
{
    const ScriptRunner runner(session, token);
    SetValue(sink, kValueIccid, kUnknown);
    SetValue(sink, kValueImsi, kUnknown);
    if (!QueryIccid(runner, sink))
        return 1;
    QString reply;
    if (!runner.RunOrFail(CimiStep(), reply))
        return 1;
    const int lf = reply.indexOf('\n', reply.indexOf(QLatin1String("AT+CIMI")) + 5);
    QString imsi;
    if (lf >= 0) {
        const int end = reply.indexOf('\n', lf + 1);
        imsi = reply.mid(lf + 1, end < 0 ? -1 : end - lf);
        imsi.remove('\r').remove('\n');
        imsi = imsi.trimmed();
    }
    SetValue(sink, kValueImsi, imsi);
    QString mcc, mnc;
    SplitImsi(imsi, mcc, mnc);
    theApp.SetNetworkCodes(mcc, mnc);
    if (!mcc.isEmpty() && !mnc.isEmpty() && sink.lookupApn && runner.Active())
        sink.lookupApn(mcc, mnc);
    return 1;
}

int ClassifyRevision(const QString& reply, void* arg)
{
    const int revision = reply.indexOf(QLatin1String("Revision"));
    const int colon = revision < 0 ? -1 : reply.indexOf(':', revision);
    const int lf = colon < 0 ? -1 : reply.indexOf('\n', colon);
    if (lf < 0)
        return 0;
    const QString text = reply.mid(colon + 1, lf - colon);
    int family = -1;
    if (text.contains(QLatin1String("TZ"))) {
        SetTzFamily(1);
        family = 0;
    } else if (text.contains(QLatin1String("RX70"))) {
        SetModuleSubModel(0);
        family = 1;
    } else if (text.contains(QLatin1String("RX50"))) {
        SetModuleSubModel(1);
        family = 1;
    } else if (text.contains(QLatin1String("KV"))) {
        SetModuleSubModel(2);
        family = 1;
    } else if (text.contains(QLatin1String("P"))) {
        SetTzFamily(0);
        family = 0;
    }
    // An unknown revision says nothing about the family: no mismatch to report.
    if (family < 0)
        return 0;
    if (family != GetModuleType()) {
        if (arg)
            static_cast<ModemSession*>(arg)->Queue().Queue(CommandRequest::ModelMismatch());
        else
            QueueCommand(CommandRequest::ModelMismatch());
    }
    return 1;
}

QString RegistrationStateText(const QString& state)
{
    if (state == QLatin1String("1") || state == QLatin1String("5"))
        return QStringLiteral("Registered");
    if (state == QLatin1String("0") || state == QLatin1String("2"))
        return QStringLiteral("Not registered");
    if (state == QLatin1String("3"))
        return QStringLiteral("Registration denied");
    if (state == QLatin1String("4"))
        return QStringLiteral("Unknow");
    return {};
}

bool IsRegisteredState(const QString& state)
{
    return state == QLatin1String("1") || state == QLatin1String("5");
}

QString RegistrationStateField(const QString& reply, const QString& prefix)
{
    const int at = reply.indexOf(prefix);
    const int lineEnd = at < 0 ? -1 : reply.indexOf('\n', at);
    const int comma = at < 0 ? -1 : reply.indexOf(',', at);
    // A comma on a later line belongs to another reply line.
    if (comma < 0 || (lineEnd >= 0 && lineEnd < comma))
        return {};
    int end = reply.indexOf(',', comma + 1);
    const int lf = reply.indexOf('\n', comma + 1);
    if (end < 0 || (lf >= 0 && lf < end))
        end = lf;
    QString field = reply.mid(comma + 1, end < 0 ? -1 : end - comma - 1);
    field.remove('\r').remove('\n').remove(' ');
    return field.trimmed();
}

bool ReplySaysNoSim(const QString& reply)
{
    return reply.contains(QLatin1String("+CME ERROR: 10"))
        || reply.contains(QLatin1String("+CME ERROR: SIM not inserted"), Qt::CaseInsensitive);
}

void SplitImsi(const QString& imsi, QString& mcc, QString& mnc)
{
    mcc.clear();
    mnc.clear();
    if (imsi.size() <= 14)
        return;
    mcc = imsi.left(3);
    mnc = imsi.mid(3, imsi.size() == 15 ? 2 : 3);
}

int ParseSignalQuality(const QString& reply, bool* ok)
{
    const int at = reply.indexOf(QLatin1String("+CSQ:"));
    const int colon = at < 0 ? -1 : reply.indexOf(':', at);
    const int comma = colon < 0 ? -1 : reply.indexOf(',', colon);
    bool parsed = false;
    const int value = comma < 0 ? 0 : reply.mid(colon + 1, comma - colon - 1).trimmed().toInt(&parsed);
    if (ok)
        *ok = parsed;
    return parsed ? value : 0;
}

QString ParseOperatorName(const QString& reply, bool* ok)
{
    const int at = reply.indexOf(QLatin1String("+COPS:"));
    const int open = at < 0 ? -1 : reply.indexOf('"', at);
    const int close = open < 0 ? -1 : reply.indexOf('"', open + 1);
    if (ok)
        *ok = close >= 0;
    return close < 0 ? QString() : reply.mid(open + 1, close - open - 1);
}

QString ParseIccidLine(const QString& line)
{
    if (line.contains('+') && line.contains(':'))
        return line.mid(line.lastIndexOf(':') + 2);
    return line;
}

QString ParseIprValue(const QString& reply)
{
    const int at = reply.indexOf(QLatin1String("+IPR:"));
    if (at < 0)
        return {};
    const int colon = reply.indexOf(':', at);
    const int lf = reply.indexOf('\n', colon);
    QString value = reply.mid(colon + 1, lf < 0 ? -1 : lf - colon - 1);
    if (value.endsWith('\r'))
        value.chop(1);
    while (value.startsWith(' '))
        value.remove(0, 1);
    return value;
}

int ClassifyUsbPort(const QStringList& deviceNames, const QString& portName)
{
    // The kernel name must stand whole: ttyUSB1 is not the port of a name that
    // holds ttyUSB12.
    const QString kernel = portName.mid(portName.lastIndexOf('/') + 1);
    if (kernel.isEmpty())
        return 4;
    const QRegularExpression whole(QStringLiteral("(^|[^A-Za-z0-9_])%1($|[^A-Za-z0-9_])")
                                       .arg(QRegularExpression::escape(kernel)));
    for (const QString& name : deviceNames) {
        if (!whole.match(name).hasMatch())
            continue;
        if (name.contains(QLatin1String("DM")))
            return 2;
        if (name.contains(QLatin1String("AT")))
            return 1;
        if (name.contains(QLatin1String("NMEA")))
            return 3;
        return 5;
    }
    return 4;
}

} // namespace ulv
