#include "shell/core/SysParams.h"

#include "platform/DataFolder.h"
#include "platform/IniFile.h"

namespace ulv {

SysParams g_sysParams;

namespace {

const QString kCommSR = QStringLiteral("commSRdata");
const QString kLeftBar = QStringLiteral("leftcontrolbar");
const QString kSysParam = QStringLiteral("sysparam");
const QString kStartSet = QStringLiteral("startset");
const QString kFunction = QStringLiteral("function");

constexpr int kDefaultPortBuffer = 2048;

} // namespace

QString SysParamIniPath()
{
    return ParamFolder() + "/sysparam.ini";
}

SysParamFile ReadSysParams(const QString& path)
{
    const IniFile ini(path);
    SysParamFile f;
    SysParams& p = f.params;
    // Every value is read as text and converted the way atoi does, so a key
    // holding garbage reads as 0 rather than as its default.
    auto num = [&](const QString& section, const char* key, int& field) {
        field = ParseLeadingInt(ini.GetString(section, key, QString::number(field)), 0);
    };
    num(kCommSR, "SdataColor_r", p.SdataColor_r);
    num(kCommSR, "SdataColor_g", p.SdataColor_g);
    num(kCommSR, "SdataColor_b", p.SdataColor_b);
    num(kCommSR, "RdataColor_r", p.RdataColor_r);
    num(kCommSR, "RdataColor_g", p.RdataColor_g);
    num(kCommSR, "RdataColor_b", p.RdataColor_b);
    num(kCommSR, "srbkColor_r", p.srbkColor_r);
    num(kCommSR, "srbkColor_g", p.srbkColor_g);
    num(kCommSR, "srbkColor_b", p.srbkColor_b);
    num(kCommSR, "portbuffer", p.portbuffer);
    if (p.portbuffer <= 0)
        p.portbuffer = kDefaultPortBuffer;
    num(kLeftBar, "leftbarColor_r", p.leftbarColor_r);
    num(kLeftBar, "leftbarColor_g", p.leftbarColor_g);
    num(kLeftBar, "leftbarColor_b", p.leftbarColor_b);
    num(kSysParam, "showmaximized", p.showmaximized);
    num(kSysParam, "nwidth", p.nwidth);
    num(kSysParam, "nheight", p.nheight);
    num(kCommSR, "showsenddata", p.showsenddata);
    num(kCommSR, "showreceivedata", p.showreceivedata);
    num(kStartSet, "showleftview", p.showleftview);
    num(kCommSR, "showtime", p.showtime);
    num(kFunction, "useoldmcu", p.useoldmcu);
    num(kFunction, "showCRLF", p.showCRLF);
    num(kFunction, "GoogleMap", p.UseGoogleMap);
    num(kFunction, "WithEnter", p.WithEnter);
    f.nmeaFilter = ini.GetString(kFunction, "nmea_filter", f.nmeaFilter);
    if (f.nmeaFilter.isEmpty())
        f.nmeaFilter = QStringLiteral("NMEA");
    num(kSysParam, "savelog", p.savelog);
    p.logpath = ini.GetString(kSysParam, "logpath", p.logpath);
    p.logname_prefix = ini.GetString(kSysParam, "logname_prefix", p.logname_prefix);
    int sizeLimit = p.logfilesize_limited;
    num(kSysParam, "logfilesize_limited", sizeLimit);
    p.logfilesize_limited = sizeLimit;
    num(kSysParam, "width_midview", f.widthMidView);
    return f;
}

std::mutex& SysParamsLock()
{
    static std::mutex lock;
    return lock;
}

bool ShowSendData()
{
    std::lock_guard lock(SysParamsLock());
    return g_sysParams.showsenddata != 0;
}

SysParamFile LoadSysParams()
{
    SysParamFile f = ReadSysParams(SysParamIniPath());
    {
        std::lock_guard lock(SysParamsLock());
        g_sysParams = f.params;
    }
    return f;
}

bool SaveSysParams(const SysParams& p, const QString& path)
{
    IniFile ini(path);
    ini.SetInt(kCommSR, "SdataColor_r", p.SdataColor_r);
    ini.SetInt(kCommSR, "SdataColor_g", p.SdataColor_g);
    ini.SetInt(kCommSR, "SdataColor_b", p.SdataColor_b);
    ini.SetInt(kCommSR, "RdataColor_r", p.RdataColor_r);
    ini.SetInt(kCommSR, "RdataColor_g", p.RdataColor_g);
    ini.SetInt(kCommSR, "RdataColor_b", p.RdataColor_b);
    ini.SetInt(kCommSR, "portbuffer", p.portbuffer);
    ini.SetInt(kCommSR, "srbkColor_r", p.srbkColor_r);
    ini.SetInt(kCommSR, "srbkColor_g", p.srbkColor_g);
    ini.SetInt(kCommSR, "srbkColor_b", p.srbkColor_b);
    ini.SetInt(kLeftBar, "leftbarColor_r", p.leftbarColor_r);
    ini.SetInt(kLeftBar, "leftbarColor_g", p.leftbarColor_g);
    ini.SetInt(kLeftBar, "leftbarColor_b", p.leftbarColor_b);
    ini.SetInt(kCommSR, "showsenddata", p.showsenddata);
    ini.SetInt(kCommSR, "showreceivedata", p.showreceivedata);
    ini.SetInt(kStartSet, "showleftview", p.showleftview);
    ini.SetInt(kCommSR, "showtime", p.showtime);
    ini.SetInt(kFunction, "useoldmcu", p.useoldmcu);
    ini.SetInt(kFunction, "showCRLF", p.showCRLF);
    ini.SetInt(kSysParam, "showmaximized", p.showmaximized);
    ini.SetInt(kSysParam, "nwidth", p.nwidth);
    ini.SetInt(kSysParam, "nheight", p.nheight);
    ini.SetInt(kSysParam, "savelog", p.savelog);
    ini.SetString(kSysParam, "logpath", p.logpath);
    ini.SetString(kSysParam, "logname_prefix", p.logname_prefix);
    ini.SetInt(kSysParam, "logfilesize_limited", p.logfilesize_limited);
    return ini.Save();
}

bool SaveWidthMidView(int width)
{
    return IniWriteInt(SysParamIniPath(), kSysParam, "width_midview", width);
}

bool SaveUseGoogleMap(int useGoogleMap)
{
    return IniWriteInt(SysParamIniPath(), kFunction, "GoogleMap", useGoogleMap);
}

bool SaveWithEnter(int withEnter)
{
    return IniWriteInt(SysParamIniPath(), kFunction, "WithEnter", withEnter);
}

} // namespace ulv
