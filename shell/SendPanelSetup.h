#pragma once

namespace ulv {

class CSendPanelDlg;
class CTestView2;

// What creating the terminal pane brings with it: the command queue starts and
// the send panel is put below the terminal.
CSendPanelDlg* AttachSendPanel(CTestView2* pane);

} // namespace ulv
