#include "platform/DataFolder.h"

#include <QDir>
#include <QStandardPaths>

namespace ulv {

QString DataFolder()
{
    QString dir = qEnvironmentVariable("ULVENSCOPE_HOME");
    if (dir.isEmpty())
        dir = QDir::homePath() + "/.local/share/Ulvenscope";
    QDir().mkpath(dir);
    return QDir::cleanPath(dir);
}

QString ParamFolder()
{
    const QString dir = DataFolder() + "/param";
    QDir().mkpath(dir);
    return dir;
}

QString DataPath(const QString& relative)
{
    QString rel = relative;
    rel.replace('\\', '/');
    while (rel.startsWith("./"))
        rel.remove(0, 2);
    return DataFolder() + "/" + rel;
}

} // namespace ulv
