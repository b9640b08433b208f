#include "atlib/CTestItemDlg_atcommand.h"

namespace ulv {

CTestItemDlg_atcommand::CTestItemDlg_atcommand(QWidget* parent)
    : PageDialog(QStringLiteral("CTestItemDlg_atcommand"), parent)
{
}

} // namespace ulv
