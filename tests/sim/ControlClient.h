#pragma once

// A client of a module's control socket (SimControl.h), as a user's tool
// would be: a line out, its answer line back.

#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace ulv::sim::test {

class ControlClient {
public:
    explicit ControlClient(const std::string& path)
    {
        m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, sizeof address.sun_path - 1);
        if (m_fd >= 0 && ::connect(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~ControlClient()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    ControlClient(const ControlClient&) = delete;
    ControlClient& operator=(const ControlClient&) = delete;

    bool Connected() const { return m_fd >= 0; }
    bool Write(const std::string& bytes)
    {
        return ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == ssize_t(bytes.size());
    }
    // The next answer without its line end; "" when none comes in time.
    std::string ReadLine(int timeoutMs = 30000)
    {
        std::string in;
        char c = 0;
        pollfd p {m_fd, POLLIN, 0};
        while (::poll(&p, 1, timeoutMs) == 1 && ::recv(m_fd, &c, 1, 0) == 1) {
            if (c == '\n')
                return in;
            in.push_back(c);
        }
        return {};
    }
    std::string Send(const std::string& line) { return Write(line + "\n") ? ReadLine() : std::string(); }

private:
    int m_fd = -1;
};

} // namespace ulv::sim::test
