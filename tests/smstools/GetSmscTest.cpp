#include "sim/SimFixture.h"

#include "common/EventLoopWait.h"
#include "pages/module/CPduGenerateDlg.h"
#include "platform/MessageBox.h"
#include "platform/TaskGate.h"
#include "core/at/ReceiveBuffers.h"
#include "core/at/WaitClock.h"
#include "shell/CTestView1.h"
#include "shell/CTestView2.h"
#include "shell/core/SysParams.h"
#include "ui/controls/CSkinButton.h"

#include <QLineEdit>
#include <gtest/gtest.h>

#include <memory>

using namespace ulv;
using namespace std::chrono_literals;

namespace {

const std::string kBothCommands = "AT+CSCS=\"GSM\"\r\nAT+CSCA?\r\n";
const std::string kCharsetOnly = "AT+CSCS=\"GSM\"\r\n";

// Notes whether the task flag was still held when each box came up.
class FlagAtBoxRecorder : public MessageBoxRecorder {
public:
    int Show(const QString& text, const QString& caption, unsigned flags) override
    {
        heldAtBox.push_back(AppTaskGate().Running());
        return MessageBoxRecorder::Show(text, caption, flags);
    }
    std::vector<bool> heldAtBox;
};

class GetSmsc : public sim::SimFixture {
protected:
    void SetUp() override
    {
        sim::SimFixture::SetUp();
        savedParams = g_sysParams;
        g_sysParams.savelog = 0;
        terminal = std::make_unique<CTestView2>();
        host = std::make_unique<CTestView1>();
        AppReceiveBuffers().ClearReceivedText();
        ASSERT_EQ(host->OpenCommport(QString::fromStdString(SlavePath()), 115200, 8, 1, 0, 0, 2048), 1);
        sim().With([](sim::ModemEngine& e) { e.State().sca = "+861234567"; });
        dlg = std::make_unique<CPduGenerateDlg>();
        dlg->m_strSmsc = "8613800100500";
        dlg->show();
    }
    void TearDown() override
    {
        dlg.reset();
        AppTaskGate().Stop();
        Until([] { return !AppTaskGate().Running(); });
        host.reset();
        terminal.reset();
        g_sysParams = savedParams;
        SetWaitClockSpeed(1);
        sim::SimFixture::TearDown();
    }
    template <class Pred>
    static bool Until(Pred done, int ms = 30000)
    {
        return test::RunEventsUntil(done, ms);
    }
    static void Spin(int ms) { test::RunEventsFor(ms); }
    // Clicks "Get SMSC number" and waits until its worker has ended.
    bool RunGetSmsc()
    {
        dlg->m_btnGetSmsc->click();
        if (!AppTaskGate().Running())
            return false;
        const bool ended = Until([] { return !AppTaskGate().Running(); });
        Spin(20); // the queued edit change
        return ended;
    }
    QString Terminal() const { return QString::fromUtf8(terminal->TerminalText()); }

    FlagAtBoxRecorder boxes;
    SysParams savedParams;
    std::unique_ptr<CTestView2> terminal;
    std::unique_ptr<CTestView1> host;
    std::unique_ptr<CPduGenerateDlg> dlg;
};

} // namespace

TEST_F(GetSmsc, FillsTheSmscEditWithTheModuleNumberAndHandsItBackOnClose)
{
    ASSERT_TRUE(RunGetSmsc());
    EXPECT_EQ(Received(), kBothCommands);
    EXPECT_EQ(dlg->m_editSmsc->text(), "861234567");
    EXPECT_EQ(boxes.Count(), 0);
    const QString log = Terminal();
    const auto charsetNote = log.indexOf("/* Use character type of GSM */");
    const auto queryNote = log.indexOf("/* Get SMSC number */");
    EXPECT_GE(charsetNote, 0);
    EXPECT_GT(queryNote, charsetNote);

    dlg->close();
    EXPECT_EQ(dlg->m_strSmsc, "861234567");
}

TEST_F(GetSmsc, AModuleInUcs2StillAnswersInGsm)
{
    sim().With([](sim::ModemEngine& e) { e.State().charset = sim::Charset::Ucs2; });
    ASSERT_TRUE(RunGetSmsc());
    EXPECT_EQ(dlg->m_editSmsc->text(), "861234567");
}

TEST_F(GetSmsc, FailuresShowTheBoxAndLeaveTheNumber)
{
    // Time-outs of 3 s and 5 s pass in a fraction of that.
    SetWaitClockSpeed(5);
    const struct {
        const char* fault;
        const std::string& sent;
    } cases[] = {
        {"AT+CSCS | error", kCharsetOnly},
        {"AT+CSCS | cme 4", kCharsetOnly},
        {"AT+CSCS | silent", kCharsetOnly},
        {"AT+CSCA | silent", kBothCommands},
        {"AT+CSCA | error", kBothCommands},
        {"AT+CSCA | reply \\r\\n+CSCA: +861234567,145\\r\\n\\r\\nOK\\r\\n", kBothCommands},
        {"AT+CSCA | reply \\r\\n+CSCA: \"\",129\\r\\n\\r\\nOK\\r\\n", kBothCommands},
        {"AT+CSCA | reply \\r\\nOK\\r\\n", kBothCommands},
    };
    for (const auto& c : cases) {
        StartSim(sim::Family::Gsm);
        ASSERT_EQ(host->OpenCommport(QString::fromStdString(SlavePath()), 115200, 8, 1, 0, 0, 2048), 1);
        AddFault(c.fault);
        boxes.Clear();
        boxes.heldAtBox.clear();
        ASSERT_TRUE(RunGetSmsc()) << c.fault;
        // Nothing else may start while the user reads the box.
        EXPECT_EQ(boxes.heldAtBox, std::vector<bool>{true}) << c.fault;
        EXPECT_EQ(Received(), c.sent) << c.fault;
        EXPECT_EQ(boxes.Texts(), QStringList{"Fail to get SMSC number!"}) << c.fault;
        EXPECT_EQ(dlg->m_editSmsc->text(), "8613800100500") << c.fault;
    }
}

TEST_F(GetSmsc, StopEndsTheWorkerWithoutAnotherCommandNoteOrBox)
{
    for (const char* silent : {"AT+CSCS | silent", "AT+CSCA | silent"}) {
        StartSim(sim::Family::Gsm);
        ASSERT_EQ(host->OpenCommport(QString::fromStdString(SlavePath()), 115200, 8, 1, 0, 0, 2048), 1);
        AddFault(silent);
        terminal->ClearAll();
        boxes.Clear();
        dlg->m_btnGetSmsc->click();
        const std::string last = std::string(silent).substr(0, 7) == "AT+CSCS" ? "AT+CSCS=\"GSM\"" : "AT+CSCA?";
        ASSERT_TRUE(Until([&] { return Received().find(last) != std::string::npos; })) << silent;
        Spin(50);
        AppTaskGate().Stop();
        ASSERT_TRUE(Until([] { return !AppTaskGate().Running(); }, 1000)) << silent;
        const QString before = Terminal();
        Spin(300);
        EXPECT_EQ(Received(), last == "AT+CSCA?" ? kBothCommands : kCharsetOnly) << silent;
        EXPECT_EQ(boxes.Count(), 0) << silent;
        EXPECT_EQ(Terminal(), before) << silent;
        if (last != "AT+CSCA?") {
            EXPECT_FALSE(before.contains("/* Get SMSC number */")) << silent;
        }
        EXPECT_EQ(dlg->m_editSmsc->text(), "8613800100500") << silent;
    }
}

TEST_F(GetSmsc, DoesNothingWhileATaskRuns)
{
    {
        auto token = AppTaskGate().TryStart();
        ASSERT_TRUE(token);
        dlg->m_btnGetSmsc->click();
        Spin(200);
        EXPECT_EQ(Received(), "");
    }
    host->CloseCommport();
    dlg->m_btnGetSmsc->click();
    EXPECT_FALSE(AppTaskGate().Running());
    Spin(100);
    EXPECT_EQ(Received(), "");
    EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(GetSmsc, ClosingTheDialogStopsItsWorker)
{
    AddFault("AT+CSCS | silent");
    dlg->m_btnGetSmsc->click();
    ASSERT_TRUE(Until([&] { return !Received().empty(); }));
    dlg->close();
    dlg.reset();
    EXPECT_TRUE(Until([] { return !AppTaskGate().Running(); }, 1000));
    Spin(200);
    EXPECT_EQ(Received(), kCharsetOnly);
    EXPECT_EQ(boxes.Count(), 0);
}
