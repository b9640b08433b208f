#include "pages/module/CTestItemDlg_home.h"

namespace ulv {

CTestItemDlg_home::CTestItemDlg_home(QWidget* parent)
    : PageDialog(QStringLiteral("CTestItemDlg_home"), parent)
{
}

} // namespace ulv
