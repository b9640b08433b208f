#pragma once

#include <QString>

namespace ulv {

// The main port's six parameters, kept in param/commport.ini, section "commport".
struct CommPortSettings {
    QString port;      // device path; empty: none chosen
    int baud = 115200;
    int dataBits = 8;  // 4 to 8
    int stopBits = 1;  // 1 or 2
    int parity = 0;    // 0 None, 1 Odd, 2 Even, 3 CRC (index into the dialog's list)
    int flowCtrl = 0;  // 0 none, 1 hardware, 2 XON/XOFF: CSerialPort's flow mode

    bool HasPort() const { return !port.isEmpty(); }
    bool operator==(const CommPortSettings&) const = default;
};

// The program's instance.
extern CommPortSettings g_commPortSettings;

// param/commport.ini of the data folder.
QString CommPortIniPath();

// Reads the file; a missing file or key gives the default, a number that does
// not parse reads as 0 (as the C library's conversion did). "-1" in "port" (what
// the Windows program stored for "none") reads as none.
CommPortSettings ReadCommPortSettings(const QString& path);
// Fills g_commPortSettings from CommPortIniPath(); done once at start-up.
void LoadCommPortSettings();
// Writes the six keys in their order as decimal texts ("port" holds the path).
// False when the file cannot be written.
bool SaveCommPortSettings(const CommPortSettings& settings, const QString& path);

} // namespace ulv
