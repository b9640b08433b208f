#include "atlib/TransferFileChooser.h"

#include "ui/controls/CFileDialog_language.h"

namespace ulv {

QString ChooseTransferFile(QWidget* parent, const QString& proposed, bool import, const TransferFileDialogRunner& run)
{
    CFileDialog_language dlg(true, QString(), proposed, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                             QStringLiteral("TO transfer file (*.xls;*.xlsx)|*.xls;*.xlsx||"), parent);
    // An open dialog that only takes existing files could never name the
    // workbook an export is about to create.
    if (!import)
        dlg.setFileMode(QFileDialog::AnyFile);
    const int result = run ? run(dlg) : dlg.DoModal();
    if (result != IDOK)
        return {};
    return dlg.GetPathName();
}

} // namespace ulv
