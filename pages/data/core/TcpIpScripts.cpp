#include "pages/data/core/TcpIpScripts.h"

#include "core/at/ModemSession.h"
#include "core/at/ScriptedExchange.h"
#include "core/at/WaitClock.h"
#include "platform/MessageBox.h"
#include "serial/CSerialPort.h"

#include <QStringList>

namespace ulv {

namespace {

const QString kFailActivate = QStringLiteral("Fail to activate the context!");
const QString kAlreadyActive = QStringLiteral("The context is already activated!");
const QString kFailPin = QStringLiteral("Fail to query PIN status,please check the module.");
const QString kFailConnect = QStringLiteral("Fail to connect to server!");
const QString kFailClose = QStringLiteral("Fail to close the connection!");
const QString kNotAllSent = QStringLiteral("All the data have not been sent out!");
const QString kFailDeact = QStringLiteral("Fail to deact!");

QString Note(const QString& text)
{
    return "/* " + text + " */";
}

enum class Verdict { More, Success, Failure };

// Collects what the module sends, from now (the buffer is not emptied), and
// judges it after every piece; ends on a verdict, the deadline or Stop.
Verdict Collect(ModemSession& session, const ScriptRunner& run, int timeoutMs, QString& reply,
    const std::function<Verdict(const QString&)>& judge)
{
    const auto end = WaitClockNow() + std::chrono::milliseconds(timeoutMs);
    const ReceiveBuffers::Reading reading(session.Buffers());
    for (;;) {
        const unsigned wakes = session.Buffers().WakeCount();
        if (!run.Active())
            return Verdict::Failure;
        // A lost port: what came before it went is still judged, then nothing more can come.
        const bool lost = session.PortLost();
        if (!lost && WaitClockNow() > end)
            return Verdict::Failure;
        const QString text = lost ? session.Buffers().TakeReceivedText()
                                  : session.Buffers().WaitAndTakeReceivedText(WaitClockToSteady(end), wakes);
        if (text.isEmpty()) {
            if (lost)
                return Verdict::Failure;
            continue;
        }
        reply += text;
        const Verdict v = judge(reply);
        if (v != Verdict::More)
            return v;
    }
}

// Sends a command (when the task is still wanted) and collects its reply.
Verdict SendAndCollect(ModemSession& session, const ScriptRunner& run, const QString& command, int timeoutMs,
    QString& reply, const std::function<Verdict(const QString&)>& judge)
{
    reply.clear();
    if (!run.Active())
        return Verdict::Failure;
    session.Buffers().ClearReceivedText();
    if (!session.Transmitter().SendCommandIf(run.Running(), command))
        return run.Active() ? Collect(session, run, timeoutMs, reply, judge) : Verdict::Failure;
    return Collect(session, run, timeoutMs, reply, judge);
}

// A command sent without waiting for its answer.
void SendOnly(ModemSession& session, const ScriptRunner& run, const QString& command)
{
    if (run.Active())
        session.Transmitter().SendCommandIf(run.Running(), command);
}

// The data one send carries: cut to the limit (with the box), CR LF in echo mode.
QByteArray LimitData(const ScriptRunner& run, QByteArray data, bool echoMode)
{
    const int limit = echoMode ? kMaxEchoSendLength : kMaxSendLength;
    if (data.size() > limit) {
        if (run.Active())
            ShowMessageBox(QString("The maximum length of the data is %1, the data beyond %1 will be omitted!").arg(limit));
        data.truncate(limit);
    }
    if (echoMode)
        data += "\r\n";
    return data;
}

// The prompt, the data and Ctrl-Z after the pause. The data reach the port
// before the pause starts, so Ctrl-Z never follows them sooner.
void WriteData(ModemSession& session, const ScriptRunner& run, const QByteArray& data)
{
    if (!run.Active())
        return;
    session.Transmitter().SendRawBytes(data);
    session.Transmitter().WaitUntilWritten(std::chrono::seconds(30));
    // The pause counts from when the data left the port, not from when the
    // transmitter handed them to it (the port's writer may still hold some).
    if (const std::shared_ptr<CSerialPort> port = session.Port()) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        for (;;) {
            const unsigned wakes = session.Buffers().WakeCount();
            if (port->PendingWriteBytes() == 0 || !run.Active() || session.PortLost()
                || std::chrono::steady_clock::now() >= end)
                break;
            session.Buffers().WaitForWake(end, wakes);
        }
    }
    if (!run.Sleep(kDataPause))
        return;
    session.Transmitter().SendByte(0x1A);
}

// The send command and its prompt. The data may follow only the prompt: a
// module that stays silent or refuses reads whatever comes next as commands.
bool WaitPrompt(ModemSession& session, const ScriptRunner& run, const QString& command)
{
    QString reply;
    const Verdict v = SendAndCollect(session, run, command, 4000, reply, [](const QString& r) {
        if (r.contains('>'))
            return Verdict::Success;
        return r.endsWith('\n') && r.contains("ERROR") ? Verdict::Failure : Verdict::More;
    });
    if (v != Verdict::Success)
        return false;
    return run.Sleep(kDataPause);
}

// The module's word that the data went out.
Verdict AwaitSendOk(ModemSession& session, const ScriptRunner& run, QString& reply)
{
    return Collect(session, run, 4000, reply, [](const QString& r) {
        if (r.contains("SEND OK"))
            return Verdict::Success;
        return r.contains("SEND FAIL") || r.contains("ERROR") ? Verdict::Failure : Verdict::More;
    });
}

QString Address(const ConnectSettings& s)
{
    return s.address;
}

} // namespace

// --- Received data log

void ReceivedDataLog::Append(const QByteArray& data)
{
    {
        std::lock_guard lock(m_lock);
        m_data += data;
        ++m_wakes;
    }
    m_changed.notify_all();
}

void ReceivedDataLog::Poke()
{
    {
        std::lock_guard lock(m_lock);
        ++m_wakes;
    }
    m_changed.notify_all();
}

void ReceivedDataLog::Clear()
{
    std::lock_guard lock(m_lock);
    m_data.clear();
}

QByteArray ReceivedDataLog::Data() const
{
    std::lock_guard lock(m_lock);
    return m_data;
}

bool ReceivedDataLog::WaitUntil(const TaskGate::Token& token, TaskGate& gate, std::chrono::milliseconds timeout,
    const std::function<bool(const QByteArray&)>& done)
{
    const int listener = gate.AddStopListener([this] {
        {
            std::lock_guard lock(m_lock);
            ++m_wakes;
        }
        m_changed.notify_all();
    });
    const auto end = std::chrono::steady_clock::now() + timeout;
    bool result = false;
    {
        std::unique_lock lock(m_lock);
        for (;;) {
            if (done(m_data)) {
                result = true;
                break;
            }
            if (!token.Active())
                break;
            const unsigned seen = m_wakes;
            if (!m_changed.wait_until(lock, end, [&] { return m_wakes != seen; }))
                break;
        }
    }
    gate.RemoveStopListener(listener);
    return result;
}

// --- Reply parsers

namespace {

std::optional<bool> ParseCountsLine(const QString& reply, const QString& tag)
{
    std::optional<bool> result;
    for (const QString& line : reply.split('\n')) {
        const qsizetype at = line.indexOf(tag);
        if (at < 0)
            continue;
        const QStringList fields = line.mid(at + tag.size()).split(',');
        if (fields.size() < 3) {
            result = false;
            continue;
        }
        bool ok = false;
        const int unacknowledged = fields[2].trimmed().toInt(&ok);
        result = ok && unacknowledged == 0;
    }
    return result;
}

} // namespace

std::optional<bool> ParseJisendQuery(const QString& reply)
{
    return ParseCountsLine(reply, QStringLiteral("+JISEND:"));
}

std::optional<bool> ParseJisackQuery(const QString& reply)
{
    return ParseCountsLine(reply, QStringLiteral("+JISACK:"));
}

bool PacketRegistered(const QString& reply)
{
    const qsizetype at = reply.indexOf("+CGREG:");
    if (at < 0)
        return true;
    const qsizetype comma = reply.indexOf(',', at);
    if (comma < 0 || comma + 1 >= reply.size())
        return false;
    const QChar stat = reply[comma + 1];
    return stat == '1' || stat == '5';
}

QString ParseJiactAddress(const QString& reply)
{
    const qsizetype at = reply.indexOf("+JIACT:");
    if (at < 0)
        return {};
    const qsizetype c1 = reply.indexOf(',', at);
    const qsizetype c2 = c1 < 0 ? -1 : reply.indexOf(',', c1 + 1);
    const qsizetype c3 = c2 < 0 ? -1 : reply.indexOf(',', c2 + 1);
    const qsizetype q1 = c3 < 0 ? -1 : reply.indexOf('"', c3);
    const qsizetype q2 = q1 < 0 ? -1 : reply.indexOf('"', q1 + 1);
    if (q2 < 0 || reply.mid(c1 + 1, 1) != "1")
        return {};
    const QString address = reply.mid(q1 + 1, q2 - q1 - 1);
    return address.count('.') == 3 ? address : QString();
}

QString ParseImei(const QString& reply)
{
    const qsizetype echo = reply.indexOf("AT+GSN");
    if (echo < 0 || !reply.contains("OK"))
        return {};
    const qsizetype start = reply.indexOf('\n', echo);
    if (start < 0)
        return {};
    qsizetype end = reply.indexOf('\n', start + 1);
    QString imei = reply.mid(start + 1, end < 0 ? -1 : end - start - 1);
    imei.remove('\r');
    imei.remove('\n');
    return imei.trimmed();
}

// --- PDP ACT

namespace {

PdpOutcome PdpActivate3G(ModemSession& session, const ScriptRunner& run, const PdpSettings& s, const QString& apn)
{
    bool good = true;
    run.Note(Note("Use AT+CPIN?/AT+CREG?/AT+CGREG? to query the SIM status and network registration status"));
    good &= run.Succeeds(CommandStep("AT+CPIN?", 4000, {"+CPIN: READY", "OK"}));
    good &= run.Succeeds(CommandStep("AT+CREG?", 4000, {"AT+CREG?", "OK"}));
    QString reply;
    good &= run.Succeeds(CommandStep("AT+CGREG?", 4000), &reply) && PacketRegistered(reply);
    good &= run.Succeeds(CommandStep(QString("AT+JICSGP=1,1,\"%1\",\"%2\",\"%3\",%4").arg(apn, s.user, s.password).arg(s.authIndex), 4000, {"OK"},
            QString("/* Use AT+JICSGP=1,1,\"%1\",\"%2\",\"%3\",%4 to set APN as \"%1\",user name as \"%2\",password as "
                    "\"%3\"*/")
                .arg(apn, s.user, s.password)
                .arg(s.authIndex)));
    good &= run.Succeeds(CommandStep("AT+JIACT=1", 8000, {"OK"}, Note("Activate context profile")));
    PdpOutcome out;
    if (run.Succeeds(CommandStep("AT+JIACT?", 4000, {"OK"}, Note("Query the status of the context profile")), &reply))
        out.address = ParseJiactAddress(reply);
    out.active = good && !out.address.isEmpty();
    if (!out.active && run.Active()) {
        run.Fail(out.address.isEmpty() ? kFailActivate : kAlreadyActive);
        out.address.clear();
        run.Note(Note("Close the context"));
        SendOnly(session, run, "AT+JIDEACT=1");
    }
    return out;
}

PdpOutcome PdpActivate2G(ModemSession& session, const ScriptRunner& run, const PdpSettings& s, const QString& apn)
{
    PdpOutcome out;
    run.Note(Note("Use AT+CPIN?/AT+CREG?/AT+CGREG? to query the SIM status and network registration status"));
    if (!run.Succeeds(CommandStep("AT+CPIN?", 4000, {"+CPIN: READY", "OK"}))) {
        run.Fail(kFailPin);
        return out;
    }
    bool good = run.Succeeds(CommandStep("AT+CREG?", 4000, {"AT+CREG?", "OK"}));
    QString reply;
    good &= run.Succeeds(CommandStep("AT+CGREG?", 4000), &reply) && PacketRegistered(reply);
    good &= run.Succeeds(CommandStep("AT+JIMODE=0", 2000, {"OK"},
                        Note("Use AT+JIMODE command to select TCPIP Stack mode, it is non-transparent mode when "
                             "AT+JIMODE=0, and AT+JIMODE=1 is transparent (This tool only support non-transparent mode)")));
    // The combo's PAP is 0 and CHAP 1 in this dialect; None takes the short form.
    const int auth = s.authIndex == 1 ? 0 : s.authIndex == 2 ? 1 : -1;
    if (auth < 0) {
        good &= run.Succeeds(CommandStep(QString("AT+JICSGP=1,\"%1\"").arg(apn), 4000, {"OK"},
                            QString("/* Use AT+JICSGP=1,\"%1\" to set APN as \"%1\" */").arg(apn)));
    } else {
        good &= run.Succeeds(CommandStep(QString("AT+JICSGP=1,\"%1\",\"%2\",\"%3\",%4").arg(apn, s.user, s.password).arg(auth), 4000, {"OK"},
                QString("/* Use AT+JICSGP=1,\"%1\",\"%2\",\"%3\",%4 to set APN as \"%1\",user name as \"%2\",password "
                        "as \"%3\" */")
                    .arg(apn, s.user, s.password)
                    .arg(auth)));
    }
    good &= run.Succeeds(CommandStep("AT+JIREGAPP", 4000, {"OK"}, Note("(4) Start TCPIP task")));
    if (run.Succeeds(CommandStep("AT+JICSGP?", 4000, {"OK"},
                    Note(QString::fromUtf8("Check the current connecting mode(1: GPRS connecting mode\xEF\xBC\x8C"
                                           "0: CSD connecting mode)"))),
            &reply)) {
        const qsizetype at = reply.indexOf("+JICSGP:");
        if (at >= 0) {
            const QString mode = reply.mid(at + 8).trimmed().left(2).trimmed();
            if (mode == "0")
                run.Note(Note("The current connecting mode is CSD connecting mode"));
            else if (mode == "1")
                run.Note(Note("The current connecting mode is GPRS connecting mode"));
        }
    } else {
        good = false;
    }
    good &= run.Succeeds(CommandStep("AT+JIACT", 5000, {"OK"}, Note("Active the GPRS context")));
    run.Note(Note("Get the local IP address"));
    const Verdict v = SendAndCollect(session, run, "AT+JILOCIP", 4000, reply, [&](const QString& r) {
        if (r.contains("ERROR") && r.endsWith('\n'))
            return Verdict::Failure;
        const qsizetype echo = r.indexOf("AT+JILOCIP");
        if (echo < 0)
            return Verdict::More;
        // The address is the first line after the echo that is not empty.
        qsizetype from = r.indexOf('\n', echo);
        while (from >= 0) {
            const qsizetype end = r.indexOf('\n', from + 1);
            if (end < 0)
                return Verdict::More;
            const QString line = r.mid(from + 1, end - from - 1).trimmed();
            if (!line.isEmpty()) {
                if (line.count('.') != 3)
                    return Verdict::Failure;
                out.address = line;
                return Verdict::Success;
            }
            from = end;
        }
        return Verdict::More;
    });
    out.active = good && v == Verdict::Success && !out.address.isEmpty();
    if (!out.active && run.Active()) {
        out.address.clear();
        run.Fail(kFailActivate);
        run.Note(Note("Close the context"));
        SendOnly(session, run, "AT+JIDEACT");
    }
    return out;
}

} // namespace

PdpOutcome PdpActivate(ModemSession& session, const TaskGate::Token& token, int moduleType, const PdpSettings& s)
{
    ScriptRunner run(session, token);
    QString apn = s.apn;
    apn.remove(' ');
    return moduleType == 0 ? PdpActivate2G(session, run, s, apn) : PdpActivate3G(session, run, s, apn);
}

bool Deactivate(ModemSession& session, const TaskGate::Token& token, int moduleType)
{
    ScriptRunner run(session, token);
    run.Note(Note("Use ATE1 to enable echo mode"));
    SendOnly(session, run, "ATE1");
    run.Sleep(std::chrono::milliseconds(500));
    ScriptStep step = moduleType == 0 ? CommandStep("AT+JIDEACT", 15000, {"OK"}, Note("Use AT+JIDEACT to deactivate GPRS context"))
                                      : CommandStep("AT+JIDEACT=1", 15000, {"OK"}, Note("Use AT+JIDEACT=1 to deactivate GPRS context"));
    step.failure = kFailDeact;
    QString reply;
    return run.RunOrFail(step, reply);
}

// --- Connect and close

bool OpenConnection(ModemSession& session, const TaskGate::Token& token, int moduleType, const ConnectSettings& s)
{
    ScriptRunner run(session, token);
    const QString protocol = s.tcp ? "TCP" : "UDP";
    const QString address = Address(s);
    QString reply;
    run.Succeeds(CommandStep("ATV1", 3000, {"OK"}, Note("Use ATV1 to set the response format")));
    Verdict v = Verdict::Failure;
    if (moduleType != 0) {
        run.Note(QString("/* Use AT+JIOPEN=1,0,\"%1\",\"%2\",%3,0,%4 to connect to a TCP server (IP address: %2:%3). */")
                     .arg(protocol, address, s.port)
                     .arg(s.accessMode));
        const QString command = QString("AT+JIOPEN=1,0,\"%1\",\"%2\",%3,0,%4").arg(protocol, address, s.port).arg(s.accessMode);
        v = SendAndCollect(session, run, command, 150000, reply, [](const QString& r) {
            const qsizetype ok = r.indexOf("OK");
            if (ok < 0)
                return r.contains("ERROR") ? Verdict::Failure : Verdict::More;
            // The open's outcome follows its OK, in the same piece or later.
            const qsizetype at = r.indexOf("+JIOPEN:", ok);
            const qsizetype comma = at < 0 ? -1 : r.indexOf(',', at);
            const qsizetype end = comma < 0 ? -1 : r.indexOf('\n', comma);
            if (end < 0)
                return Verdict::More;
            QString code = r.mid(comma + 1, end - comma - 1);
            code.remove('\r');
            code = code.trimmed();
            return code == "0" || code == "-11" ? Verdict::Success : Verdict::Failure;
        });
    } else {
        run.Succeeds(CommandStep("AT+JIHEAD=1", 2000, {"OK"}, Note("Use AT+JIHEAD=1 to add the header information when receive data")));
        ScriptStep dns = CommandStep(s.domain ? "AT+JIDNSIP=1" : "AT+JIDNSIP=0", 2000, {"OK"},
            Note("Use AT+JIDNSIP=0 to use the IP address to establish TCP/UDP session, while AT+JIDNSIP=1 is use the "
                 "domain name to establish TCP/UDP session"));
        dns.error.clear();
        run.Succeeds(dns);
        run.Note(QString("/* Use AT+JIOPEN=\"TCP\",\"%1\",\"%2\" to connect to a TCP server (IP address: %1:%2). If return "
                         "\"CONNECT OK\" means successfully connected to the remote server */")
                     .arg(address, s.port));
        const QString command = QString("AT+JIOPEN=\"%1\",\"%2\",\"%3\"").arg(protocol, address, s.port);
        v = SendAndCollect(session, run, command, 10000, reply, [](const QString& r) {
            if (!r.endsWith('\n'))
                return Verdict::More;
            if (r.contains("CONNECT OK") || r.contains("ALREADY CONNECT"))
                return Verdict::Success;
            if (r.contains("CONNECT FAIL") || r.contains("ERROR"))
                return Verdict::Failure;
            return Verdict::More;
        });
    }
    if (v != Verdict::Success) {
        run.Fail(kFailConnect);
        return false;
    }
    return true;
}

void CloseConnection(ModemSession& session, const TaskGate::Token& token, int moduleType, TcpIpShared& shared)
{
    ScriptRunner run(session, token);
    const bool echoOn = run.Succeeds(CommandStep("ATE1", 3000, {"OK"}, Note("Use ATE1 to enable echo mode")));
    shared.transparentMode = 0;
    const ScriptStep close = moduleType == 0
        ? CommandStep("AT+JICLOSE", 15000, {"OK"}, Note("Use AT+JICLOSE to close the connecting of TCP/UDP"))
        : CommandStep("AT+JICLOSE=0", 15000, {"OK"}, Note("Use AT+JICLOSE=0 to close the connection of TCP/UDP"));
    QString reply;
    const StepResult r = run.Run(close, reply);
    if (r == StepResult::Error || r == StepResult::Timeout || (r == StepResult::Success && !echoOn))
        run.Fail(kFailClose);
}

// --- Send

SendOutcome SendData(ModemSession& session, const TaskGate::Token& token, int moduleType, const SendSettings& s,
    TcpIpShared& shared)
{
    ScriptRunner run(session, token);
    SendOutcome out;
    const bool umts = moduleType != 0;
    run.Note(umts
            ? QString("/* Use AT+JISEND=0 to send data to server, \">\" from the UART or USB port indicates the following "
                      "input data is considered as data to be sent. After receiving \">\", input data (TEST), the maximum "
                      "length of the data is 1460, the data beyond 1460 will be omitted. Then use <CTRL+Z> to send data. "
                      "When receive SEND OK means the data has been sent */")
            : QString("/* AT+JISEND, send data to server, \">\" from the UART indicates the following input data is "
                      "considered as data to be send. After receiving \">\", input data (TEST), the maximum length of the "
                      "data is 1460, the data beyond 1460 will be omitted. Then use <CTRL+Z> to send data. When receive "
                      "SEND OK means the data has been sent */"));
    // The length warning comes before the send command: the module must not
    // sit at its prompt while the box waits for the user.
    const QByteArray data = LimitData(run, s.data, shared.echoMode.load() != 0);
    if (!WaitPrompt(session, run, umts ? "AT+JISEND=0" : "AT+JISEND")) {
        run.Fail(kNotAllSent);
        return out;
    }
    session.Buffers().ClearReceivedText();
    WriteData(session, run, data);
    if (!run.Active())
        return out;
    // Written is not sent: only the module's SEND OK says the data went out.
    QString reply;
    const Verdict v = AwaitSendOk(session, run, reply);
    out.sent = v == Verdict::Success;
    if (!out.sent) {
        run.Fail(kNotAllSent);
        return out;
    }
    out.bytesSent = int(data.size());
    if (umts) {
        if (!s.autoQuery)
            return out;
        run.Note(Note("Use AT+JISEND=0,0 to query whether all the data have been sent out"));
        for (int round = 0; round < kQueryRounds && run.Active(); ++round) {
            if (run.Succeeds(CommandStep("AT+JISEND=0,0", 3000), &reply) && ParseJisendQuery(reply).value_or(false)) {
                out.acknowledged = true;
                break;
            }
            if (round + 1 < kQueryRounds && !run.Sleep(std::chrono::milliseconds(s.periodMs)))
                break;
        }
    } else {
        if (!s.autoQuery)
            return out;
        run.Note(Note("Use AT+JISACK to query whether all the data has been sent out"));
        if (!s.tcp) {
            run.Sleep(std::chrono::milliseconds(400));
            return out;
        }
        for (int round = 0; round < kQueryRounds && run.Active(); ++round) {
            if (!run.Sleep(std::chrono::milliseconds(s.periodMs)))
                break;
            QString reply;
            if (run.Succeeds(CommandStep("AT+JISACK", 3000), &reply) && ParseJisackQuery(reply).value_or(false)) {
                out.acknowledged = true;
                break;
            }
        }
    }
    if (!out.acknowledged)
        run.Fail(kNotAllSent);
    return out;
}

// --- Received lines

void HandleReceivedLine(TcpIpShared& shared, const QString& line, bool taskRunning,
    const std::function<void(const QString& id)>& queueRead)
{
    const qsizetype at = line.indexOf("+JIURC: \"recv\"");
    if (at < 0)
        return;
    const qsizetype comma = line.indexOf(',', at);
    if (comma < 0)
        return;
    // With the length after the id the data came with the notice.
    if (line.indexOf(',', comma + 1) >= 0)
        return;
    QString id = line.mid(comma + 1);
    id.remove('\r');
    id.remove('\n');
    id.remove(' ');
    {
        std::lock_guard lock(shared.idLock);
        shared.recvConnectionId = id;
    }
    if (taskRunning) {
        shared.readPending = 1;
        shared.received.Poke();
    } else if (queueRead)
        queueRead(id);
}

void ReadIfPending(TcpIpShared& shared, const std::function<void(const QString& id)>& queueRead)
{
    if (shared.readPending.exchange(0) != 0 && queueRead)
        queueRead(shared.RecvConnectionId());
}

// --- Echo request

QByteArray EchoRequest(const QString& imei)
{
    return "$ECHO&IMEI=" + (imei.isEmpty() ? QByteArray("000000000000001") : imei.toLatin1()) + "\r\n";
}

bool SendEchoRequest(ModemSession& session, const TaskGate::Token& token, int moduleType, TcpIpShared& shared)
{
    ScriptRunner run(session, token);
    QString reply;
    ScriptStep gsn = CommandStep("AT+GSN", 3000, {"OK"}, Note("Use AT+GSN to query the IMEI of module"));
    QString imei;
    if (run.Succeeds(gsn, &reply))
        imei = ParseImei(reply);
    const QByteArray request = EchoRequest(imei);

    run.Note(Note("Send echo request command"));
    if (!WaitPrompt(session, run, moduleType == 0 ? "AT+JISEND" : "AT+JISEND=0"))
        return false;
    shared.received.Clear();
    session.Buffers().ClearReceivedText();
    shared.readPending = 0;
    WriteData(session, run, request);
    if (AwaitSendOk(session, run, reply) != Verdict::Success)
        return false;

    // The answer reaches the page through its receive path (pushed data, or a
    // read after a notice); the banner and the request, in that order.
    const auto answered = [&](const QByteArray& data) { return data.contains(request); };
    for (int reads = 0; reads < 64 && run.Active(); ++reads) {
        bool noticed = false;
        const bool done = shared.received.WaitUntil(token, session.Gate(), std::chrono::milliseconds(10000),
            [&](const QByteArray& data) {
                noticed = shared.readPending.load() != 0;
                return answered(data) || noticed;
            });
        if (answered(shared.received.Data()))
            return true;
        if (!done || !noticed || moduleType == 0)
            return false;
        // The data wait in the module: read them (the router shows them).
        shared.readPending = 0;
        run.Note(Note("Send AT+JIRD=0,1500 to read messages in module buffer"));
        run.Succeeds(CommandStep("AT+JIRD=0,1500", 3000));
    }
    return false;
}

} // namespace ulv
