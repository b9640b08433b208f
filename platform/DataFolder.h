#pragma once

#include <QString>

namespace ulv {

// The folder that holds every file the program keeps: $ULVENSCOPE_HOME when set,
// else ~/.local/share/Ulvenscope. Created on first use.
QString DataFolder();

// DataFolder()/param, created on first use.
QString ParamFolder();

// A file of the data folder: DataPath("param/commport.ini").
QString DataPath(const QString& relative);

} // namespace ulv
