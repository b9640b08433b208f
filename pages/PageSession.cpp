#include "pages/PageSession.h"

#include "core/at/ModemSession.h"
#include "pages/PageHost.h"

namespace ulv {

ModemSession& PageSession()
{
    PageHost* host = GetPageHost();
    return host ? host->Session() : AppModemSession();
}

bool PageCanStartTask()
{
    PageHost* host = GetPageHost();
    return host && host->PortOpen() && !host->Session().Gate().Running();
}

} // namespace ulv
