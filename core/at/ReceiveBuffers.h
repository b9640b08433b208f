#pragma once

#include <QString>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace ulv {

// What the module sent, for code that waits for a reply: the received text and
// its hex form. The receive path appends every chunk; a worker empties the text
// before a command and takes what came until the reply is complete. Taking wakes
// on arriving text (WaitForText) instead of polling a sleep.
//
// Text nobody reads (a module talking while no task waits) is kept up to
// kTextLimit characters: past it the oldest half goes at once, cut at a line
// end, and the drop notice runs once for that stretch of unread text. While a
// worker collects a reply (a Reading is held, or it waits in
// WaitAndTakeReceivedText) nothing is dropped: its reply is never cut.
class ReceiveBuffers {
public:
    // Held by a worker for the whole of an exchange: the text it waits for
    // stays whole however long it takes to read it.
    class Reading {
    public:
        explicit Reading(ReceiveBuffers& buffers);
        ~Reading();
        Reading(const Reading&) = delete;
        Reading& operator=(const Reading&) = delete;

    private:
        ReceiveBuffers& m_buffers;
    };

    void ClearReceivedText();
    void AppendReceivedText(const QString& text);
    // The whole text, emptied in the same step.
    QString TakeReceivedText();
    // How often Wake was called; a waiter notes it before it looks at its
    // running flag, so a Stop between the look and the wait is never missed.
    unsigned WakeCount() const;
    // Waits until text is there, Wake was called since `seenWakes`, or the
    // deadline (steady clock) has passed; then takes the text (possibly empty).
    QString WaitAndTakeReceivedText(std::chrono::steady_clock::time_point deadline, unsigned seenWakes);
    // Waits, taking nothing, until Wake was called since `seenWakes` or the
    // deadline has passed. True when woken.
    bool WaitForWake(std::chrono::steady_clock::time_point deadline, unsigned seenWakes);
    // Ends every waiting WaitAndTakeReceivedText at once (a Stop).
    void Wake();

    void ClearReceivedHex();
    // Appends upper-case hex pairs; when the buffer then holds more than 2048
    // characters it is emptied whole.
    void AppendReceivedHex(const QString& hex);
    QString TakeReceivedHex();

    // Runs (outside the lock, on the appending thread) the first time unread
    // text is dropped since the buffer was last read or emptied.
    void SetDropNotice(std::function<void()> notice);

    static constexpr int kHexLimit = 2048;
    // Unread text is kept up to this many characters; a waiter takes it long
    // before that.
    static constexpr qsizetype kTextLimit = 4 * 1024 * 1024;

private:
    // Called with m_textLock held; true when this drop starts a new stretch.
    bool DropOldest();

    mutable std::mutex m_textLock;
    std::condition_variable m_textArrived;
    QString m_strReceiveBuffer;
    unsigned m_wakes = 0;
    int m_readers = 0;
    bool m_dropNoted = false;
    std::function<void()> m_dropNotice;
    std::mutex m_hexLock;
    QString m_strReceiveHexBuffer;
};

// The program's session's buffers.
ReceiveBuffers& AppReceiveBuffers();

} // namespace ulv
