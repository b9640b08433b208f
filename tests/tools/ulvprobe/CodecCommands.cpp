// Codec subcommands: PDU decode and encode, GSM 7-bit packing, the terminal's hex
// view.
#include "Probe.h"

#include "core/text/AnsiText.h"
#include "core/sms/Gsm7Codec.h"
#include "core/text/HexView.h"
#include "core/sms/SmsPdu.h"
#include "core/text/TextCodecs.h"

#include <charconv>

namespace {

using ulvprobe::JsonString;
using ulvprobe::Print;
using ulvprobe::PrintError;

QString Str(const QByteArray& bytes)
{
    return JsonString(ulv::AnsiToString(bytes));
}

bool ParseByte(const QString& text, unsigned char& out)
{
    const QByteArray s = text.toLatin1();
    int base = 10;
    const char* b = s.constData();
    const char* e = b + s.size();
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        b += 2;
    }
    unsigned v = 0;
    const auto r = std::from_chars(b, e, v, base);
    if (r.ec != std::errc() || r.ptr != e || v > 0xFF || b == e)
        return false;
    out = static_cast<unsigned char>(v);
    return true;
}

static ulvprobe::Command pduDecode("pdu-decode", "pdu-decode <hex>", [](const QStringList& args) {
    if (args.size() != 1) {
        PrintError("usage: ulvprobe pdu-decode <hex>");
        return 2;
    }
    ulv::SmsPduRecord rec;
    ulv::SmsPduError error;
    const int result = ulv::DecodeSmsPdu(args[0].toLatin1(), rec, &error);
    QString json = QStringLiteral("{\"result\":%1").arg(result);
    if (result < 0) {
        json += ",\"error\":" + JsonString(ulv::SmsPduErrorText(error)) + "}";
        Print(json);
        return 2;
    }
    json += ",\"smsc\":" + Str(rec.smscNumber);
    json += ",\"number\":" + Str(rec.number);
    json += QStringLiteral(",\"pid\":%1,\"dcs\":%2").arg(int(rec.pid)).arg(int(rec.dcs));
    json += ",\"timestamp\":" + Str(rec.timeStamp);
    json += ",\"text\":" + Str(rec.text);
    json += ",\"text_hex\":" + Str(ulv::BytesToHex(rec.text));
    if (rec.concatParts > 0) {
        json += QStringLiteral(",\"udh\":{\"reference\":%1,\"parts\":%2,\"part\":%3}")
                    .arg(rec.concatReference)
                    .arg(rec.concatParts)
                    .arg(rec.concatPart);
    }
    Print(json + "}");
    return 0;
});

static ulvprobe::Command pduEncode("pdu-encode",
    "pdu-encode --smsc S --number N --pid P --dcs D --text T", [](const QStringList& argsIn) {
        QStringList args = argsIn;
        ulv::SmsPduRecord rec;
        rec.smscNumber = ulvprobe::TakeOption(args, "--smsc").toUtf8();
        rec.number = ulvprobe::TakeOption(args, "--number").toUtf8();
        rec.text = ulvprobe::TakeOption(args, "--text").toUtf8();
        if (!ParseByte(ulvprobe::TakeOption(args, "--pid", "0"), rec.pid)
            || !ParseByte(ulvprobe::TakeOption(args, "--dcs", "0"), rec.dcs) || !args.isEmpty()) {
            PrintError("usage: ulvprobe pdu-encode --smsc S --number N --pid P --dcs D --text T");
            return 2;
        }
        QByteArray pdu;
        ulv::SmsPduError error;
        const int length = ulv::EncodeSmsSubmitPdu(rec, pdu, &error);
        if (length == 0) {
            Print(QStringLiteral("{\"length\":0,\"error\":%1}").arg(JsonString(ulv::SmsPduErrorText(error))));
            return 2;
        }
        Print(QStringLiteral("{\"pdu\":%1,\"length\":%2}").arg(Str(pdu)).arg(length));
        return 0;
    });

static ulvprobe::Command gsm7Pack("gsm7-pack", "gsm7-pack <text>", [](const QStringList& args) {
    if (args.size() != 1) {
        PrintError("usage: ulvprobe gsm7-pack <text>");
        return 2;
    }
    const QByteArray text = args[0].toUtf8();
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            PrintError("gsm7-pack: the text may hold only characters below 0x80");
            return 2;
        }
    }
    Print(QString::fromLatin1(ulv::BytesToHex(ulv::Gsm7Pack(text))));
    return 0;
});

static ulvprobe::Command gsm7Unpack("gsm7-unpack", "gsm7-unpack <hex>", [](const QStringList& args) {
    bool ok = false;
    const QByteArray hex = args.value(0).toLatin1();
    const QByteArray octets = ulv::HexToBytes(hex, &ok);
    if (args.size() != 1 || !ok || hex.size() % 2 != 0) {
        PrintError("usage: ulvprobe gsm7-unpack <hex>  (an even number of hex digits)");
        return 2;
    }
    Print(QString::fromLatin1(ulv::Gsm7Unpack(octets)));
    return 0;
});

static ulvprobe::Command hexView("hexview", "hexview <text>", [](const QStringList& args) {
    if (args.size() != 1) {
        PrintError("usage: ulvprobe hexview <text>");
        return 2;
    }
    QByteArray view;
    ulv::TextToHexView(args[0].toUtf8(), view);
    Print(ulv::AnsiToString(view));
    return 0;
});

} // namespace
