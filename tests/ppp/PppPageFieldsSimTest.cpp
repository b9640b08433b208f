// The PPP page's Dial against the simulated module: what the user typed is
// checked before the AT preamble starts.
#include "common/EventLoopWait.h"
#include "common/SimPageHost.h"
#include "common/WireFence.h"
#include "pages/data/CTestitemDlg_pppdial.h"
#include "platform/MessageBox.h"
#include "platform/TaskGate.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace ulv;

namespace {

class PppPageFields : public test::PageHostSim {
protected:
    void TearDown() override
    {
        host.reset();
        test::PageHostSim::TearDown();
    }
    MessageBoxRecorder boxes;
    std::unique_ptr<CTestView1> host;
};

} // namespace

TEST_F(PppPageFields, HostileApnOrMainCommandIsRefusedAndTheModuleHearsNothing)
{
    StartSim(sim::Family::Umts, "RX70B03");
    host = test::OpenSimPageHost(SlavePath(), 1, 0, 600, 800);
    ASSERT_TRUE(host);
    CTestitemDlg_pppdial* page = host->PppPage();
    auto* editMain = page->findChild<QCheckBox*>(QStringLiteral("1330"));
    ASSERT_NE(editMain, nullptr);
    const struct {
        bool ownCommand; // "Edit main command" checked: the command as typed
        const char* apn;
        const char* command;
        const char* box;
    } cases[] = {
        {false, "cmnet\";+CFUN=0;+CGDCONT=1,\"IP\",\"cmnet", nullptr,
            "\"Access Point Name\" must not contain a double quote (\")!"},
        {false, "cmnet\r\nAT+CFUN=0", nullptr, "\"Access Point Name\" must not contain a line break!"},
        {true, "cmnet", "AT+CGDCONT=1,\"IP\",\"cmnet\"\x1A", "\"Edit main command\" must not contain Ctrl-Z!"},
        {true, "cmnet", "AT+CGDCONT=1,\"IP\",\"cmnet\"\rAT+CFUN=0", "\"Edit main command\" must not contain a line break!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.apn);
        editMain->setChecked(c.ownCommand);
        page->ApnEdit()->setText(QString::fromUtf8(c.apn));
        if (c.command)
            page->MainCommandEdit()->setText(QString::fromUtf8(c.command));
        EXPECT_TRUE(test::RefusedQuietly(boxes, sim(), AppModemSession(), c.box, [&] { page->DialButton()->click(); }));
        EXPECT_TRUE(page->DialButton()->isEnabled());
    }
}
