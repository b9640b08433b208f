// The command table of the simulated module and its handlers.

#include "sim/ModemEngine.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace ulv::sim {

namespace {

using Reply = ModemEngine::Reply;
using Command = ModemEngine::Command;
using Op = Command::Op;

constexpr unsigned kGsm = ModelBit(Model::Tz) | ModelBit(Model::P);
constexpr unsigned kUmts = ModelBit(Model::Rx70) | ModelBit(Model::Rx50) | ModelBit(Model::Kv);
constexpr unsigned kAll = kGsm | kUmts;

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
        {"+CIMI", &E::Sim, kAll},
        {"+JCCID", &E::Sim, kAll},
        {"+CPIN", &E::Sim, kAll},
        {"+CSQ", &E::Network, kAll},
        {"+CREG", &E::Network, kAll},
        {"+CGREG", &E::Network, kAll},
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
        {"+CMGS", &E::SmsSend, kAll},
        {"+CMGR", &E::SmsRead, kAll},
        {"+CMGL", &E::SmsList, kAll},
        {"+CMGD", &E::SmsDelete, kAll},
        {"+JMGDA", &E::SmsDelete, ModelBit(Model::Rx70) | ModelBit(Model::Rx50)},
        {"D", &E::CallControl, kAll},
        {"A", &E::CallControl, kAll},
        {"H", &E::CallControl, kAll},
        {"+CLCC", &E::CallControl, kAll},
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
    if (c.op == Op::Test)
        return Ok();
    if (c.op != Op::Exec || (c.name == "I" && !c.args.empty() && c.args != "0"))
        return Err();
    if (c.name == "I")
        return Lines({m_state.manufacturer, ModelName(), "Revision: " + m_revision});
    if (c.name == "+CGMI")
        return Line(m_state.manufacturer);
    if (c.name == "+CGMM")
        return Line(ModelName());
    if (c.name == "+CGMR")
        return Line(m_revision);
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
        return Err();
    if (auto bad = SimNotReady(false))
        return *bad;
    if (c.name == "+CIMI")
        return Line(m_state.imsi);
    return Line("+JCCID: " + m_state.iccid);
}

ModemEngine::Reply ModemEngine::Network(const Command& c)
{
    const bool umts = m_family == Family::Umts;
    if (c.name == "+CSQ") {
        if (c.op == Op::Test)
            return Line("+CSQ: (0-31,99),(0-7,99)");
        if (c.op != Op::Exec)
            return Err();
        return Line("+CSQ: " + Num(m_state.rssi) + "," + Num(m_state.ber));
    }
    if (c.name == "+CREG" || c.name == "+CGREG") {
        const bool cs = c.name == "+CREG";
        int& mode = cs ? m_state.cregMode : m_state.cgregMode;
        if (c.op != Op::Read)
            return IntSetting(c, mode, 0, 2);
        const int stat = cs ? m_state.cregStat : m_state.cgregStat;
        std::string line = c.name + ": " + Num(mode) + "," + Num(stat);
        if (mode == 2 && Registered(stat))
            line += std::string(",\"1A2B\",\"00C3\"") + (umts ? ",2" : "");
        return Line(line);
    }
    // +COPS
    if (c.op == Op::Test)
        return Line("+COPS: (2,\"" + m_state.operatorName + "\",\"Test\",\"00101\"),,(0-4),(0-2)");
    if (c.op == Op::Set)
        return Ok();
    if (c.op != Op::Read)
        return Err();
    if (!Registered(m_state.cregStat) || m_state.operatorName.empty())
        return Line("+COPS: 0");
    return Line("+COPS: 0,0," + Quote(m_state.operatorName) + (umts ? ",2" : ""));
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
            return Err();
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
    h += Quote(SmsStatusText(m.status)) + "," + Quote(Address(m.address)) + ",";
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
    if (c.op == Op::Test)
        return Ok();
    if (c.op != Op::Set || c.params.empty())
        return Err();
    if (auto bad = SimNotReady(true))
        return *bad;
    if (m_state.textMode) {
        auto decoded = DecodeTe(c.params[0], m_state.charset);
        const std::string number = decoded ? Utf16ToUtf8(*decoded) : std::string();
        if (!c.quoted[0] || c.params.size() > 2 || !ValidNumber(number, false))
            return Cms(305);
        m_bodyText = true;
        m_bodyDestination = number;
    } else {
        int length = 0;
        if (c.params.size() != 1 || !ToInt(c.params[0], length) || length < 7 || length > 164)
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
    std::string reply;
    if (fault && fault->kind != Fault::Kind::Normal) {
        reply = FaultReply(*fault);
    } else {
        auto result = [&]() -> Reply {
            SentSms sent;
            sent.body = body;
            if (m_bodyOverflow)
                return Cms(m_bodyText ? 305 : 304);
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
                sent.destination = m_bodyDestination;
                sent.dcs = alphabet == 1 ? 4 : alphabet == 2 ? 8 : 0;
                sent.text = *text;
            } else {
                std::string hex;
                for (char ch : body) {
                    if (!std::isspace(static_cast<unsigned char>(ch)))
                        hex.push_back(ch);
                }
                if (SmsTpduLength(hex) != m_bodyLength)
                    return Cms(304);
                auto decoded = DecodeSmsPdu(hex);
                if (!decoded || decoded->status != 2)
                    return Cms(304);
                sent.pdu = hex;
                sent.destination = decoded->address;
                sent.dcs = decoded->dcs;
                sent.text = decoded->text;
            }
            if (m_state.sendError != 0)
                return Cms(m_state.sendError);
            sent.reference = m_state.nextReference;
            m_state.nextReference = m_state.nextReference % 255 + 1;
            m_state.sent.push_back(sent);
            return Line("+CMGS: " + Num(sent.reference));
        }();
        reply = Render(result);
    }
    Shape(std::move(reply), fault ? &*fault : nullptr, out.emissions);
}

ModemEngine::Reply ModemEngine::SmsRead(const Command& c)
{
    if (c.op == Op::Test)
        return Ok();
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
    if (c.op == Op::Read || c.params.size() > 2)
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
    if (c.name == "+CLCC") {
        if (c.op == Op::Test)
            return Ok();
        if (c.op != Op::Exec)
            return Err();
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
    // ATD<number>; is a voice call; without the ';' a data call, which this module refuses.
    std::string number;
    for (char ch : c.args) {
        if (ch != ' ')
            number.push_back(ch);
    }
    const bool voice = !number.empty() && number.back() == ';';
    if (voice)
        number.pop_back();
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

} // namespace ulv::sim
