#pragma once

#include "pages/PageDialog.h"

namespace ulv {

// The AT Command help page.
class CTestItemDlg_atcommand : public PageDialog {
    Q_OBJECT
public:
    explicit CTestItemDlg_atcommand(QWidget* parent = nullptr);

};

} // namespace ulv
