// Shared main of every test executable of the layers below the window (Qt Core only).
#include "core/EnglishTexts.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QTemporaryDir home;
    if (!Vantrel::Fixtures::prepareTestEnvironment(home))
        return 2;
    QCoreApplication app(argc, argv);
    // The program's English, with its plural forms, as the command line speaks it.
    if (!Vantrel::installEnglishTexts(app))
        return 2;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
