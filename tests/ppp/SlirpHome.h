#pragma once

// What the tests against slirp share: a HOME for slirp in the test's temporary
// folder with its secrets file, and a UDP echo server on loopback.
#include "common/TestEnv.h"

#include <QDir>
#include <QFile>

#include <atomic>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace ulv::test {

inline QString PrepareSlirpHome(const QString& name, const char* secretsFile, const char* secrets)
{
    const QString home = TempHome() + "/" + name;
    QDir().mkpath(home);
    if (secretsFile) {
        QFile f(home + "/" + secretsFile);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(secrets);
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    }
    return home;
}

// Answers every datagram on 127.0.0.1 with "echo:" and the datagram.
class UdpEchoServer {
public:
    UdpEchoServer()
    {
        m_fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (m_fd < 0 || bind(m_fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0
            || getsockname(m_fd, reinterpret_cast<sockaddr*>(&a), &len) != 0 || pipe(m_stop) != 0)
            return;
        m_port = ntohs(a.sin_port);
        m_thread = std::thread([this] {
            for (;;) {
                pollfd p[2] = {{m_fd, POLLIN, 0}, {m_stop[0], POLLIN, 0}};
                if (poll(p, 2, -1) < 0 || p[1].revents)
                    return;
                char buf[2048] = "echo:";
                sockaddr_in from{};
                socklen_t fromLen = sizeof from;
                const ssize_t n = recvfrom(m_fd, buf + 5, sizeof buf - 5, 0, reinterpret_cast<sockaddr*>(&from), &fromLen);
                if (n > 0)
                    ++m_echoed;
                if (n > 0)
                    sendto(m_fd, buf, static_cast<std::size_t>(n) + 5, 0, reinterpret_cast<sockaddr*>(&from), fromLen);
            }
        });
    }
    ~UdpEchoServer()
    {
        if (m_thread.joinable()) {
            (void)!write(m_stop[1], "x", 1);
            m_thread.join();
        }
        for (int fd : {m_fd, m_stop[0], m_stop[1]})
            if (fd >= 0)
                close(fd);
    }
    int Port() const { return m_port; }
    // How many datagrams reached the server (a lost reply is told from a lost request).
    int Echoed() const { return m_echoed.load(); }

private:
    int m_fd = -1;
    int m_stop[2] = {-1, -1};
    int m_port = 0;
    std::atomic<int> m_echoed{0};
    std::thread m_thread;
};

} // namespace ulv::test
