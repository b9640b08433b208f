#include "ui/core/NumericText.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>

namespace ulv {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

} // namespace

QString NumTextMessage(int validity)
{
    switch (validity) {
    case NumTextOutOfRange:
        return QStringLiteral("Given value is out of range.\n");
    case NumTextNotANumber:
        return QStringLiteral("Characters must be a number.\n");
    default:
        return {};
    }
}

int CheckNumText(const QString& text, float minimum, float maximum, float* value)
{
    if (text == QLatin1String("+") || text == QLatin1String("-"))
        return NumTextLoneSign;
    const QByteArray bytes = text.toUtf8();
    const char* p = bytes.constData();
    const char* end = p + bytes.size();
    while (p < end && IsBlank(*p))
        ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    // from_chars takes no sign of its own; a second sign is not a number.
    if (p == end || *p == '+' || *p == '-')
        return NumTextNotANumber;
    double d = 0;
    const auto r = std::from_chars(p, end, d, std::chars_format::general);
    if (r.ec == std::errc::invalid_argument)
        return NumTextNotANumber;
    if (r.ec == std::errc::result_out_of_range) {
        // Beyond a double: a negative exponent underflows to 0, anything else
        // is as far out of range as a number can be.
        const std::string_view digits(p, r.ptr - p);
        const bool tiny = digits.find("e-") != std::string_view::npos || digits.find("E-") != std::string_view::npos;
        d = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    }
    // A double beyond the float range becomes an infinity, as a float read would.
    float v = static_cast<float>(d);
    if (std::isfinite(d) && std::fabs(d) > static_cast<double>(std::numeric_limits<float>::max()))
        v = std::numeric_limits<float>::infinity();
    for (const char* q = r.ptr; q < end; ++q) {
        if (!IsBlank(*q))
            return NumTextNotANumber;
    }
    if (negative)
        v = -v;
    if (value)
        *value = v;
    if (v > maximum || !(v >= minimum))
        return NumTextOutOfRange;
    return NumTextValid;
}

int DecimalPlacesOf(float value)
{
    // "%G": six significant digits, trailing zeros dropped, upper-case exponent.
    std::array<char, 64> buf{};
    const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), static_cast<double>(value),
                                 std::chars_format::general, 6);
    const char* dot = static_cast<const char*>(std::memchr(buf.data(), '.', r.ptr - buf.data()));
    if (!dot)
        return 0;
    return static_cast<int>(r.ptr - dot - 1);
}

QString FixedFormat(int places)
{
    return QStringLiteral("%.%1f").arg(places);
}

QString FormatFixed(float value, int places)
{
    std::array<char, 400> buf{};
    const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), static_cast<double>(value),
                                 std::chars_format::fixed, places);
    if (r.ec != std::errc())
        return QString::number(static_cast<double>(value), 'f', places);
    return QString::fromLatin1(buf.data(), r.ptr - buf.data());
}

} // namespace ulv
