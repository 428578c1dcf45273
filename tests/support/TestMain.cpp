// Shared main of every test executable: a private home folder, a locale-free environment and
// Qt's test mode for the standard paths, so no test reads or writes the user's files or
// depends on this machine's locale.
#include <QCoreApplication>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    // Before anything reads the locale: natural order must not depend on the machine.
    setenv("LC_ALL", "C", 1);
    setenv("LANG", "C", 1);

    QTemporaryDir home;
    if (!home.isValid())
        return 2;
    setenv("HOME", home.path().toLocal8Bit().constData(), 1);
    unsetenv("XDG_DATA_HOME");
    unsetenv("XDG_CONFIG_HOME");
    QStandardPaths::setTestModeEnabled(true);

    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
