#include "serial/PortEnumerator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <sys/file.h>
#include <unistd.h>

namespace ulv {

namespace {

std::mutex g_optionsLock;
PortEnumeratorOptions g_options;

QString ReadAttr(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.read(4096)).trimmed();
}

QString DriverOf(const QString& devDir)
{
    const QFileInfo link(devDir + "/driver");
    if (!link.isSymLink() && !link.exists())
        return {};
    return QFileInfo(link.symLinkTarget()).fileName();
}

// usb-serial port devices are bound to a per-port driver named after the
// interface driver with a number ("option1"); compare by the stem.
QString DriverStem(const QString& driver)
{
    QString s = driver;
    while (!s.isEmpty() && s.back().isDigit())
        s.chop(1);
    return s;
}

bool IsModuleDriver(const QStringList& drivers, const QStringList& moduleDrivers)
{
    for (const QString& d : drivers)
        if (!d.isEmpty() && (moduleDrivers.contains(d) || moduleDrivers.contains(DriverStem(d))))
            return true;
    return false;
}

QString KindOf(bool usb, const QString& driver, bool module)
{
    if (module)
        return QStringLiteral("QCUSB");
    if (!usb)
        return driver.isEmpty() ? QString() : QStringLiteral("serial port");
    if (DriverStem(driver) == QLatin1String("cdc_acm"))
        return QStringLiteral("usb serial port");
    return QStringLiteral("virtual serial port");
}

std::optional<SerialPortInfo> Describe(const PortEnumeratorOptions& o, const QString& name)
{
    const QString classDir = o.sysRoot + "/class/tty/" + name;
    const QFileInfo deviceLink(classDir + "/device");
    if (!deviceLink.exists())
        return std::nullopt; // virtual consoles, ptys: no device behind them
    // A built-in UART slot without hardware reports type 0.
    const QString type = ReadAttr(classDir + "/type");
    if (!type.isEmpty() && type == QLatin1String("0"))
        return std::nullopt;

    const QString devDir = deviceLink.canonicalFilePath();
    const QString parentDir = QFileInfo(devDir).path();
    QString ifaceDir;
    if (QFileInfo::exists(devDir + "/bInterfaceNumber"))
        ifaceDir = devDir;
    else if (QFileInfo::exists(parentDir + "/bInterfaceNumber"))
        ifaceDir = parentDir;
    const bool usb = !ifaceDir.isEmpty();

    // Newer kernels put generic "port" and "ctrl" devices between a UART and its
    // tty; the UART's own driver, further up, names it better.
    QString devDriver = DriverOf(devDir);
    for (QString up = devDir; devDriver == QLatin1String("port") || devDriver == QLatin1String("ctrl");) {
        up = QFileInfo(up).path();
        devDriver = DriverOf(up);
    }
    const QString ifaceDriver = usb ? DriverOf(ifaceDir) : QString();
    const QString driver = !ifaceDriver.isEmpty() ? ifaceDriver : devDriver;

    QString label;
    if (usb) {
        label = ReadAttr(ifaceDir + "/interface");
        if (label.isEmpty())
            label = ReadAttr(QFileInfo(ifaceDir).path() + "/product");
    }
    if (label.isEmpty())
        label = driver;

    SerialPortInfo info;
    info.portName = name;
    info.devicePath = o.devRoot + "/" + name;
    info.friendlyName = label.isEmpty() ? QString() : label + " (" + name + ")";
    info.usb = usb ? 1 : 0;
    info.moduleUsb = usb && IsModuleDriver({ifaceDriver, devDriver}, o.moduleDrivers);
    info.kind = KindOf(usb, driver, info.moduleUsb);
    return info;
}

bool CanOpenExclusively(const QString& path)
{
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
}

QString Resolved(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

} // namespace

void SetPortEnumeratorOptions(const PortEnumeratorOptions& options)
{
    std::lock_guard<std::mutex> g(g_optionsLock);
    g_options = options;
}

PortEnumeratorOptions GetPortEnumeratorOptions()
{
    std::lock_guard<std::mutex> g(g_optionsLock);
    PortEnumeratorOptions o = g_options;
    const QString env = qEnvironmentVariable("ULVENSCOPE_MODULE_DRIVERS");
    if (!env.isEmpty())
        o.moduleDrivers = env.split(',', Qt::SkipEmptyParts);
    for (const QString& entry : qEnvironmentVariable("ULVENSCOPE_EXTRA_PORTS").split(';', Qt::SkipEmptyParts)) {
        const qsizetype eq = entry.indexOf('=');
        const QString path = (eq < 0 ? entry : entry.left(eq)).trimmed();
        if (!path.isEmpty())
            o.extraPorts.push_back({path, eq < 0 ? QString() : entry.mid(eq + 1).trimmed()});
    }
    return o;
}

bool PortNameLess(const QString& a, const QString& b)
{
    int i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            int ie = i, je = j;
            while (ie < a.size() && a[ie].isDigit())
                ++ie;
            while (je < b.size() && b[je].isDigit())
                ++je;
            QString na = a.mid(i, ie - i), nb = b.mid(j, je - j);
            while (na.size() > 1 && na.front() == '0')
                na.remove(0, 1);
            while (nb.size() > 1 && nb.front() == '0')
                nb.remove(0, 1);
            if (na.size() != nb.size())
                return na.size() < nb.size();
            if (na != nb)
                return na < nb;
            i = ie;
            j = je;
            continue;
        }
        if (a[i] != b[j])
            return a[i] < b[j];
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

std::vector<SerialPortInfo> EnumerateTtyPorts()
{
    const PortEnumeratorOptions o = GetPortEnumeratorOptions();
    QStringList names = QDir(o.sysRoot + "/class/tty").entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System);
    std::sort(names.begin(), names.end(), PortNameLess);
    std::vector<SerialPortInfo> ports;
    for (const QString& name : names)
        if (auto info = Describe(o, name))
            ports.push_back(*info);
    for (const auto& extra : o.extraPorts) {
        SerialPortInfo info;
        info.devicePath = extra.path;
        info.portName = QFileInfo(extra.path).fileName();
        info.friendlyName = extra.label.isEmpty() ? QString() : extra.label + " (" + info.portName + ")";
        ports.push_back(info);
    }
    return ports;
}

bool ReadSerialCommList(std::vector<SerialCommEntry>& list)
{
    list.clear();
    const PortEnumeratorOptions o = GetPortEnumeratorOptions();
    if (!QFileInfo(o.sysRoot + "/class/tty").isDir())
        return false;
    for (const SerialPortInfo& p : EnumerateTtyPorts())
        list.push_back({p.kind, p.devicePath});
    return true;
}

int IsModuleUsbPort(const QString& portName)
{
    std::vector<SerialCommEntry> list;
    if (!ReadSerialCommList(list))
        return 0;
    const QString wanted = Resolved(portName);
    for (const SerialCommEntry& e : list) {
        if (e.portName == portName || Resolved(e.portName) == wanted)
            return e.kind.contains(QLatin1String("QCUSB")) ? 1 : 0;
    }
    return 0;
}

void ListSerialPorts(std::vector<SerialPortInfo>& ports, bool dropBusy)
{
    ports.clear();
    const PortEnumeratorOptions o = GetPortEnumeratorOptions();
    if (!QFileInfo(o.sysRoot + "/class/tty").isDir())
        throw PortListError(("Could not read from " + o.sysRoot + "/class/tty").toStdString());
    for (SerialPortInfo& p : EnumerateTtyPorts()) {
        if (dropBusy && !CanOpenExclusively(p.devicePath))
            continue;
        if (p.friendlyName.isEmpty())
            p.friendlyName = p.portName;
        if (p.description.isEmpty()) {
            p.description = p.friendlyName;
            const int cut = p.description.indexOf(" (");
            if (cut > 0 && p.description.endsWith(')'))
                p.description.truncate(cut);
        }
        ports.push_back(p);
    }
}

} // namespace ulv
