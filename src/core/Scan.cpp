#include "core/Engine.h"
#include "core/NaturalOrder.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <vector>

namespace Vantrel {

QString Item::fileName() const {
    return url.mid(url.lastIndexOf(QLatin1Char('/')) + 1);
}

namespace Engine {

const QSet<QString>& audioExts() {
    static const QSet<QString> exts = {QStringLiteral("wav"),  QStringLiteral("aif"),
                                       QStringLiteral("aiff"), QStringLiteral("mp3"),
                                       QStringLiteral("flac"), QStringLiteral("m4a"),
                                       QStringLiteral("caf")};
    return exts;
}

namespace {

struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
};

// The names of the regular files directly inside folder, hidden ones left out. Symbolic links
// are not regular files: they are neither listed nor followed.
QStringList regularFiles(const QString& folder) {
    QStringList names;
    std::unique_ptr<DIR, DirCloser> dir(opendir(QFile::encodeName(folder).constData()));
    if (!dir)
        return names;
    const int fd = dirfd(dir.get());
    while (const dirent* e = readdir(dir.get())) {
        if (e->d_name[0] == '.')
            continue;
        bool regular = e->d_type == DT_REG;
        if (e->d_type == DT_UNKNOWN) {
            struct stat st;
            regular = fstatat(fd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode);
        }
        if (regular)
            names.push_back(QFile::decodeName(e->d_name));
    }
    return names;
}

} // namespace

ScanResult scan(const QString& folder, const Config& cfg) {
    ScanResult result;
    QStringList names = regularFiles(folder);
    NaturalOrder::sort(names);

    QString base = QDir::cleanPath(QDir(folder).absolutePath());
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');

    const Classifier classifier(cfg);
    for (const QString& name : std::as_const(names)) {
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        const QString ext = dot < 0 ? QString() : name.mid(dot + 1).toLower();
        if (!audioExts().contains(ext)) {
            result.skipped.push_back(name);
            continue;
        }
        const QString stem = name.left(dot);
        const Classification c = classifier.classify(stem);
        Item item;
        item.url = base + name;
        item.source = c.source;
        item.group = c.group;
        item.order = sessionOrder(stem);
        result.items.push_back(std::move(item));
    }
    result.items = finalize(std::move(result.items), cfg);
    return result;
}

} // namespace Engine
} // namespace Vantrel
