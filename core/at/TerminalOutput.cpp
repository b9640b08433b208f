#include "core/at/TerminalOutput.h"

#include "platform/Gui.h"

#include <atomic>

namespace ulv {

namespace {
std::atomic<TerminalSink*> g_sink{nullptr};
}

void SetTerminalSink(TerminalSink* sink)
{
    g_sink.store(sink);
}

TerminalSink* GetTerminalSink()
{
    return g_sink.load();
}

void WriteOutputLine(int kind, const QByteArray& text)
{
    if (!g_sink.load())
        return;
    if (Gui::IsUiThread()) {
        g_sink.load()->OnTerminalOutput(kind, text);
        return;
    }
    Gui::Post([kind, text] {
        // Looked up again on the UI thread: the pane may have gone meanwhile.
        if (TerminalSink* sink = g_sink.load())
            sink->OnTerminalOutput(kind, text);
    });
}

void WriteOutputLine(int kind, const QString& text)
{
    WriteOutputLine(kind, text.toUtf8());
}

} // namespace ulv
