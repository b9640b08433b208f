#include "pages/data/CTestitemDlg_pppdial.h"

#include "core/at/ModemSession.h"
#include "core/at/TerminalOutput.h"
#include "core/ppp/PppDialClient.h"
#include "core/ppp/SessionPppLine.h"
#include "core/text/CommandFieldCheck.h"
#include "core/text/TimeStamp.h"
#include "pages/PageHost.h"
#include "pages/data/AddressEdit.h"
#include "pages/data/RecommendedApnFill.h"
#include "platform/Gui.h"
#include "platform/IniFile.h"
#include "platform/MessageBox.h"
#include "shell/core/CUlvenscopeApp.h"
#include "ui/chrome/CFolderTabCtrl.h"
#include "ui/controls/CDigitsOnlyEdit.h"
#include "ui/controls/CFlatComboBox.h"
#include "ui/controls/CSkinButton.h"

#include <algorithm>
#include <cctype>

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextEdit>
#include <QVBoxLayout>

namespace ulv {

std::atomic<int> PppDialInProgress{0};

namespace {

const QString kNoAddress = QStringLiteral("- - -");
const QString kSection = QStringLiteral("PPP");

QString AddressText(const IpcpAddressState::Entry& e)
{
    return QStringLiteral("%1.%2.%3.%4").arg(e.address[0]).arg(e.address[1]).arg(e.address[2]).arg(e.address[3]);
}

// "a.b.c.d" to four bytes; false for anything else.
bool ParseIpv4(const QString& text, Ipv4Address& out)
{
    const QStringList parts = text.trimmed().split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        const int v = parts[i].toInt(&ok);
        if (!ok || v < 0 || v > 255)
            return false;
        out[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v);
    }
    return true;
}

// The page's buttons in the skin of every other page: their faces are made
// at their size, so the size is fixed before the skin is built.
CSkinButton* SkinnedButton(const QString& text, QWidget* parent)
{
    auto* b = new CSkinButton(text, parent);
    b->setFixedSize(std::max(80, b->fontMetrics().horizontalAdvance(text) + 20), 26);
    b->BuildDialogSkin();
    return b;
}

CImageButton* ClearButton(QWidget* parent)
{
    auto* b = new CImageButton(QStringLiteral("Clear content"), parent);
    b->SetTransparent(false);
    b->SetTextColors(0x333399);
    b->setFixedSize(b->fontMetrics().horizontalAdvance(b->text()) + 20, 26);
    return b;
}

QLineEdit* IpEdit(QWidget* parent, const QString& id)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(id);
    MakeAddressEdit(edit);
    return edit;
}

// Clears the flag on every way out of a worker.
struct InProgress {
    InProgress() { PppDialInProgress = 1; }
    ~InProgress() { PppDialInProgress = 0; }
};

} // namespace

CTestitemDlg_pppdial::CTestitemDlg_pppdial(QWidget* parent)
    : PageDialog(QStringLiteral("CTestitemDlg_pppdial"), parent)
    , m_editApn(new QLineEdit(this))
    , m_editUser(new QLineEdit(this))
    , m_editPassword(new QLineEdit(this))
    , m_editMainCommand(new QLineEdit(this))
    , m_checkMainCommand(new QCheckBox(this))
    , m_comboDnsNumber(new CFlatComboBox(this))
    , m_comboAuth(new CFlatComboBox(this))
    , m_comboIpVersion(new CFlatComboBox(this))
    , m_btnDial(SkinnedButton(QStringLiteral("Dial"), this))
    , m_btnTerminate(SkinnedButton(QStringLiteral("Terminate"), this))
    , m_btnStop(SkinnedButton(QStringLiteral("Stop"), this))
    , m_staticIp(new QLabel(kNoAddress, this))
    , m_staticDns1(new QLabel(kNoAddress, this))
    , m_staticDns2(new QLabel(kNoAddress, this))
    , m_folderTabs(new CFolderTabCtrl(this))
    , m_editLog(new QTextEdit(this))
    , m_btnClear(ClearButton(this))
    , m_editUdpReceived(new QTextEdit(this))
    , m_ipSource(IpEdit(this, QStringLiteral("1440")))
    , m_ipDest(IpEdit(this, QStringLiteral("1445")))
    , m_editSourcePort(new CDigitsOnlyEdit(this))
    , m_editDestPort(new CDigitsOnlyEdit(this))
    , m_editSendData(new QPlainTextEdit(this))
    , m_btnSend(SkinnedButton(QStringLiteral("Send"), this))
    , m_editFrameData(new QLineEdit(this))
    , m_hiddenPanel(new QWidget(this))
    , m_btnRecommendApn(new QPushButton(m_hiddenPanel))
    , m_check1038(new QCheckBox(m_hiddenPanel))
    , m_edit1039(new QLineEdit(m_hiddenPanel))
    , m_receiver([this](const std::vector<std::uint8_t>& payload) {
        // Shown as text up to its first NUL, as the pane shows text.
        const auto nul = std::find(payload.begin(), payload.end(), std::uint8_t{0});
        AppendUdpDataLine(QString::fromLatin1(reinterpret_cast<const char*>(payload.data()), nul - payload.begin()));
    })
{
    m_editApn->setObjectName(QStringLiteral("1169"));
    m_editUser->setObjectName(QStringLiteral("1027"));
    m_editPassword->setObjectName(QStringLiteral("1324"));
    m_editMainCommand->setObjectName(QStringLiteral("1331"));
    m_checkMainCommand->setObjectName(QStringLiteral("1330"));
    m_comboDnsNumber->setObjectName(QStringLiteral("1332"));
    m_comboAuth->setObjectName(QStringLiteral("1030"));
    m_comboIpVersion->setObjectName(QStringLiteral("1031"));
    m_btnDial->setObjectName(QStringLiteral("1167"));
    m_btnTerminate->setObjectName(QStringLiteral("1168"));
    m_btnStop->setObjectName(QStringLiteral("1382"));
    m_staticIp->setObjectName(QStringLiteral("1340"));
    m_staticDns1->setObjectName(QStringLiteral("1341"));
    m_staticDns2->setObjectName(QStringLiteral("1342"));
    m_editLog->setObjectName(QStringLiteral("1365"));
    m_btnClear->setObjectName(QStringLiteral("1377"));
    m_editUdpReceived->setObjectName(QStringLiteral("1367"));
    m_editSourcePort->setObjectName(QStringLiteral("1040"));
    m_editDestPort->setObjectName(QStringLiteral("1042"));
    m_editSendData->setObjectName(QStringLiteral("1041"));
    m_btnSend->setObjectName(QStringLiteral("1071"));
    m_editFrameData->setObjectName(QStringLiteral("1026"));
    m_editFrameData->hide();
    m_btnStop->hide();
    m_editPassword->setEchoMode(QLineEdit::Password);
    m_editSourcePort->setMaxLength(5);
    m_editDestPort->setMaxLength(5);

    m_comboDnsNumber->addItems({QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2")});
    m_comboDnsNumber->setCurrentIndex(2);
    m_comboAuth->addItems({QStringLiteral("AUTO"), QStringLiteral("CHAP"), QStringLiteral("PAP"), QStringLiteral("None")});
    m_comboIpVersion->addItems({QStringLiteral("IPv4"), QStringLiteral("IPv6")});
    m_checkMainCommand->setChecked(false);
    m_editMainCommand->setReadOnly(true);
    m_editApn->setText(QStringLiteral("cmnet"));
    m_editMainCommand->setText(QStringLiteral("AT+CGDCONT=1,\"IP\",\"cmnet\""));
    m_editLog->setReadOnly(true);
    m_editUdpReceived->setReadOnly(true);
    m_btnTerminate->setEnabled(false);
    QFont address(QStringLiteral("Arial Unicode MS"));
    address.setPixelSize(12);
    address.setWeight(QFont::DemiBold);
    for (QLabel* l : {m_staticIp, m_staticDns1, m_staticDns2})
        l->setFont(address);

    auto* form = new QGridLayout;
    int row = 0;
    auto addRow = [&](const QString& label, QWidget* w, QWidget* extra = nullptr) {
        form->addWidget(new QLabel(label, this), row, 0);
        form->addWidget(w, row, 1);
        if (extra)
            form->addWidget(extra, row, 2);
        ++row;
    };
    addRow(QStringLiteral("Access Point Name:"), m_editApn);
    addRow(QStringLiteral("User name:"), m_editUser);
    addRow(QStringLiteral("User password:"), m_editPassword);
    addRow(QStringLiteral("Edit main command:"), m_editMainCommand, m_checkMainCommand);
    addRow(QStringLiteral("DNS number:"), m_comboDnsNumber);
    addRow(QStringLiteral("Authentication:"), m_comboAuth);
    addRow(QStringLiteral("IPvx:"), m_comboIpVersion);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_btnDial);
    buttons->addWidget(m_btnTerminate);
    buttons->addWidget(m_btnStop);
    buttons->addStretch();
    form->addLayout(buttons, row++, 1);
    addRow(QStringLiteral("IP address:"), m_staticIp);
    addRow(QStringLiteral("DNS1:"), m_staticDns1);
    addRow(QStringLiteral("DNS2:"), m_staticDns2);

    // Tab 0: the modem status log; tab 1: received UDP; tab 2: the datagram to send.
    auto* logLabel = new QLabel(QStringLiteral("Modem status:"), this);
    auto* udpLabel = new QLabel(QStringLiteral("UDP data_received:"), this);
    auto* sendForm = new QWidget(this);
    auto* sendGrid = new QGridLayout(sendForm);
    sendGrid->setContentsMargins(0, 0, 0, 0);
    sendGrid->addWidget(new QLabel(QStringLiteral("Source IP:"), sendForm), 0, 0);
    sendGrid->addWidget(m_ipSource, 0, 1);
    sendGrid->addWidget(new QLabel(QStringLiteral("Dest IP:"), sendForm), 0, 2);
    sendGrid->addWidget(m_ipDest, 0, 3);
    sendGrid->addWidget(new QLabel(QStringLiteral("Source port:"), sendForm), 1, 0);
    sendGrid->addWidget(m_editSourcePort, 1, 1);
    sendGrid->addWidget(new QLabel(QStringLiteral("Dest port:"), sendForm), 1, 2);
    sendGrid->addWidget(m_editDestPort, 1, 3);
    sendGrid->addWidget(new QLabel(QStringLiteral("Send data:"), sendForm), 2, 0);
    sendGrid->addWidget(m_editSendData, 3, 0, 1, 4);
    sendGrid->addWidget(m_btnSend, 4, 3);
    m_tabWidgets = {{logLabel, m_editLog, m_btnClear}, {udpLabel, m_editUdpReceived}, {sendForm}};
    m_folderTabs->Load(QStringLiteral("Modem status\nUDP data_received\nUDP data_sent"));
    m_folderTabs->setObjectName(QStringLiteral("1437"));

    auto* top = new QVBoxLayout(this);
    top->addLayout(form);
    top->addWidget(m_folderTabs);
    for (const auto& widgets : m_tabWidgets)
        for (QWidget* w : widgets)
            top->addWidget(w);
    top->addWidget(m_editFrameData);

    connect(m_folderTabs, &CFolderTabCtrl::TabNotify, this, [this](const FolderTabNotify& n) { SelectTab(n.index); });
    connect(m_btnDial, &QPushButton::clicked, this, &CTestitemDlg_pppdial::OnButtonDial);
    connect(m_btnTerminate, &QPushButton::clicked, this, &CTestitemDlg_pppdial::OnButtonTerminate);
    connect(m_btnStop, &QPushButton::clicked, this, &CTestitemDlg_pppdial::OnButtonStop);
    connect(m_btnSend, &QPushButton::clicked, this, &CTestitemDlg_pppdial::OnButtonSendUdp);
    connect(m_btnClear, &QPushButton::clicked, this, &CTestitemDlg_pppdial::OnButtonClear);
    connect(m_checkMainCommand, &QCheckBox::toggled, this, [this](bool on) { m_editMainCommand->setReadOnly(!on); });
    connect(m_editApn, &QLineEdit::textChanged, this, [this](const QString& apn) {
        m_editMainCommand->setText(QStringLiteral("AT+CGDCONT=1,\"IP\",\"%1\"").arg(apn.trimmed()));
    });

    BuildHiddenPanel();
    LoadSettings();
    SelectTab(0);
    m_editSourcePort->setText(QStringLiteral("4321"));
    m_ipDest->setText(QStringLiteral("10.0.2.2"));
    m_editDestPort->setText(QStringLiteral("6004"));
}

CTestitemDlg_pppdial::~CTestitemDlg_pppdial() = default;

void CTestitemDlg_pppdial::BuildHiddenPanel()
{
    // The dialog's older tools: kept working, never shown.
    m_hiddenPanel->hide();
    auto* grid = new QGridLayout(m_hiddenPanel);
    m_btnRecommendApn->setObjectName(QStringLiteral("1451"));
    m_btnRecommendApn->setToolTip(QStringLiteral("Select APN that are recommended!"));
    grid->addWidget(m_btnRecommendApn, 0, 0);
    auto* ipSum = new QPushButton(QStringLiteral("getchecksum_IPheader"), m_hiddenPanel);
    ipSum->setObjectName(QStringLiteral("1002"));
    auto* udpSum = new QPushButton(QStringLiteral("getchecksum_UDPheader"), m_hiddenPanel);
    udpSum->setObjectName(QStringLiteral("1003"));
    auto* dataMode = new QPushButton(QStringLiteral("Data mode"), m_hiddenPanel);
    dataMode->setObjectName(QStringLiteral("1366"));
    auto* commandMode = new QPushButton(QStringLiteral("command mode"), m_hiddenPanel);
    commandMode->setObjectName(QStringLiteral("1029"));
    grid->addWidget(ipSum, 0, 1);
    grid->addWidget(udpSum, 0, 2);
    grid->addWidget(dataMode, 0, 3);
    grid->addWidget(commandMode, 0, 4);
    connect(ipSum, &QPushButton::clicked, this, &CTestitemDlg_pppdial::OnButtonIpChecksum);
    connect(udpSum, &QPushButton::clicked, this, &CTestitemDlg_pppdial::OnButtonUdpChecksum);
    connect(dataMode, &QPushButton::clicked, this, &CTestitemDlg_pppdial::OnButtonDataMode);
    connect(commandMode, &QPushButton::clicked, this, &CTestitemDlg_pppdial::OnButtonCommandMode);

    m_check1038->setObjectName(QStringLiteral("1038"));
    m_edit1039->setObjectName(QStringLiteral("1039"));
    grid->addWidget(m_check1038, 1, 0);
    grid->addWidget(m_edit1039, 1, 1);
    m_check1038->setChecked(true);
    connect(m_check1038, &QCheckBox::toggled, m_edit1039, &QWidget::setVisible);
    int column = 2;
    const struct {
        const char* id;
        const char* text;
    } radios[] = {{"1379", "PAP"}, {"1380", "CHAP"}, {"1381", "AUTO"}};
    for (const auto& r : radios) {
        auto* radio = new QRadioButton(QString::fromLatin1(r.text), m_hiddenPanel);
        radio->setObjectName(QString::fromLatin1(r.id));
        grid->addWidget(radio, 1, column++);
    }
    auto* jump = new QCheckBox(QStringLiteral("Jump Autentication"), m_hiddenPanel);
    jump->setObjectName(QStringLiteral("1428"));
    grid->addWidget(jump, 2, 0);
    column = 1;
    for (const char* id : {"1028", "1043", "1325"}) {
        auto* edit = new QLineEdit(m_hiddenPanel);
        edit->setObjectName(QString::fromLatin1(id));
        grid->addWidget(edit, 2, column++);
    }
    grid->addWidget(IpEdit(m_hiddenPanel, QStringLiteral("1034")), 2, column);
}

QLineEdit* CTestitemDlg_pppdial::SourcePortEdit() const
{
    return m_editSourcePort;
}

QLineEdit* CTestitemDlg_pppdial::DestPortEdit() const
{
    return m_editDestPort;
}

void CTestitemDlg_pppdial::SelectTab(int index)
{
    if (index < 0 || index >= m_tabWidgets.size())
        return;
    if (m_folderTabs->GetSelectedItem() != index)
        m_folderTabs->SelectItem(index);
    for (int i = 0; i < m_tabWidgets.size(); ++i)
        for (QWidget* w : m_tabWidgets[i])
            w->setVisible(i == index);
}

QString CTestitemDlg_pppdial::SettingsPath() const
{
    return theApp.m_strParamDir.isEmpty() ? QString() : theApp.m_strParamDir + QStringLiteral("/param_ppp.ini");
}

void CTestitemDlg_pppdial::SaveSettings()
{
    const QString path = SettingsPath();
    if (path.isEmpty())
        return;
    // Each write says itself when it fails; one such message is enough.
    const bool written = IniWriteString(path, kSection, QStringLiteral("APN"), m_editApn->text())
        && IniWriteString(path, kSection, QStringLiteral("username"), m_editUser->text())
        && IniWriteString(path, kSection, QStringLiteral("password"), m_editPassword->text())
        && IniWriteString(path, kSection, QStringLiteral("DNSnumber"), QString::number(m_comboDnsNumber->currentIndex()));
    if (written && !m_strMcc.isEmpty() && !m_strMnc.isEmpty()) {
        IniWriteString(path, kSection, QStringLiteral("MCC"), m_strMcc)
            && IniWriteString(path, kSection, QStringLiteral("MNC"), m_strMnc);
    }
}

void CTestitemDlg_pppdial::LoadSettings()
{
    const QString path = SettingsPath();
    if (path.isEmpty())
        return;
    m_editApn->setText(IniGetString(path, kSection, QStringLiteral("APN"), QStringLiteral("CMNET")));
    m_editUser->setText(IniGetString(path, kSection, QStringLiteral("username")));
    m_editPassword->setText(IniGetString(path, kSection, QStringLiteral("password")));
    const int dns = ParseLeadingInt(IniGetString(path, kSection, QStringLiteral("DNSnumber"), QStringLiteral("0")));
    m_comboDnsNumber->setCurrentIndex(dns >= 0 && dns <= 2 ? dns : 0);
    m_strMcc = IniGetString(path, kSection, QStringLiteral("MCC"));
    m_strMnc = IniGetString(path, kSection, QStringLiteral("MNC"));
}

namespace {

void AppendStamped(QTextEdit* edit, const QString& text)
{
    if (text.isEmpty())
        return;
    QTextCursor c = edit->textCursor();
    c.movePosition(QTextCursor::End);
    c.insertText(MakeTimeStamp() + QStringLiteral(": ") + text + QLatin1Char('\n'));
    edit->setTextCursor(c);
    edit->verticalScrollBar()->setValue(edit->verticalScrollBar()->maximum());
}

} // namespace

void CTestitemDlg_pppdial::AppendLogLine(const QString& text)
{
    AppendStamped(m_editLog, text);
}

void CTestitemDlg_pppdial::AppendUdpDataLine(const QString& text)
{
    AppendStamped(m_editUdpReceived, text);
}

void CTestitemDlg_pppdial::ClearAddresses()
{
    for (QLabel* l : {m_staticIp, m_staticDns1, m_staticDns2})
        l->setText(kNoAddress);
}

void CTestitemDlg_pppdial::ShowIpcpAddresses(const IpcpAddressState& state)
{
    // 0.0.0.0 is what was asked for, not an address the peer gave: an address
    // not given shows as unset.
    const auto given = [](const IpcpAddressState::Entry& e) {
        return e.present && e.address != std::array<std::uint8_t, 4> {};
    };
    m_staticIp->setText(given(state.ownAddress) ? AddressText(state.ownAddress) : kNoAddress);
    if (given(state.ownAddress))
        m_ipSource->setText(AddressText(state.ownAddress));
    m_staticDns1->setText(given(state.ownDns1) ? AddressText(state.ownDns1) : kNoAddress);
    m_staticDns2->setText(given(state.ownDns2) ? AddressText(state.ownDns2) : kNoAddress);
}

void CTestitemDlg_pppdial::ShowMessage(const QString& text)
{
    if (m_showMessage)
        m_showMessage(text);
    else
        ShowMessageBox(text);
}

void CTestitemDlg_pppdial::SetDialIdle(bool idle)
{
    m_btnDial->setEnabled(idle);
    m_btnTerminate->setEnabled(!idle && theApp.PppLinkUp.load() != 0);
}

void CTestitemDlg_pppdial::OnButtonDial()
{
    PageHost* host = GetPageHost();
    if (!host || !host->PortOpen() || host->Session().Gate().Running())
        return;
    // The main command stays as the user wrote it; one made from the APN
    // must not let the APN close its quotes.
    const QString problem = FirstProblem({m_checkMainCommand->isChecked()
            ? QString()
            : CheckQuotedField(QStringLiteral("Access Point Name"), m_editApn->text()),
        CheckCommandLine(QStringLiteral("Edit main command"), m_editMainCommand->text())});
    if (!problem.isEmpty()) {
        ShowMessage(problem);
        return;
    }
    if (!theApp.Mcc().isEmpty() && !theApp.Mnc().isEmpty())
        SaveSettings();
    PppDialSettings settings;
    settings.user = m_editUser->text().toStdString();
    settings.password = m_editPassword->text().toStdString();
    settings.pdpCommand = m_editMainCommand->text().toStdString();
    settings.authIndex = m_comboAuth->currentIndex();
    settings.dnsNumber = m_comboDnsNumber->currentIndex();
    m_editLog->clear();
    ClearAddresses();
    // The dial writes its frames as hex of its own: hex views would show them twice.
    SwitchTerminalToText();
    m_btnDial->setEnabled(false);
    m_btnTerminate->setEnabled(false);
    PppDialInProgress = 1;
    QPointer<CTestitemDlg_pppdial> self(this);
    ModemSession& session = host->Session();
    const bool started = m_workers.Start([self, settings, &session](TaskGate::Token& token) {
        PppDialResult result;
        {
            InProgress inProgress;
            SessionPppLine line(session, [&token, &session] { return token.Active() && session.IsOpen() && !session.PortLost(); });
            PppDialClient client(line);
            result = client.Dial(settings);
        }
        // A dial that ended because the module went away failed; it was not stopped.
        if (result.outcome == PppDialOutcome::Stopped && session.PortLost()) {
            result.outcome = PppDialOutcome::Failed;
            result.message = kPppDialFailed;
        }
        theApp.PppLinkUp = result.outcome == PppDialOutcome::Up ? 1 : 0;
        // Over before the page says so: a Terminate pressed the moment it is
        // enabled would otherwise meet a task still running and be ignored.
        token.Release();
        Gui::Post([self, result] {
            if (!self)
                return;
            {
                std::lock_guard lock(self->m_linkLock);
                self->m_lcp = result.lcp;
                self->m_ipcp = result.ipcp;
            }
            if (result.outcome == PppDialOutcome::Up) {
                // Bytes held from an earlier link are no part of this one.
                self->m_receiver.Reset();
                self->ShowIpcpAddresses(result.ipcp);
                self->m_btnDial->setEnabled(false);
                self->m_btnTerminate->setEnabled(true);
                return;
            }
            self->ClearAddresses();
            self->SetDialIdle(true);
            if (!result.message.empty())
                self->ShowMessage(QString::fromStdString(result.message));
        });
    });
    if (!started) {
        PppDialInProgress = 0;
        SetDialIdle(true);
    }
}

void CTestitemDlg_pppdial::OnButtonTerminate()
{
    PageHost* host = GetPageHost();
    if (!host || !host->PortOpen() || host->Session().Gate().Running())
        return;
    LcpOptionState lcp;
    {
        std::lock_guard lock(m_linkLock);
        lcp = m_lcp;
    }
    m_btnTerminate->setEnabled(false);
    PppDialInProgress = 1;
    QPointer<CTestitemDlg_pppdial> self(this);
    ModemSession& session = host->Session();
    const bool started = m_workers.Start([self, lcp, &session](TaskGate::Token& token) {
        bool acked = false;
        {
            InProgress inProgress;
            SessionPppLine line(session, [&token, &session] { return token.Active() && session.IsOpen() && !session.PortLost(); });
            PppDialClient client(line);
            acked = client.Terminate(lcp);
        }
        // Down whatever the peer said: nothing of the link is used any more.
        theApp.PppLinkUp = 0;
        token.Release();
        Gui::Post([self, acked] {
            if (!self)
                return;
            self->ClearAddresses();
            self->SetDialIdle(true);
            if (!acked)
                self->ShowMessage(QString::fromLatin1(kPppTerminateFailed));
        });
    });
    if (!started) {
        PppDialInProgress = 0;
        m_btnTerminate->setEnabled(theApp.PppLinkUp.load() != 0);
    }
}

void CTestitemDlg_pppdial::OnPortLost()
{
    // The link went with the module.
    theApp.PppLinkUp = 0;
    ClearAddresses();
    SetDialIdle(!GetPageHost() || !GetPageHost()->Session().Gate().Running());
}

void CTestitemDlg_pppdial::OnButtonStop()
{
    if (PageHost* host = GetPageHost())
        host->Session().Gate().Stop();
}

void CTestitemDlg_pppdial::OnButtonDataMode()
{
    if (PageHost* host = GetPageHost(); host && host->PortOpen())
        host->Session().Transmitter().SendToModule(QStringLiteral("ATO0"), 0, true);
}

void CTestitemDlg_pppdial::OnButtonCommandMode()
{
    if (PageHost* host = GetPageHost(); host && host->PortOpen())
        host->Session().Transmitter().SendToModule(QStringLiteral("+++"), 0, false);
}

void CTestitemDlg_pppdial::LookupRecommendedApn(const QString& mcc, const QString& mnc)
{
    FillRecommendedApn(this, {m_editApn, m_editUser, m_editPassword, &m_strMcc, &m_strMnc}, mcc, mnc);
}

void CTestitemDlg_pppdial::OnButtonClear()
{
    m_editLog->clear();
    m_editUdpReceived->clear();
}

void CTestitemDlg_pppdial::OnButtonSendUdp()
{
    if (!theApp.PppLinkUp.load()) {
        ShowMessage(QString::fromLatin1(kPppUdpNoLink));
        return;
    }
    PppUdpRequest request;
    const bool sourceOk = ParseIpv4(m_ipSource->text(), request.source);
    const bool destOk = ParseIpv4(m_ipDest->text(), request.dest);
    request.sourcePort = m_editSourcePort->text().toStdString();
    request.destPort = m_editDestPort->text().toStdString();
    // The same bytes the TCP/UDP page would send for this text.
    const QByteArray payload = m_editSendData->toPlainText().toUtf8();
    request.payload.assign(payload.constData(), static_cast<std::size_t>(payload.size()));
    LcpOptionState lcp;
    {
        std::lock_guard lock(m_linkLock);
        lcp = m_lcp;
    }
    const PppUdpFrame frame = BuildPppUdpFrame(request, lcp);
    if (!frame.error.empty()) {
        ShowMessage(QString::fromStdString(frame.error));
        return;
    }
    // An address that is none would go out as 0.0.0.0 or a part of one.
    if (!sourceOk || !destOk) {
        ShowMessage(sourceOk ? CheckIpv4Field(QStringLiteral("Dest IP"), m_ipDest->text())
                             : CheckIpv4Field(QStringLiteral("Source IP"), m_ipSource->text()));
        return;
    }
    m_editFrameData->setText(QString::fromStdString(frame.frameText));
    WriteOutputLine(kTerminalSent, QString::fromStdString(frame.frameText) + QStringLiteral("\r\n"));
    if (PageHost* host = GetPageHost())
        host->Session().Transmitter().SendRawBytes(QByteArray(
            reinterpret_cast<const char*>(frame.wire.data()), static_cast<qsizetype>(frame.wire.size())));
}

void CTestitemDlg_pppdial::PppRawChunk(const QByteArray& chunk)
{
    m_receiver.Feed(reinterpret_cast<const std::uint8_t*>(chunk.constData()), static_cast<std::size_t>(chunk.size()));
}

namespace {

// The hex text of the frame-data edit as bytes (blanks ignored); empty for
// an odd digit count or anything but hex digits.
std::vector<std::uint8_t> FrameDataBytes(const QLineEdit* edit)
{
    std::vector<std::uint8_t> bytes;
    const std::string text = edit->text().toStdString();
    for (char c : text)
        if (c != ' ' && !std::isxdigit(static_cast<unsigned char>(c)))
            return bytes;
    if (!HexTextToBytes(text, bytes))
        bytes.clear();
    return bytes;
}

QString ChecksumText(std::uint16_t sum)
{
    return QStringLiteral("%1").arg(sum, 4, 16, QLatin1Char('0')).toUpper();
}

} // namespace

void CTestitemDlg_pppdial::OnButtonIpChecksum()
{
    const std::vector<std::uint8_t> bytes = FrameDataBytes(m_editFrameData);
    if (bytes.size() < 20) {
        ShowMessage(QStringLiteral("An IP header needs 20 bytes!"));
        return;
    }
    ShowMessage(ChecksumText(IpHeaderChecksum(bytes.data())));
}

void CTestitemDlg_pppdial::OnButtonUdpChecksum()
{
    const std::vector<std::uint8_t> bytes = FrameDataBytes(m_editFrameData);
    if (bytes.size() < 12) {
        ShowMessage(QStringLiteral("A UDP pseudo-header needs 12 bytes!"));
        return;
    }
    ShowMessage(ChecksumText(UdpChecksum(bytes.data(), bytes.size())));
}

} // namespace ulv
