#pragma once

#include "pages/PageDialog.h"
#include <QLineEdit>
namespace ulv {

// The cell-locator page.
class CTestitemDlg_position : public PageDialog {
    Q_OBJECT
public:
    explicit CTestitemDlg_position(QWidget* parent = nullptr);
    void SaveLocatorSettings() { ++m_nSaves; }
    QLineEdit* ApnEdit() const { return m_editApn; }
    // Shows the first provider's map page.
    void NavigateMap(const QString& file) { m_mapFile = file; }
    QString m_mapFile;
    int m_nSaves = 0;

    // The map type changed; the page is to show the chosen provider's map.
    void OnMapTypeChanged() { ++m_nMapTypeChanges; }
    int m_nMapTypeChanges = 0;

protected:
    void customEvent(QEvent* event) override;

private:
    QLineEdit* m_editApn;
};

} // namespace ulv
