#include "sim/SlirpBridge.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

extern char** environ;

namespace ulv::sim {

namespace {

void MakeRaw(int fd)
{
    termios t{};
    tcgetattr(fd, &t);
    cfmakeraw(&t);
    tcsetattr(fd, TCSANOW, &t);
}

} // namespace

std::string SlirpBridge::SlirpProgram()
{
    for (const char* dir : {"/usr/bin", "/usr/local/bin", "/bin"}) {
        const std::string path = std::string(dir) + "/slirp-fullbolt";
        if (access(path.c_str(), X_OK) == 0)
            return path;
    }
    return {};
}

SlirpBridge::SlirpBridge(std::string home, std::vector<std::string> slirpArgs)
    : m_home(std::move(home))
    , m_args(std::move(slirpArgs))
{
    int slave = -1;
    char name[256] = {};
    if (openpty(&m_master, &slave, name, nullptr, nullptr) != 0)
        return;
    MakeRaw(slave);
    m_slaveKeep = slave;
    m_slavePath = name;
    fcntl(m_master, F_SETFD, FD_CLOEXEC);
    fcntl(m_slaveKeep, F_SETFD, FD_CLOEXEC);
    if (pipe2(m_stopPipe, O_CLOEXEC) != 0) {
        close(m_master);
        m_master = -1;
        return;
    }
    m_thread = std::thread([this] { Run(); });
}

SlirpBridge::~SlirpBridge()
{
    if (m_thread.joinable()) {
        const char stop = 1;
        (void)!write(m_stopPipe[1], &stop, 1);
        m_thread.join();
    }
    StopSlirp();
    for (int fd : {m_master, m_slaveKeep, m_stopPipe[0], m_stopPipe[1]})
        if (fd >= 0)
            close(fd);
}

void SlirpBridge::WriteAll(int fd, const char* data, std::size_t n)
{
    while (n > 0) {
        const ssize_t w = write(fd, data, n);
        if (w < 0) {
            if (errno == EINTR || errno == EAGAIN) {
                pollfd p{fd, POLLOUT, 0};
                poll(&p, 1, 100);
                continue;
            }
            return;
        }
        data += w;
        n -= static_cast<std::size_t>(w);
    }
}

void SlirpBridge::Reply(const std::string& verbose, const std::string& numeric)
{
    const std::string text = m_verbose ? "\r\n" + verbose + "\r\n" : numeric + "\r";
    WriteAll(m_master, text.data(), text.size());
}

void SlirpBridge::HandleLine(const std::string& raw)
{
    std::string line;
    for (char c : raw)
        line += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (line.empty())
        return;
    if (line.rfind("AT", 0) != 0) {
        Reply("ERROR", "4");
        return;
    }
    const std::string cmd = line.substr(2);
    if (cmd == "E0" || cmd == "E1" || cmd == "E") {
        m_echo = cmd == "E1";
    } else if (cmd == "V0" || cmd == "V1" || cmd == "V") {
        m_verbose = cmd == "V1";
    } else if (cmd.rfind("D*99", 0) == 0) {
        StartSlirp();
        if (m_slirpFd < 0) {
            Reply("NO CARRIER", "3");
            return;
        }
        Reply("CONNECT", "1");
        m_dataMode = true;
        return;
    } else if (cmd == "H" || cmd == "H0" || cmd.empty() || cmd.rfind("+CGDCONT", 0) == 0 || cmd == "O0") {
        // accepted as they stand
    } else {
        Reply("ERROR", "4");
        return;
    }
    Reply("OK", "0");
}

void SlirpBridge::HandleCommandBytes(const char* data, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i) {
        const char c = data[i];
        if (m_echo)
            WriteAll(m_master, &c, 1);
        if (c == '\r') {
            const std::string line = m_line;
            m_line.clear();
            HandleLine(line);
        } else if (c != '\n') {
            m_line += c;
        }
    }
}

void SlirpBridge::StartSlirp()
{
    StopSlirp();
    int master = -1, slave = -1;
    if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
        return;
    MakeRaw(slave);
    const std::string program = SlirpProgram();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, slave, 0);
    posix_spawn_file_actions_adddup2(&actions, slave, 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "HOME=", 5) != 0)
            env.emplace_back(*e);
    env.push_back("HOME=" + m_home);
    std::vector<char*> envp;
    for (auto& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<std::string> argv = {program, "ppp"};
    argv.insert(argv.end(), m_args.begin(), m_args.end());
    std::vector<char*> argp;
    for (auto& a : argv)
        argp.push_back(a.data());
    argp.push_back(nullptr);
    // slirp starts with nothing blocked and every signal at its default,
    // whatever the spawning thread blocks (a program that waits for its own
    // SIGTERM blocks it): otherwise the SIGTERM that ends slirp never arrives.
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigfillset(&defaults);
    sigdelset(&defaults, SIGKILL);
    sigdelset(&defaults, SIGSTOP);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = -1;
    const bool spawned = !program.empty()
        && posix_spawn(&pid, program.c_str(), &actions, &attr, argp.data(), envp.data()) == 0;
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    close(slave);
    if (!spawned) {
        close(master);
        return;
    }
    fcntl(master, F_SETFD, FD_CLOEXEC);
    m_slirpFd = master;
    m_slirpPid = pid;
    ++m_dials;
}

void SlirpBridge::StopSlirp()
{
    if (m_slirpPid > 0) {
        kill(m_slirpPid, SIGTERM);
        // Bounded: a slirp that does not end on SIGTERM is killed, so the
        // module always answers again after the call drops.
        bool ended = false;
        for (int i = 0; i < 200 && !ended; ++i) {
            const pid_t r = waitpid(m_slirpPid, nullptr, WNOHANG);
            ended = r == m_slirpPid || (r < 0 && errno != EINTR);
            if (!ended)
                usleep(10000);
        }
        if (!ended) {
            kill(m_slirpPid, SIGKILL);
            waitpid(m_slirpPid, nullptr, 0);
        }
        m_slirpPid = -1;
    }
    if (m_slirpFd >= 0) {
        close(m_slirpFd);
        m_slirpFd = -1;
    }
}

void SlirpBridge::Run()
{
    char buf[8192];
    for (;;) {
        pollfd fds[3] = {{m_stopPipe[0], POLLIN, 0}, {m_master, POLLIN, 0}, {m_slirpFd, POLLIN, 0}};
        const nfds_t count = m_slirpFd >= 0 ? 3 : 2;
        if (poll(fds, count, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[0].revents)
            return;
        if (fds[1].revents & POLLIN) {
            const ssize_t n = read(m_master, buf, sizeof buf);
            if (n > 0) {
                if (!m_dataMode) {
                    HandleCommandBytes(buf, static_cast<std::size_t>(n));
                } else if (std::all_of(buf, buf + n, [](char c) { return c == '+'; })
                    && (m_plus += static_cast<int>(n)) >= 3) {
                    // The escape: the call drops and the module takes commands again.
                    m_plus = 0;
                    m_dataMode = false;
                    StopSlirp();
                    m_line.clear();
                    Reply("NO CARRIER", "3");
                } else if (m_slirpFd >= 0) {
                    m_plus = 0;
                    WriteAll(m_slirpFd, buf, static_cast<std::size_t>(n));
                }
            }
        }
        if (count == 3 && (fds[2].revents & (POLLIN | POLLHUP | POLLERR))) {
            const ssize_t n = read(m_slirpFd, buf, sizeof buf);
            if (n > 0)
                WriteAll(m_master, buf, static_cast<std::size_t>(n));
            else if (n <= 0 && errno != EAGAIN && errno != EINTR)
                StopSlirp();
        }
        if (fds[1].revents & POLLHUP) {
            // Nobody holds the program's end: wait for it without spinning.
            pollfd p{m_stopPipe[0], POLLIN, 0};
            if (poll(&p, 1, 20) > 0)
                return;
        }
    }
}

} // namespace ulv::sim
