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
    speed = FormatFixed(r.speedKmh, 2);
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
    utcTime = FixedOrUnknown(r.time, 1);
    utcDate = r.date >= 0 ? QString::number(r.date) : kUnknown;
    latitude = r.latitude >= 0
        ? LabelText().Fixed(r.latitude, 6).Text(r.northSouth == 5 ? "N" : r.northSouth == 6 ? "S" : "").ToString()
        : kUnknown;
    longitude = r.longitude >= 0
        ? LabelText().Fixed(r.longitude, 6).Text(r.eastWest == 3 ? "E" : r.eastWest == 8 ? "W" : "").ToString()
        : kUnknown;
}

} // namespace ulv
