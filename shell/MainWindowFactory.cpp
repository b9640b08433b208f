#include "shell/MainWindowFactory.h"

#include "shell/CMainFrame.h"
#include "shell/core/CUlvenscopeApp.h"

#include <memory>

namespace ulv {

QMainWindow* CreateMainWindow()
{
    auto frame = std::make_unique<CMainFrame>(GetModuleType());
    if (!frame->Create())
        return nullptr;
    return frame.release();
}

} // namespace ulv
