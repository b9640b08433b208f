#include "core/ppp/PppUdp.h"

#include "core/ppp/PppDialClient.h"
#include "core/ppp/PppFrameCodec.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace ulv {

namespace {

std::uint16_t Fold(std::uint32_t sum)
{
    sum = (sum & 0xFFFF) + (sum >> 16);
    sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint16_t>(~sum & 0xFFFF);
}

std::uint32_t SumWords(const std::uint8_t* bytes, std::size_t count)
{
    std::uint32_t sum = 0;
    std::size_t i = 0;
    for (; i + 1 < count; i += 2)
        sum += static_cast<std::uint32_t>(bytes[i] << 8 | bytes[i + 1]);
    if (i < count)
        sum += static_cast<std::uint32_t>(bytes[i] << 8);
    return sum;
}

void Put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint16_t v)
{
    out[at] = static_cast<std::uint8_t>(v >> 8);
    out[at + 1] = static_cast<std::uint8_t>(v & 0xFF);
}

// Empty text: missing; otherwise the port or -1 when it is no port.
int ParsePort(const std::string& text)
{
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 0 || value > 65535)
        return -1;
    return value;
}

std::string SpacedHex(const std::uint8_t* bytes, std::size_t count)
{
    std::string out;
    char pair[4];
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(pair, sizeof pair, "%02X ", bytes[i]);
        out += pair;
    }
    return out;
}

} // namespace

std::uint16_t IpHeaderChecksum(const std::uint8_t* bytes)
{
    return Fold(SumWords(bytes, 20));
}

std::uint16_t UdpChecksum(const std::uint8_t* bytes, std::size_t count)
{
    if (count < 12)
        return Fold(SumWords(bytes, count));
    return Fold(SumWords(bytes, 12) + SumWords(bytes + 12, count - 12));
}

PppUdpFrame BuildPppUdpFrame(const PppUdpRequest& request, const LcpOptionState& lcp)
{
    PppUdpFrame out;
    if (request.payload.empty()) {
        out.error = kPppUdpNoData;
        return out;
    }
    std::vector<std::uint8_t> payload(request.payload.begin(), request.payload.end());
    if (payload.size() % 2)
        payload.push_back(0);
    if (payload.size() > kPppUdpMaxPayload) {
        out.error = kPppUdpTooLong;
        return out;
    }
    if (request.sourcePort.empty()) {
        out.error = kPppUdpNoSourcePort;
        return out;
    }
    if (request.destPort.empty()) {
        out.error = kPppUdpNoDestPort;
        return out;
    }
    const int sourcePort = ParsePort(request.sourcePort);
    const int destPort = ParsePort(request.destPort);
    if (sourcePort < 0 || destPort < 0) {
        out.error = kPppUdpBadPort;
        return out;
    }

    const std::size_t udpLength = payload.size() + 8;
    std::vector<std::uint8_t> ip(20, 0);
    ip[0] = 0x45;
    Put16(ip, 2, static_cast<std::uint16_t>(udpLength + 20));
    Put16(ip, 4, 0x0005);
    ip[8] = 0x80;
    ip[9] = 0x11;
    std::copy(request.source.begin(), request.source.end(), ip.begin() + 12);
    std::copy(request.dest.begin(), request.dest.end(), ip.begin() + 16);
    Put16(ip, 10, IpHeaderChecksum(ip.data()));

    // Pseudo-header, UDP header and payload for the checksum.
    std::vector<std::uint8_t> udp(12 + 8, 0);
    std::copy(request.source.begin(), request.source.end(), udp.begin());
    std::copy(request.dest.begin(), request.dest.end(), udp.begin() + 4);
    udp[9] = 0x11;
    Put16(udp, 10, static_cast<std::uint16_t>(udpLength));
    Put16(udp, 12, static_cast<std::uint16_t>(sourcePort));
    Put16(udp, 14, static_cast<std::uint16_t>(destPort));
    Put16(udp, 16, static_cast<std::uint16_t>(udpLength));
    udp.insert(udp.end(), payload.begin(), payload.end());
    Put16(udp, 18, UdpChecksum(udp.data(), udp.size()));

    std::vector<std::uint8_t> frame = {0x7E, 0xFF, 0x03, 0x00, 0x21};
    frame.insert(frame.end(), ip.begin(), ip.end());
    frame.insert(frame.end(), udp.begin() + 12, udp.end());
    const std::uint16_t fcs = Fcs16(frame.data() + 1, frame.size() - 1);
    const std::uint8_t fcsBytes[2] = {static_cast<std::uint8_t>(fcs & 0xFF), static_cast<std::uint8_t>(fcs >> 8)};

    out.frameText = SpacedHex(frame.data(), 5 + 20) + " " + SpacedHex(frame.data() + 25, frame.size() - 25) + " "
        + SpacedHex(fcsBytes, 2) + "7E";
    const std::string wire = EscapePppBytes(out.frameText, lcp.accmSeen, lcp.accmFlags);
    HexTextToBytes(wire, out.wire);
    return out;
}

void PppRawReceiver::Feed(const std::uint8_t* bytes, std::size_t count)
{
    if (count > kReassemblyLimit) {
        // No frame the link can carry is this long: the chunk is noise.
        PppDebugLog::Write(__LINE__, "received chunk over 16000 bytes dropped");
        return;
    }
    if (m_held.size() + count > kReassemblyLimit)
        m_held.clear();
    m_held.insert(m_held.end(), bytes, bytes + count);

    auto open = std::find(m_held.begin(), m_held.end(), std::uint8_t{0x7E});
    if (open == m_held.end()) {
        m_held.clear();
        return;
    }
    auto consumedTo = open;
    for (;;) {
        auto close = std::find(open + 1, m_held.end(), std::uint8_t{0x7E});
        if (close == m_held.end())
            break;
        HandleFrame(&*open + 1, &*close);
        open = close;
        consumedTo = close;
    }
    m_held.erase(m_held.begin(), consumedTo);
}

void PppRawReceiver::HandleFrame(const std::uint8_t* begin, const std::uint8_t* end)
{
    m_frame.clear();
    for (const std::uint8_t* p = begin; p < end; ++p) {
        if (m_frame.size() >= kFrameLimit) {
            PppDebugLog::Write(__LINE__, "received frame over 2048 bytes dropped");
            return;
        }
        if (*p == 0x7D)
            m_frame.push_back(p + 1 < end ? static_cast<std::uint8_t>(*++p ^ 0x20) : 0x20);
        else
            m_frame.push_back(*p);
    }
    // Address, control, protocol 0x0021, 20-byte IP header, 8-byte UDP header.
    if (m_frame.size() < 32 || m_frame[2] != 0x00 || m_frame[3] != 0x21 || m_frame[13] != 17)
        return;
    const std::size_t udpLength = static_cast<std::size_t>(m_frame[28] << 8 | m_frame[29]);
    // The datagram must end before the two FCS bytes.
    if (udpLength < 8 || 24 + udpLength > m_frame.size() - 2)
        return;
    m_sink(std::vector<std::uint8_t>(m_frame.begin() + 32, m_frame.begin() + 24 + static_cast<std::ptrdiff_t>(udpLength)));
}

} // namespace ulv
