#include "ui/maps/MapEngine.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QStringList>

#include <unistd.h>

namespace ulv {

namespace {

void AddChromiumFlags(const QStringList& flags)
{
    QStringList have = QString::fromLocal8Bit(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS")).split(' ', Qt::SkipEmptyParts);
    for (const QString& f : flags)
        if (!have.contains(f))
            have << f;
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", have.join(' ').toLocal8Bit());
}

} // namespace

void PrepareMapEngine()
{
    // Bench machines often have no usable GPU (or no display driver for one):
    // rasterise and composite in software.
    AddChromiumFlags({QStringLiteral("--disable-gpu"), QStringLiteral("--disable-gpu-compositing")});
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
        qputenv("QT_QUICK_BACKEND", "software");
    if (::geteuid() == 0) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        AddChromiumFlags({QStringLiteral("--no-sandbox")});
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

bool MapEngineAvailable()
{
    if (!qEnvironmentVariableIsEmpty("ULV_NO_WEBENGINE"))
        return false;
    // WebEngine ends the program when it cannot find its helper process; look first.
    QString helper = qEnvironmentVariable("QTWEBENGINEPROCESS_PATH");
    if (helper.isEmpty())
        helper = QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath) + QStringLiteral("/QtWebEngineProcess");
    const QFileInfo info(helper);
    return info.isFile() && info.isExecutable();
}

QString MapEngineMissingText()
{
    return QStringLiteral("The map cannot be shown: the embedded web browser (Qt WebEngine) could not be started.");
}

} // namespace ulv
