#pragma once

#include "core/at/SendAndWait.h"
#include "core/ppp/PppDialClient.h"

namespace ulv {

class ModemSession;

// The PPP client on the module's session: commands and frames through the
// transmitter's one FIFO, received data from the reply buffers, notes to the
// terminal. `running` is the task's flag.
class SessionPppLine : public PppLineIo {
public:
    SessionPppLine(ModemSession& session, RunningFlag running);
    bool Running() override;
    void ClearReceived() override;
    void SendText(const std::string& text, bool lineEnd) override;
    void SendRaw(const std::vector<std::uint8_t>& bytes) override;
    void WaitReceived(Clock::time_point deadline, std::string& text, std::string& hex) override;
    void Note(int kind, const std::string& text) override;
    int DcdState() override;
    bool LineOpen() override;
    void SetRecvAsHex(bool hex) override;

private:
    ModemSession& m_session;
    RunningFlag m_running;
    bool m_stopSeen = false;
};

} // namespace ulv
