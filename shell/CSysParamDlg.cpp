#include "shell/CSysParamDlg.h"

#include "platform/IniFile.h"
#include "platform/MessageBox.h"
#include "shell/DialogLook.h"
#include "shell/core/SysParams.h"
#include "ui/controls/CColorPickerButton.h"
#include "ui/controls/ColorPalettePopup.h"
#include "ui/controls/CSkinButton.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>

namespace ulv {

namespace {

QString BrowseFolder(QWidget* parent, const QString& start)
{
    QFileDialog dlg(parent, QStringLiteral("Browse folder"), start);
    dlg.setFileMode(QFileDialog::Directory);
    dlg.setOption(QFileDialog::ShowDirsOnly, true);
    dlg.setOption(QFileDialog::DontUseNativeDialog, true);
    dlg.setLabelText(QFileDialog::LookIn, QStringLiteral("Please select the file path:"));
    dlg.setLabelText(QFileDialog::Accept, QStringLiteral("OK"));
    dlg.setLabelText(QFileDialog::Reject, QStringLiteral("CANCEL"));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return {};
    return dlg.selectedFiles().first();
}

CSysParamDlg::FolderPicker& Picker()
{
    static CSysParamDlg::FolderPicker picker = BrowseFolder;
    return picker;
}

QCheckBox* Check(QWidget* parent, const char* text, int x, int y, int w = 300)
{
    auto* c = new QCheckBox(QString::fromLatin1(text), parent);
    c->setGeometry(x, y, w, 22);
    return c;
}

QLabel* Label(QWidget* parent, const char* text, int x, int y, int w)
{
    auto* l = new QLabel(QString::fromLatin1(text), parent);
    l->setGeometry(x, y, w, 22);
    return l;
}

QLineEdit* Edit(QWidget* parent, int x, int y, int w)
{
    auto* e = new QLineEdit(parent);
    e->setGeometry(x, y, w, 22);
    return e;
}

CColorPickerButton* ColorPicker(QWidget* parent, int x, int y)
{
    auto* b = new CColorPickerButton(parent);
    b->setGeometry(x, y, 60, 24);
    return b;
}

int Checked(const QCheckBox* c)
{
    return c->isChecked() ? 1 : 0;
}

} // namespace

CSysParamDlg::FolderPicker CSysParamDlg::SetFolderPicker(FolderPicker picker)
{
    FolderPicker old = Picker();
    Picker() = picker ? std::move(picker) : FolderPicker(BrowseFolder);
    return old;
}

CSysParamDlg::CSysParamDlg(QWidget* parent)
    : QDialog(parent)
    , m_strIniPath(SysParamIniPath())
{
    setWindowTitle(QStringLiteral("System parameters set"));
    ApplyDialogLook(this);
    setFixedSize(470, 420);

    m_chkShowMaximized = Check(this, "Show maximized window when start", 20, 14);
    Label(this, "Window width:", 40, 40, 100);
    m_editWidth = Edit(this, 140, 40, 70);
    Label(this, "Window height:", 240, 40, 100);
    m_editHeight = Edit(this, 340, 40, 70);
    m_chkShowTime = Check(this, "Show the time of sent and received data", 20, 72);
    m_chkShowSendData = Check(this, "Show the send data to port", 20, 96);
    m_chkShowCrlf = Check(this, "Show <CR><LF>", 20, 120);

    m_chkSaveLog = Check(this, "Auto save log  file path:", 20, 152, 190);
    m_editLogPath = Edit(this, 40, 178, 340);
    m_btnBrowse = new CSkinButton(QStringLiteral("..."), this);
    m_btnBrowse->setGeometry(388, 177, 40, 24);
    Label(this, "File name prefix:", 40, 206, 110);
    m_editPrefix = Edit(this, 150, 206, 140);
    Label(this, "Limited file size:", 40, 234, 110);
    m_editSizeLimit = Edit(this, 150, 234, 100);
    Label(this, "bytes", 258, 234, 50);

    Label(this, "The color of sent data:", 20, 270, 200);
    m_colorSent = ColorPicker(this, 230, 269);
    Label(this, "The color of received data:", 20, 300, 200);
    m_colorReceived = ColorPicker(this, 230, 299);
    Label(this, "The color of data background:", 20, 330, 200);
    m_colorBackground = ColorPicker(this, 230, 329);

    m_chkShowReceiveData = Check(this, "show the received data from port", 20, 0);
    m_chkShowLeftView = Check(this, "show left control bar when start", 20, 0);
    m_chkUseOldMcu = Check(this, "use the old version of MCU", 20, 0);
    m_colorLeftBar = ColorPicker(this, 230, 0);
    m_editPortBuffer = Edit(this, 230, 0, 80);
    for (QWidget* hidden : std::initializer_list<QWidget*>{
             m_chkShowReceiveData, m_chkShowLeftView, m_chkUseOldMcu, m_colorLeftBar, m_editPortBuffer})
        hidden->hide();

    m_btnSave = new CSkinButton(QStringLiteral("Save"), this);
    m_btnSave->setGeometry(120, 376, 90, 28);
    m_btnExit = new CSkinButton(QStringLiteral("Exit"), this);
    m_btnExit->setGeometry(260, 376, 90, 28);
    for (CSkinButton* b : {m_btnBrowse, m_btnSave, m_btnExit})
        b->setAutoDefault(false);

    connect(m_chkShowMaximized, &QCheckBox::clicked, this, &CSysParamDlg::UpdateEnableStates);
    connect(m_chkSaveLog, &QCheckBox::clicked, this, &CSysParamDlg::UpdateEnableStates);
    connect(m_btnBrowse, &QPushButton::clicked, this, &CSysParamDlg::OnBrowse);
    connect(m_btnSave, &QPushButton::clicked, this, &CSysParamDlg::OnSave);
    connect(m_btnExit, &QPushButton::clicked, this, &CSysParamDlg::reject);
}

CSysParamDlg::~CSysParamDlg() = default;

void CSysParamDlg::showEvent(QShowEvent* event)
{
    if (!m_bInitDone) {
        m_bInitDone = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}

void CSysParamDlg::OnInitDialog()
{
    const SysParams& p = g_sysParams;
    m_colorSent->SetColor(p.SentColor());
    m_colorReceived->SetColor(p.ReceivedColor());
    m_colorBackground->SetColor(p.BackgroundColor());
    m_colorLeftBar->SetColor(p.LeftBarColor());
    m_chkShowMaximized->setChecked(p.showmaximized != 0);
    m_editWidth->setText(QString::number(p.nwidth));
    m_editHeight->setText(QString::number(p.nheight));
    m_chkShowTime->setChecked(p.showtime != 0);
    m_chkShowSendData->setChecked(p.showsenddata != 0);
    m_chkShowCrlf->setChecked(p.showCRLF != 0);
    m_chkSaveLog->setChecked(p.savelog != 0);
    m_editLogPath->setText(p.logpath);
    m_editPrefix->setText(p.logname_prefix);
    m_editSizeLimit->setText(QString::number(p.logfilesize_limited));
    m_chkShowReceiveData->setChecked(p.showreceivedata != 0);
    m_chkShowLeftView->setChecked(p.showleftview != 0);
    m_chkUseOldMcu->setChecked(p.useoldmcu != 0);
    m_editPortBuffer->setText(QString::number(p.portbuffer));
    UpdateEnableStates();

    for (CSkinButton* b : {m_btnBrowse, m_btnSave, m_btnExit}) {
        b->BuildSkin(4, 8, 20, 5, 0xFF3737);
        b->update();
    }
}

void CSysParamDlg::UpdateEnableStates()
{
    const bool sized = !m_chkShowMaximized->isChecked();
    m_editWidth->setEnabled(sized);
    m_editHeight->setEnabled(sized);
    const bool log = m_chkSaveLog->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{m_editLogPath, m_btnBrowse, m_editPrefix, m_editSizeLimit})
        w->setEnabled(log);
}

void CSysParamDlg::OnBrowse()
{
    const QString start = m_editLogPath->text().isEmpty() ? QDir::homePath() : m_editLogPath->text();
    const QString folder = Picker()(this, start);
    if (!folder.isEmpty())
        m_editLogPath->setText(folder);
}

void CSysParamDlg::OnSave()
{
    // Workers read these while they run; they never see half a change.
    std::unique_lock lock(SysParamsLock());
    SysParams& p = g_sysParams;
    p.SetSentColor(m_colorSent->GetColor());
    p.SetReceivedColor(m_colorReceived->GetColor());
    p.SetBackgroundColor(m_colorBackground->GetColor());
    p.SetLeftBarColor(m_colorLeftBar->GetColor());
    p.showmaximized = Checked(m_chkShowMaximized);
    p.nwidth = ParseLeadingInt(m_editWidth->text(), 0);
    p.nheight = ParseLeadingInt(m_editHeight->text(), 0);
    p.showtime = Checked(m_chkShowTime);
    p.showsenddata = Checked(m_chkShowSendData);
    p.showCRLF = Checked(m_chkShowCrlf);
    p.savelog = Checked(m_chkSaveLog);
    p.logpath = m_editLogPath->text();
    p.logname_prefix = m_editPrefix->text();
    p.logfilesize_limited = ParseLeadingInt(m_editSizeLimit->text(), 0);
    p.showreceivedata = Checked(m_chkShowReceiveData);
    p.showleftview = Checked(m_chkShowLeftView);
    p.useoldmcu = Checked(m_chkUseOldMcu);
    p.portbuffer = ParseLeadingInt(m_editPortBuffer->text(), 0);
    if (p.portbuffer < 1)
        p.portbuffer = 2048;
    const SysParams saved = p;
    lock.unlock();

    if (SaveSysParams(saved, m_strIniPath))
        ShowMessageBox(QStringLiteral("Success to save parameters!"));
    else
        ShowMessageBox(QStringLiteral("Fail to save parameters!"));
    Q_EMIT ParametersSaved();
}

} // namespace ulv
