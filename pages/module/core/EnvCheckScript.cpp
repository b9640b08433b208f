#include "pages/module/core/EnvCheckScript.h"

#include "pages/module/core/ModuleScripts.h"
#include "core/at/ScriptedExchange.h"
#include "pages/module/core/SmscQuery.h"
#include "core/at/SendAndWait.h"
#include "pages/module/core/SmsPageText.h"
#include "shell/core/CUlvenscopeApp.h"

namespace ulv {

std::atomic<int> g_nSmsStorageCapacity{0};

std::optional<bool> SmsInitReady(const QString& reply, int moduleType)
{
    // The value follows its own prefix: an unsolicited line that came in
    // first ("+CREG: 1") carries a colon too.
    const qsizetype at = reply.indexOf(QLatin1String("+JINISTAT:"));
    if (at < 0)
        return std::nullopt;
    const QString value = reply.mid(at + 10, 2).trimmed();
    return moduleType == 0 ? value == QLatin1String("3") : QStringList{"2", "3", "6", "7"}.contains(value);
}

namespace {

using namespace std::chrono_literals;

constexpr int kQueryMs = 5000;

ScriptStep Query(QString command, QStringList success, QString note = {})
{
    ScriptStep s;
    s.command = std::move(command);
    s.timeoutMs = kQueryMs;
    s.success = std::move(success);
    s.note = std::move(note);
    return s;
}

class EnvCheck {
public:
    EnvCheck(ModemSession& session, const TaskGate::Token& token, const EnvCheckSink& sink)
        : m_runner(session, token)
        , m_sink(sink)
    {
    }

    bool Run(int pageKind, int smsCheck, EnvCheckResult& out);

private:
    void Prompt(const QString& text) const
    {
        if (m_sink.prompt && m_runner.Active())
            m_sink.prompt(text);
    }
    void Progress(int position) const
    {
        if (m_sink.progress && m_runner.Active())
            m_sink.progress(position);
    }
    bool Sim() const;
    bool Signal() const;
    bool Registration() const;
    bool Registered(const QString& command, const QString& prefix, const QString& note) const;
    bool Sms(EnvCheckResult& out) const;

    ScriptRunner m_runner;
    const EnvCheckSink& m_sink;
};

bool EnvCheck::Sim() const
{
    Prompt(QStringLiteral("Use AT+CPIN? to query the SIM card status"));
    Progress(0);
    QString reply;
    const StepResult r = m_runner.Run(
        Query(QStringLiteral("AT+CPIN?"), {QStringLiteral("OK")},
            QStringLiteral(
                "/* Use AT+CPIN? to query the SIM card status : SIM card inserted or not, locked or unlocked */")),
        reply);
    if (r == StepResult::Success)
        return reply.contains(QLatin1String("+CPIN: READY"));
    if (r == StepResult::Error)
        m_runner.Note(ReplySaysNoSim(reply)
                ? QStringLiteral("/* Make sure SIM card is inserted */")
                : QStringLiteral("/* Make sure SIM card is unlocked */"));
    return false;
}

bool EnvCheck::Signal() const
{
    Progress(25);
    Prompt(QStringLiteral("Use AT+CSQ to query current signal quality"));
    m_runner.Note(QStringLiteral("/* Use AT+CSQ to query current signal quality */"));
    for (int attempt = 0; attempt < 2; ++attempt) {
        QString reply;
        // An OK without a value fails the attempt at once rather than waiting.
        const StepResult r = m_runner.Run(Query(QStringLiteral("AT+CSQ"), {QStringLiteral("OK")}), reply);
        if (r == StepResult::Stopped)
            return false;
        if (r == StepResult::Success) {
            bool ok = false;
            const int value = ParseSignalQuality(reply, &ok);
            if (ok) {
                Progress(50);
                if (m_sink.setSignalLevel)
                    m_sink.setSignalLevel(GetModuleType(), value);
                return true;
            }
        }
        if (!m_runner.Sleep(1000ms))
            return false;
        Progress(25 + attempt);
    }
    return false;
}

bool EnvCheck::Registered(const QString& command, const QString& prefix, const QString& note) const
{
    QString reply;
    if (m_runner.Run(Query(command, {QStringLiteral("OK"), prefix}, note), reply) != StepResult::Success)
        return false;
    return IsRegisteredState(RegistrationStateField(reply, prefix).left(1));
}

bool EnvCheck::Registration() const
{
    Prompt(QStringLiteral("Use AT+CREG? /AT+CGREG? to query the network registration states"));
    bool registered = false;
    for (int attempt = 0; attempt < 2 && !registered; ++attempt) {
        const bool cs = Registered(QStringLiteral("AT+CREG?"), QStringLiteral("+CREG:"),
            QStringLiteral("/* Use AT+CREG? /AT+CGREG? to query the network registration status. */"));
        const bool ps = Registered(QStringLiteral("AT+CGREG?"), QStringLiteral("+CGREG:"), {});
        registered = cs && ps;
        if (!registered) {
            if (!m_runner.Sleep(1000ms))
                return false;
            Progress(50 + attempt);
        }
    }
    Progress(100);
    if (!registered)
        m_runner.Note(QStringLiteral("/* Make sure the Antenna is connected and the network is normal */ "));
    return registered;
}

bool EnvCheck::Sms(EnvCheckResult& out) const
{
    QString reply;
    Prompt(QStringLiteral("Use AT+JINISTAT to check SMS initial status"));
    Progress(70);
    if (m_runner.Run(Query(QStringLiteral("AT+JINISTAT"), {QStringLiteral("OK")},
                         QStringLiteral("/* Use AT+JINISTAT to check SMS initial status */")),
            reply)
        != StepResult::Success)
        return false;
    if (SmsInitReady(reply, GetModuleType()) == false)
        return false;

    Prompt(QStringLiteral("Use AT+CSMP to set SMS parameter for text mode"));
    Progress(80);
    if (m_runner.Run(Query(QStringLiteral("AT+CSMP=17,167,0,0"), {QStringLiteral("OK")},
                         QStringLiteral("/* Use AT+CSMP to set SMS parameter for text mode (default setting: "
                                        "AT+CSMP=17,167,0,0) */")),
            reply)
        != StepResult::Success)
        return false;

    Prompt(QStringLiteral("Use AT+CPMS to select memory storages to be used for reading, writing, receiving"));
    Progress(90);
    if (m_runner.Run(Query(QStringLiteral("AT+CPMS=\"SM\",\"SM\",\"SM\""), {QStringLiteral("OK")},
                         QStringLiteral("/* Use AT+CPMS to select memory storages to be used for reading, writing, "
                                        "receiving (default setting: AT+CPMS=\"SM\",\"SM\",\"SM\") */")),
            reply)
        != StepResult::Success)
        return false;
    if (const std::optional<int> capacity = CpmsCapacity(reply)) {
        out.storageCapacity = *capacity;
        g_nSmsStorageCapacity = *capacity;
    }

    Prompt(QStringLiteral("Use AT+CSCA? to Get SMSC number"));
    Progress(95);
    if (m_runner.Run(Query(QStringLiteral("AT+CSCA?"), {QStringLiteral("OK"), QStringLiteral("+CSCA:")},
                         QStringLiteral("/* Use AT+CSCA? to get SMSC number */")),
            reply)
        != StepResult::Success)
        return false;
    out.smscNumber = SmscFromCscaReply(reply.mid(reply.indexOf(QLatin1String("+CSCA:"))));
    return true;
}

bool EnvCheck::Run(int pageKind, int smsCheck, EnvCheckResult& out)
{
    if (!Sim() || !Signal() || !Registration())
        return false;
    const RunningFlag running = m_runner.Running();
    const auto quiet = [&](const char* command) {
        SendAndWait(m_runner.Session(), running, QString::fromLatin1(command), nullptr, {}, QStringLiteral("OK"), QStringLiteral("ERROR"),
            3000);
    };
    if (GetModuleType() == 1 && !smsCheck)
        quiet("AT+JIDEACT=1");
    if (pageKind == 4 && GetModuleType() == 1) {
        if (GetModuleSubModel() == 2)
            quiet("AT+JDAC=3");
        else if (GetModuleSubModel() == 0)
            quiet("AT+JDAI=2");
    }
    if (!m_runner.Active())
        return false;
    if (!smsCheck)
        return true;
    return Sms(out);
}

} // namespace

EnvCheckResult RunEnvCheck(ModemSession& session, const TaskGate::Token& token, const EnvCheckSink& sink, int pageKind,
    int smsCheck)
{
    EnvCheckResult out;
    EnvCheck check(session, token, sink);
    const bool ready = check.Run(pageKind, smsCheck, out);
    out.ready = ready && token.Active() ? 1 : 0;
    if (sink.progress)
        sink.progress(100);
    return out;
}

} // namespace ulv
