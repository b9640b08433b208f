#include "platform/ProfileStore.h"

#include <QSettings>
#include <mutex>

namespace ulv::ProfileStore {

namespace {

std::mutex& Lock()
{
    static std::mutex m;
    return m;
}

QString Key(const QString& section, const QString& entry)
{
    return section + "/" + entry;
}

QSettings& Settings()
{
    // One instance per process: QSettings caches and syncs on its own, and the
    // tests point XDG_CONFIG_HOME elsewhere before the first use.
    static QSettings settings("Ulvenscope", "Ulvenscope");
    return settings;
}

bool Written(QSettings& s)
{
    s.sync();
    return s.status() == QSettings::NoError;
}

} // namespace

int GetInt(const QString& section, const QString& entry, int def)
{
    std::lock_guard<std::mutex> g(Lock());
    bool ok = false;
    const int v = Settings().value(Key(section, entry)).toInt(&ok);
    return ok ? v : def;
}

QString GetString(const QString& section, const QString& entry, const QString& def)
{
    std::lock_guard<std::mutex> g(Lock());
    const QVariant v = Settings().value(Key(section, entry));
    return v.isValid() ? v.toString() : def;
}

QByteArray GetBinary(const QString& section, const QString& entry)
{
    std::lock_guard<std::mutex> g(Lock());
    return Settings().value(Key(section, entry)).toByteArray();
}

bool HasEntry(const QString& section, const QString& entry)
{
    std::lock_guard<std::mutex> g(Lock());
    return Settings().contains(Key(section, entry));
}

bool WriteInt(const QString& section, const QString& entry, int value)
{
    std::lock_guard<std::mutex> g(Lock());
    Settings().setValue(Key(section, entry), value);
    return Written(Settings());
}

bool WriteString(const QString& section, const QString& entry, const QString& value)
{
    std::lock_guard<std::mutex> g(Lock());
    Settings().setValue(Key(section, entry), value);
    return Written(Settings());
}

bool WriteBinary(const QString& section, const QString& entry, const QByteArray& value)
{
    std::lock_guard<std::mutex> g(Lock());
    Settings().setValue(Key(section, entry), value);
    return Written(Settings());
}

void Sync()
{
    std::lock_guard<std::mutex> g(Lock());
    Settings().sync();
}

} // namespace ulv::ProfileStore
