#include "pages/module/CTestItemDlg_voice.h"

#include "core/at/CommandQueue.h"
#include "core/at/ModemSession.h"
#include "core/at/TerminalOutput.h"
#include "core/at/WorkerPool.h"
#include "core/text/CommandFieldCheck.h"
#include "pages/PageHost.h"
#include "pages/module/core/AudioCommandSet.h"
#include "pages/module/core/CallClock.h"
#include "pages/module/core/ModuleScripts.h"
#include "platform/Gui.h"
#include "platform/MessageBox.h"
#include "serial/SerialMessages.h"
#include "shell/core/CUlvenscopeApp.h"
#include "ui/controls/CDialRichEdit.h"
#include "ui/controls/CImageButton.h"
#include "ui/controls/CNumEdit.h"
#include "ui/controls/CNumSpinCtrl.h"
#include "ui/controls/CSkinButton.h"
#include "ui/controls/WinLook.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QPointer>
#include <QRadioButton>
#include <QTextCursor>

#include <cmath>

namespace ulv {

namespace {

constexpr COLORREF kPageTextColour = 0x333399;
constexpr COLORREF kSkinTint = 0xFF3737;
constexpr COLORREF kKeyTransparent = 0x0000CD;

const QString kCalling = QStringLiteral("Calling...");

QFont PageFont()
{
    QFont f(QStringLiteral("Arial Unicode MS"));
    f.setPixelSize(14);
    f.setWeight(QFont::Normal);
    return f;
}

// What the number box writes digits in.
QTextCharFormat NumberFormat()
{
    QTextCharFormat f;
    f.setFontFamilies({QStringLiteral("Arial Unicode MS")});
    f.setFontWeight(QFont::Bold);
    f.setFontPointSize(13.5); // 270 twips
    f.setForeground(ColorRefToQColor(kPageTextColour));
    return f;
}

void SetupSpin(CNumSpinCtrl* spin, const SpinSetup& s)
{
    spin->SetRange(float(s.minimum), float(s.maximum));
    spin->SetPos(float(s.start));
    spin->SetDelta(float(s.step));
}

// The spin's value as the set commands take it.
int SpinValue(const CNumSpinCtrl* spin)
{
    return int(std::trunc(spin->GetPos()));
}

} // namespace

CTestItemDlg_voice::CTestItemDlg_voice(QWidget* parent)
    : PageDialog(QStringLiteral("CTestItemDlg_voice"), parent)
    , m_number(new CDialRichEdit(this))
    , m_zeroPlus(new CLongPressImageButton(QStringLiteral("0/+"), this))
    , m_clear(new CLongPressSkinButton(QStringLiteral("C"), this))
    , m_call(new CSkinButton(QStringLiteral("CALL"), this))
    , m_end(new CSkinButton(QStringLiteral("End"), this))
    , m_status(new QLabel(this))
    , m_mute(new QCheckBox(QStringLiteral("Mute on"), this))
    , m_silent(new QCheckBox(QStringLiteral("Silent mode"), this))
    , m_radioMain(new QRadioButton(QStringLiteral("Main"), this))
    , m_radioAux(new QRadioButton(QStringLiteral("Auxiliary earphone"), this))
    , m_radioHandsFree(new QRadioButton(QStringLiteral("Hands free"), this))
    , m_volumeSet(new CSkinButton(QStringLiteral("Volume set"), this))
    , m_sideToneSet(new CSkinButton(QStringLiteral("Side tone gain"), this))
    , m_micGainSet(new CSkinButton(QStringLiteral("Microphone gain"), this))
    , m_volumeEdit(new CNumEdit(this))
    , m_sideToneEdit(new CNumEdit(this))
    , m_micEdit(new CNumEdit(this))
    , m_mic2Edit(new CNumEdit(this))
    , m_volumeSpin(new CNumSpinCtrl(this))
    , m_sideToneSpin(new CNumSpinCtrl(this))
    , m_micSpin(new CNumSpinCtrl(this))
    , m_mic2Spin(new CNumSpinCtrl(this))
    , m_channelGet(new CImageButton(QStringLiteral("Channel get"), this))
    , m_clock(MakeSteadyCallClock())
{
    g_audioCommandSet = SelectAudioCommandSet();
    const QFont font = PageFont();

    // The keypad: three columns, "*", "0/+" and "#" in the last row.
    static const char* const kKeys[] = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "*", nullptr, "#"};
    constexpr int kKeyW = 70, kKeyH = 36, kKeyLeft = 20, kKeyTop = 70;
    for (int i = 0; i < 12; ++i) {
        const QRect place(kKeyLeft + (i % 3) * (kKeyW + 10), kKeyTop + (i / 3) * (kKeyH + 8), kKeyW, kKeyH);
        CImageButton* key = m_zeroPlus;
        if (kKeys[i]) {
            key = new CImageButton(QString::fromLatin1(kKeys[i]), this);
            key->setObjectName(QString::fromLatin1(kKeys[i]));
            m_keys.push_back(key);
            connect(key, &QPushButton::clicked, this, [this, text = key->text()] { InsertDigit(text); });
        }
        key->setGeometry(place);
        key->setFont(font);
        key->SetBitmaps(302, kKeyTransparent);
        key->SetColor(CImageButton::BTNST_COLOR_FG_IN, kPageTextColour, false);
        key->SetColor(CImageButton::BTNST_COLOR_FG_OUT, 0x000000, false);
        key->SetColor(CImageButton::BTNST_COLOR_FG_FOCUS, 0x000000, false);
    }
    connect(m_zeroPlus, &QPushButton::clicked, this, &CTestItemDlg_voice::OnButtonZeroPlus);

    m_number->setGeometry(20, 20, 250, 40);
    m_number->setFont(font);
    m_number->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_number->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_number->setLineWrapMode(QTextEdit::NoWrap);
    m_number->setCurrentCharFormat(NumberFormat());
    m_clear->setGeometry(280, 22, 60, 36);
    m_call->setGeometry(20, 250, 110, 36);
    m_end->setGeometry(160, 250, 110, 36);
    m_status->setGeometry(20, 294, 320, 20);
    m_status->setFont(font);
    m_status->hide();
    connect(m_clear, &QPushButton::clicked, this, &CTestItemDlg_voice::OnButtonClear);
    connect(m_call, &QPushButton::clicked, this, &CTestItemDlg_voice::OnButtonCall);
    connect(m_end, &QPushButton::clicked, this, &CTestItemDlg_voice::OnButtonEnd);

    // The audio settings.
    m_radioMain->setGeometry(20, 330, 70, 22);
    m_radioAux->setGeometry(95, 330, 150, 22);
    m_radioHandsFree->setGeometry(250, 330, 100, 22);
    m_channelGet->setGeometry(355, 327, 100, 28);
    m_channelGet->SetBitmaps(271, kSkinTint);
    m_channelGet->SetTransparent(false);
    m_channelGet->SetTextColors(kPageTextColour);
    const struct {
        CNumEdit* edit;
        CNumSpinCtrl* spin;
        CSkinButton* button;
        int y;
    } rows[] = {
        {m_volumeEdit, m_volumeSpin, m_volumeSet, 366},
        {m_sideToneEdit, m_sideToneSpin, m_sideToneSet, 402},
        {m_micEdit, m_micSpin, m_micGainSet, 438},
    };
    for (const auto& r : rows) {
        r.edit->setGeometry(20, r.y, 90, 24);
        r.edit->setFont(font);
        r.spin->setGeometry(110, r.y, 17, 24);
        r.spin->SetBuddy(r.edit);
        r.button->setGeometry(140, r.y - 2, 140, 28);
    }
    m_mic2Edit->setGeometry(295, 438, 90, 24);
    m_mic2Edit->setFont(font);
    m_mic2Spin->setGeometry(385, 438, 17, 24);
    m_mic2Spin->SetBuddy(m_mic2Edit);
    m_volumeSpin->SetDelta(1);
    m_mute->setGeometry(20, 478, 110, 22);
    m_silent->setGeometry(140, 478, 130, 22);
    m_mute->setEnabled(false);

    for (CSkinButton* b : {static_cast<CSkinButton*>(m_clear), m_call, m_end, m_volumeSet, m_sideToneSet, m_micGainSet}) {
        b->setFont(font);
        b->BuildDialogSkin();
    }
    m_call->SetIcon(170);
    m_end->SetIcon(171);

    connect(m_radioMain, &QRadioButton::clicked, this, &CTestItemDlg_voice::OnRadioMain);
    connect(m_radioAux, &QRadioButton::clicked, this, &CTestItemDlg_voice::OnRadioAuxiliary);
    connect(m_radioHandsFree, &QRadioButton::clicked, this, &CTestItemDlg_voice::OnRadioHandsFree);
    connect(m_volumeSet, &QPushButton::clicked, this, &CTestItemDlg_voice::OnButtonVolumeSet);
    connect(m_sideToneSet, &QPushButton::clicked, this, &CTestItemDlg_voice::OnButtonSideTone);
    connect(m_micGainSet, &QPushButton::clicked, this, &CTestItemDlg_voice::OnButtonMicGain);
    connect(m_mute, &QCheckBox::clicked, this, &CTestItemDlg_voice::OnCheckMute);
    connect(m_silent, &QCheckBox::clicked, this, &CTestItemDlg_voice::OnCheckSilent);
    connect(m_channelGet, &QPushButton::clicked, this, &CTestItemDlg_voice::OnButtonChannelGet);

    SetupAudioSliders();
}

CTestItemDlg_voice::~CTestItemDlg_voice()
{
    m_clock->StopRepeating();
    // The read-back's values are posted to this page; its workers go first.
    m_workers.reset();
}

void CTestItemDlg_voice::SetClock(std::unique_ptr<CallClock> clock)
{
    const bool polling = m_bCallPolling;
    StopPolling();
    m_clock = std::move(clock);
    if (polling)
        StartPolling();
}

ModemSession* CTestItemDlg_voice::Session() const
{
    PageHost* host = GetPageHost();
    return host ? &host->Session() : nullptr;
}

TaskWorkers& CTestItemDlg_voice::Workers()
{
    if (!m_workers) {
        ModemSession* session = Session();
        m_workers = session ? std::make_unique<TaskWorkers>(session->Workers()) : std::make_unique<TaskWorkers>();
    }
    return *m_workers;
}

bool CTestItemDlg_voice::TaskRunning() const
{
    ModemSession* session = Session();
    return session ? session->Gate().Running() : AppTaskGate().Running();
}

void CTestItemDlg_voice::WriteStepComment(int kind, const QString& text)
{
    WriteOutputLine(kind, text);
}

AudioFamily CTestItemDlg_voice::CurrentFamily() const
{
    return AudioFamilyOf(GetModuleType(), GetModuleSubModel());
}

// --- Queueing

void CTestItemDlg_voice::QueueSet(const QString& command)
{
    ModemSession* session = Session();
    if (session && !command.isEmpty())
        session->Queue().Queue(CommandRequest::Command(command));
}

void CTestItemDlg_voice::QueueWithReply(const QString& command, void (CTestItemDlg_voice::*handler)(const QString&))
{
    ModemSession* session = Session();
    if (!session)
        return;
    // The reply comes on the queue's thread; the page changes only on its own.
    QPointer<CTestItemDlg_voice> self(this);
    session->Queue().Queue(CommandRequest::Command(command, [self, handler](const QString& reply) {
        Gui::Post([self, handler, reply] {
            if (self)
                (self.data()->*handler)(reply);
        });
    }));
}

// --- Keypad

CImageButton* CTestItemDlg_voice::Key(const QString& text) const
{
    for (CImageButton* key : m_keys) {
        if (key->text() == text)
            return key;
    }
    return nullptr;
}

void CTestItemDlg_voice::InsertDigit(const QString& text)
{
    QTextCursor cursor = m_number->textCursor();
    cursor.insertText(text, NumberFormat());
    m_number->setTextCursor(cursor);
}

void CTestItemDlg_voice::OnButtonZeroPlus()
{
    InsertDigit(m_zeroPlus->WasLongPress(500) ? QStringLiteral("+") : QStringLiteral("0"));
}

void CTestItemDlg_voice::OnButtonClear()
{
    const bool longPress = m_clear->WasLongPress(2000);
    const QString text = m_number->toPlainText();
    if (text.isEmpty())
        return;
    if (longPress) {
        m_number->clear();
        m_number->setCurrentCharFormat(NumberFormat());
        return;
    }
    QTextCursor cursor = m_number->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.deletePreviousChar();
    m_number->setTextCursor(cursor);
}

// --- Calls

void CTestItemDlg_voice::OnButtonCall()
{
    PageHost* host = GetPageHost();
    if (!host || TaskRunning() || !host->PortOpen())
        return;
    const QString number = m_number->toPlainText();
    if (number.isEmpty() && m_callState != kCallIncoming)
        return;
    if (m_callState != kCallIncoming) {
        // The number goes into ATD as it stands: a ";" or a line end in it would start commands of its own.
        if (const QString problem = CheckNumberField(QStringLiteral("Number"), number); !problem.isEmpty()) {
            ShowMessageBox(problem);
            return;
        }
    }
    m_status->clear();
    const QString command = CallCommand(number, m_callState);
    const AudioFamily family = CurrentFamily();
    const AudioCommandSet* set = g_audioCommandSet.load();
    ModemSession& session = host->Session();
    QPointer<CTestItemDlg_voice> self(this);
    const AudioReadbackSink sink = MakeReadbackSink();
    m_number->setReadOnly(true);
    const bool started = Workers().Start([self, &session, command, family, set, sink](TaskGate::Token& token) {
        // VoiceDialThread: the module's audio settings first, then the call.
        AudioReadbackThread(session, token, sink, *set, family);
        if (!token.Active()) {
            Gui::Post([self] {
                if (self)
                    self->m_number->setReadOnly(false);
            });
            return;
        }
        Gui::Post([self, dialling = command != QLatin1String("ATA")] {
            if (!self)
                return;
            self->m_call->setEnabled(false);
            if (dialling) {
                self->m_status->setText(kCalling);
                self->m_status->show();
            }
        });
        session.Buffers().ClearReceivedText();
        WriteStepComment(kTerminalNote, CallCommandNote(command));
        Gui::Post([self, command] {
            if (!self)
                return;
            self->QueueWithReply(command, &CTestItemDlg_voice::OnDialReply);
            self->m_number->setReadOnly(false);
        });
    });
    if (!started)
        m_number->setReadOnly(false);
}

void CTestItemDlg_voice::OnDialReply(const QString& reply)
{
    if (!reply.contains(QLatin1String("ERROR"))) {
        if (!m_bCallPolling)
            StartPolling();
        return;
    }
    ShowCallState(kCallIdle);
    StopPolling();
}

void CTestItemDlg_voice::StartPolling()
{
    m_bCallPolling = true;
    m_bPollPending = false;
    m_clock->StartRepeating(kCallPollPeriodMs, [this] { OnTimer(kCallPollTimerId); });
}

void CTestItemDlg_voice::StopPolling()
{
    m_bCallPolling = false;
    m_clock->StopRepeating();
}

void CTestItemDlg_voice::OnTimer(int id)
{
    if (id != kCallPollTimerId)
        return;
    // A read-back talks to the module now; its replies are not the poll's.
    if (m_bPollPending || TaskRunning())
        return;
    m_bPollPending = true;
    QueueWithReply(QStringLiteral("AT+CLCC"), &CTestItemDlg_voice::OnClccReply);
}

void CTestItemDlg_voice::OnClccReply(const QString& reply)
{
    m_bPollPending = false;
    const ClccReport report = ParseClccReply(reply);
    if (!report.hasCall) {
        ShowCallState(kCallIdle);
        StopPolling();
        return;
    }
    ShowCallState(report.state);
    if (report.number)
        ShowCallNumber(*report.number);
}

void CTestItemDlg_voice::ShowCallNumber(const QString& reported)
{
    // The number came in the character set in force, which only the module
    // knows for sure (the SMS page, a script or the terminal may have set it):
    // asked once per number, so the box never shows the raw hex.
    if (reported == m_reportedNumber && m_charsetAsked) {
        // Known, or the module's answer is on its way.
        if (m_callNumberDecoded)
            SetNumberText(m_decodedNumber);
        return;
    }
    m_charsetAsked = true;
    m_reportedNumber = reported;
    m_callNumberDecoded = false;
    QueueWithReply(QStringLiteral("AT+CSCS?"), &CTestItemDlg_voice::OnCharsetReply);
}

void CTestItemDlg_voice::OnCharsetReply(const QString& reply)
{
    m_decodedNumber = DecodeCallNumber(m_reportedNumber, CharsetOfCscsReply(reply));
    m_callNumberDecoded = true;
    SetNumberText(m_decodedNumber);
}

void CTestItemDlg_voice::SetNumberText(const QString& number)
{
    if (m_number->toPlainText() == number)
        return;
    m_number->clear();
    InsertDigit(number);
}

void CTestItemDlg_voice::OnButtonEnd()
{
    QueueWithReply(QStringLiteral("ATH"), &CTestItemDlg_voice::OnHangUpReply);
}

void CTestItemDlg_voice::OnHangUpReply(const QString& reply)
{
    if (!reply.contains(QLatin1String("OK")))
        return;
    m_call->setEnabled(true);
    ShowCallState(kCallIdle);
}

void CTestItemDlg_voice::OnReceivedLine(const QString& line)
{
    if (line.contains(QLatin1String("RING"))) {
        ShowCallState(kCallIncoming);
    } else if (const auto caller = ParseClipLine(line); caller && m_callState == kCallIncoming) {
        // The caller of the call that rings.
        ShowCallNumber(*caller);
    } else if (line.contains(QLatin1String("NO CARRIER"))) {
        ShowCallState(kCallIdle);
        m_call->setEnabled(true);
    }
}

void CTestItemDlg_voice::OnPortLost()
{
    // A call does not outlive its module: it ends here, with its time shown.
    StopPolling();
    m_bPollPending = false;
    ShowCallState(kCallIdle);
    EndDialAttempt();
}

void CTestItemDlg_voice::EndDialAttempt()
{
    m_call->setEnabled(true);
    if (m_status->text() == kCalling)
        m_status->clear();
}

void CTestItemDlg_voice::ShowCallState(int state)
{
    if (state == m_callState) {
        // Still idle after a dial (refused, or gone before the first poll):
        // CALL comes back.
        if (state == kCallIdle && !m_call->isEnabled())
            EndDialAttempt();
        return;
    }
    m_callState = state;
    // "Answer" and "Decline" belong to a ringing call only: an answered or
    // dialled call is ended with "End", and CALL cannot answer it.
    if (state != kCallIncoming) {
        m_end->setText(QStringLiteral("End"));
        m_call->setText(QStringLiteral("CALL"));
    }
    switch (state) {
    case kCallIdle:
        // The next call's number is decoded afresh: the character set may change between calls.
        m_charsetAsked = false;
        m_mute->setChecked(false);
        m_mute->setEnabled(false);
        m_call->setEnabled(true);
        m_status->clear();
        if (m_bCallTimed) {
            m_bCallTimed = false;
            m_status->setText(CallTimeText(m_clock->NowMs() - m_callStartMs));
            m_status->show();
        }
        break;
    case kCallActive:
        m_mute->setEnabled(true);
        if (!m_bCallTimed) {
            m_bCallTimed = true;
            m_callStartMs = m_clock->NowMs();
        }
        m_status->show();
        break;
    case kCallIncoming:
        m_end->setText(QStringLiteral("Decline"));
        m_call->setText(QStringLiteral("Answer"));
        m_mute->setEnabled(false);
        // The time of the call before is no part of this one.
        m_status->clear();
        break;
    default: m_mute->setEnabled(false); break;
    }
}

// --- Audio settings

void CTestItemDlg_voice::SetupAudioSliders()
{
    const AudioRanges ranges = AudioRangesFor(CurrentFamily());
    m_mic2Edit->setVisible(ranges.showSecondMicGain);
    m_mic2Spin->setVisible(ranges.showSecondMicGain);
    SetupSpin(m_sideToneSpin, ranges.sideTone);
    SetupSpin(m_micSpin, ranges.micGain);
    if (ranges.secondMicGain)
        SetupSpin(m_mic2Spin, *ranges.secondMicGain);
    SetupSpin(m_volumeSpin, ranges.volume);
}

int CTestItemDlg_voice::OnModuleIdentified()
{
    g_audioCommandSet = SelectAudioCommandSet();
    SetupAudioSliders();
    return 1;
}

void CTestItemDlg_voice::showEvent(QShowEvent* e)
{
    PageDialog::showEvent(e);
    const bool enabled = !AudioChannelsFixed(CurrentFamily());
    for (QRadioButton* r : {m_radioMain, m_radioAux, m_radioHandsFree})
        r->setEnabled(enabled);
}

void CTestItemDlg_voice::SetHandsFreeVisible(bool visible)
{
    m_bHandsFreeVisible = visible;
    m_radioHandsFree->setVisible(visible);
}

void CTestItemDlg_voice::OnRadioMain()
{
    if (TaskRunning())
        return;
    WriteStepComment(kTerminalNote, GetModuleType() == 0
            ? QStringLiteral("/* Use AT+JAUDCH=0 to set the normal audio channel */")
            : QStringLiteral("/* Use AT+JAUDPATH=0 to set the normal audio channel */"));
    QueueSet(g_audioCommandSet.load()->audioChannel(kAudioSet, std::array{0}));
}

void CTestItemDlg_voice::OnRadioAuxiliary()
{
    if (!TaskRunning())
        QueueSet(g_audioCommandSet.load()->audioChannel(kAudioSet, std::array{1}));
}

void CTestItemDlg_voice::OnRadioHandsFree()
{
    if (!TaskRunning())
        QueueSet(g_audioCommandSet.load()->audioChannel(kAudioSet, std::array{2}));
}

void CTestItemDlg_voice::OnButtonVolumeSet()
{
    QueueSet(g_audioCommandSet.load()->volume(kAudioSet, std::array{SpinValue(m_volumeSpin)}));
}

void CTestItemDlg_voice::OnButtonSideTone()
{
    QueueSet(g_audioCommandSet.load()->sideTone(kAudioSet, std::array{SpinValue(m_sideToneSpin)}));
}

int CTestItemDlg_voice::CheckedChannel() const
{
    if (m_radioMain->isChecked())
        return 0;
    if (m_radioAux->isChecked())
        return 1;
    if (m_radioHandsFree->isChecked())
        return 2;
    return -1;
}

void CTestItemDlg_voice::OnButtonMicGain()
{
    const auto values = MicGainValues(CurrentFamily(), CheckedChannel(), SpinValue(m_micSpin), SpinValue(m_mic2Spin));
    if (!values) {
        ShowMessageBox(QStringLiteral("Please set the volumn channel!"));
        return;
    }
    QueueSet(g_audioCommandSet.load()->micGain(kAudioSet, *values));
}

void CTestItemDlg_voice::OnCheckMute()
{
    const bool on = m_mute->isChecked();
    WriteStepComment(kTerminalNote, on
            ? QStringLiteral("/* Use AT+CMUT=1 to enable the uplink voice muting during a voice call. */")
            : QStringLiteral("/* Use AT+CMUT=0 to disable the uplink voice muting during a voice call. */"));
    QueueSet(g_audioCommandSet.load()->mute(kAudioSet, std::array{on ? 1 : 0}));
}

void CTestItemDlg_voice::OnCheckSilent()
{
    const bool on = m_silent->isChecked();
    WriteStepComment(kTerminalNote, on ? QStringLiteral("/* Use AT+CALM=1 to mute the ring tone. */")
                                       : QStringLiteral("/* Use AT+CALM=0 to normalize the ring tone. */"));
    QueueSet(g_audioCommandSet.load()->ringSilent(kAudioSet, std::array{on ? 1 : 0}));
}

AudioReadbackSink CTestItemDlg_voice::MakeReadbackSink()
{
    QPointer<CTestItemDlg_voice> self(this);
    AudioReadbackSink sink;
    sink.enableSetButtons = [self] {
        Gui::Post([self] {
            if (!self)
                return;
            for (CSkinButton* b : {self->m_volumeSet, self->m_sideToneSet, self->m_micGainSet})
                b->setEnabled(true);
        });
    };
    sink.value = [self](int selector, int value) {
        Gui::Post([self, selector, value] {
            if (self)
                self->OnAudioReadback(selector, value);
        });
    };
    sink.checkChannel = [self](int channel) {
        Gui::Post([self, channel] {
            if (!self)
                return;
            QRadioButton* radios[] = {self->m_radioMain, self->m_radioAux, self->m_radioHandsFree};
            radios[channel]->setChecked(true);
        });
    };
    return sink;
}

void CTestItemDlg_voice::OnButtonChannelGet()
{
    PageHost* host = GetPageHost();
    if (!host || !host->PortOpen() || TaskRunning())
        return;
    Workers().Start([&session = host->Session(), sink = MakeReadbackSink(), set = g_audioCommandSet.load(),
                        family = CurrentFamily()](TaskGate::Token& token) {
        AudioReadbackThread(session, token, sink, *set, family);
    });
}

int CTestItemDlg_voice::OnAudioReadback(int selector, int value)
{
    CNumSpinCtrl* spins[] = {m_volumeSpin, m_sideToneSpin, m_micSpin, m_mic2Spin};
    if (selector >= 0 && selector < 4)
        spins[selector]->SetPos(float(value));
    return 1;
}

bool CTestItemDlg_voice::event(QEvent* e)
{
    if (e->type() == MessageEventType(WM_MODULE_IDENTIFIED)) {
        OnModuleIdentified();
        return true;
    }
    return PageDialog::event(e);
}

} // namespace ulv
