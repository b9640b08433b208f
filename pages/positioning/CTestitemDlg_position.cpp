#include "pages/positioning/CTestitemDlg_position.h"

namespace ulv {

CTestitemDlg_position::CTestitemDlg_position(QWidget* parent)
    : PageDialog(QStringLiteral("CTestitemDlg_position"), parent)
    , m_editApn(new QLineEdit(this))
{
    m_editApn->setObjectName(QStringLiteral("1169"));
}

} // namespace ulv
