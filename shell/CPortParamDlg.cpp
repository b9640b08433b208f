#include "shell/CPortParamDlg.h"

#include "platform/IniFile.h"
#include "platform/MessageBox.h"
#include "platform/TempLog.h"
#include "serial/PortEnumerator.h"
#include "shell/DialogLook.h"
#include "shell/DropDownComboBox.h"
#include "ui/controls/CFlatComboBox.h"
#include "ui/controls/CSkinButton.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>

namespace ulv {

namespace {

QStringList FoundPorts()
{
    QStringList ports;
    for (const SerialPortInfo& p : EnumerateTtyPorts())
        ports << p.devicePath;
    return ports;
}

CPortParamDlg::PortLister& Lister()
{
    static CPortParamDlg::PortLister lister = FoundPorts;
    return lister;
}

void SelectText(QComboBox* combo, const QString& text)
{
    combo->setCurrentIndex(combo->findText(text, Qt::MatchExactly));
}

// The selected entry's number; the stored value when nothing is selected (a
// stored rate missing from the list must not turn into 0).
int SelectedNumber(const QComboBox* combo, int stored)
{
    if (combo->currentIndex() < 0)
        return stored;
    return ParseLeadingInt(combo->currentText(), stored);
}

int SelectedIndex(const QComboBox* combo, int stored)
{
    return combo->currentIndex() < 0 ? stored : combo->currentIndex();
}

} // namespace

CPortParamDlg::PortLister CPortParamDlg::SetPortLister(PortLister lister)
{
    PortLister old = Lister();
    Lister() = lister ? std::move(lister) : PortLister(FoundPorts);
    return old;
}

const QStringList& CPortParamDlg::BaudRates()
{
    static const QStringList rates = {"4800", "9600", "19200", "38400", "57600", "115200", "230400", "460800",
        "921600", "2900000", "3200000", "3686400", "4000000"};
    return rates;
}

CPortParamDlg::CPortParamDlg(QWidget* parent)
    : QDialog(parent)
    , m_strIniPath(CommPortIniPath())
    , m_comboPort(new DropDownComboBox(this))
    , m_comboBaud(new CFlatComboBox(this))
    , m_comboDataBits(new CFlatComboBox(this))
    , m_comboStopBits(new CFlatComboBox(this))
    , m_comboParity(new CFlatComboBox(this))
    , m_comboFlow(new CFlatComboBox(this))
    , m_btnOk(new CSkinButton(QStringLiteral("OK"), this))
    , m_btnCancel(new CSkinButton(QStringLiteral("Cancel"), this))
    , m_labelNoPort(new QLabel(QString::fromLatin1(kNoPortText), this))
{
    m_settings.baud = m_settings.dataBits = m_settings.stopBits = 0;
    m_settings.parity = m_settings.flowCtrl = 0;

    setWindowTitle(QStringLiteral("Serial port parameter set"));
    ApplyDialogLook(this);
    setFixedSize(262, 270);

    auto* group = new QGroupBox(QStringLiteral("Serial port settings"), this);
    group->setGeometry(10, 6, 242, 212);
    const char* captions[] = {"Port:", "Baudrate:", "DataBits:", "StopBits:", "Parity:", "FlowCtrl:"};
    QComboBox* combos[] = {m_comboPort, m_comboBaud, m_comboDataBits, m_comboStopBits, m_comboParity, m_comboFlow};
    for (int i = 0; i < 6; ++i) {
        auto* label = new QLabel(QString::fromLatin1(captions[i]), this);
        label->setGeometry(24, 32 + i * 30, 72, 22);
        combos[i]->setGeometry(100, 32 + i * 30, 140, 22);
        combos[i]->setMaxVisibleItems(12);
    }
    m_comboPort->setObjectName(QStringLiteral("port"));
    m_comboPort->setEditable(true);
    m_comboPort->setInsertPolicy(QComboBox::NoInsert);
    m_comboPort->SetDropDownHook([this] {
        if (m_bPortSelectable)
            FillPortList();
    });

    m_comboPort->lineEdit()->setPlaceholderText(QStringLiteral("/dev/ttyUSB0"));
    m_labelNoPort->setObjectName(QStringLiteral("noPortNote"));
    m_labelNoPort->setWordWrap(true);
    m_labelNoPort->setGeometry(12, 224, 238, 50);
    m_labelNoPort->hide();
    m_btnOk->setGeometry(40, 230, 75, 26);
    m_btnCancel->setGeometry(147, 230, 75, 26);
    m_btnOk->setDefault(true);
    connect(m_btnOk, &QPushButton::clicked, this, &CPortParamDlg::accept);
    connect(m_btnCancel, &QPushButton::clicked, this, &CPortParamDlg::reject);
}

CPortParamDlg::~CPortParamDlg() = default;

void CPortParamDlg::showEvent(QShowEvent* event)
{
    // The caller fills m_settings after construction.
    if (!m_bInitDone) {
        OnInitDialog();
        m_bInitDone = true;
    }
    QDialog::showEvent(event);
}

void CPortParamDlg::OnInitDialog()
{
    for (CSkinButton* b : {m_btnOk, m_btnCancel})
        b->BuildDialogSkin();

    if (m_bPortSelectable) {
        FillPortList();
    } else {
        m_comboPort->setCurrentIndex(-1);
        m_comboPort->setEnabled(false);
    }

    m_comboBaud->addItems(BaudRates());
    SelectText(m_comboBaud, QString::number(m_settings.baud));
    m_comboDataBits->addItems({"8", "7", "6", "5", "4"});
    SelectText(m_comboDataBits, QString::number(m_settings.dataBits));
    m_comboStopBits->addItems({"1", "2"});
    m_comboStopBits->setCurrentIndex(m_settings.stopBits == 2 ? 1 : 0);
    m_comboParity->addItems({"None", "Odd", "Even", "CRC"});
    m_comboParity->setCurrentIndex(m_settings.parity >= 0 && m_settings.parity < 4 ? m_settings.parity : -1);
    m_comboFlow->addItems({"None", "HW Ctrl", "SW Ctrl"});
    m_comboFlow->setCurrentIndex(m_settings.flowCtrl >= 0 && m_settings.flowCtrl < 3 ? m_settings.flowCtrl : -1);
}

void CPortParamDlg::FillPortList()
{
    // Before the dialog shows, the stored port is the choice; afterwards what
    // the user has picked or typed is, and a typed path stays on the list.
    const QString current = m_bInitDone ? m_comboPort->currentText().trimmed() : m_settings.port;
    // Text that is not one of the entries was typed; an entry that has gone
    // (a device unplugged) just drops out.
    if (m_bInitDone && !current.isEmpty() && m_comboPort->findText(current, Qt::MatchExactly) < 0
        && !m_typedPorts.contains(current))
        m_typedPorts << current;
    QStringList ports = Lister()();
    // The stored port (a pseudo-terminal given with --port, a path typed
    // earlier) is no device the system lists, but it is the one in use.
    if (!m_bInitDone && !current.isEmpty() && !ports.contains(current) && QFileInfo::exists(current)
        && !m_typedPorts.contains(current))
        m_typedPorts << current;
    for (const QString& typed : m_typedPorts)
        if (!ports.contains(typed))
            ports << typed;
    std::sort(ports.begin(), ports.end(), PortNameLess);
    ports.removeDuplicates();

    m_comboPort->clear();
    m_comboPort->addItems(ports);
    m_comboPort->setCurrentIndex(current.isEmpty() ? -1 : ports.indexOf(current));
    ShowNoPortNote(ports.isEmpty());
    if (ports.isEmpty())
        m_comboPort->setFocus();
}

void CPortParamDlg::ShowNoPortNote(bool show)
{
    constexpr int kNoteHeight = 56;
    m_labelNoPort->setVisible(show);
    const int buttonsTop = show ? 230 + kNoteHeight : 230;
    m_btnOk->move(m_btnOk->x(), buttonsTop);
    m_btnCancel->move(m_btnCancel->x(), buttonsTop);
    setFixedSize(262, show ? 270 + kNoteHeight : 270);
}

void CPortParamDlg::ReadSelections()
{
    if (m_bPortSelectable)
        m_settings.port = m_comboPort->currentText().trimmed();
    m_settings.baud = SelectedNumber(m_comboBaud, m_settings.baud);
    m_settings.dataBits = SelectedNumber(m_comboDataBits, m_settings.dataBits);
    m_settings.stopBits = SelectedNumber(m_comboStopBits, m_settings.stopBits);
    m_settings.parity = SelectedIndex(m_comboParity, m_settings.parity);
    m_settings.flowCtrl = SelectedIndex(m_comboFlow, m_settings.flowCtrl);
}

bool CPortParamDlg::SaveCommportIni() const
{
    return SaveCommPortSettings(m_settings, m_strIniPath);
}

void CPortParamDlg::accept()
{
    if (m_bPortSelectable && m_comboPort->currentText().trimmed().isEmpty()) {
        m_settings.port.clear();
        ShowMessageBox(QStringLiteral("Invalid port number,system will not save it!"));
        QDialog::accept();
        return;
    }
    ReadSelections();
    if (m_bPortSelectable && !SaveCommportIni())
        TempLog::Append(QStringLiteral("Can't write %1\n").arg(m_strIniPath));
    QDialog::accept();
}

} // namespace ulv
