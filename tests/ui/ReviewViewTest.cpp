#include "ui/ReviewView.h"

#include "app/ScreenModels.h"
#include "core/Palette.h"
#include "ui/UiFixture.h"
#include "ui/Widgets.h"

#include <QAccessible>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QScopeGuard>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTimer>

#include <algorithm>
#include <fcntl.h>
#include <unistd.h>

namespace Vantrel::UiTesting {
namespace {

class ReviewViewTest : public UiFixture {
protected:
    // Clicks "Choose Where…" and chooses folder in the folder dialog it opens.
    void chooseCopyDestination(const QString& folder) {
        QTimer::singleShot(0, window.get(), [folder] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* dialog = qobject_cast<QFileDialog*>(w);
                    dialog && dialog->objectName() == QStringLiteral("chooseFolderDialog")) {
                    dialog->setDirectory(folder);
                    dialog->selectFile(folder);
                    static_cast<QDialog*>(dialog)->accept(); // QFileDialog::accept
                }
        });
        QTest::mouseClick(child("copyDestinationButton"), Qt::LeftButton);
    }

    Ui::ReviewList* list() { return content().reviewView()->list(); }

    int rowOf(const QString& fileName) {
        QAbstractItemModel* m = list()->model();
        for (int row = 0; row < m->rowCount(); ++row)
            if (m->index(row, 0).data().toString() == fileName)
                return row;
        return -1;
    }

    QStringList shownFileNames() {
        QStringList names;
        QAbstractItemModel* m = list()->model();
        for (int row = 0; row < m->rowCount(); ++row)
            names << m->index(row, 0).data().toString();
        return names;
    }

    // Opens a row's group pop-up with a click and chooses title in its menu.
    void chooseGroup(int row, const QString& title) {
        const QModelIndex index = list()->model()->index(row, 0);
        list()->scrollTo(index);
        const QPointF popup = Ui::RowDelegate::geometry(list()->visualRect(index)).popup.center();
        QStringList offered;
        const auto connection = QObject::connect(
            list(), &Ui::ReviewList::groupMenuShown, list(), [&offered, title](QMenu* menu) {
                QTimer::singleShot(0, menu, [menu, title] {
                    for (QAction* a : menu->actions())
                        if (a->text() == title)
                            a->trigger();
                    menu->close();
                });
                for (QAction* a : menu->actions())
                    offered << (a->isSeparator() ? QStringLiteral("—") : a->text());
            });
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, popup.toPoint());
        QObject::disconnect(connection);
        lastOffered = offered;
    }

    // The colour of a row's dot as drawn.
    QColor dotColour(int row) {
        const QModelIndex index = list()->model()->index(row, 0);
        list()->scrollTo(index);
        QCoreApplication::processEvents();
        const QRectF dot = Ui::RowDelegate::geometry(list()->visualRect(index)).dot;
        return pixel(list()->viewport(), dot.center());
    }

    QStringList lastOffered;
};

TEST_F(ReviewViewTest, theCountsOfTheExampleSessionCarryTheirSymbolsAndColours) {
    loadShown(makeFolder("Session 1", exampleSession()));
    EXPECT_EQ(content().currentScreen(), static_cast<QWidget*>(child<QWidget>("reviewView")));
    EXPECT_EQ(text("folderName"), QStringLiteral("Session 1"));
    EXPECT_EQ(text("trackCount"), QStringLiteral("24 tracks"));
    EXPECT_EQ(text("sortStatus"), QStringLiteral("3 need a group"));
    EXPECT_EQ(child<Ui::SymbolView>("statusSymbol")->symbol(),
              QStringLiteral("exclamationmark.triangle.fill"));
    EXPECT_EQ(child<QLabel>("sortStatus")->palette().color(QPalette::WindowText),
              Ui::Brismo::warn.color());
    EXPECT_TRUE(child<QLabel>("skippedCount")->isVisible());
    EXPECT_EQ(text("skippedCount"), QStringLiteral("2 non-audio files ignored"));
    EXPECT_EQ(list()->model()->rowCount(), 24);
}

TEST_F(ReviewViewTest, aSessionWithEveryTrackInAGroupReadsAllSortedWithoutSkippedFiles) {
    loadShown(makeFolder("Clean", {"1Kick.wav", "2Snare.wav", "3Bass.wav", "4Vox.wav"}));
    EXPECT_EQ(text("trackCount"), QStringLiteral("4 tracks"));
    EXPECT_EQ(text("sortStatus"), QStringLiteral("All sorted"));
    EXPECT_EQ(child<Ui::SymbolView>("statusSymbol")->symbol(),
              QStringLiteral("checkmark.circle.fill"));
    EXPECT_EQ(child<QLabel>("sortStatus")->palette().color(QPalette::WindowText),
              Ui::Brismo::leaf.color());
    EXPECT_FALSE(child<QLabel>("skippedCount")->isVisible());
}

TEST_F(ReviewViewTest, choosingUnsortedInARowMovesItToTheEndAndRaisesTheCount) {
    loadShown(makeFolder("Session 1", exampleSession()));
    const int row = rowOf(QStringLiteral("1Kick In#01.wav"));
    ASSERT_EQ(row, 0);
    chooseGroup(row, QStringLiteral("Unsorted"));
    EXPECT_EQ(lastOffered, (QStringList{"Unsorted", "—", "DRUMS", "BASS", "VOCALS"}));
    EXPECT_EQ(text("sortStatus"), QStringLiteral("4 need a group"));
    // Unsorted tracks come last, among themselves by new name: the four last rows.
    EXPECT_GE(rowOf(QStringLiteral("1Kick In#01.wav")), 20);
    EXPECT_EQ(shownFileNames(), fileNames(model->review().displayed()));
    // And into a group again, from the end of the list.
    chooseGroup(rowOf(QStringLiteral("1Kick In#01.wav")), QStringLiteral("BASS"));
    EXPECT_EQ(text("sortStatus"), QStringLiteral("3 need a group"));
    const QModelIndex moved = list()->model()->index(rowOf(QStringLiteral("1Kick In#01.wav")), 0);
    EXPECT_EQ(moved.data(Ui::ReviewModel::GroupRole).toString(), QStringLiteral("BASS"));
}

TEST_F(ReviewViewTest, ctrlZUndoesAGroupChangeAndCtrlShiftZRedoesItThroughTheEditMenu) {
    loadShown(makeFolder("Session 1", exampleSession()));
    auto* undo = child<QAction>("undoAction");
    auto* redo = child<QAction>("redoAction");
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
    chooseGroup(rowOf(QStringLiteral("1Kick In#01.wav")), QStringLiteral("Unsorted"));
    ASSERT_EQ(text("sortStatus"), QStringLiteral("4 need a group"));
    EXPECT_TRUE(undo->isEnabled());

    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get(), 2000));
    QTest::keyClick(list(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(text("sortStatus"), QStringLiteral("3 need a group"));
    EXPECT_EQ(rowOf(QStringLiteral("1Kick In#01.wav")), 0);
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_TRUE(redo->isEnabled());

    QTest::keyClick(list(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(text("sortStatus"), QStringLiteral("4 need a group"));
    EXPECT_FALSE(redo->isEnabled());

    // While busy nothing is undone.
    model->approval().approve();
    EXPECT_FALSE(undo->isEnabled());
}

TEST_F(ReviewViewTest, aFolderHandedOverWhileTheReviewHasChangesIsOpenedOnlyWhenTheUserSaysSo) {
    const QString second = makeFolder("Session 2", {"1Bass.wav"});
    loadShown(makeFolder("Session 1", exampleSession()));

    // No changes: read at once.
    window->openHandedOver({second});
    ASSERT_TRUE(waitUntilIdle(*model));
    EXPECT_EQ(model->review().folder(), second);
    EXPECT_EQ(window->handOverQuestion(), nullptr);

    loadShown(makeFolder("Session 1", exampleSession()));
    chooseGroup(rowOf(QStringLiteral("22Glock.wav")), QStringLiteral("BASS"));
    const QList<Item> changed = model->review().items();
    window->openHandedOver({second});
    QMessageBox* question = window->handOverQuestion();
    ASSERT_NE(question, nullptr);
    EXPECT_TRUE(question->isVisible());
    EXPECT_EQ(question->text(), QStringLiteral("Open “Session 2”? The group changes you made to "
                                               "“Session 1” will be lost."));
    QTest::keyClick(question, Qt::Key_Escape); // Keep Reviewing
    QCoreApplication::processEvents();
    EXPECT_FALSE(model->busyState().busy());
    EXPECT_EQ(model->review().items(), changed);
    EXPECT_EQ(window->handOverQuestion(), nullptr);

    window->openHandedOver({second});
    question = window->handOverQuestion();
    ASSERT_NE(question, nullptr);
    question->findChild<QAbstractButton*>(QStringLiteral("handOverOpen"))->click();
    ASSERT_TRUE(waitUntilIdle(*model));
    EXPECT_EQ(model->review().folder(), second);
}

// A folder made read-only by a read-only bind mount over it (root only), undone at the end.
class ReadOnlyMount {
public:
    explicit ReadOnlyMount(const QString& folder) : folder_(folder) {
        if (::geteuid() != 0)
            return;
        mounted_ = QProcess::execute(QStringLiteral("mount"), {"--bind", folder, folder}) == 0;
        if (mounted_ &&
            QProcess::execute(QStringLiteral("mount"), {"-o", "remount,ro,bind", folder}) != 0) {
            QProcess::execute(QStringLiteral("umount"), {folder});
            mounted_ = false;
        }
    }
    ~ReadOnlyMount() {
        if (mounted_)
            QProcess::execute(QStringLiteral("umount"), {folder_});
    }
    bool mounted() const { return mounted_; }

private:
    QString folder_;
    bool mounted_ = false;
};

TEST_F(ReviewViewTest, aReadOnlyFolderSaysSoBeforeApprovalAndOffersOnlyWhatCanWork) {
    // The folder itself read-only: organizing in place cannot work, the copy beside it can.
    const QString folder = makeFolder("Archive/Gig", {"1Kick.wav", "2Vox.wav"});
    {
        ReadOnlyMount readOnly(folder);
        if (!readOnly.mounted())
            GTEST_SKIP() << "a read-only bind mount needs root";
        model->approval().setOrganizeInPlace(true);
        loadShown(folder);
        EXPECT_FALSE(child<Ui::PillButton>("approveButton")->isEnabled());
        EXPECT_EQ(text("explanation"),
                  QStringLiteral("“Gig” is read-only, so Vantrel can't organize it in place. "
                                 "Choose “Make a sorted copy” to leave it as it is."));
        model->approval().approve(); // refused, not started
        EXPECT_FALSE(model->busyState().busy());
        QTest::mouseClick(child("copySegment"), Qt::LeftButton);
        EXPECT_TRUE(child<Ui::PillButton>("approveButton")->isEnabled());
        EXPECT_TRUE(text("explanation").startsWith(QStringLiteral("A new “SORTED” folder")));
        model->approval().reset();
    }
    // The folder that holds it read-only as well: no copy beside it either.
    ReadOnlyMount readOnly(root.filePath(QStringLiteral("Archive")));
    ASSERT_TRUE(readOnly.mounted());
    loadShown(folder);
    EXPECT_FALSE(child<Ui::PillButton>("approveButton")->isEnabled());
    EXPECT_EQ(text("explanation"),
              QStringLiteral("The folder that holds “Gig” is read-only, so the sorted copy can't "
                             "be made next to it. Choose where the sorted copy goes."));
    // A folder of the user's choosing is the way out.
    const QString elsewhere = makeFolder("Elsewhere", {});
    chooseCopyDestination(elsewhere);
    EXPECT_TRUE(child<Ui::PillButton>("approveButton")->isEnabled());
    model->approval().approve();
    ASSERT_TRUE(waitUntilIdle(*model));
    EXPECT_EQ(model->approval().resultURL(), elsewhere + QStringLiteral("/Gig SORTED"));
    model->approval().reset();
}

TEST_F(ReviewViewTest, theSortedCopyGoesWhereTheUserChooses) {
    const QString folder = makeFolder("Gig", {"1Kick.wav", "2Vox.wav"});
    model->approval().setOrganizeInPlace(true);
    loadShown(folder);
    // Organizing in place has no destination to choose.
    EXPECT_FALSE(child("copyDestinationButton")->isVisible());
    QTest::mouseClick(child("copySegment"), Qt::LeftButton);
    ASSERT_TRUE(child("copyDestinationButton")->isVisible());

    // Inside the folder itself it cannot go.
    chooseCopyDestination(folder);
    EXPECT_FALSE(child<Ui::PillButton>("approveButton")->isEnabled());
    EXPECT_EQ(text("explanation"), QStringLiteral("The sorted copy can't go inside “Gig” itself. "
                                                  "Choose another folder for it."));

    const QString elsewhere = makeFolder("Mixes", {});
    chooseCopyDestination(elsewhere);
    EXPECT_EQ(model->approval().copyDestination(), elsewhere);
    EXPECT_EQ(text("explanation"), QStringLiteral("A new “SORTED” folder is made in “Mixes” and "
                                                  "your originals are not touched."));
    // Chosen, then gone: said before the approval, not at its end.
    ASSERT_TRUE(QDir(elsewhere).removeRecursively());
    model->approval().setOrganizeInPlace(true);
    model->approval().setOrganizeInPlace(false);
    EXPECT_FALSE(child<Ui::PillButton>("approveButton")->isEnabled());
    EXPECT_EQ(text("explanation"), QStringLiteral("The folder “Mixes” chosen for the sorted copy "
                                                  "is gone. Choose another folder for it."));
    ASSERT_TRUE(QDir().mkpath(elsewhere));
    chooseCopyDestination(elsewhere);
    QTest::mouseClick(child<Ui::PillButton>("approveButton"), Qt::LeftButton);
    ASSERT_TRUE(waitUntilIdle(*model));
    EXPECT_EQ(model->approval().resultURL(), elsewhere + QStringLiteral("/Gig SORTED"));
    EXPECT_FALSE(QFileInfo::exists(root.filePath(QStringLiteral("Gig SORTED"))));

    // Another folder starts again with the copy beside it.
    model->approval().reset();
    loadShown(makeFolder("Gig 2", {"1Kick.wav"}));
    EXPECT_EQ(model->approval().copyDestination(), std::nullopt);
    EXPECT_TRUE(
        text("explanation").startsWith(QStringLiteral("A new “SORTED” folder is made next")));
}

TEST_F(ReviewViewTest, tabbingInShowsACurrentRowThatStaysCurrentAndInViewAfterAGroupChange) {
    loadShown(makeFolder("Session 1", exampleSession()));
    list()->setCurrentIndex({});
    list()->clearFocus();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get(), 2000));
    // Tab moves through the window's controls until the list has the keyboard.
    for (int i = 0; i < 20 && !list()->hasFocus(); ++i)
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : window.get(),
                        Qt::Key_Tab);
    ASSERT_TRUE(list()->hasFocus());
    EXPECT_EQ(list()->currentIndex().row(), 0);

    // The first kick made unsorted goes to the end of the list: it stays current, in view.
    const int row = rowOf(QStringLiteral("1Kick In#01.wav"));
    list()->setCurrentIndex(list()->model()->index(row, 0));
    chooseGroup(row, QStringLiteral("Unsorted"));
    const int moved = rowOf(QStringLiteral("1Kick In#01.wav"));
    ASSERT_GE(moved, 20);
    EXPECT_EQ(list()->currentIndex().row(), moved);
    QCoreApplication::processEvents();
    EXPECT_TRUE(
        list()->viewport()->rect().contains(list()->visualRect(list()->model()->index(moved, 0))));
}

TEST_F(ReviewViewTest, theListScrollsWithAThinThemeColouredBarWithoutArrows) {
    loadShown(makeFolder("Session 1", exampleSession()));
    QScrollBar* bar = list()->verticalScrollBar();
    ASSERT_TRUE(bar->isVisible());
    EXPECT_LE(bar->width(), 10);
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = Qt::Vertical;
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.pageStep = bar->pageStep();
    for (const auto arrow : {QStyle::SC_ScrollBarAddLine, QStyle::SC_ScrollBarSubLine})
        EXPECT_TRUE(
            bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, arrow, bar).isEmpty());
    // The handle in the theme's line colour, in each appearance.
    for (const bool dark : {false, true}) {
        QApplication::setPalette(dark ? Ui::darkPalette() : Ui::lightPalette());
        QCoreApplication::processEvents();
        const QRect handle = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option,
                                                          QStyle::SC_ScrollBarSlider, bar);
        EXPECT_EQ(pixel(bar, handle.center()).rgb(), Ui::Brismo::line.resolve(dark).rgb())
            << (dark ? "dark" : "light");
    }
    QApplication::setPalette(Ui::lightPalette());
}

TEST_F(ReviewViewTest, theChosenSegmentIsRaisedAboveThePickerInBothAppearances) {
    loadShown(makeFolder("Session 1", exampleSession()));
    QWidget* chosen = child("organizeSegment");
    QWidget* other = child("copySegment");
    model->approval().setOrganizeInPlace(true);
    for (const bool dark : {false, true}) {
        SCOPED_TRACE(dark ? "dark" : "light");
        QApplication::setPalette(dark ? Ui::darkPalette() : Ui::lightPalette());
        QCoreApplication::processEvents();
        // Inside each segment, left of its text.
        const QColor raised = pixel(chosen, QPointF(8, chosen->height() / 2.0));
        const QColor flat = pixel(other, QPointF(8, other->height() / 2.0));
        EXPECT_GT(raised.lightnessF(), flat.lightnessF())
            << raised.name().toStdString() << " vs " << flat.name().toStdString();
    }
    QApplication::setPalette(Ui::lightPalette());
}

TEST_F(ReviewViewTest, spaceOnTheCurrentRowOpensItsGroupMenuForTheKeyboard) {
    loadShown(makeFolder("Session 1", exampleSession()));
    const int row = rowOf(QStringLiteral("22Glock.wav"));
    list()->setCurrentIndex(list()->model()->index(row, 0));
    const auto connection =
        QObject::connect(list(), &Ui::ReviewList::groupMenuShown, list(), [](QMenu* menu) {
            QTimer::singleShot(0, menu, [menu] {
                menu->actions().last()->trigger();
                menu->close();
            });
        });
    QTest::keyClick(list(), Qt::Key_Space);
    QObject::disconnect(connection);
    EXPECT_EQ(text("sortStatus"), QStringLiteral("2 need a group"));
    const Item glock = model->review().displayed()[rowOf(QStringLiteral("22Glock.wav"))];
    EXPECT_EQ(glock.group, QStringLiteral("VOCALS"));
}

TEST_F(ReviewViewTest, rowColoursFollowTheRulePositionRepeatAfterElevenAndMuteUnknownGroups) {
    Config cfg = rules();
    for (int i = 4; i <= 13; ++i)
        cfg.groups.append(group(QStringLiteral("G%1").arg(i).toUtf8().constData(),
                                {QStringLiteral("WORD%1").arg(i)}));
    cfg.groups.last().color = QList<int>{9, 1}; // G13: a Logic colour chosen in the rules
    cfg.save();
    close();
    open();
    loadShown(makeFolder("Many", {"1Kick.wav", "2Bass.wav", "3Word11.wav", "4Word12.wav",
                                  "5Glock.wav", "6Vox.wav", "7Word13.wav"}));
    const struct {
        const char* file;
        Ui::DynamicColor colour;
    } cases[] = {
        {"1Kick.wav", Ui::Brismo::groupColors[0]},    // DRUMS, position 0
        {"2Bass.wav", Ui::Brismo::groupColors[1]},    // BASS, position 1
        {"3Word11.wav", Ui::Brismo::groupColors[10]}, // G11, the eleventh group
        {"4Word12.wav", Ui::Brismo::groupColors[0]},  // G12, the twelfth: the first colour again
        {"5Glock.wav", Ui::Brismo::muted},            // no group
    };
    for (const auto& c : cases)
        EXPECT_EQ(dotColour(rowOf(c.file)).rgb(), c.colour.color().rgb()) << c.file;
    // A chosen colour wins over the position's.
    EXPECT_EQ(dotColour(rowOf("7Word13.wav")).rgb(),
              Ui::opaqueColor(LogicPalette::hex()[1][9]).rgb());
    EXPECT_NE(dotColour(rowOf("7Word13.wav")).rgb(), Ui::Brismo::groupColors[1].color().rgb());
    // A group that is not among the rules shows the muted dot.
    const Item vox = model->review().displayed()[rowOf("6Vox.wav")];
    model->review().setGroup(vox.id, QStringLiteral("OLD"));
    QCoreApplication::processEvents();
    EXPECT_EQ(dotColour(rowOf("6Vox.wav")).rgb(), Ui::Brismo::muted.color().rgb());
}

TEST_F(ReviewViewTest, theModePickerSetsTitleAndExplanationAndIsRememberedAfterARestart) {
    loadShown(makeFolder("Take 3", exampleSession()));
    auto* approve = child<Ui::PillButton>("approveButton");
    EXPECT_EQ(approve->title(), QStringLiteral("Approve & Organize"));
    EXPECT_EQ(text("explanation"),
              QStringLiteral("The files are moved into group folders and renamed inside “Take 3”. "
                             "Nothing is copied, so no extra space is used, and you can put them "
                             "back afterwards."));
    auto* copy = child<Ui::Segment>("copySegment");
    QTest::mouseClick(copy, Qt::LeftButton, {}, copy->rect().center());
    EXPECT_FALSE(model->approval().organizeInPlace());
    EXPECT_EQ(approve->title(), QStringLiteral("Approve & Create Sorted Folder"));
    EXPECT_EQ(text("explanation"),
              QStringLiteral("A new “SORTED” folder is made next to it and your originals are not "
                             "touched. On a Mac disk it takes no extra space until a file is "
                             "changed."));

    close();
    open();
    loadShown(makeFolder("Take 4", exampleSession()));
    EXPECT_TRUE(child<Ui::Segment>("copySegment")->isChecked());
    EXPECT_FALSE(child<Ui::Segment>("organizeSegment")->isChecked());
    EXPECT_EQ(child<Ui::PillButton>("approveButton")->title(),
              QStringLiteral("Approve & Create Sorted Folder"));
}

TEST_F(ReviewViewTest, escapeGoesBackToTheDropZoneAndReturnApproves) {
    const QString folder = makeFolder("Session 1", exampleSession());
    loadShown(folder);
    QTest::keyClick(list(), Qt::Key_Escape);
    EXPECT_EQ(model->review().folder(), std::nullopt);
    EXPECT_EQ(content().currentScreen(), static_cast<QWidget*>(child<QWidget>("dropZone")));

    loadShown(folder);
    model->approval().setOrganizeInPlace(false);
    QTest::keyClick(list(), Qt::Key_Return);
    EXPECT_TRUE(model->busyState().busy());
    ASSERT_TRUE(waitUntilIdle(*model));
    EXPECT_EQ(model->approval().resultURL(), folder + QStringLiteral(" SORTED"));
}

TEST_F(ReviewViewTest, aLongNameIsShortenedInTheMiddleKeepingItsBeginningAndExtension) {
    const QString longName =
        QStringLiteral("1Kick In Overhead Left Channel Recorded At Studio Two Take Forty.wav");
    loadShown(makeFolder("Long", {longName}));
    window->resize(760, 540);
    QCoreApplication::processEvents();
    const QModelIndex index = list()->model()->index(0, 0);
    const QRectF nameRect = Ui::RowDelegate::geometry(list()->visualRect(index)).name;
    const QFontMetrics fm(Ui::systemFont(14, QFont::Light));
    const QString shown = fm.elidedText(longName, Qt::ElideMiddle, int(nameRect.width()));
    ASSERT_NE(shown, longName); // the test needs a name that does not fit
    EXPECT_TRUE(shown.startsWith(QLatin1String("1Kick"))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QLatin1String(".wav"))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QChar(0x2026)));
}

TEST_F(ReviewViewTest, rowsAndSegmentsAreExposedWithTheRolesAPersonExpects) {
    loadShown(makeFolder("Session 1", exampleSession()));
    QAccessibleInterface* segment =
        QAccessible::queryAccessibleInterface(child<Ui::Segment>("copySegment"));
    ASSERT_NE(segment, nullptr);
    EXPECT_EQ(segment->role(), QAccessible::RadioButton);
    EXPECT_EQ(segment->text(QAccessible::Name), QStringLiteral("Make a sorted copy"));
    QAccessibleInterface* approve =
        QAccessible::queryAccessibleInterface(child<Ui::PillButton>("approveButton"));
    EXPECT_EQ(approve->role(), QAccessible::Button);
    EXPECT_EQ(approve->text(QAccessible::Name), QStringLiteral("Approve & Organize"));
    QAccessibleInterface* listIface = QAccessible::queryAccessibleInterface(list());
    ASSERT_NE(listIface, nullptr);
    EXPECT_EQ(listIface->role(), QAccessible::List);
    QAccessibleInterface* first = listIface->child(0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->role(), QAccessible::ListItem);
    EXPECT_EQ(first->text(QAccessible::Name), QStringLiteral("1Kick In#01.wav, ") +
                                                  model->review().displayed().first().newName +
                                                  QStringLiteral(", DRUMS"));
}

// Verifies that a folder Vantrel organized in place whose listing is gone (so it cannot open
// ready to send), opened again later with no audio file left directly inside it, shows the
// review saying so instead of "No audio files found", and
// that its "Put the Files Back" is one keyboard press or one accessibility action away; what
// the put-back left in place is shown under the counts afterwards.
TEST_F(ReviewViewTest, anOrganizedFolderOffersThePutBackFromTheKeyboardAndAccessibility) {
    for (const bool byAccessibility : {false, true}) {
        SCOPED_TRACE(byAccessibility ? "accessibility action" : "keyboard");
        const QString folder =
            makeFolder(byAccessibility ? "Gig AT" : "Gig Keys", {"1Kick.wav", "2Vox.wav"});
        const auto original = Fixtures::snapshot(folder);
        model->approval().setOrganizeInPlace(true);
        loadShown(folder);
        EXPECT_FALSE(child<QWidget>("organizedBar")->isVisible());
        approveAndWait(*model);
        Fixtures::writeFile(folder + QStringLiteral("/01_DRUMS/mine.txt"), "mine");
        ASSERT_TRUE(QFile::remove(folder + QStringLiteral("/manifest.json")));
        close();
        open();

        loadShown(folder);
        EXPECT_EQ(content().currentScreen(), static_cast<QWidget*>(child<QWidget>("reviewView")));
        EXPECT_EQ(model->errorMessage(), std::nullopt);
        EXPECT_TRUE(child<QWidget>("organizedBar")->isVisible());
        EXPECT_EQ(text("organizedText"), QStringLiteral("This folder was organized by Vantrel."));
        EXPECT_EQ(text("trackCount"), QStringLiteral("0 tracks"));
        EXPECT_FALSE(child<QWidget>("sortStatus")->isVisible()) << "no track is not all sorted";
        EXPECT_FALSE(child<Ui::PillButton>("approveButton")->isEnabled());
        auto* putBack = child<Ui::PillButton>("reviewPutBackButton");
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(putBack);
        ASSERT_NE(iface, nullptr);
        EXPECT_EQ(iface->role(), QAccessible::Button);
        EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("Put the Files Back"));

        if (byAccessibility) {
            ASSERT_NE(iface->actionInterface(), nullptr);
            iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        } else {
            putBack->setFocus();
            ASSERT_TRUE(putBack->hasFocus());
            QTest::keyClick(putBack, Qt::Key_Space);
        }
        // An accessibility press is a click that lands a moment later.
        ASSERT_TRUE(QTest::qWaitFor(
            [this] { return !model->busyState().busy() && !model->review().items().isEmpty(); },
            kTimeoutMs));
        QCoreApplication::processEvents();

        EXPECT_EQ(model->errorMessage(), std::nullopt);
        EXPECT_FALSE(child<QWidget>("organizedBar")->isVisible());
        EXPECT_EQ(text("trackCount"), QStringLiteral("2 tracks"));
        EXPECT_TRUE(child<QLabel>("putBackNote")->isVisible());
        EXPECT_EQ(text("putBackNote"),
                  QStringLiteral("“01_DRUMS” was left in place: it holds “mine.txt” that "
                                 "Vantrel didn't put there."));
        auto expected = original;
        expected.insert("01_DRUMS", "<dir>");
        expected.insert("01_DRUMS/mine.txt", "mine");
        EXPECT_EQ(Fixtures::snapshot(folder), expected);

        // The note belongs to that folder's review: the next folder shows none.
        model->approval().reset();
        loadShown(makeFolder(byAccessibility ? "Next AT" : "Next Keys", {"1Kick.wav"}));
        EXPECT_FALSE(child<QLabel>("putBackNote")->isVisible());
        close();
        open();
    }
}

// Verifies that files the scan left alone are named with their reason under the counts (the
// first three, then how many more; all of them in the tooltip), and that a folder of nothing
// else says why no audio file was found.
TEST_F(ReviewViewTest, filesTheScanLeftAloneAreListedWithTheirReason) {
    const QString folder = makeFolder("Odd Names", {"1Kick.wav"});
    // Names with a byte that is not UTF-8, made from the raw bytes (and removed from them: the
    // temporary folder's clean-up cannot name them).
    const auto raw = [&folder](int i) {
        return QFile::encodeName(folder) + "/Take" + QByteArray::number(i) + "\xff.wav";
    };
    const auto removeOdd = qScopeGuard([&raw] {
        for (int i = 1; i <= 4; ++i)
            ::unlink(raw(i).constData());
    });
    for (int i = 1; i <= 4; ++i) {
        const int fd = ::open(raw(i).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        ASSERT_GE(fd, 0);
        ::close(fd);
    }
    loadShown(folder);
    EXPECT_EQ(model->review().leftAlone().size(), 4);
    auto* label = child<QLabel>("leftAlone");
    EXPECT_TRUE(label->isVisible());
    const QStringList lines = label->text().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 4);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(lines[i].contains(QStringLiteral("its name is not valid UTF-8")))
            << lines[i].toStdString();
    EXPECT_EQ(lines[3], QStringLiteral("…and 1 more."));
    EXPECT_EQ(label->toolTip(), model->review().leftAlone().join(QLatin1Char('\n')));
    EXPECT_EQ(text("trackCount"), QStringLiteral("1 track"));

    QFile::remove(folder + QStringLiteral("/1Kick.wav"));
    model->approval().reset();
    model->review().load(folder);
    ASSERT_TRUE(waitUntilIdle(*model));
    const QStringList message = model->errorMessage().value_or(QString()).split('\n');
    ASSERT_EQ(message.size(), 5);
    EXPECT_EQ(message[0], QStringLiteral("No audio files found directly inside “Odd Names”."));
    EXPECT_TRUE(message[1].contains(QStringLiteral("its name is not valid UTF-8")));
}

// Empty files with an audio extension are not audio: the findings line names the finding, each
// row carries its sentence for a screen reader, the line opens the sheet from the keyboard, and
// approval stays open.
TEST_F(ReviewViewTest, audioFindingsShowOnTheRowsAndOpenTheirSheet) {
    loadShown(makeFolder("Empty Files", {"1Kick.wav", "2Snare.wav"}));
    const QString sentence = QStringLiteral("2 files could not be read as audio: format not read.");
    auto* findings = child<Ui::PillButton>("findingsButton");
    ASSERT_TRUE(findings->isVisible());
    EXPECT_EQ(findings->title(), QStringLiteral("1 audio finding"));
    const QModelIndex first = list()->model()->index(0, 0);
    EXPECT_EQ(first.data(Qt::AccessibleDescriptionRole).toString(), sentence);
    EXPECT_EQ(first.data(Qt::ToolTipRole).toString(), QStringLiteral("1Kick.wav\n") + sentence);
    QAccessibleInterface* row = QAccessible::queryAccessibleInterface(list())->child(0);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->text(QAccessible::Description), sentence);
    EXPECT_TRUE(child<Ui::PillButton>("approveButton")->isEnabled());

    findings->setFocus();
    QTest::keyClick(findings, Qt::Key_Space);
    QDialog* sheet = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        sheet = window->findChild<QDialog*>(QStringLiteral("findingsSheet"));
        return sheet && sheet->isVisible();
    }));
    const auto texts = sheet->findChildren<QLabel*>(QStringLiteral("finding"));
    ASSERT_EQ(texts.size(), 1);
    EXPECT_EQ(texts[0]->text(), sentence);
    const QPointer<QDialog> shown = sheet;
    sheet->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet));
    QTest::keyClick(sheet, Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !shown || !shown->isVisible(); }));
    EXPECT_EQ(model->review().folder(), std::optional<QString>(root.filePath("Empty Files")))
        << "Escape closes the sheet only";
}

// ---- The review screen on its own ----

// The review screen's views (the review and the approval) with values set by hand: records the
// operations it is asked for and tells the screen of a change of a part when told to.
class ReviewDouble : public ReviewHost, public ApprovalHost {
public:
    Config rules = Config::defaults();
    std::optional<QString> folderPath = QStringLiteral("/music/Session");
    QList<Item> tracks;
    QStringList skippedFiles;
    QStringList leftAloneFiles;
    std::optional<Suggestion> suggested;
    std::optional<LearnOffer> offer;
    QList<AudioFinding> audioFindings;
    bool inPlace = false;
    std::optional<QString> destination;
    QString blocked;
    QString note;
    // What the screen asked for, in order.
    QStringList calls;

    const Config& config() const override { return rules; }
    const std::optional<QString>& folder() const override { return folderPath; }
    const QList<Item>& items() const override { return tracks; }
    const QStringList& skipped() const override { return skippedFiles; }
    const QStringList& leftAlone() const override { return leftAloneFiles; }
    QList<Item> displayed() const override { return tracks; }
    int unsortedCount() const override {
        return int(std::ranges::count_if(tracks, [](const Item& i) { return !i.group; }));
    }
    bool folderOrganized() const override { return false; }
    const QString& putBackNote() const override { return note; }
    std::optional<Suggestion> suggestionFor(const Item& item) const override {
        return item.group ? std::nullopt : suggested;
    }
    int suggestionCount() const override { return suggested ? unsortedCount() : 0; }
    const std::optional<LearnOffer>& learnOffer() const override { return offer; }
    const QList<AudioFinding>& findings() const override { return audioFindings; }
    QStringList findingsFor(const QString& fileName) const override {
        QStringList found;
        for (const AudioFinding& f : audioFindings)
            if (f.files.contains(fileName))
                found << f.text;
        return found;
    }
    bool audioChecking() const override { return false; }
    int audioChecked() const override { return 0; }
    int audioToCheck() const override { return 0; }
    bool organizeInPlace() const override { return inPlace; }
    void setOrganizeInPlace(bool on) override { calls << QStringLiteral("inPlace %1").arg(on); }
    const std::optional<QString>& copyDestination() const override { return destination; }
    void chooseCopyDestination() override { calls << QStringLiteral("chooseCopyDestination"); }
    QString approvalBlocked() const override { return blocked; }
    void setGroup(const QUuid& id, const std::optional<QString>& group) override {
        calls << QStringLiteral("setGroup %1 %2")
                     .arg(id == tracks.value(1).id ? QStringLiteral("row 2") : QStringLiteral("?"),
                          group.value_or(QStringLiteral("-")));
    }
    void acceptSuggestion(const QUuid&) override { calls << QStringLiteral("acceptSuggestion"); }
    void acceptAllSuggestions() override { calls << QStringLiteral("acceptAllSuggestions"); }
    void acceptLearnOffer() override { calls << QStringLiteral("acceptLearnOffer"); }
    void declineLearnOffer() override { calls << QStringLiteral("declineLearnOffer"); }
    void undoOrganize() override { calls << QStringLiteral("undoOrganize"); }
    void approve() override { calls << QStringLiteral("approve"); }
    void reset() override { calls << QStringLiteral("reset"); }
    void onReviewChanged(Part part, QObject* context, std::function<void()> changed) override {
        listeners.append({part, context, std::move(changed)});
    }
    void onApprovalChanged(QObject* context, std::function<void()> changed) override {
        listeners.append({std::nullopt, context, std::move(changed)});
    }
    // Tells the listeners of these parts still there that they changed.
    void changed(std::initializer_list<Part> parts) {
        for (const auto& [part, context, call] : listeners)
            if (context && part && std::ranges::find(parts, *part) != parts.end())
                call();
    }
    // Tells the listeners of the approval still there that it changed.
    void approvalChanged() {
        for (const auto& [part, context, call] : listeners)
            if (context && !part)
                call();
    }

private:
    struct Listener {
        std::optional<Part> part; // none: the approval
        QPointer<QObject> context;
        std::function<void()> call;
    };
    QList<Listener> listeners;
};

Item track(const QString& name, const std::optional<QString>& group) {
    Item item;
    item.url = QStringLiteral("/music/Session/") + name;
    item.group = group;
    item.newName = name;
    return item;
}

// Verifies that the screen needs nothing of the model but its review: it shows the counts, the
// suggestions, the learn offer, the findings and the approval's state, follows each part's
// change when told, and its controls ask for the matching operations.
TEST(ReviewViewAlone, showsItsReviewFollowsChangesAndAsksForEachOperation) {
    using Part = ReviewHost::Part;
    ReviewDouble host;
    const QString drums = host.rules.groups.first().name;
    host.tracks = {track(QStringLiteral("1Kick In.wav"), drums),
                   track(QStringLiteral("6Room.wav"), std::nullopt)};
    host.suggested = Suggestion{drums, QStringLiteral("Room"), QStringLiteral("ROOM")};
    Ui::ReviewView view(host, host);
    view.resize(900, 640);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    const auto child = [&view](const char* name) {
        auto* found = view.findChild<QWidget*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    };
    const auto text = [&](const char* name) { return qobject_cast<QLabel*>(child(name))->text(); };
    const auto shown = [&](const char* name) { return child(name)->isVisibleTo(&view); };
    const auto title = [&](const char* name) {
        return qobject_cast<Ui::PillButton*>(child(name))->title();
    };
    const auto click = [&](const char* name) { QTest::mouseClick(child(name), Qt::LeftButton); };

    EXPECT_EQ(text("folderName"), QStringLiteral("Session"));
    EXPECT_EQ(text("trackCount"), QStringLiteral("2 tracks"));
    EXPECT_EQ(text("sortStatus"), QStringLiteral("1 needs a group"));
    EXPECT_EQ(title("acceptAllButton"), QStringLiteral("Accept All Suggestions (1)"));
    EXPECT_FALSE(shown("learnBar"));
    EXPECT_TRUE(shown("copyDestinationButton"));
    EXPECT_EQ(title("approveButton"), QStringLiteral("Approve & Create Sorted Folder"));
    QAbstractItemModel* rows = view.list()->model();
    ASSERT_EQ(rows->rowCount(), 2);
    EXPECT_EQ(rows->index(1, 0).data(Ui::ReviewModel::SuggestedGroupRole).toString(), drums);

    for (const char* name : {"acceptAllButton", "copyDestinationButton", "organizeSegment",
                             "approveButton", "cancelButton"})
        click(name);
    QObject::connect(view.list(), &Ui::ReviewList::groupMenuShown, &view, [&drums](QMenu* menu) {
        QTimer::singleShot(0, menu, [menu, drums] {
            for (QAction* a : menu->actions())
                if (a->text() == drums)
                    a->trigger();
            menu->close();
        });
    });
    view.list()->openGroupMenu(rows->index(1, 0));
    EXPECT_EQ(host.calls,
              (QStringList{QStringLiteral("acceptAllSuggestions"),
                           QStringLiteral("chooseCopyDestination"), QStringLiteral("inPlace 1"),
                           QStringLiteral("approve"), QStringLiteral("reset"),
                           QStringLiteral("setGroup row 2 ") + drums}));
    host.calls.clear();

    // The track moved, a word to learn, organizing in place: each shows once its own part is
    // told.
    host.tracks[1].group = drums;
    EXPECT_EQ(text("sortStatus"), QStringLiteral("1 needs a group")) << "not told yet";
    host.changed({Part::items});
    EXPECT_EQ(text("sortStatus"), QStringLiteral("All sorted"));
    EXPECT_FALSE(shown("acceptAllButton"));
    EXPECT_EQ(rows->index(1, 0).data(Ui::ReviewModel::GroupRole).toString(), drums);
    host.offer = ReviewHost::LearnOffer{QStringLiteral("ROOM"), drums};
    host.changed({Part::learnOffer});
    EXPECT_TRUE(shown("learnBar"));
    EXPECT_EQ(text("learnQuestion"), host.offer->question());
    host.inPlace = true;
    host.approvalChanged();
    EXPECT_TRUE(qobject_cast<QAbstractButton*>(child("organizeSegment"))->isChecked());
    EXPECT_FALSE(shown("copyDestinationButton"));
    EXPECT_EQ(title("approveButton"), QStringLiteral("Approve & Organize"));
    click("learnAddButton");
    click("learnDismissButton");
    click("copySegment");
    EXPECT_EQ(host.calls,
              (QStringList{QStringLiteral("acceptLearnOffer"), QStringLiteral("declineLearnOffer"),
                           QStringLiteral("inPlace 0")}));

    // Findings of one file, and an approval that cannot be written.
    host.audioFindings = {AudioFinding{QStringLiteral("silent"),
                                       {QStringLiteral("6Room.wav")},
                                       QStringLiteral("6Room.wav is silent.")}};
    host.changed({Part::findings});
    EXPECT_EQ(title("findingsButton"), QStringLiteral("1 audio finding"));
    EXPECT_EQ(rows->index(1, 0).data(Ui::ReviewModel::FindingsRole).toStringList(),
              QStringList{QStringLiteral("6Room.wav is silent.")});
    host.blocked = QStringLiteral("The folder cannot be written to.");
    host.approvalChanged();
    EXPECT_FALSE(child("approveButton")->isEnabled());
    EXPECT_EQ(text("explanation"), host.blocked);
}

} // namespace
} // namespace Vantrel::UiTesting
