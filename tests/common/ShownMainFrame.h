#pragma once

// A main window of the given module family, created, sized and on screen as
// the user first sees it (widget tests only: it needs ulvui).

#include "shell/CMainFrame.h"
#include "shell/core/CUlvenscopeApp.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <memory>

namespace ulv::test {

inline std::unique_ptr<CMainFrame> MakeShownMainFrame(int moduleType)
{
    g_nModuleType = moduleType;
    auto frame = std::make_unique<CMainFrame>(moduleType);
    EXPECT_TRUE(frame->Create());
    frame->resize(1200, 800);
    frame->show();
    QApplication::processEvents();
    return frame;
}

} // namespace ulv::test
