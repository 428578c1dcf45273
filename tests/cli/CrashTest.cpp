// Kills `vantrel-cli organize --in-place` with SIGKILL at random moments and checks that the
// folder can always be brought back: either nothing moved yet, or the journal is on disk and a
// put-back restores every file under its old name with its old content.
//
// The kill moments are uniform fractions of a measured full run. VANTREL_CRASH_TRIALS sets the
// number of kills (20 by default), VANTREL_CRASH_SEED replays a run; the seed is printed.
#include "support/SessionNames.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <random>
#include <thread>

using namespace Vantrel;

namespace {

using Tree = QMap<QString, QByteArray>;

const QString journalName = QStringLiteral("Vantrel undo.json");

struct CliRun {
    int exitCode = -1;
    QByteArray err;
};

CliRun cli(const QStringList& args) {
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start(QStringLiteral(VANTREL_CLI_PATH), args);
    if (!p.waitForFinished(120000)) {
        ADD_FAILURE() << "vantrel-cli " << args.join(' ').toStdString() << " did not finish";
        p.kill();
        p.waitForFinished();
        return {};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardError()};
}

std::uint64_t envNumber(const char* name, std::uint64_t fallback) {
    const char* value = std::getenv(name);
    return value && *value ? std::strtoull(value, nullptr, 10) : fallback;
}

// A session of count audio files as recorders name them, plus one text file; the test writes
// each file holding its own name so that any mix-up of contents shows.
QStringList sessionNames(int count) {
    return Fixtures::sessionNames(count) << QStringLiteral("Session Notes.txt");
}

void writeSession(const QString& folder, const QStringList& names) {
    QDir().mkpath(folder);
    for (const QString& name : names)
        Fixtures::writeFile(folder + QLatin1Char('/') + name, name.toUtf8());
}

// Removes from tree the hidden entries (last component starting with ".") that are not in
// original, and returns their paths.
QStringList takeHiddenLeftovers(Tree& tree, const Tree& original) {
    QStringList hidden;
    for (auto it = tree.begin(); it != tree.end();) {
        const QString name = it.key().mid(it.key().lastIndexOf(QLatin1Char('/')) + 1);
        if (name.startsWith(QLatin1Char('.')) && !original.contains(it.key())) {
            hidden << it.key();
            it = tree.erase(it);
        } else {
            ++it;
        }
    }
    return hidden;
}

// How many files of original are not at their place with their content.
int displaced(const Tree& now, const Tree& original) {
    int count = 0;
    for (auto it = original.begin(); it != original.end(); ++it)
        count += now.value(it.key()) != it.value();
    return count;
}

// The differences between two trees, for a failure message.
std::string difference(const Tree& actual, const Tree& expected) {
    std::string text;
    int shown = 0;
    for (auto it = expected.begin(); it != expected.end() && shown < 10; ++it) {
        if (!actual.contains(it.key())) {
            text += "\n  missing: " + it.key().toStdString();
            ++shown;
        } else if (actual.value(it.key()) != it.value()) {
            text += "\n  changed: " + it.key().toStdString();
            ++shown;
        }
    }
    for (auto it = actual.begin(); it != actual.end() && shown < 20; ++it) {
        if (!expected.contains(it.key())) {
            text += "\n  extra: " + it.key().toStdString();
            ++shown;
        }
    }
    return text;
}

// Verifies that killing the organize at any moment never loses or renames a file for good: with
// no journal nothing has moved, with a journal the put-back restores the exact folder. Hidden
// leftovers of an interrupted atomic write are tolerated and reported.
TEST(Crash, shouldRestoreTheFolderAfterAKillAtAnyMoment) {
    const int trials = int(envNumber("VANTREL_CRASH_TRIALS", 20));
    const std::uint64_t seed = envNumber("VANTREL_CRASH_SEED", std::random_device{}());
    std::cout << "crash test: seed " << seed << " (VANTREL_CRASH_SEED=" << seed << " replays it), "
              << trials << " kills" << std::endl;
    RecordProperty("seed", std::to_string(seed));
    std::mt19937_64 random(seed);

    // Every trial starts from the same folder: a trial that passes leaves it as it was, but
    // for hidden leftovers, which it removes.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QStringList names = sessionNames(1000);
    const QString folder = dir.filePath(QStringLiteral("Session"));
    writeSession(folder, names);
    const Tree original = Fixtures::snapshot(folder);

    // Full runs, to measure how long an organize takes (the second, with warm caches) and to
    // see the put-back work.
    double fullMs = 0;
    for (int run = 0; run < 2; ++run) {
        QElapsedTimer timer;
        timer.start();
        const CliRun organized =
            cli({QStringLiteral("organize"), folder, QStringLiteral("--in-place")});
        fullMs = double(timer.nsecsElapsed()) / 1e6;
        ASSERT_EQ(organized.exitCode, 0) << organized.err.toStdString();
        ASSERT_TRUE(QFileInfo::exists(folder + QLatin1Char('/') + journalName));
        ASSERT_EQ(displaced(Fixtures::snapshot(folder), original), names.size() - 1)
            << "every audio file moves, the text file stays";
        const CliRun putBack = cli({QStringLiteral("put-back"), folder});
        ASSERT_EQ(putBack.exitCode, 0) << putBack.err.toStdString();
        ASSERT_TRUE(Fixtures::snapshot(folder) == original);
    }
    std::cout << "a full organize of " << names.size() << " files takes " << fullMs << " ms"
              << std::endl;

    std::uniform_real_distribution<double> fraction(0.0, 1.0);
    int beforeJournal = 0, midway = 0, completed = 0;
    QStringList leftovers;
    for (int trial = 0; trial < trials; ++trial) {
        // The first two kills are the extremes: at once, and at the end of a typical run.
        const double f = trial == 0 ? 0.0 : trial == 1 ? 1.0 : fraction(random);
        const auto delay = std::chrono::microseconds(std::int64_t(f * fullMs * 1000.0));
        SCOPED_TRACE(testing::Message() << "trial " << trial << ", kill after "
                                        << delay.count() / 1000.0 << " ms (" << f << " of a run)");

        QProcess p;
        p.setStandardOutputFile(QProcess::nullDevice());
        p.setStandardErrorFile(QProcess::nullDevice());
        p.start(QStringLiteral(VANTREL_CLI_PATH),
                {QStringLiteral("organize"), folder, QStringLiteral("--in-place")});
        std::this_thread::sleep_for(delay);
        p.kill(); // SIGKILL; nothing happens if it already ended
        ASSERT_TRUE(p.waitForFinished(120000));
        const bool ended = p.exitStatus() == QProcess::NormalExit;
        if (ended) {
            ASSERT_EQ(p.exitCode(), 0) << "organize failed on its own";
        }

        Tree now = Fixtures::snapshot(folder);
        QString outcome;
        if (QFileInfo::exists(folder + QLatin1Char('/') + journalName)) {
            const int moved = displaced(now, original);
            const CliRun putBack = cli({QStringLiteral("put-back"), folder});
            ASSERT_EQ(putBack.exitCode, 0) << putBack.err.toStdString();
            now = Fixtures::snapshot(folder);
            (ended ? completed : midway)++;
            outcome = ended ? QStringLiteral("had finished; put back")
                            : QStringLiteral("journal on disk, %1 of %2 files moved; put back")
                                  .arg(moved)
                                  .arg(names.size() - 1);
        } else {
            ASSERT_FALSE(ended) << "a finished organize left no journal";
            ++beforeJournal;
            outcome = QStringLiteral("no journal yet");
        }
        const QStringList hidden = takeHiddenLeftovers(now, original);
        for (const QString& h : hidden)
            leftovers << QStringLiteral("trial %1: %2").arg(trial).arg(h);
        std::cout << "trial " << trial << ": killed after " << delay.count() / 1000.0 << " ms ("
                  << f << "): " << outcome.toStdString()
                  << (hidden.isEmpty() ? "" : ", hidden leftovers: ")
                  << hidden.join(QStringLiteral(", ")).toStdString() << std::endl;

        ASSERT_TRUE(now == original) << difference(now, original);
        ASSERT_EQ(
            QDir(dir.path())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
            QStringList{QStringLiteral("Session")})
            << "nothing may appear next to the folder";
        for (const QString& h : hidden)
            ASSERT_TRUE(QFile::remove(folder + QLatin1Char('/') + h)) << h.toStdString();
    }
    std::cout << "crash test: " << trials << " kills: " << beforeJournal << " before the journal, "
              << midway << " midway, " << completed << " after the end; " << leftovers.size()
              << " hidden leftovers" << (leftovers.isEmpty() ? "" : ": ")
              << leftovers.join(QStringLiteral("; ")).toStdString() << std::endl;
}

} // namespace
