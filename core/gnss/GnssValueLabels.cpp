#include "core/gnss/GnssValueLabels.h"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace ulv {

namespace {

// Builds a label in a fixed buffer, large enough for the longest fixed
// rendering of a double (309 digits before the point) several times over.
class LabelText {
public:
    LabelText& Fixed(double value, int precision)
    {
        const auto r = std::to_chars(m_end, m_buf + sizeof m_buf, value, std::chars_format::fixed, precision);
        m_end = r.ptr;
        return *this;
    }
    LabelText& Text(std::string_view text)
    {
        m_end = std::copy(text.begin(), text.end(), m_end);
        return *this;
    }
    QString ToString() const { return QString::fromLatin1(m_buf, m_end - m_buf); }

private:
    char m_buf[1400];
    char* m_end = m_buf;
};

const QString kUnknown = QStringLiteral("---");

QString FixedOrUnknown(double v, int precision)
{
    return v >= 0 ? FormatFixed(v, precision) : kUnknown;
}

// hhmmss and the tenths of its second, cut rather than rounded: rounding would
// carry 17:09:59.972 into the impossible "170960.0".
QString UtcTimeText(double t)
{
    if (!(t >= 0))
        return kUnknown;
    // Beyond what a time field holds: shown as read, without cutting.
    if (t >= 1e12)
        return FormatFixed(t, 1);
    // The field's decimal text seldom is exact in binary (".3" may read as
    // .29999...): a hair above it before cutting keeps the tenth it wrote.
    const long long tenths = static_cast<long long>(t * 10 + 1e-6);
    char buf[32];
    char* end = buf + sizeof buf;
    char* p = end;
    *--p = char('0' + tenths % 10);
    *--p = '.';
    long long whole = tenths / 10;
    int digits = 0;
    do {
        *--p = char('0' + whole % 10);
        whole /= 10;
        ++digits;
    } while (whole > 0);
    while (digits++ < 6)
        *--p = '0';
    return QString::fromLatin1(p, end - p);
}

} // namespace

QString FormatFixed(double value, int precision)
{
    return LabelText().Fixed(value, precision).ToString();
}

void GnssValueLabels::ShowGga(const GgaRecord& r)
{
    altitude = FixedOrUnknown(r.altitude, 1);
    satelliteUsed = r.satellitesInUse < 0 ? QStringLiteral("0") : QString::number(r.satellitesInUse);
}

void GnssValueLabels::ShowVtg(const VtgRecord& r)
{
    // An empty speed field is not a speed of -1.
    speed = FixedOrUnknown(r.speedKmh, 2);
}

void GnssValueLabels::ShowGsa(const GsaRecord& r)
{
    LabelText line;
    const auto piece = [&line](std::string_view name, double v, std::string_view tail) {
        line.Text(name);
        if (v < 0)
            line.Text("---");
        else
            line.Fixed(v, 1);
        line.Text(tail);
    };
    piece("PDOP:", r.pdop, "    ");
    piece("HDOP:", r.hdop, "    ");
    piece("VDOP:", r.vdop, "");
    dop = line.ToString();

    switch (r.fixType) {
    case 1: locatingType = QStringLiteral("no fixed"); break;
    case 2: locatingType = QStringLiteral("2D"); break;
    case 3: locatingType = QStringLiteral("3D"); break;
    default: locatingType = kUnknown; break;
    }

    int used = 0;
    for (int prn : r.prn)
        used += prn > 0 ? 1 : 0;
    satelliteUsed = QString::number(used);
}

void GnssValueLabels::ShowRmc(const RmcRecord& r)
{
    utcTime = UtcTimeText(r.time);
    utcDate = r.date >= 0 ? QString::number(r.date) : kUnknown;
    latitude = r.latitude >= 0
        ? LabelText().Fixed(r.latitude, 6).Text(r.northSouth == 5 ? "N" : r.northSouth == 6 ? "S" : "").ToString()
        : kUnknown;
    longitude = r.longitude >= 0
        ? LabelText().Fixed(r.longitude, 6).Text(r.eastWest == 3 ? "E" : r.eastWest == 8 ? "W" : "").ToString()
        : kUnknown;
}

} // namespace ulv
