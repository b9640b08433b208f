#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

namespace ulv {

// Kinds of terminal output. A replay is text read back from a file (never
// what the module sent): shown unstamped, in the colour of notes.
enum TerminalKind : int { kTerminalSent = 0, kTerminalReceived = 1, kTerminalNote = 2, kTerminalReplay = 3 };

// WM_TERMINAL_OUTPUT: one kind-tagged text for the terminal pane.
constexpr int WM_TERMINAL_OUTPUT = 0x437;

// One output as it entered the terminal's stream: when it happened (received
// bytes: when they were read from the port; sent bytes: when they were handed
// to the port) in milliseconds since the epoch. An unstamped output carries
// its own stamps (a saved log read back) and gets none.
struct TerminalEntry {
    int kind = kTerminalNote;
    QByteArray text;
    qint64 stampMs = 0;
    bool stamped = true;
};

// The terminal pane. Called on the UI thread only, one output at a time in
// the order they entered the stream.
class TerminalSink {
public:
    virtual ~TerminalSink() = default;
    virtual void OnTerminalOutput(int kind, const QByteArray& text) = 0;
    virtual void OnTerminalEntry(const TerminalEntry& entry) { OnTerminalOutput(entry.kind, entry.text); }
    // The display goes back to text (from hex views), after what came before.
    virtual void ShowAsText() { }
};

void SetTerminalSink(TerminalSink* sink);
TerminalSink* GetTerminalSink();

// Every output goes through one ordered stream: received chunks, sent texts
// and notes are shown (and logged) in the order they entered it, whichever
// thread wrote them, and their stamps never go backwards. Without a terminal
// pane nothing is kept.
//
// WriteOutputLine: from the user-interface thread the text (and everything
// ahead of it) is shown at once; from another thread it is queued and the
// caller goes on (a worker never blocks on the window). Texts are bytes as the
// module sees them (QString texts go as UTF-8).
void WriteOutputLine(int kind, const QByteArray& text);
void WriteOutputLine(int kind, const QString& text);
// Queued from any thread, shown on the next turn of the UI thread's loop: for
// callers that hold a lock of their own (the transmitter, the port's reader).
void QueueOutputLine(int kind, const QByteArray& text);
// A text that carries its own stamps, or none (a file read back).
void WriteOutputUnstamped(int kind, const QByteArray& text);
// The display goes back to text once everything written before is shown.
void SwitchTerminalToText();
// UI thread: shows everything the stream holds now.
void FlushTerminalOutput();
// The stream's clock (milliseconds since the epoch); null: the system's.
void SetTerminalClock(std::function<qint64()> msecsSinceEpoch);

} // namespace ulv
