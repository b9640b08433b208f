#pragma once

#include <QDialog>

class QLineEdit;

namespace ulv {

class CSkinButton;

// Asks for the cycles of a script run and the pause after each cycle.
class CCycleSettingDlg : public QDialog {
    Q_OBJECT
public:
    explicit CCycleSettingDlg(QWidget* parent = nullptr);

    int DoModal();
    // Checks the two values; keeps the dialog open on "The setting is wrong!".
    void OnOK();

    QLineEdit* CycleEdit() const { return m_editCycles; }
    QLineEdit* IntervalEdit() const { return m_editInterval; }
    CSkinButton* OkButton() const { return m_btnOk; }

    int m_nCycleTimes = 1;
    int m_nIntervalTime = 500; // milliseconds

protected:
    void accept() override { OnOK(); }

private:
    QLineEdit* m_editCycles;
    QLineEdit* m_editInterval;
    CSkinButton* m_btnOk;
    CSkinButton* m_btnCancel;
};

} // namespace ulv
