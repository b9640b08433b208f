#include "pages/module/CTestItemDlg_sms.h"

#include "core/at/ModemSession.h"
#include "core/at/ScriptedExchange.h"
#include "core/at/TerminalOutput.h"
#include "core/text/AnsiText.h"
#include "core/text/TextCodecs.h"
#include "pages/PageHost.h"
#include "pages/PageSession.h"
#include "pages/module/CCharTransDlg.h"
#include "pages/module/CPduGenerateDlg.h"
#include "pages/module/CReadMessageDlg.h"
#include "pages/module/CTextToHexDlg.h"
#include "pages/module/SmsToolWidgets.h"
#include "pages/module/core/EnvCheckScript.h"
#include "pages/module/core/SmsToolText.h"
#include "platform/Gui.h"
#include "platform/IniFile.h"
#include "platform/MessageBox.h"
#include "platform/TaskGate.h"
#include "shell/core/CUlvenscopeApp.h"
#include "ui/controls/CFlatComboBox.h"
#include "ui/controls/CFlatHeaderListCtrl.h"
#include "ui/controls/CHexRichEdit.h"
#include "shell/DialogLook.h"
#include "ui/controls/CSkinButton.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimer>

namespace ulv {

CTestItemDlg_sms* g_pSmsPage = nullptr;

const QString CTestItemDlg_sms::kDefaultReceiver = QStringLiteral("13800138000");
const QString CTestItemDlg_sms::kDefaultSmsc = QStringLiteral("+8613800100500");

using SmsToolWidgets::Dlu;

namespace {

// The Chinese greeting of the UCS2 sample.
const QString kUcs2Sample = QString::fromUtf8("\xE4\xBD\xA0\xE5\xA5\xBD");

QLineEdit* AddLineEdit(QWidget* page, const QString& name, int x, int y, int w, int h)
{
    auto* edit = new QLineEdit(page);
    edit->setObjectName(name);
    edit->setGeometry(Dlu(x, y, w, h));
    return edit;
}

// The box's text as the module gets it: UTF-8, line breaks as CR LF.
QByteArray BoxBytes(const CHexRichEdit* box)
{
    return EditTextBytes(box->toPlainText());
}

// An index typed into the Index box: blanks removed, a whole decimal number.
bool ParseIndexBox(const QString& text, bool* empty, int* index)
{
    QString digits = text;
    digits.remove(QLatin1Char(' '));
    *empty = digits.isEmpty();
    bool ok = false;
    *index = digits.toInt(&ok);
    return ok;
}

} // namespace

// Hands the workers' changes to the page's thread; a page that went away gets nothing.
class CTestItemDlg_sms::Sink : public SmsPageSink {
public:
    explicit Sink(CTestItemDlg_sms* page) : m_page(page) { }
    void SetStatus(const QString& text) override
    {
        Post([text](CTestItemDlg_sms* p) { p->m_labelStatus->setText(text); });
    }
    void ShowMessage(const SmsEntry& e) override
    {
        Post([e](CTestItemDlg_sms* p) { p->ShowReadMessage(e); });
    }
    void PutEntry(const SmsEntry& e) override
    {
        Post([e](CTestItemDlg_sms* p) { p->PutEntry(e); });
    }
    void AppendEntry(const SmsEntry& e) override
    {
        Post([e](CTestItemDlg_sms* p) { p->AppendEntry(e); });
    }
    void ClearEntries() override
    {
        Post([](CTestItemDlg_sms* p) { p->m_listMessages->DeleteAllItems(); });
    }
    void EntryDeleted(const QString& index) override
    {
        Post([index](CTestItemDlg_sms* p) {
            p->RemoveEntriesOf(index);
            p->m_editIndex->clear();
        });
    }
    void AllDeleted() override
    {
        Post([](CTestItemDlg_sms* p) {
            p->m_listMessages->DeleteAllItems();
            p->m_editIndex->clear();
        });
    }

private:
    template <class Fn>
    void Post(Fn fn)
    {
        Gui::Post([page = m_page, fn = std::move(fn)] {
            if (page)
                fn(page.data());
        });
    }
    QPointer<CTestItemDlg_sms> m_page;
};

CTestItemDlg_sms::CTestItemDlg_sms(QWidget* parent)
    : PageDialog(QStringLiteral("CTestItemDlg_sms"), parent)
{
    using SmsToolWidgets::AddButton;
    using SmsToolWidgets::AddLabel;
    using SmsToolWidgets::AddRadio;

    // The controls' places are in dialog units of the 8-point dialog font: in
    // a larger font the captions do not fit them.
    setFont(QFont(QStringLiteral("Arial Unicode MS"), 8));
    AddLabel(this, QStringLiteral("Receiver:"), 18, 22, 37, 8);
    m_editReceiver = AddLineEdit(this, QStringLiteral("1065"), 63, 20, 116, 12);
    AddLabel(this, QStringLiteral("Type:"), 18, 39, 33, 8);
    m_cmbType = new CFlatComboBox(this);
    m_cmbType->setObjectName(QStringLiteral("1031"));
    m_cmbType->setGeometry(Dlu(63, 38, 116, 12));
    AddLabel(this, QStringLiteral("Input mode:"), 18, 57, 38, 8);
    m_radioKeyboard = AddRadio(this, QStringLiteral("Keyboard"), 62, 57, 45, 10);
    m_radioKeyboard->setObjectName(QStringLiteral("1356"));
    m_radioHexData = AddRadio(this, QStringLiteral("HEX data"), 113, 57, 45, 10);
    m_radioHexData->setObjectName(QStringLiteral("1357"));
    m_editMessage = SmsToolWidgets::PlaceTextBox(new CHexRichEdit(this), QStringLiteral("message"), 18, 74, 243, 57);
    m_labelStatus = AddLabel(this, QString(), 18, 137, 91, 15);
    m_labelStatus->setObjectName(QStringLiteral("1562"));
    m_btnSend = AddButton(this, QStringLiteral("Send message"), 124, 138, 57, 12);
    m_btnConversion = AddButton(this, QStringLiteral("Conversion tool"), 192, 138, 57, 12);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(Dlu(0, 162, 268, 1));
    AddLabel(this, QStringLiteral("Index:"), 18, 183, 23, 8);
    m_editIndex = AddLineEdit(this, QStringLiteral("1040"), 46, 181, 44, 12);
    AddLabel(this, QStringLiteral("Read mode:"), 112, 183, 40, 8);
    // The two read modes are a group of their own, apart from the input modes.
    auto* readModes = new QWidget(this);
    readModes->setGeometry(Dlu(158, 182, 100, 10));
    m_radioPdu = new QRadioButton(QStringLiteral("PDU"), readModes);
    m_radioPdu->setGeometry(QRect(QPoint(0, 0), Dlu(0, 0, 31, 10).size()));
    m_radioCurrentSelect = new QRadioButton(QStringLiteral("Current select"), readModes);
    m_radioCurrentSelect->setGeometry(QRect(Dlu(33, 0, 62, 10).topLeft(), Dlu(0, 0, 62, 10).size()));
    // Each caption whole: the second mode starts after the first one's text.
    WidenBoxesToTexts(readModes);
    m_radioCurrentSelect->move(std::max(m_radioCurrentSelect->x(), m_radioPdu->geometry().right() + 6), 0);
    readModes->resize(std::max(readModes->width(), m_radioCurrentSelect->geometry().right() + 1), readModes->height());
    m_btnRead = AddButton(this, QStringLiteral("Read"), 18, 196, 57, 12);
    m_btnReadAll = AddButton(this, QStringLiteral("Read all"), 80, 196, 57, 12);
    m_btnDelete = AddButton(this, QStringLiteral("Delete"), 142, 196, 57, 12);
    m_btnDeleteAll = AddButton(this, QStringLiteral("Delete all"), 204, 196, 57, 12);
    m_listMessages = new CFlatHeaderListCtrl(this);
    m_listMessages->setObjectName(QStringLiteral("1067"));
    m_listMessages->SetDlgCtrlID(1067);
    m_listMessages->setGeometry(Dlu(18, 213, 243, 93));
    m_listMessages->setSelectionMode(QAbstractItemView::SingleSelection);
    m_editSmsc = AddLineEdit(this, QStringLiteral("1066"), 188, 361, 80, 12);
    m_editSmsc->hide();

    // OnInitDialog
    m_cmbType->addItem(QStringLiteral("GSM"));
    m_cmbType->addItem(GetModuleType() != 0 ? QStringLiteral("IRA") : QStringLiteral("8bit data"));
    m_cmbType->addItem(QStringLiteral("UCS2"));
    m_cmbType->addItem(QStringLiteral("PDU"));
    m_cmbType->setCurrentIndex(0);
    m_editReceiver->setText(kDefaultReceiver);
    m_editSmsc->setText(kDefaultSmsc);
    ApplyType(0);
    m_radioKeyboard->setChecked(true);
    m_editIndex->clear();
    const int w = m_listMessages->viewport()->width() > 0 ? m_listMessages->width() : Dlu(0, 0, 243, 0).width();
    m_listMessages->InsertColumn(0, QStringLiteral("Index"), LVCFMT_CENTER, w / 10);
    m_listMessages->InsertColumn(1, QStringLiteral("Time"), LVCFMT_LEFT, 2 * w / 10);
    m_listMessages->InsertColumn(2, QStringLiteral("Addresser"), LVCFMT_LEFT, 2 * w / 10);
    m_listMessages->InsertColumn(3, QStringLiteral("SMS Status"), LVCFMT_LEFT, 2 * w / 10);
    m_listMessages->InsertColumn(4, QStringLiteral("Content"), LVCFMT_LEFT, int(w * 0.25));
    // A share of the list is no narrower than the column's title in our fonts
    // (two pixels more for the fractions of the glyph widths).
    for (int c = 0; c < m_listMessages->GetColumnCount(); ++c)
        m_listMessages->SetColumnWidth(c,
            std::max(m_listMessages->GetColumnWidth(c), m_listMessages->GetHeaderCtrl()->CalcContentWidth(c, true) + 2));
    m_listMessages->SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    m_listMessages->DeleteAllItems();
    m_radioPdu->setChecked(true);
    m_radioCurrentSelect->setChecked(false);
    m_btnConversion->setEnabled(false);
    // The pages' skin and caption colour (0x333399).
    for (CSkinButton* b : {m_btnSend, m_btnReadAll, m_btnDeleteAll, m_btnRead, m_btnDelete, m_btnConversion})
        b->BuildDialogSkin();
    // Captions whole in our fonts, which run wider than the layout's.
    WidenBoxesToTexts(this);
    QFont boxFont(QStringLiteral("Arial Unicode MS"));
    boxFont.setPointSizeF(8.5); // 170 twips
    m_editMessage->setFont(boxFont);
    m_editMessage->setAcceptRichText(false);
    LoadSmsConfig();
    g_pSmsPage = this;
    m_timer = new QTimer(this);
    m_timer->setInterval(2000);
    connect(m_timer, &QTimer::timeout, this, &CTestItemDlg_sms::OnTimer);
    // It runs while the page is on show (showEvent / hideEvent).

    connect(m_cmbType, qOverload<int>(&QComboBox::activated), this, &CTestItemDlg_sms::OnTypeChanged);
    connect(m_radioKeyboard, &QRadioButton::clicked, this, &CTestItemDlg_sms::OnInputKeyboard);
    connect(m_radioHexData, &QRadioButton::clicked, this, &CTestItemDlg_sms::OnInputHexData);
    connect(m_editMessage, &QTextEdit::textChanged, this, &CTestItemDlg_sms::OnMessageChanged);
    connect(m_btnSend, &QPushButton::clicked, this, &CTestItemDlg_sms::OnButtonSend);
    connect(m_btnConversion, &QPushButton::clicked, this, &CTestItemDlg_sms::OnButtonConversionTool);
    connect(m_btnRead, &QPushButton::clicked, this, &CTestItemDlg_sms::OnButtonRead);
    connect(m_btnReadAll, &QPushButton::clicked, this, &CTestItemDlg_sms::OnButtonReadAll);
    connect(m_btnDelete, &QPushButton::clicked, this, &CTestItemDlg_sms::OnButtonDelete);
    connect(m_btnDeleteAll, &QPushButton::clicked, this, &CTestItemDlg_sms::OnButtonDeleteAll);
    connect(m_listMessages, &QAbstractItemView::clicked, this, &CTestItemDlg_sms::OnListClick);
    connect(m_listMessages, &QAbstractItemView::doubleClicked, this, &CTestItemDlg_sms::OnListDblClk);
}

CTestItemDlg_sms::~CTestItemDlg_sms()
{
    if (g_pSmsPage == this)
        g_pSmsPage = nullptr;
}

// --- New-message queue

bool CTestItemDlg_sms::QueueNewMessage(int index)
{
    {
        std::lock_guard<std::mutex> g(m_csQueue);
        if (m_nQueueCount < kQueueSize) {
            m_nQueue[m_nQueueWrite] = index;
            m_nQueueWrite = (m_nQueueWrite + 1) % kQueueSize;
            ++m_nQueueCount;
            return true;
        }
    }
    WriteOutputLine(kTerminalNote,
        QStringLiteral("/* %1 new messages wait already: the message at index %2 is not queued, read it by its index */")
            .arg(kQueueSize)
            .arg(index));
    return false;
}

int CTestItemDlg_sms::TakeNewMessages(int* out)
{
    std::lock_guard<std::mutex> g(m_csQueue);
    int n = 0;
    while (m_nQueueCount > 0) {
        out[n++] = m_nQueue[m_nQueueRead];
        m_nQueueRead = (m_nQueueRead + 1) % kQueueSize;
        --m_nQueueCount;
    }
    return n;
}

std::vector<int> CTestItemDlg_sms::TakeQueuedMessages()
{
    int taken[kQueueSize];
    const int n = TakeNewMessages(taken);
    return std::vector<int>(taken, taken + n);
}

void CTestItemDlg_sms::showEvent(QShowEvent* e)
{
    PageDialog::showEvent(e);
    if (!m_timer->isActive())
        m_timer->start();
}

void CTestItemDlg_sms::hideEvent(QHideEvent* e)
{
    // A hidden page asks nothing, so its timer need not wake the program.
    m_timer->stop();
    PageDialog::hideEvent(e);
}

void CTestItemDlg_sms::OnTimer()
{
    TaskGate& gate = PageSession().Gate();
    if (!isVisible() || gate.Running())
        return;
    std::fill(std::begin(m_nNewIndexes), std::end(m_nNewIndexes), 0);
    m_nNewCount = TakeNewMessages(m_nNewIndexes);
    if (m_nNewCount <= 0)
        return;
    std::vector<int> indexes(m_nNewIndexes, m_nNewIndexes + m_nNewCount);
    int answer = IDNO;
    {
        // Nothing else starts while the question is open.
        auto token = gate.TryStart();
        if (!token)
            return;
        answer = ShowMessageBox(
            QStringLiteral("Received %1 message,do you read it?").arg(m_nNewCount), MB_YESNO | MB_ICONQUESTION);
    }
    if (answer != IDYES)
        return;
    const SmsReadRequest request = ReadRequest();
    StartWorker(nullptr, [request, indexes](const ScriptRunner& runner, SmsPageSink& sink) {
        ReadNewSmsScript(runner, request, indexes, sink);
    });
}

void CTestItemDlg_sms::LoadSmsConfig()
{
    IniFile ini(theApp.m_strParamDir + QStringLiteral("/sms_config.ini"));
    if (!ini.Load())
        return;
    const QString receiver = ini.GetString(QStringLiteral("RECIEVENUMBER"), QStringLiteral("number"));
    const QString smsc = ini.GetString(QStringLiteral("CENTERNUMBER"), QStringLiteral("number"));
    if (ini.HasKey(QStringLiteral("RECIEVENUMBER"), QStringLiteral("number")))
        m_editReceiver->setText(receiver.left(259));
    if (ini.HasKey(QStringLiteral("CENTERNUMBER"), QStringLiteral("number")))
        m_editSmsc->setText(smsc.left(259));
}

// --- Types and input modes

void CTestItemDlg_sms::SetBoxText(const QString& text)
{
    QString plain = text;
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    m_editMessage->setPlainText(plain);
}

void CTestItemDlg_sms::OnTypeChanged(int selection)
{
    if (selection == m_nType)
        return;
    m_nType = selection;
    ApplyType(selection);
}

void CTestItemDlg_sms::ImportPdu(const QString& pdu)
{
    if (m_nType != kSmsTypePdu) {
        m_nType = kSmsTypePdu;
        const QSignalBlocker quiet(m_cmbType);
        m_cmbType->setCurrentIndex(kSmsTypePdu);
        ApplyType(kSmsTypePdu, false);
    }
    m_editMessage->setPlainText(pdu);
}

void CTestItemDlg_sms::ApplyType(int type, bool sample)
{
    const int moduleType = GetModuleType();
    m_editMessage->clear();
    const bool hexStart = type == kSmsTypePdu || (type == kSmsTypeIraOr8Bit && moduleType == 0);
    m_radioKeyboard->setEnabled(!hexStart);
    m_radioHexData->setEnabled(true);
    m_radioKeyboard->setChecked(!hexStart);
    m_radioHexData->setChecked(hexStart);
    m_nInputMode = hexStart ? 1 : 0;
    m_btnConversion->setEnabled(hexStart);
    if (type == kSmsTypeGsm || (type == kSmsTypeIraOr8Bit && moduleType != 0)) {
        SetBoxText(QStringLiteral("hello"));
    } else if (type == kSmsTypeIraOr8Bit) {
        SetBoxText(QStringLiteral("68 65 6c 6c 6f "));
    } else if (type == kSmsTypeUcs2) {
        SetBoxText(kUcs2Sample);
    } else if (type == kSmsTypePdu && sample) {
        QString smsc = m_editSmsc->text();
        QString receiver = m_editReceiver->text();
        smsc.remove(QLatin1Char('+'));
        receiver.remove(QLatin1Char('+'));
        if (smsc.isEmpty()) {
            ShowMessageBox(QStringLiteral(
                "Fail to generate PDU string of \"hello\" automatically because of the invalid SMSC!"));
        } else if (receiver.isEmpty()) {
            ShowMessageBox(QStringLiteral(
                "Fail to generate PDU string of \"hello\" automatically because of the invalid receiver number!"));
        } else {
            QByteArray pdu;
            BuildPdu(WithCountryPrefix86(smsc).toUtf8(), WithCountryPrefix86(receiver).toUtf8(), "hello",
                kPduCoding7Bit, pdu);
            // A number the PDU cannot carry (letters, too many digits) gives no sample.
            if (pdu.isEmpty())
                ShowMessageBox(QStringLiteral(
                    "Fail to generate PDU string of \"hello\" automatically because of the invalid receiver number!"));
            else
                SetBoxText(QString::fromLatin1(pdu));
        }
    }
    m_editMessage->setFocus();
    m_editMessage->selectAll();
    m_radioHexData->setText(type == kSmsTypeUcs2 ? QStringLiteral("UCS2") : QStringLiteral("Hex data"));
    m_editMessage->SetHexOnly(m_nInputMode == 1);
    if (moduleType == 1)
        for (CSkinButton* b : {m_btnSend, m_btnRead, m_btnReadAll})
            b->setEnabled(true);
}

void CTestItemDlg_sms::OnInputHexData()
{
    m_btnConversion->setEnabled(true);
    if (m_nInputMode != 1) {
        m_nInputMode = 1;
        const int moduleType = GetModuleType();
        const QByteArray text = BoxBytes(m_editMessage);
        if (m_nType == kSmsTypeGsm || (m_nType == kSmsTypeIraOr8Bit && moduleType != 0))
            SetBoxText(QString::fromLatin1(BytesToSpacedHex(text)));
        else if (m_nType == kSmsTypeUcs2)
            SetBoxText(QString::fromLatin1(TextToUcs2Hex(text)));
    }
    m_editMessage->SetHexOnly(true);
}

void CTestItemDlg_sms::OnInputKeyboard()
{
    m_btnConversion->setEnabled(false);
    if (m_nInputMode != 0) {
        m_nInputMode = 0;
        const QByteArray hex = m_editMessage->toPlainText().toLatin1();
        if (m_nType == kSmsTypeGsm || (m_nType == kSmsTypeIraOr8Bit && GetModuleType() != 0))
            SetBoxText(AnsiToString(HexToText(hex)));
        else if (m_nType == kSmsTypeUcs2)
            SetBoxText(AnsiToString(FromUcs2Hex(hex)));
    }
    m_editMessage->SetHexOnly(false);
}

void CTestItemDlg_sms::OnMessageChanged()
{
    const QString text = m_editMessage->toPlainText();
    const int selection = m_cmbType->currentIndex();
    const bool keyboard = m_radioKeyboard->isChecked();
    const int units = int(text.size());
    int limit = 0, count = 0;
    if (selection == kSmsTypeGsm || selection == kSmsTypeIraOr8Bit) {
        limit = keyboard ? 160 : 320;
        count = keyboard ? units : units - int(text.count(QLatin1Char(' ')));
    } else if (selection == kSmsTypeUcs2) {
        limit = keyboard ? 70 : 280;
        count = units;
    } else {
        return;
    }
    if (count <= limit) {
        m_btnSend->setEnabled(true);
        return;
    }
    m_btnSend->setEnabled(false);
    ShowMessageBox(QStringLiteral("Input data can't be more than %1").arg(limit));
}

// --- Workers

bool CTestItemDlg_sms::CanStart() const { return PageCanStartTask(); }

SmsReadRequest CTestItemDlg_sms::ReadRequest() const
{
    SmsReadRequest r;
    r.pduMode = m_radioPdu->isChecked();
    r.selection = m_cmbType->currentIndex();
    r.moduleType = GetModuleType();
    r.subModel = GetModuleSubModel();
    return r;
}

bool CTestItemDlg_sms::StartWorker(CSkinButton* button, std::function<void(const ScriptRunner&, SmsPageSink&)> body)
{
    QPointer<CTestItemDlg_sms> page(this);
    QPointer<CSkinButton> pressed(button);
    ModemSession& session = PageSession();
    const bool started = m_workers.Start([page, pressed, &session, body = std::move(body)](const TaskGate::Token& t) {
        const ScriptRunner runner(session, t);
        Sink sink(page.data());
        body(runner, sink);
        Gui::Post([pressed] {
            if (pressed)
                pressed->setEnabled(true);
        });
    });
    if (started && button)
        button->setEnabled(false);
    return started;
}

void CTestItemDlg_sms::OnButtonSend()
{
    if (!CanStart())
        return;
    if (m_editReceiver->text().isEmpty()) {
        ShowMessageBox(QStringLiteral("There is no sending number!"));
        return;
    }
    SmsSendRequest request;
    request.type = m_nType;
    request.inputMode = m_nInputMode;
    request.moduleType = GetModuleType();
    request.text = BoxBytes(m_editMessage);
    request.number = m_editReceiver->text();
    StartWorker(m_btnSend, [request](const ScriptRunner& runner, SmsPageSink& sink) {
        SendSmsScript(runner, request, sink);
    });
}

void CTestItemDlg_sms::OnButtonRead()
{
    if (!CanStart())
        return;
    bool empty = false;
    int index = 0;
    const bool number = ParseIndexBox(m_editIndex->text(), &empty, &index);
    if (empty) {
        ShowMessageBox(QStringLiteral("Please input the index!"));
        return;
    }
    m_nMaxIndex = g_nSmsStorageCapacity.load();
    const int first = GetModuleType() == 0 ? 1 : 0;
    if (!number || index < first || index > m_nMaxIndex) {
        ShowMessageBox(QStringLiteral("The index number is invalid!"));
        return;
    }
    const SmsReadRequest request = ReadRequest();
    StartWorker(m_btnRead, [request, index](const ScriptRunner& runner, SmsPageSink& sink) {
        ReadSmsScript(runner, request, index, sink);
    });
}

void CTestItemDlg_sms::OnButtonReadAll()
{
    if (!CanStart())
        return;
    const SmsReadRequest request = ReadRequest();
    StartWorker(m_btnReadAll,
        [request](const ScriptRunner& runner, SmsPageSink& sink) { ReadAllSmsScript(runner, request, sink); });
}

void CTestItemDlg_sms::OnButtonDelete()
{
    if (!CanStart())
        return;
    bool empty = false;
    int index = 0;
    const bool number = ParseIndexBox(m_editIndex->text(), &empty, &index);
    if (empty) {
        ShowMessageBox(QStringLiteral("Please input the index!"));
        return;
    }
    // "1,4" is no index: sent as it stands it would delete every read message.
    if (!number || index < 0 || index > 500) {
        ShowMessageBox(QStringLiteral("The index number is invalid!"));
        return;
    }
    StartWorker(m_btnDelete,
        [index](const ScriptRunner& runner, SmsPageSink& sink) { DeleteSmsScript(runner, index, sink); });
}

void CTestItemDlg_sms::OnButtonDeleteAll()
{
    if (!CanStart())
        return;
    const int moduleType = GetModuleType();
    const int subModel = GetModuleSubModel();
    StartWorker(m_btnDeleteAll, [moduleType, subModel](const ScriptRunner& runner, SmsPageSink& sink) {
        DeleteAllSmsScript(runner, moduleType, subModel, sink);
    });
}

void CTestItemDlg_sms::OnButtonConversionTool()
{
    const int selection = m_cmbType->currentIndex();
    if (selection == kSmsTypePdu) {
        CPduGenerateDlg dlg(this);
        dlg.m_strRecipient = m_editReceiver->text();
        dlg.m_strSmsc = m_editSmsc->text();
        dlg.exec();
        m_editSmsc->setText(dlg.m_strSmsc);
    } else if (selection == kSmsTypeIraOr8Bit && GetModuleType() == 0) {
        CCharTransDlg dlg(this);
        dlg.exec();
    } else {
        CTextToHexDlg dlg(this);
        dlg.m_nMode = selection == kSmsTypeUcs2 ? 1 : 0;
        dlg.exec();
    }
}

// --- The list and the read-message dialog

SmsEntry CTestItemDlg_sms::EntryOfRow(int row) const
{
    SmsEntry e;
    e.index = m_listMessages->GetItemText(row, 0);
    e.time = m_listMessages->GetItemText(row, 1);
    e.addresser = m_listMessages->GetItemText(row, 2);
    e.status = m_listMessages->GetItemText(row, 3);
    e.content = m_listMessages->GetItemText(row, 4);
    return e;
}

void CTestItemDlg_sms::AppendEntry(const SmsEntry& e)
{
    const int row = m_listMessages->InsertItem(m_listMessages->GetItemCount(), QStringLiteral("1"));
    const QString texts[] = {e.index, e.time, e.addresser, e.status, e.content};
    for (int c = 0; c < 5; ++c)
        m_listMessages->SetItemText(row, c, texts[c]);
}

void CTestItemDlg_sms::PutEntry(const SmsEntry& e)
{
    for (int row = 0; row < m_listMessages->GetItemCount(); ++row) {
        if (m_listMessages->GetItemText(row, 0) == e.index) {
            m_listMessages->SetItemText(row, 1, e.time);
            m_listMessages->SetItemText(row, 2, e.addresser);
            m_listMessages->SetItemText(row, 3, e.status);
            m_listMessages->SetItemText(row, 4, e.content);
            return;
        }
    }
    AppendEntry(e);
}

void CTestItemDlg_sms::RemoveEntriesOf(const QString& index)
{
    for (int row = m_listMessages->GetItemCount() - 1; row >= 0; --row)
        if (m_listMessages->GetItemText(row, 0) == index)
            m_listMessages->DeleteItem(row);
}

void CTestItemDlg_sms::OnListClick(const QModelIndex& index)
{
    if (index.row() >= 0)
        m_editIndex->setText(m_listMessages->GetItemText(index.row(), 0));
}

void CTestItemDlg_sms::OnListDblClk(const QModelIndex& index)
{
    const int row = index.isValid() ? index.row() : m_listMessages->GetSelectionMark();
    if (row >= 0 && row < m_listMessages->GetItemCount())
        ShowReadMessage(EntryOfRow(row));
}

CReadMessageDlg* CTestItemDlg_sms::ReadDialog() const
{
    return m_readDlg.data();
}

void CTestItemDlg_sms::ShowReadMessage(const SmsEntry& entry)
{
    m_pendingShows.push_back(entry);
    if (!m_readDlg)
        ShowNextReadMessage();
}

void CTestItemDlg_sms::ShowNextReadMessage()
{
    if (m_pendingShows.empty())
        return;
    const SmsEntry e = m_pendingShows.front();
    m_pendingShows.pop_front();
    auto* dlg = new CReadMessageDlg(this);
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    dlg->m_strAddresser = e.addresser;
    dlg->m_strTime = e.time;
    dlg->m_strContent = e.content;
    dlg->m_strStatus = e.status;
    m_readDlg = dlg;
    // The messages of one batch come one after the other, as the user closes each.
    connect(dlg, &QDialog::finished, this, [this] { QTimer::singleShot(0, this, [this] { ShowNextReadMessage(); }); });
    dlg->open();
}

} // namespace ulv
