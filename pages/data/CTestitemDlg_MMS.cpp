#include "pages/data/CTestitemDlg_MMS.h"

#include "atlib/core/ApnDatabase.h"
#include "atlib/core/DatabaseFiles.h"
#include "core/at/ModemSession.h"
#include "core/at/TerminalOutput.h"
#include "core/text/CommandFieldCheck.h"
#include "pages/PageHost.h"
#include "pages/PageSession.h"
#include "pages/data/RecommendedApnFill.h"
#include "pages/data/MmsFileChooser.h"
#include "platform/Gui.h"
#include "platform/IniFile.h"
#include "platform/MessageBox.h"
#include "shell/core/CUlvenscopeApp.h"
#include "ui/controls/CFlatComboBox.h"
#include "ui/controls/CImageButton.h"
#include "ui/controls/CSkinButton.h"
#include "ui/controls/CTextProgressCtrl.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>

namespace ulv {

namespace {

const QString kSection = QStringLiteral("MMS");
const QStringList kCharsets = {QStringLiteral("ASCII"), QStringLiteral("UTF8"), QStringLiteral("UCS2"),
    QStringLiteral("GBK")};

// Values of the maker's own test set-up; the settings file replaces them.
const QString kDefaultUrl = QStringLiteral("http://mmsc.example.net/mms");
const QString kDefaultProxy = QStringLiteral("192.0.2.172");
const QString kDefaultCc = QStringLiteral("cc@example.com");
const QString kDefaultBcc = QStringLiteral("bcc@example.com");
// "MMS test title" in hexadecimal.
const QString kDefaultTitle = QStringLiteral("4D4D532074657374207469746C65");

QLabel* Label(QWidget* parent, const QString& text, int x, int y, int w = 150)
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

CSkinButton* Button(QWidget* parent, const QString& text, const char* id, int x, int y, int w)
{
    auto* b = new CSkinButton(text, parent);
    b->setObjectName(QString::fromLatin1(id));
    b->setGeometry(x, y, w, 24);
    return b;
}

CFlatComboBox* Combo(QWidget* parent, const char* id, int x, int y, int w)
{
    auto* c = new CFlatComboBox(parent);
    c->setObjectName(QString::fromLatin1(id));
    c->addItems(kCharsets);
    c->setGeometry(x, y, w, 24);
    return c;
}

// The stored index of a combo box, read as atoi reads it; an index the box
// does not have selects the first entry instead of none.
int StoredIndex(const QString& text)
{
    QString digits;
    QString t = text.trimmed();
    qsizetype i = 0;
    if (i < t.size() && (t[i] == '-' || t[i] == '+'))
        digits += t[i++];
    while (i < t.size() && t[i].isDigit() && digits.size() < 9)
        digits += t[i++];
    const int index = digits.toInt();
    return index >= 0 && index < kCharsets.size() ? index : 0;
}

} // namespace

CTestitemDlg_MMS::CTestitemDlg_MMS(QWidget* parent)
    : PageDialog(QStringLiteral("CTestitemDlg_MMS"), parent)
{
    const int xl = 16, xe = 176, we = 200;
    Label(this, QStringLiteral("Access Point Name:"), xl, 12);
    m_editApn = Edit(this, "1468", xe, 12, we);
    m_btnApnSelect = new CImageButton(this);
    m_btnApnSelect->setObjectName(QStringLiteral("1470"));
    m_btnApnSelect->setGeometry(xe + we + 4, 12, 22, 22);
    m_btnApnSelect->SetTransparent(false);
    m_btnApnSelect->SetTooltipText(QStringLiteral("Select APN that are recommended!"));
    m_btnApnSelect->hide();
    Label(this, QStringLiteral("User name:"), xl, 40);
    m_editUser = Edit(this, "1027", xe, 40, we);
    Label(this, QStringLiteral("Password:"), xl, 68);
    m_editPassword = Edit(this, "1469", xe, 68, we);
    Label(this, QStringLiteral("URL of MMSC:"), xl, 104);
    m_editUrl = Edit(this, "1032", xe, 104, we);
    Label(this, QStringLiteral("Proxy address:"), xl, 132);
    m_editProxy = Edit(this, "1033", xe, 132, we);
    Label(this, QStringLiteral("Port:"), xl, 160);
    m_editPort = Edit(this, "1034", xe, 160, we);
    Label(this, QStringLiteral("Phone number:"), xl, 196);
    m_editPhone = Edit(this, "1029", xe, 196, we);
    Label(this, QStringLiteral("Email address of CC:"), xl, 224);
    m_editCc = Edit(this, "1030", xe, 224, we);
    Label(this, QStringLiteral("Email address of BCC:"), xl, 252);
    m_editBcc = Edit(this, "1031", xe, 252, we);
    Label(this, QStringLiteral("Character type:"), xl, 288);
    m_cmbTitleType = Combo(this, "1463", xe, 288, we);
    Label(this, QStringLiteral("The content of title:"), xl, 316);
    m_editTitle = Edit(this, "1035", xe, 316, we);
    Label(this, QStringLiteral("Character type of text file:"), xl, 352);
    m_cmbTextFileType = Combo(this, "1464", xe, 352, we);
    Label(this, QStringLiteral("File 1 path:"), xl, 380);
    m_editFile1 = Edit(this, "1036", xe, 380, we);
    m_editFile1->setReadOnly(true);
    m_btnFile1 = Button(this, QStringLiteral("..."), "1465", xe + we + 4, 379, 30);
    Label(this, QStringLiteral("File 2 path:"), xl, 408);
    m_editFile2 = Edit(this, "1037", xe, 408, we);
    m_editFile2->setReadOnly(true);
    m_btnFile2 = Button(this, QStringLiteral("..."), "1466", xe + we + 4, 407, 30);
    m_btnSend = Button(this, QStringLiteral("Send"), "1467", xe, 448, 90);

    // The hidden status line and the button that shows file 2's length.
    auto* status = Label(this, QStringLiteral("Satus:"), xl, 520, 50);
    status->hide();
    auto* statusText = Label(this, QString(), xl + 50, 520, 200);
    statusText->setObjectName(QStringLiteral("1320"));
    statusText->hide();
    auto* lengthButton = new QPushButton(QStringLiteral("Button1"), this);
    lengthButton->setObjectName(QStringLiteral("1001"));
    lengthButton->hide();

    m_progress = new CTextProgressCtrl(this);
    m_progress->setObjectName(QStringLiteral("1041"));
    m_progress->setGeometry(xl, 484, xe + we - xl, 22);

    for (CSkinButton* b : {m_btnSend, m_btnFile1, m_btnFile2}) {
        b->SetTextColors(0x333399);
        b->BuildSkin(4, 8, 20, 5, 0xFF3737);
    }
    connect(m_btnSend, &QPushButton::clicked, this, &CTestitemDlg_MMS::OnButtonSend);
    connect(m_btnFile1, &QPushButton::clicked, this, &CTestitemDlg_MMS::OnButtonBrowseFile1);
    connect(m_btnFile2, &QPushButton::clicked, this, &CTestitemDlg_MMS::OnButtonBrowseFile2);
    connect(lengthButton, &QPushButton::clicked, this, &CTestitemDlg_MMS::OnButtonShowFileLength);

    m_cmbTitleType->setCurrentIndex(1);
    m_cmbTextFileType->setCurrentIndex(1);
    m_editApn->setText(QStringLiteral("UNIWAP"));
    m_editUser->clear();
    m_editPassword->clear();
    m_editPhone->clear();
    m_editCc->setText(kDefaultCc);
    m_editBcc->setText(kDefaultBcc);
    m_editUrl->setText(kDefaultUrl);
    m_editProxy->setText(kDefaultProxy);
    m_editPort->setText(QStringLiteral("80"));
    m_editTitle->setText(kDefaultTitle);
    m_editFile1->setText(theApp.m_strParamDir + QStringLiteral("/textfile.txt"));
    m_editFile2->setText(theApp.m_strParamDir + QStringLiteral("/jpgfile.jpg"));

    m_progress->SetRange(0, 100);
    m_progress->SetBarColors(0x0000FF, 0x009300);
    m_progress->SetBkColor(0x3333FF);
    m_progress->SetTextColor(0x000000);
    m_progress->SetShowText(true);
    m_progress->hide();
    LoadSettings();
}

CTestitemDlg_MMS::~CTestitemDlg_MMS() = default;

ModemSession& CTestitemDlg_MMS::Session() const { return PageSession(); }

bool CTestitemDlg_MMS::CanStart() const { return PageCanStartTask(); }

QString CTestitemDlg_MMS::SettingsPath() const
{
    return theApp.m_strParamDir + QStringLiteral("/mms_config.ini");
}

// --- Settings

void CTestitemDlg_MMS::LoadSettings()
{
    IniFile ini(SettingsPath());
    ini.Load();
    m_editUrl->setText(ini.GetString(kSection, "MMSC_URL"));
    m_editProxy->setText(ini.GetString(kSection, "MMSC_ADDR"));
    m_editPort->setText(ini.GetString(kSection, "MMSC_PORT"));
    m_editPhone->setText(ini.GetString(kSection, "PHONENUMBER"));
    m_editCc->setText(ini.GetString(kSection, "EMAIL_CC"));
    m_editBcc->setText(ini.GetString(kSection, "EMAIL_BCC"));
    m_cmbTitleType->setCurrentIndex(StoredIndex(ini.GetString(kSection, "TITLETYPE", QStringLiteral("0"))));
    m_editTitle->setText(ini.GetString(kSection, "TITLE"));
    m_cmbTextFileType->setCurrentIndex(StoredIndex(ini.GetString(kSection, "TEXTFILETYPE", QStringLiteral("0"))));
}

void CTestitemDlg_MMS::SaveSettings()
{
    IniFile ini(SettingsPath());
    ini.Load();
    ini.SetString(kSection, "MMSC_URL", m_editUrl->text());
    ini.SetString(kSection, "MMSC_ADDR", m_editProxy->text());
    ini.SetString(kSection, "MMSC_PORT", m_editPort->text());
    ini.SetString(kSection, "PHONENUMBER", m_editPhone->text());
    ini.SetString(kSection, "EMAIL_CC", m_editCc->text());
    ini.SetString(kSection, "EMAIL_BCC", m_editBcc->text());
    ini.SetString(kSection, "TITLETYPE", QString::number(m_cmbTitleType->currentIndex()));
    ini.SetString(kSection, "TITLE", m_editTitle->text());
    ini.SetString(kSection, "TEXTFILETYPE", QString::number(m_cmbTextFileType->currentIndex()));
    ini.SetString(kSection, "TEXTPATH", m_editFile1->text());
    ini.SetString(kSection, "PICTUREPATH", m_editFile2->text());
    ini.Save();
}

void CTestitemDlg_MMS::LookupRecommendedApn(const QString& mcc, const QString& mnc)
{
    FillRecommendedApn(this, {m_editApn, m_editUser, m_editPassword, &m_strSavedMcc, &m_strSavedMnc}, mcc, mnc, kApnTypeMms);
}

void CTestitemDlg_MMS::WriteStepComment(int kind, const QString& text)
{
    WriteOutputLine(kind, text);
}

// --- Send

MmsSendInput CTestitemDlg_MMS::ReadInput() const
{
    MmsSendInput in;
    in.apn = m_editApn->text();
    in.user = m_editUser->text();
    in.password = m_editPassword->text();
    in.phone = m_editPhone->text();
    in.cc = m_editCc->text();
    in.bcc = m_editBcc->text();
    in.mmscUrl = m_editUrl->text();
    in.proxy = m_editProxy->text();
    in.port = m_editPort->text();
    in.title = m_editTitle->text();
    in.titleCharset = m_cmbTitleType->currentText();
    in.file1 = m_editFile1->text();
    in.textCharset = m_cmbTextFileType->currentText();
    in.file2 = m_editFile2->text();
    return in;
}

QString CTestitemDlg_MMS::CheckFields(const MmsSendInput& in)
{
    // No proxy needs no port; a port given must be one.
    const QString port = in.port.isEmpty() ? QString() : CheckPortField(QStringLiteral("Port"), in.port);
    return FirstProblem({CheckAccessPoint(in.apn, in.user, in.password),
        CheckQuotedField(QStringLiteral("URL of MMSC"), in.mmscUrl),
        CheckQuotedField(QStringLiteral("Proxy address"), in.proxy), port,
        CheckNumberField(QStringLiteral("Phone number"), in.phone),
        CheckQuotedField(QStringLiteral("Email address of CC"), in.cc),
        CheckQuotedField(QStringLiteral("Email address of BCC"), in.bcc),
        CheckQuotedField(QStringLiteral("The content of title"), in.title)});
}

void CTestitemDlg_MMS::OnButtonSend()
{
    // Like every other start, Send waits for the running task to end and needs
    // the module's port: otherwise its commands would mix with that task's.
    if (!CanStart())
        return;
    SaveSettings();
    const MmsSendInput in = ReadInput();
    if (in.apn.isEmpty()) {
        ShowMessageBox(QStringLiteral("Please set the correct APN!"));
        return;
    }
    if (const QString problem = CheckFields(in); !problem.isEmpty()) {
        ShowMessageBox(problem);
        return;
    }
    if (in.phone.isEmpty()) {
        if (in.cc.isEmpty() && in.bcc.isEmpty()) {
            ShowMessageBox(QStringLiteral("Please set the Phone number or Email Address!"));
            return;
        }
        if (ShowMessageBox(QStringLiteral("The Phone number is not set, are you going to continue?"),
                MB_YESNO | MB_ICONQUESTION)
            == IDNO)
            return;
    }
    StartSend();
}

void CTestitemDlg_MMS::StartSend()
{
    const MmsSendInput in = ReadInput();
    QPointer<CTestitemDlg_MMS> self(this);
    QPointer<CTextProgressCtrl> bar(m_progress);
    ModemSession& session = Session();
    const bool started = m_workers.Start([self, bar, in, &session](TaskGate::Token& t) {
        const MmsProgress progress = [bar](int position, const std::optional<QString>& caption) {
            Gui::Post([bar, position, caption] {
                if (!bar)
                    return;
                bar->SetPos(position);
                if (caption)
                    bar->SetCaption(*caption);
            });
        };
        MmsSendThread(session, t, in, progress);
        Gui::Post([self] {
            if (!self)
                return;
            self->m_progress->hide();
            self->m_btnSend->setEnabled(true);
        });
    });
    if (!started)
        return;
    m_btnSend->setEnabled(false);
    m_progress->SetPos(0);
    m_progress->SetCaption(QString::fromLatin1(kMmsStep1));
    m_progress->show();
}

// --- Files

void CTestitemDlg_MMS::OnButtonBrowseFile1()
{
    const QString path = ChooseMmsFile();
    if (!path.isEmpty())
        m_editFile1->setText(path);
}

void CTestitemDlg_MMS::OnButtonBrowseFile2()
{
    const QString path = ChooseMmsFile();
    if (!path.isEmpty())
        m_editFile2->setText(path);
}

void CTestitemDlg_MMS::OnButtonShowFileLength()
{
    ShowMessageBox(QString::number(QFileInfo(m_editFile2->text()).size()));
}

} // namespace ulv
