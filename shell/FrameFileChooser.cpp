#include "shell/FrameFileChooser.h"

#include "ui/controls/CFileDialog_englishtext.h"

namespace ulv {

QString ChooseSaveLogPath(QWidget* parent, const QString& proposed)
{
    CFileDialog_englishtext dlg(false, QStringLiteral(" "), proposed, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                                QStringLiteral("(*.*)|*.*||"), parent);
    if (dlg.DoModal() != IDOK)
        return {};
    return dlg.GetPathName();
}

QString ChooseReloadLogPath(QWidget* parent)
{
    CFileDialog_englishtext dlg(true, QString(), QString(), OFN_FILEMUSTEXIST | OFN_HIDEREADONLY,
                                QStringLiteral("txt files (*.txt)|*.txt|||"), parent);
    if (dlg.DoModal() != IDOK)
        return {};
    return dlg.GetPathName();
}

} // namespace ulv
