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
        std::function<void(std::chrono::milliseconds)> sleep;
    };

    FileSender(int flowMode, int portBuffer, Hooks hooks);

    Result Send(const QByteArray& content);

    int PieceSize() const { return m_pieceSize; }

private:
    // Waits before a byte as the flow mode says; false when stopped meanwhile.
    bool MayTakeByte();
    bool WriteAndDrain(const QByteArray& piece);
    void Pause() { m_hooks.sleep(std::chrono::milliseconds(1)); }

    int m_flowMode;
    int m_pieceSize;
    Hooks m_hooks;
};

} // namespace ulv
