#include "EchoServer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace ulv::tools {

EchoServer::~EchoServer()
{
    Stop();
}

std::string EchoServer::Banner()
{
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    char stamp[32] = {};
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    // "MORVANE ECHO SERVER " is 20 characters, the stamp 19: '[' at 20, ']' at 40.
    return std::string("MORVANE ECHO SERVER [") + stamp + "] ";
}

bool EchoServer::Start(int port, std::string* error)
{
    auto fail = [&](const char* step) {
        if (error)
            *error = std::string(step) + ": " + std::strerror(errno);
        for (int* fd : {&m_listen, &m_udp, &m_wake}) {
            if (*fd >= 0)
                ::close(*fd);
            *fd = -1;
        }
        return false;
    };
    sockaddr_in at {};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    at.sin_port = htons(std::uint16_t(port));
    m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listen < 0)
        return fail("socket");
    const int one = 1;
    ::setsockopt(m_listen, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (::bind(m_listen, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0)
        return fail("bind");
    if (::listen(m_listen, kMaxClients) != 0)
        return fail("listen");
    socklen_t len = sizeof at;
    if (::getsockname(m_listen, reinterpret_cast<sockaddr*>(&at), &len) != 0)
        return fail("getsockname");
    m_port = ntohs(at.sin_port);
    m_udp = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (m_udp < 0 || ::bind(m_udp, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0)
        return fail("udp bind");
    m_wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_wake < 0)
        return fail("eventfd");
    m_stop = false;
    m_drop = false;
    m_connections = 0;
    {
        std::lock_guard lock(m_lock);
        m_received.clear();
    }
    m_thread = std::thread([this] { Run(); });
    return true;
}

void EchoServer::Wake()
{
    if (m_wake >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] auto n = ::write(m_wake, &one, sizeof one);
    }
}

void EchoServer::Stop()
{
    m_stop = true;
    Wake();
    if (m_thread.joinable())
        m_thread.join();
    for (int* fd : {&m_listen, &m_udp, &m_wake}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

void EchoServer::DropClients()
{
    m_drop = true;
    Wake();
}

std::string EchoServer::Received() const
{
    std::lock_guard lock(m_lock);
    return m_received;
}

namespace {

bool SendAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += std::size_t(n);
    }
    return true;
}

} // namespace

void EchoServer::Run()
{
    std::vector<int> clients;
    char buffer[16384];
    while (!m_stop) {
        if (m_drop.exchange(false)) {
            for (int c : clients)
                ::close(c);
            clients.clear();
        }
        std::vector<pollfd> fds = {{m_wake, POLLIN, 0}, {m_listen, POLLIN, 0}, {m_udp, POLLIN, 0}};
        for (int c : clients)
            fds.push_back({c, POLLIN, 0});
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[0].revents & POLLIN) {
            std::uint64_t count = 0;
            [[maybe_unused]] auto n = ::read(m_wake, &count, sizeof count);
        }
        if (fds[1].revents & POLLIN) {
            const int c = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
            if (c >= 0 && int(clients.size()) < kMaxClients) {
                clients.push_back(c);
                ++m_connections;
            } else if (c >= 0) {
                ::close(c);
            }
        }
        if (fds[2].revents & POLLIN) {
            sockaddr_in from {};
            socklen_t len = sizeof from;
            const ssize_t n = ::recvfrom(m_udp, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &len);
            if (n > 0) {
                const std::string data(buffer, std::size_t(n));
                {
                    std::lock_guard lock(m_lock);
                    m_received += data;
                }
                const std::string reply = Banner() + data;
                ::sendto(m_udp, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&from), len);
            }
        }
        for (std::size_t i = 3; i < fds.size(); ++i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            const int c = fds[i].fd;
            const ssize_t n = ::recv(c, buffer, sizeof buffer, 0);
            bool keep = n > 0;
            if (n > 0) {
                const std::string data(buffer, std::size_t(n));
                {
                    std::lock_guard lock(m_lock);
                    m_received += data;
                }
                keep = SendAll(c, Banner() + data);
            } else if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
                keep = true;
            }
            if (!keep) {
                ::close(c);
                std::erase(clients, c);
            }
        }
    }
    for (int c : clients)
        ::close(c);
}

} // namespace ulv::tools
