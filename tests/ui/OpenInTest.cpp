// The done screen's "Open In" in the window: its menu, the DAWproject file saved where the user
// chose, the Ardour session made by the real session tool and handed to Ardour, and every
// outcome told in the alert.

#include "app/AppModelFixture.h"
#include "sessions/SessionFixtures.h"
#include "ui/DoneView.h"
#include "ui/MainWindow.h"
#include "ui/OpenInButton.h"
#include "ui/Theme.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>

namespace Vantrel::UiTesting {
namespace {

using namespace AppTesting;

class OpenInTest : public AppModelFixture {
protected:
    void SetUp() override {
        AppModelFixture::SetUp();
        QApplication::setPalette(Ui::lightPalette());
        Fixtures::writeResultFolder(result, {{"01_DRUMS", "01_KICK.wav"},
                                             {"01_DRUMS", "02_SNARE.wav", 2},
                                             {"99_OTHER", "ROOM.wav"}});
    }
    void TearDown() override {
        finishWork();
        window.reset();
        model.reset();
        AppModelFixture::TearDown();
    }

    // The window on the result folder's done screen; Ardour is found when ardour is set, and
    // opening a session in it is recorded.
    void open(std::optional<Sessions::ArdourTool> ardour) {
        AppModel::Services s = services();
        s.findArdour = [ardour] { return ardour; };
        s.openInArdour = [this](const Sessions::ArdourTool&, const QString& file) {
            opened << file;
            return true;
        };
        model = std::make_unique<AppModel>(s);
        window = std::make_unique<Ui::MainWindow>(*model);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        model->review().load(result);
        ASSERT_TRUE(waitUntilIdle(*model));
        ASSERT_EQ(model->approval().resultURL(), result);
        QCoreApplication::processEvents();
        button = window->findChild<Ui::OpenInButton*>(QStringLiteral("openInButton"));
        ASSERT_NE(button, nullptr);
    }

    // The menu's entries as shown after a click on "Open In", the highlighted one in brackets.
    QStringList menuEntries() {
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_TRUE(button->menu()->isVisible());
        QStringList entries;
        for (QAction* a : button->menu()->actions())
            entries << (a == button->menu()->activeAction() ? "[" + a->text() + "]" : a->text());
        button->menu()->hide();
        return entries;
    }

    // Opens the menu and chooses the entry of that object name, then waits until the work ends.
    void choose(const char* entry) {
        QTest::mouseClick(button, Qt::LeftButton);
        QAction* action = button->menu()->findChild<QAction*>(QString::fromLatin1(entry));
        ASSERT_NE(action, nullptr) << entry;
        button->menu()->hide();
        action->trigger();
        ASSERT_TRUE(waitUntilIdle(*model));
        QCoreApplication::processEvents();
    }

    QString result = root.filePath(QStringLiteral("Show SORTED"));
    std::unique_ptr<AppModel> model;
    std::unique_ptr<Ui::MainWindow> window;
    Ui::OpenInButton* button = nullptr;
    QStringList opened;
};

// Verifies the button beside the sends, reachable by keyboard and named for a screen reader, and
// its menu: "Ardour" only when Ardour is installed, "Save as DAWproject…" always, the first entry
// highlighted so that the keyboard and a screen reader are in the menu at once.
TEST_F(OpenInTest, shouldOfferArdourOnlyWhenInstalled) {
    open(Sessions::ArdourTool{QStringLiteral("/usr/bin/ardour7-lua"), 7, std::nullopt});
    EXPECT_EQ(button->title(), QStringLiteral("Open In"));
    EXPECT_EQ(button->text(), QStringLiteral("Open In"));
    EXPECT_NE(button->focusPolicy() & Qt::TabFocus, 0);
    EXPECT_TRUE(button->isVisibleTo(window.get()));
    EXPECT_EQ(menuEntries(), (QStringList{"[Ardour]", "Save as DAWproject…"}));

    window.reset();
    model.reset();
    open(std::nullopt);
    EXPECT_EQ(menuEntries(), QStringList{"[Save as DAWproject…]"});
}

// Verifies the keyboard's way: Space on the focused button opens the menu with its first entry
// highlighted, the arrow moves to the next, Return takes it.
TEST_F(OpenInTest, shouldBeUsableByKeyboard) {
    open(Sessions::ArdourTool{QStringLiteral("/usr/bin/ardour7-lua"), 7, std::nullopt});
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get(), 2000));
    button->setFocus(Qt::TabFocusReason);
    int asked = 0;
    button->setChooseFile([&asked](const QString&) {
        ++asked;
        return std::optional<QString>();
    });
    QTest::keyClick(button, Qt::Key_Space);
    ASSERT_TRUE(QTest::qWaitFor([this] { return button->menu()->isVisible(); }, 2000));
    ASSERT_NE(button->menu()->activeAction(), nullptr);
    EXPECT_EQ(button->menu()->activeAction()->text(), QStringLiteral("Ardour"));
    QTest::keyClick(button->menu(), Qt::Key_Down);
    EXPECT_EQ(button->menu()->activeAction()->text(), QStringLiteral("Save as DAWproject…"));
    QTest::keyClick(button->menu(), Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&asked] { return asked == 1; }, 2000));
    EXPECT_FALSE(button->menu()->isVisible());
}

// Verifies "Save as DAWproject…": the dialog suggests the file beside the result folder, the
// busy screen covers the work, the file is made where the user chose and the alert says so; a
// cancelled dialog does nothing; a name already taken is refused in the alert and the file kept.
TEST_F(OpenInTest, shouldSaveTheDawProjectWhereTheUserChose) {
    open(std::nullopt);
    QStringList suggested;
    std::optional<QString> answer;
    button->setChooseFile([&](const QString& s) {
        suggested << s;
        return answer;
    });
    choose("saveAsDawProject");
    EXPECT_EQ(suggested, QStringList{root.filePath(QStringLiteral("Show SORTED.dawproject"))});
    EXPECT_EQ(model->errorMessage(), std::nullopt);

    answer = root.filePath(QStringLiteral("Mix"));
    QStringList titles;
    QObject::connect(&model->busyState(), &BusyState::busyChanged, model.get(), [&] {
        if (model->busyState().busy())
            titles << model->busyState().title();
    });
    choose("saveAsDawProject");
    EXPECT_EQ(titles, QStringList{"Saving the DAWproject file"});
    EXPECT_EQ(model->errorMessage(), QStringLiteral("Saved “Mix.dawproject” with 3 tracks."));
    const QByteArray bytes = Fixtures::readFile(root.filePath(QStringLiteral("Mix.dawproject")));
    EXPECT_TRUE(bytes.startsWith("PK"));

    model->setErrorMessage(std::nullopt);
    choose("saveAsDawProject");
    EXPECT_EQ(model->errorMessage(),
              QStringLiteral("Couldn't save the DAWproject file: There is already something named "
                             "“Mix.dawproject” in “%1”, so the DAWproject file was not made; "
                             "nothing was overwritten.")
                  .arg(root.path()));
    EXPECT_EQ(Fixtures::readFile(root.filePath(QStringLiteral("Mix.dawproject"))), bytes);
}

// Verifies "Ardour" with the real session tool: the session made beside the result folder
// behind the busy screen, handed to Ardour, and the alert that says so; a second time the
// session's name is taken and the alert says why nothing was made. Without the tool the model
// says Ardour is missing.
TEST_F(OpenInTest, shouldMakeTheArdourSessionAndOpenIt) {
    const std::optional<Sessions::ArdourTool> tool = Sessions::findArdour();
    VANTREL_NEED(tool, "Ardour's session tool (ardour7-lua or later)");
    open(tool);
    QStringList titles;
    QObject::connect(&model->busyState(), &BusyState::busyChanged, model.get(), [&] {
        if (model->busyState().busy())
            titles << model->busyState().title();
    });
    choose("openInArdour");
    EXPECT_EQ(titles, QStringList{"Making the Ardour session"});
    const QString session = root.filePath(QStringLiteral("Show SORTED Ardour"));
    EXPECT_EQ(model->errorMessage(),
              QStringLiteral("Made the Ardour session “Show SORTED Ardour” with 3 tracks and "
                             "opened it in Ardour."));
    EXPECT_EQ(opened, QStringList{session + QStringLiteral("/Show SORTED Ardour.ardour")});
    EXPECT_TRUE(QFileInfo(opened.value(0)).isFile());

    model->setErrorMessage(std::nullopt);
    choose("openInArdour");
    EXPECT_TRUE(model->errorMessage().value_or(QString()).startsWith(
        QStringLiteral("Couldn't make the Ardour session: There is "
                       "already something named “Show SORTED Ardour”")))
        << model->errorMessage().value_or(QString()).toStdString();
    EXPECT_EQ(opened.size(), 1);

    window.reset();
    model.reset();
    open(std::nullopt);
    model->approval().exportSession(Sessions::SessionTarget::ardour);
    EXPECT_FALSE(model->busyState().busy());
    EXPECT_EQ(
        model->errorMessage(),
        QStringLiteral("Couldn't make the Ardour session: %1").arg(Sessions::ardourMissing()));
}

// Verifies the busy screen's Cancel while the session tool works: the work stops, no alert is
// shown and nothing is left beside the result folder.
TEST_F(OpenInTest, shouldLeaveNothingWhenCancelled) {
    const std::optional<Sessions::ArdourTool> tool = Sessions::findArdour();
    VANTREL_NEED(tool, "Ardour's session tool (ardour7-lua or later)");
    open(tool);
    const auto before = Fixtures::snapshot(root.path());
    model->approval().exportSession(Sessions::SessionTarget::ardour);
    ASSERT_TRUE(model->busyState().busy());
    EXPECT_TRUE(model->busyState().cancellable());
    QTest::qWait(300);
    model->approval().cancel();
    ASSERT_TRUE(waitUntilIdle(*model));
    QCoreApplication::processEvents();
    EXPECT_EQ(model->errorMessage(), std::nullopt);
    EXPECT_TRUE(opened.isEmpty());
    finishWork();
    EXPECT_EQ(Fixtures::snapshot(root.path()), before);
}

} // namespace
} // namespace Vantrel::UiTesting
