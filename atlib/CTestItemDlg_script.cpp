#include "atlib/CTestItemDlg_script.h"

namespace ulv {

CTestItemDlg_script::CTestItemDlg_script(QWidget* parent)
    : PageDialog(QStringLiteral("CTestItemDlg_script"), parent)
{
}

} // namespace ulv
