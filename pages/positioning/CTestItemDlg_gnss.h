#pragma once

#include "core/gnss/NmeaParser.h"
#include "pages/PageDialog.h"
#include "pages/positioning/core/ViewBacklog.h"
#include "serial/CommPortSettings.h"

#include <QStringList>
#include <QTimer>
#include <QVariant>

#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QPlainTextEdit;

namespace ulv {

class CChartContrl;
class CChartContrl_columnar;
class CChartContrl_radar;
class CFlatComboBox;
class CFolderTabCtrl;
class CPortParamDlg;
class CSerialPort;
class CSkinButton;
class CTransparentLabel;
class CWebBrowser2;
struct FolderTabNotify;

// The GNSS page: its own NMEA port beside the module's AT port, the GNSS engine
// switched on and off with the port, the received sentences shown as text,
// value labels, a world map, a sky plot, a signal bar chart and the map page
// of the chosen provider.
class CTestItemDlg_gnss : public PageDialog, private NmeaParser::Listener {
    Q_OBJECT
public:
    // The folder tabs.
    enum Tab { kTabWorldMap = 0, kTabSkyView, kTabSignalChart, kTabMap, kTabNmeaData };

    explicit CTestItemDlg_gnss(QWidget* parent = nullptr);
    // Closes the NMEA port before anything of the page goes, so that its
    // monitor never reports to a page that no longer exists.
    ~CTestItemDlg_gnss() override;

    // The page host shows the page: the map views load their page files (once
    // they exist; the first show of the Map tab creates them with these files).
    void NavigateMaps(const QString& first, const QString& second);
    // WM_MAPTYPE_CHANGED: the chosen provider's map is shown, whatever tab is
    // selected, and loaded afresh; the other is hidden.
    int OnMapTypeChanged();

    // Connect / Disconnect.
    void OnButtonConnect();
    // The module went away: its NMEA port is closed too, and the page can connect anew.
    void OnPortLost() override;
    // The property combo: item 1 opens the port settings dialog.
    void OnSelchangePortProperty(int index);
    // 1 when the port is open and monitored, else 0 after telling the user why.
    int OpenNmeaPort(const QString& port, int baud, int dataBits, int stopBits, int parity, int flowMode,
        int bufferSize);
    // Closes the NMEA port on a thread of its own; the page stays "closing"
    // (Connect does nothing) until that has finished, at most kClosePortLimitMs.
    void StartClosePortThread();
    static constexpr int kClosePortLimitMs = 3000;
    static constexpr const char* kClosePortFailure =
        "Close Com Port Failure ! System will close the monitor thread compulsively";
    // Stops the port's monitor (bounded) and closes it; a monitor that does
    // not end is let go with kClosePortFailure. Any thread.
    static void StopNmeaPort(const std::shared_ptr<CSerialPort>& port);
    // One chunk from the NMEA port: shown, then parsed. Returns 1.
    int OnNmeaData(const QByteArray& chunk);
    // Appends text to the NMEA view: kind 1 received, 2 sent. While the view is
    // hidden the text waits (its newest lines only) and is shown when the view is.
    void EchoText(int kind, const QString& text);
    // The command edit's text to the NMEA port (not echoed).
    void SendCommand();
    // The hidden test button: a fixed RMC sentence moved to a second place.
    void OnButton1();
    // The folder tab changed.
    void OnTabChanged(int index);
    // Pushes a signed position to the visible provider's map page.
    void ShowPositionOnMap(double latitude, double longitude) override;

    // The settings text of the property combo, e.g. "115200,8,1,None,None".
    static QString PortSettingsText(const CommPortSettings& s);
    // The text with prefix inserted after every line feed that starts a line
    // (not one that ends the text, is followed by another line feed, or is
    // followed only by a final CR), and in front when atStart is set and the
    // text does not start with a line end.
    static QString PrefixLines(const QString& text, const QString& prefix, bool atStart);

    // Tests answer the property dialog.
    void SetPropertyDialogRunner(std::function<int(CPortParamDlg&)> run) { m_runPropertyDialog = std::move(run); }
    // Refills the port combo (done once when the page is made).
    void FillPortList();
    // Sizes the port box to its longest entry and moves the row's buttons.
    void FitPortRow();

    bool PortOpen() const { return m_pNmeaPort != nullptr; }
    const NmeaParser& Parser() const { return m_parser; }
    const CommPortSettings& NmeaSettings() const { return m_nmeaSettings; }
    int SelectedTab() const;

    CFlatComboBox* PortCombo() const { return m_cmbPort; }
    CFlatComboBox* PropertyCombo() const { return m_cmbProperty; }
    CSkinButton* ConnectButton() const { return m_btnConnect; }
    QCheckBox* AutoGnssCheck() const { return m_chkAutoGnss; }
    QPlainTextEdit* NmeaView() const { return m_nmeaView; }
    QLineEdit* CommandEdit() const { return m_editCommand; }
    CFolderTabCtrl* FolderTab() const { return m_folderTab; }
    CChartContrl* WorldMap() const { return m_pWorldMap; }
    CChartContrl_radar* SkyPlot() const { return m_pSkyPlot; }
    CChartContrl_columnar* BarChart() const { return m_pBarChart; }
    // The map views of the first and second provider: null until the Map tab or
    // a map type change first needs them, so a page never shown starts no browser.
    CWebBrowser2* FirstBrowser() const { return m_browserFirst; }
    CWebBrowser2* SecondBrowser() const { return m_browserSecond; }
    // The script call the map views go through; tests watch it.
    std::function<int(CWebBrowser2*, const QString&, const QStringList&, QVariant*)> m_callPageScript;
    // UTC date, UTC time, Latitude, Longitude, Altitude(m), Speed(km/h),
    // Satellite_used, Locating type, *DOP.
    enum Value { kUtcDate, kUtcTime, kLatitude, kLongitude, kAltitude, kSpeed, kSatelliteUsed, kLocatingType, kDop };
    QLabel* ValueLabel(Value v) const;

    // Most lines the NMEA view keeps; older text is dropped from the top.
    static constexpr int kMaxViewBlocks = 2000;
    // Longest line the NMEA view shows in one piece; longer ones are broken.
    static constexpr int kMaxViewLineChars = 1024;
    // The values and charts follow the parsed sentences at most this often
    // (a 10 Hz receiver's epoch).
    static constexpr int kRefreshMs = 100;
    // The NMEA view takes what arrived at most this often while it is shown.
    static constexpr int kViewFlushMs = 200;
    // How long the NMEA port lets the receiver's pieces gather before a read.
    static constexpr int kReadGatherMs = 20;
    // True while parsed values wait for the next refresh of the labels and charts.
    bool RefreshPending() const { return m_refreshTimer.isActive(); }

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void OnInitDialog();
    void OnPortGone(const QString& port);
    void RebuildPropertyCombo();
    // Creates the two map views over the map placeholder, loads their pages and
    // shows the chosen provider's while the Map tab is selected.
    void EnsureBrowsers();
    CWebBrowser2* MapView(int provider) const;
    // Moves what waits for the NMEA view into it (while it is shown).
    void FlushNmeaView();
    // Brings the labels, charts and map up to the parser's last results.
    void RefreshValues();
    void ApplyLabels(const GnssValueLabels& labels);
    void ApplyTable(const SatelliteTable& table);
    void ApplyWorldPosition(double latitude, double longitude);
    void PushPositionToMap(double latitude, double longitude);

    // NmeaParser::Listener
    void TablePublished(const SatelliteTable& table) override;
    void LabelsChanged(const GnssValueLabels& labels) override;
    void WorldPositionChanged(double latitude, double longitude) override;
    bool MapTabSelected() const override;

    QPlainTextEdit* m_nmeaView = nullptr;
    ViewBacklog m_viewBacklog {kMaxViewBlocks, kMaxViewLineChars};
    QTimer m_viewTimer;
    CTransparentLabel* m_values[9] {};
    QLabel* m_mapPlaceholder = nullptr;
    CFlatComboBox* m_cmbProperty = nullptr;
    CFlatComboBox* m_cmbPort = nullptr;
    CSkinButton* m_btnConnect = nullptr;
    QCheckBox* m_chkAutoGnss = nullptr;
    QLineEdit* m_editCommand = nullptr;
    CSkinButton* m_btnSend = nullptr;
    CSkinButton* m_btnButton1 = nullptr;
    CFolderTabCtrl* m_folderTab = nullptr;

    std::shared_ptr<CSerialPort> m_pNmeaPort;
    std::thread m_closeThread;
    CommPortSettings m_nmeaSettings;

    CChartContrl_columnar* m_pBarChart = nullptr;
    CChartContrl_radar* m_pSkyPlot = nullptr;
    CChartContrl* m_pWorldMap = nullptr;

    CWebBrowser2* m_browserFirst = nullptr;  // id 2001
    CWebBrowser2* m_browserSecond = nullptr; // id 2002
    QString m_mapFiles[2];

    NmeaParser m_parser;
    // What the parser last gave the labels, charts and map, applied on m_refreshTimer.
    QTimer m_refreshTimer;
    bool m_parsing = false;
    bool m_labelsDue = false, m_tableDue = false, m_worldDue = false, m_mapDue = false;
    GnssValueLabels m_dueLabels;
    SatelliteTable m_dueTable {};
    double m_dueWorld[2] {};
    double m_dueMap[2] {};
    std::mutex m_pageLock;
    std::function<int(CPortParamDlg&)> m_runPropertyDialog;
};

} // namespace ulv
