#include "core/Config.h"
#include "core/Errors.h"
#include "support/FaultyFileOps.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>

namespace Vantrel {
namespace {

using Fixtures::readFile;
using Fixtures::snapshot;
using Fixtures::writeFile;

const QByteArray kBroken = "{ \"groups\": [ { \"name\": \"GTR\", ";

// Verifies which files count as ones a save would wrongly replace: only a regular file that
// load would not use.
TEST(ConfigUnusable, isAFileThatLoadWouldNotUse) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Case {
        const char* label;
        QByteArray bytes; // written as config.json unless null
        bool unusable;
    };
    Config one = Config::defaults();
    const Case cases[] = {
        {"a readable file", one.toJson(), false},
        {"not JSON", kBroken, true},
        {"an empty file", "", true},
        {"no groups", "{\"groups\": [], \"source_aliases\": {}, \"unsorted_folder\": \"X\"}", true},
        {"a group without aliases",
         "{\"groups\": [{\"name\": \"A\"}], \"source_aliases\": {}, \"unsorted_folder\": \"X\"}",
         true},
        {"no file", QByteArray(), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const QString path = dir.filePath(QString::fromUtf8(c.label) + "/config.json");
        if (!c.bytes.isNull())
            writeFile(path, c.bytes);
        EXPECT_EQ(Config::unusableAt(path), c.unusable);
    }
    // A folder in the file's place is nothing a save could replace.
    const QString folder = dir.filePath(QStringLiteral("folder/config.json"));
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_FALSE(Config::unusableAt(folder));
}

// Verifies the free names of the kept file and that a copy with the same bytes is reused
// rather than made again.
TEST(ConfigKeepUnusable, copiesToTheFirstFreeNameOnce) {
    struct Case {
        const char* label;
        QMap<QString, QByteArray> before; // files beside config.json
        QString kept;
    };
    const Case cases[] = {
        {"nothing beside it", {}, "config.json.unreadable"},
        {"the first name taken", {{"config.json.unreadable", "other"}}, "config.json.unreadable 2"},
        {"two names taken",
         {{"config.json.unreadable", "a"}, {"config.json.unreadable 2", "b"}},
         "config.json.unreadable 3"},
        {"a gap in the names", {{"config.json.unreadable 2", "b"}}, "config.json.unreadable"},
        {"the same bytes kept already",
         {{"config.json.unreadable", "a"}, {"config.json.unreadable 2", kBroken}},
         "config.json.unreadable 2"},
        {"a folder under the first name",
         {{"config.json.unreadable/x", "a"}},
         "config.json.unreadable 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("config.json"));
        writeFile(path, kBroken);
        for (auto it = c.before.begin(); it != c.before.end(); ++it)
            writeFile(dir.filePath(it.key()), it.value());
        QMap<QString, QByteArray> expected = snapshot(dir.path());
        expected.insert(c.kept, kBroken);

        EXPECT_EQ(Config::keepUnusable(path, systemFileOps()), dir.filePath(c.kept));
        EXPECT_EQ(snapshot(dir.path()), expected);
        // Asked again, it finds its copy and makes no other.
        EXPECT_EQ(Config::keepUnusable(path, systemFileOps()), dir.filePath(c.kept));
        EXPECT_EQ(snapshot(dir.path()), expected);
    }
}

// Verifies that a file that cannot be copied is kept by moving it, and that a file that can be
// neither copied nor moved gives the move's error and stays where it is.
TEST(ConfigKeepUnusable, movesAFileThatCannotBeCopied) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("config.json"));
    writeFile(path, kBroken);

    FaultyFileOps copyFails;
    copyFails.countOnly({FileOp::copy});
    copyFails.failAt(1, EACCES);
    const QString kept = Config::keepUnusable(path, copyFails);
    EXPECT_EQ(kept, path + QStringLiteral(".unreadable"));
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_EQ(readFile(kept), kBroken);

    writeFile(path, "also broken");
    FaultyFileOps bothFail;
    bothFail.countOnly({FileOp::copy, FileOp::move});
    bothFail.failAt(1, EACCES);
    bothFail.failAt(2, EROFS);
    try {
        Config::keepUnusable(path, bothFail);
        ADD_FAILURE() << "no error";
    } catch (const FileError& e) {
        EXPECT_EQ(e.code(), EROFS);
    }
    EXPECT_EQ(readFile(path), QByteArray("also broken"));
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".unreadable 2")));
}

} // namespace
} // namespace Vantrel
