#include "shell/SendPanelSetup.h"

#include "core/at/CommandQueue.h"
#include "shell/CSendPanelDlg.h"
#include "shell/CTestView2.h"

namespace ulv {

CSendPanelDlg* AttachSendPanel(CTestView2* pane)
{
    StartCommandQueue();
    auto* panel = new CSendPanelDlg(pane);
    pane->SetSendPanel(panel);
    return panel;
}

} // namespace ulv
