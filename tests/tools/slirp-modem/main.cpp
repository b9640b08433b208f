// ulvslirpmodem --link PATH [--pap USER:PASS | --chap USER:PASS] | --help
// A module in front of slirp: the AT preamble of a dial, then slirp's PPP.
// Prints the pseudo-terminal's path, makes PATH a link to it, and runs until
// SIGTERM or SIGINT. slirp's HOME (with the secrets file) is a fresh folder
// under $TMPDIR that is removed at the end.
#include "sim/SlirpBridge.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

const char kUsage[] = "usage: ulvslirpmodem --link PATH [--pap USER:PASS | --chap USER:PASS]\n";

int Usage(const char* why)
{
    if (why)
        std::fprintf(stderr, "ulvslirpmodem: %s\n", why);
    std::fputs(kUsage, why ? stderr : stdout);
    return why ? 2 : 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::string link;
    std::string auth; // "pap" or "chap"
    std::string user, password;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help")
            return Usage(nullptr);
        if (i + 1 >= argc)
            return Usage(("missing value for " + arg).c_str());
        const std::string value = argv[++i];
        if (arg == "--link") {
            link = value;
        } else if (arg == "--pap" || arg == "--chap") {
            const auto colon = value.find(':');
            if (colon == std::string::npos || colon == 0)
                return Usage((arg + " wants USER:PASS").c_str());
            auth = arg.substr(2);
            user = value.substr(0, colon);
            password = value.substr(colon + 1);
        } else {
            return Usage(("unknown option " + arg).c_str());
        }
    }
    if (link.empty())
        return Usage("--link is required");
    if (ulv::sim::SlirpBridge::SlirpProgram().empty()) {
        std::fprintf(stderr, "ulvslirpmodem: slirp is not installed (Debian package slirp)\n");
        return 1;
    }

    const std::string home = ulv::sim::MakeSlirpHome("ulvslirpmodem");
    if (home.empty()) {
        std::perror("ulvslirpmodem: mkdtemp");
        return 1;
    }
    std::vector<std::string> slirpArgs;
    if (!auth.empty()) {
        const std::string file = home + (auth == "pap" ? "/.pap-secrets" : "/.chap-secrets");
        std::ofstream(file) << user << " * " << password << "\n";
        std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
        slirpArgs.push_back("+" + auth);
    }

    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    ::pthread_sigmask(SIG_BLOCK, &signals, nullptr); // before the bridge's thread exists

    int status = 0;
    {
        ulv::sim::SlirpBridge bridge(home, slirpArgs);
        if (!bridge.Started()) {
            std::fprintf(stderr, "ulvslirpmodem: no pseudo-terminal\n");
            status = 1;
        } else {
            std::error_code ec;
            std::filesystem::remove(link, ec);
            std::filesystem::create_symlink(bridge.SlavePath(), link, ec);
            if (ec) {
                std::fprintf(stderr, "ulvslirpmodem: cannot link %s: %s\n", link.c_str(), ec.message().c_str());
                status = 1;
            } else {
                std::printf("%s\n", bridge.SlavePath().c_str());
                std::fflush(stdout);
                int sig = 0;
                ::sigwait(&signals, &sig);
                std::filesystem::remove(link, ec);
            }
        }
    }
    std::error_code ec;
    std::filesystem::remove_all(home, ec);
    return status;
}
