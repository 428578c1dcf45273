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
    const char* mode; // fast, sorted, grouped, slow, stacks
    QString message;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class SenderFailure : public SenderTest, public testing::WithParamInterface<FailureCase> {};

// Verifies that the run fails with the message of the cause.
TEST_P(SenderFailure, failsWithTheMessageOfTheCause) {
    const FailureCase& c = GetParam();
    start(c.quirks);
    const QString mode = QString::fromLatin1(c.mode);
    const QList<SendJob> jobs = mode == u"sorted" ? groupInNameJobs() : realisticJobs();
    const std::optional<QString> failure = failureOf([&] { runMode(mode, jobs); });
    EXPECT_EQ(failure, c.message);
}

const QString noPermission =
    QStringLiteral("Vantrel needs Accessibility permission (System Settings > Privacy & Security "
                   "> Accessibility).");

INSTANTIATE_TEST_SUITE_P(
    Causes, SenderFailure,
    testing::Values(
        FailureCase{"noPermissionFast", {"not-trusted"}, "fast", noPermission},
        FailureCase{"noPermissionSorted", {"not-trusted"}, "sorted", noPermission},
        FailureCase{"noPermissionStacksOnly", {"not-trusted"}, "stacks", noPermission},
        FailureCase{"notRunningFast",
                    {"not-running"},
                    "fast",
                    "Open Logic Pro with an empty project first."},
        FailureCase{"notRunningGrouped",
                    {"not-running"},
                    "grouped",
                    "Open Logic Pro with an empty project first."},
        FailureCase{"notRunningSlow",
                    {"not-running"},
                    "slow",
                    "Open Logic Pro with an empty project first."},
        FailureCase{"notRunningSorted",
                    {"not-running"},
                    "sorted",
                    "Open Logic Pro with an empty project first."},
        FailureCase{"notRunningStacksOnly", {"not-running"}, "stacks", "Open Logic Pro first."},
        FailureCase{"dropsIgnored",
                    {"drop-ignored"},
                    "fast",
                    "Logic only brought in 0 of 14 Importing tracks."},
        FailureCase{"dropsIgnoredGrouped",
                    {"drop-ignored"},
                    "grouped",
                    "Logic only brought in 0 of 4 Importing DRUMS tracks."},
        FailureCase{"noShortcutAndMenuErrors",
                    {"no-stack-shortcut", "press-error"},
                    "fast",
                    noResponse.arg("the stack dialog")},
        FailureCase{
            "colorMenuErrors", {"press-error"}, "grouped", noResponse.arg("the Color window")},
        FailureCase{"renameFailsBothWays",
                    {"rename-by-double-click-fails", "press-error"},
                    "fast",
                    "Couldn't rename a track to “DRUMS”."},
        FailureCase{"newTrackMenuErrors", {"press-error"}, "slow", noResponse.arg("the new track")},
        FailureCase{"sortedRunColorMenuErrors",
                    {"press-error"},
                    "sorted",
                    noResponse.arg("the Color window")},
        FailureCase{"stackRowsBelowTheScreen",
                    {"visible-rows-only"},
                    "fast",
                    noResponse.arg("the stack to appear")},
        FailureCase{"headersOffScreen",
                    {"visible-rows-only"},
                    "stacks",
                    "Logic doesn't have a track named “01_KICK_IN” yet. Drag the tracks in "
                    "first, then build stacks."}),
    [](const testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

// --- Fallbacks that still build the session.

struct FallbackCase {
    const char* name;
    QStringList quirks;
    const char* mode;
    const char* note; // a report (prefix) that shows the fallback was taken
};

void PrintTo(const FallbackCase& c, std::ostream* os) {
    *os << c.name;
}

class SenderFallback : public SenderTest, public testing::WithParamInterface<FallbackCase> {};

// Verifies that the fallback is taken and the whole session is still built.
TEST_P(SenderFallback, stillBuildsTheSession) {
    const FallbackCase& c = GetParam();
    start(c.quirks);
    const QString mode = QString::fromLatin1(c.mode);
    const QList<SendJob> jobs = mode == u"sorted" ? groupInNameJobs() : realisticJobs();
    const std::optional<QString> failure = failureOf([&] {
        if (mode == u"grouped")
            sender->runGrouped(jobs);
        else
            sender->runFast(jobs, mode == u"sorted");
    });
    EXPECT_EQ(failure, std::nullopt);
    expectSessionBuilt(jobs, true);
    EXPECT_TRUE(reported(QString::fromUtf8(c.note))) << statuses().join("\n").toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Paths, SenderFallback,
    testing::Values(
        FallbackCase{"stackByMenu", {"no-stack-shortcut"}, "fast", "Stacking"},
        FallbackCase{"renameByMenu",
                     {"rename-by-double-click-fails"},
                     "fast",
                     "  (could not rename DRUMS by double-clicking; using the menu)"},
        FallbackCase{"renameByMenuGrouped",
                     {"rename-by-double-click-fails"},
                     "grouped",
                     "  (could not rename BASS by double-clicking; using the menu)"},
        FallbackCase{"dragRetried", {"first-drag-ignored"}, "fast", "Retrying the drag (1)"},
        FallbackCase{
            "dragRetriedGrouped", {"first-drag-ignored"}, "grouped", "Retrying the drag (1)"},
        FallbackCase{"optionsWindow", {"options-window"}, "fast", "Importing: 14 of 14"},
        FallbackCase{
            "optionsWindowGrouped", {"options-window"}, "grouped", "Importing Unsorted: 2 of 2"},
        FallbackCase{"tempoAlert", {"tempo-alert"}, "fast", "Importing: 14 of 14"},
        FallbackCase{"shuffledArrival",
                     {"tracks-arrive-shuffled"},
                     "fast",
                     "  the tracks came in in another order: "},
        FallbackCase{"fixedColourLayout",
                     {"color-grid-unreadable"},
                     "fast",
                     "swatch col 0 row 0 -> by the window's size: "},
        FallbackCase{"fixedColourLayoutGrouped",
                     {"color-grid-unreadable"},
                     "grouped",
                     "swatch col 17 row 1 -> by the window's size: "},
        FallbackCase{"slowToBeReady", {"slow-ready"}, "fast", "  (waited "},
        FallbackCase{"sortedRunWithShuffledArrival",
                     {"tracks-arrive-shuffled", "sort-by-name-does-nothing"},
                     "sorted",
                     "  after the sort: "},
        FallbackCase{
            "trianglePressDoesNothing", {"triangle-press-does-nothing"}, "grouped", "Done"}),
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

// Verifies the stack failures: two tracks of one name for one member, and a swatch outside the
// palette (read from the grid and from the fixed layout).
TEST_F(SenderOperations, stackAndColourFailuresNameTheCause) {
    start();
    sim->logic().addTrack("KICK");
    sim->logic().addTrack("KICK");
    EXPECT_EQ(failureOf([&] { sender->makeStack("DRUMS", {"KICK"}); }),
              QStringLiteral("Couldn't find all the DRUMS tracks in Logic."));

    for (const QStringList& quirks : {QStringList{}, QStringList{"color-grid-unreadable"}}) {
        start(quirks);
        sim->logic().addTrack("KICK");
        EXPECT_EQ(failureOf([&] {
                      sender->applyColor("DRUMS", {"KICK"}, Swatch{24, 0});
                  }),
                  QStringLiteral("Couldn't find that color in Logic's palette."))
            << quirks.join(",").toStdString();
    }
}

// Verifies the completion check of the import when Logic reports fewer rows than arrived: only
// the rows on screen are in the accessibility tree.
TEST_F(SenderOperations, importCountsOnlyTheRowsItCanSee) {
    start({"visible-rows-only"});
    QStringList names;
    for (int i = 1; i <= 30; ++i)
        names << QStringLiteral("%1_TRACK").arg(i, 2, 10, QChar('0'));
    const QList<SendJob> jobs = jobsOf({{"DRUMS", names, Swatch{0, 0}}});
    const std::optional<QString> failure = failureOf([&] { sender->runFast(jobs, false); });
    ASSERT_TRUE(failure);
    EXPECT_TRUE(failure->startsWith("Logic only brought in ") &&
                failure->endsWith(" of 30 Importing tracks."))
        << failure->toStdString();
    EXPECT_EQ(session().tracks.size(), 30);
}

// Verifies that folding a stack that has no row only notes it, and that collapsing without any
// stack fails with its message.
TEST_F(SenderOperations, foldingWithoutStacks) {
    start();
    sim->logic().addTrack("KICK");
    sender->foldStack("DRUMS");
    EXPECT_TRUE(reported("  (no arrow found for DRUMS)"));
    EXPECT_EQ(failureOf([&] { sender->collapseAllStacks(); }),
              QStringLiteral("Couldn't find a stack arrow on screen to fold the stacks."));
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
    const QList<SendJob> jobs = realisticJobs();
    for (const QString& f : dragURLs(jobs))
        sim->logic().addTrack(memberName(f));
    // Stacks made in another order than the rules.
    QList<SendJob> reversed = jobs;
    reversed.removeLast();
    std::reverse(reversed.begin(), reversed.end());
    for (const SendJob& job : std::as_const(reversed))
        sender->makeStack(*job.group, memberNames(job));
    QList<SendJob> grouped = jobs;
    grouped.removeLast();
    const std::optional<QString> failure = failureOf([&] { sender->foldAndOrder(grouped); });
    EXPECT_EQ(failure, std::nullopt);
    EXPECT_TRUE(reported("  (the order is not right: "));
    QStringList stacks;
    for (const SimTrack& t : session().tracks)
        if (t.isStack)
            stacks << t.name;
    EXPECT_EQ(stacks, (QStringList{"DRUMS", "BASS", "KEYS", "UTILITY", "VOCALS"}));
}

} // namespace
