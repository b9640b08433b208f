#include "core/ppp/PppFrameCodec.h"

namespace ulv {

namespace {

constexpr std::array<std::uint8_t, 256> MakeDigitTable()
{
    std::array<std::uint8_t, 256> t{};
    for (int c = '0'; c <= '9'; ++c)
        t[c] = static_cast<std::uint8_t>(c - '0');
    for (int c = 'A'; c <= 'F'; ++c) {
        t[c] = static_cast<std::uint8_t>(c - 'A' + 10);
        t[c + ('a' - 'A')] = static_cast<std::uint8_t>(c - 'A' + 10);
    }
    return t;
}
constexpr auto kDigit = MakeDigitTable();

// kFcs[0] is the byte table of RFC 1662 (reflected 0x8408); kFcs[k] is a byte
// followed by k zero bytes, so four bytes take one step (slice-by-4).
using FcsTables = std::array<std::array<std::uint16_t, 256>, 4>;
constexpr FcsTables MakeFcsTables()
{
    FcsTables t{};
    for (unsigned b = 0; b < 256; ++b) {
        unsigned v = b;
        for (int i = 0; i < 8; ++i)
            v = (v & 1) ? (v >> 1) ^ 0x8408 : v >> 1;
        t[0][b] = static_cast<std::uint16_t>(v);
    }
    for (std::size_t k = 1; k < t.size(); ++k)
        for (unsigned b = 0; b < 256; ++b)
            t[k][b] = static_cast<std::uint16_t>((t[k - 1][b] >> 8) ^ t[0][t[k - 1][b] & 0xFF]);
    return t;
}
constexpr auto kFcs = MakeFcsTables();

inline std::uint16_t FcsStep(std::uint16_t fcs, std::uint8_t b)
{
    return static_cast<std::uint16_t>((fcs >> 8) ^ kFcs[0][(fcs ^ b) & 0xFF]);
}

inline std::uint16_t FcsStep4(std::uint16_t fcs, std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3)
{
    return static_cast<std::uint16_t>(kFcs[3][(fcs ^ b0) & 0xFF] ^ kFcs[2][((fcs >> 8) ^ b1) & 0xFF] ^ kFcs[1][b2]
        ^ kFcs[0][b3]);
}

constexpr char kUpperDigits[] = "0123456789ABCDEF";
constexpr char kLowerDigits[] = "0123456789abcdef";

inline char Upper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - ('a' - 'A')) : c;
}

inline std::uint8_t Pair(const char* p)
{
    return static_cast<std::uint8_t>(kDigit[static_cast<unsigned char>(p[0])] << 4
        | kDigit[static_cast<unsigned char>(p[1])]);
}

inline void AppendByte(std::string& out, std::uint8_t v, const char* digits)
{
    out.push_back(digits[v >> 4]);
    out.push_back(digits[v & 0x0F]);
}

// The running FCS over the bytes that count pairs of hex digits stand for.
std::uint16_t FcsOverHex(std::uint16_t fcs, const char* p, std::size_t count)
{
    for (; count >= 4; count -= 4, p += 8)
        fcs = FcsStep4(fcs, Pair(p), Pair(p + 2), Pair(p + 4), Pair(p + 6));
    for (; count > 0; --count, p += 2)
        fcs = FcsStep(fcs, Pair(p));
    return fcs;
}

// Most texts carry no blanks: only copy when there are some.
std::string_view WithoutBlanks(std::string_view text, std::string& storage)
{
    if (text.find(' ') == std::string_view::npos)
        return text;
    storage = PppRemoveBlanks(text);
    return storage;
}

std::string HexOf(std::string_view bytes, const char* digits)
{
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes)
        AppendByte(out, static_cast<std::uint8_t>(c), digits);
    return out;
}

} // namespace

std::string PppRemoveBlanks(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != ' ')
            out.push_back(c);
    return out;
}

std::uint8_t PppHexByteAt(std::string_view text, std::size_t pos)
{
    if (pos >= text.size() || text.size() - pos < 2)
        return 0;
    return Pair(text.data() + pos);
}

bool HexTextToBytes(std::string_view text, std::vector<std::uint8_t>& bytes)
{
    std::string storage;
    const std::string_view t = WithoutBlanks(text, storage);
    if (t.size() % 2 != 0)
        return false;
    bytes.resize(t.size() / 2);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = Pair(t.data() + 2 * i);
    return true;
}

std::string BuildPppFrame(std::string_view protocol, std::string_view code, std::string_view identifier,
    std::string_view data)
{
    std::string s1, s2, s3, s4;
    protocol = WithoutBlanks(protocol, s1);
    code = WithoutBlanks(code, s2);
    identifier = WithoutBlanks(identifier, s3);
    data = WithoutBlanks(data, s4);
    const std::size_t length = data.size() / 2 + 4;
    if (protocol.size() != 4 || code.size() != 2 || identifier.size() != 2 || data.size() % 2 != 0
        || length > 0xFFFF)
        return {};

    std::string frame;
    frame.reserve(18 + data.size() + 6);
    frame.append("7EFF03");
    frame.append(protocol);
    frame.append(code);
    frame.append(identifier);
    AppendByte(frame, static_cast<std::uint8_t>(length >> 8), kLowerDigits);
    AppendByte(frame, static_cast<std::uint8_t>(length & 0xFF), kLowerDigits);
    frame.append(data);

    // The FCS covers everything after the opening flag.
    const auto fcs = static_cast<std::uint16_t>(~FcsOverHex(0xFFFF, frame.data() + 2, frame.size() / 2 - 1));
    AppendByte(frame, static_cast<std::uint8_t>(fcs & 0xFF), kUpperDigits);
    AppendByte(frame, static_cast<std::uint8_t>(fcs >> 8), kUpperDigits);
    frame.append("7E");
    return frame;
}

std::string EscapePppBytes(std::string_view frame, int useAccm, const AccmFlags& flags)
{
    std::string storage;
    const std::string_view t = WithoutBlanks(frame, storage);
    const std::size_t n = t.size();

    std::array<bool, 256> stuff{};
    for (int c = 0; c < 0x20; ++c)
        stuff[c] = useAccm == 0 || flags[c] != 0;
    stuff[0x7D] = true;

    // Every pair may grow to two: write into the worst case, then trim.
    std::string out(2 * n, '\0');
    char* o = out.data();
    std::size_t pos = 0;
    for (; pos + 1 < n; pos += 2) {
        const std::uint8_t v = Pair(t.data() + pos);
        // A 7E among the first three bytes of the escaped text or as the last
        // byte is a flag and stays; anywhere else it is data.
        const bool escape = v == 0x7E ? (o - out.data() >= 6 && pos + 3 < n) : stuff[v];
        if (escape) {
            const std::uint8_t e = v ^ 0x20;
            o[0] = '7';
            o[1] = 'D';
            o[2] = kUpperDigits[e >> 4];
            o[3] = kUpperDigits[e & 0x0F];
            o += 4;
        } else {
            o[0] = Upper(t[pos]);
            o[1] = Upper(t[pos + 1]);
            o += 2;
        }
    }
    if (pos < n)
        *o++ = Upper(t[pos]);
    out.resize(static_cast<std::size_t>(o - out.data()));
    return out;
}

std::string UnescapePppBytes(std::string_view text)
{
    std::string storage;
    const std::string_view t = WithoutBlanks(text, storage);
    const std::size_t n = t.size();
    std::string out(n, '\0');
    char* o = out.data();
    std::size_t pos = 0;
    while (pos + 1 < n) {
        const char a = t[pos];
        const char b = t[pos + 1];
        if (a == '7' && (b == 'D' || b == 'd') && pos + 4 <= n) {
            const std::uint8_t v = Pair(t.data() + pos + 2);
            if (v >= 0x20) {
                // RFC 1662 restores the byte by XOR 0x20; 7D 5E and 7D 5D are its
                // common cases. A control byte after 7D cannot have been escaped
                // by us and stays as received.
                const std::uint8_t plain = v ^ 0x20;
                o[0] = kUpperDigits[plain >> 4];
                o[1] = kUpperDigits[plain & 0x0F];
                o += 2;
                pos += 4;
                continue;
            }
        }
        o[0] = Upper(a);
        o[1] = Upper(b);
        o += 2;
        pos += 2;
    }
    if (pos < n)
        *o++ = Upper(t[pos]);
    out.resize(static_cast<std::size_t>(o - out.data()));
    return out;
}

PppFrameFields SplitPppFrame(std::string_view frame)
{
    auto field = [&](std::size_t from, std::size_t count) {
        if (from >= frame.size())
            return std::string();
        return std::string(frame.substr(from, count));
    };
    PppFrameFields f;
    f.protocol = field(6, 4);
    f.code = field(10, 2);
    f.identifier = field(12, 2);
    if (frame.size() > 18 + 6)
        f.data = std::string(frame.substr(18, frame.size() - 18 - 6));
    return f;
}

bool CheckFrameLength(std::string_view frame)
{
    std::string storage;
    const std::string_view t = WithoutBlanks(frame, storage);
    if (t.size() % 2 != 0 || t.size() < 2 * kPppFrameOverhead)
        return false;
    const std::size_t length = std::size_t(Pair(t.data() + 14)) << 8 | Pair(t.data() + 16);
    return t.size() / 2 == length + 8;
}

bool CheckFrameFcs(std::string_view frame, const PppNoteSink& note)
{
    std::string storage;
    const std::string_view t = WithoutBlanks(frame, storage);
    if (t.size() % 2 == 0 && t.size() >= 2 * kPppFrameOverhead) {
        const std::size_t n = t.size() / 2;
        const auto carried = static_cast<std::uint16_t>(Pair(t.data() + 2 * (n - 3)) | Pair(t.data() + 2 * (n - 2)) << 8);
        if (static_cast<std::uint16_t>(~FcsOverHex(0xFFFF, t.data() + 2, n - 4)) == carried)
            return true;
    }
    if (note)
        note("/* checksum is wrong ,the source data is : " + std::string(frame) + " */");
    return false;
}

std::uint16_t Fcs16Update(std::uint16_t fcs, const std::uint8_t* bytes, std::size_t count)
{
    for (; count >= 4; count -= 4, bytes += 4)
        fcs = FcsStep4(fcs, bytes[0], bytes[1], bytes[2], bytes[3]);
    for (; count > 0; --count, ++bytes)
        fcs = FcsStep(fcs, *bytes);
    return fcs;
}

std::uint16_t Fcs16(const std::uint8_t* bytes, std::size_t count)
{
    return static_cast<std::uint16_t>(~Fcs16Update(0xFFFF, bytes, count));
}

std::uint16_t PppCrc16(const std::uint8_t* bytes, std::size_t count)
{
    count %= 256;
    std::uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = static_cast<std::uint16_t>((crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1);
    }
    return crc;
}

std::uint8_t PppHexPairToByte(std::string_view text)
{
    return text.size() == 2 ? Pair(text.data()) : 0;
}

std::string PppSpaceHexPairs(std::string_view text)
{
    std::string storage;
    const std::string_view t = WithoutBlanks(text, storage);
    std::string out;
    out.reserve(t.size() + t.size() / 2);
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (i > 0 && i % 2 == 0)
            out.push_back(' ');
        out.push_back(t[i]);
    }
    return out;
}

bool BytesToSpacedHex(std::string_view bytes, std::string& out)
{
    if (bytes.empty())
        return false;
    out.clear();
    out.reserve(bytes.size() * 3);
    for (char c : bytes) {
        AppendByte(out, static_cast<std::uint8_t>(c), kLowerDigits);
        out.push_back(' ');
    }
    return true;
}

std::string PppStringToHex(std::string_view bytes)
{
    return HexOf(bytes, kLowerDigits);
}

std::string PppStringToHexOr00(std::string_view bytes)
{
    return bytes.empty() ? std::string("00") : HexOf(bytes, kLowerDigits);
}

} // namespace ulv
