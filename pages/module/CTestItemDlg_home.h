#pragma once

#include "pages/PageDialog.h"

class QPushButton;

namespace ulv {

// The connection page. Until its scripted connect comes, its button only opens
// and closes the configured port, so the terminal can be used by hand.
class CTestItemDlg_home : public PageDialog {
    Q_OBJECT
public:
    explicit CTestItemDlg_home(QWidget* parent = nullptr);

    void UpdatePortTip();
    void OnReceivedLine(const QString& line) override { m_lastLine = line; }
    QString m_lastLine;

    QPushButton* ConnectButton() const { return m_connect; }
    void OnButtonConnect();

private:
    QPushButton* m_connect;
};

} // namespace ulv
