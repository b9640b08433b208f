#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace ulv {

// MD5 of RFC 1321 with its context interface.
struct Md5Context {
    std::uint32_t state[4];
    std::uint32_t count[2]; // message length in bits, low word first
    std::uint8_t buffer[64];
    std::uint8_t digest[16]; // valid after Md5Final, which clears everything else
};

void Md5Init(Md5Context& ctx);
void Md5Update(Md5Context& ctx, const std::uint8_t* bytes, std::size_t count);
void Md5Final(Md5Context& ctx);

// 32 lower-case hex digits.
std::string Md5DigestToHex(const std::uint8_t digest[16]);

// The digest of the characters of a NUL-terminated string.
std::string Md5StringHex(const char* text);

// The digest of a file's bytes; nothing when the file cannot be opened or read.
std::optional<std::string> Md5FileHex(const std::string& path);

} // namespace ulv
