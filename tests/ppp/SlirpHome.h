#pragma once

// A HOME for slirp in the test's temporary folder, with its secrets file.
#include "common/TestEnv.h"

#include <QDir>
#include <QFile>

namespace ulv::test {

inline QString PrepareSlirpHome(const QString& name, const char* secretsFile, const char* secrets)
{
    const QString home = TempHome() + "/" + name;
    QDir().mkpath(home);
    if (secretsFile) {
        QFile f(home + "/" + secretsFile);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(secrets);
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    }
    return home;
}

} // namespace ulv::test
