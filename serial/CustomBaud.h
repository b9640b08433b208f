#pragma once

namespace ulv {

// Sets an arbitrary baud rate (both directions) through termios2/BOTHER, for
// rates without a B-constant. Returns 0, or the errno of the failing call.
int SetCustomBaud(int fd, int baud);

} // namespace ulv
