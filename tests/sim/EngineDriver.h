#pragma once

// Drives a ModemEngine directly (no pty, no timing) for exact-byte tests.

#include "sim/ModemEngine.h"

#include <string>
#include <string_view>
#include <vector>

namespace ulv::sim::test {

// The bytes of emissions, joined (their timing dropped).
inline std::string Bytes(const std::vector<Emission>& emissions)
{
    std::string out;
    for (const auto& e : emissions)
        out += e.bytes;
    return out;
}

// Every byte the engine answers to `input`, emissions joined.
inline std::string Feed(ModemEngine& engine, std::string_view input)
{
    return Bytes(engine.Feed(input).emissions);
}

// Sends "<command>\r\n" and returns the answer without the echo of the command.
inline std::string Ask(ModemEngine& engine, const std::string& command)
{
    std::string out = Feed(engine, command + "\r\n");
    const std::string echo = command + "\r";
    if (engine.State().echo && out.compare(0, echo.size(), echo) == 0)
        out.erase(0, echo.size());
    return out;
}

// The host clock at 2026-12-10 05:45:32 UTC, standing still, and the module in
// the zone +8 h: its clock reads "26/12/10,13:45:32+32".
inline void FixClock(ModemEngine& engine, long long hostSeconds = 1796881532)
{
    engine.SetHostClock([hostSeconds] { return std::chrono::system_clock::time_point(std::chrono::seconds(hostSeconds)); });
    engine.State().clockZone = 32;
}

inline std::string Info(const std::string& line)
{
    return "\r\n" + line + "\r\n\r\nOK\r\n";
}

inline const std::string kOk = "\r\nOK\r\n";
inline const std::string kError = "\r\nERROR\r\n";

} // namespace ulv::sim::test
