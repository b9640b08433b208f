#include "sim/SlirpBridge.h"

#include "sim/PtyIo.h"

#include <cctype>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

namespace ulv::sim {

SlirpBridge::SlirpBridge(std::string home, std::vector<std::string> slirpArgs)
    : m_call({std::move(home), std::move(slirpArgs), {}})
{
    int slave = -1;
    char name[256] = {};
    if (openpty(&m_master, &slave, name, nullptr, nullptr) != 0)
        return;
    MakeRaw(slave);
    m_slaveKeep = slave;
    m_slavePath = name;
    fcntl(m_master, F_SETFD, FD_CLOEXEC);
    fcntl(m_slaveKeep, F_SETFD, FD_CLOEXEC);
    if (pipe2(m_stopPipe, O_CLOEXEC) != 0) {
        close(m_master);
        m_master = -1;
        return;
    }
    m_thread = std::thread([this] { Run(); });
}

SlirpBridge::~SlirpBridge()
{
    if (m_thread.joinable()) {
        const char stop = 1;
        (void)!write(m_stopPipe[1], &stop, 1);
        m_thread.join();
    }
    m_call.Stop();
    for (int fd : {m_master, m_slaveKeep, m_stopPipe[0], m_stopPipe[1]})
        if (fd >= 0)
            close(fd);
}

void SlirpBridge::Reply(const std::string& verbose, const std::string& numeric)
{
    const std::string text = m_verbose ? "\r\n" + verbose + "\r\n" : numeric + "\r";
    WriteAll(m_master, text.data(), text.size());
}

void SlirpBridge::HandleLine(const std::string& raw)
{
    std::string line;
    for (char c : raw)
        line += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (line.empty())
        return;
    if (line.rfind("AT", 0) != 0) {
        Reply("ERROR", "4");
        return;
    }
    const std::string cmd = line.substr(2);
    if (cmd == "E0" || cmd == "E1" || cmd == "E") {
        m_echo = cmd == "E1";
    } else if (cmd == "V0" || cmd == "V1" || cmd == "V") {
        m_verbose = cmd == "V1";
    } else if (cmd.rfind("D*99", 0) == 0) {
        if (!m_call.Start()) {
            Reply("NO CARRIER", "3");
            return;
        }
        ++m_dials;
        Reply("CONNECT", "1");
        m_dataMode = true;
        return;
    } else if (cmd == "H" || cmd == "H0" || cmd.empty() || cmd.rfind("+CGDCONT", 0) == 0 || cmd == "O0") {
        // accepted as they stand
    } else {
        Reply("ERROR", "4");
        return;
    }
    Reply("OK", "0");
}

void SlirpBridge::HandleCommandBytes(const char* data, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i) {
        const char c = data[i];
        if (m_echo)
            WriteAll(m_master, &c, 1);
        if (c == '\r') {
            const std::string line = m_line;
            m_line.clear();
            HandleLine(line);
        } else if (c != '\n') {
            m_line += c;
        }
    }
}

void SlirpBridge::Run()
{
    char buf[8192];
    for (;;) {
        const int slirpFd = m_call.Fd();
        pollfd fds[3] = {{m_stopPipe[0], POLLIN, 0}, {m_master, POLLIN, 0}, {slirpFd, POLLIN, 0}};
        const nfds_t count = slirpFd >= 0 ? 3 : 2;
        if (poll(fds, count, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[0].revents)
            return;
        if (fds[1].revents & POLLIN) {
            const ssize_t n = read(m_master, buf, sizeof buf);
            if (n > 0) {
                if (!m_dataMode) {
                    HandleCommandBytes(buf, static_cast<std::size_t>(n));
                } else if (m_call.FromHost(buf, static_cast<std::size_t>(n))) {
                    // The escape: the call drops and the module takes commands again.
                    m_dataMode = false;
                    m_call.Stop();
                    m_line.clear();
                    Reply("NO CARRIER", "3");
                }
            }
        }
        if (count == 3 && (fds[2].revents & (POLLIN | POLLHUP | POLLERR))) {
            const ssize_t n = read(slirpFd, buf, sizeof buf);
            if (n > 0)
                WriteAll(m_master, buf, static_cast<std::size_t>(n));
            else if (n == 0 || (errno != EAGAIN && errno != EINTR))
                m_call.Stop();
        }
        if (fds[1].revents & POLLHUP) {
            // Nobody holds the program's end: wait for it without spinning.
            pollfd p{m_stopPipe[0], POLLIN, 0};
            if (poll(&p, 1, 20) > 0)
                return;
        }
    }
}

} // namespace ulv::sim
