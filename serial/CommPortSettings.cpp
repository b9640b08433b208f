#include "serial/CommPortSettings.h"

#include "platform/DataFolder.h"
#include "platform/IniFile.h"

namespace ulv {

CommPortSettings g_commPortSettings;

namespace {
const char* const kSection = "commport";
}

QString CommPortIniPath()
{
    return ParamFolder() + "/commport.ini";
}

CommPortSettings ReadCommPortSettings(const QString& path)
{
    IniFile ini(path);
    CommPortSettings s;
    s.port = ini.GetString(kSection, "port", {});
    if (s.port == "-1")
        s.port.clear();
    s.baud = ini.GetInt(kSection, "bautrate", s.baud);
    s.dataBits = ini.GetInt(kSection, "databits", s.dataBits);
    s.stopBits = ini.GetInt(kSection, "stopbits", s.stopBits);
    s.parity = ini.GetInt(kSection, "verifymode", s.parity);
    s.flowCtrl = ini.GetInt(kSection, "flowctrl", s.flowCtrl);
    return s;
}

void LoadCommPortSettings()
{
    g_commPortSettings = ReadCommPortSettings(CommPortIniPath());
}

bool SaveCommPortSettings(const CommPortSettings& s, const QString& path)
{
    IniFile ini(path);
    ini.SetString(kSection, "port", s.port);
    ini.SetInt(kSection, "bautrate", s.baud);
    ini.SetInt(kSection, "databits", s.dataBits);
    ini.SetInt(kSection, "stopbits", s.stopBits);
    ini.SetInt(kSection, "verifymode", s.parity);
    ini.SetInt(kSection, "flowctrl", s.flowCtrl);
    return ini.Save();
}

} // namespace ulv
