#include "pages/module/CTestItemDlg_voice.h"

namespace ulv {

CTestItemDlg_voice::CTestItemDlg_voice(QWidget* parent)
    : PageDialog(QStringLiteral("CTestItemDlg_voice"), parent)
{
}

} // namespace ulv
