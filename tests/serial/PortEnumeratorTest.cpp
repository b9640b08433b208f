#include "serial/PortEnumerator.h"
#include "serial/CDeviceList.h"
#include "serial/CSerialPort.h"
#include "PtyPair.h"
#include "common/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ulv;

namespace {

// A small sysfs tree: a built-in UART, a phantom UART slot, an FTDI adapter, a
// CDC-ACM device, two interfaces of a module bound to "option", and a virtual
// console with no device.
class FakeSysfs {
public:
    FakeSysfs()
    {
        root = dir.path() + "/sys";
        dev = dir.path() + "/dev";
        QDir().mkpath(dev);
        Uart("ttyS0", "pnp0/00:04", "serial", "4");
        Uart("ttyS1", "platform/serial8250", "serial8250", "0");
        UsbSerial("ttyUSB0", "1-2", "1-2:1.0", "ftdi_sio", "ftdi_sio", "", "FT232R USB UART");
        Acm("ttyACM0", "1-3", "1-3:1.0", "CDC Abstract Control Model", "Pocket Gadget");
        UsbSerial("ttyUSB2", "1-4", "1-4:1.2", "option1", "option", "Modem AT Port", "HSPA Module");
        UsbSerial("ttyUSB12", "1-4", "1-4:1.3", "option1", "option", "", "HSPA Module");
        QDir().mkpath(root + "/class/tty/tty0");
    }

    void Apply(QStringList moduleDrivers = {"option", "qcserial", "cdc_acm"})
    {
        PortEnumeratorOptions o;
        o.sysRoot = root;
        o.devRoot = dev;
        o.moduleDrivers = moduleDrivers;
        SetPortEnumeratorOptions(o);
    }
    ~FakeSysfs() { SetPortEnumeratorOptions({}); }

    QTemporaryDir dir;
    QString root, dev;

private:
    void Write(const QString& path, const QString& text)
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(text.toUtf8() + "\n");
    }
    void Link(const QString& target, const QString& link)
    {
        QDir().mkpath(QFileInfo(link).path());
        QDir().mkpath(target);
        QFile::link(target, link);
    }
    void BindDriver(const QString& devDir, const QString& driver)
    {
        Link(root + "/bus/drivers/" + driver, devDir + "/driver");
    }
    void ClassEntry(const QString& name, const QString& devDir)
    {
        QDir().mkpath(root + "/class/tty/" + name);
        Link(devDir, root + "/class/tty/" + name + "/device");
    }
    void Uart(const QString& name, const QString& where, const QString& driver, const QString& type)
    {
        const QString devDir = root + "/devices/" + where;
        QDir().mkpath(devDir);
        BindDriver(devDir, driver);
        ClassEntry(name, devDir);
        Write(root + "/class/tty/" + name + "/type", type);
    }
    void UsbSerial(const QString& name, const QString& usbDev, const QString& iface, const QString& portDriver,
        const QString& ifaceDriver, const QString& ifaceString, const QString& product)
    {
        const QString usbDir = root + "/devices/pci0000:00/usb1/" + usbDev;
        const QString ifaceDir = usbDir + "/" + iface;
        const QString portDir = ifaceDir + "/" + name;
        QDir().mkpath(portDir);
        Write(usbDir + "/product", product);
        Write(ifaceDir + "/bInterfaceNumber", "02");
        if (!ifaceString.isEmpty())
            Write(ifaceDir + "/interface", ifaceString);
        BindDriver(ifaceDir, ifaceDriver);
        BindDriver(portDir, portDriver);
        ClassEntry(name, portDir);
    }
    void Acm(const QString& name, const QString& usbDev, const QString& iface, const QString& ifaceString, const QString& product)
    {
        const QString usbDir = root + "/devices/pci0000:00/usb1/" + usbDev;
        const QString ifaceDir = usbDir + "/" + iface;
        QDir().mkpath(ifaceDir + "/tty/" + name);
        Write(usbDir + "/product", product);
        Write(ifaceDir + "/bInterfaceNumber", "00");
        Write(ifaceDir + "/interface", ifaceString);
        BindDriver(ifaceDir, "cdc_acm");
        ClassEntry(name, ifaceDir);
    }
};

} // namespace

TEST(PortEnumerator, ClassifiesEachKindOfPort)
{
    FakeSysfs fs;
    fs.Apply({"option", "qcserial"});
    const auto ports = EnumerateTtyPorts();
    struct Expect {
        const char* name;
        const char* kind;
        const char* friendly;
        int usb;
        bool module;
    } expected[] = {
        {"ttyACM0", "usb serial port", "CDC Abstract Control Model (ttyACM0)", 1, false},
        {"ttyS0", "serial port", "serial (ttyS0)", 0, false},
        {"ttyUSB0", "virtual serial port", "FT232R USB UART (ttyUSB0)", 1, false},
        {"ttyUSB2", "QCUSB", "Modem AT Port (ttyUSB2)", 1, true},
        {"ttyUSB12", "QCUSB", "HSPA Module (ttyUSB12)", 1, true},
    };
    ASSERT_EQ(ports.size(), std::size(expected));
    for (size_t i = 0; i < ports.size(); ++i) {
        EXPECT_EQ(ports[i].portName, expected[i].name);
        EXPECT_EQ(ports[i].devicePath, fs.dev + "/" + expected[i].name);
        EXPECT_EQ(ports[i].kind, expected[i].kind) << expected[i].name;
        EXPECT_EQ(ports[i].friendlyName, expected[i].friendly);
        EXPECT_EQ(ports[i].usb, expected[i].usb) << expected[i].name;
        EXPECT_EQ(ports[i].moduleUsb, expected[i].module) << expected[i].name;
    }
}

TEST(PortEnumerator, ModuleDriverListDecidesTheModulePorts)
{
    FakeSysfs fs;
    fs.Apply(); // the default list takes CDC-ACM modules in too
    EXPECT_EQ(IsModuleUsbPort(fs.dev + "/ttyACM0"), 1);
    EXPECT_EQ(IsModuleUsbPort(fs.dev + "/ttyUSB2"), 1);
    EXPECT_EQ(IsModuleUsbPort(fs.dev + "/ttyUSB0"), 0);
    EXPECT_EQ(IsModuleUsbPort(fs.dev + "/ttyS0"), 0);
    EXPECT_EQ(IsModuleUsbPort(fs.dev + "/ttyUSB1"), 0) << "ttyUSB1 must not match inside ttyUSB12";
    EXPECT_EQ(IsModuleUsbPort("/dev/pts/99"), 0);

    fs.Apply({"qcserial"});
    EXPECT_EQ(IsModuleUsbPort(fs.dev + "/ttyUSB2"), 0);
    std::vector<SerialCommEntry> list;
    ASSERT_TRUE(ReadSerialCommList(list));
    ASSERT_EQ(list.size(), 5u);
    EXPECT_EQ(list[0].kind, "usb serial port");
}

TEST(PortEnumerator, MissingTreeGivesEmptyListsAndAnError)
{
    PortEnumeratorOptions o;
    o.sysRoot = test::TempHome() + "/no-sys";
    SetPortEnumeratorOptions(o);
    std::vector<SerialCommEntry> list { {"x", "y"} };
    EXPECT_FALSE(ReadSerialCommList(list));
    EXPECT_TRUE(list.empty());
    std::vector<SerialPortInfo> ports;
    EXPECT_THROW(ListSerialPorts(ports, false), PortListError);
    SetPortEnumeratorOptions({});
}

TEST(PortEnumerator, DropBusyOmitsAPortAnotherOpenerHolds)
{
    FakeSysfs fs;
    fs.Apply();
    PtyPair held, free;
    QFile::link(held.SlavePath(), fs.dev + "/ttyUSB2");
    QFile::link(free.SlavePath(), fs.dev + "/ttyUSB0");

    CSerialPort holder;
    ASSERT_EQ(holder.OpenPort(nullptr, fs.dev + "/ttyUSB2", 115200, 'N', 8, 1, 0x1FD, 2048, 0), 1);

    std::vector<SerialPortInfo> all, available;
    ListSerialPorts(all, false);
    ListSerialPorts(available, true);
    EXPECT_EQ(all.size(), 5u);
    ASSERT_EQ(available.size(), 1u) << "only the free pty opens; the others have no device node";
    EXPECT_EQ(available[0].portName, "ttyUSB0");
    EXPECT_EQ(available[0].description, "FT232R USB UART");
}

TEST(CDeviceList, CountsEveryNameHoldingThePattern)
{
    FakeSysfs fs;
    fs.Apply();
    CDeviceList devices;
    EXPECT_EQ(devices.Find("(ttyUSB"), 3);
    EXPECT_EQ(devices.Find("Modem AT Port (ttyUSB2)"), 1);
    EXPECT_EQ(devices.Names().size(), 5);
    EXPECT_EQ(devices.Find("nothing like it"), 0);
}

TEST(PortEnumerator, PortNamesSortByTheirNumbers)
{
    QStringList names {"ttyUSB10", "ttyUSB3", "ttyS0", "ttyUSB4", "ttyACM1"};
    std::sort(names.begin(), names.end(), PortNameLess);
    EXPECT_EQ(names, (QStringList {"ttyACM1", "ttyS0", "ttyUSB3", "ttyUSB4", "ttyUSB10"}));
}
