#pragma once

// What every test process sets up before anything else: a private home folder, a locale-free
// environment and Qt's test mode for the standard paths, so no test reads or writes the user's
// files or depends on this machine's locale.

#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdlib>

namespace Vantrel::Fixtures {

// Call first in main, before a Qt application object exists; home must outlive the tests.
// False when the private home folder cannot be made.
inline bool prepareTestEnvironment(QTemporaryDir& home) {
    // Before anything reads the locale: natural order must not depend on the machine.
    setenv("LC_ALL", "C", 1);
    setenv("LANG", "C", 1);
    if (!home.isValid())
        return false;
    setenv("HOME", home.path().toLocal8Bit().constData(), 1);
    unsetenv("XDG_DATA_HOME");
    unsetenv("XDG_CONFIG_HOME");
    QStandardPaths::setTestModeEnabled(true);
    return true;
}

} // namespace Vantrel::Fixtures
