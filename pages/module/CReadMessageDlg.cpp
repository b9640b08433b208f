#include "pages/module/CReadMessageDlg.h"

#include "pages/module/SmsToolWidgets.h"

#include <QLabel>
#include <QTextEdit>

namespace ulv {

using SmsToolWidgets::AddLabel;

CReadMessageDlg::CReadMessageDlg(QWidget* parent)
    : SmsToolDialog(parent)
{
    SmsToolWidgets::SetUpDialog(this, QStringLiteral("CReadMessageDlg"), QStringLiteral("Read message"), 205, 104);
    AddLabel(this, QStringLiteral("Addresser:"), 8, 8, 41, 8);
    AddLabel(this, QStringLiteral("Time:"), 8, 19, 21, 8);
    AddLabel(this, QStringLiteral("Status:"), 8, 30, 24, 8);
    m_labelAddresser = AddLabel(this, QString(), 59, 8, 122, 8);
    m_labelAddresser->setObjectName(QStringLiteral("1317"));
    m_labelTime = AddLabel(this, QString(), 59, 19, 122, 8);
    m_labelTime->setObjectName(QStringLiteral("1318"));
    m_labelStatus = AddLabel(this, QString(), 59, 30, 122, 8);
    m_labelStatus->setObjectName(QStringLiteral("1320"));
    m_richContent = SmsToolWidgets::PlaceTextBox(new QTextEdit(this), QStringLiteral("1319"), 8, 42, 188, 53);
    m_richContent->setReadOnly(true);
}

void CReadMessageDlg::OnInitDialog()
{
    m_labelAddresser->setText(m_strAddresser);
    m_labelTime->setText(m_strTime);
    m_labelStatus->setText(m_strStatus);
    QString text = m_strContent;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    m_richContent->setPlainText(text);
}

} // namespace ulv
