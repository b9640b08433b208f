#include "pages/module/CTestItemDlg_home.h"

#include "core/at/ModemSession.h"
#include "pages/PageHost.h"
#include "pages/module/CEnvCheckDlg.h"
#include "pages/module/core/ModuleScripts.h"
#include "platform/Gui.h"
#include "platform/MessageBox.h"
#include "platform/TaskGate.h"
#include "serial/CommPortSettings.h"
#include "serial/PortEnumerator.h"
#include "core/at/TerminalOutput.h"
#include "shell/core/CUlvenscopeApp.h"
#include "shell/core/SysParams.h"
#include "ui/controls/CImageButton.h"
#include "ui/controls/ControlResources.h"
#include <QPaintEvent>
#include <QPainter>
#include "ui/controls/CPageTitleStrip.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPointer>

namespace ulv {

namespace {

constexpr COLORREF kCaptionColour = 0x484792;

QString ParitySuffix(int parity)
{
    switch (parity) {
    case 0: return QStringLiteral(",None");
    case 1: return QStringLiteral(",Odd");
    case 2: return QStringLiteral(",Even");
    case 3: return QStringLiteral(",CRC");
    }
    return {};
}

QString FlowSuffix(int flow)
{
    switch (flow) {
    case 0: return QStringLiteral(",None");
    case 1: return QStringLiteral(",HW");
    case 2: return QStringLiteral(",SW");
    }
    return {};
}

} // namespace

CTestItemDlg_home::CTestItemDlg_home(QWidget* parent)
    : PageDialog(QStringLiteral("CTestItemDlg_home"), parent)
    , m_connect(new CImageButton(QStringLiteral("  Connect to module"), this))
    , m_disconnect(new CImageButton(QStringLiteral("  Disconnect to module"), this))
    , m_moduleInfo(new CImageButton(QStringLiteral("  Module information"), this))
    , m_regInfo(new CImageButton(QStringLiteral("  Registration information"), this))
    , m_simInfo(new CImageButton(QStringLiteral("  SIM card information"), this))
    , m_autoInit(new QCheckBox(QStringLiteral("   Automatic initialization"), this))
{
    QFont buttonFont(QStringLiteral("Arial Unicode MS"));
    buttonFont.setPixelSize(15);
    buttonFont.setWeight(QFont::Weight(850));
    QFont valueFont(QStringLiteral("Arial Unicode MS"));
    valueFont.setPixelSize(12);
    valueFont.setWeight(QFont::DemiBold);

    m_connect->setGeometry(20, 20, 220, 36);
    m_disconnect->setGeometry(20, 20, 220, 36);
    m_autoInit->setGeometry(260, 28, 220, 20);
    m_autoInit->setChecked(true);
    m_moduleInfo->setGeometry(20, 80, 260, 36);
    m_regInfo->setGeometry(20, 230, 260, 36);
    m_simInfo->setGeometry(20, 380, 260, 36);
    for (CImageButton* b : {m_connect, m_disconnect, m_moduleInfo, m_regInfo, m_simInfo}) {
        b->setFont(buttonFont);
        for (int index : {1, 3, 5})
            b->SetColor(index, kCaptionColour, false);
        b->SetTextLeftAligned(true);
        b->SetTransparent(false);
    }
    m_disconnect->hide();
    m_backgroundBitmap = LoadBitmapResource(330);

    const struct {
        int id;
        const char* caption;
        int y;
    } values[] = {
        {kValueManufacturer, "Manufacturer ID:", 125},
        {kValueDeviceModule, "Device module:", 150},
        {kValueFirmware, "Firmware version:", 175},
        {kValueNetworkReg, "Network registration:", 275},
        {kValueGprsReg, "GPRS network status:", 300},
        {kValueOperator, "Preferred operator:", 325},
        {kValueImsi, "SIM card IMSI:", 425},
        {kValueIccid, "SIM card ICCID:", 450},
    };
    for (const auto& v : values) {
        auto* caption = new QLabel(QString::fromLatin1(v.caption), this);
        caption->setGeometry(40, v.y, 170, 20);
        auto* value = new QLabel(QStringLiteral("... ..."), this);
        value->setObjectName(QString::number(v.id));
        value->setFont(valueFont);
        value->setGeometry(215, v.y, 250, 20);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        m_values[v.id] = value;
    }

    connect(m_connect, &QPushButton::clicked, this, &CTestItemDlg_home::OnButtonConnect);
    connect(m_disconnect, &QPushButton::clicked, this, &CTestItemDlg_home::OnButtonDisconnect);
    connect(m_moduleInfo, &QPushButton::clicked, this, &CTestItemDlg_home::OnButtonModuleInfo);
    connect(m_regInfo, &QPushButton::clicked, this, &CTestItemDlg_home::OnButtonRegInfo);
    connect(m_simInfo, &QPushButton::clicked, this, &CTestItemDlg_home::OnButtonSimInfo);
    UpdatePortTip();

}

CTestItemDlg_home::~CTestItemDlg_home() = default;

QPushButton* CTestItemDlg_home::ConnectButton() const { return m_connect; }
QPushButton* CTestItemDlg_home::DisconnectButton() const { return m_disconnect; }
QPushButton* CTestItemDlg_home::ModuleInfoButton() const { return m_moduleInfo; }
QPushButton* CTestItemDlg_home::RegInfoButton() const { return m_regInfo; }
QPushButton* CTestItemDlg_home::SimInfoButton() const { return m_simInfo; }

QString CTestItemDlg_home::ValueText(int id) const
{
    const auto it = m_values.find(id);
    return it == m_values.end() ? QString() : it->second->text();
}

void CTestItemDlg_home::SetValue(int id, const QString& text)
{
    const auto it = m_values.find(id);
    if (it != m_values.end())
        it->second->setText(text);
}

QString CTestItemDlg_home::PortSettingsText()
{
    const CommPortSettings& s = g_commPortSettings;
    QString text = s.HasPort() ? QStringLiteral("%1,%2,%3,%4").arg(s.port).arg(s.baud).arg(s.dataBits).arg(s.stopBits)
                               : QStringLiteral("COM[?],%1,%2,%3").arg(s.baud).arg(s.dataBits).arg(s.stopBits);
    return text + ParitySuffix(s.parity) + FlowSuffix(s.flowCtrl);
}

void CTestItemDlg_home::paintEvent(QPaintEvent* event)
{
    if (m_backgroundBitmap.isNull()) {
        PageDialog::paintEvent(event);
        return;
    }
    // The background is composed once per size; the buttons take their part
    // of it, so their captions sit on the same picture as the page's.
    if (m_background.size() != size()) {
        m_background = QImage(size(), QImage::Format_RGB32);
        m_background.fill(QColor(0xCD, 0xCD, 0xCD));
        QPainter composer(&m_background);
        composer.drawTiledPixmap(m_background.rect(), QPixmap::fromImage(m_backgroundBitmap));
        composer.end();
        for (CImageButton* b : {m_connect, m_disconnect, m_moduleInfo, m_regInfo, m_simInfo}) {
            b->CaptureBackground(&m_background);
            b->update();
        }
    }
    QPainter p(this);
    p.drawImage(event->rect(), m_background, event->rect());
}

void CTestItemDlg_home::UpdatePortTip()
{
    m_connect->SetTooltipText(PortSettingsText(), true);
}

void CTestItemDlg_home::WriteStepComment(int kind, const QString& text)
{
    WriteOutputLine(kind, text);
}

ModuleScriptSink CTestItemDlg_home::MakeSink()
{
    ModuleScriptSink sink;
    QPointer<CTestItemDlg_home> self(this);
    sink.setValue = [self](int id, const QString& text) {
        Gui::Post([self, id, text] {
            if (self)
                self->SetValue(id, text);
        });
    };
    sink.setSignalLevel = [](int type, int quality) {
        Gui::Post([type, quality] {
            if (CPageTitleStrip* strip = g_pPageTitleStrip.load())
                strip->SetSignalLevel(type, quality);
        });
    };
    sink.moduleIdentified = [] {
        Gui::Call([] {
            if (PageHost* host = GetPageHost())
                host->ModuleIdentified();
        });
    };
    sink.lookupApn = [](const QString& mcc, const QString& mnc) {
        // The pages read the database on this worker; their fields change on the UI thread.
        if (PageHost* host = GetPageHost())
            host->LookupRecommendedApn(mcc, mnc);
    };
    return sink;
}

void CTestItemDlg_home::OnButtonConnect()
{
    PageHost* host = GetPageHost();
    if (!g_commPortSettings.HasPort()) {
        ShowMessageBox(QStringLiteral("Please select a serial port!"));
        return;
    }
    if (!host || AppTaskGate().Running() || host->PortOpen())
        return;
    const CommPortSettings s = g_commPortSettings;
    if (!host->OpenCommport(s.port, s.baud, s.dataBits, s.stopBits, s.parity, s.flowCtrl, g_sysParams.portbuffer))
        return;
    theApp.m_strPortName = s.port;
    theApp.m_bUsbPort = IsModuleUsbPort(s.port);
    if (theApp.m_bUsbPort)
        theApp.m_nUsbPortKind = ClassifyUsbPort(theApp.m_deviceNames, s.port);
    m_connect->hide();
    m_disconnect->show();
    host->ShowConnectionText(QLatin1Char(' ') + PortSettingsText());
    theApp.m_bModuleConnected = 1;
    if (!m_autoInit->isChecked())
        return;
    AutoInitOptions options;
    options.baud = s.baud;
    options.usbPort = theApp.m_bUsbPort;
    options.usbPortKind = theApp.m_nUsbPortKind;
    m_workers.Start([sink = MakeSink(), options, &session = host->Session()](const TaskGate::Token& t) {
        AutoInitThread(session, t, sink, options);
    });
}

void CTestItemDlg_home::OnButtonDisconnect()
{
    if (AppTaskGate().Running()) {
        ShowMessageBox(QStringLiteral("The task is underway!"));
        return;
    }
    ShowDisconnected();
}

void CTestItemDlg_home::OnPortLost()
{
    ShowDisconnected();
}

void CTestItemDlg_home::ShowDisconnected()
{
    ClosePort();
    // A closed port has nothing to check before a page is shown.
    theApp.m_bModuleConnected = 0;
    m_connect->show();
    m_disconnect->hide();
    if (CPageTitleStrip* strip = g_pPageTitleStrip.load())
        strip->SetSignalBars(0);
    if (PageHost* host = GetPageHost())
        host->ShowConnectionText(QString());
}

void CTestItemDlg_home::ClosePort()
{
    if (PageHost* host = GetPageHost(); host && host->PortOpen())
        host->CloseCommport();
}

void CTestItemDlg_home::OnButtonModuleInfo()
{
    PageHost* host = GetPageHost();
    if (AppTaskGate().Running() || !host || !host->PortOpen())
        return;
    m_workers.Start([sink = MakeSink(), &session = host->Session()](const TaskGate::Token& t) { ModuleInfoThread(session, t, sink); });
}

void CTestItemDlg_home::OnButtonRegInfo()
{
    PageHost* host = GetPageHost();
    if (AppTaskGate().Running() || !host || !host->PortOpen())
        return;
    m_workers.Start([sink = MakeSink(), &session = host->Session()](const TaskGate::Token& t) { RegInfoThread(session, t, sink); });
}

void CTestItemDlg_home::OnButtonSimInfo()
{
    PageHost* host = GetPageHost();
    if (AppTaskGate().Running() || !host || !host->PortOpen())
        return;
    m_workers.Start([sink = MakeSink(), &session = host->Session()](const TaskGate::Token& t) { SimInfoThread(session, t, sink); });
}

int CTestItemDlg_home::RunEnvCheck(int kind, int option)
{
    CEnvCheckDlg dlg(this);
    dlg.m_nPageKind = kind;
    dlg.m_bSmsCheck = option;
    dlg.DoModal();
    return dlg.m_bReady;
}

} // namespace ulv
