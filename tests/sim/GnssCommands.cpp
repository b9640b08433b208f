// The UMTS/HSPA family's GNSS engine switch: AT+JGPS=1 starts the engine (its
// NMEA port then streams), AT+JGPSEND stops it; AT+JGPSLOC? reports the
// engine's fix while it runs. The GSM family has no GNSS.

#include "sim/ModemEngine.h"

#include <cmath>
#include <cstdio>

namespace ulv::sim {

namespace {

constexpr unsigned kUmts = ModelBit(Model::Rx70) | ModelBit(Model::Rx50) | ModelBit(Model::Kv);

// Signed degrees as NMEA writes them: (d)ddmm.mmmm and the hemisphere letter.
std::string NmeaCoordinate(double degrees, int degreeDigits, char positive, char negative)
{
    const double a = std::fabs(degrees);
    const int whole = static_cast<int>(a);
    char text[32];
    std::snprintf(text, sizeof text, "%0*d%07.4f%c", degreeDigits, whole, (a - whole) * 60.0,
        degrees < 0 ? negative : positive);
    return text;
}

} // namespace

const std::vector<ModemEngine::Entry>& ModemEngine::GnssTable()
{
    using E = ModemEngine;
    static const std::vector<Entry> table = {
        {"+JGPS", &E::GnssCommand, kUmts},
        {"+JGPSEND", &E::GnssCommand, kUmts},
        {"+JGPSLOC", &E::GnssCommand, kUmts},
    };
    return table;
}

ModemEngine::Reply ModemEngine::GnssCommand(const Command& c)
{
    using Op = Command::Op;
    Reply r;
    bool on = m_gnssOn;
    if (c.name == "+JGPSLOC") {
        // UTC time of the fix, latitude, longitude.
        if (c.op != Op::Read || !m_gnssOn) {
            r.final = Reply::Final::Error;
            return r;
        }
        r.blocks.push_back({"+JGPSLOC: 120000.000," + NmeaCoordinate(m_state.gnssLatitude, 2, 'N', 'S') + ","
            + NmeaCoordinate(m_state.gnssLongitude, 3, 'E', 'W')});
        return r;
    }
    if (c.name == "+JGPSEND") {
        if (c.op != Op::Exec) {
            r.final = Reply::Final::Error;
            return r;
        }
        on = false;
    } else if (c.op == Op::Read) {
        r.blocks.push_back({std::string("+JGPS: ") + (m_gnssOn ? "1" : "0")});
        return r;
    } else if (c.op == Op::Test) {
        r.blocks.push_back({"+JGPS: (0,1)"});
        return r;
    } else if (c.op == Op::Set && c.params.size() == 1 && (c.params[0] == "0" || c.params[0] == "1")) {
        on = c.params[0] == "1";
    } else {
        r.final = Reply::Final::Error;
        return r;
    }
    m_gnssOn = on;
    if (m_gnssSwitch)
        m_gnssSwitch(on);
    return r;
}

} // namespace ulv::sim
