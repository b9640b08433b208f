#pragma once

#include "core/at/TerminalOutput.h"
#include "core/text/AnsiStreamDecoder.h"
#include "shell/core/TerminalLogFile.h"

#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <deque>
#include <functional>

class QTextCursor;
class QTextCharFormat;

namespace ulv {

class CTerminalRichEdit;

// The AT terminal pane: everything sent to the module, received from it and
// noted by the workers, coloured by kind, time-stamped and CR LF-marked as the
// settings say, and appended to the terminal log exactly as shown. The send
// panel sits below it.
//
// The pane keeps its own record of what it shows (the bytes of every output and
// their kind): what re-rendering works on and what Save Log writes. The text
// box is only its picture, brought up to date at most every 40 ms, so a fast
// module never stalls the window.
//
// A bench runs for days, so the pane shows the newest part of the session
// only: past KeptBytes() and one trim block more, the oldest block goes from
// the record (at a line end) and, on the next flush, from the box, never one
// line at a time.
// The terminal log, written as each output comes, stays the full record.
class CTestView2 : public QWidget, public TerminalSink {
    Q_OBJECT
public:
    explicit CTestView2(QWidget* parent = nullptr);
    ~CTestView2() override;

    // An output stamped now (by the pane's clock).
    void OnTerminalOutput(int kind, const QByteArray& text) override;
    void OnTerminalEntry(const TerminalEntry& entry) override;
    // Hex views back to text (the PPP dial shows its own hex).
    void ShowAsText() override;

    void SetSendPanel(QWidget* panel);
    void ShowSendPanel(bool show);
    bool SendPanelVisible() const { return m_bSendPanelVisible; }

    // Re-render the whole terminal as hex views or back as text, each line
    // keeping its colour. 0 when the terminal is empty.
    int ShowTerminalAsHex();
    int ShowTerminalAsText();
    // The frame's Save Log: the whole terminal text into a file.
    bool SaveTerminalText(const QString& path) const;
    // Picks the log file for the run (at start, after the system parameters).
    void ChooseLogFile();

    // What the terminal shows, as the log holds it (UTF-8).
    QByteArray TerminalText() const;
    // Bytes of everything the terminal shows now.
    qsizetype RecordedBytes() const { return m_recordedBytes; }
    // Bytes of every output since the pane was made or emptied, shown or
    // trimmed since.
    qsizetype WrittenBytes() const { return m_writtenBytes; }
    // How much of the newest output the pane keeps showing (formatted bytes);
    // it trims once a quarter of that more has come.
    qsizetype KeptBytes() const { return m_keptBytes; }
    void SetKeptBytes(qsizetype bytes);
    static constexpr qsizetype kKeptBytes = 4 * 1024 * 1024;
    static constexpr qsizetype kShownLineChars = 64 * 1024;
    // Empties the terminal (not the log).
    void ClearAll();
    // Brings the text box up to date now.
    void FlushPending();

    CTerminalRichEdit* Terminal() const { return m_editTerminal; }
    TerminalLogFile& Log() { return m_log; }

    std::atomic<int> m_bHexMode{0};

    // Tests fix the time of the stamps; the status bar shows the log pane.
    void SetClock(std::function<QDateTime()> now)
    {
        m_now = std::move(now);
        m_ownsClock = true;
        SetTerminalClock([clock = m_now] { return clock().toMSecsSinceEpoch(); });
    }
    void SetLogPaneSink(std::function<void(const QString&)> sink) { m_logPane = std::move(sink); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Segment {
        QByteArray bytes; // as formatted: stamps, markers, hex views included
        int kind;
    };
    void Append(const QByteArray& formatted, int kind);
    void InsertShown(QTextCursor& cursor, const QString& text, const QTextCharFormat& format);
    void ResetShown();
    void Trim();
    bool HasPending() const;
    void ScheduleFlush();
    void Rebuild();
    // The byte of the stream at offset in segment, or after it; -1 when none
    // has come. With shownOnly, -1 also for the byte after a CR whose line
    // break the box does not show yet.
    int StreamByteAfter(size_t segment, qsizetype offset, bool shownOnly) const;
    void Layout();
    void ApplyColours();
    int Rerender(bool toHex);

    CTerminalRichEdit* m_editTerminal;
    QWidget* m_sendPanel = nullptr;
    bool m_bSendPanelVisible = true;
    std::deque<Segment> m_segments;
    qsizetype m_recordedBytes = 0;
    qsizetype m_writtenBytes = 0;
    qsizetype m_keptBytes = kKeptBytes;
    // The first byte of the record not yet in the box: a segment and an offset
    // into it (the tail of the record is what waits for the next flush).
    size_t m_flushSegment = 0;
    qsizetype m_flushOffset = 0;
    // The last byte put into the box was a CR with nothing after it yet.
    bool m_crPending = false;
    // What the box shows beyond the record: a line longer than this many
    // characters is broken for display.
    qsizetype m_shownChars = 0;     // record characters put in the box (since its last rebuild)
    qsizetype m_trimmedChars = 0;   // of those, taken out again by Trim
    qsizetype m_shownLineChars = 0; // characters of the box's last line
    bool m_lineBroken = false;      // the last line was broken (and said so)
    std::deque<std::pair<qsizetype, qsizetype>> m_shownExtras; // (after record character, added characters)
    qsizetype m_boxTrimChars = 0;   // characters trimmed that the box still shows, until the next flush
    QTimer m_flushTimer;
    QElapsedTimer m_firstPending;
    TerminalLogFile m_log;
    AnsiStreamDecoder m_logText; // what goes into the log, as text
    std::function<QDateTime()> m_now;
    bool m_ownsClock = false;
    std::function<void(const QString&)> m_logPane;
};

extern CTestView2* g_pTestView2;

} // namespace ulv
