#pragma once

#include <QString>

class QWidget;

namespace ulv {

// The send panel's file-open dialog: all files, starting at initialName
// ("<folder>/*.*"). The chosen full path, or empty when the user cancelled.
QString ChooseSendFile(QWidget* parent, const QString& initialName);

} // namespace ulv
