#include "core/at/LineAssembler.h"

namespace ulv {

void LineAssembler::Feed(QByteArrayView chunk, const LineHandler& onLine)
{
    for (const char c : chunk) {
        if (c == '\n' && m_line.endsWith('\r')) {
            m_line.chop(1);
            QByteArray line;
            line.swap(m_line);
            onLine(line);
            continue;
        }
        // Keep a CR at the cap: its LF may be next.
        if (m_line.size() >= kMaxLine && !m_line.endsWith('\r')) {
            QByteArray line;
            line.swap(m_line);
            onLine(line);
        }
        m_line.append(c == '\0' ? ' ' : c);
    }
}

} // namespace ulv
