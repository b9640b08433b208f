#include "pages/module/core/VoiceCall.h"

#include "core/at/ReplySplit.h"
#include "core/at/SendAndWait.h"
#include "core/text/TextCodecs.h"
#include "pages/module/core/AudioCommandSet.h"

#include <QRegularExpression>

namespace ulv {

int ClccStatToCallState(const QString& stat)
{
    static const QString kStats[] = {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"),
        QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5")};
    static constexpr int kStates[] = {kCallActive, kCallHeld, kCallDialing, kCallAlerting, kCallIncoming, kCallWaiting};
    for (int i = 0; i < 6; ++i) {
        if (stat == kStats[i])
            return kStates[i];
    }
    return kCallIdle;
}

ClccReport ParseClccReply(const QString& reply)
{
    ClccReport report;
    if (!reply.contains(QLatin1String("+CLCC:")))
        return report;
    report.hasCall = true;
    QStringList lines;
    QList<QStringList> rows;
    SplitReplyLines(reply, lines, rows);
    // The first call's row and line; an unsolicited result that came with the
    // reply is not a call.
    for (const QStringList& row : rows) {
        if (row.value(0) == QLatin1String("+CLCC")) {
            report.state = ClccStatToCallState(row.value(3));
            break;
        }
    }
    for (const QString& line : lines) {
        if (!line.startsWith(QLatin1String("+CLCC:")))
            continue;
        const qsizetype open = line.indexOf(QLatin1Char('"'));
        const qsizetype close = open < 0 ? -1 : line.indexOf(QLatin1Char('"'), open + 1);
        if (close > open)
            report.number = line.mid(open + 1, close - open - 1);
        break;
    }
    return report;
}

std::optional<QString> ParseClipLine(const QString& line)
{
    if (!line.startsWith(QLatin1String("+CLIP:")))
        return std::nullopt;
    const qsizetype open = line.indexOf(QLatin1Char('"'));
    const qsizetype close = open < 0 ? -1 : line.indexOf(QLatin1Char('"'), open + 1);
    if (close < 0)
        return std::nullopt;
    return line.mid(open + 1, close - open - 1);
}

QString CharsetOfCscsReply(const QString& reply)
{
    const qsizetype at = reply.indexOf(QLatin1String("+CSCS:"));
    if (at >= 0) {
        const qsizetype open = reply.indexOf(QLatin1Char('"'), at);
        const qsizetype close = open < 0 ? -1 : reply.indexOf(QLatin1Char('"'), open + 1);
        if (close > open)
            return reply.mid(open + 1, close - open - 1).toUpper();
    }
    return QStringLiteral("GSM");
}

namespace {

bool IsDialCharacter(QChar c)
{
    static const QString kDial = QStringLiteral("0123456789+*#ABCDPW,");
    return kDial.contains(c.toUpper());
}

// Groups of `width` hex digits, each one character; false for anything else.
bool DecodeHexUnits(const QString& hex, int width, QString& out)
{
    if (hex.size() % width != 0)
        return false;
    for (qsizetype i = 0; i < hex.size(); i += width) {
        char16_t unit = 0;
        for (int k = 0; k < width; ++k) {
            const QChar c = hex[i + k];
            const int v = c.unicode() < 0x80 ? HexDigitValue(char(c.unicode())) : -1;
            if (v < 0)
                return false;
            unit = char16_t(unit * 16 + v);
        }
        out.append(QChar(unit));
    }
    return true;
}

} // namespace

QString DecodeCallNumber(const QString& number, const QString& charset)
{
    QString decoded;
    const QString set = charset.toUpper();
    if (set == QLatin1String("HEX")) {
        // The digits and signs of a number are the same in the GSM alphabet.
        if (!DecodeHexUnits(number, 2, decoded))
            return {};
    } else if (set == QLatin1String("UCS2")) {
        if (!DecodeHexUnits(number, 4, decoded))
            return {};
    } else {
        decoded = number;
    }
    for (QChar c : decoded) {
        if (!IsDialCharacter(c))
            return {};
    }
    return decoded;
}

QString CallCommand(const QString& number, int callState)
{
    if (callState == kCallIncoming)
        return QStringLiteral("ATA");
    return QStringLiteral("ATD") + number + QLatin1Char(';');
}

QString CallCommandNote(const QString& command)
{
    if (command == QLatin1String("ATA"))
        return QStringLiteral("/* Use ATA to answer */");
    return QStringLiteral("/* Use ") + command + QStringLiteral(" to dial up */");
}

QString CallTimeText(std::int64_t elapsedMs)
{
    return QStringLiteral("Call Time:%1 S").arg(double(elapsedMs) * 0.001, 0, 'f', 2);
}

AudioFamily AudioFamilyOf(int moduleType, int subModel)
{
    if (moduleType == 0)
        return AudioFamily::Gsm;
    if (moduleType == 1 && subModel == 1)
        return AudioFamily::Rx50;
    if (moduleType == 1 && subModel == 2)
        return AudioFamily::Kv;
    return AudioFamily::Rx70;
}

AudioRanges AudioRangesFor(AudioFamily family)
{
    AudioRanges r;
    switch (family) {
    case AudioFamily::Gsm:
        r.sideTone = {0, 255, 127, 1};
        r.micGain = {0, 15, 7, 1};
        r.volume = {0, 100, 50, 1};
        break;
    case AudioFamily::Rx50:
    case AudioFamily::Rx70:
        r.sideTone = {0, 65535, 32767, 1};
        r.micGain = {0, 65535, 32767, family == AudioFamily::Rx50 ? 10 : 1};
        r.secondMicGain = SpinSetup{0, 65535, 32767, 1};
        r.volume = {0, 7, 3, 1};
        r.showSecondMicGain = true;
        break;
    case AudioFamily::Kv:
        r.sideTone = {-450, 200, 0, 1};
        r.micGain = {0, 15, 7, 1};
        r.secondMicGain = SpinSetup{0, 2, 1, 1};
        r.volume = {0, 100, 50, 1};
        break;
    }
    return r;
}

bool AudioChannelsFixed(AudioFamily family)
{
    return family == AudioFamily::Rx70;
}

std::optional<std::array<int, 3>> MicGainValues(AudioFamily family, int channel, int gain, int secondGain)
{
    switch (family) {
    case AudioFamily::Gsm:
        if (channel < 0)
            return std::nullopt;
        return std::array{channel, gain, 0};
    case AudioFamily::Kv: return std::array{channel < 0 ? -1 : channel, gain, 0};
    case AudioFamily::Rx50:
    case AudioFamily::Rx70: return std::array{1, gain, secondGain};
    }
    return std::nullopt;
}

namespace {

// "+CLVL" of "AT+CLVL?" (the name a reply row starts with).
QString ReplyName(const QString& command)
{
    QString name = command.mid(2);
    const qsizetype end = name.indexOf(QRegularExpression(QStringLiteral("[=?]")));
    return end < 0 ? name : name.left(end);
}

} // namespace

const QStringList* AudioValueRow(const QList<QStringList>& rows, const QString& command)
{
    const QString name = ReplyName(command);
    for (const QStringList& row : rows) {
        if (row.size() >= 2 && row[0].compare(name, Qt::CaseInsensitive) == 0)
            return &row;
    }
    if (!rows.isEmpty() && rows[0].size() >= 2)
        return &rows[0];
    return nullptr;
}

std::optional<int> AudioRowValue(const QStringList* row, qsizetype field)
{
    if (!row || field < 0 || field >= row->size())
        return std::nullopt;
    bool ok = false;
    const int value = (*row)[field].toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

std::optional<int> AudioRowChannel(const QStringList* row)
{
    if (!row || row->size() < 2)
        return std::nullopt;
    for (int channel : {0, 1, 2}) {
        if ((*row)[1].contains(QString::number(channel)))
            return channel;
    }
    return std::nullopt;
}

int AudioReadbackThread(ModemSession& session, const TaskGate::Token& token, const AudioReadbackSink& sink,
    const AudioCommandSet& set, AudioFamily family)
{
    if (sink.enableSetButtons)
        sink.enableSetButtons();
    const RunningFlag running = [&token] { return token.Active(); };
    QList<QStringList> rows;
    const QStringList* row = nullptr;
    const auto ask = [&](const QString& command) {
        QStringList lines;
        rows.clear();
        if (SendAndParseLines(session, lines, rows, running, command, QStringLiteral("OK"), QStringLiteral("ERROR"),
                3000)
            != 0)
            return false;
        row = AudioValueRow(rows, command);
        return true;
    };
    // A field that is there and is a number; anything else leaves the box alone.
    const auto deliver = [&](qsizetype field, int selector) {
        if (!sink.value)
            return;
        if (const std::optional<int> value = AudioRowValue(row, field))
            sink.value(selector, *value);
    };
    const std::array<int, 1> none{0};

    if (!ask(QStringLiteral("ATE1")) || !ask(set.audioChannel(kAudioTest, none))
        || !ask(set.audioChannel(kAudioRead, none)))
        return 1;
    if (!AudioChannelsFixed(family) && sink.checkChannel) {
        if (const std::optional<int> channel = AudioRowChannel(row))
            sink.checkChannel(*channel);
    }
    if (!ask(set.volume(kAudioRead, none)))
        return 1;
    deliver(1, kReadbackVolume);
    if (!ask(set.micGain(kAudioRead, none)))
        return 1;
    if (family == AudioFamily::Gsm || family == AudioFamily::Kv) {
        deliver(1, kReadbackMicGain);
    } else {
        deliver(2, kReadbackMicGain);
        deliver(3, kReadbackSecondMicGain);
    }
    if (!ask(set.sideTone(kAudioRead, none)))
        return 1;
    deliver(1, kReadbackSideTone);
    return 1;
}

} // namespace ulv
