// The command table of the simulated module and its handlers.

#include "sim/ModemEngine.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <utility>

namespace ulv::sim {

namespace {

using Reply = ModemEngine::Reply;
using Command = ModemEngine::Command;
using Op = Command::Op;

constexpr unsigned kGsm = ModelBit(Model::Tz) | ModelBit(Model::P);
constexpr unsigned kUmts = ModelBit(Model::Rx70) | ModelBit(Model::Rx50) | ModelBit(Model::Kv);
constexpr unsigned kAll = kGsm | kUmts;
// The longest APN a PDP context keeps.
constexpr std::size_t kMaxApn = 99;
// Indications a module keeps while AT+CNMI <mode> is 0.
constexpr std::size_t kIndicationBuffer = 32;

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

Reply Result(Reply::Final final)
{
    Reply r;
    r.final = final;
    return r;
}

Reply Cms(int code)
{
    Reply r;
    r.final = Reply::Final::Cms;
    r.code = code;
    return r;
}

Reply Lines(std::vector<std::string> lines)
{
    Reply r;
    r.blocks.push_back(std::move(lines));
    return r;
}

Reply Line(std::string line)
{
    return Lines({std::move(line)});
}

bool ToInt(std::string_view s, int& out)
{
    if (s.empty())
        return false;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && p == s.data() + s.size();
}

// A whole decimal number within [lo, hi].
bool InRange(std::string_view s, int lo, int hi, int& out)
{
    return ToInt(s, out) && out >= lo && out <= hi;
}

std::string Num(int v)
{
    return std::to_string(v);
}

std::string Quote(std::string_view s)
{
    return "\"" + std::string(s) + "\"";
}

bool SameNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

// Dialling and SMS address characters: an optional leading '+', then digits, '*', '#'.
bool ValidNumber(std::string_view number, bool dialString)
{
    if (number.empty() || number.size() > 40)
        return false;
    for (std::size_t i = 0; i < number.size(); ++i) {
        const char c = number[i];
        if (c == '+' && i == 0)
            continue;
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '*' || c == '#')
            continue;
        if (dialString && std::string_view("ABCDabcdpPwW,").find(c) != std::string_view::npos)
            continue;
        return false;
    }
    return true;
}

int TypeOfNumber(std::string_view number)
{
    return !number.empty() && number.front() == '+' ? 145 : 129;
}

bool Registered(int stat)
{
    return stat == 1 || stat == 5;
}

} // namespace

const std::vector<ModemEngine::Entry>& ModemEngine::Table()
{
    using E = ModemEngine;
    static const std::vector<Entry> table = {
        {"E", &E::Basic, kAll},
        {"V", &E::Basic, kAll},
        {"Z", &E::Basic, kAll},
        {"&F", &E::Basic, kAll},
        {"&W", &E::Basic, kAll},
        {"I", &E::Identity, kAll},
        {"+CGMI", &E::Identity, kAll},
        {"+CGMM", &E::Identity, kAll},
        {"+CGMR", &E::Identity, kAll},
        {"+GSN", &E::Identity, kAll},
        {"+CGSN", &E::Identity, kAll},
        {"+GMI", &E::Identity, kAll},
        {"+GMM", &E::Identity, kAll},
        {"+GMR", &E::Identity, kAll},
        {"+GCAP", &E::Identity, kAll},
        {"+CIMI", &E::Sim, kAll},
        {"+CNUM", &E::Sim, kAll},
        {"+JCCID", &E::Sim, kAll},
        {"+CPIN", &E::Sim, kAll},
        {"+CFUN", &E::Function, kAll},
        {"+CSQ", &E::Network, kAll},
        {"+CBC", &E::Network, kAll},
        {"+CREG", &E::Network, kAll},
        {"+CGREG", &E::Network, kAll},
        {"+CGATT", &E::Attach, kAll},
        {"+COPS", &E::Network, kAll},
        {"+IPR", &E::Settings, kAll},
        {"+CMEE", &E::Settings, kAll},
        {"+JURCCFG", &E::Maker, ModelBit(Model::Rx70)},
        {"+JINISTAT", &E::Maker, kAll},
        {"+JIDEACT", &E::Maker, kUmts},
        {"+JDAC", &E::Maker, ModelBit(Model::Kv)},
        {"+CMGF", &E::SmsSettings, kAll},
        {"+CSCS", &E::SmsSettings, kAll},
        {"+CSDH", &E::SmsSettings, kAll},
        {"+CSMP", &E::SmsSettings, kAll},
        {"+CPMS", &E::SmsSettings, kAll},
        {"+CSCA", &E::SmsSettings, kAll},
        {"+CSMS", &E::SmsSettings, kAll},
        {"+CNMI", &E::SmsNotify, kAll},
        {"+CMGS", &E::SmsSend, kAll},
        {"+CMGW", &E::SmsSend, kAll},
        {"+CMSS", &E::SmsSendStored, kAll},
        {"+CMGR", &E::SmsRead, kAll},
        {"+CMGL", &E::SmsList, kAll},
        {"+CMGD", &E::SmsDelete, kAll},
        {"+JMGDA", &E::SmsDelete, ModelBit(Model::Rx70) | ModelBit(Model::Rx50)},
        {"D", &E::CallControl, kAll},
        {"A", &E::CallControl, kAll},
        {"H", &E::CallControl, kAll},
        {"+CLCC", &E::CallControl, kAll},
        {"+CHUP", &E::CallControl, kAll},
        {"+CLIP", &E::CallControl, kAll},
        {"+CGDCONT", &E::PdpContextCommand, kAll},
        {"O", &E::ReturnToData, kAll},
        {"+CLVL", &E::Audio, kAll},
        {"+CMUT", &E::Audio, kAll},
        {"+CALM", &E::Audio, kAll},
        {"+JSIDET", &E::Audio, kAll},
        {"+JMIC", &E::Audio, kAll},
        {"+JAUDCH", &E::Audio, kGsm},
        {"+JAUDPATH", &E::Audio, ModelBit(Model::Rx50)},
        {"+JAUDMOD", &E::Audio, ModelBit(Model::Kv)},
        {"+JDAI", &E::Audio, ModelBit(Model::Rx70)},
    };
    return table;
}

ModemEngine::Reply ModemEngine::CmeError(int code) const
{
    if (m_state.cmee == 0)
        return Err();
    Reply r;
    r.final = Reply::Final::Cme;
    r.code = code;
    return r;
}

std::optional<ModemEngine::Reply> ModemEngine::SimNotReady(bool sms) const
{
    if (m_state.sim == SimState::NotInserted)
        return sms ? Cms(310) : CmeError(10);
    if (m_state.sim == SimState::PinRequired)
        return sms ? Cms(311) : CmeError(11);
    return std::nullopt;
}

ModemEngine::Reply ModemEngine::IntSetting(const Command& c, int& value, int lo, int hi)
{
    switch (c.op) {
    case Op::Set: {
        int v = 0;
        if (c.params.size() != 1 || !ToInt(c.params[0], v) || v < lo || v > hi)
            return Err();
        value = v;
        return Ok();
    }
    case Op::Read:
        return Line(c.name + ": " + Num(value));
    case Op::Test:
        return Line(c.name + ": (" + Num(lo) + "-" + Num(hi) + ")");
    case Op::Exec:
        break;
    }
    return Err();
}

ModemEngine::Reply ModemEngine::Basic(const Command& c)
{
    int v = 0;
    if (!c.args.empty() && !ToInt(c.args, v))
        return Err();
    if (c.op != Op::Exec || v > 1)
        return Err();
    if (c.name == "E") {
        m_state.echo = v == 1;
    } else if (c.name == "V") {
        m_state.verbose = v == 1;
    } else if (c.name == "Z" || c.name == "&F") {
        if (v != 0)
            return Err();
        m_state.echo = true;
        m_state.verbose = true;
        m_state.cmee = 0;
    } else if (v != 0) {
        return Err(); // &W takes no profile number but 0
    }
    return Ok();
}

ModemEngine::Reply ModemEngine::Identity(const Command& c)
{
    if (c.name == "I") {
        if (c.op != Op::Exec || (!c.args.empty() && c.args != "0"))
            return Err();
        return Lines({m_state.manufacturer, ModelName(), "Revision: " + m_revision});
    }
    if (c.op == Op::Test)
        return Ok();
    if (c.op != Op::Exec)
        return CmeError(4);
    if (c.name == "+CGMI" || c.name == "+GMI")
        return Line(m_state.manufacturer);
    if (c.name == "+CGMM" || c.name == "+GMM")
        return Line(ModelName());
    if (c.name == "+CGMR" || c.name == "+GMR")
        return Line(m_revision);
    if (c.name == "+GCAP")
        return Line("+GCAP: +CGSM");
    return Line(m_state.imei);
}

ModemEngine::Reply ModemEngine::Sim(const Command& c)
{
    if (c.name == "+CPIN") {
        if (c.op == Op::Test)
            return Ok();
        if (m_state.sim == SimState::NotInserted)
            return CmeError(10);
        if (c.op == Op::Read)
            return Line(m_state.sim == SimState::Ready ? "+CPIN: READY" : "+CPIN: SIM PIN");
        if (c.op == Op::Set && !c.params.empty()) {
            if (m_state.sim == SimState::Ready)
                return CmeError(3);
            if (c.params[0] != m_state.pin)
                return CmeError(16);
            m_state.sim = SimState::Ready;
            return Ok();
        }
        return Err();
    }
    if (c.op == Op::Test)
        return Ok();
    if (c.op != Op::Exec)
        return CmeError(4);
    if (auto bad = SimNotReady(false))
        return *bad;
    if (c.name == "+CIMI")
        return Line(m_state.imsi);
    if (c.name == "+CNUM") {
        if (m_state.ownNumber.empty())
            return Ok();
        return Line("+CNUM: ," + Quote(Address(m_state.ownNumber)) + "," + Num(TypeOfNumber(m_state.ownNumber)));
    }
    return Line("+JCCID: " + m_state.iccid);
}

bool ModemEngine::Online() const
{
    return m_state.fun == 1 && m_state.copsMode != 2;
}

void ModemEngine::ChangeOnline(const std::function<void()>& change)
{
    const bool was = Online();
    change();
    const bool now = Online();
    if (was && !now) {
        m_state.savedCregStat = m_state.cregStat;
        m_state.savedCgregStat = m_state.cgregStat;
        FollowUp(SetRegistration(0, 0), 0);
        if (!m_state.calls.empty()) {
            m_state.calls.clear();
            FollowUp(Unsolicited("NO CARRIER"), 0);
        }
    } else if (!was && now) {
        // Finding the network again takes the module a moment.
        FollowUp(SetRegistration(m_state.savedCregStat, m_state.savedCgregStat), m_state.networkDelayMs);
    }
}

ModemEngine::Reply ModemEngine::Function(const Command& c)
{
    switch (c.op) {
    case Op::Test:
        return Line("+CFUN: (0,1,4),(0-1)");
    case Op::Read:
        return Line("+CFUN: " + Num(m_state.fun));
    case Op::Set: {
        int fun = 0;
        int reset = 0;
        if (c.params.empty() || c.params.size() > 2 || !ToInt(c.params[0], fun) || (fun != 0 && fun != 1 && fun != 4)
            || (c.params.size() == 2 && (!ToInt(c.params[1], reset) || reset < 0 || reset > 1)))
            return Err();
        ChangeOnline([&] { m_state.fun = fun; });
        return Ok();
    }
    case Op::Exec:
        break;
    }
    return Err();
}

ModemEngine::Reply ModemEngine::Network(const Command& c)
{
    const bool umts = m_family == Family::Umts;
    if (c.name == "+CSQ") {
        if (c.op == Op::Test)
            return Line("+CSQ: (0-31,99),(0-7,99)");
        if (c.op != Op::Exec)
            return CmeError(4);
        if (m_state.fun != 1)
            return Line("+CSQ: 99,99"); // no radio, nothing measured
        return Line("+CSQ: " + Num(m_state.rssi) + "," + Num(m_state.ber));
    }
    if (c.name == "+CBC") {
        if (c.op == Op::Test)
            return Line("+CBC: (0-3),(0-100)");
        if (c.op != Op::Exec)
            return CmeError(4);
        return Line("+CBC: " + Num(m_state.batteryStatus) + "," + Num(m_state.batteryLevel));
    }
    if (c.name == "+CREG" || c.name == "+CGREG") {
        const bool cs = c.name == "+CREG";
        int& mode = cs ? m_state.cregMode : m_state.cgregMode;
        if (c.op != Op::Read)
            return IntSetting(c, mode, 0, 2);
        const int stat = cs ? m_state.cregStat : m_state.cgregStat;
        std::string line = c.name + ": " + Num(mode) + "," + Num(stat);
        if (mode == 2 && Registered(stat))
            line += "," + Quote(m_state.lac) + "," + Quote(m_state.cellId) + (umts ? ",2" : "");
        return Line(line);
    }
    return Operator(c);
}

ModemEngine::Reply ModemEngine::Attach(const Command& c)
{
    // The packet-switched attachment, which AT+CGREG reports.
    switch (c.op) {
    case Op::Test:
        return Line("+CGATT: (0,1)");
    case Op::Read:
        return Line("+CGATT: " + Num(Registered(m_state.cgregStat) ? 1 : 0));
    case Op::Exec:
        return Err();
    case Op::Set:
        break;
    }
    int attach = 0;
    if (c.params.size() != 1 || !ToInt(c.params[0], attach) || attach < 0 || attach > 1)
        return Err();
    if (auto bad = SimNotReady(false))
        return *bad;
    if (attach == 0) {
        DropDataContext();
        m_state.savedCgregStat = 0; // nor when the radio comes back
        FollowUp(SetRegistration(m_state.cregStat, 0), 0);
        return Ok();
    }
    if (Registered(m_state.cgregStat))
        return Ok();
    if (!Online() || !Registered(m_state.cregStat))
        return CmeError(30);
    FollowUp(SetRegistration(m_state.cregStat, m_state.cregStat), 0);
    return Ok();
}

ModemEngine::Reply ModemEngine::Operator(const Command& c)
{
    const bool umts = m_family == Family::Umts;
    const std::string names[] = {m_state.operatorName, m_state.operatorShort, m_state.operatorNumeric};
    switch (c.op) {
    case Op::Test: {
        std::string found;
        if (m_state.fun == 1 && !m_state.operatorName.empty()) {
            found = "(2," + Quote(names[0]) + "," + Quote(names[1]) + "," + Quote(names[2]) + (umts ? ",2" : "")
                + ")";
        }
        return Line("+COPS: " + found + ",,(0-4),(0-2)");
    }
    case Op::Read:
        if (!Online() || !Registered(m_state.cregStat) || m_state.operatorName.empty())
            return Line("+COPS: " + Num(m_state.copsMode));
        return Line("+COPS: " + Num(m_state.copsMode) + "," + Num(m_state.copsFormat) + ","
            + Quote(names[m_state.copsFormat]) + (umts ? ",2" : ""));
    case Op::Exec:
        return Err();
    case Op::Set:
        break;
    }
    int mode = 0;
    int format = m_state.copsFormat;
    if (c.params.empty() || c.params.size() > 4 || !ToInt(c.params[0], mode) || mode < 0 || mode > 4
        || (c.params.size() >= 2 && !c.params[1].empty() && (!ToInt(c.params[1], format) || format < 0 || format > 2)))
        return Err();
    if (mode == 3) {
        if (c.params.size() != 2 || c.params[1].empty())
            return Err();
        m_state.copsFormat = format;
        return Ok();
    }
    if (mode == 1 || mode == 4) {
        // Manual selection: the only network there is, named in the given format.
        if (c.params.size() < 3 || c.params[1].empty())
            return Err();
        if (m_state.fun != 1)
            return CmeError(30);
        if (c.params[2] != names[format]) {
            if (mode == 1)
                return CmeError(30);
            mode = 0; // manual/automatic falls back to automatic
        }
    }
    ChangeOnline([&] { m_state.copsMode = mode == 4 ? 1 : mode; });
    if (c.params.size() >= 2 && !c.params[1].empty())
        m_state.copsFormat = format;
    return Ok();
}

ModemEngine::Reply ModemEngine::Settings(const Command& c)
{
    if (c.name == "+CMEE")
        return IntSetting(c, m_state.cmee, 0, 2);
    static const int rates[] = {0, 300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200, 230400, 460800,
        921600};
    switch (c.op) {
    case Op::Read:
        return Line("+IPR: " + Num(m_state.ipr));
    case Op::Test: {
        std::string list;
        for (int r : rates)
            list += (list.empty() ? "" : ",") + Num(r);
        return Line("+IPR: (" + list + ")");
    }
    case Op::Set: {
        int v = 0;
        if (c.params.size() != 1 || !ToInt(c.params[0], v) || std::find(std::begin(rates), std::end(rates), v) == std::end(rates))
            return Err();
        m_state.ipr = v;
        return Ok();
    }
    case Op::Exec:
        break;
    }
    return Err();
}

ModemEngine::Reply ModemEngine::Maker(const Command& c)
{
    if (c.name == "+JINISTAT") {
        if (c.op == Op::Test)
            return Line("+JINISTAT: (0-7)");
        if (c.op == Op::Set)
            return CmeError(4);
        return Line("+JINISTAT: " + Num(m_state.smsInitState));
    }
    if (c.name == "+JIDEACT")
        return IntSetting(c, m_state.jideact, 0, 1);
    if (c.name == "+JDAC")
        return IntSetting(c, m_state.jdac, 0, 3);
    // +JURCCFG="URCPORT","uart1"|"usbat"|"usbmodem"
    static const char* ports[] = {"uart1", "usbat", "usbmodem"};
    if (c.op == Op::Test)
        return Line("+JURCCFG: \"URCPORT\",(\"uart1\",\"usbat\",\"usbmodem\")");
    if (c.op == Op::Read)
        return Line("+JURCCFG: \"URCPORT\"," + Quote(m_state.urcPort));
    if (c.op != Op::Set || c.params.size() != 2 || !SameNoCase(c.params[0], "URCPORT"))
        return Err();
    for (const char* port : ports) {
        if (SameNoCase(c.params[1], port)) {
            m_state.urcPort = port;
            return Ok();
        }
    }
    return Err();
}

ModemEngine::Reply ModemEngine::SmsSettings(const Command& c)
{
    if (c.name == "+CMGF" || c.name == "+CSDH") {
        bool& flag = c.name == "+CMGF" ? m_state.textMode : m_state.showHeader;
        int v = flag ? 1 : 0;
        Reply r = IntSetting(c, v, 0, 1);
        flag = v == 1;
        return r;
    }
    if (c.name == "+CSCS") {
        if (c.op == Op::Read)
            return Line("+CSCS: " + Quote(CharsetName(m_state.charset)));
        if (c.op == Op::Test)
            return Line("+CSCS: (\"GSM\",\"IRA\",\"HEX\",\"UCS2\")");
        if (c.op != Op::Set || c.params.size() != 1)
            return Err();
        auto set = CharsetFromName(c.params[0]);
        if (!set)
            return Err();
        m_state.charset = *set;
        return Ok();
    }
    if (c.name == "+CSMP") {
        auto& p = m_state.csmp;
        if (c.op == Op::Read)
            return Line("+CSMP: " + Num(p[0]) + "," + Num(p[1]) + "," + Num(p[2]) + "," + Num(p[3]));
        if (c.op == Op::Test)
            return Ok();
        if (c.op != Op::Set || c.params.empty() || c.params.size() > 4)
            return Err();
        auto next = p;
        for (std::size_t i = 0; i < c.params.size(); ++i) {
            if (c.params[i].empty())
                continue;
            int v = 0;
            if (!ToInt(c.params[i], v) || v < 0 || v > 255)
                return Err();
            next[i] = v;
        }
        p = next;
        return Ok();
    }
    if (c.name == "+CSMS") {
        // Phase 2 service only: no acknowledgement of routed messages.
        if (c.op == Op::Test)
            return Line("+CSMS: (0)");
        if (c.op == Op::Read)
            return Line("+CSMS: 0,1,1,1");
        int service = 0;
        if (c.op != Op::Set || c.params.size() != 1 || !ToInt(c.params[0], service) || service != 0)
            return Err();
        return Line("+CSMS: 1,1,1");
    }
    if (c.name == "+CPMS") {
        if (c.op == Op::Test)
            return Line("+CPMS: (\"SM\"),(\"SM\"),(\"SM\")");
        if (auto bad = SimNotReady(true))
            return *bad;
        const std::string used = Num(int(m_state.store.size()));
        const std::string total = Num(m_state.capacity);
        if (c.op == Op::Read) {
            const std::string one = "\"SM\"," + used + "," + total;
            return Line("+CPMS: " + one + "," + one + "," + one);
        }
        if (c.op != Op::Set || c.params.size() > 3)
            return Err();
        for (const auto& mem : c.params) {
            if (!SameNoCase(mem, "SM"))
                return Cms(302);
        }
        const std::string one = used + "," + total;
        return Line("+CPMS: " + one + "," + one + "," + one);
    }
    // +CSCA
    if (c.op == Op::Test)
        return Ok();
    if (auto bad = SimNotReady(true))
        return *bad;
    if (c.op == Op::Read)
        return Line("+CSCA: " + Quote(Address(m_state.sca)) + "," + Num(m_state.scaType));
    if (c.op != Op::Set || c.params.empty() || c.params.size() > 2)
        return Err();
    auto decoded = DecodeTe(c.params[0], m_state.charset);
    const std::string number = decoded ? Utf16ToUtf8(*decoded) : std::string();
    int type = TypeOfNumber(number);
    if (!ValidNumber(number, false) || (c.params.size() == 2 && (!ToInt(c.params[1], type) || type < 128 || type > 255)))
        return Err();
    m_state.sca = number;
    m_state.scaType = type;
    return Ok();
}

std::string ModemEngine::Address(std::string_view address) const
{
    return EncodeTe(Utf8ToUtf16(address), m_state.charset);
}

bool ModemEngine::ValidIndex(int index) const
{
    return index >= m_state.firstIndex && index < m_state.firstIndex + m_state.capacity;
}

std::string ModemEngine::TextData(const SmsMessage& m) const
{
    if (m.dcs == 8)
        return ToUcs2Hex(m.text);
    if (m.dcs == 4)
        return ToHex(Utf16Octets(m.text));
    return EncodeTe(m.text, m_state.charset);
}

int ModemEngine::TextLength(const SmsMessage& m) const
{
    if (m.dcs == 8)
        return int(m.text.size() * 2);
    if (m.dcs == 4)
        return int(m.text.size());
    return int(ToGsm7(m.text).size());
}

std::string ModemEngine::TextHeader(const char* prefix, int index, const SmsMessage& m) const
{
    const bool list = index >= 0;
    std::string h = std::string(prefix) + ": ";
    if (list)
        h += Num(index) + ",";
    return h + Quote(SmsStatusText(m.status)) + "," + TextFields(list, m);
}

std::string ModemEngine::TextFields(bool list, const SmsMessage& m) const
{
    std::string h = Quote(Address(m.address)) + ",";
    const std::string toa = Num(TypeOfNumber(m.address));
    const std::string length = Num(TextLength(m));
    const std::string sca = Quote(Address(m.sca)) + "," + Num(TypeOfNumber(m.sca));
    if (m.IsReceived()) {
        h += "," + Quote(m.timestamp);
        if (m_state.showHeader)
            h += list ? "," + toa + "," + length : "," + toa + ",4,0," + Num(m.dcs) + "," + sca + "," + length;
    } else {
        if (list)
            h += ",";
        if (m_state.showHeader)
            h += list ? "," + toa + "," + length : "," + toa + ",17,0," + Num(m.dcs) + ",167," + sca + "," + length;
    }
    return h;
}

ModemEngine::Reply ModemEngine::SmsSend(const Command& c)
{
    // AT+CMGS sends the body, AT+CMGW stores it; in text mode AT+CMGW needs no address.
    const bool write = c.name == "+CMGW";
    if (c.op == Op::Test)
        return Ok();
    if (c.op == Op::Read)
        return CmeError(4);
    const bool bare = c.op == Op::Exec && write && m_state.textMode;
    if (!bare && (c.op != Op::Set || c.params.empty()))
        return Err();
    if (auto bad = SimNotReady(true))
        return *bad;
    m_bodyWrite = write;
    m_bodyStat = -1;
    m_bodyDestination.clear();
    if (m_state.textMode) {
        // <da>[,<toda>] and for AT+CMGW a third, the status as text
        if (!bare) {
            auto decoded = DecodeTe(c.params[0], m_state.charset);
            const std::string number = decoded ? Utf16ToUtf8(*decoded) : std::string();
            int type = 0;
            if (!c.quoted[0] || c.params.size() > (write ? 3u : 2u) || !ValidNumber(number, false)
                || (c.params.size() >= 2 && !c.params[1].empty()
                    && (!ToInt(c.params[1], type) || type < 128 || type > 255)))
                return Cms(305);
            if (c.params.size() == 3) {
                m_bodyStat = c.quoted[2] ? SmsStatusFromText(c.params[2]) : -1;
                if (m_bodyStat < 0 || m_bodyStat > 3)
                    return Cms(305);
            }
            m_bodyDestination = number;
        }
        m_bodyText = true;
    } else {
        // <length> and for AT+CMGW a second, the status as a number
        int length = 0;
        if (c.params.size() > (write ? 2u : 1u) || !ToInt(c.params[0], length) || length < 7 || length > 164)
            return Cms(304);
        if (c.params.size() == 2 && (!ToInt(c.params[1], m_bodyStat) || m_bodyStat < 0 || m_bodyStat > 3))
            return Cms(304);
        m_bodyText = false;
        m_bodyLength = length;
    }
    Reply r;
    r.final = Reply::Final::Prompt;
    return r;
}

void ModemEngine::FinishBody(Output& out)
{
    m_inBody = false;
    const std::string body = std::move(m_body);
    m_body.clear();
    const std::optional<Fault> fault = TakeFault("<sms>");
    if (fault && fault->kind == Fault::Kind::Silent)
        return;
    if (fault && fault->kind == Fault::Kind::HangUp) {
        out.emissions.push_back({{}, fault->delayMs, true});
        return;
    }
    if (fault && fault->kind != Fault::Kind::Normal) {
        Shape(FaultReply(*fault), &*fault, out.emissions);
        return;
    }
    const Reply result = [&]() -> Reply {
        const int badBody = m_bodyText ? 305 : 304;
        if (m_bodyOverflow)
            return Cms(badBody);
        SmsMessage message;
        message.timestamp.clear();
        message.sca = m_state.sca;
        int firstOctet = m_state.csmp[0];
        if (m_bodyText) {
            const int dcs = m_state.csmp[3];
            const int alphabet = (dcs & 0xC0) == 0 ? (dcs >> 2) & 3 : 0;
            std::optional<std::u16string> text;
            std::size_t limit = 160;
            if (alphabet == 1) {
                auto octets = FromHex(body);
                if (octets)
                    text = OctetsAsUtf16(*octets);
                limit = 140;
            } else if (alphabet == 2) {
                text = FromUcs2Hex(body);
                limit = 70;
            } else {
                text = DecodeTe(body, m_state.charset);
                if (text && ToGsm7(*text).size() > limit)
                    return Cms(305);
            }
            if (!text || text->size() > limit)
                return Cms(305);
            message.status = m_bodyStat >= 0 ? m_bodyStat : 2;
            message.address = m_bodyDestination;
            message.dcs = alphabet == 1 ? 4 : alphabet == 2 ? 8 : 0;
            message.text = *text;
            if (message.IsReceived())
                message.timestamp = ModuleTime();
        } else {
            std::string hex;
            for (char ch : body) {
                if (!std::isspace(static_cast<unsigned char>(ch)))
                    hex.push_back(ch);
            }
            if (SmsTpduLength(hex) != m_bodyLength)
                return Cms(304);
            auto decoded = DecodeSmsPdu(hex);
            // A send takes an SMS-SUBMIT; a stored message's status must fit its kind.
            if (!decoded || (!m_bodyWrite && decoded->status != 2))
                return Cms(304);
            const bool deliver = decoded->IsReceived();
            if (m_bodyStat >= 0 && (m_bodyStat <= 1) != deliver)
                return Cms(304);
            message = *decoded;
            message.status = m_bodyStat >= 0 ? m_bodyStat : deliver ? 1 : 2;
            firstOctet = SmsFirstOctet(hex);
        }
        if (m_bodyWrite) {
            std::vector<Emission> none;
            const int index = StoreSms(message, false, none);
            if (index < 0)
                return Cms(322);
            return Line("+CMGW: " + Num(index));
        }
        SentSms sent;
        sent.body = body;
        if (!m_bodyText)
            sent.pdu = message.pdu;
        return Transmit(message, firstOctet, std::move(sent), "+CMGS");
    }();
    Shape(Render(result), nullptr, out.emissions);
    AppendFollowUps(out.emissions);
}

ModemEngine::Reply ModemEngine::Transmit(const SmsMessage& message, int firstOctet, SentSms sent, const char* prefix)
{
    if (!Online() || !Registered(m_state.cregStat))
        return Cms(331);
    if (m_state.sendError != 0)
        return Cms(m_state.sendError);
    sent.destination = message.address;
    sent.dcs = message.dcs;
    sent.text = message.text;
    sent.reference = m_state.nextReference;
    m_state.nextReference = m_state.nextReference % 255 + 1;
    m_state.sent.push_back(sent);
    AfterSend(sent.reference, message, firstOctet);
    return Line(std::string(prefix) + ": " + Num(sent.reference));
}

void ModemEngine::AfterSend(int reference, const SmsMessage& message, int firstOctet)
{
    auto digits = [](std::string_view number) {
        return number.empty() || number.front() != '+' ? std::string(number) : std::string(number.substr(1));
    };
    if (!m_state.ownNumber.empty() && digits(message.address) == digits(m_state.ownNumber)) {
        SmsMessage back;
        back.status = 0;
        back.address = m_state.ownNumber;
        back.timestamp = ModuleTime();
        back.dcs = message.dcs;
        back.text = message.text;
        back.sca = m_state.sca;
        Arrive(std::move(back), m_state.networkDelayMs);
    }
    // TP-SRR: the sender asked for a status report; AT+CNMI <ds> 1 shows it.
    if (firstOctet < 0 || (firstOctet & 0x20) == 0 || m_state.cnmi[3] != 1)
        return;
    // The centre takes the message and delivers it within the same second.
    const std::string now = ModuleTime();
    std::string report;
    if (m_state.textMode) {
        report = "+CDS: 6," + Num(reference) + "," + Quote(Address(message.address)) + ","
            + Num(TypeOfNumber(message.address)) + "," + Quote(now) + "," + Quote(now) + ",0";
    } else {
        const std::string pdu = EncodeStatusReport(reference, message.address, m_state.sca, now, now, 0);
        report = "+CDS: " + Num(SmsTpduLength(pdu)) + "\r\n" + pdu;
    }
    Indicate(report, m_state.networkDelayMs);
}

int ModemEngine::Arrive(SmsMessage message, int delayMs)
{
    const int mt = m_state.cnmi[1];
    if (mt == 2) {
        // Routed straight to the host, not stored.
        std::string shown;
        if (m_state.textMode) {
            shown = "+CMT: " + TextFields(false, message) + "\r\n" + TextData(message);
        } else {
            const std::string pdu = EncodeSmsPdu(message);
            shown = "+CMT: ," + Num(SmsTpduLength(pdu)) + "\r\n" + pdu;
        }
        Indicate(shown, delayMs);
        return -1;
    }
    std::vector<Emission> none;
    const int index = StoreSms(std::move(message), false, none);
    if (index >= 0 && mt != 0)
        Indicate("+CMTI: \"SM\"," + Num(index), delayMs);
    return index;
}

void ModemEngine::Indicate(const std::string& text, int delayMs)
{
    if (m_state.cnmi[0] == 0) {
        // The module's buffer is small: once full the oldest indication goes.
        auto& buffered = m_state.bufferedIndications;
        if (buffered.size() >= kIndicationBuffer)
            buffered.erase(buffered.begin());
        buffered.push_back(text);
    } else
        FollowUp(Unsolicited(text), delayMs);
}

ModemEngine::Reply ModemEngine::SmsNotify(const Command& c)
{
    auto& p = m_state.cnmi;
    switch (c.op) {
    case Op::Test:
        return Line("+CNMI: (0-2),(0-3),(0-3),(0-1),(0-1)");
    case Op::Read:
        return Line("+CNMI: " + Num(p[0]) + "," + Num(p[1]) + "," + Num(p[2]) + "," + Num(p[3]) + "," + Num(p[4]));
    case Op::Exec:
        return Err();
    case Op::Set:
        break;
    }
    static const int highest[] = {2, 3, 3, 1, 1};
    if (c.params.empty() || c.params.size() > p.size())
        return Err();
    auto next = p;
    for (std::size_t i = 0; i < c.params.size(); ++i) {
        if (c.params[i].empty())
            continue; // left out: unchanged
        int v = 0;
        if (!ToInt(c.params[i], v) || v < 0 || v > highest[i])
            return Err();
        next[i] = v;
    }
    p = next;
    if (p[0] != 0) {
        // Leaving the buffering mode: <bfr> 0 flushes what waited, 1 drops it.
        auto waiting = std::move(m_state.bufferedIndications);
        m_state.bufferedIndications.clear();
        if (p[4] == 0) {
            for (const auto& text : waiting)
                FollowUp(Unsolicited(text), 0);
        }
    }
    return Ok();
}

ModemEngine::Reply ModemEngine::SmsSendStored(const Command& c)
{
    // AT+CMSS=<index>[,<da>[,<toda>]]
    if (c.op == Op::Test)
        return Ok();
    if (c.op == Op::Read)
        return CmeError(4);
    int index = 0;
    if (c.op != Op::Set || c.params.empty() || c.params.size() > 3 || !ToInt(c.params[0], index))
        return Err();
    if (auto bad = SimNotReady(true))
        return *bad;
    std::string destination;
    if (c.params.size() >= 2) {
        auto decoded = DecodeTe(c.params[1], m_state.charset);
        destination = decoded ? Utf16ToUtf8(*decoded) : std::string();
        int type = 0;
        if (!c.quoted[1] || !ValidNumber(destination, false)
            || (c.params.size() == 3 && (!ToInt(c.params[2], type) || type < 128 || type > 255)))
            return Cms(m_state.textMode ? 305 : 304);
    }
    auto it = m_state.store.find(index);
    if (!ValidIndex(index) || it == m_state.store.end())
        return Cms(321);
    SmsMessage& stored = it->second;
    if (stored.IsReceived())
        return Cms(302); // a received message cannot go out as it is
    SmsMessage message = stored;
    if (!destination.empty())
        message.address = destination;
    SentSms sent;
    sent.pdu = message.pdu;
    const int firstOctet = message.pdu.empty() ? m_state.csmp[0] : SmsFirstOctet(message.pdu);
    Reply reply = Transmit(message, firstOctet, std::move(sent), "+CMSS");
    if (reply.final == Reply::Final::Ok)
        stored.status = 3;
    return reply;
}

ModemEngine::Reply ModemEngine::SmsRead(const Command& c)
{
    if (c.op == Op::Test)
        return Ok();
    if (c.op == Op::Read)
        return CmeError(4);
    int index = 0;
    int mode = 0;
    if (c.op != Op::Set || c.params.empty() || c.params.size() > 2 || !ToInt(c.params[0], index)
        || (c.params.size() == 2 && (!ToInt(c.params[1], mode) || mode < 0 || mode > 1)))
        return Err();
    if (auto bad = SimNotReady(true))
        return *bad;
    if (!ValidIndex(index))
        return Cms(321);
    auto it = m_state.store.find(index);
    if (it == m_state.store.end())
        return Ok(); // an empty place reads as a plain OK
    SmsMessage& m = it->second;
    Reply r;
    if (m_state.textMode) {
        r = Lines({TextHeader("+CMGR", -1, m), TextData(m)});
    } else {
        const std::string pdu = EncodeSmsPdu(m);
        r = Lines({"+CMGR: " + Num(m.status) + ",," + Num(SmsTpduLength(pdu)), pdu});
    }
    if (m.status == 0 && mode == 0)
        m.status = 1;
    return r;
}

ModemEngine::Reply ModemEngine::SmsList(const Command& c)
{
    if (c.op == Op::Test)
        return Line(m_state.textMode ? "+CMGL: (\"REC UNREAD\",\"REC READ\",\"STO UNSENT\",\"STO SENT\",\"ALL\")"
                                     : "+CMGL: (0-4)");
    if (c.op == Op::Read)
        return CmeError(4);
    if (c.params.size() > 2)
        return Err();
    int wanted = 0;
    int mode = 0;
    if (!c.params.empty()) {
        if (m_state.textMode) {
            wanted = c.quoted[0] ? SmsStatusFromText(c.params[0]) : -1;
            if (wanted < 0)
                return Cms(305);
        } else if (c.quoted[0] || !ToInt(c.params[0], wanted) || wanted < 0 || wanted > 4) {
            return Cms(304);
        }
        if (c.params.size() == 2 && (!ToInt(c.params[1], mode) || mode < 0 || mode > 1))
            return Err();
    }
    if (auto bad = SimNotReady(true))
        return *bad;
    Reply r;
    // GSM modules frame each entry as a response of its own; UMTS/HSPA modules
    // send one response with every entry's lines.
    const bool framedEntries = m_family == Family::Gsm;
    for (auto& [index, m] : m_state.store) {
        if (wanted != 4 && m.status != wanted)
            continue;
        std::vector<std::string> entry;
        if (m_state.textMode) {
            entry = {TextHeader("+CMGL", index, m), TextData(m)};
        } else {
            const std::string pdu = EncodeSmsPdu(m);
            entry = {"+CMGL: " + Num(index) + "," + Num(m.status) + ",," + Num(SmsTpduLength(pdu)), pdu};
        }
        if (framedEntries || r.blocks.empty())
            r.blocks.push_back(entry);
        else
            r.blocks.back().insert(r.blocks.back().end(), entry.begin(), entry.end());
        if (m.status == 0 && mode == 0)
            m.status = 1;
    }
    return r;
}

ModemEngine::Reply ModemEngine::SmsDelete(const Command& c)
{
    auto removeIf = [&](auto pred) {
        for (auto it = m_state.store.begin(); it != m_state.store.end();)
            it = pred(it->second.status) ? m_state.store.erase(it) : std::next(it);
    };
    if (c.name == "+JMGDA") {
        int kind = 0;
        if (c.op == Op::Test)
            return Line("+JMGDA: (1-6)");
        if (c.op != Op::Set || c.params.size() != 1 || !ToInt(c.params[0], kind) || kind < 1 || kind > 6)
            return Err();
        if (auto bad = SimNotReady(true))
            return *bad;
        // 1 read, 2 unread, 3 sent, 4 unsent, 5 every received, 6 all
        static const int statusOf[] = {0, 1, 0, 3, 2};
        removeIf([&](int s) { return kind == 6 || (kind == 5 && s <= 1) || (kind <= 4 && s == statusOf[kind]); });
        return Ok();
    }
    if (c.op == Op::Test) {
        return Line("+CMGD: (" + Num(m_state.firstIndex) + "-" + Num(m_state.firstIndex + m_state.capacity - 1)
            + "),(0-4)");
    }
    int index = 0;
    int flag = 0;
    if (c.op != Op::Set || c.params.empty() || c.params.size() > 2 || !ToInt(c.params[0], index)
        || (c.params.size() == 2 && (!ToInt(c.params[1], flag) || flag < 0 || flag > 4)))
        return Err();
    if (auto bad = SimNotReady(true))
        return *bad;
    if (flag == 0) {
        if (!ValidIndex(index))
            return Cms(321);
        m_state.store.erase(index);
        return Ok();
    }
    // 1 every read message, 2 and the sent ones, 3 and the unsent ones, 4 all
    removeIf([&](int s) { return s == 1 || (flag >= 2 && s == 3) || (flag >= 3 && s == 2) || flag == 4; });
    return Ok();
}

ModemEngine::Reply ModemEngine::CallControl(const Command& c)
{
    auto& calls = m_state.calls;
    if (c.name == "+CLIP") {
        switch (c.op) {
        case Op::Test:
            return Line("+CLIP: (0,1)");
        case Op::Read:
            return Line("+CLIP: " + Num(m_state.clip) + ",1"); // 1: the network provides it
        default:
            return IntSetting(c, m_state.clip, 0, 1);
        }
    }
    if (c.name == "+CHUP") {
        if (c.op == Op::Test)
            return Ok();
        if (c.op != Op::Exec)
            return CmeError(4);
        calls.clear();
        return Ok();
    }
    if (c.name == "+CLCC") {
        if (c.op == Op::Test)
            return Ok();
        if (c.op != Op::Exec)
            return CmeError(4);
        Reply r;
        std::vector<std::string> lines;
        for (auto& call : calls) {
            lines.push_back("+CLCC: " + Num(call.id) + "," + Num(call.direction) + "," + Num(call.stat) + ",0,0,"
                + Quote(Address(call.number)) + "," + Num(TypeOfNumber(call.number)));
            if (m_state.advanceCallOnQuery && call.direction == 0)
                call.stat = call.stat == 2 ? 3 : call.stat == 3 ? 0 : call.stat;
        }
        if (!lines.empty())
            r.blocks.push_back(lines);
        return r;
    }
    if (c.name == "H") {
        if (!c.args.empty() && c.args != "0")
            return Err();
        calls.clear();
        return Ok();
    }
    if (c.name == "A") {
        if (!c.args.empty())
            return Err();
        for (auto& call : calls) {
            if (call.stat == 4) {
                call.stat = 0;
                return Ok();
            }
        }
        return Err();
    }
    // ATD<number>; is a voice call; ATD*99...# a packet data call; any other
    // data call this module refuses.
    std::string number;
    for (char ch : c.args) {
        if (ch != ' ')
            number.push_back(ch);
    }
    const bool voice = !number.empty() && number.back() == ';';
    if (voice)
        number.pop_back();
    else if (number.rfind("*99", 0) == 0)
        return DataDial(number);
    if (!ValidNumber(number, true))
        return Err();
    if (!voice) {
        Reply r;
        r.final = Reply::Final::NoCarrier;
        return r;
    }
    if (auto bad = SimNotReady(false))
        return *bad;
    if (!calls.empty())
        return CmeError(3);
    if (!Online() || !Registered(m_state.cregStat)) {
        Reply r;
        r.final = Reply::Final::NoCarrier;
        return r;
    }
    calls.push_back({1, 0, 2, number});
    return Ok();
}

ModemEngine::Reply ModemEngine::Audio(const Command& c)
{
    const bool rx = m_model == Model::Rx70 || m_model == Model::Rx50;
    const bool kv = m_model == Model::Kv;
    if (c.name == "+CLVL")
        return IntSetting(c, m_state.volume, 0, rx ? 7 : 100);
    if (c.name == "+CMUT")
        return IntSetting(c, m_state.mute, 0, 1);
    if (c.name == "+CALM")
        return IntSetting(c, m_state.ringSilent, 0, 1);
    if (c.name == "+JSIDET")
        return rx ? IntSetting(c, m_state.sideTone, 0, 65535)
                  : kv ? IntSetting(c, m_state.sideTone, -450, 200) : IntSetting(c, m_state.sideTone, 0, 255);
    if (c.name != "+JMIC")
        return IntSetting(c, m_state.channel, 0, 2); // the model's audio channel command
    if (rx) {
        // AT+JMIC=<n>,<gain>,<second gain>
        if (c.op == Op::Read)
            return Line("+JMIC: 1," + Num(m_state.micGainA) + "," + Num(m_state.micGainB));
        if (c.op == Op::Test)
            return Line("+JMIC: (1),(0-65535),(0-65535)");
        int n = 0, a = 0, b = 0;
        if (c.op != Op::Set || c.params.size() != 3 || !ToInt(c.params[0], n) || !ToInt(c.params[1], a)
            || !ToInt(c.params[2], b) || a < 0 || a > 65535 || b < 0 || b > 65535)
            return Err();
        m_state.micGainA = a;
        m_state.micGainB = b;
        return Ok();
    }
    // AT+JMIC=<channel>,<gain>; the read form gives the current channel's gain first.
    if (c.op == Op::Read) {
        const int channel = std::clamp(m_state.channel, 0, 2);
        return Line("+JMIC: " + Num(m_state.micGain[std::size_t(channel)]) + "," + Num(channel));
    }
    if (c.op == Op::Test)
        return Line("+JMIC: (0-2),(0-15)");
    int channel = 0, gain = 0;
    if (c.op != Op::Set || c.params.size() != 2 || !ToInt(c.params[0], channel) || !ToInt(c.params[1], gain)
        || channel < 0 || channel > 2 || gain < 0 || gain > 15)
        return Err();
    m_state.micGain[std::size_t(channel)] = gain;
    return Ok();
}

// The packet data call: the PDP contexts, and the data dial, which answers
// CONNECT when the carrier brings up a data path and leaves the line to it
// until the call drops (NO CARRIER).

ModemEngine::Reply ModemEngine::PdpContextCommand(const Command& c)
{
    // The GSM family keeps three contexts of the types of GPRS; the UMTS/HSPA
    // family sixteen, with the IPv6 types.
    const bool umts = m_family == Family::Umts;
    const int maxCid = umts ? 16 : 3;
    const std::vector<std::string> types = umts ? std::vector<std::string>{"IP", "PPP", "IPV6", "IPV4V6"}
                                                : std::vector<std::string>{"IP", "PPP"};
    const std::string cidRange = "(1-" + std::to_string(maxCid) + ")";
    switch (c.op) {
    case Op::Test: {
        std::vector<std::string> lines;
        for (const std::string& type : types)
            lines.push_back("+CGDCONT: " + cidRange + ",\"" + type + "\",,,(0-2),(0-4)");
        return Reply{Reply::Final::Ok, 0, {lines}};
    }
    case Op::Read: {
        Reply r;
        std::vector<std::string> lines;
        for (const auto& [cid, ctx] : m_state.contexts) {
            const std::string address = ctx.address.empty() ? "0.0.0.0" : ctx.address;
            lines.push_back("+CGDCONT: " + std::to_string(cid) + ",\"" + ctx.type + "\",\"" + ctx.apn + "\",\""
                + address + "\"," + std::to_string(ctx.dataCompression) + "," + std::to_string(ctx.headerCompression));
        }
        if (!lines.empty())
            r.blocks.push_back(std::move(lines));
        return r;
    }
    case Op::Exec:
        return CmeError(4);
    case Op::Set:
        break;
    }
    const std::vector<std::string>& p = c.params;
    int cid = 0;
    if (p.empty() || p.size() > 6 || !InRange(p[0], 1, maxCid, cid))
        return Err();
    if (p.size() == 1) {
        // A context given by its cid alone is undefined.
        m_state.contexts.erase(cid);
        return {};
    }
    const auto type = std::find_if(types.begin(), types.end(), [&](const std::string& t) { return SameNoCase(t, p[1]); });
    if (type == types.end())
        return Err();
    PdpContext ctx;
    ctx.type = *type;
    if (p.size() > 2) {
        ctx.apn = p[2];
        if (ctx.apn.size() > kMaxApn)
            return Err();
    }
    if (p.size() > 3)
        ctx.address = p[3];
    if (p.size() > 4 && !p[4].empty() && !InRange(p[4], 0, 2, ctx.dataCompression))
        return Err();
    if (p.size() > 5 && !p[5].empty() && !InRange(p[5], 0, 4, ctx.headerCompression))
        return Err();
    m_state.contexts[cid] = ctx;
    return {};
}

ModemEngine::Reply ModemEngine::DataDial(std::string_view dial)
{
    // *99, then up to three '*'-led fields, then '#'.
    if (dial.size() < 4 || dial.back() != '#')
        return Err();
    std::string_view rest = dial.substr(3, dial.size() - 4);
    std::vector<std::string_view> fields;
    while (!rest.empty()) {
        if (rest.front() != '*' || fields.size() == 3)
            return Err();
        rest.remove_prefix(1);
        const std::size_t end = std::min(rest.find('*'), rest.size());
        fields.push_back(rest.substr(0, end));
        rest.remove_prefix(end);
    }
    if (fields.size() > 1 && !fields[1].empty() && fields[1] != "1" && !SameNoCase(fields[1], "PPP"))
        return Err(); // only PPP over the line
    int cid = 0;
    if (fields.size() > 2 && !fields[2].empty()) {
        if (!InRange(fields[2], 1, 16, cid) || !m_state.contexts.count(cid))
            return Err();
    } else if (!m_state.contexts.empty()) {
        cid = m_state.contexts.begin()->first;
    }
    if (auto bad = SimNotReady(false))
        return *bad;
    if (!m_state.calls.empty())
        return CmeError(3);
    // No network, no attachment, no context to activate, or no data path:
    // the activation fails as the network refuses it.
    const bool attached = m_state.cgregStat == 1 || m_state.cgregStat == 5;
    if (!Online() || !attached || cid == 0 || !m_dataCall || !m_dataCall(cid))
        return Result(Reply::Final::NoCarrier);
    m_state.dataCallCid = cid;
    m_dataMode = true;
    return Result(Reply::Final::Connect);
}

ModemEngine::Reply ModemEngine::ReturnToData(const Command& c)
{
    if (c.op != Op::Exec || (!c.args.empty() && c.args != "0"))
        return Err();
    // The escape ends the call here rather than holding it, so there is never
    // a call to go back to.
    return Result(Reply::Final::NoCarrier);
}

std::vector<Emission> ModemEngine::EndDataCall(bool tellHost)
{
    std::vector<Emission> out;
    if (!m_dataMode)
        return out;
    m_dataMode = false;
    m_state.dataCallCid = 0;
    m_line.clear();
    m_overflow = false;
    if (tellHost)
        out.push_back({RenderFinal(Reply::Final::NoCarrier, 0), 0, false});
    AppendFollowUps(out);
    for (std::string& later : std::exchange(m_afterReply, {}))
        out.push_back({std::move(later), 20, false});
    return out;
}

} // namespace ulv::sim
