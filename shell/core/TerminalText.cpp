#include "shell/core/TerminalText.h"

#include "core/text/HexView.h"
#include "core/at/TerminalOutput.h"

#include <vector>

namespace ulv {

QByteArray StampLines(const QByteArray& text, const QByteArray& stamp, bool lineStart)
{
    QByteArray out;
    out.reserve(text.size() + stamp.size() * 4);
    const qsizetype n = text.size();
    if (lineStart && !text.startsWith('\n') && !text.startsWith("\r\n"))
        out += stamp;
    for (qsizetype i = 0; i < n; ++i) {
        out += text[i];
        if (text[i] != '\n')
            continue;
        const bool endsText = i == n - 1;
        const bool onlyFinalCr = i == n - 2 && text[n - 1] == '\r';
        if (!endsText && !onlyFinalCr)
            out += stamp;
    }
    return out;
}

QByteArray StampLinesHex(const QByteArray& hex, const QByteArray& stamp, bool lineStart)
{
    std::vector<qsizetype> breaks;
    for (qsizetype at = hex.indexOf("\r\n"); at >= 0; at = hex.indexOf("\r\n", at + 2))
        breaks.push_back(at);
    // Decide from the end: each break looks at the view line up to the next break.
    std::vector<bool> stampAfter(breaks.size(), false);
    qsizetype remainingEnd = hex.size();
    for (size_t k = breaks.size(); k-- > 0;) {
        const qsizetype from = breaks[k] + 2;
        const QByteArrayView after(hex.constData() + from, remainingEnd - from);
        stampAfter[k] = !after.isEmpty() && after != QByteArrayView("0d 0a ") && after != QByteArrayView("0a ");
        remainingEnd = breaks[k];
    }
    QByteArray out;
    out.reserve(hex.size() + stamp.size() * qsizetype(breaks.size() + 1));
    const qsizetype firstLine = breaks.empty() ? hex.size() : breaks.front();
    if (lineStart && firstLine > 0)
        out += stamp;
    qsizetype pos = 0;
    for (size_t k = 0; k < breaks.size(); ++k) {
        out.append(hex.constData() + pos, breaks[k] + 2 - pos);
        if (stampAfter[k])
            out += stamp;
        pos = breaks[k] + 2;
    }
    out.append(hex.constData() + pos, hex.size() - pos);
    return out;
}

QByteArray FormatTerminalOutput(int kind, const QByteArray& input, const TerminalFormat& format, bool lineStart,
    const QByteArray& stamp)
{
    if (input.isEmpty())
        return {};
    QByteArray text = kind == kTerminalNote ? "\r\n" + input + "\r\n" : input;
    const bool data = kind == kTerminalSent || kind == kTerminalReceived;
    if (format.hexMode) {
        QByteArray view;
        TextToHexView(text, view);
        text = view;
    } else if (format.showCRLF && data) {
        text.replace("\r\n", "<CR><LF>\r\n");
    }
    if (format.showTime && data)
        text = format.hexMode ? StampLinesHex(text, stamp, lineStart) : StampLines(text, stamp, lineStart);
    return text;
}

} // namespace ulv
