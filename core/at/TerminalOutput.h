#pragma once

#include <QByteArray>
#include <QString>

namespace ulv {

// Kinds of terminal output.
enum TerminalKind : int { kTerminalSent = 0, kTerminalReceived = 1, kTerminalNote = 2 };

// WM_TERMINAL_OUTPUT: one kind-tagged text for the terminal pane.
constexpr int WM_TERMINAL_OUTPUT = 0x437;

// The terminal pane. Called on the UI thread only.
class TerminalSink {
public:
    virtual ~TerminalSink() = default;
    virtual void OnTerminalOutput(int kind, const QByteArray& text) = 0;
};

void SetTerminalSink(TerminalSink* sink);
TerminalSink* GetTerminalSink();

// Writes one text to the terminal from any thread. On the user-interface thread
// it is shown and logged at once; from another thread it is queued in order and
// the caller goes on (a worker never blocks on the window). Texts are bytes as
// the module sees them (QString texts go as UTF-8). Without a terminal pane
// nothing happens.
void WriteOutputLine(int kind, const QByteArray& text);
void WriteOutputLine(int kind, const QString& text);

} // namespace ulv
