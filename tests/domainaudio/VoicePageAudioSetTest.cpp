#include "pages/module/CTestItemDlg_voice.h"

#include "pages/module/core/AudioCommandSet.h"
#include "pages/module/core/ModuleScripts.h"
#include "serial/SerialMessages.h"
#include "shell/core/CUlvenscopeApp.h"

#include <QCoreApplication>
#include <array>
#include <gtest/gtest.h>

namespace ulv {
namespace {

class VoicePageAudioSetTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        g_nModuleType = 0;
        SetModuleSubModel(0);
        g_audioCommandSet = &PxxModule;
    }
};

TEST_F(VoicePageAudioSetTest, IdentificationReselectsTheAudioSet)
{
    g_nModuleType = 1;
    SetModuleSubModel(2);
    CTestItemDlg_voice page;
    EXPECT_EQ(g_audioCommandSet.load(), &KVXXModule);

    // The identification found an RX50 after all.
    SetModuleSubModel(1);
    QEvent identified(MessageEventType(WM_MODULE_IDENTIFIED));
    EXPECT_TRUE(QCoreApplication::sendEvent(&page, &identified));
    EXPECT_EQ(g_audioCommandSet.load(), &RX50Module);
    EXPECT_EQ(g_audioCommandSet.load()->audioChannel(kAudioSet, std::array{1}), "AT+JAUDPATH=1");

    g_nModuleType = 0;
    EXPECT_EQ(page.OnModuleIdentified(), 1);
    EXPECT_EQ(g_audioCommandSet.load(), &PxxModule);
}

} // namespace
} // namespace ulv
