#include "core/text/AnsiStreamDecoder.h"

#include "core/text/AnsiText.h"

namespace ulv {

namespace {

// Whether the k bytes at s (fewer than the sequence their lead byte starts)
// can still become a valid UTF-8 sequence. From the second byte on, whether a
// sequence can be valid no longer depends on the bytes after it, so padding
// with the smallest continuation byte tells.
bool UnfinishedSequence(const unsigned char* s, qsizetype k)
{
    const unsigned char b0 = s[0];
    const int len = b0 >= 0xC2 && b0 <= 0xDF ? 2 : b0 >= 0xE0 && b0 <= 0xEF ? 3 : b0 >= 0xF0 && b0 <= 0xF4 ? 4 : 0;
    if (k >= len)
        return false;
    if (k == 1)
        return true;
    unsigned char padded[4] = {0x80, 0x80, 0x80, 0x80};
    for (qsizetype i = 0; i < k; ++i)
        padded[i] = s[i];
    char32_t cp = 0;
    return DecodeUtf8Sequence(padded, len, &cp) == len;
}

// Bytes at the end of `bytes` that start an unfinished sequence. A byte that
// is not a continuation byte is never inside a sequence that started before
// it, so the last such byte among the final three is where the conversion of
// the whole text would stand.
qsizetype UnfinishedTail(QByteArrayView bytes)
{
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    for (qsizetype i = n - 1; i >= 0 && i >= n - 3; --i) {
        if ((s[i] & 0xC0) != 0x80)
            return s[i] >= 0xC0 && UnfinishedSequence(s + i, n - i) ? n - i : 0;
    }
    return 0;
}

} // namespace

QString AnsiStreamDecoder::Decode(QByteArrayView bytes)
{
    if (m_held.isEmpty()) {
        const qsizetype tail = UnfinishedTail(bytes);
        m_held = bytes.last(tail).toByteArray();
        return AnsiToString(bytes.first(bytes.size() - tail));
    }
    QByteArray all = m_held;
    all.append(bytes);
    const qsizetype tail = UnfinishedTail(all);
    m_held = all.right(tail);
    all.chop(tail);
    return AnsiToString(all);
}

QString AnsiStreamDecoder::Flush()
{
    const QString text = AnsiToString(m_held);
    m_held.clear();
    return text;
}

} // namespace ulv
