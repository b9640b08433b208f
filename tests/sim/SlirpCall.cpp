#include "sim/SlirpCall.h"

#include "sim/PtyIo.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace ulv::sim {

std::string MakeSlirpHome(const char* prefix)
{
    const char* tmp = std::getenv("TMPDIR");
    std::string home = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + prefix + "-XXXXXX";
    return ::mkdtemp(home.data()) ? home : std::string();
}

std::string SlirpCall::InstalledProgram()
{
    for (const char* dir : {"/usr/bin", "/usr/local/bin", "/bin"}) {
        const std::string path = std::string(dir) + "/slirp-fullbolt";
        if (access(path.c_str(), X_OK) == 0)
            return path;
    }
    return {};
}

SlirpCall::SlirpCall(SlirpSetup setup)
    : m_setup(std::move(setup))
{
    if (m_setup.program.empty())
        m_setup.program = InstalledProgram();
}

SlirpCall::~SlirpCall()
{
    Stop();
}

bool SlirpCall::Start()
{
    Stop();
    m_plus = 0;
    if (m_setup.program.empty())
        return false;
    int master = -1, slave = -1;
    if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
        return false;
    MakeRaw(slave);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, slave, 0);
    posix_spawn_file_actions_adddup2(&actions, slave, 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "HOME=", 5) != 0)
            env.emplace_back(*e);
    env.push_back("HOME=" + m_setup.home);
    std::vector<char*> envp;
    for (auto& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<std::string> argv = {m_setup.program, "ppp"};
    argv.insert(argv.end(), m_setup.args.begin(), m_setup.args.end());
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
    const bool spawned = posix_spawn(&pid, m_setup.program.c_str(), &actions, &attr, argp.data(), envp.data()) == 0;
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    close(slave);
    if (!spawned) {
        close(master);
        return false;
    }
    fcntl(master, F_SETFD, FD_CLOEXEC);
    m_fd = master;
    m_pid = pid;
    return true;
}

void SlirpCall::Stop()
{
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        // Bounded: a slirp that does not end on SIGTERM within two seconds
        // is killed, so the module always answers again after the call drops.
        // Without a process descriptor to wait on, it is killed at once.
        const int pidFd = static_cast<int>(syscall(SYS_pidfd_open, m_pid, 0));
        bool ended = false;
        if (pidFd >= 0) {
            pollfd p{pidFd, POLLIN, 0};
            ended = poll(&p, 1, 2000) > 0;
            close(pidFd);
        }
        if (!ended)
            kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
    if (m_fd >= 0) {
        close(m_fd);
        m_fd = -1;
    }
}

bool SlirpCall::FromHost(const char* data, std::size_t n)
{
    // The escape is "+++" alone: a read of nothing but '+' (the guard time
    // around it keeps it apart from the data), three of them in a row.
    if (n > 0 && std::all_of(data, data + n, [](char c) { return c == '+'; })) {
        m_plus += static_cast<int>(n);
        if (m_plus >= 3) {
            m_plus = 0;
            return true;
        }
    } else {
        m_plus = 0;
    }
    if (m_fd >= 0)
        WriteAll(m_fd, data, n);
    return false;
}

} // namespace ulv::sim
