#pragma once

// A module in front of slirp: a pseudo-terminal for the program's port that
// answers the AT preamble of a dial (ATE, ATV, AT+CGDCONT, ATD*99#) and, after
// CONNECT, joins the line to slirp's PPP on a second pseudo-terminal. "+++"
// in data mode returns to command mode (NO CARRIER) and ends slirp.

#include "sim/SlirpCall.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace ulv::sim {

class SlirpBridge {
public:
    // home: the HOME slirp sees (its .pap-secrets / .chap-secrets); slirpArgs
    // follow "ppp" on slirp's command line.
    SlirpBridge(std::string home, std::vector<std::string> slirpArgs);
    ~SlirpBridge();
    SlirpBridge(const SlirpBridge&) = delete;
    SlirpBridge& operator=(const SlirpBridge&) = delete;

    bool Started() const { return m_master >= 0; }
    const std::string& SlavePath() const { return m_slavePath; }
    // slirp's program, or empty when it is not installed.
    static std::string SlirpProgram() { return SlirpCall::InstalledProgram(); }
    // How many times slirp was started (one per dial).
    int Dials() const { return m_dials.load(); }

private:
    void Run();
    void HandleCommandBytes(const char* data, std::size_t n);
    void HandleLine(const std::string& line);
    void Reply(const std::string& verbose, const std::string& numeric);

    int m_master = -1;
    int m_slaveKeep = -1; // held so the pty stays when the program closes its end
    std::string m_slavePath;
    int m_stopPipe[2] = {-1, -1};
    std::thread m_thread;
    // Used on the bridge thread only.
    bool m_echo = true;
    bool m_verbose = true;
    bool m_dataMode = false;
    std::string m_line;
    SlirpCall m_call;
    std::atomic<int> m_dials{0};
};

} // namespace ulv::sim
