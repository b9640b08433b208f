#include "shell/FrameFileChooser.h"

#include "ui/controls/CFileDialog_englishtext.h"

#include <QPrintDialog>
#include <QPrinter>

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

// The document's own dialogs: all files, the usual overwrite question.
QString ChooseOpenDocumentPath(QWidget* parent)
{
    CFileDialog_englishtext dlg(true, QString(), QString(), OFN_FILEMUSTEXIST | OFN_HIDEREADONLY,
                                QStringLiteral("All Files (*.*)|*.*||"), parent);
    if (dlg.DoModal() != IDOK)
        return {};
    return dlg.GetPathName();
}

QString ChooseSaveDocumentPath(QWidget* parent, const QString& proposed)
{
    CFileDialog_englishtext dlg(false, QString(), proposed, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                                QStringLiteral("All Files (*.*)|*.*||"), parent);
    if (dlg.DoModal() != IDOK)
        return {};
    return dlg.GetPathName();
}

bool RunPrintDialog(QWidget* parent, QPrinter& printer)
{
    QPrintDialog dlg(&printer, parent);
    return dlg.exec() == QDialog::Accepted;
}

} // namespace ulv
