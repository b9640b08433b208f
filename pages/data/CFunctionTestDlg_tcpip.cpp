#include "pages/data/CFunctionTestDlg_tcpip.h"

#include "core/at/ModemSession.h"
#include "core/text/AnsiText.h"
#include "core/text/CommandFieldCheck.h"
#include "core/text/TimeStamp.h"
#include "pages/PageHost.h"
#include "pages/PageSession.h"
#include "pages/data/AddressEdit.h"
#include "pages/data/RecommendedApnFill.h"
#include "platform/Gui.h"
#include "platform/IniFile.h"
#include "platform/MessageBox.h"
#include "shell/core/CUlvenscopeApp.h"
#include "ui/controls/CFlatComboBox.h"
#include "ui/controls/CSkinButton.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>

namespace ulv {

namespace {

const QString kClose = QStringLiteral("Close");
const QString kConnect = QStringLiteral("Connect");

QLabel* Label(QWidget* parent, const QString& text, int x, int y, int w = 110)
{
    auto* l = new QLabel(text, parent);
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

CSkinButton* Button(QWidget* parent, const QString& text, const char* id, int x, int y, int w = 80)
{
    auto* b = new CSkinButton(text, parent);
    b->setObjectName(QString::fromLatin1(id));
    b->setGeometry(x, y, w, 26);
    return b;
}

CFlatComboBox* Combo(QWidget* parent, const char* id, const QStringList& items, int x, int y, int w)
{
    auto* c = new CFlatComboBox(parent);
    c->setObjectName(QString::fromLatin1(id));
    c->addItems(items);
    c->setGeometry(x, y, w, 24);
    return c;
}

QTextEdit* RichEdit(QWidget* parent, const char* id, int x, int y, int w, int h)
{
    auto* e = new QTextEdit(parent);
    e->setObjectName(QString::fromLatin1(id));
    e->setGeometry(x, y, w, h);
    e->setAcceptRichText(false);
    QFont f(QStringLiteral("Arial Unicode MS"));
    f.setPointSize(9);
    e->setFont(f);
    return e;
}

// The dotted address in the server-address box, each part as a number.
QStringList Octets(const QString& address)
{
    QStringList parts = address.split('.');
    while (parts.size() < 4)
        parts << QStringLiteral("0");
    for (QString& p : parts)
        p = QString::number(p.trimmed().toInt());
    return parts.mid(0, 4);
}

} // namespace

CFunctionTestDlg_tcpip::CFunctionTestDlg_tcpip(QWidget* parent)
    : PageDialog(QStringLiteral("CFunctionTestDlg_tcpip"), parent)
{
    const int type = GetModuleType();
    // Two columns that fit the page's width beside the terminal.
    const int labelA = 10, editA = 115, labelB = 245, editB = 330;
    Label(this, QStringLiteral("Access Point Name:"), labelA, 10, 105);
    m_editApn = Edit(this, "1169", editA, 10, 120);
    Label(this, QStringLiteral("User name:"), labelA, 38, 105);
    m_editUser = Edit(this, "1027", editA, 38, 120);
    Label(this, QStringLiteral("Password:"), labelA, 66, 105);
    m_editPassword = Edit(this, "1338", editA, 66, 120);
    Label(this, QStringLiteral("Authentication:"), labelB, 10, 85);
    QStringList auth = {QStringLiteral("None"), QStringLiteral("PAP"), QStringLiteral("CHAP")};
    if (type == 1)
        auth << QStringLiteral("PAP/CHAP");
    m_cmbAuth = Combo(this, "1432", auth, editB, 10, 95);
    Label(this, QStringLiteral("IP address:"), labelB, 38, 85);
    m_editLocalIp = Edit(this, "1339", editB, 38, 95);
    m_editLocalIp->setReadOnly(true);
    m_chkEchoShow = new QCheckBox(QStringLiteral("Echo show"), this);
    m_chkEchoShow->setObjectName(QStringLiteral("1103"));
    m_chkEchoShow->setGeometry(labelA, 96, 100, 22);
    m_btnPdpAct = Button(this, QStringLiteral("PDP ACT"), "1112", labelB, 94, 85);
    m_btnDeact = Button(this, QStringLiteral("DEACT"), "1167", editB + 5, 94, 90);

    m_radioIp = new QRadioButton(QStringLiteral("IP"), this);
    m_radioIp->setObjectName(QStringLiteral("1151"));
    m_radioIp->setGeometry(labelA, 132, 45, 22);
    m_radioDomain = new QRadioButton(QStringLiteral("Domain"), this);
    m_radioDomain->setObjectName(QStringLiteral("1152"));
    m_radioDomain->setGeometry(labelA + 50, 132, 80, 22);
    m_lblServer = Label(this, QStringLiteral("Server IP:"), labelA, 160, 105);
    m_lblServer->setObjectName(QStringLiteral("1153"));
    m_editServerIp = Edit(this, "1154", editA, 160, 120);
    MakeAddressEdit(m_editServerIp);
    m_editServerName = Edit(this, "1155", editA, 160, 120);
    Label(this, QStringLiteral("Server port:"), labelB, 132, 85);
    m_editServerPort = Edit(this, "1165", editB, 132, 95);
    m_editLocalPort = Edit(this, "1166", 0, 0, 0);
    m_editLocalPort->hide();
    Label(this, QStringLiteral("Connect mode:"), labelB, 160, 85);
    m_cmbProtocol = Combo(this, "1433", {QStringLiteral("TCP"), QStringLiteral("UDP")}, editB, 160, 95);
    m_lblAccessMode = Label(this, QStringLiteral("Access mode:"), labelB, 188, 85);
    m_lblAccessMode->setObjectName(QStringLiteral("1397"));
    m_cmbAccessMode = Combo(this, "1434", {QStringLiteral("Buffer"), QStringLiteral("Direct push")}, editB, 188, 95);
    m_chkAutoQuery = new QCheckBox(QStringLiteral("AutoQuery"), this);
    m_chkAutoQuery->setObjectName(QStringLiteral("1038"));
    m_chkAutoQuery->setGeometry(labelA, 224, 100, 22);
    m_editPeriod = Edit(this, "1390", editA, 224, 70);
    m_lblMs = Label(this, QStringLiteral("ms"), editA + 75, 224, 30);
    m_lblMs->setObjectName(QStringLiteral("1429"));
    m_btnConnect = Button(this, kConnect, "1159", editB + 5, 222, 90);

    Label(this, QStringLiteral("Data to be sent to remote:"), labelA, 256, 200);
    m_editSend = RichEdit(this, "1158", labelA, 278, 320, 110);
    m_btnSend = Button(this, QStringLiteral("Send"), "1160", 340, 278);
    m_btnQuery = Button(this, QStringLiteral("Query"), "1387", 340, 310);
    m_btnClearSend = Button(this, QStringLiteral("Clear all"), "1046", 340, 342);
    Label(this, QStringLiteral("Data received from remote:"), labelA, 398, 200);
    m_editReceive = RichEdit(this, "1168", labelA, 420, 320, 220);
    m_editReceive->setReadOnly(true);
    m_btnClearReceive = Button(this, QStringLiteral("Clear all"), "1047", 340, 420);

    BuildHiddenPanel();

    for (CSkinButton* b : {m_btnPdpAct, m_btnDeact, m_btnConnect, m_btnSend, m_btnQuery, m_btnClearSend, m_btnClearReceive})
        b->BuildDialogSkin();

    connect(m_btnPdpAct, &QPushButton::clicked, this, &CFunctionTestDlg_tcpip::OnButtonPdpAct);
    connect(m_btnDeact, &QPushButton::clicked, this, &CFunctionTestDlg_tcpip::OnButtonDeact);
    connect(m_btnConnect, &QPushButton::clicked, this, &CFunctionTestDlg_tcpip::OnButtonConnect);
    connect(m_btnSend, &QPushButton::clicked, this, &CFunctionTestDlg_tcpip::OnButtonSend);
    connect(m_btnQuery, &QPushButton::clicked, this, &CFunctionTestDlg_tcpip::OnButtonQuery);
    connect(m_btnClearSend, &QPushButton::clicked, this, &CFunctionTestDlg_tcpip::OnButtonClearSend);
    connect(m_btnClearReceive, &QPushButton::clicked, this, &CFunctionTestDlg_tcpip::OnButtonClearReceive);
    connect(m_chkAutoQuery, &QCheckBox::clicked, this, &CFunctionTestDlg_tcpip::OnCheckAutoQuery);
    connect(m_chkEchoShow, &QCheckBox::clicked, this, &CFunctionTestDlg_tcpip::OnCheckEchoShow);
    connect(m_radioIp, &QRadioButton::clicked, this, &CFunctionTestDlg_tcpip::OnRadioIp);
    connect(m_radioDomain, &QRadioButton::clicked, this, &CFunctionTestDlg_tcpip::OnRadioDomain);
    connect(m_cmbProtocol, &QComboBox::currentIndexChanged, this, &CFunctionTestDlg_tcpip::OnSelchangeProtocol);

    // The state after the dialog's initialisation.
    m_chkEchoShow->setEnabled(false);
    m_radioIp->setChecked(true);
    m_editServerName->hide();
    m_btnConnect->setEnabled(false);
    m_btnDeact->setEnabled(false);
    m_btnSend->setEnabled(false);
    m_btnQuery->setEnabled(false);
    m_editServerPort->setText(QString::number(3000));
    m_editLocalPort->setText(QString::number(1000));
    m_editServerName->setText(QString::fromLatin1(kDefaultServerName));
    LoadSettings();
    m_lblAccessMode->setVisible(type == 1);
    m_cmbAccessMode->setVisible(type == 1);
    m_cmbAccessMode->setCurrentIndex(1);
    m_timer = new QTimer(this);
    connect(m_timer, &QTimer::timeout, this, &CFunctionTestDlg_tcpip::OnTimer);
    // It rests while the page is hidden (showEvent / hideEvent).
    m_timer->start(1000);
    m_chkAutoQuery->setChecked(true);
    m_editPeriod->setText(QStringLiteral("1000"));
}

CFunctionTestDlg_tcpip::~CFunctionTestDlg_tcpip() = default;

void CFunctionTestDlg_tcpip::BuildHiddenPanel()
{
    // The dialog's older tools: kept working, never shown and disabled.
    m_hiddenPanel = new QWidget(this);
    m_hiddenPanel->setObjectName(QStringLiteral("hiddenTools"));
    m_hiddenPanel->hide();
    auto* grid = new QGridLayout(m_hiddenPanel);
    int column = 0;
    for (const char* text : {"CPIN?", "CREG?", "CGATT?", "JIFGCNT=0", "JICSGP", "Dial test", "Connect test", "Act",
             "File import"}) {
        auto* b = new QPushButton(QString::fromLatin1(text), m_hiddenPanel);
        b->setEnabled(false);
        grid->addWidget(b, 0, column++);
    }
    auto* apnButton = new QPushButton(m_hiddenPanel);
    apnButton->setObjectName(QStringLiteral("recommendApn"));
    apnButton->setToolTip(QStringLiteral("Select APN that are recommended!"));
    grid->addWidget(apnButton, 0, column++);
    m_btnGet = new QPushButton(QStringLiteral("Get"), m_hiddenPanel);
    grid->addWidget(m_btnGet, 0, column++);
    auto* browse = new QPushButton(QStringLiteral("..."), m_hiddenPanel);
    browse->setObjectName(QStringLiteral("1045"));
    grid->addWidget(browse, 0, column++);
    connect(browse, &QPushButton::clicked, this, &CFunctionTestDlg_tcpip::OnButtonBrowse);

    m_chkUnlimitedLen = new QCheckBox(QStringLiteral("Unlimited len"), m_hiddenPanel);
    m_chkUnlimitedLen->setObjectName(QStringLiteral("1163"));
    m_editSendCount = new QLineEdit(QString::number(100), m_hiddenPanel);
    m_editSendCount->setObjectName(QStringLiteral("1164"));
    grid->addWidget(m_chkUnlimitedLen, 1, 0);
    grid->addWidget(m_editSendCount, 1, 1);
    m_editLocalPort->setParent(m_hiddenPanel);
    grid->addWidget(m_editLocalPort, 1, 2);
    auto* path = new QLineEdit(m_hiddenPanel);
    path->setObjectName(QStringLiteral("filePath"));
    grid->addWidget(path, 1, 3);
    column = 4;
    for (const char* label : {"ConnectTimes:", "Maintain(ms):", "Interval(ms):", "Interval(ms):", "", ""}) {
        grid->addWidget(new QLabel(QString::fromLatin1(label), m_hiddenPanel), 1, column++);
        grid->addWidget(new QLineEdit(m_hiddenPanel), 1, column++);
    }

    // Radio groups, each in its own box so that one check does not clear another group's.
    auto group = [this, grid](int row, const QStringList& texts, int checked) {
        auto* box = new QWidget(m_hiddenPanel);
        auto* line = new QHBoxLayout(box);
        QList<QRadioButton*> radios;
        for (int i = 0; i < texts.size(); ++i) {
            radios << new QRadioButton(texts[i], box);
            radios.last()->setChecked(i == checked);
            line->addWidget(radios.last());
        }
        grid->addWidget(box, row, 0, 1, 6);
        return radios;
    };
    group(2, {QStringLiteral("TCP"), QStringLiteral("UDP")}, 0);
    const QList<QRadioButton*> getData = group(3, {QStringLiteral("Directly getdata"), QStringLiteral("By command")}, 0);
    m_radioDirectGetData = getData[0];
    m_radioDirectGetData->setObjectName(QStringLiteral("1162"));
    getData[1]->setObjectName(QStringLiteral("1035"));
    for (QRadioButton* r : getData)
        connect(r, &QRadioButton::clicked, this, &CFunctionTestDlg_tcpip::OnRadioDirectGetData);
    m_radioUntransparent = group(4, {QStringLiteral("Untransparent"), QStringLiteral("Transparent")}, 0)[0];
    group(5, {QStringLiteral("Buffer"), QStringLiteral("Direct push")}, 1);
    group(6, {QStringLiteral("None"), QStringLiteral("PAP"), QStringLiteral("CHAP"), QStringLiteral("PAP/CHAP")}, 0);
    m_lblDashes = new QLabel(QStringLiteral("- - - - - -"), m_hiddenPanel);
    m_lblDashes->setObjectName(QStringLiteral("1342"));
    grid->addWidget(m_lblDashes, 7, 0);

    connect(m_chkUnlimitedLen, &QCheckBox::clicked, this, &CFunctionTestDlg_tcpip::OnCheckUnlimitedLen);
    m_chkUnlimitedLen->setChecked(true);
    m_btnGet->setEnabled(false);
    m_editSendCount->setEnabled(false);
}

void CFunctionTestDlg_tcpip::OnCheckUnlimitedLen()
{
    m_editSendCount->setEnabled(!m_chkUnlimitedLen->isChecked());
}

void CFunctionTestDlg_tcpip::OnRadioDirectGetData()
{
    m_btnGet->setEnabled(!m_radioDirectGetData->isChecked());
}

void CFunctionTestDlg_tcpip::OnButtonBrowse()
{
    const QString path = m_choosePath
        ? m_choosePath()
        : QFileDialog::getOpenFileName(this, QString(), QDir::homePath(), QStringLiteral("(*.*) (*)"));
    if (path.isEmpty())
        return;
    m_editSend->clear();
    // Read only: a file the user may not write can still be imported.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    // The lines join without separators, as the module gets one block.
    QString text;
    while (!file.atEnd()) {
        QByteArray line = file.readLine();
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        text += AnsiToString(line);
    }
    m_editSend->moveCursor(QTextCursor::End);
    m_editSend->insertPlainText(text);
}

ModemSession& CFunctionTestDlg_tcpip::Session() const { return PageSession(); }

bool CFunctionTestDlg_tcpip::CanStart() const { return PageCanStartTask(); }

QString CFunctionTestDlg_tcpip::SettingsPath() const
{
    return theApp.m_strParamDir + QStringLiteral("/param_tcpip.ini");
}

// --- Settings

void CFunctionTestDlg_tcpip::LoadSettings()
{
    IniFile ini(SettingsPath());
    ini.Load();
    m_editServerName->setText(ini.GetString("DOMAIN", "name", QString::fromLatin1(kDefaultServerName)));
    m_editLocalPort->setText(ini.GetString("PORTNUMBER", "local", QStringLiteral("80")));
    m_editApn->setText(ini.GetString("APN", "apnname", QStringLiteral("CMNET")));
    m_editUser->setText(ini.GetString("APN", "username"));
    m_editPassword->setText(ini.GetString("APN", "password"));
    m_strSavedMcc = ini.GetString("APN", "MCC");
    m_strSavedMnc = ini.GetString("APN", "MNC");
    // The page always opens on the echo server, whatever the file holds.
    m_editServerIp->setText(QString::fromLatin1(kEchoServerAddress));
    m_editServerPort->setText(QString::fromLatin1(kEchoServerPort));
}

void CFunctionTestDlg_tcpip::SaveSettings()
{
    IniFile ini(SettingsPath());
    ini.Load();
    const QStringList octets = Octets(m_editServerIp->text());
    for (int i = 0; i < 4; ++i)
        ini.SetString("TCPIP", QString("data_%1").arg(i + 1), octets[i]);
    ini.SetString("DOMAIN", "name", m_editServerName->text());
    ini.SetString("PORTNUMBER", "server", m_editServerPort->text());
    ini.SetString("PORTNUMBER", "local", m_editLocalPort->text());
    ini.SetString("APN", "apnname", m_editApn->text());
    ini.SetString("APN", "username", m_editUser->text());
    ini.SetString("APN", "password", m_editPassword->text());
    if (!m_strSavedMcc.isEmpty() && !m_strSavedMnc.isEmpty()) {
        ini.SetString("APN", "MCC", m_strSavedMcc);
        ini.SetString("APN", "MNC", m_strSavedMnc);
    }
    ini.Save();
}

void CFunctionTestDlg_tcpip::LookupRecommendedApn(const QString& mcc, const QString& mnc)
{
    FillRecommendedApn(this, {m_editApn, m_editUser, m_editPassword, &m_strSavedMcc, &m_strSavedMnc}, mcc, mnc);
}

// --- Receiving

void CFunctionTestDlg_tcpip::OnSocketData(const QByteArray& payload)
{
    m_shared.received.Append(payload);
    AppendReceivedData(AnsiToString(payload));
}

void CFunctionTestDlg_tcpip::AppendReceivedData(const QString& text)
{
    if (text.isEmpty())
        return;
    QTextCursor c = m_editReceive->textCursor();
    c.movePosition(QTextCursor::End);
    c.insertText(MakeTimeStamp() + ": " + text + "\n");
    m_editReceive->setTextCursor(c);
    m_editReceive->verticalScrollBar()->setValue(m_editReceive->verticalScrollBar()->maximum());
}

QString CFunctionTestDlg_tcpip::ReceivedText() const
{
    return m_editReceive->toPlainText();
}

void CFunctionTestDlg_tcpip::QueueRead(const QString& id)
{
    QPointer<CFunctionTestDlg_tcpip> self(this);
    Session().Queue().Queue(CommandRequest::Command("AT+JIRD=" + id, [self](const QString& reply) {
        Gui::Post([self, reply] {
            if (self)
                self->OnJirdReply(reply);
        });
    }));
}

void CFunctionTestDlg_tcpip::OnReceivedLine(const QString& line)
{
    HandleReceivedLine(m_shared, line, Session().Gate().Running(), [this](const QString& id) { QueueRead(id); });
}

void CFunctionTestDlg_tcpip::OnJirdReply(const QString& reply)
{
    // While the page is on show the receive router shows the read's data; a
    // second copy here would show every byte twice.
    if (!isHidden())
        return;
    const qsizetype at = reply.indexOf("+JIRD:");
    const qsizetype ok = reply.lastIndexOf("OK");
    const qsizetype start = at < 0 ? -1 : reply.indexOf("\r\n", at);
    if (start < 0 || ok < 0 || ok < start)
        return;
    const qsizetype end = reply.lastIndexOf("\r\n\r\n", ok);
    if (end > start + 2)
        AppendReceivedData(reply.mid(start + 2, end - start - 2));
}

// --- Page states

void CFunctionTestDlg_tcpip::ApplyNoContext()
{
    theApp.m_bTcpContextActive = 0;
    m_lblDashes->clear();
    m_editLocalIp->clear();
    m_chkEchoShow->setChecked(false);
    m_shared.echoMode = 0;
    m_btnConnect->setText(kConnect);
    m_btnPdpAct->setEnabled(true);
    for (QWidget* w : {static_cast<QWidget*>(m_btnDeact), static_cast<QWidget*>(m_btnConnect),
             static_cast<QWidget*>(m_btnSend), static_cast<QWidget*>(m_btnQuery)})
        w->setEnabled(false);
    for (QWidget* w : {static_cast<QWidget*>(m_cmbAuth), static_cast<QWidget*>(m_chkEchoShow),
             static_cast<QWidget*>(m_radioIp), static_cast<QWidget*>(m_radioDomain),
             static_cast<QWidget*>(m_cmbProtocol), static_cast<QWidget*>(m_cmbAccessMode)})
        w->setEnabled(true);
}

void CFunctionTestDlg_tcpip::ApplyActivationFailed()
{
    theApp.m_bTcpContextActive = 0;
    m_cmbAuth->setEnabled(true);
    m_editLocalIp->clear();
    m_btnPdpAct->setEnabled(true);
    for (QWidget* w : {static_cast<QWidget*>(m_btnDeact), static_cast<QWidget*>(m_btnConnect),
             static_cast<QWidget*>(m_btnSend), static_cast<QWidget*>(m_btnQuery)})
        w->setEnabled(false);
}

void CFunctionTestDlg_tcpip::ApplyContextUp(const QString& address)
{
    m_editLocalIp->setText(address);
    m_btnPdpAct->setEnabled(false);
    m_btnDeact->setEnabled(true);
    m_btnConnect->setEnabled(true);
    m_btnSend->setEnabled(false);
    m_btnQuery->setEnabled(false);
    m_chkEchoShow->setEnabled(true);
}

void CFunctionTestDlg_tcpip::ApplyConnected()
{
    m_btnConnect->setText(kClose);
    m_btnConnect->setEnabled(true);
    // Raw sends only when the (hidden) transfer-mode choice says transparent.
    m_shared.transparentMode = m_radioUntransparent->isChecked() ? 0 : 1;
    for (QWidget* w : {static_cast<QWidget*>(m_radioIp), static_cast<QWidget*>(m_radioDomain),
             static_cast<QWidget*>(m_cmbProtocol), static_cast<QWidget*>(m_cmbAccessMode)})
        w->setEnabled(false);
    m_btnSend->setEnabled(true);
    m_chkAutoQuery->setEnabled(true);
    m_chkAutoQuery->setChecked(true);
    OnCheckAutoQuery();
    m_editPeriod->setEnabled(true);
    m_chkEchoShow->setEnabled(true);
}

void CFunctionTestDlg_tcpip::ApplyDisconnected()
{
    m_chkEchoShow->setChecked(false);
    m_shared.echoMode = 0;
    m_btnConnect->setText(kConnect);
    m_btnConnect->setEnabled(true);
    m_btnSend->setEnabled(false);
    m_btnQuery->setEnabled(false);
    for (QWidget* w : {static_cast<QWidget*>(m_radioIp), static_cast<QWidget*>(m_radioDomain),
             static_cast<QWidget*>(m_cmbProtocol), static_cast<QWidget*>(m_cmbAccessMode),
             static_cast<QWidget*>(m_chkEchoShow)})
        w->setEnabled(true);
}

bool CFunctionTestDlg_tcpip::Connected() const
{
    return m_btnConnect->text() == kClose;
}

void CFunctionTestDlg_tcpip::OnPortLost()
{
    // No context and no connection survive the module.
    ApplyDisconnected();
    ApplyNoContext();
    m_bContextDeactivated = 0;
    m_bConnectionClosed = 0;
}

void CFunctionTestDlg_tcpip::WorkerEnded()
{
    ReadIfPending(m_shared, [this](const QString& id) { QueueRead(id); });
}

// --- Buttons

void CFunctionTestDlg_tcpip::OnButtonPdpAct()
{
    if (!CanStart())
        return;
    if (!theApp.Mcc().isEmpty() && !theApp.Mnc().isEmpty())
        SaveSettings();
    const PdpSettings s {m_editApn->text(), m_editUser->text(), m_editPassword->text(), m_cmbAuth->currentIndex()};
    if (const QString problem = CheckAccessPoint(s.apn, s.user, s.password); !problem.isEmpty()) {
        ShowMessageBox(problem);
        return;
    }
    const int type = GetModuleType();
    QPointer<CFunctionTestDlg_tcpip> self(this);
    ModemSession& session = Session();
    const bool started = m_workers.Start([self, s, type, &session](TaskGate::Token& t) {
        const PdpOutcome out = PdpActivate(session, t, type, s);
        if (out.active)
            theApp.m_bTcpContextActive = 1;
        Gui::Post([self, out] {
            if (!self)
                return;
            if (out.active)
                self->ApplyContextUp(out.address);
            else
                self->ApplyActivationFailed();
            self->WorkerEnded();
        });
    });
    if (started) {
        m_btnPdpAct->setEnabled(false);
        m_cmbAuth->setEnabled(false);
    }
}

void CFunctionTestDlg_tcpip::OnButtonDeact()
{
    if (!CanStart())
        return;
    const int type = GetModuleType();
    QPointer<CFunctionTestDlg_tcpip> self(this);
    ModemSession& session = Session();
    m_workers.Start([self, type, &session](TaskGate::Token& t) {
        Deactivate(session, t, type);
        theApp.m_bTcpContextActive = 0;
        Gui::Post([self] {
            if (self) {
                self->ApplyNoContext();
                self->WorkerEnded();
            }
        });
    });
}

QString CFunctionTestDlg_tcpip::CheckConnectFields() const
{
    QString address;
    if (m_radioIp->isChecked())
        address = CheckIpv4Field(QStringLiteral("Server IP"), m_editServerIp->text());
    else if (m_editServerName->text().trimmed().isEmpty())
        address = QStringLiteral("\"Server name\" is empty!");
    else
        address = CheckQuotedField(QStringLiteral("Server name"), m_editServerName->text());
    return FirstProblem({address, CheckPortField(QStringLiteral("Server port"), m_editServerPort->text())});
}

ConnectSettings CFunctionTestDlg_tcpip::ReadConnectSettings() const
{
    ConnectSettings s;
    s.tcp = m_cmbProtocol->currentIndex() == 0;
    s.accessMode = m_cmbAccessMode->currentIndex();
    s.domain = !m_radioIp->isChecked();
    s.address = s.domain ? m_editServerName->text() : Octets(m_editServerIp->text()).join('.');
    s.port = m_editServerPort->text();
    return s;
}

bool CFunctionTestDlg_tcpip::StartConnect(std::function<void(bool connected)> done)
{
    if (!CanStart())
        return false;
    const bool closing = Connected();
    const ConnectSettings s = ReadConnectSettings();
    if (!closing) {
        if (const QString problem = CheckConnectFields(); !problem.isEmpty()) {
            ShowMessageBox(problem);
            return false;
        }
    }
    const int type = GetModuleType();
    QPointer<CFunctionTestDlg_tcpip> self(this);
    ModemSession& session = Session();
    TcpIpShared* shared = &m_shared;
    const bool started = m_workers.Start([self, s, type, closing, done, shared, &session](TaskGate::Token& t) {
        bool connected = false;
        if (closing)
            CloseConnection(session, t, type, *shared);
        else
            connected = OpenConnection(session, t, type, s);
        Gui::Post([self, closing, connected, done] {
            if (!self)
                return;
            if (closing)
                self->ApplyDisconnected();
            else if (connected)
                self->ApplyConnected();
            else
                self->m_chkEchoShow->setEnabled(true);
            self->m_btnConnect->setEnabled(true);
            self->WorkerEnded();
            if (done)
                done(connected);
        });
    });
    if (started && !closing)
        m_chkEchoShow->setEnabled(false);
    return started;
}

void CFunctionTestDlg_tcpip::OnButtonConnect()
{
    StartConnect({});
}

void CFunctionTestDlg_tcpip::OnButtonSend()
{
    if (!CanStart() || !Connected())
        return;
    const QByteArray data = m_editSend->toPlainText().toUtf8();
    if (data.isEmpty()) {
        ShowMessageBox(QStringLiteral("Please input the sending data!"));
        return;
    }
    if (m_shared.transparentMode.load()) {
        Session().Transmitter().SendRawBytes(data);
        return;
    }
    bool ok = false;
    const int period = m_editPeriod->text().trimmed().toInt(&ok);
    if (!ok || period < 1 || period > 15000) {
        ShowMessageBox(QStringLiteral("The interval time is invalid!"));
        return;
    }
    SendSettings s;
    s.data = data;
    s.tcp = m_cmbProtocol->currentIndex() == 0;
    s.autoQuery = m_chkAutoQuery->isChecked();
    s.periodMs = period;
    const int type = GetModuleType();
    QPointer<CFunctionTestDlg_tcpip> self(this);
    ModemSession& session = Session();
    TcpIpShared* shared = &m_shared;
    const bool started = m_workers.Start([self, s, type, shared, &session](TaskGate::Token& t) {
        shared->readPending = 0;
        SendData(session, t, type, s, *shared);
        Gui::Post([self, tcp = s.tcp] {
            if (!self)
                return;
            if (tcp)
                self->m_chkAutoQuery->setEnabled(true);
            self->m_btnSend->setEnabled(self->Connected());
            self->OnCheckAutoQuery();
            self->WorkerEnded();
        });
    });
    if (started) {
        m_btnSend->setEnabled(false);
        m_btnQuery->setEnabled(false);
        m_chkAutoQuery->setEnabled(false);
    }
}

void CFunctionTestDlg_tcpip::OnButtonQuery()
{
    if (!CanStart())
        return;
    Session().Transmitter().SendToModule(GetModuleType() == 0 ? "AT+JISACK" : "AT+JISEND=0,0", 0, true);
}

void CFunctionTestDlg_tcpip::OnCheckAutoQuery()
{
    const bool autoQuery = m_chkAutoQuery->isChecked();
    m_editPeriod->setReadOnly(!autoQuery);
    if (Connected())
        m_btnQuery->setEnabled(!autoQuery);
}

void CFunctionTestDlg_tcpip::OnCheckEchoShow()
{
    if (m_chkEchoShow->isChecked()) {
        CEchoShowDlg guide(this, this);
        guide.exec();
        if (guide.Counter() <= 2)
            m_chkEchoShow->setChecked(false);
    }
    m_shared.echoMode = m_chkEchoShow->isChecked() ? 1 : 0;
}

void CFunctionTestDlg_tcpip::OnRadioIp()
{
    m_radioDomain->setChecked(false);
    m_editServerIp->show();
    m_editServerName->hide();
    m_lblServer->setText(QStringLiteral("Server IP:"));
}

void CFunctionTestDlg_tcpip::OnRadioDomain()
{
    m_radioIp->setChecked(false);
    m_editServerIp->hide();
    m_editServerName->show();
    m_lblServer->setText(QStringLiteral("Server name:"));
}

void CFunctionTestDlg_tcpip::OnSelchangeProtocol()
{
    const bool tcp = m_cmbProtocol->currentIndex() == 0;
    for (QWidget* w : {static_cast<QWidget*>(m_chkAutoQuery), static_cast<QWidget*>(m_editPeriod),
             static_cast<QWidget*>(m_btnQuery), static_cast<QWidget*>(m_lblMs)})
        w->setVisible(tcp);
}

void CFunctionTestDlg_tcpip::OnButtonClearSend()
{
    m_editSend->clear();
}

void CFunctionTestDlg_tcpip::OnButtonClearReceive()
{
    m_editReceive->clear();
}

void CFunctionTestDlg_tcpip::showEvent(QShowEvent* e)
{
    PageDialog::showEvent(e);
    // A flag raised while another page was on show has no effect, as when the
    // timer took it then.
    if (m_bHiddenItself) {
        m_bContextDeactivated = 0;
        m_bConnectionClosed = 0;
    }
    if (!m_timer->isActive())
        m_timer->start();
}

void CFunctionTestDlg_tcpip::hideEvent(QHideEvent* e)
{
    // Hidden with its window the page is still the current one: its flags count
    // when the window comes back.
    m_bHiddenItself = isHidden();
    m_timer->stop();
    PageDialog::hideEvent(e);
}

void CFunctionTestDlg_tcpip::OnTimer()
{
    if (Session().Gate().Running())
        return;
    // A flag raised while another page was on show has no effect.
    const bool current = !isHidden();
    if (m_bContextDeactivated.exchange(0)) {
        if (current)
            ApplyNoContext();
    } else if (m_bConnectionClosed.exchange(0)) {
        if (current) {
            ApplyDisconnected();
            ShowMessageBox(QStringLiteral("The TCP/UDP connection is closed!"));
        }
    }
}

// --- Echo test

void CFunctionTestDlg_tcpip::PresetEchoServer(const QString& port)
{
    m_editServerPort->setText(port);
    m_radioIp->setChecked(true);
    OnRadioIp();
    m_lblServer->setText(QStringLiteral("Server IP:"));
}

bool CFunctionTestDlg_tcpip::StartEchoRequest(std::function<void(bool echoed)> done)
{
    if (!CanStart())
        return false;
    const int type = GetModuleType();
    QPointer<CFunctionTestDlg_tcpip> self(this);
    ModemSession& session = Session();
    TcpIpShared* shared = &m_shared;
    return m_workers.Start([self, type, done, shared, &session](TaskGate::Token& t) {
        const bool echoed = SendEchoRequest(session, t, type, *shared);
        Gui::Post([self, echoed, done] {
            if (!self)
                return;
            self->WorkerEnded();
            if (done)
                done(echoed);
        });
    });
}

CEchoShowDlg::CEchoShowDlg(CFunctionTestDlg_tcpip* page, QWidget* parent)
    : QDialog(parent)
    , m_page(page)
{
    setObjectName(QStringLiteral("CEchoShowDlg"));
    setWindowTitle(QStringLiteral("Echo show"));
    resize(420, 260);
    m_lblTitle = new QLabel(this);
    m_lblTitle->setObjectName(QStringLiteral("1435"));
    m_lblTitle->setGeometry(16, 10, 200, 24);
    QFont title(QStringLiteral("Arial Unicode MS"));
    title.setPixelSize(12);
    title.setWeight(QFont::DemiBold);
    m_lblTitle->setFont(title);
    m_editGuide = RichEdit(this, "1434", 16, 40, 388, 160);
    m_editGuide->setReadOnly(true);
    m_btnNext = Button(this, QStringLiteral("Next"), "1392", 230, 214);
    m_btnExit = Button(this, QStringLiteral("Exit"), "1436", 322, 214);
    m_editPort = Edit(this, "1448", 0, 0, 0);
    m_editPort->hide();
    m_btnNext->BuildDialogSkin();
    m_btnExit->BuildDialogSkin();
    connect(m_btnNext, &QPushButton::clicked, this, &CEchoShowDlg::OnButtonNext);
    connect(m_btnExit, &QPushButton::clicked, this, [this] { done(QDialog::Rejected); });
    ShowStep(QStringLiteral("Step 1"),
        {QStringLiteral("Set the IP address and Port number of Echo server"), QStringLiteral("The Port is \"6003\"")});
    m_editPort->setText(QString::fromLatin1(kEchoServerPort));
}

void CEchoShowDlg::ShowStep(const QString& title, const QStringList& lines)
{
    m_lblTitle->setText(title);
    m_editGuide->setPlainText(lines.join("\r\n") + "\r\n");
    m_editGuide->moveCursor(QTextCursor::End);
}

QString CEchoShowDlg::Title() const
{
    return m_lblTitle->text();
}

QString CEchoShowDlg::GuideText() const
{
    return m_editGuide->toPlainText();
}

void CEchoShowDlg::StepDone()
{
    m_btnNext->setEnabled(true);
    m_btnExit->setEnabled(true);
}

void CEchoShowDlg::OnButtonNext()
{
    m_btnNext->setEnabled(false);
    m_btnExit->setEnabled(false);
    QPointer<CEchoShowDlg> self(this);
    auto step3 = [this] {
        ShowStep(QStringLiteral("Step 3"),
            {QStringLiteral("Retrieve the IMEI of the module"),
                QStringLiteral("Build the relation to the Echo server by sending special package data which include "
                               "the module's IMEI")});
        m_nCounter = 2;
    };
    switch (m_nCounter) {
    case 0:
        m_page->PresetEchoServer(QString::number(m_editPort->text().toInt()));
        ShowStep(QStringLiteral("Step 2"),
            {QStringLiteral("Connect to the Echo server"),
                QStringLiteral("(the detail process of the connection is shown as the right part of the main interface)")});
        m_nCounter = 1;
        StepDone();
        return;
    case 1:
        if (m_page->Connected()) {
            step3();
            StepDone();
            return;
        }
        // The connect runs as the page's own; the guide waits for its end, or
        // fails at once when it could not start.
        if (!m_page->StartConnect([self, step3](bool connected) {
                if (!self)
                    return;
                if (connected)
                    step3();
                else
                    ShowMessageBox(QStringLiteral("Fail to connect to Echo server, please retry!"));
                self->StepDone();
            })) {
            ShowMessageBox(QStringLiteral("Fail to connect to Echo server, please retry!"));
            StepDone();
        }
        return;
    case 2:
        if (!m_page->StartEchoRequest([self](bool echoed) {
                if (!self)
                    return;
                if (!echoed) {
                    ShowMessageBox(QStringLiteral("Fail to build relation to Echo server, please retry!"));
                    self->StepDone();
                    return;
                }
                self->ShowStep(QStringLiteral("Step 4"),
                    {QStringLiteral("Exit from this dialog and you can send the data to Echo server regardless of the "
                                    "specific data format!")});
                self->m_nCounter = 3;
                self->m_btnExit->setEnabled(true);
            })) {
            ShowMessageBox(QStringLiteral("Fail to build relation to Echo server, please retry!"));
            StepDone();
        }
        return;
    default:
        ++m_nCounter;
        StepDone();
        return;
    }
}

} // namespace ulv
