#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <functional>

namespace ulv {

// Cuts the received byte stream into lines for the line listeners. A line ends
// at CR LF, also when the CR ends one chunk and the LF starts the next. A NUL
// inside a line becomes a blank. A line that grows to kMaxLine bytes without an
// end is handed on as it is and the rest starts a new line, so nothing is lost.
class LineAssembler {
public:
    static constexpr qsizetype kMaxLine = 5120;
    using LineHandler = std::function<void(const QByteArray& line)>;

    void Feed(QByteArrayView chunk, const LineHandler& onLine);
    // Bytes of the unfinished line.
    const QByteArray& Pending() const { return m_line; }

private:
    QByteArray m_line;
};

} // namespace ulv
