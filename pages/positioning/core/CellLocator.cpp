#include "pages/positioning/core/CellLocator.h"

#include "core/at/ModemSession.h"
#include "core/at/ScriptedExchange.h"
#include "core/gnss/NmeaSentences.h"
#include "pages/data/core/TcpIpScripts.h"

#include <chrono>

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

namespace {

const QString kGpsTag = QStringLiteral("+JGPSLOC:");

// "5954.8340N" to signed degrees. The module gives degrees and minutes run
// together as NMEA does, so the minutes are divided by 60: taking the number
// as hundredths of a degree would put the point up to 40 km off.
std::optional<double> GpsCoordinate(QString field, QChar positive, QChar negative, double limit)
{
    field = field.trimmed();
    if (field.isEmpty())
        return std::nullopt;
    const QChar hemisphere = field.back().toUpper();
    if (hemisphere != positive && hemisphere != negative)
        return std::nullopt;
    field.chop(1);
    bool ok = false;
    const double raw = field.trimmed().toDouble(&ok);
    if (!ok || raw < 0 || !field.contains('.'))
        return std::nullopt;
    const double minutes = raw - 100.0 * static_cast<int>(raw / 100.0);
    if (minutes >= 60.0)
        return std::nullopt;
    const double degrees = NmeaToDegrees(field.trimmed().toStdString());
    if (degrees > limit)
        return std::nullopt;
    return hemisphere == negative ? -degrees : degrees;
}

} // namespace

LocateResult ParseGpsLocReply(const QString& reply)
{
    LocateResult result;
    const qsizetype tag = reply.indexOf(kGpsTag);
    if (tag < 0)
        return result;
    const qsizetype from = tag + kGpsTag.size();
    const qsizetype end = LineEnd(reply, from);
    if (end < 0)
        return result;
    const QStringList fields = reply.mid(from, end - from).split(',');
    if (fields.size() < 3)
        return result;
    const std::optional<double> latitude = GpsCoordinate(fields[1], 'N', 'S', 90.0);
    const std::optional<double> longitude = GpsCoordinate(fields[2], 'E', 'W', 180.0);
    if (!latitude || !longitude) {
        result.outcome = LocateOutcome::Failed;
        return result;
    }
    result.outcome = LocateOutcome::Position;
    result.position.latitude = *latitude;
    result.position.longitude = *longitude;
    result.position.latitudeText = QString::asprintf("%f", *latitude);
    result.position.longitudeText = QString::asprintf("%f", *longitude);
    return result;
}

LocateResult GpsLocate(ModemSession& session, const TaskGate::Token& token)
{
    const ScriptRunner run(session, token);
    LocateResult result;
    const auto step = [&](const QString& command, QStringList success, const QString& note, QString& reply) {
        ScriptStep s = CommandStep(command, kGpsLocateTimeoutMs, std::move(success), note);
        s.anySuccess = true;
        s.acceptCarriageReturn = true;
        return run.Run(s, reply);
    };
    // Every step's ERROR or silence ends the locate with the one box.
    const auto fail = [&](StepResult r) {
        if (r != StepResult::Stopped && run.Active()) {
            run.Fail(kFailPosition);
            result.outcome = LocateOutcome::Failed;
        }
        return result;
    };
    QString reply;
    StepResult r = step(QStringLiteral("AT+JGPS?"), {QStringLiteral("OK"), QStringLiteral("+JGPS:")},
        QStringLiteral("/* Use AT+JGPS? to query the current status of GPS location */"), reply);
    if (r != StepResult::Success)
        return fail(r);
    QString state;
    if (const qsizetype tag = reply.indexOf(QStringLiteral("+JGPS:")); tag >= 0) {
        const qsizetype from = tag + 6;
        const qsizetype end = LineEnd(reply, from);
        state = reply.mid(from, end < 0 ? -1 : end - from);
        state.remove(' ');
    }
    if (state != QLatin1String("1")) {
        r = step(QStringLiteral("AT+JGPS=1"), {QStringLiteral("OK")}, QStringLiteral("/* Use AT+JGPS=1 to set GNSS mode */"), reply);
        if (r != StepResult::Success)
            return fail(r);
    }
    r = step(QStringLiteral("AT+JGPSLOC?"), {QStringLiteral("OK"), kGpsTag},
        QStringLiteral("/* Use AT+JGPSLOC? to get current position */"), reply);
    if (r != StepResult::Success || !reply.contains(kGpsTag))
        return fail(r);
    const LocateResult parsed = ParseGpsLocReply(reply);
    if (parsed.outcome == LocateOutcome::Failed)
        return fail(StepResult::Error);
    if (parsed.outcome == LocateOutcome::Position)
        run.Sleep(std::chrono::milliseconds(50)); // the map page gets a moment before the point
    return parsed;
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
