#include "core/ppp/PppOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace ulv;

namespace {

using Address = std::array<std::uint8_t, 4>;

std::vector<int> SetFlags(const AccmFlags& flags)
{
    std::vector<int> set;
    for (int k = 0; k < 32; ++k)
        if (flags[k])
            set.push_back(k);
    return set;
}

} // namespace

TEST(ParsePeerLcpRequest, ClassifiesOptionsByAuthenticationChoice)
{
    struct Case {
        const char* name;
        const char* options;
        int authIndex;
        PeerRequestVerdict verdict;
        const char* reject;
        const char* nak;
        int authSeen;
        int authKind;
    } cases[] = {
        {"MRU, zero ACCM, magic", "010405DC020600000000050612345678", kPppAuthAuto, PeerRequestVerdict::Ack, "", "",
            0, 0},
        {"protocol compression", "0702", kPppAuthAuto, PeerRequestVerdict::Reject, "0702", "", 0, 0},
        {"both compressions among good ones", "010405DC07020802", kPppAuthPap, PeerRequestVerdict::Reject,
            "07020802", "", 0, 0},
        {"AUTO, peer asks CHAP", "0305C22305", kPppAuthAuto, PeerRequestVerdict::Nak, "", "0304C023", 1, 1},
        {"PAP label, peer asks CHAP", "0305C22305", kPppAuthPap, PeerRequestVerdict::Ack, "", "", 1, 1},
        {"None, peer asks CHAP", "0305C22305", kPppAuthNone, PeerRequestVerdict::Reject, "0305C22305", "", 0, 0},
        {"AUTO, peer asks PAP", "0304C023", kPppAuthAuto, PeerRequestVerdict::Ack, "", "", 1, 0},
        {"CHAP, peer asks PAP", "0304C023", kPppAuthChap, PeerRequestVerdict::Nak, "", "0305C22305", 1, 0},
        {"CHAP, peer asks CHAP", "0305C22305", kPppAuthChap, PeerRequestVerdict::Ack, "", "", 1, 1},
        {"CHAP, peer asks CHAP with MS-CHAP", "0305C22380", kPppAuthChap, PeerRequestVerdict::Nak, "", "0305C22305", 1,
            1},
        {"PAP label, peer asks CHAP with MS-CHAPv2", "0305C22381", kPppAuthPap, PeerRequestVerdict::Nak, "", "0304C023",
            1, 1},
        {"AUTO, peer asks EAP", "0304C227", kPppAuthAuto, PeerRequestVerdict::Nak, "", "0304C023", 1, -1},
        {"CHAP, peer asks EAP", "0304C227", kPppAuthChap, PeerRequestVerdict::Nak, "", "0305C22305", 1, -1},
        {"PAP label, peer asks EAP", "0304C227", kPppAuthPap, PeerRequestVerdict::Nak, "", "0304C023", 1, -1},
        {"unknown option and refused auth", "0305C223051104FFFF", kPppAuthAuto, PeerRequestVerdict::Reject,
            "1104FFFF", "0304C023", 1, 1},
        {"lower case with blanks", "03 04 c0 23", kPppAuthAuto, PeerRequestVerdict::Ack, "", "", 1, 0},
        {"empty request", "", kPppAuthAuto, PeerRequestVerdict::Ack, "", "", 0, 0},
        // A length below 2 or past the end ends the walk; the rest is refused.
        {"length 0", "010405DC0100020600000000", kPppAuthAuto, PeerRequestVerdict::Reject, "0100020600000000", "",
            0, 0},
        {"length 1", "0101", kPppAuthAuto, PeerRequestVerdict::Reject, "0101", "", 0, 0},
        {"length past the end", "010405DC0206000000", kPppAuthAuto, PeerRequestVerdict::Reject, "0206000000", "",
            0, 0},
        {"type without length", "010405DC02", kPppAuthAuto, PeerRequestVerdict::Reject, "02", "", 0, 0},
    };
    for (const Case& c : cases) {
        LcpOptionState state;
        std::string reject = "old", nak = "old";
        EXPECT_EQ(ParsePeerLcpRequest(c.options, reject, nak, state, c.authIndex), c.verdict) << c.name;
        EXPECT_EQ(reject, c.reject) << c.name;
        EXPECT_EQ(nak, c.nak) << c.name;
        EXPECT_EQ(state.authSeen, c.authSeen) << c.name;
        if (c.authSeen) {
            EXPECT_EQ(state.authKind, c.authKind) << c.name;
        }
    }
}

TEST(ParsePeerLcpRequest, RecordsAccmChapAlgorithmAndMagic)
{
    struct Case {
        const char* options;
        int accmSeen;
        std::vector<int> accmFlags;
        int chapAlgorithm;
        int magicSeen;
        std::array<std::uint8_t, 4> magic;
    } cases[] = {
        {"0206000A0000", 1, {17, 19}, 0, 0, {}},
        {"0206FFFFFFFF", 1, [] { std::vector<int> all; for (int k = 0; k < 32; ++k) all.push_back(k); return all; }(),
            0, 0, {}},
        {"02050A0000", 1, {}, 0, 0, {}}, // not 8 digits: no flags
        {"0305C22380", 0, {}, 0x80, 0, {}},
        {"0304C223", 0, {}, 0, 0, {}},
        {"050612345678", 0, {}, 0, 1, {0x12, 0x34, 0x56, 0x78}},
        {"050A1122334455667788", 0, {}, 0, 1, {0x11, 0x22, 0x33, 0x44}}, // no more than 4 bytes kept
        {"0504ABCD", 0, {}, 0, 1, {0xAB, 0xCD, 0, 0}},
    };
    for (const Case& c : cases) {
        LcpOptionState state;
        state.magic = {0xEE, 0xEE, 0xEE, 0xEE};
        std::string reject, nak;
        ParsePeerLcpRequest(c.options, reject, nak, state, kPppAuthPap);
        EXPECT_EQ(state.accmSeen, c.accmSeen) << c.options;
        EXPECT_EQ(SetFlags(state.accmFlags), c.accmFlags) << c.options;
        EXPECT_EQ(state.chapAlgorithm, c.chapAlgorithm) << c.options;
        EXPECT_EQ(state.magicSeen, c.magicSeen) << c.options;
        if (c.magicSeen) {
            EXPECT_EQ(state.magic, c.magic) << c.options;
        }
        EXPECT_EQ(state.mru, 1500) << c.options;
    }
}

TEST(ApplyLcpNak, TakesUnderstoodValues)
{
    struct Case {
        const char* options;
        bool understood;
        int mruSeen, accmSeen, authSeen, authKind, magicSeen;
    } cases[] = {
        {"020600000000", true, 0, 1, 0, 0, 0},
        {"0304C023", true, 0, 0, 1, 0, 0},
        {"0304C223", true, 0, 0, 1, 1, 0},
        {"0305C22305", false, 0, 0, 1, -1, 0}, // only the bare protocol counts
        {"010405DC0506CAFEBABE", true, 1, 0, 0, 0, 1},
        {"1104FFFF", false, 0, 0, 0, 0, 0},
        {"010405DC0100", false, 1, 0, 0, 0, 0},
        {"", true, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        LcpOptionState state;
        EXPECT_EQ(ApplyLcpNak(c.options, state), c.understood) << c.options;
        EXPECT_EQ(state.mruSeen, c.mruSeen) << c.options;
        EXPECT_EQ(state.accmSeen, c.accmSeen) << c.options;
        EXPECT_EQ(state.authSeen, c.authSeen) << c.options;
        EXPECT_EQ(state.authKind, c.authKind) << c.options;
        EXPECT_EQ(state.magicSeen, c.magicSeen) << c.options;
    }
    LcpOptionState state;
    ApplyLcpNak("0206000A0000", state);
    EXPECT_EQ(SetFlags(state.accmFlags), (std::vector<int>{17, 19}));
}

TEST(ApplyLcpReject, ForgetsNamedOptions)
{
    LcpOptionState state;
    state.mruSeen = state.accmSeen = state.authSeen = state.magicSeen = 1;
    ApplyLcpReject("020600000000" "1104FFFF", state);
    EXPECT_EQ(state.accmSeen, 0);
    EXPECT_EQ(state.mruSeen + state.authSeen + state.magicSeen, 3);
    ApplyLcpReject("010405DC0304C0230506000000000100", state);
    EXPECT_EQ(state.mruSeen + state.authSeen + state.magicSeen, 0);
}

TEST(Accm, TextAndFlagsConvertBothWays)
{
    struct Case {
        const char* text;
        std::vector<int> set;
        const char* back;
    } cases[] = {
        {"000A0000", {17, 19}, "000a0000"},
        {"00000000", {}, "00000000"},
        {"80000001", {0, 31}, "80000001"},
        {"00 0a 00 00", {17, 19}, "000a0000"},
        {"000A00", {}, "00000000"},
        {"000A000000", {}, "00000000"},
    };
    for (const Case& c : cases) {
        AccmFlags flags;
        flags.fill(1);
        AccmTextToFlags(c.text, flags);
        EXPECT_EQ(SetFlags(flags), c.set) << c.text;
        EXPECT_EQ(AccmFlagsToText(flags), c.back) << c.text;
    }
    const int eight[8] = {1, 0, 0, 0, 0, 0, 0, 1};
    EXPECT_EQ(AccmFlagsToText(eight), "81");
}

TEST(ParsePeerIpcpRequest, AcceptsAddressesAndRejectsTheRest)
{
    struct Case {
        const char* name;
        const char* options;
        PeerRequestVerdict verdict;
        const char* reject;
        const char* accept;
        int peerPresent, dns1Present, dns2Present;
        Address peer;
    } cases[] = {
        {"address and first DNS", "03060A000001810600000000", PeerRequestVerdict::Ack, "", "03060A000001810600000000",
            1, 1, 0, {10, 0, 0, 1}},
        {"with IP compression", "03060A0000018106000000000206002D0F01", PeerRequestVerdict::Reject, "0206002D0F01",
            "03060A000001810600000000", 1, 1, 0, {10, 0, 0, 1}},
        {"second DNS, short address", "830608080808" "03040A00", PeerRequestVerdict::Ack, "", "83060808080803040A00", 1, 0,
            1, {0, 0, 0, 0}},
        {"length 0", "03060A0000010300", PeerRequestVerdict::Reject, "0300", "03060A000001", 1, 0, 0, {10, 0, 0, 1}},
    };
    for (const Case& c : cases) {
        IpcpAddressState state;
        std::string reject = "old", accept = "old";
        EXPECT_EQ(ParsePeerIpcpRequest(c.options, reject, accept, state), c.verdict) << c.name;
        EXPECT_EQ(reject, c.reject) << c.name;
        EXPECT_EQ(accept, c.accept) << c.name;
        EXPECT_EQ(state.peerAddress.present, c.peerPresent) << c.name;
        EXPECT_EQ(state.peerDns1.present, c.dns1Present) << c.name;
        EXPECT_EQ(state.peerDns2.present, c.dns2Present) << c.name;
        EXPECT_EQ(state.peerAddress.address, c.peer) << c.name;
        EXPECT_EQ(state.ownAddress.present + state.ownDns1.present + state.ownDns2.present, 0) << c.name;
    }
    IpcpAddressState state;
    std::string reject, accept;
    ParsePeerIpcpRequest("830608080404", reject, accept, state);
    EXPECT_EQ(state.peerDns2.address, (Address{8, 8, 4, 4}));
}

TEST(IpcpOwnValues, NakAckAndRejectShapeOurRequest)
{
    IpcpAddressState state;
    state.ownAddress.present = 1;
    state.ownDns1.present = 1;
    state.ownDns2.present = 1;

    // A Nak that supplies all three.
    EXPECT_TRUE(ApplyIpcpNak("03060A00020F810608080808830608080404", state));
    EXPECT_EQ(state.ownAddress.address, (Address{10, 0, 2, 15}));
    EXPECT_EQ(state.ownDns1.address, (Address{8, 8, 8, 8}));
    EXPECT_EQ(state.ownDns2.address, (Address{8, 8, 4, 4}));

    // What the Nak does not understand makes it fail; the rest is still taken.
    EXPECT_FALSE(ApplyIpcpNak("0206002D0F01" "03060A000010", state));
    EXPECT_EQ(state.ownAddress.address, (Address{10, 0, 0, 16}));
    EXPECT_FALSE(ApplyIpcpNak("03060A00020F0300", state));

    // The peer rejects the second DNS; the Ack of the rest is adopted.
    ApplyIpcpReject("830600000000" "0206002D0F01", state);
    EXPECT_EQ(state.ownDns2.present, 0);
    EXPECT_EQ(state.ownAddress.present, 1);
    AdoptIpcpValues("03060A000063" "0206002D0F01" "810601020304", state);
    EXPECT_EQ(state.ownAddress.address, (Address{10, 0, 0, 99}));
    EXPECT_EQ(state.ownDns1.address, (Address{1, 2, 3, 4}));
    EXPECT_EQ(state.ownDns2.present, 0);
    EXPECT_EQ(state.peerAddress.present, 0);

    state.Reset();
    EXPECT_EQ(state.ownAddress.present + state.ownDns1.present, 0);
    EXPECT_EQ(state.ownAddress.address, (Address{}));
}

TEST(BuildPapRequestData, CountsUserAndPassword)
{
    struct Case {
        std::string user;
        std::string password;
        std::string data;
    } cases[] = {
        {"", "", "0000"},
        {"ab", "cd", "026162026364"},
        {"user", "", "047573657200"},
        // Each length is one byte: longer texts are cut at 255.
        {std::string(300, 'a'), "p", "ff" + [] { std::string s; for (int i = 0; i < 255; ++i) s += "61"; return s; }()
            + "0170"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BuildPapRequestData(c.user, c.password), c.data) << c.user.size();
}

TEST(SplitChapValue, SplitsSizeAndValue)
{
    struct Case {
        const char* data;
        bool ok;
        const char* size;
        const char* value;
    } cases[] = {
        {"10000102030405060708090A0B0C0D0E0F" "6E616D65", true, "10", "000102030405060708090A0B0C0D0E0F"},
        {"04AABBCCDD", true, "04", "AABBCCDD"},
        {"04AABBCC", false, "", ""},
        {"000", false, "", ""},
        {"", false, "", ""},
        {"FF00", false, "", ""},
    };
    for (const Case& c : cases) {
        std::string size = "old", value = "old";
        EXPECT_EQ(SplitChapValue(c.data, size, value), c.ok) << c.data;
        EXPECT_EQ(size, c.size) << c.data;
        EXPECT_EQ(value, c.value) << c.data;
    }
}

TEST(NakNonZeroAccm, AsksForAZeroMap)
{
    struct Case {
        const char* options;
        bool added;
        const char* nak;
    } cases[] = {
        {"020600000000", false, ""},
        {"0206FFFFFFFF", true, "020600000000"},
        {"010405DC0206000A0000", true, "020600000000"},
        {"010405DC", false, ""},
    };
    for (const Case& c : cases) {
        std::string nak = "old";
        EXPECT_EQ(NakNonZeroAccm(c.options, nak), c.added) << c.options;
        EXPECT_EQ(nak, c.nak) << c.options;
    }
}

TEST(WalkPppOptions, StopsAtMalformedLengths)
{
    struct Case {
        const char* text;
        std::vector<std::string> options;
        const char* malformed;
    } cases[] = {
        {"010405DC020600000000", {"010405DC", "020600000000"}, ""},
        {"0702", {"0702"}, ""},
        {"010405DC0100AABB", {"010405DC"}, "0100AABB"},
        {"0101", {}, "0101"},
        {"01FF00", {}, "01FF00"},
        {"010", {}, "010"},
        {"", {}, ""},
    };
    for (const Case& c : cases) {
        const PppOptionWalk walk = WalkPppOptions(c.text);
        std::vector<std::string> got;
        for (const PppOption& o : walk.options)
            got.emplace_back(o.text);
        EXPECT_EQ(got, c.options) << c.text;
        EXPECT_EQ(walk.malformed, c.malformed) << c.text;
    }
}
