#pragma once

#include "atlib/core/EncryptedDb.h"

#include <QStringList>

namespace ulv {

// Keys of the shipped databases (eleven characters, given without a NUL).
inline constexpr char kAtcDbKey[] = "Tavrine_KEX";
inline constexpr char kApnDbKey[] = "Tavrine_WOP";

// File names inside the param folder.
inline constexpr char kAtcDbName[] = "ATC.db";          // GSM family
inline constexpr char kAtcRx70DbName[] = "ATC_RX70.db"; // UMTS/HSPA family
inline constexpr char kApnDbName[] = "APN.db";

// The AT-command library of a module type (0 GSM family, anything else the
// UMTS/HSPA family) and the access-point table, in DataFolder()/param.
DbFile AtcDbFile(int moduleType);
DbFile ApnDbFile();

// Copies every shipped database that is missing from DataFolder()/param there
// (the folder is created when needed). An existing file is never touched, even
// an empty or foreign one. Returns the paths it wrote; a copy that fails is
// reported in `failures` when given.
QStringList InstallShippedDatabases(QStringList* failures = nullptr);

// The shipped database of that file name as compiled into the program
// (a Qt resource path), for tests and tools.
QString ShippedDatabaseResource(const QString& fileName);

} // namespace ulv
