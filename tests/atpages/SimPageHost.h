#pragma once

#include "core/at/ModemSession.h"
#include "pages/PageHost.h"

namespace ulv::test {

// A page host over a session of the test's own: what the AT pages need of the
// window that holds them.
class SimPageHost : public PageHost {
public:
    explicit SimPageHost(ModemSession& session) : m_session(session) { SetPageHost(this); }
    ~SimPageHost() override { SetPageHost(nullptr); }
    ModemSession& Session() const override { return m_session; }
    int OpenCommport(const QString&, int, int, int, int, int, int) override { return 0; }
    void CloseCommport() override {}
    bool PortOpen() const override { return m_session.IsOpen(); }
    void ShowConnectionText(const QString&) override {}
    void ModuleIdentified() override {}

private:
    ModemSession& m_session;
};

} // namespace ulv::test
