#pragma once

#include "pages/PageDialog.h"

namespace ulv {

// The AT script page.
class CTestItemDlg_script : public PageDialog {
    Q_OBJECT
public:
    explicit CTestItemDlg_script(QWidget* parent = nullptr);
    void SaveSettings() { ++m_nSaves; }
    void LoadDefaultScript() { ++m_nDefaultLoads; }
    int m_nSaves = 0;
    int m_nDefaultLoads = 0;
};

} // namespace ulv
