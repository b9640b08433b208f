#include "pages/module/core/SmsScripts.h"

#include "core/at/ModemSession.h"
#include "core/at/ScriptedExchange.h"
#include "core/at/WaitClock.h"
#include "core/text/AnsiText.h"
#include "core/text/GsmAlphabet.h"
#include "core/text/TextCodecs.h"
#include "pages/module/core/SmsToolText.h"
#include "platform/MessageBox.h"

#include <functional>

namespace ulv {

const QString kSmsSendSuccess = QStringLiteral("Success to send a message!");
const QString kSmsSendFailure = QStringLiteral("Fail to send message!");
const QString kSmsNoMessages = QStringLiteral("No messages in SIM card!");

namespace {

const QString kReadFailure = QStringLiteral("Fail to read a new message!");
const QString kReadNewFailure = QStringLiteral("Fail to read new messages!");
const QString kReadAllEchoFailure = QStringLiteral("Fail to read messages!");
const QString kReadAllFailure = QStringLiteral("Fail to read a message!");
const QString kDeleteFailure = QStringLiteral("Fail to delete a message!");
const QString kDeleteAllFailure = QStringLiteral("Fail to delete all messages!");
const QString kEchoNote = QStringLiteral("/* Use ATE1 to enable echo mode */");
const QString kHexOnly = QStringLiteral("The message may hold only hex digits and blanks in this mode!");

// Hex text as it goes out: a pasted Ctrl-Z or Esc in it would end or cancel the message.
bool AllHexDigits(QByteArrayView hex)
{
    for (char c : hex)
        if (HexDigitValue(c) < 0)
            return false;
    return true;
}

ScriptStep Step(const QString& command, int timeoutMs, const QString& note, const QString& failure = {},
    QStringList success = {QStringLiteral("OK")})
{
    ScriptStep s;
    s.command = command;
    s.timeoutMs = timeoutMs;
    s.success = std::move(success);
    s.note = note;
    s.failure = failure;
    return s;
}

enum class Waited { Done, Failed, Timeout, Stopped };

// Collects what arrives until judge says done (1) or failed (-1), the time is
// up, or the task is stopped. With `silence` the time counts from the last
// piece that arrived.
Waited WaitForText(const ScriptRunner& runner, int timeoutMs, bool silence,
    const std::function<int(const QString&)>& judge, QString& collected)
{
    ReceiveBuffers& buffers = runner.Session().Buffers();
    const ReceiveBuffers::Reading reading(buffers);
    const auto running = runner.Running();
    auto deadline = WaitClockNow() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const unsigned wakes = buffers.WakeCount();
        if (!running())
            return Waited::Stopped;
        // A lost port: what came before it went is still judged, then nothing more can come.
        const bool lost = runner.Session().PortLost();
        if (!lost && WaitClockNow() > deadline)
            return Waited::Timeout;
        const QString text = lost
            ? buffers.TakeReceivedText()
            : buffers.WaitAndTakeReceivedText(WaitClockToSteady(deadline) + std::chrono::milliseconds(1), wakes);
        if (text.isEmpty()) {
            if (lost)
                return Waited::Timeout;
            continue;
        }
        collected += text;
        if (silence)
            deadline = WaitClockNow() + std::chrono::milliseconds(timeoutMs);
        const int verdict = judge(collected);
        if (verdict > 0)
            return Waited::Done;
        if (verdict < 0)
            return Waited::Failed;
    }
}

// A reply judged by its final result line: OK 1, an error result -1, else 0.
int JudgeFinalResult(const QString& text)
{
    if (!text.endsWith(QLatin1Char('\n')))
        return 0;
    if (EndsWithOkResult(text))
        return 1;
    return HasErrorResult(text) ? -1 : 0;
}

// Sends a command (CR LF added) after emptying the received text and writing
// its note; false when the task was stopped.
bool SendCommand(const ScriptRunner& runner, const QString& command, const QString& note)
{
    if (!runner.Active())
        return false;
    runner.Session().Buffers().ClearReceivedText();
    runner.Note(note);
    const auto running = runner.Running();
    return runner.Session().Transmitter().SendCommandIf(running, command) || running();
}

// A command whose reply ends with a final result line: OK is Done, an error
// result Failed. Text inside a message ("BOOK", "ERROR in text") is no result.
Waited RunResultStep(const ScriptRunner& runner, const QString& command, int timeoutMs, const QString& note,
    QString& reply)
{
    reply.clear();
    if (!SendCommand(runner, command, note))
        return Waited::Stopped;
    return WaitForText(runner, timeoutMs, false,
        JudgeFinalResult,
        reply);
}

// Waits for the "> " prompt after an AT+CMGS and the command's echo.
Waited WaitForPrompt(const ScriptRunner& runner, const QString& command, const QString& note)
{
    QString reply;
    if (!SendCommand(runner, command, note))
        return Waited::Stopped;
    return WaitForText(runner, 5000, false,
        [&command](const QString& text) {
            if (text.contains(QLatin1Char('>')) && text.contains(command))
                return 1;
            return text.endsWith(QLatin1Char('\n')) && HasErrorResult(text) ? -1 : 0;
        },
        reply);
}

// Writes the body (no line end) and gives its echo the time to come back.
// Septets go out byte for byte; text as UTF-8.
bool SendBody(const ScriptRunner& runner, const QByteArray& body, bool septets = false)
{
    if (!runner.Active())
        return false;
    runner.Session().Buffers().ClearReceivedText();
    const QString text = AnsiToString(body);
    if (septets)
        runner.Session().Transmitter().SendRawBytes(body);
    else
        runner.Session().Transmitter().SendToModuleQuiet(text, PortTransmitter::kText, false);
    const qsizetype expected = (septets ? body.size() : text.size()) + CountLineBreaks(body);
    QString echo;
    const Waited w = WaitForText(
        runner, 2000, false, [expected](const QString& t) { return t.size() >= expected ? 1 : 0; }, echo);
    return w != Waited::Stopped;
}

// Ctrl-Z and the send's final result. Silence is a failure: nothing says the
// message went out.
Waited SendCtrlZ(const ScriptRunner& runner, int timeoutMs)
{
    if (!runner.Active())
        return Waited::Stopped;
    runner.Session().Buffers().ClearReceivedText();
    runner.Session().Transmitter().SendByte(0x1A);
    QString reply;
    return WaitForText(runner, timeoutMs, false,
        JudgeFinalResult,
        reply);
}

QString SendNote(const QString& number)
{
    return QStringLiteral("/* AT+CMGS=\"%1\", and then wait for the\">\" appears, input your message after the \">\", "
                          "use <CTRL+Z> or 1A (HEX String) to send a message,when receive +CMGS:<index> and OK , "
                          "means the message has been sent successfully. */")
        .arg(number);
}

bool SendText(const ScriptRunner& runner, const SmsSendRequest& request, const SmsTextSend& d, SmsPageSink& page)
{
    QString reply;
    const ScriptStep steps[] = {
        Step(QStringLiteral("AT+CMGF=1"), 3000, QStringLiteral("/* Use AT+CMGF=1 to set text mode */"), {},
            {QStringLiteral("OK"), QStringLiteral("AT+CMGF=1")}),
        Step(d.csmp, 3000,
            QStringLiteral("/* Use AT+CSMP to set SMS parameter for text mode (default setting: AT+CSMP=17,167,0,0) */")),
        Step(QStringLiteral("AT+CSCS=\"%1\"").arg(d.charset), 3000,
            QStringLiteral("/* Use AT+CSCS to set character type (default setting:AT+CSCS=\"GSM\") */")),
    };
    for (const ScriptStep& step : steps)
        if (runner.Run(step, reply) != StepResult::Success)
            return false;
    page.SetStatus(QStringLiteral("Sending......"));
    QString note = SendNote(request.number);
    if (!d.codeNote.isEmpty())
        note += QStringLiteral("\r\n/* ") + d.codeNote + QStringLiteral(" */");
    if (WaitForPrompt(runner, QStringLiteral("AT+CMGS=\"%1\"").arg(d.number), note) != Waited::Done)
        return false;
    if (!SendBody(runner, d.body, d.septets))
        return false;
    const qsizetype chars = d.septets ? d.body.size() : AnsiToString(d.body).size();
    const int timeoutMs = chars < 500 ? 10000 : chars < 1000 ? 20000 : 30000;
    const Waited w = SendCtrlZ(runner, timeoutMs);
    if (w == Waited::Failed)
        runner.Note(QStringLiteral("/* if send message fail , you may need to check the SIM states, the network "
                                   "states, the SMSC is right or not ,then try to send message again */"));
    return w == Waited::Done;
}

bool SendPdu(const ScriptRunner& runner, const QByteArray& pdu, int length, SmsPageSink& page)
{
    QString reply;
    if (runner.Run(Step(QStringLiteral("AT+CMGF=0"), 5000, QStringLiteral("/* Use AT+CMGF=0 to set PDU mode */"), {},
                       {QStringLiteral("OK"), QStringLiteral("AT+CMGF=0")}),
            reply)
        != StepResult::Success)
        return false;
    page.SetStatus(QStringLiteral("Sending......"));
    const QString note = QStringLiteral(
        "/* PDU mode:AT+CMGS=\"%1\", and then wait for the\">\" appears, input your message after the \">\", use "
        "<CTRL+Z> or 1A (HEX String) to send a message, when receive +CMGS:<index> and OK , means the message has "
        "been sent successfully. */")
                             .arg(length);
    if (WaitForPrompt(runner, QStringLiteral("AT+CMGS=%1").arg(length), note) != Waited::Done)
        return false;
    if (!SendBody(runner, pdu))
        return false;
    return SendCtrlZ(runner, 5000) == Waited::Done;
}

// How a read runs: PDU or text mode, the header steps and the character set.
struct ReadPlan {
    bool pdu = false;
    bool header = false;
    QString cscs;
    SmsCharset charset = SmsCharset::Gsm;
    bool lengthRule = false;
};

ReadPlan PlanRead(const SmsReadRequest& r, bool newMessages)
{
    ReadPlan p;
    p.pdu = r.pduMode || r.selection == kSmsTypePdu;
    p.header = r.selection == kSmsTypeGsm || (!newMessages && r.selection == kSmsTypeIraOr8Bit && r.moduleType != 0);
    p.lengthRule = r.selection == kSmsTypeGsm;
    switch (r.selection) {
    case kSmsTypeIraOr8Bit:
        if (newMessages || r.moduleType == 0) {
            p.cscs = QStringLiteral("AT+CSCS=\"HEX\"");
            p.charset = SmsCharset::Hex;
        } else {
            p.cscs = QStringLiteral("AT+CSCS=\"IRA\"");
            p.charset = SmsCharset::Ira;
        }
        break;
    case kSmsTypeUcs2:
        p.cscs = QStringLiteral("AT+CSCS=\"UCS2\"");
        p.charset = SmsCharset::Ucs2;
        break;
    default: p.cscs = QStringLiteral("AT+CSCS=\"GSM\""); break;
    }
    return p;
}

const QString kHeaderOnNote = QStringLiteral("/* Use AT+CSDH=1 to show header values only in text mode */");
const QString kHeaderOffNote = QStringLiteral("/* Use AT+CSDH=0 to hide header values only in text mode */");

// The steps before the first AT+CMGR; false after showing the failure.
bool PrepareRead(const ScriptRunner& runner, const ReadPlan& plan, const QString& echoFailure)
{
    QString reply;
    if (!runner.RunOrFail(Step(QStringLiteral("ATE1"), 3000, kEchoNote, echoFailure), reply))
        return false;
    if (plan.pdu)
        return runner.RunOrFail(
            Step(QStringLiteral("AT+CMGF=0"), 3000, QStringLiteral("/* Use PDU mode */"), kReadFailure), reply);
    if (!runner.RunOrFail(
            Step(QStringLiteral("AT+CMGF=1"), 3000, QStringLiteral("/* Use text mode */"), kReadFailure), reply))
        return false;
    if (plan.header
        && !runner.RunOrFail(Step(QStringLiteral("AT+CSDH=1"), 2000, kHeaderOnNote, kReadFailure), reply))
        return false;
    return runner.RunOrFail(Step(plan.cscs, 3000, QStringLiteral("/* Set character type */"), kReadFailure), reply);
}

// Reads one index; the message goes to the dialog and the list. Result of the AT+CMGR step.
Waited ReadOne(const ScriptRunner& runner, const ReadPlan& plan, int index, const QString& note, SmsPageSink& page)
{
    QString reply;
    const Waited w = RunResultStep(runner, QStringLiteral("AT+CMGR=%1").arg(index), 3000, note, reply);
    if (w != Waited::Done || !runner.Active())
        return w;
    SmsEntry e;
    const bool found = plan.pdu ? ParsePduCmgrReply(reply, e) : ParseCmgrTextReply(reply, plan.charset, plan.lengthRule, e);
    // An empty storage place answers a plain OK: nothing to show.
    if (!found)
        return w;
    e.index = QString::number(index);
    // Reading marks a received message read; a stored one keeps its status.
    if (e.status == QLatin1String("REC UNREAD"))
        e.status = QStringLiteral("REC READ");
    page.ShowMessage(e);
    page.PutEntry(e);
    return w;
}

} // namespace

SmsTextSend DeriveTextSend(const SmsSendRequest& r)
{
    SmsTextSend d;
    d.csmp = QStringLiteral("AT+CSMP=17,167,0,0");
    d.number = r.number;
    const QString boxText = AnsiToString(r.text);
    if (r.type == kSmsTypeUcs2) {
        d.charset = QStringLiteral("UCS2");
        d.number = QString::fromLatin1(TextToUcs2Hex(r.number.toUtf8()));
        d.body = r.inputMode == 0 ? TextToUcs2Hex(r.text) : WithoutBlanks(r.text);
        if (r.inputMode == 0)
            d.codeNote = QStringLiteral("the UCS2 code string of \"%1\" is \"%2\"").arg(boxText, AnsiToString(d.body));
        if (!AllHexDigits(d.body))
            d.refusal = kHexOnly;
        if (IsUcs2Needed(d.body))
            d.csmp = QStringLiteral("AT+CSMP=17,167,0,8");
    } else if (r.type == kSmsTypeIraOr8Bit && r.moduleType == 0) {
        d.charset = QStringLiteral("HEX");
        d.csmp = QStringLiteral("AT+CSMP=17,167,0,4");
        d.number = QString::fromLatin1(WithoutBlanks(BytesToSpacedHex(r.number.toUtf8())));
        d.body = WithoutBlanks(r.text);
        if (!AllHexDigits(d.body))
            d.refusal = kHexOnly;
    } else {
        d.charset = r.type == kSmsTypeGsm ? QStringLiteral("GSM") : QStringLiteral("IRA");
        d.body = r.inputMode == 1 ? HexToText(r.text) : r.text;
        const QString text = AnsiToString(d.body);
        if (r.inputMode == 1)
            d.codeNote = (r.type == kSmsTypeGsm ? QStringLiteral("GSM7 code string of \"%1\" is \"%2\"")
                                                : QStringLiteral("the IRA code string of \"%1\" is \"%2\""))
                             .arg(boxText, text);
        // The module reads the body in the character set just announced. No
        // extension characters: their escape byte would cancel the message.
        if (r.type == kSmsTypeGsm) {
            GsmAlphabetText gsm = EncodeGsmAlphabet(text, false);
            if (!gsm.Ok())
                d.refusal = TextCharsetRefusal(gsm.refused, d.charset);
            d.body = std::move(gsm.bytes);
            d.septets = true;
        } else {
            // IRA is 7-bit ASCII; Ctrl-Z would end the message and Esc cancel it.
            for (qsizetype i = 0; i < text.size() && d.refusal.isEmpty(); ++i) {
                const char16_t c = text[i].unicode();
                if (c >= 0x80 || c == 0x1A || c == 0x1B)
                    d.refusal = TextCharsetRefusal(text.mid(i, text[i].isHighSurrogate() ? 2 : 1), d.charset);
            }
        }
    }
    return d;
}

bool SendSmsScript(const ScriptRunner& runner, const SmsSendRequest& request, SmsPageSink& page)
{
    if (!IsValidNumber(request.number))
        return runner.Fail(QStringLiteral("Recipient number is invalid!"));
    QByteArray pdu;
    int length = 0;
    if (request.type == kSmsTypePdu) {
        pdu = WithoutBlanks(request.text);
        if (!AllHexDigits(pdu))
            return runner.Fail(kHexOnly);
        length = GetPduTpduLength(pdu);
        // A PDU whose first octet does not fit it would be cut by the module.
        if (length <= 0)
            return runner.Fail(kSmsSendFailure);
    }
    SmsTextSend text;
    if (request.type != kSmsTypePdu) {
        text = DeriveTextSend(request);
        if (!text.refusal.isEmpty())
            return runner.Fail(text.refusal);
    }
    QString reply;
    if (runner.Run(Step(QStringLiteral("ATE1"), 3000, kEchoNote), reply) != StepResult::Success)
        return runner.Fail(kSmsSendFailure);
    const bool sent
        = request.type == kSmsTypePdu ? SendPdu(runner, pdu, length, page) : SendText(runner, request, text, page);
    // The status line never goes on saying "Sending......" for a send that ended.
    if (!sent)
        page.SetStatus(QStringLiteral("Send failed"));
    if (!runner.Active())
        return false;
    if (!sent)
        return runner.Fail(kSmsSendFailure);
    page.SetStatus(QStringLiteral("Send finished"));
    if (runner.Active())
        ShowMessageBox(kSmsSendSuccess);
    return true;
}

bool ReadSmsScript(const ScriptRunner& runner, const SmsReadRequest& request, int index, SmsPageSink& page)
{
    const ReadPlan plan = PlanRead(request, false);
    if (!PrepareRead(runner, plan, kReadFailure))
        return false;
    const QString note = plan.pdu ? QStringLiteral("/* Use AT+CMGR=<index> to read a message */")
                                  : QStringLiteral("/* Read the message which will change the status of the message */");
    const Waited w = ReadOne(runner, plan, index, note, page);
    if (w == Waited::Stopped)
        return false;
    QString reply;
    if (plan.header && !plan.pdu
        && !runner.RunOrFail(Step(QStringLiteral("AT+CSDH=0"), 2000, kHeaderOffNote, kReadFailure), reply))
        return false;
    if (w != Waited::Done)
        return runner.Fail(kReadFailure);
    return runner.Active();
}

bool ReadNewSmsScript(
    const ScriptRunner& runner, const SmsReadRequest& request, const std::vector<int>& indexes, SmsPageSink& page)
{
    const ReadPlan plan = PlanRead(request, true);
    if (!PrepareRead(runner, plan, kReadNewFailure))
        return false;
    const QString note = plan.pdu ? QStringLiteral("/* Use AT+CMGR=<index> to read a message */")
                                  : QStringLiteral("/* Read the message which will change the status of the message */");
    for (const int index : indexes) {
        const Waited w = ReadOne(runner, plan, index, note, page);
        if (w == Waited::Stopped)
            return false;
        if (w != Waited::Done)
            return runner.Fail(kReadNewFailure);
    }
    QString reply;
    if (plan.header && !plan.pdu)
        runner.Run(Step(QStringLiteral("AT+CSDH=0"), 2000, kHeaderOffNote), reply);
    return runner.Active();
}

bool ReadAllSmsScript(const ScriptRunner& runner, const SmsReadRequest& request, SmsPageSink& page)
{
    const ReadPlan plan = PlanRead(request, false);
    QString reply;
    if (!runner.RunOrFail(
            Step(QStringLiteral("ATE1"), 3000, QStringLiteral("/* Set ATE1 to enable echo mode */"), kReadAllEchoFailure),
            reply))
        return false;
    const QString cpms = QStringLiteral("AT+CPMS=\"SM\",\"SM\",\"SM\"");
    const QString cpmsNote = QStringLiteral("/* Inquire the information of short messages */");
    const QStringList cpmsSuccess{QStringLiteral("OK"), QStringLiteral("AT+CPMS=\"SM\"")};
    QString listCommand, echo;
    int silenceMs = 0;
    if (plan.pdu) {
        if (!runner.RunOrFail(Step(QStringLiteral("AT+CMGF=0"), 2000, QStringLiteral("/* Use PDU mode */"),
                                  kReadAllFailure, {QStringLiteral("OK"), QStringLiteral("AT+CMGF=0")}),
                reply)
            || !runner.RunOrFail(Step(cpms, 2000, cpmsNote, kReadAllFailure, cpmsSuccess), reply))
            return false;
        if (CpmsUsedCount(reply) == 0) {
            page.ClearEntries(); // the store holds none: that is what the list shows
            return runner.Fail(kSmsNoMessages);
        }
        listCommand = request.moduleType == 0 ? QStringLiteral("AT+CMGL=4,1") : QStringLiteral("AT+CMGL=4");
        echo = QStringLiteral("AT+CMGL=4");
        silenceMs = 8000;
    } else {
        if (!runner.RunOrFail(
                Step(QStringLiteral("AT+CMGF=1"), 2000, QStringLiteral("/* Use text mode */"), kReadAllFailure), reply)
            || !runner.RunOrFail(Step(cpms, 2000, cpmsNote, kReadAllFailure, cpmsSuccess), reply))
            return false;
        if (CpmsUsedCount(reply) == 0) {
            page.ClearEntries(); // the store holds none: that is what the list shows
            return runner.Fail(kSmsNoMessages);
        }
        if (plan.header
            && !runner.RunOrFail(Step(QStringLiteral("AT+CSDH=1"), 2000, kHeaderOnNote, kReadAllFailure), reply))
            return false;
        if (!runner.RunOrFail(Step(plan.cscs, 3000, QStringLiteral("/* Set character type */"), kReadFailure), reply))
            return false;
        listCommand = request.moduleType == 0 ? QStringLiteral("AT+CMGL=\"ALL\",1") : QStringLiteral("AT+CMGL=\"ALL\"");
        echo = QStringLiteral("AT+CMGL=\"ALL\"");
        silenceMs = 15000;
    }
    if (!SendCommand(runner, listCommand, QStringLiteral("/* Read all messages */")))
        return false;
    const SmsListing listing(plan.pdu, !plan.pdu && plan.lengthRule, plan.charset);
    // The listing proper starts after the echo's line.
    const auto afterEcho = [&echo](const QString& text) -> qsizetype {
        const qsizetype at = text.indexOf(echo);
        if (at < 0)
            return -1;
        const qsizetype end = text.indexOf(QLatin1Char('\n'), at);
        return end < 0 ? -1 : end + 1;
    };
    QString collected;
    const Waited w = WaitForText(runner, silenceMs, true,
        [&](const QString& text) {
            const qsizetype start = afterEcho(text);
            if (start < 0)
                return text.endsWith(QLatin1Char('\n')) && HasErrorResult(text) ? -1 : 0;
            switch (listing.Judge(text.mid(start))) {
            case SmsListing::State::Ok: return 1;
            case SmsListing::State::Error: return -1;
            case SmsListing::State::More: return 0;
            }
            return 0;
        },
        collected);
    if (w == Waited::Stopped)
        return false;
    if (w == Waited::Done) {
        // The list is replaced only by a listing that came whole: a read that
        // fails leaves the rows it had.
        QStringList refused;
        const QList<SmsEntry> entries = listing.Entries(collected.mid(afterEcho(collected)), &refused);
        for (const QString& note : refused)
            runner.Note(note);
        page.ClearEntries();
        for (const SmsEntry& e : entries)
            page.AppendEntry(e);
    }
    bool ok = w == Waited::Done;
    if (!plan.pdu && plan.header) {
        const StepResult r = runner.Run(Step(QStringLiteral("AT+CSDH=0"), 2000, kHeaderOffNote), reply);
        if (r == StepResult::Stopped)
            return false;
        ok = ok && r == StepResult::Success;
    }
    if (!ok)
        return runner.Fail(kReadAllFailure);
    return runner.Active();
}

bool DeleteSmsScript(const ScriptRunner& runner, int index, SmsPageSink& page)
{
    QString reply;
    if (!runner.RunOrFail(Step(QStringLiteral("ATE1"), 3000, kEchoNote, kDeleteFailure), reply))
        return false;
    if (!runner.RunOrFail(Step(QStringLiteral("AT+CMGD=%1").arg(index), 3000,
                              QStringLiteral("/* Use AT+CMGD=<index> to delete a message */"), kDeleteFailure),
            reply))
        return false;
    if (!runner.Active())
        return false;
    page.EntryDeleted(QString::number(index));
    return true;
}

bool DeleteAllSmsScript(const ScriptRunner& runner, int moduleType, int subModel, SmsPageSink& page)
{
    QString reply;
    if (!runner.RunOrFail(Step(QStringLiteral("ATE1"), 3000, kEchoNote, kDeleteAllFailure), reply)
        || !runner.RunOrFail(
            Step(QStringLiteral("AT+CMGF=0"), 3000, QStringLiteral("/* Use PDU mode */"), kDeleteAllFailure), reply))
        return false;
    // The RX70 and RX50 have a delete-all command of their own; every other
    // module, the GSM family's included, deletes all with the standard one.
    const bool standard = moduleType != 1 || subModel == 2;
    const ScriptStep step = standard
        ? Step(QStringLiteral("AT+CMGD=1,4"), 10000, QStringLiteral("/* Use AT+CMGD=1,4 to delete all messages */"),
            kDeleteAllFailure)
        : Step(QStringLiteral("AT+JMGDA=6"), 10000, QStringLiteral("/* Use AT+JMGDA=6 to delete all messages */"),
            kDeleteAllFailure);
    if (!runner.RunOrFail(step, reply) || !runner.Active())
        return false;
    page.AllDeleted();
    return true;
}

} // namespace ulv
