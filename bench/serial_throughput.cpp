// Pushes 64 MiB through a pseudo-terminal pair at full speed, once into a plain
// read() loop and once into CSerialPort with its owner on an event loop, checks
// every byte and prints both rates.
//   build/bench/serial_throughput [MiB]
#include "serial/CSerialPort.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QObject>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace ulv;

namespace {

struct Pty {
    int master = -1;
    int slaveKeep = -1;
    QString slavePath;
    Pty()
    {
        master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        grantpt(master);
        unlockpt(master);
        slavePath = QString::fromLocal8Bit(ptsname(master));
        slaveKeep = ::open(ptsname(master), O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios tio {};
        tcgetattr(slaveKeep, &tio);
        cfmakeraw(&tio);
        tcsetattr(slaveKeep, TCSANOW, &tio);
    }
    ~Pty()
    {
        ::close(master);
        ::close(slaveKeep);
    }
};

QByteArray Pattern(qsizetype size)
{
    QByteArray data(size, Qt::Uninitialized);
    std::uint32_t s = 12345;
    for (qsizetype i = 0; i < size; ++i) {
        s = s * 1103515245u + 12345u;
        data[i] = char(s >> 24);
    }
    return data;
}

void WriteAll(int fd, const QByteArray& data)
{
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.constData() + done, size_t(std::min<qsizetype>(65536, data.size() - done)));
        if (n > 0)
            done += n;
    }
}

class Sink : public QObject {
public:
    explicit Sink(qsizetype expect) { received.reserve(expect); }
    QByteArray received;
    bool event(QEvent* e) override
    {
        if (e->type() == MessageEventType(WM_SERIAL_DATA)) {
            received += static_cast<SerialEvent*>(e)->Data();
            return true;
        }
        return QObject::event(e);
    }
};

double PlainLoop(const QByteArray& data, bool& exact)
{
    Pty pty;
    const int fd = ::open(pty.slavePath.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    QByteArray got;
    got.reserve(data.size());
    QElapsedTimer t;
    t.start();
    std::thread writer([&] { WriteAll(pty.master, data); });
    char buf[32768];
    while (got.size() < data.size()) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n > 0)
            got.append(buf, n);
    }
    const double secs = t.nsecsElapsed() / 1e9;
    writer.join();
    ::close(fd);
    exact = got == data;
    return data.size() / secs / 1e6;
}

double SerialPortLoop(const QByteArray& data, bool& exact)
{
    Pty pty;
    Sink sink(data.size());
    CSerialPort port;
    if (!port.OpenPort(&sink, pty.slavePath, 115200, 'N', 8, 1, 0x1FD, 2048, 0))
        return 0;
    port.StartMonitor();
    QElapsedTimer t;
    t.start();
    std::thread writer([&] { WriteAll(pty.master, data); });
    while (sink.received.size() < data.size())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double secs = t.nsecsElapsed() / 1e9;
    writer.join();
    port.ClosePort();
    exact = sink.received == data;
    return data.size() / secs / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int mib = argc > 1 ? std::max(1, atoi(argv[1])) : 64;
    const QByteArray data = Pattern(qsizetype(mib) * 1024 * 1024);
    bool plainExact = false, portExact = false;
    const double plain = PlainLoop(data, plainExact);
    const double ours = SerialPortLoop(data, portExact);
    std::printf("bytes: %lld\n", static_cast<long long>(data.size()));
    std::printf("plain read() loop: %.1f MB/s (%s)\n", plain, plainExact ? "every byte" : "MISMATCH");
    std::printf("CSerialPort:       %.1f MB/s (%s)\n", ours, portExact ? "every byte" : "MISMATCH");
    std::printf("ratio: %.2f\n", plain > 0 ? ours / plain : 0.0);
    return plainExact && portExact ? 0 : 1;
}
