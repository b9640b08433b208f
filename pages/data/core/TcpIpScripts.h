#pragma once

// The TCP/UDP page's scripted exchanges with the module's own IP stack, in the
// two dialects: module type 1 (UMTS/HSPA family: AT+JIACT=1, AT+JIOPEN=1,0,...,
// AT+JISEND=0) and module type 0 (GSM family: AT+JIREGAPP, AT+JILOCIP,
// AT+JIOPEN="TCP",..., AT+JISACK). Each runs on the worker's thread under its
// task token; what the page shows comes back as the result, the boxes are
// shown here.

#include "platform/TaskGate.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>

namespace ulv {

class ModemSession;

// The data the page has received from the remote end, for a worker that waits
// for an answer (the echo request). The page's receive path appends; waits end
// on the data, the deadline or Stop.
class ReceivedDataLog {
public:
    void Append(const QByteArray& data);
    void Clear();
    // Wakes the waits without data (something else they look at changed).
    void Poke();
    QByteArray Data() const;
    // Waits until done(all data so far) holds; false on the deadline or Stop.
    bool WaitUntil(const TaskGate::Token& token, TaskGate& gate, std::chrono::milliseconds timeout,
        const std::function<bool(const QByteArray&)>& done);

private:
    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    QByteArray m_data;
    unsigned m_wakes = 0;
};

// State the page and its workers share.
struct TcpIpShared {
    std::atomic<int> echoMode{0};        // the echo test has completed: CR LF sent, banner removed
    std::atomic<int> transparentMode{0};
    std::atomic<int> readPending{0};     // a "recv" notice came while a task ran
    ReceivedDataLog received;
    mutable std::mutex idLock;
    QString recvConnectionId;            // from the last "+JIURC: "recv"" notice
    QString RecvConnectionId() const
    {
        std::lock_guard lock(idLock);
        return recvConnectionId;
    }
};

struct PdpSettings {
    QString apn;      // blanks are removed before use
    QString user;
    QString password;
    int authIndex = 0; // the authentication combo: None, PAP, CHAP, PAP/CHAP
};

struct PdpOutcome {
    bool active = false;
    QString address; // the module's local address
};

struct ConnectSettings {
    bool tcp = true;
    QString address; // dotted address, or the host name in domain mode
    bool domain = false;
    QString port;
    int accessMode = 1; // 0 buffer, 1 direct push (UMTS/HSPA only)
};

struct SendSettings {
    QByteArray data;
    bool tcp = true;
    bool autoQuery = true;
    int periodMs = 1000;
};

struct SendOutcome {
    bool sent = false;         // the module confirmed the send (UMTS/HSPA) or took the data (GSM)
    bool acknowledged = false; // the query found every byte acknowledged
    int bytesSent = 0;
};

// The echo server the page is preset to (a documentation address: the
// simulated module's table maps it to a local server).
inline constexpr char kEchoServerAddress[] = "203.0.113.60";
inline constexpr char kEchoServerPort[] = "6003";
inline constexpr char kDefaultServerName[] = "echo.ulvenscope.test";

inline constexpr int kMaxSendLength = 1460;
inline constexpr int kMaxEchoSendLength = 1458;
inline constexpr int kQueryRounds = 11;
// The pause between the prompt and the data, and between the data and Ctrl-Z.
inline constexpr std::chrono::milliseconds kDataPause{100};

// PDP ACT: the checks, the bearer, the activation and the local address. On a
// failure the box is shown and the context closed (without waiting).
PdpOutcome PdpActivate(ModemSession& session, const TaskGate::Token& token, int moduleType, const PdpSettings& s);
// DEACT: false (after "Fail to deact!") when the module refused or did not answer.
bool Deactivate(ModemSession& session, const TaskGate::Token& token, int moduleType);
// Connect: true when the connection is open; else "Fail to connect to server!" was shown.
bool OpenConnection(ModemSession& session, const TaskGate::Token& token, int moduleType, const ConnectSettings& s);
// Close: whatever the module answers, the connection counts as closed.
void CloseConnection(ModemSession& session, const TaskGate::Token& token, int moduleType, TcpIpShared& shared);
// Send: the data (cut to the limit, with the box) and the optional acknowledgement query.
SendOutcome SendData(ModemSession& session, const TaskGate::Token& token, int moduleType, const SendSettings& s,
    TcpIpShared& shared);

// The acknowledgement in a "+JISEND:" query reply: the last line with all three
// counts decides (unacknowledged 0); a line without them is no acknowledgement.
// Empty when the reply holds no "+JISEND:" line.
std::optional<bool> ParseJisendQuery(const QString& reply);
// The same for the GSM family's "+JISACK:".
std::optional<bool> ParseJisackQuery(const QString& reply);
// "+CGREG: n,stat": the state after the first comma must be registered (1, or
// 5 roaming); a reply without the line passes.
bool PacketRegistered(const QString& reply);
// The local address in a "+JIACT?" reply (context 1 active), else empty.
QString ParseJiactAddress(const QString& reply);

// The echo test's request: "$ECHO&IMEI=" + IMEI + CR LF; sends it and waits for
// the echo server's answer to come back. True when it did.
QByteArray EchoRequest(const QString& imei);
bool SendEchoRequest(ModemSession& session, const TaskGate::Token& token, int moduleType, TcpIpShared& shared);

// The IMEI in an AT+GSN reply (after the echoed command), else empty.
QString ParseImei(const QString& reply);

} // namespace ulv

namespace ulv {

// A received line that matters to the page: a "+JIURC: "recv"" notice. With a
// length after the connection id the data follow at once (direct push, shown
// by the receive router); without, the data wait in the module for a read:
// queueRead(id) when no task runs, else the read is left pending for the task.
void HandleReceivedLine(TcpIpShared& shared, const QString& line, bool taskRunning,
    const std::function<void(const QString& id)>& queueRead);
// After a task: the read a notice left pending.
void ReadIfPending(TcpIpShared& shared, const std::function<void(const QString& id)>& queueRead);

} // namespace ulv
