#pragma once

// The simulated module's IP stack: one TCP or UDP connection on a real socket
// of this machine. Only loopback is ever reached: the address the host asks
// for is looked up in the module's address table, which maps it to a port on
// 127.0.0.1; 127.0.0.1 itself is reached directly; anything else is refused.
// Received bytes wait in the module's buffer until the host reads them; a
// thread of its own watches the socket and reports arrivals and the far end
// closing through the callbacks (called without any lock of the stack held).

#include <cstddef>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace ulv::sim {

class IpStack {
public:
    struct Callbacks {
        std::function<void(std::size_t newBytes)> data; // bytes arrived and are buffered
        std::function<void()> closed;                   // the far end closed the connection
    };

    // The most the module buffers of one connection; later bytes are dropped.
    static constexpr std::size_t kBufferLimit = 4u << 20;
    static constexpr int kConnectTimeoutMs = 3000;

    IpStack();
    ~IpStack();
    IpStack(const IpStack&) = delete;
    IpStack& operator=(const IpStack&) = delete;

    void SetCallbacks(Callbacks callbacks);
    // "address:port" -> loopback port.
    void MapAddress(const std::string& address, int port, int loopbackPort);
    // The loopback port the address reaches; 0 when it is not reachable.
    int Resolve(const std::string& address, int port) const;

    // Opens the connection; false when refused or nothing listens.
    bool Open(bool tcp, const std::string& address, int port);
    bool IsOpen() const;
    bool IsTcp() const;
    // Sends all of data; false when no connection or the send failed.
    bool Send(const std::string& data);
    // Takes at most max buffered bytes.
    std::string Read(std::size_t max);
    std::size_t Buffered() const;
    // Bytes sent and bytes the peer has not yet taken (TCP: the socket's
    // unacknowledged output).
    std::size_t SentTotal() const;
    std::size_t Unacknowledged() const;
    void Close();
    // Stops the watching thread; nothing is reported after it.
    void Shutdown();

private:
    void Watch();
    void Wake();
    void CloseSocket(); // under m_lock

    mutable std::mutex m_lock;
    Callbacks m_callbacks;
    std::map<std::string, int> m_table;
    int m_socket = -1;
    bool m_tcp = true;
    std::string m_buffer;
    std::size_t m_sent = 0;
    int m_wake = -1;
    bool m_stop = false;
    std::thread m_thread;
};

} // namespace ulv::sim
