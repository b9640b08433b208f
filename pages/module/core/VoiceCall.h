#pragma once

#include "platform/TaskGate.h"

#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

namespace ulv {

class ModemSession;
struct AudioCommandSet;

// The voice page's call states.
enum CallStateValue : int {
    kCallIdle = 0,
    kCallActive = 1,
    kCallHeld = 2,
    kCallDialing = 3,
    kCallAlerting = 4,
    kCallIncoming = 5,
    kCallWaiting = 6,
};

// The call state field of an AT+CLCC row (3GPP TS 27.007 <stat>) as a page
// state; anything unknown is idle.
int ClccStatToCallState(const QString& stat);

// What one AT+CLCC reply says.
struct ClccReport {
    bool hasCall = false; // the reply holds "+CLCC:"
    int state = kCallIdle;
    // The number between the first two double quotes of the first call's line.
    std::optional<QString> number;
};
ClccReport ParseClccReply(const QString& reply);

// The number of a "+CLIP:" line (between its first two double quotes);
// nothing for another line.
std::optional<QString> ParseClipLine(const QString& line);

// The character set an AT+CSCS? reply names ("GSM" when it names none).
QString CharsetOfCscsReply(const QString& reply);

// A call's number as +CLCC and +CLIP give it, in the character set in force
// ("HEX": two hex digits per character, "UCS2": four; "GSM", "IRA" and any
// other: as it is), decoded to the dial string. Empty when it does not decode
// to one (digits, "+", "*", "#", "A"-"D", "P", "W", ","), so that nothing else
// is shown or dialled again.
QString DecodeCallNumber(const QString& number, const QString& charset);

// The command CALL sends: "ATA" for a ringing call, else the dial of the number.
QString CallCommand(const QString& number, int callState);
// Its terminal note.
QString CallCommandNote(const QString& command);

// "Call Time:6.02 S".
QString CallTimeText(std::int64_t elapsedMs);

// The poll of the call list while a call may be up.
constexpr int kCallPollTimerId = 111;
constexpr int kCallPollPeriodMs = 3000;

// --- Audio settings

// The audio dialects the page tells apart for its value ranges.
enum class AudioFamily { Gsm, Rx50, Kv, Rx70 };
AudioFamily AudioFamilyOf(int moduleType, int subModel);

struct SpinSetup {
    int minimum = 0;
    int maximum = 0;
    int start = 0;
    int step = 1;
};
struct AudioRanges {
    SpinSetup sideTone;
    SpinSetup micGain;
    // Not set in the GSM family, where it stays hidden.
    std::optional<SpinSetup> secondMicGain;
    SpinSetup volume;
    bool showSecondMicGain = false;
};
AudioRanges AudioRangesFor(AudioFamily family);

// The channel radios are fixed on the RX70: the page never sets or reads them.
bool AudioChannelsFixed(AudioFamily family);

// The values of the microphone gain set command. channel is the first checked
// channel radio, -1 for none; nothing when the family needs a channel and none
// is checked.
std::optional<std::array<int, 3>> MicGainValues(AudioFamily family, int channel, int gain, int secondGain);

// The selectors of a read-back value.
constexpr int WM_AUDIO_READBACK = 0x4cf;
enum AudioReadbackSelector : int {
    kReadbackVolume = 0,
    kReadbackSideTone = 1,
    kReadbackMicGain = 2,
    kReadbackSecondMicGain = 3,
};

// What the read-back changes on the page. Called on the worker's thread; the
// page hands the changes on to its own thread. Either may be empty.
struct AudioReadbackSink {
    std::function<void()> enableSetButtons;
    std::function<void(int selector, int value)> value;
    std::function<void(int channel)> checkChannel;
};

// The rows of a read-back reply that carry the values: the row named as the
// command's reply ("+CLVL" for "AT+CLVL?"), or else the first row when it has a
// value at all; null when none has.
const QStringList* AudioValueRow(const QList<QStringList>& rows, const QString& command);
// The number in the given field of such a row; empty when the field is missing
// or is no number.
std::optional<int> AudioRowValue(const QStringList* row, qsizetype field);
// The channel (0, 1 or 2) the row's first value names; empty when none.
std::optional<int> AudioRowChannel(const QStringList* row);

// Reads the module's audio settings into the page: echo on, the channel, the
// volume, the microphone gain and the side tone, each through the given set's
// read form. The first exchange that fails ends it silently. Returns 1.
int AudioReadbackThread(ModemSession& session, const TaskGate::Token& token, const AudioReadbackSink& sink,
    const AudioCommandSet& set, AudioFamily family);

} // namespace ulv
