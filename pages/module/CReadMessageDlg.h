#pragma once

#include "pages/module/SmsToolDialog.h"

#include <QString>

class QLabel;
class QTextEdit;

namespace ulv {

// "Read message": one short message, its sender, time and storage status. The
// caller fills the four texts after construction and before showing it; the
// dialog only displays them. Enter does not close it (Escape and the close box do).
class CReadMessageDlg : public SmsToolDialog {
    Q_OBJECT
public:
    explicit CReadMessageDlg(QWidget* parent = nullptr);

    QTextEdit* m_richContent;
    QString m_strAddresser;
    QString m_strTime;
    QString m_strContent;
    QString m_strStatus;

    QLabel* m_labelAddresser;
    QLabel* m_labelTime;
    QLabel* m_labelStatus;

protected:
    void OnInitDialog() override;
};

} // namespace ulv
