#include "serial/CSerialPort.h"

#include "platform/Gui.h"
#include "platform/MessageBox.h"
#include "serial/CustomBaud.h"

#include <QCoreApplication>
#include <QObject>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace ulv {

namespace {

std::atomic<std::uint64_t> g_nextPortId{1};

// Line sampling interval while the device has modem lines: Linux has no event
// for a line change that could join the poll set.
constexpr int kLinePollMs = 100;

speed_t StandardSpeed(int baud)
{
    switch (baud) {
    case 50: return B50;
    case 75: return B75;
    case 110: return B110;
    case 134: return B134;
    case 150: return B150;
    case 200: return B200;
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 1800: return B1800;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    case 460800: return B460800;
    case 500000: return B500000;
    case 576000: return B576000;
    case 921600: return B921600;
    case 1000000: return B1000000;
    case 1152000: return B1152000;
    case 1500000: return B1500000;
    case 2000000: return B2000000;
    case 2500000: return B2500000;
    case 3000000: return B3000000;
    case 3500000: return B3500000;
    case 4000000: return B4000000;
    default: return B0;
    }
}

std::optional<int> ReadModemLines(int fd)
{
    int bits = 0;
    if (ioctl(fd, TIOCMGET, &bits) != 0)
        return std::nullopt;
    return bits;
}

} // namespace

// Bytes posted to the owner and not yet handled. Shared with the events, so the
// wake-up descriptor outlives the port when events are still queued.
struct CSerialPort::Budget {
    std::atomic<std::int64_t> inFlight{0};
    int wakeFd = -1;
    Budget()
        : wakeFd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
    {
    }
    ~Budget()
    {
        if (wakeFd >= 0)
            ::close(wakeFd);
    }
    void Wake()
    {
        const std::uint64_t one = 1;
        [[maybe_unused]] ssize_t r = ::write(wakeFd, &one, sizeof one);
    }
    void Release(std::int64_t n)
    {
        inFlight.fetch_sub(n);
        Wake();
    }
};

CSerialPort::CSerialPort()
    : m_lineReader(ReadModemLines)
{
}

CSerialPort::~CSerialPort()
{
    ClosePort();
}

void CSerialPort::Wake()
{
    if (m_budget)
        m_budget->Wake();
}

int CSerialPort::OpenPort(QObject* owner, const QString& port, int baud, char parity, int dataBits, int stopBits,
    unsigned eventMask, int bufferSize, int flowMode)
{
    ClosePort();
    m_setupFailed = false;

    m_nFlowMode = flowMode;
    m_pOwnerWnd = owner;
    m_port = port;
    m_nBaud = baud;
    m_cParity = parity;
    m_nDataBits = dataBits;
    m_nStopBits = stopBits;
    m_dwEventMask = eventMask;
    m_nWriteCapacity = bufferSize;

    const QByteArray path = port.toLocal8Bit();
    if (path.isEmpty())
        return 0;
    int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return 0;
    // Exclusive: TIOCEXCL keeps other openers out (except root), the lock keeps
    // out every program that asks first, as this one does.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return 0;
    }
    ioctl(fd, TIOCEXCL);
    m_fd = fd;
    m_portId = g_nextPortId.fetch_add(1);
    {
        std::lock_guard<std::mutex> g(m_writeLock);
        m_budget = std::make_shared<Budget>();
        m_writable = true;
        DropQueuedWrites();
    }

    if (!Configure()) {
        m_setupFailed = true;
        ClosePort();
        return 0;
    }
    // The receive direction is flushed here and only here: whatever the device
    // held from before this session is stale; later bytes are all the module's.
    tcflush(m_fd, TCIOFLUSH);
    return 1;
}

bool CSerialPort::Configure()
{
    termios tio {};
    if (tcgetattr(m_fd, &tio) != 0) {
        ShowCommError("GetCommState()", errno);
        return false;
    }
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    // Reads return what is there; with O_NONBLOCK an empty device then answers
    // EAGAIN, and 0 means the other side is gone.
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;

    tio.c_cflag &= ~CRTSCTS;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    if (m_nFlowMode == FlowHardware) {
        tio.c_cflag |= CRTSCTS;
    } else if (m_nFlowMode == FlowXonXoff) {
        tio.c_iflag |= IXON | IXOFF;
        tio.c_cc[VSTART] = 17;
        tio.c_cc[VSTOP] = 19;
    }

    bool valid = true;
    tio.c_cflag &= ~CSIZE;
    switch (m_nDataBits) {
    case 5: tio.c_cflag |= CS5; break;
    case 6: tio.c_cflag |= CS6; break;
    case 7: tio.c_cflag |= CS7; break;
    case 8: tio.c_cflag |= CS8; break;
    default: valid = false; break;
    }
    if (m_nStopBits == 2)
        tio.c_cflag |= CSTOPB;
    else if (m_nStopBits == 1)
        tio.c_cflag &= ~CSTOPB;
    else
        valid = false;
    tio.c_cflag &= ~(PARENB | PARODD | CMSPAR);
    switch (m_cParity) {
    case 'N': case 'n': break;
    case 'O': case 'o': tio.c_cflag |= PARENB | PARODD; break;
    case 'E': case 'e': tio.c_cflag |= PARENB; break;
    case 'M': case 'm': tio.c_cflag |= PARENB | PARODD | CMSPAR; break;
    case 'S': case 's': tio.c_cflag |= PARENB | CMSPAR; break;
    default: valid = false; break;
    }
    const speed_t speed = StandardSpeed(m_nBaud);
    if (m_nBaud <= 0)
        valid = false;
    if (!valid) {
        ShowCommError("BuildCommDCB()", EINVAL);
        return false;
    }
    if (speed != B0)
        cfsetspeed(&tio, speed);
    if (tcsetattr(m_fd, TCSANOW, &tio) != 0) {
        ShowCommError("SetCommState()", errno);
        return false;
    }
    if (speed == B0) {
        if (const int err = SetCustomBaud(m_fd, m_nBaud)) {
            ShowCommError("SetCommState()", err);
            return false;
        }
    }
    // DTR and RTS follow the flow mode; devices without lines refuse quietly.
    int lines = TIOCM_RTS;
    ioctl(m_fd, TIOCMBIS, &lines);
    lines = TIOCM_DTR;
    ioctl(m_fd, m_nFlowMode == FlowHardware ? TIOCMBIC : TIOCMBIS, &lines);
    return true;
}

int CSerialPort::StartMonitor()
{
    if (m_fd < 0 || m_monitor.joinable())
        return m_monitor.joinable() ? 1 : 0;
    m_stop.store(false);
    m_bMonitorAlive.store(true);
    m_monitor = std::thread([this] { CommThread(); });
    return 1;
}

int CSerialPort::StopMonitor()
{
    m_stop.store(true);
    Wake();
    if (m_monitor.joinable()) {
        if (m_monitor.get_id() == std::this_thread::get_id())
            m_monitor.detach();
        else
            m_monitor.join();
    }
    m_bMonitorAlive.store(false);
    return 1;
}

bool CSerialPort::StopMonitorWithin(std::chrono::milliseconds limit)
{
    m_stop.store(true);
    Wake();
    if (!m_monitor.joinable() || m_monitor.get_id() == std::this_thread::get_id())
        return StopMonitor() == 1;
    bool ended;
    {
        std::unique_lock<std::mutex> g(m_aliveLock);
        ended = m_aliveChanged.wait_for(g, limit, [this] { return !m_bMonitorAlive.load(); });
    }
    if (!ended) {
        m_monitor.detach();
        return false;
    }
    m_monitor.join();
    return true;
}

void CSerialPort::DropQueuedWrites()
{
    m_writeQueue.clear();
    m_writeOffset = 0;
    m_writeQueued = 0;
}

void CSerialPort::TerminateMonitor()
{
    StopMonitor();
    std::lock_guard<std::mutex> g(m_writeLock);
    DropQueuedWrites();
}

void CSerialPort::ClosePort()
{
    TerminateMonitor();
    {
        // Writers on other threads may still hold this object: from here on they
        // are refused, and none of them can wake through a descriptor that is
        // about to be closed (and perhaps reused by the next open).
        std::lock_guard<std::mutex> g(m_writeLock);
        m_writable = false;
        DropQueuedWrites();
        m_budget.reset();
    }
    if (m_fd >= 0) {
        // The exclusive mode outlives this descriptor when another one stays
        // open (a pseudo-terminal's other side): give the device back.
        ioctl(m_fd, TIOCNXCL);
        ::flock(m_fd, LOCK_UN);
        ::close(m_fd);
    }
    m_fd = -1;
}

int CSerialPort::PostWrite(const char* data, int length)
{
    if (length < 0 || (length > 0 && !data))
        return 0;
    std::shared_ptr<Budget> budget;
    {
        std::lock_guard<std::mutex> g(m_writeLock);
        if (!m_writable)
            return 0;
        if (length == 0)
            return 1;
        if (m_writeQueued + length > kWriteQueueLimit)
            return 0;
        m_writeQueue.emplace_back(data, length);
        m_writeQueued += length;
        budget = m_budget;
    }
    budget->Wake();
    return 1;
}

std::int64_t CSerialPort::PendingWriteBytes() const
{
    std::lock_guard<std::mutex> g(m_writeLock);
    return m_writeQueued;
}

int CSerialPort::SetRTS(bool on)
{
    if (m_fd < 0)
        return 0;
    int bit = TIOCM_RTS;
    return ioctl(m_fd, on ? TIOCMBIS : TIOCMBIC, &bit) == 0 ? 1 : 0;
}

int CSerialPort::SetDTR(bool on)
{
    if (m_fd < 0)
        return 0;
    int bit = TIOCM_DTR;
    return ioctl(m_fd, on ? TIOCMBIS : TIOCMBIC, &bit) == 0 ? 1 : 0;
}

void CSerialPort::SetSyncNotify(bool sync)
{
    m_bSyncNotify.store(sync);
}

void CSerialPort::ShowCommError(const QString& step, int error)
{
    const QString text = QString("WARNING:  %1 Failed with the following error: \n%2\nPort: %3\n"
                                 "Please make sure the Serial Port Cable is connected normally ! ")
                             .arg(step, QString::fromLocal8Bit(std::strerror(error)), m_port);
    if (std::this_thread::get_id() == m_monitor.get_id()) {
        // The monitor must stay stoppable while the box is open.
        Gui::Post([text] { ShowMessageBox(text, MB_OK); });
    } else {
        ShowMessageBox(text, MB_OK);
    }
}

void CSerialPort::Post(int message, long wParam, QByteArray data)
{
    QObject* owner = m_pOwnerWnd.data();
    if (!owner)
        return;
    std::function<void()> release;
    if (!data.isEmpty()) {
        const std::int64_t n = data.size();
        m_budget->inFlight.fetch_add(n);
        release = [budget = m_budget, n] { budget->Release(n); };
    }
    QCoreApplication::postEvent(owner, new SerialEvent(message, wParam, m_port, m_portId, std::move(data), std::move(release)));
}

void CSerialPort::PostLines(int bits)
{
    Post(WM_SERIAL_DCD, (bits & TIOCM_CD) ? 1 : 0);
    Post(WM_SERIAL_CTS, (bits & TIOCM_CTS) ? 1 : 0);
    Post(WM_SERIAL_DSR, (bits & TIOCM_DSR) ? 1 : 0);
    Post(WM_SERIAL_RING, (bits & TIOCM_RI) ? 1 : 0);
}

// Reads everything the device holds, in chunks of at most kReceiveBufferSize,
// and posts each. Returns true when anything was delivered.
bool CSerialPort::ReadAvailable(bool& hangup)
{
    bool delivered = false;
    for (;;) {
        QByteArray chunk(kReceiveBufferSize, Qt::Uninitialized);
        qsizetype got = 0;
        while (got < chunk.size()) {
            const ssize_t n = ::read(m_fd, chunk.data() + got, size_t(chunk.size() - got));
            if (n > 0) {
                got += n;
                continue;
            }
            if (n == 0 || (errno != EAGAIN && errno != EINTR))
                hangup = true;
            break;
        }
        if (got == 0)
            return delivered;
        chunk.truncate(got);
        if (m_receiveTap)
            m_receiveTap(chunk);
        const bool sync = m_bSyncNotify.load();
        Post(sync ? WM_SERIAL_DATA_SYNC : WM_SERIAL_DATA, long(got), std::move(chunk));
        delivered = true;
        if (sync) {
            // The owner handles the chunk before the next one is read.
            while (m_budget->inFlight.load() > 0 && !m_stop.load()) {
                pollfd p { m_budget->wakeFd, POLLIN, 0 };
                ::poll(&p, 1, -1);
                std::uint64_t v;
                [[maybe_unused]] ssize_t r = ::read(m_budget->wakeFd, &v, sizeof v);
            }
            if (m_stop.load())
                return delivered;
        }
        if (hangup || got < kReceiveBufferSize)
            return delivered;
    }
}

// Writes queued pieces until the device takes no more. False on a write error
// other than a full device; `gone` is set when that error means the device has
// gone away (a module unplugged), so nothing later can reach it either.
bool CSerialPort::WritePending(bool& gone)
{
    for (;;) {
        QByteArray piece;
        std::int64_t offset;
        {
            std::lock_guard<std::mutex> g(m_writeLock);
            if (m_writeQueue.empty()) {
                if (m_writeTap && m_wroteSinceTap) {
                    m_wroteSinceTap = false;
                    m_writeTap();
                }
                return true;
            }
            piece = m_writeQueue.front(); // shares the bytes, no copy
            offset = m_writeOffset;
        }
        const ssize_t n = ::write(m_fd, piece.constData() + offset, size_t(piece.size() - offset));
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR)
                return true;
            const int err = errno;
            if (err == EIO || err == ENXIO || err == ENODEV || err == EPIPE || err == EBADF) {
                gone = true;
                return false;
            }
            {
                std::lock_guard<std::mutex> g(m_writeLock);
                m_writeQueued -= piece.size() - m_writeOffset;
                m_writeQueue.pop_front();
                m_writeOffset = 0;
            }
            ShowCommError("WriteFile()", err);
            return false;
        }
        std::lock_guard<std::mutex> g(m_writeLock);
        m_writeOffset += n;
        m_writeQueued -= n;
        m_wroteSinceTap = true;
        if (m_writeOffset >= m_writeQueue.front().size()) {
            m_writeQueue.pop_front();
            m_writeOffset = 0;
        }
    }
}

void CSerialPort::CommThread()
{
    std::optional<int> lines = m_lineReader ? m_lineReader(m_fd) : std::nullopt;
    const bool hasLines = lines.has_value();
    int lastLines = lines.value_or(0);
    if (hasLines)
        PostLines(lastLines);

    const int wakeFd = m_budget->wakeFd;
    bool hangup = false;
    while (!m_stop.load() && !hangup) {
        const bool canRead = m_budget->inFlight.load() < kInFlightLimit;
        const bool wantWrite = PendingWriteBytes() > 0;
        pollfd fds[2] = {
            { wakeFd, POLLIN, 0 },
            { m_fd, short((canRead ? POLLIN : 0) | (wantWrite ? POLLOUT : 0)), 0 },
        };
        const int rc = ::poll(fds, 2, hasLines ? kLinePollMs : -1);
        if (rc < 0 && errno != EINTR)
            break;
        if (fds[0].revents & POLLIN) {
            std::uint64_t v;
            [[maybe_unused]] ssize_t r = ::read(wakeFd, &v, sizeof v);
        }
        if (m_stop.load())
            break;

        const short rev = fds[1].revents;
        if (hasLines) {
            // A read is reported after the lines' current states, and a change
            // of the lines on its own is reported too.
            if (const std::optional<int> now = m_lineReader(m_fd)) {
                if ((rev & POLLIN) || *now != lastLines)
                    PostLines(*now);
                lastLines = *now;
            }
        }
        bool delivered = false;
        if (rev & (POLLIN | POLLHUP | POLLERR)) {
            // Bytes that arrived before a hang-up are still the module's: read
            // them even past the in-flight limit before giving up the port.
            if (canRead || (rev & (POLLHUP | POLLERR)))
                delivered = ReadAvailable(hangup);
            if ((rev & (POLLHUP | POLLERR)) && !(rev & POLLIN))
                hangup = true;
        }
        if (!hangup && (wantWrite || PendingWriteBytes() > 0))
            WritePending(hangup);
        if (delivered && !hangup && m_readGatherMs > 0 && PendingWriteBytes() == 0) {
            // A stop or a write wakes the thread at once.
            pollfd gather { wakeFd, POLLIN, 0 };
            ::poll(&gather, 1, m_readGatherMs);
        }

    }
    if (hangup) {
        // Nothing queued now or later can reach a device that is gone: refuse
        // it, so a sender waiting for its bytes to drain learns of the loss.
        std::lock_guard<std::mutex> g(m_writeLock);
        m_writable = false;
        DropQueuedWrites();
    }
    if (hangup && !m_stop.load()) {
        if (m_hangUpTap)
            m_hangUpTap();
        Post(WM_SERIAL_HANGUP, 0);
    }
    // The last act: a bounded stop waiting on this flag is woken at once.
    std::lock_guard<std::mutex> g(m_aliveLock);
    m_bMonitorAlive.store(false);
    m_aliveChanged.notify_all();
}

} // namespace ulv
