#include "core/at/TerminalOutput.h"

#include "platform/Gui.h"

#include <QDateTime>
#include <atomic>
#include <deque>
#include <mutex>

namespace ulv {

namespace {

std::atomic<TerminalSink*> g_sink{nullptr};

// Entry kind that switches the display back to text.
constexpr int kSwitchToText = -1;

struct Stream {
    std::mutex lock;
    std::deque<TerminalEntry> entries;
    bool drainPosted = false;
    qint64 lastStamp = 0;
    std::function<qint64()> clock;
};

Stream& TheStream()
{
    // Never destroyed: port and worker threads may still write at exit.
    static Stream* stream = new Stream;
    return *stream;
}

void Drain()
{
    // Only on the UI thread; a sink that writes while it shows (a note about
    // the log) has its text taken by the loop below, after what came first.
    static bool draining = false;
    if (draining)
        return;
    draining = true;
    Stream& s = TheStream();
    for (;;) {
        std::deque<TerminalEntry> batch;
        {
            std::lock_guard g(s.lock);
            batch.swap(s.entries);
            s.drainPosted = false;
        }
        if (batch.empty())
            break;
        for (const TerminalEntry& e : batch) {
            // Looked up each time: the pane may go while the batch is shown.
            TerminalSink* sink = g_sink.load();
            if (!sink)
                break;
            if (e.kind == kSwitchToText)
                sink->ShowAsText();
            else
                sink->OnTerminalEntry(e);
        }
    }
    draining = false;
}

void Push(int kind, const QByteArray& text, bool stamped, bool showNow)
{
    if (!g_sink.load() || (text.isEmpty() && kind != kSwitchToText))
        return;
    Stream& s = TheStream();
    const bool uiThread = Gui::IsUiThread();
    bool post = false;
    {
        std::lock_guard g(s.lock);
        // Taken under the stream's lock, so the order of the stream is the
        // order of the stamps; a clock set back never makes them go backwards.
        qint64 now = s.clock ? s.clock() : QDateTime::currentMSecsSinceEpoch();
        if (now < s.lastStamp)
            now = s.lastStamp;
        s.lastStamp = now;
        TerminalEntry* last = s.entries.empty() ? nullptr : &s.entries.back();
        // Received bytes of the same millisecond are one output: the stamp a
        // line gets is the same either way.
        if (last && kind == kTerminalReceived && last->kind == kind && last->stampMs == now && last->stamped == stamped)
            last->text += text;
        else
            s.entries.push_back(TerminalEntry{kind, text, now, stamped});
        if (!(uiThread && showNow) && !s.drainPosted) {
            s.drainPosted = true;
            post = true;
        }
    }
    if (uiThread && showNow)
        Drain();
    else if (post)
        Gui::Post([] { Drain(); });
}

} // namespace

void SetTerminalSink(TerminalSink* sink)
{
    g_sink.store(sink);
    if (!sink) {
        Stream& s = TheStream();
        std::lock_guard g(s.lock);
        s.entries.clear();
    }
}

TerminalSink* GetTerminalSink()
{
    return g_sink.load();
}

void WriteOutputLine(int kind, const QByteArray& text)
{
    Push(kind, text, true, true);
}

void WriteOutputLine(int kind, const QString& text)
{
    WriteOutputLine(kind, text.toUtf8());
}

void QueueOutputLine(int kind, const QByteArray& text)
{
    Push(kind, text, true, false);
}

void WriteOutputUnstamped(int kind, const QByteArray& text)
{
    Push(kind, text, false, true);
}

void SwitchTerminalToText()
{
    Push(kSwitchToText, {}, false, false);
}

void FlushTerminalOutput()
{
    if (Gui::IsUiThread())
        Drain();
}

void SetTerminalClock(std::function<qint64()> msecsSinceEpoch)
{
    Stream& s = TheStream();
    std::lock_guard g(s.lock);
    s.clock = std::move(msecsSinceEpoch);
    s.lastStamp = 0;
}

} // namespace ulv
