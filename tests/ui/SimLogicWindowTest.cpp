// The window that shows the simulated Logic Pro: the rows it draws for a session, and that it
// follows the simulator live.

#include "ui/SimLogicWindow.h"

#include "platform/sim/SimPlatform.h"

#include <QCoreApplication>
#include <QImage>
#include <QMainWindow>
#include <QMenuBar>
#include <QTest>

#include <gtest/gtest.h>

namespace Vantrel::UiTesting {
namespace {

using Ui::SimLogicWindow;
using Ui::SimRow;

SimTrack audio(const char* name, std::optional<QString> stack = std::nullopt,
               std::optional<std::pair<int, int>> color = std::nullopt) {
    SimTrack t;
    t.name = QString::fromUtf8(name);
    t.hasAudio = true;
    t.stack = stack;
    t.color = color;
    return t;
}

SimTrack stack(const char* name, bool folded, std::optional<std::pair<int, int>> color = {}) {
    SimTrack t;
    t.name = QString::fromUtf8(name);
    t.isStack = true;
    t.summing = true;
    t.folded = folded;
    t.color = color;
    return t;
}

// A row as the table below writes it: name, whether a member, whether a stack and folded.
struct Shown {
    QString name;
    bool member = false;
    bool isStack = false;
    bool folded = false;
    bool operator==(const Shown&) const = default;
};

void PrintTo(const Shown& s, std::ostream* os) {
    *os << s.name.toStdString() << (s.member ? " (member)" : "")
        << (s.isStack ? (s.folded ? " [folded]" : " [open]") : "");
}

QList<Shown> shown(const SimSession& session) {
    QList<Shown> out;
    for (const SimRow& r : SimLogicWindow::rows(session))
        out.append({r.name, r.member, r.isStack, r.folded});
    return out;
}

// Verifies the rows drawn for a session: stacks with their disclosure state, their members
// indented below them and hidden while the stack is folded, other tracks flush left, in the
// session's order.
TEST(SimLogicWindowTest, drawsStacksWithTheirMembersIndentedAndHidesThemWhenFolded) {
    const QString drums = QStringLiteral("DRUMS"), vox = QStringLiteral("VOCALS");
    struct Case {
        const char* name;
        QList<SimTrack> tracks;
        QList<Shown> rows;
    };
    const Case cases[] = {
        {"empty project", {}, {}},
        {"plain tracks", {audio("KICK"), audio("BASS")}, {{"KICK"}, {"BASS"}}},
        {"an open stack",
         {stack("DRUMS", false), audio("KICK", drums), audio("SNARE", drums), audio("BASS")},
         {{"DRUMS", false, true, false}, {"KICK", true}, {"SNARE", true}, {"BASS"}}},
        {"a folded stack and an open one",
         {stack("DRUMS", true), audio("KICK", drums), audio("SNARE", drums), stack("VOCALS", false),
          audio("LEAD", vox)},
         {{"DRUMS", false, true, true}, {"VOCALS", false, true, false}, {"LEAD", true}}},
        {"an empty folded stack before a loose track",
         {stack("DRUMS", true), audio("ROOM")},
         {{"DRUMS", false, true, true}, {"ROOM"}}},
        {"a track naming a stack that is not above it",
         {audio("KICK", drums), stack("DRUMS", true)},
         {{"KICK"}, {"DRUMS", false, true, true}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimSession s;
        s.tracks = c.tracks;
        EXPECT_EQ(shown(s), c.rows);
    }
}

// Verifies that a row carries its palette colour, its selection, and the text typed into its
// open name field, each tied to the right track after folded members are left out.
TEST(SimLogicWindowTest, rowsCarryColourSelectionAndTheNameBeingTyped) {
    SimSession s;
    s.tracks = {stack("DRUMS", true, std::pair{0, 0}), audio("KICK", QStringLiteral("DRUMS")),
                audio("BASS", std::nullopt, std::pair{5, 2}), audio("VOX")};
    s.selection = {2};
    s.nameEdit = std::pair{3, QStringLiteral("LEAD V")};
    const QList<SimRow> rows = SimLogicWindow::rows(s);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0].color, SimLogicWindow::paletteColor({0, 0}));
    EXPECT_FALSE(rows[0].selected);
    EXPECT_EQ(rows[1].track, 2);
    EXPECT_EQ(rows[1].color, SimLogicWindow::paletteColor({5, 2}));
    EXPECT_TRUE(rows[1].selected);
    EXPECT_FALSE(rows[2].color.isValid());
    EXPECT_TRUE(rows[2].editing);
    EXPECT_EQ(rows[2].name, QStringLiteral("LEAD V"));
    EXPECT_NE(SimLogicWindow::paletteColor({0, 0}), SimLogicWindow::paletteColor({5, 2}));
    EXPECT_FALSE(SimLogicWindow::paletteColor({24, 0}).isValid());
}

// Verifies that the shown window follows the simulator on its own, on the machine's time: a
// track added and coloured in the simulator appears with its colour without anyone asking.
TEST(SimLogicWindowTest, followsTheSimulatorWhileShown) {
    SimPlatform platform; // the machine's clock, as in the application
    SimLogicWindow window(platform.logic());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Logic Pro (simulated)"));
    window.resize(760, 560);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_TRUE(window.session().tracks.isEmpty());

    platform.logic().addTrack(QStringLiteral("KICK"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.session().tracks.size() == 1; }, 5000));
    EXPECT_EQ(window.session().tracks[0].name, QStringLiteral("KICK"));

    // The drawn rows, in the track list's order, left of the timeline.
    platform.logic().addTrack(QStringLiteral("SNARE"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.session().tracks.size() == 2; }, 5000));
    // Rows 32 high below the 38-point bar and the 26-point ruler; the header's right end is
    // clear of text: two rows drawn alike, nothing below them.
    const QImage image = window.grab().toImage();
    EXPECT_EQ(image.pixelColor(295, 80), image.pixelColor(295, 112));
    EXPECT_NE(image.pixelColor(295, 112), image.pixelColor(295, 144));

    window.hide();
    platform.logic().addTrack(QStringLiteral("BASS"));
    QTest::qWait(3 * SimLogicWindow::refreshMs);
    EXPECT_EQ(window.session().tracks.size(), 2) << "a hidden window keeps reading";
}

// Verifies that "Show Logic Pro (simulated)" joins the main window's "Logic" menu, after what is
// there, and shows the window.
TEST(SimLogicWindowTest, opensFromTheLogicMenu) {
    SimPlatform platform;
    SimLogicWindow window(platform.logic());
    QMainWindow main;
    QMenu* logic = main.menuBar()->addMenu(QStringLiteral("Logic"));
    logic->addAction(QStringLiteral("Check Logic Connection…"));
    Ui::addShowSimulatedLogic(main, window);

    ASSERT_EQ(main.menuBar()->actions().size(), 1);
    const QList<QAction*> items = logic->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[1]->text(), QStringLiteral("Show Logic Pro (simulated)"));
    EXPECT_FALSE(window.isVisible());
    items[1]->trigger();
    EXPECT_TRUE(window.isVisible());
}

} // namespace
} // namespace Vantrel::UiTesting
