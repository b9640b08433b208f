#include "pages/positioning/CTestItemDlg_gnss.h"

#include "pages/PageHost.h"

namespace ulv {

CTestItemDlg_gnss::CTestItemDlg_gnss(QWidget* parent)
    : PageDialog(QStringLiteral("CTestItemDlg_gnss"), parent)
{
}

void CTestItemDlg_gnss::customEvent(QEvent* event)
{
    if (event->type() == kMapTypeChangedEvent)
        OnMapTypeChanged();
    PageDialog::customEvent(event);
}

} // namespace ulv
