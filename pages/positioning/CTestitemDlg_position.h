#pragma once

#include "core/at/WorkerPool.h"
#include "pages/PageDialog.h"
#include "pages/positioning/core/CellLocator.h"

#include <QRect>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace ulv {

class CImageButton;
class CSkinButton;
class CWebBrowser2;
class ModemSession;

// WM_CELLLOC_POSITION: the locate worker stored a new position.
constexpr int WM_CELLLOC_POSITION = 0x438;

// The cell-locator page: asks the module for its position from the serving cells
// (AT+JCELLLOC=1), shows it in the Latitude and Longitude boxes and on the map of
// the chosen provider, replays the positions of a saved terminal log onto the
// map, and activates and deactivates the PDP context the locator needs.
class CTestitemDlg_position : public PageDialog {
    Q_OBJECT
public:
    explicit CTestitemDlg_position(QWidget* parent = nullptr);
    ~CTestitemDlg_position() override;

    void OnButtonGetPosition();
    // The position from the module's GNSS engine instead of the cells; nothing
    // on the page starts it.
    void GpsLocateThread();
    void OnButtonPdpAct();
    void OnButtonPdpDeact();
    void OnPortLost() override;
    void OnButtonImport();
    void OnButtonBigMap();
    void OnButtonLocate();
    void OnHandLocate();
    // The map type changed: show the chosen provider's map and load its page again.
    void OnMapTypeChanged();
    // WM_CELLLOC_POSITION: the last position onto the map.
    void OnCellPosition();

    // Replays the "+JCELLLOC:" lines of a saved terminal log onto the map.
    void ImportReplayFile(const QString& path);
    void ShowCellPosition(double latitude, double longitude);
    void AddMark(double latitude, double longitude);
    // Loads a page into the first provider's browser by URL.
    void Navigate2(const QString& url);
    // The page host shows the page: the first provider's map is loaded again.
    void NavigateMap(const QString& file);

    void SaveLocatorSettings();
    void LoadLocatorSettings();
    QString SettingsPath() const;
    // The family's "Get position" state after the module type changed.
    void ApplyModuleType();

    QLineEdit* ApnEdit() const { return m_editApn; }
    QLineEdit* UserEdit() const { return m_editUser; }
    QLineEdit* PasswordEdit() const { return m_editPassword; }
    QLineEdit* LatitudeEdit() const { return m_editLatitude; }
    QLineEdit* LongitudeEdit() const { return m_editLongitude; }
    QLineEdit* ZoomEdit() const { return m_editZoom; }
    QLineEdit* ReplayPathEdit() const { return m_editReplayPath; }
    CSkinButton* PdpActButton() const { return m_btnPdpAct; }
    CSkinButton* PdpDeactButton() const { return m_btnPdpDeact; }
    CSkinButton* GetPositionButton() const { return m_btnGetPosition; }
    CSkinButton* ImportButton() const { return m_btnImport; }
    CWebBrowser2* FirstBrowser() const { return m_browserFirst; }
    CWebBrowser2* SecondBrowser() const { return m_browserSecond; }
    // True while a worker of the page runs.
    bool WorkerRunning() const { return m_workers.Running() > 0; }

    // How the page calls the map pages' scripts (tests watch the calls here).
    std::function<int(CWebBrowser2*, const QString&, const QStringList&, QVariant*)> m_callPageScript;
    // The replay file chooser (tests answer it); empty: cancelled.
    std::function<QString()> m_chooseReplayFile;

    QString m_strMcc, m_strMnc;
    double m_dManualLatitude;
    double m_dManualLongitude;
    int m_nZoom = 16;
    bool m_bSmallScreen = false;

protected:
    void customEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    bool CanStart() const;
    ModemSession& Session() const;
    void EnsureBrowsers();
    void ShowSelectedProvider();
    void LocateEnded();
    void StartLocate(LocateResult (*locate)(ModemSession&, const TaskGate::Token&));
    void ActivationEnded(bool success, int moduleType);
    void DeactivationEnded(DeactivateOutcome outcome, int moduleType);

    CImageButton* m_btnRecommendApn;
    CSkinButton* m_btnPdpAct;
    CSkinButton* m_btnPdpDeact;
    QLineEdit* m_editApn;
    QLineEdit* m_editUser;
    QLineEdit* m_editPassword;
    QLineEdit* m_editLatitude;
    QLineEdit* m_editLongitude;
    QLineEdit* m_editZoom;
    QLineEdit* m_editManualLongitude;
    QLineEdit* m_editManualLatitude;
    QCheckBox* m_checkHandLocate;
    CImageButton* m_btnBigMap;
    CSkinButton* m_btnImport;
    QLineEdit* m_editReplayPath;
    CSkinButton* m_btnLocate;
    CSkinButton* m_btnGetPosition;
    CSkinButton* m_btnGetPositionHidden;
    QLabel* m_mapPlaceholder;
    CWebBrowser2* m_browserFirst = nullptr;
    CWebBrowser2* m_browserSecond = nullptr;
    QRect m_mapRect;
    TaskWorkers m_workers;
};

// The last position the locate worker found, and the replayed ones.
struct CellPositionRecord {
    double latitude = 0.0;
    double longitude = 0.0;
};
extern CellPositionRecord g_cellPosition;
extern std::vector<ReplayPosition> g_replayPositions;

} // namespace ulv
