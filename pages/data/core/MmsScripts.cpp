#include "pages/data/core/MmsScripts.h"

#include "core/at/ModemSession.h"
#include "core/at/ScriptedExchange.h"
#include "core/at/WaitClock.h"

#include <QFile>
#include <QFileInfo>

namespace ulv {

namespace {

using namespace std::chrono_literals;

constexpr int kStepMs = 3000;
constexpr int kActivateMs = 15000;
constexpr int kConnectMs = 10000;
constexpr int kUploadAnswerMs = 3000;
constexpr int kSendMs = 150000;

ScriptStep Step(const QString& note, const QString& command, int timeoutMs = kStepMs,
    QStringList success = {QStringLiteral("OK")})
{
    ScriptStep s;
    s.note = note;
    s.command = command;
    s.timeoutMs = timeoutMs;
    s.success = std::move(success);
    return s;
}

// A clean-up step: "OK" or "ERROR" ends it, and its outcome is not used.
ScriptStep Tidy(const QString& note, const QString& command)
{
    ScriptStep s = Step(note, command, kStepMs, {QStringLiteral("OK"), QStringLiteral("ERROR")});
    s.anySuccess = true;
    s.error.clear();
    return s;
}

QString Quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

class MmsSender {
public:
    MmsSender(ModemSession& session, const TaskGate::Token& token, const MmsSendInput& input,
        const MmsProgress& progress)
        : m_session(session)
        , m_run(session, token)
        , m_in(input)
        , m_progress(progress)
    {
    }

    bool Run()
    {
        // An attachment that cannot be sent is known before the module is
        // asked anything: nothing to configure, nothing to clean up.
        for (const QString& path : {m_in.file1, m_in.file2}) {
            if (!path.isEmpty() && !Readable(path)) {
                m_run.Fail(MmsAttachmentUnreadable(path));
                Progress(100, QString());
                return false;
            }
        }
        const bool sent = Steps();
        // The clean-up goes first: the module is not left with its context
        // active while the failure box waits for the user.
        CleanUp();
        Progress(100, QString());
        if (m_failed)
            m_run.Fail(QString::fromLatin1(kMmsSendFailed));
        return sent;
    }

private:
    void Progress(int position, const std::optional<QString>& caption = std::nullopt) const
    {
        if (m_progress)
            m_progress(position, caption);
    }

    // Notes the failure; its box follows the clean-up.
    bool Failed() const
    {
        m_failed = true;
        return false;
    }

    static bool Readable(const QString& path)
    {
        QFile file(path);
        return QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly);
    }

    // A step whose failure ends the send; after a Stop no box is shown.
    bool Must(const ScriptStep& step, QString* reply = nullptr) const
    {
        QString r;
        const StepResult result = m_run.Run(step, r);
        if (reply)
            *reply = r;
        if (result == StepResult::Success)
            return true;
        if (result != StepResult::Stopped)
            Failed();
        return false;
    }

    // A query whose answer only reaches the terminal; false after a Stop.
    bool Query(const ScriptStep& step) const
    {
        QString r;
        return m_run.Run(step, r) != StepResult::Stopped;
    }

    bool Steps();
    bool Upload(int index, const QString& path);
    void CleanUp();

    ModemSession& m_session;
    ScriptRunner m_run;
    const MmsSendInput& m_in;
    const MmsProgress& m_progress;
    bool m_activated = false;
    mutable bool m_failed = false;
    bool m_uploaded[2] = {false, false};
    QString m_ramName[2];
};

bool MmsSender::Steps()
{
    Progress(0, QString::fromLatin1(kMmsStep1));
    if (!Must(Step("/* Use ATE1 to enable echo mode */", "ATE1")))
        return false;
    if (!Query(Step("/* Use AT+CPIN? to query the SIM card status : SIM card inserted or not, locked or unlocked */",
            "AT+CPIN?"))
        || !Query(Step("/* Use AT+CIMI to query the IMSI of SIM card */", "AT+CIMI"))
        || !Query(Step("/* Use AT+CSQ to query current signal quality */", "AT+CSQ"))
        || !Query(Step("/* Use AT+CREG? /AT+CGREG? to query the network registration status. */", "AT+CREG?"))
        || !Query(Step({}, "AT+CGREG?"))
        || !Query(Step("/* Use AT+COPS? to query current Network Operator */", "AT+COPS?")))
        return false;
    Progress(5);

    if (!Must(Step("/* Configure PDP context */",
            QString("AT+JICSGP=1,1,%1,%2,%3,1").arg(Quoted(m_in.apn), Quoted(m_in.user), Quoted(m_in.password)))))
        return false;
    if (!Must(Step("/* Activate PDP context */", "AT+JIACT=1", kActivateMs)))
        return false;
    m_activated = true;
    if (!Must(Step("/* Set the PDP context ID as 1. The PDP context ID must be activated before */",
            "AT+JMMSCFG=\"contextid\",1")))
        return false;
    Progress(15, QString::fromLatin1(kMmsStep2));

    if (!Must(Step("/* Configure the URL of MMSC */", "AT+JMMSCFG=\"mmsc\"," + Quoted(m_in.mmscUrl)))
        || !Must(Step("/* Configure the proxy address and port of MMSC */",
            "AT+JMMSCFG=\"proxy\"," + Quoted(m_in.proxy) + ',' + m_in.port)))
        return false;
    Progress(25);
    if (!Must(Step("/* Configure the sending parameters */", "AT+JMMSCFG=\"sendparam\",6,2,0,0,0,4")))
        return false;
    Progress(30);

    if (!m_in.phone.isEmpty()
        && !Must(Step("/* Add a phone number as recipient */", "AT+JMMSEDIT=1,1," + Quoted(m_in.phone))))
        return false;
    if (!m_in.cc.isEmpty() && !Must(Step("/* Add an email address as CC recipient */", "AT+JMMSEDIT=2,1," + Quoted(m_in.cc))))
        return false;
    if (!m_in.bcc.isEmpty()
        && !Must(Step("/* Add an email address as BCC recipient */", "AT+JMMSEDIT=3,1," + Quoted(m_in.bcc))))
        return false;
    if (!Must(Step("/* Configure the character type as ASCII for title */",
            "AT+JMMSCFG=\"character\"," + Quoted(m_in.titleCharset)))
        || !Must(Step("/* Edit the title of MMS message */", "AT+JMMSEDIT=4,1," + Quoted(m_in.title))))
        return false;

    const QString attachNote = QStringLiteral("/* Add attachment for MMS message */");
    if (!m_in.file1.isEmpty()) {
        Progress(40);
        if (!Upload(0, m_in.file1))
            return false;
        Progress(55);
        if (!Must(Step("/* Configure the character type */", "AT+JMMSCFG=\"character\"," + Quoted(m_in.textCharset)))
            || !Must(Step(attachNote, "AT+JMMSEDIT=5,1," + Quoted("RAM:" + m_ramName[0]))))
            return false;
    }
    if (!m_in.file2.isEmpty()) {
        Progress(60);
        if (!Upload(1, m_in.file2))
            return false;
        Progress(75);
        if (!Must(Step(attachNote, "AT+JMMSEDIT=5,1," + Quoted("RAM:" + m_ramName[1]))))
            return false;
    }

    Progress(85, QString::fromLatin1(kMmsStep3));
    QString reply;
    if (!Must(Step("/* Send MMS message */", "AT+JMMSEND=150", kSendMs, {QStringLiteral("+JMMSEND:")}), &reply))
        return false;
    const std::optional<QString> code = ParseJmmsendCode(reply);
    if (!code || *code != QLatin1String("0"))
        return Failed();
    Progress(95, QString::fromLatin1(kMmsStep4));
    Query(Step("/* Clear the contents of MMS message */", "AT+JMMSEDIT=0"));
    return true;
}

bool MmsSender::Upload(int index, const QString& path)
{
    // The file is only read: a file the user may not change, or one another
    // program holds open, is still sent, and the file is never altered.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Failed();
    const qint64 size = file.size();
    if (size > kMaxUploadSize)
        return Failed();
    // Read before the module is asked to take it: once it has said CONNECT it
    // waits for exactly `size` bytes.
    const QByteArray data = file.readAll();
    file.close();
    if (data.size() != size)
        return Failed();
    m_ramName[index] = RamFileName(path);
    if (!Must(Step("/* Upload a file to RAM */",
            QString("AT+JFUPL=\"RAM:%1\",%2,300,1").arg(m_ramName[index], QString::number(size)), kConnectMs,
            {QStringLiteral("CONNECT")})))
        return false;
    m_uploaded[index] = true;
    // The module takes the next `size` bytes as the file whatever happens
    // here, so they go out even after a Stop, and its answer is waited for:
    // otherwise the clean-up's commands would become part of the file.
    m_session.Buffers().ClearReceivedText();
    m_session.Transmitter().SendRawBytes(data);
    ExchangeSpec answer;
    answer.success = {QStringLiteral("OK"), QStringLiteral("+JFUPL:")};
    QString reply;
    const ExchangeResult result = m_session.AwaitReply([this] { return !m_session.ShuttingDown(); }, answer,
        WaitClockNow() + std::chrono::milliseconds(kUploadAnswerMs), reply);
    if (!m_run.Active())
        return false;
    if (result != ExchangeResult::Reply)
        return Failed();
    // A module that stored fewer bytes than the file holds has not got the file.
    const std::optional<qint64> stored = ParseJfuplSize(reply);
    if (stored && *stored != size)
        return Failed();
    return true;
}

void MmsSender::CleanUp()
{
    // After a Stop the clean-up takes a task of its own, so that nothing else
    // talks to the module meanwhile; a second Stop ends it too.
    const bool stopped = !m_run.Active();
    if (stopped && m_session.ShuttingDown())
        return;
    std::optional<TaskGate::Token> own = stopped ? m_session.Gate().TryStart() : std::nullopt;
    if (stopped && !own)
        return;
    std::optional<ScriptRunner> ownRun;
    if (own)
        ownRun.emplace(m_session, *own);
    const ScriptRunner& run = ownRun ? *ownRun : m_run;
    QString reply;
    for (int i = 0; i < 2; ++i) {
        if (m_uploaded[i] && !m_ramName[i].isEmpty())
            run.Run(Step("/* Delete the RAM file */", "AT+JFDEL=" + Quoted("RAM:" + m_ramName[i])), reply);
    }
    run.Run(Tidy("/* Delete attachments for MMS message, all attachments will be deleted */", "AT+JMMSEDIT=5,0"),
        reply);
    if (m_activated)
        run.Run(Tidy("/* Deact the context */", "AT+JIDEACT=1"), reply);
}

} // namespace

bool MmsSendThread(ModemSession& session, const TaskGate::Token& token, const MmsSendInput& input,
    const MmsProgress& progress)
{
    return MmsSender(session, token, input, progress).Run();
}

QString MmsAttachmentUnreadable(const QString& path)
{
    return QStringLiteral("The attachment file '%1' does not exist or cannot be read!").arg(path);
}

QString RamFileName(const QString& path)
{
    return QFileInfo(path).fileName();
}

std::optional<QString> ParseJmmsendCode(const QString& reply)
{
    const QLatin1String tag("+JMMSEND:");
    const qsizetype at = reply.indexOf(tag);
    if (at < 0)
        return std::nullopt;
    const qsizetype start = at + tag.size();
    qsizetype lineEnd = start;
    while (lineEnd < reply.size() && reply[lineEnd] != '\r' && reply[lineEnd] != '\n')
        ++lineEnd;
    const qsizetype comma = reply.indexOf(',', start);
    if (comma < 0 || comma > lineEnd)
        return std::nullopt;
    QString code = reply.mid(start, comma - start);
    while (code.startsWith(' '))
        code.remove(0, 1);
    return code;
}

std::optional<qint64> ParseJfuplSize(const QString& reply)
{
    const QLatin1String tag("+JFUPL:");
    const qsizetype at = reply.indexOf(tag);
    if (at < 0)
        return std::nullopt;
    qsizetype i = at + tag.size();
    while (i < reply.size() && reply[i] == ' ')
        ++i;
    qsizetype end = i;
    while (end < reply.size() && reply[end].isDigit() && end - i < 18)
        ++end;
    if (end == i)
        return std::nullopt;
    return reply.mid(i, end - i).toLongLong();
}

} // namespace ulv
