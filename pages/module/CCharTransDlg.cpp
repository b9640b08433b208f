#include "pages/module/CCharTransDlg.h"

#include "pages/module/SmsToolWidgets.h"
#include "pages/module/core/SmsToolText.h"
#include "ui/controls/CSkinButton.h"

#include <QTextEdit>

namespace ulv {

using SmsToolWidgets::AddButton;
using SmsToolWidgets::AddLabel;
using SmsToolWidgets::PlaceTextBox;

CCharTransDlg::CCharTransDlg(QWidget* parent)
    : SmsToolDialog(parent)
{
    SmsToolWidgets::SetUpDialog(this, QStringLiteral("CCharTransDlg"), QStringLiteral("Characters transformation"), 313, 165);

    AddLabel(this, QStringLiteral("Text string:"), 16, 16, 40, 8);
    m_editText = PlaceTextBox(new QTextEdit(this), QStringLiteral("text"), 59, 14, 206, 47);
    m_btnTrans = AddButton(this, QStringLiteral("Trans\u2193"), 131, 66, 50, 14);
    AddLabel(this, QStringLiteral("HEX data:"), 16, 89, 40, 8);
    m_editHex = PlaceTextBox(new QTextEdit(this), QStringLiteral("hex"), 59, 87, 206, 47);
    m_btnAppend = AddButton(this, QStringLiteral("Append"), 131, 141, 50, 14);
    m_btnAppend->setEnabled(false);

    connect(m_btnTrans, &QPushButton::clicked, this, &CCharTransDlg::OnButtonTrans);
    connect(m_btnAppend, &QPushButton::clicked, this, &CCharTransDlg::OnButtonAppend);
}

void CCharTransDlg::OnInitDialog()
{
    m_btnAppend->setEnabled(true);
    for (CSkinButton* b : {m_btnTrans, m_btnAppend})
        b->BuildDialogSkin();
}

void CCharTransDlg::OnButtonTrans()
{
    const QByteArray text = EditTextBytes(m_editText->toPlainText());
    if (text.isEmpty())
        return;
    m_editHex->setPlainText(QString::fromLatin1(BytesToSpacedHex(text)));
}

void CCharTransDlg::OnButtonAppend()
{
    SmsToolWidgets::AppendToSmsMessageBox(m_editHex->toPlainText());
}

} // namespace ulv
