#include "pages/data/MmsFileChooser.h"

#include "ui/controls/CFileDialog_language.h"

namespace ulv {

QString ChooseMmsFile()
{
    CFileDialog_language dlg(true, QStringLiteral(" "), QString(), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
        QStringLiteral("(*.*)|*.*||"));
    return dlg.DoModal() == IDOK ? dlg.GetPathName() : QString();
}

} // namespace ulv
