#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ulv {

// The PPP client handles frames as hexadecimal text, two digits per byte, in the
// HDLC-like framing of RFC 1662 without address/control or protocol compression:
//   7E FF 03 <protocol:2> <code> <identifier> <length:2> <data...> <FCS lo> <FCS hi> 7E
// Digits read case-insensitively; a character that is not a hex digit reads as 0.
// Blanks are removed before any text is read, so "7E FF 03" equals "7EFF03".

inline constexpr std::string_view kPppProtocolLcp = "C021";
inline constexpr std::string_view kPppProtocolPap = "C023";
inline constexpr std::string_view kPppProtocolChap = "C223";
inline constexpr std::string_view kPppProtocolIpcp = "8021";
inline constexpr std::string_view kPppProtocolIp = "0021";

// Flags, address, control, protocol, code, identifier, length and FCS.
inline constexpr std::size_t kPppFrameOverhead = 12;

// One flag per control byte 0x00..0x1F; non-zero: the byte goes out escaped.
using AccmFlags = std::array<int, 32>;

// Called with a note meant for the terminal (the dial page writes it as a step comment).
using PppNoteSink = std::function<void(const std::string& note)>;

// The text without blanks.
std::string PppRemoveBlanks(std::string_view text);

// The byte whose two digits start at character pos (0 past the end of the text).
std::uint8_t PppHexByteAt(std::string_view text, std::size_t pos);

// Hex text to bytes, the buffer sized to the data. An odd number of digits
// returns false and leaves bytes untouched; an empty text gives no bytes.
bool HexTextToBytes(std::string_view text, std::vector<std::uint8_t>& bytes);

// The unescaped frame: "7EFF03" + protocol + code + identifier, the length as
// four lower-case digits, the data, the FCS (low byte first, upper case) and "7E".
// Empty when a field has the wrong number of digits or the data do not fit.
std::string BuildPppFrame(std::string_view protocol, std::string_view code, std::string_view identifier,
    std::string_view data);

// Byte stuffing for the wire, result in upper case. 7E is escaped except in the
// opening and closing flags, 7D always, a control byte c always when useAccm is 0
// (as LCP needs) and else only when flags[c] is set.
std::string EscapePppBytes(std::string_view frame, int useAccm, const AccmFlags& flags);

// Undoes the stuffing, result in upper case. 7D followed by a control byte is left
// as it stands; a 7D with nothing after it stays.
std::string UnescapePppBytes(std::string_view text);

struct PppFrameFields {
    std::string protocol;
    std::string code;
    std::string identifier;
    std::string data; // the options or the authentication payload
};

// The fields of an unescaped frame, by position; fields past the end are empty.
PppFrameFields SplitPppFrame(std::string_view frame);

// True when the unescaped frame holds at least 12 bytes and its byte count is
// its length field + 8.
bool CheckFrameLength(std::string_view frame);

// True when the FCS of the unescaped frame is right. Otherwise the note
// "/* checksum is wrong ,the source data is : <frame> */" goes to the sink.
bool CheckFrameFcs(std::string_view frame, const PppNoteSink& note = {});

// FCS-16 of RFC 1662: running update from an initial 0xFFFF, and the complemented
// result. A frame with its FCS appended (low byte first) updates to kPppGoodFcs.
std::uint16_t Fcs16Update(std::uint16_t fcs, const std::uint8_t* bytes, std::size_t count);
std::uint16_t Fcs16(const std::uint8_t* bytes, std::size_t count);
inline constexpr std::uint16_t kPppGoodFcs = 0xF0B8;

// A plain CRC-16 (reflected 0xA001, initial 0xFFFF, no final XOR) over count
// modulo 256 bytes; 0xFFFF when that is 0. Kept for the checksum tools.
std::uint16_t PppCrc16(const std::uint8_t* bytes, std::size_t count);

// The byte of a text of exactly two digits; 0 for any other length.
std::uint8_t PppHexPairToByte(std::string_view text);

// "7EFF03" -> "7E FF 03".
std::string PppSpaceHexPairs(std::string_view text);

// "%02x " per byte into out; false (out untouched) for an empty string.
bool BytesToSpacedHex(std::string_view bytes, std::string& out);

// "%02x" per byte; "" or "00" for an empty string.
std::string PppStringToHex(std::string_view bytes);
std::string PppStringToHexOr00(std::string_view bytes);

} // namespace ulv
