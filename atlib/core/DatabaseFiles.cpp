#include "atlib/core/DatabaseFiles.h"

#include "platform/DataFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <mutex>

// Resources of a static library are not registered by themselves; the
// registration function has to be named from global scope.
static void RegisterShippedDatabaseResources()
{
    Q_INIT_RESOURCE(ulvdatabases);
}

namespace ulv {

namespace {

void EnsureResources()
{
    static std::once_flag once;
    std::call_once(once, RegisterShippedDatabaseResources);
}

} // namespace

DbFile AtcDbFile(int moduleType)
{
    return {DataPath(QStringLiteral("param/") + (moduleType == 0 ? kAtcDbName : kAtcRx70DbName)),
            QByteArray(kAtcDbKey)};
}

DbFile ApnDbFile()
{
    return {DataPath(QStringLiteral("param/") + kApnDbName), QByteArray(kApnDbKey)};
}

QString ShippedDatabaseResource(const QString& fileName)
{
    EnsureResources();
    return QStringLiteral(":/ulvenscope/param/") + fileName;
}

QStringList InstallShippedDatabases(QStringList* failures)
{
    QStringList written;
    const QString folder = DataFolder() + QStringLiteral("/param");
    for (const char* name : {kAtcDbName, kAtcRx70DbName, kApnDbName}) {
        const QString target = folder + '/' + name;
        // exists() is false for a dangling link; the copy below then refuses too.
        if (QFileInfo(target).exists() || QFileInfo(target).isSymLink())
            continue;
        QDir().mkpath(folder);
        const QString source = ShippedDatabaseResource(QString::fromLatin1(name));
        if (!QFile::copy(source, target)) {
            if (failures)
                failures->append(target);
            continue;
        }
        // Resource files are read-only; the dialogs write to the copy.
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser
                                          | QFile::WriteUser | QFile::ReadGroup | QFile::ReadOther);
        written.append(target);
    }
    return written;
}

} // namespace ulv
