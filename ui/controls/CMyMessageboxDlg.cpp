#include "ui/controls/CMyMessageboxDlg.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>

namespace ulv {

CMyMessageboxDlg::CMyMessageboxDlg(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Dialog"));
    auto* layout = new QVBoxLayout(this);
    layout->addStretch();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

CTemplateDialog::CTemplateDialog(int templateId, QWidget* parent)
    : QDialog(parent)
    , m_templateId(templateId)
{
}

} // namespace ulv
