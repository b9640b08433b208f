#include "sim/PtyIo.h"

#include <cerrno>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace ulv::sim {

void MakeRaw(int fd)
{
    termios t{};
    ::tcgetattr(fd, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(fd, TCSANOW, &t);
}

void WriteAll(int fd, const char* data, std::size_t n)
{
    while (n > 0) {
        const ssize_t w = ::write(fd, data, n);
        if (w > 0) {
            data += w;
            n -= std::size_t(w);
            continue;
        }
        if (w < 0 && errno == EINTR)
            continue;
        if (w < 0 && errno != EAGAIN)
            return;
        pollfd p {fd, POLLOUT, 0};
        if (::poll(&p, 1, 500) <= 0 || (p.revents & (POLLERR | POLLHUP)))
            return;
    }
}

} // namespace ulv::sim
