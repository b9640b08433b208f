#pragma once

#include <QString>

namespace ulv {

// The temporary log "Ulvenscope_Temp_log.txt" in the data folder. Any thread may
// append; each call writes its text as it stands (no line end added).
namespace TempLog {
QString Path();
bool Append(const QString& text);
}

} // namespace ulv
