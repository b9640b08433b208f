#pragma once

#include <QString>
#include <QStringList>
#include <stdexcept>
#include <vector>

namespace ulv {

// A serial port as the system's port map lists it: kind and port name (here the
// device path). Kinds: "serial port" (a built-in UART), "virtual serial port"
// (a USB-serial adapter), "usb serial port" (a CDC-ACM device), "QCUSB" (one of
// the module's own USB serial ports), or empty.
struct SerialCommEntry {
    QString kind;
    QString portName;
};

struct SerialPortInfo {
    QString devicePath;   // /dev/ttyUSB2
    QString portName;     // ttyUSB2
    QString friendlyName; // "Modem AT Port (ttyUSB2)"
    int usb = 0;          // 1 when the port sits on USB
    QString description;  // the friendly name without " (ttyUSB2)"
    QString kind;         // as SerialCommEntry::kind
    bool moduleUsb = false;
};

// Where the enumerator looks, and which drivers make a port one of the module's
// own USB ports. Tests point the roots at a fake tree.
struct PortEnumeratorOptions {
    QString sysRoot = QStringLiteral("/sys");
    QString devRoot = QStringLiteral("/dev");
    // Overridden by $ULVENSCOPE_MODULE_DRIVERS (comma-separated) when set.
    QStringList moduleDrivers = {QStringLiteral("option"), QStringLiteral("qcserial"), QStringLiteral("cdc_acm")};
    // Ports with no device in sysfs (a simulated module's pseudo-terminals),
    // listed after the others as "<label> (<name>)". From
    // $ULVENSCOPE_EXTRA_PORTS: "PATH=LABEL" entries separated by ';'.
    struct ExtraPort {
        QString path;
        QString label;
    };
    std::vector<ExtraPort> extraPorts;
};
void SetPortEnumeratorOptions(const PortEnumeratorOptions& options);
PortEnumeratorOptions GetPortEnumeratorOptions();

// Every tty with a device behind it, in name order (ttyACM0, ttyS0, ttyUSB2 …;
// numbers compared as numbers). Phantom built-in UARTs (no hardware) are left out.
std::vector<SerialPortInfo> EnumerateTtyPorts();

// The port map. False when the tty class cannot be read (the list is then empty).
bool ReadSerialCommList(std::vector<SerialCommEntry>& list);
// 1 when the port (a device path; a link to one counts as the path it names) is
// one of the module's own USB ports. Whole paths are compared, so ttyUSB1 never
// matches ttyUSB12.
int IsModuleUsbPort(const QString& portName);

// Raised by ListSerialPorts with its text.
class PortListError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Fills ports with every port; with dropBusy, ports that cannot be opened (held by
// another program, or gone) are left out. An empty friendly name becomes the
// port name; an empty description becomes the friendly name cut before " (".
void ListSerialPorts(std::vector<SerialPortInfo>& ports, bool dropBusy);

// Orders port names by their text with embedded numbers compared as numbers.
bool PortNameLess(const QString& a, const QString& b);

} // namespace ulv
