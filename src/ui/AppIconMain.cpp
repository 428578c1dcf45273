// vantrel-app-icon FOLDER: writes the application icon's files for the hicolor icon theme under
// FOLDER, in the light appearance. Run by the build; not installed.
#include "ui/AppIcon.h"
#include "ui/Theme.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: vantrel-app-icon FOLDER\n", stderr);
        return 2;
    }
    app.setPalette(Vantrel::Ui::lightPalette());
    const QString failed = Vantrel::Ui::writeAppIconFiles(QString::fromLocal8Bit(argv[1]));
    if (!failed.isEmpty()) {
        std::fprintf(stderr, "vantrel-app-icon: cannot write %s\n", qPrintable(failed));
        return 1;
    }
    return 0;
}
