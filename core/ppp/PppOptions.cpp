#include "core/ppp/PppOptions.h"

namespace ulv {

namespace {

constexpr std::string_view kNakPap = "0304C023";
constexpr std::string_view kNakChapMd5 = "0305C22305";
constexpr std::string_view kZeroAccmOption = "020600000000";
constexpr std::size_t kMaxPapFieldBytes = 255;

std::string Normalised(std::string_view text)
{
    std::string s = PppRemoveBlanks(text);
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - ('a' - 'A'));
    return s;
}

void ReadAddress(std::string_view value, std::array<std::uint8_t, 4>& address)
{
    for (std::size_t i = 0; i < address.size(); ++i)
        address[i] = PppHexByteAt(value, 2 * i);
}

// The record of an address or DNS option, the peer's or ours; null for any other type.
IpcpAddressState::Entry* EntryFor(IpcpAddressState& state, std::string_view type, bool own)
{
    if (type == "03")
        return own ? &state.ownAddress : &state.peerAddress;
    if (type == "81")
        return own ? &state.ownDns1 : &state.peerDns1;
    if (type == "83")
        return own ? &state.ownDns2 : &state.peerDns2;
    return nullptr;
}

// Shared by the Ack and the Nak of our IPCP request; false for an option that is
// not ours to ask for, or a malformed rest.
bool TakeOwnIpcpValues(std::string_view options, IpcpAddressState& state)
{
    const std::string list = Normalised(options);
    const PppOptionWalk walk = WalkPppOptions(list);
    bool understood = walk.malformed.empty();
    for (const PppOption& o : walk.options) {
        IpcpAddressState::Entry* e = EntryFor(state, o.type, true);
        if (!e) {
            understood = false;
            continue;
        }
        e->present = 1;
        if (o.value.size() == 8)
            ReadAddress(o.value, e->address);
    }
    return understood;
}

void AppendCounted(std::string& out, std::string_view text)
{
    text = text.substr(0, kMaxPapFieldBytes);
    const char length = static_cast<char>(text.size());
    out += PppStringToHex(std::string_view(&length, 1));
    out += PppStringToHex(text);
}

} // namespace

PppOptionWalk WalkPppOptions(std::string_view text)
{
    PppOptionWalk walk;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t left = text.size() - pos;
        // A length below 2 would never advance; one past the end is truncated.
        const std::size_t chars = left < 4 ? 0 : 2 * std::size_t(PppHexByteAt(text, pos + 2));
        if (chars < 4 || chars > left) {
            walk.malformed = text.substr(pos);
            break;
        }
        PppOption o;
        o.text = text.substr(pos, chars);
        o.type = o.text.substr(0, 2);
        o.value = o.text.substr(4);
        walk.options.push_back(o);
        pos += chars;
    }
    return walk;
}

PeerRequestVerdict ParsePeerLcpRequest(std::string_view options, std::string& rejectList, std::string& nakList,
    LcpOptionState& state, int authIndex)
{
    rejectList.clear();
    nakList.clear();
    const std::string list = Normalised(options);
    const PppOptionWalk walk = WalkPppOptions(list);
    for (const PppOption& o : walk.options) {
        if (o.type == "01") {
            state.mruSeen = 1;
        } else if (o.type == "02") {
            state.accmSeen = 1;
            AccmTextToFlags(o.value, state.accmFlags);
        } else if (o.type == "03" && authIndex != kPppAuthNone) {
            state.authSeen = 1;
            if (o.value == kPppProtocolPap) {
                state.authKind = LcpOptionState::kAuthPap;
            } else if (o.value.substr(0, 4) == kPppProtocolChap) {
                state.authKind = LcpOptionState::kAuthChap;
                if (o.value.size() == 6)
                    state.chapAlgorithm = PppHexByteAt(o.value, 4);
            } else {
                state.authKind = LcpOptionState::kAuthOther;
            }
            // "PAP" lets the peer choose between PAP and CHAP; "AUTO" insists on PAP.
            // Only MD5 can answer a challenge: another CHAP algorithm is refused like an unknown protocol.
            const bool chapMd5 = state.authKind == LcpOptionState::kAuthChap && state.chapAlgorithm == 5;
            const bool accepted = authIndex == kPppAuthChap ? chapMd5
                : authIndex == kPppAuthPap ? state.authKind == LcpOptionState::kAuthPap || chapMd5
                                           : state.authKind == LcpOptionState::kAuthPap;
            if (!accepted)
                nakList += authIndex == kPppAuthChap ? kNakChapMd5 : kNakPap;
        } else if (o.type == "05") {
            state.magicSeen = 1;
            state.magic = {};
            for (std::size_t i = 0; i < state.magic.size() && 2 * i < o.value.size(); ++i)
                state.magic[i] = PppHexByteAt(o.value, 2 * i);
        } else {
            // Also the compression options 07 and 08: the frame layout has no room for them.
            rejectList += o.text;
        }
    }
    rejectList += walk.malformed;
    if (!rejectList.empty())
        return PeerRequestVerdict::Reject;
    return nakList.empty() ? PeerRequestVerdict::Ack : PeerRequestVerdict::Nak;
}

bool ApplyLcpNak(std::string_view options, LcpOptionState& state)
{
    const std::string list = Normalised(options);
    const PppOptionWalk walk = WalkPppOptions(list);
    bool understood = walk.malformed.empty();
    for (const PppOption& o : walk.options) {
        if (o.type == "01") {
            state.mruSeen = 1;
        } else if (o.type == "02") {
            state.accmSeen = 1;
            AccmTextToFlags(o.value, state.accmFlags);
        } else if (o.type == "03") {
            state.authSeen = 1;
            if (o.value == kPppProtocolPap) {
                state.authKind = LcpOptionState::kAuthPap;
            } else if (o.value == kPppProtocolChap) {
                state.authKind = LcpOptionState::kAuthChap;
            } else {
                state.authKind = LcpOptionState::kAuthOther;
                understood = false;
            }
        } else if (o.type == "05") {
            state.magicSeen = 1;
        } else {
            understood = false;
        }
    }
    return understood;
}

void ApplyLcpReject(std::string_view options, LcpOptionState& state)
{
    const std::string list = Normalised(options);
    for (const PppOption& o : WalkPppOptions(list).options) {
        if (o.type == "01")
            state.mruSeen = 0;
        else if (o.type == "02")
            state.accmSeen = 0;
        else if (o.type == "03")
            state.authSeen = 0;
        else if (o.type == "05")
            state.magicSeen = 0;
    }
}

void AccmTextToFlags(std::string_view text, AccmFlags& flags)
{
    flags.fill(0);
    const std::string t = PppRemoveBlanks(text);
    if (t.size() != 8)
        return;
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value = value << 8 | PppHexByteAt(t, 2 * i);
    for (std::size_t k = 0; k < flags.size(); ++k)
        flags[k] = (value >> k) & 1;
}

std::string AccmFlagsToText(std::span<const int> flags)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (std::size_t g = flags.size() / 4; g-- > 0;) {
        const int digit = (flags[4 * g] != 0) | (flags[4 * g + 1] != 0) << 1 | (flags[4 * g + 2] != 0) << 2
            | (flags[4 * g + 3] != 0) << 3;
        out.push_back(kDigits[digit]);
    }
    return out;
}

PeerRequestVerdict ParsePeerIpcpRequest(std::string_view options, std::string& rejectList, std::string& acceptList,
    IpcpAddressState& state)
{
    rejectList.clear();
    acceptList.clear();
    const std::string list = Normalised(options);
    const PppOptionWalk walk = WalkPppOptions(list);
    for (const PppOption& o : walk.options) {
        IpcpAddressState::Entry* e = EntryFor(state, o.type, false);
        if (!e) {
            rejectList += o.text;
            continue;
        }
        e->present = 1;
        if (o.value.size() == 8)
            ReadAddress(o.value, e->address);
        acceptList += o.text;
    }
    rejectList += walk.malformed;
    return rejectList.empty() ? PeerRequestVerdict::Ack : PeerRequestVerdict::Reject;
}

void AdoptIpcpValues(std::string_view options, IpcpAddressState& state)
{
    TakeOwnIpcpValues(options, state);
}

bool ApplyIpcpNak(std::string_view options, IpcpAddressState& state)
{
    return TakeOwnIpcpValues(options, state);
}

void ApplyIpcpReject(std::string_view options, IpcpAddressState& state)
{
    const std::string list = Normalised(options);
    for (const PppOption& o : WalkPppOptions(list).options)
        if (IpcpAddressState::Entry* e = EntryFor(state, o.type, true))
            e->present = 0;
}

std::string BuildPapRequestData(std::string_view user, std::string_view password)
{
    std::string out;
    AppendCounted(out, user);
    AppendCounted(out, password);
    return out;
}

bool SplitChapValue(std::string_view data, std::string& size, std::string& value)
{
    size.clear();
    value.clear();
    const std::string d = Normalised(data);
    if (d.size() <= 3)
        return false;
    const std::size_t n = PppHexByteAt(d, 0);
    if (d.size() < 2 * n + 2)
        return false;
    size = d.substr(0, 2);
    value = d.substr(2, 2 * n);
    return true;
}

bool NakNonZeroAccm(std::string_view options, std::string& nakList)
{
    nakList.clear();
    const std::string list = Normalised(options);
    bool added = false;
    for (const PppOption& o : WalkPppOptions(list).options) {
        if (o.type == "02" && o.text != kZeroAccmOption) {
            nakList += kZeroAccmOption;
            added = true;
        }
    }
    return added;
}

} // namespace ulv
