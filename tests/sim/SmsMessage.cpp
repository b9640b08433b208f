#include "sim/SmsMessage.h"

#include "sim/SimText.h"

#include <array>
#include <cctype>

namespace ulv::sim {

namespace {

constexpr std::array<const char*, 5> kStatusTexts = {"REC UNREAD", "REC READ", "STO UNSENT", "STO SENT", "ALL"};

// Digits swapped in pairs, an odd count padded with 'F'.
std::string SemiOctets(std::string_view digits)
{
    std::string out;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        const char second = i + 1 < digits.size() ? digits[i + 1] : 'F';
        out.push_back(second);
        out.push_back(digits[i]);
    }
    return out;
}

std::string FromSemiOctets(std::string_view hex)
{
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        out.push_back(hex[i + 1]);
        out.push_back(hex[i]);
    }
    if (!out.empty() && (out.back() == 'F' || out.back() == 'f'))
        out.pop_back();
    return out;
}

std::string Byte(int value)
{
    return ToHex(std::string(1, char(value & 0xFF)));
}

// Address digits without '+', and the type of number.
std::pair<std::string, int> SplitAddress(std::string_view address)
{
    std::string digits;
    for (char c : address) {
        if (c != '+')
            digits.push_back(c);
    }
    return {digits, !address.empty() && address.front() == '+' ? 0x91 : 0x81};
}

std::string EncodeSca(std::string_view sca)
{
    if (sca.empty())
        return "00";
    auto [digits, type] = SplitAddress(sca);
    const std::string semi = SemiOctets(digits);
    return Byte(int(semi.size() / 2 + 1)) + Byte(type) + semi;
}

std::string EncodeAddress(std::string_view address)
{
    auto [digits, type] = SplitAddress(address);
    return Byte(int(digits.size())) + Byte(type) + SemiOctets(digits);
}

// "yy/MM/dd,hh:mm:ss+zz" as 7 semi-octet pairs.
std::string EncodeTimestamp(std::string_view stamp)
{
    std::string digits;
    bool negative = false;
    for (std::size_t i = 0; i < stamp.size(); ++i) {
        if (std::isdigit(static_cast<unsigned char>(stamp[i])))
            digits.push_back(stamp[i]);
        else if (stamp[i] == '-' && i > 14)
            negative = true;
    }
    digits.resize(14, '0');
    std::string out = SemiOctets(digits);
    if (negative) {
        // The sign is bit 3 of the zone octet: the nibble holding its tens digit.
        const int tens = out[13] - '0';
        out[13] = "0123456789ABCDEF"[(tens | 8) & 15];
    }
    return out;
}

std::string DecodeTimestamp(std::string_view hex)
{
    std::string d;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        d.push_back(hex[i + 1]);
        d.push_back(hex[i]);
    }
    if (d.size() < 14)
        return {};
    char sign = '+';
    const unsigned char tens = static_cast<unsigned char>(d[12]);
    const int v = std::isdigit(tens) ? tens - '0' : std::toupper(tens) - 'A' + 10;
    if (v >= 8) {
        sign = '-';
        d[12] = char('0' + (v & 7));
    }
    return d.substr(0, 2) + "/" + d.substr(2, 2) + "/" + d.substr(4, 2) + "," + d.substr(6, 2) + ":" + d.substr(8, 2)
        + ":" + d.substr(10, 2) + sign + d.substr(12, 2);
}

std::string UserData(const SmsMessage& m, int& udl)
{
    if (m.dcs == 8) {
        auto bytes = FromHex(ToUcs2Hex(m.text)).value_or(std::string());
        udl = int(bytes.size());
        return ToHex(bytes);
    }
    if (m.dcs == 4) {
        const std::string octets = Utf16Octets(m.text);
        udl = int(octets.size());
        return ToHex(octets);
    }
    const std::string septets = ToGsm7(m.text);
    udl = int(septets.size());
    return ToHex(PackSeptets(septets));
}

struct Reader {
    std::string_view hex;
    std::size_t pos = 0;
    bool ok = true;

    int ByteAt()
    {
        if (pos + 2 > hex.size()) {
            ok = false;
            return 0;
        }
        auto b = FromHex(hex.substr(pos, 2));
        pos += 2;
        if (!b) {
            ok = false;
            return 0;
        }
        return static_cast<unsigned char>((*b)[0]);
    }
    std::string_view Take(std::size_t chars)
    {
        if (pos + chars > hex.size()) {
            ok = false;
            return {};
        }
        auto s = hex.substr(pos, chars);
        pos += chars;
        return s;
    }
};

} // namespace

const char* SmsStatusText(int status)
{
    return status >= 0 && status < int(kStatusTexts.size()) ? kStatusTexts[std::size_t(status)] : "";
}

int SmsStatusFromText(std::string_view text)
{
    for (std::size_t i = 0; i < kStatusTexts.size(); ++i) {
        if (text == kStatusTexts[i])
            return int(i);
    }
    return -1;
}

std::string EncodeSmsPdu(const SmsMessage& m)
{
    if (!m.pdu.empty())
        return m.pdu;
    int udl = 0;
    const std::string ud = UserData(m, udl);
    std::string out = EncodeSca(m.sca);
    if (m.IsReceived()) {
        out += "04" + EncodeAddress(m.address) + "00" + Byte(m.dcs) + EncodeTimestamp(m.timestamp);
    } else {
        // SMS-SUBMIT with a relative validity period.
        out += "1100" + EncodeAddress(m.address) + "00" + Byte(m.dcs) + "AA";
    }
    return out + Byte(udl) + ud;
}

std::optional<SmsMessage> DecodeSmsPdu(std::string_view hex, std::string* error)
{
    auto fail = [&](const char* why) -> std::optional<SmsMessage> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    if (hex.size() % 2 != 0 || !FromHex(hex))
        return fail("not hex pairs");
    Reader r{hex};
    SmsMessage m;
    m.pdu = std::string(hex);
    const int scaLen = r.ByteAt();
    if (scaLen > 0) {
        const int type = r.ByteAt();
        const std::string digits = FromSemiOctets(r.Take(std::size_t(scaLen - 1) * 2));
        m.sca = (type == 0x91 ? "+" : "") + digits;
    } else {
        m.sca.clear();
    }
    const int fo = r.ByteAt();
    if (!r.ok)
        return fail("truncated header");
    const int mti = fo & 3;
    if (mti != 0 && mti != 1)
        return fail("neither SMS-DELIVER nor SMS-SUBMIT");
    if (mti == 1)
        r.ByteAt(); // message reference
    const int addrDigits = r.ByteAt();
    const int addrType = r.ByteAt();
    if (addrDigits > 20)
        return fail("address too long");
    m.address = (addrType == 0x91 ? "+" : "") + FromSemiOctets(r.Take(std::size_t((addrDigits + 1) / 2) * 2));
    r.ByteAt(); // protocol identifier
    m.dcs = r.ByteAt();
    if (mti == 0) {
        m.status = 0;
        auto stamp = r.Take(14);
        if (r.ok)
            m.timestamp = DecodeTimestamp(stamp);
    } else {
        m.status = 2;
        m.timestamp.clear();
        const int vpf = (fo >> 3) & 3;
        if (vpf == 2)
            r.ByteAt();
        else if (vpf == 1 || vpf == 3)
            r.Take(14);
    }
    const int udl = r.ByteAt();
    if (!r.ok)
        return fail("truncated header");
    const std::string ud = FromHex(hex.substr(r.pos)).value_or(std::string());
    const bool udhi = (fo & 0x40) != 0;
    const int alphabet = (m.dcs & 0xC0) == 0 ? (m.dcs >> 2) & 3 : 0;
    if (alphabet == 0) {
        const std::size_t needed = std::size_t((udl * 7 + 7) / 8);
        if (ud.size() < needed)
            return fail("user data shorter than its length");
        int skipSeptets = 0;
        int fill = 0;
        if (udhi && !ud.empty()) {
            const int headerBits = (static_cast<unsigned char>(ud[0]) + 1) * 8;
            skipSeptets = (headerBits + 6) / 7;
            fill = skipSeptets * 7 - headerBits;
        }
        const std::size_t headerOctets = udhi && !ud.empty() ? std::size_t(static_cast<unsigned char>(ud[0]) + 1) : 0;
        const std::string septets = UnpackSeptets(std::string_view(ud).substr(std::min(headerOctets, ud.size())),
            udl - skipSeptets, fill);
        m.text = FromGsm7(septets);
        m.dcs = 0;
    } else {
        if (ud.size() < std::size_t(udl))
            return fail("user data shorter than its length");
        std::string_view body(ud.data(), std::size_t(udl));
        if (udhi && !body.empty())
            body.remove_prefix(std::min(body.size(), std::size_t(static_cast<unsigned char>(body[0]) + 1)));
        if (alphabet == 2) {
            m.text = FromUcs2Hex(ToHex(body.substr(0, body.size() & ~std::size_t(1)))).value_or(std::u16string());
            m.dcs = 8;
        } else {
            m.text = OctetsAsUtf16(body);
            m.dcs = 4;
        }
    }
    return m;
}

int SmsTpduLength(std::string_view hex)
{
    if (hex.size() < 2 || hex.size() % 2 != 0 || !FromHex(hex))
        return -1;
    const int scaLen = static_cast<unsigned char>((*FromHex(hex.substr(0, 2)))[0]);
    const int total = int(hex.size() / 2);
    return total - scaLen - 1 >= 0 ? total - scaLen - 1 : -1;
}

int SmsFirstOctet(std::string_view hex)
{
    const int tpdu = SmsTpduLength(hex);
    if (tpdu <= 0)
        return -1;
    const std::size_t at = hex.size() - std::size_t(tpdu) * 2;
    return static_cast<unsigned char>((*FromHex(hex.substr(at, 2)))[0]);
}

std::string EncodeStatusReport(int reference, std::string_view recipient, std::string_view sca,
    std::string_view serviceTime, std::string_view dischargeTime, int status)
{
    // First octet 06: SMS-STATUS-REPORT, the report of an SMS-SUBMIT.
    return EncodeSca(sca) + "06" + Byte(reference) + EncodeAddress(recipient) + EncodeTimestamp(serviceTime)
        + EncodeTimestamp(dischargeTime) + Byte(status);
}

} // namespace ulv::sim
