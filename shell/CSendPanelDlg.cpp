#include "shell/CSendPanelDlg.h"

#include "atlib/CAtCommandSelectDlg.h"
#include "platform/Gui.h"
#include "platform/MessageBox.h"
#include "core/at/ModemSession.h"
#include "core/text/CommandFieldCheck.h"
#include "platform/TaskGate.h"
#include "serial/CSerialPort.h"
#include "serial/CommPortSettings.h"
#include "core/text/HexView.h"
#include "core/at/PortTransmitter.h"
#include "core/at/ReceiveBuffers.h"
#include "core/at/TerminalOutput.h"
#include "shell/DialogLook.h"
#include "shell/FrameAccelerators.h"
#include "shell/SendFileChooser.h"
#include "shell/core/CUlvenscopeApp.h"
#include "shell/core/FileSender.h"
#include "shell/core/SendPanelRules.h"
#include "shell/core/SysParams.h"
#include "ui/controls/CFlatComboBox.h"
#include "ui/controls/CSkinButton.h"
#include "ui/controls/CTextProgressCtrl.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QResizeEvent>

#include <optional>

namespace ulv {

namespace {

// Dialog units of the panel's font to pixels.
QRect Dlu(int x, int y, int w, int h)
{
    return QRect(x * 3 / 2, y * 13 / 8, std::max(1, w * 3 / 2), std::max(1, h * 13 / 8));
}

const QString kSendFile = QStringLiteral("Send file");
const QString kStop = QStringLiteral("Stop");

// The line boxes' faces: the line's name with a lamp that is lit while the line
// is asserted (an unchecked box).
QImage LineFace(const QString& name, bool asserted)
{
    QImage img(34, 22, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(asserted ? QColor(0, 170, 0) : QColor(150, 150, 150));
    p.setPen(QColor(60, 60, 60));
    p.drawEllipse(QRectF(1, 6, 9, 9));
    p.setPen(QColor(0x99, 0x33, 0x33));
    QFont f(QStringLiteral("Arial"), 7);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(11, 0, 23, 22), Qt::AlignVCenter | Qt::AlignLeft, name);
    return img;
}

} // namespace

struct FileJob {
    QString path;
    int flowMode = 0;
    int portBuffer = 2048;
    ModemSession* session = nullptr;
    std::shared_ptr<CSerialPort> port;
    std::function<bool()> ctsClear;
    QPointer<CSendPanelDlg> panel;
    std::shared_ptr<CSendPanelDlg::SenderState> state;
};

CSendPanelDlg::CSendPanelDlg(QWidget* parent)
    : CSkinDialog(parent)
{
    setWindowFlags(Qt::Widget);
    setFont(QFont(QStringLiteral("Arial Unicode MS"), 8));
    resize(Dlu(0, 0, 884, 152).size());
    ApplyDialogLook(this);

    m_radioText = new QRadioButton(QStringLiteral("Text"), this);
    m_radioText->setGeometry(Dlu(5, 8, 32, 10));
    m_radioHex = new QRadioButton(QStringLiteral("Hex"), this);
    m_radioHex->setGeometry(Dlu(43, 8, 28, 10));
    m_radioSpecial = new QRadioButton(QStringLiteral("SpecialChars"), this);
    m_radioSpecial->setGeometry(Dlu(77, 8, 58, 10));
    m_radioFile = new QRadioButton(QStringLiteral("File"), this);
    m_radioFile->setGeometry(Dlu(141, 8, 26, 10));
    m_labelSize = new QLabel(this);
    m_labelSize->setGeometry(Dlu(174, 8, 89, 8));
    m_checkWithEnter = new QCheckBox(QStringLiteral("Send With Enter"), this);
    m_checkWithEnter->setGeometry(Dlu(267, 8, 65, 10));

    m_editInput = new QLineEdit(this);
    m_editInput->setGeometry(Dlu(6, 22, 271, 12));
    m_editInput->setMaxLength(kInputLimit);
    m_comboSpecial = new CFlatComboBox(this);
    m_comboSpecial->setGeometry(Dlu(6, 22, 271, 12));
    m_editPath = new QLineEdit(this);
    m_editPath->setGeometry(Dlu(6, 22, 271, 12));

    m_btnSend = new CSkinButton(QStringLiteral("Send"), this);
    m_btnSend->setGeometry(Dlu(299, 22, 46, 13));
    m_btnSendFile = new CSkinButton(kSendFile, this);
    m_btnSendFile->setGeometry(Dlu(299, 22, 46, 13));
    for (CSkinButton* b : {m_btnSend, m_btnSendFile})
        b->setAutoDefault(false);

    m_progress = new CTextProgressCtrl(this);
    m_progress->setGeometry(Dlu(6, 35, 272, 13));

    m_lineMiddle = new QFrame(this);
    m_lineMiddle->setFrameShape(QFrame::HLine);
    m_lineMiddle->setFrameShadow(QFrame::Sunken);
    m_lineMiddle->setGeometry(0, Dlu(0, 49, 1, 1).y(), Dlu(0, 0, 871, 1).width(), 2);
    m_lineTop = new QFrame(this);
    m_lineTop->setFrameShape(QFrame::HLine);
    m_lineTop->setFrameShadow(QFrame::Sunken);
    m_lineTop->setGeometry(0, 0, Dlu(0, 0, 871, 1).width(), 2);

    m_checkDtr = new CImageButton(this);
    m_checkDtr->setGeometry(Dlu(45, 52, 23, 16));
    m_checkDtr->setToolTip(QStringLiteral("DTR"));
    m_checkRts = new CImageButton(this);
    m_checkRts->setGeometry(Dlu(151, 52, 23, 16));
    m_checkRts->setToolTip(QStringLiteral("RTS"));
    WidenBoxesToTexts(this);
    m_labelSize->setGeometry(m_labelSize->x(), m_labelSize->y(),
        std::max(m_labelSize->width(), m_checkWithEnter->x() - 6 - m_labelSize->x()), m_labelSize->height());

    connect(m_btnSend, &QPushButton::clicked, this, &CSendPanelDlg::OnButtonSend);
    connect(m_btnSendFile, &QPushButton::clicked, this, &CSendPanelDlg::OnButtonSendFile);
    connect(m_radioText, &QRadioButton::clicked, this, &CSendPanelDlg::OnRadioText);
    connect(m_radioHex, &QRadioButton::clicked, this, &CSendPanelDlg::OnRadioHex);
    connect(m_radioSpecial, &QRadioButton::clicked, this, &CSendPanelDlg::OnRadioSpecialChars);
    connect(m_radioFile, &QRadioButton::clicked, this, &CSendPanelDlg::OnRadioFile);
    connect(m_checkWithEnter, &QCheckBox::clicked, this, &CSendPanelDlg::OnCheckWithEnter);
    connect(m_checkDtr, &QPushButton::clicked, this, &CSendPanelDlg::OnCheckDtr);
    connect(m_checkRts, &QPushButton::clicked, this, &CSendPanelDlg::OnCheckRts);
    connect(m_editPath, &QLineEdit::textChanged, this, &CSendPanelDlg::OnChangeFilePath);
    m_editInput->installEventFilter(this);

    m_chooseFile = [this](const QString& initial) { return ChooseSendFile(this, initial); };
    m_runQuickList = [](CAtCommandSelectDlg& dlg) { return dlg.DoModal(); };
    m_ctsClear = [] { return true; };

    OnInitDialog();
}

CSendPanelDlg::~CSendPanelDlg()
{
    if (!m_state->running.load())
        return;
    // The file sender ends at its next byte; the wait is bounded in any case.
    m_state->closing = true;
    ModemSession& session = AppModemSession();
    session.WakeWaiters();
    session.Workers().WaitUntil([state = m_state] { return !state->running.load(); }, kCloseWaitMs);
}

void CSendPanelDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    FitToWidth();
}

int CSendPanelDlg::MinimumWidth() const
{
    // "Send With Enter" right of the mode buttons is the widest row.
    return m_radioFile->geometry().right() + 1 + 12 + m_checkWithEnter->width() + 6;
}

void CSendPanelDlg::FitToWidth()
{
    // The Send buttons and "Send With Enter" move left to stay in view, and
    // the boxes before them give up the room; never further left than the
    // controls before them.
    constexpr int kMargin = 6, kGap = 12;
    const QRect send = Dlu(299, 22, 46, 13);
    const QRect input = Dlu(6, 22, 271, 12);
    const QRect progress = Dlu(6, 35, 272, 13);
    const int sendX = std::max(input.x() + 80 + kGap, std::min(send.x(), width() - send.width() - kMargin));
    for (CSkinButton* b : {m_btnSend, m_btnSendFile})
        b->move(sendX, send.y());
    const int boxWidth = std::min(input.width(), sendX - kGap - input.x());
    for (QWidget* box : std::initializer_list<QWidget*>{m_editInput, m_comboSpecial, m_editPath})
        box->setGeometry(input.x(), input.y(), boxWidth, input.height());
    m_progress->setGeometry(progress.x(), progress.y(), std::min(progress.width(), sendX - kGap - progress.x()), progress.height());
    const int enterX = std::max(m_radioFile->geometry().right() + 1 + kGap,
        std::min(Dlu(267, 8, 65, 10).x(), width() - m_checkWithEnter->width() - kMargin));
    m_checkWithEnter->move(enterX, m_checkWithEnter->y());
    m_labelSize->resize(std::max(0, enterX - kMargin - m_labelSize->x()), m_labelSize->height());
}

void CSendPanelDlg::OnInitDialog()
{
    m_radioText->setChecked(true);
    m_checkRts->SetCheckBoxMode(true);
    m_checkDtr->SetCheckBoxMode(true);
    m_checkRts->SetIcon(LineFace(QStringLiteral("RTS"), false), LineFace(QStringLiteral("RTS"), true));
    m_checkDtr->SetIcon(LineFace(QStringLiteral("DTR"), false), LineFace(QStringLiteral("DTR"), true));
    for (CImageButton* box : {m_checkRts, m_checkDtr}) {
        box->ShiftColor(0, 30, true);
        box->SetTransparent(true);
    }
    for (CSkinButton* b : {m_btnSend, m_btnSendFile})
        b->BuildSkin(4, 8, 20, 5, 0xFF3737);

    m_comboSpecial->addItems(SendPanelRules::SpecialCharNames());
    m_comboSpecial->setCurrentIndex(SendPanelRules::kDefaultSpecialChar);

    m_progress->SetRange(0, 100);
    m_progress->SetBarColors(0x98FB98, 0x009300);
    m_progress->SetBkColor(0xD8E9EC);
    m_progress->SetTextColor(0);
    m_progress->SetShowText(true);
    m_progress->hide();

    m_nMode = SendPanelRules::kModeText;
    m_bInputIsHex = 0;
    m_checkWithEnter->setChecked(g_sysParams.WithEnter == 1);
    m_checkWithEnter->setEnabled(true);

    ShowInputControls();
}

std::shared_ptr<CSerialPort> CSendPanelDlg::Port() const
{
    std::shared_ptr<CSerialPort> port = AppModemSession().Port();
    return port && port->IsOpen() ? port : nullptr;
}

void CSendPanelDlg::ShowInputControls()
{
    m_editInput->show();
    m_btnSend->show();
    m_comboSpecial->hide();
    m_editPath->hide();
    m_btnSendFile->hide();
    m_labelSize->hide();
    m_checkWithEnter->setEnabled(true);
}

void CSendPanelDlg::SetInputText(const QString& text)
{
    // A hex view is three times its text: the limit is for typing, never a cut.
    m_editInput->setMaxLength(std::max<int>(kInputLimit, int(text.size())));
    m_editInput->setText(text);
}

void CSendPanelDlg::OnButtonSend()
{
    if (!Port())
        return;
    PortTransmitter& tx = AppModemSession().Transmitter();
    const bool withEnter = m_checkWithEnter->isChecked();
    if (m_radioText->isChecked()) {
        // Text is one command; Ctrl-Z and the like go as hex or special characters.
        if (const QString problem = CheckCommandLine(QStringLiteral("Input"), m_editInput->text()); !problem.isEmpty()) {
            ShowMessageBox(problem);
            return;
        }
        const QByteArray bytes = SendPanelRules::TextPayload(m_editInput->text(), withEnter);
        if (bytes.isEmpty())
            return;
        if (g_sysParams.showsenddata)
            WriteOutputLine(kTerminalSent, bytes);
        tx.SendUnpaced(bytes);
    } else if (m_radioHex->isChecked()) {
        QByteArray bytes, display;
        SendPanelRules::HexPayload(m_editInput->text(), withEnter, bytes, display);
        if (!display.isEmpty())
            WriteOutputLine(kTerminalSent, display);
        if (!bytes.isEmpty())
            tx.SendUnpaced(bytes);
    } else if (m_radioSpecial->isChecked()) {
        tx.SendUnpaced(QByteArray(1, char(SendPanelRules::SpecialCharByte(m_comboSpecial->currentIndex()))));
    }
}

void CSendPanelDlg::OnRadioText()
{
    m_radioText->setChecked(true);
    if (m_nMode == SendPanelRules::kModeText)
        return;
    if (m_bInputIsHex) {
        QByteArray text;
        HexViewToText(m_editInput->text().toUtf8(), text);
        SetInputText(QString::fromUtf8(text));
    }
    m_bInputIsHex = 0;
    ShowInputControls();
    m_nMode = SendPanelRules::kModeText;
}

void CSendPanelDlg::OnRadioHex()
{
    m_radioHex->setChecked(true);
    if (m_nMode == SendPanelRules::kModeHex)
        return;
    m_nMode = SendPanelRules::kModeHex;
    if (!m_bInputIsHex) {
        QByteArray view;
        StampedTextToHexView(m_editInput->text().toUtf8(), view);
        SetInputText(QString::fromUtf8(view));
        m_bInputIsHex = 1;
    }
    ShowInputControls();
}

void CSendPanelDlg::OnRadioSpecialChars()
{
    m_radioSpecial->setChecked(true);
    m_nMode = SendPanelRules::kModeSpecialChars;
    m_comboSpecial->show();
    m_btnSend->show();
    m_editInput->hide();
    m_editPath->hide();
    m_btnSendFile->hide();
    m_labelSize->hide();
    m_checkWithEnter->setEnabled(false);
}

void CSendPanelDlg::OnRadioFile()
{
    m_radioFile->setChecked(true);
    m_nMode = SendPanelRules::kModeFile;
    m_editPath->show();
    m_btnSendFile->show();
    m_btnSend->hide();
    m_editInput->hide();
    m_comboSpecial->hide();
    m_checkWithEnter->setEnabled(false);

    const QString last = theApp.m_strSendFilePath;
    const QString folder = last.isEmpty() ? QDir::homePath() : QFileInfo(last).absolutePath();
    const QString chosen = m_chooseFile(folder + QStringLiteral("/*.*"));
    if (chosen.isEmpty())
        return;
    m_editPath->setText(chosen);
    theApp.m_strSendFilePath = chosen;
    QFile file(chosen);
    if (file.open(QIODevice::ReadOnly)) {
        m_labelSize->setText(SendPanelRules::SizeLabel(file.size()));
        m_labelSize->show();
    }
}

void CSendPanelDlg::OnChangeFilePath()
{
    QFile file(m_editPath->text());
    if (file.open(QIODevice::ReadOnly))
        m_labelSize->setText(SendPanelRules::SizeLabel(file.size()));
    else
        m_labelSize->clear();
}

void CSendPanelDlg::OnCheckWithEnter()
{
    const int withEnter = m_checkWithEnter->isChecked() ? 1 : 0;
    if (g_sysParams.WithEnter == withEnter)
        return;
    g_sysParams.WithEnter = withEnter;
    SaveWithEnter(withEnter);
}

void CSendPanelDlg::OnCheckDtr()
{
    OnCheckLine(m_checkDtr, true);
}

void CSendPanelDlg::OnCheckRts()
{
    OnCheckLine(m_checkRts, false);
}

void CSendPanelDlg::OnCheckLine(CImageButton* box, bool dtr)
{
    const std::shared_ptr<CSerialPort> port = Port();
    if (!port) {
        box->SetCheck(false);
        return;
    }
    // A checked box stands for a cleared line.
    const bool assert = !box->GetCheck();
    if (dtr)
        port->SetDTR(assert);
    else
        port->SetRTS(assert);
}

bool CSendPanelDlg::event(QEvent* event)
{
    // The panel is a dialog: the keys its boxes can use are theirs, not the
    // main window's accelerators.
    if (ClaimAcceleratorKey(event))
        return true;
    return CSkinDialog::event(event);
}

bool CSendPanelDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_editInput)
        return CSkinDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            OnButtonSend();
            return true; // a single-line box has nothing more to do with Enter
        }
        return m_bInputIsHex && FilterHexKey(key);
    }
    case QEvent::MouseButtonDblClick:
        OpenQuickList();
        return true;
    case QEvent::MouseButtonPress:
        return m_bInputIsHex && static_cast<QMouseEvent*>(event)->button() == Qt::RightButton;
    case QEvent::ContextMenu: return m_bInputIsHex != 0;
    default: return CSkinDialog::eventFilter(watched, event);
    }
}

bool CSendPanelDlg::FilterHexKey(QKeyEvent* key)
{
    const Qt::KeyboardModifiers mods = key->modifiers();
    const bool ctrl = mods.testFlag(Qt::ControlModifier);
    const int vk = SendPanelRules::VirtualKeyFromQt(key->key(), mods.testFlag(Qt::KeypadModifier));
    switch (SendPanelRules::HexKeyVerdict(vk, ctrl, mods.testFlag(Qt::ShiftModifier))) {
    case SendPanelRules::KeyVerdict::Pass: return false;
    case SendPanelRules::KeyVerdict::Copy: m_editInput->copy(); return true;
    case SendPanelRules::KeyVerdict::Paste: m_editInput->paste(); return true;
    case SendPanelRules::KeyVerdict::Discard: return true;
    }
    return true;
}

void CSendPanelDlg::OpenQuickList()
{
    CAtCommandSelectDlg dlg(this);
    if (m_runQuickList(dlg) != IDOK)
        return;
    QString text = dlg.m_strCommand;
    if (m_nMode != SendPanelRules::kModeText) {
        QByteArray view;
        StampedTextToHexView(text.toUtf8(), view);
        text = QString::fromUtf8(view);
    }
    SetInputText(text);
    m_checkWithEnter->setChecked(dlg.m_nCarriageReturn == 1);
}

void CSendPanelDlg::OnButtonSendFile()
{
    const std::shared_ptr<CSerialPort> port = Port();
    if (!port)
        return;
    ModemSession& session = AppModemSession();
    if (m_btnSendFile->text() != kSendFile) {
        session.Gate().Stop();
        return;
    }
    if (session.Gate().Running())
        return;
    const QString path = m_editPath->text();
    if (path.isEmpty()) {
        ShowMessageBox(QStringLiteral("Please selcet the source file!"));
        return;
    }
    std::optional<TaskGate::Token> token = session.Gate().TryStart();
    if (!token)
        return;
    // Everything the sender needs is read here, on the UI thread.
    FileJob job;
    job.path = path;
    job.flowMode = g_commPortSettings.flowCtrl;
    job.portBuffer = g_sysParams.portbuffer;
    job.session = &session;
    job.port = port;
    job.ctsClear = m_ctsClear;
    job.panel = this;
    job.state = m_state;
    m_progress->SetPos(0);
    m_progress->show();
    m_btnSendFile->setText(kStop);
    m_state->running = true;
    m_state->closing = false;
    session.Workers().Run(std::move(*token),
        [job = std::move(job)](TaskGate::Token& t) mutable { FileSenderThread(std::move(job), t); });
}

void CSendPanelDlg::BackToIdle()
{
    m_progress->SetCaption(QString());
    m_progress->SetPos(0);
    m_btnSendFile->setText(kSendFile);
    m_progress->hide();
    Q_EMIT FileSendFinished();
}

void CSendPanelDlg::FileSenderThread(FileJob job, TaskGate::Token& token)
{
    const QPointer<CSendPanelDlg> panel = job.panel;
    ModemSession& session = *job.session;
    const std::shared_ptr<SenderState> state = job.state;
    auto finish = [&] {
        token.Release();
        state->running = false;
        Gui::Post([panel] {
            if (panel)
                panel->BackToIdle();
        });
    };
    QFile file(job.path);
    if (!file.open(QIODevice::ReadOnly)) {
        ShowMessageBox(QStringLiteral("Open file failed, caused by file broken or file nonexistent!"));
        finish();
        return;
    }
    const QByteArray content = file.readAll();
    file.close();

    // The task's flag, and the panel still there.
    const RunningFlag running = [&] { return token.Active() && !state->closing.load(); };
    PortTransmitter& tx = session.Transmitter();
    FileSender::Hooks hooks;
    hooks.running = running;
    hooks.write = [&tx](const QByteArray& piece) { return tx.SendUnpaced(piece); };
    hooks.pendingBytes = [&tx, port = job.port] { return tx.QueuedBytes() + port->PendingWriteBytes(); };
    hooks.ctsClear = job.ctsClear;
    hooks.takeReceivedHex = [&session] { return session.Buffers().TakeReceivedHex(); };
    unsigned seen = session.Buffers().WakeCount();
    hooks.wait = [&session, &seen] {
        // Woken by received or written bytes, a modem line or a Stop; the
        // bound only keeps a lost device from holding the sender for ever.
        session.Buffers().WaitForWake(std::chrono::steady_clock::now() + std::chrono::seconds(1), seen);
        seen = session.Buffers().WakeCount();
    };
    hooks.progress = [panel](int position, const QString& caption) {
        Gui::Post([panel, position, caption] {
            if (!panel)
                return;
            panel->m_progress->SetCaption(caption);
            panel->m_progress->SetPos(position);
            Q_EMIT panel->FileSendProgress(position, caption);
        });
    };
    Gui::Post([panel] {
        if (panel)
            panel->m_progress->SetPos(0);
    });
    FileSender(job.flowMode, job.portBuffer, std::move(hooks)).Send(content);
    // The bar shows the end for a moment before the panel goes back to idle.
    session.Pause([&] { return !state->closing.load(); }, std::chrono::milliseconds(100));
    finish();
}

} // namespace ulv
