// ulvecho: the echo server for the TCP/UDP page's echo test, on 127.0.0.1.
//   ulvecho [--port N]    (default 6003; 0 picks a free port)
// Prints the port and runs until SIGTERM or SIGINT.

#include "EchoServer.h"

#include <csignal>
#include <signal.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv)
{
    int port = 6003;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--port") == 0 && i + 1 < argc) {
            char* end = nullptr;
            const long v = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || v < 0 || v > 65535) {
                std::fprintf(stderr, "ulvecho: bad port\n");
                return 2;
            }
            port = int(v);
        } else {
            std::fprintf(stderr, "usage: ulvecho [--port N]\n");
            return 2;
        }
    }
    ulv::tools::EchoServer server;
    std::string error;
    if (!server.Start(port, &error)) {
        std::fprintf(stderr, "ulvecho: %s\n", error.c_str());
        return 1;
    }
    std::printf("%d\n", server.Port());
    std::fflush(stdout);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigprocmask(SIG_BLOCK, &set, nullptr);
    int signal = 0;
    sigwait(&set, &signal);
    server.Stop();
    return 0;
}
