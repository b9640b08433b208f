#include "Probe.h"

#include "core/ppp/ChapResponse.h"
#include "core/ppp/Md5.h"
#include "core/ppp/PppFrameCodec.h"
#include "core/ppp/PppOptions.h"

#include <QRegularExpression>

namespace {

using namespace ulvprobe;

bool IsHex(const QString& text)
{
    static const QRegularExpression hex("^[0-9A-Fa-f ]*$");
    return hex.match(text).hasMatch();
}

QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

int UsageError(const QString& text)
{
    PrintError(text);
    return 2;
}

bool CarriesOptions(const ulv::PppFrameFields& f)
{
    const bool negotiation = f.protocol == ulv::kPppProtocolLcp || f.protocol == ulv::kPppProtocolIpcp;
    return negotiation && f.code >= "01" && f.code <= "04";
}

QString OptionsJson(const std::string& data)
{
    const ulv::PppOptionWalk walk = ulv::WalkPppOptions(data);
    QStringList items;
    for (const ulv::PppOption& o : walk.options)
        items << QString("{\"type\":%1,\"length\":%2,\"value\":%3}")
                     .arg(JsonString(Q(std::string(o.type))))
                     .arg(o.text.size() / 2)
                     .arg(JsonString(Q(std::string(o.value))));
    QString json = ",\"options\":[" + items.join(',') + "]";
    if (!walk.malformed.empty())
        json += ",\"malformed\":" + JsonString(Q(std::string(walk.malformed)));
    return json;
}

static Command frameCommand("ppp-frame", "ppp-frame --protocol P --code C --id I --data HEX [--accm HEX]",
    [](const QStringList& argsIn) {
        QStringList args = argsIn;
        const QString protocol = TakeOption(args, "--protocol");
        const QString code = TakeOption(args, "--code");
        const QString id = TakeOption(args, "--id");
        const QString data = TakeOption(args, "--data");
        const QString accm = TakeOption(args, "--accm");
        if (!args.isEmpty() || protocol.isEmpty() || code.isEmpty() || id.isEmpty())
            return UsageError("usage: ulvprobe ppp-frame --protocol P --code C --id I --data HEX [--accm HEX]");
        if (!IsHex(protocol + code + id + data + accm))
            return UsageError("not hex digits");
        const std::string frame = ulv::BuildPppFrame(
            protocol.toStdString(), code.toStdString(), id.toStdString(), data.toStdString());
        if (frame.empty())
            return UsageError("cannot build a frame: protocol needs 4 digits, code and id 2, data pairs");
        ulv::AccmFlags flags{};
        int useAccm = 0;
        if (!accm.isEmpty()) {
            if (ulv::PppRemoveBlanks(accm.toStdString()).size() != 8)
                return UsageError("the ACCM needs 8 hex digits");
            ulv::AccmTextToFlags(accm.toStdString(), flags);
            useAccm = 1;
        }
        Print(Q(ulv::EscapePppBytes(frame, useAccm, flags)));
        return 0;
    });

static Command parseCommand("ppp-parse", "ppp-parse <frame hex>", [](const QStringList& args) {
    const QString joined = args.join(' ');
    if (joined.trimmed().isEmpty())
        return UsageError("usage: ulvprobe ppp-parse <frame hex>");
    if (!IsHex(joined))
        return UsageError("not hex digits");
    std::string wire = ulv::PppRemoveBlanks(joined.toUpper().toStdString());
    // Peers log frames without their flags; a frame that begins with a flag has both.
    if (!wire.starts_with("7E"))
        wire = "7E" + wire + "7E";

    auto fail = [&](const char* check, const std::string& frame) {
        Print(QString("{\"error\":%1,\"frame\":%2}").arg(JsonString(check), JsonString(Q(frame))));
        return 2;
    };
    const std::string frame = ulv::UnescapePppBytes(wire);
    if (frame.size() % 2 != 0)
        return fail("odd", frame);
    if (!frame.starts_with("7EFF") || !frame.ends_with("7E"))
        return fail("flags", frame);
    if (!ulv::CheckFrameLength(frame))
        return fail("length", frame);
    if (!ulv::CheckFrameFcs(frame))
        return fail("fcs", frame);

    const ulv::PppFrameFields f = ulv::SplitPppFrame(frame);
    QString json = QString("{\"frame\":%1,\"protocol\":%2,\"code\":%3,\"id\":%4,\"data\":%5")
                       .arg(JsonString(Q(frame)), JsonString(Q(f.protocol)), JsonString(Q(f.code)),
                           JsonString(Q(f.identifier)), JsonString(Q(f.data)));
    if (CarriesOptions(f))
        json += OptionsJson(f.data);
    Print(json + "}");
    return 0;
});

static Command md5Command("md5", "md5 <text>", [](const QStringList& args) {
    if (args.size() != 1)
        return UsageError("usage: ulvprobe md5 <text>");
    Print(Q(ulv::Md5StringHex(args.first().toUtf8().constData())));
    return 0;
});

static Command chapCommand("chap", "chap <id> <challenge hex> <secret>", [](const QStringList& args) {
    if (args.size() != 3)
        return UsageError("usage: ulvprobe chap <id> <challenge hex> <secret>");
    if (!IsHex(args[0] + args[1]) || ulv::PppRemoveBlanks(args[0].toStdString()).size() != 2)
        return UsageError("the id needs 2 hex digits and the challenge hex pairs");
    const std::string secret = ulv::PppStringToHex(args[2].toUtf8().toStdString());
    const std::string response = ulv::ChapMd5Response(args[0].toStdString(), args[1].toStdString(), secret);
    if (response.empty())
        return UsageError("the challenge needs hex pairs");
    Print(Q(response));
    return 0;
});

} // namespace
