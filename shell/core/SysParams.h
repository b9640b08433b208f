#pragma once

#include <QString>
#include <cstdint>
#include <mutex>

namespace ulv {

// The largest window or pane size the program takes from sysparam.ini (the
// file keeps what it holds); every use fits it to the screen or the window.
inline constexpr int kMaxStoredSize = 65535;

// The display, window and log settings of sysparam.ini, held while the program
// runs. Colours are 0..255 parts; the *Color() accessors give them as a
// COLORREF (red | green << 8 | blue << 16).
struct SysParams {
    int SdataColor_r = 255, SdataColor_g = 0, SdataColor_b = 0;
    int RdataColor_r = 0, RdataColor_g = 0, RdataColor_b = 255;
    int leftbarColor_r = 66, leftbarColor_g = 92, leftbarColor_b = 132;
    int srbkColor_r = 255, srbkColor_g = 255, srbkColor_b = 255;
    int showmaximized = 0;
    int nwidth = 950;
    int nheight = 800;
    int showsenddata = 0;
    int showreceivedata = 0;
    int showleftview = 0;
    int showtime = 0;
    int useoldmcu = 0;
    int savelog = 0;
    QString logpath;                                   // empty: the data folder
    QString logname_prefix = QStringLiteral("moduletest");
    std::int32_t logfilesize_limited = 50000;
    int portbuffer = 2048;
    int showCRLF = 0;
    int UseGoogleMap = 0;
    int WithEnter = 1;

    std::uint32_t SentColor() const { return Pack(SdataColor_r, SdataColor_g, SdataColor_b); }
    std::uint32_t ReceivedColor() const { return Pack(RdataColor_r, RdataColor_g, RdataColor_b); }
    std::uint32_t BackgroundColor() const { return Pack(srbkColor_r, srbkColor_g, srbkColor_b); }
    std::uint32_t LeftBarColor() const { return Pack(leftbarColor_r, leftbarColor_g, leftbarColor_b); }

    void SetSentColor(std::uint32_t c) { Unpack(c, SdataColor_r, SdataColor_g, SdataColor_b); }
    void SetReceivedColor(std::uint32_t c) { Unpack(c, RdataColor_r, RdataColor_g, RdataColor_b); }
    void SetBackgroundColor(std::uint32_t c) { Unpack(c, srbkColor_r, srbkColor_g, srbkColor_b); }
    void SetLeftBarColor(std::uint32_t c) { Unpack(c, leftbarColor_r, leftbarColor_g, leftbarColor_b); }

    bool operator==(const SysParams&) const = default;

private:
    static std::uint32_t Pack(int r, int g, int b)
    {
        return std::uint32_t(r & 0xFF) | (std::uint32_t(g & 0xFF) << 8) | (std::uint32_t(b & 0xFF) << 16);
    }
    static void Unpack(std::uint32_t c, int& r, int& g, int& b)
    {
        r = int(c & 0xFF);
        g = int((c >> 8) & 0xFF);
        b = int((c >> 16) & 0xFF);
    }
};

// The program's instance, filled at start-up.
extern SysParams g_sysParams;
// Held while g_sysParams changes (start-up, the system-parameters dialog) and
// while a worker reads it: the workers read showsenddata through ShowSendData.
std::mutex& SysParamsLock();
bool ShowSendData();

// Everything sysparam.ini holds: the record plus the two values the
// application object keeps itself.
struct SysParamFile {
    SysParams params;
    // 0 when nothing is stored: the page host then gives the middle pane the
    // width its widest page needs.
    int widthMidView = 0;
    QString nmeaFilter = QStringLiteral("NMEA");
};

// param/sysparam.ini of the data folder.
QString SysParamIniPath();

// Reads the file; a missing file or key gives the default, a number that does
// not parse reads as 0 (portbuffer then as 2048), an empty nmea_filter as "NMEA".
SysParamFile ReadSysParams(const QString& path);

// Fills g_sysParams from SysParamIniPath() and returns the whole file's values.
SysParamFile LoadSysParams();

// What the system-parameters dialog saves: every key except GoogleMap,
// WithEnter, nmea_filter and width_midview; other keys and lines stay as they
// are. False when the file cannot be written.
bool SaveSysParams(const SysParams& params, const QString& path);

// The three keys with writers of their own (the frame's pane width, the map
// type commands, the send panel), each written alone to SysParamIniPath().
bool SaveWidthMidView(int width);
bool SaveUseGoogleMap(int useGoogleMap);
bool SaveWithEnter(int withEnter);

} // namespace ulv
