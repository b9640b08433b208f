// The module's own clock: AT+CCLK reads and sets it ("yy/MM/dd,hh:mm:ss+zz",
// zz the zone in quarter hours), and the network stamps what it delivers with
// it. It starts from the host's clock and zone and keeps running with it.

#include "sim/Replies.h"

#include <cctype>
#include <cstdio>
#include <ctime>

namespace ulv::sim {

namespace {

using namespace replies;
using Op = ModemEngine::Command::Op;

constexpr unsigned kAll = ModelBit(Model::Tz) | ModelBit(Model::P) | ModelBit(Model::Rx70) | ModelBit(Model::Rx50)
    | ModelBit(Model::Kv);
// The zone range a time stamp carries, in quarter hours.
constexpr int kLowestZone = -47;
constexpr int kHighestZone = 48;

// Two digits at text[at]; -1 when they are not digits.
int TwoDigits(std::string_view text, std::size_t at)
{
    int v = 0;
    return at + 2 <= text.size() && ToInt(text.substr(at, 2), v) && std::isdigit(static_cast<unsigned char>(text[at]))
        ? v
        : -1;
}

bool LeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// "yy/MM/dd,hh:mm:ss" with an optional "+zz"/"-zz": the seconds since the
// epoch the local time stands for in that zone (the zone itself in zone);
// false for anything else.
bool ParseTime(std::string_view text, long long& utc, int& zone)
{
    if (text.size() != 17 && text.size() != 20)
        return false;
    for (std::size_t at : {2, 5}) {
        if (text[at] != '/')
            return false;
    }
    if (text[8] != ',' || text[11] != ':' || text[14] != ':')
        return false;
    const int year = TwoDigits(text, 0), month = TwoDigits(text, 3), day = TwoDigits(text, 6);
    const int hour = TwoDigits(text, 9), minute = TwoDigits(text, 12), second = TwoDigits(text, 15);
    static const int days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 0 || month < 1 || month > 12 || day < 1 || day > days[month - 1]
        || (month == 2 && day == 29 && !LeapYear(2000 + year)) || hour < 0 || hour > 23 || minute < 0 || minute > 59
        || second < 0 || second > 59)
        return false;
    if (text.size() == 20) {
        const int quarters = TwoDigits(text, 18);
        if ((text[17] != '+' && text[17] != '-') || quarters < 0)
            return false;
        zone = text[17] == '-' ? -quarters : quarters;
        if (zone < kLowestZone || zone > kHighestZone)
            return false;
    }
    std::tm tm {};
    tm.tm_year = 100 + year;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    utc = static_cast<long long>(::timegm(&tm)) - zone * 900LL;
    return true;
}

} // namespace

int HostZone()
{
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    if (!::localtime_r(&now, &local))
        return 0;
    const long quarters = local.tm_gmtoff / 900;
    return int(quarters < kLowestZone ? kLowestZone : quarters > kHighestZone ? kHighestZone : quarters);
}

const std::vector<ModemEngine::Entry>& ModemEngine::ClockTable()
{
    static const std::vector<Entry> table = {
        {"+CCLK", &ModemEngine::ClockCommand, kAll},
    };
    return table;
}

long long ModemEngine::HostSeconds() const
{
    const auto host = m_hostClock ? m_hostClock() : std::chrono::system_clock::now();
    return std::chrono::duration_cast<std::chrono::seconds>(host.time_since_epoch()).count();
}

std::string ModemEngine::ModuleTime() const
{
    const std::time_t local = std::time_t(HostSeconds() + m_state.clockOffsetS + m_state.clockZone * 900LL);
    std::tm tm {};
    ::gmtime_r(&local, &tm);
    const int zone = m_state.clockZone;
    char text[32];
    std::snprintf(text, sizeof text, "%02d/%02d/%02d,%02d:%02d:%02d%c%02d", (tm.tm_year + 1900) % 100,
        tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, zone < 0 ? '-' : '+', zone < 0 ? -zone : zone);
    return text;
}

ModemEngine::Reply ModemEngine::ClockCommand(const Command& c)
{
    switch (c.op) {
    case Op::Test:
        return Ok();
    case Op::Read:
        return Line("+CCLK: " + Quote(ModuleTime()));
    case Op::Exec:
        return Err();
    case Op::Set:
        break;
    }
    long long utc = 0;
    int zone = m_state.clockZone; // a time without a zone keeps the zone there is
    if (c.params.size() != 1 || !c.quoted[0] || !ParseTime(c.params[0], utc, zone))
        return Err();
    m_state.clockOffsetS = utc - HostSeconds();
    m_state.clockZone = zone;
    return Ok();
}

} // namespace ulv::sim
