#pragma once

// GoogleTest fixture that runs a simulated module in-process on a
// pseudo-terminal. The test opens SlavePath() as its serial port and drives the
// module through sim(). Link the test with ulvsimcore.
//
//   class MyTest : public ulv::sim::SimFixture {};
//   TEST_F(MyTest, Sends) {
//       StartSim(ulv::sim::Family::Umts, "RX50C01");   // optional: a GSM TZ20A01 runs by default
//       ... open SlavePath() ...
//       ASSERT_TRUE(WaitForCommand("AT+CMGS=\"12345\"", 2s));
//   }

#include "sim/SimModule.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace ulv::sim {

class SimFixture : public ::testing::Test {
protected:
    void SetUp() override { StartSim(Family::Gsm); }
    void TearDown() override { m_sim.reset(); }

    // Replaces the running module with a new one (a new slave path).
    void StartSim(Family family, const std::string& revision = {})
    {
        m_sim.reset();
        m_sim = std::make_unique<SimModule>(family, revision);
        std::string error;
        ASSERT_TRUE(m_sim->Start(&error)) << error;
    }

    SimModule& sim() { return *m_sim; }
    const std::string& SlavePath() const { return m_sim->SlavePath(); }

    bool WaitForCommand(const std::string& command, std::chrono::milliseconds timeout)
    {
        return m_sim->WaitForCommand(command, timeout);
    }
    std::string Received() const { return m_sim->Received(); }
    std::vector<SimModule::LogEntry> ReceivedLog() const { return m_sim->ReceivedLog(); }
    void InjectLine(const std::string& text) { m_sim->InjectLine(text); }
    void AddFault(const std::string& line)
    {
        std::string error;
        auto fault = ParseFaultLine(line, &error);
        ASSERT_TRUE(fault.has_value()) << line << ": " << error;
        m_sim->AddFault(*fault);
    }
    int StoreSms(const SmsMessage& message, bool notify = true) { return m_sim->StoreSms(message, notify); }
    ModemState State()
    {
        ModemState copy;
        m_sim->With([&](ModemEngine& e) { copy = e.State(); });
        return copy;
    }

private:
    std::unique_ptr<SimModule> m_sim;
};

} // namespace ulv::sim
