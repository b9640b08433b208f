#pragma once

// The page host with the simulated module's port open, the module family and
// sub-model set as the identification would set them (tests that drive pages
// through their buttons; they need ulvui).

#include "sim/SimFixture.h"

#include "core/at/CommandQueue.h"
#include "shell/CTestView1.h"
#include "shell/CTestView2.h"
#include "shell/core/CUlvenscopeApp.h"
#include "shell/core/SysParams.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace ulv::test {

// nullptr, with the test failed, when the port does not open.
inline std::unique_ptr<CTestView1> OpenSimPageHost(
    const std::string& port, int moduleType, int subModel, int width, int height)
{
    g_nModuleType = moduleType;
    SetModuleSubModel(subModel);
    auto host = std::make_unique<CTestView1>();
    host->resize(width, height);
    if (host->OpenCommport(QString::fromStdString(port), 115200, 8, 1, 0, 0, 2048) != 1) {
        ADD_FAILURE() << "the page host does not open " << port;
        return nullptr;
    }
    return host;
}

// A simulated module with the terminal pane and the command queue a page host
// needs; what page tests change of the program's settings is put back after.
class PageHostSim : public sim::SimFixture {
protected:
    void SetUp() override
    {
        sim::SimFixture::SetUp();
        savedParams = g_sysParams;
        g_sysParams.savelog = 0;
        theApp.m_bModuleConnected = 0;
        terminal = std::make_unique<CTestView2>();
        StartCommandQueue();
    }
    void TearDown() override
    {
        terminal.reset();
        g_sysParams = savedParams;
        g_nModuleType = 0;
        SetModuleSubModel(0);
        sim::SimFixture::TearDown();
    }

    SysParams savedParams;
    std::unique_ptr<CTestView2> terminal;
};

} // namespace ulv::test
