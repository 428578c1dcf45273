// The clone of macOS (clonefile with CLONE_NOFOLLOW), run here against a double of the call that
// answers as Apple's manual page describes it: a regular file is cloned, a symbolic link at the
// source is never followed nor left behind as a link, an existing target is never replaced.

#include "core/MacClone.h"

#include "MacCloneDouble.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/clonefile.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Vantrel;
using namespace Vantrel::Fixtures;

namespace {

TEST(MacClone, clonesRegularFilesOnlyAndNeverFollowsALink) {
    struct Case {
        const char* name;
        const char* source; // what stands at the source: "file", "link", "dangling", "none"
        bool targetTaken;
        int error;
    } cases[] = {
        {"regular file", "file", false, 0},
        {"link to a file elsewhere", "link", false, ELOOP},
        {"dangling link", "dangling", false, ELOOP},
        {"target taken", "file", true, EEXIST},
        {"no source", "none", false, ENOENT},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("f%1").arg(n++));
        const QString elsewhere = dir.filePath("elsewhere.wav");
        writeFile(elsewhere, "private");
        const QString from = folder + "/Kick.wav";
        const QString to = folder + "/copy/Kick.wav";
        writeFile(folder + "/copy/.keep");
        const QByteArray source(c.source);
        if (source == "file") {
            writeFile(from, "kick");
        } else if (source == "link") {
            ASSERT_EQ(::symlink(elsewhere.toUtf8().constData(), from.toUtf8().constData()), 0);
        } else if (source == "dangling") {
            ASSERT_EQ(::symlink("nowhere.wav", from.toUtf8().constData()), 0);
        }
        if (c.targetTaken)
            writeFile(to, "theirs");

        MacApiDouble::clearCloneFlags();
        EXPECT_EQ(cloneRegularFile(from.toUtf8().constData(), to.toUtf8().constData()), c.error);
        ASSERT_EQ(MacApiDouble::cloneFlags().size(), 1u);
        EXPECT_TRUE(MacApiDouble::cloneFlags().front() & CLONE_NOFOLLOW);

        struct stat st;
        if (c.error == 0) {
            EXPECT_EQ(readFile(to), "kick");
        } else if (c.targetTaken) {
            EXPECT_EQ(readFile(to), "theirs");
        } else {
            EXPECT_NE(::lstat(to.toUtf8().constData(), &st), 0) << "something left at the target";
        }
        EXPECT_EQ(readFile(elsewhere), "private");
    }
}

} // namespace
