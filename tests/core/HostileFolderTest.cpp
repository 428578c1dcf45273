#include "core/Config.h"
#include "core/Engine.h"
#include "core/Export.h"
#include "core/SmallFile.h"
#include "support/FaultyFileOps.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <sys/stat.h>
#include <sys/types.h>

using namespace Vantrel;
using Fixtures::readFile;
using Fixtures::snapshot;
using Fixtures::writeFile;

namespace {

// A session folder with a neighbour outside it that nothing may ever touch. Every case runs with
// the confined operations reaching folders through openat2() and through the component walk of
// systems without it.
class Hostile : public testing::TestWithParam<bool> {
public:
    QTemporaryDir dir;
    QString session = dir.filePath(QStringLiteral("Session"));
    QString outside = dir.filePath(QStringLiteral("Home"));

    void SetUp() override {
        allowOpenat2(GetParam());
        writeFile(QDir(outside).filePath(QStringLiteral(".ssh/id_ed25519")), "key");
        writeFile(QDir(outside).filePath(QStringLiteral("notes.txt")), "notes");
    }

    QString at(const QString& rel) const { return QDir(session).filePath(rel); }

    QList<Item> scanned() const { return Engine::scan(session, Config::defaults()).items; }

    // Writes the named files into the session, each holding its own name.
    void files(const QStringList& names) {
        for (const QString& name : names)
            writeFile(at(name), name.toUtf8());
    }

    ExportResult organize() { return Engine::exportItems(scanned(), session, ExportMode::inPlace); }

    void link(const QString& target, const QString& rel) {
        ASSERT_TRUE(QFile::link(target, at(rel))) << qPrintable(rel);
    }

    void TearDown() override { allowOpenat2(true); }
};

// Verifies that neither the organization nor the put-back reaches outside the folder through
// symbolic links planted in it, by the user or by a journal, and that what can go back does.
TEST_P(Hostile, shouldNeverReachOutsideThroughLinks) {
    const QString secret = QDir(outside).filePath(QStringLiteral(".ssh"));
    const struct {
        const char* name;
        // Sets the scene after the session holds "1 Kick.wav" and "2 Vox.wav" and before the
        // organization; returns nothing.
        std::function<void(Hostile&)> before;
        // Changes the organized folder before the put-back.
        std::function<void(Hostile&)> after;
        // The files back in place, and the other entries expected after the put-back ("*":
        // a journal of what stayed).
        QStringList back;
        QMap<QString, QByteArray> left;
    } cases[] = {
        {"a link named like a group folder",
         [&](Hostile& t) { t.link(secret, "01_DRUMS"); },
         [](Hostile&) {},
         {"1 Kick.wav", "2 Vox.wav"},
         {{"01_DRUMS", "<link>"}}},
        {"a file named like a group folder",
         [](Hostile& t) { writeFile(t.at("08_VOCALS"), "mine"); },
         [](Hostile&) {},
         {"1 Kick.wav", "2 Vox.wav"},
         {{"08_VOCALS", "mine"}}},
        {"a group folder replaced by a link after organizing",
         [](Hostile&) {},
         [&](Hostile& t) {
             QDir(t.at("01_DRUMS")).removeRecursively();
             t.link(secret, "01_DRUMS");
         },
         {"2 Vox.wav"},
         {{"01_DRUMS", "<link>"}, {Engine::journalName, "*"}}},
        {"the journal renames a link into place, then moves through it",
         [](Hostile&) {},
         [&](Hostile& t) {
             t.link(t.outside, "innocent");
             // Read last move first: the link becomes "Evil", then the key is taken through
             // it, then "Evil" would be cleared up as a group folder.
             writeFile(t.at(Engine::journalName),
                       QStringLiteral(R"([
                 {"from": "%1", "to": "%2"},
                 {"from": "%3", "to": "%4"},
                 {"from": "%5", "to": "%6"}])")
                           .arg(t.at("1 Kick.wav"), t.at("01_DRUMS/01_KICK.wav"), t.at("stolen"),
                                t.at("Evil/.ssh/id_ed25519"), t.at("Evil"), t.at("innocent"))
                           .toUtf8());
         },
         {"1 Kick.wav"},
         {{"Evil", "<link>"},
          {"08_VOCALS", "<dir>"},
          {"08_VOCALS/01_VOX.wav", "2 Vox.wav"},
          {Engine::journalName, "*"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(session).removeRecursively();
        files({"1 Kick.wav", "2 Vox.wav"});
        c.before(*this);
        const auto original = snapshot(session);
        const auto home = snapshot(outside);
        organize();
        EXPECT_EQ(snapshot(outside), home);
        c.after(*this);
        try {
            Engine::undo(session);
        } catch (const Engine::PutBackError&) {
            // A file that stayed fails the put-back; the tree below shows which.
        }
        EXPECT_EQ(snapshot(outside), home);

        auto tree = snapshot(session);
        if (tree.contains(Engine::journalName))
            tree[Engine::journalName] = "*";
        QMap<QString, QByteArray> expected = c.left;
        for (const QString& name : c.back)
            expected.insert(name, name.toUtf8());
        for (auto it = original.cbegin(); it != original.cend(); ++it)
            if (!it.key().endsWith(".wav"))
                expected.insert(it.key(), it.value());
        EXPECT_EQ(tree, expected);
    }
}

// Verifies that the put-back removes only the folders the organization created, and only when
// nothing of the user's is in them, and says what it left.
TEST_P(Hostile, shouldKeepWhatTheUserPutThere) {
    const struct {
        const char* name;
        std::function<void(Hostile&)> before;
        std::function<void(Hostile&)> after;
        QStringList foldersLeft;
    } cases[] = {
        {"a hidden folder inside an existing group folder",
         [](Hostile& t) { writeFile(t.at("01_DRUMS/.old_takes/kick.wav"), "old"); },
         [](Hostile&) {},
         {}},
        {"an existing group folder, empty",
         [](Hostile& t) { QDir().mkpath(t.at("01_DRUMS")); },
         [](Hostile&) {},
         {}},
        {"an existing group folder with files",
         [](Hostile& t) { writeFile(t.at("01_DRUMS/snare.wav"), "snare"); },
         [](Hostile&) {},
         {}},
        {"a folder added inside a group folder later",
         [](Hostile&) {},
         [](Hostile& t) { writeFile(t.at("01_DRUMS/mine/take.wav"), "take"); },
         {"“01_DRUMS” was left in place: it holds “mine” that Vantrel didn't put there."}},
        {"a hidden file other than the browser's",
         [](Hostile&) {},
         [](Hostile& t) { writeFile(t.at("08_VOCALS/.notes"), "notes"); },
         {"“08_VOCALS” was left in place: it holds “.notes” that Vantrel didn't put there."}},
        {"the browser's own file",
         [](Hostile&) {},
         [](Hostile& t) { writeFile(t.at("08_VOCALS/.DS_Store"), "x"); },
         {}},
        {"a folder named like the browser's file",
         [](Hostile&) {},
         [](Hostile& t) { QDir().mkpath(t.at("08_VOCALS/.DS_Store")); },
         {"“08_VOCALS” was left in place: it holds “.DS_Store” that Vantrel didn't put there."}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(session).removeRecursively();
        files({"1 Kick.wav", "2 Vox.wav"});
        c.before(*this);
        const auto original = snapshot(session);
        organize();
        c.after(*this);
        const auto added = [&] {
            auto tree = snapshot(session);
            tree.removeIf([&](auto it) { return original.contains(it.key()); });
            return tree;
        }();
        const Engine::PutBackResult result = Engine::undo(session);
        EXPECT_EQ(result.foldersLeft, c.foldersLeft);
        EXPECT_EQ(result.restored, 2);
        auto expected = original;
        // What the user added later stays, except the browser's own file.
        for (auto it = added.cbegin(); it != added.cend(); ++it) {
            const bool userFile = !it.key().endsWith(".wav") || it.key().contains("mine");
            const bool browserFile = it.key().endsWith(".DS_Store") && it.value() != "<dir>";
            if (userFile && !browserFile)
                expected.insert(it.key(), it.value());
        }
        expected.remove(Engine::journalName);
        expected.remove(Engine::manifestName);
        expected.remove(Engine::importOrderName);
        for (const QString& k :
             {QStringLiteral("01_DRUMS/01_KICK.wav"), QStringLiteral("08_VOCALS/01_VOX.wav")})
            expected.remove(k);
        if (!expected.contains("08_VOCALS/.notes") && !expected.contains("08_VOCALS/.DS_Store"))
            expected.remove("08_VOCALS");
        if (!original.contains("01_DRUMS") && !expected.contains("01_DRUMS/mine"))
            expected.remove("01_DRUMS");
        EXPECT_EQ(snapshot(session), expected);
    }
}

// Verifies that entries of the user's named like the listing files are set aside, listed in
// the journal, and restored by the put-back and by a rollback, never replaced or deleted.
TEST_P(Hostile, shouldSetAsideUserEntriesWithListingNames) {
    const struct {
        const char* name;
        std::function<void(Hostile&)> plant;
        QStringList asideAs;
    } cases[] = {
        {"a manifest of the user's",
         [](Hostile& t) { writeFile(t.at(Engine::manifestName), "my manifest"); },
         {"manifest_02.json"}},
        {"an import order of the user's",
         [](Hostile& t) { writeFile(t.at(Engine::importOrderName), "my order"); },
         {"import_order_02.txt"}},
        {"a folder named manifest.json",
         [](Hostile& t) { writeFile(t.at("manifest.json/take.wav"), "take"); },
         {"manifest_02.json"}},
        {"both, and the free names taken",
         [](Hostile& t) {
             writeFile(t.at(Engine::manifestName), "mine");
             writeFile(t.at("manifest_02.json"), "also mine");
             writeFile(t.at(Engine::importOrderName), "my order");
         },
         {"manifest_03.json", "import_order_02.txt"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(session).removeRecursively();
        files({"1 Kick.wav", "2 Vox.wav"});
        c.plant(*this);
        const auto original = snapshot(session);

        organize();
        const auto organized = snapshot(session);
        for (const QString& aside : c.asideAs)
            EXPECT_TRUE(organized.contains(aside)) << qPrintable(aside);
        EXPECT_TRUE(QJsonDocument::fromJson(organized.value(Engine::manifestName))
                        .object()
                        .contains("01_DRUMS"));
        Engine::undo(session);
        EXPECT_EQ(snapshot(session), original);

        // A failure at any move rolls back to the same state.
        FaultyFileOps counter;
        counter.countOnly({FileOp::move, FileOp::writeAtomically});
        Engine::exportItems(scanned(), session, ExportMode::inPlace, {}, {}, counter);
        Engine::undo(session);
        for (int k = 1; k <= counter.operationCount(); ++k) {
            SCOPED_TRACE(testing::Message() << "failure at " << k);
            FaultyFileOps ops;
            ops.countOnly({FileOp::move, FileOp::writeAtomically});
            ops.failAt(k, EIO);
            EXPECT_THROW(Engine::exportItems(scanned(), session, ExportMode::inPlace, {}, {}, ops),
                         FileError);
            ASSERT_EQ(snapshot(session), original);
        }
    }
}

// Verifies that a second organization or put-back of a folder that is being organized is
// refused at once and changes nothing.
TEST_P(Hostile, shouldRefuseASecondOrganizationAtOnce) {
    files({"1 Kick.wav", "2 Vox.wav"});
    const QList<Item> items = scanned();
    const auto original = snapshot(session);
    {
        const std::unique_ptr<FileOps> first = systemFileOps().confinedTo(session);
        for (const ExportMode mode : {ExportMode::inPlace}) {
            try {
                Engine::exportItems(items, session, mode);
                ADD_FAILURE() << "the second organization ran";
            } catch (const FolderBusyError& e) {
                EXPECT_TRUE(e.message().contains("is being organized or put back by another "
                                                 "Vantrel"))
                    << e.what();
            }
        }
        EXPECT_EQ(snapshot(session), original);
    }
    Engine::exportItems(items, session, ExportMode::inPlace);
    const auto organized = snapshot(session);
    {
        const std::unique_ptr<FileOps> first = systemFileOps().confinedTo(session);
        EXPECT_THROW(Engine::undo(session), FolderBusyError);
        EXPECT_EQ(snapshot(session), organized);
    }
    Engine::undo(session);
    EXPECT_EQ(snapshot(session), original);
}

// Verifies that the side-by-side flush of folders reaches none through a link, tries them all
// and names the first that cannot be flushed.
TEST_P(Hostile, shouldFlushFoldersOnlyInsideAndNameTheFirstFailure) {
    files({"01_DRUMS/a", "08_VOCALS/b"});
    link(outside, "Evil");
    const std::unique_ptr<FileOps> confined = systemFileOps().confinedTo(session);
    EXPECT_NO_THROW(confined->syncFolders({at("01_DRUMS"), at("08_VOCALS"), session}));
    const struct {
        const char* name;
        QStringList folders;
        QString failing;
        int code;
    } cases[] = {
        {"a link among folders", {at("01_DRUMS"), at("Evil"), at("gone")}, at("Evil"), ELOOP},
        {"a missing folder first", {at("gone"), at("Evil")}, at("gone"), ENOENT},
        {"a way through a file", {at("01_DRUMS/a/x"), session}, at("01_DRUMS/a/x"), ENOTDIR},
        {"a folder outside", {outside}, outside, EPERM},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            confined->syncFolders(c.folders);
            ADD_FAILURE() << "no failure";
        } catch (const FileError& e) {
            EXPECT_EQ(e.code(), c.code);
            EXPECT_TRUE(e.message().contains(c.failing)) << e.what();
        }
    }
}

// Verifies that a folder met again through the same confined operations is the folder its name
// leads to at that moment: one moved away and replaced by a link or by another folder is not
// used again.
TEST_P(Hostile, shouldNotReuseAFolderThatWasReplaced) {
    const struct {
        const char* name;
        std::function<void(Hostile&)> replace;
        int code; // of the move after the replacement; 0: it lands in the new folder
    } cases[] = {
        {"by a link to the outside", [](Hostile& t) { t.link(t.outside, "01_DRUMS"); }, ELOOP},
        {"by another folder", [](Hostile& t) { QDir(t.session).mkdir("01_DRUMS"); }, 0},
        {"by nothing", [](Hostile&) {}, ENOENT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(session).removeRecursively();
        QDir(dir.filePath(QStringLiteral("Moved"))).removeRecursively();
        files({"1 Kick.wav", "2 Snare.wav"});
        const auto home = snapshot(outside);
        const std::unique_ptr<FileOps> confined = systemFileOps().confinedTo(session);
        confined->makeFolders(at("01_DRUMS"));
        confined->move(at("1 Kick.wav"), at("01_DRUMS/01_KICK.wav"));
        ASSERT_TRUE(QDir(session).rename("01_DRUMS", "../Moved"));
        c.replace(*this);
        try {
            confined->move(at("2 Snare.wav"), at("01_DRUMS/02_SNARE.wav"));
            EXPECT_EQ(c.code, 0) << "the move went through";
            EXPECT_EQ(readFile(at("01_DRUMS/02_SNARE.wav")), "2 Snare.wav");
        } catch (const FileError& e) {
            EXPECT_EQ(e.code(), c.code);
            EXPECT_EQ(readFile(at("2 Snare.wav")), "2 Snare.wav");
        }
        EXPECT_EQ(QDir(dir.filePath("Moved")).entryList(QDir::Files), QStringList{"01_KICK.wav"});
        EXPECT_EQ(snapshot(outside), home);
    }
}

// Verifies that a rollback that cannot move a file back keeps a journal of exactly that move,
// says so, and that the put-back then finishes the job.
TEST_P(Hostile, shouldKeepJournalOfMovesNotUndone) {
    files({"1 Kick.wav", "2 Vox.wav", "3 Bass.wav"});
    const auto original = snapshot(session);
    FaultyFileOps ops;
    ops.countOnly({FileOp::move});
    // After the kick moved, a new take appears at its old name; the third move fails.
    ops.beforeOperation(2, [&] { writeFile(at("1 Kick.wav"), "new take"); });
    ops.failAt(3, EIO);
    try {
        Engine::exportItems(scanned(), session, ExportMode::inPlace, {}, {}, ops);
        ADD_FAILURE() << "the organization succeeded";
    } catch (const Error& e) {
        EXPECT_TRUE(e.message().contains("“1 Kick.wav” stayed at “01_DRUMS/01_KICK.wav”: File "
                                         "exists."))
            << e.what();
    }
    const auto journal = Engine::parseJournal(readFile(at(Engine::journalName)));
    ASSERT_TRUE(journal);
    EXPECT_EQ(*journal, (QList<Move>{{at("1 Kick.wav"), at("01_DRUMS/01_KICK.wav")}}));

    Engine::undo(session);
    auto expected = original;
    expected.insert("1 Kick.wav", "new take");
    expected.insert("1 Kick_02.wav", "1 Kick.wav");
    EXPECT_EQ(snapshot(session), expected);
}

// Verifies that a put-back that cannot reach a file keeps a journal of exactly that file and
// names it, and that files the user deleted are named but not kept.
TEST_P(Hostile, shouldKeepJournalOfFilesThatStayed) {
    files({"1 Kick.wav", "2 Vox.wav", "3 Bass.wav"});
    organize();
    QFile::remove(at("02_BASS/BASS_01.wav"));
    // The vocal's folder is reached through a link now: it stays where it is.
    QDir().rename(at("08_VOCALS"), at("real vocals"));
    link(at("real vocals"), "08_VOCALS");

    try {
        Engine::undo(session);
        ADD_FAILURE() << "the put-back succeeded";
    } catch (const Engine::PutBackError& e) {
        EXPECT_EQ(e.result().restored, 1);
        EXPECT_EQ(e.result().stayed, QStringList{"“2 Vox.wav” stayed at “08_VOCALS/01_VOX.wav”: "
                                                 "Too many levels of symbolic links."});
        EXPECT_EQ(e.result().missing,
                  QStringList{"“3 Bass.wav” was not put back: it is no longer at "
                              "“02_BASS/BASS_01.wav”, where the undo journal expects it."});
        EXPECT_TRUE(e.message().contains(e.result().stayed.first())) << e.what();
    }
    // Both stay in the journal: the one that stayed, and the one the user took away.
    const auto journal = Engine::parseJournal(readFile(at(Engine::journalName)));
    ASSERT_TRUE(journal);
    EXPECT_EQ(*journal, (QList<Move>{{at("2 Vox.wav"), at("08_VOCALS/01_VOX.wav")},
                                     {at("3 Bass.wav"), at("02_BASS/BASS_01.wav")}}));

    // Once the user makes the folder real again, the put-back finishes with the vocal.
    QFile::remove(at("08_VOCALS"));
    QDir().rename(at("real vocals"), at("08_VOCALS"));
    const Engine::PutBackResult result = Engine::undo(session);
    EXPECT_EQ(result.restored, 1);
    EXPECT_EQ(result.missing.size(), 1);
    EXPECT_EQ(readFile(at("2 Vox.wav")), "2 Vox.wav");
}

// Verifies that the put-back works after the folder was renamed, moved, or is reached through a
// link, with journals of this version and of the earlier one (no folder flags).
TEST_P(Hostile, shouldPutBackAfterTheFolderMoved) {
    const struct {
        const char* name;
        bool earlierFormat;
        std::function<QString(Hostile&)> move; // returns the folder's new path
    } cases[] = {
        {"renamed", false,
         [](Hostile& t) {
             const QString to = t.dir.filePath("Renamed");
             QDir().rename(t.session, to);
             return to;
         }},
        {"moved into another folder", false,
         [](Hostile& t) {
             QDir().mkpath(t.dir.filePath("Archive"));
             const QString to = t.dir.filePath("Archive/Session");
             QDir().rename(t.session, to);
             return to;
         }},
        {"reached through a link", false,
         [](Hostile& t) {
             const QString to = t.dir.filePath("Shortcut");
             QFile::link(t.session, to);
             return to;
         }},
        {"renamed, journal of the earlier format", true,
         [](Hostile& t) {
             const QString to = t.dir.filePath("Renamed");
             QDir().rename(t.session, to);
             return to;
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
        files({"1 Kick.wav", "2 Vox.wav"});
        const auto original = snapshot(session);
        organize();
        if (c.earlierFormat) {
            const auto moves = Engine::parseJournal(readFile(at(Engine::journalName)));
            ASSERT_TRUE(moves);
            QFile::remove(at(Engine::journalName));
            writeFile(at(Engine::journalName),
                      Engine::journalJson(*moves).replace("\"newFolder\": false", "\"x\": 1"));
        }
        const QString moved = c.move(*this);
        Engine::undo(moved);
        EXPECT_EQ(snapshot(moved), original);
    }
}

// Verifies that organizing an organized folder again after adding a file keeps the earlier
// entries in the listings.
TEST_P(Hostile, shouldKeepEarlierListingsWhenOrganizingAgain) {
    files({"1 Kick.wav", "2 Snare.wav", "3 Vox.wav"});
    organize();
    files({"4 Tom.wav"});
    organize();
    const QJsonObject manifest =
        QJsonDocument::fromJson(readFile(at(Engine::manifestName))).object();
    EXPECT_EQ(manifest.value("01_DRUMS").toVariant().toStringList(),
              (QStringList{"01_KICK.wav", "02_SNARE.wav", "03_TOM.wav"}));
    EXPECT_EQ(manifest.value("08_VOCALS").toVariant().toStringList(), QStringList{"01_VOX.wav"});
    EXPECT_TRUE(readFile(at(Engine::importOrderName)).contains("02_SNARE.wav"));
}

// Verifies that a FIFO in place of a file the program reads or copies never blocks it.
TEST_P(Hostile, shouldNotWaitOnFifos) {
    const auto fifo = [](const QString& path) {
        QFile::remove(path);
        ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    };
    files({"1 Kick.wav"});
    const struct {
        const char* name;
        std::function<void(Hostile&)> run;
    } cases[] = {
        {"the journal",
         [&](Hostile& t) {
             fifo(t.at(Engine::journalName));
             try {
                 Engine::undo(t.session);
                 ADD_FAILURE() << "a FIFO read as a journal";
             } catch (const FileError& e) {
                 EXPECT_TRUE(e.message().contains("it is not a regular file")) << e.what();
             }
             EXPECT_THROW(t.organize(), Error);
             QFile::remove(t.at(Engine::journalName));
         }},
        {"manifest.json when organizing",
         [&](Hostile& t) {
             fifo(t.at(Engine::manifestName));
             t.organize();
             Engine::undo(t.session);
             struct stat st;
             ASSERT_EQ(::lstat(QFile::encodeName(t.at(Engine::manifestName)).constData(), &st), 0);
             EXPECT_TRUE(S_ISFIFO(st.st_mode));
             QFile::remove(t.at(Engine::manifestName));
         }},
        {"a source file of a sorted copy",
         [&](Hostile& t) {
             const QList<Item> items = t.scanned();
             fifo(t.at("1 Kick.wav"));
             EXPECT_THROW(Engine::exportItems(items, t.session, ExportMode::copy), FileError);
             EXPECT_FALSE(QFile::exists(t.dir.filePath("Session SORTED")));
             QFile::remove(t.at("1 Kick.wav"));
             writeFile(t.at("1 Kick.wav"), "1 Kick.wav");
         }},
        {"the configuration",
         [&](Hostile& t) {
             const QString path = t.dir.filePath("config.json");
             fifo(path);
             EXPECT_EQ(Config::loadFrom(path), Config::defaults());
             EXPECT_EQ(Config::loadFrom(QStringLiteral("/dev/zero")), Config::defaults());
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.run(*this);
    }
}

// Verifies that a cancel ends an operation that signals keep interrupting (a Ctrl-C while a
// call is retried): the operation is tried again until the export is cancelled, then the export
// ends as cancelled and is taken back. Without a cancel the retries go on and the export is done.
TEST_P(Hostile, shouldLetACancelEndTheRetriesOfAnInterruptedOperation) {
    files({"1 Kick.wav", "2 Vox.wav"});
    const auto original = snapshot(session);
    const QString sorted = dir.filePath(QStringLiteral("Session SORTED"));
    for (const ExportMode mode : {ExportMode::inPlace, ExportMode::copy}) {
        const bool inPlace = mode == ExportMode::inPlace;
        SCOPED_TRACE(inPlace ? "in place" : "sorted copy");
        const QList<Item> items = scanned();
        // The second file's move, or its copy after its clone was refused.
        const auto interrupted = [inPlace](FaultyFileOps& ops) {
            if (inPlace) {
                ops.countOnly({FileOp::move});
                return 2;
            }
            ops.countOnly({FileOp::clone, FileOp::copy});
            ops.failAt(1, EXDEV);
            ops.failAt(3, EXDEV);
            return 4;
        };

        FaultyFileOps ops;
        const int k = interrupted(ops);
        ops.interruptAt(k);
        bool retrying = false;
        ops.beforeOperation(k, [&retrying] { retrying = true; });
        int asked = 0;
        const Engine::Cancelled cancelled = [&] { return retrying && ++asked >= 3; };
        EXPECT_THROW(Engine::exportItems(items, session, mode, {}, cancelled, ops), CancelledError);
        // Three questions while retrying, the third a yes; one more when the export ends.
        EXPECT_EQ(asked, 4);
        ASSERT_GE(ops.operationCount(), k); // the moves back come after it
        EXPECT_TRUE(ops.operations()[k - 1].failed);
        EXPECT_EQ(snapshot(session), original);
        EXPECT_FALSE(QFileInfo::exists(sorted));

        FaultyFileOps patient;
        patient.interruptAt(interrupted(patient), 3);
        const ExportResult r = Engine::exportItems(
            items, session, mode, {}, [] { return false; }, patient);
        EXPECT_TRUE(QFileInfo::exists(r.url + QStringLiteral("/08_VOCALS/01_VOX.wav")))
            << qPrintable(r.url);
        if (inPlace)
            Engine::undo(session);
        else
            ASSERT_TRUE(QDir(sorted).removeRecursively());
        EXPECT_EQ(snapshot(session), original);
    }
}

INSTANTIATE_TEST_SUITE_P(ConfinedWays, Hostile, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "openat2" : "walk";
                         });

// Verifies the small-file reader's refusals.
TEST(SmallFile, shouldReadOnlySmallRegularFiles) {
    QTemporaryDir dir;
    const QString file = dir.filePath("a.json");
    writeFile(file, "12345678");
    QFile::link(file, dir.filePath("link.json"));
    const struct {
        const char* name;
        QString path;
        qint64 cap;
        int code; // 0: reads
    } cases[] = {
        {"a file within the cap", file, 8, 0},
        {"a file over the cap", file, 7, EFBIG},
        {"a symbolic link", dir.filePath("link.json"), 100, ELOOP},
        {"a folder", dir.path(), 100, EINVAL},
        {"a device", QStringLiteral("/dev/zero"), 100, EINVAL},
        {"nothing", dir.filePath("none"), 100, ENOENT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            EXPECT_EQ(readSmallFile(c.path, c.cap), "12345678");
            EXPECT_EQ(c.code, 0);
        } catch (const FileError& e) {
            EXPECT_EQ(e.code(), c.code) << e.what();
            EXPECT_TRUE(e.message().startsWith(QStringLiteral("Couldn't read “%1”: ").arg(c.path)))
                << e.what();
        }
    }
}

} // namespace
