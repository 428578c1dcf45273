#include "app/AppModelFixture.h"
#include "app/Presenter.h"
#include "app/Settings.h"
#include "app/Worker.h"
#include "core/Config.h"
#include "core/Engine.h"
#include "core/Errors.h"
#include "core/Export.h"
#include "core/FileOps.h"
#include "support/FaultyFileOps.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryDir>
#include <QtCore/qtestsupport_core.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace Vantrel {
namespace {

using namespace AppTesting;

using namespace std::chrono_literals;
using Fixtures::snapshot;
using Fixtures::touchAll;
using Fixtures::writeFile;

// A configuration's stored values: group ids are fresh for every group read.
Config withoutIds(Config cfg) {
    for (RuleGroup& g : cfg.groups)
        g.id = QUuid();
    return cfg;
}

QStringList newNames(const QList<Item>& items) {
    QStringList names;
    for (const Item& item : items)
        names << item.newName;
    return names;
}

const Item* itemNamed(const QList<Item>& items, const QString& fileName) {
    for (const Item& item : items)
        if (item.fileName() == fileName)
            return &item;
    return nullptr;
}

// A clock that moves forward by step at every read.
class SteppingClock : public Clock {
public:
    explicit SteppingClock(Duration step) : step_(step) {}
    Duration now() const override { return Duration(1h) + step_ * reads_.fetch_add(1); }
    void sleepFor(Duration) override {}

private:
    Duration step_;
    mutable std::atomic<int> reads_{0};
};

// Answers the open dialog with a preset folder and records what it was asked.
class ChoosingPresenter : public Presenter {
public:
    explicit ChoosingPresenter(std::optional<QString> answer) : answer_(std::move(answer)) {}
    std::optional<QString> chooseFolder(const QString& buttonText,
                                        const QString& message) override {
        asked << buttonText << message;
        return answer_;
    }
    QStringList asked;

private:
    std::optional<QString> answer_;
};

class AppModelTest : public AppModelFixture {
protected:
    static std::shared_ptr<QStringList> recordTitles(AppModel& model) {
        return record<QString>(model, model.busyState(), &BusyState::titleChanged,
                               [](const AppModel& m) { return m.busyState().title(); });
    }
    static std::shared_ptr<QStringList> recordDetails(AppModel& model) {
        return record<QString>(model, model.busyState(), &BusyState::detailChanged,
                               [](const AppModel& m) { return m.busyState().detail(); });
    }
};

// ---- Start ----

// Verifies the start: the saved rules in force, nothing under review, and the two settings
// read with their defaults.
TEST_F(AppModelTest, shouldStartFromTheSavedRulesAndTheUserSettings) {
    const struct {
        const char* name;
        std::optional<bool> walkthroughDone;
        QVariant organizeInPlace; // invalid: absent
        bool showWalkthrough;
        bool inPlace;
    } rows[] = {
        {"first start", std::nullopt, QVariant(), true, true},
        {"walkthrough finished", true, QVariant(), false, true},
        {"copy chosen", std::nullopt, QVariant(false), true, false},
        {"mode not a boolean", std::nullopt, QVariant(QStringLiteral("copy")), true, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        {
            QSettings settings(QStringLiteral("Vantrel"), QStringLiteral("Vantrel"));
            settings.clear();
            if (row.walkthroughDone)
                settings.setValue(QStringLiteral("walkthroughDone"), *row.walkthroughDone);
            if (row.organizeInPlace.isValid())
                settings.setValue(QStringLiteral("organizeInPlace"), row.organizeInPlace);
        }
        const AppModel model(services());
        EXPECT_EQ(model.showWalkthrough(), row.showWalkthrough);
        EXPECT_EQ(model.approval().organizeInPlace(), row.inPlace);
        EXPECT_EQ(withoutIds(model.rules().config()), withoutIds(rules()));
        EXPECT_EQ(model.review().folder(), std::nullopt);
        EXPECT_EQ(model.approval().resultURL(), std::nullopt);
        EXPECT_FALSE(model.busyState().busy());
    }
}

// Verifies that every change of the approval mode is stored at once, and read by the next start.
TEST_F(AppModelTest, shouldStoreTheModeChoiceOnEveryChange) {
    AppModel model(services());
    int changes = 0;
    QObject::connect(&model.approval(), &ApprovalModel::organizeInPlaceChanged,
                     [&changes] { ++changes; });

    model.approval().setOrganizeInPlace(false);
    EXPECT_FALSE(Settings::organizeInPlace());
    EXPECT_FALSE(AppModel(services()).approval().organizeInPlace());
    model.approval().setOrganizeInPlace(false);
    model.approval().setOrganizeInPlace(true);
    EXPECT_TRUE(Settings::organizeInPlace());
    EXPECT_EQ(changes, 2);
}

// ---- Load ----

// Verifies that a load shows an indeterminate busy screen without Cancel, then publishes the
// scan: the folder, its items in the engine's order and the skipped names.
TEST_F(AppModelTest, shouldShowTheBusyScreenThenTheProposal) {
    const QString folder = makeFolder(QStringLiteral("Session 1"),
                                      {"2Vox Lead.wav", "1Kick In#04.1.wav", "notes.txt"});
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/Bounces")));
    AppModel model(services());

    model.review().load(folder);
    EXPECT_TRUE(model.busyState().busy());
    EXPECT_EQ(model.busyState().title(), QStringLiteral("Reading “Session 1”"));
    EXPECT_EQ(model.busyState().detail(), QStringLiteral("Looking at the files…"));
    EXPECT_FALSE(model.busyState().cancellable());
    EXPECT_EQ(model.busyState().progress(), std::nullopt);

    ASSERT_TRUE(waitUntilIdle(model));
    EXPECT_EQ(model.review().folder(), folder);
    EXPECT_EQ(fileNames(model.review().items()),
              fileNames(Engine::scan(folder, model.rules().config()).items)); // the engine's order
    EXPECT_EQ(fileNames(model.review().items()),
              (QStringList{"1Kick In#04.1.wav", "2Vox Lead.wav"}));
    EXPECT_EQ(model.review().skipped(), QStringList{QStringLiteral("notes.txt")});
    EXPECT_EQ(model.errorMessage(), std::nullopt);
}

// Verifies that anything but a folder is refused with the same message, even while busy, and
// changes nothing else.
TEST_F(AppModelTest, shouldRefuseAnythingButAFolder) {
    const QString review = makeFolder(QStringLiteral("Review"), {"1Kick.wav"});
    const QString other = makeFolder(QStringLiteral("Other"), {"1Snare.wav"});
    const QString file = other + QStringLiteral("/1Snare.wav");
    const struct {
        const char* name;
        QString url;
        bool whileBusy;
    } rows[] = {
        {"a single audio file", file, false},
        {"nothing at all", root.filePath(QStringLiteral("missing")), false},
        {"a single file while busy", file, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        AppModel model(services());
        loadAndWait(model, review);
        const QList<Item> before = model.review().items();
        if (row.whileBusy)
            model.review().load(other);

        model.review().load(row.url);
        EXPECT_EQ(model.errorMessage(),
                  QStringLiteral("Drop a folder of tracks, not a single file."));
        EXPECT_EQ(model.busyState().busy(), row.whileBusy);
        ASSERT_TRUE(waitUntilIdle(model));
        EXPECT_EQ(model.review().folder(), row.whileBusy ? other : review);
        if (!row.whileBusy) {
            EXPECT_EQ(model.review().items(), before);
        }
    }
}

// Verifies that a folder whose audio files all lie in sub-folders is reported by its name and
// leaves the previous review as it was.
TEST_F(AppModelTest, shouldKeepThePreviousReviewWhenAFolderHasNoAudio) {
    const QString review = makeFolder(QStringLiteral("Review"), {"1Kick.wav", "read me.txt"});
    const QString live = makeFolder(QStringLiteral("Live"), {"Drums/1Kick.wav", "setlist.txt"});
    AppModel model(services());
    loadAndWait(model, review);
    const QList<Item> before = model.review().items();

    model.review().load(live);
    ASSERT_TRUE(waitUntilIdle(model));
    EXPECT_EQ(model.errorMessage(), QStringLiteral("No audio files found directly inside “Live”."));
    EXPECT_EQ(model.review().folder(), review);
    EXPECT_EQ(model.review().items(), before);
    EXPECT_EQ(model.review().skipped(), QStringList{QStringLiteral("read me.txt")});
}

// Verifies that a folder the user may not read says so with the system's reason, not that it
// holds no audio files, and leaves the previous review as it was. The superuser reads every
// folder: as the superuser, every thread of the test runs as "nobody" for the load.
TEST_F(AppModelTest, shouldSayWhyAFolderCannotBeRead) {
    const QString review = makeFolder(QStringLiteral("Review"), {"1Kick.wav"});
    const QString locked = makeFolder(QStringLiteral("Locked"), {"1Kick.wav"});
    AppModel model(services());
    loadAndWait(model, review);
    ASSERT_EQ(::chmod(QFile::encodeName(root.path()).constData(), 0711), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0), 0);
    {
        // seteuid changes the user of every thread of the process, the worker's too.
        const bool superuser = ::geteuid() == 0;
        if (superuser) {
            ASSERT_EQ(::seteuid(65534), 0) << std::strerror(errno);
        }
        const auto back = qScopeGuard([superuser] {
            if (superuser && ::seteuid(0) != 0)
                std::abort(); // the rest of the suite would run as another user
        });
        model.review().load(locked);
        ASSERT_TRUE(waitUntilIdle(model));
    }
    ::chmod(QFile::encodeName(locked).constData(), 0700);
    EXPECT_EQ(model.errorMessage(),
              QStringLiteral("Couldn't read “%1”: Permission denied.").arg(locked));
    EXPECT_EQ(model.review().folder(), review);
}

// Verifies that a second drop while the first folder is being read is ignored.
TEST_F(AppModelTest, shouldIgnoreASecondLoadWhileBusy) {
    const QString first = makeFolder(QStringLiteral("First"), {"1Kick.wav"});
    const QString second = makeFolder(QStringLiteral("Second"), {"1Snare.wav", "2Vox.wav"});
    AppModel model(services());
    const auto titles = recordTitles(model);

    model.review().load(first);
    model.review().load(second);
    ASSERT_TRUE(waitUntilIdle(model));
    QCoreApplication::processEvents(); // a second result, if there were one, would be queued
    EXPECT_EQ(model.review().folder(), first);
    EXPECT_EQ(fileNames(model.review().items()), QStringList{QStringLiteral("1Kick.wav")});
    EXPECT_EQ(*titles, QStringList{QStringLiteral("Reading “First”")});
    EXPECT_EQ(model.errorMessage(), std::nullopt);
}

// ---- Review ----

// Verifies the review order: groups in rule order, each by new name with digit runs compared by
// value, then the unsorted tracks and those of unknown groups mixed by new name.
TEST_F(AppModelTest, shouldDisplayGroupsInRuleOrderThenTheRest) {
    const struct {
        const char* name;
        bool numberTracks;
        QStringList files;
        QString regroupFile; // moved to the group "OLD", which no rule has
        QStringList displayed;
    } rows[] = {
        {"rule order, unknown and unsorted last",
         true,
         {"1Vox.wav", "2Alpha.wav", "3Snare.wav", "4Gizmo.wav", "5Kick.wav", "6Zulu.wav"},
         QStringLiteral("4Gizmo.wav"),
         {"01_SNARE.wav", "02_KICK.wav", "01_VOX.wav", "ALPHA.wav", "GIZMO.wav", "ZULU.wav"}},
        {"digit runs by value",
         false,
         {"1Kick 10.wav", "2Kick 2.wav"},
         QString(),
         {"KICK_2.wav", "KICK_10.wav"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Config cfg = rules();
        cfg.numberTracks = row.numberTracks;
        cfg.save();
        AppModel model(services());
        loadAndWait(model, makeFolder(QString::fromUtf8(row.name), row.files));
        if (!row.regroupFile.isEmpty())
            model.review().setGroup(itemNamed(model.review().items(), row.regroupFile)->id,
                                    QStringLiteral("OLD"));

        EXPECT_EQ(newNames(model.review().displayed()), row.displayed);
    }
}

// Verifies that moving a track to no group makes it unsorted and renumbers its old group, and
// that an unknown id changes nothing.
TEST_F(AppModelTest, shouldRenumberWhenATrackBecomesUnsorted) {
    AppModel model(services());
    loadAndWait(model, makeFolder(QStringLiteral("Session"), {"1Kick.wav", "2Snare.wav"}));
    ASSERT_EQ(newNames(model.review().items()), (QStringList{"01_KICK.wav", "02_SNARE.wav"}));
    ASSERT_EQ(model.review().unsortedCount(), 0);
    int changes = 0;
    QObject::connect(&model.review(), &ReviewSession::itemsChanged, [&changes] { ++changes; });

    model.review().setGroup(QUuid::createUuid(), std::nullopt);
    EXPECT_EQ(changes, 0);

    model.review().setGroup(model.review().items()[0].id, std::nullopt);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(model.review().unsortedCount(), 1);
    EXPECT_EQ(model.review().items()[0].group, std::nullopt);
    EXPECT_EQ(model.review().items()[0].folder, QStringLiteral("OTHER"));
    EXPECT_EQ(newNames(model.review().items()), (QStringList{"KICK.wav", "01_SNARE.wav"}));
}

// Verifies the open dialog: its texts, and that only a chosen folder is loaded.
TEST_F(AppModelTest, shouldLoadOnlyAChosenFolder) {
    const QString folder = makeFolder(QStringLiteral("Chosen"), {"1Kick.wav"});
    for (const std::optional<QString>& answer :
         {std::optional<QString>(folder), std::optional<QString>()}) {
        SCOPED_TRACE(answer ? "chosen" : "cancelled");
        ChoosingPresenter presenter(answer);
        AppModel model(services());
        model.setPresenter(&presenter);

        model.review().chooseFolder();
        EXPECT_EQ(presenter.asked, (QStringList{"Choose", "Choose the folder of tracks to sort"}));
        EXPECT_EQ(model.busyState().busy(), answer.has_value());
        ASSERT_TRUE(waitUntilIdle(model));
        EXPECT_EQ(model.review().folder(), answer);
    }

    AppModel headless(services());
    headless.review().chooseFolder();
    EXPECT_FALSE(headless.busyState().busy());
}

// ---- Rules ----

// Verifies that saved rules are put in force and sort again only the tracks the user has not
// set by hand, without reading the folder again; a group set by hand that the rules no longer
// have gives its track back to the rules.
TEST_F(AppModelTest, shouldSortAgainOnlyTheTracksNotSetByHandWhenRulesAreSaved) {
    AppModel model(services());
    loadAndWait(model, makeFolder(QStringLiteral("Session"),
                                  {"1Kick.wav", "2Vox.wav", "3Snare.wav", "4Bass.wav"}));
    const auto idOf = [&model](const char* file) {
        return itemNamed(model.review().items(), QString::fromUtf8(file))->id;
    };
    model.review().setGroup(idOf("1Kick.wav"), QStringLiteral("BASS"));
    model.review().setGroup(idOf("3Snare.wav"), std::nullopt);
    ASSERT_TRUE(model.review().reviewChanged());
    const QList<Item> before = model.review().items();

    Config cfg = rules();
    cfg.groups[2].aliases << QStringLiteral("KICK") << QStringLiteral("SNARE")
                          << QStringLiteral("BASS");
    cfg.groups.move(2, 0); // VOCALS first: it now takes kick, snare and bass
    ASSERT_TRUE(model.rules().saveRules(cfg));
    EXPECT_EQ(model.rules().config(), cfg);
    EXPECT_EQ(withoutIds(Config::load()), withoutIds(cfg));
    EXPECT_FALSE(model.busyState().busy()) << "the folder is not read again";

    const auto groupOf = [&model](const char* file) {
        return itemNamed(model.review().items(), QString::fromUtf8(file))->group;
    };
    EXPECT_EQ(groupOf("1Kick.wav"), QStringLiteral("BASS"));   // by hand
    EXPECT_EQ(groupOf("2Vox.wav"), QStringLiteral("VOCALS"));  // by the rules
    EXPECT_EQ(groupOf("3Snare.wav"), std::nullopt);            // by hand: unsorted
    EXPECT_EQ(groupOf("4Bass.wav"), QStringLiteral("VOCALS")); // by the rules, moved
    EXPECT_EQ(itemNamed(model.review().items(), QStringLiteral("4Bass.wav"))->folder,
              QStringLiteral("01_VOCALS"));
    EXPECT_EQ(itemNamed(model.review().items(), QStringLiteral("4Bass.wav"))->id,
              itemNamed(before, QStringLiteral("4Bass.wav"))->id);
    EXPECT_TRUE(model.review().reviewChanged());
    EXPECT_EQ(model.errorMessage(), std::nullopt);

    // BASS renamed: the kick set into it goes back to the rules.
    cfg.groups[2].name = QStringLiteral("LOW END");
    ASSERT_TRUE(model.rules().saveRules(cfg));
    EXPECT_EQ(groupOf("1Kick.wav"), QStringLiteral("VOCALS"));
    EXPECT_EQ(groupOf("3Snare.wav"), std::nullopt);
}

// Verifies the review's history: every group change and every acceptance of suggestions is a
// step that undo takes back and redo makes again, a track the rules sorted going back to where
// the rules in force sort it; a new change ends what could be redone, and a new folder, reset or
// an approval forget the history.
TEST_F(AppModelTest, shouldUndoAndRedoGroupChanges) {
    AppModel model(services());
    const QString folder = makeFolder(QStringLiteral("Session"),
                                      {"1Kick.wav", "2Vox.wav", "3LeadVox.wav", "4Quattro.wav"});
    loadAndWait(model, folder);
    const QList<Item> loaded = model.review().items();
    const auto idOf = [&model](const char* file) {
        return itemNamed(model.review().items(), QString::fromUtf8(file))->id;
    };
    const auto groupOf = [&model](const char* file) {
        return itemNamed(model.review().items(), QString::fromUtf8(file))->group;
    };
    int historySignals = 0;
    QObject::connect(&model.review(), &ReviewSession::historyChanged,
                     [&historySignals] { ++historySignals; });
    EXPECT_FALSE(model.review().canUndo());
    EXPECT_FALSE(model.review().canRedo());
    EXPECT_FALSE(model.review().reviewChanged());

    model.review().setGroup(idOf("1Kick.wav"), QStringLiteral("BASS"));
    model.review().acceptAllSuggestions(); // 3LeadVox.wav into VOCALS
    ASSERT_EQ(groupOf("3LeadVox.wav"), QStringLiteral("VOCALS"));
    EXPECT_TRUE(model.review().canUndo());
    EXPECT_GT(historySignals, 0);

    // Rules saved in between: KICK now also a word of VOCALS, listed first.
    Config cfg = rules();
    cfg.groups[2].aliases << QStringLiteral("KICK");
    cfg.groups.move(2, 0);
    ASSERT_TRUE(model.rules().saveRules(cfg));

    model.review().undo();
    EXPECT_EQ(groupOf("3LeadVox.wav"), std::nullopt);
    EXPECT_EQ(groupOf("1Kick.wav"), QStringLiteral("BASS"));
    model.review().undo();
    EXPECT_EQ(groupOf("1Kick.wav"), QStringLiteral("VOCALS")) << "where the rules in force sort it";
    EXPECT_FALSE(model.review().canUndo());
    EXPECT_FALSE(model.review().reviewChanged());
    EXPECT_TRUE(model.review().canRedo());
    model.review().undo(); // nothing left: no change
    EXPECT_EQ(groupOf("1Kick.wav"), QStringLiteral("VOCALS"));

    model.review().redo();
    EXPECT_EQ(groupOf("1Kick.wav"), QStringLiteral("BASS"));
    model.review().redo();
    EXPECT_EQ(groupOf("3LeadVox.wav"), QStringLiteral("VOCALS"));
    EXPECT_EQ(itemNamed(model.review().items(), QStringLiteral("3LeadVox.wav"))->newName,
              QStringLiteral("02_LEADVOX.wav"));
    EXPECT_FALSE(model.review().canRedo());

    model.review().undo();
    model.review().setGroup(idOf("4Quattro.wav"), QStringLiteral("DRUMS"));
    EXPECT_FALSE(model.review().canRedo()) << "a new change ends what could be redone";

    // A new reading of the folder starts a new history.
    loadAndWait(model, folder);
    EXPECT_FALSE(model.review().canUndo());
    EXPECT_FALSE(model.review().canRedo());
    EXPECT_FALSE(model.review().reviewChanged());
    model.review().setGroup(idOf("2Vox.wav"), std::nullopt);
    model.approval().reset();
    EXPECT_FALSE(model.review().canUndo());
    EXPECT_FALSE(model.review().reviewChanged());
    EXPECT_EQ(loaded.size(), 4);
}

// Verifies that rules that cannot be saved are reported and neither put in force nor reloaded.
TEST_F(AppModelTest, shouldKeepTheRulesWhenTheSaveFails) {
    AppModel model(services());
    loadAndWait(model, makeFolder(QStringLiteral("Session"), {"1Kick.wav"}));
    const QList<Item> before = model.review().items();
    const Config inForce = model.rules().config();

    // A folder where the configuration file belongs makes every save fail.
    QFile::remove(Config::filePath());
    ASSERT_TRUE(QDir().mkpath(Config::filePath()));
    Config cfg = rules();
    cfg.groups.removeLast();
    QString reason;
    try {
        cfg.save();
    } catch (const FileError& e) {
        reason = e.message();
    }
    ASSERT_FALSE(reason.isEmpty()) << "the save did not fail";

    model.rules().saveRules(cfg);
    EXPECT_EQ(model.errorMessage(), QStringLiteral("Couldn't save rules: ") + reason);
    EXPECT_EQ(model.rules().config(), inForce);
    EXPECT_FALSE(model.busyState().busy());
    EXPECT_EQ(model.review().items(), before);
}

// ---- Approve ----

// Verifies an approval in each mode: the cancellable busy screen with an empty determinate bar,
// then the done screen with the written items, the last report always published.
TEST_F(AppModelTest, shouldApproveIntoTheDoneScreen) {
    QStringList many;
    for (int i = 1; i <= 24; ++i)
        many << QStringLiteral("%1Kick %1.wav").arg(i);
    const struct {
        const char* name;
        bool inPlace;
        QString folderName;
        QStringList files;
        QString title;
        QString result; // relative to the test's folder
    } rows[] = {
        {"sorted copy", false, QStringLiteral("Copy Me"), many,
         QStringLiteral("Making the sorted copy"), QStringLiteral("Copy Me SORTED")},
        {"in place",
         true,
         QStringLiteral("Take 3"),
         {"1Kick.wav", "2Vox.wav", "3Snare.wav"},
         QStringLiteral("Organizing “Take 3”"),
         QStringLiteral("Take 3")},
        {"one file",
         false,
         QStringLiteral("Single"),
         {"1Kick.wav"},
         QStringLiteral("Making the sorted copy"),
         QStringLiteral("Single SORTED")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        AppModel model(services());
        model.approval().setOrganizeInPlace(row.inPlace);
        loadAndWait(model, makeFolder(row.folderName, row.files));
        const QList<Item> items = model.review().items();
        const QString total = QString::number(row.files.size());

        model.approval().approve();
        EXPECT_TRUE(model.busyState().busy());
        EXPECT_EQ(model.busyState().title(), row.title);
        EXPECT_EQ(model.busyState().detail(), total + QStringLiteral(" files"));
        EXPECT_TRUE(model.busyState().cancellable());
        EXPECT_EQ(model.busyState().progress(), 0.0);

        ASSERT_TRUE(waitUntilIdle(model));
        EXPECT_EQ(model.errorMessage(), std::nullopt);
        EXPECT_EQ(model.approval().resultURL(), root.filePath(row.result));
        EXPECT_EQ(model.approval().resultInPlace(), row.inPlace);
        EXPECT_EQ(model.approval().exportedItems(), items);
        EXPECT_EQ(model.send().sendResult(), std::nullopt);
        EXPECT_EQ(model.review().folder(), root.filePath(row.folderName));
        EXPECT_EQ(model.review().items(), items);
        EXPECT_EQ(model.busyState().detail(),
                  total + QStringLiteral(" of ") + total + QStringLiteral(" files"));
        EXPECT_EQ(model.busyState().progress(), 1.0);
    }
}

// Verifies the progress throttle on the export's own clock: a report is published when more
// than 0.1 s passed since the last published one, and the last report always.
TEST_F(AppModelTest, shouldPublishProgressAtMostEveryTenthOfASecondPlusTheLast) {
    const struct {
        const char* name;
        std::chrono::milliseconds apart;
        int files;
        QStringList details;
    } rows[] = {
        {"50 ms apart", 50ms, 3, {"3 files", "1 of 3 files", "3 of 3 files"}},
        {"50 ms apart, the second is the last",
         50ms,
         2,
         {"2 files", "1 of 2 files", "2 of 2 files"}},
        {"exactly 0.1 s apart",
         100ms,
         4,
         {"4 files", "1 of 4 files", "3 of 4 files", "4 of 4 files"}},
        {"more than 0.1 s apart",
         101ms,
         3,
         {"3 files", "1 of 3 files", "2 of 3 files", "3 of 3 files"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SteppingClock steps(row.apart);
        SimPlatform platform(steps);
        AppModel model(AppModel::Services{.platform = &platform});
        model.approval().setOrganizeInPlace(false);
        QStringList files;
        for (int i = 1; i <= row.files; ++i)
            files << QStringLiteral("%1Kick.wav").arg(i);
        loadAndWait(model, makeFolder(QString::fromUtf8(row.name), files));
        const auto details = recordDetails(model);
        const auto fractions = record<std::optional<double>>(
            model, model.busyState(), &BusyState::progressChanged,
            [](const AppModel& m) { return m.busyState().progress(); });

        approveAndWait(model);
        EXPECT_EQ(*details, row.details);
        EXPECT_EQ(fractions->value(0), 0.0);
        EXPECT_EQ(fractions->value(1), 1.0 / row.files);
        EXPECT_EQ(fractions->constLast(), 1.0);
    }
}

// Verifies that Cancel during an approval returns to the review without a message.
TEST_F(AppModelTest, shouldReturnToTheReviewWithoutAMessageWhenCancelled) {
    for (const bool inPlace : {false, true}) {
        SCOPED_TRACE(inPlace ? "in place" : "sorted copy");
        Gate gate;
        FaultyFileOps ops;
        ops.countOnly(inPlace ? QSet<FileOp>{FileOp::move}
                              : QSet<FileOp>{FileOp::clone, FileOp::copy});
        ops.beforeOperation(1, [&gate] { gate.pass(); });
        AppModel model(services(&ops));
        model.approval().setOrganizeInPlace(inPlace);
        const QString folder =
            makeFolder(inPlace ? QStringLiteral("In place") : QStringLiteral("Copy"),
                       {"1Kick.wav", "2Snare.wav", "3Vox.wav"});
        loadAndWait(model, folder);
        const QList<Item> items = model.review().items();

        model.approval().approve();
        ASSERT_TRUE(QTest::qWaitFor([&gate] { return gate.reached(); }, kTimeoutMs));
        model.approval().cancel();
        EXPECT_TRUE(model.busyState().cancelFlag()->load());
        gate.open();

        ASSERT_TRUE(waitUntilIdle(model));
        EXPECT_EQ(model.errorMessage(), std::nullopt);
        EXPECT_EQ(model.approval().resultURL(), std::nullopt);
        EXPECT_EQ(model.review().folder(), folder);
        EXPECT_EQ(model.review().items(), items);
        EXPECT_TRUE(model.approval().exportedItems().isEmpty());
    }
}

// Verifies the message of a failed export in each mode, made of its fixed prefix and the
// export's own description, and that the review stays.
TEST_F(AppModelTest, shouldReportAFailedExportAndKeepTheReview) {
    const struct {
        const char* name;
        bool inPlace;
        QSet<FileOp> counted;
        int code;
        QString prefix;
    } rows[] = {
        // The first file's clone and copy both fail, whichever of them the export tries.
        {"sorted copy",
         false,
         {FileOp::clone, FileOp::copy},
         ENOSPC,
         QStringLiteral("Couldn't create the sorted folder: ")},
        {"in place", true, {FileOp::move}, EIO, QStringLiteral("Couldn't organize the folder: ")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        FaultyFileOps ops;
        ops.countOnly(row.counted);
        ops.failAt(1, row.code);
        ops.failAt(2, row.code);
        AppModel model(services(&ops));
        model.approval().setOrganizeInPlace(row.inPlace);
        loadAndWait(model, makeFolder(QString::fromUtf8(row.name), {"1Kick.wav", "2Vox.wav"}));
        const QList<Item> items = model.review().items();

        model.approval().approve();
        ASSERT_TRUE(waitUntilIdle(model));
        const QString message = model.errorMessage().value_or(QString());
        EXPECT_TRUE(message.startsWith(row.prefix)) << message.toStdString();
        EXPECT_TRUE(message.contains(QString::fromLocal8Bit(std::strerror(row.code))))
            << message.toStdString();
        EXPECT_EQ(model.approval().resultURL(), std::nullopt);
        EXPECT_EQ(model.review().items(), items);
        EXPECT_TRUE(model.approval().exportedItems().isEmpty());
    }
}

// Verifies that approving twice in a row starts one export, and that there is nothing to
// approve without a folder.
TEST_F(AppModelTest, shouldStartOneExportWhenApprovedTwice) {
    AppModel model(services());
    model.approval().approve();
    EXPECT_FALSE(model.busyState().busy());

    model.approval().setOrganizeInPlace(false);
    loadAndWait(model, makeFolder(QStringLiteral("Twice"), {"1Kick.wav"}));
    const auto titles = recordTitles(model);
    model.approval().approve();
    model.approval().approve();
    ASSERT_TRUE(waitUntilIdle(model));
    EXPECT_EQ(model.approval().resultURL(), root.filePath(QStringLiteral("Twice SORTED")));
    EXPECT_EQ(QDir(root.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
              (QStringList{"Twice", "Twice SORTED"}));
    EXPECT_EQ(*titles, QStringList{QStringLiteral("Making the sorted copy")});
}

// Verifies that starting over forgets the folder, the proposal and the result, and keeps the
// approved items and the message.
TEST_F(AppModelTest, shouldForgetTheFolderAndResultOnReset) {
    AppModel model(services());
    loadAndWait(model, makeFolder(QStringLiteral("Session"), {"1Kick.wav", "notes.txt"}));
    approveAndWait(model);
    const QList<Item> exported = model.approval().exportedItems();
    ASSERT_TRUE(model.approval().resultInPlace());
    model.review().load(root.filePath(QStringLiteral("missing")));
    const auto message = model.errorMessage();

    model.approval().reset();
    EXPECT_EQ(model.review().folder(), std::nullopt);
    EXPECT_TRUE(model.review().items().isEmpty());
    EXPECT_TRUE(model.review().skipped().isEmpty());
    EXPECT_EQ(model.approval().resultURL(), std::nullopt);
    EXPECT_TRUE(model.approval().exportNote().isEmpty());
    EXPECT_FALSE(model.approval().resultInPlace());
    EXPECT_EQ(model.approval().exportedItems(), exported);
    EXPECT_EQ(model.errorMessage(), message);
}

// Verifies that leaving the done screen by loading a folder clears the result.
TEST_F(AppModelTest, shouldLeaveTheDoneScreenOnLoad) {
    AppModel model(services());
    model.approval().setOrganizeInPlace(false);
    loadAndWait(model, makeFolder(QStringLiteral("First"), {"1Kick.wav"}));
    approveAndWait(model);

    loadAndWait(model, makeFolder(QStringLiteral("Second"), {"1Vox.wav"}));
    EXPECT_EQ(model.approval().resultURL(), std::nullopt);
    EXPECT_EQ(fileNames(model.review().items()), QStringList{QStringLiteral("1Vox.wav")});
}

// ---- Put back ----

// Verifies a put-back: its busy screen, then the folder read again with the restored files,
// the mode of the last approval kept.
TEST_F(AppModelTest, shouldRescanTheFolderAfterPuttingTheFilesBack) {
    const QString folder =
        makeFolder(QStringLiteral("Take 3"), {"1Kick.wav", "2Vox.wav", "3Snare.wav", "notes.txt"});
    const auto before = snapshot(folder);
    AppModel model(services());
    loadAndWait(model, folder);
    const QList<Item> proposal = model.review().items();
    approveAndWait(model);
    ASSERT_NE(snapshot(folder), before);
    const QString note = model.approval().exportNote();
    const auto titles = recordTitles(model);

    model.approval().undoOrganize();
    EXPECT_TRUE(model.busyState().busy());
    EXPECT_EQ(model.busyState().title(), QStringLiteral("Putting the files back"));
    EXPECT_EQ(model.busyState().detail(), QString());
    EXPECT_FALSE(model.busyState().cancellable());
    EXPECT_EQ(model.busyState().progress(), std::nullopt);

    ASSERT_TRUE(waitUntilIdle(model));
    EXPECT_EQ(*titles, (QStringList{"Putting the files back", "Reading “Take 3”"}));
    EXPECT_EQ(model.errorMessage(), std::nullopt);
    EXPECT_EQ(model.approval().resultURL(), std::nullopt);
    EXPECT_TRUE(model.approval().exportedItems().isEmpty());
    EXPECT_EQ(snapshot(folder), before);
    EXPECT_EQ(model.review().folder(), folder);
    EXPECT_EQ(fileNames(model.review().items()), fileNames(proposal));
    EXPECT_NE(model.review().items()[0].id, proposal[0].id); // read again, not kept
    EXPECT_TRUE(model.approval().resultInPlace());
    EXPECT_EQ(model.approval().exportNote(), note);
}

// Verifies that a failed put-back is reported and keeps the done screen.
TEST_F(AppModelTest, shouldKeepTheDoneScreenWhenThePutBackFails) {
    const QString folder = makeFolder(QStringLiteral("Take 4"), {"1Kick.wav", "2Vox.wav"});
    AppModel model(services());
    loadAndWait(model, folder);
    approveAndWait(model);
    const QList<Item> exported = model.approval().exportedItems();
    writeFile(folder + QLatin1Char('/') + Engine::journalName, "not a journal");
    QString reason;
    try {
        Engine::undo(folder); // refuses the journal before anything moves
    } catch (const Error& e) {
        reason = e.message();
    }
    ASSERT_FALSE(reason.isEmpty()) << "the put-back did not fail";

    model.approval().undoOrganize();
    ASSERT_TRUE(waitUntilIdle(model));
    EXPECT_EQ(model.errorMessage(), QStringLiteral("Couldn't put the files back: ") + reason);
    EXPECT_EQ(model.approval().resultURL(), folder);
    EXPECT_EQ(model.approval().exportedItems(), exported);
}

// Verifies that a sorted copy cannot be put back.
TEST_F(AppModelTest, shouldNotPutBackASortedCopy) {
    AppModel model(services());
    model.approval().setOrganizeInPlace(false);
    loadAndWait(model, makeFolder(QStringLiteral("Session"), {"1Kick.wav"}));
    approveAndWait(model);
    const auto result = model.approval().resultURL();

    model.approval().undoOrganize();
    EXPECT_FALSE(model.busyState().busy());
    EXPECT_EQ(model.approval().resultURL(), result);
}

// ---- The model gone while work runs ----
// A task that reached a destroyed model would show as a crash here, and as a use after free
// under the address sanitizer.

// Verifies that a scan finishing after its model is gone is dropped.
TEST_F(AppModelTest, shouldDropAScanWhoseModelIsGone) {
    const QString folder = makeFolder(QStringLiteral("Session"), {"1Kick.wav"});
    auto model = std::make_unique<AppModel>(services());
    model->review().load(folder);
    ASSERT_TRUE(model->busyState().busy());
    model.reset(); // before the result can reach the main thread
    finishWork();

    AppModel next(services());
    loadAndWait(next, folder);
}

// Verifies that an export still running when its model is gone runs to its end (nobody is
// left to cancel it) and publishes nothing.
TEST_F(AppModelTest, shouldFinishAnExportWhoseModelIsGone) {
    Gate gate;
    FaultyFileOps ops;
    ops.countOnly({FileOp::clone, FileOp::copy});
    ops.beforeOperation(1, [&gate] { gate.pass(); });
    auto model = std::make_unique<AppModel>(services(&ops));
    model->approval().setOrganizeInPlace(false);
    const QString folder = makeFolder(QStringLiteral("Gone"), {"1Kick.wav", "2Vox.wav"});
    loadAndWait(*model, folder);
    model->approval().cancel(); // a cancel before the approval is cleared by it

    model->approval().approve();
    ASSERT_TRUE(QTest::qWaitFor([&gate] { return gate.reached(); }, kTimeoutMs));
    model.reset();
    gate.open();
    finishWork();

    const QString result = root.filePath(QStringLiteral("Gone SORTED"));
    EXPECT_TRUE(QFileInfo::exists(result + QStringLiteral("/01_DRUMS/01_KICK.wav")));
    EXPECT_TRUE(QFileInfo::exists(result + QStringLiteral("/03_VOCALS/01_VOX.wav")));
}

} // namespace
// Verifies that a folder holding Vantrel's journal offers the put-back in one step, also when no
// audio file is left directly inside it, and that the put-back tells what it left.
TEST_F(AppModelTest, shouldOfferThePutBackForAnOrganizedFolder) {
    const QString folder = makeFolder(QStringLiteral("Gig"), {"1Kick.wav", "2Vox.wav"});
    const auto original = snapshot(folder);
    {
        AppModel first(services());
        loadAndWait(first, folder);
        EXPECT_FALSE(first.review().folderOrganized());
        approveAndWait(first);
    }
    Fixtures::writeFile(folder + QStringLiteral("/01_DRUMS/mine.txt"), "mine");

    AppModel model(services());
    loadAndWait(model, folder);
    EXPECT_TRUE(model.review().folderOrganized());
    EXPECT_TRUE(model.review().items().isEmpty());
    model.approval().undoOrganize();
    ASSERT_TRUE(waitUntilIdle(model));
    EXPECT_EQ(model.errorMessage(), std::nullopt);
    EXPECT_EQ(model.review().putBackNote(),
              QStringLiteral("“01_DRUMS” was left in place: it holds “mine.txt” that Vantrel "
                             "didn't put there."));
    auto expected = original;
    expected.insert("01_DRUMS", "<dir>");
    expected.insert("01_DRUMS/mine.txt", "mine");
    EXPECT_EQ(snapshot(folder), expected);
    EXPECT_FALSE(model.review().folderOrganized());
    EXPECT_EQ(fileNames(model.review().items()), (QStringList{"1Kick.wav", "2Vox.wav"}));
}

// Verifies that a folder organized before, with a new track in it, reviews the new track and
// leaves Vantrel's own listings and journal out of the files it ignored.
TEST_F(AppModelTest, shouldNotCountVantrelsOwnFilesAsIgnored) {
    const QString folder = makeFolder(QStringLiteral("Gig"), {"1Kick.wav", "notes.txt"});
    {
        AppModel first(services());
        loadAndWait(first, folder);
        approveAndWait(first);
    }
    Fixtures::touchAll(folder, {"2Vox.wav"});
    AppModel model(services());
    loadAndWait(model, folder);
    EXPECT_TRUE(model.review().folderOrganized());
    EXPECT_EQ(fileNames(model.review().items()), QStringList{"2Vox.wav"});
    EXPECT_EQ(model.review().skipped(), QStringList{"notes.txt"});
}

// Verifies that rules saved while a result is shown change the rules only: the result and its
// items stay as they were written.
TEST_F(AppModelTest, shouldKeepTheResultWhenRulesAreSaved) {
    for (const bool inPlace : {true, false}) {
        SCOPED_TRACE(inPlace ? "in place" : "sorted copy");
        const QString folder =
            makeFolder(inPlace ? QStringLiteral("A") : QStringLiteral("B"), {"1Kick.wav"});
        AppModel model(services());
        model.approval().setOrganizeInPlace(inPlace);
        loadAndWait(model, folder);
        approveAndWait(model);
        const auto result = model.approval().resultURL();
        const QList<Item> exported = model.approval().exportedItems();
        const auto folders =
            record<std::optional<QString>>(model, model.review(), &ReviewSession::folderChanged,
                                           [](const AppModel& m) { return m.review().folder(); });
        const auto results = record<std::optional<QString>>(
            model, model.approval(), &ApprovalModel::resultURLChanged,
            [](const AppModel& m) { return m.approval().resultURL(); });
        // A colour change, then a renamed group: each a save of its own.
        Config cfg = model.rules().config();
        cfg.groups[0].color = QList<int>{5, 1};
        ASSERT_TRUE(model.rules().saveRules(cfg));
        EXPECT_FALSE(model.busyState().busy());
        cfg.groups[0].name = QStringLiteral("KIT");
        ASSERT_TRUE(model.rules().saveRules(cfg));
        EXPECT_FALSE(model.busyState().busy());
        finishWork();
        EXPECT_EQ(model.errorMessage(), std::nullopt);
        EXPECT_EQ(model.rules().config(), cfg);
        EXPECT_EQ(model.approval().resultURL(), result);
        EXPECT_EQ(model.review().folder(), folder);
        EXPECT_EQ(model.approval().exportedItems(), exported);
        EXPECT_TRUE(folders->isEmpty());
        EXPECT_TRUE(results->isEmpty());
    }
}

// Verifies that rules saved while an approval runs change the rules only: the approval writes
// the proposal it was given and its done screen shows, nothing is read again, and the saved
// rules are the ones the next folder is read with.
TEST_F(AppModelTest, shouldOnlyChangeTheRulesWhenSavedWhileBusy) {
    for (const bool inPlace : {true, false}) {
        SCOPED_TRACE(inPlace ? "in place" : "sorted copy");
        Gate gate;
        FaultyFileOps ops;
        ops.countOnly({FileOp::clone, FileOp::copy, FileOp::move});
        ops.beforeOperation(1, [&gate] { gate.pass(); });
        const QString folder =
            makeFolder(inPlace ? QStringLiteral("Busy In Place") : QStringLiteral("Busy Copy"),
                       {"1Kick.wav", "2Vox.wav"});
        AppModel model(services(&ops));
        model.approval().setOrganizeInPlace(inPlace);
        loadAndWait(model, folder);
        const QList<Item> proposal = model.review().items();

        model.approval().approve();
        ASSERT_TRUE(QTest::qWaitFor([&gate] { return gate.reached(); }, kTimeoutMs));
        Config cfg = model.rules().config();
        cfg.groups.removeFirst(); // DRUMS gone: a kick would now be unsorted
        EXPECT_TRUE(model.rules().saveRules(cfg));
        EXPECT_TRUE(model.busyState().busy());
        gate.open();
        ASSERT_TRUE(waitUntilIdle(model));
        finishWork();

        EXPECT_EQ(model.errorMessage(), std::nullopt);
        EXPECT_EQ(model.rules().config(), cfg);
        EXPECT_EQ(model.review().folder(), folder);
        ASSERT_TRUE(model.approval().resultURL().has_value());
        EXPECT_EQ(model.approval().exportedItems(), proposal);
        EXPECT_EQ(model.review().items(), proposal);
        // Every approved track is still offered, the kick with the unsorted ones.
        EXPECT_EQ(model.approval().dragURLs().size(), 2);

        model.approval().reset();
        loadAndWait(model, makeFolder(inPlace ? QStringLiteral("Next In Place")
                                              : QStringLiteral("Next Copy"),
                                      {"1Kick.wav"}));
        ASSERT_EQ(model.review().items().size(), 1);
        EXPECT_EQ(model.review().items()[0].group, std::nullopt);
    }
}

} // namespace Vantrel
