#include "sim/ModemEngine.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace ulv::sim {

namespace {

std::string Upper(std::string_view s)
{
    std::string out;
    for (char c : s)
        out.push_back(char(std::toupper(static_cast<unsigned char>(c))));
    return out;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (prefix.size() > text.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(text[i])) != std::toupper(static_cast<unsigned char>(prefix[i])))
            return false;
    }
    return true;
}

Model ModelFor(Family family, std::string_view revision)
{
    const std::string rev = Upper(revision);
    if (rev.find("TZ") != std::string::npos)
        return Model::Tz;
    if (rev.find("RX70") != std::string::npos)
        return Model::Rx70;
    if (rev.find("RX50") != std::string::npos)
        return Model::Rx50;
    if (rev.find("KV") != std::string::npos)
        return Model::Kv;
    if (rev.find('P') != std::string::npos)
        return Model::P;
    return family == Family::Gsm ? Model::Tz : Model::Rx70;
}

// The verbose texts of AT+CMEE=2 for the codes the module gives.
const char* CmeText(int code)
{
    switch (code) {
    case 3: return "operation not allowed";
    case 4: return "operation not supported";
    case 10: return "SIM not inserted";
    case 11: return "SIM PIN required";
    case 12: return "SIM PUK required";
    case 13: return "SIM failure";
    case 16: return "incorrect password";
    case 20: return "memory full";
    case 21: return "invalid index";
    case 22: return "not found";
    case 24: return "text string too long";
    case 25: return "invalid characters in text string";
    case 26: return "dial string too long";
    case 27: return "invalid characters in dial string";
    case 30: return "no network service";
    case 100: return "unknown";
    default: return nullptr;
    }
}

// Splits "a,"b,c",d" into a, b,c, d (quotes removed, their presence noted).
void SplitParams(std::string_view args, std::vector<std::string>& params, std::vector<bool>& quoted)
{
    std::string current;
    bool inQuote = false;
    bool wasQuoted = false;
    for (char c : args) {
        if (c == '"') {
            inQuote = !inQuote;
            wasQuoted = true;
        } else if (c == ',' && !inQuote) {
            params.push_back(current);
            quoted.push_back(wasQuoted);
            current.clear();
            wasQuoted = false;
        } else if (inQuote || c != ' ') {
            current.push_back(c);
        }
    }
    params.push_back(current);
    quoted.push_back(wasQuoted);
}

// The commands of a line after its "AT"; false when the line does not parse.
bool ParseCommands(std::string_view s, std::vector<ModemEngine::Command>& out)
{
    using Op = ModemEngine::Command::Op;
    std::size_t i = 0;
    const std::size_t n = s.size();
    while (i < n) {
        const char c = s[i];
        if (c == ' ' || c == ';') {
            ++i;
            continue;
        }
        ModemEngine::Command cmd;
        if (std::string_view("+*$^#%!").find(c) != std::string_view::npos) {
            std::size_t j = i + 1;
            while (j < n && (std::isalnum(static_cast<unsigned char>(s[j])) || s[j] == '_'))
                ++j;
            if (j == i + 1)
                return false;
            cmd.name = Upper(s.substr(i, j - i));
            if (s.substr(j, 2) == "=?") {
                cmd.op = Op::Test;
                j += 2;
            } else if (j < n && s[j] == '?') {
                cmd.op = Op::Read;
                ++j;
            } else if (j < n && s[j] == '=') {
                cmd.op = Op::Set;
                ++j;
                std::size_t k = j;
                bool inQuote = false;
                while (k < n && (inQuote || s[k] != ';')) {
                    if (s[k] == '"')
                        inQuote = !inQuote;
                    ++k;
                }
                if (inQuote)
                    return false;
                cmd.args = std::string(s.substr(j, k - j));
                j = k;
            }
            i = j;
        } else if (c == 'D' || c == 'd') {
            cmd.name = "D";
            cmd.args = std::string(s.substr(i + 1));
            i = n;
        } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '&') {
            std::size_t j = i + 1;
            if (c == '&') {
                if (j >= n || !std::isalpha(static_cast<unsigned char>(s[j])))
                    return false;
                ++j;
            }
            cmd.name = Upper(s.substr(i, j - i));
            if (j < n && s[j] == '?') {
                cmd.op = Op::Read;
                ++j;
            } else {
                std::size_t k = j;
                while (k < n && std::isdigit(static_cast<unsigned char>(s[k])))
                    ++k;
                cmd.args = std::string(s.substr(j, k - j));
                j = k;
            }
            i = j;
        } else {
            return false;
        }
        if (cmd.op == Op::Set || !cmd.args.empty())
            SplitParams(cmd.args, cmd.params, cmd.quoted);
        out.push_back(std::move(cmd));
    }
    return true;
}

} // namespace

ModemEngine::ModemEngine(Family family, std::string revision)
    : m_family(family)
    , m_model(ModelFor(family, revision))
    , m_revision(std::move(revision))
{
    if (family == Family::Gsm) {
        // GSM modules come out of the box auto-bauding, with 1-based storage.
        m_state.ipr = 0;
        m_state.smsInitState = 3;
        m_state.firstIndex = 1;
        m_state.capacity = 50;
    } else {
        m_state.ipr = 115200;
        m_state.smsInitState = 7;
        m_state.firstIndex = 0;
        m_state.capacity = 40;
        m_state.phonebookCapacity = 250;
        m_state.phonebookNumberLength = 40;
        m_state.phonebookTextLength = 18;
    }
    m_state.clockZone = HostZone();
    switch (m_model) {
    case Model::Rx70:
    case Model::Rx50:
        m_state.volume = 4;
        m_state.sideTone = 30000;
        break;
    case Model::Kv:
        m_state.sideTone = -100;
        break;
    default:
        break;
    }
}

std::string ModemEngine::ModelName() const
{
    // The letters and the two digits after them: TZ20A01 -> TZ20.
    std::size_t i = 0;
    while (i < m_revision.size() && std::isalpha(static_cast<unsigned char>(m_revision[i])))
        ++i;
    const std::size_t end = std::min(m_revision.size(), i + 2);
    return m_revision.substr(0, end);
}

ModemEngine::Output ModemEngine::Feed(std::string_view bytes)
{
    Output out;
    for (std::size_t i = 0; i < bytes.size() && !m_dataMode; ++i) {
        const char b = bytes[i];
        if (m_skipLf && b == '\n') {
            m_skipLf = false;
            continue;
        }
        m_skipLf = false;
        if (UploadPending()) {
            UploadByte(b, out);
            continue;
        }
        if (m_inBody) {
            BodyByte(b, out);
            continue;
        }
        if (b == '\n')
            continue; // the module never echoes the LF that follows a command's CR
        if (m_state.echo)
            m_echo.push_back(b);
        if (b == '\r') {
            m_skipLf = true;
            CompleteLine(out);
            if (m_dataMode) {
                // The dial's own LF is not data.
                out.dataFrom = i + 1 < bytes.size() && bytes[i + 1] == '\n' ? i + 2 : i + 1;
                m_skipLf = false;
            }
            continue;
        }
        if (b == '\b' || b == 0x7F) {
            if (!m_line.empty())
                m_line.pop_back();
            continue;
        }
        if (m_line.size() >= kMaxLine) {
            m_overflow = true;
            continue;
        }
        m_line.push_back(b);
    }
    FlushEcho(out);
    return out;
}

void ModemEngine::FlushEcho(Output& out)
{
    if (!m_echo.empty()) {
        out.emissions.push_back({std::move(m_echo), 0, false});
        m_echo.clear();
    }
}

void ModemEngine::CompleteLine(Output& out)
{
    std::string line = std::move(m_line);
    m_line.clear();
    const bool overflow = m_overflow;
    m_overflow = false;
    FlushEcho(out);

    if (overflow) {
        out.lines.push_back(line);
        Shape(RenderFinal(Reply::Final::Error, 0), nullptr, out.emissions);
        return;
    }
    bool blank = true;
    for (char c : line) {
        if (!std::isspace(static_cast<unsigned char>(c)) && c != 0)
            blank = false;
    }
    if (blank)
        return; // an empty command line gets no answer
    out.lines.push_back(line);

    // Anything before "AT" is noise the module skips.
    std::size_t at = std::string::npos;
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
        if (StartsWithNoCase(std::string_view(line).substr(i), "AT")) {
            at = i;
            break;
        }
    }
    if (at == std::string::npos) {
        Shape(RenderFinal(Reply::Final::Error, 0), nullptr, out.emissions);
        return;
    }
    const std::string_view command = std::string_view(line).substr(at);
    const std::optional<Fault> fault = TakeFault(command);
    if (fault && fault->kind == Fault::Kind::Silent)
        return;
    if (fault && fault->kind == Fault::Kind::HangUp) {
        out.emissions.push_back({{}, fault->delayMs, true});
        return;
    }
    std::string reply = fault && fault->kind != Fault::Kind::Normal ? FaultReply(*fault) : Execute(command);
    Shape(std::move(reply), fault ? &*fault : nullptr, out.emissions);
    if (m_dataMode)
        return; // what follows the answer waits for the call's end
    AppendFollowUps(out.emissions);
    for (std::string& later : std::exchange(m_afterReply, {}))
        out.emissions.push_back({std::move(later), 20, false});
}

void ModemEngine::FollowUp(std::vector<Emission> emissions, int delayMs)
{
    if (emissions.empty())
        return;
    emissions.front().delayMs = delayMs;
    for (auto& e : emissions)
        m_followUps.push_back(std::move(e));
}

void ModemEngine::AppendFollowUps(std::vector<Emission>& out)
{
    for (auto& e : m_followUps)
        out.push_back(std::move(e));
    m_followUps.clear();
}

void ModemEngine::BodyByte(char b, Output& out)
{
    if (b == 0x1A) {
        FlushEcho(out);
        if (m_bodyIp) {
            m_inBody = m_bodyIp = false;
            Shape(FinishIpBody(std::exchange(m_body, {})), nullptr, out.emissions);
            return;
        }
        FinishBody(out);
        return;
    }
    if (m_bodyIp) {
        // Socket data is not echoed and may be any byte.
        if (m_body.size() < kMaxBody)
            m_body.push_back(b);
        return;
    }
    if (b == 0x1B) {
        // ESC abandons the message; the module confirms with a plain OK.
        FlushEcho(out);
        m_inBody = false;
        m_body.clear();
        Shape(RenderFinal(Reply::Final::Ok, 0), nullptr, out.emissions);
        return;
    }
    if (m_state.echo) {
        if (b == '\r')
            m_echo += "\r\n> ";
        else
            m_echo.push_back(b);
    }
    if (m_body.size() >= kMaxBody)
        m_bodyOverflow = true;
    else
        m_body.push_back(b);
}

std::optional<Fault> ModemEngine::TakeFault(std::string_view line)
{
    auto best = m_faults.end();
    for (auto it = m_faults.begin(); it != m_faults.end(); ++it) {
        if (!StartsWithNoCase(line, it->prefix))
            continue;
        if (best == m_faults.end() || it->prefix.size() >= best->prefix.size())
            best = it;
    }
    if (best == m_faults.end())
        return std::nullopt;
    Fault taken = *best;
    if (best->times > 0 && --best->times == 0)
        m_faults.erase(best);
    return taken;
}

std::string ModemEngine::FaultReply(const Fault& fault) const
{
    switch (fault.kind) {
    case Fault::Kind::Error: return RenderFinal(Reply::Final::Error, 0);
    case Fault::Kind::CmeError: return RenderFinal(Reply::Final::Cme, fault.code, true);
    case Fault::Kind::CmsError: return RenderFinal(Reply::Final::Cms, fault.code);
    case Fault::Kind::Reply: return fault.reply;
    default: return {};
    }
}

void ModemEngine::Shape(std::string reply, const Fault* fault, std::vector<Emission>& out) const
{
    const int latency = m_state.answerLatencyMs;
    if (!fault) {
        out.push_back({std::move(reply), latency, false});
        return;
    }
    std::string bytes = fault->garbage + reply;
    // The first piece waits for the answer's delay, the others for the gap.
    const std::size_t first = out.size();
    auto wait = [&] { return out.size() == first ? latency + fault->delayMs : fault->gapMs; };
    std::size_t start = 0;
    std::vector<std::size_t> cuts = fault->splits;
    std::sort(cuts.begin(), cuts.end());
    for (std::size_t cut : cuts) {
        if (cut <= start || cut >= bytes.size())
            continue;
        out.push_back({bytes.substr(start, cut - start), wait(), false});
        start = cut;
    }
    out.push_back({bytes.substr(start), wait(), false});
}

std::string ModemEngine::Execute(std::string_view commandLine)
{
    std::vector<Command> commands;
    if (!ParseCommands(commandLine.substr(2), commands))
        return RenderFinal(Reply::Final::Error, 0);
    std::string out;
    for (const Command& cmd : commands) {
        const Entry* entry = nullptr;
        for (const auto* table : {&IpTable(), &MmsTable(), &GnssTable(), &LocatorTable(), &ClockTable(), &PhonebookTable(), &Table()}) {
            for (const Entry& e : *table) {
                if (!entry && cmd.name == e.name && (e.models & ModelBit(m_model)) != 0)
                    entry = &e;
            }
        }
        if (!entry) {
            const Reply unsupported = CmeError(4);
            return out + RenderFinal(unsupported.final, unsupported.code);
        }
        const Reply reply = (this->*entry->handler)(cmd);
        out += RenderBlocks(reply.blocks);
        if (reply.final == Reply::Final::Prompt) {
            m_inBody = true;
            m_body.clear();
            m_bodyOverflow = false;
            return out + RenderFinal(Reply::Final::Prompt, 0);
        }
        if (reply.final != Reply::Final::Ok)
            return out + RenderFinal(reply.final, reply.code);
    }
    return out + RenderFinal(Reply::Final::Ok, 0);
}

std::string ModemEngine::RenderBlocks(const std::vector<std::vector<std::string>>& blocks) const
{
    std::string out;
    for (const auto& block : blocks) {
        if (m_state.verbose)
            out += "\r\n";
        for (const auto& line : block)
            out += line + "\r\n";
    }
    return out;
}

std::string ModemEngine::RenderFinal(Reply::Final final, int code, bool numericCme) const
{
    using F = Reply::Final;
    if (final == F::Prompt)
        return "\r\n> ";
    if (final == F::Cme && !numericCme && m_state.cmee == 2 && CmeText(code)) {
        const std::string text = std::string("+CME ERROR: ") + CmeText(code);
        return m_state.verbose ? "\r\n" + text + "\r\n" : text + "\r";
    }
    if (m_state.verbose) {
        switch (final) {
        case F::Ok: return "\r\nOK\r\n";
        case F::Error: return "\r\nERROR\r\n";
        case F::NoCarrier: return "\r\nNO CARRIER\r\n";
        case F::Connect: return "\r\nCONNECT\r\n";
        case F::Cme: return "\r\n+CME ERROR: " + std::to_string(code) + "\r\n";
        case F::Cms: return "\r\n+CMS ERROR: " + std::to_string(code) + "\r\n";
        default: break;
        }
    }
    switch (final) {
    case F::Ok: return "0\r";
    case F::Error: return "4\r";
    case F::NoCarrier: return "3\r";
    case F::Connect: return "1\r";
    case F::Cme: return "+CME ERROR: " + std::to_string(code) + "\r";
    case F::Cms: return "+CMS ERROR: " + std::to_string(code) + "\r";
    default: return {};
    }
}

std::string ModemEngine::Render(const Reply& reply) const
{
    return RenderBlocks(reply.blocks) + RenderFinal(reply.final, reply.code);
}

std::vector<Emission> ModemEngine::Unsolicited(std::string_view text) const
{
    if (!m_state.verbose) {
        if (text == "RING")
            return {{"2\r", 0, false}};
        if (text == "NO CARRIER")
            return {{"3\r", 0, false}};
        return {{std::string(text) + "\r\n", 0, false}};
    }
    return {{"\r\n" + std::string(text) + "\r\n", 0, false}};
}

std::vector<Emission> ModemEngine::Ring(const std::string& number)
{
    if (m_state.calls.empty())
        m_state.calls.push_back({1, 1, 4, number});
    std::vector<Emission> out = Unsolicited("RING");
    if (m_state.clip == 1) {
        const std::string clip = "+CLIP: \"" + EncodeTe(Utf8ToUtf16(number), m_state.charset) + "\","
            + std::to_string(!number.empty() && number.front() == '+' ? 145 : 129);
        for (auto& e : Unsolicited(clip))
            out.push_back(std::move(e));
    }
    return out;
}

std::vector<Emission> ModemEngine::RemoteHangUp()
{
    m_state.calls.clear();
    return Unsolicited("NO CARRIER");
}

int ModemEngine::StoreSms(SmsMessage message, bool notify, std::vector<Emission>& out)
{
    if (notify) {
        const int index = Arrive(std::move(message), 0);
        AppendFollowUps(out);
        return index;
    }
    for (int index = m_state.firstIndex; index < m_state.firstIndex + m_state.capacity; ++index) {
        if (m_state.store.count(index))
            continue;
        m_state.store[index] = std::move(message);
        return index;
    }
    return -1;
}

std::vector<Emission> ModemEngine::SetRegistration(int cregStat, int cgregStat)
{
    std::vector<Emission> out;
    auto report = [&](const char* name, int mode, int& current, int stat) {
        if (current == stat)
            return;
        current = stat;
        if (mode >= 1) {
            std::string text = std::string(name) + ": " + std::to_string(stat);
            if (mode == 2 && (stat == 1 || stat == 5))
                text += ",\"" + m_state.lac + "\",\"" + m_state.cellId + "\"" + (m_family == Family::Umts ? ",2" : "");
            for (auto& e : Unsolicited(text))
                out.push_back(std::move(e));
        }
    };
    report("+CREG", m_state.cregMode, m_state.cregStat, cregStat);
    report("+CGREG", m_state.cgregMode, m_state.cgregStat, cgregStat);
    return out;
}

} // namespace ulv::sim
