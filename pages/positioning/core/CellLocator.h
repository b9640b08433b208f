#pragma once

// The cell-locator page's exchanges with the module: the position from the
// serving cells (AT+JCELLLOC=1), the replay of positions from a terminal log,
// and the PDP context the locator needs, in the two families' dialects. Each
// exchange runs on a worker's thread under its task token; boxes are shown here.

#include "platform/TaskGate.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <atomic>
#include <optional>
#include <vector>

namespace ulv {

class ModemSession;

// A position as the module gave it: the texts go into the page's boxes as they
// stand, the numbers onto the map.
struct CellPosition {
    QString latitudeText;
    QString longitudeText;
    double latitude = 0.0;
    double longitude = 0.0;
};

// The fields of the first "+JCELLLOC: <longitude>,<latitude>" in a reply: the
// longitude is the text after the colon up to the comma, the latitude the text
// after the comma up to the line end (CR or LF). Nothing without the tag, the
// comma or a line end.
std::optional<CellPosition> ParseCellLocReply(const QString& reply);

enum class LocateOutcome {
    Position, // a position came
    Failed,   // "Fail to get current position!" was shown
    Silent,   // a report whose fields could not be cut out, or Stop
};
struct LocateResult {
    LocateOutcome outcome = LocateOutcome::Silent;
    CellPosition position;
};
inline constexpr int kCellLocateTimeoutMs = 10000;
// "Get position": AT+JCELLLOC=1 and its report.
LocateResult CellLocate(ModemSession& session, const TaskGate::Token& token);

inline constexpr int kGpsLocateTimeoutMs = 3000;
// The position of the first "+JGPSLOC:" report: its second field is the
// latitude, its third the longitude, each ddmm.mmmm / dddmm.mmmm with the
// hemisphere letter at its end ("5954.8340N", "01045.1320E"). Position with
// the degrees as "%f" texts; Failed when a field holds no coordinate (the
// module has no fix yet); Silent without the tag, its fields or a line end.
LocateResult ParseGpsLocReply(const QString& reply);
// The position from the module's own GNSS engine: AT+JGPS? and, unless the
// engine runs, AT+JGPS=1, then AT+JGPSLOC?.
LocateResult GpsLocate(ModemSession& session, const TaskGate::Token& token);

// A replayed position.
struct ReplayPosition {
    double latitude = 0.0;
    double longitude = 0.0;
};
// The positions of the "+JCELLLOC:" lines of a saved terminal log, in file order.
// Lines end with LF, CR LF or CR alone; the last line needs no line end. A tagged
// line without its comma ends the scan (the positions before it stay).
std::vector<ReplayPosition> ParseReplayPositions(const QByteArray& text);

// A coordinate as it crosses to the map page: "%.6f".
QString MapCoordinate(double degrees);
// The arguments of "ggetposition" and "addMark": latitude first for the first
// provider, longitude first for the second.
QStringList MapPositionArguments(bool firstProvider, double latitude, double longitude);

// The access point of the page, read when an activation starts.
struct LocatorApn {
    QString apn;
    QString user;
    QString password;
};

// PDP ACT, UMTS/HSPA family: the SIM and registration checks, AT+JICSGP=1,1,...
// (blanks removed from the name), AT+JIACT=1 and the AT+JIACT? check of the
// local address. contextActive becomes 1 as soon as AT+JIACT=1 is accepted, and 0
// again when a failed activation closes the context it opened. True when every
// step succeeded; else "Fail to activate PDP context!" was shown.
bool LocatorActivateUmts(ModemSession& session, const TaskGate::Token& token, const LocatorApn& apn,
    std::atomic<int>& contextActive);
// PDP ACT, GSM family: AT+JIFGCNT=0, AT+JICSGP=1,..., AT+JIREGAPP, AT+JIACT.
// contextActive becomes 1 on success.
bool LocatorActivateGsm(ModemSession& session, const TaskGate::Token& token, const LocatorApn& apn,
    std::atomic<int>& contextActive);

enum class DeactivateOutcome { Done, Failed, Stopped };
// DEACT: AT+JIDEACT=1 (module type not 0) or AT+JIDEACT (0). Failed after
// "Fail to deactivate PDP context!"; Stopped when Stop came first.
DeactivateOutcome LocatorDeactivate(ModemSession& session, const TaskGate::Token& token, int moduleType);

} // namespace ulv
