#pragma once

#include <QString>
#include <QStringView>

#include <deque>
#include <vector>

namespace ulv {

// Text on its way to a read-only view that keeps only its newest lines. It is
// held here while the view is hidden (never more than the view would keep),
// and a line longer than the view's line bound is broken for display, with a
// note the first time each such line is broken, so that an endless line costs
// the view the same per character as short ones. Line ends are '\n'.
class ViewBacklog {
public:
    struct Run {
        unsigned colour; // COLORREF
        QString text;
    };

    ViewBacklog(int maxLines, int maxLineChars);

    void Append(QStringView text, unsigned colour);
    // Hands over everything held. replace is set when the held text alone fills
    // the view: whatever the view shows now would be pushed out by it.
    std::vector<Run> Take(bool* replace);

    bool Empty() const { return m_runs.empty(); }
    qsizetype HeldChars() const { return m_chars; }
    // The note put on a line of its own where a long line is first broken.
    static QString BreakNote(int maxLineChars);

private:
    void Put(QStringView text, unsigned colour);
    void DropOldestLines();

    int m_maxLines;
    int m_maxLineChars;
    std::deque<Run> m_runs;
    qsizetype m_frontOffset = 0; // characters of the first run already let go
    qsizetype m_chars = 0;
    qsizetype m_lineEnds = 0;  // held
    qsizetype m_column = 0;    // characters of the last line, whether shown or held
    bool m_lineBroken = false; // the last line has been broken (and said so)
    bool m_replace = false;
};

} // namespace ulv
