#include "Probe.h"

#include "platform/MessageBox.h"
#include "serial/CSerialPort.h"
#include "serial/PortEnumerator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QObject>

using namespace ulv;

namespace {

class Collector : public QObject {
public:
    QByteArray received;
    bool hungUp = false;
    bool event(QEvent* e) override
    {
        if (e->type() == MessageEventType(WM_SERIAL_DATA) || e->type() == MessageEventType(WM_SERIAL_DATA_SYNC)) {
            received += static_cast<SerialEvent*>(e)->Data();
            return true;
        }
        if (e->type() == MessageEventType(WM_SERIAL_HANGUP)) {
            hungUp = true;
            return true;
        }
        return QObject::event(e);
    }
};

// Boxes become lines on stderr: the probe has no desktop.
class StderrBoxes : public MessageBoxService {
public:
    int Show(const QString& text, const QString&, unsigned) override
    {
        ulvprobe::PrintError(text);
        return IDOK;
    }
};

ulvprobe::Command ports("ports", "ports   (one JSON line per port)", [](const QStringList&) {
    std::vector<SerialPortInfo> list;
    try {
        ListSerialPorts(list, false);
    } catch (const PortListError& e) {
        ulvprobe::PrintError(QString::fromStdString(e.what()));
        return 2;
    }
    for (const SerialPortInfo& p : list) {
        ulvprobe::Print(QString("{\"path\":%1,\"friendly\":%2,\"kind\":%3,\"usb\":%4,\"module\":%5}")
                            .arg(ulvprobe::JsonString(p.devicePath), ulvprobe::JsonString(p.friendlyName),
                                ulvprobe::JsonString(p.kind), p.usb ? "true" : "false", p.moduleUsb ? "true" : "false"));
    }
    return 0;
});

ulvprobe::Command send("send", "send PORT HEX [--baud N] [--read-ms N]", [](const QStringList& argsIn) {
    QStringList args = argsIn;
    bool ok = true;
    const int baud = ulvprobe::TakeOption(args, "--baud", "115200").toInt(&ok);
    bool ok2 = true;
    const int readMs = ulvprobe::TakeOption(args, "--read-ms", "500").toInt(&ok2);
    if (args.size() != 2 || !ok || !ok2 || baud <= 0 || readMs < 0) {
        ulvprobe::PrintError("usage: ulvprobe send PORT HEX [--baud N] [--read-ms N]");
        return 2;
    }
    const QByteArray hex = args[1].toLatin1().replace(' ', "");
    const QByteArray bytes = QByteArray::fromHex(hex);
    if (hex.size() % 2 != 0 || bytes.toHex() != hex.toLower()) {
        ulvprobe::PrintError("not a hex string: " + args[1]);
        return 2;
    }
    StderrBoxes boxes;
    SetMessageBoxService(&boxes);
    Collector collector;
    CSerialPort port;
    if (!port.OpenPort(&collector, args[0], baud, 'N', 8, 1, 0x1FD, 2048, 0)) {
        ulvprobe::PrintError("cannot open " + args[0] + ": missing, not a serial port, or held by another program");
        SetMessageBoxService(nullptr);
        return 2;
    }
    port.StartMonitor();
    port.PostWrite(bytes);
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < readMs && !collector.hungUp)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    port.ClosePort();
    QCoreApplication::processEvents();
    SetMessageBoxService(nullptr);
    ulvprobe::Print(QString::fromLatin1(collector.received.toHex(' ')));
    return 0;
});

} // namespace
