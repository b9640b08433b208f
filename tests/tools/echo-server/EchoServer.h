#pragma once

// A small echo server on 127.0.0.1 for the TCP/UDP page's echo test: whatever a
// client sends comes back behind a 42-character banner, "MORVANE ECHO SERVER"
// with the time stamp in brackets at 20 and 40. TCP and UDP on the same port.
// Bounded: a few clients at a time, one thread, loopback only.

#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace ulv::tools {

class EchoServer {
public:
    static constexpr std::size_t kBannerSize = 42;
    static constexpr int kMaxClients = 8;

    EchoServer() = default;
    ~EchoServer();
    EchoServer(const EchoServer&) = delete;
    EchoServer& operator=(const EchoServer&) = delete;

    // Listens on 127.0.0.1:port (0: a free port); false with a reason when refused.
    bool Start(int port = 0, std::string* error = nullptr);
    void Stop();
    int Port() const { return m_port; }

    // The banner sent before each echo (42 characters).
    static std::string Banner();

    // Every byte received so far (TCP and UDP), and how many connections came.
    std::string Received() const;
    int Connections() const { return m_connections.load(); }
    // Closes the TCP clients from the server's side (the far end hangs up).
    void DropClients();

private:
    void Run();
    void Wake();

    int m_listen = -1;
    int m_udp = -1;
    int m_wake = -1;
    int m_port = 0;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_drop{false};
    std::atomic<int> m_connections{0};
    mutable std::mutex m_lock;
    std::string m_received;
};

} // namespace ulv::tools
