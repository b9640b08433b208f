#pragma once

#include "pages/PageDialog.h"

namespace ulv {

// The MMS page.
class CTestitemDlg_MMS : public PageDialog {
    Q_OBJECT
public:
    explicit CTestitemDlg_MMS(QWidget* parent = nullptr);
    void SaveSettings() { ++m_nSaves; }
    int m_nSaves = 0;
};

} // namespace ulv
