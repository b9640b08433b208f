#include "core/sms/Gsm7Codec.h"

namespace ulv {

QByteArray Gsm7Pack(QByteArrayView septets)
{
    const qsizetype n = septets.size();
    QByteArray out((7 * n + 7) / 8, Qt::Uninitialized);
    char* p = out.data();
    unsigned bits = 0;
    int held = 0;
    for (const char c : septets) {
        bits |= unsigned(static_cast<unsigned char>(c) & 0x7F) << held;
        held += 7;
        if (held >= 8) {
            *p++ = char(bits & 0xFF);
            bits >>= 8;
            held -= 8;
        }
    }
    if (held > 0)
        *p++ = char(bits & 0xFF);
    return out;
}

QByteArray Gsm7UnpackSeptets(QByteArrayView octets, qsizetype first, qsizetype count)
{
    if (first < 0 || count <= 0)
        return {};
    const qsizetype available = octets.size() * 8 / 7;
    if (first >= available)
        return {};
    if (count > available - first)
        count = available - first;
    QByteArray out(count, Qt::Uninitialized);
    const auto* o = reinterpret_cast<const unsigned char*>(octets.data());
    char* p = out.data();
    for (qsizetype k = first; k < first + count; ++k) {
        const qsizetype bit = 7 * k;
        const qsizetype at = bit / 8;
        const int shift = int(bit % 8);
        unsigned v = unsigned(o[at]) >> shift;
        if (shift > 1)
            v |= unsigned(o[at + 1]) << (8 - shift);
        *p++ = char(v & 0x7F);
    }
    return out;
}

QByteArray Gsm7Unpack(QByteArrayView octets)
{
    return Gsm7UnpackSeptets(octets, 0, octets.size() * 8 / 7);
}

QByteArray Gsm7UnpackAfterFill(QByteArrayView octets)
{
    if (octets.isEmpty())
        return {};
    // One fill bit: septet k starts at bit 7 x k + 1, which is septet k of the
    // stream that begins with the second octet, shifted by the first octet's bit 0.
    QByteArray out;
    out.append(char((static_cast<unsigned char>(octets[0]) >> 1) & 0x7F));
    out.append(Gsm7Unpack(octets.sliced(1)));
    return out;
}

} // namespace ulv
