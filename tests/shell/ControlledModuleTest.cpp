// The pages react to what the running module's control makes happen: the
// control socket a user drives (ulvsim --control) reaches the module through
// the same commands the other page tests use.

#include "sim/ControlClient.h"
#include "sim/SimControl.h"

#include "common/EventLoopWait.h"
#include "common/SimPageHost.h"
#include "common/TestEnv.h"
#include "pages/module/CTestItemDlg_sms.h"
#include "pages/module/CTestItemDlg_voice.h"
#include "pages/module/core/EnvCheckScript.h"
#include "pages/module/core/VoiceCall.h"
#include "platform/MessageBox.h"
#include "platform/TaskGate.h"
#include "ui/controls/CSkinButton.h"

#include <QPushButton>
#include <gtest/gtest.h>

using namespace ulv;

namespace {

using sim::test::ControlClient;

class ControlledModule : public test::PageHostSim {
protected:
    void SetUp() override
    {
        test::PageHostSim::SetUp();
        m_path = test::TempHome().toStdString() + "/control";
        m_control = std::make_unique<sim::ControlSocket>([this](std::string_view line) { return sim().Control(line); });
        std::string why;
        ASSERT_TRUE(m_control->Start(m_path, &why)) << why;
        host = test::OpenSimPageHost(SlavePath(), 0, 0, 520, 900);
        ASSERT_TRUE(host);
        host->show();
        client = std::make_unique<ControlClient>(m_path);
        ASSERT_TRUE(client->Connected());
    }
    void TearDown() override
    {
        AppTaskGate().Stop();
        Until([] { return !AppTaskGate().Running(); });
        client.reset();
        host.reset();
        m_control.reset();
        test::PageHostSim::TearDown();
    }
    template <class Pred>
    static bool Until(Pred done, int ms = 30000)
    {
        return test::RunEventsUntil(done, ms);
    }

    MessageBoxRecorder boxes;
    std::unique_ptr<CTestView1> host;
    std::unique_ptr<ControlClient> client;

private:
    std::string m_path;
    std::unique_ptr<sim::ControlSocket> m_control;
};

} // namespace

TEST_F(ControlledModule, ARingOffersAnswerAndTheFarEndHangingUpEndsTheCall)
{
    CTestItemDlg_voice* voice = host->VoicePage();
    EXPECT_EQ(client->Send("ring +8613912345678"), "ok ringing");
    ASSERT_TRUE(Until([&] { return voice->CallState() == kCallIncoming; }));
    EXPECT_EQ(voice->CallButton()->text(), "Answer");
    EXPECT_EQ(voice->EndButton()->text(), "Decline");
    EXPECT_EQ(client->Send("ring 5551234"), "error a call is already up");

    EXPECT_EQ(client->Send("hangup"), "ok");
    ASSERT_TRUE(Until([&] { return voice->CallState() == kCallIdle; }));
    EXPECT_EQ(voice->CallButton()->text(), "CALL");
    EXPECT_EQ(client->Send("hangup"), "error no call");
}

TEST_F(ControlledModule, ADeliveredMessageMakesTheSmsPageAskToReadIt)
{
    const int savedCapacity = g_nSmsStorageCapacity.load();
    g_nSmsStorageCapacity = 50;
    host->SwitchPage(1);
    ASSERT_TRUE(host->SmsPage()->isVisible());
    EXPECT_EQ(client->Send("sms +8613912345678 Hello from the control"), "ok stored at 1");
    EXPECT_TRUE(boxes.WaitForCount(1, 30000));
    EXPECT_EQ(boxes.Texts(), QStringList{"Received 1 message,do you read it?"});
    EXPECT_EQ(State().store.at(1).text, u"Hello from the control");
    g_nSmsStorageCapacity = savedCapacity;
}

TEST_F(ControlledModule, AnUnpluggedModuleIsReportedAsALostPort)
{
    ASSERT_FALSE(host->Session().PortLost());
    EXPECT_EQ(client->Send("unplug"), "ok");
    ASSERT_TRUE(Until([&] { return host->Session().PortLost(); }));
    ASSERT_TRUE(Until([&] { return terminal->TerminalText().contains("was closed by the device"); }));
    EXPECT_TRUE(terminal->TerminalText().endsWith(
        QString("/* The serial port '%1' was closed by the device */\r\n").arg(QString::fromStdString(SlavePath())).toUtf8()));
    EXPECT_EQ(client->Send("ring 5551234"), "error the module is unplugged");
}
