#pragma once

#include <QByteArray>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>

namespace ulv {

class CSerialPort;

// The page host's transmit functions: line ends, echo to the terminal, hex-mode
// conversion, and paced writes (1024-byte pieces, 100 ms after each full piece)
// under one send lock, so the pieces of two texts never interleave.
class PortTransmitter {
public:
    enum Mode { kText = 0, kHex = 1 };
    static constexpr int kPieceSize = 1024;
    static constexpr std::chrono::milliseconds kPiecePause{100};

    // The open port or null. Swapped under the send lock, so a port is never
    // taken away in the middle of a paced text; a sender holds its own reference
    // while it writes, so a closing port is never written after it was deleted.
    void SetPort(std::shared_ptr<CSerialPort> port);
    std::shared_ptr<CSerialPort> Port() const;
    // The showsenddata setting.
    void SetEchoProvider(std::function<bool()> showSendData) { m_showSendData = std::move(showSendData); }
    // Tests replace the pause.
    void SetSleeper(std::function<void(std::chrono::milliseconds)> sleeper) { m_sleep = std::move(sleeper); }

    void SendToModule(const QString& text, int mode, bool addLineEnd);
    void SendToModuleQuiet(const QString& text, int mode, bool addLineEnd);
    void SendToModuleEcho(const QString& text, int mode, bool addLineEnd, bool echo);
    void SendScriptLine(const QString& text, int mode, bool addLineEnd);
    void SendRawBytes(const QByteArray& bytes);
    void SendByte(unsigned char byte);

private:
    void Send(const QString& text, int mode, bool addLineEnd, bool echo, bool trace);
    void PacedWrite(const QByteArray& bytes);

    std::mutex m_csSend;
    mutable std::mutex m_portLock;
    std::shared_ptr<CSerialPort> m_pSerialPort;
    std::function<bool()> m_showSendData;
    std::function<void(std::chrono::milliseconds)> m_sleep;
};

// What workers send through: the page host's transmitter (null before the page
// host exists).
void SetModuleTransmitter(PortTransmitter* transmitter);
PortTransmitter* GetModuleTransmitter();

} // namespace ulv
