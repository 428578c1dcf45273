// Main of the window's test executables: the shared test environment with a QApplication, the
// theme's light palette and a fixed device pixel ratio of 1, on whatever platform
// QT_QPA_PLATFORM names (offscreen by default).
#include "support/TestEnvironment.h"
#include "ui/Theme.h"
#include "ui/Translations.h"
#include "ui/Widgets.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QTemporaryDir home;
    if (!Vantrel::Fixtures::prepareTestEnvironment(home))
        return 2;
    qunsetenv("QT_SCALE_FACTOR");
    // Headless unless told otherwise (test discovery runs the executable without a display).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setPalette(Vantrel::Ui::lightPalette());
    Vantrel::Ui::useThemeStyle();
    // The window's English, with its plural forms, whatever the machine's language.
    if (!Vantrel::Ui::installTranslations(app, QLocale(QLocale::English)))
        return 2;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
