#include "shell/core/CUlvenscopeApp.h"
#include "shell/core/WindowPlacement.h"
#include "common/TestEnv.h"
#include "platform/DataFolder.h"
#include "platform/ProfileStore.h"

#include <QDir>
#include <climits>
#include <QFile>
#include <gtest/gtest.h>

using namespace ulv;
using test::ReadAll;

TEST(AppCore, FoldersAreTheDataFolderAndItsParamFolder)
{
    QDir(DataFolder() + "/param").removeRecursively();
    CUlvenscopeApp app;
    app.InitFolders();
    EXPECT_EQ(app.m_strAppDir, DataFolder() + "/");
    EXPECT_EQ(app.m_strParamDir, DataFolder() + "/param");
    EXPECT_TRUE(QDir(app.m_strParamDir).exists());
    EXPECT_EQ(app.m_strAtcDbKey, "Tavrine_KEX");
    EXPECT_EQ(app.m_strApnDbKey, "Tavrine_WOP");
}

TEST(AppCore, DatabasePathsFollowTheModuleFamily)
{
    struct Case {
        int moduleType;
        const char* atc;
    };
    const Case cases[] = {{0, "/param/ATC.db"}, {1, "/param/ATC_RX70.db"}, {2, "/param/ATC_RX70.db"}};
    CUlvenscopeApp app;
    app.InitFolders();
    for (const Case& c : cases) {
        g_nModuleType = c.moduleType;
        app.SetDatabasePaths();
        EXPECT_EQ(app.m_strAtcDbPath, DataFolder() + c.atc) << c.moduleType;
        EXPECT_EQ(app.m_strApnDbPath, DataFolder() + "/param/APN.db") << c.moduleType;
    }
    g_nModuleType = 0;
}

TEST(AppCore, DefaultApnNameFollowsTheModuleFamily)
{
    const std::pair<int, const char*> cases[] = {{0, "CMNET"}, {1, "UNINET"}};
    for (const auto& [type, apn] : cases) {
        g_nModuleType = type;
        EXPECT_EQ(GetDefaultApnName(), apn);
        EXPECT_EQ(GetModuleType(), type);
    }
    g_nModuleType = 0;
}

TEST(AppCore, ModelSettersAreReadBack)
{
    SetModuleSubModel(1);
    SetTzFamily(1);
    EXPECT_EQ(GetModuleSubModel(), 1);
    EXPECT_EQ(IsTzFamily(), 1);
    SetModuleSubModel(0);
    SetTzFamily(0);
    EXPECT_EQ(GetModuleSubModel(), 0);
    EXPECT_EQ(IsTzFamily(), 0);
}

TEST(AppCore, LastLogNameIsOneLineWithoutLineEnd)
{
    CUlvenscopeApp app;
    app.InitFolders();
    const QString file = app.m_strParamDir + "/tempfile_log.txt";
    QFile::remove(file);
    EXPECT_EQ(app.ReadLastLogName(), "");

    ASSERT_TRUE(app.WriteLastLogName("moduletest_20261210101010.txt"));
    EXPECT_EQ(ReadAll(file), "moduletest_20261210101010.txt");
    ASSERT_TRUE(app.WriteLastLogName("b_1.txt"));
    EXPECT_EQ(ReadAll(file), "b_1.txt");
    EXPECT_EQ(app.ReadLastLogName(), "b_1.txt");

    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("first.txt\r\nsecond.txt\r\n");
    f.close();
    EXPECT_EQ(app.ReadLastLogName(), "first.txt");

    ASSERT_TRUE(app.WriteLastLogName(""));
    EXPECT_EQ(app.ReadLastLogName(), "");
}

TEST(AppCore, ProfileValuesAreReadAtStartAndWrittenBackAtExit)
{
    CUlvenscopeApp app;
    app.InitFolders();
    app.ReadProfileValues();
    EXPECT_EQ(app.m_nSkinIndex, 0);
    EXPECT_EQ(app.m_bShowLeftBar, 0);
    EXPECT_EQ(app.m_strSendFilePath, QDir::homePath());
    EXPECT_EQ(GetModuleType(), 0);

    app.m_nSkinIndex = 3;
    app.m_bShowLeftBar = 1;
    app.m_strSendFilePath = "/srv/at-files";
    g_nModuleType = 1;
    app.ExitInstance();
    EXPECT_EQ(ProfileStore::GetInt("skinset", "skinindex", -1), 3);
    EXPECT_EQ(ProfileStore::GetInt("leftbar", "showhide", -1), 1);
    EXPECT_EQ(ProfileStore::GetString("filepath", "sendfilepath"), "/srv/at-files");
    EXPECT_EQ(ProfileStore::GetInt("sysparam", "moduletype", -1), 1);

    CUlvenscopeApp next;
    g_nModuleType = 0;
    next.ReadProfileValues();
    EXPECT_EQ(next.m_nSkinIndex, 3);
    EXPECT_EQ(next.m_strSendFilePath, "/srv/at-files");
    EXPECT_EQ(GetModuleType(), 1);
    g_nModuleType = 0;
}

TEST(AppCore, ReceiveBufferMethodsReachTheProgramsBuffers)
{
    theApp.ClearReceivedText();
    theApp.AppendReceivedText("AT\r\r\nOK\r\n");
    EXPECT_EQ(theApp.TakeReceivedText(), "AT\r\r\nOK\r\n");
    EXPECT_EQ(theApp.TakeReceivedText(), "");
    theApp.ClearReceivedHex();
    theApp.AppendReceivedHex("4F4B");
    EXPECT_EQ(theApp.TakeReceivedHex(), "4F4B");
}

TEST(AppCore, TaskFlagIsTheProgramsGate)
{
    EXPECT_FALSE(theApp.IsTaskRunning());
    {
        auto token = theApp.TaskRunning().TryStart();
        ASSERT_TRUE(token.has_value());
        EXPECT_TRUE(theApp.IsTaskRunning());
        EXPECT_FALSE(theApp.TaskRunning().TryStart().has_value());
    }
    EXPECT_FALSE(theApp.IsTaskRunning());
}

TEST(AppCore, NetworkCodesAreKeptTogether)
{
    EXPECT_EQ(theApp.Mcc(), "");
    theApp.SetNetworkCodes("460", "01");
    EXPECT_EQ(theApp.Mcc(), "460");
    EXPECT_EQ(theApp.Mnc(), "01");
}

TEST(WindowPlacement, CentredInTheWorkAreaOrAtItsEdge)
{
    struct Case {
        QRect workArea;
        int nwidth, nheight;
        QRect expected;
    };
    const Case cases[] = {
        // Centred by the work area's edges.
        {QRect(0, 0, 1920, 1040), 1200, 800, QRect(360, 120, 1200, 800)},
        // Narrower and lower than the window: left and top edge, as low as
        // the work area, no narrower than the smallest width.
        {QRect(0, 0, 1024, 700), 1200, 800, QRect(0, 0, 1100, 700)},
        // A 1366 x 768 screen with a panel: the default window fits.
        {QRect(0, 0, 1366, 728), 1100, 800, QRect(133, 0, 1100, 728)},
        // Larger than the work area: fitted to it.
        {QRect(0, 0, 1920, 1040), 1921, 5000, QRect(0, 0, 1920, 1040)},
        {QRect(0, 0, 1920, 1040), INT_MAX, INT_MAX, QRect(0, 0, 1920, 1040)},
        {QRect(0, 0, 1920, 1040), INT_MIN, INT_MIN, QRect(410, 150, 1100, 740)},
        // Exactly as wide: not greater, so at the edge.
        {QRect(0, 0, 1200, 1000), 1200, 800, QRect(0, 100, 1200, 800)},
        // A work area that does not start at 0 (a panel on the left or top).
        {QRect(64, 30, 1856, 1050), 1256, 850, QRect(364, 130, 1256, 850)},
        // The default 950 x 800 is raised to the window's smallest width.
        {QRect(0, 0, 1920, 1040), 950, 800, QRect(410, 120, 1100, 800)},
        {QRect(0, 0, 1920, 1040), 0, -5, QRect(410, 150, 1100, 740)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlaceMainWindow(c.workArea, c.nwidth, c.nheight), c.expected) << c.nwidth << "x" << c.nheight;
}
