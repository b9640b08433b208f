#include "atlib/ScriptFileChooser.h"

#include "shell/core/CUlvenscopeApp.h"
#include "ui/controls/CFileDialog_englishtext.h"
#include "ui/controls/CFileDialog_language.h"

namespace ulv {

QString ChooseScriptFile(bool save)
{
    const QString filter = QStringLiteral("Script file (*.ini)|*.ini||");
    const QString initial = theApp.m_strAppDir + QStringLiteral("*.ini");
    if (save) {
        CFileDialog_englishtext dlg(false, QStringLiteral(" "), initial, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, filter);
        return dlg.DoModal() == IDOK ? dlg.GetPathName() : QString();
    }
    CFileDialog_language dlg(true, QStringLiteral(" "), initial, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, filter);
    return dlg.DoModal() == IDOK ? dlg.GetPathName() : QString();
}

} // namespace ulv
