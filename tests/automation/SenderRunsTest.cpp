// The four runs (and the sorted run) against the simulated Logic Pro on a virtual clock: each
// builds a whole session, checked on what the simulator holds; their progress fractions; and a
// cancel during each phase.

#include "automation/SenderFixture.h"

using namespace Vantrel;
using namespace Vantrel::SenderTesting;

namespace {

class SenderRuns : public SenderTest {};

// Verifies that the fast run imports everything in one drag, makes, colours and folds every
// stack in rule order and leaves the unsorted tracks outside.
TEST_F(SenderRuns, fastRunBuildsTheWholeSession) {
    start();
    const QList<SendJob> jobs = realisticJobs();
    sender->runFast(jobs, false);
    expectSessionBuilt(jobs, true);
    EXPECT_EQ(statuses().last(), QStringLiteral("Done"));
    EXPECT_TRUE(statuses().contains(QStringLiteral("  the tracks came in in the right order")));
    EXPECT_EQ(sentText(jobs), QStringLiteral("Sent 14 tracks and 5 stacks to Logic."));
    EXPECT_TRUE(session().windows.filter(QStringLiteral("Color")).isEmpty());
}

// Verifies that the import order is checked on the tracks after those the project held.
TEST_F(SenderRuns, fastRunComparesOnlyTheNewTracksWithTheFiles) {
    start();
    sim->logic().addTrack("OLD_1");
    sim->logic().addTrack("OLD_2");
    const QList<SendJob> jobs = jobsOf({{"DRUMS", {"KICK"}, Swatch{0, 0}}});
    sender->runFast(jobs, false);
    EXPECT_TRUE(statuses().contains(QStringLiteral("  the tracks came in in the right order")));
    EXPECT_EQ(statuses().last(), QStringLiteral("Done"));
}

// Verifies that with the group's name in every track name the fast run sorts by name, stacks
// consecutive rows and puts the stacks back in rule order.
TEST_F(SenderRuns, fastRunWithGroupNamesTakesTheSortedRun) {
    start();
    const QList<SendJob> jobs = groupInNameJobs();
    sender->runFast(jobs, true);
    expectSessionBuilt(jobs, true);
    EXPECT_TRUE(reported(QStringLiteral("Sorting the tracks by name")));
    EXPECT_EQ(statuses().last(), QStringLiteral("Done"));
}

// Verifies that the group-by-group run builds the same session one job after the other.
TEST_F(SenderRuns, groupedRunBuildsTheWholeSession) {
    start();
    const QList<SendJob> jobs = realisticJobs();
    sender->runGrouped(jobs);
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
    sender->stackOnly(jobs);
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
    sender->run(jobs);
    expectSessionBuilt(jobs, false, false);
    EXPECT_EQ(statuses().last(), QStringLiteral("Done"));
}

// Verifies consecutive imports from one folder (the dialog reused without Go to Folder).
TEST_F(SenderRuns, slowRunImportsConsecutiveFilesOfOneFolder) {
    start();
    const QList<SendJob> jobs = realisticJobs();
    sender->run(jobs);
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
    sender->runFast(jobs, false);
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
    sender->runGrouped(jobs);
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
    sender->run({job});
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
    sender->stackOnly(jobs);
    EXPECT_DOUBLE_EQ(fractionAt(reports, "Stacking DRUMS"), 0.0);
    EXPECT_DOUBLE_EQ(fractionAt(reports, "Stacking KEYS"), 0.5);
    EXPECT_DOUBLE_EQ(fractionAt(reports, "Stacking FX"), 0.75);
}

// Verifies that a fast run with only unsorted files still colours (nothing) and closes.
TEST_F(SenderRuns, fastRunWithoutGroupsStillRunsTheClosingPhase) {
    start();
    const QList<SendJob> jobs = jobsOf({{std::nullopt, {"ROOM_L", "ROOM_R"}, std::nullopt}});
    sender->runFast(jobs, false);
    EXPECT_DOUBLE_EQ(fractionAt(reports, "Coloring"), 0.88);
    EXPECT_EQ(statuses().last(), QStringLiteral("Done"));
    expectSessionBuilt(jobs, true);
}

// --- Cancel.

struct CancelCase {
    const char* name;
    const char* mode;     // fast, sorted, grouped, slow, stacks
    const char* cancelAt; // the status (prefix) whose report presses Cancel
    const char* notMade;  // a stack that must not exist afterwards, or ""
};

void PrintTo(const CancelCase& c, std::ostream* os) {
    *os << c.name;
}

class SenderCancel : public SenderTest, public testing::WithParamInterface<CancelCase> {};

// Verifies that a cancel during a phase ends the run with "Cancelled." at its next poll,
// before the next step of the run.
TEST_P(SenderCancel, endsTheRunWithCancelled) {
    const CancelCase& c = GetParam();
    start();
    const QString mode = QString::fromLatin1(c.mode);
    const QList<SendJob> jobs = mode == u"sorted" ? groupInNameJobs() : realisticJobs();
    if (mode == u"stacks")
        for (const QString& f : dragURLs(jobs))
            sim->logic().addTrack(memberName(f));
    const QString at = QString::fromLatin1(c.cancelAt);
    cancelWhen = [at](const QString& status) { return status.startsWith(at); };
    const std::optional<QString> failure = failureOf([&] { runMode(mode, jobs); });
    EXPECT_EQ(failure, QStringLiteral("Cancelled."));
    EXPECT_NE(statuses().last(), QStringLiteral("Done"));
    if (*c.notMade) {
        for (const SimTrack& t : session().tracks)
            EXPECT_FALSE(t.isStack && t.name == QLatin1String(c.notMade)) << t.name.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Phases, SenderCancel,
    testing::Values(CancelCase{"fastWhileImporting", "fast", "Importing: ", "DRUMS"},
                    CancelCase{"fastBeforeTheFirstStack", "fast", "  the tracks came in", "DRUMS"},
                    CancelCase{"fastWhileStacking", "fast", "Stacking BASS", "BASS"},
                    CancelCase{"fastWhileColouring", "fast", "Coloring", ""},
                    CancelCase{"sortedWhileSorting", "sorted", "Sorting the tracks", "DRUMS"},
                    CancelCase{"sortedWhileStacking", "sorted", "Stacking BASS", "BASS"},
                    CancelCase{"groupedWhileImporting", "grouped", "Importing BASS: ", "BASS"},
                    CancelCase{"groupedWhileColouring", "grouped", "Coloring DRUMS", "BASS"},
                    CancelCase{"slowWhileImportingAFile", "slow", "DRUMS: 01_KICK_IN", "DRUMS"},
                    CancelCase{"stacksOnlyWhileStacking", "stacks", "Stacking BASS", "BASS"}),
    [](const testing::TestParamInfo<CancelCase>& info) { return std::string(info.param.name); });

} // namespace
