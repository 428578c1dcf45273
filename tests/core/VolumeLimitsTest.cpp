// What the file operations do on volumes that lack what the local disk has: no exclusive rename
// (RENAME_NOREPLACE), no hard links, no locks, names that ignore case. The system calls are
// wrapped at link time (-Wl,--wrap) so that each answers as such a volume does, while the rest of
// the file system is the real one.

#include "core/Config.h"
#include "core/Engine.h"
#include "core/Export.h"
#include "core/FileOps.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <set>
#include <stdio.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// What the wrapped calls answer: 0 lets the real call through, an errno value fails it.
int renameError = 0;
int linkError = 0;
int lockError = 0;
// Names looked up without regard to case or to composed and decomposed forms, while kept as
// they were written, as on a Mac's APFS or HFS+ volume by default.
bool caseInsensitive = false;

} // namespace

extern "C" {
int __real_renameat2(int, const char*, int, const char*, unsigned int);
int __real_link(const char*, const char*);
int __real_linkat(int, const char*, int, const char*, int);
int __real_flock(int, int);
int __real_fstatat(int, const char*, struct stat*, int);
int __real_renameat(int, const char*, int, const char*);
}

namespace {

// A name as such a volume compares it.
QString folded(const char* name) {
    return QString::fromUtf8(name).normalized(QString::NormalizationForm_C).toCaseFolded();
}

// The spelling on disk of path (relative to dir), when another entry of its folder answers to
// it on such a volume; none when nothing does or only the exact spelling does.
std::optional<std::string> otherSpelling(int dir, const char* path) {
    const std::string p(path);
    const size_t slash = p.rfind('/');
    const std::string parent = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : p.substr(0, slash);
    const std::string prefix = slash == std::string::npos ? "" : p.substr(0, slash + 1);
    const std::string leaf = slash == std::string::npos ? p : p.substr(slash + 1);
    const int fd = ::openat(dir, parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    DIR* d = ::fdopendir(fd);
    if (!d) {
        ::close(fd);
        return std::nullopt;
    }
    std::optional<std::string> found;
    const QString wanted = folded(leaf.c_str());
    while (const dirent* e = ::readdir(d)) {
        if (leaf != e->d_name && folded(e->d_name) == wanted)
            found = prefix + e->d_name;
    }
    ::closedir(d);
    return found;
}

bool takenIgnoringCase(int dir, const char* path) {
    struct stat st;
    return __real_fstatat(dir, path, &st, AT_SYMLINK_NOFOLLOW) == 0 || otherSpelling(dir, path);
}

} // namespace

extern "C" {
int __wrap_fstatat(int dir, const char* path, struct stat* st, int flags) {
    const int rc = __real_fstatat(dir, path, st, flags);
    if (rc != 0 && errno == ENOENT && caseInsensitive) {
        if (const std::optional<std::string> spelling = otherSpelling(dir, path))
            return __real_fstatat(dir, spelling->c_str(), st, flags);
        errno = ENOENT;
    }
    return rc;
}
// A plain rename onto another spelling of the source gives the source that spelling; onto
// another spelling of a different entry, it replaces that entry.
int __wrap_renameat(int fromDir, const char* from, int toDir, const char* to) {
    if (caseInsensitive) {
        if (const std::optional<std::string> spelling = otherSpelling(toDir, to)) {
            struct stat a;
            struct stat b;
            const bool itself =
                __real_fstatat(fromDir, from, &a, AT_SYMLINK_NOFOLLOW) == 0 &&
                __real_fstatat(toDir, spelling->c_str(), &b, AT_SYMLINK_NOFOLLOW) == 0 &&
                a.st_ino == b.st_ino && a.st_dev == b.st_dev;
            if (!itself && ::unlinkat(toDir, spelling->c_str(), 0) != 0)
                return -1;
        }
    }
    return __real_renameat(fromDir, from, toDir, to);
}

int __wrap_renameat2(int a, const char* b, int c, const char* d, unsigned int flags) {
    if (renameError) {
        errno = renameError;
        return -1;
    }
    if (caseInsensitive && (flags & RENAME_NOREPLACE) && takenIgnoringCase(c, d)) {
        errno = EEXIST;
        return -1;
    }
    return __real_renameat2(a, b, c, d, flags);
}
int __wrap_link(const char* a, const char* b) {
    if (linkError) {
        errno = linkError;
        return -1;
    }
    if (caseInsensitive && takenIgnoringCase(AT_FDCWD, b)) {
        errno = EEXIST;
        return -1;
    }
    return __real_link(a, b);
}
int __wrap_linkat(int a, const char* b, int c, const char* d, int flags) {
    if (linkError) {
        errno = linkError;
        return -1;
    }
    if (caseInsensitive && takenIgnoringCase(c, d)) {
        errno = EEXIST;
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
    void TearDown() override {
        renameError = linkError = lockError = 0;
        caseInsensitive = false;
    }
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

// The raw names of the entries directly inside folder.
std::set<std::string> rawNames(const QString& folder) {
    std::set<std::string> names;
    for (const QString& name : systemFileOps().list(folder))
        names.insert(name.toStdString());
    return names;
}

// Verifies that on a volume that ignores case and composed or decomposed forms a move that
// changes only the case or the form of a name renames the file, while a move onto another file
// under another spelling is still refused; and that on an ordinary volume two hard links whose
// names differ in case stay two entries.
TEST_F(VolumeLimits, moveThatChangesOnlyTheSpellingRenamesTheFileItself) {
    const std::string composed = "A\xC3\xA9.wav";    // "Aé.wav", U+00E9
    const std::string decomposed = "Ae\xCC\x81.wav"; // "Aé.wav", e + U+0301
    struct Case {
        const char* name;
        bool insensitive;
        std::string from;
        std::string to;
        bool hardLink;               // `to` made a second link of `from` first
        std::set<std::string> after; // empty: refused with EEXIST, nothing changed
    } cases[] = {
        {"case only", true, "kick.wav", "Kick.wav", false, {"Kick.wav", "snare.wav"}},
        {"case only, all capitals", true, "kick.wav", "KICK.wav", false, {"KICK.wav", "snare.wav"}},
        {"composed to decomposed", true, composed, decomposed, false, {decomposed, "snare.wav"}},
        {"decomposed to composed", true, decomposed, composed, false, {composed, "snare.wav"}},
        {"another file under another case", true, "kick.wav", "SNARE.wav", false, {}},
        {"hard link on an ordinary volume", false, "kick.wav", "Kick.wav", true, {}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const bool confined : {false, true}) {
            SCOPED_TRACE(confined ? "confined" : "not confined");
            const QString folder = dir.filePath(QStringLiteral("c%1").arg(n++));
            const QString from = folder + "/" + QString::fromStdString(c.from);
            const QString to = folder + "/" + QString::fromStdString(c.to);
            writeFile(from, "K");
            writeFile(folder + "/snare.wav", "S");
            if (c.hardLink) {
                ASSERT_EQ(::link(from.toUtf8().constData(), to.toUtf8().constData()), 0);
            }
            const std::set<std::string> before = rawNames(folder);
            caseInsensitive = c.insensitive;
            try {
                if (confined)
                    systemFileOps().confinedTo(folder)->move(from, to);
                else
                    systemFileOps().move(from, to);
                EXPECT_FALSE(c.after.empty()) << "moved onto another entry";
            } catch (const FileError& e) {
                EXPECT_TRUE(c.after.empty()) << e.message().toStdString();
                EXPECT_EQ(e.code(), EEXIST);
            }
            caseInsensitive = false;
            EXPECT_EQ(rawNames(folder), c.after.empty() ? before : c.after);
            EXPECT_EQ(readFile(folder + "/snare.wav"), "S");
        }
    }
}

// Verifies that an organization whose new name differs from a file's name only in case, or
// only in being composed rather than decomposed, gives the file that name, not a "_02" one, and
// that the put-back gives it its old name again, byte for byte.
TEST_F(VolumeLimits, organizeAndPutBackChangeOnlyTheSpellingOnAMacVolume) {
    struct Case {
        const char* name;
        std::string before;
        std::string after;
    } cases[] = {
        {"case", "01_kick_in.wav", "01_KICK_IN.wav"},
        {"decomposed to composed",
         "01_KICK_A"
         "E\xCC\x81.wav",
         "01_KICK_A\xC3\x89.wav"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString session = dir.filePath(QStringLiteral("Session%1").arg(n++));
        writeFile(session + "/01_DRUMS/" + QString::fromStdString(c.before), "K");
        Item item;
        item.url = session + "/01_DRUMS/" + QString::fromStdString(c.before);
        item.source = "KICK";
        item.group = QStringLiteral("Drums");
        item.folder = "01_DRUMS";
        item.newName = QString::fromStdString(c.after);
        caseInsensitive = true;
        Engine::exportItems({item}, session, ExportMode::inPlace);
        EXPECT_EQ(rawNames(session + "/01_DRUMS"), std::set<std::string>{c.after});
        EXPECT_TRUE(readFile(session + "/manifest.json").contains(c.after.c_str()))
            << readFile(session + "/manifest.json").toStdString();

        const Engine::PutBackResult back = Engine::undo(session);
        caseInsensitive = false;
        EXPECT_EQ(back.restored, 1) << back.note().toStdString();
        EXPECT_EQ(rawNames(session + "/01_DRUMS"), std::set<std::string>{c.before});
    }
}

} // namespace
