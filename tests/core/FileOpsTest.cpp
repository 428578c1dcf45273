#include "core/FileOps.h"

#include "core/Errors.h"
#include "support/FaultyFileOps.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <sys/resource.h>
#include <sys/stat.h>

namespace Vantrel {
namespace {

using Fixtures::readFile;
using Fixtures::snapshot;
using Fixtures::writeFile;

// The FileError an action throws; none (and a test failure) if it throws nothing.
std::optional<FileError> fileErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const FileError& e) {
        return e;
    }
    ADD_FAILURE() << "no FileError thrown";
    return std::nullopt;
}

QStringList sorted(QStringList names) {
    names.sort();
    return names;
}

QByteArray pattern(qsizetype size) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char((i * 131 + i / 7) & 0xff);
    return bytes;
}

// Makes every write past limit bytes of a file fail with EFBIG for the scope's duration: a
// disk that fills up in the middle of a file.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit) {
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit reduced = old_;
        reduced.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &reduced);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

class FileOpsTest : public testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    QString path(const char* name) const { return path(QString::fromUtf8(name)); }

    QTemporaryDir dir;
    FileOps& ops = systemFileOps();
};

// What lies at the target of a copy, move or clone that must not be replaced.
enum class Occupant { file, folder, danglingLink };

void PrintTo(Occupant o, std::ostream* os) {
    *os << (o == Occupant::file ? "file" : o == Occupant::folder ? "folder" : "danglingLink");
}

class FileOpsTargetTaken : public FileOpsTest, public testing::WithParamInterface<Occupant> {
protected:
    // Puts the occupant at "target"; a dangling link points at "elsewhere", which must stay
    // missing (an operation following the link would create it).
    void SetUp() override {
        writeFile(path("source"), "new bytes");
        switch (GetParam()) {
        case Occupant::file:
            writeFile(path("target"), "old bytes");
            break;
        case Occupant::folder:
            writeFile(path("target/inside"), "old bytes");
            break;
        case Occupant::danglingLink:
            ASSERT_TRUE(QFile::link(path("elsewhere"), path("target")));
            break;
        }
        before = snapshot(dir.path());
    }

    void expectRefusedWithEexist(const std::function<void()>& action) {
        const std::optional<FileError> e = fileErrorOf(action);
        ASSERT_TRUE(e);
        EXPECT_EQ(e->code(), EEXIST);
        EXPECT_TRUE(e->message().contains(QStringLiteral("“%1”").arg(path("target")))) << e->what();
        EXPECT_EQ(snapshot(dir.path()), before);
    }

    QMap<QString, QByteArray> before;
};

// Verifies that copy refuses an occupied target and leaves both entries as they were.
TEST_P(FileOpsTargetTaken, copyShouldNeverOverwrite) {
    expectRefusedWithEexist([&] { ops.copy(path("source"), path("target")); });
}

// Verifies that move refuses an occupied target and leaves both entries as they were.
TEST_P(FileOpsTargetTaken, moveShouldNeverReplace) {
    expectRefusedWithEexist([&] { ops.move(path("source"), path("target")); });
}

// Verifies that clone gives up on an occupied target without touching it.
TEST_P(FileOpsTargetTaken, cloneShouldReturnFalseAndLeaveTheTargetAlone) {
    EXPECT_FALSE(ops.clone(path("source"), path("target")));
    EXPECT_EQ(snapshot(dir.path()), before);
}

INSTANTIATE_TEST_SUITE_P(Occupants, FileOpsTargetTaken,
                         testing::Values(Occupant::file, Occupant::folder, Occupant::danglingLink));

class FileOpsCopySizes : public FileOpsTest, public testing::WithParamInterface<qsizetype> {};

// Verifies that a copy holds exactly the source's bytes, for sizes from empty to a few MiB.
TEST_P(FileOpsCopySizes, copyShouldReproduceTheContent) {
    const QByteArray bytes = pattern(GetParam());
    writeFile(path("Kick.wav"), bytes);
    ops.copy(path("Kick.wav"), path("01_KICK.wav"));
    EXPECT_EQ(readFile(path("01_KICK.wav")), bytes);
    EXPECT_EQ(readFile(path("Kick.wav")), bytes);
}

INSTANTIATE_TEST_SUITE_P(Sizes, FileOpsCopySizes,
                         testing::Values(0, 1, (1 << 20) - 1, 1 << 20, (3 << 20) + 12345));

// Verifies that a copy of a read-only file can be changed by its owner, and keeps the rest of
// the source's permissions.
// Verifies that a copy keeps the holes of a sparse file, with or without data at its ends, and
// that nothing but a FIFO's name is needed to refuse one as a source, without waiting.
TEST_F(FileOpsTest, copyShouldKeepHolesAndRefuseFifos) {
    constexpr qint64 size = qint64(1) << 30;
    const QByteArray data = pattern(4096);
    const struct {
        const char* name;
        QList<qint64> dataAt; // where 4 KB of data lie in a 1 GB file
    } cases[] = {
        {"data at the start", {0}},
        {"data in the middle and at the end", {size / 2, size - 4096}},
        {"only a hole", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(path("sparse.wav"));
        QFile::remove(path("copy.wav"));
        QFile file(path("sparse.wav"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(size));
        for (const qint64 at : c.dataAt) {
            ASSERT_TRUE(file.seek(at));
            ASSERT_EQ(file.write(data), data.size());
        }
        file.close();
        struct stat st;
        ASSERT_EQ(::stat(QFile::encodeName(path("sparse.wav")).constData(), &st), 0);
        if (st.st_blocks * 512 > size / 2)
            GTEST_SKIP() << "this file system keeps no holes";

        ops.copy(path("sparse.wav"), path("copy.wav"));
        ASSERT_EQ(::stat(QFile::encodeName(path("copy.wav")).constData(), &st), 0);
        EXPECT_EQ(st.st_size, size);
        EXPECT_LT(st.st_blocks * 512, qint64(1) << 20) << "the holes were filled in";
        QFile copy(path("copy.wav"));
        ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
        for (const qint64 at : c.dataAt) {
            ASSERT_TRUE(copy.seek(at));
            EXPECT_EQ(copy.read(4096), data);
        }
        ASSERT_TRUE(copy.seek(size / 4));
        EXPECT_EQ(copy.read(4096), QByteArray(4096, '\0'));
    }

    ASSERT_EQ(::mkfifo(QFile::encodeName(path("fifo.wav")).constData(), 0600), 0);
    const std::optional<FileError> e =
        fileErrorOf([&] { ops.copy(path("fifo.wav"), path("f.wav")); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->code(), EINVAL);
    EXPECT_FALSE(QFile::exists(path("f.wav")));
    EXPECT_FALSE(ops.clone(path("fifo.wav"), path("f.wav")));
}

TEST_F(FileOpsTest, copyShouldKeepPermissionsAndLetTheOwnerWrite) {
    writeFile(path("a.wav"), "x");
    writeFile(path("b.wav"), "x");
    ASSERT_EQ(chmod(QFile::encodeName(path("a.wav")).constData(), 0444), 0);
    ASSERT_EQ(chmod(QFile::encodeName(path("b.wav")).constData(), 0750), 0);
    const mode_t oldMask = umask(022);
    ops.copy(path("a.wav"), path("a copy.wav"));
    ops.copy(path("b.wav"), path("b copy.wav"));
    umask(oldMask);

    struct stat st;
    ASSERT_EQ(stat(QFile::encodeName(path("a copy.wav")).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
    ASSERT_EQ(stat(QFile::encodeName(path("b copy.wav")).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0750u);
}

// Verifies that a copy that cannot start reports why and creates nothing.
TEST_F(FileOpsTest, copyShouldFailWithoutLeavingATarget) {
    writeFile(path("folder/inside.wav"));
    struct Case {
        const char* from;
        const char* to;
        int code;
    };
    for (const Case& c :
         {Case{"missing.wav", "target.wav", ENOENT}, Case{"folder", "target.wav", EISDIR},
          Case{"folder/inside.wav", "missing/target.wav", ENOENT}}) {
        SCOPED_TRACE(c.from);
        const std::optional<FileError> e = fileErrorOf([&] { ops.copy(path(c.from), path(c.to)); });
        ASSERT_TRUE(e);
        EXPECT_EQ(e->code(), c.code);
        EXPECT_FALSE(ops.exists(path(c.to)));
    }
}

// Verifies that a copy that fails halfway (the disk fills up) removes its partial target and
// names both files and the reason.
TEST_F(FileOpsTest, copyShouldRemoveThePartialTargetWhenWritingFails) {
    writeFile(path("Kick.wav"), pattern(3 << 20));
    std::optional<FileError> e;
    {
        const FileSizeLimit limit(1 << 20);
        e = fileErrorOf([&] { ops.copy(path("Kick.wav"), path("01_KICK.wav")); });
    }
    ASSERT_TRUE(e);
    EXPECT_EQ(e->code(), EFBIG);
    EXPECT_EQ(e->message(), QStringLiteral("Couldn't copy “%1” to “%2”: File too large.")
                                .arg(path("Kick.wav"), path("01_KICK.wav")));
    EXPECT_EQ(sorted(ops.list(dir.path())), QStringList{QStringLiteral("Kick.wav")});
}

// Verifies that clone either makes a complete clone or, where the file system cannot, leaves
// nothing at the target; impossible clones return false instead of throwing.
TEST_F(FileOpsTest, cloneShouldCloneCompletelyOrLeaveNothing) {
    const QByteArray bytes = pattern(200000);
    writeFile(path("Kick.wav"), bytes);
    if (ops.clone(path("Kick.wav"), path("01_KICK.wav")))
        EXPECT_EQ(readFile(path("01_KICK.wav")), bytes);
    else
        EXPECT_FALSE(ops.exists(path("01_KICK.wav")));

    EXPECT_FALSE(ops.clone(path("missing.wav"), path("a.wav")));
    EXPECT_FALSE(ops.clone(path("Kick.wav"), path("missing/a.wav")));
    EXPECT_FALSE(ops.exists(path("a.wav")));
    EXPECT_FALSE(ops.exists(path("missing")));
}

// Verifies that a moved file keeps its bytes under the new name and the old name is gone.
TEST_F(FileOpsTest, moveShouldRenameTheFile) {
    writeFile(path("Kick.wav"), "kick");
    ops.makeFolders(path("01_DRUMS"));
    ops.move(path("Kick.wav"), path("01_DRUMS/01_KICK.wav"));
    EXPECT_FALSE(ops.exists(path("Kick.wav")));
    EXPECT_EQ(readFile(path("01_DRUMS/01_KICK.wav")), "kick");
}

// Verifies that moves into a missing folder or from a missing file fail and change nothing.
TEST_F(FileOpsTest, moveShouldFailWhenAFolderOrTheSourceIsMissing) {
    writeFile(path("Kick.wav"), "kick");
    const auto before = snapshot(dir.path());
    for (const auto& [from, to] :
         {std::pair{"Kick.wav", "01_DRUMS/01_KICK.wav"}, std::pair{"Snare.wav", "Snare 2.wav"}}) {
        SCOPED_TRACE(from);
        const std::optional<FileError> e = fileErrorOf([&] { ops.move(path(from), path(to)); });
        ASSERT_TRUE(e);
        EXPECT_EQ(e->code(), ENOENT);
        EXPECT_EQ(e->message(), QStringLiteral("Couldn't move “%1” to “%2”: No such file or "
                                               "directory.")
                                    .arg(path(from), path(to)));
    }
    EXPECT_EQ(snapshot(dir.path()), before);
}

// Verifies that removing a folder removes links inside it, never what they point to.
TEST_F(FileOpsTest, removeShouldDeleteLinksNotTheirTargets) {
    writeFile(path("keep/file.wav"), "keep");
    writeFile(path("keep/folder/deep.wav"), "deep");
    writeFile(path("tree/a.wav"), "a");
    writeFile(path("tree/.hidden"), "h");
    writeFile(path("tree/sub/sub/b.wav"), "b");
    ASSERT_TRUE(QFile::link(path("keep/file.wav"), path("tree/link to file")));
    ASSERT_TRUE(QFile::link(path("keep/folder"), path("tree/sub/link to folder")));
    ASSERT_TRUE(QFile::link(path("keep/folder"), path("top link")));
    const auto kept = snapshot(path("keep"));

    ops.remove(path("tree"));
    ops.remove(path("top link"));

    EXPECT_EQ(sorted(ops.list(dir.path())), QStringList{QStringLiteral("keep")});
    EXPECT_EQ(snapshot(path("keep")), kept);
}

// Verifies that removing something missing is reported with the path and the reason.
TEST_F(FileOpsTest, removeShouldReportAMissingEntry) {
    const std::optional<FileError> e = fileErrorOf([&] { ops.remove(path("gone")); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->code(), ENOENT);
    EXPECT_EQ(e->message(),
              QStringLiteral("Couldn't remove “%1”: No such file or directory.").arg(path("gone")));
}

// Verifies that a listing names every entry, hidden ones and dangling links included.
TEST_F(FileOpsTest, listShouldIncludeHiddenEntries) {
    writeFile(path("Kick.wav"));
    writeFile(path(".DS_Store"));
    writeFile(path(".hidden folder/x"));
    writeFile(path("sub/y"));
    ASSERT_TRUE(QFile::link(path("nowhere"), path("dangling")));
    EXPECT_EQ(sorted(ops.list(dir.path())),
              (QStringList{".DS_Store", ".hidden folder", "Kick.wav", "dangling", "sub"}));
    EXPECT_EQ(ops.list(path("sub")), QStringList{"y"});
    ops.makeFolders(path("empty"));
    EXPECT_TRUE(ops.list(path("empty")).isEmpty());
}

// Verifies that a listing that is not possible fails with the folder's name and the reason.
TEST_F(FileOpsTest, listShouldFailForAMissingFolderOrAFile) {
    writeFile(path("file"));
    for (const auto& [name, code] : {std::pair{"missing", ENOENT}, std::pair{"file", ENOTDIR}}) {
        const std::optional<FileError> e = fileErrorOf([&] { ops.list(path(name)); });
        ASSERT_TRUE(e);
        EXPECT_EQ(e->code(), code);
        EXPECT_TRUE(e->message().startsWith(
            QStringLiteral("Couldn't read the folder “%1”: ").arg(path(name))))
            << e->what();
    }
}

// Verifies that exists() sees anything at a path, a dangling link too, and fileSize() only
// regular files.
TEST_F(FileOpsTest, existsShouldSeeEveryKindOfEntry) {
    writeFile(path("file"), "12345");
    ops.makeFolders(path("folder"));
    ASSERT_TRUE(QFile::link(path("nowhere"), path("dangling")));
    for (const char* name : {"file", "folder", "dangling"})
        EXPECT_TRUE(ops.exists(path(name))) << name;
    EXPECT_FALSE(ops.exists(path("nowhere")));

    EXPECT_EQ(ops.fileSize(path("file")), 5);
    EXPECT_EQ(ops.fileSize(path("folder")), std::nullopt);
    EXPECT_EQ(ops.fileSize(path("nowhere")), std::nullopt);
}

// Verifies that makeFolders creates missing parents, accepts an existing folder, and fails
// when a file is in the way.
TEST_F(FileOpsTest, makeFoldersShouldCreateParentsAndRefuseFiles) {
    ops.makeFolders(path("Session SORTED/01_DRUMS/"));
    ops.makeFolders(path("Session SORTED/01_DRUMS"));
    ops.makeFolders(path("Session SORTED"));
    EXPECT_TRUE(QFileInfo(path("Session SORTED/01_DRUMS")).isDir());

    writeFile(path("file"));
    for (const auto& [name, code] : {std::pair{"file", EEXIST}, std::pair{"file/sub", ENOTDIR}}) {
        const std::optional<FileError> e = fileErrorOf([&] { ops.makeFolders(path(name)); });
        ASSERT_TRUE(e);
        EXPECT_EQ(e->code(), code);
        EXPECT_TRUE(e->message().startsWith(
            QStringLiteral("Couldn't create the folder “%1”: ").arg(path(name))))
            << e->what();
    }
}

class FileOpsWrite : public FileOpsTest, public testing::WithParamInterface<bool> {};

// Verifies that an atomic write creates or replaces the file and leaves nothing else behind.
TEST_P(FileOpsWrite, writeAtomicallyShouldReplaceTheContent) {
    const bool durable = GetParam();
    ops.writeAtomically(path("manifest.json"), "first", durable);
    EXPECT_EQ(readFile(path("manifest.json")), "first");
    ops.writeAtomically(path("manifest.json"), "second, longer", durable);
    ops.writeAtomically(path("import_order.txt"), {}, durable);
    EXPECT_EQ(readFile(path("manifest.json")), "second, longer");
    EXPECT_EQ(readFile(path("import_order.txt")), "");
    EXPECT_EQ(sorted(ops.list(dir.path())), (QStringList{"import_order.txt", "manifest.json"}));
}

// Verifies that an atomic write into a missing folder fails cleanly.
TEST_P(FileOpsWrite, writeAtomicallyShouldFailIntoAMissingFolder) {
    const std::optional<FileError> e =
        fileErrorOf([&] { ops.writeAtomically(path("missing/x.json"), "x", GetParam()); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->code(), ENOENT);
    EXPECT_EQ(e->message(), QStringLiteral("Couldn't write “%1”: No such file or directory.")
                                .arg(path("missing/x.json")));
    EXPECT_TRUE(ops.list(dir.path()).isEmpty());
}

// Verifies that a write that fails halfway keeps the old content and no temporary file.
TEST_P(FileOpsWrite, writeAtomicallyShouldKeepTheOldFileWhenWritingFails) {
    writeFile(path("manifest.json"), "old");
    std::optional<FileError> e;
    {
        const FileSizeLimit limit(4096);
        e = fileErrorOf([&] { ops.writeAtomically(path("manifest.json"), pattern(8192), true); });
    }
    ASSERT_TRUE(e);
    EXPECT_EQ(e->code(), EFBIG);
    EXPECT_EQ(readFile(path("manifest.json")), "old");
    EXPECT_EQ(ops.list(dir.path()), QStringList{"manifest.json"});
}

INSTANTIATE_TEST_SUITE_P(Durability, FileOpsWrite, testing::Bool());

// A write in pieces through the machine's operations (pieces joined) or through operations
// confined to the folder (each piece written as it comes).
class FileOpsWriteInPieces : public FileOpsTest, public testing::WithParamInterface<bool> {
protected:
    FileOps& target() {
        if (!GetParam())
            return ops;
        if (!confined)
            confined = ops.confinedTo(dir.path());
        return *confined;
    }
    // Gives the parts one call each, empty ones included.
    static FileOps::Pieces piecesOf(QList<QByteArray> parts) {
        return [parts, at = qsizetype(0)](QByteArray& piece) mutable {
            piece += parts[at++];
            return at < parts.size();
        };
    }
    std::unique_ptr<FileOps> confined;
};

// Verifies that the pieces, large ones and empty ones, make the whole file and replace the old
// one, and that pieces that fail to reach the disk halfway keep the old file and no temporary one.
TEST_P(FileOpsWriteInPieces, shouldWriteThePiecesAsOneFileOrKeepTheOld) {
    writeFile(path("Vantrel undo.json"), "old");
    const QByteArray large = pattern(300 * 1024);
    target().writeInPieces(path("Vantrel undo.json"), piecesOf({"[", {}, large, "]"}), true);
    EXPECT_EQ(readFile(path("Vantrel undo.json")), "[" + large + "]");

    std::optional<FileError> e;
    {
        const FileSizeLimit limit(64 * 1024);
        e = fileErrorOf([&] {
            target().writeInPieces(path("Vantrel undo.json"),
                                   piecesOf({large.left(32 * 1024), large}), true);
        });
    }
    ASSERT_TRUE(e);
    EXPECT_EQ(e->code(), EFBIG);
    EXPECT_EQ(readFile(path("Vantrel undo.json")), "[" + large + "]");
    EXPECT_EQ(ops.list(dir.path()), QStringList{"Vantrel undo.json"});
}

INSTANTIATE_TEST_SUITE_P(Confined, FileOpsWriteInPieces, testing::Bool());

// One operation of every kind that throws, with what it would change on disk.
struct FaultCase {
    const char* name;
    FileOp kind;
    std::function<void(FileOps&, const QString& root)> run;
    QStringList namesInMessage; // relative to the fixture folder
};

void PrintTo(const FaultCase& c, std::ostream* os) {
    *os << c.name;
}

class FaultyFileOpsEachKind : public FileOpsTest,
                              public testing::WithParamInterface<std::tuple<FaultCase, int>> {};

// Verifies that a chosen operation fails with the chosen errno value and a message naming its
// file(s) and the reason, without being performed, and that the next operation is performed.
TEST_P(FaultyFileOpsEachKind, shouldFailTheChosenOperationWithoutPerformingIt) {
    const auto& [c, code] = GetParam();
    writeFile(path("Kick.wav"), "kick");
    writeFile(path("tree/a.wav"), "a");
    const auto before = snapshot(dir.path());

    FaultyFileOps faulty;
    faulty.failAt(2, code);
    EXPECT_TRUE(faulty.exists(path("Kick.wav")));
    const std::optional<FileError> e = fileErrorOf([&] { c.run(faulty, dir.path()); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->code(), code);
    const QString reason = code == ENOSPC ? QStringLiteral("No space left on device")
                                          : QStringLiteral("Input/output error");
    EXPECT_EQ(e->reason(), reason);
    EXPECT_TRUE(e->message().endsWith(QStringLiteral(": %1.").arg(reason))) << e->what();
    for (const QString& name : c.namesInMessage)
        EXPECT_TRUE(e->message().contains(QStringLiteral("“%1”").arg(path(name)))) << e->what();
    EXPECT_EQ(snapshot(dir.path()), before);
    ASSERT_EQ(faulty.operationCount(), 2);
    EXPECT_EQ(faulty.operations()[1].kind, c.kind);
    EXPECT_TRUE(faulty.operations()[1].failed);

    // Only the chosen one fails: the same operation once more is performed.
    c.run(faulty, dir.path());
    EXPECT_NE(snapshot(dir.path()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, FaultyFileOpsEachKind,
    testing::Combine(
        testing::Values(FaultCase{"makeFolders",
                                  FileOp::makeFolders,
                                  [](FileOps& o, const QString& r) {
                                      o.makeFolders(r + "/01_DRUMS");
                                  },
                                  {"01_DRUMS"}},
                        FaultCase{"copy",
                                  FileOp::copy,
                                  [](FileOps& o, const QString& r) {
                                      o.copy(r + "/Kick.wav", r + "/01_KICK.wav");
                                  },
                                  {"Kick.wav", "01_KICK.wav"}},
                        FaultCase{"move",
                                  FileOp::move,
                                  [](FileOps& o, const QString& r) {
                                      o.move(r + "/Kick.wav", r + "/01_KICK.wav");
                                  },
                                  {"Kick.wav", "01_KICK.wav"}},
                        FaultCase{"remove",
                                  FileOp::remove,
                                  [](FileOps& o, const QString& r) { o.remove(r + "/tree"); },
                                  {"tree"}},
                        FaultCase{"writeAtomically",
                                  FileOp::writeAtomically,
                                  [](FileOps& o, const QString& r) {
                                      o.writeAtomically(r + "/manifest.json", "{}", true);
                                  },
                                  {"manifest.json"}}),
        testing::Values(ENOSPC, EIO)));

// Verifies that an injected failure reads exactly like the same failure of the real system.
TEST_F(FileOpsTest, faultyErrorsShouldMatchTheRealOnes) {
    writeFile(path("Kick.wav"), "kick");
    writeFile(path("01_KICK.wav"), "taken");
    struct Case {
        const char* name;
        int code;
        std::function<void(FileOps&)> run;
    };
    const Case cases[] = {
        {"copy", EEXIST, [&](FileOps& o) { o.copy(path("Kick.wav"), path("01_KICK.wav")); }},
        {"move", EEXIST, [&](FileOps& o) { o.move(path("Kick.wav"), path("01_KICK.wav")); }},
        {"remove", ENOENT, [&](FileOps& o) { o.remove(path("gone")); }},
        {"list", ENOENT, [&](FileOps& o) { o.list(path("gone")); }},
        {"makeFolders", ENOTDIR, [&](FileOps& o) { o.makeFolders(path("Kick.wav/sub")); }},
        {"writeAtomically", ENOENT,
         [&](FileOps& o) { o.writeAtomically(path("gone/x"), "x", false); }},
        {"syncFolder", ENOENT, [&](FileOps& o) { o.syncFolder(path("gone")); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FaultyFileOps faulty;
        faulty.failAt(1, c.code);
        const std::optional<FileError> injected = fileErrorOf([&] { c.run(faulty); });
        const std::optional<FileError> real = fileErrorOf([&] { c.run(ops); });
        ASSERT_TRUE(injected && real);
        EXPECT_EQ(injected->message(), real->message());
        EXPECT_EQ(injected->reason(), real->reason());
        EXPECT_EQ(injected->code(), real->code());
    }
}

// Verifies that failed queries answer as the real ones do when the system refuses them.
TEST_F(FileOpsTest, faultyQueriesShouldAnswerNothingWithoutThrowing) {
    writeFile(path("Kick.wav"), "kick");
    FaultyFileOps faulty;
    for (int k = 1; k <= 3; ++k)
        faulty.failAt(k, EIO);
    EXPECT_FALSE(faulty.exists(path("Kick.wav")));
    EXPECT_FALSE(faulty.clone(path("Kick.wav"), path("01_KICK.wav")));
    EXPECT_EQ(faulty.fileSize(path("Kick.wav")), std::nullopt);
    EXPECT_FALSE(ops.exists(path("01_KICK.wav")));

    EXPECT_TRUE(faulty.exists(path("Kick.wav")));
    EXPECT_EQ(faulty.fileSize(path("Kick.wav")), 4);
}

// Verifies that operations are counted in call order across kinds, and that a restriction to
// some kinds counts (and fails) only those.
TEST_F(FileOpsTest, faultyShouldCountOperationsInCallOrder) {
    writeFile(path("a.wav"), "a");
    writeFile(path("b.wav"), "b");
    FaultyFileOps all;
    all.makeFolders(path("out"));
    all.copy(path("a.wav"), path("out/a.wav"));
    all.list(path("out"));
    EXPECT_EQ(all.operationCount(), 3);
    EXPECT_EQ(all.operations(),
              (QList<FaultyFileOps::Record>{{FileOp::makeFolders, path("out"), {}},
                                            {FileOp::copy, path("a.wav"), path("out/a.wav")},
                                            {FileOp::list, path("out"), {}}}));

    FaultyFileOps copies;
    copies.countOnly({FileOp::copy, FileOp::clone});
    copies.failAt(3, ENOSPC);
    copies.clone(path("a.wav"), path("out/a2.wav")); // counted whether or not this disk clones
    copies.copy(path("a.wav"), path("out/a3.wav"));
    copies.makeFolders(path("other"));
    const std::optional<FileError> e =
        fileErrorOf([&] { copies.copy(path("b.wav"), path("out/b.wav")); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->code(), ENOSPC);
    EXPECT_FALSE(ops.exists(path("out/b.wav")));
    EXPECT_EQ(copies.operationCount(), 3);
}

// Verifies that a hook runs just before its operation, and that a throwing hook stops the
// operation from happening.
TEST_F(FileOpsTest, faultyHookShouldRunBeforeItsOperation) {
    writeFile(path("a.wav"), "a");
    FaultyFileOps faulty;
    bool targetExistedInHook = true;
    faulty.beforeOperation(2, [&] { targetExistedInHook = ops.exists(path("b.wav")); });
    faulty.beforeOperation(3, [] { throw CancelledError(); });
    faulty.exists(path("a.wav"));
    faulty.copy(path("a.wav"), path("b.wav"));
    EXPECT_FALSE(targetExistedInHook);
    EXPECT_TRUE(ops.exists(path("b.wav")));
    EXPECT_THROW(faulty.copy(path("a.wav"), path("c.wav")), CancelledError);
    EXPECT_FALSE(ops.exists(path("c.wav")));
}

} // namespace
} // namespace Vantrel
