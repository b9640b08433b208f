#pragma once

#include "pages/PageDialog.h"

namespace ulv {

// The voice call page.
class CTestItemDlg_voice : public PageDialog {
    Q_OBJECT
public:
    explicit CTestItemDlg_voice(QWidget* parent = nullptr);
    bool IsCallIdle() const { return m_bCallIdle; }
    void SetHandsFreeVisible(bool visible) { m_bHandsFreeVisible = visible; }
    bool HandsFreeVisible() const { return m_bHandsFreeVisible; }
    void OnReceivedLine(const QString& line) override { m_lastLine = line; }
    // WM_MODULE_IDENTIFIED: the identified module's audio dialect. Returns 1.
    int OnModuleIdentified();
    bool m_bCallIdle = true;
    bool m_bHandsFreeVisible = true;
    QString m_lastLine;

protected:
    bool event(QEvent* e) override;
};

} // namespace ulv
