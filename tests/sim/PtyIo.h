#pragma once

// The simulated ports' plumbing on pseudo-terminals.

#include <cstddef>

namespace ulv::sim {

// Puts a terminal into raw mode (no echo, no CR/LF translation).
void MakeRaw(int fd);
// Writes everything unless the reader takes nothing for half a second or is
// gone: a line drops what nobody takes rather than stall the writer.
void WriteAll(int fd, const char* data, std::size_t n);

} // namespace ulv::sim
