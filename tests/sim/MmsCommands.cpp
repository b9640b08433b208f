// The MMS client of the UMTS/HSPA family and its RAM file system: AT+JMMSCFG
// (settings), AT+JMMSEDIT (recipients, title, attachments), AT+JMMSEND,
// AT+JFUPL (CONNECT, then exactly the announced number of raw bytes, then
// "+JFUPL: <size>,<checksum>" and OK) and AT+JFDEL.

#include "sim/MmsState.h"
#include "sim/ModemEngine.h"

#include <algorithm>
#include <charconv>
#include <utility>

namespace ulv::sim {

namespace {

using Reply = ModemEngine::Reply;
using Command = ModemEngine::Command;
using Op = Command::Op;

constexpr unsigned kUmts = ModelBit(Model::Rx70) | ModelBit(Model::Rx50) | ModelBit(Model::Kv);

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

Reply Lines(std::vector<std::string> lines, Reply::Final final = Reply::Final::Ok)
{
    Reply r;
    r.blocks.push_back(std::move(lines));
    r.final = final;
    return r;
}

bool ToSize(const std::string& s, std::size_t& out)
{
    if (s.empty())
        return false;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && p == s.data() + s.size();
}

// "RAM:<name>" to <name>; empty when the text names no RAM file.
std::string RamName(const std::string& path)
{
    if (path.size() <= 4)
        return {};
    const std::string drive = path.substr(0, 4);
    if (drive != "RAM:" && drive != "ram:")
        return {};
    return path.substr(4);
}

unsigned Checksum(const std::string& data)
{
    unsigned sum = 0;
    for (unsigned char c : data)
        sum = (sum + c) & 0xFFFF;
    return sum;
}

} // namespace

const std::vector<ModemEngine::Entry>& ModemEngine::MmsTable()
{
    using E = ModemEngine;
    static const std::vector<Entry> table = {
        {"+JMMSCFG", &E::MmsCommand, kUmts},
        {"+JMMSEDIT", &E::MmsCommand, kUmts},
        {"+JMMSEND", &E::MmsCommand, kUmts},
        {"+JFUPL", &E::MmsCommand, kUmts},
        {"+JFDEL", &E::MmsCommand, kUmts},
    };
    return table;
}

MmsState& ModemEngine::Mms()
{
    if (!m_mms)
        m_mms = std::make_shared<MmsState>();
    return *m_mms;
}

bool ModemEngine::UploadPending() const
{
    return m_mms && m_mms->uploading;
}

void ModemEngine::UploadByte(char byte, Output& out)
{
    MmsState& mms = Mms();
    mms.uploadData.push_back(byte);
    if (--mms.uploadLeft > 0)
        return;
    mms.uploading = false;
    const std::string data = std::exchange(mms.uploadData, {});
    mms.ram[mms.uploadName] = data;
    std::vector<std::vector<std::string>> answer(1);
    answer[0].push_back("+JFUPL: " + std::to_string(data.size()) + "," + std::to_string(Checksum(data)));
    Shape(RenderBlocks(answer) + RenderFinal(Reply::Final::Ok, 0), nullptr, out.emissions);
}

ModemEngine::Reply ModemEngine::MmsCommand(const Command& c)
{
    MmsState& mms = Mms();
    const std::vector<std::string>& p = c.params;
    if (c.op == Op::Test)
        return Ok();

    if (c.name == "+JMMSCFG") {
        if (c.op != Op::Set || p.empty())
            return Err();
        const std::string& name = p[0];
        if (p.size() == 1) {
            const auto it = mms.config.find(name);
            return Lines({"+JMMSCFG: \"" + name + "\"," + (it == mms.config.end() ? "" : it->second)});
        }
        std::string value;
        for (std::size_t i = 1; i < p.size(); ++i)
            value += (i > 1 ? "," : "") + p[i];
        if (name == "contextid") {
            // The context must be active before the MMS client may use it.
            if (p.size() != 2 || p[1] != "1" || !m_ipState.context)
                return Err();
        } else if (name == "mmsc") {
            if (p.size() != 2 || p[1].empty())
                return Err();
        } else if (name == "proxy") {
            std::size_t port = 0;
            if (p.size() != 3 || !ToSize(p[2], port) || port > 65535)
                return Err();
        } else if (name == "sendparam") {
            if (p.size() != 7)
                return Err();
        } else if (name == "character") {
            if (p.size() != 2 || (p[1] != "ASCII" && p[1] != "UTF8" && p[1] != "UCS2" && p[1] != "GBK"))
                return Err();
        } else {
            return Err();
        }
        mms.config[name] = value;
        return Ok();
    }

    if (c.name == "+JMMSEDIT") {
        std::size_t kind = 0, mode = 0;
        if (c.op != Op::Set || p.empty() || !ToSize(p[0], kind) || kind > 5)
            return Err();
        if (kind == 0) {
            if (p.size() != 1)
                return Err();
            mms.message = {};
            return Ok();
        }
        if (p.size() < 2 || !ToSize(p[1], mode) || mode > 1)
            return Err();
        std::vector<std::string>* list = kind == 1 ? &mms.message.to
            : kind == 2                            ? &mms.message.cc
            : kind == 3                            ? &mms.message.bcc
            : kind == 5                            ? &mms.message.attachments
                                                   : nullptr;
        if (mode == 0) {
            if (list)
                list->clear();
            else
                mms.message.title.clear();
            return Ok();
        }
        if (p.size() != 3 || p[2].empty())
            return Err();
        if (kind == 4) {
            mms.message.title = p[2];
            return Ok();
        }
        if (kind == 5) {
            const std::string name = RamName(p[2]);
            if (name.empty() || !mms.ram.count(name))
                return Err();
            list->push_back(name);
            return Ok();
        }
        list->push_back(p[2]);
        return Ok();
    }

    if (c.name == "+JMMSEND") {
        std::size_t timeout = 0;
        if (c.op != Op::Set || p.size() != 1 || !ToSize(p[0], timeout))
            return Err();
        const MmsMessage& m = mms.message;
        if (!m_ipState.context || !mms.config.count("mmsc") || (m.to.empty() && m.cc.empty() && m.bcc.empty()))
            return Err();
        if (mms.sendResult == 0) {
            SentMms sent {m, {}, mms.config};
            for (const std::string& name : m.attachments)
                sent.files[name] = mms.ram[name];
            mms.sent.push_back(std::move(sent));
        }
        // The outcome follows the OK once the network has answered.
        m_afterReply.push_back("\r\n+JMMSEND: " + std::to_string(mms.sendResult) + ",200\r\n");
        return Ok();
    }

    if (c.name == "+JFUPL") {
        std::size_t size = 0;
        if (c.op != Op::Set || p.size() < 2 || !ToSize(p[1], size) || size == 0 || size > mms.ramCapacity)
            return Err();
        const std::string name = RamName(p[0]);
        if (name.empty())
            return Err();
        mms.uploading = true;
        mms.uploadName = name;
        mms.uploadLeft = std::min(size, std::max<std::size_t>(mms.uploadLimit, 1));
        mms.uploadData.clear();
        return Lines({"CONNECT"}, Reply::Final::None);
    }

    if (c.name == "+JFDEL") {
        if (c.op != Op::Set || p.size() != 1)
            return Err();
        const std::string name = RamName(p[0]);
        if (name.empty() || mms.ram.erase(name) == 0)
            return Err();
        return Ok();
    }
    return Err();
}

} // namespace ulv::sim
