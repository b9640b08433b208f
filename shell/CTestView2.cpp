#include "shell/CTestView2.h"

#include "platform/Gui.h"
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
#include <QTextDocument>

namespace ulv {

CTestView2* g_pTestView2 = nullptr;

namespace {

// Most text moved into the box in one go; the rest follows on the next turn of
// the event loop, so the window keeps answering. What a flush costs is mostly
// the layout of the lines it leaves on screen, the same for a little text as
// for much: a backlog goes in few flushes.
constexpr qsizetype kFlushBudget = 1024 * 1024;
// Text converted for the box at a time, so that no flush holds a copy of a
// whole budget.
constexpr qsizetype kFlushSlice = 48 * 1024;
constexpr int kFlushQuietMs = 10;
constexpr qsizetype kSegmentBytes = 1024 * 1024;
constexpr int kFlushMaxDelayMs = 40;

QColor FromColorRef(std::uint32_t c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

// The box shows line breaks, not carriage returns; the record keeps them. A
// CR before an LF adds nothing; any other CR ends its line as the module meant
// it (echoes "AT\r" of a module that answers nothing would otherwise run
// together). `next` is the byte after these in the terminal's stream, -1 while
// it has not come: a CR at the very end is then decided by whatever follows.
QString ForDisplay(const QByteArray& bytes, int next)
{
    QString s = AnsiToString(bytes);
    qsizetype out = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] != QLatin1Char('\r')) {
            s[out++] = s[i];
            continue;
        }
        const int after = i + 1 < s.size() ? s[i + 1].unicode() : next;
        if (after >= 0 && after != '\n')
            s[out++] = QLatin1Char('\n');
    }
    s.truncate(out);
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
          // The log is written wherever a text is shown, also under a sender's
          // lock: the box opens later, on its own, never while that lock is held.
          [](const QString& text) { Gui::Post([text] { ShowMessageBox(text); }); },
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
    if (GetTerminalSink() == this) {
        SetTerminalSink(nullptr);
        if (m_ownsClock)
            SetTerminalClock(nullptr);
    }
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
    OnTerminalEntry(TerminalEntry{kind, text, m_now().toMSecsSinceEpoch(), true});
}

void CTestView2::OnTerminalEntry(const TerminalEntry& entry)
{
    const int kind = entry.kind;
    if (entry.text.isEmpty())
        return;
    TerminalFormat format;
    format.hexMode = m_bHexMode.load() != 0;
    format.showCRLF = g_sysParams.showCRLF != 0;
    format.showTime = g_sysParams.showtime != 0 && entry.stamped;
    const bool data = kind == kTerminalSent || kind == kTerminalReceived;
    const bool lineOpen = !m_segments.empty() && !m_segments.back().bytes.endsWith('\n');
    // Sent and received bytes never share a line: one that follows the other's
    // unfinished line starts a line of its own, with its own stamp.
    const bool breakFirst = data && lineOpen && m_segments.back().kind != kind;
    QByteArray stamp;
    if (format.showTime && data) {
        const QDateTime at = QDateTime::fromMSecsSinceEpoch(entry.stampMs);
        stamp = QStringLiteral("[%1_%2:] ")
                    .arg(at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss:zzz")), kind == kTerminalSent ? "S" : "R")
                    .toLatin1();
    }
    QByteArray formatted = FormatTerminalOutput(kind, entry.text, format, !lineOpen || breakFirst, stamp);
    if (formatted.isEmpty())
        return;
    // A line the module ended with a bare CR only lacks its LF.
    if (breakFirst)
        formatted.prepend(m_segments.back().bytes.endsWith('\r') ? "\n" : "\r\n");
    Append(formatted, kind);
    // The log holds exactly what is shown: bytes that are not UTF-8 appear as
    // their Latin-1 characters and are logged as such. The outputs are taken as
    // one stream, so a character the module's chunks cut in two is logged whole.
    m_log.WriteLogFile(m_logText.Decode(formatted).toUtf8());
}

void CTestView2::ShowAsText()
{
    if (m_bHexMode.exchange(0) != 0)
        ShowTerminalAsText();
}

void CTestView2::Append(const QByteArray& formatted, int kind)
{
    m_recordedBytes += formatted.size();
    m_writtenBytes += formatted.size();
    // Segments stay moderate in size so that a long session never copies one
    // huge buffer to grow it. A segment takes more of its kind even when part
    // of it is already shown: the flush point stays where it was.
    if (!m_segments.empty() && m_segments.back().kind == kind && m_segments.back().bytes.size() < kSegmentBytes)
        m_segments.back().bytes += formatted;
    else
        m_segments.push_back({formatted, kind});
    Trim();
    ScheduleFlush();
}

void CTestView2::SetKeptBytes(qsizetype bytes)
{
    m_keptBytes = std::max<qsizetype>(bytes, 64);
    Trim();
    if (m_boxTrimChars > 0)
        ScheduleFlush();
}

void CTestView2::Trim()
{
    const qsizetype block = m_keptBytes / 4;
    if (m_recordedBytes <= m_keptBytes + block)
        return;
    // Where the kept part would start: moved on to just after the next line
    // end within one block, else (a line longer than that) to the next
    // character.
    qsizetype cut = m_recordedBytes - m_keptBytes;
    {
        qsizetype base = 0;
        size_t i = 0;
        while (base + m_segments[i].bytes.size() <= cut)
            base += m_segments[i++].bytes.size();
        qsizetype found = -1;
        for (size_t j = i, from = size_t(cut - base); j < m_segments.size() && base < cut + block; ++j, from = 0) {
            const qsizetype lf = m_segments[j].bytes.indexOf('\n', qsizetype(from));
            if (lf >= 0) {
                found = base + lf + 1;
                break;
            }
            base += m_segments[j].bytes.size();
        }
        if (found >= 0 && found < cut + block) {
            cut = found;
        } else {
            // Past the continuation bytes of a character the cut falls in.
            base = 0;
            i = 0;
            for (;;) {
                while (i < m_segments.size() && base + m_segments[i].bytes.size() <= cut)
                    base += m_segments[i++].bytes.size();
                if (i == m_segments.size())
                    return;
                if ((uchar(m_segments[i].bytes[cut - base]) & 0xC0) != 0x80)
                    break;
                ++cut;
            }
        }
    }
    // The same bytes leave the record and, as far as they are shown, the box.
    qsizetype shownChars = 0;
    for (qsizetype left = cut; left > 0;) {
        Segment& front = m_segments.front();
        const qsizetype n = std::min(left, front.bytes.size());
        const qsizetype shown = std::min(n, m_flushSegment > 0 ? front.bytes.size() : m_flushOffset);
        if (shown > 0)
            shownChars += ForDisplay(QByteArray::fromRawData(front.bytes.constData(), shown),
                StreamByteAfter(0, shown, true))
                              .size();
        if (n == front.bytes.size()) {
            m_segments.pop_front();
            if (m_flushSegment > 0)
                --m_flushSegment;
            else
                m_flushOffset = 0;
        } else {
            front.bytes.remove(0, n);
            if (m_flushSegment == 0)
                m_flushOffset = std::max<qsizetype>(0, m_flushOffset - n);
        }
        m_recordedBytes -= n;
        left -= n;
    }
    if (shownChars > 0) {
        // The breaks the box added within the trimmed text go with it.
        m_trimmedChars += shownChars;
        qsizetype extra = 0;
        while (!m_shownExtras.empty() && m_shownExtras.front().first <= m_trimmedChars) {
            extra += m_shownExtras.front().second;
            m_shownExtras.pop_front();
        }
        // The box loses them on the next flush, together with the text that
        // comes meanwhile: changed on its own it would lay out the lines on
        // screen once more, only for the flush to do it again.
        m_boxTrimChars += shownChars + extra;
    }
}

bool CTestView2::HasPending() const
{
    return m_flushSegment + 1 < m_segments.size()
        || (m_flushSegment < m_segments.size() && m_flushOffset < m_segments[m_flushSegment].bytes.size());
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
    if (!HasPending() && m_boxTrimChars == 0)
        return;
    // The box lays out what it shows again after every change, and a line of
    // 64 KiB without a space takes long to lay out. So nothing is painted
    // until the box has taken the whole change and sits at its end: only the
    // lines that end up on screen are laid out, once per flush.
    QTextDocument* doc = m_editTerminal->document();
    QScrollBar* bar = m_editTerminal->verticalScrollBar();
    const bool painting = m_editTerminal->updatesEnabled();
    if (painting)
        m_editTerminal->setUpdatesEnabled(false);
    if (m_boxTrimChars > 0) {
        QTextCursor front(doc);
        // In an edit block the cursor never asks for the layout of its line.
        front.beginEditBlock();
        front.setPosition(std::min<qsizetype>(m_boxTrimChars, doc->characterCount() - 1), QTextCursor::KeepAnchor);
        front.removeSelectedText();
        front.endEditBlock();
        m_boxTrimChars = 0;
    }
    // The view starts at the top of the last paragraph, so that placing it
    // after the change needs no layout of a paragraph that scrolls away.
    bar->setValue(doc->lastBlock().firstLineNumber());
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    cursor.setPosition(doc->characterCount() - 1);
    qsizetype budget = kFlushBudget;
    while (HasPending() && budget > 0) {
        if (m_flushOffset >= m_segments[m_flushSegment].bytes.size()) {
            ++m_flushSegment;
            m_flushOffset = 0;
        }
        const Segment& seg = m_segments[m_flushSegment];
        qsizetype take = std::min({budget, kFlushSlice, seg.bytes.size() - m_flushOffset});
        // Never cut inside a UTF-8 sequence.
        while (m_flushOffset + take < seg.bytes.size() && (uchar(seg.bytes[m_flushOffset + take]) & 0xC0) == 0x80 && take > 0)
            --take;
        if (take == 0)
            take = seg.bytes.size() - m_flushOffset;
        QTextCharFormat fmt;
        fmt.setForeground(FromColorRef(seg.kind == kTerminalReceived ? g_sysParams.ReceivedColor() : g_sysParams.SentColor()));
        // A CR that ended the text shown before is a line end unless an LF follows.
        if (m_crPending && seg.bytes[m_flushOffset] != '\n')
            InsertShown(cursor, QStringLiteral("\n"), fmt);
        const int next = StreamByteAfter(m_flushSegment, m_flushOffset + take, false);
        m_crPending = next < 0 && seg.bytes[m_flushOffset + take - 1] == '\r';
        InsertShown(cursor, ForDisplay(QByteArray::fromRawData(seg.bytes.constData() + m_flushOffset, take), next), fmt);
        budget -= take;
        m_flushOffset += take;
    }
    cursor.endEditBlock();
    bar->setValue(bar->maximum());
    if (painting)
        m_editTerminal->setUpdatesEnabled(true);
    if (!HasPending())
        m_firstPending.invalidate();
    else
        m_flushTimer.start(0);
}

int CTestView2::StreamByteAfter(size_t segment, qsizetype offset, bool shownOnly) const
{
    // A CR at the flush point whose line break waits for the next byte.
    if (shownOnly && m_crPending && segment == m_flushSegment && offset == m_flushOffset)
        return -1;
    for (size_t i = segment; i < m_segments.size(); ++i, offset = 0) {
        if (offset < m_segments[i].bytes.size())
            return uchar(m_segments[i].bytes[offset]);
    }
    return -1;
}

void CTestView2::InsertShown(QTextCursor& cursor, const QString& text, const QTextCharFormat& format)
{
    // A line longer than kShownLineChars is shown in pieces of that length:
    // the box lays out a whole paragraph on every change to it, so one endless
    // line would cost more for every byte that came. The record and the log
    // keep the line whole; the box says once per line that it was broken.
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype lf = text.indexOf(QLatin1Char('\n'), pos);
        const qsizetype lineEnd = lf < 0 ? text.size() : lf;
        if (m_shownLineChars + (lineEnd - pos) <= kShownLineChars) {
            const qsizetype end = lf < 0 ? text.size() : lf + 1;
            cursor.insertText(text.mid(pos, end - pos), format);
            m_shownChars += end - pos;
            m_shownLineChars = lf < 0 ? m_shownLineChars + (end - pos) : 0;
            if (lf >= 0)
                m_lineBroken = false;
            pos = end;
            continue;
        }
        qsizetype room = std::max<qsizetype>(0, kShownLineChars - m_shownLineChars);
        if (room > 0 && text.at(pos + room - 1).isHighSurrogate())
            --room;
        cursor.insertText(text.mid(pos, room), format);
        m_shownChars += room;
        pos += room;
        QString brk = QStringLiteral("\n");
        if (!m_lineBroken) {
            QTextCharFormat note;
            note.setForeground(FromColorRef(g_sysParams.SentColor()));
            brk += QStringLiteral("/* This line is longer than %1 KiB: it is shown in pieces; the log holds it whole */\n")
                       .arg(kShownLineChars / 1024);
            cursor.insertText(brk, note);
            m_lineBroken = true;
        } else {
            cursor.insertText(brk, format);
        }
        // Where the box holds more than the record: Trim takes it out with
        // the text before it.
        m_shownExtras.push_back({m_shownChars, brk.size()});
        m_shownLineChars = 0;
    }
}

void CTestView2::ResetShown()
{
    m_boxTrimChars = 0;
    m_shownChars = 0;
    m_trimmedChars = 0;
    m_shownLineChars = 0;
    m_lineBroken = false;
    m_shownExtras.clear();
}

void CTestView2::Rebuild()
{
    m_crPending = false;
    ResetShown();
    m_flushSegment = 0;
    m_flushOffset = 0;
    m_editTerminal->clear();
    ScheduleFlush();
}

void CTestView2::ClearAll()
{
    m_recordedBytes = 0;
    m_writtenBytes = 0;
    m_segments.clear();
    m_crPending = false;
    m_flushSegment = 0;
    m_flushOffset = 0;
    ResetShown();
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
    std::deque<Segment> rendered;
    for (const Segment& line : lines) {
        QByteArray out;
        if (toHex)
            StampedTextToHexView(line.bytes, out);
        else
            HexViewToText(line.bytes, out);
        if (out.isEmpty())
            continue;
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
