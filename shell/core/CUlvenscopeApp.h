#pragma once

#include "platform/TaskGate.h"
#include "serial/CDeviceList.h"

#include <QString>
#include <QStringList>
#include <atomic>
#include <mutex>

namespace ulv {

// The process-wide state every part of the program reads: the task flag, the
// receive buffers, the folders, the database paths and keys, the connection
// state and the SIM's network codes. One instance, theApp.
//
// The flags that workers and the UI thread both touch are atomics; the strings
// are set on the UI thread before any worker starts, except the SIM's network
// codes, which go through their own lock.
class CUlvenscopeApp {
public:
    CUlvenscopeApp();
    CUlvenscopeApp(const CUlvenscopeApp&) = delete;
    CUlvenscopeApp& operator=(const CUlvenscopeApp&) = delete;

    // The start sequence (guide, port dialog, main window); defined with the
    // dialogs in the widget library (shell/AppStartup.cpp). False ends the start.
    bool InitInstance();
    // Writes the profile values back and closes the temporary log; runs after
    // the main loop and after a start that ended early. Returns the exit code.
    int ExitInstance();

    // Steps of the start that need no window, in the order InitInstance runs them.
    void InitFolders();        // m_strAppDir, m_strParamDir (created), the map page paths
    void OpenTempLog();        // "append when it exists, else new"
    void LoadSysParams();      // sysparam.ini into g_sysParams, m_nWidthMidView, m_strNmeaFilter
    void ReadProfileValues();  // skin, left bar, send-file folder, module type
    void SetDatabasePaths();   // by the module type
    void InstallDatabases();   // the shipped databases missing from param/
    void WriteProfileValues();

    // Writes one map page file from the program's templates: google 1 the first
    // provider's page, 0 the second's. Returns the file's full path, also when
    // the file could not be written (the start goes on without it).
    QString WriteMapPageFile(int google);
    void CollectDeviceNames();

    // The bare name of the current terminal log file, kept in param/tempfile_log.txt.
    QString ReadLastLogName() const;
    bool WriteLastLogName(const QString& name) const;

    // The task flag (one task at a time).
    TaskGate& TaskRunning() { return AppTaskGate(); }
    bool IsTaskRunning() const { return AppTaskGate().Running(); }

    // The receive buffers (serial/ReceiveBuffers.h).
    void ClearReceivedText();
    void AppendReceivedText(const QString& text);
    QString TakeReceivedText();
    void ClearReceivedHex();
    void AppendReceivedHex(const QString& hex);
    QString TakeReceivedHex();

    // The SIM's mobile country and network codes, written by the connection
    // page's worker and read by the pages.
    void SetNetworkCodes(const QString& mcc, const QString& mnc);
    QString Mcc() const;
    QString Mnc() const;

    std::atomic<int> m_nWidthMidView{0};
    std::atomic<int> m_bWidthMidViewChanged{0};
    std::atomic<int> PppLinkUp{0};
    std::atomic<int> m_bTcpContextActive{0};
    std::atomic<int> m_bLocatorContextActive{0};
    std::atomic<int> m_bLogFileReady{0};
    QString m_strLogFilePath;
    int m_nSkinIndex = 0;
    int m_bShowLeftBar = 0;
    QString m_strAppDir;   // the data folder, with a trailing '/'
    QString m_strParamDir; // m_strAppDir + "param", no trailing '/'
    QString m_strSendFilePath;
    QString m_strAtcDbPath;
    QString m_strApnDbPath;
    QString m_strBaiduMapFile;
    QString m_strGoogleMapFile;
    CDeviceList m_deviceList;
    QStringList m_deviceNames;
    std::atomic<int> m_bModuleConnected{0};
    QString m_strPortName; // device path of the port the connection page opened
    std::atomic<int> m_bUsbPort{0};
    std::atomic<int> m_nUsbPortKind{0}; // 1 AT, 2 DM, 3 NMEA, 4 not found, 5 other
    QString m_strNmeaFilter;
    QString m_strAtcDbKey; // given to every open of the AT-command databases
    QString m_strApnDbKey; // given to every open of the APN database

private:
    mutable std::mutex m_csNetworkCodes;
    QString m_strMcc;
    QString m_strMnc;
};

extern CUlvenscopeApp theApp;

// The module family: 0 the GSM family, 1 the UMTS/HSPA family.
extern std::atomic<int> g_nModuleType;
// The 3G model found in the module's revision text: 0 RX70, 1 RX50, 2 other 3G.
extern std::atomic<int> g_nModuleSubModel;
// 1 when the revision text holds the TZ family prefix, 0 for the P prefix.
extern std::atomic<int> g_bTzFamily;

int GetModuleType();
int GetModuleSubModel();
void SetModuleSubModel(int subModel);
int IsTzFamily();
void SetTzFamily(int tz);
// The APN the data pages start with in the GSM family: "CMNET" for module type
// 0, else "UNINET".
QString GetDefaultApnName();

} // namespace ulv
