#include "atlib/CCycleSettingDlg.h"

#include "atlib/core/ScriptRun.h"
#include "platform/IniFile.h"
#include "platform/MessageBox.h"
#include "ui/controls/CDigitsOnlyEdit.h"
#include "ui/controls/CSkinButton.h"

#include <QLabel>

namespace ulv {

CCycleSettingDlg::CCycleSettingDlg(QWidget* parent)
    : QDialog(parent)
    , m_editCycles(new CDigitsOnlyEdit(this))
    , m_editInterval(new CDigitsOnlyEdit(this))
    , m_btnOk(new CSkinButton(QStringLiteral("OK"), this))
    , m_btnCancel(new CSkinButton(QStringLiteral("Cancel"), this))
{
    setWindowTitle(QStringLiteral("Cycle times and intermittent time"));
    setFixedSize(300, 130);
    (new QLabel(QStringLiteral("Cycle times:"), this))->setGeometry(15, 15, 120, 22);
    m_editCycles->setGeometry(140, 14, 100, 24);
    (new QLabel(QStringLiteral("Intermittent time:"), this))->setGeometry(15, 48, 120, 22);
    m_editInterval->setGeometry(140, 47, 100, 24);
    (new QLabel(QStringLiteral("ms"), this))->setGeometry(245, 48, 40, 22);
    m_btnOk->setGeometry(60, 90, 75, 26);
    m_btnCancel->setGeometry(165, 90, 75, 26);
    for (CSkinButton* b : {m_btnOk, m_btnCancel})
        b->BuildDialogSkin();
    m_btnOk->setDefault(true);
    m_editCycles->setText(QStringLiteral("1"));
    m_editInterval->setText(QStringLiteral("1000"));
    connect(m_btnOk, &QPushButton::clicked, this, &CCycleSettingDlg::OnOK);
    connect(m_btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

int CCycleSettingDlg::DoModal() { return exec() == QDialog::Accepted ? IDOK : IDCANCEL; }

void CCycleSettingDlg::OnOK()
{
    if (const auto wrong = CheckCycleSettings(m_editCycles->text(), m_editInterval->text())) {
        ShowMessageBox(*wrong);
        return;
    }
    m_nCycleTimes = ParseLeadingInt(m_editCycles->text().trimmed());
    m_nIntervalTime = ParseLeadingInt(m_editInterval->text().trimmed());
    QDialog::accept();
}

} // namespace ulv
