#include "app/ScreenModels.h"
#include "core/Palette.h"
#include "support/TestFiles.h"
#include "ui/ColorPick.h"
#include "ui/SheetFixture.h"

#include <QClipboard>
#include <QDragEnterEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextBlock>
#include <QToolButton>

namespace Vantrel::UiTesting {
namespace {

using Fixtures::readFile;

QStringList namesOf(const QList<RuleGroup>& groups) {
    QStringList names;
    for (const RuleGroup& g : groups)
        names << g.name;
    return names;
}

class RulesViewTest : public SheetFixture {
protected:
    void SetUp() override {
        SheetFixture::SetUp();
        openPastWalkthrough();
    }

    Ui::GroupRow* row(Ui::RulesView* view, int i) { return view->groupList()->rows().value(i); }

    // Drops the row at from onto the list at the top edge of the row now at onto (or below the
    // last row for onto == the number of rows), as a drag of the row would.
    void dropRow(Ui::RulesView* view, int from, int onto) {
        Ui::GroupList* list = view->groupList();
        const QList<Ui::GroupRow*> rows = list->rows();
        const int y = onto < rows.size() ? rows[onto]->geometry().top() + 2
                                         : rows.last()->geometry().bottom() + 2;
        QMimeData data;
        data.setData(Ui::GroupList::mimeType(), QByteArray::number(from));
        EXPECT_TRUE(list->drop(&data, QPoint(20, y)));
        QCoreApplication::processEvents();
    }
};

// Verifies that the editor starts from the rules in force, with one row per group.
TEST_F(RulesViewTest, shouldShowTheRulesInForce) {
    Ui::RulesView* view = openRules();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->size(), QSize(640, 500));
    EXPECT_EQ(view->draft(), model->rules().config());
    ASSERT_EQ(view->groupList()->rows().size(), 3);
    EXPECT_EQ(row(view, 0)->nameField()->text(), QStringLiteral("DRUMS"));
    EXPECT_EQ(row(view, 0)->wordsField()->text(), QStringLiteral("KICK SNARE"));
    EXPECT_EQ(row(view, 2)->nameField()->text(), QStringLiteral("VOCALS"));
}

// Verifies that a dragged row lands where it is dropped and that Save stores the new order in the
// model and the file, and closes the sheet.
TEST_F(RulesViewTest, shouldStoreTheNewOrderOnSave) {
    Ui::RulesView* view = openRules();
    ASSERT_NE(view, nullptr);
    dropRow(view, 2, 0); // VOCALS to the top
    EXPECT_EQ(namesOf(view->draft().groups), QStringList({"VOCALS", "DRUMS", "BASS"}));
    dropRow(view, 1, 3); // DRUMS below the last row
    EXPECT_EQ(namesOf(view->draft().groups), QStringList({"VOCALS", "BASS", "DRUMS"}));
    EXPECT_EQ(view->groupList()->rows()[0]->nameField()->text(), QStringLiteral("VOCALS"));
    EXPECT_EQ(namesOf(model->rules().config().groups), QStringList({"DRUMS", "BASS", "VOCALS"}))
        << "nothing reaches the model before Save";

    QTest::mouseClick(child<QAbstractButton>(view, "saveButton"), Qt::LeftButton);
    EXPECT_EQ(namesOf(model->rules().config().groups), QStringList({"VOCALS", "BASS", "DRUMS"}));
    EXPECT_EQ(namesOf(Config::load().groups), QStringList({"VOCALS", "BASS", "DRUMS"}));
    EXPECT_FALSE(model->showRules());
    EXPECT_TRUE(QTest::qWaitFor([this] { return sheets().rulesView() == nullptr; }));
}

// Verifies that Reset to Defaults changes only the draft: Cancel leaves model and file alone.
TEST_F(RulesViewTest, shouldDropAResetOnCancel) {
    const QByteArray file = readFile(Config::filePath());
    const Config inForce = model->rules().config();
    Ui::RulesView* view = openRules();
    ASSERT_NE(view, nullptr);
    QTest::mouseClick(child<QAbstractButton>(view, "resetButton"), Qt::LeftButton);
    EXPECT_EQ(view->draft(), Config::defaults());
    EXPECT_EQ(view->groupList()->rows().size(), 11);

    QTest::mouseClick(child<QAbstractButton>(view, "cancelButton"), Qt::LeftButton);
    EXPECT_FALSE(model->showRules());
    EXPECT_EQ(model->rules().config(), inForce);
    EXPECT_EQ(readFile(Config::filePath()), file);
}

// Verifies that Escape cancels and Return saves.
TEST_F(RulesViewTest, shouldCancelOnEscapeAndSaveOnReturn) {
    Ui::RulesView* view = openRules();
    ASSERT_NE(view, nullptr);
    QTest::mouseClick(child<QAbstractButton>(view, "addGroupButton"), Qt::LeftButton);
    QTest::keyClick(view, Qt::Key_Escape);
    EXPECT_FALSE(model->showRules());
    EXPECT_EQ(model->rules().config().groups.size(), 3);
    QTest::qWait(0);

    view = openRules();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->groupList()->rows().size(), 3) << "a new sheet starts from the model again";
    QTest::mouseClick(child<QAbstractButton>(view, "addGroupButton"), Qt::LeftButton);
    Ui::WordsField* words = row(view, 3)->wordsField();
    words->setFocus();
    QTest::keyClicks(words, QStringLiteral("gtr"));
    QTest::keyClick(words, Qt::Key_Return);
    EXPECT_FALSE(model->showRules());
    ASSERT_EQ(model->rules().config().groups.size(), 4);
    EXPECT_EQ(model->rules().config().groups[3].name, QStringLiteral("NEW"));
    EXPECT_EQ(model->rules().config().groups[3].aliases, QStringList({"GTR"}));
}

// Verifies the fields of a row: the words rule as typed, names kept as typed until Save, which
// upper-cases and strips them; empty names and cleared words are saved as they are.
TEST_F(RulesViewTest, shouldTakeWordsAndNamesAsTheRulesSay) {
    Ui::RulesView* view = openRules();
    ASSERT_NE(view, nullptr);

    Ui::WordsField* words = row(view, 0)->wordsField();
    words->selectAll();
    QTest::keyClicks(words, QStringLiteral("eg, electric  ac"));
    EXPECT_EQ(view->draft().groups[0].aliases, QStringList({"EG", "ELECTRIC", "AC"}));
    emit words->editingFinished();
    EXPECT_EQ(words->text(), QStringLiteral("EG ELECTRIC AC"));

    QLineEdit* name = row(view, 0)->nameField();
    name->selectAll();
    QTest::keyClicks(name, QStringLiteral("  drums "));
    EXPECT_EQ(name->text(), QStringLiteral("  drums "));
    EXPECT_EQ(view->draft().groups[0].name, QStringLiteral("  drums "));

    QLineEdit* bassName = row(view, 1)->nameField();
    bassName->selectAll();
    QTest::keyClick(bassName, Qt::Key_Backspace);
    Ui::WordsField* vocalWords = row(view, 2)->wordsField();
    vocalWords->selectAll();
    QTest::keyClick(vocalWords, Qt::Key_Backspace);
    EXPECT_TRUE(view->draft().groups[2].aliases.isEmpty());

    view->save();
    const Config saved = Config::load();
    ASSERT_EQ(saved.groups.size(), 3);
    EXPECT_EQ(saved.groups[0].name, QStringLiteral("DRUMS"));
    EXPECT_EQ(saved.groups[0].aliases, QStringList({"EG", "ELECTRIC", "AC"}));
    EXPECT_EQ(saved.groups[1].name, QString());
    EXPECT_EQ(saved.groups[2].name, QStringLiteral("VOCALS"));
    EXPECT_TRUE(saved.groups[2].aliases.isEmpty());
}

// Verifies the trash button, Add Group and the two check boxes.
TEST_F(RulesViewTest, shouldRemoveAddAndSetOptions) {
    Ui::RulesView* view = openRules();
    ASSERT_NE(view, nullptr);
    const QUuid bass = view->draft().groups[1].id;
    QTest::mouseClick(row(view, 1)->trashButton(), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(namesOf(view->draft().groups), QStringList({"DRUMS", "VOCALS"}));
    for (const RuleGroup& g : view->draft().groups)
        EXPECT_NE(g.id, bass);
    EXPECT_EQ(view->groupList()->rows().size(), 2);

    QTest::mouseClick(child<QAbstractButton>(view, "addGroupButton"), Qt::LeftButton);
    ASSERT_EQ(view->groupList()->rows().size(), 3);
    EXPECT_EQ(row(view, 2)->nameField()->text(), QStringLiteral("NEW"));
    EXPECT_EQ(row(view, 2)->colorPick()->current(), std::nullopt);

    const bool numbers = view->draft().numberTracks;
    const bool groupNames = view->draft().groupInName;
    QTest::mouseClick(child<QAbstractButton>(view, "numberTracksBox"), Qt::LeftButton);
    QTest::mouseClick(child<QAbstractButton>(view, "groupInNameBox"), Qt::LeftButton);
    EXPECT_EQ(view->draft().numberTracks, !numbers);
    EXPECT_EQ(view->draft().groupInName, !groupNames);
    view->save();
    EXPECT_EQ(model->rules().config().numberTracks, !numbers);
    EXPECT_EQ(model->rules().config().groupInName, !groupNames);
    EXPECT_EQ(namesOf(model->rules().config().groups), QStringList({"DRUMS", "VOCALS", "NEW"}));
}

// Verifies that "Add Group" in a list longer than the sheet shows the new row and gives its
// name the keyboard, ready to be typed over.
TEST_F(RulesViewTest, shouldShowTheAddedGroupAndFocusItsName) {
    Config many = rules();
    for (int i = 4; i <= 16; ++i)
        many.groups.append(group(QStringLiteral("G%1").arg(i).toUtf8().constData(), {}));
    model->rules().saveRules(many);
    Ui::RulesView* view = openRules();
    ASSERT_NE(view, nullptr);
    auto* scroll = view->findChild<QScrollArea*>(QStringLiteral("groupScroll"));
    ASSERT_NE(scroll, nullptr);
    QTest::mouseClick(child<QAbstractButton>(view, "addGroupButton"), Qt::LeftButton);
    // The rows take their heights over a few turns of the event loop; the list follows the new
    // row meanwhile.
    Ui::GroupRow* added = view->groupList()->rows().last();
    const auto shown = [&] {
        const QRect inViewport(added->mapTo(scroll->viewport(), QPoint()), added->size());
        return added->isVisible() && scroll->viewport()->rect().contains(inViewport);
    };
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return shown() && scroll->verticalScrollBar()->value() > 0; }, 5000));
    QTest::qWait(20); // and stays there once settled
    ASSERT_TRUE(shown());
    EXPECT_TRUE(added->nameField()->hasFocus());
    EXPECT_EQ(added->nameField()->selectedText(), QStringLiteral("NEW"));
    EXPECT_GT(scroll->verticalScrollBar()->value(), 0)
        << "list " << view->groupList()->height() << " in " << scroll->viewport()->height();
}

// Verifies the ways to reorder beyond a drop on the list: a drag started on a row's grip shows
// where the row would land while it is over the list, and Alt+Up and Alt+Down move a row by
// keyboard, which stays in the same field of the moved row.
TEST_F(RulesViewTest, shouldReorderFromTheGripWithADropLineAndByKeyboard) {
    Ui::RulesView* view = openRules();
    ASSERT_NE(view, nullptr);
    QTest::qWait(0);
    Ui::GroupList* list = view->groupList();

    // The grip is part of the row, not a field: a press on it is the row's.
    QWidget* grip = row(view, 2)->grip();
    ASSERT_TRUE(grip->isVisible());
    EXPECT_GE(grip->width() * grip->height(), 14 * 24);
    EXPECT_EQ(grip->cursor().shape(), Qt::OpenHandCursor);
    EXPECT_FALSE(grip->focusPolicy() & Qt::ClickFocus) << "a press on it is the row's";

    // While a row is dragged over the list, the line shows where it would land.
    QMimeData data;
    data.setData(Ui::GroupList::mimeType(), QByteArray::number(2));
    const QPoint overFirst(20, row(view, 0)->geometry().top() + 2);
    QDragEnterEvent enter(overFirst, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list, &enter);
    QDragMoveEvent move(overFirst, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list, &move);
    EXPECT_TRUE(move.isAccepted());
    EXPECT_EQ(list->dropIndicator(), 0);
    const QImage shown = list->grab().toImage();
    const int lineY = row(view, 0)->geometry().top();
    EXPECT_EQ(shown.pixelColor(list->width() / 2, lineY).rgb(), Ui::Brismo::accent.color().rgb());
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(list, &leave);
    EXPECT_EQ(list->dropIndicator(), -1);

    // By keyboard: VOCALS up from its words, then DRUMS down from its name.
    row(view, 2)->wordsField()->setFocus();
    QTest::keyClick(row(view, 2)->wordsField(), Qt::Key_Up, Qt::AltModifier);
    QTest::qWait(0);
    EXPECT_EQ(namesOf(view->draft().groups), QStringList({"DRUMS", "VOCALS", "BASS"}));
    EXPECT_TRUE(row(view, 1)->wordsField()->hasFocus());
    row(view, 0)->nameField()->setFocus();
    QTest::keyClick(row(view, 0)->nameField(), Qt::Key_Down, Qt::AltModifier);
    QTest::qWait(0);
    EXPECT_EQ(namesOf(view->draft().groups), QStringList({"VOCALS", "DRUMS", "BASS"}));
    EXPECT_TRUE(row(view, 1)->nameField()->hasFocus());
    // The first row goes no higher.
    row(view, 0)->nameField()->setFocus();
    QTest::keyClick(row(view, 0)->nameField(), Qt::Key_Up, Qt::AltModifier);
    QTest::qWait(0);
    EXPECT_EQ(namesOf(view->draft().groups), QStringList({"VOCALS", "DRUMS", "BASS"}));
}

// Verifies that the words of a group wrap onto more lines instead of being cut off, that a pasted
// line break is a space, and that Return in the words still saves.
TEST_F(RulesViewTest, shouldShowEveryWordOfALongList) {
    Ui::RulesView* view = openRules();
    ASSERT_NE(view, nullptr);
    QTest::qWait(0);
    Ui::WordsField* words = row(view, 0)->wordsField();
    const int oneLine = words->height();
    EXPECT_EQ(words->lineCount(), 1);
    EXPECT_EQ(words->verticalScrollBar()->maximum(), 0) << "one line, nothing to scroll";
    words->setFocus();
    words->selectAll();
    QTest::keyClicks(words, QStringLiteral("kick snare hat tom overhead room ride crash "
                                           "china splash cowbell shaker"));
    EXPECT_GE(words->lineCount(), 2);
    EXPECT_GT(words->height(), oneLine) << "the field grows with its lines";
    // Every line it has is on screen: nothing to scroll to.
    EXPECT_LE(words->lineCount(), Ui::WordsField::maxLines);
    EXPECT_EQ(words->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(view->draft().groups[0].aliases.size(), 12);

    QGuiApplication::clipboard()->setText(QStringLiteral("perc\nclap"));
    words->moveCursor(QTextCursor::End);
    QTest::keyClick(words, Qt::Key_Space);
    words->paste();
    EXPECT_EQ(view->draft().groups[0].aliases.mid(12), QStringList({"PERC", "CLAP"}));

    QTest::keyClick(words, Qt::Key_Return);
    EXPECT_FALSE(model->showRules()) << "Return saves";
    EXPECT_EQ(model->rules().config().groups[0].aliases.size(), 14);
}

// Verifies that the sheet has an edge of its own in both appearances: its background is the
// window's, so without it the sheet would melt into the window in dark mode.
TEST_F(RulesViewTest, shouldSetTheSheetApartFromTheWindowByItsEdge) {
    for (const bool dark : {false, true}) {
        SCOPED_TRACE(dark ? "dark" : "light");
        QApplication::setPalette(dark ? Ui::darkPalette() : Ui::lightPalette());
        Ui::RulesView* view = openRules();
        ASSERT_NE(view, nullptr);
        const QImage image = view->grab().toImage();
        EXPECT_EQ(image.pixelColor(0, image.height() / 2).rgb(),
                  Ui::Brismo::sheetEdge.resolve(dark).rgb());
        EXPECT_EQ(image.pixelColor(image.width() / 2, image.height() - 1).rgb(),
                  Ui::Brismo::sheetEdge.resolve(dark).rgb());
        EXPECT_EQ(image.pixelColor(3, image.height() / 2).rgb(),
                  Ui::Brismo::bg.resolve(dark).rgb());
        QTest::keyClick(view, Qt::Key_Escape);
        QTest::qWait(0);
    }
    QApplication::setPalette(Ui::lightPalette());
}

// Verifies that a save that fails keeps the sheet open with the draft, and the model's alert
// says why.
TEST_F(RulesViewTest, shouldKeepTheSheetAndDraftWhenSavingFails) {
    Ui::RulesView* view = openRules();
    ASSERT_NE(view, nullptr);
    dropRow(view, 2, 0);
    QLineEdit* name = row(view, 1)->nameField();
    name->selectAll();
    QTest::keyClicks(name, QStringLiteral(" kit"));

    // A folder where the file belongs makes the save fail.
    QFile::remove(Config::filePath());
    ASSERT_TRUE(QDir().mkpath(Config::filePath()));
    QTest::mouseClick(child<QAbstractButton>(view, "saveButton"), Qt::LeftButton);

    ASSERT_TRUE(model->errorMessage().has_value());
    EXPECT_TRUE(model->errorMessage()->startsWith(QStringLiteral("Couldn't save rules: ")));
    EXPECT_TRUE(model->showRules());
    EXPECT_EQ(sheets().rulesView(), view);
    EXPECT_TRUE(view->isVisible());
    EXPECT_EQ(namesOf(view->draft().groups), QStringList({"VOCALS", "KIT", "BASS"}));
    EXPECT_EQ(row(view, 1)->nameField()->text(), QStringLiteral("KIT"));
    EXPECT_EQ(namesOf(model->rules().config().groups), QStringList({"DRUMS", "BASS", "VOCALS"}));

    // Once the folder is out of the way, the same draft saves.
    model->setErrorMessage(std::nullopt);
    ASSERT_TRUE(QDir(Config::filePath()).removeRecursively());
    QTest::mouseClick(child<QAbstractButton>(view, "saveButton"), Qt::LeftButton);
    EXPECT_FALSE(model->showRules());
    EXPECT_EQ(namesOf(Config::load().groups), QStringList({"VOCALS", "KIT", "BASS"}));
}

// Verifies that edited rules change the proposal of the folder under review.
TEST_F(RulesViewTest, shouldChangeTheNextProposal) {
    loadAndWait(*model, makeFolder(QStringLiteral("Session"), {"1Kick.wav", "2Glock.wav"}));
    ASSERT_EQ(model->review().items()[1].group, std::nullopt);
    Ui::RulesView* view = openRules();
    ASSERT_NE(view, nullptr);
    Ui::WordsField* words = row(view, 2)->wordsField();
    words->selectAll();
    QTest::keyClicks(words, QStringLiteral("vox glock"));
    QTest::keyClick(view, Qt::Key_Return);
    ASSERT_TRUE(waitUntilIdle(*model));
    ASSERT_EQ(model->review().items().size(), 2);
    EXPECT_EQ(model->review().items()[1].group, QStringLiteral("VOCALS"));
}

// The rules editor's whole view of the model: the rules in force and saving; this one refuses
// the first save.
class RulesDouble : public RulesStore {
public:
    Config rules = Config::defaults();
    QList<Config> saves;
    const Config& config() const override { return rules; }
    bool saveRules(const Config& cfg) override {
        saves.append(cfg);
        if (saves.size() < 2)
            return false;
        rules = cfg;
        return true;
    }
};

// Verifies that the editor needs nothing of the model but its rules: it starts from them, stays
// open with the draft when a save is refused, and closes once one is taken.
TEST(RulesViewAlone, shouldEditTheRulesOfItsStoreAndCloseOnlyOnceSaved) {
    RulesDouble store;
    store.rules.groups = {store.rules.groups.first()};
    Ui::RulesView view(store);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    ASSERT_EQ(view.groupList()->rows().size(), 1);
    QLineEdit* name = view.groupList()->rows().first()->nameField();
    name->selectAll();
    QTest::keyClicks(name, QStringLiteral("kit "));
    view.save();
    ASSERT_EQ(store.saves.size(), 1);
    EXPECT_EQ(store.saves[0].groups[0].name, QStringLiteral("KIT"));
    EXPECT_TRUE(view.isVisible()) << "refused: the sheet stays with its draft";
    EXPECT_EQ(view.result(), 0);
    view.save();
    EXPECT_EQ(view.result(), QDialog::Accepted);
    EXPECT_EQ(store.rules.groups[0].name, QStringLiteral("KIT"));
}

// ---- The colour picker ----

class ColorPickTest : public RulesViewTest {};

// Verifies what the swatch and the popover show for stored colours and names, and what a
// choice in the popover stores.
TEST_F(ColorPickTest, shouldShowAndStoreColoursAsTheRulesSay) {
    using Color = std::optional<QList<int>>;
    struct Case {
        const char* label;
        Color color;
        const char* name;
        std::optional<Swatch> shown;
    };
    const Case cases[] = {
        {"default of the name", std::nullopt, "DRUMS", Swatch{0, 0}},
        {"no default", std::nullopt, "NEW", std::nullopt},
        {"lower-case name", std::nullopt, "drums", std::nullopt},
        {"no color over a default", QList<int>{}, "DRUMS", std::nullopt},
        {"outside the grid", QList<int>{30, 0}, "DRUMS", std::nullopt},
        {"stored cell", QList<int>{5, 2}, "BASS", Swatch{5, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Ui::ColorPick pick;
        pick.setColor(c.color);
        pick.setName(QString::fromUtf8(c.name));
        pick.show();
        EXPECT_EQ(pick.current(), c.shown);
        EXPECT_EQ(pick.toolTip(), QStringLiteral("Color for this group in Logic"));

        QTest::mouseClick(&pick, Qt::LeftButton);
        ASSERT_TRUE(pick.isOpen());
        Ui::ColorPopover* popover = pick.popover();
        EXPECT_EQ(popover->heading(), QStringLiteral("Logic color for ") + c.name);
        EXPECT_EQ(popover->marked(), c.shown);

        // The ring: white at the marked cell's edge, nowhere else.
        const QImage image = popover->grab().toImage();
        for (const Swatch s : {Swatch{0, 0}, Swatch{5, 2}, Swatch{23, 3}}) {
            const QRect cell = popover->cellRect(s.col, s.row);
            const bool marked = c.shown && *c.shown == s;
            EXPECT_EQ(image.pixelColor(cell.left() + 1, cell.center().y()) == QColor(Qt::white),
                      marked)
                << s.col << "," << s.row;
        }

        // A click on a cell stores it and closes the popover.
        QList<int> picked;
        QObject::connect(&pick, &Ui::ColorPick::colorPicked,
                         [&picked](const QList<int>& color) { picked = color; });
        QWidget* grid = child(popover, "paletteGrid");
        QTest::mouseClick(grid, Qt::LeftButton, {},
                          grid->mapFrom(popover, popover->cellRect(7, 3).center()));
        EXPECT_FALSE(pick.isOpen());
        EXPECT_EQ(picked, QList<int>({7, 3}));
        EXPECT_EQ(pick.color(), Color(QList<int>({7, 3})));
        EXPECT_EQ(pick.current(), (Swatch{7, 3}));

        // "No color" stores the empty list.
        QTest::mouseClick(&pick, Qt::LeftButton);
        ASSERT_TRUE(pick.isOpen());
        QTest::mouseClick(child<QAbstractButton>(popover, "noColorButton"), Qt::LeftButton);
        EXPECT_FALSE(pick.isOpen());
        EXPECT_EQ(pick.color(), Color(QList<int>{}));
        EXPECT_EQ(pick.current(), std::nullopt);
    }
}

// Verifies that a colour picked in a row reaches the draft and the saved file, and that a name
// edit changes the default colour shown.
TEST_F(ColorPickTest, shouldStoreThePickInTheDraft) {
    Ui::RulesView* view = openRules();
    ASSERT_NE(view, nullptr);
    Ui::ColorPick* drums = row(view, 0)->colorPick();
    EXPECT_EQ(drums->current(), (Swatch{0, 0}));
    QTest::mouseClick(drums, Qt::LeftButton);
    ASSERT_TRUE(drums->isOpen());
    QTest::mouseClick(child<QAbstractButton>(drums->popover(), "noColorButton"), Qt::LeftButton);
    EXPECT_EQ(view->draft().groups[0].color, std::optional<QList<int>>(QList<int>{}));

    Ui::ColorPick* bass = row(view, 1)->colorPick();
    EXPECT_EQ(bass->current(), (Swatch{17, 1}));
    QLineEdit* name = row(view, 1)->nameField();
    name->selectAll();
    QTest::keyClicks(name, QStringLiteral("drums"));
    EXPECT_EQ(bass->current(), std::nullopt) << "lower case has no default";
    name->selectAll();
    QTest::keyClicks(name, QStringLiteral("KEYS"));
    EXPECT_EQ(bass->current(), (Swatch{12, 0}));

    view->save();
    EXPECT_EQ(Config::load().groups[0].color, std::optional<QList<int>>(QList<int>{}));
    EXPECT_EQ(Config::load().groups[1].color, std::nullopt);
}

} // namespace
} // namespace Vantrel::UiTesting
