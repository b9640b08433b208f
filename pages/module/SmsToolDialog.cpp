#include "pages/module/SmsToolDialog.h"

namespace ulv {

void SmsToolDialog::showEvent(QShowEvent* event)
{
    if (!m_bInitDone) {
        m_bInitDone = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}

} // namespace ulv
