#pragma once

#include "pages/module/SmsToolDialog.h"
#include "core/at/WorkerPool.h"

#include <QString>

class QLineEdit;
class QRadioButton;
class QTextEdit;

namespace ulv {

class CHexRichEdit;
class CSkinButton;

// "Generate PDU code": turns a text, a recipient number and an SMSC number into
// the hex of an SMS-SUBMIT PDU, can ask the module for its SMSC number, and
// imports the PDU into the SMS page's message box. The opener may set
// m_strRecipient and m_strSmsc before running it and reads m_strSmsc after it
// closed, however it was closed.
class CPduGenerateDlg : public SmsToolDialog {
    Q_OBJECT
public:
    explicit CPduGenerateDlg(QWidget* parent = nullptr);
    // Stops a "Get SMSC number" worker still running: its answer has nowhere to go.
    ~CPduGenerateDlg() override;

    CSkinButton* m_btnGetSmsc;
    CHexRichEdit* m_editPdu;
    CSkinButton* m_btnTrans;
    CSkinButton* m_btnImport;
    QString m_strRecipient;
    QString m_strSmsc;

    QLineEdit* m_editRecipient;
    QLineEdit* m_editSmsc;
    QRadioButton* m_radio7Bit;
    QRadioButton* m_radio8Bit;
    QRadioButton* m_radioUcs2;
    QTextEdit* m_editSource;

    void OnButtonTrans();
    void OnButtonImport();
    void OnButtonGetSmsc();
    // OnCancel: every way of closing comes here.
    void reject() override;

protected:
    void OnInitDialog() override;

private:
    TaskWorkers m_workers;
};

} // namespace ulv
