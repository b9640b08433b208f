#pragma once

// A modem session on the simulated module, with no window anywhere: what the
// scripts and the command queue need of the program is the session alone.

#include "sim/SimFixture.h"

#include "common/EventLoopWait.h"
#include "core/at/ModemSession.h"

#include <memory>

namespace ulv::test {

class SessionSim : public sim::SimFixture {
protected:
    void SetUp() override
    {
        sim::SimFixture::SetUp();
        session = std::make_unique<ModemSession>();
    }
    void TearDown() override
    {
        session.reset();
        sim::SimFixture::TearDown();
    }
    bool Open() { return session->Open(QString::fromStdString(SlavePath()), 115200, 8, 1, 'N', 0, 2048) == ModemSession::OpenResult::Opened; }
    // A fresh module of the family and a fresh session on it.
    void Restart(sim::Family family, const std::string& revision = {})
    {
        session.reset();
        StartSim(family, revision);
        session = std::make_unique<ModemSession>();
    }
    template <class Pred>
    static bool Until(Pred done, int ms = 30000)
    {
        return test::RunEventsUntil(done, ms);
    }

    std::unique_ptr<ModemSession> session;
};

} // namespace ulv::test
