#include "shell/core/CUlvenscopeApp.h"

#include <algorithm>

#include "atlib/core/DatabaseFiles.h"
#include "platform/DataFolder.h"
#include "platform/ProfileStore.h"
#include "platform/TempLog.h"
#include "core/at/ReceiveBuffers.h"
#include "shell/core/SysParams.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace ulv {

CUlvenscopeApp theApp;

std::atomic<int> g_nModuleType{0};
std::atomic<int> g_nModuleSubModel{0};
std::atomic<int> g_bTzFamily{0};

namespace {

const QString kLastLogNameFile = QStringLiteral("tempfile_log.txt");

} // namespace

// Built before main() runs, so nothing here may depend on the environment: the
// folders are found by InitFolders once the program (or a test) has set the
// data folder.
CUlvenscopeApp::CUlvenscopeApp()
    : m_strAtcDbKey(QString::fromLatin1(kAtcDbKey))
    , m_strApnDbKey(QString::fromLatin1(kApnDbKey))
{
}

void CUlvenscopeApp::InitFolders()
{
    m_strAppDir = DataFolder() + "/";
    m_strParamDir = m_strAppDir + "param";
    QDir().mkpath(m_strParamDir);
    m_strGoogleMapFile = m_strAppDir + "morvane_google.html";
    m_strBaiduMapFile = m_strAppDir + "morvane_baidu.html";
}

void CUlvenscopeApp::OpenTempLog()
{
    // Appending nothing creates the file when it is missing and keeps an
    // existing one; the log is appended to on every write afterwards.
    TempLog::Append(QString());
}

void CUlvenscopeApp::LoadSysParams()
{
    const SysParamFile f = ulv::LoadSysParams();
    // A hand-edited file may hold anything: the pane's width is kept where sums
    // with it cannot overflow (the splitter fits it to the window).
    m_nWidthMidView = std::clamp(f.widthMidView, 0, kMaxStoredSize);
    m_strNmeaFilter = f.nmeaFilter;
}

void CUlvenscopeApp::ReadProfileValues()
{
    m_nSkinIndex = ProfileStore::GetInt("skinset", "skinindex", 0);
    m_bShowLeftBar = ProfileStore::GetInt("leftbar", "showhide", 0);
    m_strSendFilePath = ProfileStore::GetString("filepath", "sendfilepath", QDir::homePath());
    g_nModuleType = ProfileStore::GetInt("sysparam", "moduletype", 0);
}

void CUlvenscopeApp::WriteProfileValues()
{
    ProfileStore::WriteString("filepath", "sendfilepath", m_strSendFilePath);
    ProfileStore::WriteInt("skinset", "skinindex", m_nSkinIndex);
    ProfileStore::WriteInt("leftbar", "showhide", m_bShowLeftBar);
    ProfileStore::WriteInt("sysparam", "moduletype", g_nModuleType);
    ProfileStore::Sync();
}

void CUlvenscopeApp::SetDatabasePaths()
{
    m_strAtcDbPath = AtcDbFile(GetModuleType()).path;
    m_strApnDbPath = ApnDbFile().path;
}

void CUlvenscopeApp::InstallDatabases()
{
    QStringList failures;
    InstallShippedDatabases(&failures);
    for (const QString& path : failures)
        TempLog::Append(QStringLiteral("Can't install the database %1\n").arg(path));
}

int CUlvenscopeApp::ExitInstance()
{
    WriteProfileValues();
    return 0;
}

QString CUlvenscopeApp::WriteMapPageFile(int google)
{
    const QString path = m_strAppDir + (google ? "morvane_google.html" : "morvane_baidu.html");
    QFile source(google ? QStringLiteral(":/map/morvane_google.html") : QStringLiteral(":/map/morvane_baidu.html"));
    if (!source.open(QIODevice::ReadOnly)) {
        TempLog::Append(QStringLiteral("Map page template missing: %1\n").arg(source.fileName()));
        return path;
    }
    const QByteArray page = source.readAll();
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(page) != page.size() || !out.commit())
        TempLog::Append(QStringLiteral("Can't write the map page %1\n").arg(path));
    return path;
}

void CUlvenscopeApp::CollectDeviceNames()
{
    m_deviceNames.clear();
    // The pattern only selects matches; every device's name is collected.
    m_deviceList.FindEx(true, QStringLiteral("XX"));
    m_deviceNames = m_deviceList.Names();
}

QString CUlvenscopeApp::ReadLastLogName() const
{
    QFile f(m_strParamDir + "/" + kLastLogNameFile);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QString line = QString::fromUtf8(f.readLine());
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return line;
}

bool CUlvenscopeApp::WriteLastLogName(const QString& name) const
{
    QFile f(m_strParamDir + "/" + kLastLogNameFile);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray bytes = name.toUtf8();
    return f.write(bytes) == bytes.size();
}

void CUlvenscopeApp::ClearReceivedText() { AppReceiveBuffers().ClearReceivedText(); }
void CUlvenscopeApp::AppendReceivedText(const QString& text) { AppReceiveBuffers().AppendReceivedText(text); }
QString CUlvenscopeApp::TakeReceivedText() { return AppReceiveBuffers().TakeReceivedText(); }
void CUlvenscopeApp::ClearReceivedHex() { AppReceiveBuffers().ClearReceivedHex(); }
void CUlvenscopeApp::AppendReceivedHex(const QString& hex) { AppReceiveBuffers().AppendReceivedHex(hex); }
QString CUlvenscopeApp::TakeReceivedHex() { return AppReceiveBuffers().TakeReceivedHex(); }

void CUlvenscopeApp::SetNetworkCodes(const QString& mcc, const QString& mnc)
{
    std::lock_guard<std::mutex> guard(m_csNetworkCodes);
    m_strMcc = mcc;
    m_strMnc = mnc;
}

QString CUlvenscopeApp::Mcc() const
{
    std::lock_guard<std::mutex> guard(m_csNetworkCodes);
    return m_strMcc;
}

QString CUlvenscopeApp::Mnc() const
{
    std::lock_guard<std::mutex> guard(m_csNetworkCodes);
    return m_strMnc;
}

int GetModuleType() { return g_nModuleType; }
int GetModuleSubModel() { return g_nModuleSubModel; }
void SetModuleSubModel(int subModel) { g_nModuleSubModel = subModel; }
int IsTzFamily() { return g_bTzFamily; }
void SetTzFamily(int tz) { g_bTzFamily = tz; }

QString GetDefaultApnName()
{
    return GetModuleType() == 0 ? QStringLiteral("CMNET") : QStringLiteral("UNINET");
}

} // namespace ulv
