#include "platform/sim/SimSystemSettings.h"
#include "ui/SheetFixture.h"
#include "ui/SimSettingsWindow.h"
#include "ui/Widgets.h"

#include <QDesktopServices>
#include <QLabel>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTimer>

namespace Vantrel::UiTesting {
namespace {

class WalkthroughViewTest : public SheetFixture {
protected:
    Ui::WalkthroughView* walkthrough() { return sheets().walkthroughView(); }

    Ui::WalkthroughView* openShown() {
        open();
        Ui::WalkthroughView* view = walkthrough();
        EXPECT_NE(view, nullptr);
        if (view) {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(view));
        }
        return view;
    }

    static QAbstractButton* button(Ui::WalkthroughView* view, const char* name) {
        return view->findChild<QAbstractButton*>(QString::fromLatin1(name));
    }
};

// Verifies the navigation bar of every page: Back from page 1, Skip invisible but in its place on
// the last page, Continue becoming Get Started, one dot per page, the dots in one place.
TEST_F(WalkthroughViewTest, shouldOfferTheButtonsOfEachPage) {
    Ui::WalkthroughView* view = openShown();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->size(), QSize(640, 500));
    struct Case {
        int page;
        bool back;
        bool skip;
        const char* forward;
        const char* title;
    };
    const Case cases[] = {
        {0, false, true, "Continue", "Welcome to Vantrel"},
        {1, true, true, "Continue", "It sorts by name"},
        {2, true, true, "Continue", "One permission"},
        {3, true, true, "Continue", "Before you send"},
        {4, true, false, "Get Started", "You're ready"},
    };
    QAbstractButton* skip = button(view, "skipButton");
    ASSERT_NE(skip, nullptr);
    const QRect skipPlace = skip->geometry();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        ASSERT_EQ(view->page(), c.page);
        EXPECT_EQ(child<QLabel>(view->pageWidget(), "headingTitle")->text(),
                  QString::fromUtf8(c.title));
        EXPECT_EQ(button(view, "backButton")->isVisible(), c.back);
        EXPECT_EQ(skip->isEnabled(), c.skip);
        EXPECT_TRUE(skip->isVisible()) << "Skip keeps its place";
        EXPECT_EQ(skip->geometry(), skipPlace);
        // The dots stay in the middle of the bar, whatever the buttons beside them are.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        const QWidget* dots = view->findChild<QWidget*>(QStringLiteral("pageDots"));
        ASSERT_NE(dots, nullptr);
        EXPECT_EQ(dots->geometry().center().x(), dots->parentWidget()->rect().center().x());
        const bool last = c.page == Ui::WalkthroughView::pageCount - 1;
        auto* forward = static_cast<Ui::PillButton*>(
            button(view, last ? "getStartedButton" : "continueButton"));
        ASSERT_NE(forward, nullptr);
        EXPECT_EQ(forward->title(), QString::fromUtf8(c.forward));
        EXPECT_TRUE(forward->primary());
        if (!last)
            QTest::mouseClick(forward, Qt::LeftButton);
    }
    // Back goes one page back, with the cross-fade.
    QTest::mouseClick(button(view, "backButton"), Qt::LeftButton);
    EXPECT_EQ(view->page(), 3);
    EXPECT_TRUE(view->fading());
}

// Verifies the pages' fixed contents: the sample rows and the tips.
TEST_F(WalkthroughViewTest, shouldShowTheSamplesAndTips) {
    Ui::WalkthroughView* view = openShown();
    ASSERT_NE(view, nullptr);
    view->next();
    QStringList texts;
    for (const QLabel* l : view->pageWidget()->findChildren<QLabel*>())
        texts << l->text();
    for (const char* expected :
         {"1Kick In#04.1.wav", "DRUMS_01_KICK_IN", "2Kick Out#04.1.wav", "DRUMS_02_KICK_OUT",
          "37Vox 1#03.1.wav", "VOCALS_01_VOX_1", "47Track Perc L#03.1.wav", "TRACKS_01_PERC_L",
          "65Click#03.1.wav", "UTILITY_01_CLICK"})
        EXPECT_TRUE(texts.contains(QString::fromUtf8(expected))) << expected;
    EXPECT_EQ(view->pageWidget()->findChildren<QWidget*>(QStringLiteral("sampleRow")).size(), 5);

    view->next();
    view->next();
    texts.clear();
    for (const QLabel* l : view->pageWidget()->findChildren<QLabel*>())
        texts << l->text();
    for (const char* expected :
         {"Open Logic Pro with a new, empty project.",
          "Leave the mouse and keyboard alone while it works.",
          "Logic Pro 12.4 (or 11), with English menus.", "You can put everything back."})
        EXPECT_TRUE(texts.contains(QString::fromUtf8(expected))) << expected;
}

// Verifies that Return advances and finally finishes, that Escape does nothing, and that the
// finish is remembered by the next launch.
TEST_F(WalkthroughViewTest, shouldFollowReturnIgnoreEscapeAndRememberTheFinish) {
    Ui::WalkthroughView* view = openShown();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(model->showWalkthrough());
    for (int page = 0; page < Ui::WalkthroughView::pageCount - 1; ++page) {
        QTest::keyClick(view, Qt::Key_Escape);
        EXPECT_EQ(view->page(), page);
        EXPECT_TRUE(view->isVisible());
        QTest::keyClick(view, Qt::Key_Return);
        EXPECT_EQ(view->page(), page + 1);
    }
    view->close(); // the window's close button
    EXPECT_TRUE(view->isVisible());
    EXPECT_FALSE(Settings::walkthroughDone());

    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_FALSE(model->showWalkthrough());
    EXPECT_TRUE(Settings::walkthroughDone());
    EXPECT_TRUE(QTest::qWaitFor([this] { return walkthrough() == nullptr; }));

    close();
    open();
    EXPECT_FALSE(model->showWalkthrough());
    QTest::qWait(50);
    EXPECT_EQ(walkthrough(), nullptr);
}

// Verifies that Skip records the finish too, and that the Help menu opens the walkthrough again
// at its first page.
TEST_F(WalkthroughViewTest, shouldSkipAndOpenAgainFromTheHelpMenu) {
    Ui::WalkthroughView* view = openShown();
    ASSERT_NE(view, nullptr);
    view->next();
    view->next();
    QTest::mouseClick(button(view, "skipButton"), Qt::LeftButton);
    EXPECT_TRUE(Settings::walkthroughDone());
    EXPECT_FALSE(model->showWalkthrough());
    EXPECT_TRUE(QTest::qWaitFor([this] { return walkthrough() == nullptr; }));

    QAction* help = nullptr;
    for (QAction* a : window->menuBar()->findChildren<QAction*>())
        if (a->text() == QStringLiteral("Vantrel Walkthrough"))
            help = a;
    ASSERT_NE(help, nullptr);
    help->trigger();
    ASSERT_NE(walkthrough(), nullptr);
    EXPECT_EQ(walkthrough()->page(), 0);
}

// Receives the addresses the walkthrough asks the system to open.
class UrlCatcher : public QObject {
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls.append(url); }
};

class PermissionTest : public WalkthroughViewTest {
protected:
    void SetUp() override {
        WalkthroughViewTest::SetUp();
        ASSERT_TRUE(systemDir.isValid());
        system = std::make_unique<SimSystemSettings>(systemDir.filePath("system-settings.json"));
        sim = std::make_unique<SimPlatform>(*system);
        settingsWindow = std::make_unique<Ui::SimSettingsWindow>(*system);
        QDesktopServices::setUrlHandler(QStringLiteral("x-apple.systempreferences"), &catcher,
                                        "open");
    }

    void TearDown() override {
        QDesktopServices::unsetUrlHandler(QStringLiteral("x-apple.systempreferences"));
        WalkthroughViewTest::TearDown();
        settingsWindow.reset();
        sim.reset(); // it watches the system's settings, which go first
    }

    QString status(Ui::WalkthroughView* view) {
        return child<QLabel>(view->pageWidget(), "permissionStatus")->text();
    }
    QString icon(Ui::WalkthroughView* view) {
        return child<Ui::SymbolView>(view->pageWidget(), "permissionIcon")->symbol();
    }
    bool settingsPrimary(Ui::WalkthroughView* view) {
        return child<Ui::PillButton>(view->pageWidget(), "openSettingsButton")->primary();
    }

    QTemporaryDir systemDir;
    std::unique_ptr<SimSystemSettings> system;
    std::unique_ptr<Ui::SimSettingsWindow> settingsWindow;
    UrlCatcher catcher;
};

// Verifies that the permission page follows the simulated switch by its one-second poll, on and
// off, without any action in the walkthrough.
TEST_F(PermissionTest, shouldFollowTheSwitchInSystemSettings) {
    Ui::WalkthroughView* view = openShown();
    ASSERT_NE(view, nullptr);
    view->next();
    view->next();
    ASSERT_EQ(view->page(), 2);
    EXPECT_EQ(status(view), QStringLiteral("Not yet allowed"));
    EXPECT_EQ(icon(view), QStringLiteral("hand.raised"));
    EXPECT_TRUE(settingsPrimary(view));
    EXPECT_EQ(view->ticker()->interval(), 1000);
    EXPECT_TRUE(view->ticker()->isActive());

    Ui::ToggleSwitch* toggle = settingsWindow->accessibilitySwitch(QStringLiteral("Vantrel"));
    ASSERT_NE(toggle, nullptr);
    QTest::mouseClick(toggle, Qt::LeftButton);
    EXPECT_TRUE(model->platform().accessibility().isTrusted());
    EXPECT_EQ(status(view), QStringLiteral("Not yet allowed")) << "seen at the next tick only";
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->trusted(); }, 5000));
    EXPECT_EQ(status(view), QStringLiteral("Allowed"));
    EXPECT_EQ(icon(view), QStringLiteral("checkmark.shield.fill"));
    EXPECT_FALSE(settingsPrimary(view));

    QTest::mouseClick(toggle, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->trusted(); }, 5000));
    EXPECT_EQ(status(view), QStringLiteral("Not yet allowed"));
    EXPECT_EQ(icon(view), QStringLiteral("hand.raised"));
    EXPECT_TRUE(settingsPrimary(view));
}

// Verifies that "Open System Settings" asks for the permission and opens the Accessibility page.
TEST_F(PermissionTest, shouldAskAndOpenTheAccessibilitySettings) {
    Ui::WalkthroughView* view = openShown();
    ASSERT_NE(view, nullptr);
    view->next();
    view->next();
    const int prompts = sim->logic().trustPrompts();
    QTest::mouseClick(child<QAbstractButton>(view->pageWidget(), "openSettingsButton"),
                      Qt::LeftButton);
    EXPECT_EQ(sim->logic().trustPrompts(), prompts + 1);
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls[0], Ui::WalkthroughView::accessibilitySettingsUrl());
}

// Verifies that when the answer stays "not allowed" for ten polls after System Settings was
// opened (macOS can keep it until the program restarts), the page says to quit and reopen.
TEST_F(PermissionTest, shouldSayToRestartWhenThePermissionIsNotSeen) {
    Ui::WalkthroughView* view = openShown();
    ASSERT_NE(view, nullptr);
    view->next();
    view->next();
    view->ticker()->setInterval(1);
    QTest::qWait(30);
    EXPECT_EQ(status(view), QStringLiteral("Not yet allowed")) << "no hint before the settings";
    QTest::mouseClick(child<QAbstractButton>(view->pageWidget(), "openSettingsButton"),
                      Qt::LeftButton);
    const QString hint = QStringLiteral(
        "Not yet allowed. If Vantrel is switched on, quit Vantrel and open it again.");
    ASSERT_TRUE(QTest::qWaitFor([&] { return status(view) == hint; }, 5000));
    QTest::mouseClick(settingsWindow->accessibilitySwitch(QStringLiteral("Vantrel")),
                      Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->trusted(); }, 5000));
    EXPECT_EQ(status(view), QStringLiteral("Allowed"));
}

// Verifies that a first start of the app's world has no permission and that a send then fails
// with the permission message.
TEST_F(PermissionTest, shouldRefuseASendWithoutThePermission) {
    open();
    EXPECT_FALSE(model->platform().accessibility().isTrusted());
    loadAndWait(*model, makeFolder(QStringLiteral("Session"), {"1Kick.wav"}));
    model->approval().setOrganizeInPlace(false);
    approveAndWait(*model);
    model->send().sendToLogic(SendMode::fast);
    EXPECT_EQ(model->errorMessage(),
              QStringLiteral("Allow Vantrel in System Settings > Privacy & Security > "
                             "Accessibility, then try again."));
    EXPECT_FALSE(model->send().sending());
}

} // namespace
} // namespace Vantrel::UiTesting

#include "WalkthroughViewTest.moc"
