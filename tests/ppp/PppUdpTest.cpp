// UDP datagrams in PPP frames: the checksums, the frame, the refusals and the
// receiver that cuts frames out of the byte stream.
#include "core/ppp/PppFrameCodec.h"
#include "core/ppp/PppDialClient.h"
#include "core/ppp/PppUdp.h"

#include "common/TestEnv.h"

#include <gtest/gtest.h>

using namespace ulv;

namespace {

PppUdpRequest Request(std::string payload)
{
    return {{10, 64, 64, 2}, {10, 64, 64, 1}, "4321", "6004", std::move(payload)};
}

LcpOptionState ZeroAccm()
{
    LcpOptionState lcp;
    lcp.accmSeen = 1;
    return lcp;
}

TEST(PppUdp, OneCharacterDatagramHasTheKnownChecksumsAndFcs)
{
    const PppUdpFrame f = BuildPppUdpFrame(Request("A"), ZeroAccm());
    ASSERT_EQ(f.error, "");
    // Total length 30 (0x1E), IP checksum A6 47, UDP length 10, UDP checksum 02 02, payload 41 00, FCS 5D 65.
    EXPECT_EQ(f.frameText,
        "7E FF 03 00 21 45 00 00 1E 00 05 00 00 80 11 A6 47 0A 40 40 02 0A 40 40 01  10 E1 17 74 00 0A 02 02 41 00  "
        "5D 65 7E");
}

TEST(PppUdp, RefusalsAndTheLengthLimit)
{
    struct Case {
        const char* name;
        PppUdpRequest request;
        const char* error;
    } cases[] = {
        {"empty", Request(""), kPppUdpNoData},
        {"1400 bytes", Request(std::string(1400, 'x')), ""},
        {"1399 bytes padded to 1400", Request(std::string(1399, 'x')), ""},
        {"1401 bytes", Request(std::string(1401, 'x')), kPppUdpTooLong},
        {"no source port", {{}, {}, "", "1", "x"}, kPppUdpNoSourcePort},
        {"no destination port", {{}, {}, "1", "", "x"}, kPppUdpNoDestPort},
        {"port beyond 65535", {{}, {}, "65536", "1", "x"}, kPppUdpBadPort},
        {"port 65535", {{}, {}, "65535", "0", "x"}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PppUdpFrame f = BuildPppUdpFrame(c.request, ZeroAccm());
        EXPECT_EQ(f.error, c.error);
        EXPECT_EQ(f.wire.empty(), *c.error != 0);
    }
}

TEST(PppUdp, UdpChecksumOfAnOddPayloadEqualsThatOfTheZeroPaddedOne)
{
    std::vector<std::uint8_t> data = {10, 64, 64, 2, 10, 64, 64, 1, 0, 17, 0, 11, 0x10, 0xE1, 0x17, 0x74, 0, 11, 0, 0, 'A', 'B', 'C'};
    const std::uint16_t odd = UdpChecksum(data.data(), data.size());
    data.push_back(0);
    EXPECT_EQ(odd, UdpChecksum(data.data(), data.size()));
}

// Received frames: wire bytes of the datagram sent from the other side.
std::vector<std::uint8_t> WireFor(const std::string& payload)
{
    PppUdpRequest r = Request(payload);
    std::swap(r.source, r.dest);
    return BuildPppUdpFrame(r, ZeroAccm()).wire;
}

TEST(PppRawReceiver, DeliversWholeFramesAcrossChunksAndSharedFlags)
{
    PppDebugLog::SetPath((ulv::test::TempHome() + "/ulvenscoper.log").toStdString());
    std::vector<std::string> got;
    PppRawReceiver rx([&](const std::vector<std::uint8_t>& p) { got.emplace_back(p.begin(), p.end()); });
    const auto one = WireFor("hello!");
    const auto two = WireFor("ABCD");
    // Cut inside the first frame: nothing yet.
    rx.Feed(one.data(), 10);
    EXPECT_TRUE(got.empty());
    rx.Feed(one.data() + 10, one.size() - 10);
    // Two frames sharing one flag, the second closed only in the next chunk.
    std::vector<std::uint8_t> shared(two.begin(), two.end() - 1);
    shared.insert(shared.end(), two.begin(), two.end() - 1);
    rx.Feed(shared.data(), shared.size());
    const std::uint8_t flag = 0x7E;
    rx.Feed(&flag, 1);
    EXPECT_EQ(got, (std::vector<std::string>{"hello!", "ABCD", "ABCD"}));
}

// The link comes up after the peer's last negotiation frame; its next frame
// shares that frame's closing flag, which reached the receiver before the reset.
TEST(PppRawReceiver, AfterAResetAFrameWithoutItsOwnOpeningFlagIsDelivered)
{
    std::vector<std::string> got;
    PppRawReceiver rx([&](const std::vector<std::uint8_t>& p) { got.emplace_back(p.begin(), p.end()); });
    const auto wire = WireFor("after the reset!");
    const std::uint8_t halfFrame[] = {0x7E, 0xFF, 0x03, 0x00};
    rx.Feed(halfFrame, sizeof halfFrame);
    rx.Reset();
    // Without the opening flag, as a peer sends a frame right after another.
    rx.Feed(wire.data() + 1, wire.size() - 1);
    EXPECT_EQ(got, std::vector<std::string>{"after the reset!"});
}

TEST(PppRawReceiver, RefusesWhatDoesNotFit)
{
    PppDebugLog::SetPath((ulv::test::TempHome() + "/ulvenscoper.log").toStdString());
    int delivered = 0;
    PppRawReceiver rx([&](const std::vector<std::uint8_t>&) { ++delivered; });
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {"LCP frame", [] {
             std::vector<std::uint8_t> b;
             HexTextToBytes(BuildPppFrame("C021", "09", "01", "00000000"), b);
             return b;
         }()},
        {"UDP length below 8", [] {
             auto w = WireFor("AB");
             w[29] = 0x00;
             w[30] = 0x07;
             return w;
         }()},
        {"UDP length beyond the frame", [] {
             auto w = WireFor("AB");
             w[29] = 0x04;
             return w;
         }()},
        {"frame over 2048 bytes", [] {
             std::vector<std::uint8_t> b(3000, 0x41);
             b.front() = b.back() = 0x7E;
             return b;
         }()},
        {"chunk over 16000 bytes", std::vector<std::uint8_t>(16001, 0x7E)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rx.Reset();
        rx.Feed(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(delivered, 0);
        EXPECT_LE(rx.Held(), PppRawReceiver::kReassemblyLimit);
    }
    // Still working afterwards.
    const auto good = WireFor("ok");
    rx.Feed(good.data(), good.size());
    EXPECT_EQ(delivered, 1);
}

} // namespace
