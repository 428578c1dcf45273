// vantrel-app-icon FOLDER: writes the application icon's files for the hicolor icon theme under
// FOLDER, in the light appearance; vantrel-app-icon --iconset FOLDER writes the Mac icon set
// (FOLDER ending in ".iconset") for iconutil. Run by the build; not installed.
#include "ui/AppIcon.h"
#include "ui/Theme.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool iconSet = argc == 3 && qstrcmp(argv[1], "--iconset") == 0;
    if (argc != 2 && !iconSet) {
        std::fputs("usage: vantrel-app-icon [--iconset] FOLDER\n", stderr);
        return 2;
    }
    app.setPalette(Vantrel::Ui::lightPalette());
    const QString folder = QString::fromLocal8Bit(argv[argc - 1]);
    const QString failed =
        iconSet ? Vantrel::Ui::writeAppIconSet(folder) : Vantrel::Ui::writeAppIconFiles(folder);
    if (!failed.isEmpty()) {
        std::fprintf(stderr, "vantrel-app-icon: cannot write %s\n", qPrintable(failed));
        return 1;
    }
    return 0;
}
