#include "common/TestEnv.h"
#include "ui/controls/WinLook.h"
#include "ui/maps/MapEngine.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // gtest_discover_tests runs the binary without the test's environment, so the
    // platform is chosen here rather than in CMake.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    ulv::test::PrepareEnvironment();
    ulv::PrepareMapEngine();
    QApplication app(argc, argv);
    ulv::InstallFontSubstitutions();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
