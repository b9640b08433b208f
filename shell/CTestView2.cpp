#include "shell/CTestView2.h"

#include "platform/MessageBox.h"
#include "core/text/AnsiText.h"
#include "core/text/HexView.h"
#include "shell/CTerminalRichEdit.h"
#include "shell/core/CUlvenscopeApp.h"
#include "shell/core/SysParams.h"
#include "shell/core/TerminalText.h"

#include <QFile>
#include <QFileInfo>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>

namespace ulv {

CTestView2* g_pTestView2 = nullptr;

namespace {

// Most text moved into the box in one go; the rest follows on the next turn of
// the event loop, so the window keeps answering.
constexpr qsizetype kFlushBudget = 48 * 1024;
constexpr int kFlushQuietMs = 10;
constexpr qsizetype kSegmentBytes = 1024 * 1024;
constexpr int kFlushMaxDelayMs = 40;

QColor FromColorRef(std::uint32_t c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

// The box shows line breaks, not carriage returns; the record keeps them.
QString ForDisplay(const QByteArray& bytes)
{
    QString s = AnsiToString(bytes);
    s.remove(QLatin1Char('\r'));
    return s;
}

} // namespace

CTestView2::CTestView2(QWidget* parent)
    : QWidget(parent)
    , m_editTerminal(new CTerminalRichEdit(this))
    , m_log(TerminalLogFile::Hooks {
          [] {
              TerminalLogFile::Settings s;
              s.saveLog = g_sysParams.savelog != 0;
              s.logPath = g_sysParams.logpath;
              s.prefix = g_sysParams.logname_prefix;
              s.sizeLimit = g_sysParams.logfilesize_limited;
              return s;
          },
          [] { return theApp.ReadLastLogName(); },
          [](const QString& name) { theApp.WriteLastLogName(name); },
          [this](const QString& pane) {
              if (m_logPane)
                  m_logPane(pane);
          },
          [](const QString& text) { ShowMessageBox(text); },
          [this] { return m_now(); },
      })
    , m_now([] { return QDateTime::currentDateTime(); })
{
    QFont font(QStringLiteral("Arial Unicode MS"));
    font.setPointSize(10);
    m_editTerminal->setFont(font);
    m_editTerminal->SetClearHandler([this] { ClearAll(); });
    ApplyColours();
    m_flushTimer.setSingleShot(true);
    connect(&m_flushTimer, &QTimer::timeout, this, &CTestView2::FlushPending);
    g_pTestView2 = this;
    SetTerminalSink(this);
}

CTestView2::~CTestView2()
{
    // Bytes held for a character that never finished go in as they are shown.
    m_log.WriteLogFile(m_logText.Flush().toUtf8());
    if (GetTerminalSink() == this)
        SetTerminalSink(nullptr);
    if (g_pTestView2 == this)
        g_pTestView2 = nullptr;
}

void CTestView2::ApplyColours()
{
    QPalette p = m_editTerminal->palette();
    p.setColor(QPalette::Base, FromColorRef(g_sysParams.BackgroundColor()));
    p.setColor(QPalette::Text, FromColorRef(g_sysParams.SentColor()));
    m_editTerminal->setPalette(p);
}

void CTestView2::SetSendPanel(QWidget* panel)
{
    m_sendPanel = panel;
    if (panel) {
        panel->setParent(this);
        panel->setVisible(m_bSendPanelVisible);
    }
    Layout();
}

void CTestView2::ShowSendPanel(bool show)
{
    m_bSendPanelVisible = show;
    if (m_sendPanel)
        m_sendPanel->setVisible(show);
    Layout();
}

void CTestView2::resizeEvent(QResizeEvent*)
{
    Layout();
}

void CTestView2::Layout()
{
    const int w = width(), h = height();
    if (m_bSendPanelVisible && m_sendPanel) {
        m_editTerminal->setGeometry(0, 0, w, std::max(0, h - 160));
        m_sendPanel->setGeometry(0, h - 160, w, 160);
    } else {
        m_editTerminal->setGeometry(0, 0, w, h);
    }
}

void CTestView2::OnTerminalOutput(int kind, const QByteArray& text)
{
    if (text.isEmpty())
        return;
    TerminalFormat format;
    format.hexMode = m_bHexMode.load() != 0;
    format.showCRLF = g_sysParams.showCRLF != 0;
    format.showTime = g_sysParams.showtime != 0;
    const bool lineStart = m_segments.empty() || m_segments.back().bytes.endsWith('\n');
    QByteArray stamp;
    if (format.showTime && (kind == kTerminalSent || kind == kTerminalReceived)) {
        const QDateTime now = m_now();
        stamp = QStringLiteral("[%1_%2:] ")
                    .arg(now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss:zzz")), kind == kTerminalSent ? "S" : "R")
                    .toLatin1();
    }
    const QByteArray formatted = FormatTerminalOutput(kind, text, format, lineStart, stamp);
    if (formatted.isEmpty())
        return;
    Append(formatted, kind);
    // The log holds exactly what is shown: bytes that are not UTF-8 appear as
    // their Latin-1 characters and are logged as such. The outputs are taken as
    // one stream, so a character the module's chunks cut in two is logged whole.
    m_log.WriteLogFile(m_logText.Decode(formatted).toUtf8());
}

void CTestView2::Append(const QByteArray& formatted, int kind)
{
    m_recordedBytes += formatted.size();
    // Segments stay moderate in size so that a long session never copies one
    // huge buffer to grow it.
    if (!m_segments.empty() && m_segments.back().kind == kind && m_segments.back().bytes.size() < kSegmentBytes)
        m_segments.back().bytes += formatted;
    else
        m_segments.push_back({formatted, kind});
    if (!m_pending.empty() && m_pending.back().kind == kind && m_pending.back().bytes.size() < kSegmentBytes)
        m_pending.back().bytes += formatted;
    else
        m_pending.push_back({formatted, kind});
    ScheduleFlush();
}

void CTestView2::ScheduleFlush()
{
    if (!m_firstPending.isValid())
        m_firstPending.start();
    const qint64 waited = m_firstPending.elapsed();
    m_flushTimer.start(waited >= kFlushMaxDelayMs ? 0 : std::min<qint64>(kFlushQuietMs, kFlushMaxDelayMs - waited));
}

void CTestView2::FlushPending()
{
    if (m_pending.empty())
        return;
    QTextCursor cursor(m_editTerminal->document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    qsizetype budget = kFlushBudget;
    while (!m_pending.empty() && budget > 0) {
        Segment& seg = m_pending.front();
        qsizetype take = std::min(budget, seg.bytes.size() - m_pendingOffset);
        // Never cut inside a UTF-8 sequence.
        while (m_pendingOffset + take < seg.bytes.size() && (uchar(seg.bytes[m_pendingOffset + take]) & 0xC0) == 0x80 && take > 0)
            --take;
        if (take == 0)
            take = seg.bytes.size() - m_pendingOffset;
        QTextCharFormat fmt;
        fmt.setForeground(FromColorRef(seg.kind == kTerminalReceived ? g_sysParams.ReceivedColor() : g_sysParams.SentColor()));
        cursor.insertText(ForDisplay(seg.bytes.mid(m_pendingOffset, take)), fmt);
        budget -= take;
        m_pendingOffset += take;
        if (m_pendingOffset >= seg.bytes.size()) {
            m_pending.erase(m_pending.begin());
            m_pendingOffset = 0;
        }
    }
    cursor.endEditBlock();
    m_editTerminal->verticalScrollBar()->setValue(m_editTerminal->verticalScrollBar()->maximum());
    if (m_pending.empty())
        m_firstPending.invalidate();
    else
        m_flushTimer.start(0);
}

void CTestView2::Rebuild()
{
    m_pending.clear();
    m_pendingOffset = 0;
    m_editTerminal->clear();
    for (const Segment& s : m_segments)
        m_pending.push_back(s);
    ScheduleFlush();
}

void CTestView2::ClearAll()
{
    m_recordedBytes = 0;
    m_segments.clear();
    m_pending.clear();
    m_pendingOffset = 0;
    m_editTerminal->clear();
}

QByteArray CTestView2::TerminalText() const
{
    QByteArray all;
    for (const Segment& s : m_segments)
        all += s.bytes;
    return AnsiToString(all).toUtf8();
}

int CTestView2::Rerender(bool toHex)
{
    if (m_segments.empty())
        return 0;
    // Lines end after each LF; a line takes the kind of its first character.
    std::vector<Segment> lines;
    bool open = false;
    for (const Segment& s : m_segments) {
        qsizetype pos = 0;
        while (pos < s.bytes.size()) {
            const qsizetype lf = s.bytes.indexOf('\n', pos);
            const qsizetype end = lf < 0 ? s.bytes.size() : lf + 1;
            if (open)
                lines.back().bytes += s.bytes.mid(pos, end - pos);
            else
                lines.push_back({s.bytes.mid(pos, end - pos), s.kind});
            open = lf < 0;
            pos = end;
        }
    }
    std::vector<Segment> rendered;
    for (const Segment& line : lines) {
        QByteArray out;
        if (toHex)
            StampedTextToHexView(line.bytes, out);
        else
            HexViewToText(line.bytes, out);
        if (!rendered.empty() && rendered.back().kind == line.kind)
            rendered.back().bytes += out;
        else
            rendered.push_back({out, line.kind});
    }
    m_segments = std::move(rendered);
    m_recordedBytes = 0;
    for (const Segment& seg : m_segments)
        m_recordedBytes += seg.bytes.size();
    Rebuild();
    return 1;
}

int CTestView2::ShowTerminalAsHex()
{
    return Rerender(true);
}

int CTestView2::ShowTerminalAsText()
{
    return Rerender(false);
}

bool CTestView2::SaveTerminalText(const QString& path) const
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray text = TerminalText();
    return f.write(text) == text.size();
}

void CTestView2::ChooseLogFile()
{
    m_log.ChooseLogFile();
}

} // namespace ulv
