#include "pages/positioning/CTestItemDlg_gnss.h"

#include "core/at/ModemSession.h"
#include "core/gnss/GnssValueLabels.h"
#include "core/gnss/NmeaSentences.h"
#include "pages/PageHost.h"
#include "pages/positioning/CChartContrl.h"
#include "pages/positioning/CChartContrl_columnar.h"
#include "pages/positioning/CChartContrl_radar.h"
#include "pages/positioning/core/CellLocator.h"
#include "platform/Gui.h"
#include "platform/MessageBox.h"
#include "platform/TaskGate.h"
#include "serial/CSerialPort.h"
#include "serial/PortEnumerator.h"
#include "serial/SerialMessages.h"
#include "shell/CPortParamDlg.h"
#include "shell/core/CUlvenscopeApp.h"
#include "shell/core/SysParams.h"
#include "ui/chrome/CFolderTabCtrl.h"
#include "ui/controls/CFlatComboBox.h"
#include "ui/controls/CSkinButton.h"
#include "ui/controls/CTransparentLabel.h"
#include "ui/controls/WinLook.h"
#include "ui/maps/CWebBrowser2.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QPlainTextEdit>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTextEdit>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

// Outside the namespace: the resource's initialiser is a global function.
static void InitPositioningResources()
{
    Q_INIT_RESOURCE(positioning);
}

namespace ulv {

namespace {

// Dialog units of the page's font ("Arial Unicode MS" 8 pt, a taller line
// than the dialogs' usual font) to pixels. The charts stand on the tab strip
// at fixed pixel heights; with this line height they clear the values above.
QRect Dlu(int x, int y, int w, int h)
{
    return QRect(x * 3 / 2, y * 15 / 8, std::max(1, w * 3 / 2), std::max(1, h * 15 / 8));
}

const QString kCommandPrompt = QStringLiteral("Input command in this edit, then push ENTER to send it ......");
const QString kChangeProperty = QStringLiteral("change the property...");
const QString kFace = QStringLiteral("Arial Unicode MS");
constexpr unsigned kWsChild = 0x40000000;
constexpr unsigned kWsVisible = 0x10000000;
constexpr int kCaptionColour = 0x333399;

// The place and sample of the hidden test button.
const char kSampleRmc[] = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A";
constexpr double kSampleLatitude = 33.8688;  // shown south: 33.8688 S
constexpr double kSampleLongitude = 151.2093; // east

// Caption id, caption text, value id and the places in dialog units.
struct ValuePlace {
    int captionId;
    const char* caption;
    int valueId;
    int cx, cy, vx, vy, vw;
};
// In the order of CTestItemDlg_gnss::Value.
constexpr ValuePlace kValues[] = {
    {1417, "UTC date:", 1403, 18, 61, 73, 59, 64},
    {1418, "UTC time:", 1407, 154, 61, 208, 59, 64},
    {1419, "Latitude:", 1408, 18, 76, 73, 75, 64},
    {1420, "Longitude:", 1409, 154, 76, 208, 75, 64},
    {1421, "Altitude(m):", 1410, 18, 91, 73, 90, 64},
    {1422, "Speed(km/h):", 1411, 154, 91, 208, 90, 64},
    {1423, "Satellite_used:", 1412, 18, 109, 73, 108, 64},
    {1424, "Locating type:", 1413, 154, 109, 208, 108, 64},
    {1425, "*DOP:", 1414, 18, 123, 73, 123, 165},
};

QLabel* Caption(QWidget* page, int id, const QString& text, QRect place)
{
    auto* l = new QLabel(text, page);
    l->setObjectName(QString::number(id));
    place.setWidth(std::max(place.width(), l->sizeHint().width()));
    l->setGeometry(place);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, ColorRefToQColor(kCaptionColour));
    l->setPalette(pal);
    return l;
}

QFrame* Line(QWidget* page, QRect place)
{
    auto* f = new QFrame(page);
    f->setFrameShape(QFrame::HLine);
    f->setFrameShadow(QFrame::Sunken);
    f->setGeometry(place.adjusted(0, -1, 0, 1));
    return f;
}

ModemSession* SessionOf()
{
    PageHost* host = GetPageHost();
    return host ? &host->Session() : nullptr;
}

bool TaskRunning()
{
    ModemSession* s = SessionOf();
    return s ? s->Gate().Running() : AppTaskGate().Running();
}

// The world outline beside the program, copied there from the program's
// resources when it is missing.
QString WorldOutlinePath()
{
    InitPositioningResources();
    const QString path = theApp.m_strAppDir + QStringLiteral("Morvane_world.dat");
    if (!theApp.m_strAppDir.isEmpty() && !QFileInfo::exists(path))
        QFile::copy(QStringLiteral(":/positioning/Morvane_world.dat"), path);
    return path;
}

} // namespace

CTestItemDlg_gnss::CTestItemDlg_gnss(QWidget* parent)
    : PageDialog(QStringLiteral("CTestItemDlg_gnss"), parent)
    , m_parser(this)
{
    setFont(QFont(kFace, 8));
    resize(Dlu(0, 0, 303, 433).size());
    m_callPageScript = [](CWebBrowser2* b, const QString& f, const QStringList& a, QVariant* r) {
        return CallPageScript(b, f, a, r);
    };
    OnInitDialog();
}

CTestItemDlg_gnss::~CTestItemDlg_gnss()
{
    // The close worker may still hold the port; either way the port is shut
    // here, before the widgets it reports to are gone.
    if (m_closeThread.joinable())
        m_closeThread.join();
    if (m_pNmeaPort) {
        StopNmeaPort(m_pNmeaPort);
        m_pNmeaPort.reset();
    }
    m_parser.SetListener(nullptr);
}

void CTestItemDlg_gnss::OnInitDialog()
{
    // Port row.
    Caption(this, 1426, QStringLiteral("USB NMEA Port:"), Dlu(18, 14, 56, 8));
    m_cmbPort = new CFlatComboBox(this);
    m_cmbPort->setObjectName(QStringLiteral("1399"));
    m_cmbPort->setGeometry(Dlu(79, 13, 111, 12));
    Caption(this, 1427, QStringLiteral("Port property:"), Dlu(18, 32, 46, 8));
    m_cmbProperty = new CFlatComboBox(this);
    m_cmbProperty->setObjectName(QStringLiteral("1400"));
    m_cmbProperty->setGeometry(Dlu(79, 30, 111, 12));
    m_btnConnect = new CSkinButton(QStringLiteral("Connect"), this);
    m_btnConnect->setObjectName(QStringLiteral("1401"));
    m_btnConnect->setGeometry(Dlu(203, 13, 50, 14));
    m_chkAutoGnss = new QCheckBox(QStringLiteral("Auto start/stop GNSS"), this);
    m_chkAutoGnss->setObjectName(QStringLiteral("1416"));
    QRect autoPlace = Dlu(204, 32, 86, 10);
    autoPlace.setWidth(std::max(autoPlace.width(), m_chkAutoGnss->sizeHint().width()));
    m_chkAutoGnss->setGeometry(autoPlace);
    m_chkAutoGnss->setChecked(true);
    m_btnButton1 = new CSkinButton(QStringLiteral("Button1"), this);
    m_btnButton1->setObjectName(QStringLiteral("1001"));
    m_btnButton1->setGeometry(Dlu(253, 14, 50, 14));
    m_btnButton1->hide();
    Line(this, Dlu(0, 49, 271, 1));

    // Values.
    for (int i = 0; i < 9; ++i) {
        const ValuePlace& v = kValues[i];
        Caption(this, v.captionId, QString::fromLatin1(v.caption), Dlu(v.cx, v.cy, 54, 8));
        m_values[i] = new CTransparentLabel(QStringLiteral("---"), this);
        m_values[i]->setObjectName(QString::number(v.valueId));
        m_values[i]->setGeometry(Dlu(v.vx, v.vy, v.vw, 10));
    }

    m_editCommand = new QLineEdit(this);
    m_editCommand->setObjectName(QStringLiteral("1405"));
    m_editCommand->setGeometry(Dlu(0, 118, 277, 12));
    m_editCommand->installEventFilter(this);
    m_btnSend = new CSkinButton(QStringLiteral("Send"), this);
    m_btnSend->setObjectName(QStringLiteral("1415"));
    m_btnSend->setGeometry(Dlu(247, 127, 25, 9));
    m_btnSend->hide();
    Line(this, Dlu(0, 139, 271, 1));

    // A plain-text view lays out only the lines on show, so appending and
    // dropping the oldest lines cost the same however much it holds.
    m_nmeaView = new QPlainTextEdit(this);
    m_nmeaView->setObjectName(QStringLiteral("1404"));
    m_nmeaView->setGeometry(Dlu(6, 148, 277, 157));
    m_nmeaView->setReadOnly(true);
    m_nmeaView->setUndoRedoEnabled(false);
    m_nmeaView->setMaximumBlockCount(kMaxViewBlocks);
    m_nmeaView->installEventFilter(this);
    // While the view is shown, what arrives reaches it at a reading pace.
    m_viewTimer.setSingleShot(true);
    m_viewTimer.setInterval(kViewFlushMs);
    connect(&m_viewTimer, &QTimer::timeout, this, [this] { FlushNmeaView(); });
    m_refreshTimer.setSingleShot(true);
    m_refreshTimer.setInterval(kRefreshMs);
    connect(&m_refreshTimer, &QTimer::timeout, this, [this] { RefreshValues(); });
    {
        QPalette pal = m_nmeaView->palette();
        pal.setColor(QPalette::Base, Qt::white);
        m_nmeaView->setPalette(pal);
        QTextCharFormat f;
        f.setFontFamilies({kFace});
        f.setFontPointSize(8.5);
        f.setForeground(Qt::black);
        m_nmeaView->setCurrentCharFormat(f);
    }
    m_mapPlaceholder = new QLabel(this);
    m_mapPlaceholder->setObjectName(QStringLiteral("1406"));
    m_mapPlaceholder->setGeometry(Dlu(5, 144, 278, 163));

    // Folder tab over its placeholder.
    auto* tabPlaceholder = new QLabel(QStringLiteral("Static"), this);
    tabPlaceholder->setGeometry(Dlu(2, 311, 290, 8));
    m_folderTab = new CFolderTabCtrl(this);
    m_folderTab->CreateOverStatic(tabPlaceholder, 1402);
    m_folderTab->Load(QStringLiteral("World map\nSky view\nSignal column chart\nMap\nNMEA data"));
    // Every tab whole, the last one too, in our fonts.
    m_folderTab->resize(std::max(m_folderTab->width(), m_folderTab->sizeHint().width()), m_folderTab->height());
    connect(m_folderTab, &CFolderTabCtrl::TabNotify, this,
        [this](const FolderTabNotify& n) { OnTabChanged(n.index); });

    m_btnConnect->SetTextColors(kCaptionColour, true);
    m_btnConnect->BuildSkin(4, 8, 20, 5, 0xFF3737);
    m_btnSend->BuildSkin(4, 8, 20, 5, 0xFF3737);
    m_btnButton1->BuildSkin(4, 8, 20, 5, 0xFF3737);

    // The charts stand on the tab strip, over the NMEA view's area.
    const QRect tab = m_folderTab->geometry();
    const int L = tab.left(), T = tab.top(), R = tab.left() + tab.width();
    m_pBarChart = new CChartContrl_columnar(this);
    m_pBarChart->Create(QString(), kWsChild | kWsVisible, QRect(QPoint(L, T - 300), QPoint(R - 1, T - 1)), this, 0xFFFF);
    m_pBarChart->hide();
    m_pSkyPlot = new CChartContrl_radar(this);
    m_pSkyPlot->Create(QString(), kWsChild | kWsVisible, QRect(QPoint(L, T - 320), QPoint(R - 1, T - 1)), this, 0xFFFF);
    m_pSkyPlot->hide();
    m_pWorldMap = new CChartContrl(this);
    m_pWorldMap->Create(QString(), kWsChild | kWsVisible, QRect(QPoint(L, T - 290), QPoint(R - 1, T - 21)), this, 0xFFFE);
    m_pWorldMap->show();
    m_pWorldMap->LoadOutline(WorldOutlinePath());
    m_pWorldMap->update();

    m_editCommand->hide();
    m_nmeaView->hide();
    m_mapPlaceholder->hide();

    FillPortList();
    RebuildPropertyCombo();
    connect(m_cmbProperty, QOverload<int>::of(&QComboBox::activated), this,
        [this](int index) { OnSelchangePortProperty(index); });
    connect(m_btnConnect, &QPushButton::clicked, this, [this] { OnButtonConnect(); });
    connect(m_btnSend, &QPushButton::clicked, this, [this] { SendCommand(); });
    connect(m_btnButton1, &QPushButton::clicked, this, [this] { OnButton1(); });

    m_editCommand->setText(kCommandPrompt);
}

void CTestItemDlg_gnss::FillPortList()
{
    m_cmbPort->clear();
    std::vector<SerialPortInfo> ports;
    try {
        ListSerialPorts(ports, true);
    } catch (const PortListError&) {
        ports.clear(); // no tty class to read: nothing to offer
    }
    const QString filter = theApp.m_strNmeaFilter.isEmpty() ? QStringLiteral("NMEA") : theApp.m_strNmeaFilter;
    for (const SerialPortInfo& p : ports) {
        if (!p.friendlyName.isEmpty() && p.friendlyName.contains(filter, Qt::CaseSensitive))
            m_cmbPort->addItem(p.friendlyName, p.devicePath);
    }
    if (m_cmbPort->count() > 0)
        m_cmbPort->setCurrentIndex(0);
    FitPortRow();
}

void CTestItemDlg_gnss::FitPortRow()
{
    // The port's whole name shows in the closed box: the box grows to its
    // longest entry and the Connect button and the check box move right.
    QStyleOptionComboBox opt;
    opt.initFrom(m_cmbPort);
    const QRect field = m_cmbPort->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, m_cmbPort);
    const QRect given = Dlu(79, 13, 111, 12);
    int widest = 0;
    for (int i = 0; i < m_cmbPort->count(); ++i)
        widest = std::max(widest, m_cmbPort->fontMetrics().horizontalAdvance(m_cmbPort->itemText(i)));
    const int width = std::max(given.width(), widest + (m_cmbPort->width() - field.width()) + 2);
    m_cmbPort->resize(width, m_cmbPort->height());
    const int shift = std::max(0, given.x() + width + 14 - Dlu(203, 13, 50, 14).x());
    m_btnConnect->move(Dlu(203, 13, 50, 14).x() + shift, m_btnConnect->y());
    m_chkAutoGnss->move(Dlu(204, 32, 86, 10).x() + shift, m_chkAutoGnss->y());
    m_btnButton1->move(Dlu(253, 14, 50, 14).x() + shift, m_btnButton1->y());
}

QString CTestItemDlg_gnss::PortSettingsText(const CommPortSettings& s)
{
    QString text = QStringLiteral("%1,%2,%3").arg(s.baud).arg(s.dataBits).arg(s.stopBits);
    static const char* const parity[] = {",None", ",Odd", ",Even", ",CRC"};
    static const char* const flow[] = {",None", ",HW", ",SW"};
    if (s.parity >= 0 && s.parity < 4)
        text += QLatin1String(parity[s.parity]);
    if (s.flowCtrl >= 0 && s.flowCtrl < 3)
        text += QLatin1String(flow[s.flowCtrl]);
    return text;
}

void CTestItemDlg_gnss::RebuildPropertyCombo()
{
    const QSignalBlocker block(m_cmbProperty);
    m_cmbProperty->clear();
    m_cmbProperty->addItem(PortSettingsText(m_nmeaSettings));
    m_cmbProperty->addItem(kChangeProperty);
    m_cmbProperty->setCurrentIndex(0);
}

void CTestItemDlg_gnss::OnSelchangePortProperty(int index)
{
    if (index != 1)
        return;
    CPortParamDlg dlg(this);
    dlg.m_settings = m_nmeaSettings;
    dlg.m_bPortSelectable = 0;
    const int result = m_runPropertyDialog ? m_runPropertyDialog(dlg) : dlg.exec();
    if (result == QDialog::Accepted) {
        // The page keeps its own port; only the line settings come back.
        m_nmeaSettings.baud = dlg.m_settings.baud;
        m_nmeaSettings.dataBits = dlg.m_settings.dataBits;
        m_nmeaSettings.stopBits = dlg.m_settings.stopBits;
        m_nmeaSettings.parity = dlg.m_settings.parity;
        m_nmeaSettings.flowCtrl = dlg.m_settings.flowCtrl;
    }
    RebuildPropertyCombo();
}

void CTestItemDlg_gnss::OnButtonConnect()
{
    if (TaskRunning())
        return;
    PageHost* host = GetPageHost();
    if (!host || !host->PortOpen()) {
        ShowMessageBox(QStringLiteral("Please connect the module first!"));
        return;
    }
    const bool autoGnss = m_chkAutoGnss->isChecked();
    if (m_btnConnect->text().trimmed() != QLatin1String("Connect")) {
        if (autoGnss)
            host->Session().Transmitter().SendToModule(QStringLiteral("AT+JGPSEND"), 0, true);
        StartClosePortThread();
        m_btnConnect->setText(QStringLiteral("Connect"));
        return;
    }
    // Open, or still closing.
    if (m_pNmeaPort || m_cmbPort->currentIndex() < 0)
        return;
    const QString port = m_cmbPort->currentData().toString();
    if (port.isEmpty()) {
        ShowMessageBox(QStringLiteral("Please select a NMEA port!"));
        return;
    }
    m_nmeaSettings.port = port;
    if (!OpenNmeaPort(port, m_nmeaSettings.baud, m_nmeaSettings.dataBits, m_nmeaSettings.stopBits,
            m_nmeaSettings.parity, m_nmeaSettings.flowCtrl, 2048))
        return;
    {
        // What an earlier connection showed is no fix of this one.
        std::lock_guard<std::mutex> g(m_pageLock);
        m_parser.Reset();
    }
    // The cleared values show at once, not with the next refresh.
    RefreshValues();
    if (autoGnss)
        host->Session().Transmitter().SendToModule(QStringLiteral("AT+JGPS=1"), 0, true);
    m_btnConnect->setText(QStringLiteral("Disconnect"));
    m_editCommand->setText(kCommandPrompt);
}

int CTestItemDlg_gnss::OpenNmeaPort(const QString& port, int baud, int dataBits, int stopBits, int /*parity*/,
    int flowMode, int bufferSize)
{
    auto serial = std::make_shared<CSerialPort>();
    serial->SetSyncNotify(true);
    // A receiver hands its sentences over a few bytes at a time; gathered for a
    // moment they cost the page one wake-up instead of dozens.
    serial->SetReadGatherMs(kReadGatherMs);
    // Like the main port, the NMEA port always opens without parity.
    if (!serial->OpenPort(this, port, baud, 'N', dataBits, stopBits, 0x1FD, bufferSize, flowMode)) {
        if (serial->SetupFailed())
            return 0; // the failed step has been reported
        ShowMessageBox(QStringLiteral("This serial port '%1' is not connected to module or has been used !\nPlease "
                                      "check the module and serial cable!")
                           .arg(port));
        return 0;
    }
    if (!serial->StartMonitor()) {
        serial->ClosePort();
        ShowMessageBox(QStringLiteral("The monitor thread of serial port start failed!"));
        return 0;
    }
    m_pNmeaPort = std::move(serial);
    return 1;
}

void CTestItemDlg_gnss::StopNmeaPort(const std::shared_ptr<CSerialPort>& port)
{
    if (port->StopMonitorWithin(std::chrono::milliseconds(kClosePortLimitMs))) {
        port->ClosePort();
        return;
    }
    // The monitor did not end: the page lets go of it, and the port object it
    // still uses is kept (never freed under it) for the rest of the program.
    static std::mutex keptLock;
    static auto* kept = new std::vector<std::shared_ptr<CSerialPort>>;
    {
        std::lock_guard lock(keptLock);
        kept->push_back(port);
    }
    Gui::Post([] { ShowMessageBox(QString::fromLatin1(kClosePortFailure)); });
}

void CTestItemDlg_gnss::StartClosePortThread()
{
    if (!m_pNmeaPort)
        return;
    if (m_closeThread.joinable())
        m_closeThread.join();
    // Stopping waits for the monitor, which may be waiting for this thread to
    // take its last chunk: never on the UI thread.
    std::shared_ptr<CSerialPort> port = m_pNmeaPort;
    QPointer<CTestItemDlg_gnss> self(this);
    m_closeThread = std::thread([port, self] {
        StopNmeaPort(port);
        Gui::Post([port, self] {
            if (self && self->m_pNmeaPort == port)
                self->m_pNmeaPort.reset();
        });
    });
}

bool CTestItemDlg_gnss::event(QEvent* e)
{
    const int type = int(e->type());
    if (type > QEvent::User && type < QEvent::User + 0x500) {
        const int message = type - int(QEvent::User);
        switch (message) {
        case WM_SERIAL_DATA:
        case WM_SERIAL_DATA_SYNC:
        case WM_SERIAL_HANGUP:
        case WM_SERIAL_CTS:
        case WM_SERIAL_DSR:
        case WM_SERIAL_DCD:
        case WM_SERIAL_RING: {
            auto* se = static_cast<SerialEvent*>(e);
            // Only the port open now speaks; a closed one's last words are dropped.
            if (!m_pNmeaPort || se->PortId() != m_pNmeaPort->PortId())
                return true;
            if (message == WM_SERIAL_HANGUP)
                OnPortGone(se->Port());
            else if (message == WM_SERIAL_DATA || message == WM_SERIAL_DATA_SYNC)
                OnNmeaData(se->Data());
            // The modem lines are of no interest here.
            return true;
        }
        default: break;
        }
    }
    if (e->type() == kMapTypeChangedEvent) {
        OnMapTypeChanged();
        return true;
    }
    return PageDialog::event(e);
}

void CTestItemDlg_gnss::OnPortLost()
{
    if (!m_pNmeaPort)
        return;
    StartClosePortThread();
    m_btnConnect->setText(QStringLiteral("Connect"));
}

void CTestItemDlg_gnss::OnPortGone(const QString& port)
{
    // The module was unplugged or its NMEA port went away: the page is closed
    // again and can connect anew once the port is back.
    StartClosePortThread();
    m_btnConnect->setText(QStringLiteral("Connect"));
    ShowMessageBox(QStringLiteral("The NMEA port '%1' has been removed or closed by the device!").arg(port),
        MB_ICONWARNING);
}

int CTestItemDlg_gnss::OnNmeaData(const QByteArray& chunk)
{
    // One character per byte; NUL bytes add nothing.
    QString text;
    text.reserve(chunk.size());
    for (char c : chunk) {
        if (c != '\0')
            text.append(QChar(uchar(c)));
    }
    EchoText(1, text);
    std::lock_guard<std::mutex> g(m_pageLock);
    m_parsing = true;
    m_parser.ParseNmea(std::string_view(chunk.constData(), size_t(chunk.size())));
    m_parsing = false;
    return 1;
}

void CTestItemDlg_gnss::EchoText(int kind, const QString& text)
{
    if (text.isEmpty())
        return;
    QString shown = text;
    COLORREF colour = g_sysParams.SentColor();
    if (kind == 1)
        colour = g_sysParams.ReceivedColor();
    else if (kind == 2)
        shown = QStringLiteral("\r\n") + text + QStringLiteral("\r\n");
    // The view shows line ends as new lines; a CR of CR LF adds nothing.
    shown.remove(QLatin1Char('\r'));
    if (shown.isEmpty())
        return;
    m_viewBacklog.Append(shown, colour);
    if (m_nmeaView->isVisible() && !m_viewTimer.isActive())
        m_viewTimer.start();
}

void CTestItemDlg_gnss::FlushNmeaView()
{
    m_viewTimer.stop();
    if (m_viewBacklog.Empty())
        return;
    bool replace = false;
    const std::vector<ViewBacklog::Run> runs = m_viewBacklog.Take(&replace);
    if (replace)
        m_nmeaView->clear();
    QTextCursor c(m_nmeaView->document());
    c.movePosition(QTextCursor::End);
    c.beginEditBlock();
    for (const ViewBacklog::Run& run : runs) {
        QTextCharFormat f;
        f.setFontFamilies({kFace});
        f.setFontPointSize(8);
        f.setFontWeight(QFont::Normal);
        f.setFontItalic(false);
        f.setFontUnderline(false);
        f.setForeground(ColorRefToQColor(run.colour));
        c.insertText(run.text, f);
    }
    c.endEditBlock();
    m_nmeaView->setTextCursor(c);
    m_nmeaView->verticalScrollBar()->setValue(m_nmeaView->verticalScrollBar()->maximum());
}

void CTestItemDlg_gnss::SendCommand()
{
    if (!m_pNmeaPort)
        return;
    m_pNmeaPort->PostWrite((m_editCommand->text() + QStringLiteral("\r\n")).toUtf8());
}

bool CTestItemDlg_gnss::eventFilter(QObject* watched, QEvent* e)
{
    // The view catches up the moment it is on screen again.
    if (watched == m_nmeaView && e->type() == QEvent::Show)
        FlushNmeaView();
    if (watched == m_editCommand) {
        if (e->type() == QEvent::KeyPress) {
            const auto* k = static_cast<QKeyEvent*>(e);
            if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter)
                SendCommand();
        } else if (e->type() == QEvent::MouseButtonPress
            && static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton
            && m_editCommand->text().contains(QLatin1String("Input command in this edit"))) {
            m_editCommand->clear();
        }
    }
    return PageDialog::eventFilter(watched, e);
}

void CTestItemDlg_gnss::OnButton1()
{
    RmcRecord rmc = m_parser.Rmc();
    ParseRmcSentence(kSampleRmc, rmc);
    rmc.latitude = kSampleLatitude;
    rmc.northSouth = 6;
    rmc.longitude = kSampleLongitude;
    rmc.eastWest = 3;
    GnssValueLabels labels = m_parser.Labels();
    labels.ShowRmc(rmc);
    ApplyLabels(labels);
    const double lat = -rmc.latitude;
    const double lon = rmc.longitude;
    ApplyWorldPosition(lat, lon);
    if (MapTabSelected())
        ShowPositionOnMap(lat, lon);
}

int CTestItemDlg_gnss::SelectedTab() const
{
    return m_folderTab->GetSelectedItem();
}

void CTestItemDlg_gnss::OnTabChanged(int index)
{
    if (index < kTabWorldMap || index > kTabNmeaData)
        return;
    const int provider = g_sysParams.UseGoogleMap == 1 ? 0 : 1;
    if (index == kTabMap)
        EnsureBrowsers();
    m_pWorldMap->setVisible(index == kTabWorldMap);
    m_pSkyPlot->setVisible(index == kTabSkyView);
    m_pBarChart->setVisible(index == kTabSignalChart);
    // The command edit never comes back.
    m_editCommand->hide();
    m_nmeaView->setVisible(index == kTabNmeaData);
    for (int p = 0; p < 2; ++p) {
        if (QWidget* view = MapView(p))
            view->setVisible(index == kTabMap && p == provider);
    }
    if (index == kTabNmeaData) {
        FlushNmeaView();
        m_nmeaView->moveCursor(QTextCursor::End);
        m_nmeaView->verticalScrollBar()->setValue(m_nmeaView->verticalScrollBar()->maximum());
    }
}

CWebBrowser2* CTestItemDlg_gnss::MapView(int provider) const
{
    return provider == 0 ? m_browserFirst : m_browserSecond;
}

void CTestItemDlg_gnss::EnsureBrowsers()
{
    if (m_browserFirst)
        return;
    const QRect place = m_mapPlaceholder->geometry();
    m_browserFirst = new CWebBrowser2(this);
    m_browserFirst->setObjectName(QStringLiteral("2001"));
    m_browserSecond = new CWebBrowser2(this);
    m_browserSecond->setObjectName(QStringLiteral("2002"));
    const QString files[2] = {
        m_mapFiles[0].isEmpty() ? theApp.m_strGoogleMapFile : m_mapFiles[0],
        m_mapFiles[1].isEmpty() ? theApp.m_strBaiduMapFile : m_mapFiles[1],
    };
    for (int p = 0; p < 2; ++p) {
        CWebBrowser2* b = MapView(p);
        b->setGeometry(place);
        b->hide();
        if (!files[p].isEmpty())
            b->Navigate(files[p]);
    }
}

void CTestItemDlg_gnss::NavigateMaps(const QString& first, const QString& second)
{
    m_mapFiles[0] = first;
    m_mapFiles[1] = second;
    // Views already made load them now, the others when first needed.
    for (int p = 0; p < 2; ++p) {
        if (CWebBrowser2* b = MapView(p); b && !m_mapFiles[p].isEmpty())
            b->Navigate(m_mapFiles[p]);
    }
}

int CTestItemDlg_gnss::OnMapTypeChanged()
{
    EnsureBrowsers();
    const bool first = g_sysParams.UseGoogleMap == 1;
    CWebBrowser2* shown = first ? m_browserFirst : m_browserSecond;
    CWebBrowser2* other = first ? m_browserSecond : m_browserFirst;
    other->hide();
    shown->show();
    shown->raise();
    const QString& file = first ? theApp.m_strGoogleMapFile : theApp.m_strBaiduMapFile;
    if (!file.isEmpty())
        shown->Navigate(file);
    return 1;
}

void CTestItemDlg_gnss::ShowPositionOnMap(double latitude, double longitude)
{
    // A position from the parser goes with the next refresh: only the newest
    // reaches the map.
    if (m_parsing) {
        m_dueMap[0] = latitude;
        m_dueMap[1] = longitude;
        m_mapDue = true;
        if (!m_refreshTimer.isActive())
            m_refreshTimer.start();
        return;
    }
    PushPositionToMap(latitude, longitude);
}

void CTestItemDlg_gnss::PushPositionToMap(double latitude, double longitude)
{
    // Before the Map tab was first shown there is no page to move.
    if (!m_browserFirst)
        return;
    const bool first = g_sysParams.UseGoogleMap == 1;
    // A page still loading simply does not move; the result is of no interest.
    m_callPageScript(first ? m_browserFirst : m_browserSecond, QStringLiteral("ggetposition"),
        MapPositionArguments(first, latitude, longitude), nullptr);
}

QLabel* CTestItemDlg_gnss::ValueLabel(Value v) const
{
    return m_values[int(v)];
}

// The parser reports every sentence; the labels, charts and map follow at most
// once per refresh period, with whatever is newest then. The timer is not
// restarted by later results, so a steady stream still refreshes on time.
void CTestItemDlg_gnss::TablePublished(const SatelliteTable& table)
{
    m_dueTable = table;
    m_tableDue = true;
    if (!m_refreshTimer.isActive())
        m_refreshTimer.start();
}

void CTestItemDlg_gnss::LabelsChanged(const GnssValueLabels& l)
{
    m_dueLabels = l;
    m_labelsDue = true;
    if (!m_refreshTimer.isActive())
        m_refreshTimer.start();
}

void CTestItemDlg_gnss::WorldPositionChanged(double latitude, double longitude)
{
    m_dueWorld[0] = latitude;
    m_dueWorld[1] = longitude;
    m_worldDue = true;
    if (!m_refreshTimer.isActive())
        m_refreshTimer.start();
}

void CTestItemDlg_gnss::RefreshValues()
{
    m_refreshTimer.stop();
    if (std::exchange(m_labelsDue, false))
        ApplyLabels(m_dueLabels);
    if (std::exchange(m_tableDue, false))
        ApplyTable(m_dueTable);
    if (std::exchange(m_worldDue, false))
        ApplyWorldPosition(m_dueWorld[0], m_dueWorld[1]);
    if (std::exchange(m_mapDue, false))
        PushPositionToMap(m_dueMap[0], m_dueMap[1]);
}

void CTestItemDlg_gnss::ApplyLabels(const GnssValueLabels& l)
{
    const QString texts[9] = {l.utcDate, l.utcTime, l.latitude, l.longitude, l.altitude, l.speed, l.satelliteUsed,
        l.locatingType, l.dop};
    for (int i = 0; i < 9; ++i) {
        if (m_values[i]->text() != texts[i])
            m_values[i]->setText(texts[i]);
    }
}

void CTestItemDlg_gnss::ApplyTable(const SatelliteTable& table)
{
    // A chart is repainted only when what it draws has changed.
    const auto same = [&table](const SatelliteTable& held) {
        return std::memcmp(held.data(), table.data(), sizeof table) == 0;
    };
    if (!same(m_pSkyPlot->m_satellites)) {
        m_pSkyPlot->m_satellites = table;
        m_pSkyPlot->update();
    }
    if (!same(m_pBarChart->m_satellites)) {
        m_pBarChart->m_satellites = table;
        m_pBarChart->update();
    }
}

void CTestItemDlg_gnss::ApplyWorldPosition(double latitude, double longitude)
{
    if (m_pWorldMap->Latitude() == latitude && m_pWorldMap->Longitude() == longitude)
        return;
    m_pWorldMap->SetPosition(latitude, longitude);
    m_pWorldMap->update();
}

bool CTestItemDlg_gnss::MapTabSelected() const
{
    return SelectedTab() == kTabMap;
}

QString CTestItemDlg_gnss::PrefixLines(const QString& text, const QString& prefix, bool atStart)
{
    QString out;
    out.reserve(text.size() + prefix.size() * 4);
    if (atStart && !text.startsWith(QLatin1Char('\n')) && !text.startsWith(QLatin1String("\r\n")))
        out += prefix;
    for (qsizetype i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] != QLatin1Char('\n'))
            continue;
        const QStringView rest = QStringView(text).mid(i + 1);
        if (rest.isEmpty() || rest.startsWith(QLatin1Char('\n')) || rest == QLatin1String("\r"))
            continue;
        out += prefix;
    }
    return out;
}

} // namespace ulv
