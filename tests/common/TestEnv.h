#pragma once

#include <QByteArray>
#include <QString>

namespace ulv::test {

// The temporary folder this test process uses as its data folder
// ($ULVENSCOPE_HOME) and as XDG_CONFIG_HOME (the profile).
QString TempHome();

// Points the environment at a fresh temporary home; called by the test mains.
void PrepareEnvironment();

// ../shared/testdata/<relative>
QString TestDataPath(const QString& relative);

// Every byte of a file; empty when it cannot be read.
QByteArray ReadAll(const QString& path);

} // namespace ulv::test
