// Failures and fallbacks of the sender against the simulated Logic Pro: each failure message
// reached through the quirk (or the set-up) that causes it, and each fallback path still
// building the right session.

#include "automation/SenderFixture.h"

using namespace Vantrel;
using namespace Vantrel::SenderTesting;

namespace {

const QString noResponse = QStringLiteral("Logic didn't respond (waiting for %1). Nothing else "
                                          "was changed after this point.");

// --- Runs that fail.

struct FailureCase {
    const char* name;
    QStringList quirks;
    SendMode mode;
    QString message;
    bool groupInName = false; // the sorted run
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class SenderFailure : public SenderTest, public testing::WithParamInterface<FailureCase> {};

// Verifies that the run fails with the message of the cause.
TEST_P(SenderFailure, failsWithTheMessageOfTheCause) {
    const FailureCase& c = GetParam();
    start(c.quirks);
    const QList<SendJob> jobs = c.groupInName ? groupInNameJobs() : realisticJobs();
    const SendOutcome outcome = send(c.mode, jobs, c.groupInName);
    EXPECT_FALSE(outcome.ok);
    EXPECT_FALSE(outcome.cancelled);
    EXPECT_EQ(outcome.result, c.message);
}

const QString noPermission =
    QStringLiteral("Vantrel needs Accessibility permission (System Settings > Privacy & Security "
                   "> Accessibility).");

const QString startupDialog =
    QStringLiteral("Logic Pro is showing “New Tracks”: close it in Logic Pro, then send again.");

INSTANTIATE_TEST_SUITE_P(
    Causes, SenderFailure,
    testing::Values(
        FailureCase{"noPermissionFast", {"not-trusted"}, SendMode::fast, noPermission},
        FailureCase{"noPermissionSorted", {"not-trusted"}, SendMode::fast, noPermission, true},
        FailureCase{"noPermissionStacksOnly", {"not-trusted"}, SendMode::stacksOnly, noPermission},
        FailureCase{"notRunningFast",
                    {"not-running"},
                    SendMode::fast,
                    "Open Logic Pro with an empty project first."},
        FailureCase{"notRunningGrouped",
                    {"not-running"},
                    SendMode::grouped,
                    "Open Logic Pro with an empty project first."},
        FailureCase{"notRunningSlow",
                    {"not-running"},
                    SendMode::slow,
                    "Open Logic Pro with an empty project first."},
        FailureCase{"notRunningSorted",
                    {"not-running"},
                    SendMode::fast,
                    "Open Logic Pro with an empty project first.",
                    true},
        FailureCase{
            "notRunningStacksOnly", {"not-running"}, SendMode::stacksOnly, "Open Logic Pro first."},
        FailureCase{"dropsIgnored",
                    {"drop-ignored"},
                    SendMode::fast,
                    "Logic only brought in 0 of 14 tracks."},
        FailureCase{"dropsIgnoredGrouped",
                    {"drop-ignored"},
                    SendMode::grouped,
                    "Logic only brought in 0 of 4 DRUMS tracks."},
        FailureCase{"noShortcutAndMenuErrors",
                    {"no-stack-shortcut", "press-error"},
                    SendMode::fast,
                    noResponse.arg("the stack dialog")},
        FailureCase{"colorMenuErrors",
                    {"press-error"},
                    SendMode::grouped,
                    noResponse.arg("the Color window")},
        FailureCase{"renameFailsBothWays",
                    {"rename-by-double-click-fails", "press-error"},
                    SendMode::fast,
                    "Couldn't open the name field of the new stack for DRUMS in Logic, so "
                    "nothing was typed."},
        FailureCase{
            "newTrackMenuErrors", {"press-error"}, SendMode::slow, noResponse.arg("the new track")},
        FailureCase{"sortedRunColorMenuErrors",
                    {"press-error"},
                    SendMode::fast,
                    noResponse.arg("the Color window"),
                    true},
        FailureCase{"startupDialogFast", {"startup-dialog"}, SendMode::fast, startupDialog},
        FailureCase{
            "startupDialogStacksOnly", {"startup-dialog"}, SendMode::stacksOnly, startupDialog},
        FailureCase{"headersOffScreen",
                    {"visible-rows-only"},
                    SendMode::stacksOnly,
                    "Logic doesn't have a track named “01_KICK_IN” yet. Drag the tracks in "
                    "first, then build stacks."}),
    [](const testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

// --- Fallbacks that still build the session.

struct FallbackCase {
    const char* name;
    QStringList quirks;
    SendMode mode;
    const char* note;         // a report (prefix) that shows the fallback was taken
    bool groupInName = false; // the sorted run
};

void PrintTo(const FallbackCase& c, std::ostream* os) {
    *os << c.name;
}

class SenderFallback : public SenderTest, public testing::WithParamInterface<FallbackCase> {};

// Verifies that the fallback is taken and the whole session is still built.
TEST_P(SenderFallback, stillBuildsTheSession) {
    const FallbackCase& c = GetParam();
    start(c.quirks);
    const QList<SendJob> jobs = c.groupInName ? groupInNameJobs() : realisticJobs();
    sendThrough(c.mode, jobs, c.groupInName);
    expectSessionBuilt(jobs, true);
    EXPECT_TRUE(reported(QString::fromUtf8(c.note))) << statuses().join("\n").toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Paths, SenderFallback,
    testing::Values(
        FallbackCase{"stackByMenu", {"no-stack-shortcut"}, SendMode::fast, "Stacking"},
        FallbackCase{"stackRowsBelowTheScreen", {"visible-rows-only"}, SendMode::fast, "Stacking"},
        FallbackCase{"renameByMenu",
                     {"rename-by-double-click-fails"},
                     SendMode::fast,
                     "  (could not rename DRUMS by double-clicking; using the menu)"},
        FallbackCase{"renameByMenuGrouped",
                     {"rename-by-double-click-fails"},
                     SendMode::grouped,
                     "  (could not rename BASS by double-clicking; using the menu)"},
        FallbackCase{
            "dragRetried", {"first-drag-ignored"}, SendMode::fast, "Retrying the drag (1)"},
        FallbackCase{"dragRetriedGrouped",
                     {"first-drag-ignored"},
                     SendMode::grouped,
                     "Retrying the drag (1)"},
        FallbackCase{"optionsWindow", {"options-window"}, SendMode::fast, "Importing: 14 of 14"},
        FallbackCase{"optionsWindowGrouped",
                     {"options-window"},
                     SendMode::grouped,
                     "Importing Unsorted: 2 of 2"},
        FallbackCase{"tempoAlert", {"tempo-alert"}, SendMode::fast, "Importing: 14 of 14"},
        FallbackCase{"shuffledArrival",
                     {"tracks-arrive-shuffled"},
                     SendMode::fast,
                     "  the tracks came in in another order: "},
        FallbackCase{"fixedColourLayout",
                     {"color-grid-unreadable"},
                     SendMode::fast,
                     "  swatch col 0 row 0 -> by the window's size: "},
        FallbackCase{"fixedColourLayoutGrouped",
                     {"color-grid-unreadable"},
                     SendMode::grouped,
                     "  swatch col 17 row 1 -> by the window's size: "},
        FallbackCase{"slowToBeReady", {"slow-ready"}, SendMode::fast, "  (waited "},
        FallbackCase{"sortedRunWithShuffledArrival",
                     {"tracks-arrive-shuffled", "sort-by-name-does-nothing"},
                     SendMode::fast,
                     "  after the sort: ",
                     true},
        FallbackCase{"trianglePressDoesNothing",
                     {"triangle-press-does-nothing"},
                     SendMode::grouped,
                     "Done"}),
    [](const testing::TestParamInfo<FallbackCase>& info) { return std::string(info.param.name); });

// --- Operations that fail on their own.

class SenderOperations : public SenderTest {};

// Verifies the failures of the import dialog, each at the step where Logic stops answering.
TEST_F(SenderOperations, importThroughTheDialogFailsAtTheStepThatHangs) {
    Fixtures::writeFile(dir.filePath("take/kick.wav"), "RIFF");
    Fixtures::writeFile(dir.filePath("take/Notes.txt"), "x");
    struct Case {
        QStringList quirks;
        QString file;
        QString message;
    };
    const QList<Case> cases{
        {{"press-error"}, dir.filePath("take/kick.wav"), noResponse.arg("the import dialog")},
        {{}, dir.filePath("missing/kick.wav"), noResponse.arg("the folder to open")},
        {{}, dir.filePath("take/snare.wav"), noResponse.arg("“snare.wav” in the dialog")},
        {{}, dir.filePath("take/Notes.txt"), noResponse.arg("Open to be available")},
    };
    for (const Case& c : cases) {
        start(c.quirks);
        sender->choose({"Track", "New Audio Track"}, true);
        EXPECT_EQ(failureOf([&] { sender->importFile(c.file); }), c.message)
            << c.file.toStdString();
    }
}

// Verifies that the dialog import goes to the folder, answers the tempo question and lands
// the file on the selected track.
TEST_F(SenderOperations, importThroughTheDialogAnswersTheTempoQuestion) {
    Fixtures::writeFile(dir.filePath("take/kick.wav"), "RIFF");
    start({"tempo-alert"});
    sender->choose({"Track", "New Audio Track"}, true);
    sender->waitFor("the new track", 10s, [&] { return sender->trackNames().size() == 1; });
    sender->importFile(dir.filePath("take/kick.wav"));
    EXPECT_EQ(sender->lastFolder, dir.filePath("take"));
    const SimSession s = session();
    ASSERT_EQ(s.tracks.size(), 1);
    EXPECT_TRUE(s.tracks[0].hasAudio);
    EXPECT_EQ(s.windows, QStringList{"Untitled.logicx - Untitled - Tracks"});
}

// Verifies the stack failures: a member with no track of its name, a stack that is not there
// to colour, and a swatch outside the palette (read from the grid and from the fixed layout).
TEST_F(SenderOperations, stackAndColourFailuresNameTheCause) {
    start();
    sim->logic().addTrack("KICK");
    EXPECT_EQ(failureOf([&] {
                  sender->freeRowsNamed("DRUMS", {"KICK", "SNARE"});
              }),
              QStringLiteral("Couldn't find the DRUMS tracks in Logic (missing: SNARE)."));
    EXPECT_EQ(failureOf([&] {
                  sender->applyColor("DRUMS", {"KICK"}, Swatch{0, 0});
              }),
              QStringLiteral("Couldn't find the stack DRUMS in Logic to color it."));

    for (const QStringList& quirks : {QStringList{}, QStringList{"color-grid-unreadable"}}) {
        start(quirks);
        sim->logic().addTrack("KICK");
        sender->makeStack("DRUMS", sender->freeRowsNamed("DRUMS", {"KICK"}));
        EXPECT_EQ(failureOf([&] {
                      sender->applyColor("DRUMS", {"KICK"}, Swatch{24, 0});
                  }),
                  QStringLiteral("Couldn't find that color in Logic's palette."))
            << quirks.join(",").toStdString();
    }
}

// Verifies the import and the stack of 30 tracks when only the rows on screen are in the
// accessibility tree: the list is scrolled to count and to select them.
TEST_F(SenderOperations, importCountsTheRowsOffScreenToo) {
    start({"visible-rows-only"});
    QStringList names;
    for (int i = 1; i <= 30; ++i)
        names << QStringLiteral("%1_TRACK").arg(i, 2, 10, QChar('0'));
    const QList<SendJob> jobs = jobsOf({{"DRUMS", names, Swatch{0, 0}}});
    const SendOutcome outcome = send(SendMode::fast, jobs);
    EXPECT_TRUE(outcome.ok) << outcome.result.toStdString();
    ASSERT_EQ(session().tracks.size(), 31);
    EXPECT_TRUE(session().tracks[0].isStack);
    EXPECT_EQ(session().tracks[0].name, "DRUMS");
    for (int i = 1; i <= 30; ++i)
        EXPECT_EQ(session().tracks[i].stack, QString("DRUMS")) << i;
}

// Verifies that folding a stack that has no row only notes it, and that collapsing without any
// stack changes nothing.
TEST_F(SenderOperations, foldingWithoutStacks) {
    start();
    sim->logic().addTrack("KICK");
    sender->foldStack("DRUMS");
    EXPECT_TRUE(reported("  (no arrow found for DRUMS)"));
    const SimSession before = session();
    EXPECT_EQ(failureOf([&] { sender->collapseAllStacks(); }), std::nullopt);
    EXPECT_EQ(session().tracks, before.tracks);
}

// Verifies that a menu item that stays disabled, or is not there, fails after the wait with
// the item's title.
TEST_F(SenderOperations, menuItemThatStaysDisabledTimesOut) {
    start();
    EXPECT_EQ(failureOf([&] {
                  sender->choose({"Track", "Create Track Stack…"}, false);
              }),
              noResponse.arg("menu “Create Track Stack…”"));
    EXPECT_EQ(failureOf([&] {
                  sender->choose({"Track", "No Such Item"}, false);
              }),
              noResponse.arg("menu “No Such Item”"));
}

// Verifies the closing phase's reorder when the date sort leaves the stacks out of order: the
// stacks are dragged into the wanted order.
TEST_F(SenderOperations, closingPhaseDragsStacksIntoOrder) {
    start();
    QList<SendJob> jobs = realisticJobs();
    for (SendJob& job : jobs)
        job.color.reset(); // only the order is asked for here
    // Tracks and stacks made in another order than the rules.
    QList<SendJob> reversed = jobs;
    reversed.removeLast();
    std::reverse(reversed.begin(), reversed.end());
    for (const QString& f : dragURLs(reversed + QList<SendJob>{jobs.last()}))
        sim->logic().addTrack(memberName(f));
    for (const SendJob& job : std::as_const(reversed))
        sender->makeStack(*job.group, sender->freeRowsNamed(*job.group, memberNames(job)));
    const std::optional<QString> failure = failureOf([&] { sender->foldAndOrder(jobs); });
    EXPECT_EQ(failure, std::nullopt);
    EXPECT_TRUE(reported("  (the order is not right: "));
    QStringList stacks;
    for (const SimTrack& t : session().tracks)
        if (t.isStack)
            stacks << t.name;
    EXPECT_EQ(stacks, (QStringList{"DRUMS", "BASS", "KEYS", "UTILITY", "VOCALS"}));
}

} // namespace
