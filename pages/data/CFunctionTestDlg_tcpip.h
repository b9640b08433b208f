#pragma once

#include "pages/PageDialog.h"
#include <QLineEdit>
#include <QStringList>
#include <atomic>
namespace ulv {

// The TCP/UDP page.
class CFunctionTestDlg_tcpip : public PageDialog {
    Q_OBJECT
public:
    explicit CFunctionTestDlg_tcpip(QWidget* parent = nullptr);
    void SaveSettings() { ++m_nSaves; }
    void AppendReceivedData(const QString& text);
    QLineEdit* ApnEdit() const { return m_editApn; }
    QLineEdit* UserEdit() const { return m_editUser; }
    QLineEdit* PasswordEdit() const { return m_editPassword; }
    void OnReceivedLine(const QString& line) override { m_lastLine = line; }
    std::atomic<int> m_bConnectionClosed{0};
    std::atomic<int> m_bContextDeactivated{0};
    std::atomic<int> m_bEchoTest{0};
    QStringList m_received;
    QString m_lastLine;
    int m_nSaves = 0;

private:
    QLineEdit* m_editApn;
    QLineEdit* m_editUser;
    QLineEdit* m_editPassword;
};

} // namespace ulv
