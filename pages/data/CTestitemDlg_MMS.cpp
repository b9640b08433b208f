#include "pages/data/CTestitemDlg_MMS.h"

namespace ulv {

CTestitemDlg_MMS::CTestitemDlg_MMS(QWidget* parent)
    : PageDialog(QStringLiteral("CTestitemDlg_MMS"), parent)
{
}

} // namespace ulv
