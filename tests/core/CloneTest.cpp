// The sorted copy on real file systems, each made in a small image file and loop-mounted for
// the test: where the disk clones, every copy must share the source's extents (no extra space);
// where it cannot, the copy falls back to ordinary copies. Needs root and loop devices; skips
// with the reason otherwise.
#include "core/Config.h"
#include "core/Engine.h"
#include "core/Export.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <linux/fiemap.h>
#include <linux/fs.h>
#include <linux/magic.h>
#include <optional>
#include <ostream>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace Vantrel {
namespace {

using Fixtures::readFile;
using Fixtures::snapshot;
using Fixtures::writeFile;

// A program of the system, also looked for in the administrator's folders, which an ordinary
// PATH may lack.
QString findProgram(const QString& name) {
    QString path = QStandardPaths::findExecutable(name);
    if (path.isEmpty())
        path = QStandardPaths::findExecutable(name,
                                              {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin"),
                                               QStringLiteral("/usr/local/sbin")});
    return path;
}

struct Run {
    bool ok = false;
    QString output; // standard error and output, trimmed
};

Run run(const QString& program, const QStringList& args) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        return {false, QStringLiteral("%1 did not finish: %2").arg(program, p.errorString())};
    }
    return {p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0,
            QString::fromLocal8Bit(p.readAll()).trimmed()};
}

// One file system to export onto.
struct FileSystemCase {
    const char* name;
    const char* mkfs;
    QStringList mkfsArgs;   // before the image path
    std::int64_t magic;     // statfs f_type once mounted
    std::int64_t imageSize; // bytes; the tools refuse smaller images
    bool clones;            // whether FICLONE works there
};

void PrintTo(const FileSystemCase& c, std::ostream* os) {
    *os << c.name;
}

// An image file holding a fresh file system, mounted through a loop device for the lifetime of
// the object and unmounted (image removed) on destruction, whatever happened in between.
class ScratchFileSystem {
public:
    ScratchFileSystem() = default;
    ScratchFileSystem(const ScratchFileSystem&) = delete;
    ScratchFileSystem& operator=(const ScratchFileSystem&) = delete;
    ~ScratchFileSystem() { unmount(); }

    // Makes and mounts the file system; the reason it cannot, or none on success.
    std::optional<QString> mount(const FileSystemCase& c) {
        if (::geteuid() != 0)
            return QStringLiteral("not root: loop-mounting a scratch file system needs root "
                                  "(uid %1)")
                .arg(::geteuid());
        const QString mkfs = findProgram(QLatin1String(c.mkfs));
        if (mkfs.isEmpty())
            return QStringLiteral("%1 missing").arg(QLatin1String(c.mkfs));
        const QString mountProgram = findProgram(QStringLiteral("mount"));
        if (mountProgram.isEmpty() || findProgram(QStringLiteral("umount")).isEmpty())
            return QStringLiteral("mount or umount missing");
        if (!QFileInfo::exists(QStringLiteral("/dev/loop-control")))
            return QStringLiteral("loop devices unavailable: no /dev/loop-control");
        if (!dir_.isValid())
            return QStringLiteral("no temporary folder for the image: %1").arg(dir_.errorString());

        const QString image = dir_.filePath(QStringLiteral("fs.img"));
        QFile file(image);
        if (!file.open(QIODevice::WriteOnly) || !file.resize(c.imageSize))
            return QStringLiteral("cannot make the image file: %1").arg(file.errorString());
        file.close();
        const Run made = run(mkfs, c.mkfsArgs + QStringList{image});
        if (!made.ok)
            return QStringLiteral("%1 failed: %2").arg(QLatin1String(c.mkfs), made.output);

        root_ = dir_.filePath(QStringLiteral("mnt"));
        QDir().mkpath(root_);
        const Run mounted =
            run(mountProgram, {QStringLiteral("-o"), QStringLiteral("loop"), image, root_});
        if (!mounted.ok)
            return QStringLiteral("mount failed: %1").arg(mounted.output);
        mounted_ = true;
        return std::nullopt;
    }

    // The mounted file system's root folder.
    const QString& root() const { return root_; }

private:
    void unmount() {
        if (!mounted_)
            return;
        const QString umount = findProgram(QStringLiteral("umount"));
        if (!run(umount, {root_}).ok) {
            // Something still holds it open: detach now, the kernel finishes when it is let go.
            const Run lazy = run(umount, {QStringLiteral("-l"), root_});
            if (!lazy.ok)
                ADD_FAILURE() << "cannot unmount " << root_.toStdString() << ": "
                              << lazy.output.toStdString();
        }
        mounted_ = false;
    }

    QTemporaryDir dir_; // destroyed last: the image goes after the unmount
    QString root_;
    bool mounted_ = false;
};

// One extent of a file as the file system maps it.
struct Extent {
    std::uint64_t logical;
    std::uint64_t physical;
    std::uint64_t length;
    std::uint32_t flags;
};

// The extents of a file, its data flushed first so that every extent has its place on disk.
std::vector<Extent> extentsOf(const QString& path) {
    std::vector<Extent> extents;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        ADD_FAILURE() << "cannot open " << path.toStdString();
        return extents;
    }
    constexpr unsigned batch = 64;
    std::vector<std::uint64_t> buffer(
        (sizeof(fiemap) + batch * sizeof(fiemap_extent)) / sizeof(std::uint64_t) + 1);
    std::uint64_t start = 0;
    for (bool last = false; !last;) {
        std::fill(buffer.begin(), buffer.end(), 0);
        auto* map = reinterpret_cast<fiemap*>(buffer.data());
        map->fm_start = start;
        map->fm_length = FIEMAP_MAX_OFFSET - start;
        map->fm_flags = FIEMAP_FLAG_SYNC;
        map->fm_extent_count = batch;
        if (::ioctl(fd, FS_IOC_FIEMAP, map) != 0) {
            ADD_FAILURE() << "FS_IOC_FIEMAP failed on " << path.toStdString();
            break;
        }
        if (map->fm_mapped_extents == 0)
            break;
        for (unsigned i = 0; i < map->fm_mapped_extents; ++i) {
            const fiemap_extent& e = map->fm_extents[i];
            extents.push_back({e.fe_logical, e.fe_physical, e.fe_length, e.fe_flags});
            last = e.fe_flags & FIEMAP_EXTENT_LAST;
            start = e.fe_logical + e.fe_length;
        }
    }
    ::close(fd);
    return extents;
}

// Distinct bytes per file, not a whole number of blocks long, so that the tail block counts.
QByteArray contentFor(int index) {
    QByteArray bytes(64 * 1024 + index * 4096 + 123, Qt::Uninitialized);
    std::uint32_t x = 2463534242u + std::uint32_t(index) * 7919u;
    for (char& b : bytes) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b = char(x);
    }
    return bytes;
}

const QStringList sessionNames = {
    "1Kick In#04.1.wav",    "3Snare Top#04.1.wav", "8Over Head L#04.1.wav", "12Bass DI#04.1.wav",
    "14Electric Gtr 1.wav", "17Piano L#04.1.aif",  "21Lead Vox#03.1.wav",   "39BGV L#03.1.wav",
    "65Click#03.1.wav",     "Room Mic.wav",        "Room Mic 2.WAV",
};

class Clone : public testing::TestWithParam<FileSystemCase> {
protected:
    void SetUp() override {
        if (const auto reason = fs.mount(GetParam()))
            GTEST_SKIP() << reason->toStdString();
        struct statfs st;
        ASSERT_EQ(::statfs(QFile::encodeName(fs.root()).constData(), &st), 0);
        ASSERT_EQ(std::int64_t(st.f_type), GetParam().magic)
            << "not the expected file system at the mount point";
    }

    ScratchFileSystem fs;
};

// What a copy must keep of its source besides the bytes: permissions, modification time and an
// extended attribute (what a recorder or the user tagged the file with).
struct Kept {
    mode_t mode = 0;
    std::int64_t mtimeNs = 0;
    QByteArray tag;
    bool operator==(const Kept&) const = default;
    friend std::ostream& operator<<(std::ostream& out, const Kept& k) {
        return out << "mode " << std::oct << k.mode << std::dec << ", mtime " << k.mtimeNs
                   << " ns, tag \"" << k.tag.toStdString() << '"';
    }
};
const char* const tagName = "user.vantrel.test";

Kept keptOf(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    ::stat(name.constData(), &st);
    char value[64] = {};
    const ssize_t n = ::getxattr(name.constData(), tagName, value, sizeof value);
    return {st.st_mode & 07777, std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
            n > 0 ? QByteArray(value, int(n)) : QByteArray()};
}

void giveMetadata(const QString& path, int index) {
    const QByteArray name = QFile::encodeName(path);
    ::chmod(name.constData(), 0640);
    const QByteArray tag = "take " + QByteArray::number(index);
    ASSERT_EQ(::setxattr(name.constData(), tagName, tag.constData(), size_t(tag.size()), 0), 0)
        << std::strerror(errno);
    const struct timespec times[2] = {{1500000000, 123456789}, {1400000000, 987654321}};
    ASSERT_EQ(::utimensat(AT_FDCWD, name.constData(), times, 0), 0);
}

// Verifies a sorted copy onto the file system: same bytes under every new name, the same
// permissions, modification time and extended attributes, the original
// folder untouched, and clones sharing the source's extents where the disk clones (plain copies
// with their own extents where it does not), with the note that says which.
TEST_P(Clone, shouldCloneWhereTheDiskCan) {
    const FileSystemCase& c = GetParam();
    const QString session = fs.root() + QStringLiteral("/Session");
    for (int i = 0; i < sessionNames.size(); ++i) {
        writeFile(session + QLatin1Char('/') + sessionNames[i], contentFor(i));
        giveMetadata(session + QLatin1Char('/') + sessionNames[i], i);
    }
    writeFile(session + QStringLiteral("/Session Notes.txt"), "not audio");
    const auto before = snapshot(session);

    const QList<Item> items = Engine::scan(session, Config::defaults()).items;
    ASSERT_EQ(items.size(), sessionNames.size());
    const ExportResult result = Engine::exportItems(items, session, ExportMode::copy);

    EXPECT_EQ(result.url, fs.root() + QStringLiteral("/Session SORTED"));
    EXPECT_FALSE(result.inPlace);
    EXPECT_EQ(result.note,
              c.clones
                  ? QStringLiteral("%1 files cloned: no extra disk space used.").arg(items.size())
                  : QStringLiteral("Copied 0.0 GB (this disk cannot clone files)."));
    EXPECT_EQ(snapshot(session), before);

    for (const Item& item : items) {
        SCOPED_TRACE(item.fileName().toStdString());
        const QString copy =
            result.url + QLatin1Char('/') + item.folder + QLatin1Char('/') + item.newName;
        ASSERT_TRUE(QFileInfo(copy).isFile()) << copy.toStdString();
        EXPECT_EQ(readFile(copy), readFile(item.url));
        const Kept kept = keptOf(item.url);
        EXPECT_EQ(kept.mode, mode_t(0640));
        EXPECT_EQ(keptOf(copy), kept);

        const std::vector<Extent> source = extentsOf(item.url);
        const std::vector<Extent> target = extentsOf(copy);
        ASSERT_FALSE(source.empty());
        ASSERT_FALSE(target.empty());
        if (c.clones) {
            ASSERT_EQ(target.size(), source.size());
            for (size_t i = 0; i < target.size(); ++i) {
                EXPECT_TRUE(target[i].flags & FIEMAP_EXTENT_SHARED) << "extent " << i;
                EXPECT_EQ(target[i].logical, source[i].logical) << "extent " << i;
                EXPECT_EQ(target[i].physical, source[i].physical) << "extent " << i;
                EXPECT_EQ(target[i].length, source[i].length) << "extent " << i;
            }
        } else {
            for (const Extent& t : target) {
                EXPECT_FALSE(t.flags & FIEMAP_EXTENT_SHARED);
                for (const Extent& s : source)
                    EXPECT_NE(t.physical, s.physical);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(FileSystems, Clone,
                         testing::Values(FileSystemCase{"XfsWithReflink",
                                                        "mkfs.xfs",
                                                        {"-q", "-f", "-m", "reflink=1"},
                                                        XFS_SUPER_MAGIC,
                                                        std::int64_t(320) << 20,
                                                        true},
                                         FileSystemCase{"Btrfs",
                                                        "mkfs.btrfs",
                                                        {"-q", "-f"},
                                                        BTRFS_SUPER_MAGIC,
                                                        std::int64_t(320) << 20,
                                                        true},
                                         FileSystemCase{"XfsWithoutReflink",
                                                        "mkfs.xfs",
                                                        {"-q", "-f", "-m", "reflink=0"},
                                                        XFS_SUPER_MAGIC,
                                                        std::int64_t(320) << 20,
                                                        false}),
                         [](const testing::TestParamInfo<FileSystemCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace Vantrel
