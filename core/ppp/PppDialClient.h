#pragma once

#include "core/ppp/IpcpAddressState.h"
#include "core/ppp/LcpOptionState.h"
#include "core/ppp/PppFrameCodec.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ulv {

// What the PPP client needs of the module's port: the session gives it in the
// program, a test gives it over a fake line.
class PppLineIo {
public:
    using Clock = std::chrono::steady_clock;
    virtual ~PppLineIo() = default;
    // False once the user stopped the task.
    virtual bool Running() = 0;
    // Empties the received text and hex.
    virtual void ClearReceived() = 0;
    // A command line (CR LF appended when lineEnd) or a text such as "+++".
    virtual void SendText(const std::string& text, bool lineEnd) = 0;
    virtual void SendRaw(const std::vector<std::uint8_t>& bytes) = 0;
    // Waits until something is received, the task is stopped or the deadline
    // passes, then takes what came as text and as upper-case hex.
    virtual void WaitReceived(Clock::time_point deadline, std::string& text, std::string& hex) = 0;
    // A terminal line: kind 0 sent data, kind 2 a step note.
    virtual void Note(int kind, const std::string& text) = 0;
    // The carrier-detect line.
    virtual int DcdState() = 0;
    // False once the port is gone: nothing more can be sent or received.
    virtual bool LineOpen() { return true; }
    // While set the terminal shows received chunks as hex.
    virtual void SetRecvAsHex(bool hex) = 0;
};

// The process-wide debug log of received negotiation data. Each line opens,
// appends to and closes the file, so a crash loses nothing written before it.
class PppDebugLog {
public:
    static void SetPath(std::string path);
    static std::string Path();
    // "<source>,<line>,<local time> <text>\r\n".
    static void Write(int line, std::string_view text);
};

struct PppDialSettings {
    std::string user;
    std::string password;
    std::string pdpCommand; // AT+CGDCONT=...
    int authIndex = 0;      // PppAuthIndex
    int dnsNumber = 2;      // 0, 1 or 2 DNS addresses asked for
};

enum class PppDialOutcome { Up, Failed, Stopped };

struct PppDialResult {
    PppDialOutcome outcome = PppDialOutcome::Failed;
    // The message the user sees; empty for a stop.
    std::string message;
    LcpOptionState lcp;
    IpcpAddressState ipcp;
};

inline constexpr const char* kPppPreambleFailed = "Fail to PPP dial!";
inline constexpr const char* kPppDialFailed = "Failed to PPP dial!";
inline constexpr const char* kPppTerminateFailed = "Terminate PPP connection failed!,please check the module.";

// The largest frame the client turns into bytes, after unescaping.
inline constexpr std::size_t kPppMaxFrameBytes = 2048;

// The first "7E" at or after start whose distance from start is even; -1 when none.
int FindFlagAtEvenOffset(std::string_view hex, std::size_t start);

// Cuts whole frames out of received hex text. A frame that fails its length or
// FCS check, or is longer than kPppMaxFrameBytes, costs that frame only.
class PppFrameCutter {
public:
    void Append(std::string_view hex);
    void Clear() { m_pending.clear(); }
    const std::string& Pending() const { return m_pending; }
    // The next good frame, unescaped; nothing while no whole frame is held.
    std::optional<std::string> Next(const PppNoteSink& note);
    // Text held without a closing flag beyond this is dropped.
    static constexpr std::size_t kPendingLimit = 2 * 16000;

private:
    std::string m_pending;
};

// The PPP client's dial and terminate procedures: AT preamble, LCP, PAP or
// CHAP-MD5, IPCP; and LCP Terminate with the return to command mode.
class PppDialClient {
public:
    using Clock = std::chrono::steady_clock;
    explicit PppDialClient(PppLineIo& io) : m_io(io) {}

    PppDialResult Dial(const PppDialSettings& settings);
    // The older procedure, kept beside Dial and started by nothing: the same
    // preamble, then LCP acknowledging any authentication, PAP always, and
    // IPCP without the settle step. Frames after its own LCP request are
    // escaped with the ACCM the peer named.
    PppDialResult DialLegacyPap(const PppDialSettings& settings);
    // The ACCM of the last dial escapes the Terminate-Request. False (with
    // kPppTerminateFailed) when no Terminate-Ack came or the user stopped.
    bool Terminate(const LcpOptionState& lcp);

    // Time-outs, in ms; tests shorten them.
    struct Timing {
        int atStep = 5000;
        int firstLcpWait = 3000;
        int phaseTotal = 20000;
        int phaseIdle = 5000;
        int ipcpFirstWait = 3000;
        int ipcpRepeat = 3000;
        int ipcpTotal = 60000;
        int peerIpcpIdle = 3000;
        int settleIdle = 3000;
        int escapeWait = 5000;
        int restorePause = 500;
        int terminateAnswerPause = 500;
        // Each phase has its own limits, started anew on every entry; a peer
        // that keeps reopening the negotiation would otherwise hold the dial
        // for ever. Longer than the slowest dial that moves on.
        int negotiationTotal = 180000;
    } timing;

private:
    enum class Poll { Frame, Timeout, Stopped };
    enum class Phase { FirstLcp, LcpLoop, OwnLcp, Auth, Pap, Chap, IpcpFirst, OwnIpcp, PeerIpcp, Settle, Up, Tail };

    bool AtStep(const std::string& note, const std::string& command, const std::string& token, int timeoutMs);
    void SendFrame(std::string_view protocol, std::string_view code, std::string_view id, std::string_view data,
        bool lcpConfig);
    // The next frame of a phase: one held back by the previous phase first.
    Poll NextFrame(Clock::time_point phaseDeadline, int idleMs, PppFrameFields& frame,
        std::optional<Clock::time_point> wakeAt = std::nullopt, int logLine = 0);
    void Hold(const PppFrameFields& frame) { m_held = frame; }
    void AnswerTerminate(const PppFrameFields& frame);
    void EscapeToCommandMode();
    void RestoreEchoAndVerbose(bool afterPreamble);
    // After a failed dial: the pause after answering the peer's Terminate,
    // then back to command mode (escape) and echo and verbose results again.
    void FailureTail(bool escape);
    std::string OwnIpcpOptions() const;
    bool Preamble(const PppDialSettings& settings, PppDialResult& result);
    std::string NextIpcpId();

    PppLineIo& m_io;
    PppFrameCutter m_cutter;
    std::optional<PppFrameFields> m_held;
    Clock::time_point m_lastActivity;
    LcpOptionState m_lcp;
    IpcpAddressState m_ipcp;
    bool m_escapeOnFailure = true;
    bool m_terminated = false; // the peer ended the link
    int m_ipcpCounter = 3;
};

} // namespace ulv
