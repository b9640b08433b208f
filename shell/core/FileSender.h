#pragma once

#include <QByteArray>
#include <QString>
#include <chrono>
#include <cstdint>
#include <functional>

namespace ulv {

// The send panel's file sender without its widgets: the file's bytes go to the
// port in pieces, paced by the port's flow mode, and the progress is reported
// after every piece. Runs on the sender's worker thread.
class FileSender {
public:
    enum class Result { Sent, Stopped };

    struct Hooks {
        // False once the task was stopped: nothing more is written.
        std::function<bool()> running;
        // Queues one piece for the port; false when the port refuses it.
        std::function<bool(const QByteArray&)> write;
        // Bytes queued and not yet written.
        std::function<std::int64_t()> pendingBytes;
        // Hardware flow: whether the module lets the next byte go (CTS).
        std::function<bool()> ctsClear;
        // XON/XOFF: the received bytes as hex, emptied by taking.
        std::function<QString()> takeReceivedHex;
        // Bar position (0-100) and caption after each piece.
        std::function<void(int position, const QString& caption)> progress;
        // Blocks until something the sender waits for may have changed (bytes
        // received or written, a modem line, a Stop). Returns at once when a
        // change came since the last call returned, so none is missed.
        std::function<void()> wait;
    };

    FileSender(int flowMode, int portBuffer, Hooks hooks);

    Result Send(const QByteArray& content);

    int PieceSize() const { return m_pieceSize; }

private:
    // Waits before a byte as the flow mode says; false when stopped meanwhile.
    bool MayTakeByte();
    bool WriteAndDrain(const QByteArray& piece);
    void Pause() { m_hooks.wait(); }

    int m_flowMode;
    int m_pieceSize;
    Hooks m_hooks;
};

} // namespace ulv
