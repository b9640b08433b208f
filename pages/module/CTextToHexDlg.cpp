#include "pages/module/CTextToHexDlg.h"

#include "pages/module/SmsToolWidgets.h"
#include "pages/module/core/SmsToolText.h"
#include "ui/controls/CHexRichEdit.h"
#include "ui/controls/CSkinButton.h"

#include <QLabel>
#include <QRadioButton>
#include <QTextEdit>
#include <algorithm>

namespace ulv {

using SmsToolWidgets::AddButton;
using SmsToolWidgets::AddLabel;
using SmsToolWidgets::AddRadio;
using SmsToolWidgets::PlaceTextBox;

CTextToHexDlg::CTextToHexDlg(QWidget* parent)
    : SmsToolDialog(parent)
{
    SmsToolWidgets::SetUpDialog(this, QStringLiteral("CTextToHexDlg"), QStringLiteral("Characters transformation"), 301, 152);

    AddLabel(this, QStringLiteral("Send mode:"), 13, 14, 39, 8);
    m_radioHex = AddRadio(this, QStringLiteral("HEX data"), 76, 14, 47, 10);
    m_radioUcs2 = AddRadio(this, QStringLiteral("HEX data (UCS2)"), 136, 14, 73, 10);
    m_radioHex->setEnabled(false);
    m_radioUcs2->setEnabled(false);
    AddLabel(this, QStringLiteral("Text string:"), 13, 29, 38, 8);
    m_editText = PlaceTextBox(new QTextEdit(this), QStringLiteral("text"), 76, 30, 208, 37);
    m_btnTrans = AddButton(this, QStringLiteral("Trans\u2193"), 153, 70, 50, 14);
    m_labelResult = AddLabel(this, QString(), 13, 87, 60, 8);
    m_editHex = PlaceTextBox(new CHexRichEdit(this), QStringLiteral("hex"), 76, 87, 208, 41);
    m_btnAppend = AddButton(this, QStringLiteral("Append"), 153, 133, 50, 14);

    connect(m_radioHex, &QRadioButton::clicked, this, &CTextToHexDlg::OnModeHex);
    connect(m_radioUcs2, &QRadioButton::clicked, this, &CTextToHexDlg::OnModeUcs2);
    connect(m_btnTrans, &QPushButton::clicked, this, &CTextToHexDlg::OnButtonTrans);
    connect(m_btnAppend, &QPushButton::clicked, this, &CTextToHexDlg::OnButtonAppend);
}

void CTextToHexDlg::OnInitDialog()
{
    (m_nMode == 1 ? m_radioUcs2 : m_radioHex)->setChecked(true);
    // Set once: the label keeps this text when the user picks the other radio.
    m_labelResult->setText(m_nMode == 1 ? QStringLiteral("HEX data (UCS2):") : QStringLiteral("HEX data:"));
    m_labelResult->resize(std::max(m_labelResult->width(), m_labelResult->sizeHint().width()), m_labelResult->height());
    if (m_bFromMenu) {
        m_radioHex->setEnabled(true);
        m_radioUcs2->setEnabled(true);
        m_btnAppend->hide();
    }
    for (CSkinButton* b : {m_btnTrans, m_btnAppend})
        b->BuildDialogSkin();
    m_editHex->SetHexOnly(true);
}

void CTextToHexDlg::OnButtonTrans()
{
    const QByteArray text = EditTextBytes(m_editText->toPlainText());
    if (text.isEmpty())
        return;
    QByteArray hex;
    if (m_nMode == 1)
        m_codec.AnsiToUcs2Hex(text, hex);
    else
        hex = BytesToSpacedHex(text);
    m_editHex->setPlainText(QString::fromLatin1(hex));
}

void CTextToHexDlg::OnButtonAppend()
{
    SmsToolWidgets::AppendToSmsMessageBox(m_editHex->toPlainText());
}

} // namespace ulv
