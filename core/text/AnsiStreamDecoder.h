#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace ulv {

// Converts a byte stream that arrives in pieces exactly as AnsiToString would
// convert it whole: a UTF-8 sequence that one piece ends in the middle of is
// held back until the next piece brings the rest (or shows there is none), so
// a character cut by a chunk boundary never turns into two Latin-1 ones.
class AnsiStreamDecoder {
public:
    // The text of the bytes held from before followed by `bytes`, except an
    // unfinished UTF-8 sequence at the end, which is held.
    QString Decode(QByteArrayView bytes);
    // The held bytes as text (each its Latin-1 character): the stream ended.
    QString Flush();

private:
    QByteArray m_held;
};

} // namespace ulv
