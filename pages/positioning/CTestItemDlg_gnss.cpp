#include "pages/positioning/CTestItemDlg_gnss.h"

namespace ulv {

CTestItemDlg_gnss::CTestItemDlg_gnss(QWidget* parent)
    : PageDialog(QStringLiteral("CTestItemDlg_gnss"), parent)
{
}

} // namespace ulv
