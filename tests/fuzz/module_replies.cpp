// Any reply text the module may send reaches every reader of the pages' scripted
// exchanges without fault: the connection page's (CSQ, COPS, CREG, IPR, ICCID,
// IMSI, the ATI revision), the environment check's, the voice page's CLCC and
// audio read-back rows, the SMS centre query, the TCP/IP page's, the MMS page's
// and the cell locator's.
#include "core/at/ReplySplit.h"
#include "pages/data/core/MmsScripts.h"
#include "pages/data/core/TcpIpScripts.h"
#include "pages/module/core/EnvCheckScript.h"
#include "pages/module/core/ModuleScripts.h"
#include "pages/module/core/SmsPageText.h"
#include "pages/module/core/SmscQuery.h"
#include "pages/module/core/VoiceCall.h"
#include "pages/positioning/core/CellLocator.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1 << 16))
        return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString reply = QString::fromUtf8(bytes);

    bool ok = false;
    const int quality = ulv::ParseSignalQuality(reply, &ok);
    (void)quality;
    (void)ulv::ParseOperatorName(reply, &ok);
    (void)ulv::ParseIccidLine(reply);
    (void)ulv::ParseIprValue(reply);
    for (const char* prefix : {"+CREG:", "+CGREG:"}) {
        const QString state = ulv::RegistrationStateField(reply, QString::fromLatin1(prefix));
        (void)ulv::RegistrationStateText(state);
        (void)ulv::IsRegisteredState(state);
    }
    (void)ulv::ReplySaysNoSim(reply);
    QString mcc, mnc;
    ulv::SplitImsi(reply, mcc, mnc);
    // Without a session to tell, a family mismatch is only returned.
    (void)ulv::ClassifyRevision(reply, nullptr);

    for (int family : {0, 1})
        (void)ulv::SmsInitReady(reply, family);
    if (const auto capacity = ulv::CpmsCapacity(reply); capacity && *capacity < 0)
        abort();

    const ulv::ClccReport clcc = ulv::ParseClccReply(reply);
    (void)ulv::ClccStatToCallState(reply);
    if (clcc.number)
        (void)ulv::CallCommand(*clcc.number, clcc.state);

    QStringList lines;
    QList<QStringList> rows;
    ulv::SplitReplyLines(reply, lines, rows);
    for (const char* command : {"AT+CLVL?", "AT+JMIC?", "AT+JSIDET?", "AT+JAUDPATH?"}) {
        const QStringList* row = ulv::AudioValueRow(rows, QString::fromLatin1(command));
        for (qsizetype field : {1, 2, 3})
            (void)ulv::AudioRowValue(row, field);
        if (const auto channel = ulv::AudioRowChannel(row); channel && (*channel < 0 || *channel > 2))
            abort();
    }

    (void)ulv::SmscFromCscaReply(reply);

    (void)ulv::ParseJisendQuery(reply);
    (void)ulv::ParseJisackQuery(reply);
    (void)ulv::PacketRegistered(reply);
    (void)ulv::ParseJiactAddress(reply);
    (void)ulv::ParseImei(reply);

    (void)ulv::ParseJmmsendCode(reply);
    (void)ulv::ParseJfuplSize(reply);

    if (const auto cell = ulv::ParseCellLocReply(reply))
        (void)ulv::MapPositionArguments(true, cell->latitude, cell->longitude);
    (void)ulv::ParseGpsLocReply(reply);
    for (const ulv::ReplayPosition& p : ulv::ParseReplayPositions(bytes))
        (void)ulv::MapPositionArguments(false, p.latitude, p.longitude);
    return 0;
}
