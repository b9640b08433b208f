// ulvsim --family gsm|umts [--revision REV] [--link PATH] [--faults FILE] [--map ADDR:PORT=LOCALPORT ...]
//        [--nmea FILE] [--nmea-interval MS] [--control PATH] [--slirp PROGRAM] | --help
// Runs a simulated module on a pseudo-terminal until SIGTERM or SIGINT; prints
// the slave path (again after every hang-up, which starts a fresh module).
// A data call (ATD*99#) ends in slirp's PPP, with a HOME of its own under
// $TMPDIR that is removed at the end.

#include "sim/SimControl.h"
#include "sim/SimModule.h"
#include "sim/SimNmeaPort.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <poll.h>
#include <string>
#include <string_view>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>
#include <vector>

using namespace ulv::sim;

namespace {

const char kUsage[] = "usage: ulvsim --family gsm|umts [--revision REV] [--link PATH] [--faults FILE] [--map ADDR:PORT=LOCALPORT ...]\n"
                      "              [--nmea FILE] [--nmea-interval MS] [--control PATH] [--slirp PROGRAM]\n";

const char kHelp[] =
    "Runs a simulated cellular module on a pseudo-terminal and prints the terminal's\n"
    "path; open that path with any AT client (picocom, minicom, screen, a script).\n"
    "\n"
    "  --family gsm|umts  the module family (required)\n"
    "  --revision REV     the firmware revision, which also picks the model\n"
    "                     (default TZ20A01 for gsm, RX70B03 for umts)\n"
    "  --link PATH        keep PATH a symbolic link to the current terminal\n"
    "  --faults FILE      misbehave as the fault file says (see tests/sim/README.md)\n"
    "  --map ADDR:PORT=LOCALPORT\n"
    "                     the IP stack reaches ADDR:PORT on 127.0.0.1:LOCALPORT\n"
    "  --nmea FILE        the NMEA log the umts family's NMEA port streams while\n"
    "                     AT+JGPS=1 has the GNSS engine on (default: the stationary\n"
    "                     GPS log of the shared test data); its path goes to stderr\n"
    "                     and, with --link PATH, to the link PATH-nmea\n"
    "  --nmea-interval MS the pause between two sentences (default 140)\n"
    "  --slirp PROGRAM    the slirp a data call (ATD*99#) runs as its PPP peer\n"
    "                     (default: the installed slirp-fullbolt; without one\n"
    "                     the dial answers NO CARRIER)\n"
    "  --control PATH     take control commands on a Unix socket at PATH, one a line,\n"
    "                     each answered with a line \"ok ...\" or \"error <reason>\"\n"
    "                     (for example: socat - UNIX-CONNECT:PATH):\n";
const char kHelpEnd[] =
    "  --help             this text\n"
    "\n"
    "Runs until SIGTERM or SIGINT (Ctrl-C). After a hang-up or an unplug a fresh module\n"
    "comes up on a new terminal, whose path is printed (and linked) again.\n";

int Usage(const char* why)
{
    std::fprintf(stderr, "ulvsim: %s\n%s", why, kUsage);
    return 2;
}

bool Relink(const std::string& link, const std::string& target)
{
    if (link.empty())
        return true;
    const std::string temp = link + ".new";
    ::unlink(temp.c_str());
    if (::symlink(target.c_str(), temp.c_str()) != 0 || ::rename(temp.c_str(), link.c_str()) != 0) {
        std::fprintf(stderr, "ulvsim: cannot link %s: %s\n", link.c_str(), std::strerror(errno));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    Family family = Family::Gsm;
    bool familyGiven = false;
    std::string revision;
    std::string link;
    std::string faultsFile;
    struct Mapping {
        std::string address;
        int port = 0;
        int local = 0;
    };
    std::vector<Mapping> maps;
    std::string nmeaLog;
    int nmeaInterval = 140;
    std::string control;
    std::string slirpProgram;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::string commands;
            for (std::string_view help = kControlHelp; !help.empty();) {
                const std::size_t end = help.find('\n') + 1;
                commands += "    " + std::string(help.substr(0, end));
                help.remove_prefix(end);
            }
            std::printf("%s\n%s%s%s", kUsage, kHelp, commands.c_str(), kHelpEnd);
            return 0;
        }
        if (i + 1 >= argc)
            return Usage(("missing value after " + arg).c_str());
        const std::string value = argv[++i];
        if (arg == "--family") {
            if (value == "gsm")
                family = Family::Gsm;
            else if (value == "umts")
                family = Family::Umts;
            else
                return Usage("family must be gsm or umts");
            familyGiven = true;
        } else if (arg == "--revision") {
            revision = value;
        } else if (arg == "--link") {
            link = value;
        } else if (arg == "--nmea") {
            nmeaLog = value;
        } else if (arg == "--nmea-interval") {
            nmeaInterval = std::atoi(value.c_str());
            if (nmeaInterval < 0 || nmeaInterval > 60000)
                return Usage("--nmea-interval wants 0 to 60000 milliseconds");
        } else if (arg == "--control") {
            control = value;
        } else if (arg == "--slirp") {
            slirpProgram = value;
        } else if (arg == "--faults") {
            faultsFile = value;
        } else if (arg == "--map") {
            // ADDR:PORT=LOCALPORT: the IP stack reaches ADDR:PORT at 127.0.0.1:LOCALPORT.
            const auto colon = value.rfind(':');
            const auto equals = value.find('=', colon == std::string::npos ? 0 : colon);
            Mapping m;
            if (colon == std::string::npos || equals == std::string::npos)
                return Usage("--map wants ADDR:PORT=LOCALPORT");
            m.address = value.substr(0, colon);
            m.port = std::atoi(value.substr(colon + 1, equals - colon - 1).c_str());
            m.local = std::atoi(value.substr(equals + 1).c_str());
            if (m.address.empty() || m.port <= 0 || m.port > 65535 || m.local <= 0 || m.local > 65535)
                return Usage("--map wants ADDR:PORT=LOCALPORT");
            maps.push_back(m);
        } else {
            return Usage(("unknown option " + arg).c_str());
        }
    }
    if (!familyGiven)
        return Usage("--family is required");
    std::vector<Fault> faults;
    std::string error;
    if (!faultsFile.empty() && !LoadFaultFile(faultsFile, faults, &error))
        return Usage(error.c_str());

    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGHUP);
    ::pthread_sigmask(SIG_BLOCK, &signals, nullptr); // before any thread exists
    const int sigFd = ::signalfd(-1, &signals, SFD_CLOEXEC);
    const int hangUpFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (sigFd < 0 || hangUpFd < 0) {
        std::fprintf(stderr, "ulvsim: %s\n", std::strerror(errno));
        return 1;
    }

    // The umts family's NMEA port outlives the module restarts of hang-ups,
    // as a module's USB NMEA interface does not depend on its AT port.
    std::unique_ptr<SimNmeaPort> nmea;
    const std::string nmeaLink = link.empty() ? std::string() : link + "-nmea";
    if (family == Family::Umts) {
        const bool given = !nmeaLog.empty();
        if (!given)
            nmeaLog = ULV_DEFAULT_NMEA_LOG;
        nmea = std::make_unique<SimNmeaPort>(
            SimNmeaPort::Options {nmeaLog, std::chrono::milliseconds(nmeaInterval), true});
        std::string why;
        if (!nmea->Start(&why)) {
            nmea.reset();
            if (given)
                return Usage(why.c_str());
            std::fprintf(stderr, "ulvsim: no NMEA port: %s\n", why.c_str());
        } else {
            std::fprintf(stderr, "ulvsim: NMEA port %s\n", nmea->SlavePath().c_str());
            if (!Relink(nmeaLink, nmea->SlavePath()))
                return 1;
        }
    } else if (!nmeaLog.empty()) {
        return Usage("--nmea needs --family umts");
    }

    // slirp's HOME: no secrets in it, so slirp asks for no authentication.
    const std::string slirpHome = MakeSlirpHome("ulvsim-slirp");
    if (slirpHome.empty())
        std::fprintf(stderr, "ulvsim: no HOME for slirp (%s): data calls answer NO CARRIER\n", std::strerror(errno));

    std::unique_ptr<SimModule> sim;
    // The control thread reaches the module through this while a restart
    // replaces it.
    std::mutex simMutex;
    // A hung-up line cannot be reopened: each start is a new module on a new pty.
    auto start = [&]() -> bool {
        std::lock_guard lock(simMutex);
        sim.reset();
        sim = std::make_unique<SimModule>(family, revision);
        sim->SetLogging(false);
        for (const Fault& f : faults)
            sim->AddFault(f);
        sim->With([&](ModemEngine& e) {
            for (const Mapping& m : maps)
                e.MapAddress(m.address, m.port, m.local);
        });
        if (nmea)
            AttachNmeaPort(*sim, *nmea);
        if (!slirpHome.empty())
            sim->SetSlirp({slirpHome, {}, slirpProgram});
        sim->SetHangUpHandler([hangUpFd] {
            const std::uint64_t one = 1;
            [[maybe_unused]] auto n = ::write(hangUpFd, &one, sizeof one);
        });
        std::string why;
        if (!sim->Start(&why)) {
            std::fprintf(stderr, "ulvsim: %s\n", why.c_str());
            return false;
        }
        if (!Relink(link, sim->SlavePath()))
            return false;
        std::printf("%s\n", sim->SlavePath().c_str());
        std::fflush(stdout);
        return true;
    };
    // The control is there before the first path is printed, so whoever
    // reads the path can use it at once.
    std::unique_ptr<ControlSocket> controlSocket;
    int rc = 0;
    if (!control.empty()) {
        controlSocket = std::make_unique<ControlSocket>([&](std::string_view line) -> std::string {
            std::lock_guard lock(simMutex);
            return sim ? sim->Control(line) : "error no module";
        });
        std::string why;
        if (controlSocket->Start(control, &why))
            std::fprintf(stderr, "ulvsim: control %s\n", control.c_str());
        else
            rc = Usage(("no control: " + why).c_str());
    }
    if (rc == 0 && !start())
        rc = 1;
    while (rc == 0) {
        pollfd fds[2] = {{sigFd, POLLIN, 0}, {hangUpFd, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            rc = 1;
            break;
        }
        if (fds[0].revents & POLLIN)
            break;
        if (fds[1].revents & POLLIN) {
            std::uint64_t count = 0;
            [[maybe_unused]] auto n = ::read(hangUpFd, &count, sizeof count);
            // The fresh module keeps the faults still in force; those that were
            // used up stay used up.
            sim->With([&](ModemEngine& e) { faults = e.Faults(); });
            if (!start())
                rc = 1;
        }
    }
    controlSocket.reset();
    sim.reset();
    nmea.reset();
    if (!link.empty())
        ::unlink(link.c_str());
    if (!nmeaLink.empty() && family == Family::Umts)
        ::unlink(nmeaLink.c_str());
    if (!slirpHome.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(slirpHome, ec);
    }
    return rc;
}
