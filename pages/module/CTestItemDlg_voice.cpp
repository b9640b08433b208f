#include "pages/module/CTestItemDlg_voice.h"

#include "pages/module/core/AudioCommandSet.h"
#include "pages/module/core/ModuleScripts.h"
#include "serial/SerialMessages.h"

#include <QEvent>

namespace ulv {

CTestItemDlg_voice::CTestItemDlg_voice(QWidget* parent)
    : PageDialog(QStringLiteral("CTestItemDlg_voice"), parent)
{
    g_audioCommandSet = SelectAudioCommandSet();
}

int CTestItemDlg_voice::OnModuleIdentified()
{
    g_audioCommandSet = SelectAudioCommandSet();
    // The audio value boxes take the identified family's ranges here
    // (SetupAudioSliders) once the page has them.
    return 1;
}

bool CTestItemDlg_voice::event(QEvent* e)
{
    if (e->type() == MessageEventType(WM_MODULE_IDENTIFIED)) {
        OnModuleIdentified();
        return true;
    }
    return PageDialog::event(e);
}

} // namespace ulv
