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
#include <functional>
#include <vector>

namespace ulv {

class CTerminalRichEdit;

// The AT terminal pane: everything sent to the module, received from it and
// noted by the workers, coloured by kind, time-stamped and CR LF-marked as the
// settings say, and appended to the terminal log exactly as shown. The send
// panel sits below it.
//
// The pane keeps its own record of what it shows (the bytes of every output and
// their kind): that record is the log's source, what re-rendering works on and
// what Save Log writes. The text box is only its picture, brought up to date at
// most every 40 ms, so a fast module never stalls the window.
class CTestView2 : public QWidget, public TerminalSink {
    Q_OBJECT
public:
    explicit CTestView2(QWidget* parent = nullptr);
    ~CTestView2() override;

    void OnTerminalOutput(int kind, const QByteArray& text) override;

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
    // Empties the terminal (not the log).
    void ClearAll();
    // Brings the text box up to date now.
    void FlushPending();

    CTerminalRichEdit* Terminal() const { return m_editTerminal; }
    TerminalLogFile& Log() { return m_log; }

    std::atomic<int> m_bHexMode{0};

    // Tests fix the time of the stamps; the status bar shows the log pane.
    void SetClock(std::function<QDateTime()> now) { m_now = std::move(now); }
    void SetLogPaneSink(std::function<void(const QString&)> sink) { m_logPane = std::move(sink); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Segment {
        QByteArray bytes; // as formatted: stamps, markers, hex views included
        int kind;
    };
    void Append(const QByteArray& formatted, int kind);
    void ScheduleFlush();
    void Rebuild();
    void Layout();
    void ApplyColours();
    int Rerender(bool toHex);

    CTerminalRichEdit* m_editTerminal;
    QWidget* m_sendPanel = nullptr;
    bool m_bSendPanelVisible = true;
    std::vector<Segment> m_segments;
    qsizetype m_recordedBytes = 0;
    std::vector<Segment> m_pending;
    qsizetype m_pendingOffset = 0; // bytes of m_pending.front() already shown
    QTimer m_flushTimer;
    QElapsedTimer m_firstPending;
    TerminalLogFile m_log;
    AnsiStreamDecoder m_logText; // what goes into the log, as text
    std::function<QDateTime()> m_now;
    std::function<void(const QString&)> m_logPane;
};

extern CTestView2* g_pTestView2;

} // namespace ulv
