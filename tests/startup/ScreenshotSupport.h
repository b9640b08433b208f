#pragma once

#include <QString>

class QWidget;

// Saves a picture of the widget for review as <build>/screenshots/<name>.png;
// returns the file's path, or "" when it could not be written.
QString SaveScreenshot(QWidget* widget, const QString& name);
