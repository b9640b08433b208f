#include "core/ppp/PppDialClient.h"

#include "core/ppp/ChapResponse.h"
#include "core/ppp/PppOptions.h"
#include "core/text/TextCodecs.h"
#include "platform/DataFolder.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <ctime>
#include <fstream>
#include <mutex>

namespace ulv {

namespace {

constexpr const char* kLogSource = "TestitemDlg_pppdial";

std::mutex& LogLock()
{
    static std::mutex lock;
    return lock;
}

std::string& LogPath()
{
    // Beside the program's other files, not wherever it was started from.
    static std::string path = DataPath(QStringLiteral("ulvenscoper.log")).toStdString();
    return path;
}

std::string HexId(int id)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02X", id & 0xFF);
    return text;
}

std::string AddressOption(const char* type, const IpcpAddressState::Entry& e)
{
    std::string text = type;
    text += "06";
    for (std::uint8_t b : e.address)
        text += HexId(b);
    return text;
}

std::array<std::uint8_t, 4> Ipv4Zero()
{
    return {};
}

// The address offered to a peer without one (pppd's choice for an unknown remote).
constexpr const char* kPppPeerAddressNak = "03060A404040";

// The terminal note for an authentication the peer refused: the phase and the
// message the peer sent with its refusal, as text (hex pairs in `message`).
std::string RefusalNote(const char* phase, std::string_view message)
{
    std::string text;
    for (std::size_t i = 0; i + 1 < message.size() && text.size() < 200; i += 2) {
        const int hi = HexDigitValue(message[i]);
        const int lo = HexDigitValue(message[i + 1]);
        if (hi < 0 || lo < 0)
            break;
        const int c = hi * 16 + lo;
        // Control bytes would break the note; "*/" would end it early.
        text.push_back(c >= 0x20 && c < 0x7F && !(c == '/' && !text.empty() && text.back() == '*') ? char(c) : '.');
    }
    return std::string("/* The peer refused the authentication in ") + phase + ": "
        + (text.empty() ? std::string("(no message)") : "\"" + text + "\"") + " */";
}

} // namespace

void PppDebugLog::SetPath(std::string path)
{
    std::lock_guard lock(LogLock());
    LogPath() = std::move(path);
}

std::string PppDebugLog::Path()
{
    std::lock_guard lock(LogLock());
    return LogPath();
}

void PppDebugLog::Write(int line, std::string_view text)
{
    std::lock_guard lock(LogLock());
    std::ofstream out(LogPath(), std::ios::app | std::ios::binary);
    if (!out)
        return;
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%s,%d,%4d-%2.2d-%2.2d %2.2d:%2.2d:%2.2d ", kLogSource, line,
        tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    out << stamp << text << "\r\n";
}

int FindFlagAtEvenOffset(std::string_view hex, std::size_t start)
{
    for (std::size_t pos = start; pos + 2 <= hex.size(); pos += 2)
        if (hex[pos] == '7' && (hex[pos + 1] == 'E' || hex[pos + 1] == 'e'))
            return static_cast<int>(pos);
    return -1;
}

void PppFrameCutter::Append(std::string_view hex)
{
    m_pending += PppRemoveBlanks(hex);
    if (m_pending.size() > kPendingLimit) {
        PppDebugLog::Write(__LINE__, "pending data without a closing flag dropped");
        m_pending.clear();
    }
}

std::optional<std::string> PppFrameCutter::Next(const PppNoteSink& note)
{
    for (;;) {
        // A frame opens at a byte boundary only: "7EFF" across two bytes is data.
        std::size_t open = std::string::npos;
        for (std::size_t pos = 0; pos + 4 <= m_pending.size(); pos += 2)
            if (m_pending.compare(pos, 4, "7EFF") == 0) {
                open = pos;
                break;
            }
        if (open == std::string::npos) {
            // Keep a trailing flag: it may open the next frame.
            const int flag = FindFlagAtEvenOffset(m_pending, m_pending.size() >= 2 ? m_pending.size() - 2 : 0);
            m_pending = flag >= 0 ? m_pending.substr(static_cast<std::size_t>(flag)) : std::string();
            return std::nullopt;
        }
        m_pending.erase(0, open);
        const int close = FindFlagAtEvenOffset(m_pending, 18);
        if (close < 0)
            return std::nullopt;
        const std::string wire = m_pending.substr(0, static_cast<std::size_t>(close) + 2);
        // The closing flag stays: it may open the next frame too.
        m_pending.erase(0, static_cast<std::size_t>(close));
        const std::string frame = UnescapePppBytes(wire);
        if (frame.size() / 2 > kPppMaxFrameBytes) {
            PppDebugLog::Write(__LINE__, "frame over 2048 bytes dropped");
            continue;
        }
        if (!CheckFrameLength(frame) || !CheckFrameFcs(frame, note))
            continue;
        return frame;
    }
}

bool PppDialClient::AtStep(const std::string& note, const std::string& command, const std::string& token,
    int timeoutMs)
{
    m_io.ClearReceived();
    m_io.Note(2, note);
    m_io.SendText(command, true);
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string collected;
    while (m_io.Running() && Clock::now() < deadline) {
        std::string text, hex;
        m_io.WaitReceived(deadline, text, hex);
        collected += PppRemoveBlanks(text);
        if (token.empty() ? !collected.empty() : collected.find(token) != std::string::npos)
            return true;
    }
    return false;
}

void PppDialClient::SendFrame(std::string_view protocol, std::string_view code, std::string_view id,
    std::string_view data, bool lcpConfig)
{
    const std::string frame = BuildPppFrame(protocol, code, id, data);
    const std::string wire = lcpConfig ? EscapePppBytes(frame, 0, AccmFlags{})
                                       : EscapePppBytes(frame, m_lcp.accmSeen, m_lcp.accmFlags);
    m_io.Note(0, PppSpaceHexPairs(wire) + "\r\n");
    std::vector<std::uint8_t> bytes;
    if (HexTextToBytes(wire, bytes) && bytes.size() <= 2 * kPppMaxFrameBytes)
        m_io.SendRaw(bytes);
}

PppDialClient::Poll PppDialClient::NextFrame(Clock::time_point phaseDeadline, int idleMs, PppFrameFields& frame,
    std::optional<Clock::time_point> wakeAt, int logLine)
{
    const PppNoteSink note = [this](const std::string& text) { m_io.Note(2, text); };
    for (;;) {
        if (!m_io.Running())
            return Poll::Stopped;
        if (m_held) {
            frame = std::move(*m_held);
            m_held.reset();
            return Poll::Frame;
        }
        if (auto cut = m_cutter.Next(note)) {
            frame = SplitPppFrame(*cut);
            return Poll::Frame;
        }
        const auto now = Clock::now();
        const auto idleDeadline = m_lastActivity + std::chrono::milliseconds(idleMs);
        if (now >= phaseDeadline || now >= idleDeadline || (wakeAt && now >= *wakeAt))
            return Poll::Timeout;
        auto deadline = std::min(phaseDeadline, idleDeadline);
        if (wakeAt)
            deadline = std::min(deadline, *wakeAt);
        std::string text, hex;
        m_io.WaitReceived(deadline, text, hex);
        if (!hex.empty()) {
            m_lastActivity = Clock::now();
            m_cutter.Append(hex);
            // One line per received chunk, never one per poll.
            if (logLine)
                PppDebugLog::Write(logLine, m_cutter.Pending());
        }
    }
}

void PppDialClient::AnswerTerminate(const PppFrameFields& frame)
{
    SendFrame(kPppProtocolLcp, "06", frame.identifier, frame.data, false);
    m_escapeOnFailure = false;
    m_terminated = true;
}

void PppDialClient::EscapeToCommandMode()
{
    // The replies are awaited but not judged; a stop does not cut these short,
    // the module must leave data mode whatever happened.
    auto waitFor = [this](const std::string& token, bool needNoCarrier) {
        const auto deadline = Clock::now() + std::chrono::milliseconds(timing.escapeWait);
        std::string collected;
        while (Clock::now() < deadline) {
            std::string text, hex;
            m_io.WaitReceived(deadline, text, hex);
            collected += text;
            if (collected.find(token) != std::string::npos && (!needNoCarrier || m_io.DcdState() == 0))
                return;
        }
    };
    m_io.Note(2, "/* Switch to command mode */");
    m_io.ClearReceived();
    m_io.SendText("+++", false);
    waitFor("3", true);
    m_io.Note(2, "/* Force to interrupt the PPP dial */");
    m_io.ClearReceived();
    m_io.SendText("ATH", true);
    waitFor("0", false);
}

void PppDialClient::RestoreEchoAndVerbose(bool afterPreamble)
{
    auto pause = [this](int ms) {
        const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
        while (Clock::now() < deadline && m_io.Running()) {
            std::string text, hex;
            m_io.WaitReceived(deadline, text, hex);
        }
    };
    m_io.Note(2, "/* Use ATE1 to enable echo mode */");
    m_io.SendText("ATE1", true);
    pause(afterPreamble ? 100 : timing.restorePause);
    m_io.Note(2, afterPreamble ? "/* Use ATV1 to set the response format */"
                               : "/* Use ATV1 to set the response format  */");
    m_io.SendText("ATV1", true);
    if (!afterPreamble)
        pause(timing.restorePause);
}

void PppDialClient::FailureTail(bool escape)
{
    if (m_terminated) {
        const auto until = Clock::now() + std::chrono::milliseconds(timing.terminateAnswerPause);
        while (Clock::now() < until && m_io.Running()) {
            std::string text, hex;
            m_io.WaitReceived(until, text, hex);
        }
    }
    m_io.SetRecvAsHex(false);
    // A lost port ends the dial here: nobody would hear the module's answers.
    if (!m_io.LineOpen())
        return;
    if (escape)
        EscapeToCommandMode();
    RestoreEchoAndVerbose(false);
}

std::string PppDialClient::OwnIpcpOptions() const
{
    std::string options;
    if (m_ipcp.ownAddress.present)
        options += AddressOption("03", m_ipcp.ownAddress);
    if (m_ipcp.ownDns1.present)
        options += AddressOption("81", m_ipcp.ownDns1);
    if (m_ipcp.ownDns2.present)
        options += AddressOption("83", m_ipcp.ownDns2);
    return options;
}

std::string PppDialClient::NextIpcpId()
{
    m_ipcpCounter = m_ipcpCounter + 1 > 240 ? 160 : m_ipcpCounter + 1;
    return HexId(m_ipcpCounter);
}

bool PppDialClient::Preamble(const PppDialSettings& settings, PppDialResult& result)
{
    m_io.SetRecvAsHex(false);
    m_lcp.Reset();
    m_ipcp.Reset();
    m_cutter.Clear();
    m_held.reset();
    m_escapeOnFailure = true;
    m_terminated = false;
    // The AT preamble: numeric results, no echo, the PDP context, the dial.
    const struct {
        const char* note;
        std::string command;
        const char* token;
    } steps[] = {
        {"/* Use ATE0 to disable echo mode */", "ATE0", "OK"},
        {"/* Use ATV0 to set the response format */", "ATV0", "0"},
        {"/* Use AT+CGDCONT=1,\"IP\",\"xxx\" to define a PDP context where CID=1, PDP type= IP, APN=xxx (xxx is "
         "the APN for the network provider China-Mobile and it should be replaced with the APN by your network "
         "provider) */",
            settings.pdpCommand, "0"},
    };
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        if (!AtStep(steps[i].note, steps[i].command, steps[i].token, timing.atStep)) {
            const bool stopped = !m_io.Running();
            result.outcome = stopped ? PppDialOutcome::Stopped : PppDialOutcome::Failed;
            result.message = stopped ? "" : kPppPreambleFailed;
            m_io.SetRecvAsHex(false);
            if (m_io.LineOpen())
                RestoreEchoAndVerbose(true);
            return false;
        }
        if (i == 1)
            m_io.SetRecvAsHex(true);
    }

    return true;
}

PppDialResult PppDialClient::Dial(const PppDialSettings& settings)
{
    PppDialResult result;

    if (!Preamble(settings, result))
        return result;

    bool failed = false;
    Phase phase = Phase::Tail;
    if (!AtStep("/* Use ATD*99# to dial up with defined PDP context */", "ATD*99#", "", timing.atStep)) {
        failed = m_io.Running();
    } else {
        m_io.Note(2, "/* After this row will be into the process of negotiations */");
        m_io.Note(2, "/* The sent and received data below will be hexadecimal mode except the information of the "
                     "status about port pins */");
        m_io.Note(2, "/* The period of negotiation in LCP */");
        m_io.ClearReceived();
        m_cutter.Clear();
        phase = Phase::FirstLcp;
    }

    bool ownLcpAcked = false;
    int peerAcked = 0;
    bool ipcpFirstEntry = true;
    bool ownIpcpAcked = false;
    std::string ipcpRetryOptions, ipcpRetryId;
    int ipcpRetries = 0;
    const auto ms = [](int n) { return std::chrono::milliseconds(n); };
    PppFrameFields f;
    std::string listA, listB;

    // Answers what every phase from LCP on answers the same way; true when handled.
    auto peerLcpRequestOrTerminate = [&](const PppFrameFields& fr) {
        if (fr.protocol == kPppProtocolLcp && fr.code == "01") {
            Hold(fr);
            phase = Phase::LcpLoop;
            return true;
        }
        if (fr.protocol == kPppProtocolLcp && fr.code == "05") {
            AnswerTerminate(fr);
            failed = true;
            phase = Phase::Tail;
            return true;
        }
        return false;
    };
    // LCP Nak and Reject of our own request, alike in both LCP loops.
    auto lcpNakOrReject = [&](const PppFrameFields& fr) {
        if (fr.code == "03") {
            if (ApplyLcpNak(fr.data, m_lcp)) {
                int id = PppHexPairToByte(fr.identifier) + 1;
                if (id > 90)
                    id = 1;
                SendFrame(kPppProtocolLcp, "01", HexId(id), fr.data, true);
            }
        } else if (fr.code == "04") {
            ApplyLcpReject(fr.data, m_lcp);
            if (m_lcp.accmSeen)
                SendFrame(kPppProtocolLcp, "01", fr.identifier, "0206" + AccmFlagsToText(m_lcp.accmFlags), true);
        }
    };
    // IPCP Nak and Reject of our own request; false when no option is left to ask for.
    auto ipcpNakOrReject = [&](const PppFrameFields& fr) {
        if (fr.code == "03") {
            if (ApplyIpcpNak(fr.data, m_ipcp)) {
                SendFrame(kPppProtocolIpcp, "01", NextIpcpId(), fr.data, false);
                ipcpRetryId = NextIpcpId();
                ipcpRetryOptions = fr.data;
                ipcpRetries = 0;
            }
            return true;
        }
        ApplyIpcpReject(fr.data, m_ipcp);
        const std::string options = OwnIpcpOptions();
        if (options.empty())
            return false;
        SendFrame(kPppProtocolIpcp, "01", NextIpcpId(), options, false);
        ipcpRetryId = NextIpcpId();
        ipcpRetryOptions = options;
        ipcpRetries = 0;
        return true;
    };

    Clock::time_point start = Clock::now();
    // The first wait of LCP and of IPCP: for the peer's Configure-Request, kept
    // for the next phase; other frames are dropped.
    auto waitForRequest = [&](std::string_view protocol, int waitMs, int logLine) {
        for (;;) {
            const Poll p = NextFrame(start + std::chrono::milliseconds(waitMs), waitMs, f, std::nullopt, logLine);
            if (p != Poll::Frame)
                return p;
            if (f.protocol == protocol && f.code == "01") {
                Hold(f);
                return p;
            }
        }
    };
    m_lastActivity = start;
    const Clock::time_point negotiationEnd = start + ms(timing.negotiationTotal);
    while (phase != Phase::Tail && phase != Phase::Up) {
        start = Clock::now();
        m_lastActivity = start;
        if (start >= negotiationEnd) {
            m_io.Note(2, "/* The negotiation did not come to an end in " + std::to_string(timing.negotiationTotal / 1000)
                    + " s */");
            failed = true;
            phase = Phase::Tail;
            break;
        }
        switch (phase) {
        case Phase::FirstLcp: {
            const Poll p = waitForRequest(kPppProtocolLcp, timing.firstLcpWait, 1034);
            if (p == Poll::Frame) {
                ownLcpAcked = false;
                m_io.ClearReceived();
            }
            phase = p == Poll::Stopped ? Phase::Tail : p == Poll::Frame ? Phase::LcpLoop : Phase::OwnLcp;
            break;
        }
        case Phase::LcpLoop: {
            m_lcp.Reset();
            m_ipcp.Reset();
            peerAcked = 0;
            phase = Phase::Tail;
            for (;;) {
                const Poll p = NextFrame(start + ms(timing.phaseTotal), timing.phaseIdle, f, std::nullopt, 1138);
                if (p != Poll::Frame) {
                    failed = p == Poll::Timeout;
                    break;
                }
                if (f.protocol != kPppProtocolLcp)
                    continue;
                if (f.code == "01") {
                    const PeerRequestVerdict v = ParsePeerLcpRequest(f.data, listA, listB, m_lcp, settings.authIndex);
                    if (v == PeerRequestVerdict::Reject) {
                        SendFrame(kPppProtocolLcp, "04", f.identifier, listA, true);
                    } else if (v == PeerRequestVerdict::Nak) {
                        SendFrame(kPppProtocolLcp, "03", f.identifier, listB, true);
                    } else {
                        SendFrame(kPppProtocolLcp, "02", f.identifier, f.data, true);
                        peerAcked = 1;
                        phase = ownLcpAcked ? Phase::Auth : Phase::OwnLcp;
                        break;
                    }
                } else if (f.code == "02") {
                    ownLcpAcked = true;
                } else if (f.code == "03" || f.code == "04") {
                    lcpNakOrReject(f);
                } else if (f.code == "05") {
                    AnswerTerminate(f);
                    failed = true;
                    break;
                }
            }
            break;
        }
        case Phase::OwnLcp: {
            SendFrame(kPppProtocolLcp, "01", "01",
                "0206" + (m_lcp.accmSeen ? AccmFlagsToText(m_lcp.accmFlags) : std::string("00000000")), true);
            phase = Phase::Tail;
            for (;;) {
                const Poll p = NextFrame(start + ms(timing.phaseTotal), timing.phaseIdle, f);
                if (p != Poll::Frame) {
                    failed = p == Poll::Timeout;
                    break;
                }
                if (f.protocol != kPppProtocolLcp)
                    continue;
                if (f.code == "01") {
                    Hold(f);
                    phase = Phase::LcpLoop;
                    break;
                }
                if (f.code == "02") {
                    ownLcpAcked = true;
                    phase = peerAcked ? Phase::Auth : Phase::LcpLoop;
                    break;
                }
                if (f.code == "03" || f.code == "04") {
                    lcpNakOrReject(f);
                } else if (f.code == "05") {
                    AnswerTerminate(f);
                    failed = true;
                    break;
                }
            }
            break;
        }
        case Phase::Auth:
            if (settings.authIndex == kPppAuthNone || !m_lcp.authSeen || m_lcp.authKind == LcpOptionState::kAuthOther)
                phase = Phase::IpcpFirst;
            else
                phase = m_lcp.authKind == LcpOptionState::kAuthPap ? Phase::Pap : Phase::Chap;
            break;
        case Phase::Pap: {
            m_io.Note(2, "/* The period of authentication user in PAP */");
            peerAcked = 0;
            m_io.ClearReceived();
            const std::string data = BuildPapRequestData(settings.user, settings.password);
            SendFrame(kPppProtocolPap, "01", "02", data, false);
            phase = Phase::Tail;
            // The message of the peer's last Authenticate-Nak, when one came.
            std::optional<std::string> refusal;
            for (;;) {
                const Poll p = NextFrame(start + ms(timing.phaseTotal), timing.phaseIdle, f);
                if (p != Poll::Frame) {
                    failed = p == Poll::Timeout;
                    if (failed && refusal)
                        m_io.Note(2, RefusalNote("PAP", *refusal));
                    break;
                }
                if (f.protocol == kPppProtocolPap) {
                    if (f.code == "02") {
                        phase = Phase::IpcpFirst;
                        break;
                    }
                    // Its message follows a one-byte length.
                    if (f.code == "03")
                        refusal = f.data.size() >= 2 ? f.data.substr(2) : std::string();
                    if (++peerAcked < 4)
                        SendFrame(kPppProtocolPap, "01", "02", data, false);
                } else if (f.protocol == kPppProtocolLcp && f.code == "09") {
                    SendFrame(kPppProtocolLcp, "0A", f.identifier, f.data, false);
                } else if (peerLcpRequestOrTerminate(f)) {
                    break;
                }
            }
            break;
        }
        case Phase::Chap: {
            m_io.Note(2, "/* The period of authentication user in CHAP */");
            m_io.ClearReceived();
            phase = Phase::Tail;
            std::string challengeId, value;
            bool challenged = false;
            for (;;) {
                const Poll p = NextFrame(start + ms(timing.phaseTotal), timing.phaseIdle, f);
                if (p != Poll::Frame) {
                    failed = p == Poll::Timeout;
                    break;
                }
                if (f.protocol == kPppProtocolChap && f.code == "01") {
                    std::string size;
                    if (SplitChapValue(f.data, size, value)) {
                        challengeId = f.identifier;
                        challenged = true;
                        break;
                    }
                } else if (peerLcpRequestOrTerminate(f)) {
                    break;
                }
            }
            if (!challenged)
                break;
            // Only MD5 was accepted in LCP; any other algorithm gets no answer.
            if (m_lcp.chapAlgorithm != 5) {
                failed = true;
                break;
            }
            const std::string secret = PppStringToHex(settings.password);
            auto respond = [&] {
                m_io.ClearReceived();
                SendFrame(kPppProtocolChap, "02", challengeId,
                    "10" + ChapMd5Response(challengeId, value, secret) + PppStringToHexOr00(settings.user), false);
            };
            respond();
            start = Clock::now();
            m_lastActivity = start;
            for (;;) {
                const Poll p = NextFrame(start + ms(timing.phaseTotal), timing.phaseIdle, f);
                if (p != Poll::Frame) {
                    failed = p == Poll::Timeout;
                    break;
                }
                if (f.protocol == kPppProtocolChap) {
                    std::string size;
                    if (f.code == "01" && SplitChapValue(f.data, size, value)) {
                        challengeId = f.identifier;
                        respond();
                    } else if (f.code == "03") {
                        phase = Phase::IpcpFirst;
                        break;
                    } else if (f.code == "04") {
                        m_io.Note(2, RefusalNote("CHAP", f.data));
                        failed = true;
                        break;
                    }
                } else if (peerLcpRequestOrTerminate(f)) {
                    break;
                }
            }
            break;
        }
        case Phase::IpcpFirst: {
            m_io.Note(2, "/* The period of negotiation in NCP */");
            m_io.ClearReceived();
            const Poll p = waitForRequest(kPppProtocolIpcp, timing.ipcpFirstWait, 0);
            phase = p == Poll::Stopped ? Phase::Tail : p == Poll::Frame ? Phase::PeerIpcp : Phase::OwnIpcp;
            break;
        }
        case Phase::OwnIpcp: {
            if (ipcpFirstEntry) {
                ipcpFirstEntry = false;
                m_ipcpCounter = 3;
                ipcpRetryId = "03";
                m_ipcp.ownAddress.present = 1;
                m_ipcp.ownDns1.present = settings.dnsNumber >= 1;
                m_ipcp.ownDns2.present = settings.dnsNumber >= 2;
                ipcpRetryOptions = OwnIpcpOptions();
                SendFrame(kPppProtocolIpcp, "01", ipcpRetryId, ipcpRetryOptions, false);
            }
            ipcpRetries = 0;
            auto lastSend = Clock::now();
            phase = Phase::Settle;
            for (;;) {
                const Poll p = NextFrame(start + ms(timing.ipcpTotal), timing.ipcpTotal, f,
                    std::max(lastSend, m_lastActivity) + ms(timing.ipcpRepeat));
                if (p == Poll::Stopped) {
                    phase = Phase::Tail;
                    break;
                }
                if (p == Poll::Timeout) {
                    if (Clock::now() >= start + ms(timing.ipcpTotal) || ipcpRetries > 10) {
                        failed = true;
                        break;
                    }
                    SendFrame(kPppProtocolIpcp, "01", ipcpRetryId, ipcpRetryOptions, false);
                    ++ipcpRetries;
                    lastSend = Clock::now();
                    continue;
                }
                if (f.protocol == kPppProtocolIpcp) {
                    if (f.code == "01") {
                        Hold(f);
                        phase = Phase::PeerIpcp;
                        break;
                    }
                    if (f.code == "02") {
                        AdoptIpcpValues(f.data, m_ipcp);
                        ownIpcpAcked = true;
                        phase = peerAcked ? Phase::Settle : Phase::PeerIpcp;
                        break;
                    }
                    if ((f.code == "03" || f.code == "04") && !ipcpNakOrReject(f)) {
                        failed = true;
                        break;
                    }
                    lastSend = Clock::now();
                } else if (peerLcpRequestOrTerminate(f)) {
                    break;
                }
            }
            break;
        }
        case Phase::PeerIpcp: {
            // The peer's own addresses are learnt anew; ours stay.
            m_ipcp.peerAddress = m_ipcp.peerDns1 = m_ipcp.peerDns2 = IpcpAddressState::Entry{};
            peerAcked = 0;
            phase = Phase::Tail;
            for (;;) {
                const Poll p = NextFrame(start + ms(timing.phaseTotal), timing.peerIpcpIdle, f);
                if (p != Poll::Frame) {
                    failed = p == Poll::Timeout;
                    break;
                }
                if (f.protocol == kPppProtocolIpcp) {
                    if (f.code == "01") {
                        if (ParsePeerIpcpRequest(f.data, listA, listB, m_ipcp) == PeerRequestVerdict::Reject) {
                            SendFrame(kPppProtocolIpcp, "04", f.identifier, listA, false);
                            continue;
                        }
                        // A peer asking for 0.0.0.0 wants to be given an address; acked, it
                        // has none and closes IPCP again.
                        if (m_ipcp.peerAddress.present && m_ipcp.peerAddress.address == Ipv4Zero()) {
                            SendFrame(kPppProtocolIpcp, "03", f.identifier, kPppPeerAddressNak, false);
                            continue;
                        }
                        SendFrame(kPppProtocolIpcp, "02", f.identifier, f.data, false);
                        peerAcked = 1;
                        phase = ownIpcpAcked ? Phase::Settle : Phase::OwnIpcp;
                        break;
                    }
                    if (f.code == "02") {
                        // The Ack of our own request, come while the peer's is
                        // still being settled. Dropped, our request would go
                        // out again, and a peer whose IPCP is open restarts it
                        // on every request: the two would take turns for ever.
                        // Only the peer's own request is left to answer here.
                        AdoptIpcpValues(f.data, m_ipcp);
                        ownIpcpAcked = true;
                        continue;
                    }
                    if ((f.code == "03" || f.code == "04") && !ipcpNakOrReject(f)) {
                        failed = true;
                        break;
                    }
                } else if (peerLcpRequestOrTerminate(f)) {
                    break;
                }
            }
            break;
        }
        case Phase::Settle: {
            m_io.ClearReceived();
            Phase next = Phase::Up;
            for (;;) {
                const Poll p = NextFrame(start + ms(timing.phaseTotal), timing.settleIdle, f);
                if (p == Poll::Stopped) {
                    next = Phase::Tail;
                    break;
                }
                if (p == Poll::Timeout)
                    break;
                if (f.protocol == kPppProtocolIpcp && f.code == "01") {
                    Hold(f);
                    next = Phase::PeerIpcp;
                    break;
                }
                if (peerLcpRequestOrTerminate(f)) {
                    next = phase;
                    break;
                }
            }
            phase = failed && next == Phase::Up ? Phase::Tail : next;
            break;
        }
        case Phase::Up:
        case Phase::Tail:
            break;
        }
    }

    result.lcp = m_lcp;
    result.ipcp = m_ipcp;
    if (phase == Phase::Up && !failed && m_io.Running()) {
        result.outcome = PppDialOutcome::Up;
        return result;
    }
    const bool stopped = !m_io.Running();
    result.outcome = stopped ? PppDialOutcome::Stopped : PppDialOutcome::Failed;
    result.message = stopped ? "" : kPppDialFailed;
    FailureTail(m_escapeOnFailure);
    return result;
}

bool PppDialClient::Terminate(const LcpOptionState& lcp)
{
    m_lcp = lcp;
    m_io.ClearReceived();
    m_cutter.Clear();
    m_held.reset();
    m_io.Note(2, "/* Send the request of terminate */");
    SendFrame(kPppProtocolLcp, "05", "05", "", false);
    const auto start = Clock::now();
    m_lastActivity = start;
    bool acked = false;
    PppFrameFields f;
    for (;;) {
        const Poll p = NextFrame(start + std::chrono::milliseconds(timing.phaseTotal), timing.phaseIdle, f);
        if (p != Poll::Frame)
            break;
        if (f.protocol == kPppProtocolLcp && f.code == "06") {
            acked = true;
            break;
        }
    }
    if (acked) {
        // Text arriving now means the module has left data mode by itself.
        m_io.ClearReceived();
        const auto deadline = Clock::now() + std::chrono::milliseconds(timing.escapeWait);
        bool heard = false;
        while (!heard && Clock::now() < deadline && m_io.Running()) {
            std::string text, hex;
            m_io.WaitReceived(deadline, text, hex);
            heard = !hex.empty();
        }
        if (!heard && m_io.Running() && m_io.LineOpen()) {
            m_io.SetRecvAsHex(false);
            EscapeToCommandMode();
        }
        m_io.SetRecvAsHex(false);
        m_io.Note(2, "/* Use ATE1 to enable echo mode */");
        m_io.SendText("ATE1", true);
        const auto until = Clock::now() + std::chrono::milliseconds(timing.restorePause);
        while (Clock::now() < until && m_io.Running()) {
            std::string text, hex;
            m_io.WaitReceived(until, text, hex);
        }
        m_io.Note(2, "/* Use ATV1 to set the response format */");
        m_io.SendText("ATV1", true);
    } else {
        // No answer (a lost port, a peer gone): what comes next is text again.
        m_io.SetRecvAsHex(false);
    }
    return acked;
}

} // namespace ulv

namespace ulv {

namespace {

// Every option of a list whose type is not ACCM, authentication, or one of the
// address and DNS options; a malformed rest counts as unknown too.
std::string CollectUnknownOptions(std::string_view options)
{
    const std::string list = PppRemoveBlanks(options);
    const PppOptionWalk walk = WalkPppOptions(list);
    std::string unknown;
    for (const PppOption& o : walk.options)
        if (o.type != "02" && o.type != "03" && o.type != "81" && o.type != "83")
            unknown += o.text;
    return unknown + std::string(walk.malformed);
}

// The value of the first ACCM option of exactly six bytes; empty when none.
std::string FindAccmOptionValue(std::string_view options)
{
    const std::string list = PppRemoveBlanks(options);
    for (const PppOption& o : WalkPppOptions(list).options)
        if (o.type == "02" && o.text.size() == 12)
            return std::string(o.value);
    return {};
}

} // namespace

PppDialResult PppDialClient::DialLegacyPap(const PppDialSettings& settings)
{
    using std::chrono::milliseconds;
    PppDialResult result;
    if (!Preamble(settings, result))
        return result;

    AccmFlags flags{};
    bool ownLcpSent = false;
    // Frames go out in mode 0 until our own LCP request, then by the peer's map.
    auto send = [&](std::string_view protocol, std::string_view code, std::string_view id, std::string_view data) {
        const std::string frame = BuildPppFrame(protocol, code, id, data);
        const std::string wire = EscapePppBytes(frame, ownLcpSent ? 1 : 0, flags);
        m_io.Note(0, PppSpaceHexPairs(wire) + "\r\n");
        std::vector<std::uint8_t> bytes;
        if (HexTextToBytes(wire, bytes))
            m_io.SendRaw(bytes);
    };
    auto takeAccm = [&](std::string_view options) {
        const std::string value = FindAccmOptionValue(options);
        if (!value.empty())
            AccmTextToFlags(value, flags);
        return value;
    };
    // Reject what is unknown, else acknowledge; true when acknowledged.
    auto answerRequest = [&](std::string_view protocol, const PppFrameFields& f) {
        const std::string unknown = CollectUnknownOptions(f.data);
        if (!unknown.empty()) {
            send(protocol, "04", f.identifier, unknown);
            return false;
        }
        send(protocol, "02", f.identifier, f.data);
        return true;
    };

    bool ok = false;
    bool stopped = false;
    // The dial: only a numeric CONNECT (or OK, or NO CARRIER's neighbour 4) ends the wait.
    {
        m_io.ClearReceived();
        m_io.Note(2, "/* Use ATD*99# to dial up with defined PDP context */");
        m_io.SendText("ATD*99#", true);
        const auto deadline = Clock::now() + milliseconds(timing.atStep);
        std::string hex;
        while (m_io.Running() && Clock::now() < deadline && !ok) {
            std::string t, h;
            m_io.WaitReceived(deadline, t, h);
            hex += PppRemoveBlanks(h);
            ok = hex == "310D" || hex == "300D" || hex == "340D";
        }
        stopped = !m_io.Running();
    }
    std::string accmValue;
    PppFrameFields f;
    auto phase = [&](int totalMs, int idleMs, const std::function<int(const PppFrameFields&)>& handle) {
        // handle: 1 done, 0 go on, -1 failed
        const auto start = Clock::now();
        m_lastActivity = start;
        for (;;) {
            const Poll p = NextFrame(start + milliseconds(totalMs), idleMs, f);
            if (p != Poll::Frame) {
                stopped = p == Poll::Stopped;
                return false;
            }
            if (f.protocol == kPppProtocolLcp && f.code == "05") {
                AnswerTerminate(f);
                return false;
            }
            const int r = handle(f);
            if (r != 0)
                return r > 0;
        }
    };
    if (ok) {
        m_io.ClearReceived();
        m_io.Note(2, "/* The period of negotiation in LCP */");
        ok = phase(timing.phaseTotal, timing.phaseIdle, [&](const PppFrameFields& fr) {
            if (fr.protocol != kPppProtocolLcp || fr.code != "01" || !answerRequest(kPppProtocolLcp, fr))
                return 0;
            accmValue = takeAccm(fr.data);
            return 1;
        });
    }
    if (ok) {
        send(kPppProtocolLcp, "01", "01", "0206" + (accmValue.empty() ? std::string("00000000") : accmValue));
        ownLcpSent = true;
        ok = phase(timing.phaseTotal, timing.phaseIdle, [&](const PppFrameFields& fr) {
            if (fr.protocol != kPppProtocolLcp)
                return 0;
            if (fr.code == "01" && answerRequest(kPppProtocolLcp, fr))
                takeAccm(fr.data);
            if (fr.code != "02")
                return 0;
            takeAccm(fr.data);
            return 1;
        });
    }
    if (ok) {
        m_io.Note(2, "/* The period of authentication user */");
        send(kPppProtocolPap, "01", "02", BuildPapRequestData(settings.user, settings.password));
        ok = phase(timing.phaseTotal, timing.phaseIdle,
            [&](const PppFrameFields& fr) { return fr.protocol == kPppProtocolPap && fr.code == "02" ? 1 : 0; });
    }
    if (ok) {
        m_io.Note(2, "/* The period of negotiation in NCP */");
        static const char* kByDns[] = {"030600000000", "030600000000810600000000",
            "030600000000810600000000830600000000"};
        std::string options = kByDns[std::clamp(settings.dnsNumber, 0, 2)];
        m_ipcpCounter = 3;
        std::string id = "03";
        send(kPppProtocolIpcp, "01", id, options);
        bool ownAcked = false, peerAcked = false;
        int repeats = 0;
        auto lastSend = Clock::now();
        const auto start = Clock::now();
        m_lastActivity = start;
        ok = false;
        for (;;) {
            const Poll p = NextFrame(start + milliseconds(timing.ipcpTotal), timing.ipcpTotal, f,
                lastSend + milliseconds(timing.ipcpRepeat));
            if (p == Poll::Stopped) {
                stopped = true;
                break;
            }
            if (p == Poll::Timeout) {
                if (Clock::now() >= start + milliseconds(timing.ipcpTotal) || repeats > 10)
                    break;
                send(kPppProtocolIpcp, "01", id, options);
                ++repeats;
                lastSend = Clock::now();
                continue;
            }
            if (f.protocol == kPppProtocolLcp && f.code == "05") {
                AnswerTerminate(f);
                break;
            }
            if (f.protocol != kPppProtocolIpcp)
                continue;
            if (f.code == "01") {
                peerAcked = answerRequest(kPppProtocolIpcp, f) || peerAcked;
            } else if (f.code == "02") {
                AdoptIpcpValues(f.data, m_ipcp);
                ownAcked = true;
            } else if (f.code == "03" || f.code == "04") {
                const std::string rejected = PppRemoveBlanks(f.data);
                if (f.code == "03") {
                    ApplyIpcpNak(f.data, m_ipcp);
                    options = rejected;
                } else if (rejected == "810600000000") {
                    options = "030600000000830600000000";
                } else if (rejected == "830600000000") {
                    options = "030600000000810600000000";
                } else if (rejected == "810600000000830600000000") {
                    options = "030600000000";
                } else {
                    break;
                }
                id = NextIpcpId();
                send(kPppProtocolIpcp, "01", id, options);
                lastSend = Clock::now();
            }
            if (ownAcked && peerAcked) {
                ok = true;
                break;
            }
        }
    }
    m_lcp.accmSeen = ownLcpSent ? 1 : 0;
    m_lcp.accmFlags = flags;
    result.lcp = m_lcp;
    result.ipcp = m_ipcp;
    m_io.SetRecvAsHex(false);
    if (ok && m_io.Running()) {
        result.outcome = PppDialOutcome::Up;
        return result;
    }
    stopped = stopped || !m_io.Running();
    result.outcome = stopped ? PppDialOutcome::Stopped : PppDialOutcome::Failed;
    result.message = stopped ? "" : kPppPreambleFailed;
    FailureTail(true);
    return result;
}

} // namespace ulv
