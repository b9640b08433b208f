#include "sim/SimNmeaPort.h"

#include "sim/PtyIo.h"
#include "sim/SimModule.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace ulv::sim {

namespace {

// The log as sentences, each with the line end it was recorded with.
std::vector<std::string> SplitLines(const std::string& log)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < log.size()) {
        std::size_t lf = log.find('\n', start);
        const std::size_t end = lf == std::string::npos ? log.size() : lf + 1;
        lines.push_back(log.substr(start, end - start));
        start = end;
    }
    return lines;
}

} // namespace

SimNmeaPort::SimNmeaPort(Options options)
    : m_options(std::move(options))
{
}

SimNmeaPort::~SimNmeaPort()
{
    {
        std::lock_guard<std::mutex> g(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    Unplug();
}

bool SimNmeaPort::Start(std::string* error)
{
    auto fail = [&](const std::string& why) {
        if (error)
            *error = why;
        Unplug();
        return false;
    };
    std::ifstream in(m_options.logPath, std::ios::binary);
    if (!in)
        return fail("cannot read the NMEA log " + m_options.logPath);
    std::ostringstream text;
    text << in.rdbuf();
    m_log = text.str();

    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0)
        return fail(std::string("posix_openpt: ") + std::strerror(errno));
    char name[PATH_MAX] = {};
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0 || ::ptsname_r(m_master, name, sizeof name) != 0)
        return fail(std::string("pseudo-terminal: ") + std::strerror(errno));
    m_slavePath = name;
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_slave < 0)
        return fail(std::string("open slave: ") + std::strerror(errno));
    termios tio {};
    if (::tcgetattr(m_slave, &tio) != 0)
        return fail(std::string("tcgetattr: ") + std::strerror(errno));
    ::cfmakeraw(&tio);
    if (::tcsetattr(m_slave, TCSANOW, &tio) != 0)
        return fail(std::string("tcsetattr: ") + std::strerror(errno));
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_thread = std::thread([this] { Run(); });
    return true;
}

void SimNmeaPort::SetEngineOn(bool on)
{
    {
        std::lock_guard<std::mutex> g(m_mutex);
        if (on)
            ++m_generation;
        m_on = on;
    }
    m_changed.notify_all();
}

bool SimNmeaPort::EngineOn() const
{
    std::lock_guard<std::mutex> g(m_mutex);
    return m_on;
}

int SimNmeaPort::Passes() const
{
    std::lock_guard<std::mutex> g(m_mutex);
    return m_passes;
}

bool SimNmeaPort::WaitForPasses(int n, std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> g(m_mutex);
    return m_changed.wait_for(g, timeout, [&] { return m_passes >= n; });
}

void SimNmeaPort::Unplug()
{
    std::lock_guard<std::mutex> g(m_mutex);
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_slave = m_master = -1;
    m_on = false;
}

void SimNmeaPort::Run()
{
    const std::vector<std::string> lines = SplitLines(m_log);
    std::size_t next = 0;
    unsigned generation = 0;
    unsigned cut = 0;
    std::unique_lock<std::mutex> g(m_mutex);
    for (;;) {
        m_changed.wait(g, [&] { return m_stop || (m_on && m_master >= 0); });
        if (m_stop)
            return;
        if (generation != m_generation) {
            generation = m_generation;
            next = 0;
        }
        if (next >= lines.size()) {
            ++m_passes;
            m_changed.notify_all();
            if (!m_options.repeat) {
                // Played once: silent until the engine is switched on again.
                m_changed.wait(g, [&] { return m_stop || generation != m_generation; });
                continue;
            }
            next = 0;
        }
        // A receiver hands its sentences over in pieces of any size: each
        // sentence goes out in two writes cut at a varying place.
        const std::string& line = lines[next++];
        const std::size_t at = line.empty() ? 0 : (cut++ * 7) % line.size();
        WriteAll(m_master, line.data(), at);
        WriteAll(m_master, line.data() + at, line.size() - at);
        m_changed.wait_for(g, m_options.linePeriod, [&] { return m_stop || !m_on || generation != m_generation; });
    }
}

void AttachNmeaPort(SimModule& module, SimNmeaPort& port)
{
    module.With([&port](ModemEngine& e) { e.SetGnssSwitch([&port](bool on) { port.SetEngineOn(on); }); });
}

} // namespace ulv::sim
