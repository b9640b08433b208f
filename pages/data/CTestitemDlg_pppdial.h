#pragma once

#include "pages/PageDialog.h"
#include <QLineEdit>
#include <QStringList>
#include <atomic>

namespace ulv {

// 1 while the dial or terminate worker runs: the modem-line notes then go to
// the negotiation log too.
extern std::atomic<int> PppDialInProgress;

// The PPP dial-up page.
class CTestitemDlg_pppdial : public PageDialog {
    Q_OBJECT
public:
    explicit CTestitemDlg_pppdial(QWidget* parent = nullptr);
    void SaveSettings() { ++m_nSaves; }
    void AppendLogLine(const QString& text) { m_log << text; }
    QLineEdit* ApnEdit() const { return m_editApn; }
    QLineEdit* UserEdit() const { return m_editUser; }
    QLineEdit* PasswordEdit() const { return m_editPassword; }
    QStringList m_log;
    int m_nSaves = 0;

private:
    QLineEdit* m_editApn;
    QLineEdit* m_editUser;
    QLineEdit* m_editPassword;
};

} // namespace ulv
