#include "pages/positioning/CTestitemDlg_position.h"

#include "core/at/ModemSession.h"
#include "core/at/TerminalOutput.h"
#include "core/text/CommandFieldCheck.h"
#include "pages/PageHost.h"
#include "pages/PageSession.h"
#include "pages/positioning/CMapDlg.h"
#include "pages/positioning/core/MapDefaults.h"
#include "platform/Gui.h"
#include "platform/IniFile.h"
#include "platform/MessageBox.h"
#include "shell/core/CUlvenscopeApp.h"
#include "shell/FrameFileChooser.h"
#include "shell/core/SysParams.h"
#include "ui/controls/CImageButton.h"
#include "ui/controls/CSkinButton.h"
#include "ui/maps/CWebBrowser2.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRegularExpressionValidator>
#include <QScreen>

namespace ulv {

CellPositionRecord g_cellPosition;
std::vector<ReplayPosition> g_replayPositions;

namespace {

const QString kSection = QStringLiteral("MorvLocator");
const QString kZoomWrong = QStringLiteral("The parameter of zoom is wrong!\r\nThe right range is from 1 to 20.");
// A replay file is a terminal log; anything larger is not one.
constexpr qint64 kMaxReplayBytes = 256 * 1024 * 1024;

QLabel* Label(QWidget* parent, const QString& text, const char* id, int x, int y, int w)
{
    auto* l = new QLabel(text, parent);
    if (id)
        l->setObjectName(QString::fromLatin1(id));
    l->setGeometry(x, y, w, 22);
    return l;
}

QLineEdit* Edit(QWidget* parent, const char* id, int x, int y, int w)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(id));
    e->setGeometry(x, y, w, 22);
    return e;
}

CSkinButton* Button(QWidget* parent, const QString& text, const char* id, int x, int y, int w = 90)
{
    auto* b = new CSkinButton(text, parent);
    b->setObjectName(QString::fromLatin1(id));
    b->setGeometry(x, y, w, 26);
    return b;
}

CImageButton* IconButton(QWidget* parent, const char* id, const QString& tip, int x, int y)
{
    auto* b = new CImageButton(parent);
    b->setObjectName(QString::fromLatin1(id));
    b->setGeometry(x, y, 26, 26);
    b->SetTooltipText(tip);
    b->hide();
    return b;
}

} // namespace

CTestitemDlg_position::CTestitemDlg_position(QWidget* parent)
    : PageDialog(QStringLiteral("CTestitemDlg_position"), parent)
    , m_dManualLatitude(kDefaultPlaceLatitude)
    , m_dManualLongitude(kDefaultPlaceLongitude)
{
    m_callPageScript = [](CWebBrowser2* b, const QString& f, const QStringList& a, QVariant* r) {
        return CallPageScript(b, f, a, r);
    };
    // A saved terminal log: the same chooser as the terminal's own reload.
    m_chooseReplayFile = [this] { return ChooseReloadLogPath(this); };

    Label(this, QStringLiteral("Access Point Name:"), "1169l", 16, 12, 130);
    m_editApn = Edit(this, "1169", 130, 12, 150);
    Label(this, QStringLiteral("User name:"), nullptr, 16, 40, 130);
    m_editUser = Edit(this, "1027", 130, 40, 150);
    Label(this, QStringLiteral("User password:"), nullptr, 16, 68, 130);
    m_editPassword = Edit(this, "1324", 130, 68, 150);
    m_btnRecommendApn = IconButton(this, "1460", QStringLiteral("Select APN that are recommended!"), 284, 10);
    m_btnPdpAct = Button(this, QStringLiteral("PDP ACT"), "1043", 316, 12);
    m_btnPdpDeact = Button(this, QStringLiteral("DEACT"), "1044", 316, 44);

    Label(this, QStringLiteral("Latitude:"), "1179l", 16, 104, 66);
    m_editLatitude = Edit(this, "1179", 82, 104, 110);
    m_editLatitude->setReadOnly(true);
    Label(this, QStringLiteral("Longitude:"), "1180l", 206, 104, 70);
    m_editLongitude = Edit(this, "1180", 276, 104, 110);
    m_editLongitude->setReadOnly(true);
    m_btnGetPosition = Button(this, QStringLiteral("Get position"), "1184", 16, 134, 100);

    // The manual-position block, hidden in the page.
    m_checkHandLocate = new QCheckBox(QStringLiteral("HandLocate"), this);
    m_checkHandLocate->setObjectName(QStringLiteral("1178"));
    m_checkHandLocate->setGeometry(460, 12, 100, 22);
    m_editManualLatitude = Edit(this, "1181", 460, 40, 90);
    m_editManualLongitude = Edit(this, "1182", 560, 40, 90);
    auto* zoomLabel = Label(this, QStringLiteral("Zoom"), "1459", 460, 68, 40);
    m_editZoom = Edit(this, "1183", 500, 68, 50);
    m_btnLocate = Button(this, QStringLiteral("Locate"), "1185", 560, 66, 70);
    m_btnBigMap = IconButton(this, "1388", QStringLiteral("Show Googlemap in a bigger dialog!"), 640, 66);
    m_btnGetPositionHidden = Button(this, QStringLiteral("GetPosition"), "1186", 560, 10, 80);
    for (QWidget* w : std::initializer_list<QWidget*>{m_checkHandLocate, m_editManualLatitude, m_editManualLongitude,
             zoomLabel, m_editZoom, m_btnLocate, m_btnGetPositionHidden})
        w->hide();
    // Only what makes a number: digits, the point and (for the coordinates) a minus.
    m_editManualLatitude->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.\\-]*")), this));
    m_editManualLongitude->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.\\-]*")), this));
    m_editZoom->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.]*")), this));
    m_editManualLatitude->setText(QString::number(m_dManualLatitude, 'f', 6));
    m_editManualLongitude->setText(QString::number(m_dManualLongitude, 'f', 6));
    m_editZoom->setText(QString::number(m_nZoom));

    QRect map(16, 170, 400, 400);
    m_mapPlaceholder = Label(this, QString(), "1177", map.x(), map.y(), map.width());
    m_mapPlaceholder->setFixedHeight(map.height());
    m_mapPlaceholder->hide();
    auto* replayLabel = Label(this, QStringLiteral("The path of replaying data:"), "1384", 16, 582, 170);
    m_editReplayPath = Edit(this, "1385", 16, 608, 300);
    m_editReplayPath->setReadOnly(true);
    m_btnImport = Button(this, QStringLiteral("Import"), "1386", 326, 606);

    // A small screen keeps the map shorter and pulls the replay row up with it.
    if (QScreen* screen = QGuiApplication::primaryScreen(); screen && screen->geometry().height() <= 800) {
        m_bSmallScreen = true;
        const int bottom = map.y() + map.height();
        const int shortened = int(bottom * 0.85);
        const int d = bottom - shortened;
        map.setHeight(shortened - map.y());
        for (QWidget* w : std::initializer_list<QWidget*>{m_editReplayPath, m_btnImport, replayLabel})
            w->move(w->x(), w->y() - d);
    }
    m_mapPlaceholder->setGeometry(map);

    m_mapRect = map;

    m_checkHandLocate->setChecked(false);
    OnHandLocate();
    m_btnPdpDeact->setEnabled(false);
    for (CSkinButton* b : {m_btnGetPosition, m_btnLocate, m_btnImport, m_btnPdpAct, m_btnPdpDeact})
        b->BuildDialogSkin();
    LoadLocatorSettings();
    ApplyModuleType();

    connect(m_btnGetPosition, &QPushButton::clicked, this, &CTestitemDlg_position::OnButtonGetPosition);
    connect(m_btnPdpAct, &QPushButton::clicked, this, &CTestitemDlg_position::OnButtonPdpAct);
    connect(m_btnPdpDeact, &QPushButton::clicked, this, &CTestitemDlg_position::OnButtonPdpDeact);
    connect(m_btnImport, &QPushButton::clicked, this, &CTestitemDlg_position::OnButtonImport);
    connect(m_btnBigMap, &QPushButton::clicked, this, &CTestitemDlg_position::OnButtonBigMap);
    connect(m_btnLocate, &QPushButton::clicked, this, &CTestitemDlg_position::OnButtonLocate);
    connect(m_checkHandLocate, &QCheckBox::clicked, this, &CTestitemDlg_position::OnHandLocate);
}

CTestitemDlg_position::~CTestitemDlg_position() = default;

ModemSession& CTestitemDlg_position::Session() const { return PageSession(); }

bool CTestitemDlg_position::CanStart() const { return PageCanStartTask(); }

void CTestitemDlg_position::ApplyModuleType()
{
    // The GSM family locates only through a context of its own: "Get position"
    // waits for PDP ACT.
    if (GetModuleType() == 0)
        m_btnGetPosition->setEnabled(theApp.m_bLocatorContextActive.load() != 0);
}

void CTestitemDlg_position::customEvent(QEvent* event)
{
    if (event->type() == kMapTypeChangedEvent)
        OnMapTypeChanged();
    PageDialog::customEvent(event);
}

void CTestitemDlg_position::showEvent(QShowEvent* event)
{
    PageDialog::showEvent(event);
    EnsureBrowsers();
}

// The browsers come with the page's first show: a program that never opens the
// locator starts no browser for it.
void CTestitemDlg_position::EnsureBrowsers()
{
    if (m_browserFirst)
        return;
    m_browserFirst = new CWebBrowser2(this);
    m_browserFirst->setObjectName(QStringLiteral("2000"));
    m_browserSecond = new CWebBrowser2(this);
    m_browserSecond->setObjectName(QStringLiteral("2001"));
    for (CWebBrowser2* b : {m_browserFirst, m_browserSecond})
        b->setGeometry(m_mapRect);
    if (!theApp.m_strGoogleMapFile.isEmpty())
        m_browserFirst->Navigate(theApp.m_strGoogleMapFile);
    if (!theApp.m_strBaiduMapFile.isEmpty())
        m_browserSecond->Navigate(theApp.m_strBaiduMapFile);
    ShowSelectedProvider();
}

// --- Map

void CTestitemDlg_position::ShowSelectedProvider()
{
    if (!m_browserFirst)
        return;
    const bool first = g_sysParams.UseGoogleMap == 1;
    m_browserFirst->setVisible(first);
    m_browserSecond->setVisible(!first);
}

void CTestitemDlg_position::OnMapTypeChanged()
{
    // Browsers not made yet open on the chosen provider when the page first shows.
    if (!m_browserFirst)
        return;
    ShowSelectedProvider();
    if (g_sysParams.UseGoogleMap == 1)
        m_browserFirst->Navigate(theApp.m_strGoogleMapFile);
    else
        m_browserSecond->Navigate(theApp.m_strBaiduMapFile);
}

void CTestitemDlg_position::NavigateMap(const QString& file)
{
    EnsureBrowsers();
    m_browserFirst->Navigate(file);
}

void CTestitemDlg_position::Navigate2(const QString& url)
{
    EnsureBrowsers();
    m_browserFirst->Navigate2(QUrl(url));
}

void CTestitemDlg_position::ShowCellPosition(double latitude, double longitude)
{
    if (g_sysParams.UseGoogleMap == 1)
        m_callPageScript(m_browserFirst, QStringLiteral("ggetposition"),
            MapPositionArguments(true, latitude, longitude), nullptr);
    else
        m_callPageScript(m_browserSecond, QStringLiteral("ggetposition"),
            MapPositionArguments(false, latitude, longitude), nullptr);
}

void CTestitemDlg_position::AddMark(double latitude, double longitude)
{
    if (g_sysParams.UseGoogleMap == 1)
        return;
    m_callPageScript(m_browserSecond, QStringLiteral("addMark"), MapPositionArguments(false, latitude, longitude),
        nullptr);
}

void CTestitemDlg_position::OnCellPosition()
{
    ShowCellPosition(g_cellPosition.latitude, g_cellPosition.longitude);
}

void CTestitemDlg_position::OnHandLocate()
{
    const bool on = m_checkHandLocate->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{m_editManualLatitude, m_editManualLongitude, m_editZoom, m_btnLocate})
        w->setEnabled(on);
}

void CTestitemDlg_position::OnButtonLocate()
{
    AddMark(kLocateTestLatitude, kLocateTestLongitude);
}

void CTestitemDlg_position::OnButtonBigMap()
{
    QVariant value;
    int zoom = m_nZoom;
    if (m_callPageScript(m_browserFirst, QStringLiteral("ggetzoom"), {}, &value))
        zoom = value.toInt() & 0xFF;
    int mapType = 3;
    if (m_callPageScript(m_browserFirst, QStringLiteral("ggetMapTypeId"), {}, &value))
        mapType = value.toString() == QLatin1String("roadmap") ? 0 : 3;
    bool latOk = false, lngOk = false;
    double latitude = m_editLatitude->text().trimmed().toDouble(&latOk);
    double longitude = m_editLongitude->text().trimmed().toDouble(&lngOk);
    if (!latOk || !lngOk || latitude < -90 || latitude > 90 || longitude < -180 || longitude > 180) {
        latitude = kDefaultPlaceLatitude;
        longitude = kDefaultPlaceLongitude;
    }
    CMapDlg dlg(this);
    dlg.m_nZoom = zoom;
    dlg.m_nMapType = mapType;
    dlg.m_dLatitude = latitude;
    dlg.m_dLongitude = longitude;
    dlg.exec();
}

// --- Get position

void CTestitemDlg_position::OnButtonGetPosition()
{
    m_editLatitude->clear();
    m_editLongitude->clear();
    if (!CanStart())
        return;
    bool ok = false;
    const int zoom = m_editZoom->text().trimmed().toInt(&ok);
    if (!ok || zoom < 1 || zoom > 20) {
        ShowMessageBox(kZoomWrong);
        return;
    }
    m_nZoom = zoom;
    StartLocate(&CellLocate);
}

void CTestitemDlg_position::GpsLocateThread()
{
    if (!CanStart())
        return;
    StartLocate(&GpsLocate);
}

void CTestitemDlg_position::StartLocate(LocateResult (*locate)(ModemSession&, const TaskGate::Token&))
{
    QPointer<CTestitemDlg_position> self(this);
    ModemSession& session = Session();
    g_cellPosition = {};
    const bool started = m_workers.Start([self, &session, locate](TaskGate::Token& t) {
        const LocateResult r = locate(session, t);
        Gui::Post([self, r] {
            if (!self)
                return;
            if (r.outcome == LocateOutcome::Position) {
                self->m_editLatitude->setText(r.position.latitudeText);
                self->m_editLongitude->setText(r.position.longitudeText);
                g_cellPosition = {r.position.latitude, r.position.longitude};
                self->OnCellPosition();
            }
            self->LocateEnded();
        });
    });
    if (started) {
        m_btnBigMap->setEnabled(false);
        m_btnImport->setEnabled(false);
        m_btnGetPosition->setEnabled(false);
    }
}

void CTestitemDlg_position::LocateEnded()
{
    m_btnBigMap->setEnabled(true);
    m_btnImport->setEnabled(true);
    if (m_checkHandLocate->isChecked())
        m_btnLocate->setEnabled(true);
    m_btnGetPosition->setEnabled(true);
}

// --- Replay

void CTestitemDlg_position::OnButtonImport()
{
    const QString path = m_chooseReplayFile ? m_chooseReplayFile() : QString();
    if (path.isEmpty())
        return;
    ImportReplayFile(path);
}

void CTestitemDlg_position::ImportReplayFile(const QString& path)
{
    m_editReplayPath->setText(path);
    g_replayPositions.clear();

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxReplayBytes)
        return;
    QByteArray text;
    if (const qint64 size = file.size(); size > 0) {
        if (uchar* mapped = file.map(0, size)) {
            text = QByteArray(reinterpret_cast<const char*>(mapped), size);
            file.unmap(mapped);
        } else {
            text = file.readAll();
        }
    }
    file.close();
    // The file goes to the terminal as it is, as a replay: never stamped or
    // shown as something the module sent.
    WriteOutputLine(kTerminalNote, QStringLiteral("/* Replay of %1 */").arg(QFileInfo(path).fileName()));
    WriteOutputLine(kTerminalReplay, text);
    g_replayPositions = ParseReplayPositions(text);
    for (const ReplayPosition& p : g_replayPositions) {
        if (g_sysParams.UseGoogleMap == 1)
            ShowCellPosition(p.latitude, p.longitude);
        else
            AddMark(p.latitude, p.longitude);
    }
}

// --- PDP context

void CTestitemDlg_position::OnButtonPdpAct()
{
    if (!CanStart())
        return;
    if (!theApp.Mcc().isEmpty() && !theApp.Mnc().isEmpty())
        SaveLocatorSettings();
    const LocatorApn apn {m_editApn->text(), m_editUser->text(), m_editPassword->text()};
    if (const QString problem = CheckAccessPoint(apn.apn, apn.user, apn.password); !problem.isEmpty()) {
        ShowMessageBox(problem);
        return;
    }
    const int type = GetModuleType();
    QPointer<CTestitemDlg_position> self(this);
    ModemSession& session = Session();
    const bool started = m_workers.Start([self, apn, type, &session](TaskGate::Token& t) {
        const bool ok = type != 0 ? LocatorActivateUmts(session, t, apn, theApp.m_bLocatorContextActive)
                                  : LocatorActivateGsm(session, t, apn, theApp.m_bLocatorContextActive);
        Gui::Post([self, ok, type] {
            if (self)
                self->ActivationEnded(ok, type);
        });
    });
    if (started) {
        m_btnPdpAct->setEnabled(false);
        m_btnPdpDeact->setEnabled(false);
    }
}

void CTestitemDlg_position::ActivationEnded(bool success, int moduleType)
{
    m_btnPdpAct->setEnabled(!success);
    m_btnPdpDeact->setEnabled(true);
    if (moduleType == 0)
        m_btnGetPosition->setEnabled(success);
}

void CTestitemDlg_position::OnButtonPdpDeact()
{
    if (!CanStart())
        return;
    const int type = GetModuleType();
    QPointer<CTestitemDlg_position> self(this);
    ModemSession& session = Session();
    const bool started = m_workers.Start([self, type, &session](TaskGate::Token& t) {
        const DeactivateOutcome out = LocatorDeactivate(session, t, type);
        if (out != DeactivateOutcome::Stopped)
            theApp.m_bLocatorContextActive = 0;
        Gui::Post([self, out, type] {
            if (self)
                self->DeactivationEnded(out, type);
        });
    });
    if (started) {
        m_btnPdpAct->setEnabled(false);
        m_btnPdpDeact->setEnabled(false);
    }
}

void CTestitemDlg_position::OnPortLost()
{
    // The context went with the module.
    theApp.m_bLocatorContextActive = 0;
    DeactivationEnded(DeactivateOutcome::Done, GetModuleType());
}

void CTestitemDlg_position::DeactivationEnded(DeactivateOutcome outcome, int moduleType)
{
    if (outcome == DeactivateOutcome::Stopped) {
        // Stopped before the module answered: the context may still be up.
        const bool active = theApp.m_bLocatorContextActive.load() != 0;
        m_btnPdpAct->setEnabled(!active);
        m_btnPdpDeact->setEnabled(active);
        return;
    }
    m_btnPdpAct->setEnabled(true);
    if (moduleType == 0) {
        m_btnPdpDeact->setEnabled(true);
        m_btnGetPosition->setEnabled(false);
    }
}

// --- Settings

QString CTestitemDlg_position::SettingsPath() const
{
    return theApp.m_strParamDir + QStringLiteral("/param_morvlocator.ini");
}

void CTestitemDlg_position::SaveLocatorSettings()
{
    IniFile ini(SettingsPath());
    ini.Load();
    ini.SetString(kSection, QStringLiteral("APN"), m_editApn->text());
    ini.SetString(kSection, QStringLiteral("username"), m_editUser->text());
    ini.SetString(kSection, QStringLiteral("password"), m_editPassword->text());
    if (!m_strMcc.isEmpty() && !m_strMnc.isEmpty()) {
        ini.SetString(kSection, QStringLiteral("MCC"), m_strMcc);
        ini.SetString(kSection, QStringLiteral("MNC"), m_strMnc);
    }
    ini.Save();
}

void CTestitemDlg_position::LoadLocatorSettings()
{
    IniFile ini(SettingsPath());
    ini.Load();
    m_editApn->setText(ini.GetString(kSection, QStringLiteral("APN"), QStringLiteral("CMNET")));
    m_editUser->setText(ini.GetString(kSection, QStringLiteral("username")));
    m_editPassword->setText(ini.GetString(kSection, QStringLiteral("password")));
    m_strMcc = ini.GetString(kSection, QStringLiteral("MCC"));
    m_strMnc = ini.GetString(kSection, QStringLiteral("MNC"));
}

} // namespace ulv
