#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace ulv {

class CFileDialog_language;

// The "..." file dialog of the workbook transfer: an open dialog for
// "TO transfer file (*.xls;*.xlsx)" starting at `proposed`. Export may name a
// file that does not exist yet, import only an existing one. The chosen full
// path, or "" when cancelled. `run` shows the dialog and returns IDOK or
// IDCANCEL (tests answer in place of the user); by default it runs modally.
using TransferFileDialogRunner = std::function<int(CFileDialog_language&)>;
QString ChooseTransferFile(QWidget* parent, const QString& proposed, bool import,
                           const TransferFileDialogRunner& run = {});

} // namespace ulv
