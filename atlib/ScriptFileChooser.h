#pragma once

#include <QString>

namespace ulv {

// The load (open) or save-as dialog of the script page, starting in the
// program folder; the chosen path, or "" when cancelled.
QString ChooseScriptFile(bool save);

} // namespace ulv
