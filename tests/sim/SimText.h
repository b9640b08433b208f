#pragma once

// Character conversions the simulated module needs: the TE character sets of
// AT+CSCS, the GSM 7-bit default alphabet and hex text.

#include <optional>
#include <string>
#include <string_view>

namespace ulv::sim {

enum class Charset { Gsm, Ira, Hex, Ucs2 };

// "GSM", "IRA", "HEX", "UCS2" (case-insensitive); nullopt for any other name.
std::optional<Charset> CharsetFromName(std::string_view name);
const char* CharsetName(Charset set);

std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

// Upper-case hex pairs, no separators.
std::string ToHex(std::string_view bytes);
// Pairs of hex digits (either case); nullopt on an odd count or a non-hex digit.
std::optional<std::string> FromHex(std::string_view hex);

// The text as GSM default-alphabet septets (one per byte, 0..127), extension
// characters as ESC + code. Characters the alphabet lacks become '?'.
std::string ToGsm7(std::u16string_view text);
std::u16string FromGsm7(std::string_view septets);
// True when every character has a GSM default-alphabet code.
bool FitsGsm7(std::u16string_view text);

// Septets packed into octets (3GPP TS 23.038), after fillBits zero bits.
std::string PackSeptets(std::string_view septets, int fillBits = 0);
std::string UnpackSeptets(std::string_view octets, int count, int fillBits = 0);

// A text as the TE sends it in a character set, and back. A text the set cannot
// carry decodes to nullopt.
std::string EncodeTe(std::u16string_view text, Charset set);
std::optional<std::u16string> DecodeTe(std::string_view wire, Charset set);

// Octets (each char16_t holding one byte value) to and from their UTF-16 form.
std::string Utf16Octets(std::u16string_view text);
std::u16string OctetsAsUtf16(std::string_view octets);

// UCS-2 hex: four upper-case hex digits per UTF-16 unit.
std::string ToUcs2Hex(std::u16string_view text);
std::optional<std::u16string> FromUcs2Hex(std::string_view hex);

} // namespace ulv::sim
