#pragma once

#include "pages/PageDialog.h"

namespace ulv {

// The GNSS page.
class CTestItemDlg_gnss : public PageDialog {
    Q_OBJECT
public:
    explicit CTestItemDlg_gnss(QWidget* parent = nullptr);
    void NavigateMaps(const QString& first, const QString& second)
    {
        m_mapFiles[0] = first;
        m_mapFiles[1] = second;
    }
    QString m_mapFiles[2];
    // The map type changed; the page is to show the chosen provider's map.
    void OnMapTypeChanged() { ++m_nMapTypeChanges; }
    int m_nMapTypeChanges = 0;

protected:
    void customEvent(QEvent* event) override;
};

} // namespace ulv
