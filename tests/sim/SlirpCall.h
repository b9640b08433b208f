#pragma once

// A data call that ends in slirp: slirp's PPP on a pseudo-terminal of its own,
// started per call. What a module in front of slirp shares (SlirpBridge,
// SimModule's data mode): the start and stop of slirp and the "+++" escape.

#include <cstddef>
#include <string>
#include <vector>

#include <sys/types.h>

namespace ulv::sim {

struct SlirpSetup {
    std::string home;              // the HOME slirp sees (its .pap-secrets / .chap-secrets)
    std::vector<std::string> args; // after "ppp" on slirp's command line
    std::string program;           // slirp's program; empty: the installed one
};

class SlirpCall {
public:
    explicit SlirpCall(SlirpSetup setup);
    ~SlirpCall();
    SlirpCall(const SlirpCall&) = delete;
    SlirpCall& operator=(const SlirpCall&) = delete;

    // slirp's program, or empty when it is not installed.
    static std::string InstalledProgram();

    // Starts slirp; false when it cannot run (not installed, no pty).
    bool Start();
    // Ends slirp (SIGTERM, SIGKILL when it lingers) and its pty.
    void Stop();
    bool Up() const { return m_fd >= 0; }
    // slirp's side of the line, to poll for what it sends.
    int Fd() const { return m_fd; }

    // Bytes from the host in data mode go to slirp; true when they were the
    // escape instead (the call is to end).
    bool FromHost(const char* data, std::size_t n);

private:
    SlirpSetup m_setup;
    int m_fd = -1;
    pid_t m_pid = -1;
    int m_plus = 0; // '+' seen in a row
};

// A fresh HOME for slirp under $TMPDIR ("" when none can be made).
std::string MakeSlirpHome(const char* prefix);

} // namespace ulv::sim
