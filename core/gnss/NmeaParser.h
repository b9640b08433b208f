#pragma once

#include "core/gnss/GnssValueLabels.h"
#include "core/gnss/NmeaRecords.h"
#include "core/gnss/SatelliteRecord.h"

#include <string>
#include <string_view>

namespace ulv {

// Turns the chunks received on the NMEA port into sentences, keeps the last fix
// of each kind and the satellite table, and tells its listener what each
// sentence changed. Runs on one thread (the page's); not thread-safe.
class NmeaParser {
public:
    // What the GNSS page does with the results. Every call happens inside
    // ParseNmea, in the order the sentences arrive.
    class Listener {
    public:
        virtual ~Listener() = default;
        // A GSV group completed or a GSA sentence arrived: the charts take a copy.
        virtual void TablePublished(const SatelliteTable& /*table*/) {}
        // One or more value labels were rewritten.
        virtual void LabelsChanged(const GnssValueLabels& /*labels*/) {}
        // The world map's position after an RMC sentence: signed degrees, north
        // and east positive, -1000.0 where the hemisphere is unknown.
        virtual void WorldPositionChanged(double /*latitude*/, double /*longitude*/) {}
        // Whether the page shows its "Map" tab now.
        virtual bool MapTabSelected() const { return false; }
        // The position moved while the Map tab is shown.
        virtual void ShowPositionOnMap(double /*latitude*/, double /*longitude*/) {}
    };

    // The place the map starts from before the first fix.
    static constexpr double kDefaultLatitude = 59.913900;
    static constexpr double kDefaultLongitude = 10.752200;

    // A line without its end longer than this is noise; the parser then waits
    // for the next "$". Only an unended line is ever held, so the held text
    // never grows beyond this (plus the chunk being taken).
    static constexpr size_t kMaxHeldLineBytes = 4 * 1024;

    explicit NmeaParser(Listener* listener = nullptr);

    void SetListener(Listener* listener) { m_listener = listener; }

    // Takes one received chunk. Each sentence is handled as soon as its line
    // feed has arrived; NUL bytes are dropped.
    void ParseNmea(std::string_view chunk);

    // Forgets every value and the satellite table, and tells the listener: a
    // new connection shows only what its own sentences give.
    void Reset();

    // Handles one sentence ("$" to the end of its line, line end removed).
    void DispatchSentence(std::string_view sentence);

    const SatelliteTable& Table() const { return m_table; }
    const GgaRecord& Gga() const { return m_gga; }
    const VtgRecord& Vtg() const { return m_vtg; }
    const RmcRecord& Rmc() const { return m_rmc; }
    const GsaRecord& Gsa() const { return m_gsa; }
    const GnssValueLabels& Labels() const { return m_labels; }
    // The signed position last given to the world map.
    double WorldLatitude() const { return m_worldLatitude; }
    double WorldLongitude() const { return m_worldLongitude; }
    // Flipped by every "$GNGSA": 1 while its PRNs went to the first half.
    int GngsaHalfToggle() const { return m_gngsaHalfToggle; }
    size_t BufferedBytes() const { return m_nmeaLineBuffer.size(); }

private:
    void ExtractSentences(std::string_view text);
    void DropUnendedLine();
    void PublishTable();
    void AfterGsa();
    void AfterRmc();

    Listener* m_listener = nullptr;
    std::string m_nmeaLineBuffer;
    int m_gngsaHalfToggle = 0;
    SatelliteTable m_table {};
    GgaRecord m_gga {};
    VtgRecord m_vtg {};
    RmcRecord m_rmc {};
    GsaRecord m_gsa {};
    GnssValueLabels m_labels;
    double m_worldLatitude = kDefaultLatitude;
    double m_worldLongitude = kDefaultLongitude;
    double m_previousLatitude = kDefaultLatitude;
    double m_previousLongitude = kDefaultLongitude;
};

} // namespace ulv
