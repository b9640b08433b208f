#include "sim/SimText.h"

#include <array>
#include <cctype>

namespace ulv::sim {

namespace {

// GSM 03.38 default alphabet, code -> UTF-16.
constexpr std::array<char16_t, 128> kGsmToUnicode = {
    u'@', u'\u00A3', u'$', u'\u00A5', u'\u00E8', u'\u00E9', u'\u00F9', u'\u00EC', u'\u00F2', u'\u00C7', u'\n',
    u'\u00D8', u'\u00F8', u'\r', u'\u00C5', u'\u00E5', u'\u0394', u'_', u'\u03A6', u'\u0393', u'\u039B', u'\u03A9',
    u'\u03A0', u'\u03A8', u'\u03A3', u'\u0398', u'\u039E', u'\x1B', u'\u00C6', u'\u00E6', u'\u00DF', u'\u00C9',
    u' ', u'!', u'"', u'#', u'\u00A4', u'%', u'&', u'\'', u'(', u')', u'*', u'+', u',', u'-', u'.', u'/', u'0',
    u'1', u'2', u'3', u'4', u'5', u'6', u'7', u'8', u'9', u':', u';', u'<', u'=', u'>', u'?', u'\u00A1', u'A',
    u'B', u'C', u'D', u'E', u'F', u'G', u'H', u'I', u'J', u'K', u'L', u'M', u'N', u'O', u'P', u'Q', u'R', u'S',
    u'T', u'U', u'V', u'W', u'X', u'Y', u'Z', u'\u00C4', u'\u00D6', u'\u00D1', u'\u00DC', u'\u00A7', u'\u00BF',
    u'a', u'b', u'c', u'd', u'e', u'f', u'g', u'h', u'i', u'j', u'k', u'l', u'm', u'n', u'o', u'p', u'q', u'r',
    u's', u't', u'u', u'v', u'w', u'x', u'y', u'z', u'\u00E4', u'\u00F6', u'\u00F1', u'\u00FC', u'\u00E0'};

struct Extension {
    char code;
    char16_t ch;
};
constexpr std::array<Extension, 10> kExtensions = {{{0x0A, u'\f'}, {0x14, u'^'}, {0x28, u'{'}, {0x29, u'}'},
    {0x2F, u'\\'}, {0x3C, u'['}, {0x3D, u'~'}, {0x3E, u']'}, {0x40, u'|'}, {0x65, u'\u20AC'}}};

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Appends the GSM code(s) of one character; false when it has none.
bool AppendGsm(char16_t ch, std::string& out)
{
    for (std::size_t i = 0; i < kGsmToUnicode.size(); ++i) {
        if (kGsmToUnicode[i] == ch && i != 0x1B) {
            out.push_back(char(i));
            return true;
        }
    }
    for (const auto& e : kExtensions) {
        if (e.ch == ch) {
            out.push_back(0x1B);
            out.push_back(e.code);
            return true;
        }
    }
    return false;
}

} // namespace

std::optional<Charset> CharsetFromName(std::string_view name)
{
    std::string upper;
    for (char c : name)
        upper.push_back(char(std::toupper(static_cast<unsigned char>(c))));
    if (upper == "GSM")
        return Charset::Gsm;
    if (upper == "IRA")
        return Charset::Ira;
    if (upper == "HEX")
        return Charset::Hex;
    if (upper == "UCS2")
        return Charset::Ucs2;
    return std::nullopt;
}

const char* CharsetName(Charset set)
{
    switch (set) {
    case Charset::Gsm: return "GSM";
    case Charset::Ira: return "IRA";
    case Charset::Hex: return "HEX";
    case Charset::Ucs2: return "UCS2";
    }
    return "GSM";
}

std::u16string Utf8ToUtf16(std::string_view text)
{
    std::u16string out;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        char32_t cp = 0xFFFD;
        int extra = 0;
        if (c < 0x80) {
            cp = c;
        } else if ((c & 0xE0) == 0xC0) {
            cp = c & 0x1F;
            extra = 1;
        } else if ((c & 0xF0) == 0xE0) {
            cp = c & 0x0F;
            extra = 2;
        } else if ((c & 0xF8) == 0xF0) {
            cp = c & 0x07;
            extra = 3;
        }
        ++i;
        for (int k = 0; k < extra; ++k, ++i) {
            if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
                cp = 0xFFFD;
                break;
            }
            cp = (cp << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(char16_t(0xD800 + (cp >> 10)));
            out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(char16_t(cp));
        }
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        if (cp < 0x80) {
            out.push_back(char(cp));
        } else if (cp < 0x800) {
            out.push_back(char(0xC0 | (cp >> 6)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(char(0xE0 | (cp >> 12)));
            out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(char(0xF0 | (cp >> 18)));
            out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

std::string ToHex(std::string_view bytes)
{
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char b : bytes) {
        const auto v = static_cast<unsigned char>(b);
        out.push_back(digits[v >> 4]);
        out.push_back(digits[v & 15]);
    }
    return out;
}

std::optional<std::string> FromHex(std::string_view hex)
{
    if (hex.size() % 2 != 0)
        return std::nullopt;
    std::string out;
    out.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int hi = HexDigit(hex[i]);
        const int lo = HexDigit(hex[i + 1]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        out.push_back(char(hi * 16 + lo));
    }
    return out;
}

std::string ToGsm7(std::u16string_view text)
{
    std::string out;
    for (char16_t ch : text) {
        if (!AppendGsm(ch, out))
            out.push_back('?');
    }
    return out;
}

bool FitsGsm7(std::u16string_view text)
{
    std::string scratch;
    for (char16_t ch : text) {
        if (!AppendGsm(ch, scratch))
            return false;
    }
    return true;
}

std::u16string FromGsm7(std::string_view septets)
{
    std::u16string out;
    for (std::size_t i = 0; i < septets.size(); ++i) {
        const int code = static_cast<unsigned char>(septets[i]) & 0x7F;
        if (code == 0x1B && i + 1 < septets.size()) {
            const char next = char(static_cast<unsigned char>(septets[i + 1]) & 0x7F);
            char16_t mapped = u' ';
            for (const auto& e : kExtensions) {
                if (e.code == next)
                    mapped = e.ch;
            }
            out.push_back(mapped);
            ++i;
            continue;
        }
        out.push_back(kGsmToUnicode[std::size_t(code)]);
    }
    return out;
}

std::string PackSeptets(std::string_view septets, int fillBits)
{
    std::string out;
    unsigned acc = 0;
    int bits = fillBits;
    for (char s : septets) {
        acc |= (unsigned(static_cast<unsigned char>(s)) & 0x7F) << bits;
        bits += 7;
        while (bits >= 8) {
            out.push_back(char(acc & 0xFF));
            acc >>= 8;
            bits -= 8;
        }
    }
    if (bits > 0)
        out.push_back(char(acc & 0xFF));
    return out;
}

std::string UnpackSeptets(std::string_view octets, int count, int fillBits)
{
    std::string out;
    for (int i = 0; i < count; ++i) {
        const int bit = fillBits + i * 7;
        const std::size_t byte = std::size_t(bit / 8);
        if (byte >= octets.size())
            break;
        unsigned v = static_cast<unsigned char>(octets[byte]);
        if (byte + 1 < octets.size())
            v |= unsigned(static_cast<unsigned char>(octets[byte + 1])) << 8;
        out.push_back(char((v >> (bit % 8)) & 0x7F));
    }
    return out;
}

std::string Utf16Octets(std::u16string_view text)
{
    std::string out;
    for (char16_t ch : text)
        out.push_back(char(ch & 0xFF));
    return out;
}

std::u16string OctetsAsUtf16(std::string_view octets)
{
    std::u16string out;
    for (char b : octets)
        out.push_back(char16_t(static_cast<unsigned char>(b)));
    return out;
}

std::string ToUcs2Hex(std::u16string_view text)
{
    std::string bytes;
    for (char16_t ch : text) {
        bytes.push_back(char(ch >> 8));
        bytes.push_back(char(ch & 0xFF));
    }
    return ToHex(bytes);
}

std::optional<std::u16string> FromUcs2Hex(std::string_view hex)
{
    if (hex.size() % 4 != 0)
        return std::nullopt;
    auto bytes = FromHex(hex);
    if (!bytes)
        return std::nullopt;
    std::u16string out;
    for (std::size_t i = 0; i + 1 < bytes->size(); i += 2)
        out.push_back(char16_t((static_cast<unsigned char>((*bytes)[i]) << 8) | static_cast<unsigned char>((*bytes)[i + 1])));
    return out;
}

std::string EncodeTe(std::u16string_view text, Charset set)
{
    switch (set) {
    case Charset::Gsm:
        return ToGsm7(text);
    case Charset::Ira: {
        std::string out;
        for (char16_t ch : text)
            out.push_back(ch < 0x80 ? char(ch) : '?');
        return out;
    }
    case Charset::Hex:
        return ToHex(ToGsm7(text));
    case Charset::Ucs2:
        return ToUcs2Hex(text);
    }
    return {};
}

std::optional<std::u16string> DecodeTe(std::string_view wire, Charset set)
{
    switch (set) {
    case Charset::Gsm:
        for (char c : wire) {
            if (static_cast<unsigned char>(c) >= 0x80)
                return std::nullopt;
        }
        return FromGsm7(wire);
    case Charset::Ira: {
        std::u16string out;
        for (char c : wire) {
            if (static_cast<unsigned char>(c) >= 0x80)
                return std::nullopt;
            out.push_back(char16_t(c));
        }
        return out;
    }
    case Charset::Hex: {
        auto bytes = FromHex(wire);
        if (!bytes)
            return std::nullopt;
        return FromGsm7(*bytes);
    }
    case Charset::Ucs2:
        return FromUcs2Hex(wire);
    }
    return std::nullopt;
}

} // namespace ulv::sim
