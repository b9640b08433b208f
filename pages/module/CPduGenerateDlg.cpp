#include "pages/module/CPduGenerateDlg.h"

#include "pages/module/CTestItemDlg_sms.h"
#include "pages/module/SmsToolWidgets.h"
#include "core/at/ScriptedExchange.h"
#include "pages/module/core/SmsToolText.h"
#include "pages/module/core/SmscQuery.h"
#include "platform/Gui.h"
#include "platform/MessageBox.h"
#include "platform/TaskGate.h"
#include "core/text/TextCodecs.h"
#include "core/at/ModemSession.h"
#include "pages/PageHost.h"
#include "ui/controls/CHexRichEdit.h"
#include "ui/controls/CSkinButton.h"

#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QTextEdit>

namespace ulv {

using SmsToolWidgets::AddButton;
using SmsToolWidgets::AddLabel;
using SmsToolWidgets::AddRadio;
using SmsToolWidgets::Dlu;
using SmsToolWidgets::PlaceTextBox;

namespace {

QLineEdit* AddLineEdit(QDialog* dialog, const QString& name, int x, int y, int w, int h)
{
    auto* edit = new QLineEdit(dialog);
    edit->setObjectName(name);
    edit->setGeometry(Dlu(x, y, w, h));
    return edit;
}

// Runs on its own thread with the task flag held; reaches the dialog only
// through queued calls that check it is still there.
void GetSmscThread(ModemSession& session, QPointer<CPduGenerateDlg> dlg, const TaskGate::Token& token)
{
    const ScriptRunner runner(session, token);
    QString number;
    if (!FetchSmscNumber(runner, number))
        return;
    Gui::Post([dlg, number] {
        if (dlg)
            dlg->m_editSmsc->setText(number);
    });
}

} // namespace

CPduGenerateDlg::CPduGenerateDlg(QWidget* parent)
    : SmsToolDialog(parent)
{
    SmsToolWidgets::SetUpDialog(this, QStringLiteral("CPduGenerateDlg"), QStringLiteral("Generate PDU code"), 303, 190);

    AddLabel(this, QStringLiteral("Recipient number:"), 16, 14, 59, 8);
    m_editRecipient = AddLineEdit(this, QStringLiteral("recipient"), 78, 12, 120, 12);
    AddLabel(this, QStringLiteral("SMSC number:"), 16, 30, 50, 8);
    m_editSmsc = AddLineEdit(this, QStringLiteral("smsc"), 78, 29, 120, 12);
    m_btnGetSmsc = AddButton(this, QStringLiteral("Get SMSC number"), 212, 29, 66, 14);
    AddLabel(this, QStringLiteral("PDU mode:"), 16, 46, 38, 8);
    m_radio7Bit = AddRadio(this, QStringLiteral("7Bit"), 78, 46, 28, 10);
    m_radio8Bit = AddRadio(this, QStringLiteral("8Bit"), 119, 46, 28, 10);
    m_radioUcs2 = AddRadio(this, QStringLiteral("UCS2"), 160, 46, 35, 10);
    AddLabel(this, QStringLiteral("Source string:"), 16, 59, 46, 8);
    m_editSource = PlaceTextBox(new QTextEdit(this), QStringLiteral("source"), 78, 60, 200, 43);
    m_btnTrans = AddButton(this, QStringLiteral("Trans\u2193"), 126, 107, 50, 14);
    AddLabel(this, QStringLiteral("PDU string:"), 16, 124, 38, 8);
    m_editPdu = PlaceTextBox(new CHexRichEdit(this), QStringLiteral("pdu"), 78, 124, 200, 43);
    m_btnImport = AddButton(this, QStringLiteral("Import"), 126, 171, 50, 14);

    connect(m_btnTrans, &QPushButton::clicked, this, &CPduGenerateDlg::OnButtonTrans);
    connect(m_btnImport, &QPushButton::clicked, this, &CPduGenerateDlg::OnButtonImport);
    connect(m_btnGetSmsc, &QPushButton::clicked, this, &CPduGenerateDlg::OnButtonGetSmsc);
}

CPduGenerateDlg::~CPduGenerateDlg() = default;

void CPduGenerateDlg::OnInitDialog()
{
    m_radio7Bit->setChecked(true);
    m_strRecipient = WithCountryPrefix86(m_strRecipient);
    m_strSmsc = WithCountryPrefix86(m_strSmsc);
    m_editRecipient->setText(m_strRecipient);
    m_editSmsc->setText(m_strSmsc);
    for (CSkinButton* b : {m_btnTrans, m_btnImport, m_btnGetSmsc})
        b->BuildDialogSkin();
    m_editPdu->SetHexOnly(true);
    m_btnImport->show();
    m_btnGetSmsc->show();
}

void CPduGenerateDlg::OnButtonTrans()
{
    QString smsc = m_editSmsc->text();
    QString recipient = m_editRecipient->text();
    const QByteArray text = EditTextBytes(m_editSource->toPlainText());
    smsc.remove(QLatin1Char('+'));
    recipient.remove(QLatin1Char('+'));
    // A refused Trans leaves no PDU behind that Import could take for this text.
    const auto refuse = [this](const QString& message) {
        m_editPdu->clear();
        ShowMessageBox(message);
    };
    if (smsc.isEmpty()) {
        refuse(QStringLiteral("Please input the right number of SMSC!"));
        return;
    }
    if (recipient.isEmpty()) {
        refuse(QStringLiteral("Please input the right number of receiver!"));
        return;
    }
    const int coding = m_radio7Bit->isChecked() ? kPduCoding7Bit
        : m_radio8Bit->isChecked()              ? kPduCoding8Bit
                                                : kPduCodingUcs2;
    if (coding == kPduCodingUcs2 && TextToUcs2Hex(text).size() / 4 > kPduUcs2UnitsMax) {
        refuse(QStringLiteral("Input data can't be more than 70"));
        return;
    }
    // A text that does not fit one SMS (or a number the PDU cannot carry) is
    // refused as a whole rather than cut.
    QByteArray pdu;
    SmsPduError error = SmsPduError::None;
    BuildPdu(smsc.toUtf8(), recipient.toUtf8(), text, coding, pdu, &error);
    if (pdu.isEmpty()) {
        refuse(PduRefusalText(error, coding));
        return;
    }
    m_editPdu->setPlainText(QString::fromLatin1(pdu));
}

void CPduGenerateDlg::OnButtonImport()
{
    if (g_pSmsPage)
        g_pSmsPage->ImportPdu(m_editPdu->toPlainText());
    reject();
}

void CPduGenerateDlg::reject()
{
    m_strSmsc = m_editSmsc->text();
    QDialog::reject();
}

void CPduGenerateDlg::OnButtonGetSmsc()
{
    PageHost* host = GetPageHost();
    if (AppTaskGate().Running() || !host || !host->PortOpen())
        return;
    // The flag is cleared only after the box the worker may have shown.
    m_workers.Start([dlg = QPointer<CPduGenerateDlg>(this), &session = host->Session()](const TaskGate::Token& t) {
        GetSmscThread(session, dlg, t);
    });
}

} // namespace ulv
