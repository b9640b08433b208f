#include "core/ppp/PppFrameCodec.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

using namespace ulv;

namespace {

std::vector<std::uint8_t> Bytes(std::string_view hex)
{
    std::vector<std::uint8_t> b;
    EXPECT_TRUE(HexTextToBytes(hex, b)) << hex;
    return b;
}

std::string Upper(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

AccmFlags FlagsFor(std::initializer_list<int> set)
{
    AccmFlags f{};
    for (int k : set)
        f[k] = 1;
    return f;
}

// A frame as a peer sends it: flags around address..data and a correct FCS.
std::string WithFcs(std::string_view body)
{
    const auto b = Bytes(body);
    const std::uint16_t fcs = Fcs16(b.data(), b.size());
    char tail[8];
    std::snprintf(tail, sizeof tail, "%02X%02X7E", fcs & 0xFF, fcs >> 8);
    return "7E" + std::string(body) + tail;
}

// Frames captured from a real peer (without their flags) and how they were sent.
struct PeerFrame {
    const char* name;
    const char* captured;
    const char* protocol;
    const char* code;
    const char* id;
    const char* data;
};
const PeerFrame kPeerFrames[] = {
    {"LCP Configure-Ack", "ff03c021020100041c90", "C021", "02", "01", ""},
    {"PAP Authenticate-Ack Login ok", "ff03c0230207000d084c6f67696e206f6b9bd9", "C023", "02", "07",
        "084C6F67696E206F6B"},
    {"IPCP Configure-Nak 10.0.2.15", "ff0380210309000a03060a00020f7e18", "8021", "03", "09", "03060A00020F"},
};

} // namespace

TEST(Fcs16, KnownAnswers)
{
    const std::string digits = "123456789";
    const auto* p = reinterpret_cast<const std::uint8_t*>(digits.data());
    EXPECT_EQ(Fcs16(p, digits.size()), 0x906E);
    // RFC 1662: the FCS appended low byte first makes the running value the good FCS.
    std::vector<std::uint8_t> withFcs(p, p + digits.size());
    withFcs.push_back(0x6E);
    withFcs.push_back(0x90);
    EXPECT_EQ(Fcs16Update(0xFFFF, withFcs.data(), withFcs.size()), kPppGoodFcs);
    EXPECT_EQ(Fcs16Update(0x1234, p, 0), 0x1234);
    // Running in pieces equals running at once.
    EXPECT_EQ(Fcs16Update(Fcs16Update(0xFFFF, p, 4), p + 4, 5), Fcs16Update(0xFFFF, p, 9));
}

TEST(Fcs16, MatchesBitwiseDefinitionAtAnyLengthAndSplit)
{
    // RFC 1662's definition bit by bit, against the table-driven code.
    auto bitwise = [](std::uint16_t fcs, const std::uint8_t* p, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) {
            fcs ^= p[i];
            for (int bit = 0; bit < 8; ++bit)
                fcs = static_cast<std::uint16_t>((fcs & 1) ? (fcs >> 1) ^ 0x8408 : fcs >> 1);
        }
        return fcs;
    };
    std::vector<std::uint8_t> bytes(300);
    std::uint32_t seed = 12345;
    for (auto& b : bytes) {
        seed = seed * 1103515245 + 12345;
        b = static_cast<std::uint8_t>(seed >> 16);
    }
    for (std::size_t n = 0; n <= 20; ++n) {
        for (std::size_t split = 0; split <= n; ++split) {
            const std::uint16_t pieces = Fcs16Update(Fcs16Update(0xFFFF, bytes.data(), split), bytes.data() + split, n - split);
            ASSERT_EQ(pieces, bitwise(0xFFFF, bytes.data(), n)) << n << " split at " << split;
        }
    }
    EXPECT_EQ(Fcs16Update(0xFFFF, bytes.data(), bytes.size()), bitwise(0xFFFF, bytes.data(), bytes.size()));
}

TEST(PppCrc16, PlainCrcOverCountModulo256)
{
    const std::string digits = "123456789";
    const auto* p = reinterpret_cast<const std::uint8_t*>(digits.data());
    EXPECT_EQ(PppCrc16(p, digits.size()), 0x4B37);
    EXPECT_EQ(PppCrc16(p, 0), 0xFFFF);
    std::vector<std::uint8_t> big(256 + 9);
    std::copy(p, p + 9, big.begin());
    EXPECT_EQ(PppCrc16(big.data(), 256), 0xFFFF);
    EXPECT_EQ(PppCrc16(big.data(), 256 + 9), 0x4B37);
}

TEST(HexTextToBytes, ReadsPairsAndRefusesOddText)
{
    struct Case {
        const char* text;
        bool ok;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {"7EFF03", true, {0x7E, 0xFF, 0x03}},
        {"7e ff 03", true, {0x7E, 0xFF, 0x03}},
        {"", true, {}},
        {"zz g1", true, {0x00, 0x01}}, // not a digit reads as 0
        {"7EF", false, {0xAA}},
        {"7 E F", false, {0xAA}},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> out{0xAA};
        EXPECT_EQ(HexTextToBytes(c.text, out), c.ok) << c.text;
        EXPECT_EQ(out, c.bytes) << c.text;
    }
}

TEST(BuildPppFrame, LaysOutLengthDataAndFcs)
{
    struct Case {
        const char* protocol;
        const char* code;
        const char* id;
        const char* data;
        const char* frame;
    } cases[] = {
        {"C021", "01", "01", "020600000000", "7EFF03C0210101000a020600000000587B7E"},
        {"C021", "02", "01", "", "7EFF03C02102010004" "1C90" "7E"},
        {"C023", "02", "07", "084C6F67696E206F6B", "7EFF03C0230207000d084C6F67696E206F6B9BD97E"},
        {"8021", "03", "09", "03060A00020F", "7EFF0380210309000a03060A00020F7E187E"},
        {"c021", "05", "05", "", "7EFF03c02105050004" "5CA4" "7E"},
        {"C021", "01", "01", "02 06 00 00 00 00", "7EFF03C0210101000a020600000000587B7E"},
    };
    for (const Case& c : cases) {
        const std::string frame = BuildPppFrame(c.protocol, c.code, c.id, c.data);
        EXPECT_EQ(frame, c.frame) << c.data;
        EXPECT_TRUE(CheckFrameLength(Upper(frame))) << frame;
        EXPECT_TRUE(CheckFrameFcs(Upper(frame))) << frame;
    }
}

TEST(BuildPppFrame, RefusesFieldsThatBreakTheLayout)
{
    struct Case {
        const char* protocol;
        const char* code;
        const char* id;
        std::string data;
    } cases[] = {
        {"C021", "01", "01", "0206000"},          // odd data
        {"C02", "01", "01", ""},                   // short protocol
        {"C021", "1", "01", ""},                   // short code
        {"C021", "01", "001", ""},                 // long identifier
        {"0021", "45", "00", std::string(2 * 65532, '0')}, // length field would overflow
    };
    for (const Case& c : cases)
        EXPECT_EQ(BuildPppFrame(c.protocol, c.code, c.id, c.data), "") << c.protocol << c.code << c.id;
    EXPECT_NE(BuildPppFrame("0021", "45", "00", std::string(2 * 65531, '0')), "");
}

TEST(EscapePppBytes, StuffsByModeAndKeepsTheFlags)
{
    struct Case {
        const char* name;
        const char* frame;
        int useAccm;
        AccmFlags flags;
        const char* escaped;
    } cases[] = {
        {"mode 0 escapes every control byte", "7EFF03C0210101000a020600000000587B7E", 0, {},
            "7EFF7D23C0217D217D217D207D2A7D227D267D207D207D207D20587B7E"},
        {"7E inside, flags kept", "7EFF03C0210101000500" "7E" "AAAA7E", 1, {}, "7EFF03C02101010005007D5EAAAA7E"},
        {"7D anywhere, also third from the end", "7EFF037D217D7E", 1, {}, "7EFF037D5D217D5D7E"},
        {"ACCM all clear: control bytes stay", "7EFF030001101F7E", 1, {}, "7EFF030001101F7E"},
        {"ACCM flags 17 and 19", "7EFF0311121303147E", 1, FlagsFor({17, 19}), "7EFF037D31127D3303147E"},
        {"FCS low byte 7E", "7EFF0380210309000a03060A00020F7E187E", 1, {},
            "7EFF0380210309000A03060A00020F7D5E187E"},
        {"lower case and blanks", "7e ff 03 c0 21 7d 7e", 1, {}, "7EFF03C0217D5D7E"},
        {"odd tail kept", "7EFF03A", 1, {}, "7EFF03A"},
        {"empty", "", 0, {}, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EscapePppBytes(c.frame, c.useAccm, c.flags), c.escaped) << c.name;
}

TEST(UnescapePppBytes, RestoresStuffedBytes)
{
    struct Case {
        const char* text;
        const char* plain;
    } cases[] = {
        {"7D5E", "7E"},
        {"7D5D", "7D"},
        {"7d5e", "7E"},
        {"7D 5E 7D 5D", "7E7D"},
        {"7D23", "03"},
        {"7DDF", "FF"}, // XOR 0x20, not minus: DF - 20 would be BF
        {"7D41", "61"},
        {"7D05", "7D05"},  // a control byte after 7D stays as received
        {"AA7D", "AA7D"},  // nothing after the 7D
        {"A7D5EB", "A7D5EB"}, // 7D across a pair boundary is no escape
        {"7D5D5E", "7D5E"}, // the restored 7D does not start a new escape
        {"7EFF7D23C0217D217D217D207D2A7D227D267D207D207D207D20587B7E", "7EFF03C0210101000A020600000000587B7E"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UnescapePppBytes(c.text), c.plain) << c.text;
}

TEST(UnescapePppBytes, UndoesEscapeForEveryByteAndMode)
{
    std::string data;
    for (int b = 0; b < 256; ++b) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02X", b);
        data += pair;
    }
    const std::string frame = BuildPppFrame("0021", "45", "00", data);
    const AccmFlags maps[] = {{}, FlagsFor({0, 3, 17, 19, 31})};
    for (int mode = 0; mode < 2; ++mode) {
        for (const AccmFlags& flags : maps) {
            const std::string escaped = EscapePppBytes(frame, mode, flags);
            for (std::size_t pos = 2; pos + 2 < escaped.size(); pos += 2)
                ASSERT_NE(escaped.substr(pos, 2), "7E") << "a flag inside the frame at " << pos;
            if (mode == 0) {
                for (std::size_t pos = 0; pos + 2 <= escaped.size(); pos += 2)
                    ASSERT_GE(PppHexByteAt(escaped, pos), 0x20) << "a control byte on the wire at " << pos;
            }
            EXPECT_EQ(UnescapePppBytes(escaped), Upper(frame));
        }
    }
}

TEST(SplitPppFrame, CutsFieldsByPosition)
{
    struct Case {
        const char* frame;
        PppFrameFields fields;
    } cases[] = {
        {"7EFF03C0210101000A020600000000587B7E", {"C021", "01", "01", "020600000000"}},
        {"7EFF03C021020100041C907E", {"C021", "02", "01", ""}},
        {"7EFF03C02102", {"C021", "02", "", ""}},
        {"7EFF", {"", "", "", ""}},
    };
    for (const Case& c : cases) {
        const PppFrameFields f = SplitPppFrame(c.frame);
        EXPECT_EQ(f.protocol, c.fields.protocol) << c.frame;
        EXPECT_EQ(f.code, c.fields.code) << c.frame;
        EXPECT_EQ(f.identifier, c.fields.identifier) << c.frame;
        EXPECT_EQ(f.data, c.fields.data) << c.frame;
    }
}

TEST(PppFrameChecks, RealPeerFramesDecodeAndCheck)
{
    for (const PeerFrame& p : kPeerFrames) {
        const std::string wire = EscapePppBytes("7E" + std::string(p.captured) + "7E", 1, {});
        const std::string frame = UnescapePppBytes(wire);
        EXPECT_EQ(frame, "7E" + Upper(p.captured) + "7E") << p.name;
        EXPECT_TRUE(CheckFrameLength(frame)) << p.name;
        EXPECT_TRUE(CheckFrameFcs(frame)) << p.name;
        const PppFrameFields f = SplitPppFrame(frame);
        EXPECT_EQ(f.protocol, p.protocol) << p.name;
        EXPECT_EQ(f.code, p.code) << p.name;
        EXPECT_EQ(f.identifier, p.id) << p.name;
        EXPECT_EQ(f.data, p.data) << p.name;
        // And we build the very same frame.
        EXPECT_EQ(Upper(BuildPppFrame(p.protocol, p.code, p.id, p.data)), frame) << p.name;
    }
    // The IPCP Nak's FCS holds 7E, which must not reach the wire as a flag.
    const std::string wire = EscapePppBytes(BuildPppFrame("8021", "03", "09", "03060A00020F"), 1, {});
    EXPECT_EQ(wire.substr(wire.size() - 8), "7D5E187E");
}

TEST(PppFrameChecks, BadFramesFailWithOneNote)
{
    const std::string good = "7EFF03C021020100041C907E";
    struct Case {
        const char* name;
        std::string frame;
        bool lengthOk;
        bool fcsOk;
    } cases[] = {
        {"good", good, true, true},
        {"one bit flipped in the FCS", "7EFF03C021020100041C917E", true, false},
        {"one bit flipped in the data", "7EFF03C021020100051C907E", false, false},
        {"length field disagrees, FCS right", WithFcs("FF03C02102010005"), false, true},
        {"11 bytes", "7EFF03C0210201000400" "7E", false, false},
        {"odd digits", "7EFF03C021020100041C907", false, false},
        {"empty", "", false, false},
    };
    for (const Case& c : cases) {
        std::vector<std::string> notes;
        EXPECT_EQ(CheckFrameLength(c.frame), c.lengthOk) << c.name;
        EXPECT_EQ(CheckFrameFcs(c.frame, [&](const std::string& n) { notes.push_back(n); }), c.fcsOk) << c.name;
        const std::vector<std::string> expected = c.fcsOk
            ? std::vector<std::string>{}
            : std::vector<std::string>{"/* checksum is wrong ,the source data is : " + c.frame + " */"};
        EXPECT_EQ(notes, expected) << c.name;
    }
}

TEST(PppFrameChecks, LongFramesNeedNoFixedBuffer)
{
    // 1400 typed '~' become 1400 stuffed bytes: the wire frame is near 2.9 KB.
    const std::string data = PppStringToHex(std::string(1400, '~'));
    const std::string frame = BuildPppFrame("0021", "45", "00", data);
    const std::string wire = EscapePppBytes(frame, 1, {});
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(HexTextToBytes(wire, bytes));
    EXPECT_EQ(bytes.size(), 2 * 1400 + kPppFrameOverhead);
    const std::string back = UnescapePppBytes(wire);
    EXPECT_TRUE(CheckFrameLength(back));
    EXPECT_TRUE(CheckFrameFcs(back));
    EXPECT_EQ(SplitPppFrame(back).data, Upper(data));
}

TEST(PppHexText, SmallConversions)
{
    struct PairCase {
        const char* text;
        int value;
    } pairs[] = {{"7E", 0x7E}, {"ff", 0xFF}, {"0", 0}, {"7EF", 0}, {"", 0}, {"G1", 0x01}};
    for (const PairCase& c : pairs)
        EXPECT_EQ(PppHexPairToByte(c.text), c.value) << c.text;

    EXPECT_EQ(PppSpaceHexPairs("7EFF03"), "7E FF 03");
    EXPECT_EQ(PppSpaceHexPairs("7E FF 0"), "7E FF 0");
    EXPECT_EQ(PppSpaceHexPairs(""), "");

    std::string out = "kept";
    EXPECT_FALSE(BytesToSpacedHex("", out));
    EXPECT_EQ(out, "kept");
    EXPECT_TRUE(BytesToSpacedHex(std::string("A\xFE\0", 3), out));
    EXPECT_EQ(out, "41 fe 00 ");

    EXPECT_EQ(PppStringToHex("MyPw"), "4d795077");
    EXPECT_EQ(PppStringToHex(""), "");
    EXPECT_EQ(PppStringToHexOr00(""), "00");
    EXPECT_EQ(PppStringToHexOr00("\xC3\xA9"), "c3a9");
}
