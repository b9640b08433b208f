#include "pages/positioning/core/CellLocator.h"

#include "core/at/ModemSession.h"
#include "core/at/ScriptedExchange.h"
#include "pages/data/core/TcpIpScripts.h"

namespace ulv {

namespace {

const QString kFailPosition = QStringLiteral("Fail to get current position!");
const QString kFailActivate = QStringLiteral("Fail to activate PDP context!");
const QString kFailDeactivate = QStringLiteral("Fail to deactivate PDP context!");
const QString kTag = QStringLiteral("+JCELLLOC:");

qsizetype LineEnd(const QString& text, qsizetype from)
{
    const qsizetype cr = text.indexOf('\r', from);
    const qsizetype lf = text.indexOf('\n', from);
    if (cr < 0)
        return lf;
    return lf < 0 ? cr : std::min(cr, lf);
}

} // namespace

std::optional<CellPosition> ParseCellLocReply(const QString& reply)
{
    const qsizetype tag = reply.indexOf(kTag);
    if (tag < 0)
        return std::nullopt;
    const qsizetype colon = tag + kTag.size() - 1;
    const qsizetype comma = reply.indexOf(',', colon);
    if (comma < 0)
        return std::nullopt;
    // The report is one line: a comma on a later line is not its own.
    const qsizetype tagLineEnd = LineEnd(reply, colon);
    if (tagLineEnd >= 0 && tagLineEnd < comma)
        return std::nullopt;
    const qsizetype end = LineEnd(reply, comma);
    if (end < 0)
        return std::nullopt;
    CellPosition p;
    p.longitudeText = reply.mid(colon + 1, comma - colon - 1);
    p.latitudeText = reply.mid(comma + 1, end - comma - 1);
    // atof: a number at the start of the text, else 0.
    p.longitude = p.longitudeText.trimmed().section(' ', 0, 0).toDouble();
    p.latitude = p.latitudeText.trimmed().section(' ', 0, 0).toDouble();
    return p;
}

LocateResult CellLocate(ModemSession& session, const TaskGate::Token& token)
{
    const ScriptRunner run(session, token);
    ScriptStep step = CommandStep(QStringLiteral("AT+JCELLLOC=1"), kCellLocateTimeoutMs,
        {QStringLiteral("OK"), kTag}, QStringLiteral("/* Use AT+JCELLLOC=1 to get current position */"));
    step.anySuccess = true;
    step.acceptCarriageReturn = true;
    QString reply;
    LocateResult result;
    const StepResult r = run.Run(step, reply);
    if (r == StepResult::Stopped || !run.Active())
        return result;
    if (r != StepResult::Success || !reply.contains(kTag)) {
        run.Fail(kFailPosition);
        result.outcome = LocateOutcome::Failed;
        return result;
    }
    const std::optional<CellPosition> position = ParseCellLocReply(reply);
    if (!position)
        return result;
    result.outcome = LocateOutcome::Position;
    result.position = *position;
    return result;
}

std::vector<ReplayPosition> ParseReplayPositions(const QByteArray& text)
{
    std::vector<ReplayPosition> out;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf('\n', start);
        if (end < 0)
            end = text.size();
        const QByteArray line = text.mid(start, end - start);
        start = end + 1;
        const qsizetype tag = line.indexOf("+JCELLLOC:");
        if (tag < 0)
            continue;
        const qsizetype colon = tag + 9;
        const qsizetype comma = line.indexOf(',', colon);
        if (comma < 0)
            break;
        qsizetype latEnd = line.indexOf('\r', comma);
        if (latEnd < 0)
            latEnd = line.size();
        ReplayPosition p;
        p.longitude = line.mid(colon + 1, comma - colon - 1).trimmed().toDouble();
        p.latitude = line.mid(comma + 1, latEnd - comma - 1).trimmed().toDouble();
        out.push_back(p);
    }
    return out;
}

QString MapCoordinate(double degrees)
{
    return QString::asprintf("%.6f", degrees);
}

QStringList MapPositionArguments(bool firstProvider, double latitude, double longitude)
{
    if (firstProvider)
        return {MapCoordinate(latitude), MapCoordinate(longitude)};
    return {MapCoordinate(longitude), MapCoordinate(latitude)};
}

bool LocatorActivateUmts(ModemSession& session, const TaskGate::Token& token, const LocatorApn& in,
    std::atomic<int>& contextActive)
{
    const ScriptRunner run(session, token);
    QString apn = in.apn;
    apn.remove(' ');
    bool good = true;
    good &= run.Succeeds(CommandStep(QStringLiteral("AT+CPIN?"), 4000, {QStringLiteral("+CPIN: READY"), QStringLiteral("OK")},
            QStringLiteral("/* Use AT+CPIN?/AT+CREG?/AT+CGREG? to query the SIM status and network registration "
                           "status */")));
    good &= run.Succeeds(CommandStep(QStringLiteral("AT+CREG?"), 4000, {QStringLiteral("AT+CREG?"), QStringLiteral("OK")}));
    QString reply;
    good &= run.Succeeds(CommandStep(QStringLiteral("AT+CGREG?"), 4000), &reply) && PacketRegistered(reply);
    good &= run.Succeeds(CommandStep(QString("AT+JICSGP=1,1,\"%1\",\"%2\",\"%3\",%4").arg(apn, in.user, in.password).arg(0), 4000, {"OK"},
            QString("/* Use AT+JICSGP=1,1,\"%1\",\"%2\",\"%3\",%4 to set APN as \"%1\",user name as \"%2\",password "
                    "as \"%3\" */")
                .arg(apn, in.user, in.password)
                .arg(0)));
    const bool activated
        = run.Succeeds(CommandStep(QStringLiteral("AT+JIACT=1"), 8000, {"OK"}, QStringLiteral("/* Activate context profile */")));
    if (activated)
        contextActive = 1;
    good &= activated;
    bool opened = false;
    if (run.Succeeds(CommandStep(QStringLiteral("AT+JIACT?"), 4000, {"OK"}, QStringLiteral("/* Query the status of the context profile */")),
            &reply))
        opened = !ParseJiactAddress(reply).isEmpty();
    if (!run.Active())
        return false;
    if (good && opened) {
        contextActive = 1;
        return true;
    }
    run.Fail(kFailActivate);
    if (opened && run.Active()) {
        // The context came up although an earlier step failed: close it, and
        // say so, or the page would be held by a context that is gone.
        run.Note(QStringLiteral("/* Close the context */"));
        session.Transmitter().SendCommandIf(run.Running(), QStringLiteral("AT+JIDEACT=1"));
        contextActive = 0;
    }
    return false;
}

bool LocatorActivateGsm(ModemSession& session, const TaskGate::Token& token, const LocatorApn& in,
    std::atomic<int>& contextActive)
{
    const ScriptRunner run(session, token);
    bool good = true;
    good &= run.Succeeds(CommandStep(QStringLiteral("AT+JIFGCNT=0"), 4000, {"OK"},
            QStringLiteral("/* (1) Use AT+JIFGCNT=0 to choose the context 0 to activate GPRS/CSD context */")));
    good &= run.Succeeds(CommandStep(QString("AT+JICSGP=1,\"%1\",\"%2\",\"%3\"").arg(in.apn, in.user, in.password), 4000, {"OK"},
            QString("/* (2) Use AT+JICSGP=1,\"%1\",\"%2\",\"%3\" to choose GPRS mode and set the APN */")
                .arg(in.apn, in.user, in.password)));
    good &= run.Succeeds(CommandStep(QStringLiteral("AT+JIREGAPP"), 4000, {"OK"},
            QStringLiteral("/* (3) Use AT+JIREGAPP to register to the TCP/IP stack */")));
    const bool activated = run.Succeeds(CommandStep(QStringLiteral("AT+JIACT"), 4000, {"OK"}, QStringLiteral("/* (4) Use AT+JIACT to activate PDP context */")));
    if (!run.Active())
        return false;
    if (good && activated) {
        contextActive = 1;
        return true;
    }
    run.Fail(kFailActivate);
    return false;
}

DeactivateOutcome LocatorDeactivate(ModemSession& session, const TaskGate::Token& token, int moduleType)
{
    const ScriptRunner run(session, token);
    const bool umts = moduleType != 0;
    const StepResult r = [&] {
        QString reply;
        return run.Run(umts ? CommandStep(QStringLiteral("AT+JIDEACT=1"), 4000, {"OK"},
                                  QStringLiteral("/* Use AT+JIDEACT=1 to deactivate PDP context */"))
                            : CommandStep(QStringLiteral("AT+JIDEACT"), 4000, {"OK"},
                                  QStringLiteral("/* Use AT+JIDEACT to deactivate PDP context */")),
            reply);
    }();
    if (r == StepResult::Stopped || !run.Active())
        return DeactivateOutcome::Stopped;
    if (r != StepResult::Success) {
        run.Fail(kFailDeactivate);
        return DeactivateOutcome::Failed;
    }
    return DeactivateOutcome::Done;
}

} // namespace ulv
