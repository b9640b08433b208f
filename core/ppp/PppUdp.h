#pragma once

#include "core/ppp/LcpOptionState.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ulv {

// One UDP datagram in one IPv4 packet in one PPP frame, built without an IP
// stack, and the receiving side that cuts such frames out of the byte stream.

using Ipv4Address = std::array<std::uint8_t, 4>;

// The Internet checksum of the first 20 bytes (an IPv4 header with its
// checksum field 0), to be stored high byte first.
std::uint16_t IpHeaderChecksum(const std::uint8_t* bytes);
// The Internet checksum of count bytes whose first 12 are the UDP
// pseudo-header; an odd last byte is the high half of a final word.
std::uint16_t UdpChecksum(const std::uint8_t* bytes, std::size_t count);

inline constexpr std::size_t kPppUdpMaxPayload = 1400;

inline constexpr const char* kPppUdpNoLink = "Please create the PPP connection firstly!";
inline constexpr const char* kPppUdpNoData = "Please input the sending data!";
inline constexpr const char* kPppUdpTooLong = "The allowed count of sending characters should be less than 1400 !";
inline constexpr const char* kPppUdpNoSourcePort = "Please input the source port number!";
inline constexpr const char* kPppUdpNoDestPort = "Please input the destination port number!";
inline constexpr const char* kPppUdpBadPort = "The port number should be from 0 to 65535!";

struct PppUdpRequest {
    Ipv4Address source{};
    Ipv4Address dest{};
    std::string sourcePort; // decimal text of the edits
    std::string destPort;
    std::string payload; // the bytes to send (the page's text as UTF-8)
};

struct PppUdpFrame {
    std::string error;     // the refusal shown to the user; empty when built
    std::string frameText; // upper case, spaced, not escaped: what the terminal shows
    std::vector<std::uint8_t> wire; // escaped, as written to the port
};

// The datagram for the request, framed and escaped with the link's ACCM. The
// payload is padded to an even length with one 0x00.
PppUdpFrame BuildPppUdpFrame(const PppUdpRequest& request, const LcpOptionState& lcp);

// Cuts PPP frames out of received chunks and hands on the payload of every
// UDP datagram in them. Storage is bounded: what does not fit is dropped with
// a debug log line, never written past a buffer.
class PppRawReceiver {
public:
    using Sink = std::function<void(const std::vector<std::uint8_t>& payload)>;
    explicit PppRawReceiver(Sink sink) : m_sink(std::move(sink)) {}
    void Feed(const std::uint8_t* bytes, std::size_t count);
    // Forgets what an earlier link left held. The peer may have closed its
    // last frame just before and start the next without a flag of its own
    // (one flag between two frames suffices), so the receiver starts again as
    // if just after a flag.
    void Reset() { m_held.assign(1, std::uint8_t{0x7E}); }
    std::size_t Held() const { return m_held.size(); }

    static constexpr std::size_t kReassemblyLimit = 16000;
    static constexpr std::size_t kFrameLimit = 2048;

private:
    void HandleFrame(const std::uint8_t* begin, const std::uint8_t* end);

    Sink m_sink;
    std::vector<std::uint8_t> m_held;
    std::vector<std::uint8_t> m_frame;
};

} // namespace ulv
