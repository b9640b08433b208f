#pragma once

// A page host on the simulated module for the send panel and command queue
// tests: the host owns the port and feeds the reply buffers, the test thread
// runs the event loop while it waits.

#include "sim/SimFixture.h"

#include "serial/CommPortSettings.h"
#include "core/at/ReceiveBuffers.h"
#include "shell/CTestView1.h"
#include "shell/core/SysParams.h"

#include "common/EventLoopWait.h"

#include <memory>

namespace ulv::test {

class SimHost : public sim::SimFixture {
protected:
    void SetUp() override
    {
        sim::SimFixture::SetUp();
        savedParams = g_sysParams;
        savedPort = g_commPortSettings;
        g_sysParams.showsenddata = 0;
        host = std::make_unique<CTestView1>();
        AppReceiveBuffers().ClearReceivedText();
        AppReceiveBuffers().ClearReceivedHex();
    }
    void TearDown() override
    {
        host.reset();
        g_sysParams = savedParams;
        g_commPortSettings = savedPort;
        sim::SimFixture::TearDown();
    }
    bool Open(int flowMode = 0)
    {
        g_commPortSettings.flowCtrl = flowMode;
        return host->OpenCommport(QString::fromStdString(SlavePath()), 115200, 8, 1, 0, flowMode, 2048) == 1;
    }
    template <class Pred>
    bool Until(Pred done, int ms = 30000)
    {
        return test::RunEventsUntil(done, ms);
    }
    void Spin(int ms) { test::RunEventsFor(ms); }

    SysParams savedParams;
    CommPortSettings savedPort;
    std::unique_ptr<CTestView1> host;
};

} // namespace ulv::test
