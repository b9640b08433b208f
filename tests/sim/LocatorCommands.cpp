// The cell locator of the simulated module: AT+JCELLLOC=1 reports the position
// of the serving cell (State().cellLatitude / cellLongitude) as
// "+JCELLLOC: <longitude>,<latitude>", and the GSM family's AT+JIFGCNT, which
// picks the context the locator's PDP activation uses.

#include "sim/ModemEngine.h"

#include <cstdio>

namespace ulv::sim {

namespace {

using Reply = ModemEngine::Reply;
using Op = ModemEngine::Command::Op;

constexpr unsigned kGsm = ModelBit(Model::Tz) | ModelBit(Model::P);
constexpr unsigned kUmts = ModelBit(Model::Rx70) | ModelBit(Model::Rx50) | ModelBit(Model::Kv);

Reply Error()
{
    Reply r;
    r.final = Reply::Final::Error;
    return r;
}

} // namespace

const std::vector<ModemEngine::Entry>& ModemEngine::LocatorTable()
{
    using E = ModemEngine;
    static const std::vector<Entry> table = {
        {"+JCELLLOC", &E::LocatorCommand, kGsm | kUmts},
        {"+JIFGCNT", &E::LocatorCommand, kGsm},
    };
    return table;
}

ModemEngine::Reply ModemEngine::LocatorCommand(const Command& c)
{
    const std::vector<std::string>& p = c.params;
    if (c.name == "+JIFGCNT") {
        if (c.op == Op::Read)
            return Reply{Reply::Final::Ok, 0, {{"+JIFGCNT: 0"}}};
        return c.op == Op::Set && p.size() == 1 && (p[0] == "0" || p[0] == "1" || p[0] == "2") ? Reply{} : Error();
    }
    // +JCELLLOC=1: one report; the network needs the module registered.
    if (c.op != Op::Set || p.size() != 1 || p[0] != "1")
        return Error();
    if (m_state.fun != 1 || !(m_state.cregStat == 1 || m_state.cregStat == 5))
        return Error();
    char line[96];
    std::snprintf(line, sizeof line, "+JCELLLOC: %.6f,%.6f", m_state.cellLongitude, m_state.cellLatitude);
    return Reply{Reply::Final::Ok, 0, {{line}}};
}

} // namespace ulv::sim
