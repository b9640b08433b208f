#include "pages/positioning/CTestitemDlg_position.h"

#include "pages/PageHost.h"

namespace ulv {

CTestitemDlg_position::CTestitemDlg_position(QWidget* parent)
    : PageDialog(QStringLiteral("CTestitemDlg_position"), parent)
    , m_editApn(new QLineEdit(this))
{
    m_editApn->setObjectName(QStringLiteral("1169"));
}

void CTestitemDlg_position::customEvent(QEvent* event)
{
    if (event->type() == kMapTypeChangedEvent)
        OnMapTypeChanged();
    PageDialog::customEvent(event);
}

} // namespace ulv
