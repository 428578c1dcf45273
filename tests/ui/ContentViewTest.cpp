#include "app/BusyState.h"
#include "support/FaultyFileOps.h"
#include "ui/BusyView.h"
#include "ui/DoneView.h"
#include "ui/DropZone.h"
#include "ui/UiFixture.h"

#include <QDropEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>

namespace Vantrel::UiTesting {
namespace {

using ContentViewTest = UiFixture;

// Sends a drag of these paths into the window's content, and optionally drops it.
void drag(Ui::ContentView& view, const QStringList& paths, bool drop) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    const QPointF at = QRectF(view.rect()).center();
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &enter);
    if (drop) {
        QDropEvent event(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&view, &event);
    }
}

TEST_F(ContentViewTest, theWindowIsTitledVantrelAndKeepsItsContentAtLeast760By540) {
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Vantrel"));
    window->resize(300, 200);
    QCoreApplication::processEvents();
    EXPECT_GE(content().width(), 760);
    EXPECT_GE(content().height(), 540);
    const QStringList menus = [this] {
        QStringList titles;
        for (QAction* a : window->menuBar()->actions())
            titles << a->text();
        return titles;
    }();
    EXPECT_EQ(menus, (QStringList{"File", "Edit", "Logic", "Help"}));
}

TEST_F(ContentViewTest, theScreenFollowsResultFolderAndBusy) {
    // Each case brings the model into a state through the user's own steps.
    FaultyFileOps& gated = faulty;
    auto gate = std::make_unique<Gate>();
    struct Case {
        const char* name;
        std::function<void()> reach;
        const char* screen;
        bool busy;
    };
    const QString folder = makeFolder("Session 1", exampleSession());
    const Case cases[] = {
        {"nothing loaded", [] {}, "dropZone", false},
        {"folder under review", [&] { loadShown(folder); }, "reviewView", false},
        {"result and folder both set",
         [&] {
             loadShown(folder);
             model->approval().setOrganizeInPlace(false);
             approveAndWait(*model);
         },
         "doneView", false},
        {"approving",
         [&] {
             loadShown(folder);
             gated.beforeOperation(gated.operationCount() + 1, [g = gate.get()] { g->pass(); });
             model->approval().approve();
             ASSERT_TRUE(QTest::qWaitFor([&] { return gate->reached(); }, kTimeoutMs));
         },
         "reviewView", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        close();
        fileOps = &gated;
        open();
        c.reach();
        QCoreApplication::processEvents();
        EXPECT_EQ(content().currentScreen()->objectName(), QString::fromLatin1(c.screen))
            << model->approval().resultURL().value_or("-").toStdString() << " busy "
            << model->busyState().busy();
        EXPECT_TRUE(content().currentScreen()->isVisible());
        EXPECT_EQ(content().busyView()->isVisible(), c.busy);
        gate->open();
        finishWork();
        gate = std::make_unique<Gate>();
    }
}

TEST_F(ContentViewTest, theBusyScreenCoversTheHeaderSoRulesCannotBeClicked) {
    FaultyFileOps& gated = faulty;
    Gate gate;
    close();
    fileOps = &gated;
    open();
    loadShown(makeFolder("Take 3", exampleSession()));
    gated.beforeOperation(1, [&gate] { gate.pass(); });
    model->approval().approve();
    QCoreApplication::processEvents();
    auto* rules = child<Ui::PillButton>("rulesButton");
    const QPoint centre = rules->mapTo(&content(), rules->rect().center());
    EXPECT_EQ(content().childAt(centre), content().busyView());
    QTest::mouseClick(content().busyView(), Qt::LeftButton, {}, centre);
    EXPECT_FALSE(model->showRules());
    gate.open();
    ASSERT_TRUE(waitUntilIdle(*model));
    QCoreApplication::processEvents();
    QTest::mouseClick(rules, Qt::LeftButton, {}, rules->rect().center());
    EXPECT_TRUE(model->showRules());
}

TEST_F(ContentViewTest, theBusyCardShowsTheApprovalWithProgressAndCancel) {
    FaultyFileOps& gated = faulty;
    gated.countOnly({FileOp::clone, FileOp::copy});
    Gate gate;
    close();
    fileOps = &gated;
    open();
    loadShown(makeFolder("Session 1", exampleSession()));
    model->approval().setOrganizeInPlace(false);
    gated.beforeOperation(8, [&gate] { gate.pass(); });
    model->approval().approve();
    ASSERT_TRUE(QTest::qWaitFor([&] { return gate.reached(); }, kTimeoutMs));
    QCoreApplication::processEvents();
    Ui::BusyView* busy = content().busyView();
    EXPECT_EQ(text("busyTitle"), QStringLiteral("Making the sorted copy"));
    EXPECT_TRUE(text("busyDetail").endsWith(QLatin1String(" files")));
    EXPECT_TRUE(child<Ui::PillButton>("busyCancelButton")->isVisible());
    EXPECT_EQ(busy->progressBar()->maximum(), 1000); // determinate
    // Cancel on the card stops the export; the review comes back without an alert.
    auto* cancel = child<Ui::PillButton>("busyCancelButton");
    QTest::mouseClick(cancel, Qt::LeftButton, {}, cancel->rect().center());
    EXPECT_TRUE(model->busyState().cancelFlag()->load());
    gate.open();
    ASSERT_TRUE(waitUntilIdle(*model));
    QCoreApplication::processEvents();
    EXPECT_FALSE(busy->isVisible());
    EXPECT_EQ(content().currentScreen()->objectName(), QStringLiteral("reviewView"));
    EXPECT_EQ(content().alert(), nullptr);
}

TEST_F(ContentViewTest, puttingFilesBackShowsAMovingBarAndNoCancel) {
    FaultyFileOps& gated = faulty;
    Gate gate;
    close();
    fileOps = &gated;
    open();
    loadShown(makeFolder("Take 3", exampleSession()));
    model->approval().setOrganizeInPlace(true);
    approveAndWait(*model);
    gated.beforeOperation(gated.operationCount() + 1, [&gate] { gate.pass(); });
    model->approval().undoOrganize();
    ASSERT_TRUE(QTest::qWaitFor([&] { return gate.reached(); }, kTimeoutMs));
    QCoreApplication::processEvents();
    EXPECT_EQ(text("busyTitle"), QStringLiteral("Putting the files back"));
    EXPECT_EQ(text("busyDetail"), QString());
    EXPECT_EQ(content().busyView()->progressBar()->maximum(), 0); // moving
    EXPECT_FALSE(child<Ui::PillButton>("busyCancelButton")->isVisible());
    gate.open();
    EXPECT_TRUE(waitUntilIdle(*model));
}

TEST_F(ContentViewTest, aDropOfThreeFoldersLoadsTheFirst) {
    const QString first = makeFolder("First", exampleSession());
    const QString second = makeFolder("Second", exampleSession());
    const QString third = makeFolder("Third", exampleSession());
    drag(content(), {first, second, third}, true);
    ASSERT_TRUE(waitUntilIdle(*model));
    EXPECT_EQ(model->review().folder(), first);
    QCoreApplication::processEvents();
    EXPECT_EQ(text("folderName"), QStringLiteral("First"));
}

TEST_F(ContentViewTest, aDroppedFileShowsTheAlertAndOkClearsIt) {
    const QString folder = makeFolder("Session", {"1Kick.wav"});
    drag(content(), {folder + "/1Kick.wav"}, true);
    QCoreApplication::processEvents();
    QMessageBox* alert = content().alert();
    ASSERT_NE(alert, nullptr);
    EXPECT_TRUE(alert->isVisible());
    EXPECT_EQ(alert->windowTitle(), QStringLiteral("Vantrel"));
    EXPECT_EQ(alert->text(), QStringLiteral("Drop a folder of tracks, not a single file."));
    ASSERT_EQ(alert->buttons().size(), 1);
    QAbstractButton* ok = alert->buttons().first();
    EXPECT_EQ(ok->text().remove('&'), QStringLiteral("OK"));
    QTest::mouseClick(ok, Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(model->errorMessage(), std::nullopt);
    EXPECT_EQ(content().alert(), nullptr);
    EXPECT_EQ(model->review().folder(), std::nullopt);
}

TEST_F(ContentViewTest, escapeOnTheAlertDismissesTheMessageToo) {
    model->setErrorMessage(QStringLiteral("Logic Pro isn't running."));
    QCoreApplication::processEvents();
    ASSERT_NE(content().alert(), nullptr);
    QTest::keyClick(content().alert(), Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_EQ(model->errorMessage(), std::nullopt);
}

TEST_F(ContentViewTest, aDragOverTheWindowShowsTheFrameAndLeavingHidesIt) {
    const QString folder = makeFolder("Session", exampleSession());
    auto* frame = child<QWidget>("dropFrame");
    EXPECT_FALSE(frame->isVisible());
    drag(content(), {folder}, false);
    EXPECT_TRUE(content().targeted());
    EXPECT_TRUE(frame->isVisible());
    // The frame: a 2 wide ink line inset 6 from the edge, drawn over the screen.
    const QColor onLine = pixel(&content(), QPointF(content().width() / 2, 6));
    EXPECT_EQ(onLine.rgb(), Ui::Brismo::ink.color().rgb());
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(&content(), &leave);
    EXPECT_FALSE(content().targeted());
    EXPECT_FALSE(frame->isVisible());

    // The drop zone itself answers too: a deeper fill and a solid ink edge while a folder is over
    // it, back to the dashed invitation when it leaves.
    Ui::DropZone* zone = content().dropZone();
    const QPointF inside(22 + 30, 22 + 30); // in the block, clear of its edge and its content
    const QPointF onEdge(zone->width() / 2.0, 22 + 1);
    const QImage idle = zone->grab().toImage();
    drag(content(), {folder}, false);
    EXPECT_TRUE(zone->targeted());
    EXPECT_EQ(pixel(zone, inside).rgb(), Ui::Brismo::inner.color().rgb());
    EXPECT_EQ(pixel(zone, onEdge).rgb(), Ui::Brismo::ink.color().rgb());
    EXPECT_NE(idle.pixelColor(inside.toPoint()).rgb(), Ui::Brismo::inner.color().rgb());
    QCoreApplication::sendEvent(&content(), &leave);
    EXPECT_FALSE(zone->targeted());
    EXPECT_EQ(zone->grab().toImage(), idle);
    // A drag without file URLs is not taken.
    QMimeData textOnly;
    textOnly.setText(QStringLiteral("hello"));
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &textOnly, Qt::LeftButton,
                          Qt::NoModifier);
    QCoreApplication::sendEvent(&content(), &enter);
    EXPECT_FALSE(enter.isAccepted());
    EXPECT_FALSE(content().targeted());
}

TEST_F(ContentViewTest, theMenuCommandsReachTheModel) {
    close();
    sim = std::make_unique<SimPlatform>(clock, QStringList{"not-running"});
    open();
    child<QAction>("checkConnectionAction")->trigger();
    QCoreApplication::processEvents();
    ASSERT_NE(content().alert(), nullptr);
    EXPECT_EQ(content().alert()->text(), QStringLiteral("Logic Pro isn't running."));
    model->setShowWalkthrough(false);
    child<QAction>("walkthroughAction")->trigger();
    EXPECT_TRUE(model->showWalkthrough());
}

TEST_F(ContentViewTest, sortAnotherFolderOnTheDoneScreenGoesBackToTheDropZone) {
    loadShown(makeFolder("Session 1", exampleSession()));
    model->approval().setOrganizeInPlace(false);
    approveAndWait(*model);
    QCoreApplication::processEvents();
    EXPECT_EQ(text("doneTitle"), QStringLiteral("Sorted folder created"));
    EXPECT_EQ(text("resultName"), QStringLiteral("Session 1 SORTED"));
    auto* again = child<Ui::PillButton>("sortAnotherButton");
    QTest::mouseClick(again, Qt::LeftButton, {}, again->rect().center());
    QCoreApplication::processEvents();
    EXPECT_EQ(content().currentScreen()->objectName(), QStringLiteral("dropZone"));
}

TEST_F(ContentViewTest, aNewPaletteRecoloursTheShownScreenWithoutRebuildingIt) {
    loadShown(makeFolder("Session 1", exampleSession()));
    QWidget* screen = content().currentScreen();
    auto* approve = child<Ui::PillButton>("approveButton");
    auto* title = child<QLabel>("folderName");
    const auto colours = [&] {
        return std::tuple{pixel(&content(), QPointF(4, 20)).rgb(),
                          pixel(approve, QPointF(approve->height() / 2.0, 3)).rgb(),
                          title->palette().color(QPalette::WindowText).rgb()};
    };
    for (const bool dark : {true, false}) {
        SCOPED_TRACE(dark ? "dark" : "light");
        QApplication::setPalette(dark ? Ui::darkPalette() : Ui::lightPalette());
        QCoreApplication::processEvents();
        EXPECT_EQ(colours(), (std::tuple{Ui::Brismo::bg.resolve(dark).rgb(),
                                         Ui::Brismo::accent.resolve(dark).rgb(),
                                         Ui::Brismo::ink.resolve(dark).rgb()}));
        EXPECT_EQ(content().currentScreen(), screen);
        EXPECT_EQ(child<Ui::PillButton>("approveButton"), approve);
    }
}

// Verifies that the busy screen needs nothing but the busy state: it shows what the state holds,
// follows its changes, and its Cancel goes back to the state's owner.
TEST(BusyViewAlone, showsAndFollowsItsStateAndAsksItsOwnerToCancel) {
    BusyState state;
    state.start(QStringLiteral("Organizing “Gig”"), QStringLiteral("3 files"), false, 0.0);
    Ui::BusyView view(state);
    view.resize(760, 540);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    const auto label = [&view](const char* name) {
        return view.findChild<QLabel*>(QString::fromLatin1(name))->text();
    };
    auto* cancel = view.findChild<Ui::PillButton*>(QStringLiteral("busyCancelButton"));
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(label("busyTitle"), QStringLiteral("Organizing “Gig”"));
    EXPECT_EQ(label("busyDetail"), QStringLiteral("3 files"));
    EXPECT_FALSE(cancel->isVisible());

    state.start(QStringLiteral("Making the sorted copy"), QStringLiteral("3 files"), true, 0.0);
    state.setDetail(QStringLiteral("2 of 3 files"));
    state.setProgress(2.0 / 3);
    EXPECT_EQ(label("busyTitle"), QStringLiteral("Making the sorted copy"));
    EXPECT_EQ(label("busyDetail"), QStringLiteral("2 of 3 files"));
    EXPECT_EQ(view.progressBar()->value(), 667); // of 1000
    ASSERT_TRUE(cancel->isVisible());
    int cancels = 0;
    QObject::connect(&state, &BusyState::cancelRequested, [&cancels] { ++cancels; });
    QTest::mouseClick(cancel, Qt::LeftButton);
    EXPECT_EQ(cancels, 1);
}

} // namespace
} // namespace Vantrel::UiTesting
