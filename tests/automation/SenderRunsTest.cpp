// The four runs (and the sorted run) against the simulated Logic Pro on a virtual clock: each
// builds a whole session, checked on what the simulator holds; their progress fractions; and a
// cancel during each phase.

#include "automation/SenderFixture.h"

#include <QJsonDocument>
#include <QJsonObject>

using namespace Vantrel;
using namespace Vantrel::SenderTesting;

namespace {

class SenderRuns : public SenderTest {};

// Verifies that the fast run imports everything in one drag, makes, colours and folds every
// stack in rule order and leaves the unsorted tracks outside.
TEST_F(SenderRuns, fastRunBuildsTheWholeSession) {
    start();
    const QList<SendJob> jobs = realisticJobs();
    sendThrough(SendMode::fast, jobs);
    expectSessionBuilt(jobs, true);
    EXPECT_EQ(statuses().last(), QStringLiteral("Done"));
    EXPECT_TRUE(statuses().contains(QStringLiteral("  the tracks came in in the right order")));
    EXPECT_EQ(sentText(jobs), QStringLiteral("Sent 14 tracks and 5 stacks to Logic."));
    EXPECT_TRUE(session().windows.filter(QStringLiteral("Color")).isEmpty());
}

// Verifies that the import order is checked on the tracks after those the project held (empty
// tracks: a project with audio is refused).
TEST_F(SenderRuns, fastRunComparesOnlyTheNewTracksWithTheFiles) {
    start();
    sim->logic().addTrack("OLD_1", false);
    sim->logic().addTrack("OLD_2", false);
    const QList<SendJob> jobs = jobsOf({{"DRUMS", {"KICK"}, Swatch{0, 0}}});
    sendThrough(SendMode::fast, jobs);
    EXPECT_TRUE(statuses().contains(QStringLiteral("  the tracks came in in the right order")));
    EXPECT_EQ(statuses().last(), QStringLiteral("Done"));
}

// Verifies that with the group's name in every track name the fast run sorts by name, stacks
// consecutive rows and puts the stacks back in rule order.
TEST_F(SenderRuns, fastRunWithGroupNamesTakesTheSortedRun) {
    start();
    const QList<SendJob> jobs = groupInNameJobs();
    sendThrough(SendMode::fast, jobs, true);
    expectSessionBuilt(jobs, true);
    EXPECT_TRUE(reported(QStringLiteral("Sorting the tracks by name")));
    EXPECT_EQ(statuses().last(), QStringLiteral("Done"));
}

// Verifies that the group-by-group run builds the same session one job after the other.
TEST_F(SenderRuns, groupedRunBuildsTheWholeSession) {
    start();
    const QList<SendJob> jobs = realisticJobs();
    sendThrough(SendMode::grouped, jobs);
    expectSessionBuilt(jobs, true);
    EXPECT_EQ(statuses().last(), QStringLiteral("Done"));
    EXPECT_TRUE(reported(QStringLiteral("Importing Unsorted")));
}

// Verifies that the stacks-only run stacks tracks already in the project, neither colouring
// nor folding.
TEST_F(SenderRuns, stacksOnlyRunStacksTheTracksAlreadyThere) {
    start();
    const QList<SendJob> jobs = realisticJobs();
    for (const QString& f : dragURLs(jobs))
        sim->logic().addTrack(memberName(f));
    sendThrough(SendMode::stacksOnly, jobs);
    expectSessionBuilt(jobs, false, false);
    EXPECT_EQ(statuses().last(), QStringLiteral("Done"));
}

// Verifies that the one-by-one run imports every file through the dialog onto its own named
// track and stacks each group (no colours, no folding). Each file stands in a folder of its
// own here; see slowRunImportsConsecutiveFilesOfOneFolder for files sharing a folder.
TEST_F(SenderRuns, slowRunBuildsTheSessionFileByFile) {
    start();
    QList<SendJob> jobs;
    jobs << jobsOf({{"DRUMS", {"01_KICK"}, Swatch{0, 0}}}).first()
         << jobsOf({{"BASS", {"01_DI"}, Swatch{17, 1}}}).first()
         << jobsOf({{std::nullopt, {"TALKBACK"}, std::nullopt}}).first();
    jobs[0].files << jobsOf({{"DRUMS2", {"02_SNARE"}, std::nullopt}}).first().files;
    sendThrough(SendMode::slow, jobs);
    expectSessionBuilt(jobs, false, false);
    EXPECT_EQ(statuses().last(), QStringLiteral("Done"));
}

// Verifies consecutive imports from one folder (the dialog reused without Go to Folder).
TEST_F(SenderRuns, slowRunImportsConsecutiveFilesOfOneFolder) {
    start();
    const QList<SendJob> jobs = realisticJobs();
    sendThrough(SendMode::slow, jobs);
    expectSessionBuilt(jobs, false, false);
}

// --- Progress fractions.

double fractionAt(const QList<Report>& reports, const QString& status) {
    for (const Report& r : reports)
        if (r.status == status)
            return r.fraction;
    ADD_FAILURE() << "no report " << status.toStdString();
    return -1;
}

// Verifies the fast run's fractions for DRUMS (3), BASS (2) and one unsorted file.
TEST_F(SenderRuns, fastRunReportsItsFractions) {
    start();
    const QList<SendJob> jobs = jobsOf({{"DRUMS", {"KICK", "SNARE", "HAT"}, Swatch{0, 0}},
                                        {"BASS", {"DI", "AMP"}, Swatch{17, 1}},
                                        {std::nullopt, {"CLICK"}, std::nullopt}});
    sendThrough(SendMode::fast, jobs);
    EXPECT_DOUBLE_EQ(fractionAt(reports, "Dragging 6 files into Logic"), 0.02);
    EXPECT_DOUBLE_EQ(fractionAt(reports, "Stacking DRUMS"), 0.42);
    EXPECT_DOUBLE_EQ(fractionAt(reports, "Stacking BASS"), 0.645);
    EXPECT_DOUBLE_EQ(fractionAt(reports, "Coloring"), 0.88);
    EXPECT_DOUBLE_EQ(fractionAt(reports, "Importing: 6 of 6 tracks"), 0.02 + 0.35 * 0.8);
    EXPECT_DOUBLE_EQ(fractionAt(reports, "Done"), 1.0);
}

// Verifies the group-by-group fractions with 4 jobs: job 2 imports from 0.485 with a span of
// 0.1395 and is stacked at 0.636125.
TEST_F(SenderRuns, groupedRunReportsItsFractions) {
    start();
    const QList<SendJob> jobs = jobsOf({{"DRUMS", {"KICK"}, std::nullopt},
                                        {"BASS", {"DI"}, std::nullopt},
                                        {"KEYS", {"PIANO", "ORGAN"}, std::nullopt},
                                        {std::nullopt, {"CLICK"}, std::nullopt}});
    sendThrough(SendMode::grouped, jobs);
    EXPECT_NEAR(fractionAt(reports, "Importing KEYS"), 0.485, 1e-12);
    EXPECT_NEAR(fractionAt(reports, "Importing KEYS: 2 of 2 tracks"), 0.485 + 0.1395 * 0.8, 1e-12);
    EXPECT_NEAR(fractionAt(reports, "Stacking KEYS"), 0.636125, 1e-12);
    EXPECT_FALSE(reported(QStringLiteral("Folding stacks")));
}

// Verifies the one-by-one fractions: five files of one group at 0, 0.2, ..., 0.8 and the stack
// at 1.0.
TEST_F(SenderRuns, slowRunReportsItsFractions) {
    start();
    SendJob job{QStringLiteral("DRUMS"), {}, std::nullopt};
    for (const char* name : {"A", "B", "C", "D", "E"})
        job.files
            << jobsOf({{QString::fromLatin1(name), {QString::fromLatin1(name)}, {}}}).first().files;
    sendThrough(SendMode::slow, {job});
    QList<double> fractions;
    for (const Report& r : reports)
        if (r.status.startsWith(QLatin1String("DRUMS: ")) ||
            r.status == QLatin1String("Stacking DRUMS"))
            fractions << r.fraction;
    EXPECT_EQ(fractions, (QList<double>{0, 0.2, 0.4, 0.6, 0.8, 1.0}));
}

// Verifies that the stacks-only run reports each stack at its position over the grouped jobs.
TEST_F(SenderRuns, stacksOnlyRunReportsItsFractions) {
    start();
    const QList<SendJob> jobs = jobsOf({{"DRUMS", {"KICK"}, std::nullopt},
                                        {"BASS", {"DI"}, std::nullopt},
                                        {"KEYS", {"PIANO"}, std::nullopt},
                                        {"FX", {"VERB"}, std::nullopt}});
    for (const QString& f : dragURLs(jobs))
        sim->logic().addTrack(memberName(f));
    sendThrough(SendMode::stacksOnly, jobs);
    EXPECT_DOUBLE_EQ(fractionAt(reports, "Stacking DRUMS"), 0.0);
    EXPECT_DOUBLE_EQ(fractionAt(reports, "Stacking KEYS"), 0.5);
    EXPECT_DOUBLE_EQ(fractionAt(reports, "Stacking FX"), 0.75);
}

// Verifies that a fast run with only unsorted files still colours (nothing) and closes.
TEST_F(SenderRuns, fastRunWithoutGroupsStillRunsTheClosingPhase) {
    start();
    const QList<SendJob> jobs = jobsOf({{std::nullopt, {"ROOM_L", "ROOM_R"}, std::nullopt}});
    sendThrough(SendMode::fast, jobs);
    EXPECT_DOUBLE_EQ(fractionAt(reports, "Coloring"), 0.88);
    EXPECT_EQ(statuses().last(), QStringLiteral("Done"));
    expectSessionBuilt(jobs, true);
}

// --- Cancel.

struct CancelCase {
    const char* name;
    SendMode mode;
    bool groupInName;
    QStringList quirks;
    const char* cancelAt; // the status (prefix) whose report presses Cancel
    const char* notMade;  // a stack that must not exist afterwards, or ""
    // Nothing happens after the cancel: no time passes, no input is posted, and the tracks
    // (an unused one put in the project for this) stay as they were.
    bool endsAtOnce = false;
};

void PrintTo(const CancelCase& c, std::ostream* os) {
    *os << c.name;
}

class SenderCancel : public SenderTest, public testing::WithParamInterface<CancelCase> {};

// The tracks of a session, readable in a failure message.
std::string tracksText(const SimSession& session) {
    QJsonObject tracks{{"tracks", session.toJson().value("tracks")}};
    return QJsonDocument(tracks).toJson(QJsonDocument::Indented).toStdString();
}

// Verifies that a cancel during a phase ends the run with "Cancelled." at its next poll,
// before the next step of the run, and that no best-effort step of the run ignores it.
TEST_P(SenderCancel, endsTheRunWithCancelled) {
    const CancelCase& c = GetParam();
    start(c.quirks);
    const QList<SendJob> jobs = c.groupInName ? groupInNameJobs() : realisticJobs();
    if (c.mode == SendMode::stacksOnly)
        for (const QString& f : dragURLs(jobs))
            sim->logic().addTrack(memberName(f));
    if (c.endsAtOnce)
        sim->logic().addTrack("SPARE", false);
    const QString at = QString::fromLatin1(c.cancelAt);
    std::optional<SimSession> atCancel;
    Clock::Duration cancelTime{};
    std::int64_t mouseEventsAtCancel = 0;
    cancelWhen = [&](const QString& status) {
        if (atCancel || !status.startsWith(at))
            return false;
        atCancel = session();
        cancelTime = clock.now();
        mouseEventsAtCancel = sim->logic().counters().mouseEvents;
        return true;
    };

    const SendOutcome outcome = send(c.mode, jobs, c.groupInName);

    EXPECT_FALSE(outcome.ok);
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_EQ(outcome.result, QStringLiteral("Cancelled."));
    EXPECT_EQ(outcome.logLine(), QStringLiteral("ERROR: Cancelled."));
    ASSERT_TRUE(atCancel) << "never reported " << c.cancelAt;
    EXPECT_NE(statuses().last(), QStringLiteral("Done"));
    if (*c.notMade) {
        for (const SimTrack& t : session().tracks)
            EXPECT_FALSE(t.isStack && t.name == QLatin1String(c.notMade)) << t.name.toStdString();
    }
    if (c.endsAtOnce) {
        EXPECT_EQ(clock.now() - cancelTime, Clock::Duration::zero());
        EXPECT_EQ(sim->logic().counters().mouseEvents, mouseEventsAtCancel);
        EXPECT_EQ(tracksText(session()), tracksText(*atCancel));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Phases, SenderCancel,
    testing::Values(
        CancelCase{"fastWhileImporting", SendMode::fast, false, {}, "Importing: ", "DRUMS"},
        CancelCase{
            "fastBeforeTheFirstStack", SendMode::fast, false, {}, "  the tracks came in", "DRUMS"},
        CancelCase{"fastWhileStacking", SendMode::fast, false, {}, "Stacking BASS", "BASS"},
        CancelCase{"fastWhileColouring", SendMode::fast, false, {}, "Coloring", ""},
        CancelCase{"sortedWhileSorting", SendMode::fast, true, {}, "Sorting the tracks", "DRUMS"},
        CancelCase{"sortedWhileStacking", SendMode::fast, true, {}, "Stacking BASS", "BASS"},
        // The closing phase: the stacks stand in name order until the sort by creation date,
        // and the unused track waits for Delete Unused Tracks.
        CancelCase{"sortedWhileFolding", SendMode::fast, true, {}, "Folding stacks", "", true},
        CancelCase{"sortedWhilePuttingInOrder",
                   SendMode::fast,
                   true,
                   {},
                   "Putting the stacks in order",
                   "",
                   true},
        // Every drop ignored: the drag is retried slowly three times unless cancelled.
        CancelCase{"fastWhileRetryingTheDrag",
                   SendMode::fast,
                   false,
                   {"drop-ignored"},
                   "Retrying the drag (1)",
                   "DRUMS",
                   true},
        CancelCase{
            "groupedWhileImporting", SendMode::grouped, false, {}, "Importing BASS: ", "BASS"},
        CancelCase{"groupedWhileColouring", SendMode::grouped, false, {}, "Coloring DRUMS", "BASS"},
        CancelCase{
            "slowWhileImportingAFile", SendMode::slow, false, {}, "DRUMS: 01_KICK_IN", "DRUMS"},
        CancelCase{
            "stacksOnlyWhileStacking", SendMode::stacksOnly, false, {}, "Stacking BASS", "BASS"}),
    [](const testing::TestParamInfo<CancelCase>& info) { return std::string(info.param.name); });

// Every phase of every run under the realistic profile (rows off screen, the options window,
// the late tempo question, the busy spell after an import, rare failed reads).
const QStringList realistic = SimLogic::profileQuirks(QStringLiteral("realistic"));

INSTANTIATE_TEST_SUITE_P(
    RealisticPhases, SenderCancel,
    testing::Values(
        CancelCase{"fastWhileImporting", SendMode::fast, false, realistic, "Importing: ", "DRUMS"},
        CancelCase{"fastBeforeTheFirstStack", SendMode::fast, false, realistic,
                   "  the tracks came in", "DRUMS"},
        CancelCase{"fastWhileStacking", SendMode::fast, false, realistic, "Stacking BASS", "BASS"},
        CancelCase{"fastWhileColouring", SendMode::fast, false, realistic, "Coloring", ""},
        CancelCase{"fastWhileFolding", SendMode::fast, false, realistic, "Folding stacks", ""},
        CancelCase{"fastWhilePuttingInOrder", SendMode::fast, false, realistic,
                   "Putting the stacks in order", ""},
        CancelCase{"fastWhileChecking", SendMode::fast, false, realistic, "Checking the session",
                   ""},
        CancelCase{"sortedWhileSorting", SendMode::fast, true, realistic, "Sorting the tracks",
                   "DRUMS"},
        CancelCase{"sortedWhileStacking", SendMode::fast, true, realistic, "Stacking BASS", "BASS"},
        CancelCase{"sortedWhileFolding", SendMode::fast, true, realistic, "Folding stacks", ""},
        CancelCase{"sortedWhileChecking", SendMode::fast, true, realistic, "Checking the session",
                   ""},
        CancelCase{"groupedWhileImporting", SendMode::grouped, false, realistic,
                   "Importing BASS: ", "BASS"},
        CancelCase{"groupedWhileStacking", SendMode::grouped, false, realistic, "Stacking DRUMS",
                   "DRUMS"},
        CancelCase{"groupedWhileColouring", SendMode::grouped, false, realistic, "Coloring DRUMS",
                   "BASS"},
        CancelCase{"groupedWhileChecking", SendMode::grouped, false, realistic,
                   "Checking the session", ""},
        CancelCase{"slowWhileImportingAFile", SendMode::slow, false, realistic, "DRUMS: 01_KICK_IN",
                   "DRUMS"},
        CancelCase{"slowWhileStacking", SendMode::slow, false, realistic, "Stacking DRUMS",
                   "DRUMS"},
        CancelCase{"slowWhileChecking", SendMode::slow, false, realistic, "Checking the session",
                   ""},
        CancelCase{"stacksOnlyWhileStacking", SendMode::stacksOnly, false, realistic,
                   "Stacking BASS", "BASS"},
        CancelCase{"stacksOnlyWhileChecking", SendMode::stacksOnly, false, realistic,
                   "Checking the session", ""}),
    [](const testing::TestParamInfo<CancelCase>& info) { return std::string(info.param.name); });

// Verifies a member named like its group ("BASS.wav" becomes the track BASS in the stack
// BASS), in the fast run and when renaming by double-click fails: the session is built, and
// no stack row is taken for a track outside its stack.
TEST_F(SenderRuns, memberNamedLikeItsGroup) {
    for (const QStringList& quirks :
         {QStringList{}, QStringList{QStringLiteral("rename-by-double-click-fails")}}) {
        SCOPED_TRACE(quirks.join(",").toStdString());
        reports.clear();
        start(quirks);
        const QList<SendJob> jobs = jobsOf({{"DRUMS", {"DRUMS", "KICK"}, Swatch{0, 0}},
                                            {"BASS", {"BASS"}, Swatch{17, 1}},
                                            {"VOCALS", {"VOCALS_2", "VOCALS"}, std::nullopt}});
        sendThrough(SendMode::fast, jobs);
        expectSessionBuilt(jobs, true);
    }
}

// Verifies that an empty track the project held before the send is kept in every run that
// imports (Delete Unused Tracks is left out), and the session is built beside it.
TEST_F(SenderRuns, anEmptyTrackTheProjectHeldIsKept) {
    for (const SendMode mode : {SendMode::fast, SendMode::grouped, SendMode::slow}) {
        SCOPED_TRACE(sendModeName(mode).toStdString());
        reports.clear();
        start();
        sim->logic().addTrack(QStringLiteral("Audio 1"), false);
        const QList<SendJob> jobs = realisticJobs();
        sendThrough(mode, jobs);
        const SimSession s = session();
        ASSERT_FALSE(s.tracks.isEmpty());
        EXPECT_EQ(s.tracks.first().name, QStringLiteral("Audio 1"));
        EXPECT_FALSE(s.tracks.first().hasAudio);
        EXPECT_FALSE(s.tracks.first().stack);
        int stacks = 0;
        for (const SimTrack& t : s.tracks)
            stacks += t.isStack;
        EXPECT_EQ(stacks, 5);
        EXPECT_TRUE(reported(QStringLiteral("  (the project held tracks before the send")));
    }
}

} // namespace
