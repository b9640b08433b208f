#pragma once

#include <QString>

class QPrinter;
class QWidget;

namespace ulv {

// The file dialogs of Save Log and Reload AT log; "" when cancelled.
QString ChooseSaveLogPath(QWidget* parent, const QString& proposed);
QString ChooseReloadLogPath(QWidget* parent);
// The document's open and save dialogs of the File keys; "" when cancelled.
QString ChooseOpenDocumentPath(QWidget* parent);
QString ChooseSaveDocumentPath(QWidget* parent, const QString& proposed);
// The desktop's print dialog; true when the user chose to print.
bool RunPrintDialog(QWidget* parent, QPrinter& printer);

} // namespace ulv
