#pragma once

#include <QDialog>
#include <QString>
#include <atomic>
#include <memory>

class QLabel;

namespace ulv {

class CTextProgressCtrl;

// The small modal window of the test-environment check: its worker asks the
// module about SIM, signal and registration (and for the SMS page the SMS
// functions), and the window closes itself 200 ms after the worker ends.
class CEnvCheckDlg : public QDialog {
    Q_OBJECT
public:
    explicit CEnvCheckDlg(QWidget* parent = nullptr);
    static constexpr int kCloseWaitMs = 2000;
    ~CEnvCheckDlg() override;

    // Starts the worker and runs the window until it closes itself.
    int DoModal();

    int m_nPageKind = 0;
    QString m_strSmscNumber;
    int m_bSmsCheck = 0;
    int m_bReady = 1;
    int m_nSmsStorageCapacity = 0;

    QString PromptText() const;
    int ProgressPos() const;

    // Enter and Esc do nothing: only the worker's end closes the window.
    void accept() override {}
    void reject() override {}

private:
    void Start();

    QLabel* m_prompt;
    CTextProgressCtrl* m_progress;
    // Set while the worker runs; the window waits for it (bounded) when it goes.
    std::shared_ptr<std::atomic<bool>> m_working = std::make_shared<std::atomic<bool>>(false);
};

} // namespace ulv
