#pragma once

// A test of the first screens: the shipped databases in a fresh param folder,
// and the settings the screens read put back afterwards.

#include "atlib/core/DatabaseFiles.h"
#include "common/TestEnv.h"
#include "serial/CommPortSettings.h"
#include "shell/core/CUlvenscopeApp.h"
#include "shell/core/SysParams.h"

#include <QDir>
#include <gtest/gtest.h>

namespace ulv::test {

class ShippedLibraryFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedSys = g_sysParams;
        savedPorts = g_commPortSettings;
        savedType = g_nModuleType;
        savedParamDir = theApp.m_strParamDir;
        savedAtcPath = theApp.m_strAtcDbPath;
        savedAtcKey = theApp.m_strAtcDbKey;
        savedWidth = theApp.m_nWidthMidView.load();
        theApp.m_strParamDir = TempHome() + "/data/param";
        QDir().mkpath(theApp.m_strParamDir);
        InstallShippedDatabases();
    }
    void TearDown() override
    {
        g_sysParams = savedSys;
        g_commPortSettings = savedPorts;
        g_nModuleType = savedType;
        theApp.m_strParamDir = savedParamDir;
        theApp.m_strAtcDbPath = savedAtcPath;
        theApp.m_strAtcDbKey = savedAtcKey;
        theApp.m_nWidthMidView = savedWidth;
        theApp.m_bWidthMidViewChanged = 0;
    }

    SysParams savedSys;
    CommPortSettings savedPorts;
    int savedType = 0;
    QString savedParamDir, savedAtcPath, savedAtcKey;
    int savedWidth = 0;
};

} // namespace ulv::test
