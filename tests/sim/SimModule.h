#pragma once

// The simulated module on a pseudo-terminal: it owns the master side, answers
// on one thread of its own, and logs every byte it receives. The program (or a
// test) opens SlavePath() like a real serial port.

#include "sim/ModemEngine.h"
#include "sim/SlirpCall.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace ulv::sim {

class SimModule {
public:
    using Clock = std::chrono::steady_clock;

    struct LogEntry {
        Clock::time_point time;
        std::string bytes;
    };

    SimModule(Family family, std::string revision);
    // Stops the thread and closes the pseudo-terminal.
    ~SimModule();
    SimModule(const SimModule&) = delete;
    SimModule& operator=(const SimModule&) = delete;

    // Opens the pseudo-terminal (the slave raw before any byte) and starts the
    // thread; false with a reason when the system refuses.
    bool Start(std::string* error = nullptr);
    void Stop();

    const std::string& SlavePath() const { return m_slavePath; }
    static const char* DefaultRevision(Family family);

    // Runs fn on the engine under the module's lock (to read or change its state).
    void With(const std::function<void(ModemEngine&)>& fn);
    // The same; the emissions fn returns go out at once (after what is queued).
    void WithEmit(const std::function<std::vector<Emission>(ModemEngine&)>& fn);

    // Convenience controls.
    void AddFault(Fault fault);
    void ClearFaults();
    void InjectLine(const std::string& text);   // framed like an unsolicited result
    void InjectBytes(const std::string& bytes); // exactly these bytes
    // Runs one control command (SimControl.h) and answers its line.
    std::string Control(std::string_view line);
    // The control's "ring", "hangup" and "unplug"; they answer its line.
    std::string Ring(const std::string& number);
    std::string RemoteHangUp();
    std::string Unplug();
    // With notify the message arrives from the network (the control's "pdu":
    // "+CMTI: "SM",<index>" as AT+CNMI says); without, it is put in the store.
    // Its index, or -1 when it was not stored.
    int StoreSms(const SmsMessage& message, bool notify = true);

    // Everything received, in order, and the same with arrival times.
    std::string Received() const;
    std::vector<LogEntry> ReceivedLog() const;
    // Everything the module wrote.
    std::string Sent() const;
    // Command lines received so far (without their CR).
    std::vector<std::string> Commands() const;

    // Waits for the next command line equal to `command` after the one the
    // previous successful wait found.
    bool WaitForCommand(const std::string& command, std::chrono::milliseconds timeout);
    // Waits until the received bytes contain `bytes`.
    bool WaitForReceived(const std::string& bytes, std::chrono::milliseconds timeout);
    // Waits until the module has written bytes containing `bytes`.
    bool WaitForSent(const std::string& bytes, std::chrono::milliseconds timeout);

    // The line dropped (a hang-up fault); the module no longer answers.
    bool HungUp() const;
    bool WaitForHangUp(std::chrono::milliseconds timeout);
    // Logging is on at start; a long-running module (ulvsim) turns it off so
    // that the logs do not grow without end.
    void SetLogging(bool on);
    // Called on the module's thread right after a hang-up.
    void SetHangUpHandler(std::function<void()> handler);
    // A data dial (ATD*99#) ends in slirp started with this setup, one slirp
    // per call; without a setup the dial answers NO CARRIER. Before Start().
    void SetSlirp(SlirpSetup setup);

private:
    struct Pending {
        Clock::time_point due;
        std::string bytes;
        bool hangUp = false;
    };

    void Run();
    void Schedule(std::vector<Emission> emissions); // under m_mutex
    void Wake();
    void CloseLine(); // under m_mutex
    // On the module's thread: the data call's data path.
    bool StartDataCall(); // under m_mutex
    void EndDataCall(bool tellHost);
    void HoldDuringCall(std::vector<Emission> emissions); // under m_mutex

    ModemEngine m_engine;
    int m_master = -1;
    int m_slave = -1; // kept open so the master never sees the line go away
    int m_wake = -1;
    std::string m_slavePath;
    std::thread m_thread;

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Pending> m_pending;
    Clock::time_point m_lastDue{};
    std::vector<LogEntry> m_log;
    std::string m_received;
    std::string m_sent;
    std::vector<std::string> m_commands;
    std::size_t m_commandCursor = 0;
    bool m_stop = false;
    bool m_hungUp = false;
    bool m_draining = false;
    bool m_logging = true;
    std::function<void()> m_onHangUp;

    // The data call. m_call and m_toHost are the module thread's own (and
    // Stop()'s once the thread is gone).
    std::optional<SlirpSetup> m_slirp;
    std::unique_ptr<SlirpCall> m_call;
    std::string m_toHost; // from slirp, not yet taken by the pty
    // Notices that came during the call: a module does not put them into the
    // PPP stream; they go out after NO CARRIER. Bounded: the oldest go first.
    std::deque<Emission> m_held;
};

} // namespace ulv::sim
