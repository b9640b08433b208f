#pragma once

#include "pages/module/SmsToolDialog.h"
#include "core/text/CTextCodec.h"

class QLabel;
class QRadioButton;
class QTextEdit;

namespace ulv {

class CHexRichEdit;
class CSkinButton;

// "Characters transformation": a text as plain hex (two digits per byte) or as
// UCS-2 hex, for the SMS page's HEX data input mode. The SMS page sets m_nMode
// and keeps the radios locked; the Tool menu sets m_bFromMenu, which frees the
// radios and hides "Append".
class CTextToHexDlg : public SmsToolDialog {
    Q_OBJECT
public:
    explicit CTextToHexDlg(QWidget* parent = nullptr);

    CHexRichEdit* m_editHex;
    CSkinButton* m_btnTrans;
    CSkinButton* m_btnAppend;
    int m_bFromMenu = 0;
    // 0 "HEX data", 1 "HEX data (UCS2)".
    int m_nMode = 0;
    CTextCodec m_codec;

    QRadioButton* m_radioHex;
    QRadioButton* m_radioUcs2;
    QTextEdit* m_editText;
    QLabel* m_labelResult;

    void OnModeHex() { m_nMode = 0; }
    void OnModeUcs2() { m_nMode = 1; }
    void OnButtonTrans();
    void OnButtonAppend();

protected:
    void OnInitDialog() override;
};

} // namespace ulv
