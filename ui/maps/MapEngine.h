#pragma once

#include <QString>

namespace ulv {

// The embedded browser (Qt WebEngine) that shows the map pages.
//
// PrepareMapEngine must run before the QApplication is made: it asks for
// software rendering (no GPU is needed), turns Chromium's sandbox off only when
// the program runs as root (Chromium refuses to start as root otherwise) and
// shares the OpenGL contexts, as WebEngine requires.
void PrepareMapEngine();

// Whether a browser can be made at all: false when WebEngine's helper process
// is missing or ULV_NO_WEBENGINE is set. Pages then show MapEngineMissingText()
// where the map would be, and everything else works.
bool MapEngineAvailable();
QString MapEngineMissingText();

} // namespace ulv
