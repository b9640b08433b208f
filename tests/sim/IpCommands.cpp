// The IP-stack commands of the simulated module, in the two dialects: the
// UMTS/HSPA family's (AT+JICSGP=1,1,..., AT+JIACT=1, AT+JIOPEN=1,0,...,
// AT+JISEND=0, AT+JIRD, "+JIURC:" notifications) and the GSM family's
// (AT+JIMODE, AT+JIREGAPP, AT+JILOCIP, AT+JIHEAD, AT+JIDNSIP, AT+JISACK,
// "+IPD<n>:" pushes). AT+JIOPEN opens a real socket (see IpStack).

#include "sim/ModemEngine.h"

#include <charconv>

namespace ulv::sim {

namespace {

using Reply = ModemEngine::Reply;
using Command = ModemEngine::Command;
using Op = Command::Op;

constexpr unsigned kGsm = ModelBit(Model::Tz) | ModelBit(Model::P);
constexpr unsigned kUmts = ModelBit(Model::Rx70) | ModelBit(Model::Rx50) | ModelBit(Model::Kv);
constexpr unsigned kAll = kGsm | kUmts;

// The address the module gets from the network.
constexpr const char* kLocalAddress = "10.1.2.3";
// Most bytes one read or one push carries.
constexpr std::size_t kReadSize = 1500;
constexpr std::size_t kPushSize = 1460;

Reply Ok()
{
    return {};
}

Reply Err()
{
    Reply r;
    r.final = Reply::Final::Error;
    return r;
}

Reply Lines(std::vector<std::string> lines)
{
    Reply r;
    r.blocks.push_back(std::move(lines));
    return r;
}

bool ToInt(const std::string& s, int& out)
{
    if (s.empty())
        return false;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && p == s.data() + s.size();
}

std::string Framed(const std::string& text)
{
    return "\r\n" + text + "\r\n";
}

} // namespace

const std::vector<ModemEngine::Entry>& ModemEngine::IpTable()
{
    using E = ModemEngine;
    static const std::vector<Entry> table = {
        {"+JICSGP", &E::IpCommand, kAll},
        {"+JIACT", &E::IpCommand, kAll},
        {"+JIDEACT", &E::IpCommand, kAll},
        {"+JIOPEN", &E::IpCommand, kAll},
        {"+JISEND", &E::IpCommand, kAll},
        {"+JIRD", &E::IpCommand, kUmts},
        {"+JICLOSE", &E::IpCommand, kAll},
        {"+JIMODE", &E::IpCommand, kGsm},
        {"+JIREGAPP", &E::IpCommand, kGsm},
        {"+JILOCIP", &E::IpCommand, kGsm},
        {"+JIHEAD", &E::IpCommand, kGsm},
        {"+JIDNSIP", &E::IpCommand, kGsm},
        {"+JISACK", &E::IpCommand, kGsm},
    };
    return table;
}

IpStack& ModemEngine::Ip()
{
    if (!m_ip) {
        m_ip = std::make_shared<IpStack>();
        // The socket's thread reports through the carrier, which takes its
        // lock before it calls back into the engine.
        m_ip->SetCallbacks({
            [this](std::size_t) {
                if (m_post)
                    m_post([](ModemEngine& e) { return e.IpArrived(); });
            },
            [this] {
                if (m_post)
                    m_post([](ModemEngine& e) { return e.IpClosed(); });
            },
        });
    }
    return *m_ip;
}

void ModemEngine::ShutdownIp()
{
    if (m_ip)
        m_ip->Shutdown();
}

void ModemEngine::MapAddress(const std::string& address, int port, int loopbackPort)
{
    Ip().MapAddress(address, port, loopbackPort);
}

void ModemEngine::DropDataContext()
{
    Ip().Close();
    m_ipState.context = false;
    m_ipState.regApp = false;
    m_ipState.noticePending = false;
}

ModemEngine::Reply ModemEngine::IpCommand(const Command& c)
{
    const bool umts = m_family == Family::Umts;
    const std::vector<std::string>& p = c.params;
    if (c.name == "+JICSGP") {
        if (c.op == Op::Read)
            return Lines({"+JICSGP: 1"});
        // UMTS: 1,1,"apn","user","password",auth; GSM: 1,"apn"[,"user","password",auth].
        const std::size_t apnAt = umts ? 2 : 1;
        if (c.op != Op::Set || p.size() <= apnAt || p[0] != "1")
            return Err();
        m_ipState.apn = p[apnAt];
        return Ok();
    }
    if (c.name == "+JIMODE" || c.name == "+JIHEAD" || c.name == "+JIDNSIP")
        return c.op == Op::Set && p.size() == 1 && (p[0] == "0" || p[0] == "1") ? Ok() : Err();
    if (c.name == "+JIREGAPP") {
        if (m_ipState.apn.empty())
            return Err();
        m_ipState.regApp = true;
        return Ok();
    }
    if (c.name == "+JIACT") {
        if (c.op == Op::Read) {
            return Lines({"+JIACT: 1," + std::string(m_ipState.context ? "1" : "0") + ",1,\""
                + (m_ipState.context ? kLocalAddress : "0.0.0.0") + "\""});
        }
        if (m_state.sim != SimState::Ready || m_ipState.apn.empty() || !(m_state.cregStat == 1 || m_state.cregStat == 5))
            return Err();
        if (!umts && !m_ipState.regApp)
            return Err();
        m_ipState.context = true;
        return Ok();
    }
    if (c.name == "+JILOCIP") {
        // A bare line, no result code.
        if (!m_ipState.context)
            return Err();
        Reply r = Lines({kLocalAddress});
        r.final = Reply::Final::None;
        return r;
    }
    if (c.name == "+JIDEACT") {
        // The GSM family deactivates with the bare command only.
        if (!umts && c.op != Op::Exec)
            return Err();
        if (c.op == Op::Set) {
            int v = 0;
            if (!ToInt(p.empty() ? std::string() : p[0], v) || v < 0 || v > 1)
                return Err();
            m_state.jideact = v;
        }
        DropDataContext();
        return Ok();
    }
    if (c.name == "+JIOPEN") {
        // UMTS: 1,0,"TCP","address",port,0,mode; GSM: "TCP","address","port".
        std::size_t at = umts ? 2 : 0;
        int port = 0;
        if (c.op != Op::Set || p.size() < at + 3 || !ToInt(p[at + 2], port))
            return Err();
        const std::string protocol = p[at];
        if (protocol != "TCP" && protocol != "UDP")
            return Err();
        if (!m_ipState.context)
            return Err();
        if (umts) {
            int mode = 1;
            if (p.size() >= 7 && ToInt(p[6], mode))
                m_ipState.accessMode = mode == 0 ? 0 : 1;
        }
        if (Ip().IsOpen() && !umts) {
            m_afterReply.push_back(Framed("ALREADY CONNECT"));
            return Ok();
        }
        const bool opened = Ip().Open(protocol == "TCP", p[at + 1], port);
        m_ipState.noticePending = false;
        m_afterReply.push_back(Framed(umts ? (opened ? "+JIOPEN: 0,0" : "+JIOPEN: 0,1")
                                           : (opened ? "CONNECT OK" : "CONNECT FAIL")));
        return Ok();
    }
    if (c.name == "+JISEND") {
        if (umts && c.op == Op::Set && p.size() == 2) {
            const std::size_t sent = Ip().SentTotal(), pending = Ip().Unacknowledged();
            return Lines({"+JISEND: " + std::to_string(sent) + "," + std::to_string(sent - std::min(sent, pending)) + ","
                + std::to_string(pending)});
        }
        if ((umts && !(c.op == Op::Set && p.size() == 1 && p[0] == "0")) || (!umts && c.op != Op::Exec))
            return Err();
        if (!Ip().IsOpen())
            return Err();
        m_bodyIp = true;
        Reply r;
        r.final = Reply::Final::Prompt;
        return r;
    }
    if (c.name == "+JISACK") {
        const std::size_t sent = Ip().SentTotal(), pending = Ip().Unacknowledged();
        return Lines({"+JISACK: " + std::to_string(sent) + "," + std::to_string(sent - std::min(sent, pending)) + ","
            + std::to_string(pending)});
    }
    if (c.name == "+JIRD") {
        int max = int(kReadSize);
        if (c.op != Op::Set || p.empty() || p[0] != "0" || (p.size() > 1 && (!ToInt(p[1], max) || max < 1)))
            return Err();
        const std::string data = Ip().Read(std::min<std::size_t>(std::size_t(max), kReadSize));
        m_ipState.noticePending = false;
        if (Ip().Buffered() > 0) {
            m_ipState.noticePending = true;
            m_afterReply.push_back(Framed("+JIURC: \"recv\",0"));
        }
        return Lines({"+JIRD: " + std::to_string(data.size()), data});
    }
    if (c.name == "+JICLOSE") {
        if ((umts && !(c.op == Op::Set && p.size() == 1 && p[0] == "0")) || (!umts && c.op != Op::Exec))
            return Err();
        Ip().Close();
        return Ok();
    }
    return Err();
}

std::string ModemEngine::FinishIpBody(const std::string& body)
{
    return Framed(Ip().Send(body) ? "SEND OK" : "SEND FAIL");
}

std::vector<Emission> ModemEngine::IpArrived()
{
    std::vector<Emission> out;
    if (m_family == Family::Gsm) {
        while (Ip().Buffered() > 0) {
            const std::string data = Ip().Read(kPushSize);
            out.push_back({"\r\n+IPD" + std::to_string(data.size()) + ":" + data, 0, false});
        }
    } else if (m_ipState.accessMode == 1) {
        while (Ip().Buffered() > 0) {
            const std::string data = Ip().Read(kReadSize);
            out.push_back({"\r\n+JIURC: \"recv\",0," + std::to_string(data.size()) + "\r\n" + data + "\r\n", 0, false});
        }
    } else if (!m_ipState.noticePending && Ip().Buffered() > 0) {
        m_ipState.noticePending = true;
        for (auto& e : Unsolicited("+JIURC: \"recv\",0"))
            out.push_back(std::move(e));
    }
    return out;
}

std::vector<Emission> ModemEngine::IpClosed()
{
    return Unsolicited(m_family == Family::Gsm ? "CLOSED" : "+JIURC: \"closed\",0");
}

} // namespace ulv::sim
