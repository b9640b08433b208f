#pragma once

// The small pieces command handlers build their answers from.

#include "sim/ModemEngine.h"

#include <charconv>
#include <string>
#include <string_view>

namespace ulv::sim::replies {

using Reply = ModemEngine::Reply;

inline Reply Ok()
{
    return {};
}

inline Reply Err()
{
    Reply r;
    r.final = Reply::Final::Error;
    return r;
}

inline Reply Line(std::string line)
{
    Reply r;
    r.blocks.push_back({std::move(line)});
    return r;
}

inline bool ToInt(std::string_view s, int& out)
{
    if (s.empty())
        return false;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && p == s.data() + s.size();
}

inline std::string Quote(std::string_view s)
{
    return "\"" + std::string(s) + "\"";
}

} // namespace ulv::sim::replies
