#pragma once

class QMainWindow;

namespace ulv {

// Builds the program's main window (not shown yet); null when it cannot be
// built, which ends the start.
QMainWindow* CreateMainWindow();

} // namespace ulv
