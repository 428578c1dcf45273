// The drag tile's host during a real send: the compact tile window is made, shown and hidden on
// the main thread while the sender works on its worker, at the rectangle the sender asks for,
// and the simulated Logic Pro still receives the drop.

#include "ui/TileHost.h"

#include "app/AppModelFixture.h"
#include "ui/DragSourceView.h"

#include <QApplication>
#include <QThread>

#include <mutex>

namespace Vantrel::UiTesting {
namespace {

using namespace AppTesting;

// Records the shows and hides of tile windows, on whichever thread they happen.
class TileWatch : public QObject {
public:
    struct Seen {
        QEvent::Type type;
        bool onMainThread;
        QRect geometry;
        QString title;
        bool compact;
        qsizetype files;
    };
    QList<Seen> seen;

    TileWatch() { qApp->installEventFilter(this); }
    ~TileWatch() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if ((event->type() == QEvent::Show || event->type() == QEvent::Hide) &&
            watched->objectName() == QLatin1String("dragTileWindow")) {
            auto* window = static_cast<QWidget*>(watched);
            const auto* tile = window->findChild<Ui::DragSourceView*>();
            seen.append({event->type(), QThread::currentThread() == qApp->thread(),
                         window->geometry(), tile ? tile->title() : QString(),
                         tile && tile->compact(), tile ? tile->files().size() : 0});
        }
        return false;
    }
};

class TileHostTest : public AppModelFixture {};

// Verifies a whole fast send through the tile window host: one compact tile "6 files" shown at
// the sender's rectangle and hidden again, both on the main thread, no window left over, and the
// simulated Logic Pro holding the six tracks the drop brought in.
TEST_F(TileHostTest, showsAndHidesTheCompactTileOnTheMainThreadWhileTheSenderWorks) {
    const QString folder =
        makeFolder(QStringLiteral("Session"), {"1Kick In.wav", "2Snare Top.wav", "3Bass DI.wav",
                                               "4Vox Lead.wav", "5Vox Dbl.wav", "6Room.wav"});
    Ui::TileWindowPlatform platform(*sim);
    AppModel model({.platform = &platform});
    loadAndWait(model, folder);
    approveAndWait(model);

    TileWatch watch;
    model.send().sendToLogic(SendMode::fast);
    ASSERT_TRUE(model.send().sending());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !model.send().sending(); }, kTimeoutMs));
    EXPECT_EQ(model.send().sendResult(), QStringLiteral("Sent 6 tracks and 3 stacks to Logic."));

    ASSERT_EQ(watch.seen.size(), 2);
    EXPECT_EQ(watch.seen[0].type, QEvent::Show);
    EXPECT_EQ(watch.seen[1].type, QEvent::Hide);
    for (const TileWatch::Seen& s : watch.seen) {
        EXPECT_TRUE(s.onMainThread);
        // The simulated project window fills the screen under the menu bar: the tile sits 360
        // in and 55 % down it, 120 × 70.
        EXPECT_EQ(s.geometry, QRect(360, 506, 120, 70));
        EXPECT_EQ(s.title, QStringLiteral("6 files"));
        EXPECT_TRUE(s.compact);
        EXPECT_EQ(s.files, 6);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(platform.tileWindows().window(), nullptr);

    QStringList names;
    for (const SimTrack& t : sim->logic().session().tracks)
        if (!t.isStack)
            names << t.name;
    EXPECT_EQ(names.size(), 6);
}

} // namespace
} // namespace Vantrel::UiTesting
