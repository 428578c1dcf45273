// The screens of a send for vantrel-screenshots: the done screen in both modes before and after a
// send, the send panel mid-send, the full tile, the compact tile and the simulated Logic Pro
// after a send of the demo session.
#include "app/AppModel.h"
#include "app/Worker.h"
#include "cli/Demo.h"
#include "platform/sim/SimPlatform.h"
#include "ui/DragSourceView.h"
#include "ui/MainWindow.h"
#include "ui/SendPanel.h"
#include "ui/SimLogicWindow.h"
#include "ui/Theme.h"
#include "ui/TileHost.h"

#include <QApplication>
#include <QPainter>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace Vantrel;
using namespace std::chrono_literals;

namespace {

using Save = std::function<void(const QImage&, const QString&)>;

bool settle(const std::function<bool()>& done) {
    const bool ok = QTest::qWaitFor(done, 60000);
    QTest::qWait(50);
    return ok;
}

// The window on the simulated Logic Pro (virtual clock), its drag tile shown as a real window.
struct SendSession {
    QTemporaryDir root;
    VirtualClock clock{10s};
    SimPlatform sim{clock};
    Ui::TileWindowPlatform tiles{sim};
    std::unique_ptr<AppModel> model;
    std::unique_ptr<Ui::MainWindow> window;

    SendSession() {
        QSettings(QStringLiteral("Vantrel"), QStringLiteral("Vantrel")).clear();
        model = std::make_unique<AppModel>(AppModel::Services{.platform = &tiles});
        model->setShowWalkthrough(false);
        window = std::make_unique<Ui::MainWindow>(*model);
        window->resize(900, 700);
        window->show();
        (void)QTest::qWaitForWindowExposed(window.get());
    }
    ~SendSession() {
        Worker::waitUntilIdle();
        QCoreApplication::processEvents();
        window.reset();
        model.reset();
    }
    // Approves the demo session, copied or organized in place.
    void approveDemo(bool inPlace) {
        const QString folder = root.filePath(QStringLiteral("Live at the Roundhouse"));
        Cli::writeDemoSession(folder);
        model->review().load(folder);
        settle([this] { return !model->busyState().busy(); });
        model->approval().setOrganizeInPlace(inPlace);
        model->approval().approve();
        settle([this] { return !model->busyState().busy() && model->approval().resultURL(); });
    }
    QImage shot() {
        QCoreApplication::processEvents();
        return window->grab().toImage();
    }
};

// Calls act once, when the drag tile's window is shown: the sender waits then.
class OnTileShown : public QObject {
public:
    std::function<void(QWidget*)> act;
    OnTileShown() { qApp->installEventFilter(this); }
    ~OnTileShown() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Show && o->objectName() == QLatin1String("dragTileWindow") && act)
            std::exchange(act, nullptr)(static_cast<QWidget*>(o));
        return false;
    }
};

} // namespace

void shootSendScreens(const Save& save) {
    {
        SendSession s;
        s.approveDemo(false);
        save(s.shot(), QStringLiteral("done-sorted-copy"));
        OnTileShown onTile;
        onTile.act = [&](QWidget* tile) {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* panel = qobject_cast<Ui::SendPanelWindow*>(w);
                    panel && panel->isVisible())
                    save(panel->grab().toImage(), QStringLiteral("send-panel"));
            save(tile->grab().toImage(), QStringLiteral("drag-tile-compact"));
        };
        s.model->send().sendToLogic(SendMode::fast);
        settle([&s] { return !s.model->send().sending(); });
        save(s.shot(), QStringLiteral("done-sorted-copy-sent"));

        Ui::SimLogicWindow logic(s.sim.logic());
        logic.resize(760, 760);
        logic.refresh();
        save(logic.grab().toImage(), QStringLiteral("simulated-logic-after-send"));
    }
    {
        SendSession s;
        s.approveDemo(true);
        save(s.shot(), QStringLiteral("done-organized"));
        s.model->send().sendToLogic(SendMode::fast);
        settle([&s] { return !s.model->send().sending(); });
        save(s.shot(), QStringLiteral("done-organized-sent"));
    }
    {
        SendSession s;
        s.approveDemo(true);
        s.sim.logic().setQuirk(QStringLiteral("drop-ignored"), true);
        s.model->send().sendToLogic(SendMode::fast);
        settle([&s] { return !s.model->send().sending(); });
        save(s.shot(), QStringLiteral("done-send-failed"));
        // The same at the window's smallest size.
        s.window->resize(s.window->minimumSizeHint());
        save(s.shot(), QStringLiteral("done-send-failed-smallest"));
    }
    {
        SendSession s;
        s.approveDemo(false);
        OnTileShown onTile;
        onTile.act = [&](QWidget*) { s.model->send().cancelSend(); };
        s.model->send().sendToLogic(SendMode::fast);
        settle([&s] { return !s.model->send().sending(); });
        save(s.shot(), QStringLiteral("done-send-cancelled"));
    }
    {
        // The full tile alone on the window background, 20 points around it.
        QWidget host;
        host.resize(380, 150);
        QPalette palette = host.palette();
        palette.setColor(QPalette::Window, Ui::Brismo::bg.color());
        host.setPalette(palette);
        host.setAutoFillBackground(true);
        auto* tile = new Ui::DragTile(&host);
        tile->move(20, 20);
        tile->setContent({QStringLiteral("/a/01_KICK_IN.wav")}, Ui::tileTitle(24));
        host.show();
        (void)QTest::qWaitForWindowExposed(&host);
        save(host.grab().toImage(), QStringLiteral("drag-tile-full"));
    }
}
