#pragma once

#include "pages/PageDialog.h"
#include "pages/module/core/VoiceCall.h"
#include "ui/controls/LongPressButton.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

class QCheckBox;
class QLabel;
class QRadioButton;

namespace ulv {

class CallClock;
class CDialRichEdit;
class CImageButton;
class CNumEdit;
class CNumSpinCtrl;
class CSkinButton;
class ModemSession;
class TaskWorkers;

// The voice call page: dials, answers and ends calls through the command
// queue, follows the call from RING, NO CARRIER and a poll of the call list,
// and sets and reads back the module's audio settings.
class CTestItemDlg_voice : public PageDialog {
    Q_OBJECT
public:
    explicit CTestItemDlg_voice(QWidget* parent = nullptr);
    // Stops a read-back still running and waits for it (bounded).
    ~CTestItemDlg_voice() override;

    // 1 while no call is up or ringing: the host refuses to switch pages or close otherwise.
    int IsCallIdle() const { return m_callState == kCallIdle ? 1 : 0; }
    int CallState() const { return m_callState; }
    // The TZ family has no hands-free channel.
    void SetHandsFreeVisible(bool visible);
    bool HandsFreeVisible() const { return m_bHandsFreeVisible; }
    void OnReceivedLine(const QString& line) override;
    void OnPortLost() override;
    // WM_MODULE_IDENTIFIED: the identified module's audio dialect and ranges. Returns 1.
    int OnModuleIdentified();
    // A step's comment in the terminal; any thread.
    static void WriteStepComment(int kind, const QString& text);

    // Tests drive the poll and the call time by hand.
    void SetClock(std::unique_ptr<CallClock> clock);
    CallClock& Clock() const { return *m_clock; }
    bool CallPolling() const { return m_bCallPolling; }
    // A poll was sent and its reply is not in yet.
    bool PollPending() const { return m_bPollPending; }

    // Keypad and call control.
    void InsertDigit(const QString& text);
    void OnButtonZeroPlus();
    void OnButtonClear();
    void OnButtonCall();
    void OnButtonEnd();
    void OnDialReply(const QString& reply);
    void OnClccReply(const QString& reply);
    void OnHangUpReply(const QString& reply);
    // The poll's tick.
    void OnTimer(int id);
    void ShowCallState(int state);

    // Audio settings.
    void SetupAudioSliders();
    void OnRadioMain();
    void OnRadioAuxiliary();
    void OnRadioHandsFree();
    void OnButtonVolumeSet();
    void OnButtonSideTone();
    void OnButtonMicGain();
    void OnCheckMute();
    void OnCheckSilent();
    void OnButtonChannelGet();
    // WM_AUDIO_READBACK: the value box of the selector takes the value. Returns 1.
    int OnAudioReadback(int selector, int value);

    CDialRichEdit* NumberBox() const { return m_number; }
    // The keypad's digit keys "1".."9", "*", "#".
    CImageButton* Key(const QString& text) const;
    CLongPressImageButton* ZeroPlusKey() const { return m_zeroPlus; }
    CLongPressSkinButton* ClearKey() const { return m_clear; }
    CSkinButton* CallButton() const { return m_call; }
    CSkinButton* EndButton() const { return m_end; }
    QLabel* StatusText() const { return m_status; }
    QCheckBox* MuteCheck() const { return m_mute; }
    QCheckBox* SilentCheck() const { return m_silent; }
    QRadioButton* MainRadio() const { return m_radioMain; }
    QRadioButton* AuxiliaryRadio() const { return m_radioAux; }
    QRadioButton* HandsFreeRadio() const { return m_radioHandsFree; }
    CSkinButton* VolumeSetButton() const { return m_volumeSet; }
    CSkinButton* SideToneButton() const { return m_sideToneSet; }
    CSkinButton* MicGainButton() const { return m_micGainSet; }
    CImageButton* ChannelGetButton() const { return m_channelGet; }
    CNumSpinCtrl* VolumeSpin() const { return m_volumeSpin; }
    CNumSpinCtrl* SideToneSpin() const { return m_sideToneSpin; }
    CNumSpinCtrl* MicGainSpin() const { return m_micSpin; }
    CNumSpinCtrl* SecondMicGainSpin() const { return m_mic2Spin; }
    CNumEdit* SecondMicGainEdit() const { return m_mic2Edit; }

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    // The session of the page host; null without a host.
    ModemSession* Session() const;
    TaskWorkers& Workers();
    bool TaskRunning() const;
    // Queues a command without a reply handler; an empty text is not sent.
    void QueueSet(const QString& command);
    // Queues a command whose reply comes back to handler on this page's thread.
    void QueueWithReply(const QString& command, void (CTestItemDlg_voice::*handler)(const QString&));
    AudioReadbackSink MakeReadbackSink();
    void StartPolling();
    void StopPolling();
    // A number +CLCC or +CLIP reported, shown once decoded from the module's
    // character set.
    void ShowCallNumber(const QString& reported);
    void OnCharsetReply(const QString& reply);
    void SetNumberText(const QString& number);
    // A dial that ended before any call came up leaves the page as it was.
    void EndDialAttempt();
    int CheckedChannel() const;
    AudioFamily CurrentFamily() const;

    CDialRichEdit* m_number;
    std::vector<CImageButton*> m_keys;
    CLongPressImageButton* m_zeroPlus;
    CLongPressSkinButton* m_clear;
    CSkinButton* m_call;
    CSkinButton* m_end;
    QLabel* m_status;
    QCheckBox* m_mute;
    QCheckBox* m_silent;
    QRadioButton* m_radioMain;
    QRadioButton* m_radioAux;
    QRadioButton* m_radioHandsFree;
    CSkinButton* m_volumeSet;
    CSkinButton* m_sideToneSet;
    CSkinButton* m_micGainSet;
    CNumEdit* m_volumeEdit;
    CNumEdit* m_sideToneEdit;
    CNumEdit* m_micEdit;
    CNumEdit* m_mic2Edit;
    CNumSpinCtrl* m_volumeSpin;
    CNumSpinCtrl* m_sideToneSpin;
    CNumSpinCtrl* m_micSpin;
    CNumSpinCtrl* m_mic2Spin;
    CImageButton* m_channelGet;

    std::unique_ptr<CallClock> m_clock;
    std::unique_ptr<TaskWorkers> m_workers;
    int m_callState = kCallIdle;
    bool m_bCallPolling = false;
    // A poll whose reply has not come back yet: the next tick does not pile another on it.
    bool m_bPollPending = false;
    bool m_bCallTimed = false;
    std::int64_t m_callStartMs = 0;
    bool m_bHandsFreeVisible = true;
    // The last call number as reported and as decoded.
    QString m_reportedNumber;
    QString m_decodedNumber;
    bool m_callNumberDecoded = false;
    bool m_charsetAsked = false;
};

} // namespace ulv
