#include "Probe.h"

#include "core/at/ModemSession.h"
#include "platform/MessageBox.h"

using namespace ulv;

namespace {

class StderrBoxes : public MessageBoxService {
public:
    int Show(const QString& text, const QString&, unsigned) override
    {
        ulvprobe::PrintError(text);
        return IDOK;
    }
};

const char* ResultName(ExchangeResult r)
{
    switch (r) {
    case ExchangeResult::Reply: return "reply";
    case ExchangeResult::Timeout: return "timeout";
    case ExchangeResult::Error: return "error";
    case ExchangeResult::Stopped: return "stopped";
    }
    return "stopped";
}

// Runs AT exchanges through a modem session, as the program's workers do, but
// with no window: one JSON line per command with its result and reply.
ulvprobe::Command at("at", "at PORT CMD... [--baud N] [--timeout-ms N] [--success TEXT] [--error TEXT]",
    [](const QStringList& argsIn) {
        QStringList args = argsIn;
        bool ok = true, ok2 = true;
        const int baud = ulvprobe::TakeOption(args, "--baud", "115200").toInt(&ok);
        const int timeoutMs = ulvprobe::TakeOption(args, "--timeout-ms", "3000").toInt(&ok2);
        const QString success = ulvprobe::TakeOption(args, "--success", "OK");
        const QString error = ulvprobe::TakeOption(args, "--error", "ERROR");
        if (args.size() < 2 || !ok || !ok2 || baud <= 0 || timeoutMs < 0 || success.isEmpty()) {
            ulvprobe::PrintError("usage: ulvprobe at PORT CMD... [--baud N] [--timeout-ms N] [--success TEXT] "
                                 "[--error TEXT]");
            return 2;
        }
        StderrBoxes boxes;
        SetMessageBoxService(&boxes);
        int code = 0;
        {
            ModemSession session;
            if (session.Open(args[0], baud, 8, 1, 'N', 0, 2048) != ModemSession::OpenResult::Opened) {
                ulvprobe::PrintError(
                    "cannot open " + args[0] + ": missing, not a serial port, or held by another program");
                SetMessageBoxService(nullptr);
                return 2;
            }
            for (int i = 1; i < args.size(); ++i) {
                ExchangeSpec exchange;
                exchange.command = args[i];
                exchange.timeoutMs = timeoutMs;
                exchange.success = QStringList{success};
                exchange.error = error;
                // Each command's reply is its own: what came before it is not.
                exchange.clearBuffer = true;
                QString reply;
                const ExchangeResult r = session.Exchange([] { return true; }, exchange, reply);
                ulvprobe::Print(QString("{\"command\":%1,\"result\":\"%2\",\"reply\":%3}")
                                    .arg(ulvprobe::JsonString(args[i]), QLatin1String(ResultName(r)),
                                        ulvprobe::JsonString(reply)));
                if (r != ExchangeResult::Reply)
                    code = 1;
            }
            session.Shutdown();
        }
        SetMessageBoxService(nullptr);
        return code;
    });

} // namespace
