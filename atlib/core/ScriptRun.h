#pragma once

#include "atlib/core/ScriptFile.h"
#include "platform/TaskGate.h"

#include <QString>
#include <functional>
#include <optional>

namespace ulv {

class ModemSession;

// Rows 1 to 20 of the script page take part in a run.
inline constexpr int kScriptRunRows = 20;
// The widest reply window a chosen row may ask for, and the cycle dialog's bounds.
inline constexpr int kMaxRowDelayMs = 50000;
inline constexpr int kMaxCycleIntervalMs = 5000;
inline constexpr int kMaxCycles = 999999;

// What a run needs of its page. Every call comes from the worker's thread.
struct ScriptRunSink {
    // The row (0 to 19) as it stands now: an edit made during a run counts
    // the next time the run reaches the row.
    std::function<ScriptRow(int row)> row;
    // The row is being sent and collected (true) or done (false).
    std::function<void(int row, bool running)> mark;
    // The title strip's subtitle.
    std::function<void(const QString& text)> subtitle;
    // What one row collected in its window (for whoever wants to see it).
    std::function<void(int row, const QString& reply)> replied;
};

struct ScriptRunSettings {
    int cycles = 1;
    int intervalMs = 0;
};

// The first chosen row (1-based) whose delay is out of range, if any; the
// message the page shows for it.
std::optional<int> ImproperDelayRow(const ScriptFileRows& rows);
QString ImproperDelayMessage(int row);
// A text row's command stays as written, but one row is one command: the
// message for a row (chosen ones only, unless `row` is given) whose text
// holds a line end or Ctrl-Z, else empty. Hex rows send their bytes as typed.
QString RowCommandProblem(const ScriptRow& row, int rowNumber);
QString ChosenRowsCommandProblem(const ScriptFileRows& rows);

// Checks the cycle dialog's values; the message to show when they are wrong.
std::optional<QString> CheckCycleSettings(const QString& cycles, const QString& interval);

// The reply window of a row: empty gives 1000 ms, a negative value 0.
int RowWindowMs(const QString& delay);

// Plays the script: cycles of the chosen rows, each row sent and its reply
// collected for its whole window, then compared with the expected result.
// Ends with the result box ("Test finished!" or "Test stopped!", after
// "Fail to execute the command!" for a failed comparison) and an empty
// subtitle; returns the result text.
QString RunScriptCycles(ModemSession& session, const TaskGate::Token& token, const ScriptRunSettings& settings,
    const ScriptRunSink& sink);

} // namespace ulv
