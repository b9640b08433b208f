#include "pages/module/core/SmsToolText.h"

#include "core/text/TextCodecs.h"

namespace ulv {

QString WithCountryPrefix86(const QString& number)
{
    if (number.isEmpty() || number.startsWith(QLatin1String("86")) || number.startsWith(QLatin1String("+86")))
        return number;
    return QStringLiteral("86") + number;
}

int BuildPdu(const QByteArray& smsc, const QByteArray& recipient, const QByteArray& text, int coding, QByteArray& pdu,
    SmsPduError* error)
{
    SmsPduRecord record;
    record.smscNumber = smsc;
    record.number = recipient;
    record.pid = 0;
    record.dcs = coding == kPduCoding8Bit ? 4 : coding == kPduCodingUcs2 ? 8 : 0;
    record.text = text;
    const int hexLength = EncodeSmsSubmitPdu(record, pdu, error);
    if (hexLength <= 0)
        return 0;
    // The first octet counts the SMSC octets that follow it.
    const int smscOctets = HexDigitValue(pdu[0]) * 16 + HexDigitValue(pdu[1]);
    return hexLength / 2 - smscOctets - 1;
}

QString PduRefusalText(SmsPduError error, int coding)
{
    QString text = QStringLiteral("Fail to generate PDU code: ") + SmsPduErrorText(error);
    if (error == SmsPduError::TextTooLong) {
        if (coding == kPduCoding7Bit)
            text += QStringLiteral(" (at most 160 characters in 7Bit)");
        else if (coding == kPduCoding8Bit)
            text += QStringLiteral(" (at most 140 bytes in 8Bit)");
        else
            text += QStringLiteral(" (at most 70 characters in UCS2)");
    }
    return text + QLatin1Char('!');
}

QByteArray BytesToSpacedHex(QByteArrayView bytes)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    QByteArray out;
    out.reserve(bytes.size() * 3);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out.append(kDigits[b >> 4]);
        out.append(kDigits[b & 0x0F]);
        out.append(' ');
    }
    return out;
}

QByteArray EditTextBytes(const QString& plainText)
{
    QString text = plainText;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text.toUtf8();
}

} // namespace ulv
