#pragma once

#include <QByteArray>
#include <QString>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <cstdint>
#include <thread>

namespace ulv {

class CSerialPort;

// The page host's transmit functions: line ends, echo to the terminal, hex-mode
// conversion, and paced writes (1024-byte pieces, 100 ms after each full piece).
// Every text goes through one first-in-first-out queue, so the pieces of two
// texts never interleave on the wire, whoever sends them. A short text with
// nothing ahead of it goes to the port at once; a long one is written piece by
// piece by the writer thread on its timer, so no sender ever sleeps and no lock
// is held across a pause.
class PortTransmitter {
public:
    enum Mode { kText = 0, kHex = 1 };
    static constexpr int kPieceSize = 1024;
    static constexpr std::chrono::milliseconds kPiecePause{100};

    PortTransmitter();
    // Drops what is not written yet and ends the writer.
    ~PortTransmitter();
    PortTransmitter(const PortTransmitter&) = delete;
    PortTransmitter& operator=(const PortTransmitter&) = delete;

    // The open port or null. A new port (or none) drops every text not yet
    // written to the old one; a sender holds its own reference while it writes,
    // so a closing port is never written after it was deleted.
    void SetPort(std::shared_ptr<CSerialPort> port);
    std::shared_ptr<CSerialPort> Port() const;
    // The showsenddata setting.
    void SetEchoProvider(std::function<bool()> showSendData) { m_showSendData = std::move(showSendData); }
    // Tests replace the writer's pause (it then runs on the writer thread).
    void SetPauseHook(std::function<void(std::chrono::milliseconds)> hook);

    void SendToModule(const QString& text, int mode, bool addLineEnd);
    void SendToModuleQuiet(const QString& text, int mode, bool addLineEnd);
    void SendToModuleEcho(const QString& text, int mode, bool addLineEnd, bool echo);
    void SendScriptLine(const QString& text, int mode, bool addLineEnd);
    // The same for a line given as bytes, sent as they are in text mode.
    void SendScriptBytes(const QByteArray& text, int mode, bool addLineEnd);
    void SendRawBytes(const QByteArray& bytes);
    void SendByte(unsigned char byte);
    // Bytes that go out whole, without pacing, after everything queued before
    // (the send panel's texts and file pieces). False when the port is gone.
    bool SendUnpaced(const QByteArray& bytes);
    // SendToModule of an exchange: the text is queued only while `stillWanted`
    // holds, checked under the queue's lock. False when nothing was sent.
    bool SendCommandIf(const std::function<bool()>& stillWanted, const QString& text);

    // Bytes queued here and not yet handed to the port.
    std::int64_t QueuedBytes() const;
    // Waits until every text queued so far was handed to the port (or dropped).
    bool WaitUntilWritten(std::chrono::milliseconds timeout) const;

private:
    struct Text {
        QByteArray bytes;
        qsizetype written = 0;
        bool paced = true;
        std::uint64_t number = 0;
        QByteArray echo;          // shown with the first piece
        bool echoIsBytes = false; // each piece is shown as it goes
    };
    // A worker that sends a long text goes on only once it is written, as it
    // would after writing it itself: what it sends next (Ctrl-Z after data, a
    // pause it counts) comes after the whole text. The UI thread never waits.
    void WaitForText(std::uint64_t number);
    bool Enqueue(QByteArray bytes, bool paced, const std::function<bool()>* stillWanted = nullptr,
        const QByteArray* echo = nullptr);
    void Send(const QString& text, int mode, bool addLineEnd, bool echo, bool trace);
    void WriterThread();
    // Hands the front text's next piece to the port; callers hold m_lock.
    void WriteNextPiece(std::unique_lock<std::mutex>& lock);

    mutable std::mutex m_lock;
    mutable std::condition_variable m_changed;
    std::shared_ptr<CSerialPort> m_pSerialPort;
    std::deque<Text> m_queue;
    std::int64_t m_queuedBytes = 0;
    std::uint64_t m_queuedTexts = 0;   // numbers given to queued texts
    std::uint64_t m_finishedTexts = 0; // texts written whole or dropped, in order
    // After a full piece, nothing more goes out before this moment.
    std::chrono::steady_clock::time_point m_nextWrite{};
    bool m_stop = false;
    std::function<bool()> m_showSendData;
    std::function<void(std::chrono::milliseconds)> m_pauseHook;
    std::thread m_writer;
};

// What workers send through: the program's session's transmitter.
PortTransmitter* GetModuleTransmitter();

} // namespace ulv
