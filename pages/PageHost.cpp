#include "pages/PageHost.h"

#include <atomic>

namespace ulv {

namespace {
std::atomic<PageHost*> g_host{nullptr};
}

PageHost* GetPageHost()
{
    return g_host.load();
}

void SetPageHost(PageHost* host)
{
    g_host.store(host);
}

} // namespace ulv
