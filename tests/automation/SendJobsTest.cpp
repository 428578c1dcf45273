// The send jobs built from the approved items: rule order, colours, the unsorted job last,
// the file order inside a job, and the drag list; the send modes' names and the send log's
// lines.

#include "automation/SendJobs.h"

#include "automation/SendMode.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

using namespace Vantrel;

namespace {

Item item(const std::optional<QString>& group, const QString& folder, const QString& newName) {
    Item i;
    i.group = group;
    i.folder = folder;
    i.newName = newName;
    return i;
}

RuleGroup rule(const QString& name, std::optional<QList<int>> color = std::nullopt) {
    RuleGroup g;
    g.name = name;
    g.color = std::move(color);
    return g;
}

Config rules() {
    Config cfg;
    cfg.unsortedFolder = QStringLiteral("99_UNSORTED");
    cfg.groups = {rule("DRUMS"), rule("BASS"), rule("VOCALS", QList<int>{3, 2})};
    return cfg;
}

// Verifies the jobs in rule order with the unsorted job last, a group without tracks left
// out, each group's files in new-name order (digit runs by value, letters without case) and
// the unsorted files in the approval's order.
TEST(SendJobs, shouldFollowTheRulesWithTheUnsortedJobLast) {
    const QList<Item> items{
        item("VOCALS", "02_VOCALS", "02_BGV.wav"),  item(std::nullopt, "99_UNSORTED", "b.wav"),
        item("DRUMS", "01_DRUMS", "10_TOM.wav"),    item("DRUMS", "01_DRUMS", "2_snare.wav"),
        item("VOCALS", "02_VOCALS", "01_LEAD.wav"), item(std::nullopt, "99_UNSORTED", "a.wav"),
        item("DRUMS", "01_DRUMS", "1_KICK.wav"),
    };
    const QString r = QStringLiteral("/sessions/Show SORTED");
    const QList<SendJob> jobs = sendJobs(items, rules(), r);

    ASSERT_EQ(jobs.size(), 3);
    EXPECT_EQ(jobs[0].group, QStringLiteral("DRUMS"));
    EXPECT_EQ(jobs[0].files, (QStringList{r + "/01_DRUMS/1_KICK.wav", r + "/01_DRUMS/2_snare.wav",
                                          r + "/01_DRUMS/10_TOM.wav"}));
    EXPECT_EQ(jobs[1].group, QStringLiteral("VOCALS"));
    EXPECT_EQ(jobs[1].files,
              (QStringList{r + "/02_VOCALS/01_LEAD.wav", r + "/02_VOCALS/02_BGV.wav"}));
    EXPECT_EQ(jobs[1].color, (Swatch{3, 2}));
    EXPECT_EQ(jobs[2].group, std::nullopt);
    EXPECT_EQ(jobs[2].color, std::nullopt);
    EXPECT_EQ(jobs[2].files, (QStringList{r + "/99_UNSORTED/b.wav", r + "/99_UNSORTED/a.wav"}));

    EXPECT_EQ(dragURLs(jobs), jobs[0].files + jobs[1].files + jobs[2].files);
    EXPECT_EQ(sentText(jobs), QStringLiteral("Sent 7 tracks and 2 stacks to Logic."));
}

// Verifies the colours: a built-in name without a stored colour takes its default cell, a
// name without either has none.
TEST(SendJobs, shouldGiveEachGroupItsSwatch) {
    Config cfg;
    cfg.groups = {rule("DRUMS"), rule("MY GROUP")};
    const QList<SendJob> jobs =
        sendJobs({item("DRUMS", "01_DRUMS", "k.wav"), item("MY GROUP", "02_MY GROUP", "x.wav")},
                 cfg, QStringLiteral("/r"));
    ASSERT_EQ(jobs.size(), 2);
    EXPECT_EQ(jobs[0].color, cfg.groups[0].swatch());
    EXPECT_TRUE(jobs[0].color.has_value());
    EXPECT_EQ(jobs[1].color, std::nullopt);
}

// Verifies that tracks of a group the rules no longer hold (renamed or removed after the
// approval) go to the unsorted job after the tracks without a group, in the approval's order:
// every approved file is sent, none dropped.
TEST(SendJobs, shouldSendTracksOfAGroupNoLongerInTheRulesAsUnsorted) {
    const QList<Item> items{
        item("DRUMS", "01_DRUMS", "KICK.wav"),      item("PERC", "04_PERC", "SHAKER.wav"),
        item(std::nullopt, "99_UNSORTED", "a.wav"), item("PERC", "04_PERC", "CONGA.wav"),
        item("OLD VOX", "03_OLD VOX", "LEAD.wav"),
    };
    const QString r = QStringLiteral("/r");
    const QList<SendJob> jobs = sendJobs(items, rules(), r);

    ASSERT_EQ(jobs.size(), 2);
    EXPECT_EQ(jobs[0].group, QStringLiteral("DRUMS"));
    EXPECT_EQ(jobs[1].group, std::nullopt);
    EXPECT_EQ(jobs[1].color, std::nullopt);
    EXPECT_EQ(jobs[1].files, (QStringList{r + "/04_PERC/SHAKER.wav", r + "/99_UNSORTED/a.wav",
                                          r + "/04_PERC/CONGA.wav", r + "/03_OLD VOX/LEAD.wav"}));
    EXPECT_EQ(sentText(jobs), QStringLiteral("Sent 5 tracks and 1 stack to Logic."));
}

// Verifies that without a result folder there is nothing to send or drag.
TEST(SendJobs, shouldBeEmptyWithoutAResult) {
    const QList<SendJob> jobs = sendJobs({item("DRUMS", "01_DRUMS", "k.wav")}, rules(), {});
    EXPECT_TRUE(jobs.isEmpty());
    EXPECT_TRUE(dragURLs(jobs).isEmpty());
}

// Verifies the track name Logic gives a file: its last component without the extension.
TEST(SendJobs, shouldNameTracksAfterTheFileWithoutItsExtension) {
    EXPECT_EQ(memberName(QStringLiteral("/a/01_DRUMS/DRUMS_01_KICK.wav")),
              QStringLiteral("DRUMS_01_KICK"));
    EXPECT_EQ(memberName(QStringLiteral("/a/b/Kick.In.aif")), QStringLiteral("Kick.In"));
    EXPECT_EQ(memberName(QStringLiteral("/a/b/NOEXT")), QStringLiteral("NOEXT"));
}

// Verifies the format of a progress line: time and percentage right-aligned and rounded, and
// the closing line of each outcome.
TEST(SendLog, shouldFormatTimeAndPercentageRightAligned) {
    const struct {
        double seconds;
        double fraction;
        const char* status;
        const char* line;
    } rows[] = {
        {0, 0, "Dragging 6 files into Logic", "  0.0s   0%  Dragging 6 files into Logic"},
        {12.34, 0.456, "Stacking DRUMS", " 12.3s  46%  Stacking DRUMS"},
        {3.05, 0.5, "  the tracks came in in the right order",
         "  3.0s  50%    the tracks came in in the right order"},
        {754.96, 1, "Done", "755.0s 100%  Done"},
        {1.0, 0.02, "Ünïcode “quoted”…", "  1.0s   2%  Ünïcode “quoted”…"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        EXPECT_EQ(sendLogLine(row.seconds, row.fraction, QString::fromUtf8(row.status)),
                  QString::fromUtf8(row.line));
    }
    EXPECT_EQ((SendOutcome{true, false, "Sent 1 tracks and 0 stacks to Logic."}.logLine()),
              QStringLiteral("OK"));
    EXPECT_EQ((SendOutcome{false, true, "Cancelled."}.logLine()),
              QStringLiteral("ERROR: Cancelled."));
}

// Verifies that each mode is named as the command line writes it and read back from that name
// only.
TEST(SendModeNames, shouldReadBackEveryModeFromItsNameOnly) {
    const struct {
        SendMode mode;
        const char* name;
    } rows[] = {{SendMode::fast, "fast"},
                {SendMode::grouped, "grouped"},
                {SendMode::slow, "slow"},
                {SendMode::stacksOnly, "stacks-only"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(sendModeName(row.mode), QLatin1String(row.name));
        EXPECT_EQ(sendModeNamed(QLatin1String(row.name)), row.mode);
    }
    for (const char* other : {"stacksOnly", "Fast", "", "sorted"})
        EXPECT_EQ(sendModeNamed(QLatin1String(other)), std::nullopt) << other;
}

} // namespace
