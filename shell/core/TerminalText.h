#pragma once

#include <QByteArray>

namespace ulv {

// How the terminal pane turns one output into the text it appends (and logs).
struct TerminalFormat {
    bool hexMode = false;  // the terminal shows hex views
    bool showCRLF = false; // mark CR LF as "<CR><LF>"
    bool showTime = false; // stamp sent and received lines
};

// Puts the stamp after every LF of the text except one that ends the text or is
// followed only by a final CR; and in front when the text starts a line and does
// not itself begin with a line end. So a stamp is written only once the first
// character of its line has arrived.
QByteArray StampLines(const QByteArray& text, const QByteArray& stamp, bool lineStart);
// The same on a hex view, whose lines end at CR LF: no stamp before a view line
// that holds only "0d 0a " or "0a ".
QByteArray StampLinesHex(const QByteArray& hex, const QByteArray& stamp, bool lineStart);

// One output as appended: notes on lines of their own, hex view, CR LF markers,
// stamps (the stamp text given, so callers and tests choose the time).
// lineStart: the terminal is empty or its last output ended a line.
QByteArray FormatTerminalOutput(int kind, const QByteArray& text, const TerminalFormat& format, bool lineStart,
    const QByteArray& stamp);

} // namespace ulv
