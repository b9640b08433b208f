#pragma once

#include "serial/SerialMessages.h"

#include <QByteArray>
#include <QPointer>
#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

class QObject;

namespace ulv {

// One serial port (a tty device: /dev/ttyUSB2, /dev/ttyACM0, /dev/pts/7) with its
// monitor thread. The monitor reads whatever arrives and posts it to the owner
// as WM_SERIAL_DATA events, reports the modem lines, and writes what any thread
// has queued with PostWrite. Bytes are never dropped, cut or reordered in either
// direction.
class CSerialPort {
public:
    // Flow modes of OpenPort.
    enum FlowMode { FlowNone = 0, FlowHardware = 1, FlowXonXoff = 2 };

    // Most bytes one data event carries.
    static constexpr int kReceiveBufferSize = 32768;

    CSerialPort();
    // Stops the monitor (bounded) and closes the port.
    ~CSerialPort();
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    // Opens the port exclusively and configures it; 1 when both worked. 0 when
    // it cannot be opened (missing, or held by someone else), silently, and
    // when a configuration step failed: that step was reported in a box and the
    // port closed again, since nothing may run on a half-configured port
    // (SetupFailed() then tells the two apart).
    // parity: 'N', 'O', 'E', 'M', 'S'. eventMask is kept for the callers' sake;
    // the monitor always watches data and lines. bufferSize sizes nothing that
    // could cut data: it is only the preferred piece size of the writer.
    int OpenPort(QObject* owner, const QString& port, int baud, char parity, int dataBits, int stopBits,
        unsigned eventMask, int bufferSize, int flowMode);
    // Starts the monitor thread; 1 when it runs.
    int StartMonitor();
    // Asks the monitor to end and waits for it; bounded (well under a second),
    // also with undelivered chunks. Returns 1.
    int StopMonitor();
    // Asks the monitor to end and waits for it at most `limit`. False when it
    // is still running then: it is let go, goes on using this object, and the
    // caller must keep the object (and its device) for the rest of the program.
    bool StopMonitorWithin(std::chrono::milliseconds limit);
    // StopMonitor and drop any writes still queued. Nothing is ever killed.
    void TerminateMonitor();
    // Closes the device (stops the monitor first).
    void ClosePort();

    // Queues bytes for the monitor to write, after everything queued before.
    // Never cuts or overwrites: returns 1, or 0 when the port is not open, the
    // device has hung up, or the queue would exceed its cap (then nothing of
    // this piece is queued). Any thread, also while the port closes.
    int PostWrite(const char* data, int length);
    int PostWrite(const QByteArray& data) { return PostWrite(data.constData(), int(data.size())); }
    // Bytes queued and not yet written (none once the device has hung up).
    std::int64_t PendingWriteBytes() const;

    int SetRTS(bool on);
    int SetDTR(bool on);
    // 0: chunks as posted WM_SERIAL_DATA; 1: WM_SERIAL_DATA_SYNC, and the monitor
    // reads on only after the owner has handled the chunk.
    void SetSyncNotify(bool sync);
    // After a read the monitor lets the device gather more for this long before
    // it reads again (0, the default: every piece at once). A port that streams
    // text in small pieces is then handed over in fewer, larger chunks, and the
    // owner's thread is not woken for every few bytes. Set before StartMonitor.
    void SetReadGatherMs(int ms) { m_readGatherMs = ms; }

    // Shows "WARNING:  <step> Failed with the following error: ..." for an errno.
    void ShowCommError(const QString& step, int error);

    bool IsOpen() const { return m_fd >= 0; }
    // The last OpenPort opened the device but could not configure it.
    bool SetupFailed() const { return m_setupFailed; }
    bool MonitorAlive() const { return m_bMonitorAlive.load(); }
    const QString& PortName() const { return m_port; }
    // Unique per successful open; carried by every event.
    std::uint64_t PortId() const { return m_portId; }
    int Fd() const { return m_fd; }

    // Called on the monitor's thread with every chunk, before the chunk is
    // posted to the owner: the modem session's reply buffers are fed here, so
    // a waiting exchange never depends on the owner's thread. It must not block.
    using ReceiveTap = std::function<void(const QByteArray& chunk)>;
    void SetReceiveTap(ReceiveTap tap) { m_receiveTap = std::move(tap); }
    // Called on the monitor's thread each time the write queue has emptied,
    // for senders that wait for their bytes to leave. It must not block.
    void SetWriteTap(std::function<void()> tap) { m_writeTap = std::move(tap); }
    // Called on the monitor's thread once the device has gone (hung up, or a
    // read or write error that means it is gone), after the port refuses every
    // write and before WM_SERIAL_HANGUP is posted. It must not block.
    void SetHangUpTap(std::function<void()> tap) { m_hangUpTap = std::move(tap); }

    // The modem-line source (TIOCMGET by default). Returns the TIOCM_* bits, or
    // nothing when the device has no lines (a pseudo-terminal): the lines are
    // then off and never reported. Tests put a fake here before StartMonitor.
    using LineReader = std::function<std::optional<int>(int fd)>;
    void SetLineReader(LineReader reader) { m_lineReader = std::move(reader); }

    // How many bytes of posted, not yet handled chunks the monitor lets pile up
    // before it stops reading (the device then holds the rest).
    static constexpr std::int64_t kInFlightLimit = 256 * 1024;
    // Cap of the write queue.
    static constexpr std::int64_t kWriteQueueLimit = 64 * 1024 * 1024;

private:
    struct Budget;

    void CommThread();
    bool ReadAvailable(bool& hangup);
    bool WritePending(bool& gone);
    void PostLines(int bits);
    void Post(int message, long wParam, QByteArray data = {});
    bool Configure();
    void Wake();
    // Callers hold m_writeLock.
    void DropQueuedWrites();

    std::atomic<bool> m_bMonitorAlive{false};
    // Set false under this lock and announced, so a bounded stop wakes on it.
    std::mutex m_aliveLock;
    std::condition_variable m_aliveChanged;
    bool m_setupFailed = false;
    int m_nBaud = 0;
    char m_cParity = 'N';
    int m_nDataBits = 8;
    int m_nStopBits = 1;
    std::atomic<bool> m_bSyncNotify{false};
    int m_readGatherMs = 0;
    int m_nFlowMode = 0;
    unsigned m_dwEventMask = 0;
    int m_nWriteCapacity = 0;

    QPointer<QObject> m_pOwnerWnd;
    QString m_port;
    std::uint64_t m_portId = 0;
    int m_fd = -1;
    std::thread m_monitor;
    std::atomic<bool> m_stop{false};
    LineReader m_lineReader;
    ReceiveTap m_receiveTap;
    std::function<void()> m_writeTap;
    std::function<void()> m_hangUpTap;
    bool m_wroteSinceTap = false; // under m_writeLock

    mutable std::mutex m_writeLock;
    // Set and reset under m_writeLock: writers on other threads read them there.
    // The budget exists while the port is open (its descriptor wakes the monitor).
    std::shared_ptr<Budget> m_budget;
    bool m_writable = false;
    std::deque<QByteArray> m_writeQueue;
    std::int64_t m_writeOffset = 0; // into m_writeQueue.front()
    std::int64_t m_writeQueued = 0;
};

} // namespace ulv
