// What the file operations do on volumes that lack what the local disk has: no exclusive rename
// (RENAME_NOREPLACE), no hard links, no locks. The system calls are wrapped at link time
// (-Wl,--wrap) so that each answers as such a volume does, while the rest of the file system is
// the real one.

#include "core/Config.h"
#include "core/Engine.h"
#include "core/Export.h"
#include "core/FileOps.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

namespace {

// What the wrapped calls answer: 0 lets the real call through, an errno value fails it.
int renameError = 0;
int linkError = 0;
int lockError = 0;

} // namespace

extern "C" {
int __real_renameat2(int, const char*, int, const char*, unsigned int);
int __real_link(const char*, const char*);
int __real_linkat(int, const char*, int, const char*, int);
int __real_flock(int, int);

int __wrap_renameat2(int a, const char* b, int c, const char* d, unsigned int flags) {
    if (renameError) {
        errno = renameError;
        return -1;
    }
    return __real_renameat2(a, b, c, d, flags);
}
int __wrap_link(const char* a, const char* b) {
    if (linkError) {
        errno = linkError;
        return -1;
    }
    return __real_link(a, b);
}
int __wrap_linkat(int a, const char* b, int c, const char* d, int flags) {
    if (linkError) {
        errno = linkError;
        return -1;
    }
    return __real_linkat(a, b, c, d, flags);
}
int __wrap_flock(int fd, int op) {
    if (lockError) {
        errno = lockError;
        return -1;
    }
    return __real_flock(fd, op);
}
}

using namespace Vantrel;
using namespace Vantrel::Fixtures;

namespace {

class VolumeLimits : public testing::Test {
protected:
    void TearDown() override { renameError = linkError = lockError = 0; }
    QTemporaryDir dir;
};

// Verifies that without an exclusive rename and without hard links a move is refused with
// ENOTSUP (whichever of ENOTSUP and EOPNOTSUPP the volume answers) rather than made by a test
// and a plain rename, which could replace a file that arrived in between; and that with hard
// links it still goes through.
TEST_F(VolumeLimits, moveNeverRenamesWithoutTheNoReplaceGuarantee) {
    struct Case {
        const char* name;
        int linkAnswer;
        bool moves;
    } cases[] = {{"links", 0, true},
                 {"EPERM", EPERM, false},
                 {"ENOTSUP", ENOTSUP, false},
                 {"EOPNOTSUPP", EOPNOTSUPP, false}};
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const bool confined : {false, true}) {
            const QString folder = dir.filePath(QStringLiteral("f%1").arg(n++));
            writeFile(folder + "/a.wav", "A");
            renameError = EINVAL;
            linkError = c.linkAnswer;
            try {
                if (confined)
                    systemFileOps().confinedTo(folder)->move(folder + "/a.wav", folder + "/b.wav");
                else
                    systemFileOps().move(folder + "/a.wav", folder + "/b.wav");
                EXPECT_TRUE(c.moves) << "moved without the guarantee";
            } catch (const FileError& e) {
                EXPECT_FALSE(c.moves) << e.message().toStdString();
                EXPECT_EQ(e.code(), ENOTSUP);
            }
            renameError = linkError = 0;
            EXPECT_EQ(QFile::exists(folder + "/a.wav"), !c.moves);
            EXPECT_EQ(QFile::exists(folder + "/b.wav"), c.moves);
        }
    }
}

// Verifies that a folder on a volume without locks is organized unlocked and that the result
// says so, and that a locked one says nothing of it.
TEST_F(VolumeLimits, organizeOnAVolumeWithoutLocksSaysSo) {
    const QString sentence = QStringLiteral("The folder's disk can't be locked, so another program "
                                            "could have changed the folder while Vantrel "
                                            "organized it.");
    for (const int error : {0, ENOLCK, EOPNOTSUPP}) {
        SCOPED_TRACE(error);
        const QString session = dir.filePath(QStringLiteral("Session%1").arg(error));
        writeFile(session + "/1 Kick In.wav", "K");
        const QList<Item> items = Engine::scan(session, Config::defaults()).items;
        lockError = error;
        const ExportResult r = Engine::exportItems(items, session, ExportMode::inPlace);
        lockError = 0;
        EXPECT_EQ(r.note.contains(sentence), error != 0) << r.note.toStdString();
        EXPECT_TRUE(QFile::exists(session + "/01_DRUMS/01_KICK_IN.wav"));
    }
}

} // namespace
