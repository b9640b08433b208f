#pragma once

#include <QString>

namespace ulv {

// The MMS page's open dialog for an attachment (every file, no initial name);
// the chosen path, or "" when cancelled.
QString ChooseMmsFile();

} // namespace ulv
