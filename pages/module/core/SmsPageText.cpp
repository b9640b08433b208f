#include "pages/module/core/SmsPageText.h"

#include "core/sms/SmsPdu.h"
#include "core/text/AnsiText.h"
#include "core/text/CTextCodec.h"
#include "core/text/TextCodecs.h"
#include "core/text/TimeStamp.h"

namespace ulv {

namespace {

constexpr int kLengthFieldMax = 1064;

QString TrimmedLine(QStringView line)
{
    while (!line.isEmpty() && (line.back() == u'\r' || line.back() == u'\n'))
        line.chop(1);
    return line.toString();
}

QString WithoutTrailingLineEnds(QString text)
{
    while (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r')))
        text.chop(1);
    return text;
}

bool IsErrorLine(const QString& line)
{
    return line == QLatin1String("ERROR") || line.startsWith(QLatin1String("+CMS ERROR:"))
        || line.startsWith(QLatin1String("+CME ERROR:"));
}

bool OnlyLineEnds(QStringView rest)
{
    for (const QChar c : rest)
        if (c != u'\r' && c != u'\n' && c != u' ')
            return false;
    return true;
}

// The length the header's last field gives, -1 when it gives none.
int LengthField(const SmsHeaderFields& h)
{
    if (h.fields.isEmpty() || h.quoted.back())
        return -1;
    bool ok = false;
    const int n = h.fields.back().trimmed().toInt(&ok);
    return ok && n >= 0 && n <= kLengthFieldMax ? n : -1;
}

QString ReadAddress(const QString& field, SmsCharset charset)
{
    QString address = field;
    if (charset == SmsCharset::Hex)
        address = AnsiToString(HexToText(field.toLatin1()));
    else if (charset == SmsCharset::Ucs2)
        address = AnsiToString(FromUcs2Hex(field.toLatin1()));
    address.remove(QLatin1Char('+'));
    return address;
}

// Content, number and time of a PDU; false when it does not decode.
bool ReadPdu(const QString& pdu, SmsEntry& entry)
{
    SmsPduRecord record;
    if (DecodeSmsPdu(pdu.toLatin1(), record) < 0)
        return false;
    entry.content = AnsiToString(record.text);
    entry.addresser = QString::fromLatin1(record.number);
    entry.time = FormatSmsTimestamp(QString::fromLatin1(record.timeStamp));
    return true;
}

// The header line that starts at `at` (without its line end) and where its data begins.
QString HeaderAt(const QString& reply, qsizetype at, qsizetype* dataStart)
{
    const qsizetype end = reply.indexOf(QLatin1Char('\n'), at);
    *dataStart = end < 0 ? reply.size() : end + 1;
    return TrimmedLine(QStringView(reply).mid(at, end < 0 ? -1 : end - at));
}

// The text after a header up to the final result line, without trailing line ends.
QString TextBeforeFinal(const QString& reply, qsizetype dataStart)
{
    QString rest = WithoutTrailingLineEnds(reply.mid(dataStart));
    const qsizetype lastLine = rest.lastIndexOf(QLatin1Char('\n'));
    const QString last = rest.mid(lastLine + 1).trimmed();
    if (last == QLatin1String("OK") || IsErrorLine(last))
        rest.truncate(lastLine < 0 ? 0 : lastLine);
    return WithoutTrailingLineEnds(rest);
}

} // namespace

QByteArray WithoutBlanks(QByteArrayView text)
{
    QByteArray out;
    out.reserve(text.size());
    for (const char c : text)
        if (c != ' ')
            out.append(c);
    return out;
}

bool ParseHexPairs(QByteArrayView hex, QByteArray& out)
{
    const QByteArray digits = WithoutBlanks(hex);
    if (digits.size() % 2 != 0)
        return false;
    out = HexToBytes(digits);
    return true;
}

QByteArray HexToText(QByteArrayView hex)
{
    QByteArray bytes;
    if (!ParseHexPairs(hex, bytes))
        return {};
    const qsizetype zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes.truncate(zero);
    return bytes;
}

QByteArray FromUcs2Hex(QByteArrayView hex)
{
    QByteArray text = CTextCodec::Ucs2HexToAnsi(WithoutBlanks(hex));
    const qsizetype zero = text.indexOf('\0');
    if (zero >= 0)
        text.truncate(zero);
    return text;
}

bool IsValidNumber(const QString& number)
{
    const qsizetype first = number.startsWith(QLatin1Char('+')) ? 1 : 0;
    if (number.size() - first > kSmsAddressDigitsMax)
        return false;
    for (qsizetype i = first; i < number.size(); ++i)
        if (!number[i].isDigit() || number[i].unicode() > 0x7F)
            return false;
    return true;
}

int CountLineBreaks(QByteArrayView text)
{
    int n = 0;
    for (qsizetype i = 0; i + 1 < text.size(); ++i)
        if (text[i] == '\r' && text[i + 1] == '\n')
            ++n;
    return n;
}

bool IsUcs2Needed(QByteArrayView hex)
{
    if (hex.size() % 4 != 0)
        return true;
    for (qsizetype i = 0; i < hex.size(); i += 4) {
        int value = 0;
        for (int k = 0; k < 4; ++k)
            value = value * 16 + std::max(0, HexDigitValue(hex[i + k]));
        if (value > 0x7F)
            return true;
    }
    return false;
}

int GetPduTpduLength(QByteArrayView pdu)
{
    if (pdu.size() < 2 || HexDigitValue(pdu[0]) < 0 || HexDigitValue(pdu[1]) < 0)
        return -1;
    const int smscOctets = HexDigitValue(pdu[0]) * 16 + HexDigitValue(pdu[1]);
    const int n = int(pdu.size() / 2) - smscOctets - 1;
    return n > 0 ? n : -1;
}

QString SmsStatusOfCode(const QString& code)
{
    static const char* const kNames[] = {"REC UNREAD", "REC READ", "STO UNSENT", "STO SENT"};
    bool ok = false;
    const int n = code.trimmed().toInt(&ok);
    return ok && n >= 0 && n <= 3 ? QString::fromLatin1(kNames[n]) : QStringLiteral("ALL");
}

SmsHeaderFields SplitSmsHeader(QStringView header)
{
    SmsHeaderFields h;
    QString field;
    bool inQuotes = false, wasQuoted = false;
    for (const QChar c : header) {
        if (c == u'"') {
            // Blanks before the opening quote are no part of the field.
            if (!inQuotes && !wasQuoted && field.trimmed().isEmpty())
                field.clear();
            inQuotes = !inQuotes;
            wasQuoted = true;
        } else if (c == u',' && !inQuotes) {
            h.fields.append(wasQuoted ? field : field.trimmed());
            h.quoted.append(wasQuoted);
            field.clear();
            wasQuoted = false;
        } else {
            field.append(c);
        }
    }
    h.fields.append(wasQuoted ? field : field.trimmed());
    h.quoted.append(wasQuoted);
    return h;
}

bool HasErrorResult(QStringView reply)
{
    for (const QStringView line : reply.split(u'\n'))
        if (IsErrorLine(TrimmedLine(line).trimmed()))
            return true;
    return false;
}

bool EndsWithOkResult(QStringView reply)
{
    const QString text = WithoutTrailingLineEnds(reply.toString());
    const qsizetype lastLine = text.lastIndexOf(QLatin1Char('\n'));
    return reply.endsWith(u'\n') && QStringView(text).mid(lastLine + 1).trimmed() == u"OK";
}

bool ParseCmgrTextReply(const QString& reply, SmsCharset charset, bool lengthRule, SmsEntry& entry)
{
    const qsizetype at = reply.indexOf(QLatin1String("+CMGR:"));
    if (at < 0)
        return false;
    qsizetype dataStart = 0;
    const QString header = HeaderAt(reply, at, &dataStart).mid(6);
    const SmsHeaderFields h = SplitSmsHeader(header);
    entry.status = h.At(0);
    entry.addresser = ReadAddress(h.At(1), charset);
    entry.time = h.Quoted(3) ? h.At(3) : QString();
    const int n = lengthRule ? LengthField(h) : -1;
    if (n >= 0)
        entry.content = reply.mid(dataStart, std::min<qsizetype>(n, reply.size() - dataStart));
    else
        entry.content = TextBeforeFinal(reply, dataStart);
    return true;
}

bool ParsePduCmgrReply(const QString& reply, SmsEntry& entry)
{
    const qsizetype at = reply.indexOf(QLatin1String("+CMGR:"));
    if (at < 0)
        return false;
    qsizetype dataStart = 0;
    const SmsHeaderFields h = SplitSmsHeader(HeaderAt(reply, at, &dataStart).mid(6));
    entry.status = SmsStatusOfCode(h.At(0));
    const qsizetype end = reply.indexOf(QLatin1Char('\n'), dataStart);
    const QString pdu = TrimmedLine(QStringView(reply).mid(dataStart, end < 0 ? -1 : end - dataStart)).trimmed();
    if (!pdu.isEmpty())
        ReadPdu(pdu, entry);
    return true;
}

int CpmsUsedCount(const QString& reply)
{
    const qsizetype at = reply.indexOf(QLatin1String("+CPMS:"));
    if (at < 0)
        return 0;
    qsizetype dataStart = 0;
    const SmsHeaderFields h = SplitSmsHeader(HeaderAt(reply, at, &dataStart).mid(6));
    return std::max(0, h.At(0).trimmed().toInt());
}

std::optional<int> CpmsCapacity(const QString& reply)
{
    const qsizetype at = reply.indexOf(QLatin1String("+CPMS:"));
    if (at < 0)
        return std::nullopt;
    qsizetype dataStart = 0;
    const SmsHeaderFields h = SplitSmsHeader(HeaderAt(reply, at, &dataStart).mid(6));
    bool ok = false;
    const int capacity = h.At(1).trimmed().toInt(&ok);
    if (!ok || capacity < 0)
        return std::nullopt;
    return capacity;
}

namespace {

struct RawEntry {
    QString header;
    QString data;
};

// Walks a listing: its entries so far and how far it is.
SmsListing::State WalkListing(
    const QString& text, bool pdu, bool lengthRule, QList<RawEntry>* entries)
{
    qsizetype pos = 0;
    const qsizetype size = text.size();
    const auto lineAt = [&](qsizetype from, qsizetype* end) {
        *end = text.indexOf(QLatin1Char('\n'), from);
        return *end < 0 ? QString() : TrimmedLine(QStringView(text).mid(from, *end - from)).trimmed();
    };
    for (;;) {
        while (pos < size && (text[pos] == u'\r' || text[pos] == u'\n'))
            ++pos;
        qsizetype lineEnd = 0;
        const QString line = lineAt(pos, &lineEnd);
        if (lineEnd < 0)
            return SmsListing::State::More;
        if (line == QLatin1String("OK"))
            return SmsListing::State::Ok;
        if (IsErrorLine(line))
            return SmsListing::State::Error;
        if (!line.startsWith(QLatin1String("+CMGL:"))) {
            pos = lineEnd + 1;
            continue;
        }
        RawEntry raw{line.mid(6), {}};
        const qsizetype dataStart = lineEnd + 1;
        const int n = lengthRule && !pdu ? LengthField(SplitSmsHeader(raw.header)) : -1;
        const bool finalSeen = text.endsWith(QLatin1String("\r\nOK\r\n"));
        if (n >= 0 && dataStart + n <= size) {
            raw.data = text.mid(dataStart, n);
            pos = dataStart + n;
        } else if (n >= 0 && !finalSeen) {
            return SmsListing::State::More;
        } else if (pdu) {
            qsizetype end = 0;
            raw.data = lineAt(dataStart, &end);
            if (end < 0)
                return SmsListing::State::More;
            pos = end + 1;
        } else {
            // The text runs to the next entry or to the final result.
            qsizetype p = dataStart;
            for (;;) {
                qsizetype end = 0;
                const QString l = lineAt(p, &end);
                if (end < 0)
                    return SmsListing::State::More;
                if (l.startsWith(QLatin1String("+CMGL:"))
                    || ((l == QLatin1String("OK") || IsErrorLine(l)) && OnlyLineEnds(QStringView(text).mid(end + 1))))
                    break;
                p = end + 1;
            }
            raw.data = WithoutTrailingLineEnds(text.mid(dataStart, p - dataStart));
            pos = p;
        }
        if (entries)
            entries->append(raw);
    }
}

} // namespace

SmsListing::State SmsListing::Judge(const QString& text) const
{
    return WalkListing(text, m_pdu, m_lengthRule, nullptr);
}

QList<SmsEntry> SmsListing::Entries(const QString& text, QStringList* refused) const
{
    QList<RawEntry> raws;
    WalkListing(text, m_pdu, m_lengthRule, &raws);
    QList<SmsEntry> out;
    static const QLatin1String kStatuses[] = {QLatin1String("REC UNREAD"), QLatin1String("REC READ"),
        QLatin1String("STO UNSENT"), QLatin1String("STO SENT")};
    for (const RawEntry& raw : raws) {
        const SmsHeaderFields h = SplitSmsHeader(raw.header);
        SmsEntry e;
        e.index = h.At(0).trimmed();
        if (e.index.isEmpty())
            continue;
        // A row the module had no business listing would later be read or
        // deleted by its index: it is left out, and the terminal says so.
        bool digits = e.index.size() <= 5;
        for (const QChar c : e.index)
            digits = digits && c >= u'0' && c <= u'9';
        const bool goodIndex = digits && e.index.toInt() <= kMaxSmsIndex;
        const QString status = m_pdu ? h.At(1).trimmed() : h.At(1);
        bool goodStatus = false;
        if (m_pdu) {
            goodStatus = status.size() == 1 && status[0] >= u'0' && status[0] <= u'3';
        } else {
            for (const QLatin1String& name : kStatuses)
                goodStatus = goodStatus || status.compare(name, Qt::CaseInsensitive) == 0;
        }
        if (!goodIndex || !goodStatus) {
            if (refused)
                refused->append(QStringLiteral("/* The listed message \"%1\" (status \"%2\") is left out: %3 */")
                                    .arg(e.index.left(32), status.left(32),
                                        goodIndex ? QStringLiteral("no message has that status")
                                                  : QStringLiteral("that is no message index")));
            continue;
        }
        if (m_pdu) {
            e.status = SmsStatusOfCode(h.At(1));
            const QString pdu = raw.data.trimmed();
            if (pdu.isEmpty() || !ReadPdu(pdu, e))
                continue;
        } else {
            e.status = h.At(1);
            e.addresser = ReadAddress(h.At(2), m_charset);
            e.time = h.Quoted(4) ? h.At(4) : QString();
            e.content = raw.data;
        }
        out.append(e);
    }
    return out;
}

} // namespace ulv
