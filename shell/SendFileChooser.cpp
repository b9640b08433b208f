#include "shell/SendFileChooser.h"

#include "ui/controls/EnglishFileDialog.h"

namespace ulv {

QString ChooseSendFile(QWidget* parent, const QString& initialName)
{
    EnglishFileDialog dlg(true, QStringLiteral(" "), initialName, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
        QStringLiteral("(*.*)|*.*||"), parent, QString());
    if (dlg.DoModal() != IDOK)
        return {};
    return dlg.GetPathName();
}

} // namespace ulv
