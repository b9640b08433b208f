#pragma once

#include <QString>
#include <functional>

class QDialog;
class QMainWindow;
class QRect;

namespace ulv {

// How the start shows its modal dialogs (the guide, the port dialog):
// QDialog::exec unless a test drives them. Returns the dialog's result.
using DialogRunner = std::function<int(QDialog&)>;
DialogRunner SetStartupDialogRunner(DialogRunner runner);

// Told when the start ends because the port dialog was cancelled.
inline constexpr const char* kNoPortChosenText = "No serial port was chosen, so Ulvenscope ends.";

// A port for this run only (--port PATH): the port dialog is not needed and
// commport.ini stays as it is. Empty: none.
void SetStartupPort(const QString& path);

// The main window the start built, or null.
QMainWindow* AppMainWindow();
// Destroys it (after the main loop, before ExitInstance).
void DestroyAppMainWindow();

// Maximised, or nwidth x nheight centred in the work area, as the system
// parameters say.
void PlaceAppMainWindow(QMainWindow* window, const QRect& workArea);

} // namespace ulv
