#pragma once

// The application model on a simulated Logic Pro and a virtual clock, with its rules saved as
// the user's configuration, a private temporary folder for sessions, and helpers that wait for
// the model's background work.

#include "app/AppModel.h"
#include "app/Worker.h"
#include "core/Config.h"
#include "core/Item.h"
#include "platform/sim/SimPlatform.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QtCore/qtestsupport_core.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

void PrintTo(const QString& s, std::ostream* os);
void PrintTo(const QStringList& list, std::ostream* os);

namespace Vantrel::AppTesting {

using namespace std::chrono_literals;

inline constexpr int kTimeoutMs = 20000;

inline RuleGroup group(const char* name, const QStringList& aliases) {
    RuleGroup g;
    g.name = QString::fromUtf8(name);
    g.aliases = aliases;
    return g;
}

// Rules small enough to reason about: DRUMS, BASS, VOCALS.
inline Config rules() {
    Config cfg;
    cfg.groups = {group("DRUMS", {"KICK", "SNARE"}), group("BASS", {"BASS"}),
                  group("VOCALS", {"VOX"})};
    cfg.unsortedFolder = QStringLiteral("OTHER");
    return cfg;
}

inline QStringList fileNames(const QList<Item>& items) {
    QStringList names;
    for (const Item& item : items)
        names << item.fileName();
    return names;
}

// Holds a worker at one point until the test lets it go.
class Gate {
public:
    // Called on the worker: marks the gate as reached and waits until it is opened.
    void pass() {
        std::unique_lock lock(mutex_);
        reached_ = true;
        opened_.wait(lock, [this] { return open_; });
    }
    bool reached() {
        std::lock_guard lock(mutex_);
        return reached_;
    }
    void open() {
        {
            std::lock_guard lock(mutex_);
            open_ = true;
        }
        opened_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable opened_;
    bool reached_ = false;
    bool open_ = false;
};

class AppModelFixture : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        QSettings(QStringLiteral("Vantrel"), QStringLiteral("Vantrel")).clear();
        QDir(QFileInfo(Config::filePath()).absolutePath()).removeRecursively();
        rules().save();
    }

    // Work a test started ends before its files, file operations and platform go away.
    void TearDown() override { finishWork(); }

    // The services of a model on this test's simulated Logic Pro.
    AppModel::Services services(FileOps* fileOps = &systemFileOps()) {
        return {.platform = sim.get(), .fileOps = fileOps};
    }

    // Waits until no work runs, then runs what it queued for the main thread.
    static void finishWork() {
        Worker::waitUntilIdle();
        QCoreApplication::processEvents();
    }

    // A folder inside the test's temporary folder holding empty files of these names.
    QString makeFolder(const QString& name, const QStringList& files) {
        const QString folder = root.filePath(name);
        EXPECT_TRUE(QDir().mkpath(folder));
        Fixtures::touchAll(folder, files);
        return folder;
    }

    static bool waitUntilIdle(const AppModel& model) {
        return QTest::qWaitFor([&model] { return !model.busyState().busy(); }, kTimeoutMs);
    }

    static void loadAndWait(AppModel& model, const QString& folder) {
        model.review().load(folder);
        ASSERT_TRUE(waitUntilIdle(model));
        ASSERT_EQ(model.review().folder(), folder);
        ASSERT_EQ(model.errorMessage(), std::nullopt);
    }

    static void approveAndWait(AppModel& model) {
        model.approval().approve();
        ASSERT_TRUE(model.busyState().busy());
        ASSERT_TRUE(waitUntilIdle(model));
        ASSERT_EQ(model.errorMessage(), std::nullopt);
        ASSERT_TRUE(model.approval().resultURL().has_value());
    }

    // Records every value a field takes, from now on.
    template <typename T, typename Part>
    static std::shared_ptr<QList<T>> record(const AppModel& model, Part& part,
                                            void (Part::*changed)(), T (*read)(const AppModel&)) {
        auto values = std::make_shared<QList<T>>();
        QObject::connect(&part, changed, &part,
                         [values, &model, read] { values->append(read(model)); });
        return values;
    }

    QTemporaryDir root;
    VirtualClock clock{10s};
    std::unique_ptr<SimPlatform> sim = std::make_unique<SimPlatform>(clock);
};

} // namespace Vantrel::AppTesting
