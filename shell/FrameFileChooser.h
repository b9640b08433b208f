#pragma once

#include <QString>

class QWidget;

namespace ulv {

// The file dialogs of Save Log and Reload AT log; "" when cancelled.
QString ChooseSaveLogPath(QWidget* parent, const QString& proposed);
QString ChooseReloadLogPath(QWidget* parent);

} // namespace ulv
