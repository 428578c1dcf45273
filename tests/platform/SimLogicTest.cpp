// The simulated Logic Pro, checked only through the platform seam (accessibility calls, posted
// events, the drag tile) and the snapshot of the session it holds, as a program driving Logic Pro
// sees it.

#include "platform/SeamDriver.h"
#include "platform/sim/SimPlatform.h"
#include "support/TestFiles.h"

#include <QJsonDocument>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <map>
#include <stdexcept>
#include <thread>

using namespace Vantrel;
using Fixtures::SeamDriver;

namespace {

constexpr std::uint64_t cmd = EventFlags::command;
constexpr std::uint64_t shift = EventFlags::shift;
constexpr std::uint64_t option = EventFlags::option;
constexpr std::uint16_t keyA = 0, keyD = 2, keyReturn = 36, keyEscape = 53, keyG = 5;

const QString desc = QStringLiteral("AXDescription");
const QString title = QStringLiteral("AXTitle");
const QString value = QStringLiteral("AXValue");
const QString role = QStringLiteral("AXRole");
const QString enabled = QStringLiteral("AXEnabled");
const QString ident = QStringLiteral("AXIdentifier");
const QString selectedChildren = QStringLiteral("AXSelectedChildren");

// Table rows print as their names.
template <typename Case> auto PrintTo(const Case& c, std::ostream* os) -> decltype(c.name, void()) {
    *os << c.name;
}

// A clock, a simulated desktop with Logic running (in the background, empty project), a driver
// and a folder for files.
class Sim : public testing::Test {
public:
    VirtualClock clock;
    SimPlatform platform{clock};
    SeamDriver ax{platform};
    QTemporaryDir dir;
    const Rect tile{{360, 506}, {120, 70}};

    SimLogic& logic() { return platform.logic(); }

    // Brings Logic to the front and waits until it is there.
    void front() {
        ASSERT_TRUE(ax.ax().activate(ax.ax().runningApplications(SimLogic::bundleId()).first()));
        ax.wait(200);
    }
    // Files with these names in the fixture folder, by full path.
    QStringList files(const QStringList& names) {
        QStringList paths;
        for (const QString& n : names) {
            Fixtures::writeFile(dir.filePath(n), "RIFF");
            paths.append(dir.filePath(n));
        }
        return paths;
    }
    Point centre(const Element& e) {
        const auto f = ax.frame(e);
        return f ? f->center() : Point{-1, -1};
    }
    // The middle of a row's name field.
    Point nameSpot(const Element& row) {
        return centre(ax.find(row, ax.is(role, QStringLiteral("AXTextField"))));
    }
    Rect projectFrame() {
        for (const Element& w : ax.windows())
            if (ax.str(w, title).contains(QStringLiteral(" - ")))
                return *ax.frame(w);
        return {};
    }
    // A point of the track area below the last row, at the start of the timeline.
    Point belowLastRow() {
        const Rect w = projectFrame();
        const Element ruler = ax.findInWindows(ax.is(desc, QStringLiteral("Tracks time ruler")));
        const double x = ax.frame(ruler)->origin.x + 4;
        const QList<Element> rows = ax.rows();
        if (rows.isEmpty())
            return {x, w.origin.y + 0.78 * w.size.height};
        const Rect last = *ax.frame(rows.last());
        return {x,
                std::min(last.origin.y + last.size.height + 40, w.origin.y + w.size.height - 60)};
    }
    // Shows the tile with these files, drags it from its centre to `to`, and hides it.
    void dragFromTile(const QStringList& paths, Point to) {
        platform.dragTiles().showTile(paths, tile);
        ax.drag(tile.center(), to);
        platform.dragTiles().hideTile();
    }
    Element sheet() { return ax.findInWindows(ax.is(role, QStringLiteral("AXSheet"))); }
    // Makes a summing stack of these rows with the shortcut and the sheet.
    void makeStack(const QList<Element>& rows) {
        ASSERT_EQ(ax.select(rows), AXResult::success);
        ax.key(keyD, cmd | shift);
        ax.wait(300);
        const Element s = sheet();
        ASSERT_TRUE(s);
        ax.press(ax.find(s, ax.is(title, QStringLiteral("Summing stack"))));
        ax.press(ax.find(s, ax.is(title, QStringLiteral("Create"))));
        ax.wait(400);
    }
    QStringList sessionNames() {
        QStringList names;
        for (const SimTrack& t : logic().session().tracks)
            names.append(t.name);
        return names;
    }
    std::optional<QString> stackOf(const QString& name) {
        for (const SimTrack& t : logic().session().tracks)
            if (t.name == name)
                return t.stack;
        return std::nullopt;
    }
    // The swatch buttons of the Color window, by palette row, left to right: the buttons with a
    // value, without the column of other controls at the far left.
    std::vector<std::vector<Element>> paletteRows(const Element& window) {
        std::vector<std::pair<Rect, Element>> buttons;
        std::function<void(const Element&)> walk = [&](const Element& e) {
            if (ax.str(e, role) == QLatin1String("AXButton") &&
                ax.ax().attribute(e, value).status == AXResult::success && ax.frame(e))
                buttons.push_back({*ax.frame(e), e});
            for (const Element& k : ax.kids(e))
                walk(k);
        };
        walk(window);
        double left = 1e9;
        for (const auto& b : buttons)
            left = std::min(left, b.first.origin.x);
        std::map<double, std::vector<std::pair<Rect, Element>>> bands;
        for (const auto& b : buttons)
            if (b.first.origin.x > left + 5)
                bands[b.first.center().y].push_back(b);
        std::vector<std::vector<Element>> out;
        for (auto& [y, row] : bands) {
            std::sort(row.begin(), row.end(), [](const auto& a, const auto& b) {
                return a.first.origin.x < b.first.origin.x;
            });
            out.emplace_back();
            for (const auto& b : row)
                out.back().push_back(b.second);
        }
        return out;
    }
};

// --- Menus.

struct MenuCase {
    QStringList path;
    bool inEmptyProject;
    bool withATrackSelected;
};

// Verifies the menu bar's menus and that items are enabled as the project allows.
TEST_F(Sim, shouldOfferTheMenusWithItemsEnabledByWhatTheProjectHolds) {
    QStringList bar;
    for (const Element& item : ax.kids(ax.list(ax.app(), QStringLiteral("AXMenuBar")).first()))
        bar.append(ax.str(item, title));
    EXPECT_EQ(bar, (QStringList{"Apple", "Logic Pro", "File", "Edit", "Track", "Navigate", "Record",
                                "Mix", "View", "Window", "Help"}));

    const MenuCase cases[] = {
        {{"File", "Import", "Audio File…"}, true, true},
        {{"Track", "New Audio Track"}, true, true},
        {{"Track", "Rename Track"}, false, true},
        {{"Track", "Create Track Stack…"}, false, true},
        {{"Track", "Assign Track Color…"}, false, true},
        {{"Track", "Sort Tracks by", "Track Name"}, false, true},
        {{"Track", "Sort Tracks by", "Creation Date"}, false, true},
        {{"Track", "Delete Unused Tracks"}, false, true},
        {{"Track", "Flatten Stack"}, false, false},
        {{"Edit", "Undo"}, false, false},
        {{"Logic Pro", "Quit Logic Pro"}, true, true},
    };
    for (const MenuCase& c : cases) {
        const Element item = ax.menuItem(c.path);
        ASSERT_TRUE(item) << c.path.join(" > ").toStdString();
        EXPECT_EQ(ax.boolean(item, enabled), c.inEmptyProject) << c.path.join(" > ").toStdString();
    }
    logic().addTrack(QStringLiteral("KICK"));
    ASSERT_EQ(ax.select({ax.rows().first()}), AXResult::success);
    for (const MenuCase& c : cases)
        EXPECT_EQ(ax.boolean(ax.menuItem(c.path), enabled), c.withATrackSelected)
            << c.path.join(" > ").toStdString();
}

// Verifies separators, the stack shortcut's key, and that titles match only exactly.
TEST_F(Sim, shouldShowSeparatorsAndShortcutsAndMatchTitlesExactly) {
    const Element track = ax.menuItem({"Track"});
    const QList<Element> items = ax.kids(ax.kids(track).first());
    const auto separators = std::count_if(items.begin(), items.end(), [&](const Element& e) {
        return ax.str(e, title).isEmpty() && ax.boolean(e, enabled) == false;
    });
    EXPECT_GE(separators, 4);
    EXPECT_EQ(
        ax.str(ax.menuItem({"Track", "Create Track Stack…"}), QStringLiteral("AXMenuItemCmdChar")),
        QStringLiteral("D"));
    EXPECT_FALSE(ax.menuItem({"Track", "Create Track Stack..."}));
    EXPECT_FALSE(ax.menuItem({"track", "New Audio Track"}));
}

// Verifies that a menu command answers at once but takes effect only after Logic's reaction
// time, and that a disabled item answers -25204 and does nothing.
TEST_F(Sim, shouldApplyAMenuCommandAfterItsReactionTime) {
    EXPECT_EQ(ax.pressMenu({"Track", "Rename Track"}), AXResult::cannotComplete);
    EXPECT_EQ(ax.pressMenu({"Track", "New Audio Track"}), AXResult::success);
    EXPECT_TRUE(ax.rows().isEmpty());
    ax.wait(100);
    EXPECT_TRUE(ax.rows().isEmpty());
    ax.wait(100);
    EXPECT_EQ(ax.names(), QStringList{"Audio 1"});
    EXPECT_EQ(ax.list(ax.header(), selectedChildren), ax.rows());
    EXPECT_EQ(ax.str(ax.rows().first(), desc), QStringLiteral("Track 1 \u201CAudio 1\u201D"));
}

// Verifies that a dialog disables the project's commands and that a press in the window behind
// it is taken but ignored.
TEST_F(Sim, shouldIgnoreTheProjectWindowWhileADialogIsOpen) {
    logic().addTrack(QStringLiteral("KICK"));
    logic().addTrack(QStringLiteral("SNARE"));
    front();
    makeStack(ax.rows());
    ASSERT_EQ(ax.pressMenu({"File", "Import", "Audio File…"}), AXResult::success);
    ax.wait(500);
    ASSERT_TRUE(ax.windowTitled(QStringLiteral("Open File")));
    EXPECT_EQ(ax.boolean(ax.menuItem({"Track", "New Audio Track"}), enabled), false);
    EXPECT_EQ(ax.pressMenu({"Track", "New Audio Track"}), AXResult::cannotComplete);
    EXPECT_EQ(ax.boolean(ax.menuItem({"Logic Pro", "Quit Logic Pro"}), enabled), true);
    EXPECT_EQ(ax.press(ax.triangle(ax.rows().first())), AXResult::success);
    ax.wait(300);
    EXPECT_EQ(ax.names().size(), 3);
    EXPECT_FALSE(logic().session().tracks.first().folded);
}

// --- Stacks.

class SimStack : public Sim, public testing::WithParamInterface<bool> {};

// Verifies that the stack sheet (by shortcut or menu) turns the selected rows into a summing
// stack whose row is selected and open, with its tracks as flat rows below it.
TEST_P(SimStack, shouldTurnTheSelectedRowsIntoASummingStack) {
    for (const char* n : {"KICK", "SNARE", "BASS"})
        logic().addTrack(QString::fromUtf8(n));
    front();
    const QList<Element> rows = ax.rows();
    ASSERT_EQ(ax.select({rows[0], rows[1]}), AXResult::success);
    if (GetParam())
        ax.key(keyD, cmd | shift);
    else
        ASSERT_EQ(ax.pressMenu({"Track", "Create Track Stack…"}), AXResult::success);
    EXPECT_FALSE(sheet());
    ax.wait(300);
    const Element s = sheet();
    ASSERT_TRUE(s);
    const Element summing = ax.find(s, ax.is(title, QStringLiteral("Summing stack")));
    EXPECT_EQ(ax.integer(summing, value), 0);
    ax.press(summing);
    EXPECT_EQ(ax.integer(summing, value), 1);
    EXPECT_EQ(ax.press(ax.find(s, ax.is(title, QStringLiteral("Create")))), AXResult::success);
    EXPECT_FALSE(sheet());
    ax.wait(400);

    EXPECT_EQ(ax.names(), (QStringList{"Sum 1", "KICK", "SNARE", "BASS"}));
    const QList<Element> after = ax.rows();
    EXPECT_EQ(ax.integer(ax.triangle(after[0]), value), 1);
    EXPECT_FALSE(ax.triangle(after[1]));
    EXPECT_EQ(ax.list(ax.header(), selectedChildren), QList<Element>{after[0]});
    const SimSession session = logic().session();
    EXPECT_TRUE(session.tracks[0].isStack && session.tracks[0].summing);
    EXPECT_EQ(session.tracks[1].stack, QStringLiteral("Sum 1"));
    EXPECT_EQ(session.tracks[2].stack, QStringLiteral("Sum 1"));
    EXPECT_EQ(session.tracks[3].stack, std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(OpenedBy, SimStack, testing::Values(true, false),
                         [](const testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "shortcut" : "menu");
                         });

enum class FoldBy { click, optionClick, press };

struct FoldCase {
    const char* name;
    FoldBy how;
    std::vector<bool> folded; // of the two stacks
    int rows;
};

void PrintTo(const FoldCase& c, std::ostream* os) {
    *os << c.name;
}

class SimFold : public Sim, public testing::WithParamInterface<FoldCase> {};

// Verifies folding from the first stack's triangle: a click folds that stack, an option-click
// folds all, a press folds that one; folded members leave the tree; the same again reopens.
TEST_P(SimFold, shouldFoldFromTheTriangle) {
    for (const char* n : {"a", "b", "c", "d"})
        logic().addTrack(QString::fromUtf8(n));
    front();
    makeStack({ax.rows()[0], ax.rows()[1]});
    makeStack({ax.rows()[3], ax.rows()[4]});
    ASSERT_EQ(ax.names(), (QStringList{"Sum 1", "a", "b", "Sum 2", "c", "d"}));
    const auto act = [&] {
        const Element t = ax.triangle(ax.rows().first());
        if (GetParam().how == FoldBy::press)
            EXPECT_EQ(ax.press(t), AXResult::success);
        else
            ax.click(centre(t), 1, GetParam().how == FoldBy::optionClick ? option : 0);
        ax.wait(100);
    };
    act();
    std::vector<bool> folded;
    for (const SimTrack& t : logic().session().tracks)
        if (t.isStack)
            folded.push_back(t.folded);
    EXPECT_EQ(folded, GetParam().folded);
    EXPECT_EQ(ax.rows().size(), GetParam().rows);
    EXPECT_EQ(ax.integer(ax.triangle(ax.rows().first()), value), 0);
    act();
    EXPECT_EQ(ax.rows().size(), 6);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SimFold,
    testing::Values(FoldCase{"click", FoldBy::click, {true, false}, 4},
                    FoldCase{"optionClick", FoldBy::optionClick, {true, true}, 2},
                    FoldCase{"press", FoldBy::press, {true, false}, 4}),
    [](const testing::TestParamInfo<FoldCase>& info) { return std::string(info.param.name); });

// --- Sorting, renaming, cleaning up, moving.

struct SortCase {
    const char* name;
    QStringList path;
    QStringList expected;
};

void PrintTo(const SortCase& c, std::ostream* os) {
    *os << c.name;
}

class SimSort : public Sim, public testing::WithParamInterface<SortCase> {};

// Verifies the sorts (stacks move with their members, members sort inside) and that the rows
// stay the same elements while their content changes.
TEST_P(SimSort, shouldSortAndKeepTheRowElements) {
    for (const char* n : {"b", "Zed", "a"})
        logic().addTrack(QString::fromUtf8(n));
    front();
    makeStack({ax.rows()[0], ax.rows()[2]});
    ASSERT_EQ(ax.names(), (QStringList{"Sum 1", "b", "a", "Zed"}));
    const QList<Element> before = ax.rows();
    ASSERT_EQ(ax.pressMenu(GetParam().path), AXResult::success);
    ax.wait(300);
    EXPECT_EQ(ax.names(), GetParam().expected);
    EXPECT_EQ(ax.rows(), before);
}

INSTANTIATE_TEST_SUITE_P(Table, SimSort,
                         testing::Values(SortCase{"trackName",
                                                  {"Track", "Sort Tracks by", "Track Name"},
                                                  {"Sum 1", "a", "b", "Zed"}},
                                         SortCase{"creationDate",
                                                  {"Track", "Sort Tracks by", "Creation Date"},
                                                  {"Zed", "Sum 1", "b", "a"}},
                                         SortCase{"midiChannel",
                                                  {"Track", "Sort Tracks by", "MIDI Channel"},
                                                  {"Sum 1", "b", "a", "Zed"}}),
                         [](const testing::TestParamInfo<SortCase>& info) {
                             return std::string(info.param.name);
                         });

struct RenameCase {
    const char* name;
    std::function<void(Sim&, SeamDriver&, const Element&)> act;
    QString expected;
};

void PrintTo(const RenameCase& c, std::ostream* os) {
    *os << c.name;
}

class SimRename : public Sim, public testing::WithParamInterface<RenameCase> {};

// Verifies renaming through the menu and by double-clicking the name, what the caret does, and
// that Escape leaves the name alone.
TEST_P(SimRename, shouldRenameTheTrack) {
    logic().addTrack(QStringLiteral("VOX"));
    logic().addTrack(QStringLiteral("BASS"));
    front();
    GetParam().act(*this, ax, ax.rows().first());
    ax.key(keyReturn);
    ax.wait(100);
    EXPECT_EQ(ax.names(), (QStringList{GetParam().expected, "BASS"}));
}

void renameByMenu(Sim&, SeamDriver& ax, const Element& row) {
    ax.select({row});
    ASSERT_EQ(ax.pressMenu({"Track", "Rename Track"}), AXResult::success);
    ax.wait(150);
}

INSTANTIATE_TEST_SUITE_P(Table, SimRename,
                         testing::Values(RenameCase{"menu",
                                                    [](Sim& s, SeamDriver& ax, const Element& row) {
                                                        renameByMenu(s, ax, row);
                                                        ax.type(QStringLiteral("Lead"));
                                                    },
                                                    "Lead"},
                                         RenameCase{"doubleClickAndSelectAll",
                                                    [](Sim& s, SeamDriver& ax, const Element& row) {
                                                        ax.doubleClick(s.nameSpot(row));
                                                        ax.key(keyA, cmd);
                                                        ax.type(QStringLiteral("Lead"));
                                                    },
                                                    "Lead"},
                                         RenameCase{"doubleClickTypesAtTheEnd",
                                                    [](Sim& s, SeamDriver& ax, const Element& row) {
                                                        ax.doubleClick(s.nameSpot(row));
                                                        ax.type(QStringLiteral(" 2"));
                                                    },
                                                    "VOX 2"},
                                         RenameCase{"escapeCancels",
                                                    [](Sim& s, SeamDriver& ax, const Element& row) {
                                                        renameByMenu(s, ax, row);
                                                        ax.type(QStringLiteral("Lead"));
                                                        ax.key(keyEscape);
                                                    },
                                                    "VOX"}),
                         [](const testing::TestParamInfo<RenameCase>& info) {
                             return std::string(info.param.name);
                         });

// Verifies that Delete Unused Tracks removes the tracks without audio and the stacks left empty.
TEST_F(Sim, shouldDeleteTheTracksWithoutAudio) {
    logic().addTrack(QStringLiteral("a"));
    logic().addTrack(QStringLiteral("b"), false);
    logic().addTrack(QStringLiteral("c"), false);
    logic().addTrack(QStringLiteral("d"));
    front();
    makeStack({ax.rows()[1], ax.rows()[2]});
    ASSERT_EQ(ax.names(), (QStringList{"a", "Sum 1", "b", "c", "d"}));
    ASSERT_EQ(ax.pressMenu({"Track", "Delete Unused Tracks"}), AXResult::success);
    ax.wait(300);
    EXPECT_EQ(ax.names(), (QStringList{"a", "d"}));
}

struct MoveCase {
    const char* name;
    bool stackBC;   // b and c in a stack first
    int from;       // row dragged, by its left edge + 8
    int onto;       // row released over
    bool lowerHalf; // released in its lower half (below it) rather than near its top (above it)
    QStringList expected;
    QString stackOfMoved; // empty: not in a stack
};

void PrintTo(const MoveCase& c, std::ostream* os) {
    *os << c.name;
}

class SimMove : public Sim, public testing::WithParamInterface<MoveCase> {};

// Verifies that dragging a header moves the row above (or below) the row it is released over,
// into a stack when released between its rows.
TEST_P(SimMove, shouldMoveARowByDraggingItsHeader) {
    const MoveCase& c = GetParam();
    for (const char* n : {"a", "b", "c", "d"})
        logic().addTrack(QString::fromUtf8(n));
    front();
    if (c.stackBC)
        makeStack({ax.rows()[1], ax.rows()[2]});
    const QString moved = ax.names()[c.from];
    const Rect from = *ax.frame(ax.rows()[c.from]);
    const Rect onto = *ax.frame(ax.rows()[c.onto]);
    const Point start{from.origin.x + 8, from.center().y};
    const Point end{start.x,
                    c.lowerHalf ? onto.origin.y + onto.size.height - 3 : onto.origin.y + 3};
    ax.drag(start, end, 24);
    ax.wait(200);
    EXPECT_EQ(ax.names(), c.expected);
    EXPECT_EQ(stackOf(moved).value_or(QString()), c.stackOfMoved);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SimMove,
    testing::Values(
        MoveCase{"up", false, 3, 1, false, {"a", "d", "b", "c"}, {}},
        MoveCase{"downToTheEnd", false, 0, 3, true, {"b", "c", "d", "a"}, {}},
        MoveCase{"intoAStack", true, 4, 3, false, {"a", "Sum 1", "b", "d", "c"}, "Sum 1"},
        MoveCase{"outOfAStack", true, 2, 4, true, {"a", "Sum 1", "c", "d", "b"}, {}},
        MoveCase{"aStackWithItsMembers", true, 1, 0, false, {"Sum 1", "b", "c", "a", "d"}, {}}),
    [](const testing::TestParamInfo<MoveCase>& info) { return std::string(info.param.name); });

// --- Importing.

struct TileCase {
    const char* name;
    bool withFiles;
    Point pressOffset; // from the tile's centre
    enum { trackArea, ruler, nearby } release;
    int sessions;
    QStringList names;
};

void PrintTo(const TileCase& c, std::ostream* os) {
    *os << c.name;
}

class SimTile : public Sim, public testing::WithParamInterface<TileCase> {};

// Verifies the drag from the tile: only a press on it followed by a move of more than 4 points
// starts a drag, and only a release over the track area imports the audio files, one track per
// file named after it, below the last track (whatever is selected).
TEST_P(SimTile, shouldImportOnlyARealDragReleasedOverTheTrackArea) {
    const TileCase& c = GetParam();
    logic().addTrack(QStringLiteral("A"));
    logic().addTrack(QStringLiteral("B"));
    front();
    ax.select({ax.rows().first()});
    const QStringList paths =
        c.withFiles ? files({"KICK.wav", "notes.txt", "SNARE.aif"}) : QStringList();
    Point to = belowLastRow();
    if (c.release == TileCase::ruler)
        to = centre(ax.findInWindows(ax.is(desc, QStringLiteral("Tracks time ruler"))));
    if (c.release == TileCase::nearby)
        to = {tile.center().x + 4, tile.center().y};
    platform.dragTiles().showTile(paths, tile);
    const Point from{tile.center().x + c.pressOffset.x, tile.center().y + c.pressOffset.y};
    ax.drag(from, to);
    platform.dragTiles().hideTile();
    EXPECT_EQ(platform.dragSessions(), c.sessions);
    EXPECT_EQ(ax.names(), (QStringList{"A", "B"}));
    ax.wait(1000);
    EXPECT_EQ(ax.names(), c.names);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SimTile,
    testing::Values(
        TileCase{"dragToTheTrackArea",
                 true,
                 {0, 0},
                 TileCase::trackArea,
                 1,
                 {"A", "B", "KICK", "SNARE"}},
        TileCase{"moveOfFourPointsIsAClick", true, {0, 0}, TileCase::nearby, 0, {"A", "B"}},
        TileCase{"emptyTile", false, {0, 0}, TileCase::trackArea, 0, {"A", "B"}},
        TileCase{"releasedOverTheRuler", true, {0, 0}, TileCase::ruler, 1, {"A", "B"}},
        TileCase{"pressNextToTheTile", true, {-70, 0}, TileCase::trackArea, 0, {"A", "B"}}),
    [](const testing::TestParamInfo<TileCase>& info) { return std::string(info.param.name); });

// Verifies the import dialog: Go to Folder, the file list, the Open button that only an audio
// file enables, and the file landing on the selected empty track.
TEST_F(Sim, shouldImportAFileThroughTheDialog) {
    Fixtures::writeFile(dir.filePath("sub/kick.wav"), "RIFF");
    Fixtures::writeFile(dir.filePath("sub/Notes.txt"), "x");
    front();
    ASSERT_EQ(ax.pressMenu({"Track", "New Audio Track"}), AXResult::success);
    ax.wait(200);
    ASSERT_EQ(ax.pressMenu({"File", "Import", "Audio File…"}), AXResult::success);
    ax.wait(500);
    const auto openPanel = [&] {
        for (const Element& w : ax.windows())
            if (ax.str(w, ident) == QLatin1String("open-panel"))
                return w;
        return Element();
    };
    ASSERT_TRUE(openPanel());
    EXPECT_EQ(ax.str(openPanel(), title), QStringLiteral("Open File"));

    ax.key(keyG, cmd | shift);
    ax.wait(200);
    const Element field = ax.findInWindows(ax.is(ident, QStringLiteral("PathTextField")));
    ASSERT_TRUE(field);
    EXPECT_EQ(ax.ax().setAttribute(field, value, dir.filePath("sub")), AXResult::success);
    ax.key(keyReturn);
    ax.wait(200);
    EXPECT_FALSE(ax.findInWindows(ax.is(ident, QStringLiteral("GoToWindow"))));

    const Element list = ax.findInWindows(ax.is(ident, QStringLiteral("ListView")));
    QList<Element> rows;
    QStringList names;
    for (const Element& k : ax.kids(list))
        if (ax.str(k, role) == QLatin1String("AXRow")) {
            rows.append(k);
            names.append(ax.str(ax.find(k, ax.is(role, QStringLiteral("AXTextField"))), value));
        }
    EXPECT_EQ(names, (QStringList{"kick.wav", "Notes.txt"}));
    const Element ok = ax.findInWindows(ax.is(ident, QStringLiteral("OKButton")));
    EXPECT_EQ(ax.str(ok, title), QStringLiteral("Open"));
    EXPECT_EQ(ax.boolean(ok, enabled), false);
    ax.ax().setAttribute(list, QStringLiteral("AXSelectedRows"), QList<Element>{rows[1]});
    EXPECT_EQ(ax.boolean(ok, enabled), false);
    EXPECT_EQ(ax.press(ok), AXResult::cannotComplete);
    ax.ax().setAttribute(list, QStringLiteral("AXSelectedRows"), QList<Element>{rows[0]});
    EXPECT_EQ(ax.boolean(ok, enabled), true);
    EXPECT_EQ(ax.press(ok), AXResult::success);
    ax.wait(600);
    EXPECT_FALSE(openPanel());
    const SimSession session = logic().session();
    ASSERT_EQ(session.tracks.size(), 1);
    EXPECT_EQ(session.tracks[0].name, QStringLiteral("Audio 1"));
    EXPECT_TRUE(session.tracks[0].hasAudio);

    // Opened again, the dialog shows the folder it opened from.
    ASSERT_EQ(ax.pressMenu({"File", "Import", "Audio File…"}), AXResult::success);
    ax.wait(500);
    QStringList again;
    for (const Element& k : ax.kids(ax.findInWindows(ax.is(ident, QStringLiteral("ListView")))))
        if (ax.str(k, role) == QLatin1String("AXRow"))
            again.append(ax.str(ax.find(k, ax.is(role, QStringLiteral("AXTextField"))), value));
    EXPECT_EQ(again, (QStringList{"kick.wav", "Notes.txt"}));
}

// Verifies that typing in Go to Folder completes a folder name and Return goes there, while a
// path that does not exist keeps the box open.
TEST_F(Sim, shouldCompleteTheTypedFolderAndStayOpenOnAMissingOne) {
    Fixtures::writeFile(dir.filePath("sessions/take.wav"), "RIFF");
    front();
    ax.pressMenu({"File", "Import", "Audio File…"});
    ax.wait(500);
    ax.key(keyG, cmd | shift);
    ax.wait(200);
    const Element field = ax.findInWindows(ax.is(ident, QStringLiteral("PathTextField")));
    ax.type(dir.path() + QStringLiteral("/nowhere"));
    ax.key(keyReturn);
    ax.wait(200);
    EXPECT_TRUE(ax.findInWindows(ax.is(ident, QStringLiteral("GoToWindow"))));

    ax.ax().setAttribute(field, value, QString());
    ax.type(dir.path() + QStringLiteral("/se"));
    EXPECT_EQ(ax.str(field, value), dir.filePath("sessions"));
    ax.key(keyReturn);
    ax.wait(200);
    EXPECT_FALSE(ax.findInWindows(ax.is(ident, QStringLiteral("GoToWindow"))));
    const Element list = ax.findInWindows(ax.is(ident, QStringLiteral("ListView")));
    EXPECT_TRUE(ax.find(list, ax.is(value, QStringLiteral("take.wav"))));
}

// --- Colours.

// Verifies the Color window's layout (a column of controls, then 24 x 4 swatches 28 and 20
// points apart), that a swatch click colours the selected tracks, and its close button.
TEST_F(Sim, shouldColourTheSelectedTracksFromTheColorWindow) {
    for (const char* n : {"a", "b", "c"})
        logic().addTrack(QString::fromUtf8(n));
    front();
    ax.select({ax.rows()[0], ax.rows()[2]});
    ASSERT_EQ(ax.pressMenu({"Track", "Assign Track Color…"}), AXResult::success);
    ax.wait(300);
    const Element window = ax.windowTitled(QStringLiteral("Color"));
    ASSERT_TRUE(window);
    const Rect w = *ax.frame(window);
    const auto grid = paletteRows(window);
    ASSERT_EQ(grid.size(), 4u);
    for (const auto& row : grid)
        EXPECT_EQ(row.size(), 24u);
    EXPECT_EQ(centre(grid[0][0]), (Point{w.origin.x + 59.25, w.origin.y + 46.5}));
    EXPECT_EQ(centre(grid[3][23]), (Point{w.origin.x + 703.25, w.origin.y + 106.5}));

    ax.click(centre(grid[2][5]));
    ax.wait(100);
    const SimSession session = logic().session();
    EXPECT_EQ(session.tracks[0].color, std::make_pair(5, 2));
    EXPECT_EQ(session.tracks[1].color, std::nullopt);
    EXPECT_EQ(session.tracks[2].color, std::make_pair(5, 2));
    EXPECT_EQ(ax.integer(grid[2][5], value), 1);

    EXPECT_EQ(ax.press(ax.find(window, ax.is(desc, QStringLiteral("close")))), AXResult::success);
    EXPECT_FALSE(ax.windowTitled(QStringLiteral("Color")));
    EXPECT_EQ(ax.ax().attribute(grid[0][0], value).status, AXResult::invalidElement);
}

// --- The application, input and the accessibility interface.

// Verifies that keystrokes reach Logic only while it is frontmost, that a click on its window
// while it is in the background only brings it to the front, and that activation takes time.
TEST_F(Sim, shouldTakeKeysOnlyWhenFrontmost) {
    logic().addTrack(QStringLiteral("a"));
    logic().addTrack(QStringLiteral("b"));
    ax.select({ax.rows()[0]});
    EXPECT_EQ(ax.boolean(ax.app(), QStringLiteral("AXFrontmost")), false);
    ax.key(keyD, cmd | shift);
    ax.wait(400);
    EXPECT_FALSE(sheet());

    ax.click(nameSpot(ax.rows()[1]));
    EXPECT_EQ(ax.list(ax.header(), selectedChildren), QList<Element>{ax.rows()[0]});
    ax.wait(100);
    EXPECT_EQ(ax.boolean(ax.app(), QStringLiteral("AXFrontmost")), true);

    ax.key(keyD, cmd | shift);
    ax.wait(300);
    EXPECT_TRUE(sheet());
}

// Verifies the result codes: unsupported attributes and actions, a foreign element, values of
// the wrong kind, and elements that left the tree.
TEST_F(Sim, shouldAnswerTheAccessibilityResultCodes) {
    logic().addTrack(QStringLiteral("a"));
    logic().addTrack(QStringLiteral("b"));
    front();
    makeStack(ax.rows());
    const Element header = ax.header();
    const Element memberRow = ax.rows()[2];
    EXPECT_EQ(ax.ax().attribute(header, QStringLiteral("AXNoSuchThing")).status,
              AXResult::attributeUnsupported);
    EXPECT_EQ(ax.ax().performAction(memberRow, QStringLiteral("AXPress")),
              AXResult::actionUnsupported);
    EXPECT_EQ(ax.ax().setAttribute(memberRow, QStringLiteral("AXSelected"), true),
              AXResult::attributeUnsupported);
    EXPECT_EQ(ax.ax().setAttribute(header, selectedChildren, QStringLiteral("x")),
              AXResult::illegalArgument);
    EXPECT_EQ(ax.ax().attribute(std::make_shared<ElementObject>(), role).status,
              AXResult::illegalArgument);

    ax.click(centre(ax.triangle(ax.rows().first())));
    ax.wait(100);
    EXPECT_EQ(ax.rows().size(), 1);
    EXPECT_EQ(ax.ax().attribute(memberRow, desc).status, AXResult::invalidElement);
}

// Verifies that the counters count every call and event, whatever its answer.
TEST_F(Sim, shouldCountWhatItWasAsked) {
    logic().resetCounters();
    const Element app = ax.app();
    ax.ax().attribute(app, title);
    ax.ax().attribute(app, QStringLiteral("AXNoSuchThing"));
    ax.ax().setAttribute(app, QStringLiteral("AXFrontmost"), true);
    ax.press(app);
    ax.key(keyReturn);
    ax.click({700, 500});
    const SimCounters c = logic().counters();
    EXPECT_EQ(c, (SimCounters{2, 1, 1, 2, 3}));
    EXPECT_EQ(QJsonDocument(c.toJson()).toJson(QJsonDocument::Compact),
              QByteArray(R"({"actions":1,"attributeReads":2,"attributeWrites":1,)"
                         R"("keyEvents":2,"mouseEvents":3})"));
}

// Verifies that several attributes read in one call give what separate reads give, a missing
// one failing alone, count as one read and cost one call; a call without the permission fails
// every read.
TEST_F(Sim, shouldReadSeveralAttributesInOneCall) {
    logic().addTrack(QStringLiteral("a"));
    front();
    const Element row = ax.rows().first();
    const QStringList names{role, desc, QStringLiteral("AXNoSuchThing"), QStringLiteral("AXSize")};
    QList<AttributeRead> separate;
    for (const QString& n : names)
        separate << ax.ax().attribute(row, n);
    logic().setQuirk(QStringLiteral("call-cost=2"), true);
    logic().resetCounters();
    const Clock::Duration before = clock.now();
    const QList<AttributeRead> together = ax.ax().attributes(row, names);
    EXPECT_EQ(clock.now() - before, std::chrono::milliseconds(2));
    EXPECT_EQ(logic().counters().attributeReads, 1);
    ASSERT_EQ(together.size(), names.size());
    for (qsizetype i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i].toStdString());
        EXPECT_EQ(together[i].status, separate[i].status);
        EXPECT_EQ(together[i].value, separate[i].value);
    }
    EXPECT_EQ(together[0].status, AXResult::success);
    EXPECT_EQ(together[2].status, AXResult::attributeUnsupported);

    logic().setQuirk(SimQuirk::notTrusted, true);
    for (const AttributeRead& r : ax.ax().attributes(row, names))
        EXPECT_EQ(r.status, AXResult::apiDisabled);
}

// Verifies that a worker driving the simulator and another thread reading snapshots can run
// at the same time, the reader seeing the tracks arrive one by one.
TEST_F(Sim, shouldServeTwoThreadsAtOnce) {
    std::atomic<bool> done = false;
    std::thread worker([&] {
        SeamDriver driver(platform);
        for (int i = 0; i < 20; ++i) {
            driver.pressMenu({"Track", "New Audio Track"});
            driver.wait(200);
        }
        done = true;
    });
    qsizetype seen = 0;
    while (!done) {
        const qsizetype now = logic().session().tracks.size();
        EXPECT_GE(now, seen); // tracks only ever arrive
        seen = now;
    }
    worker.join();
    EXPECT_EQ(logic().session().tracks.size(), 20);
}

// Verifies that the simulator also runs on the machine's clock, as the program does on this
// system: a reaction comes once its time has really passed.
TEST(SimOnTheSystemClock, shouldReactOnceTheTimeHasPassed) {
    SimPlatform platform;
    SeamDriver ax(platform);
    ASSERT_EQ(ax.pressMenu({"Track", "New Audio Track"}), AXResult::success);
    ax.wait(400);
    EXPECT_EQ(ax.names(), QStringList{"Audio 1"});
}

// --- Quirks: each has a row that shows its effect through the seam.

struct QuirkCase {
    const char* name;
    std::function<void(Sim&)> check;
};

void PrintTo(const QuirkCase& c, std::ostream* os) {
    *os << c.name;
}

class SimQuirk : public Sim, public testing::WithParamInterface<QuirkCase> {};

TEST_P(SimQuirk, shouldShowItsEffect) {
    GetParam().check(*this);
}

const QuirkCase quirkCases[] = {
    {"not-trusted",
     [](Sim& s) {
         s.logic().addTrack(QStringLiteral("a"));
         s.front();
         s.ax.select({s.ax.rows().first()});
         const Element app = s.ax.app();
         s.logic().setQuirk(QStringLiteral("not-trusted"), true);
         EXPECT_FALSE(s.ax.ax().isTrusted());
         EXPECT_EQ(s.ax.ax().attribute(app, QStringLiteral("AXWindows")).status,
                   AXResult::apiDisabled);
         EXPECT_EQ(s.ax.ax().performAction(app, QStringLiteral("AXPress")), AXResult::apiDisabled);
         s.ax.key(keyD, cmd | shift);
         s.ax.ax().promptForTrust();
         EXPECT_EQ(s.logic().trustPrompts(), 1);
         EXPECT_FALSE(s.ax.ax().isTrusted());
         s.ax.wait(400);
         s.logic().setQuirk(QStringLiteral("not-trusted"), false);
         EXPECT_FALSE(s.sheet());
     }},
    {"not-running",
     [](Sim& s) {
         const Element app = s.ax.app();
         s.logic().setQuirk(QStringLiteral("not-running"), true);
         EXPECT_TRUE(s.ax.ax().runningApplications(SimLogic::bundleId()).isEmpty());
         EXPECT_FALSE(s.ax.ax().applicationElement(SimLogic::processId));
         EXPECT_FALSE(s.ax.ax().activate({SimLogic::processId, SimLogic::bundleId()}));
         EXPECT_EQ(s.ax.ax().attribute(app, title).status, AXResult::invalidElement);
     }},
    {"slow-ready",
     [](Sim& s) {
         s.logic().setQuirk(QStringLiteral("slow-ready"), true);
         const Element item = s.ax.menuItem({"Track", "New Audio Track"});
         EXPECT_EQ(s.ax.boolean(item, enabled), false);
         EXPECT_EQ(s.ax.press(item), AXResult::cannotComplete);
         s.ax.wait(2900);
         EXPECT_EQ(s.ax.boolean(item, enabled), false);
         s.ax.wait(200);
         EXPECT_EQ(s.ax.boolean(item, enabled), true);
     }},
    {"no-stack-shortcut",
     [](Sim& s) {
         s.logic().addTrack(QStringLiteral("a"));
         s.logic().setQuirk(QStringLiteral("no-stack-shortcut"), true);
         s.front();
         s.ax.select(s.ax.rows());
         s.ax.key(keyD, cmd | shift);
         s.ax.wait(500);
         EXPECT_FALSE(s.sheet());
         s.ax.pressMenu({"Track", "Create Track Stack…"});
         s.ax.wait(300);
         EXPECT_TRUE(s.sheet());
     }},
    {"rename-by-double-click-fails",
     [](Sim& s) {
         s.logic().addTrack(QStringLiteral("a"));
         s.logic().addTrack(QStringLiteral("b"));
         s.logic().setQuirk(QStringLiteral("rename-by-double-click-fails"), true);
         s.front();
         s.ax.doubleClick(s.nameSpot(s.ax.rows()[1]));
         s.ax.key(keyA, cmd);
         s.ax.type(QStringLiteral("Lead"));
         s.ax.key(keyReturn);
         s.ax.wait(200);
         EXPECT_EQ(s.ax.names(), (QStringList{"a", "b"}));
         EXPECT_EQ(s.ax.list(s.ax.header(), selectedChildren), QList<Element>{s.ax.rows()[1]});
     }},
    {"first-drag-ignored",
     [](Sim& s) {
         s.logic().setQuirk(QStringLiteral("first-drag-ignored"), true);
         const QStringList paths = s.files({"KICK.wav"});
         s.dragFromTile(paths, s.belowLastRow());
         s.ax.wait(1000);
         EXPECT_TRUE(s.ax.names().isEmpty());
         s.dragFromTile(paths, s.belowLastRow());
         s.ax.wait(1000);
         EXPECT_EQ(s.ax.names(), QStringList{"KICK"});
     }},
    {"drop-ignored",
     [](Sim& s) {
         s.logic().setQuirk(QStringLiteral("drop-ignored"), true);
         const QStringList paths = s.files({"KICK.wav"});
         s.dragFromTile(paths, s.belowLastRow());
         s.dragFromTile(paths, s.belowLastRow());
         s.ax.wait(1000);
         EXPECT_EQ(s.platform.dragSessions(), 2);
         EXPECT_TRUE(s.ax.names().isEmpty());
     }},
    {"options-window",
     [](Sim& s) {
         s.logic().setQuirk(QStringLiteral("options-window"), true);
         s.front();
         s.dragFromTile(s.files({"KICK.wav"}), s.belowLastRow());
         s.ax.wait(1000);
         EXPECT_EQ(s.ax.names(), QStringList{"KICK"});
         s.dragFromTile(s.files({"SNARE.wav", "HAT.wav"}), s.belowLastRow());
         s.ax.wait(400);
         const Element w = s.ax.windowTitled(QStringLiteral("Add Selected Files to Tracks"));
         ASSERT_TRUE(w);
         s.ax.wait(1000);
         EXPECT_EQ(s.ax.names(), QStringList{"KICK"});
         s.ax.press(s.ax.find(w, s.ax.is(title, QStringLiteral("Create new tracks"))));
         s.ax.press(s.ax.find(w, s.ax.is(title, QStringLiteral("OK"))));
         s.ax.wait(1000);
         EXPECT_FALSE(s.ax.windowTitled(QStringLiteral("Add Selected Files to Tracks")));
         EXPECT_EQ(s.ax.names(), (QStringList{"KICK", "SNARE", "HAT"}));
     }},
    {"tempo-alert",
     [](Sim& s) {
         s.logic().setQuirk(QStringLiteral("tempo-alert"), true);
         s.dragFromTile(s.files({"KICK.wav"}), s.belowLastRow());
         s.ax.wait(600);
         EXPECT_EQ(s.ax.names(), QStringList{"KICK"});
         const auto alert = [&] {
             for (const Element& w : s.ax.windows())
                 if (s.ax.str(w, desc) == QLatin1String("alert"))
                     return w;
             return Element();
         };
         EXPECT_FALSE(alert());
         s.ax.wait(1500);
         ASSERT_TRUE(alert());
         EXPECT_EQ(s.ax.boolean(s.ax.menuItem({"Track", "New Audio Track"}), enabled), false);
         // "Don’t Import" is one of the two buttons: first in the first alert, then second.
         const auto button = [&](int i) {
             return s.ax.find(alert(), s.ax.is(ident, QStringLiteral("action-button-%1").arg(i)));
         };
         EXPECT_EQ(s.ax.str(button(1), title), QStringLiteral("Don\u2019t Import"));
         EXPECT_EQ(s.ax.list(alert(), QStringLiteral("AXCancelButton")).value(0), button(1));
         EXPECT_EQ(s.ax.press(button(1)), AXResult::success);
         EXPECT_FALSE(alert());
         EXPECT_FALSE(s.logic().session().tempoImported);
         // With a value, the question comes that many seconds after the import.
         s.logic().setQuirk(QStringLiteral("tempo-alert=3"), true);
         s.dragFromTile(s.files({"SNARE.wav"}), s.belowLastRow());
         s.ax.wait(3200);
         EXPECT_FALSE(alert());
         s.ax.wait(200);
         ASSERT_TRUE(alert());
         EXPECT_EQ(s.ax.str(button(1), title), QStringLiteral("Import"));
         EXPECT_EQ(s.ax.str(button(2), title), QStringLiteral("Don\u2019t Import"));
         // "Import" takes the file's tempo into the project.
         EXPECT_EQ(s.ax.press(button(1)), AXResult::success);
         EXPECT_TRUE(s.logic().session().tempoImported);
     }},
    {"tracks-arrive-shuffled",
     [](Sim& s) {
         const QStringList names = {"t1", "t2", "t3", "t4", "t5", "t6", "t7", "t8"};
         QStringList fileNames;
         for (const QString& n : names)
             fileNames.append(n + QStringLiteral(".wav"));
         const QStringList paths = s.files(fileNames);
         const auto arrival = [&](SimPlatform& p) {
             p.logic().setQuirk(QStringLiteral("tracks-arrive-shuffled"), true);
             p.logic().setSeed(7);
             p.dragTiles().showTile(paths, s.tile);
             SeamDriver(p).drag(s.tile.center(), s.belowLastRow());
             SeamDriver(p).wait(2000);
             QStringList got;
             for (const SimTrack& t : p.logic().session().tracks)
                 got.append(t.name);
             return got;
         };
         const QStringList first = arrival(s.platform);
         VirtualClock otherClock;
         SimPlatform other(otherClock);
         EXPECT_EQ(arrival(other), first);
         EXPECT_NE(first, names);
         QStringList sorted = first;
         sorted.sort();
         EXPECT_EQ(sorted, names);
     }},
    {"color-grid-unreadable",
     [](Sim& s) {
         s.logic().addTrack(QStringLiteral("a"));
         s.logic().setQuirk(QStringLiteral("color-grid-unreadable"), true);
         s.front();
         s.ax.select(s.ax.rows());
         s.ax.pressMenu({"Track", "Assign Track Color…"});
         s.ax.wait(300);
         const Element window = s.ax.windowTitled(QStringLiteral("Color"));
         ASSERT_TRUE(window);
         EXPECT_TRUE(s.paletteRows(window).empty());
         const Rect w = *s.ax.frame(window);
         s.ax.click({w.origin.x + 59.25 + 3 * 28, w.origin.y + 46.5 + 20});
         s.ax.wait(100);
         EXPECT_EQ(s.logic().session().tracks[0].color, std::make_pair(3, 1));
     }},
    {"press-error",
     [](Sim& s) {
         s.logic().setQuirk(QStringLiteral("press-error"), true);
         EXPECT_EQ(s.ax.pressMenu({"Track", "New Audio Track"}), AXResult::cannotComplete);
         s.ax.wait(500);
         EXPECT_TRUE(s.sessionNames().isEmpty());
     }},
    {"visible-rows-only",
     [](Sim& s) {
         for (int i = 1; i <= 27; ++i)
             s.logic().addTrack(QStringLiteral("t%1").arg(i));
         EXPECT_EQ(s.ax.rows().size(), 27);
         s.logic().setQuirk(QStringLiteral("visible-rows-only"), true);
         const QList<Element> rows = s.ax.rows();
         ASSERT_LT(rows.size(), 27);
         ASSERT_GT(rows.size(), 10);
         const Rect w = *s.ax.frame(s.ax.windows().first());
         const Rect last = *s.ax.frame(rows.last());
         EXPECT_LE(last.origin.y + last.size.height, w.origin.y + w.size.height);
         EXPECT_EQ(s.ax.names().first(), QStringLiteral("t1"));
         // The wheel over the list scrolls it, within its bounds.
         const Point over = s.centre(rows.first());
         s.platform.input().postMouse({MouseEventType::scrollWheel, over, 0, 0, -5});
         EXPECT_EQ(s.ax.names().first(), QStringLiteral("t6"));
         s.platform.input().postMouse({MouseEventType::scrollWheel, over, 0, 0, -100});
         EXPECT_EQ(s.ax.names().last(), QStringLiteral("t27"));
         // Moving the selection with the arrow keys brings the selected row into view.
         s.front();
         s.ax.select({s.ax.rows().last()});
         s.platform.input().postMouse({MouseEventType::scrollWheel, over, 0, 0, 100});
         EXPECT_EQ(s.ax.names().first(), QStringLiteral("t1"));
         s.ax.key(126); // up
         EXPECT_EQ(s.ax.names().last(), QStringLiteral("t26"));
     }},
    {"triangle-press-does-nothing",
     [](Sim& s) {
         s.logic().addTrack(QStringLiteral("a"));
         s.front();
         s.makeStack(s.ax.rows());
         s.logic().setQuirk(QStringLiteral("triangle-press-does-nothing"), true);
         const Element t = s.ax.triangle(s.ax.rows().first());
         EXPECT_EQ(s.ax.press(t), AXResult::success);
         s.ax.wait(200);
         EXPECT_EQ(s.ax.integer(t, value), 1);
         s.ax.click(s.centre(t));
         s.ax.wait(200);
         EXPECT_EQ(s.ax.integer(t, value), 0);
     }},
    {"sort-by-name-does-nothing",
     [](Sim& s) {
         s.logic().addTrack(QStringLiteral("b"));
         s.logic().addTrack(QStringLiteral("a"));
         s.logic().setQuirk(QStringLiteral("sort-by-name-does-nothing"), true);
         EXPECT_EQ(s.ax.pressMenu({"Track", "Sort Tracks by", "Track Name"}), AXResult::success);
         s.ax.wait(500);
         EXPECT_EQ(s.ax.names(), (QStringList{"b", "a"}));
     }},
    {"busy-after-import",
     [](Sim& s) {
         // Busy for 10 s after the last track: a call waits 6 s and times out, the next one
         // waits out the rest and is answered; a write that timed out still took effect.
         s.logic().setQuirk(QStringLiteral("busy-after-import=10"), true);
         s.dragFromTile(s.files({"KICK.wav"}), s.belowLastRow());
         s.ax.wait(300);
         const Element app = s.ax.app();
         Clock::Duration before = s.clock.now();
         EXPECT_EQ(s.ax.ax().attribute(app, title).status, AXResult::cannotComplete);
         EXPECT_EQ(s.clock.now() - before, std::chrono::seconds(6));
         const Element row = s.ax.rows().first(); // waits the last 4 s
         before = s.clock.now();
         EXPECT_EQ(s.ax.ax().attribute(row, desc).status, AXResult::success);
         EXPECT_EQ(s.clock.now(), before);
         const Element header = s.ax.header();
         s.dragFromTile(s.files({"SNARE.wav"}), s.belowLastRow());
         s.ax.wait(300);
         EXPECT_EQ(s.ax.ax().setAttribute(header, selectedChildren, QList<Element>{row}),
                   AXResult::cannotComplete);
         EXPECT_EQ(s.logic().session().selection, QList<int>{0});
     }},
    {"read-errors",
     [](Sim& s) {
         const Element app = s.ax.app();
         s.logic().setQuirk(QStringLiteral("read-errors=1"), true);
         EXPECT_EQ(s.ax.ax().attribute(app, title).status, AXResult::cannotComplete);
         s.logic().setQuirk(QStringLiteral("read-errors=0.5"), true);
         s.logic().setSeed(3);
         int failed = 0;
         for (int i = 0; i < 200; ++i)
             failed += s.ax.ax().attribute(app, title).status == AXResult::cannotComplete;
         EXPECT_GT(failed, 60);
         EXPECT_LT(failed, 140);
         EXPECT_FALSE(s.logic().setQuirk(QStringLiteral("read-errors=2"), true));
         EXPECT_FALSE(s.logic().setQuirk(QStringLiteral("press-error=1"), true));
     }},
    {"press-error-after-effect",
     [](Sim& s) {
         s.logic().setQuirk(QStringLiteral("press-error-after-effect"), true);
         EXPECT_EQ(s.ax.pressMenu({"Track", "New Audio Track"}), AXResult::cannotComplete);
         s.ax.wait(500);
         EXPECT_EQ(s.sessionNames(), QStringList{"Audio 1"});
     }},
    {"stack-dialog-ok",
     [](Sim& s) {
         s.logic().addTrack(QStringLiteral("a"));
         s.logic().setQuirk(QStringLiteral("stack-dialog-ok"), true);
         s.front();
         ASSERT_EQ(s.ax.select(s.ax.rows()), AXResult::success);
         s.ax.pressMenu({"Track", "Create Track Stack…"});
         s.ax.wait(300);
         const Element sheet = s.sheet();
         ASSERT_TRUE(sheet);
         EXPECT_FALSE(s.ax.find(sheet, s.ax.is(title, QStringLiteral("Create"))));
         const QList<Element> byDefault = s.ax.list(sheet, QStringLiteral("AXDefaultButton"));
         ASSERT_EQ(byDefault.size(), 1);
         EXPECT_EQ(s.ax.str(byDefault.first(), title), QStringLiteral("OK"));
         s.ax.press(byDefault.first());
         s.ax.wait(400);
         EXPECT_EQ(s.sessionNames(), (QStringList{"Folder 1", "a"}));
     }},
    {"older-layout",
     [](Sim& s) {
         s.logic().addTrack(QStringLiteral("a"));
         s.front();
         s.makeStack(s.ax.rows());
         s.logic().setQuirk(QStringLiteral("older-layout"), true);
         EXPECT_FALSE(s.ax.header());
         const Element group = s.ax.findInWindows(s.ax.is(desc, QStringLiteral("Track Headers")));
         ASSERT_TRUE(group);
         const Element first = s.ax.kids(group).first();
         EXPECT_FALSE(s.ax.find(first, s.ax.is(role, QStringLiteral("AXDisclosureTriangle"))));
     }},
    {"stale-after-write",
     [](Sim& s) {
         s.logic().addTrack(QStringLiteral("a"));
         s.logic().setQuirk(QStringLiteral("stale-after-write"), true);
         const Element row = s.ax.rows().first();
         EXPECT_EQ(s.ax.select({row}), AXResult::success);
         EXPECT_EQ(s.ax.ax().attribute(row, desc).status, AXResult::invalidElement);
         EXPECT_EQ(s.ax.names(), QStringList{"a"});
     }},
    {"call-cost",
     [](Sim& s) {
         const Element app = s.ax.app();
         s.logic().setQuirk(QStringLiteral("call-cost=2"), true);
         const Clock::Duration before = s.clock.now();
         s.ax.ax().attribute(app, title);
         s.ax.ax().performAction(app, QStringLiteral("AXRaise"));
         EXPECT_EQ(s.clock.now() - before, std::chrono::milliseconds(4));
     }},
    {"user-input",
     [](Sim& s) {
         for (const char* n : {"a", "b", "c", "d"})
             s.logic().addTrack(QString::fromLatin1(n));
         s.front();
         s.ax.select({s.ax.rows().first()});
         s.logic().setQuirk(QStringLiteral("user-input=1"), true);
         QSet<int> seen;
         for (int i = 0; i < 20; ++i) {
             s.ax.wait(1000);
             const QList<int> selection = s.logic().session().selection;
             ASSERT_EQ(selection.size(), 1);
             seen.insert(selection.first());
         }
         EXPECT_GT(seen.size(), 1);
     }},
    {"startup-dialog",
     [](Sim& s) {
         s.logic().setQuirk(QStringLiteral("startup-dialog"), true);
         s.front();
         ASSERT_TRUE(s.ax.windowTitled(QStringLiteral("New Tracks")));
         EXPECT_EQ(s.ax.boolean(s.ax.menuItem({"Track", "New Audio Track"}), enabled),
                   std::optional<bool>(false));
         s.dragFromTile(s.files({"KICK.wav"}), s.belowLastRow());
         s.ax.wait(1000);
         EXPECT_TRUE(s.ax.names().isEmpty()) << "a drop waits until the dialog is answered";
         s.ax.key(keyEscape);
         s.ax.wait(200);
         EXPECT_FALSE(s.ax.windowTitled(QStringLiteral("New Tracks")));
         EXPECT_EQ(s.ax.boolean(s.ax.menuItem({"Track", "New Audio Track"}), enabled),
                   std::optional<bool>(true));
         s.dragFromTile(s.files({"KICK.wav"}), s.belowLastRow());
         s.ax.wait(1000);
         EXPECT_EQ(s.ax.names(), QStringList{"KICK"});
     }},
    {"user-project",
     [](Sim& s) {
         s.logic().setQuirk(QStringLiteral("user-project"), true);
         s.front();
         EXPECT_EQ(s.ax.names(), (QStringList{"Lead Vox", "Piano", "Bass"}));
         EXPECT_TRUE(s.ax.windowTitled(QStringLiteral("My Song.logicx - My Song - Tracks")));
         // Each track's lane in the track area, described like its row, holds its region.
         const Element lanes = s.ax.findInWindows(s.ax.is(desc, QStringLiteral("Tracks contents")));
         QStringList withRegion;
         for (const Element& lane : s.ax.kids(lanes)) {
             for (const Element& item : s.ax.kids(lane)) {
                 if (s.ax.str(item, QStringLiteral("AXRole")) == u"AXLayoutItem")
                     withRegion << s.ax.str(lane, desc);
             }
         }
         EXPECT_EQ(withRegion,
                   (QStringList{"Track 1 “Lead Vox”", "Track 2 “Piano”", "Track 3 “Bass”"}));
         for (const SimTrack& t : s.logic().session().tracks)
             EXPECT_TRUE(t.hasAudio) << t.name.toStdString();
     }},
    {"two-projects",
     [](Sim& s) {
         s.logic().setQuirk(QStringLiteral("two-projects"), true);
         s.front();
         const QList<Element> windows = s.ax.windows();
         ASSERT_EQ(windows.size(), 2);
         EXPECT_EQ(s.ax.str(windows[0], title), "Untitled.logicx - Untitled - Tracks");
         EXPECT_EQ(s.ax.str(windows[1], title), "Other Song.logicx - Other Song - Tracks");
         EXPECT_EQ(s.ax.list(s.ax.app(), QStringLiteral("AXMainWindow")).value(0), windows[0]);
         const auto otherRows = [&] {
             QStringList d;
             const Element h =
                 s.ax.find(windows[1], s.ax.is(desc, QStringLiteral("Tracks header")));
             for (const Element& r : s.ax.kids(h))
                 d << s.ax.str(r, desc);
             return d;
         };
         EXPECT_EQ(otherRows(), (QStringList{"Track 1 “Guitar”", "Track 2 “Organ”"}));
         // A drop imports into the project in front only.
         s.dragFromTile(s.files({"KICK.wav"}), s.belowLastRow());
         s.ax.wait(1000);
         EXPECT_EQ(s.sessionNames(), QStringList{"KICK"});
         EXPECT_EQ(otherRows(), (QStringList{"Track 1 “Guitar”", "Track 2 “Organ”"}));
     }},
    {"complete-features-off",
     [](Sim& s) {
         s.logic().addTrack(QStringLiteral("a"));
         s.logic().setQuirk(QStringLiteral("complete-features-off"), true);
         s.front();
         EXPECT_TRUE(s.ax.menuItem({"Track", "New Audio Track"}));
         EXPECT_FALSE(s.ax.menuItem({"Track", "Create Track Stack…"}));
         EXPECT_FALSE(s.ax.menuItem({"Track", "Flatten Stack"}));
         s.ax.select(s.ax.rows());
         s.ax.key(keyD, cmd | shift);
         s.ax.wait(500);
         EXPECT_FALSE(s.sheet());
         s.logic().setQuirk(QStringLiteral("complete-features-off"), false);
         EXPECT_TRUE(s.ax.menuItem({"Track", "Create Track Stack…"}));
     }},
    {"summing-stack-title",
     [](Sim& s) {
         s.logic().addTrack(QStringLiteral("a"));
         s.logic().setQuirk(QStringLiteral("summing-stack-title"), true);
         s.front();
         s.ax.select(s.ax.rows());
         s.ax.key(keyD, cmd | shift);
         s.ax.wait(300);
         const Element sheet = s.sheet();
         ASSERT_TRUE(sheet);
         EXPECT_FALSE(s.ax.find(sheet, s.ax.is(title, QStringLiteral("Summing stack"))));
         EXPECT_TRUE(s.ax.find(sheet, s.ax.is(title, QStringLiteral("Folder Stack"))));
         s.ax.press(s.ax.find(sheet, s.ax.is(title, QStringLiteral("Summing Stack"))));
         s.ax.press(s.ax.find(sheet, s.ax.is(title, QStringLiteral("Create"))));
         s.ax.wait(400);
         ASSERT_FALSE(s.logic().session().tracks.isEmpty());
         EXPECT_TRUE(s.logic().session().tracks.first().summing);
     }},
    {"header-width",
     [](Sim& s) {
         s.logic().addTrack(QStringLiteral("a"));
         s.logic().setQuirk(QStringLiteral("header-width=200"), true);
         s.front();
         const Element row = s.ax.rows().first();
         const Rect r = *s.ax.frame(row);
         EXPECT_EQ(r.size.width, 200);
         const Element field = s.ax.find(row, s.ax.is(role, QStringLiteral("AXTextField")));
         EXPECT_EQ(*s.ax.frame(field), (Rect{{r.origin.x + 72, r.origin.y + 6}, {48, 20}}));
         // A click on the name field selects the track; one at 72 % of a narrow row is on its
         // Mute button.
         s.ax.click(s.centre(field));
         s.ax.wait(50);
         EXPECT_EQ(s.logic().session().selection, QList<int>{0});
         EXPECT_FALSE(s.logic().session().tracks[0].mute);
         s.ax.click({r.origin.x + 0.72 * r.size.width, r.center().y});
         s.ax.wait(50);
         EXPECT_TRUE(s.logic().session().tracks[0].mute);
         EXPECT_FALSE(SimLogic::quirkSettingError(QStringLiteral("header-width=100")) ==
                      std::nullopt);
     }},
    {"mixer-window",
     [](Sim& s) {
         s.logic().setQuirk(QStringLiteral("mixer-window"), true);
         s.front();
         const QList<Element> windows = s.ax.windows();
         ASSERT_EQ(windows.size(), 2);
         EXPECT_EQ(s.ax.str(windows[0], title), "Untitled - Mixer");
         // 78 % down an empty project window: under the Mixer, and in the editor pane below
         // the track list once the project window is raised; neither makes a track.
         const Rect w = s.projectFrame();
         const Point low{w.origin.x + 400, w.origin.y + 0.78 * w.size.height};
         s.dragFromTile(s.files({"KICK.wav"}), low);
         s.ax.wait(1000);
         EXPECT_TRUE(s.sessionNames().isEmpty());
         EXPECT_EQ(s.ax.ax().performAction(windows[1], QStringLiteral("AXRaise")),
                   AXResult::success);
         EXPECT_EQ(s.ax.str(s.ax.windows().first(), title), "Untitled.logicx - Untitled - Tracks");
         s.dragFromTile(s.files({"KICK.wav"}), low);
         s.ax.wait(1000);
         EXPECT_TRUE(s.sessionNames().isEmpty());
         const Rect list = *s.ax.frame(s.ax.header());
         s.dragFromTile(s.files({"KICK.wav"}), {low.x, list.origin.y + 40});
         s.ax.wait(1000);
         EXPECT_EQ(s.sessionNames(), QStringList{"KICK"});
     }},
    {"windows-empty-in-background",
     [](Sim& s) {
         s.logic().setQuirk(QStringLiteral("windows-empty-in-background"), true);
         EXPECT_TRUE(s.ax.windows().isEmpty());
         EXPECT_TRUE(s.ax.list(s.ax.app(), QStringLiteral("AXMainWindow")).isEmpty());
         EXPECT_EQ(s.logic().session().windows, QStringList{"Untitled.logicx - Untitled - Tracks"});
         s.front();
         EXPECT_EQ(s.ax.windows().size(), 1);
     }},
    {"focus-stolen",
     [](Sim& s) {
         s.logic().addTrack(QStringLiteral("a"));
         s.logic().setQuirk(QStringLiteral("focus-stolen"), true);
         s.front();
         const Element row = s.ax.rows().first();
         s.ax.doubleClick(s.nameSpot(row));
         s.ax.key(keyA, cmd);
         s.ax.type(QStringLiteral("Xy")); // the second key brings the system's dialog
         EXPECT_EQ(s.ax.boolean(s.ax.app(), QStringLiteral("AXFrontmost")), false);
         EXPECT_EQ(s.logic().session().nameEdit, std::nullopt);
         s.ax.type(QStringLiteral("z")); // lost: Logic is not in front
         s.ax.wait(50);
         EXPECT_EQ(s.ax.boolean(s.ax.app(), QStringLiteral("AXFrontmost")), true);
         EXPECT_EQ(s.sessionNames(), QStringList{"Xy"});
         // Back in front with no name field open, letters are key commands.
         s.ax.select({row});
         s.ax.type(QStringLiteral("msr"));
         const SimTrack t = s.logic().session().tracks.first();
         EXPECT_EQ(t.name, QStringLiteral("Xy"));
         EXPECT_TRUE(t.mute && t.solo && t.record);
     }},
    {"language",
     [](Sim& s) {
         s.logic().addTrack(QStringLiteral("a"));
         const struct {
             const char* setting;
             const char* track;
             const char* newAudioTrack;
             const char* window;
         } languages[] = {
             {"language=de", "Spur", "Neue Audiospur", "Ohne Titel.logicx - Ohne Titel - Spuren"},
             {"language=fr", "Piste", "Nouvelle piste audio",
              "Sans titre.logicx - Sans titre - Pistes"},
             {"language=ja", "トラック", "新規オーディオトラック",
              "名称未設定.logicx - 名称未設定 - トラック"},
         };
         for (const auto& l : languages) {
             SCOPED_TRACE(l.setting);
             ASSERT_TRUE(s.logic().setQuirk(QString::fromUtf8(l.setting), true));
             const QString track = QString::fromUtf8(l.track);
             EXPECT_FALSE(s.ax.menuItem({"Track", "New Audio Track"}));
             EXPECT_TRUE(s.ax.menuItem({track, QString::fromUtf8(l.newAudioTrack)}));
             EXPECT_TRUE(s.ax.windowTitled(QString::fromUtf8(l.window)));
             // The rows of the list whose selection can be set: their descriptions translated.
             QStringList rows;
             for (const Element& w : s.ax.windows())
                 for (const Element& r : s.ax.kids(s.ax.find(w, [&](const Element& e) {
                          return s.ax.ax().attribute(e, selectedChildren).status ==
                                 AXResult::success;
                      })))
                     rows << s.ax.str(r, desc);
             EXPECT_EQ(rows, QStringList{track + QStringLiteral(" 1 “a”")});
         }
         EXPECT_EQ(SimLogic::quirkSettingError(QStringLiteral("language=ko")),
                   QStringLiteral("quirk language needs de, fr or ja, not “ko”"));
     }},
};

INSTANTIATE_TEST_SUITE_P(Table, SimQuirk, testing::ValuesIn(quirkCases),
                         [](const testing::TestParamInfo<QuirkCase>& info) {
                             std::string n = info.param.name;
                             std::replace(n.begin(), n.end(), '-', '_');
                             return n;
                         });

// Verifies that every quirk has a row above and that unknown names are refused.
TEST(SimQuirks, shouldListEveryQuirkAndRefuseUnknownNames) {
    QStringList covered;
    for (const QuirkCase& c : quirkCases)
        covered.append(QString::fromUtf8(c.name));
    EXPECT_EQ(covered, SimLogic::quirkNames());
    for (const QString& name : SimLogic::quirkNames())
        EXPECT_FALSE(SimLogic::quirkDescription(name).isEmpty()) << name.toStdString();

    VirtualClock clock;
    SimPlatform platform(clock, {QStringLiteral("tempo-alert")});
    EXPECT_EQ(platform.logic().activeQuirks(), QStringList{"tempo-alert"});
    EXPECT_TRUE(platform.logic().setQuirk(QStringLiteral("busy-after-import=2.5"), true));
    EXPECT_EQ(platform.logic().activeQuirks(),
              (QStringList{"tempo-alert", "busy-after-import=2.5"}));
    EXPECT_EQ(SimLogic::quirkSettingError(QStringLiteral("call-cost=abc")),
              QStringLiteral("quirk call-cost needs a number of milliseconds, not “abc”"));
    EXPECT_EQ(SimLogic::quirkSettingError(QStringLiteral("tempo-alert=random")), std::nullopt);
    EXPECT_TRUE(platform.logic().applyProfile(QStringLiteral("realistic")));
    EXPECT_EQ(platform.logic().activeQuirks(),
              (QStringList{"options-window", "tempo-alert=random", "visible-rows-only",
                           "busy-after-import", "read-errors"}));
    EXPECT_FALSE(platform.logic().applyProfile(QStringLiteral("kind")));
    EXPECT_FALSE(platform.logic().setQuirk(QStringLiteral("no-such-quirk"), true));
    EXPECT_THROW(SimPlatform(clock, {QStringLiteral("no-such-quirk")}), std::invalid_argument);
}

// --- What a viewer of the session sees.

// Verifies that the snapshot tells a viewer what is open besides the tracks: the selection, the
// stack sheet with its choice, the name field being typed into, the Color window and the alert
// with its message, each gone again once closed.
TEST_F(Sim, shouldShowTheSelectionAndWhatIsOpenInTheSnapshot) {
    logic().setQuirk(QStringLiteral("tempo-alert"), true);
    front();
    dragFromTile(files({"KICK.wav", "SNARE.wav", "BASS.wav"}), belowLastRow());
    ax.wait(1000);
    ASSERT_EQ(ax.names(), (QStringList{"KICK", "SNARE", "BASS"}));
    SimSession s = logic().session();
    EXPECT_EQ(s.stackSheet, std::nullopt);
    EXPECT_FALSE(s.colorWindow);
    EXPECT_EQ(s.nameEdit, std::nullopt);
    ax.wait(1500);
    ASSERT_EQ(logic().session().alert,
              QStringLiteral("The imported audio file contains tempo information. Do you want "
                             "to import it into the project?"));
    ax.press(ax.findInWindows(ax.is(title, QStringLiteral("Don\u2019t Import"))));
    EXPECT_EQ(logic().session().alert, QString());

    ASSERT_EQ(ax.select({ax.rows()[1], ax.rows()[2]}), AXResult::success);
    EXPECT_EQ(logic().session().selection, (QList<int>{1, 2}));
    ax.key(keyD, cmd | shift);
    ax.wait(300);
    EXPECT_EQ(logic().session().stackSheet, std::optional<bool>(false));
    ax.press(ax.find(sheet(), ax.is(title, QStringLiteral("Summing stack"))));
    EXPECT_EQ(logic().session().stackSheet, std::optional<bool>(true));
    ax.press(ax.find(sheet(), ax.is(title, QStringLiteral("Create"))));
    ax.wait(400);
    s = logic().session();
    EXPECT_EQ(s.stackSheet, std::nullopt);
    EXPECT_EQ(s.selection, QList<int>{1});
    EXPECT_TRUE(s.tracks[1].isStack);

    ax.doubleClick(nameSpot(ax.rows()[1]));
    ax.key(keyA, cmd);
    ax.type(QStringLiteral("DR"));
    ax.wait(100);
    EXPECT_EQ(logic().session().nameEdit, std::make_optional(std::make_pair(1, QString("DR"))));
    ax.key(keyReturn);
    ax.wait(100);
    EXPECT_EQ(logic().session().nameEdit, std::nullopt);

    ax.pressMenu({"Track", "Assign Track Color…"});
    ax.wait(300);
    EXPECT_TRUE(logic().session().colorWindow);
    ax.press(
        ax.find(ax.windowTitled(QStringLiteral("Color")), ax.is(desc, QStringLiteral("close"))));
    ax.wait(100);
    EXPECT_FALSE(logic().session().colorWindow);
}

// --- A whole session.

// Verifies that a session can be built by hand through the seam alone (a drag from the tile, a
// stack, a rename by double-click, a colour, a fold) and that the snapshot shows it.
TEST_F(Sim, shouldHoldASessionBuiltByHandThroughTheSeam) {
    front();
    dragFromTile(files({"KICK.wav", "SNARE.wav", "BASS.wav", "VOX.wav"}), belowLastRow());
    ax.wait(1000);
    ASSERT_EQ(ax.names(), (QStringList{"KICK", "SNARE", "BASS", "VOX"}));

    makeStack({ax.rows()[0], ax.rows()[1]});
    ASSERT_EQ(ax.names(), (QStringList{"Sum 1", "KICK", "SNARE", "BASS", "VOX"}));

    ax.doubleClick(nameSpot(ax.rows()[0]));
    ax.key(keyA, cmd);
    ax.type(QStringLiteral("DRUMS"));
    ax.key(keyReturn);
    ax.wait(100);
    ASSERT_EQ(ax.names().first(), QStringLiteral("DRUMS"));

    ax.select(ax.rows().mid(0, 3));
    ax.pressMenu({"Track", "Assign Track Color…"});
    ax.wait(300);
    const Element colorWindow = ax.windowTitled(QStringLiteral("Color"));
    ASSERT_TRUE(colorWindow);
    ax.click(centre(paletteRows(colorWindow)[0][0]));
    ax.wait(100);
    ax.press(ax.find(colorWindow, ax.is(desc, QStringLiteral("close"))));

    ax.click(centre(ax.triangle(ax.rows()[0])));
    ax.wait(100);
    EXPECT_EQ(ax.names(), (QStringList{"DRUMS", "BASS", "VOX"}));

    // The stack was made with "Summing stack" chosen; every track names the file it plays.
    const QString expected =
        QStringLiteral(
            R"({"tracks":[)"
            R"({"color":[0,0],"file":"","folded":true,"hasAudio":false,"kind":"summing stack","name":"DRUMS","stack":null},)"
            R"({"color":[0,0],"file":"%1","folded":false,"hasAudio":true,"kind":"audio","name":"KICK","stack":"DRUMS"},)"
            R"({"color":[0,0],"file":"%2","folded":false,"hasAudio":true,"kind":"audio","name":"SNARE","stack":"DRUMS"},)"
            R"({"color":null,"file":"%3","folded":false,"hasAudio":true,"kind":"audio","name":"BASS","stack":null},)"
            R"({"color":null,"file":"%4","folded":false,"hasAudio":true,"kind":"audio","name":"VOX","stack":null}],)"
            R"("windows":["Untitled.logicx - Untitled - Tracks"]})")
            .arg(dir.filePath("KICK.wav"), dir.filePath("SNARE.wav"), dir.filePath("BASS.wav"),
                 dir.filePath("VOX.wav"));
    EXPECT_EQ(QJsonDocument(logic().session().toJson()).toJson(QJsonDocument::Compact),
              expected.toUtf8());
}

} // namespace
