#include "core/Export.h"

#include "core/Config.h"
#include "core/Engine.h"
#include "core/Manifest.h"
#include "support/FaultyFileOps.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>

using namespace Vantrel;
using Fixtures::readFile;
using Fixtures::snapshot;
using Fixtures::writeFile;

namespace {

// The system's file operations, with clones that succeed for chosen files (made as plain
// copies, which is what a clone looks like from outside) and sizes that can be made up.
class ScriptedFileOps : public FaultyFileOps {
public:
    std::function<bool(const QString&)> clones = [](const QString&) { return false; };
    std::optional<qint64> size;

    bool clone(const QString& from, const QString& to) override {
        if (!clones(from))
            return false;
        systemFileOps().copy(from, to);
        return true;
    }
    std::optional<qint64> fileSize(const QString& path) override {
        return size ? size : FaultyFileOps::fileSize(path);
    }
};

class Export : public testing::Test {
protected:
    QTemporaryDir dir;
    QString session = dir.filePath(QStringLiteral("Session"));

    // Writes the named files into the session, each holding its own name, and scans it.
    QList<Item> sessionWith(const QStringList& names, const Config& cfg = Config::defaults()) {
        for (const QString& name : names)
            writeFile(QDir(session).filePath(name), name.toUtf8());
        return Engine::scan(session, cfg).items;
    }

    static QStringList manyNames(int count) {
        static const char* const sources[] = {"Kick In", "Snare Top", "Bass DI",      "Vox",
                                              "Piano",   "Room Mic",  "Track Perc L", "Click"};
        QStringList names;
        for (int i = 0; i < count; ++i)
            names << QStringLiteral("%1%2#01.1.wav").arg(i + 1).arg(QLatin1String(sources[i % 8]));
        return names;
    }
};

// Verifies the sorted copy: folders, names, content, listing files, note and progress.
TEST_F(Export, shouldMakeSortedCopyNextToFolder) {
    const QList<Item> items =
        sessionWith({"1Kick In#04.1.wav", "2 Drums L.wav", "12 L.wav", "Room.wav", "notes.txt"});
    const auto before = snapshot(session);
    QList<std::pair<int, int>> reports;
    const ExportResult r = Engine::exportItems(items, session, ExportMode::copy, [&](int d, int t) {
        reports.push_back({d, t});
    });

    EXPECT_EQ(r.url, dir.filePath("Session SORTED"));
    EXPECT_FALSE(r.inPlace);
    EXPECT_EQ(r.note, "Copied 0.0 GB (this disk cannot clone files).");
    EXPECT_EQ(reports, (QList<std::pair<int, int>>{{1, 4}, {2, 4}, {3, 4}, {4, 4}}));
    EXPECT_EQ(snapshot(session), before);
    EXPECT_EQ(snapshot(r.url),
              (QMap<QString, QByteArray>{
                  {"01_DRUMS", "<dir>"},
                  {"01_DRUMS/01_KICK_IN.wav", "1Kick In#04.1.wav"},
                  {"01_DRUMS/02_L.wav", "2 Drums L.wav"},
                  {"07_TRACKS", "<dir>"},
                  {"07_TRACKS/01_L.wav", "12 L.wav"},
                  {"99_UNSORTED", "<dir>"},
                  {"99_UNSORTED/ROOM.wav", "Room.wav"},
                  {"import_order.txt", "[01_DRUMS]\n  01_KICK_IN.wav\n  02_L.wav\n[07_TRACKS]\n"
                                       "  01_L.wav\n[99_UNSORTED]\n  ROOM.wav\n"},
                  {"manifest.json", QJsonDocument::fromJson(R"({"01_DRUMS": ["01_KICK_IN.wav",
                      "02_L.wav"], "07_TRACKS": ["01_L.wav"], "99_UNSORTED": ["ROOM.wav"]})")
                                        .toJson(QJsonDocument::Indented)},
              }));
}

// Verifies that the sorted folder takes the first free name.
TEST_F(Export, shouldNumberSortedFolderWhenNameIsTaken) {
    const QList<Item> items = sessionWith({"1 Kick.wav"});
    QDir().mkpath(dir.filePath("Session SORTED"));
    QDir().mkpath(dir.filePath("Session SORTED 2"));
    EXPECT_EQ(Engine::exportItems(items, session, ExportMode::copy).url,
              dir.filePath("Session SORTED 3"));
}

// Verifies that a sorted copy made in a chosen folder takes its first free name there, built
// hidden there too, and leaves nothing beside the session.
TEST_F(Export, shouldMakeSortedCopyInChosenFolder) {
    const QList<Item> items = sessionWith({"1 Kick.wav", "Room.wav"});
    const QString elsewhere = dir.filePath(QStringLiteral("Elsewhere"));
    QDir().mkpath(elsewhere + QStringLiteral("/Session SORTED"));
    const ExportResult r = Engine::exportItems(items, session, ExportMode::copy, {}, {},
                                               systemFileOps(), elsewhere + QLatin1Char('/'));
    EXPECT_EQ(r.url, elsewhere + QStringLiteral("/Session SORTED 2"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({"Elsewhere", "Session"}));
    EXPECT_EQ(QDir(elsewhere).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({"Session SORTED", "Session SORTED 2"}));
    EXPECT_EQ(snapshot(r.url).value("99_UNSORTED/ROOM.wav"), "Room.wav");
}

// Verifies that two sorted copies at once each end whole under a name of their own, whatever
// file operation of the first the second runs before, and that a failure of the first after
// that removes only what the first made.
TEST_F(Export, shouldKeepSortedCopiesOfTwoRunsApart) {
    const QList<Item> items = sessionWith(manyNames(4));
    FaultyFileOps counter;
    const auto copied =
        snapshot(Engine::exportItems(items, session, ExportMode::copy, {}, {}, counter).url);
    QDir(dir.filePath("Session SORTED")).removeRecursively();
    const QStringList onlySession{"Session"};
    for (const bool firstFails : {false, true}) {
        for (int k = 1; k <= counter.operationCount(); ++k) {
            SCOPED_TRACE(testing::Message() << "second run before operation " << k
                                            << (firstFails ? ", first fails after it" : ""));
            ExportResult second;
            FaultyFileOps ops;
            ops.beforeOperation(
                k, [&] { second = Engine::exportItems(items, session, ExportMode::copy); });
            if (firstFails)
                ops.failAt(k + 1, EIO);
            std::optional<ExportResult> first;
            try {
                first = Engine::exportItems(items, session, ExportMode::copy, {}, {}, ops);
            } catch (const FileError&) {
            }
            EXPECT_EQ(snapshot(second.url), copied);
            QStringList expected{"Session", "Session SORTED"};
            if (first) {
                EXPECT_NE(first->url, second.url);
                EXPECT_EQ(snapshot(first->url), copied);
                expected << "Session SORTED 2";
            }
            EXPECT_EQ(
                QDir(dir.path())
                    .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name),
                expected);
            QDir(dir.filePath("Session SORTED")).removeRecursively();
            QDir(dir.filePath("Session SORTED 2")).removeRecursively();
        }
    }
}

// Verifies that a sorted copy killed at any file operation never leaves a folder that looks
// finished: only a hidden one, until it is whole and has its name.
TEST_F(Export, shouldNotLeaveUnfinishedSortedCopyUnderItsName) {
    const QList<Item> items = sessionWith(manyNames(4));
    FaultyFileOps counter;
    const auto copied =
        snapshot(Engine::exportItems(items, session, ExportMode::copy, {}, {}, counter).url);
    for (int k = 1; k <= counter.operationCount(); ++k) {
        SCOPED_TRACE(testing::Message() << "killed at operation " << k);
        QDir(dir.filePath("Session SORTED")).removeRecursively();
        FaultyFileOps ops;
        ops.killAt(k);
        EXPECT_THROW(Engine::exportItems(items, session, ExportMode::copy, {}, {}, ops),
                     FaultyFileOps::Killed);
        for (const QString& name :
             QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
            if (name != QLatin1String("Session")) {
                EXPECT_EQ(snapshot(dir.filePath(name)), copied) << name.toStdString();
            }
        }
        for (const QString& name :
             QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
            if (name.startsWith(QLatin1Char('.')))
                QDir(dir.filePath(name)).removeRecursively();
        }
    }
}

// Verifies the note of a sorted copy for clones, copies and a mix of both.
TEST_F(Export, shouldCountClonesOrCopiedBytesInNote) {
    const struct {
        const char* name;
        int files;
        std::function<bool(const QString&)> clones;
        std::optional<qint64> size;
        const char* note;
    } cases[] = {
        {"all cloned", 12, [](const QString&) { return true; }, std::nullopt,
         "12 files cloned: no extra disk space used."},
        {"all copied", 2, [](const QString&) { return false; }, 630'000'000,
         "Copied 1.3 GB (this disk cannot clone files)."},
        {"mixed: only copied bytes count", 3,
         [](const QString& p) { return !p.contains(QLatin1String("1 Kick")); }, 1'260'000'000,
         "Copied 1.3 GB (this disk cannot clone files)."},
        {"empty files copied", 3, [](const QString&) { return false; }, 0,
         "0 files cloned: no extra disk space used."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir here;
        const QString folder = here.filePath("S");
        QStringList names;
        for (int i = 1; i <= c.files; ++i)
            names << QStringLiteral("%1 Kick.wav").arg(i);
        Fixtures::touchAll(folder, names);
        ScriptedFileOps ops;
        ops.clones = c.clones;
        ops.size = c.size;
        const auto items = Engine::scan(folder, Config::defaults()).items;
        EXPECT_EQ(Engine::exportItems(items, folder, ExportMode::copy, {}, {}, ops).note, c.note);
    }
}

// Verifies that an empty list fails at the manifest and leaves nothing behind.
TEST_F(Export, shouldFailEmptyCopyWithoutLeavingFolder) {
    QDir().mkpath(session);
    EXPECT_THROW(Engine::exportItems({}, session, ExportMode::copy), FileError);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{"Session"});
}

// Verifies organizing in place: files moved, journal of the moves, a taken name not replaced.
TEST_F(Export, shouldOrganizeInPlaceWithJournal) {
    const QList<Item> items = sessionWith({"1 Kick In.wav", "2 Snare.wav", "Room.wav"});
    writeFile(QDir(session).filePath("01_DRUMS/01_KICK_IN.wav"), "earlier");
    const ExportResult r = Engine::exportItems(items, session, ExportMode::inPlace);

    EXPECT_EQ(r, (ExportResult{session,
                               "3 files moved into their folders: nothing copied, no extra space "
                               "used.",
                               true, 3}));
    const auto tree = snapshot(session);
    EXPECT_EQ(tree.value("01_DRUMS/01_KICK_IN.wav"), "earlier");
    EXPECT_EQ(tree.value("01_DRUMS/01_KICK_IN_02.wav"), "1 Kick In.wav");
    EXPECT_EQ(tree.value("01_DRUMS/02_SNARE.wav"), "2 Snare.wav");
    EXPECT_EQ(tree.value("99_UNSORTED/ROOM.wav"), "Room.wav");
    EXPECT_EQ(tree.value("import_order.txt"),
              "[01_DRUMS]\n  01_KICK_IN_02.wav\n  02_SNARE.wav\n[99_UNSORTED]\n  ROOM.wav\n");
    const auto journal = Engine::parseJournal(tree.value(Engine::journalName));
    ASSERT_TRUE(journal);
    EXPECT_EQ(*journal,
              (QList<Move>{{session + "/1 Kick In.wav", session + "/01_DRUMS/01_KICK_IN_02.wav"},
                           {session + "/2 Snare.wav", session + "/01_DRUMS/02_SNARE.wav"},
                           {session + "/Room.wav", session + "/99_UNSORTED/ROOM.wav"}}));
}

// Verifies that a folder whose journal and listings are written in several pieces gets the
// texts a whole write gives (the journal as journalJson() writes what it holds, the listings as
// their fingerprints in it say), and that the put-back brings it back as it was.
TEST_F(Export, shouldWriteLargeJournalAndListingsAsWholeTextsAndPutThemBack) {
    const QList<Item> items = sessionWith(manyNames(1500));
    const auto before = snapshot(session);
    Engine::exportItems(items, session, ExportMode::inPlace);

    const auto tree = snapshot(session);
    const QByteArray text = tree.value(Engine::journalName);
    ASSERT_GT(text.size(), 256 * 1024); // more than one piece of the journal's writer
    const std::optional<Engine::Journal> journal = Engine::readJournal(text);
    ASSERT_TRUE(journal);
    EXPECT_EQ(journal->moves.size(), 1500);
    EXPECT_EQ(Engine::journalJson(*journal), text);
    const QMap<QString, QStringList> manifest = Engine::parseManifest(tree.value("manifest.json"));
    EXPECT_EQ(Engine::manifestJson(manifest), tree.value("manifest.json"));
    EXPECT_EQ(Engine::importOrderText(manifest), tree.value("import_order.txt"));
    EXPECT_TRUE(journal->wrote("manifest.json", tree.value("manifest.json")));
    EXPECT_TRUE(journal->wrote("import_order.txt", tree.value("import_order.txt")));

    const Engine::PutBackResult back = Engine::undo(session);
    EXPECT_EQ(back.restored, 1500);
    EXPECT_EQ(snapshot(session), before);
}

// Verifies that sources whose proposed names meet in one folder ("ROOM", "ROOM" and "ROOM_02")
// end as three files of their own in either mode, none replaced and nothing refused.
TEST_F(Export, shouldWriteSourcesWithMeetingNamesAsFilesOfTheirOwn) {
    const QStringList names{"30Room#01.wav", "31Room#02.wav", "32Room 02.wav"};
    for (const ExportMode mode : {ExportMode::copy, ExportMode::inPlace}) {
        SCOPED_TRACE(mode == ExportMode::inPlace ? "in place" : "sorted copy");
        QDir(dir.path()).removeRecursively();
        const QList<Item> items = sessionWith(names);
        ASSERT_EQ(items.size(), 3);
        const ExportResult r = Engine::exportItems(items, session, mode);
        const auto tree = snapshot(r.url);
        EXPECT_EQ(tree.value("99_UNSORTED/ROOM.wav"), "30Room#01.wav");
        EXPECT_EQ(tree.value("99_UNSORTED/ROOM_02.wav"), "31Room#02.wav");
        EXPECT_EQ(tree.value("99_UNSORTED/ROOM_02_02.wav"), "32Room 02.wav");
    }
}

// Verifies that the journal of every planned move is on disk before the first file moves.
TEST_F(Export, shouldWriteJournalBeforeFirstMove) {
    const QList<Item> items = sessionWith(manyNames(5));
    FaultyFileOps ops;
    ops.countOnly({FileOp::move});
    std::optional<QList<Move>> journalAtFirstMove;
    ops.beforeOperation(1, [&] {
        journalAtFirstMove =
            Engine::parseJournal(readFile(QDir(session).filePath(Engine::journalName)));
    });
    Engine::exportItems(items, session, ExportMode::inPlace, {}, {}, ops);
    ASSERT_TRUE(journalAtFirstMove);
    EXPECT_EQ(journalAtFirstMove,
              Engine::parseJournal(readFile(QDir(session).filePath(Engine::journalName))));
    EXPECT_EQ(journalAtFirstMove->size(), 5);
}

// Verifies that a failure at any file operation, or a cancellation before any file, leaves
// the tree exactly as it was, in both modes.
TEST_F(Export, shouldRollBackAfterFailureAtEveryStep) {
    const QList<Item> items = sessionWith(manyNames(50) << "notes.txt");
    const auto before = snapshot(dir.path());
    for (const ExportMode mode : {ExportMode::copy, ExportMode::inPlace}) {
        FaultyFileOps counter;
        Engine::exportItems(items, session, mode, {}, {}, counter);
        const int operations = counter.operationCount();
        mode == ExportMode::copy ? QDir(dir.filePath("Session SORTED")).removeRecursively()
                                 : (Engine::undo(session), true);
        ASSERT_EQ(snapshot(dir.path()), before);

        for (const int code : {ENOSPC, EIO}) {
            for (int k = 1; k <= operations; ++k) {
                SCOPED_TRACE(testing::Message() << (mode == ExportMode::copy ? "copy" : "in place")
                                                << ", errno " << code << ", operation " << k);
                FaultyFileOps ops;
                ops.failAt(k, code);
                bool failed = false;
                try {
                    Engine::exportItems(items, session, mode, {}, {}, ops);
                } catch (const FileError& e) {
                    failed = true;
                    EXPECT_TRUE(e.message().contains(QString::fromLocal8Bit(strerror(code))))
                        << e.what();
                }
                if (!failed) {
                    // Only a failed look-up, clone or clearing of old leftovers can go
                    // unnoticed; the result is still whole.
                    const FileOp kind = ops.operations()[k - 1].kind;
                    EXPECT_TRUE(kind == FileOp::exists || kind == FileOp::clone ||
                                kind == FileOp::fileSize || kind == FileOp::list);
                    mode == ExportMode::copy
                        ? QDir(dir.filePath("Session SORTED")).removeRecursively()
                        : (Engine::undo(session), true);
                }
                ASSERT_EQ(snapshot(dir.path()), before);
            }
        }
        for (int k = 1; k <= int(items.size()); ++k) {
            SCOPED_TRACE(testing::Message() << "cancel before file " << k);
            int asked = 0;
            EXPECT_THROW(
                Engine::exportItems(items, session, mode, {}, [&] { return ++asked == k; }),
                CancelledError);
            ASSERT_EQ(snapshot(dir.path()), before);
        }
    }
}

// Verifies that organizing a folder again keeps the earlier journal: in front of the new one
// on success, as it was after a failure.
TEST_F(Export, shouldKeepEarlierJournalWhenOrganizingAgain) {
    const auto original = [&] {
        sessionWith({"1 Kick.wav", "2 Vox.wav"});
        return snapshot(session);
    }();
    Engine::exportItems(Engine::scan(session, Config::defaults()).items, session,
                        ExportMode::inPlace);
    const QList<Item> later = sessionWith({"3 Bass.wav"});
    const auto organized = snapshot(session);

    FaultyFileOps ops;
    ops.countOnly({FileOp::move});
    ops.failAt(1, EIO);
    EXPECT_THROW(Engine::exportItems(later, session, ExportMode::inPlace, {}, {}, ops), FileError);
    EXPECT_EQ(snapshot(session), organized);

    Engine::exportItems(later, session, ExportMode::inPlace);
    Engine::undo(session);
    auto expected = original;
    expected.insert("3 Bass.wav", "3 Bass.wav");
    EXPECT_EQ(snapshot(session), expected);
}

class PutBack : public Export {
public:
    // The session as scanned, and after organizing it in place.
    QMap<QString, QByteArray> original;
    void organize(const QStringList& names) {
        const QList<Item> items = sessionWith(names);
        original = snapshot(session);
        Engine::exportItems(items, session, ExportMode::inPlace);
    }
    QString at(const QString& rel) const { return QDir(session).filePath(rel); }
};

// Verifies the put-back of an organized folder, also after the user changed it.
TEST_F(PutBack, shouldRestoreFilesAfterUserChanges) {
    const struct {
        const char* name;
        std::function<void(PutBack&)> change;
        std::function<void(QMap<QString, QByteArray>&)> expect;
    } cases[] = {
        {"untouched", [](PutBack&) {}, [](auto&) {}},
        {"a file deleted", [](PutBack& t) { QFile::remove(t.at("01_DRUMS/01_KICK_IN.wav")); },
         [](auto& tree) {
             // The journal keeps the one move, for a put-back once the file is back.
             tree.remove("1Kick In#01.1.wav");
             tree.insert(Engine::journalName, "kept");
         }},
        {"an extra file in a group folder",
         [](PutBack& t) { writeFile(t.at("01_DRUMS/mine.wav"), "mine"); },
         [](auto& tree) {
             tree.insert("01_DRUMS", "<dir>");
             tree.insert("01_DRUMS/mine.wav", "mine");
         }},
        {"only a hidden file left", [](PutBack& t) { writeFile(t.at("01_DRUMS/.DS_Store"), "x"); },
         [](auto&) {}},
        {"temporary files of interrupted writes",
         [](PutBack& t) {
             writeFile(t.at(".Vantrel undo.json.1a2b3c.tmp"), "[");
             writeFile(t.at(".manifest.json.ff.tmp"), "{");
             writeFile(t.at(".manifest.json.notes.tmp"), "mine");
         },
         [](auto& tree) { tree.insert(".manifest.json.notes.tmp", "mine"); }},
        {"a new file with an old name",
         [](PutBack& t) { writeFile(t.at("12Bass DI#04.1.wav"), "new"); },
         [](auto& tree) {
             tree.insert("12Bass DI#04.1_02.wav", tree.value("12Bass DI#04.1.wav"));
             tree.insert("12Bass DI#04.1.wav", "new");
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(session).removeRecursively();
        organize(manyNames(10) << "12Bass DI#04.1.wav");
        c.change(*this);
        Engine::undo(session);
        auto expected = original;
        c.expect(expected);
        auto tree = snapshot(session);
        if (tree.contains(Engine::journalName) && expected.contains(Engine::journalName))
            tree.insert(Engine::journalName, "kept");
        EXPECT_EQ(tree, expected);
    }
}

// Verifies that a second put-back fails and an empty journal only clears the listing files.
TEST_F(PutBack, shouldHandleMissingAndEmptyJournal) {
    organize({"1 Kick.wav"});
    Engine::undo(session);
    EXPECT_THROW(Engine::undo(session), FileError);
    EXPECT_EQ(snapshot(session), original);

    // A journal of an earlier version, which records no listings: only a listing exactly as the
    // export writes it is taken for one.
    writeFile(at(Engine::journalName), "[]");
    writeFile(at(Engine::manifestName), Engine::manifestJson({}));
    Engine::undo(session);
    EXPECT_EQ(snapshot(session), original);
    writeFile(at(Engine::journalName), "[]");
    writeFile(at(Engine::manifestName), "{}");
    Engine::undo(session);
    auto expected = original;
    expected.insert(Engine::manifestName, "{}");
    EXPECT_EQ(snapshot(session), expected);
}

// Verifies that a put-back that fails at any step can be completed by a second one.
TEST_F(PutBack, shouldFinishAfterFailureAtEveryStep) {
    organize(manyNames(30));
    const auto organized = snapshot(session);
    FaultyFileOps counter;
    Engine::undo(session, counter);
    const int operations = counter.operationCount();

    for (int k = 1; k <= operations; ++k) {
        SCOPED_TRACE(testing::Message() << "operation " << k);
        QDir(session).removeRecursively();
        organize(manyNames(30));
        ASSERT_EQ(snapshot(session), organized);
        FaultyFileOps ops;
        ops.failAt(k, EIO);
        try {
            Engine::undo(session, ops);
        } catch (const FileError&) {
        }
        if (QFile::exists(at(Engine::journalName)))
            Engine::undo(session);
        auto tree = snapshot(session);
        const FileOp failed = ops.operations().value(k - 1).kind;
        if (failed == FileOp::list || failed == FileOp::remove) {
            // Clearing up is best effort: an empty group folder or a listing file may stay.
            tree.removeIf([&tree](auto it) {
                return it.key() == Engine::manifestName || it.key() == Engine::importOrderName ||
                       (it.value() == "<dir>" &&
                        std::none_of(tree.keyBegin(), tree.keyEnd(), [&](const QString& p) {
                            return p.startsWith(it.key() + QLatin1Char('/'));
                        }));
            });
        }
        EXPECT_EQ(tree, original);
    }
}

// A session holding listing files of the user's own, and the ways a run can be stopped at one
// exact file operation: killed (nothing after it runs), or every rename from there on failing
// (a drive dropping out), the rollback's included.
class Interrupted : public PutBack {
public:
    const QStringList names = manyNames(6);
    void writeSession() {
        QDir(session).removeRecursively();
        sessionWith(names);
        writeFile(at(Engine::manifestName), R"({"mine": true})");
        writeFile(at(Engine::importOrderName), "my own order\n");
        original = snapshot(session);
    }
    QList<Item> items() { return Engine::scan(session, Config::defaults()).items; }
    int operationsOf(const std::function<void(FileOps&)>& run) {
        writeSession();
        FaultyFileOps counter;
        run(counter);
        return counter.operationCount();
    }
};

// Verifies that organizing killed at any file operation loses nothing of the user's: the put-back
// that follows, or organizing again and then putting back, gives the folder as it was, the
// user's "manifest.json" and "import_order.txt" included, and a put-back of a folder whose files
// never moved reports nothing.
TEST_F(Interrupted, shouldLoseNothingWhenOrganizeIsKilledAtAnyOperation) {
    const int operations = operationsOf([&](FileOps& ops) {
        Engine::exportItems(items(), session, ExportMode::inPlace, {}, {}, ops);
    });
    for (const bool organizeAgain : {false, true}) {
        for (int k = 1; k <= operations; ++k) {
            SCOPED_TRACE(testing::Message() << "killed at operation " << k
                                            << (organizeAgain ? ", organized again" : ""));
            writeSession();
            FaultyFileOps ops;
            ops.killAt(k);
            EXPECT_THROW(Engine::exportItems(items(), session, ExportMode::inPlace, {}, {}, ops),
                         FaultyFileOps::Killed);
            if (organizeAgain) {
                Engine::exportItems(items(), session, ExportMode::inPlace);
                EXPECT_EQ(readFile(at(Engine::manifestName)).contains("mine"), false);
            }
            if (QFile::exists(at(Engine::journalName))) {
                const Engine::PutBackResult result = Engine::undo(session);
                EXPECT_EQ(result.note(), QString());
            }
            ASSERT_EQ(snapshot(session), original);
        }
    }
}

// Verifies that a put-back killed at any file operation is finished by the next one, which
// never removes the user's files that the first one had already put back.
TEST_F(Interrupted, shouldLoseNothingWhenPutBackIsKilledAtAnyOperation) {
    const int operations = operationsOf([&](FileOps& ops) {
        Engine::exportItems(items(), session, ExportMode::inPlace);
        Engine::undo(session, ops);
    });
    for (int k = 1; k <= operations; ++k) {
        SCOPED_TRACE(testing::Message() << "killed at operation " << k);
        writeSession();
        Engine::exportItems(items(), session, ExportMode::inPlace);
        FaultyFileOps ops;
        ops.killAt(k);
        EXPECT_THROW(Engine::undo(session, ops), FaultyFileOps::Killed);
        if (QFile::exists(at(Engine::journalName))) {
            EXPECT_EQ(Engine::undo(session).note(), QString());
        }
        ASSERT_EQ(snapshot(session), original);
    }
}

// Verifies that organizing whose renames all fail from some point on, its rollback's too, leaves
// a journal from which a put-back restores everything of the user's.
TEST_F(Interrupted, shouldLoseNothingWhenEveryRenameFailsFromSomePoint) {
    const int moves = operationsOf([&](FileOps& ops) {
        FaultyFileOps& faulty = static_cast<FaultyFileOps&>(ops);
        faulty.countOnly({FileOp::move});
        Engine::exportItems(items(), session, ExportMode::inPlace, {}, {}, ops);
    });
    ASSERT_GT(moves, 2);
    for (int from = 1; from <= moves; ++from) {
        SCOPED_TRACE(testing::Message() << "renames fail from the " << from << "th on");
        writeSession();
        FaultyFileOps ops;
        ops.countOnly({FileOp::move});
        for (int k = from; k <= 4 * moves; ++k)
            ops.failAt(k, EIO);
        EXPECT_THROW(Engine::exportItems(items(), session, ExportMode::inPlace, {}, {}, ops),
                     Error);
        if (QFile::exists(at(Engine::journalName)))
            Engine::undo(session);
        ASSERT_EQ(snapshot(session), original);
    }
}

// Verifies that a put-back that leaves files behind for an error of theirs fails, names them
// with the reason, keeps exactly them in the journal, and that a later one finishes.
TEST_F(Interrupted, shouldFailPutBackThatLeavesFilesBehind) {
    for (const int code : {EACCES, EPERM, ENOTDIR}) {
        SCOPED_TRACE(code);
        writeSession();
        Engine::exportItems(items(), session, ExportMode::inPlace);
        const auto organized = Engine::readJournal(readFile(at(Engine::journalName)));
        ASSERT_TRUE(organized);
        FaultyFileOps ops;
        ops.countOnly({FileOp::move});
        ops.failAt(2, code);
        try {
            Engine::undo(session, ops);
            ADD_FAILURE() << "the put-back succeeded";
        } catch (const Engine::PutBackError& e) {
            const Move stayed = organized->moves[organized->moves.size() - 2];
            EXPECT_TRUE(e.message().contains(QString::fromLocal8Bit(strerror(code)))) << e.what();
            EXPECT_TRUE(e.message().contains(stayed.to.mid(session.size() + 1))) << e.what();
            EXPECT_EQ(e.result().stayed.size(), 1);
            EXPECT_EQ(Engine::parseJournal(readFile(at(Engine::journalName))), QList<Move>{stayed});
        }
        Engine::undo(session);
        EXPECT_EQ(snapshot(session), original);
    }
}

// Verifies that a file the user moved away before the put-back stays in the journal, with a
// sentence saying where it is expected, and that the put-back finishes once it is back there.
TEST_F(Interrupted, shouldKeepMovesOfFilesNoLongerInPlace) {
    writeSession();
    Engine::exportItems(items(), session, ExportMode::inPlace);
    const auto journal = Engine::parseJournal(readFile(at(Engine::journalName)));
    ASSERT_TRUE(journal);
    const Move away = journal->first();
    const QString elsewhere = dir.filePath("elsewhere.wav");
    ASSERT_TRUE(QFile::rename(away.to, elsewhere));

    const Engine::PutBackResult result = Engine::undo(session);
    ASSERT_EQ(result.missing.size(), 1);
    EXPECT_TRUE(result.missing.first().contains(away.to.mid(session.size() + 1)));
    EXPECT_EQ(Engine::parseJournal(readFile(at(Engine::journalName))), QList<Move>{away});

    QDir().mkpath(QFileInfo(away.to).path());
    ASSERT_TRUE(QFile::rename(elsewhere, away.to));
    EXPECT_EQ(Engine::undo(session).note(), QString());
    EXPECT_EQ(snapshot(session), original);
}

// Verifies that a journal out of shape or naming places outside the folder moves nothing.
TEST_F(PutBack, shouldRefuseUnsafeOrDamagedJournal) {
    organize({"1 Kick.wav"});
    QTemporaryDir outside;
    writeFile(outside.filePath("secret.wav"), "secret");
    QFile::link(outside.path(), at("escape"));
    const QString kick = at("01_DRUMS/01_KICK.wav");
    const struct {
        const char* name;
        QByteArray journal;
    } cases[] = {
        {"not JSON", "[{"},
        {"not a list", R"({"from": "a", "to": "b"})"},
        {"missing key", R"([{"from": "/x"}])"},
        {"not a string", R"([{"from": 1, "to": "/x"}])"},
        {"from outside", QStringLiteral(R"([{"from": "%1", "to": "%2"}])")
                             .arg(outside.filePath("stolen.wav"), kick)
                             .toUtf8()},
        {"to outside", QStringLiteral(R"([{"from": "%1", "to": "%2"}])")
                           .arg(at("x.wav"), outside.filePath("secret.wav"))
                           .toUtf8()},
        {"dot-dot",
         QStringLiteral(R"([{"from": "%1/../x.wav", "to": "%2"}])").arg(session, kick).toUtf8()},
        {"relative", QStringLiteral(R"([{"from": "x.wav", "to": "%1"}])").arg(kick).toUtf8()},
        {"the folder itself",
         QStringLiteral(R"([{"from": "%1", "to": "%2"}])").arg(session, kick).toUtf8()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(at(Engine::journalName), c.journal);
        const auto before = snapshot(session);
        const auto outsideBefore = snapshot(outside.path());
        try {
            Engine::undo(session);
            ADD_FAILURE() << "the journal was accepted";
        } catch (const Error& e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("nothing was moved"))) << e.what();
        }
        EXPECT_EQ(snapshot(session), before);
        EXPECT_EQ(snapshot(outside.path()), outsideBefore);
    }
}

// Verifies the free-name rule.
TEST(UniqueUrl, shouldGiveFirstFreeName) {
    QTemporaryDir dir;
    const auto path = [&](const char* n) { return dir.filePath(QString::fromUtf8(n)); };
    EXPECT_EQ(Engine::uniqueURL(path("Kick.wav")), path("Kick.wav"));
    writeFile(path("Kick.wav"));
    EXPECT_EQ(Engine::uniqueURL(path("Kick.wav")), path("Kick_02.wav"));
    for (int i = 2; i <= 99; ++i)
        writeFile(dir.filePath(QStringLiteral("Kick_%1.wav").arg(i, 2, 10, QLatin1Char('0'))));
    EXPECT_EQ(Engine::uniqueURL(path("Kick.wav")), path("Kick_100.wav"));
    QDir().mkpath(path("Folder"));
    EXPECT_EQ(Engine::uniqueURL(path("Folder")), path("Folder_02"));
}

} // namespace
