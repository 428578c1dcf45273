#include "ui/Application.h"

#include "app/AppModel.h"
#include "platform/Backend.h"
#include "platform/sim/SimPlatform.h"
#include "ui/AppIcon.h"
#include "ui/MainWindow.h"
#include "ui/OpenRequests.h"
#include "ui/QuitOnSignals.h"
#include "ui/SimLogicWindow.h"
#include "ui/SimSettingsWindow.h"
#include "ui/Theme.h"
#include "ui/TileHost.h"
#include "ui/Translations.h"
#include "ui/WalkthroughView.h"
#include "ui/Widgets.h"

#include <QApplication>
#include <QDebug>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMenuBar>

#ifdef Q_OS_MACOS
#include "platform/Clock.h"
#include "platform/mac/MacPlatform.h"
#endif

namespace Vantrel::Ui {

void applyThemePalette(QApplication& app, bool dark) {
    app.setPalette(dark ? darkPalette() : lightPalette());
}

namespace {

// Shows the window and runs the event loop until the user quits; folders are the ones the
// program was started with, handOff what became of handing them to a running Vantrel.
int runWindow(QApplication& app, AppModel& model, MainWindow& window, const QStringList& folders,
              const OpenRequests::HandOff& handOff) {
    // Asked to stop, the program leaves as when the user quits, and the socket goes with it.
    QuitOnSignals quitOnSignals;
    OpenRequests requests;
    const OpenRequests::Listening listening = requests.listen();
    const QString refusal = !handOff.refusal.isEmpty() ? handOff.refusal : listening.refusal;
    if (!refusal.isEmpty()) {
        qWarning().noquote() << refusal;
        model.setErrorMessage(refusal);
    }
    QObject::connect(&requests, &OpenRequests::openRequested, &window, &MainWindow::openHandedOver);
    window.show();
    if (!folders.isEmpty())
        model.review().load(folders.first());
    return app.exec();
}

} // namespace

int runApplication(QApplication& app) {
    QApplication::setOrganizationName(QStringLiteral("Vantrel"));
    QApplication::setApplicationName(QStringLiteral("Vantrel"));
    QApplication::setApplicationDisplayName(QStringLiteral("Vantrel"));
    QApplication::setDesktopFileName(QString::fromLatin1(appIconName));

    QStringList folders = QApplication::arguments().mid(1);
    // --simulate: the simulated Logic Pro also where the real one runs.
    const Backend backend = chooseBackend(folders.removeAll(QStringLiteral("--simulate")) > 0);
    for (QString& f : folders)
        f = QFileInfo(f).absoluteFilePath();
    // The window speaks the system's language where it has a translation, English otherwise;
    // so does the sentence of a hand-off that cannot happen.
    installTranslations(app);
    const OpenRequests::HandOff handOff = OpenRequests::handToRunning(folders);
    if (handOff.taken)
        return 0;

    useInterfaceFont();
    applyThemePalette(app, isDark(QApplication::palette()));
    useThemeStyle();
    QApplication::setWindowIcon(appIcon());

#ifdef Q_OS_MACOS
    if (backend == Backend::mac) {
        SystemClock clock;
        MacPlatform platform(clock);
        TileWindowPlatform shown(platform);
        AppModel model({.platform = &shown});
        MainWindow window(model);
        return runWindow(app, model, window, folders, handOff);
    }
#else
    (void)backend;
#endif
    // The simulated system around the program: its System Settings window holds the
    // Accessibility switch that decides the permission, and opens when the program asks the
    // system to show its Accessibility settings.
    SimSystemSettings system(SimSystemSettings::defaultPath());
    SimPlatform platform(system);
    TileWindowPlatform shown(platform);
    SimSettingsWindow systemSettings(system);
    QDesktopServices::setUrlHandler(WalkthroughView::accessibilitySettingsUrl().scheme(),
                                    &systemSettings, "openUrl");
    AppModel model({.platform = &shown});
    MainWindow window(model);
    SimLogicWindow simulated(platform.logic());
    simulated.resize(simulated.sizeHint());
    openOnSend(simulated, model);
    addShowSimulatedLogic(window, simulated);
    const int result = runWindow(app, model, window, folders, handOff);
    QDesktopServices::unsetUrlHandler(WalkthroughView::accessibilitySettingsUrl().scheme());
    return result;
}

} // namespace Vantrel::Ui
