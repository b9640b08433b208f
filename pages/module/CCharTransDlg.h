#pragma once

#include "pages/module/SmsToolDialog.h"

class QTextEdit;

namespace ulv {

class CSkinButton;

// "Characters transformation" of the SMS page's 8-bit data type: a text as plain
// hex, two digits and a blank per byte, appended to the page's message box.
class CCharTransDlg : public SmsToolDialog {
    Q_OBJECT
public:
    explicit CCharTransDlg(QWidget* parent = nullptr);

    CSkinButton* m_btnTrans;
    CSkinButton* m_btnAppend;
    QTextEdit* m_editText;
    QTextEdit* m_editHex;

    void OnButtonTrans();
    void OnButtonAppend();

protected:
    void OnInitDialog() override;
};

} // namespace ulv
