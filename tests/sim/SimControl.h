#pragma once

// The control of a running module: one-line commands that make the network or
// the hardware do something to it (a call comes in, a message arrives, the
// signal changes, the module is unplugged). ulvsim takes them on its control
// socket and the tests through SimModule; both end in SimModule::Control.
// Every command answers one line: "ok" and what happened, or "error <reason>".

#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace ulv::sim {

// The commands and what they do, one per line (for --help and "help").
extern const char kControlHelp[];

// A Unix stream socket at a path taking control lines from any number of
// clients (each line answered on its own connection) on a thread of its own.
class ControlSocket {
public:
    using Handler = std::function<std::string(std::string_view line)>;
    // The longest line taken; a longer one is answered with an error and skipped.
    static constexpr std::size_t kMaxLine = 4096;
    static constexpr std::size_t kMaxClients = 16;

    explicit ControlSocket(Handler handler);
    ~ControlSocket(); // stops the thread and removes the socket file
    ControlSocket(const ControlSocket&) = delete;
    ControlSocket& operator=(const ControlSocket&) = delete;

    // Binds PATH (a stale socket there is replaced; any other file is left
    // alone and refused) and starts the thread; false with a reason.
    bool Start(const std::string& path, std::string* error = nullptr);

private:
    struct Client {
        int fd = -1;
        std::string line;
        bool skipping = false; // the rest of an overlong line
    };
    void Run();
    // Handles what a client sent; false when the client is gone.
    bool Serve(Client& client);

    Handler m_handler;
    std::string m_path;
    int m_listen = -1;
    int m_wake = -1;
    std::thread m_thread;
    std::vector<Client> m_clients;
};

} // namespace ulv::sim
