#pragma once

#include <QByteArray>
#include <QString>

namespace ulv {

// The application's registry profile (section/entry values), kept by QSettings
// under "Ulvenscope"/"Ulvenscope" in its native format.
namespace ProfileStore {
int GetInt(const QString& section, const QString& entry, int def);
QString GetString(const QString& section, const QString& entry, const QString& def = {});
QByteArray GetBinary(const QString& section, const QString& entry);
bool HasEntry(const QString& section, const QString& entry);
bool WriteInt(const QString& section, const QString& entry, int value);
bool WriteString(const QString& section, const QString& entry, const QString& value);
bool WriteBinary(const QString& section, const QString& entry, const QByteArray& value);
void Sync();
} // namespace ProfileStore

} // namespace ulv
