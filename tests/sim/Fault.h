#pragma once

// A scripted misbehaviour of the simulated module for the command lines that
// start with a prefix. The line format of fault files is in tests/sim/README.md.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ulv::sim {

struct Fault {
    enum class Kind {
        Normal,   // answer as usual (with the delay, chunks and garbage below)
        Silent,   // echo only: the command is lost and nothing answers it
        Error,    // "ERROR" instead of the answer; the command has no effect
        CmeError, // "+CME ERROR: <code>"
        CmsError, // "+CMS ERROR: <code>"
        Reply,    // the bytes of `reply` instead of the answer
        HangUp,   // the line drops (the master side closes) after the echo
    };

    // Matched case-insensitively against the start of the command line (from
    // "AT" on, without its CR). "<sms>" matches the end of an SMS body (Ctrl-Z).
    std::string prefix;
    Kind kind = Kind::Normal;
    int code = 0;
    std::string reply;
    // The answer goes out this long after the command line ended.
    int delayMs = 0;
    // Byte offsets at which the answer (garbage included) is cut into pieces,
    // each written gapMs after the one before.
    std::vector<std::size_t> splits;
    int gapMs = 20;
    // Bytes sent just before the answer.
    std::string garbage;
    // How many matching lines it applies to; -1 for all.
    int times = -1;
};

// One line of a fault file: "PREFIX | ACTION [; ACTION ...] [| COUNT]".
// nullopt for a blank or comment line (error left empty) or a bad line (error set).
std::optional<Fault> ParseFaultLine(std::string_view line, std::string* error);
// Every fault of a file; false with "file:line: reason" on the first bad line.
bool LoadFaultFile(const std::string& path, std::vector<Fault>& out, std::string* error);
// \r \n \t \\ \xHH in a text.
std::string UnescapeFaultText(std::string_view text);

} // namespace ulv::sim
