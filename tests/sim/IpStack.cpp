#include "sim/IpStack.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace ulv::sim {

IpStack::IpStack()
{
    m_wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    m_thread = std::thread([this] { Watch(); });
}

IpStack::~IpStack()
{
    Shutdown();
    std::lock_guard lock(m_lock);
    CloseSocket();
    if (m_wake >= 0)
        ::close(m_wake);
    m_wake = -1;
}

void IpStack::Shutdown()
{
    {
        std::lock_guard lock(m_lock);
        m_stop = true;
        m_callbacks = {};
    }
    Wake();
    if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id())
        m_thread.join();
}

void IpStack::Wake()
{
    if (m_wake >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] auto n = ::write(m_wake, &one, sizeof one);
    }
}

void IpStack::SetCallbacks(Callbacks callbacks)
{
    std::lock_guard lock(m_lock);
    if (!m_stop)
        m_callbacks = std::move(callbacks);
}

void IpStack::MapAddress(const std::string& address, int port, int loopbackPort)
{
    std::lock_guard lock(m_lock);
    m_table[address + ":" + std::to_string(port)] = loopbackPort;
}

int IpStack::Resolve(const std::string& address, int port) const
{
    std::lock_guard lock(m_lock);
    if (auto it = m_table.find(address + ":" + std::to_string(port)); it != m_table.end())
        return it->second;
    return address == "127.0.0.1" ? port : 0;
}

bool IpStack::Open(bool tcp, const std::string& address, int port)
{
    const int local = Resolve(address, port);
    if (local <= 0 || local > 65535)
        return false;
    const int s = ::socket(AF_INET, (tcp ? SOCK_STREAM : SOCK_DGRAM) | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (s < 0)
        return false;
    sockaddr_in to {};
    to.sin_family = AF_INET;
    to.sin_port = htons(std::uint16_t(local));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int rc = ::connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to);
    if (rc != 0 && errno == EINPROGRESS) {
        pollfd p {s, POLLOUT, 0};
        rc = ::poll(&p, 1, kConnectTimeoutMs) == 1 ? 0 : -1;
        int err = 0;
        socklen_t len = sizeof err;
        if (rc == 0 && (::getsockopt(s, SOL_SOCKET, SO_ERROR, &err, &len) != 0 || err != 0))
            rc = -1;
    }
    if (rc != 0) {
        ::close(s);
        return false;
    }
    {
        std::lock_guard lock(m_lock);
        CloseSocket();
        m_socket = s;
        m_tcp = tcp;
        m_buffer.clear();
        m_sent = 0;
    }
    Wake();
    return true;
}

bool IpStack::IsOpen() const
{
    std::lock_guard lock(m_lock);
    return m_socket >= 0;
}

bool IpStack::IsTcp() const
{
    std::lock_guard lock(m_lock);
    return m_tcp;
}

bool IpStack::Send(const std::string& data)
{
    std::lock_guard lock(m_lock);
    if (m_socket < 0)
        return false;
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::send(m_socket, data.data() + done, data.size() - done, MSG_NOSIGNAL);
        if (n > 0) {
            done += std::size_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN) {
            pollfd p {m_socket, POLLOUT, 0};
            if (::poll(&p, 1, kConnectTimeoutMs) == 1)
                continue;
        }
        return false;
    }
    m_sent += done;
    return true;
}

std::string IpStack::Read(std::size_t max)
{
    std::lock_guard lock(m_lock);
    std::string out = m_buffer.substr(0, max);
    m_buffer.erase(0, out.size());
    return out;
}

std::size_t IpStack::Buffered() const
{
    std::lock_guard lock(m_lock);
    return m_buffer.size();
}

std::size_t IpStack::SentTotal() const
{
    std::lock_guard lock(m_lock);
    return m_sent;
}

std::size_t IpStack::Unacknowledged() const
{
    std::lock_guard lock(m_lock);
    int queued = 0;
    if (m_socket >= 0 && m_tcp && ::ioctl(m_socket, SIOCOUTQ, &queued) == 0 && queued > 0)
        return std::size_t(queued);
    return 0;
}

void IpStack::Close()
{
    {
        std::lock_guard lock(m_lock);
        CloseSocket();
    }
    Wake();
}

void IpStack::CloseSocket()
{
    if (m_socket >= 0)
        ::close(m_socket);
    m_socket = -1;
}

void IpStack::Watch()
{
    char chunk[16384];
    for (;;) {
        int s = -1;
        {
            std::lock_guard lock(m_lock);
            if (m_stop)
                return;
            s = m_socket;
        }
        pollfd fds[2] = {{m_wake, POLLIN, 0}, {s, POLLIN, 0}};
        if (::poll(fds, s >= 0 ? 2 : 1, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[0].revents & POLLIN) {
            std::uint64_t count = 0;
            [[maybe_unused]] auto n = ::read(m_wake, &count, sizeof count);
        }
        if (s < 0 || !(fds[1].revents & (POLLIN | POLLHUP | POLLERR)))
            continue;
        std::function<void(std::size_t)> onData;
        std::function<void()> onClosed;
        std::size_t added = 0;
        {
            std::lock_guard lock(m_lock);
            if (m_socket != s)
                continue; // closed or replaced meanwhile
            const ssize_t n = ::recv(s, chunk, sizeof chunk, 0);
            if (n > 0) {
                added = std::min(std::size_t(n), kBufferLimit - std::min(kBufferLimit, m_buffer.size()));
                m_buffer.append(chunk, added);
                if (added > 0)
                    onData = m_callbacks.data;
            } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                // A datagram socket's error (nothing listens) closes nothing.
                if (m_tcp) {
                    CloseSocket();
                    onClosed = m_callbacks.closed;
                }
            }
        }
        if (onData)
            onData(added);
        if (onClosed)
            onClosed();
    }
}

} // namespace ulv::sim
