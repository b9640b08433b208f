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
// Whether ../shared/testdata is beside the clone (a bare clone has none).
bool HaveTestData();

} // namespace ulv::test

// Skips the test, saying why, on a clone without the shared test data.
#define ULV_SKIP_WITHOUT_TESTDATA()                                                                         \
    do {                                                                                                    \
        if (!::ulv::test::HaveTestData())                                                                   \
            GTEST_SKIP() << "../shared/testdata is not beside this clone: the recorded logs and PDUs are " \
                            "missing";                                                                      \
    } while (0)

namespace ulv::test {

// Every byte of a file; empty when it cannot be read.
QByteArray ReadAll(const QString& path);

} // namespace ulv::test
