#include "pages/module/core/AudioCommandSet.h"

#include "shell/core/CUlvenscopeApp.h"

namespace ulv {

namespace {

constexpr char kMute[] = "AT+CMUT";
constexpr char kVolume[] = "AT+CLVL";
constexpr char kMicGain[] = "AT+JMIC";
constexpr char kSideTone[] = "AT+JSIDET";
constexpr char kRingSilent[] = "AT+CALM";
// The P family's module wants its channel command in lower case.
constexpr char kChannelP[] = "at+jaudch";
constexpr char kChannelRX50[] = "AT+JAUDPATH";
constexpr char kChannelRX70[] = "AT+JDAI";
constexpr char kChannelKV[] = "AT+JAUDMOD";

// The test and read forms; the empty text for any other mode but the set form.
QString QueryForm(const char* base, int mode)
{
    if (mode == kAudioTest)
        return QLatin1String(base) + QLatin1String("=?");
    if (mode == kAudioRead)
        return QLatin1String(base) + QLatin1Char('?');
    return {};
}

// A command whose set form takes one of the listed choices (0..last).
template <const char* Base, int Last>
QString ChoiceCommand(int mode, std::span<const int> values)
{
    if (mode != kAudioSet)
        return QueryForm(Base, mode);
    if (values.empty() || values[0] < 0 || values[0] > Last)
        return {};
    return QLatin1String(Base) + QLatin1Char('=') + QString::number(values[0]);
}

// A command whose set form prints its first Count values, signed, unchecked.
template <const char* Base, std::size_t Count>
QString ValueCommand(int mode, std::span<const int> values)
{
    if (mode != kAudioSet)
        return QueryForm(Base, mode);
    if (values.size() < Count)
        return {};
    QString text = QLatin1String(Base) + QLatin1Char('=');
    for (std::size_t i = 0; i < Count; ++i) {
        if (i)
            text += QLatin1Char(',');
        text += QString::number(values[i]);
    }
    return text;
}

// The RX70 has no channel choice: its set form asks for the channels instead.
QString ChannelRX70(int mode, std::span<const int>)
{
    return QueryForm(kChannelRX70, mode == kAudioSet ? kAudioTest : mode);
}

// The RX50 and RX70 take the number 1 in the place of the channel.
QString MicGainRX(int mode, std::span<const int> values)
{
    if (mode != kAudioSet)
        return QueryForm(kMicGain, mode);
    if (values.size() < 3)
        return {};
    return QLatin1String(kMicGain) + QLatin1String("=1,") + QString::number(values[1]) + QLatin1Char(',')
        + QString::number(values[2]);
}

constexpr auto Mute = ChoiceCommand<kMute, 1>;
constexpr auto Volume = ValueCommand<kVolume, 1>;
constexpr auto SideTone = ValueCommand<kSideTone, 1>;
constexpr auto RingSilent = ValueCommand<kRingSilent, 1>;
constexpr auto MicGainChannel = ValueCommand<kMicGain, 2>;

} // namespace

const AudioCommandSet PxxModule = {
    "Pxx", Mute, ChoiceCommand<kChannelP, 2>, Volume, MicGainChannel, SideTone, RingSilent};
const AudioCommandSet RX50Module = {
    "RX50", Mute, ChoiceCommand<kChannelRX50, 2>, Volume, MicGainRX, SideTone, RingSilent};
const AudioCommandSet RX70Module = {"RX70", Mute, ChannelRX70, Volume, MicGainRX, SideTone, RingSilent};
const AudioCommandSet KVXXModule = {
    "KVxx", Mute, ChoiceCommand<kChannelKV, 2>, Volume, MicGainChannel, SideTone, RingSilent};

std::atomic<const AudioCommandSet*> g_audioCommandSet{&PxxModule};

const AudioCommandSet* SelectAudioCommandSet()
{
    switch (GetModuleType()) {
    case 0:
        return &PxxModule;
    case 1:
        switch (GetModuleSubModel()) {
        case 0:
            return &RX70Module;
        case 2:
            return &KVXXModule;
        default:
            return &RX50Module;
        }
    default:
        return &RX70Module;
    }
}

} // namespace ulv
