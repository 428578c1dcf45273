#include "ui/Application.h"

#include "app/AppModel.h"
#include "platform/sim/SimPlatform.h"
#include "ui/MainWindow.h"
#include "ui/OpenRequests.h"
#include "ui/SimLogicWindow.h"
#include "ui/Theme.h"
#include "ui/TileHost.h"

#include <QApplication>
#include <QFileInfo>
#include <QMenuBar>

namespace Vantrel::Ui {

void applyThemePalette(QApplication& app, bool dark) {
    app.setPalette(dark ? darkPalette() : lightPalette());
}

int runApplication(QApplication& app) {
    QApplication::setOrganizationName(QStringLiteral("Vantrel"));
    QApplication::setApplicationName(QStringLiteral("Vantrel"));
    QApplication::setApplicationDisplayName(QStringLiteral("Vantrel"));
    QApplication::setDesktopFileName(QStringLiteral("vantrel"));

    QStringList folders = QApplication::arguments().mid(1);
    for (QString& f : folders)
        f = QFileInfo(f).absoluteFilePath();
    if (OpenRequests::handToRunning(folders))
        return 0;

    applyThemePalette(app, isDark(QApplication::palette()));

    SimPlatform platform;
    TileWindowPlatform shown(platform);
    AppModel model({.platform = &shown});
    MainWindow window(model);
    SimLogicWindow simulated(platform.logic());
    simulated.resize(simulated.sizeHint());
    openOnSend(simulated, model);
    addShowSimulatedLogic(window, simulated);
    OpenRequests requests;
    requests.listen();
    QObject::connect(&requests, &OpenRequests::openRequested, &window,
                     [&model, &window](const QStringList& paths) {
                         window.bringToFront();
                         if (!paths.isEmpty())
                             model.load(paths.first());
                     });
    window.show();
    if (!folders.isEmpty())
        model.load(folders.first());
    return app.exec();
}

} // namespace Vantrel::Ui
