#include "sim/Fault.h"

#include "sim/SimText.h"

#include <cctype>
#include <charconv>
#include <fstream>

namespace ulv::sim {

namespace {

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

bool ParseInt(std::string_view s, int& out)
{
    s = Trim(s);
    if (s.empty())
        return false;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && p == s.data() + s.size();
}

std::vector<std::string_view> Split(std::string_view s, char sep)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= s.size(); ++i) {
        if (i == s.size() || s[i] == sep) {
            parts.push_back(s.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

bool ApplyAction(std::string_view action, Fault& f, std::string& why)
{
    action = Trim(action);
    const std::size_t space = action.find_first_of(" \t");
    const std::string_view word = action.substr(0, space);
    const std::string_view arg = space == std::string_view::npos ? std::string_view() : Trim(action.substr(space));
    int value = 0;
    if (word == "silent" && arg.empty()) {
        f.kind = Fault::Kind::Silent;
    } else if (word == "error" && arg.empty()) {
        f.kind = Fault::Kind::Error;
    } else if (word == "cme" && ParseInt(arg, value)) {
        f.kind = Fault::Kind::CmeError;
        f.code = value;
    } else if (word == "cms" && ParseInt(arg, value)) {
        f.kind = Fault::Kind::CmsError;
        f.code = value;
    } else if (word == "reply" && !arg.empty()) {
        f.kind = Fault::Kind::Reply;
        f.reply = UnescapeFaultText(arg);
    } else if (word == "hangup" && arg.empty()) {
        f.kind = Fault::Kind::HangUp;
    } else if (word == "delay" && ParseInt(arg, value) && value >= 0) {
        f.delayMs = value;
    } else if (word == "gap" && ParseInt(arg, value) && value >= 0) {
        f.gapMs = value;
    } else if (word == "split" && !arg.empty()) {
        for (auto piece : Split(arg, ',')) {
            if (!ParseInt(piece, value) || value <= 0) {
                why = "split needs positive byte offsets";
                return false;
            }
            f.splits.push_back(std::size_t(value));
        }
    } else if (word == "garbage" && !arg.empty()) {
        auto bytes = FromHex(arg);
        if (!bytes) {
            why = "garbage needs hex pairs";
            return false;
        }
        f.garbage = *bytes;
    } else {
        why = "unknown action '" + std::string(action) + "'";
        return false;
    }
    return true;
}

} // namespace

std::string UnescapeFaultText(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 >= text.size()) {
            out.push_back(text[i]);
            continue;
        }
        const char c = text[++i];
        if (c == 'r') {
            out.push_back('\r');
        } else if (c == 'n') {
            out.push_back('\n');
        } else if (c == 't') {
            out.push_back('\t');
        } else if (c == 'x' && i + 2 < text.size() && FromHex(text.substr(i + 1, 2))) {
            out += *FromHex(text.substr(i + 1, 2));
            i += 2;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::optional<Fault> ParseFaultLine(std::string_view line, std::string* error)
{
    if (error)
        error->clear();
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == '#')
        return std::nullopt;
    auto fail = [&](std::string why) -> std::optional<Fault> {
        if (error)
            *error = why.empty() ? std::string("bad fault line") : why;
        return std::nullopt;
    };
    // A reply may hold '|' or ';' itself: only the first '|' and a final "| N" split.
    const std::size_t bar = trimmed.find('|');
    if (bar == std::string_view::npos)
        return fail("expected 'PREFIX | ACTION'");
    Fault f;
    f.prefix = std::string(Trim(trimmed.substr(0, bar)));
    if (f.prefix.empty())
        return fail("empty prefix");
    std::string_view actions = trimmed.substr(bar + 1);
    const std::size_t lastBar = actions.rfind('|');
    if (lastBar != std::string_view::npos) {
        int times = 0;
        if (ParseInt(actions.substr(lastBar + 1), times) && times > 0) {
            f.times = times;
            actions = actions.substr(0, lastBar);
        }
    }
    std::string why;
    // "reply" takes the rest of the line, so it must come last.
    std::string_view rest = Trim(actions);
    while (!rest.empty()) {
        std::string_view action;
        if (rest.substr(0, 6) == "reply ") {
            action = rest;
            rest = {};
        } else {
            const std::size_t semi = rest.find(';');
            action = rest.substr(0, semi);
            rest = semi == std::string_view::npos ? std::string_view() : Trim(rest.substr(semi + 1));
        }
        if (!ApplyAction(action, f, why))
            return fail(why);
    }
    return f;
}

bool LoadFaultFile(const std::string& path, std::vector<Fault>& out, std::string* error)
{
    std::ifstream in(path);
    if (!in) {
        if (error)
            *error = path + ": cannot be read";
        return false;
    }
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        std::string why;
        auto fault = ParseFaultLine(line, &why);
        if (fault) {
            out.push_back(std::move(*fault));
        } else if (!why.empty()) {
            if (error)
                *error = path + ":" + std::to_string(number) + ": " + why;
            return false;
        }
    }
    return true;
}

} // namespace ulv::sim
