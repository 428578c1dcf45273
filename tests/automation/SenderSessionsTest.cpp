// Sessions a user sends that the first tests did not cover: files of the same name, a track
// named like a group, lists longer than the screen, a person clicking during the send, a
// second send into the same project, large sessions with unsorted tracks, and a cancel while
// colouring. Each builds exactly its session or stops with a sentence that names the fault.

#include "automation/SenderFixture.h"

using namespace Vantrel;
using namespace Vantrel::SenderTesting;

namespace {

class SenderSessions : public SenderTest {};

const QString notEmpty = QStringLiteral("Open Logic Pro with an empty project first.");

// Verifies that a group's track and an unsorted track of the same name each end where their
// file belongs: the stack takes the group's own file, the unsorted one stays outside.
TEST_F(SenderSessions, filesOfTheSameNameKeepTheirPlaces) {
    for (const SendMode mode : {SendMode::fast, SendMode::grouped, SendMode::slow}) {
        SCOPED_TRACE(sendModeName(mode).toStdString());
        reports.clear();
        start();
        const QList<SendJob> jobs = jobsOf({{"DRUMS", {"KICK", "ROOM", "SNARE"}, Swatch{0, 0}},
                                            {"BASS", {"DI", "ROOM"}, Swatch{17, 1}},
                                            {std::nullopt, {"ROOM", "TALKBACK"}, std::nullopt}});
        sendThrough(mode, jobs);
        expectSessionBuilt(jobs, mode != SendMode::slow, mode != SendMode::slow);
    }
}

// Verifies that an unsorted track named exactly like a group is never taken for its stack:
// the order is the jobs' order and the send goes through.
TEST_F(SenderSessions, aTrackNamedLikeAGroupIsNoStack) {
    for (const SendMode mode : {SendMode::fast, SendMode::grouped}) {
        SCOPED_TRACE(sendModeName(mode).toStdString());
        reports.clear();
        start();
        const QList<SendJob> jobs = jobsOf({{"LEAD", {"VOX_1", "VOX_2"}, Swatch{22, 0}},
                                            {"DRUMS", {"KICK", "SNARE"}, Swatch{0, 0}},
                                            {std::nullopt, {"LEAD", "DRUMS"}, std::nullopt}});
        sendThrough(mode, jobs);
        expectSessionBuilt(jobs, true);
    }
}

// Eleven groups and eighty unsorted tracks: more rows than the screen shows.
QList<JobPlan> longListPlans() {
    QList<JobPlan> plans;
    const char* groups[] = {"DRUMS",  "BASS",   "EGS", "AGS",   "KEYS",   "STRINGS",
                            "TRACKS", "VOCALS", "FX",  "CROWD", "UTILITY"};
    int g = 0;
    for (const char* group : groups) {
        JobPlan plan{QString::fromLatin1(group), {}, Swatch{(g * 2) % 24, g % 4}};
        for (int i = 1; i <= 3; ++i)
            plan.names << QStringLiteral("%1_%2").arg(group).arg(i);
        plans << plan;
        ++g;
    }
    JobPlan loose{std::nullopt, {}, std::nullopt};
    for (int i = 1; i <= 80; ++i)
        loose.names << QStringLiteral("LOOSE_%1").arg(i, 2, 10, QChar('0'));
    plans << loose;
    return plans;
}

// Verifies that the stacks and the unsorted tracks of a list longer than the screen end in
// the jobs' order, with the tracks arriving in another order and menu presses answering an
// error after they took effect.
TEST_F(SenderSessions, aListLongerThanTheScreenEndsInOrder) {
    QStringList quirks = SimLogic::profileQuirks(QStringLiteral("realistic"));
    quirks << QStringLiteral("tracks-arrive-shuffled")
           << QStringLiteral("press-error-after-effect");
    start(quirks);
    const QList<SendJob> jobs = jobsOf(longListPlans());
    sendThrough(SendMode::fast, jobs);
    expectSessionBuilt(jobs, true);
}

// Verifies that the unsorted tracks end below the stacks after the closing phase.
TEST_F(SenderSessions, unsortedTracksEndBelowTheStacks) {
    start();
    const QList<SendJob> jobs = realisticJobs();
    sendThrough(SendMode::fast, jobs);
    expectSessionBuilt(jobs, true);
}

// Verifies that a send of 330 tracks with 33 of them unsorted goes through.
TEST_F(SenderSessions, threeHundredThirtyTracksWithUnsortedOnes) {
    start();
    QList<JobPlan> plans;
    const char* groups[] = {"DRUMS",   "BASS",   "EGS",    "AGS", "KEYS",
                            "STRINGS", "TRACKS", "VOCALS", "FX"};
    int g = 0;
    for (const char* group : groups) {
        JobPlan plan{QString::fromLatin1(group), {}, Swatch{g * 2, g % 4}};
        for (int i = 1; i <= 33; ++i)
            plan.names << QStringLiteral("%1_%2").arg(i, 2, 10, QChar('0')).arg(group);
        plans << plan;
        ++g;
    }
    JobPlan loose{std::nullopt, {}, std::nullopt};
    for (int i = 1; i <= 33; ++i)
        loose.names << QStringLiteral("%1_LOOSE").arg(i, 2, 10, QChar('0'));
    plans << loose;
    const QList<SendJob> jobs = jobsOf(plans);
    sendThrough(SendMode::fast, jobs);
    expectSessionBuilt(jobs, true);
}

// Verifies that a second send into the project the first one built stops before importing
// anything, in every mode that imports, and leaves the session as it was.
TEST_F(SenderSessions, aSecondSendIntoTheSameProjectStops) {
    for (const SendMode mode : {SendMode::fast, SendMode::grouped, SendMode::slow}) {
        SCOPED_TRACE(sendModeName(mode).toStdString());
        reports.clear();
        start();
        const QList<SendJob> jobs = jobsOf({{"DRUMS", {"KICK", "SNARE"}, Swatch{0, 0}},
                                            {std::nullopt, {"TALKBACK"}, std::nullopt}});
        sendThrough(SendMode::fast, jobs);
        const SimSession before = session();
        sender = std::make_unique<LogicSender>(*sim);
        const SendOutcome second = send(mode, jobs);
        EXPECT_FALSE(second.ok);
        EXPECT_EQ(second.result, notEmpty);
        EXPECT_EQ(session().tracks, before.tracks);
    }
}

// Verifies that a project holding the user's own tracks with audio is never touched.
TEST_F(SenderSessions, aProjectWithTheUsersTracksStops) {
    for (const SendMode mode : {SendMode::fast, SendMode::grouped, SendMode::slow}) {
        SCOPED_TRACE(sendModeName(mode).toStdString());
        reports.clear();
        start();
        sim->logic().addTrack(QStringLiteral("Lead Vox"), true);
        sim->logic().addTrack(QStringLiteral("DRUMS"), true);
        const SimSession before = session();
        const SendOutcome outcome = send(mode, realisticJobs());
        EXPECT_EQ(outcome.result, notEmpty);
        EXPECT_EQ(session().tracks, before.tracks);
    }
}

// Verifies that a cancel while colouring stops the run before the next group is coloured.
TEST_F(SenderSessions, aCancelWhileColouringStopsBeforeTheNextGroup) {
    start();
    const QList<SendJob> jobs = realisticJobs();
    cancelWhen = [](const QString& status) { return status.startsWith(QLatin1String("  swatch")); };
    const SendOutcome outcome = send(SendMode::fast, jobs);
    EXPECT_TRUE(outcome.cancelled);
    for (const SimTrack& t : session().tracks) {
        if (t.name == QLatin1String("KEYS") || t.stack == QStringLiteral("KEYS") ||
            t.name == QLatin1String("VOCALS") || t.stack == QStringLiteral("VOCALS")) {
            EXPECT_FALSE(t.color) << t.name.toStdString();
        }
    }
}

// Verifies that with a person clicking track rows during the send no run reports success
// with a wrong session (colours included), over several seeds and a large session.
TEST_F(SenderSessions, aPersonClickingNeverGetsAWrongSessionCalledDone) {
    for (const std::uint64_t seed : {1, 2, 3, 4}) {
        for (const SendMode mode : {SendMode::fast, SendMode::grouped}) {
            SCOPED_TRACE(sendModeName(mode).toStdString() + " seed " + std::to_string(seed));
            reports.clear();
            start({QStringLiteral("user-input=7")});
            sim->logic().setSeed(seed);
            QList<JobPlan> plans = longListPlans();
            plans.removeLast();
            plans << JobPlan{std::nullopt, {"ROOM_L", "ROOM_R"}, std::nullopt};
            const QList<SendJob> jobs = jobsOf(plans);
            const SendOutcome outcome = send(mode, jobs);
            if (outcome.ok) {
                expectSessionBuilt(jobs, true);
                continue;
            }
            // A stop names what went wrong, never a missing track that is there.
            EXPECT_FALSE(outcome.result.contains(QLatin1String("(missing:")))
                << outcome.result.toStdString();
        }
    }
}

} // namespace

namespace {

// One closing check of a built session against jobs that differ from it in one way.
struct CheckCase {
    const char* what;
    SendMode mode;
    std::function<void(QList<SendJob>&)> change;
    QString sentence; // the expected first difference; empty: none
};

void PrintTo(const CheckCase& c, std::ostream* os) {
    *os << c.what;
}

class ClosingCheck : public SenderSessions, public testing::WithParamInterface<CheckCase> {};

// Verifies that the closing check names the first real difference between the session in
// Logic and the jobs, and finds none in a session that is right.
TEST_P(ClosingCheck, namesTheFirstDifference) {
    const CheckCase& c = GetParam();
    start();
    QList<SendJob> jobs = realisticJobs();
    sendThrough(c.mode, jobs);
    c.change(jobs);
    const std::optional<QString> failure = failureOf([&] { sender->closingCheck(jobs, true); });
    if (c.sentence.isEmpty()) {
        EXPECT_EQ(failure, std::nullopt);
        return;
    }
    ASSERT_TRUE(failure);
    EXPECT_TRUE(failure->startsWith(
        QStringLiteral("Done, but the session in Logic is not what was sent: ") + c.sentence))
        << failure->toStdString();
}

SendJob& jobOf(QList<SendJob>& jobs, const char* group) {
    for (SendJob& job : jobs)
        if (job.group == QString::fromLatin1(group))
            return job;
    return jobs.last();
}

INSTANTIATE_TEST_SUITE_P(
    Sessions, ClosingCheck,
    testing::Values(
        CheckCase{"right", SendMode::fast, [](QList<SendJob>&) {}, {}},
        CheckCase{"order", SendMode::fast, [](QList<SendJob>& jobs) { jobs.swapItemsAt(0, 1); },
                  QStringLiteral("the stack “DRUMS” stands at position 1 in place of the stack "
                                 "“BASS”")},
        CheckCase{"looseOrder", SendMode::fast,
                  [](QList<SendJob>& jobs) { jobs.last().files.swapItemsAt(0, 1); },
                  QStringLiteral("the track “ROOM_MIC_L” stands at position 6 in place of the "
                                 "track “TALKBACK”")},
        CheckCase{"colour", SendMode::fast,
                  [](QList<SendJob>& jobs) {
                      jobOf(jobs, "KEYS").color = Swatch{3, 2};
                  },
                  QStringLiteral("the stack “KEYS” has another color than its group")},
        CheckCase{"noColour", SendMode::grouped,
                  [](QList<SendJob>& jobs) {
                      jobOf(jobs, "UTILITY").color = Swatch{3, 2};
                  },
                  QStringLiteral("the stack “UTILITY” has no color")},
        CheckCase{"colourNotSent", SendMode::fast,
                  [](QList<SendJob>& jobs) { jobOf(jobs, "BASS").color.reset(); },
                  QStringLiteral("the stack “BASS” has a color it was not sent with")},
        CheckCase{"open", SendMode::slow, [](QList<SendJob>&) {},
                  QStringLiteral("the stack “DRUMS” is open")},
        CheckCase{"member", SendMode::fast,
                  [](QList<SendJob>& jobs) {
                      QStringList& files = jobOf(jobs, "BASS").files;
                      files << QString(files.first()).replace(".wav", "_2.wav");
                  },
                  QStringLiteral("the stack “BASS” lacks 01_DI_2")},
        CheckCase{"count", SendMode::fast,
                  [](QList<SendJob>& jobs) { jobs.last().files.removeLast(); },
                  QStringLiteral("Logic holds 19 tracks where 18 were expected")}),
    [](const testing::TestParamInfo<CheckCase>& info) { return std::string(info.param.what); });

// Verifies that where the Color window does not show a track's colour, the check says so in a
// note and does not call the session wrong.
TEST_F(SenderSessions, colorsThatCannotBeReadAreNotCalledWrong) {
    start({QStringLiteral("color-grid-unreadable")});
    QList<SendJob> jobs = realisticJobs();
    sendThrough(SendMode::fast, jobs);
    jobOf(jobs, "KEYS").color = Swatch{3, 2};
    EXPECT_EQ(failureOf([&] { sender->closingCheck(jobs, true); }), std::nullopt);
    EXPECT_TRUE(reported(QStringLiteral("  (Logic does not show which color a track has")));
}

// Verifies that a stack holding fewer tracks than it was made from stops the send with a
// sentence naming that stack, rather than a later one naming a track as missing.
TEST_F(SenderSessions, aStackThatTookFewerTracksIsNamed) {
    start();
    for (const char* name : {"KICK", "SNARE", "HAT", "ROOM"})
        sim->logic().addTrack(QString::fromLatin1(name));
    const std::optional<QList<TrackRow>> rows = sender->allRows(false);
    ASSERT_TRUE(rows && rows->size() == 4);
    const int made = sender->makeStack(QStringLiteral("DRUMS"), rows->mid(0, 2));
    EXPECT_EQ(failureOf([&] {
                  sender->checkStackMembers(made, QStringLiteral("DRUMS"), rows->mid(0, 3), 5);
              }),
              QStringLiteral("The stack “DRUMS” took 2 of its 3 tracks in Logic; the others are "
                             "outside it. Nothing else was changed after this point."));
    EXPECT_EQ(failureOf([&] {
                  sender->checkStackMembers(made, QStringLiteral("DRUMS"), rows->mid(0, 2), 5);
              }),
              std::nullopt);
}

} // namespace

namespace {

class SenderCancel : public SenderSessions {};

// Verifies that once cancelled, the colouring of the next group stops before its swatch is
// clicked, even when the Color window is open and the rows are selected already, so that no
// step has to wait.
TEST_F(SenderCancel, aCancelStopsTheColouringWhereNothingWaits) {
    start();
    for (const char* name : {"KICK", "SNARE"})
        sim->logic().addTrack(QString::fromLatin1(name));
    const std::optional<QList<TrackRow>> rows = sender->allRows(false);
    ASSERT_TRUE(rows);
    sender->makeStack(QStringLiteral("DRUMS"), *rows);
    const QStringList names{QStringLiteral("KICK"), QStringLiteral("SNARE")};
    sender->applyColor(QStringLiteral("DRUMS"), names, Swatch{0, 0});
    clock.advance(2s);
    sender->cancelled.store(true);
    EXPECT_THROW(sender->applyColor(QStringLiteral("DRUMS"), names, Swatch{5, 1}), CancelledError);
    clock.advance(2s);
    for (const SimTrack& t : session().tracks)
        EXPECT_EQ(t.color, std::make_optional(std::make_pair(0, 0))) << t.name.toStdString();
}

} // namespace

namespace {

// Verifies that when Logic brings the tracks in in another order, tracks of different groups
// that share a name are not guessed: the fast run stops before stacking with a sentence that
// says why, and the group-by-group run, which imports one job at a time, builds the session.
TEST_F(SenderSessions, sameNamesThatCameInShuffledAreNotGuessed) {
    for (const SendMode mode : {SendMode::fast, SendMode::grouped}) {
        SCOPED_TRACE(sendModeName(mode).toStdString());
        reports.clear();
        start({QStringLiteral("tracks-arrive-shuffled")});
        const QList<SendJob> jobs = jobsOf({{"DRUMS", {"KICK", "ROOM", "SNARE"}, Swatch{0, 0}},
                                            {"BASS", {"DI", "AMP"}, Swatch{17, 1}},
                                            {std::nullopt, {"ROOM", "TALKBACK"}, std::nullopt}});
        const SendOutcome outcome = send(mode, jobs);
        if (mode == SendMode::grouped) {
            EXPECT_TRUE(outcome.ok) << outcome.result.toStdString();
            expectSessionBuilt(jobs, true);
            continue;
        }
        ASSERT_TRUE(reported(QStringLiteral("  the tracks came in in another order")));
        EXPECT_EQ(outcome.result,
                  QStringLiteral("Logic brought the tracks in in another order, and tracks of "
                                 "different groups share a name (ROOM), so they cannot be told "
                                 "apart. Nothing else was changed after this point: send group "
                                 "by group instead."));
        for (const SimTrack& t : session().tracks)
            EXPECT_FALSE(t.isStack) << t.name.toStdString();
    }
}

} // namespace
