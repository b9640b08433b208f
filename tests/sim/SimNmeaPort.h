#pragma once

// The simulated module's NMEA port: a second pseudo-terminal that streams a
// recorded NMEA log while the module's GNSS engine is on (AT+JGPS=1) and falls
// silent when it is switched off (AT+JGPSEND). Like a real module's USB NMEA
// interface the port exists from the start; only the stream follows the engine.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace ulv::sim {

class SimModule;

class SimNmeaPort {
public:
    struct Options {
        std::string logPath;                           // the recorded log
        std::chrono::milliseconds linePeriod {2};       // between sentences
        bool repeat = false;                           // start over at the end
    };

    explicit SimNmeaPort(Options options);
    // Stops the thread and closes the pseudo-terminal.
    ~SimNmeaPort();
    SimNmeaPort(const SimNmeaPort&) = delete;
    SimNmeaPort& operator=(const SimNmeaPort&) = delete;

    // Reads the log, opens the pseudo-terminal (raw) and starts the thread.
    // False with a reason when the log cannot be read or the system refuses.
    bool Start(std::string* error = nullptr);
    const std::string& SlavePath() const { return m_slavePath; }

    // The GNSS engine on (the log plays from its start) or off (silence).
    void SetEngineOn(bool on);
    bool EngineOn() const;
    // Waits until the log has been played to its end n times since the start.
    bool WaitForPasses(int n, std::chrono::milliseconds timeout);
    int Passes() const;
    // The port goes away as when the module is unplugged: the reader sees a hang-up.
    void Unplug();

private:
    void Run();

    Options m_options;
    std::string m_log;
    int m_master = -1;
    int m_slave = -1; // kept open so that writes never fail for want of a reader
    std::string m_slavePath;
    std::thread m_thread;

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_stop = false;
    bool m_on = false;
    unsigned m_generation = 0; // bumped by every switch on: the log restarts
    int m_passes = 0;
};

// Lets the module's AT+JGPS=1 / AT+JGPSEND switch the port's stream.
void AttachNmeaPort(SimModule& module, SimNmeaPort& port);

} // namespace ulv::sim
