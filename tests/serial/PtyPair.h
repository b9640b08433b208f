#pragma once

#include <QByteArray>
#include <QString>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

// A pseudo-terminal pair for the termios code: the port under test opens the
// slave path; the test plays the device on the master. A slave descriptor stays
// open so the master never sees a hang-up while the port is closed and reopened.
class PtyPair {
public:
    PtyPair()
    {
        m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        grantpt(m_master);
        unlockpt(m_master);
        m_slavePath = QString::fromLocal8Bit(ptsname(m_master));
        m_slaveKeep = ::open(m_slavePath.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios tio {};
        tcgetattr(m_slaveKeep, &tio);
        cfmakeraw(&tio);
        tcsetattr(m_slaveKeep, TCSANOW, &tio);
    }
    ~PtyPair()
    {
        CloseMaster();
        if (m_slaveKeep >= 0)
            ::close(m_slaveKeep);
    }
    const QString& SlavePath() const { return m_slavePath; }
    int Master() const { return m_master; }
    void CloseMaster()
    {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

    void Write(const QByteArray& bytes)
    {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
            if (n > 0) {
                done += n;
            } else {
                pollfd p { m_master, POLLOUT, 0 };
                ::poll(&p, 1, 100);
            }
        }
    }

    // Reads until `want` bytes came or the time is up.
    QByteArray Read(qsizetype want, int timeoutMs)
    {
        QByteArray out;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        char buf[65536];
        while (out.size() < want) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count();
            if (left <= 0)
                break;
            pollfd p { m_master, POLLIN, 0 };
            if (::poll(&p, 1, int(left)) <= 0)
                continue;
            const ssize_t n = ::read(m_master, buf, sizeof buf);
            if (n > 0)
                out.append(buf, n);
        }
        return out;
    }

private:
    int m_master = -1;
    int m_slaveKeep = -1;
    QString m_slavePath;
};
