#include "pages/positioning/core/ViewBacklog.h"

#include <algorithm>

namespace ulv {

namespace {

// Held text is kept in runs of at most this many characters, so that the
// oldest lines are let go a run at a time instead of moving what follows them.
constexpr qsizetype kRunChars = 64 * 1024;

} // namespace

ViewBacklog::ViewBacklog(int maxLines, int maxLineChars)
    : m_maxLines(std::max(1, maxLines))
    , m_maxLineChars(std::max(1, maxLineChars))
{
}

QString ViewBacklog::BreakNote(int maxLineChars)
{
    return QStringLiteral("[a line longer than %1 characters: shown in pieces of %1]").arg(maxLineChars);
}

void ViewBacklog::Put(QStringView text, unsigned colour)
{
    if (text.isEmpty())
        return;
    if (m_runs.empty() || m_runs.back().colour != colour || m_runs.back().text.size() >= kRunChars)
        m_runs.push_back({colour, QString()});
    m_runs.back().text.append(text);
    m_chars += text.size();
}

void ViewBacklog::Append(QStringView text, unsigned colour)
{
    while (!text.isEmpty()) {
        const qsizetype lf = text.indexOf(QLatin1Char('\n'));
        const qsizetype lineEnd = lf < 0 ? text.size() : lf;
        const qsizetype room = m_maxLineChars - m_column;
        if (lineEnd <= room) {
            // The rest of this line fits (with its end, when it has one).
            const qsizetype take = lf < 0 ? text.size() : lf + 1;
            Put(text.left(take), colour);
            if (lf < 0) {
                m_column += take;
            } else {
                ++m_lineEnds;
                m_column = 0;
                m_lineBroken = false;
            }
            text = text.mid(take);
        } else {
            // The line is full: the rest goes on a new display line.
            Put(text.left(room), colour);
            Put(u"\n", colour);
            ++m_lineEnds;
            if (!m_lineBroken) {
                m_lineBroken = true;
                Put(BreakNote(m_maxLineChars) + QLatin1Char('\n'), colour);
                ++m_lineEnds;
            }
            m_column = 0;
            text = text.mid(room);
        }
        if (m_lineEnds > m_maxLines)
            DropOldestLines();
    }
}

void ViewBacklog::DropOldestLines()
{
    // Keep the newest m_maxLines line ends (and the unended line after them).
    while (m_lineEnds > m_maxLines && !m_runs.empty()) {
        const QString& front = m_runs.front().text;
        const qsizetype lf = front.indexOf(QLatin1Char('\n'), m_frontOffset);
        if (lf < 0) {
            m_chars -= front.size() - m_frontOffset;
            m_runs.pop_front();
            m_frontOffset = 0;
            continue;
        }
        m_chars -= lf + 1 - m_frontOffset;
        m_frontOffset = lf + 1;
        --m_lineEnds;
        if (m_frontOffset == front.size()) {
            m_runs.pop_front();
            m_frontOffset = 0;
        }
    }
    m_replace = true;
}

std::vector<ViewBacklog::Run> ViewBacklog::Take(bool* replace)
{
    *replace = m_replace || m_lineEnds >= m_maxLines;
    std::vector<Run> out(std::make_move_iterator(m_runs.begin()), std::make_move_iterator(m_runs.end()));
    if (!out.empty() && m_frontOffset > 0)
        out.front().text.remove(0, m_frontOffset);
    m_runs.clear();
    m_frontOffset = 0;
    m_chars = 0;
    m_lineEnds = 0;
    m_replace = false;
    return out;
}

} // namespace ulv
