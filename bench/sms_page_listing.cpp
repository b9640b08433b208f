// The SMS page staying responsive while "Read all" lists a full SIM: the page
// (in its page host, with the terminal pane) presses Read all against the
// simulated module holding 50 messages, while a 1 ms timer on the user-interface
// thread measures the longest gap between its ticks, that is the longest time
// the window could not answer the user. Text and PDU mode, both families.
//   build/bench/sms_page_listing [runs]
#include "common/EventLoopWait.h"
#include "core/at/CommandQueue.h"
#include "pages/module/CTestItemDlg_sms.h"
#include "platform/MessageBox.h"
#include "platform/TaskGate.h"
#include "shell/CTestView1.h"
#include "shell/CTestView2.h"
#include "shell/core/CUlvenscopeApp.h"
#include "shell/core/SysParams.h"
#include "sim/SimModule.h"
#include "ui/controls/CFlatHeaderListCtrl.h"
#include "ui/controls/CSkinButton.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

using namespace ulv;

namespace {

struct Run {
    bool ok = false;
    int rows = 0;
    qint64 totalMs = 0;
    qint64 longestStallMs = 0;
};

Run ListFifty(sim::Family family, bool pdu)
{
    Run run;
    sim::SimModule module(family, {});
    std::string error;
    if (!module.Start(&error)) {
        std::fprintf(stderr, "sms_page_listing: %s\n", error.c_str());
        return run;
    }
    // A SIM with room for all of them, whatever the family's usual store holds.
    module.With([](sim::ModemEngine& e) { e.State().capacity = std::max(e.State().capacity, 50); });
    for (int i = 1; i <= 50; ++i) {
        sim::SmsMessage m;
        m.status = i % 4;
        const std::string text = "message " + std::to_string(i) + " of a full SIM, with enough words to fill a row";
        m.text.assign(text.begin(), text.end());
        module.StoreSms(m, false);
    }
    g_nModuleType = family == sim::Family::Gsm ? 0 : 1;
    CTestView1 host;
    host.resize(520, 900);
    if (host.OpenCommport(QString::fromStdString(module.SlavePath()), 115200, 8, 1, 0, 0, 2048) != 1) {
        std::fprintf(stderr, "sms_page_listing: the port does not open\n");
        return run;
    }
    host.show();
    host.SwitchPage(1);
    CTestItemDlg_sms* page = host.SmsPage();
    page->m_radioPdu->setChecked(pdu);
    page->m_radioCurrentSelect->setChecked(!pdu);

    QElapsedTimer clock, sinceTick;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        run.longestStallMs = std::max(run.longestStallMs, sinceTick.restart());
    });
    clock.start();
    sinceTick.start();
    ticker.start();
    page->m_btnReadAll->click();
    run.ok = test::RunEventsUntil(
        [&] { return !AppTaskGate().Running() && page->m_btnReadAll->isEnabled(); }, 120000);
    run.totalMs = clock.elapsed();
    ticker.stop();
    run.rows = page->m_listMessages->GetItemCount();
    host.CloseCommport();
    return run;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("ULVENSCOPE_HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    MessageBoxRecorder boxes;
    g_sysParams.savelog = 0;
    CTestView2 terminal;
    StartCommandQueue();

    bool allOk = true;
    const struct {
        sim::Family family;
        bool pdu;
        const char* name;
    } cases[] = {
        {sim::Family::Gsm, false, "GSM text"},
        {sim::Family::Gsm, true, "GSM PDU"},
        {sim::Family::Umts, false, "UMTS text"},
        {sim::Family::Umts, true, "UMTS PDU"},
    };
    for (const auto& c : cases) {
        qint64 worstStall = 0, totalMs = 0;
        for (int i = 0; i < runs; ++i) {
            boxes.Clear();
            const Run r = ListFifty(c.family, c.pdu);
            const bool ok = r.ok && r.rows == 50 && boxes.Count() == 0;
            if (!ok)
                std::fprintf(stderr, "%s: run %d listed %d rows%s%s\n", c.name, i + 1, r.rows,
                    r.ok ? "" : ", did not end", boxes.Count() ? ", a box was shown" : "");
            allOk = allOk && ok;
            worstStall = std::max(worstStall, r.longestStallMs);
            totalMs += r.totalMs;
        }
        const double meanMs = double(totalMs) / runs;
        std::printf("%-9s 50 messages: Read all %.0f ms on average (%.0f messages/s), longest UI stall %lld ms "
                    "over %d runs%s\n",
            c.name, meanMs, 50000.0 / meanMs, static_cast<long long>(worstStall), runs,
            worstStall > 100 ? "  OVER 100 ms" : "");
        allOk = allOk && worstStall <= 100;
    }
    g_nModuleType = 0;
    return allOk ? 0 : 1;
}
