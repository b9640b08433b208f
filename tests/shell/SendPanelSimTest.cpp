#include "SimHost.h"

#include "platform/MessageBox.h"
#include "platform/TaskGate.h"
#include "core/at/TerminalOutput.h"
#include "shell/CSendPanelDlg.h"
#include "shell/core/CUlvenscopeApp.h"
#include "ui/controls/CFlatComboBox.h"
#include "ui/controls/CImageButton.h"
#include "ui/controls/CSkinButton.h"
#include "ui/controls/CTextProgressCtrl.h"
#include "common/TestEnv.h"
#include "common/WireFence.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <gtest/gtest.h>
#include <thread>

using namespace ulv;
using namespace std::chrono_literals;

namespace {

class Echo : public TerminalSink {
public:
    std::vector<std::pair<int, QByteArray>> outputs;
    void OnTerminalOutput(int kind, const QByteArray& text) override { outputs.emplace_back(kind, text); }
    std::vector<QByteArray> Sent() const
    {
        std::vector<QByteArray> sent;
        for (const auto& [kind, text] : outputs) {
            if (kind == kTerminalSent)
                sent.push_back(text);
        }
        return sent;
    }
};

class SendPanelSim : public test::SimHost {
protected:
    void SetUp() override
    {
        test::SimHost::SetUp();
        SetTerminalSink(&echo);
        panel = std::make_unique<CSendPanelDlg>();
        panel->SetFileChooser([](const QString&) { return QString(); });
        panel->show();
    }
    void TearDown() override
    {
        panel.reset();
        SetTerminalSink(nullptr);
        test::SimHost::TearDown();
    }
    QByteArray Heard() { return QByteArray::fromStdString(Received()); }
    bool HeardBytes(int n) { return Until([&] { return Heard().size() >= n; }); }

    // A file of `length` bytes running through every byte value.
    QString MakeFile(int length, const QString& name)
    {
        QByteArray bytes;
        for (int i = 0; i < length; ++i)
            bytes.append(char(i % 256));
        const QString path = test::TempHome() + "/" + name;
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        content = bytes;
        return path;
    }
    // Chooses the file through the File mode as a user does.
    void ChooseFile(const QString& path)
    {
        panel->SetFileChooser([path](const QString&) { return path; });
        panel->FileRadio()->click();
    }
    struct Run {
        std::vector<int> positions;
        bool finished = false;
    };
    bool SendFile(Run& run, int ms = 20000)
    {
        QObject::connect(panel.get(), &CSendPanelDlg::FileSendProgress,
            [&run](int position, const QString&) { run.positions.push_back(position); });
        QObject::connect(panel.get(), &CSendPanelDlg::FileSendFinished, [&run] { run.finished = true; });
        panel->SendFileButton()->click();
        return Until([&] { return run.finished; }, ms);
    }

    Echo echo;
    std::unique_ptr<CSendPanelDlg> panel;
    QByteArray content;
};

} // namespace

TEST_F(SendPanelSim, APanelTextAndAWorkersTextNeverInterleave)
{
    ASSERT_TRUE(Open());
    sim().With([](sim::ModemEngine& e) { e.State().echo = false; });
    const QByteArray worker(3000, 'w');
    const QByteArray typed(3000, 'p');
    // The worker's text goes out in paced pieces; the panel sends while it is
    // between two of them.
    std::thread sender([&] { host->SendToModuleQuiet(QString::fromLatin1(worker), 0, false); });
    ASSERT_TRUE(HeardBytes(1024));
    panel->WithEnterBox()->setChecked(false);
    panel->InputBox()->setMaxLength(typed.size());
    panel->InputBox()->setText(QString::fromLatin1(typed));
    panel->SendButton()->click();
    sender.join();
    ASSERT_TRUE(HeardBytes(6000));
    EXPECT_EQ(Heard(), worker + typed);
}

TEST_F(SendPanelSim, TextWithEnterGoesOutInOneWrite)
{
    ASSERT_TRUE(Open());
    panel->InputBox()->setText("AT");
    panel->SendButton()->click();
    ASSERT_TRUE(WaitForCommand("AT", 2000ms));
    EXPECT_EQ(Heard(), "AT\r\n");
    const auto log = ReceivedLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].bytes, "AT\r\n");
    EXPECT_TRUE(echo.Sent().empty()); // showsenddata is off
}

TEST_F(SendPanelSim, EnterInTheInputBoxSendsAndEchoesWhenAsked)
{
    g_sysParams.showsenddata = 1;
    ASSERT_TRUE(Open());
    // Only the panel's own echo is looked at: the module's would race it.
    sim().With([](sim::ModemEngine& e) { e.State().echo = false; });
    panel->WithEnterBox()->setChecked(false);
    panel->InputBox()->setText("ATI");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
    QApplication::sendEvent(panel->InputBox(), &enter);
    ASSERT_TRUE(HeardBytes(3));
    EXPECT_EQ(Heard(), "ATI");
    ASSERT_EQ(echo.outputs.size(), 1u);
    EXPECT_EQ(echo.outputs[0], std::make_pair(int(kTerminalSent), QByteArray("ATI")));
}

TEST_F(SendPanelSim, HexViewsSendTheirBytesAndAlwaysEcho)
{
    ASSERT_TRUE(Open());
    sim().With([](sim::ModemEngine& e) { e.State().echo = false; });
    panel->HexRadio()->click();
    panel->InputBox()->setText("41 00 42");
    panel->SendButton()->click();
    ASSERT_TRUE(HeardBytes(5));
    EXPECT_EQ(Heard().toHex(' '), "41 00 42 0d 0a");
    // The module's ERROR for those bytes may come in too: only the echo counts.
    ASSERT_EQ(echo.Sent().size(), 1u);
    EXPECT_EQ(echo.Sent()[0], QByteArray("A B\r\n"));
}

TEST_F(SendPanelSim, EachSpecialCharacterSendsItsByte)
{
    ASSERT_TRUE(Open());
    sim().With([](sim::ModemEngine& e) { e.State().echo = false; });
    panel->SpecialCharsRadio()->click();
    const struct {
        const char* name;
        char byte;
    } cases[] = {{"CTRL+Z", 0x1A}, {"NULL", 0x00}, {"BACKSPACE", 0x08}, {"NAK", 0x15}, {"ESC", 0x1B}};
    QByteArray expected;
    for (const auto& c : cases) {
        panel->SpecialCharList()->setCurrentText(c.name);
        panel->SendButton()->click();
        expected.append(c.byte);
        ASSERT_TRUE(HeardBytes(int(expected.size()))) << c.name;
    }
    EXPECT_EQ(Heard().toHex(' '), expected.toHex(' '));
    EXPECT_TRUE(echo.Sent().empty());
}

TEST_F(SendPanelSim, AFileOfEveryByteValueArrivesExactlyInEachFlowMode)
{
    MessageBoxRecorder boxes;
    const QString path = MakeFile(5000, "every-byte.bin");
    for (int flow : {0, 1, 2}) {
        SCOPED_TRACE(flow);
        host.reset();
        StartSim(sim::Family::Gsm);
        sim().With([](sim::ModemEngine& e) { e.State().echo = false; });
        host = std::make_unique<CTestView1>();
        ASSERT_TRUE(Open(flow));
        panel = std::make_unique<CSendPanelDlg>();
        panel->show();
        ChooseFile(path);
        EXPECT_EQ(panel->SizeLabel()->text(), "(size: 5000 Bytes)");
        EXPECT_EQ(theApp.m_strSendFilePath, path);
        Run run;
        ASSERT_TRUE(SendFile(run));
        ASSERT_TRUE(HeardBytes(5000));
        EXPECT_EQ(Heard(), content);
        ASSERT_FALSE(run.positions.empty());
        EXPECT_EQ(run.positions.back(), 100);
        EXPECT_TRUE(std::is_sorted(run.positions.begin(), run.positions.end()));
        EXPECT_EQ(panel->SendFileButton()->text(), "Send file");
        EXPECT_FALSE(panel->ProgressBar()->isVisible());
        EXPECT_FALSE(AppTaskGate().Running());
    }
}

TEST_F(SendPanelSim, AShortFileInXonXoffModeCompletes)
{
    MessageBoxRecorder boxes;
    sim().With([](sim::ModemEngine& e) { e.State().echo = false; });
    ASSERT_TRUE(Open(2));
    ChooseFile(MakeFile(80, "short.bin"));
    Run run;
    ASSERT_TRUE(SendFile(run));
    ASSERT_TRUE(HeardBytes(80));
    EXPECT_EQ(Heard(), content);
    EXPECT_EQ(run.positions, (std::vector<int>{80, 100}));
}

TEST_F(SendPanelSim, StopLeavesTheRestUnsentAndTheTaskFree)
{
    MessageBoxRecorder boxes;
    sim().With([](sim::ModemEngine& e) { e.State().echo = false; });
    ASSERT_TRUE(Open(2));
    ChooseFile(MakeFile(1 << 20, "large.bin"));
    Run run;
    QObject::connect(panel.get(), &CSendPanelDlg::FileSendProgress, [&](int position, const QString&) {
        if (position > 0 && panel->SendFileButton()->text() == "Stop")
            panel->SendFileButton()->click();
    });
    ASSERT_TRUE(SendFile(run));
    EXPECT_LT(run.positions.back(), 100);
    Spin(200);
    EXPECT_LT(Heard().size(), content.size());
    EXPECT_EQ(Heard(), content.left(Heard().size()));
    EXPECT_EQ(panel->SendFileButton()->text(), "Send file");
    EXPECT_FALSE(AppTaskGate().Running());
}

TEST_F(SendPanelSim, FileErrorsAreToldAndThePanelStaysIdle)
{
    MessageBoxRecorder boxes;
    ASSERT_TRUE(Open());
    panel->FileRadio()->click();
    panel->PathBox()->clear();
    panel->SendFileButton()->click();
    EXPECT_EQ(boxes.Texts(), QStringList{"Please selcet the source file!"});
    panel->PathBox()->setText(test::TempHome() + "/no-such-file.bin");
    EXPECT_EQ(panel->SizeLabel()->text(), "");
    Run run;
    ASSERT_TRUE(SendFile(run));
    EXPECT_EQ(boxes.Texts().back(), "Open file failed, caused by file broken or file nonexistent!");
    EXPECT_EQ(panel->SendFileButton()->text(), "Send file");
    EXPECT_FALSE(AppTaskGate().Running());
    EXPECT_TRUE(Heard().isEmpty());
}

TEST_F(SendPanelSim, AFileIsNotStartedWhileAnotherTaskRuns)
{
    ASSERT_TRUE(Open());
    ChooseFile(MakeFile(100, "busy.bin"));
    auto token = AppTaskGate().TryStart();
    ASSERT_TRUE(token.has_value());
    panel->SendFileButton()->click();
    EXPECT_EQ(panel->SendFileButton()->text(), "Send file");
    Spin(100);
    EXPECT_TRUE(Heard().isEmpty());
}

TEST_F(SendPanelSim, HardwareFlowHoldsTheFileWhileTheModuleIsNotClearToSend)
{
    MessageBoxRecorder boxes;
    sim().With([](sim::ModemEngine& e) { e.State().echo = false; });
    ASSERT_TRUE(Open(1));
    std::atomic<bool> clear{false};
    panel->SetCtsSource([&] { return clear.load(); });
    ChooseFile(MakeFile(3000, "held.bin"));
    Run run;
    QObject::connect(panel.get(), &CSendPanelDlg::FileSendFinished, [&run] { run.finished = true; });
    panel->SendFileButton()->click();
    Spin(300);
    EXPECT_TRUE(Heard().isEmpty());
    EXPECT_EQ(panel->SendFileButton()->text(), "Stop");
    clear = true;
    ASSERT_TRUE(Until([&] { return run.finished; }, 20000));
    ASSERT_TRUE(HeardBytes(3000));
    EXPECT_EQ(Heard(), content);
}

TEST_F(SendPanelSim, TheLineBoxesKeepTheirStateWithAnOpenPort)
{
    MessageBoxRecorder boxes;
    ASSERT_TRUE(Open());
    for (CImageButton* box : {panel->DtrBox(), panel->RtsBox()}) {
        box->click();
        EXPECT_TRUE(box->GetCheck());
        box->click();
        EXPECT_FALSE(box->GetCheck());
    }
    EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(SendPanelSim, TextWithALineEndOrCtrlZInsideIsRefusedAndNothingIsSent)
{
    ASSERT_TRUE(Open());
    MessageBoxRecorder boxes;
    const struct {
        const char* typed;
        const char* box;
    } cases[] = {
        {"AT+CFUN=0\x1Ahello", "\"Input\" must not contain Ctrl-Z!"},
        {"AT\rAT+CFUN=0", "\"Input\" must not contain a line break!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        panel->InputBox()->setText(QString::fromUtf8(c.typed));
        EXPECT_TRUE(test::RefusedQuietly(boxes, sim(), AppModemSession(), c.box, [&] { panel->SendButton()->click(); }));
    }
}
