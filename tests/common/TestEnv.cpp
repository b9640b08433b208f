#include "common/TestEnv.h"

#include "shell/core/CUlvenscopeApp.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdlib>

namespace ulv::test {

namespace {
QTemporaryDir* g_home = nullptr;
}

QString TempHome()
{
    return g_home ? g_home->path() : QString();
}

void PrepareEnvironment()
{
    if (!g_home) {
        g_home = new QTemporaryDir(QDir::tempPath() + "/ulvtest-XXXXXX");
        // Gone when the test program ends, or every run would leave one.
        std::atexit([] {
            delete g_home;
            g_home = nullptr;
        });
    }
    qputenv("ULVENSCOPE_HOME", (g_home->path() + "/data").toUtf8());
    qputenv("XDG_CONFIG_HOME", (g_home->path() + "/config").toUtf8());
    QDir().mkpath(g_home->path() + "/data");
    QDir().mkpath(g_home->path() + "/config");
    // As the program does at start: without it the application's folders are
    // empty and settings files land in "/", shared by every test process.
    theApp.InitFolders();
}

bool HaveTestData()
{
    return QFileInfo(QStringLiteral(ULV_TESTDATA_DIR)).isDir();
}

QString TestDataPath(const QString& relative)
{
    return QStringLiteral(ULV_TESTDATA_DIR) + "/" + relative;
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace ulv::test
