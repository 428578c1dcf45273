// The done screen and the send panel in the window, on the simulated Logic Pro and a virtual
// clock: the screen's states, its buttons, and a send started from it and cancelled in the
// floating panel.

#include "ui/DoneView.h"

#include "app/AppModelFixture.h"
#include "ui/BusyView.h"
#include "ui/ContentView.h"
#include "ui/DragSourceView.h"
#include "ui/MainWindow.h"
#include "ui/OpenInButton.h"
#include "ui/SendPanel.h"
#include "ui/Theme.h"
#include "ui/TileHost.h"
#include "ui/Widgets.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>

namespace Vantrel::UiTesting {
namespace {

using namespace AppTesting;

// DRUMS ×3, VOCALS ×2 and one track the rules do not sort.
const QStringList kSession{"1Kick In.wav",  "2Snare Top.wav", "3Kick Out.wav",
                           "4Vox Lead.wav", "5Vox Dbl.wav",   "6Room.wav"};

QStringList manyTracks(int n) {
    QStringList names;
    for (int i = 1; i <= n; ++i)
        names << QStringLiteral("%1Kick %1.wav").arg(i);
    return names;
}

// The window on a model whose platform shows the drag tile as a real window.
class DoneViewTest : public AppModelFixture {
protected:
    void SetUp() override {
        AppModelFixture::SetUp();
        QApplication::setPalette(Ui::lightPalette());
        sim = std::make_unique<SimPlatform>(clock); // Logic with an empty project
        tiles = std::make_unique<Ui::TileWindowPlatform>(*sim);
        model = std::make_unique<AppModel>(AppModel::Services{.platform = tiles.get()});
        window = std::make_unique<Ui::MainWindow>(*model);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void TearDown() override {
        finishWork();
        window.reset();
        model.reset();
        tiles.reset();
        AppModelFixture::TearDown();
    }

    // The done screen of this session, copied or organized in place; each session in a folder
    // of its own.
    void approved(const QStringList& files, bool inPlace,
                  const QString& folder = QStringLiteral("Session")) {
        model->approval().setOrganizeInPlace(inPlace);
        loadAndWait(*model, makeFolder(QStringLiteral("%1/%2").arg(++sessions).arg(folder), files));
        approveAndWait(*model);
        QCoreApplication::processEvents();
    }

    template <typename T = QWidget> T* child(const char* name) {
        T* found = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString text(const char* name) { return child<QLabel>(name)->text(); }
    bool shown(const char* name) { return child(name)->isVisibleTo(window.get()); }

    void sendAndWait(const char* button) {
        QTest::mouseClick(child(button), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([this] { return !model->send().sending(); }, kTimeoutMs));
        QCoreApplication::processEvents();
    }

    static Ui::SendPanelWindow* panel() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* p = qobject_cast<Ui::SendPanelWindow*>(w); p && p->isVisible())
                return p;
        return nullptr;
    }

    int sessions = 0;
    std::unique_ptr<Ui::TileWindowPlatform> tiles;
    std::unique_ptr<AppModel> model;
    std::unique_ptr<Ui::MainWindow> window;
};

// Verifies the done screen's states: the title for each mode, the result folder's name, the
// note, the tile's title for 1 and for 24 files (in the singular and the plural), "Put the Files
// Back" only after organizing in place, and the hint before a send, the result after one.
// Verifies that the note of an organization is the window's own sentence, its number a plural
// of the window's language, not the command line's "1 files".
TEST_F(DoneViewTest, theNoteOfAnOrganizationCountsItsFilesInAWholeSentence) {
    approved({"1Kick In.wav"}, true);
    EXPECT_EQ(text("exportNote"),
              QStringLiteral("1 file moved into its folder: nothing copied, no extra space used."));
    TearDown();
    SetUp();
    approved(manyTracks(3), true);
    EXPECT_EQ(text("exportNote"), QStringLiteral("3 files moved into their folders: nothing "
                                                 "copied, no extra space used."));
}

TEST_F(DoneViewTest, showsWhatWasDoneTheTileTheActionsAndTheHintOrTheResult) {
    struct Case {
        const char* name;
        QStringList files;
        bool inPlace;
        QStringList quirks; // for the send; none: no send
        const char* title;
        const char* folder;
        const char* tile;
        std::optional<QString> line; // the result line's beginning; none: the hint
    };
    const Case cases[] = {
        {"one file copied",
         {"1Kick In.wav"},
         false,
         {},
         "Sorted folder created",
         "Session SORTED",
         "1 track, ready for Logic",
         std::nullopt},
        {"24 files organized in place",
         manyTracks(24),
         true,
         {},
         "Folder organized",
         "Session",
         "24 tracks, ready for Logic",
         std::nullopt},
        {"copied and sent",
         kSession,
         false,
         {QString()},
         "Sorted folder created",
         "Session SORTED",
         "6 tracks, ready for Logic",
         QStringLiteral("Sent 6 tracks and 2 stacks to Logic.")},
        {"organized in place, the send failed",
         kSession,
         true,
         {"drop-ignored"},
         "The send to Logic didn’t finish",
         "Session",
         "6 tracks, ready for Logic",
         QStringLiteral("Logic only brought in 0 of 6 ")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        approved(c.files, c.inPlace);
        if (!c.quirks.isEmpty()) {
            for (const QString& q : c.quirks)
                if (!q.isEmpty())
                    sim->logic().setQuirk(q, true);
            sendAndWait("sendButton");
        }
        EXPECT_TRUE(shown("doneView"));
        EXPECT_EQ(text("doneTitle"), QString::fromUtf8(c.title));
        EXPECT_EQ(text("resultName"), QString::fromUtf8(c.folder));
        EXPECT_TRUE(shown("exportNote"));
        EXPECT_EQ(text("exportNote"), model->approval().exportNote());
        EXPECT_FALSE(shown("sendBlock"));
        EXPECT_TRUE(shown("dragTile"));
        const auto* tile = child<Ui::DragSourceView>("dragSource");
        EXPECT_EQ(tile->title(), QString::fromUtf8(c.tile));
        EXPECT_EQ(tile->files(), model->approval().dragURLs());
        EXPECT_FALSE(tile->compact());
        for (const char* b : {"sendButton", "sendGroupedButton", "sendSlowButton",
                              "showInFinderButton", "sortAnotherButton"})
            EXPECT_TRUE(shown(b)) << b;
        EXPECT_EQ(shown("putBackButton"), c.inPlace);
        const bool failed = model->send().sendEnd() == SendHost::SendEnd::failed;
        EXPECT_EQ(shown("sendFailure"), failed);
        EXPECT_EQ(shown("resultLine"), !failed);
        EXPECT_EQ(child<Ui::SymbolView>("doneMark")->symbol(),
                  failed ? QStringLiteral("exclamationmark.triangle.fill")
                         : QStringLiteral("checkmark.circle.fill"));
        if (failed) {
            // The whole sentence, readable in the window: nothing cut off at its edge.
            auto* message = child<QLabel>("sendFailureText");
            EXPECT_EQ(message->text(), model->send().sendResult());
            EXPECT_TRUE(message->text().startsWith(*c.line)) << message->text().toStdString();
            EXPECT_GE(message->height(), message->heightForWidth(message->width()));
            const QRect inWindow(message->mapTo(window.get(), QPoint()), message->size());
            EXPECT_TRUE(window->rect().contains(inWindow));
            EXPECT_FALSE(shown("afterCancel"));
        } else if (c.line) {
            EXPECT_EQ(text("resultLine"), model->send().sendResult());
            EXPECT_TRUE(text("resultLine").startsWith(*c.line)) << text("resultLine").toStdString();
            EXPECT_EQ(child("resultLine")->font(), Ui::systemFont(14, QFont::Light));
        } else {
            EXPECT_EQ(text("resultLine"),
                      QStringLiteral("Open Logic Pro with an empty project, then choose Send to "
                                     "Logic."));
            EXPECT_EQ(child("resultLine")->font(), Ui::systemFont(13, QFont::Light));
        }
    }
}

// Verifies that each send button starts its own kind of send: one drag of every file, group by
// group, or one file at a time through the import dialog.
TEST_F(DoneViewTest, eachSendButtonStartsItsMode) {
    struct Case {
        const char* button;
        const char* firstStatus; // the beginning of the first status line
    };
    const Case cases[] = {
        {"sendButton", "Dragging 6 files into Logic"},
        {"sendGroupedButton", "Importing DRUMS"},
        {"sendSlowButton", "DRUMS: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        TearDown();
        SetUp();
        approved(kSession, false);
        QStringList statuses; // what the run reports, without the model's opening line and notes
        QObject::connect(&model->send(), &SendModel::sendStatusChanged, model.get(), [&] {
            const QString status = model->send().sendStatus();
            if (status != QStringLiteral("Starting…") && !status.startsWith(QStringLiteral("  ")))
                statuses << status;
        });
        sendAndWait(c.button);
        ASSERT_FALSE(statuses.isEmpty());
        EXPECT_TRUE(statuses.first().startsWith(QString::fromUtf8(c.firstStatus)))
            << statuses.first().toStdString();
        EXPECT_EQ(model->send().sendResult(),
                  QStringLiteral("Sent 6 tracks and 2 stacks to Logic."));
    }
}

// Verifies a send from the done screen, cancelled in the panel: the main window hides, the
// 340 × 120 panel shows 20 points in from the top-right corner of the screen's available area
// and follows the status lines, its Cancel ends the send with "Cancelled." on the result line,
// the panel closes and the main window comes back.
TEST_F(DoneViewTest, aSendCancelledInThePanelEndsWithCancelledAndBringsTheWindowBack) {
    approved(kSession, false);
    ASSERT_EQ(panel(), nullptr);

    // Follows what the panel shows at every status change.
    QList<std::pair<QString, QString>> followed; // (panel's status, model's status)
    bool windowHidden = false;
    QRect panelGeometry;
    std::pair<QString, QString> statusWhenCancelled; // (panel's status, model's status)
    // Cancel is pressed while the sender waits for its tile to be shown: the send is surely
    // still running then.
    struct OnTileShown : QObject {
        std::function<void()> act;
        bool eventFilter(QObject* o, QEvent* e) override {
            if (e->type() == QEvent::Show && o->objectName() == QLatin1String("dragTileWindow") &&
                act)
                std::exchange(act, nullptr)();
            return false;
        }
    } onTileShown;
    qApp->installEventFilter(&onTileShown);
    onTileShown.act = [&] {
        Ui::SendPanelWindow* p = panel();
        ASSERT_NE(p, nullptr);
        windowHidden = !window->isVisible();
        panelGeometry = p->geometry();
        statusWhenCancelled = {
            p->findChild<QLabel*>(QStringLiteral("sendPanelStatus"))->accessibleName(),
            model->send().sendStatus()};
        auto* cancel = p->findChild<Ui::PillButton*>(QStringLiteral("sendPanelCancelButton"));
        ASSERT_NE(cancel, nullptr);
        cancel->click();
    };
    // The panel redraws after this test hears of a change: look once the change is handled.
    QObject::connect(&model->send(), &SendModel::sendStatusChanged, model.get(), [&] {
        QTimer::singleShot(0, model.get(), [&, status = model->send().sendStatus()] {
            Ui::SendPanelWindow* p = panel();
            if (p && model->send().sendStatus() == status)
                followed.append(
                    {p->findChild<QLabel*>(QStringLiteral("sendPanelStatus"))->accessibleName(),
                     status});
        });
    });

    QTest::mouseClick(child("sendButton"), Qt::LeftButton);
    EXPECT_TRUE(model->send().sending());
    EXPECT_FALSE(window->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([this] { return !model->send().sending(); }, kTimeoutMs));
    qApp->removeEventFilter(&onTileShown);
    QCoreApplication::processEvents();

    EXPECT_TRUE(windowHidden);
    // The simulated screen is 1440 wide with a 25-point menu bar.
    EXPECT_EQ(panelGeometry, QRect(1080, 45, 340, 120));
    ASSERT_FALSE(followed.isEmpty());
    for (const auto& [shownStatus, status] : followed)
        EXPECT_EQ(shownStatus, status);
    EXPECT_EQ(followed.first().second, QStringLiteral("Starting…"));
    EXPECT_EQ(statusWhenCancelled.first, statusWhenCancelled.second);
    EXPECT_NE(statusWhenCancelled.second, QStringLiteral("Starting…"));

    EXPECT_EQ(model->send().sendResult(), QStringLiteral("Cancelled."));
    EXPECT_EQ(model->send().sendEnd(), SendHost::SendEnd::cancelled);
    EXPECT_EQ(text("doneTitle"), QStringLiteral("The send to Logic was cancelled"));
    EXPECT_TRUE(shown("sendFailure"));
    EXPECT_EQ(text("sendFailureText"), QStringLiteral("Cancelled."));
    EXPECT_TRUE(shown("afterCancel"));
    EXPECT_EQ(text("afterCancel"), Ui::DoneView::afterCancel());
    EXPECT_EQ(panel(), nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(shown("doneControls"));
    EXPECT_FALSE(shown("sendBlock"));
}

// Verifies that while a send runs with the window still shown, the done screen shows the send
// block (progress, status, Cancel) in place of its controls, and Escape, its Cancel, stops the
// send.
TEST_F(DoneViewTest, theSendBlockTakesTheControlsPlaceWhileSending) {
    approved(kSession, false);
    struct OnTileShown : QObject {
        std::function<void()> act;
        bool eventFilter(QObject* o, QEvent* e) override {
            if (e->type() == QEvent::Show && o->objectName() == QLatin1String("dragTileWindow") &&
                act)
                std::exchange(act, nullptr)();
            return false;
        }
    } onTileShown;
    qApp->installEventFilter(&onTileShown);
    bool checked = false;
    onTileShown.act = [&] {
        window->show(); // as when no main window could be hidden
        EXPECT_TRUE(shown("sendBlock"));
        EXPECT_FALSE(shown("doneControls"));
        EXPECT_EQ(text("sendStatus"), model->send().sendStatus());
        EXPECT_EQ(child<Ui::ThemeProgressBar>("sendProgress")->value(),
                  qRound(model->send().sendProgress() * 1000));
        // Escape is the block's Cancel, from wherever the keyboard is in it.
        QTest::keyClick(child("sendCancelButton"), Qt::Key_Escape);
        checked = true;
    };
    model->send().sendToLogic(SendMode::fast);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !model->send().sending(); }, kTimeoutMs));
    qApp->removeEventFilter(&onTileShown);
    EXPECT_TRUE(checked);
    EXPECT_EQ(model->send().sendResult(), QStringLiteral("Cancelled."));
    EXPECT_FALSE(shown("sendBlock"));
}

// Verifies that a folder prepared before, opened again in a new window (as after a restart),
// shows the done screen with its tile, the send buttons and, organized in place, the put-back.
TEST_F(DoneViewTest, aPreparedFolderOpensOnTheDoneScreenReadyToSend) {
    for (const bool inPlace : {false, true}) {
        SCOPED_TRACE(inPlace ? "in place" : "sorted copy");
        approved(kSession, inPlace);
        const QString result = *model->approval().resultURL();
        const QStringList files = model->approval().dragURLs();
        TearDown();
        SetUp();
        loadAndWait(*model, result);
        QCoreApplication::processEvents();
        EXPECT_TRUE(shown("doneView"));
        EXPECT_EQ(child<Ui::DragSourceView>("dragSource")->files(), files);
        for (const char* b : {"sendButton", "sendGroupedButton", "sendSlowButton"})
            EXPECT_TRUE(child(b)->isEnabled() && shown(b)) << b;
        EXPECT_EQ(shown("putBackButton"), inPlace);
    }
}

// Verifies that "Put the Files Back" after a send asks first: Cancel (or Escape) keeps the
// files where the Logic project uses them, confirming puts them back.
TEST_F(DoneViewTest, puttingTheFilesBackAfterASendAsksFirst) {
    approved(kSession, true);
    sendAndWait("sendButton");
    ASSERT_EQ(model->send().sendResult(), QStringLiteral("Sent 6 tracks and 2 stacks to Logic."));
    auto* done = child<Ui::DoneView>("doneView");

    QTest::mouseClick(child("putBackButton"), Qt::LeftButton);
    QMessageBox* question = done->putBackQuestion();
    ASSERT_NE(question, nullptr);
    EXPECT_TRUE(question->isVisible());
    EXPECT_FALSE(model->busyState().busy());
    QTest::keyClick(question, Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_EQ(done->putBackQuestion(), nullptr);
    EXPECT_FALSE(model->busyState().busy());
    EXPECT_TRUE(model->approval().resultURL().has_value());

    QTest::mouseClick(child("putBackButton"), Qt::LeftButton);
    question = done->putBackQuestion();
    ASSERT_NE(question, nullptr);
    question->findChild<QAbstractButton*>(QStringLiteral("putBackConfirm"))->click();
    ASSERT_TRUE(waitUntilIdle(*model));
    EXPECT_EQ(model->approval().resultURL(), std::nullopt);
    EXPECT_EQ(model->review().items().size(), kSession.size());
}

// Verifies the done screen at the window's smallest size, before and after a failed send: no
// control overlaps another and every line is whole inside the window.
TEST_F(DoneViewTest, everythingFitsAtTheSmallestWindowSize) {
    approved(kSession, true);
    window->resize(window->minimumSizeHint());
    window->content()->resize(760, 540);
    window->adjustSize();
    QCoreApplication::processEvents();
    ASSERT_LE(window->content()->height(), 560);
    const auto check = [this](const char* when) {
        SCOPED_TRACE(when);
        QCoreApplication::processEvents();
        QWidget* content = window->content();
        const auto rectOf = [content](QWidget* w) {
            return QRect(w->mapTo(content, QPoint()), w->size());
        };
        QList<QWidget*> shownParts;
        for (const char* name :
             {"doneMark", "doneTitle", "resultName", "exportNote", "dragTile", "sendButton",
              "sendGroupedButton", "sendSlowButton", "showInFinderButton", "putBackButton",
              "sortAnotherButton", "resultLine", "sendFailure"})
            if (QWidget* w = child(name); w && w->isVisibleTo(window.get()))
                shownParts << w;
        for (QWidget* w : shownParts)
            EXPECT_TRUE(content->rect().contains(rectOf(w)))
                << w->objectName().toStdString() << " leaves the window";
        for (int i = 0; i < shownParts.size(); ++i)
            for (int j = i + 1; j < shownParts.size(); ++j)
                EXPECT_FALSE(rectOf(shownParts[i]).intersects(rectOf(shownParts[j])))
                    << shownParts[i]->objectName().toStdString() << " overlaps "
                    << shownParts[j]->objectName().toStdString();
    };
    check("before a send");
    sim->logic().setQuirk(QStringLiteral("drop-ignored"), true);
    sendAndWait("sendButton");
    check("after a failed send");
}

// Verifies the folder actions: "Show in Finder" reveals the result folder, "Put the Files Back"
// restores the folder and leaves the done screen, "Sort Another Folder" returns to the start.
TEST_F(DoneViewTest, theFolderActionsRevealPutBackAndStartOver) {
    approved(kSession, true);
    QStringList revealed;
    child<Ui::DoneView>("doneView")->setReveal([&](const QString& p) { revealed << p; });
    QTest::mouseClick(child("showInFinderButton"), Qt::LeftButton);
    EXPECT_EQ(revealed, QStringList{*model->approval().resultURL()});

    const QString folder = *model->approval().resultURL();
    QTest::mouseClick(child("putBackButton"), Qt::LeftButton);
    ASSERT_TRUE(waitUntilIdle(*model));
    EXPECT_EQ(model->approval().resultURL(), std::nullopt);
    EXPECT_TRUE(QFileInfo::exists(folder + QStringLiteral("/1Kick In.wav")));

    approved(manyTracks(2), false, QStringLiteral("Another"));
    QTest::mouseClick(child("sortAnotherButton"), Qt::LeftButton);
    EXPECT_EQ(model->approval().resultURL(), std::nullopt);
    EXPECT_EQ(model->review().folder(), std::nullopt);
}

// ---- The done screen on its own ----

// The done screen's views (the result and its send) with values set by hand: records the
// operations it is asked for and tells the screen of a change when told to.
class ResultDouble : public ResultHost, public SendHost {
public:
    std::optional<QString> result = QStringLiteral("/music/Session sorted");
    bool inPlace = false;
    QString note;
    QStringList files{QStringLiteral("/music/Session sorted/DRUMS/1Kick In.wav"),
                      QStringLiteral("/music/Session sorted/VOCALS/4Vox Lead.wav")};
    bool isSending = false;
    QString status;
    double fraction = 0;
    std::optional<QString> outcome;
    SendEnd end = SendEnd::none;
    bool ardour = false;
    // What the screen asked for, in order.
    QStringList calls;

    const std::optional<QString>& resultURL() const override { return result; }
    bool resultInPlace() const override { return inPlace; }
    const QString& exportNote() const override { return note; }
    QStringList dragURLs() const override { return files; }
    bool sending() const override { return isSending; }
    const QString& sendStatus() const override { return status; }
    double sendProgress() const override { return fraction; }
    const std::optional<QString>& sendResult() const override { return outcome; }
    SendEnd sendEnd() const override { return end; }
    void sendToLogic(SendMode mode) override {
        calls << QStringLiteral("send %1").arg(static_cast<int>(mode));
    }
    void cancelSend() override { calls << QStringLiteral("cancelSend"); }
    bool ardourInstalled() const override { return ardour; }
    void exportSession(Sessions::SessionTarget target,
                       const std::optional<QString>& output) override {
        calls << QStringLiteral("export %1 %2")
                     .arg(Sessions::targetName(target), output.value_or(QStringLiteral("-")));
    }
    void undoOrganize() override { calls << QStringLiteral("undoOrganize"); }
    void reset() override { calls << QStringLiteral("reset"); }
    void onResultChanged(QObject* context, std::function<void()> changed) override {
        listeners.append({context, std::move(changed)});
    }
    void onSendChanged(QObject* context, std::function<void()> changed) override {
        listeners.append({context, std::move(changed)});
    }
    // Tells every listener still there that something changed.
    void changed() {
        for (const auto& [context, call] : listeners)
            if (context)
                call();
    }

private:
    QList<std::pair<QPointer<QObject>, std::function<void()>>> listeners;
};

class DoneViewAlone : public ::testing::Test {
protected:
    void SetUp() override {
        view = std::make_unique<Ui::DoneView>(host, host);
        view->resize(900, 640);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    }
    template <typename T = QWidget> T* child(const char* name) {
        T* found = view->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString text(const char* name) { return child<QLabel>(name)->text(); }
    bool shown(const char* name) { return child(name)->isVisibleTo(view.get()); }
    void click(const char* name) { QTest::mouseClick(child(name), Qt::LeftButton); }

    ResultDouble host;
    std::unique_ptr<Ui::DoneView> view;
};

// Verifies that the screen needs nothing of the model but its result: it shows the result's
// values, follows their changes when told, and its buttons ask for the matching operations.
TEST_F(DoneViewAlone, showsItsResultFollowsChangesAndAsksForEachOperation) {
    EXPECT_EQ(text("doneTitle"), QStringLiteral("Sorted folder created"));
    EXPECT_EQ(text("resultName"), QStringLiteral("Session sorted"));
    EXPECT_FALSE(shown("exportNote"));
    EXPECT_FALSE(shown("putBackButton"));
    EXPECT_FALSE(shown("sendBlock"));
    EXPECT_EQ(child<Ui::DragTile>("dragTile")->view()->files(), host.files);
    EXPECT_EQ(text("resultLine"), Ui::DoneView::hint());

    QStringList revealed;
    view->setReveal([&](const QString& path) { revealed << path; });
    click("showInFinderButton");
    EXPECT_EQ(revealed, QStringList{*host.result});
    for (const char* button :
         {"sendButton", "sendGroupedButton", "sendSlowButton", "sortAnotherButton"})
        click(button);
    EXPECT_EQ(host.calls,
              (QStringList{QStringLiteral("send %1").arg(static_cast<int>(SendMode::fast)),
                           QStringLiteral("send %1").arg(static_cast<int>(SendMode::grouped)),
                           QStringLiteral("send %1").arg(static_cast<int>(SendMode::slow)),
                           QStringLiteral("reset")}));
    host.calls.clear();

    // Organized in place, with a note: put back at once while nothing was sent.
    host.inPlace = true;
    host.note = QStringLiteral("Moved 2 files.");
    host.changed();
    EXPECT_EQ(text("doneTitle"), QStringLiteral("Folder organized"));
    EXPECT_TRUE(shown("exportNote"));
    EXPECT_TRUE(shown("putBackButton"));
    click("putBackButton");
    EXPECT_EQ(host.calls, QStringList{QStringLiteral("undoOrganize")});
    host.calls.clear();

    // A send running: its block replaces the controls; Cancel and Escape cancel it.
    host.isSending = true;
    host.status = QStringLiteral("Importing DRUMS…");
    host.fraction = 0.5;
    host.changed();
    EXPECT_TRUE(shown("sendBlock"));
    EXPECT_FALSE(shown("doneControls"));
    EXPECT_EQ(text("sendStatus"), host.status);
    click("sendCancelButton");
    QTest::keyClick(view.get(), Qt::Key_Escape);
    EXPECT_EQ(host.calls,
              (QStringList{QStringLiteral("cancelSend"), QStringLiteral("cancelSend")}));
    host.calls.clear();

    // The send failed: the warning, the whole message, and put-back asks first.
    host.isSending = false;
    host.outcome = QStringLiteral("Logic Pro stopped answering.");
    host.end = SendHost::SendEnd::failed;
    host.changed();
    EXPECT_EQ(text("doneTitle"), QStringLiteral("The send to Logic didn’t finish"));
    EXPECT_TRUE(shown("sendFailure"));
    EXPECT_EQ(text("sendFailureText"), *host.outcome);
    EXPECT_FALSE(shown("afterCancel"));
    click("putBackButton");
    ASSERT_NE(view->putBackQuestion(), nullptr);
    EXPECT_TRUE(host.calls.isEmpty()) << "asks before putting back";
    view->putBackQuestion()->findChild<QAbstractButton*>(QStringLiteral("putBackConfirm"))->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(host.calls, QStringList{QStringLiteral("undoOrganize")});
}

// Verifies "Open In" on the screen's view: Ardour only when installed, beside the result; a
// DAWproject file where the user chose, nothing when the user cancelled.
TEST_F(DoneViewAlone, openInAsksItsViewForTheChosenSession) {
    auto* button = child<Ui::OpenInButton>("openInButton");
    const auto entries = [button] {
        QStringList names;
        for (QAction* a : button->menu()->actions())
            names << a->objectName();
        return names;
    };
    std::optional<QString> chosen;
    QStringList suggested;
    button->setChooseFile([&](const QString& s) {
        suggested << s;
        return chosen;
    });
    const auto trigger = [button](const char* name) {
        for (QAction* a : button->menu()->actions())
            if (a->objectName() == QLatin1String(name))
                a->trigger();
        button->menu()->hide();
    };

    click("openInButton");
    EXPECT_EQ(entries(), QStringList{QStringLiteral("saveAsDawProject")});
    trigger("saveAsDawProject");
    EXPECT_EQ(suggested, QStringList{QStringLiteral("/music/Session sorted.dawproject")});
    EXPECT_TRUE(host.calls.isEmpty()) << "cancelled: nothing made";

    host.ardour = true;
    chosen = QStringLiteral("/music/Mix.dawproject");
    click("openInButton");
    EXPECT_EQ(entries(),
              (QStringList{QStringLiteral("openInArdour"), QStringLiteral("saveAsDawProject")}));
    trigger("openInArdour");
    click("openInButton");
    trigger("saveAsDawProject");
    EXPECT_EQ(host.calls,
              (QStringList{QStringLiteral("export %1 -")
                               .arg(Sessions::targetName(Sessions::SessionTarget::ardour)),
                           QStringLiteral("export %1 /music/Mix.dawproject")
                               .arg(Sessions::targetName(Sessions::SessionTarget::dawproject))}));
}

} // namespace
} // namespace Vantrel::UiTesting
