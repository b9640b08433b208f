// Kept apart: <asm/termbits.h> cannot be included together with <termios.h>.
#include "serial/CustomBaud.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <cerrno>
#include <sys/ioctl.h>

namespace ulv {

int SetCustomBaud(int fd, int baud)
{
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0)
        return errno;
    tio.c_cflag &= ~CBAUD;
    tio.c_cflag |= BOTHER;
    tio.c_cflag &= ~(CBAUD << IBSHIFT);
    tio.c_cflag |= BOTHER << IBSHIFT;
    tio.c_ispeed = static_cast<speed_t>(baud);
    tio.c_ospeed = static_cast<speed_t>(baud);
    if (ioctl(fd, TCSETS2, &tio) != 0)
        return errno;
    return 0;
}

} // namespace ulv
