#include "sim/SimModule.h"

#include "sim/PtyIo.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace ulv::sim {

namespace {

std::string Reason(const char* step)
{
    return std::string(step) + ": " + std::strerror(errno);
}

} // namespace

SimModule::SimModule(Family family, std::string revision)
    : m_engine(family, revision.empty() ? DefaultRevision(family) : std::move(revision))
{
}

SimModule::~SimModule()
{
    Stop();
}

const char* SimModule::DefaultRevision(Family family)
{
    return family == Family::Gsm ? "TZ20A01" : "RX70B03";
}

bool SimModule::Start(std::string* error)
{
    auto fail = [&](const char* step) {
        if (error)
            *error = Reason(step);
        if (m_slave >= 0)
            ::close(m_slave);
        if (m_master >= 0)
            ::close(m_master);
        if (m_wake >= 0)
            ::close(m_wake);
        m_slave = m_master = m_wake = -1;
        return false;
    };
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0)
        return fail("posix_openpt");
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
        return fail("grantpt/unlockpt");
    char name[PATH_MAX] = {};
    if (::ptsname_r(m_master, name, sizeof name) != 0)
        return fail("ptsname_r");
    m_slavePath = name;
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_slave < 0)
        return fail("open slave");
    // Until the slave is raw its line discipline would echo and turn CR into CR LF.
    termios tio {};
    if (::tcgetattr(m_slave, &tio) != 0)
        return fail("tcgetattr");
    ::cfmakeraw(&tio);
    if (::tcsetattr(m_slave, TCSANOW, &tio) != 0)
        return fail("tcsetattr");
    if (::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK) != 0)
        return fail("fcntl");
    m_wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_wake < 0)
        return fail("eventfd");
    m_engine.SetPost([this](auto fn) { WithEmit(fn); });
    m_engine.SetDataCall([this](int) { return StartDataCall(); });
    m_thread = std::thread([this] { Run(); });
    return true;
}

void SimModule::Stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    Wake();
    if (m_thread.joinable())
        m_thread.join();
    m_call.reset();
    m_engine.ShutdownIp();
    std::lock_guard lock(m_mutex);
    CloseLine();
    m_hungUp = false; // a stop is not a hang-up
    if (m_wake >= 0) {
        ::close(m_wake);
        m_wake = -1;
    }
}

void SimModule::Wake()
{
    if (m_wake >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] auto n = ::write(m_wake, &one, sizeof one);
    }
}

void SimModule::CloseLine()
{
    if (m_master >= 0) {
        ::close(m_master);
        m_master = -1;
    }
    if (m_slave >= 0) {
        ::close(m_slave);
        m_slave = -1;
    }
    m_pending.clear();
}

void SimModule::SetSlirp(SlirpSetup setup)
{
    std::lock_guard lock(m_mutex);
    m_slirp = std::move(setup);
}

bool SimModule::StartDataCall()
{
    if (!m_slirp)
        return false;
    auto call = std::make_unique<SlirpCall>(*m_slirp);
    if (!call->Start())
        return false;
    m_call = std::move(call);
    m_toHost.clear();
    // The module lets go of its own hold on the line for the call, so the
    // host closing its end shows as a hang-up on the master.
    if (m_slave >= 0) {
        ::close(m_slave);
        m_slave = -1;
    }
    return true;
}

void SimModule::EndDataCall(bool tellHost)
{
    if (std::unique_ptr<SlirpCall> call = std::move(m_call))
        call->Stop(); // not under the lock: slirp may take a moment to end
    m_toHost.clear();
    std::lock_guard lock(m_mutex);
    if (m_slave < 0 && m_master >= 0) {
        m_slave = ::open(m_slavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (m_slave >= 0)
            MakeRaw(m_slave);
        else
            m_pending.push_front({Clock::now(), {}, true}); // the line cannot be held: it drops
    }
    Schedule(m_engine.EndDataCall(tellHost));
    Schedule({m_held.begin(), m_held.end()});
    m_held.clear();
    m_changed.notify_all();
}

void SimModule::HoldDuringCall(std::vector<Emission> emissions)
{
    constexpr std::size_t kMaxHeld = 64;
    std::vector<Emission> now;
    for (Emission& e : emissions) {
        if (e.hangUp)
            now.push_back(std::move(e)); // an unplug ends the call with the line
        else
            m_held.push_back(std::move(e));
    }
    while (m_held.size() > kMaxHeld)
        m_held.pop_front();
    Schedule(std::move(now));
}

void SimModule::Schedule(std::vector<Emission> emissions)
{
    Clock::time_point base = std::max(Clock::now(), m_lastDue);
    for (auto& e : emissions) {
        // Bytes written to the master reach the slave a moment later; a line
        // dropped at once would discard them.
        const int delay = e.hangUp ? std::max(e.delayMs, 20) : e.delayMs;
        base += std::chrono::milliseconds(delay);
        m_pending.push_back({base, std::move(e.bytes), e.hangUp});
    }
    m_lastDue = base;
}

void SimModule::Run()
{
    char buffer[4096];
    for (;;) {
        bool writeDue = false;
        int timeoutMs = -1;
        int master = -1;
        int slirp = -1;
        bool hostGone = false;
        {
            std::lock_guard lock(m_mutex);
            if (m_stop || m_master < 0)
                return;
            master = m_master;
            if (!m_pending.empty()) {
                const auto now = Clock::now();
                if (m_pending.front().due <= now) {
                    // A hang-up waits (briefly) for the host to read what came before it.
                    if (m_draining)
                        timeoutMs = 5;
                    else
                        writeDue = true;
                } else {
                    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(m_pending.front().due - now);
                    timeoutMs = int(std::min<long long>(wait.count(), INT_MAX));
                }
            }
            // slirp's bytes follow the module's own answer (CONNECT), and wait
            // while the host has not taken the last ones.
            if (m_call && m_pending.empty() && m_toHost.empty())
                slirp = m_call->Fd();
            hostGone = m_call && m_slave < 0;
        }
        const short masterEvents = short(POLLIN | (writeDue || !m_toHost.empty() ? POLLOUT : 0));
        pollfd fds[3] = {{master, masterEvents, 0}, {m_wake, POLLIN, 0}, {slirp, POLLIN, 0}};
        if (::poll(fds, slirp >= 0 ? 3 : 2, timeoutMs) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents & POLLIN) {
            std::uint64_t count = 0;
            [[maybe_unused]] auto n = ::read(m_wake, &count, sizeof count);
        }
        if (fds[0].revents & POLLIN) {
            const ssize_t n = ::read(master, buffer, sizeof buffer);
            bool escaped = false;
            if (n > 0) {
                std::lock_guard lock(m_mutex);
                const std::string chunk(buffer, std::size_t(n));
                if (m_logging) {
                    m_log.push_back({Clock::now(), chunk});
                    m_received += chunk;
                }
                if (m_call) {
                    escaped = m_call->FromHost(chunk.data(), chunk.size());
                } else {
                    ModemEngine::Output out = m_engine.Feed(chunk);
                    if (m_logging) {
                        for (auto& line : out.lines)
                            m_commands.push_back(std::move(line));
                    }
                    Schedule(std::move(out.emissions));
                    if (m_call && out.dataFrom < chunk.size())
                        m_call->FromHost(chunk.data() + out.dataFrom, chunk.size() - out.dataFrom);
                }
                m_changed.notify_all();
            }
            if (escaped)
                EndDataCall(true);
        }
        if (slirp >= 0 && (fds[2].revents & (POLLIN | POLLHUP | POLLERR))) {
            const ssize_t n = ::read(slirp, buffer, sizeof buffer);
            if (n > 0)
                m_toHost.append(buffer, std::size_t(n));
            else if (n == 0 || (errno != EAGAIN && errno != EINTR))
                EndDataCall(true); // slirp ended: the call drops
        }
        if (!m_toHost.empty() && (fds[0].revents & POLLOUT)) {
            const ssize_t n = ::write(master, m_toHost.data(), m_toHost.size());
            if (n > 0) {
                std::lock_guard lock(m_mutex);
                if (m_logging)
                    m_sent.append(m_toHost, 0, std::size_t(n));
                m_toHost.erase(0, std::size_t(n));
                m_changed.notify_all();
            }
        }
        if (hostGone && (fds[0].revents & POLLHUP))
            EndDataCall(false); // the host closed the line: nobody hears NO CARRIER
        bool hungUp = false;
        {
            std::lock_guard lock(m_mutex);
            m_draining = false;
            while (!m_pending.empty() && m_pending.front().due <= Clock::now() && m_master >= 0) {
                Pending& p = m_pending.front();
                if (p.hangUp) {
                    int queued = 0;
                    if (m_slave >= 0 && ::ioctl(m_slave, FIONREAD, &queued) == 0 && queued > 0
                        && Clock::now() - p.due < std::chrono::seconds(1)) {
                        m_draining = true;
                        break;
                    }
                    CloseLine();
                    m_hungUp = true;
                    hungUp = true;
                    break;
                }
                const ssize_t n = p.bytes.empty() ? 0 : ::write(m_master, p.bytes.data(), p.bytes.size());
                if (n < 0)
                    break; // the pty is full (EAGAIN): POLLOUT brings us back
                if (m_logging)
                    m_sent.append(p.bytes, 0, std::size_t(n));
                if (std::size_t(n) < p.bytes.size()) {
                    p.bytes.erase(0, std::size_t(n));
                    break;
                }
                m_pending.pop_front();
            }
            m_changed.notify_all();
        }
        if (hungUp) {
            std::function<void()> handler;
            {
                std::lock_guard lock(m_mutex);
                handler = m_onHangUp;
            }
            if (handler)
                handler();
            return;
        }
    }
}

void SimModule::With(const std::function<void(ModemEngine&)>& fn)
{
    std::lock_guard lock(m_mutex);
    fn(m_engine);
}

void SimModule::WithEmit(const std::function<std::vector<Emission>(ModemEngine&)>& fn)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_master < 0 && m_thread.joinable())
            return;
        if (m_engine.InDataMode())
            HoldDuringCall(fn(m_engine));
        else
            Schedule(fn(m_engine));
    }
    Wake();
}

void SimModule::AddFault(Fault fault)
{
    With([&](ModemEngine& e) { e.AddFault(std::move(fault)); });
}

void SimModule::ClearFaults()
{
    With([](ModemEngine& e) { e.ClearFaults(); });
}

void SimModule::InjectLine(const std::string& text)
{
    WithEmit([&](ModemEngine& e) { return e.Unsolicited(text); });
}

void SimModule::InjectBytes(const std::string& bytes)
{
    WithEmit([&](ModemEngine&) { return std::vector<Emission>{{bytes, 0, false}}; });
}

std::string SimModule::Ring(const std::string& number)
{
    return Control("ring " + number);
}

std::string SimModule::RemoteHangUp()
{
    return Control("hangup");
}

std::string SimModule::Unplug()
{
    return Control("unplug");
}

int SimModule::StoreSms(const SmsMessage& message, bool notify)
{
    if (notify) {
        const std::string answer = Control("pdu " + EncodeSmsPdu(message));
        const std::string stored = "ok stored at ";
        return answer.rfind(stored, 0) == 0 ? std::atoi(answer.c_str() + stored.size()) : -1;
    }
    int index = -1;
    With([&](ModemEngine& e) {
        std::vector<Emission> none;
        index = e.StoreSms(message, false, none);
    });
    return index;
}

std::string SimModule::Received() const
{
    std::lock_guard lock(m_mutex);
    return m_received;
}

std::vector<SimModule::LogEntry> SimModule::ReceivedLog() const
{
    std::lock_guard lock(m_mutex);
    return m_log;
}

std::string SimModule::Sent() const
{
    std::lock_guard lock(m_mutex);
    return m_sent;
}

std::vector<std::string> SimModule::Commands() const
{
    std::lock_guard lock(m_mutex);
    return m_commands;
}

bool SimModule::WaitForCommand(const std::string& command, std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] {
        for (std::size_t i = m_commandCursor; i < m_commands.size(); ++i) {
            if (m_commands[i] == command) {
                m_commandCursor = i + 1;
                return true;
            }
        }
        return false;
    });
}

bool SimModule::WaitForReceived(const std::string& bytes, std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_received.find(bytes) != std::string::npos; });
}

bool SimModule::WaitForSent(const std::string& bytes, std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_sent.find(bytes) != std::string::npos; });
}

bool SimModule::HungUp() const
{
    std::lock_guard lock(m_mutex);
    return m_hungUp;
}

bool SimModule::WaitForHangUp(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_hungUp; });
}

void SimModule::SetLogging(bool on)
{
    std::lock_guard lock(m_mutex);
    m_logging = on;
}

void SimModule::SetHangUpHandler(std::function<void()> handler)
{
    std::lock_guard lock(m_mutex);
    m_onHangUp = std::move(handler);
}

} // namespace ulv::sim
