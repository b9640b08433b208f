#pragma once

#include <QString>
#include <atomic>
#include <span>

namespace ulv {

// Modes of an audio command builder; any other mode gives the empty text.
enum AudioCommandMode : int {
    kAudioTest = 0, // "...=?"
    kAudioRead = 1, // "...?"
    kAudioSet = 2,  // "...=<values>"
};

// Builds one audio command, without CR LF. The set form takes its numbers from
// values (the mute and channel builders the first one); a set form given fewer
// values than it prints gives the empty text.
using AudioCommandBuilder = QString (*)(int mode, std::span<const int> values);

// The audio dialect of one module family or model. The voice page never writes
// an audio command itself: it asks the set in use for the text and queues it.
struct AudioCommandSet {
    const char* name;
    AudioCommandBuilder mute;         // value 0 or 1
    AudioCommandBuilder audioChannel; // 0 main, 1 auxiliary earphone, 2 hands free
    AudioCommandBuilder volume;
    // Pxx and KVxx: (channel, gain); RX50 and RX70: (ignored, gain, second gain).
    AudioCommandBuilder micGain;
    AudioCommandBuilder sideTone;
    AudioCommandBuilder ringSilent; // value 0 or 1
};

extern const AudioCommandSet PxxModule;  // GSM family
extern const AudioCommandSet RX50Module; // UMTS/HSPA family
extern const AudioCommandSet RX70Module;
extern const AudioCommandSet KVXXModule;

// The set for the module type and sub-model the identification found.
const AudioCommandSet* SelectAudioCommandSet();

// The set in use; set by the voice page, read by its workers too. Never null.
extern std::atomic<const AudioCommandSet*> g_audioCommandSet;

} // namespace ulv
