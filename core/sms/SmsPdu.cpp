#include "core/sms/SmsPdu.h"

#include "core/text/AnsiText.h"
#include "core/sms/Gsm7Codec.h"
#include "core/text/TextCodecs.h"

namespace ulv {

namespace {

const char kUpperHex[] = "0123456789ABCDEF";

constexpr int kSmscOctetsMax = 1 + kSmsAddressDigitsMax / 2; // type of address + digits
constexpr int kSeptetsMax = 160;
constexpr int kOctetsMax = 140;

void AppendOctet(QByteArray& out, unsigned char b)
{
    const char digits[2] = {kUpperHex[b >> 4], kUpperHex[b & 0xF]};
    out.append(digits, 2);
}

// The semi-octet digits of a number: 0-9, '*' as A and '#' as B.
bool AddressDigits(QByteArrayView number, QByteArray& digits)
{
    if (number.size() > kSmsAddressDigitsMax)
        return false;
    digits.resize(0);
    for (const char c : number) {
        if (c >= '0' && c <= '9')
            digits.append(c);
        else if (c == '*')
            digits.append('A');
        else if (c == '#')
            digits.append('B');
        else
            return false;
    }
    return true;
}

// Reads octets from PDU hex text, never beyond its end.
class PduReader {
public:
    explicit PduReader(QByteArrayView hex)
        : m_hex(hex)
    {
    }

    SmsPduError error() const { return m_error; }

    bool Fail(SmsPduError e)
    {
        if (m_error == SmsPduError::None)
            m_error = e;
        return false;
    }

    bool Octet(unsigned char& v)
    {
        if (m_pos + 2 > m_hex.size())
            return Fail(SmsPduError::Truncated);
        const int hi = HexDigitValue(m_hex[m_pos]);
        const int lo = HexDigitValue(m_hex[m_pos + 1]);
        if (hi < 0 || lo < 0)
            return Fail(SmsPduError::BadHex);
        v = static_cast<unsigned char>(hi << 4 | lo);
        m_pos += 2;
        return true;
    }

    bool Octets(qsizetype count, unsigned char* out)
    {
        if (m_pos + 2 * count > m_hex.size())
            return Fail(SmsPduError::Truncated);
        for (qsizetype i = 0; i < count; ++i) {
            if (!Octet(out[i]))
                return false;
        }
        return true;
    }

    bool Skip(qsizetype count)
    {
        for (qsizetype i = 0; i < count; ++i) {
            unsigned char ignored;
            if (!Octet(ignored))
                return false;
        }
        return true;
    }

    // count octets as semi-octet digits, low nibble first.
    bool SemiOctets(qsizetype count, QByteArray& digits)
    {
        if (m_pos + 2 * count > m_hex.size())
            return Fail(SmsPduError::Truncated);
        digits.resize(2 * count);
        for (qsizetype i = 0; i < count; ++i) {
            unsigned char b;
            if (!Octet(b))
                return false;
            digits[2 * i] = kUpperHex[b & 0xF];
            digits[2 * i + 1] = kUpperHex[b >> 4];
        }
        return true;
    }

private:
    QByteArrayView m_hex;
    qsizetype m_pos = 0;
    SmsPduError m_error = SmsPduError::None;
};

void DropFinalF(QByteArray& digits)
{
    if (!digits.isEmpty() && digits.back() == 'F')
        digits.chop(1);
}

bool ReadSmsc(PduReader& in, SmsPduRecord& record)
{
    unsigned char length;
    if (!in.Octet(length))
        return false;
    if (length == 0)
        return true;
    if (length > kSmscOctetsMax)
        return in.Fail(SmsPduError::AddressTooLong);
    if (!in.Skip(1) || !in.SemiOctets(length - 1, record.smscNumber))
        return false;
    DropFinalF(record.smscNumber);
    return true;
}

// Length in digits, type of address (not examined), digits.
bool ReadAddress(PduReader& in, QByteArray& number)
{
    unsigned char digits;
    if (!in.Octet(digits))
        return false;
    if (digits > kSmsAddressDigitsMax)
        return in.Fail(SmsPduError::AddressTooLong);
    if (!in.Skip(1) || !in.SemiOctets((digits + 1) / 2, number))
        return false;
    number.truncate(digits);
    DropFinalF(number);
    return true;
}

void ReadConcatenation(const unsigned char* h, int headerOctets, SmsPduRecord& record)
{
    int i = 1;
    while (i + 2 <= headerOctets) {
        const int iei = h[i];
        const int len = h[i + 1];
        if (i + 2 + len > headerOctets)
            break;
        const unsigned char* v = h + i + 2;
        if (iei == 0x00 && len == 3) {
            record.concatReference = v[0];
            record.concatParts = v[1];
            record.concatPart = v[2];
        } else if (iei == 0x08 && len == 4) {
            record.concatReference = v[0] << 8 | v[1];
            record.concatParts = v[2];
            record.concatPart = v[3];
        }
        i += 2 + len;
    }
}

// User-data length, user-data header when headerPresent, user data by DCS.
int ReadUserData(PduReader& in, bool headerPresent, SmsPduRecord& record)
{
    unsigned char udl;
    if (!in.Octet(udl))
        return -1;
    const bool septets = record.dcs == 0;
    if (udl > (septets ? kSeptetsMax : kOctetsMax))
        return in.Fail(SmsPduError::UserDataTooLong), -1;
    const int octets = septets ? (udl * 7 + 7) / 8 : udl;
    unsigned char ud[kOctetsMax];
    if (!in.Octets(octets, ud))
        return -1;

    int headerOctets = 0;
    if (headerPresent && octets > 0) {
        headerOctets = ud[0] + 1;
        if (headerOctets > octets)
            return in.Fail(SmsPduError::BadHeader), -1;
        ReadConcatenation(ud, headerOctets, record);
    }

    if (septets) {
        // The text starts at the first septet boundary after the header, so the
        // fill bits follow from the header length (none after a 7-octet header).
        const int headerSeptets = (headerOctets * 8 + 6) / 7;
        if (headerSeptets > udl)
            return in.Fail(SmsPduError::BadHeader), -1;
        record.text = Gsm7UnpackSeptets(
            QByteArrayView(reinterpret_cast<const char*>(ud), octets), headerSeptets, udl - headerSeptets);
        return int(record.text.size());
    }
    const unsigned char* body = ud + headerOctets;
    const int bodyOctets = octets - headerOctets;
    if (record.dcs == 8) {
        record.text.resize(qsizetype(bodyOctets / 2) * 3);
        record.text.truncate(Ucs2BytesToUtf8(body, bodyOctets / 2, record.text.data()));
    } else {
        record.text = QByteArray(reinterpret_cast<const char*>(body), bodyOctets);
    }
    return int(record.text.size());
}

// Empties the record but keeps its buffers for the next message.
void Reset(SmsPduRecord& record)
{
    record.smscNumber.resize(0);
    record.number.resize(0);
    record.timeStamp.resize(0);
    record.text.resize(0);
    record.pid = 0;
    record.dcs = 0;
    record.concatReference = 0;
    record.concatParts = 0;
    record.concatPart = 0;
}

int Finish(const PduReader& in, int result, SmsPduError* error)
{
    if (error)
        *error = result < 0 ? in.error() : SmsPduError::None;
    return result;
}

} // namespace

QString SmsPduErrorText(SmsPduError error)
{
    switch (error) {
    case SmsPduError::None:
        return QStringLiteral("no error");
    case SmsPduError::BadHex:
        return QStringLiteral("the PDU holds a character that is not a hex digit");
    case SmsPduError::Truncated:
        return QStringLiteral("the PDU ends before the data it declares");
    case SmsPduError::AddressTooLong:
        return QStringLiteral("an address is longer than 20 digits");
    case SmsPduError::UserDataTooLong:
        return QStringLiteral("the user data is longer than one SMS");
    case SmsPduError::BadHeader:
        return QStringLiteral("the user-data header is longer than the user data");
    case SmsPduError::InvalidNumber:
        return QStringLiteral("a number may hold only the digits 0-9, * and # (at most 20)");
    case SmsPduError::TextNotGsm7:
        return QStringLiteral("a 7-bit text may hold only characters below 0x80");
    case SmsPduError::TextTooLong:
        return QStringLiteral("the text is longer than one SMS");
    }
    return {};
}

int EncodeSmsSubmitPdu(const SmsPduRecord& record, QByteArray& out, SmsPduError* error)
{
    auto refuse = [&](SmsPduError e) {
        out.clear();
        if (error)
            *error = e;
        return 0;
    };
    QByteArray smsc;
    QByteArray number;
    if (!AddressDigits(record.smscNumber, smsc) || !AddressDigits(record.number, number))
        return refuse(SmsPduError::InvalidNumber);

    QByteArray userData;
    int udl;
    if (record.dcs == 0) {
        if (record.text.size() > kSeptetsMax)
            return refuse(SmsPduError::TextTooLong);
        for (const char c : record.text) {
            if (static_cast<unsigned char>(c) >= 0x80)
                return refuse(SmsPduError::TextNotGsm7);
        }
        userData = Gsm7Pack(record.text);
        udl = int(record.text.size());
    } else {
        userData = record.dcs == 8 ? AnsiToUcs2(record.text) : record.text;
        if (userData.size() > kOctetsMax)
            return refuse(SmsPduError::TextTooLong);
        udl = int(userData.size());
    }

    QByteArray pdu;
    pdu.reserve(2 * (12 + 2 + 12 + 4 + kOctetsMax));
    AppendOctet(pdu, static_cast<unsigned char>((smsc.size() + 1) / 2 + 1));
    pdu.append("91");
    pdu.append(DigitsToSemiOctets(smsc));
    pdu.append("1100");
    AppendOctet(pdu, static_cast<unsigned char>(number.size()));
    pdu.append("91");
    pdu.append(DigitsToSemiOctets(number));
    AppendOctet(pdu, record.pid);
    AppendOctet(pdu, record.dcs);
    pdu.append("00");
    AppendOctet(pdu, static_cast<unsigned char>(udl));
    pdu.append(BytesToHex(userData));
    out = std::move(pdu);
    if (error)
        *error = SmsPduError::None;
    return int(out.size());
}

int DecodeSmsPdu(QByteArrayView pdu, SmsPduRecord& record, SmsPduError* error)
{
    Reset(record);
    PduReader in(pdu);
    unsigned char first;
    if (!ReadSmsc(in, record) || !in.Octet(first))
        return Finish(in, -1, error);
    if (first & 0x01) {
        // SMS-SUBMIT: message reference, destination, PID, DCS, validity period
        // in the format the first octet gives.
        static constexpr int kValidityOctets[4] = {0, 7, 1, 7};
        if (!in.Skip(1) || !ReadAddress(in, record.number) || !in.Octet(record.pid) || !in.Octet(record.dcs)
            || !in.Skip(kValidityOctets[(first >> 3) & 0x3]))
            return Finish(in, -1, error);
    } else {
        if (!ReadAddress(in, record.number) || !in.Octet(record.pid) || !in.Octet(record.dcs)
            || !in.SemiOctets(7, record.timeStamp))
            return Finish(in, -1, error);
    }
    return Finish(in, ReadUserData(in, (first & 0x40) != 0, record), error);
}

int DecodeSmsDeliverPdu(QByteArrayView pdu, SmsPduRecord& record, SmsPduError* error)
{
    Reset(record);
    PduReader in(pdu);
    if (!ReadSmsc(in, record) || !in.Skip(1) || !ReadAddress(in, record.number) || !in.Octet(record.pid)
        || !in.Octet(record.dcs) || !in.SemiOctets(7, record.timeStamp))
        return Finish(in, -1, error);
    return Finish(in, ReadUserData(in, false, record), error);
}

} // namespace ulv
