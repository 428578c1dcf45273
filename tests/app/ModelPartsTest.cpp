// The parts of the application model each on its own, with only the parts it is built on: the
// review session with the rules and the busy screen, the approval with the review.

#include "app/AppModelFixture.h"
#include "app/ApprovalModel.h"
#include "app/BusyState.h"
#include "app/ReviewSession.h"
#include "app/RulesModel.h"

namespace Vantrel::AppTesting {
namespace {

std::optional<QString> groupOf(const ReviewSession& review, const char* file) {
    for (const Item& item : review.items())
        if (item.fileName() == QString::fromUtf8(file))
            return item.group;
    ADD_FAILURE() << file << " is not under review";
    return std::nullopt;
}

class ModelPartsTest : public AppModelFixture {
protected:
    bool waitUntilIdle() {
        return QTest::qWaitFor([this] { return !busy.busy(); }, kTimeoutMs);
    }

    BusyState busy;
    RulesModel rulesModel{systemFileOps()};
    ReviewSession review{rulesModel, busy, nullptr};
};

// Verifies the review on its own when the rules were saved: only the tracks the user did not set
// by hand are sorted again, and nothing moves while other work holds the busy screen or without
// a folder; a save alone does not touch the review (its owner passes it on).
TEST_F(ModelPartsTest, reviewShouldSortAgainOnlyTracksNotSetByHandAndNothingWhileBusy) {
    const struct {
        const char* situation;
        bool busy;
        bool loaded;
        std::optional<QString> snare; // where the snare, left to the rules, ends up
    } cases[] = {
        {"on the review", false, true, QStringLiteral("VOCALS")},
        {"while busy", true, true, QStringLiteral("DRUMS")},
        {"without a folder", false, false, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.situation);
        ASSERT_TRUE(rulesModel.saveRules(rules()));
        review.clear();
        if (c.loaded) {
            review.load(makeFolder(QStringLiteral("Session"), {"1Kick.wav", "2Snare.wav"}));
            ASSERT_TRUE(waitUntilIdle());
            ASSERT_EQ(review.items().size(), 2);
            review.setGroup(review.items().first().id, QStringLiteral("BASS")); // the kick
        }

        Config cfg = rules();
        cfg.groups[2].aliases << QStringLiteral("KICK") << QStringLiteral("SNARE");
        cfg.groups.move(2, 0); // VOCALS first: it now takes kick and snare
        int itemChanges = 0;
        const QMetaObject::Connection counting = QObject::connect(
            &review, &ReviewSession::itemsChanged, [&itemChanges] { ++itemChanges; });
        ASSERT_TRUE(rulesModel.saveRules(cfg));
        QObject::disconnect(counting);
        EXPECT_EQ(itemChanges, 0) << "the rules alone leave the review as it is";

        if (c.busy)
            busy.start(QStringLiteral("Other work"), QString(), false, std::nullopt);
        review.rulesSaved();
        if (c.loaded) {
            EXPECT_EQ(groupOf(review, "1Kick.wav"), QStringLiteral("BASS"));
            EXPECT_EQ(groupOf(review, "2Snare.wav"), c.snare);
        } else {
            EXPECT_TRUE(review.items().isEmpty());
        }
        EXPECT_EQ(review.canUndo(), c.loaded && !c.busy);
        busy.finish();
    }
}

// Verifies the approval on its own over a review: the busy screen while it organizes, then the
// result of it with the review's history forgotten and one new result told; an approval asked
// for while other work holds the busy screen starts nothing; reset empties both.
TEST_F(ModelPartsTest, approvalShouldShowItsWorkOnTheBusyScreenThenItsResult) {
    ApprovalModel approval(review, rulesModel, busy, services());
    const QString folder = makeFolder(QStringLiteral("Session"), {"1Kick.wav", "2Vox.wav"});
    review.load(folder);
    ASSERT_TRUE(waitUntilIdle());
    review.setGroup(review.items().first().id, QStringLiteral("BASS"));
    approval.setOrganizeInPlace(true);
    int results = 0;
    QObject::connect(&approval, &ApprovalModel::newResult, [&results] { ++results; });

    busy.start(QStringLiteral("Other work"), QString(), false, std::nullopt);
    approval.approve();
    EXPECT_EQ(busy.title(), QStringLiteral("Other work"));
    busy.finish();
    finishWork();
    EXPECT_EQ(approval.resultURL(), std::nullopt);
    EXPECT_EQ(results, 0);

    const QList<Item> approved = review.items();
    approval.approve();
    EXPECT_TRUE(busy.busy());
    EXPECT_EQ(busy.title(), QStringLiteral("Organizing “Session”"));
    EXPECT_TRUE(busy.cancellable());
    EXPECT_EQ(busy.progress(), std::optional<double>(0.0));
    EXPECT_FALSE(review.canUndo()) << "nothing is undone while busy";
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(approval.resultURL(), folder);
    EXPECT_TRUE(approval.resultInPlace());
    EXPECT_EQ(approval.exportedItems(), approved);
    EXPECT_EQ(results, 1);
    EXPECT_FALSE(review.reviewChanged()) << "the approved changes are no longer the review's";
    EXPECT_FALSE(review.canUndo());

    approval.reset();
    EXPECT_EQ(approval.resultURL(), std::nullopt);
    EXPECT_EQ(review.folder(), std::nullopt);
}

// Verifies that a folder chosen for the sorted copy belongs to the folder it was chosen for: it
// stays when that folder is read again (as after a put-back) and goes with a new folder.
TEST_F(ModelPartsTest, approvalShouldForgetTheCopysFolderWithTheReviewsFolder) {
    ApprovalModel approval(review, rulesModel, busy, services());
    const QString first = makeFolder(QStringLiteral("First"), {"1Kick.wav"});
    const QString elsewhere = makeFolder(QStringLiteral("Elsewhere"), {});
    review.load(first);
    ASSERT_TRUE(waitUntilIdle());
    approval.setCopyDestination(elsewhere);

    review.load(first);
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(approval.copyDestination(), elsewhere);

    review.load(makeFolder(QStringLiteral("Second"), {"1Kick.wav"}));
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(approval.copyDestination(), std::nullopt);
}

} // namespace
} // namespace Vantrel::AppTesting
