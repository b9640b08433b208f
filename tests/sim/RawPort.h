#pragma once

// A bare terminal end for the simulator's own tests: opens a tty raw and reads
// with poll(), so every wait wakes on data.

#include <chrono>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace ulv::sim::test {

class RawPort {
public:
    using Clock = std::chrono::steady_clock;

    explicit RawPort(const std::string& path)
    {
        m_fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (m_fd >= 0) {
            termios tio {};
            ::tcgetattr(m_fd, &tio);
            ::cfmakeraw(&tio);
            ::tcsetattr(m_fd, TCSANOW, &tio);
        }
    }
    ~RawPort() { Close(); }
    RawPort(const RawPort&) = delete;
    RawPort& operator=(const RawPort&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    void Close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

    bool Write(const std::string& bytes)
    {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_fd, bytes.data() + done, bytes.size() - done);
            if (n > 0) {
                done += std::size_t(n);
                continue;
            }
            pollfd p {m_fd, POLLOUT, 0};
            if (::poll(&p, 1, 2000) <= 0)
                return false;
        }
        return true;
    }

    // One read's worth of bytes, as it arrived.
    struct Chunk {
        Clock::time_point time;
        std::string bytes;
    };

    // Reads until the bytes read hold `expected`, or the time-out; returns all read.
    std::string ReadUntil(const std::string& expected, std::chrono::milliseconds timeout = std::chrono::seconds(3))
    {
        const auto deadline = Clock::now() + timeout;
        while (m_buffer.find(expected) == std::string::npos) {
            if (!ReadOnce(deadline))
                break;
        }
        return Take();
    }

    // Reads whatever arrives within `span` (for checking that nothing comes).
    std::string ReadFor(std::chrono::milliseconds span)
    {
        const auto deadline = Clock::now() + span;
        while (ReadOnce(deadline)) {
        }
        return Take();
    }

    // The separate reads since the last Take, with their times.
    const std::vector<Chunk>& Chunks() const { return m_chunks; }
    // True once the other side dropped the line (hang-up or end of file).
    bool HungUp() const { return m_hungUp; }

    std::string Take()
    {
        std::string out = std::move(m_buffer);
        m_buffer.clear();
        return out;
    }
    void ClearChunks() { m_chunks.clear(); }

private:
    bool ReadOnce(Clock::time_point deadline)
    {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0 || m_hungUp)
            return false;
        pollfd p {m_fd, POLLIN, 0};
        if (::poll(&p, 1, int(left)) <= 0)
            return false;
        char buf[8192];
        const ssize_t n = ::read(m_fd, buf, sizeof buf);
        if (n > 0) {
            m_buffer.append(buf, std::size_t(n));
            m_chunks.push_back({Clock::now(), std::string(buf, std::size_t(n))});
            return true;
        }
        if (n == 0 || (p.revents & (POLLHUP | POLLERR)))
            m_hungUp = true;
        return false;
    }

    int m_fd = -1;
    std::string m_buffer;
    std::vector<Chunk> m_chunks;
    bool m_hungUp = false;
};

} // namespace ulv::sim::test
