#pragma once

#include <QDialog>

namespace ulv {

// Base of the SMS page's tool dialogs: the opener fills the public members
// after construction, so the dialog sets itself up when it is first shown; Enter
// never closes it (Cancel, Escape and the close box do).
class SmsToolDialog : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;

    void accept() override {}

protected:
    virtual void OnInitDialog() = 0;
    void showEvent(QShowEvent* event) override;

private:
    bool m_bInitDone = false;
};

} // namespace ulv
