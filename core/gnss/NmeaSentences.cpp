#include "core/gnss/NmeaSentences.h"

#include <algorithm>

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace ulv {

namespace {

constexpr std::string_view::size_type npos = std::string_view::npos;

bool IsCSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// strtod in the "C" locale, for the rare text that from_chars cannot give the
// C library's answer for (overflow and underflow).
double CLocaleStrtod(std::string_view text)
{
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(0));
    const std::string copy(text);
    return strtod_l(copy.c_str(), nullptr, cLocale);
}

// Exact powers of ten up to 10^22, the largest a double holds exactly.
constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14,
    1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The plain decimals NMEA consists of ("083.12", "4807.038") without the
// general parser: with at most 15 digits the digits and the power of ten are
// both exact doubles, so one division gives the correctly rounded value, the
// same as strtod's. False when the text needs the general parser.
bool PlainDecimal(std::string_view text, double& value)
{
    uint64_t mantissa = 0;
    int digits = 0;
    int decimals = 0;
    size_t i = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits)
        mantissa = mantissa * 10 + static_cast<uint64_t>(text[i] - '0');
    const bool hasPoint = i < text.size() && text[i] == '.';
    if (hasPoint) {
        for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits, ++decimals)
            mantissa = mantissa * 10 + static_cast<uint64_t>(text[i] - '0');
    }
    if (digits == 0 || digits > 15)
        return false;
    if (i < text.size()) {
        // An exponent, a hexadecimal prefix, or "nan"/"inf" continue the number.
        const char c = text[i];
        if (c == 'e' || c == 'E' || c == 'x' || c == 'X')
            return false;
    }
    value = static_cast<double>(mantissa) / kPowersOfTen[decimals];
    return true;
}

// atof without the locale: leading blanks, a sign, then a decimal or hexadecimal
// number, "inf" or "nan"; 0.0 when no number leads.
double LeadingDouble(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && IsCSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::string_view rest = text.substr(i);
    if (rest.empty() || rest[0] == '+' || rest[0] == '-')
        return 0.0;
    double value = 0.0;
    if (PlainDecimal(rest, value))
        return negative ? -value : value;
    std::from_chars_result r;
    if (rest.size() > 1 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
        r = std::from_chars(rest.data() + 2, rest.data() + rest.size(), value, std::chars_format::hex);
        if (r.ec == std::errc::invalid_argument)
            value = 0.0; // "0x" alone reads as the 0 before it
    } else {
        r = std::from_chars(rest.data(), rest.data() + rest.size(), value);
    }
    if (r.ec == std::errc::result_out_of_range)
        value = CLocaleStrtod(rest);
    else if (r.ec != std::errc())
        value = 0.0;
    return negative ? -value : value;
}

// atoi, saturating at the int range instead of overflowing.
int LeadingInt(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && IsCSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long v = 0;
    constexpr long long kCap = static_cast<long long>(INT_MAX) + 1;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        v = v * 10 + (text[i] - '0');
        if (v > kCap)
            v = kCap;
    }
    if (negative)
        return static_cast<int>(-v);
    return static_cast<int>(v > INT_MAX ? INT_MAX : v);
}

// Fields are a few characters long: a plain loop finds their ends faster than
// a library search that is built for long texts.
size_t FindChar(std::string_view s, char c, size_t from)
{
    for (size_t i = from; i < s.size(); ++i) {
        if (s[i] == c)
            return i;
    }
    return npos;
}

// The text between two delimiter positions; empty when they meet or cross.
std::string_view Between(std::string_view s, size_t open, size_t close)
{
    if (close <= open)
        return {};
    return s.substr(open + 1, close - open - 1);
}

// Splits a fixed-layout sentence into its first `count` fields after the tag.
// Each field ends at the next ","; once the commas run out, the first "*"
// stands in for that delimiter and every later one (missing fields are empty).
// Without a "*" either, the sentence is incomplete and false is returned.
template <size_t Count>
bool SplitFixedFields(std::string_view s, std::string_view tag, std::array<std::string_view, Count>& fields)
{
    if (s.size() <= tag.size() || s.substr(0, tag.size()) != tag || s[tag.size()] != ',')
        return false;
    size_t prev = tag.size();
    size_t star = npos;
    for (size_t k = 0; k < Count; ++k) {
        size_t next = prev == star ? npos : FindChar(s, ',', prev + 1);
        if (next == npos) {
            if (star == npos)
                star = s.find('*');
            if (star == npos)
                return false;
            next = star;
        }
        fields[k] = Between(s, prev, next);
        prev = next;
    }
    return true;
}

void ParseGsa(std::string_view sentence, std::string_view tag, GsaRecord& record, size_t prnOffset)
{
    std::array<std::string_view, 17> f;
    if (!SplitFixedFields(sentence, tag, f))
        return;
    // Twelve satellite fields, then the DOPs (decimals) and at most a system id.
    // A longer sentence whose PDOP place holds a bare number lists more than
    // twelve satellites: its DOPs are not where they belong, so it is left out
    // rather than showing satellite numbers as DOPs.
    const std::string_view body = sentence.substr(0, std::min(sentence.find('*'), sentence.size()));
    const bool bareNumber = !f[14].empty() && f[14].find('.') == npos
        && std::all_of(f[14].begin(), f[14].end(), [](char c) { return c >= '0' && c <= '9'; });
    if (bareNumber && std::count(body.begin(), body.end(), ',') > 18)
        return;
    record.mode = NmeaFieldToCode(f[0]);
    record.fixType = NmeaFieldToCode(f[1]);
    for (size_t i = 0; i < 12; ++i)
        record.prn[prnOffset + i] = NmeaFieldToCode(f[2 + i]);
    record.pdop = NmeaFieldToDouble(f[14]);
    record.hdop = NmeaFieldToDouble(f[15]);
    record.vdop = NmeaFieldToDouble(f[16]);
}

// Fields 1..3 of a GSV message (total, number, satellites in view) and the
// comma that ends field 3; false when one of them is missing or empty.
struct GsvHeader {
    std::string_view total, number, inView;
    size_t end = 0;
};

bool ReadGsvHeader(std::string_view s, GsvHeader& h)
{
    const size_t c0 = FindChar(s, ',', 0);
    if (c0 == npos)
        return false;
    const size_t c1 = FindChar(s, ',', c0 + 1);
    const size_t c2 = c1 == npos ? npos : FindChar(s, ',', c1 + 1);
    const size_t c3 = c2 == npos ? npos : FindChar(s, ',', c2 + 1);
    if (c3 == npos)
        return false;
    h.total = Between(s, c0, c1);
    h.number = Between(s, c1, c2);
    h.inView = Between(s, c2, c3);
    h.end = c3;
    return !h.total.empty() && !h.number.empty() && !h.inView.empty();
}

std::string_view TagOf(std::string_view s)
{
    const size_t c = FindChar(s, ',', 0);
    return c == npos ? std::string_view {} : s.substr(0, c);
}

} // namespace

double NmeaFieldToDouble(std::string_view field)
{
    return field.empty() ? -1.0 : LeadingDouble(field);
}

int NmeaFieldToCode(std::string_view field)
{
    if (field.empty())
        return -1;
    if (field.size() == 1) {
        switch (field[0]) {
        case 'A': return 1;
        case 'D': return 2;
        case 'E': return 3;
        case 'M': return 4;
        case 'N': return 5;
        case 'S': return 6;
        case 'V': return 7;
        case 'W': return 8;
        default: break;
        }
    }
    return LeadingInt(field);
}

double NmeaToDegrees(std::string_view field)
{
    const size_t dot = field.find('.');
    if (dot == npos)
        return -1.0;
    // ddmm.mmmm carries no sign (the hemisphere is its own field): a sign or
    // any other character makes it no position at all, as an empty field is.
    for (const char c : field) {
        if ((c < '0' || c > '9') && c != '.')
            return -1.0;
    }
    // The minutes are the two digits before the "." and what follows; a text
    // with fewer than two characters there has no degrees at all.
    const size_t minutesAt = dot >= 2 ? dot - 2 : 0;
    const int degrees = LeadingInt(field.substr(0, minutesAt));
    const double minutes = LeadingDouble(field.substr(minutesAt));
    return degrees + minutes * 0.016666666666666666;
}

void ParseGgaSentence(std::string_view sentence, GgaRecord& r)
{
    std::array<std::string_view, 14> f;
    if (!SplitFixedFields(sentence, "$GPGGA", f))
        return;
    r.time = NmeaFieldToDouble(f[0]);
    r.latitude = NmeaFieldToDouble(f[1]);
    r.northSouth = NmeaFieldToCode(f[2]);
    r.longitude = NmeaFieldToDouble(f[3]);
    r.eastWest = NmeaFieldToCode(f[4]);
    r.quality = NmeaFieldToCode(f[5]);
    r.satellitesInUse = NmeaFieldToCode(f[6]);
    r.hdop = NmeaFieldToDouble(f[7]);
    r.altitude = NmeaFieldToDouble(f[8]);
    r.geoidSeparation = NmeaFieldToDouble(f[10]);
    r.differentialAge = NmeaFieldToDouble(f[12]);
    r.stationId = NmeaFieldToCode(f[13]);
}

void ParseVtgSentence(std::string_view sentence, VtgRecord& r)
{
    std::array<std::string_view, 9> f;
    if (!SplitFixedFields(sentence, "$GPVTG", f))
        return;
    r.courseTrue = NmeaFieldToDouble(f[0]);
    r.courseMagnetic = NmeaFieldToDouble(f[2]);
    r.speedKnots = NmeaFieldToDouble(f[4]);
    r.speedKmh = NmeaFieldToDouble(f[6]);
    r.mode = NmeaFieldToCode(f[8]);
}

void ParseRmcSentence(std::string_view sentence, RmcRecord& r)
{
    std::array<std::string_view, 12> f;
    if (!SplitFixedFields(sentence, "$GPRMC", f))
        return;
    r.time = NmeaFieldToDouble(f[0]);
    r.status = NmeaFieldToCode(f[1]);
    r.latitude = NmeaToDegrees(f[2]);
    r.northSouth = NmeaFieldToCode(f[3]);
    r.longitude = NmeaToDegrees(f[4]);
    r.eastWest = NmeaFieldToCode(f[5]);
    r.speedKnots = NmeaFieldToDouble(f[6]);
    r.course = NmeaFieldToDouble(f[7]);
    r.date = NmeaFieldToCode(f[8]);
    r.magneticVariation = NmeaFieldToDouble(f[9]);
    r.variationEastWest = NmeaFieldToCode(f[10]);
    r.mode = NmeaFieldToCode(f[11]);
}

void ParseGpgsaSentence(std::string_view sentence, GsaRecord& record)
{
    ParseGsa(sentence, "$GPGSA", record, 0);
}

void ParseGngsaSentence(std::string_view sentence, GsaRecord& record, int firstHalf)
{
    ParseGsa(sentence, "$GNGSA", record, firstHalf == 1 ? 0 : 12);
}

bool ParseGnsSentence(std::string_view sentence)
{
    return TagOf(sentence) == "$GNGNS";
}

int IsFirstGpgsvMessage(std::string_view sentence)
{
    GsvHeader h;
    if (TagOf(sentence) != "$GPGSV" || !ReadGsvHeader(sentence, h))
        return 0;
    return h.number == "1" ? 1 : 0;
}

int ParseGsvSentence(std::string_view s, SatelliteTable& table)
{
    const std::string_view tag = TagOf(s);
    GsvHeader h;
    if ((tag != "$GPGSV" && tag != "$GLGSV") || !ReadGsvHeader(s, h))
        return 0;
    if (LeadingInt(h.inView) > 0) {
        size_t p = h.end;
        for (;;) {
            const size_t idEnd = FindChar(s, ',', p + 1);
            const size_t elEnd = idEnd == npos ? npos : FindChar(s, ',', idEnd + 1);
            const size_t azEnd = elEnd == npos ? npos : FindChar(s, ',', elEnd + 1);
            if (azEnd == npos)
                break;
            size_t snrEnd = FindChar(s, ',', azEnd + 1);
            if (snrEnd == npos)
                snrEnd = FindChar(s, '*', azEnd + 1);
            if (snrEnd == npos)
                break;
            const int id = LeadingInt(Between(s, p, idEnd));
            if (id >= 1 && id <= kSatelliteCount) {
                SatelliteRecord& e = table[static_cast<size_t>(id - 1)];
                e.elevation = NmeaFieldToDouble(Between(s, idEnd, elEnd));
                e.azimuth = NmeaFieldToDouble(Between(s, elEnd, azEnd));
                e.snr = NmeaFieldToDouble(Between(s, azEnd, snrEnd));
                e.inView = e.elevation < 0 || e.azimuth < 0 ? 0 : 1;
                e.tracked = e.snr < 0 ? 0 : 1;
                e.used = 0;
            }
            p = snrEnd;
        }
    }
    return h.number == h.total ? 1 : 0;
}

void MarkUsedSatellites(const GsaRecord& record, SatelliteTable& table)
{
    for (int prn : record.prn) {
        if (prn >= 1 && prn <= kSatelliteCount)
            table[static_cast<size_t>(prn - 1)].used = 1;
    }
}

} // namespace ulv
