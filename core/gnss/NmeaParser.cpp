#include "core/gnss/NmeaParser.h"

#include "core/gnss/NmeaSentences.h"

#include <charconv>
#include <cstring>

namespace ulv {

namespace {

constexpr size_t npos = std::string_view::npos;

// True when "%.6f" renders a and b differently.
bool DiffersAtMicroDegrees(double a, double b)
{
    char ta[400];
    char tb[400];
    const auto ra = std::to_chars(ta, ta + sizeof ta, a, std::chars_format::fixed, 6);
    const auto rb = std::to_chars(tb, tb + sizeof tb, b, std::chars_format::fixed, 6);
    return std::string_view(ta, ra.ptr - ta) != std::string_view(tb, rb.ptr - tb);
}

} // namespace

NmeaParser::NmeaParser(Listener* listener)
    : m_listener(listener)
{
}

void NmeaParser::ParseNmea(std::string_view chunk)
{
    const size_t held = m_nmeaLineBuffer.size();
    if (std::memchr(chunk.data(), '\0', chunk.size()) == nullptr) {
        m_nmeaLineBuffer.append(chunk);
    } else {
        for (char c : chunk) {
            if (c != '\0')
                m_nmeaLineBuffer.push_back(c);
        }
    }
    // Every line is handled as soon as its end arrives: a port that hands its
    // text over in pieces never ending on a line end would otherwise hold the
    // sentences back for as long as it keeps doing so. Only the new bytes can
    // hold a new line end.
    const size_t lastLf = m_nmeaLineBuffer.rfind('\n');
    if (lastLf != npos && lastLf >= held) {
        ExtractSentences(std::string_view(m_nmeaLineBuffer).substr(0, lastLf + 1));
        m_nmeaLineBuffer.erase(0, lastLf + 1);
    }
    if (m_nmeaLineBuffer.size() > kMaxHeldLineBytes)
        DropUnendedLine();
}

void NmeaParser::Reset()
{
    m_nmeaLineBuffer.clear();
    m_gngsaHalfToggle = 0;
    m_table = SatelliteTable {};
    m_gga = GgaRecord {};
    m_vtg = VtgRecord {};
    m_rmc = RmcRecord {};
    m_gsa = GsaRecord {};
    m_labels = GnssValueLabels {};
    // No hemisphere known: no marker on the world map.
    m_worldLatitude = -1000.0;
    m_worldLongitude = -1000.0;
    if (!m_listener)
        return;
    m_listener->TablePublished(m_table);
    m_listener->LabelsChanged(m_labels);
    m_listener->WorldPositionChanged(m_worldLatitude, m_worldLongitude);
}

void NmeaParser::DropUnendedLine()
{
    // Keep only the latest sentence start, and only when it can still be a
    // sentence; anything before it can never end well.
    const size_t lastDollar = m_nmeaLineBuffer.rfind('$');
    if (lastDollar != npos && m_nmeaLineBuffer.size() - lastDollar <= kMaxHeldLineBytes)
        m_nmeaLineBuffer.erase(0, lastDollar);
    else
        m_nmeaLineBuffer.clear();
}

void NmeaParser::ExtractSentences(std::string_view text)
{
    ForEachSentence(text, [this](std::string_view sentence) { DispatchSentence(sentence); });
}

void NmeaParser::DispatchSentence(std::string_view s)
{
    const size_t comma = s.find(',');
    if (comma == npos)
        return;
    const std::string_view tag = s.substr(0, comma);
    if (tag == "$GPGSV") {
        if (IsFirstGpgsvMessage(s) == 1)
            m_table = SatelliteTable {};
        if (ParseGsvSentence(s, m_table) == 1)
            PublishTable();
    } else if (tag == "$GLGSV") {
        if (ParseGsvSentence(s, m_table) == 1)
            PublishTable();
    } else if (tag == "$GPGGA") {
        ParseGgaSentence(s, m_gga);
        m_labels.ShowGga(m_gga);
        if (m_listener)
            m_listener->LabelsChanged(m_labels);
    } else if (tag == "$GNGNS") {
        ParseGnsSentence(s);
    } else if (tag == "$GPVTG") {
        ParseVtgSentence(s, m_vtg);
        m_labels.ShowVtg(m_vtg);
        if (m_listener)
            m_listener->LabelsChanged(m_labels);
    } else if (tag == "$GPRMC") {
        ParseRmcSentence(s, m_rmc);
        AfterRmc();
    } else if (tag == "$GPGSA") {
        ParseGpgsaSentence(s, m_gsa);
        AfterGsa();
    } else if (tag == "$GNGSA") {
        m_gngsaHalfToggle = m_gngsaHalfToggle == 0 ? 1 : 0;
        ParseGngsaSentence(s, m_gsa, m_gngsaHalfToggle);
        AfterGsa();
    }
}

void NmeaParser::PublishTable()
{
    if (m_listener)
        m_listener->TablePublished(m_table);
}

void NmeaParser::AfterGsa()
{
    // Runs even when the sentence was too short to parse: the old record then
    // marks its satellites again.
    MarkUsedSatellites(m_gsa, m_table);
    PublishTable();
    m_labels.ShowGsa(m_gsa);
    if (m_listener)
        m_listener->LabelsChanged(m_labels);
}

void NmeaParser::AfterRmc()
{
    m_labels.ShowRmc(m_rmc);
    if (m_listener)
        m_listener->LabelsChanged(m_labels);

    // A latitude or longitude the labels show as "---" is no position either.
    const bool known = m_rmc.latitude >= 0 && m_rmc.longitude >= 0;
    const double lat = !known ? -1000.0
        : m_rmc.northSouth == 6 ? -m_rmc.latitude
        : m_rmc.northSouth == 5 ? m_rmc.latitude
                                : -1000.0;
    const double lon = !known ? -1000.0
        : m_rmc.eastWest == 8 ? -m_rmc.longitude
        : m_rmc.eastWest == 3 ? m_rmc.longitude
                              : -1000.0;
    m_worldLatitude = lat;
    m_worldLongitude = lon;
    if (m_listener)
        m_listener->WorldPositionChanged(lat, lon);

    const bool moved = DiffersAtMicroDegrees(m_previousLatitude, m_rmc.latitude)
        || DiffersAtMicroDegrees(m_previousLongitude, m_rmc.longitude);
    m_previousLatitude = m_rmc.latitude;
    m_previousLongitude = m_rmc.longitude;
    if (moved && lat > -1000.0 && lon > -1000.0 && m_listener && m_listener->MapTabSelected())
        m_listener->ShowPositionOnMap(lat, lon);
}

} // namespace ulv
