#include "pages/data/CTestitemDlg_pppdial.h"

namespace ulv {

std::atomic<int> PppDialInProgress{0};

CTestitemDlg_pppdial::CTestitemDlg_pppdial(QWidget* parent)
    : PageDialog(QStringLiteral("CTestitemDlg_pppdial"), parent)
    , m_editApn(new QLineEdit(this))
    , m_editUser(new QLineEdit(this))
    , m_editPassword(new QLineEdit(this))
{
    m_editApn->setObjectName(QStringLiteral("1169"));
    m_editUser->setObjectName(QStringLiteral("1027"));
    m_editPassword->setObjectName(QStringLiteral("1324"));
}

} // namespace ulv
