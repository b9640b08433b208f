#pragma once

#include "pages/PageDialog.h"

namespace ulv {

// The connection page (its workings come with the connection work).
class CTestItemDlg_home : public PageDialog {
    Q_OBJECT
public:
    explicit CTestItemDlg_home(QWidget* parent = nullptr);
    void UpdatePortTip() { }
    void OnReceivedLine(const QString& line) override { m_lastLine = line; }
    QString m_lastLine;
};

} // namespace ulv
