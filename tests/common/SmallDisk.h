#pragma once

#include "common/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/mount.h>
#include <sys/resource.h>

namespace ulv::test {

// A folder whose file system the test can fill and empty again. Where the
// process may mount one (root), it is a small tmpfs (64 KiB unless told), filled by a filler file
// that grows until the file system refuses a byte. Elsewhere the folder is an
// ordinary one and Fill() stands a full disk in by the process's file size
// limit (every write to a regular file then fails, SIGXFSZ ignored).
class SmallDisk {
public:
    explicit SmallDisk(const QString& name, int kib = 64)
        : m_path(TempHome() + "/" + name)
    {
        QDir(m_path).removeRecursively();
        QDir().mkpath(m_path);
        const QByteArray native = QFile::encodeName(m_path);
        const QByteArray options = "size=" + QByteArray::number(kib) + "k";
        m_mounted = ::mount("tmpfs", native.constData(), "tmpfs", 0, options.constData()) == 0;
        if (!m_mounted)
            m_why = QString::fromLocal8Bit(std::strerror(errno));
    }
    ~SmallDisk()
    {
        Free();
        if (m_mounted)
            ::umount2(QFile::encodeName(m_path).constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    const QString& Path() const { return m_path; }
    bool Mounted() const { return m_mounted; }
    // How the disk is made full, for the test's log.
    QString How() const
    {
        return m_mounted ? QStringLiteral("a small tmpfs")
                         : QStringLiteral("the file size limit (no tmpfs: %1)").arg(m_why);
    }

    void Fill()
    {
        if (!m_mounted) {
            std::signal(SIGXFSZ, SIG_IGN);
            ::getrlimit(RLIMIT_FSIZE, &m_saved);
            rlimit none = m_saved;
            none.rlim_cur = 0;
            m_limited = ::setrlimit(RLIMIT_FSIZE, &none) == 0;
            return;
        }
        QFile filler(FillerPath());
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return;
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size()) { }
        while (filler.write("f", 1) == 1) { }
    }
    void Free()
    {
        if (m_limited) {
            ::setrlimit(RLIMIT_FSIZE, &m_saved);
            m_limited = false;
        }
        if (m_mounted)
            QFile::remove(FillerPath());
    }

private:
    QString FillerPath() const { return m_path + "/filler"; }

    QString m_path;
    bool m_mounted = false;
    QString m_why;
    bool m_limited = false;
    rlimit m_saved{};
};

} // namespace ulv::test
