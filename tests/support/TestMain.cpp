// Shared main of every test executable of the layers below the window (Qt Core only).
#include "support/TestEnvironment.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QTemporaryDir home;
    if (!Vantrel::Fixtures::prepareTestEnvironment(home))
        return 2;
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
